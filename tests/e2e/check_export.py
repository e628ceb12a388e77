"""Checks a front-panel session's trace exports against what kvx-sim received.

check_export.py RECORD APP_DIR EXPORT_DIR FILE...

The record must show the autoset, one CH1 sensitivity step after it (F6 in the
Shortcut Keys window), the timebase set to 100 us/div and then one CH1 trace
stored per file. Each file must be the CH1 sine (1 kHz, 1 V amplitude) in the
export's text format, within one code step of the sensitivity last sent; the
preferences must keep EXPORT_DIR as the trace directory.
"""
import math
import re
import sys

VOLTS_PER_DIV = [0.0025, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100]  # KVX162
POINTS = 50000
TIME_STEP = 2e-8  # 100 us/div over 10 divisions of 5000 points
FREQUENCY = 1000.0
AMPLITUDE = 1.0
HEADER = "t (s)     \tV\n"
LINE = re.compile(r"( *\d\.\d{6}e[+-]\d\d)\t(-?\d+\.\d+)\n")
PREFERENCES_HEADER = len(b"KELVARINLAB SETUP\n#BEGIN\n")
TRACE_PATH = (40, 56)  # offset and size of tracePath in the preferences block
SESSION = re.compile(r":AUTOS:EXE\r.*?:ZC:VOLT1:RANG:PTP \d+\r.*?:DISP:TRAC:X:PDIV 0\.1E-3\r", re.S)
STORE = ':MMEM:STOR:TRAC INT1,"TEMP_FILE.TRC"\r'
SENSITIVITY = re.compile(r":ZC:VOLT1:RANG:PTP (\d+)\r")


def code_step_from_record(path, exports):
    """The volts of one code at export time, from the last CH1 sensitivity sent."""
    sent = open(path, "rb").read().decode("latin-1")
    session = SESSION.search(sent)
    assert session, f"no autoset, CH1 sensitivity step and 100 us/div in that order: {sent[-2000:]!r}"
    stores = [m.start() for m in re.finditer(re.escape(STORE), sent) if m.start() >= session.end()]
    assert len(stores) == exports, f"{len(stores)} CH1 traces stored after 100 us/div, expected {exports}"
    sensitivity = int(SENSITIVITY.findall(sent, 0, stores[-1])[-1])
    assert 0 <= sensitivity < len(VOLTS_PER_DIV), sensitivity
    return VOLTS_PER_DIV[sensitivity] / 64.0


def read_export(path):
    with open(path, newline="") as f:
        lines = f.readlines()
    assert lines and lines[0] == HEADER, f"{path}: header {lines[:1]!r}"
    assert len(lines) == POINTS + 1, f"{path}: {len(lines)} lines"
    times, values = [], []
    for k, line in enumerate(lines[1:]):
        m = LINE.fullmatch(line)
        assert m and len(m[1]) == 15, f"{path}: line {k + 2} {line!r}"
        times.append(float(m[1]))
        values.append(float(m[2]))
    assert lines[-1].startswith("   9.999800e-04\t"), f"{path}: last line {lines[-1]!r}"
    for k, t in enumerate(times):
        assert abs(t - k * TIME_STEP) <= 1e-6 * k * TIME_STEP, f"{path}: time {t} of sample {k}"
    return times, values


def solve3(m, v):
    det = lambda a: (a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1])
                     - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
                     + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]))
    d = det(m)
    columns = []
    for c in range(3):
        mc = [row[:c] + [v[r]] + row[c + 1:] for r, row in enumerate(m)]
        columns.append(det(mc) / d)
    return columns


def sine_phase(times, values):
    """Least-squares a sin + b cos + c at the known frequency; the phase of a sin(wt + phase)."""
    basis = [(math.sin(2 * math.pi * FREQUENCY * t), math.cos(2 * math.pi * FREQUENCY * t), 1.0) for t in times]
    m = [[sum(b[i] * b[j] for b in basis) for j in range(3)] for i in range(3)]
    v = [sum(b[i] * y for b, y in zip(basis, values)) for i in range(3)]
    a, b, _ = solve3(m, v)
    return math.atan2(b, a)


def check_sine(path, step):
    times, values = read_export(path)
    phase = sine_phase(times, values)
    errors = [abs(y - AMPLITUDE * math.sin(2 * math.pi * FREQUENCY * t + phase)) for t, y in zip(times, values)]
    worst = max(errors)
    assert worst <= step, f"{path}: off the 1 V sine by {worst} V (code step {step} V)"
    print(f"{path}: 1 kHz sine within {worst:.4f} V, code step {step:.4f} V")


def check_directory(app, expected):
    data = open(f"{app}/Ornikelva.okv", "rb").read()
    offset, size = TRACE_PATH
    field = data[PREFERENCES_HEADER + offset:PREFERENCES_HEADER + offset + size]
    kept = field.split(b"\0", 1)[0].decode("latin-1")
    assert kept == expected, f"trace directory {kept!r}, expected {expected!r}"


def main():
    record, app, directory, *files = sys.argv[1:]
    step = code_step_from_record(record, len(files))
    for path in files:
        check_sine(path, step)
    check_directory(app, directory)


main()
