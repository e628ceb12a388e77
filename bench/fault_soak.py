#!/usr/bin/env python3
"""Link faults injected into a running kvx-sim (its --control pipe) while the
program polls it, timed from kvx-sim's --frame-log on the instrument's side.

A fault counts as struck when kvx-sim notes it; the program is back when
frame replies come at full rate again. Figures go to stdout every 100 faults,
at the end and on SIGINT. Exit status 0 when nothing crashed or hung and the
instrument's setup record is the same after the soak as before it, with only
frame requests received meanwhile.
"""
import argparse
import os
import signal
import statistics
import sys
import time

KINDS = [  # (control line, the name kvx-sim notes when it strikes)
    ("drop", "dropped"),
    ("stall", "stalled"),
    ("truncate", "truncated"),
    ("corrupt", "corrupted"),
    ("oversize", "oversized"),
    ("disconnect", "pulled cable"),
]
FULL_RATE_GAP = 0.100  # frames at most this far apart: full rate (the cycle is ~50 ms)
FULL_RATE_RUN = 5  # that many in a row
FRAME_REQUEST = b"ZC:HTTP?\r"
RECOVERY_AIM = 3.0


class ProgramGone(Exception):
    pass


class Soak:
    def __init__(self, args):
        self.args = args
        self.log = open(args.log, "r")
        self.pending = ""
        self.events = []  # (seconds, text) not yet looked at
        self.control_fd = os.open(args.control, os.O_WRONLY)
        self.back = {name: [] for _, name in KINDS}
        # Where the time goes, per kind: (fault struck, session closed, reopened), each from the step before.
        self.phases = {name: [] for _, name in KINDS}
        self.marks = {}
        self.injected = {name: 0 for _, name in KINDS}
        self.hangs = []
        self.crashed = False
        self.stop = False

    # --- the log and the program -------------------------------------------
    def program_alive(self):
        try:
            with open(f"/proc/{self.args.pid}/stat") as stat:
                return stat.read().rsplit(")", 1)[1].split()[0] not in ("Z", "X")
        except (FileNotFoundError, IndexError):
            return False

    def next_event(self, deadline):
        """The next log line as (seconds, text), or None at the deadline."""
        while not self.events:
            chunk = self.log.read()
            if chunk:
                self.pending += chunk
                *lines, self.pending = self.pending.split("\n")
                for line in lines:
                    seconds, _, text = line.partition(" ")
                    self.events.append((float(seconds), text))
                continue
            if time.monotonic() >= deadline or self.stop:
                return None
            if not self.program_alive():
                raise ProgramGone()
            time.sleep(0.005)
        event = self.events.pop(0)
        for text, mark in (("client dropped", "closed"), ("client connected", "opened")):
            if event[1] == text and "struck" in self.marks:
                self.marks.setdefault(mark, event[0])
        return event

    def wait_for(self, matches, limit):
        deadline = time.monotonic() + limit
        while (event := self.next_event(deadline)) is not None:
            if matches(event[1]):
                return event[0]
        return None

    def wait_full_rate(self, limit):
        """The time of the first frame of a full-rate run, or None."""
        deadline = time.monotonic() + limit
        run, start, last = 0, None, None
        while (event := self.next_event(deadline)) is not None:
            seconds, text = event
            if not text.startswith("reply "):
                continue
            if text != "reply ok ZC:HTTP?":
                run = 0
                continue
            if run > 0 and seconds - last > FULL_RATE_GAP:
                run = 0
            if run == 0:
                start = seconds
            run, last = run + 1, seconds
            if run >= FULL_RATE_RUN:
                return start
        return None

    def control(self, line):
        """Sends a control line and waits until kvx-sim has carried it out;
        returns the time kvx-sim took it. What else it noted meanwhile (a
        fault striking at once) stays to be read."""
        os.write(self.control_fd, (line + "\n").encode())
        deadline = time.monotonic() + 10.0
        taken, others = None, []
        while (event := self.next_event(deadline)) is not None:
            if event[1] == "control " + line:
                taken = event[0]
            elif event[1] == "done " + line:
                self.events[:0] = others
                return taken
            elif event[1].startswith("control error"):
                sys.exit(f"kvx-sim refused '{line}': {event[1]}")
            else:
                others.append(event)
        sys.exit(f"kvx-sim did not take '{line}'")

    # --- the soak -------------------------------------------------------------
    def one_fault(self, number):
        line, name = KINDS[number % len(KINDS)]
        self.injected[name] += 1
        injected = self.control(line)
        limit = self.args.hang_limit
        self.marks = {}
        struck = self.wait_for(lambda text: text == "fault " + name, limit)
        if struck is not None:
            self.marks["struck"] = struck
        back = None if struck is None else self.wait_full_rate(limit - (time.monotonic() - injected))
        if back is None:
            if self.stop:
                self.injected[name] -= 1
                return
            self.hangs.append((number, name, "not struck" if struck is None else "no full rate"))
            print(f"fault {number} ({name}): hang, {self.hangs[-1][2]} within {limit:.0f} s", flush=True)
            for clear, _ in KINDS[:-1]:
                self.control(f"{clear} 0")
            return
        self.back[name].append(back - injected)
        if "opened" in self.marks and "closed" in self.marks:
            self.phases[name].append((struck - injected, self.marks["closed"] - struck,
                                      self.marks["opened"] - self.marks["closed"]))

    def run(self):
        if self.wait_full_rate(60.0) is None:
            sys.exit("no full rate before the first fault")
        self.dump("dump-setup", "setup-before.bin")
        self.dump("dump-received", "received-startup.bin")
        hangs_in_a_row = 0
        for number in range(self.args.faults):
            if self.stop:
                break
            before = len(self.hangs)
            try:
                self.one_fault(number)
            except ProgramGone:
                self.crashed = True
                print(f"fault {number}: the program is gone", flush=True)
                break
            hangs_in_a_row = hangs_in_a_row + 1 if len(self.hangs) > before else 0
            if hangs_in_a_row == 3:
                print("three hangs in a row: the soak stops", flush=True)
                break
            if (number + 1) % 100 == 0:
                self.figures(f"after {number + 1} faults")
        interrupted = self.stop
        self.stop = False
        self.dump("dump-setup", "setup-after.bin")
        self.dump("dump-received", "received-soak.bin")
        return self.verdict("interrupted: figures so far" if interrupted else "end of the soak")

    def dump(self, command, name):
        self.control(f"{command} {os.path.join(self.args.out, name)}")

    def read(self, name):
        with open(os.path.join(self.args.out, name), "rb") as file:
            return file.read()

    # --- figures --------------------------------------------------------------
    def figures(self, title):
        everything = sorted(s for values in self.back.values() for s in values)
        print(f"== {title}", flush=True)
        print(f"  faults injected: {sum(self.injected.values())}; crashes: {int(self.crashed)}; hangs: {len(self.hangs)}")
        for _, name in KINDS:
            values = self.back[name]
            if values:
                print(f"  {name:13} {self.injected[name]:4} faults  back to full rate: median {statistics.median(values):.2f} s,"
                      f" longest {max(values):.2f} s, over {RECOVERY_AIM:.0f} s: {sum(v > RECOVERY_AIM for v in values)}")
            if self.phases[name]:
                struck, closed, opened = (statistics.median(p[i] for p in self.phases[name]) for i in range(3))
                print(f"  {'':13} medians: struck {struck:.3f} s after the command, session closed {closed:.3f} s"
                      f" later, reopened {opened:.3f} s after that")
        if everything:
            print(f"  all           median {statistics.median(everything):.2f} s, longest {everything[-1]:.2f} s", flush=True)

    def verdict(self, title):
        self.figures(title)
        setup_same = self.read("setup-before.bin") == self.read("setup-after.bin")
        received = self.read("received-soak.bin")
        requests = len(received) // len(FRAME_REQUEST)
        only_requests = received == FRAME_REQUEST * requests
        print(f"  instrument's setup record (572 bytes) after the soak: {'unchanged' if setup_same else 'CHANGED'}")
        print(f"  sent to the instrument during the soak: {requests} frame requests"
              f"{'' if only_requests else ' and OTHER BYTES (see received-soak.bin)'}", flush=True)
        return 0 if not self.crashed and not self.hangs and setup_same and only_requests else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--log", required=True, help="kvx-sim's --frame-log")
    parser.add_argument("--control", required=True, help="kvx-sim's --control pipe")
    parser.add_argument("--pid", required=True, type=int, help="the program's process")
    parser.add_argument("--out", required=True, help="directory for the dumps")
    parser.add_argument("--faults", type=int, default=1000)
    parser.add_argument("--hang-limit", type=float, default=15.0)
    args = parser.parse_args()
    soak = Soak(args)

    def interrupted(*_):
        soak.stop = True

    signal.signal(signal.SIGINT, interrupted)
    return soak.run()


if __name__ == "__main__":
    sys.exit(main())
