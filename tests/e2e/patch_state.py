"""Changes one setting in the files a run of the program left behind, as a
user's earlier session would have saved it.

patch_state.py persistence APP_DIR 0|1     Display > Persistence in the preferences
patch_state.py channel APP_DIR 1|2 0|1     a channel's display flag in the setup file
"""
import struct
import sys

HEADER = len(b"KELVARINLAB SETUP\n#BEGIN\n")
PERSISTENCE = 696            # in the preferences block
DISPLAYED = {1: 36, 2: 44}   # ch1Displayed, ch2Displayed in the setup record
RECORD = 572                 # the checksum covers bytes 4..571


def patch(path, offset, value, checksum=False):
    data = bytearray(open(path, "rb").read())
    data[offset:offset + 4] = struct.pack("<i", value)
    if checksum:
        data[0:4] = struct.pack("<I", ~sum(data[4:RECORD]) & 0xFFFFFFFF)
    open(path, "wb").write(data)


def main():
    what, app, *values = sys.argv[1:]
    if what == "persistence":
        patch(f"{app}/Ornikelva.okv", HEADER + PERSISTENCE, int(values[0]))
    elif what == "channel":
        patch(f"{app}/Ornikelva.okv.CFG", DISPLAYED[int(values[0])], int(values[1]), checksum=True)
    else:
        sys.exit(__doc__)


main()
