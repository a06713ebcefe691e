#!/usr/bin/env python3
"""Finds chord boxes in pictures and compares them, for the finder's real-window test.

  chord-box-probe.py nut PICTURE [X0 Y0 X1 Y1]
      the first nut (a dark bar at least 40 pixels long and 3 thick, the top of a box drawn
      from the nut) in reading order within the area: prints "left top width bottom"
  chord-box-probe.py strings PICTURE [X0 Y0 X1 Y1]
      the number of strings of that box, counted across a row just under its nut
  chord-box-probe.py compare SHOT RENDER STRINGS [X0 Y0 X1 Y1]
      whether the first box of SHOT (within the area) and the box of RENDER agree at probe
      points: each string's mark above the nut ("o", "x" or none) and, at every fret row,
      whether a dot is there; prints the mismatches and exits 1 when there is one

Pictures are read through ImageMagick's `convert` as 8-bit greys; dark is below 128.
"""
import subprocess
import sys

DARK = 128
NUT_THICKNESS = 0.26  # of a string spacing, as ChordBox draws it
LINE = 0.065
FRET_GAP = 1.3
MARK_ABOVE_NUT = 2.65 - 1.8  # from the nut's lower edge up to the middle of the marks
ROWS = 5


class Grey:
    def __init__(self, path):
        data = subprocess.run(["convert", path, "-colorspace", "gray", "-depth", "8", "pgm:-"],
                              check=True, capture_output=True).stdout
        fields = data.split(maxsplit=4)
        assert fields[0] == b"P5", path
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = fields[4][-self.width * self.height:]

    def dark(self, x, y):
        x, y = int(round(x)), int(round(y))
        if not (0 <= x < self.width and 0 <= y < self.height):
            return False
        return self.pixels[y * self.width + x] < DARK


def area(picture, args):
    if len(args) >= 4:
        return [int(a) for a in args[:4]]
    return [0, 0, picture.width, picture.height]


def runs(picture, y, x0, x1):
    """The dark runs of row y within x0..x1, as (start, length)."""
    found, start = [], None
    for x in range(x0, x1 + 1):
        if x < x1 and picture.dark(x, y):
            if start is None:
                start = x
        elif start is not None:
            found.append((start, x - start))
            start = None
    return found


def nut(picture, box):
    x0, y0, x1, y1 = box
    for y in range(y0, y1):
        for start, length in runs(picture, y, x0, x1):
            if length < 40:
                continue
            # A bar: the same run three rows further down.
            if all(any(abs(s - start) <= 1 and abs(l - length) <= 2
                       for s, l in runs(picture, y + d, x0, x1)) for d in (1, 2, 3)):
                bottom = y
                while any(abs(s - start) <= 1 and abs(l - length) <= 2
                          for s, l in runs(picture, bottom + 1, x0, x1)):
                    bottom += 1
                return start, y, length, bottom
    return None


class Box:
    """Where the parts of the box whose nut was found lie."""

    def __init__(self, found, strings):
        left, top, width, bottom = found
        self.strings = strings
        self.spacing = width / (strings - 1 + LINE)
        self.first = left + LINE * self.spacing / 2  # x of the leftmost string
        self.wire0 = bottom + 1 - LINE * self.spacing / 2  # the nut's lower edge

    def x(self, string):
        return self.first + string * self.spacing

    def fret_y(self, fret):
        return self.wire0 + (fret - 0.5) * FRET_GAP * self.spacing

    def mark_y(self):
        return self.wire0 - MARK_ABOVE_NUT * self.spacing

    def wire_y(self, wire):
        return self.wire0 + wire * FRET_GAP * self.spacing


def looks(picture, box):
    """What the box shows at each probe point, string by string."""
    seen = []
    s = box.spacing
    for string in range(box.strings):
        x = box.x(string)
        y = box.mark_y()
        centre = picture.dark(x, y)
        ring = any(picture.dark(x + 0.23 * s + d, y) for d in (-1, 0, 1))
        mark = "x" if centre and not ring else "o" if ring and not centre else "-"
        # Beside the string's middle, where a dot is dark and its label is not.
        dots = "".join("#" if picture.dark(x + 0.3 * s, box.fret_y(f)) else "."
                       for f in range(1, ROWS + 1))
        seen.append(mark + dots)
    return seen


def main(argv):
    command, path = argv[1], argv[2]
    picture = Grey(path)
    if command == "nut":
        found = nut(picture, area(picture, argv[3:]))
        if not found:
            sys.exit("no nut in " + path)
        print(*found)
    elif command == "strings":
        found = nut(picture, area(picture, argv[3:]))
        if not found:
            sys.exit("no nut in " + path)
        left, _, width, bottom = found
        # Just under the nut, above any dot of the first row, only the strings are dark.
        print(len(runs(picture, bottom + 3, left - 2, left + width + 2)))
    elif command == "compare":
        strings = int(argv[4])
        render = Grey(argv[3])
        shot_nut = nut(picture, area(picture, argv[5:]))
        render_nut = nut(render, area(render, []))
        if not shot_nut or not render_nut:
            sys.exit("no box found: screenshot %s, render %s" % (shot_nut, render_nut))
        shot, drawn = looks(picture, Box(shot_nut, strings)), looks(render, Box(render_nut, strings))
        print("screenshot:", " ".join(shot))
        print("render:    ", " ".join(drawn))
        if shot != drawn or abs(shot_nut[2] - render_nut[2]) > 1:
            sys.exit("the boxes differ (nuts %s and %s)" % (shot_nut, render_nut))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
