#!/usr/bin/env python3
"""Draws the graphic editor's pictures into resources/icons/:

    paint_<tool>.png         19 x 19 tool-button icons, transparent background
    paint_fill_<n>.png       30 x 12 rows of the fill-style list (outline, two colours, filled)
    paint_opaque.png         35 x 23 rows of the placement list
    paint_transparent.png
    paint_folder.png         39 x 39 browser items (folder, parent folder)
    paint_folder_up.png

Same style as the tool-bar icons (flat fills, dark slate outline).
Run from anywhere:  python3 tools/icons/make_paint_icons.py [output-dir]
"""

import math
import os
import sys

from raster import (Canvas, Diff, Ellipse, Intersect, Poly, RoundRect, Seg,
                    Union, grown_poly, polyline, px_rect)

from make_toolbar_icons import (BLUE, BLUE_D, BLUE_L, GREEN, GREY, OUT, ORANGE,
                                PAPER, RED, SHADE, WOOD, YELLOW, outlined_poly,
                                thin_arrow)

TOOL = 19


def dotted_rect(c, x0, y0, x1, y1, colour=OUT):
    cells = []
    for x in range(x0, x1 + 1):
        if (x - x0) % 2 == 0:
            cells += [px_rect(x, y0, x, y0), px_rect(x, y1, x, y1)]
    for y in range(y0, y1 + 1):
        if (y - y0) % 2 == 0:
            cells += [px_rect(x0, y, x0, y), px_rect(x1, y, x1, y)]
    c.fill(Union(*cells), colour)


def icon_select(c):
    dotted_rect(c, 1, 2, 16, 15)
    c.fill(px_rect(4, 5, 13, 12), BLUE_L, 0.6)
    # a small pointer in the corner
    outlined_poly(c, [(11, 10), (11, 18), (13, 16), (15, 18.5), (16.5, 17.5), (14.5, 15), (17, 14.5)], PAPER)


def icon_zoom(c):
    c.fill(Seg((11.5, 11.5), (17, 17), 4.2), OUT)
    c.fill(Seg((12, 12), (16.6, 16.6), 2.2), WOOD)
    c.fill(Ellipse(7.5, 7.5, 6.5), OUT)
    c.fill(Ellipse(7.5, 7.5, 5.3), BLUE_L)
    c.fill(Ellipse(6, 6, 1.8), PAPER, 0.8)


def icon_eraser(c):
    body = [(2, 12), (9, 4), (17, 10), (10, 18)]
    outlined_poly(c, body, "#f4a7b9")
    c.fill(Poly([(6.1, 15.2), (10, 18), (17, 10), (13.1, 7.1)]), PAPER)
    c.fill(polyline([(6.1, 15.2), (13.1, 7.1)], 1.0), OUT)


def icon_picker(c):
    # pipette: glass tube down-left, bulb up-right
    c.fill(Seg((3, 16), (11, 8), 4.2), OUT)
    c.fill(Seg((3.6, 15.4), (10.6, 8.4), 2.2), BLUE_L)
    c.fill(Seg((2.2, 17), (3.6, 15.6), 1.4), OUT)
    c.fill(Ellipse(14, 5, 4.2), OUT)
    c.fill(Ellipse(14, 5, 3.1), RED)
    c.fill(Seg((9, 7), (12, 10), 2.0), OUT)


def icon_pencil(c):
    body = [(3.2, 13.0), (13.0, 3.2), (16.0, 6.2), (6.2, 16.0)]
    outlined_poly(c, body, YELLOW)
    c.fill(Poly([(3.2, 13.0), (6.2, 16.0), (1.5, 17.7)]), WOOD)
    c.fill(Poly([(1.5, 17.7), (2.3, 15.4), (3.8, 16.9)]), OUT)
    c.fill(Poly([(12.0, 4.2), (13.0, 3.2), (16.0, 6.2), (15.0, 7.2)]), RED)


def icon_spray(c):
    c.box(3, 8, 10, 18, GREY, OUT)
    c.box(5, 5, 8, 8, SHADE, OUT)
    c.fill(px_rect(4, 11, 9, 13), BLUE)
    for (x, y) in [(12, 3), (14, 5), (16, 2), (13, 7), (16, 7), (17, 4), (15, 9), (12, 1)]:
        c.fill(px_rect(x, y, x, y), RED)


def icon_fill(c):
    bucket = [(3, 8), (10, 3), (16, 10), (9, 16)]
    outlined_poly(c, bucket, SHADE)
    c.fill(Poly([(3, 8), (16, 10), (9, 16)]), BLUE_L)
    c.fill(Union(Seg((16, 10), (17.5, 15), 2.2), Ellipse(17.3, 15.8, 1.4)), BLUE)


def icon_line(c):
    c.fill(Seg((2.5, 16.5), (16.5, 2.5), 3.2), OUT)
    c.fill(Seg((3, 16), (16, 3), 1.4), BLUE)


TEXT_A = [
    "...##...",
    "...##...",
    "..####..",
    "..#..#..",
    ".##..##.",
    ".######.",
    "##....##",
    "##....##",
]


def icon_text(c):
    # the letter A, each glyph pixel drawn as a 2 x 2 block
    cells = [px_rect(1 + 2 * i, 2 + 2 * j, 2 + 2 * i, 3 + 2 * j)
             for j, row in enumerate(TEXT_A) for i, ch in enumerate(row) if ch == "#"]
    c.fill(Union(*cells), OUT)


def icon_rectangle(c):
    c.fill(Diff(px_rect(2, 4, 16, 14), px_rect(4, 6, 14, 12)), BLUE)
    c.fill(Diff(px_rect(1, 3, 17, 15), px_rect(2, 4, 16, 14)), OUT)
    c.fill(Diff(px_rect(4, 6, 14, 12), px_rect(5, 7, 13, 11)), OUT)


def icon_ellipse(c):
    c.fill(Diff(Ellipse(9.5, 9.5, 8.6, 6.6), Ellipse(9.5, 9.5, 5.4, 3.4)), OUT)
    c.fill(Diff(Ellipse(9.5, 9.5, 7.6, 5.6), Ellipse(9.5, 9.5, 6.4, 4.4)), BLUE)


def icon_round_rect(c):
    c.fill(Diff(RoundRect(1, 3, 18, 16, 4.5), RoundRect(4, 6, 15, 13, 2)), OUT)
    c.fill(Diff(RoundRect(2, 4, 17, 15, 3.5), RoundRect(3, 5, 16, 14, 2.5)), BLUE)


TOOLS = {
    "select": icon_select,
    "zoom": icon_zoom,
    "eraser": icon_eraser,
    "picker": icon_picker,
    "pencil": icon_pencil,
    "spray": icon_spray,
    "fill": icon_fill,
    "line": icon_line,
    "text": icon_text,
    "rectangle": icon_rectangle,
    "ellipse": icon_ellipse,
    "round_rect": icon_round_rect,
}


# -- list pictures ---------------------------------------------------------

def fill_style(style, scale=1):
    c = Canvas(30, 12, scale)
    if style == 0:
        c.fill(Diff(px_rect(1, 1, 28, 10), px_rect(2, 2, 27, 9)), OUT)
    elif style == 1:
        c.box(1, 1, 28, 10, GREY, OUT)
    else:
        c.fill(px_rect(1, 1, 28, 10), OUT)
    return c


def placement(transparent, scale=1):
    c = Canvas(35, 23, scale)
    # what lies underneath: a red disc and a green bar
    c.fill(Ellipse(11, 11.5, 8), RED)
    c.fill(px_rect(2, 15, 32, 19), GREEN)
    # the piece: a white card with a blue square
    if not transparent:
        c.box(12, 2, 32, 20, PAPER, OUT)
    else:
        dotted_rect(c, 12, 2, 32, 20)
    c.box(18, 7, 26, 15, BLUE, OUT)
    return c


def folder(up, scale=1):
    c = Canvas(39, 39, scale)
    back = [(3, 9), (5, 7), (14, 7), (17, 10), (35, 10), (35, 33), (3, 33)]
    outlined_poly(c, back, ORANGE)
    front = [(3, 15), (35, 15), (35, 33), (3, 33)]
    outlined_poly(c, front, YELLOW)
    if up:
        thin_arrow(c, [(19, 30), (19, 19)], BLUE_D, 2.6, 6, 5)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)
    # name.png for ordinary screens, name@2x.png drawn at twice the density for scaled screens.
    for scale, suffix in ((1, ""), (2, "@2x")):
        pictures = {}
        for name, draw in TOOLS.items():
            c = Canvas(TOOL, TOOL, scale)
            draw(c)
            pictures["paint_" + name] = c
        for style in range(3):
            pictures["paint_fill_%d" % style] = fill_style(style, scale)
        pictures["paint_opaque"] = placement(False, scale)
        pictures["paint_transparent"] = placement(True, scale)
        pictures["paint_folder"] = folder(False, scale)
        pictures["paint_folder_up"] = folder(True, scale)
        for name, c in pictures.items():
            c.save_png(os.path.join(out_dir, name + suffix + ".png"))
            print(name + suffix + ".png")

if __name__ == "__main__":
    main()
