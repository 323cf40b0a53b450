#!/usr/bin/env python3
"""Renders the application icon packaging/velmar.svg into
packaging/icons/velmar-<size>.png.

48 pixels and up are rendered from the SVG with ImageMagick (`convert`) at
1024 pixels and reduced with a box filter.  At 16 and 32 pixels a reduced
vector picture turns to mush, so those two are drawn here pixel by pixel:
the same sheet, three frames and arrows, laid on the pixel grid.
"""

import os
import subprocess
import sys
import tempfile

from raster import Canvas, Poly, px_rect

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

DARK = "#2f3b4c"
WHITE = "#ffffff"
BLUE, BLUE_D, BLUE_L, BLUE_BG = "#3d7fd9", "#23569e", "#a9c8f2", "#e6effb"
GREEN, GREEN_D, GREEN_BG = "#4aa03f", "#2f7d32", "#eaf6e6"
ORANGE, ORANGE_D, ORANGE_BG = "#e39b2b", "#b86f12", "#fdf1dc"
GREY = "#8c98a6"
YELLOW = "#f7cd4f"


def r(c, x0, y0, x1, y1, colour):
    c.fill(px_rect(x0, y0, x1, y1), colour)


def draw_32():
    c = Canvas(32, 32)
    # sheet with a soft shadow
    r(c, 3, 3, 31, 31, "#c9ced4")
    r(c, 1, 2, 29, 29, DARK)
    r(c, 2, 1, 28, 30, DARK)
    r(c, 3, 3, 27, 28, WHITE)
    # frame 1: a picture
    r(c, 4, 5, 13, 15, BLUE_D)
    r(c, 5, 6, 12, 7, BLUE)
    r(c, 5, 8, 12, 14, BLUE_BG)
    r(c, 6, 9, 11, 13, BLUE_L)
    r(c, 10, 10, 10, 10, YELLOW)
    c.fill(Poly([(6, 14), (6, 12), (8, 10.8), (11.5, 14)]), GREEN)
    # frame 2: text
    r(c, 18, 5, 26, 15, GREEN_D)
    r(c, 19, 6, 25, 7, GREEN)
    r(c, 19, 8, 25, 14, GREEN_BG)
    r(c, 20, 10, 24, 10, GREY)
    r(c, 20, 12, 23, 12, GREY)
    # frame 3: the conclusion
    r(c, 4, 20, 26, 27, ORANGE_D)
    r(c, 5, 21, 25, 22, ORANGE)
    r(c, 5, 23, 25, 26, ORANGE_BG)
    r(c, 7, 24, 19, 24, GREY)
    # arrows: frame 1 -> frame 2 -> frame 3
    r(c, 14, 10, 14, 10, DARK)
    r(c, 15, 8, 15, 12, DARK)
    r(c, 16, 9, 16, 11, DARK)
    r(c, 17, 10, 17, 10, DARK)
    r(c, 22, 16, 22, 16, DARK)
    r(c, 20, 17, 24, 17, DARK)
    r(c, 21, 18, 23, 18, DARK)
    r(c, 22, 19, 22, 19, DARK)
    return c


def draw_16():
    c = Canvas(16, 16)
    r(c, 0, 1, 15, 14, DARK)
    r(c, 1, 0, 14, 15, DARK)
    r(c, 1, 1, 14, 14, WHITE)
    r(c, 2, 2, 6, 7, BLUE_D)
    r(c, 3, 3, 5, 3, BLUE)
    r(c, 3, 4, 5, 6, BLUE_L)
    r(c, 3, 6, 4, 6, GREEN)
    r(c, 9, 2, 13, 7, GREEN_D)
    r(c, 10, 3, 12, 3, GREEN)
    r(c, 10, 4, 12, 6, GREEN_BG)
    r(c, 10, 5, 12, 5, GREY)
    r(c, 2, 10, 13, 13, ORANGE_D)
    r(c, 3, 11, 12, 11, ORANGE)
    r(c, 3, 12, 12, 12, ORANGE_BG)
    r(c, 4, 12, 9, 12, GREY)
    r(c, 7, 3, 7, 6, DARK)
    r(c, 8, 4, 8, 5, DARK)
    r(c, 10, 8, 12, 8, DARK)
    r(c, 11, 9, 11, 9, DARK)
    return c


def main():
    svg = os.path.join(ROOT, "packaging", "velmar.svg")
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "packaging", "icons")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "big.png")
        subprocess.run(["convert", "-background", "none", "-density", "384", svg,
                        "-resize", "1024x1024", "PNG32:" + big], check=True)
        for size in (48, 64, 128, 256):
            subprocess.run(["convert", big, "-filter", "Box", "-resize",
                            "%dx%d" % (size, size), "PNG32:" + os.path.join(out_dir, "velmar-%d.png" % size)],
                           check=True)
    draw_16().save_png(os.path.join(out_dir, "velmar-16.png"))
    draw_32().save_png(os.path.join(out_dir, "velmar-32.png"))


if __name__ == "__main__":
    main()
