"""Pixel facts of a screenshot region, read from ImageMagick's text dump.

pixels.py count IMAGE X Y W H RRGGBB...   pixels of any of the colours
pixels.py centre IMAGE X Y W H RRGGBB     centre (x y) of that colour's pixels
pixels.py near IMAGE X Y W H RRGGBB...    pixels within 0x30 a channel of any of the
                                          colours (antialiased text in that colour)
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


NEAR = 0x30


def rgb(colour):
    return [int(colour[i:i + 2], 16) for i in (0, 2, 4)]


def near(colour, targets):
    return any(all(abs(a - b) <= NEAR for a, b in zip(rgb(colour), t)) for t in targets)


def main():
    what, image, x, y, w, h, *colours = sys.argv[1:]
    colours = {c.upper().lstrip("#") for c in colours}
    if what == "near":
        targets = [rgb(c) for c in colours]
        matches = lambda c: near(c, targets)
    else:
        matches = lambda c: c in colours
    hits = [(px, py) for px, py, c in dump(image, int(x), int(y), int(w), int(h)) if matches(c)]
    if what in ("count", "near"):
        print(len(hits))
    elif hits:
        print(sum(p[0] for p in hits) // len(hits), sum(p[1] for p in hits) // len(hits))
    else:
        print("none")


main()
