"""Changes one setting in the files a run of the program left behind, as a
user's earlier session would have saved it.

patch_state.py persistence APP_DIR 0|1     Display > Persistence in the preferences
patch_state.py channel APP_DIR 1|2 0|1     a channel's display flag in the setup file
patch_state.py cursors APP_DIR tracking|free   the measurement cursors on, in that mode
patch_state.py xy APP_DIR 1|2 1|2           the XY window open, with its X and Y channels
"""
import struct
import sys

HEADER = len(b"KELVARINLAB SETUP\n#BEGIN\n")
PERSISTENCE = 696            # in the preferences block
DISPLAYED = {1: 36, 2: 44}   # ch1Displayed, ch2Displayed in the setup record
RECORD = 572                 # the checksum covers bytes 4..571
XY_SOURCES = (148, 149)      # xySourceX, xySourceY: 0 is CH1, 1 is CH2
XY_STATE = 166               # 2: the XY window open
AUTO_MEASUREMENTS = 168      # autoMeasurementsOn
MEASUREMENT_FLAGS = 232      # 0x1 cursors on, 0x2 free (not tracking)
CURSOR_FLAGS = {"tracking": 0x1, "free": 0x1 | 0x2}


def patch(path, offset, value, checksum=False, form="<i"):
    data = bytearray(open(path, "rb").read())
    data[offset:offset + struct.calcsize(form)] = struct.pack(form, value)
    if checksum:
        data[0:4] = struct.pack("<I", ~sum(data[4:RECORD]) & 0xFFFFFFFF)
    open(path, "wb").write(data)


def patch_setup(app, *fields):  # (offset, struct format, value) each
    for offset, form, value in fields:
        patch(f"{app}/Ornikelva.okv.CFG", offset, value, checksum=True, form=form)


def main():
    what, app, *values = sys.argv[1:]
    if what == "persistence":
        patch(f"{app}/Ornikelva.okv", HEADER + PERSISTENCE, int(values[0]))
    elif what == "channel":
        patch(f"{app}/Ornikelva.okv.CFG", DISPLAYED[int(values[0])], int(values[1]), checksum=True)
    elif what == "cursors":
        patch_setup(app, (AUTO_MEASUREMENTS, "<i", 0), (MEASUREMENT_FLAGS, "<H", CURSOR_FLAGS[values[0]]))
    elif what == "xy":
        x, y = (int(v) - 1 for v in values)
        patch_setup(app, (XY_STATE, "<h", 2), (XY_SOURCES[0], "<B", x), (XY_SOURCES[1], "<B", y))
    else:
        sys.exit(__doc__)


main()
