"""Pixel facts of a screenshot region, read from ImageMagick's text dump.

pixels.py count IMAGE X Y W H RRGGBB...   pixels of any of the colours
pixels.py centre IMAGE X Y W H RRGGBB     centre (x y) of that colour's pixels
"""
import subprocess
import sys


def dump(image, x, y, w, h):
    out = subprocess.run(["convert", image, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "txt:-"],
                         check=True, capture_output=True, text=True).stdout
    for line in out.splitlines()[1:]:
        at, _, rest = line.partition(":")
        px, py = (int(v) for v in at.split(","))
        colour = rest.split("#", 1)[1][:6].upper()
        yield px + x, py + y, colour


def main():
    what, image, x, y, w, h, *colours = sys.argv[1:]
    colours = {c.upper().lstrip("#") for c in colours}
    hits = [(px, py) for px, py, c in dump(image, int(x), int(y), int(w), int(h)) if c in colours]
    if what == "count":
        print(len(hits))
    elif hits:
        print(sum(p[0] for p in hits) // len(hits), sum(p[1] for p in hits) // len(hits))
    else:
        print("none")


main()
