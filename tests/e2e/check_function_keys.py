"""Checks what kvx-sim received while F1-F12 were pressed once each, in order.

Every key's commands must appear after the previous key's; F4 sends nothing of
its own; F5/F6, F7/F8, F9/F10 and F11/F12 step a value and step it back.
"""
import re
import sys


def commands(path):
    data = open(path, "rb").read().decode("latin-1")
    return [c for c in data.split("\r") if c and not c.startswith("ZC:HTTP?")]


def find(cmds, start, pattern):
    for i in range(start, len(cmds)):
        m = re.fullmatch(pattern, cmds[i])
        if m:
            return i, m
    sys.exit(f"not found after command {start}: {pattern}\nlast commands: {cmds[start:start + 40]}")


def main():
    cmds = commands(sys.argv[1])
    i, _ = find(cmds, 0, r":AUTOS:VERT INT1")            # F1
    i, _ = find(cmds, i, r":AUTOS:VERT INT2")            # F2
    i, _ = find(cmds, i, r":AUTOS:EXE")                  # F3
    i, f5 = find(cmds, i, r":ZC:VOLT1:RANG:PTP (\d+)")   # F5: one step more sensitive
    i, f6 = find(cmds, i + 1, r":ZC:VOLT1:RANG:PTP (\d+)")
    assert int(f6[1]) == int(f5[1]) + 1, (f5[0], f6[0])
    i, f7 = find(cmds, i + 1, r":ZC:VOLT2:RANG:PTP (\d+)")
    i, f8 = find(cmds, i + 1, r":ZC:VOLT2:RANG:PTP (\d+)")
    assert int(f8[1]) == int(f7[1]) + 1, (f7[0], f8[0])
    i, f9 = find(cmds, i + 1, r":TRIG:LEV (\S+)")
    i, f10 = find(cmds, i + 1, r":TRIG:LEV (\S+)")
    assert float(f10[1]) > float(f9[1]), (f9[0], f10[0])
    i, f11 = find(cmds, i + 1, r":DISP:TRAC:X:PDIV (\S+)")
    i, f12 = find(cmds, i + 1, r":DISP:TRAC:X:PDIV (\S+)")
    assert float(f11[1]) > float(f12[1]), (f11[0], f12[0])
    print("F1-F12 sent:", f5[0], f6[0], f7[0], f8[0], f9[0], f10[0], f11[0], f12[0])


main()
