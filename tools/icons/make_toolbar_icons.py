#!/usr/bin/env python3
"""Draws the 20 x 20 tool-bar icons into resources/icons/.

Style: flat fills, a one-pixel dark slate outline around every solid shape,
a small shared palette; thin plain strokes only for small indicator arrows.
Run from anywhere:  python3 tools/icons/make_toolbar_icons.py [output-dir]
"""

import math
import os
import sys

from raster import (Arc, Canvas, Diff, Ellipse, Intersect, Pixels, Poly, Seg,
                    Union, grown_poly, polyline, px_rect)

SIZE = 20

# Palette shared by every icon.
OUT = "#2f3b4c"       # outline and dark details
PAPER = "#ffffff"
SHADE = "#d5dde7"     # folded corners, metal
GREY = "#8c98a6"
BLUE = "#3d7fd9"
BLUE_L = "#a9c8f2"
BLUE_D = "#23569e"
GREEN = "#4aa03f"
GREEN_L = "#b9e0ad"
YELLOW = "#f7cd4f"
ORANGE = "#e39b2b"
RED = "#d9483b"
PURPLE = "#9c3a84"
PURPLE_L = "#e8c6e0"
WOOD = "#efcf9f"

DIGITS = {
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": [".#.", "#.#", "..#", ".#.", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
}


def digit(c, ch, x, y, colour=OUT):
    c.fill(Pixels(x, y, DIGITS[ch]), colour)


def outlined_poly(c, pts, fill, stroke=OUT):
    """Polygon filled with `fill` and a one-pixel outline just outside it."""
    c.outlined(Poly(pts), grown_poly(pts), fill, stroke)


def head(tip, direction, length, half):
    """Triangle of an arrowhead whose point is `tip`, pointing along the unit
    vector `direction`."""
    dx, dy = direction
    bx, by = tip[0] - dx * length, tip[1] - dy * length
    nx, ny = -dy, dx
    return [tip, (bx + nx * half, by + ny * half), (bx - nx * half, by - ny * half)]


def bold_arrow(c, body_shapes_for, head_pts, colour=BLUE, width=2.4):
    """A thick arrow outlined in dark: `body_shapes_for(w)` returns the shaft
    drawn with stroke width w."""
    c.fill(Union(body_shapes_for(width + 2), grown_poly(head_pts)), OUT)
    c.fill(Union(body_shapes_for(width), Poly(head_pts)), colour)


def thin_arrow(c, pts, colour=BLUE_D, width=1.4, head_len=3.2, half=2.2):
    """A plain polyline arrow ending with a small solid head at pts[-1]."""
    (ax, ay), (bx, by) = pts[-2], pts[-1]
    length = ((bx - ax) ** 2 + (by - ay) ** 2) ** 0.5
    d = ((bx - ax) / length, (by - ay) / length)
    base = (bx - d[0] * (head_len - 0.5), by - d[1] * (head_len - 0.5))
    c.fill(Union(polyline(list(pts[:-1]) + [base], width),
                 Poly(head((bx, by), d, head_len, half))), colour)


def page(c, x0, y0, x1, y1, fold):
    """A sheet with a folded top-right corner; pixels x0..x1, y0..y1."""
    outer = [(x0, y0), (x1 + 1 - fold, y0), (x1 + 1, y0 + fold),
             (x1 + 1, y1 + 1), (x0, y1 + 1)]
    inner = [(x0 + 1, y0 + 1), (x1 + 0.6 - fold, y0 + 1), (x1, y0 + fold + 0.4),
             (x1, y1), (x0 + 1, y1)]
    c.fill(Poly(outer), OUT)
    c.fill(Poly(inner), PAPER)
    fx = x1 + 1 - fold
    c.fill(Poly([(fx, y0 + 0.5), (fx, y0 + fold), (x1 + 0.5, y0 + fold)]), SHADE)
    c.fill(polyline([(fx + 0.5, y0 + 0.5), (fx + 0.5, y0 + fold - 0.5),
                     (x1 + 0.5, y0 + fold - 0.5)], 1.0), OUT)


def floppy(c, x0, y0, s):
    """A floppy disk occupying pixels x0..x0+s-1 in both directions."""
    x1, y1 = x0 + s - 1, y0 + s - 1
    cut = max(2, s // 6)
    body = [(x0 + 1, y0 + 1), (x1 - cut, y0 + 1), (x1, y0 + 1 + cut),
            (x1, y1), (x0 + 1, y1)]
    outlined_poly(c, body, BLUE)
    # metal shutter at the top, with its window
    sx0, sx1 = x0 + round(s * 0.25), x1 - round(s * 0.25)
    sy1 = y0 + round(s * 0.36)
    c.box(sx0, y0, sx1, sy1, SHADE, OUT)
    wx = sx1 - max(1, (sx1 - sx0) // 3)
    c.fill(px_rect(wx, y0 + 2, wx + max(0, s // 9 - 1), sy1 - 1), BLUE_D)
    # paper label at the bottom
    ly0 = y0 + round(s * 0.55)
    c.box(x0 + 2, ly0, x1 - 2, y1, PAPER, OUT)
    if s >= 14:
        for ly in range(ly0 + 2, y1 - 1, 2):
            c.fill(px_rect(x0 + 4, ly, x1 - 4, ly), BLUE_L)


def landscape(c, x0, y0, x1, y1):
    """A framed picture: sky, sun and two hills; pixels x0..x1, y0..y1."""
    c.box(x0, y0, x1, y1, BLUE_L, OUT)
    inside = px_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1)
    w, h = x1 - x0, y1 - y0
    c.fill(Intersect(Ellipse(x0 + w * 0.72, y0 + h * 0.33, max(1.4, w * 0.12)), inside), YELLOW)
    back_hill = Poly([(x0, y1), (x0 + w * 0.45, y0 + h * 0.45), (x1 + 1, y1 - h * 0.05), (x1 + 1, y1 + 1)])
    front_hill = Poly([(x0, y0 + h * 0.62), (x0 + w * 0.3, y0 + h * 0.5),
                       (x0 + w * 0.8, y1 + 1), (x0, y1 + 1)])
    c.fill(Intersect(back_hill, inside), GREEN)
    c.fill(Intersect(front_hill, inside), "#2f7d32")


# --------------------------------------------------------------------------


def icon_new(c):
    page(c, 2, 1, 13, 18, 4)
    star = []
    for k in range(10):
        r = 5.2 if k % 2 == 0 else 2.2
        a = math.radians(-90 + 36 * k)
        star.append((14.3 + r * math.cos(a), 6.0 + r * math.sin(a)))
    outlined_poly(c, star, YELLOW)


def icon_open(c):
    back = [(2, 4), (3, 3), (7, 3), (9, 5), (16, 5), (16, 17), (2, 17)]
    outlined_poly(c, back, ORANGE)
    c.box(4, 7, 14, 12, PAPER, OUT)
    front = [(6, 10), (18.5, 10), (15.5, 17), (2, 17), (2, 15)]
    outlined_poly(c, front, YELLOW)


def icon_save(c):
    floppy(c, 1, 1, 18)


def pencil(c, tip, length=9.0, half=1.9):
    d = (math.sqrt(0.5), -math.sqrt(0.5))  # from the tip towards the end
    n = (-d[1], d[0])
    tx, ty = tip
    cone = 3.6
    bx, by = tx + d[0] * cone, ty + d[1] * cone
    ex, ey = tx + d[0] * length, ty + d[1] * length
    rx, ry = ex - d[0] * 2.2, ey - d[1] * 2.2
    body = [(bx + n[0] * half, by + n[1] * half), (ex + n[0] * half, ey + n[1] * half),
            (ex - n[0] * half, ey - n[1] * half), (bx - n[0] * half, by - n[1] * half)]
    cone_pts = [(tx, ty), (bx + n[0] * half, by + n[1] * half), (bx - n[0] * half, by - n[1] * half)]
    c.fill(Union(grown_poly(body), grown_poly(cone_pts)), OUT)
    c.fill(Poly(body), YELLOW)
    c.fill(Poly([(rx + n[0] * half, ry + n[1] * half), (ex + n[0] * half, ey + n[1] * half),
                 (ex - n[0] * half, ey - n[1] * half), (rx - n[0] * half, ry - n[1] * half)]), RED)
    c.fill(Poly(cone_pts), WOOD)
    c.fill(Poly(head((tx, ty), (-d[0], -d[1]), 1.6, 0.85)), OUT)


def icon_save_as(c):
    floppy(c, 0, 3, 15)
    pencil(c, (9.6, 18.4), length=12.5)


def icon_save_picture(c):
    landscape(c, 1, 2, 16, 14)
    floppy(c, 10, 10, 10)


def undo_shape(c):
    def body(w):
        return Union(Arc(10.5, 11, 5, -90, 90, w),
                     Seg((10.5, 6), (7, 6), w), Seg((10.5, 16), (6.5, 16), w))
    bold_arrow(c, body, head((1.6, 6), (-1, 0), 5.6, 4.2))


def icon_undo(c):
    undo_shape(c)


def icon_redo(c):
    undo_shape(c)
    c.flip_horizontal()


def icon_edit_mode(c):
    # dotted selection outline with corner handles
    dots = []
    for k in range(3, 17, 2):
        dots += [(k, 2), (k, 17), (2, k), (17, k)]
    c.fill(Union(*[px_rect(x, y, x, y) for x, y in dots]), GREY)
    for x, y in ((1, 1), (16, 1), (1, 16), (16, 16)):
        c.fill(px_rect(x, y, x + 2, y + 2), OUT)
    # four-way move arrow
    def body(w):
        return Union(Seg((6, 10), (14, 10), w), Seg((10, 6), (10, 14), w))
    heads = [head((3.6, 10), (-1, 0), 3.0, 2.6), head((16.4, 10), (1, 0), 3.0, 2.6),
             head((10, 3.6), (0, -1), 3.0, 2.6), head((10, 16.4), (0, 1), 3.0, 2.6)]
    c.fill(Union(body(4.0), *[grown_poly(h) for h in heads]), OUT)
    c.fill(Union(body(2.0), *[Poly(h) for h in heads]), BLUE)


def icon_grid(c):
    for k in (2, 6, 10, 14, 18):
        c.fill(px_rect(k, 1, k, 18), SHADE)
        c.fill(px_rect(1, k, 18, k), SHADE)
    for x in (2, 6, 10, 14, 18):
        for y in (2, 6, 10, 14, 18):
            c.fill(px_rect(x, y, x, y), GREY)
    c.box(6, 10, 14, 18, BLUE, OUT)
    c.fill(px_rect(7, 11, 13, 11), BLUE_L)
    # a horseshoe magnet above the square, pulling it onto the grid
    def horseshoe(w):
        return Union(Arc(10, 4.2, 2.6, 180, 360, w),
                     Seg((7.4, 4.2), (7.4, 7.2), w), Seg((12.6, 4.2), (12.6, 7.2), w))
    c.fill(horseshoe(4.2), OUT)
    c.fill(horseshoe(2.2), RED)
    c.fill(px_rect(6, 7, 8, 7), SHADE)
    c.fill(px_rect(12, 7, 14, 7), SHADE)


def icon_zoom_outline(c):
    # the window, drawn dashed, and the outline sheet inside it
    dash = []
    for k in range(1, 19, 3):
        dash += [px_rect(k, 1, min(k + 1, 18), 1), px_rect(k, 18, min(k + 1, 18), 18),
                 px_rect(1, k, 1, min(k + 1, 18)), px_rect(18, k, 18, min(k + 1, 18))]
    c.fill(Union(*dash), GREY)
    c.box(6, 6, 13, 13, PAPER, OUT)
    c.fill(px_rect(7, 7, 9, 9), BLUE)
    c.fill(px_rect(10, 10, 12, 12), GREEN)
    thin_arrow(c, [(6.2, 6.2), (2.4, 2.4)])
    thin_arrow(c, [(13.8, 13.8), (17.6, 17.6)])
    thin_arrow(c, [(13.8, 6.2), (17.6, 2.4)])
    thin_arrow(c, [(6.2, 13.8), (2.4, 17.6)])


A_GLYPH = [".##.", "#..#", "####", "#..#", "#..#"]


def icon_frame_titles(c):
    c.box(1, 2, 18, 17, "#e6edf6", OUT)
    c.fill(px_rect(2, 3, 17, 8), BLUE)
    c.fill(Pixels(3, 4, A_GLYPH), PAPER)
    c.fill(px_rect(9, 5, 15, 6), BLUE_L)
    c.fill(px_rect(2, 9, 17, 9), OUT)
    for y in (11, 13, 15):
        c.fill(px_rect(4, y, 15 if y != 15 else 11, y), GREY)


def icon_picture_scaling(c):
    dash = []
    for k in range(1, 8, 3):
        dash.append(px_rect(k, 1, k + 1, 1))
    for k in range(1, 8, 3):
        dash.append(px_rect(18, 18 - k - 1, 18, 18 - k))
    dash += [px_rect(10, 1, 11, 1), px_rect(13, 1, 14, 1), px_rect(16, 1, 18, 1),
             px_rect(18, 2, 18, 3), px_rect(18, 5, 18, 6), px_rect(18, 8, 18, 9)]
    c.fill(Union(*dash), GREY)
    landscape(c, 1, 8, 11, 18)
    thin_arrow(c, [(12.2, 7.8), (17.4, 2.6)], width=1.6, head_len=3.6, half=2.5)


def icon_minimal_text(c):
    page(c, 3, 1, 16, 18, 4)
    c.fill(px_rect(5, 4, 10, 5), BLUE)
    for y in (8, 10, 12, 14):
        c.fill(px_rect(5, y, 14 if y != 14 else 11, y), GREY)
    c.fill(px_rect(5, 16, 9, 16), GREY)


def seq_box(c, x0, y0, ch, line, fill):
    c.box(x0, y0, x0 + 6, y0 + 7, fill, line)
    digit(c, ch, x0 + 2, y0 + 1)


def icon_object_sequence(c):
    seq_box(c, 0, 1, "1", GREEN, GREEN_L)
    seq_box(c, 13, 1, "2", GREEN, GREEN_L)
    seq_box(c, 5, 11, "3", GREEN, GREEN_L)
    thin_arrow(c, [(7.0, 4.5), (12.6, 4.5)], colour=BLUE_D, head_len=3.0, half=2.2)
    thin_arrow(c, [(16.5, 9.2), (16.5, 14.5), (12.6, 14.5)], colour=BLUE_D,
               head_len=2.6, half=2.0)


def seq_frame(c, x0, y0, x1, y1, ch):
    c.box(x0, y0, x1, y1, PAPER, PURPLE)
    c.fill(px_rect(x0 + 1, y0 + 1, x1 - 1, y0 + 2), PURPLE_L)
    digit(c, ch, x0 + 2, y0 + 3)
    c.fill(px_rect(x0 + 6, y0 + 5, x1 - 2, y0 + 5), GREY)


def icon_frame_sequence(c):
    seq_frame(c, 1, 1, 11, 9, "1")
    seq_frame(c, 8, 10, 18, 18, "2")
    thin_arrow(c, [(4.5, 10), (4.5, 14.5), (8.0, 14.5)], colour=BLUE_D,
               head_len=2.6, half=2.0)


def icon_move(c, earlier):
    """Two numbered places and an arrow towards the earlier or later one."""
    c.box(1, 10, 7, 18, PAPER, OUT)
    digit(c, "1", 3, 12)
    c.box(12, 10, 18, 18, PAPER, OUT)
    digit(c, "2", 14, 12)

    def body(w):
        return Seg((16.5, 5.0), (7.5, 5.0), w)
    bold_arrow(c, body, head((2.0, 5.0), (-1, 0), 5.2, 4.0), colour=GREEN)
    if not earlier:
        # the same picture mirrored, with the digits kept readable
        c.flip_horizontal()
        c.box(1, 10, 7, 18, PAPER, OUT)
        digit(c, "1", 3, 12)
        c.box(12, 10, 18, 18, PAPER, OUT)
        digit(c, "2", 14, 12)


def icon_move_earlier(c):
    icon_move(c, True)


def icon_move_later(c):
    icon_move(c, False)


def icon_background_colour(c):
    hole = Ellipse(6.4, 13.4, 2.3)
    c.fill(Diff(Ellipse(10, 10.3, 9.2, 8.0), Ellipse(6.4, 13.4, 1.3)), OUT)
    c.fill(Diff(Ellipse(10, 10.3, 8.2, 7.0), hole), WOOD)
    for (x, y, col) in ((6.5, 7.2, RED), (10.6, 5.6, YELLOW), (14.6, 7.6, GREEN), (14.2, 12.6, BLUE)):
        c.fill(Ellipse(x, y, 2.3), OUT)
        c.fill(Ellipse(x, y, 1.45), col)


def icon_help(c):
    c.fill(Ellipse(10, 10, 9.5), OUT)
    c.fill(Ellipse(10, 10, 8.5), BLUE)
    c.fill(Union(Arc(10, 7.6, 2.9, 180, 400, 2.3),
                 Seg((12.2, 9.5), (10, 11.3), 2.3), Seg((10, 11.3), (10, 12.3), 2.3)), PAPER)
    c.fill(Ellipse(10, 15.2, 1.35), PAPER)


def icon_present(c):
    """A projection screen on its stand with a play triangle: show the outline."""
    c.fill(Union(Seg((10, 15.5), (10, 18.5), 1.6), Seg((10, 16.5), (5.5, 19.2), 1.4),
                 Seg((10, 16.5), (14.5, 19.2), 1.4)), OUT)
    c.fill(px_rect(1, 1, 18, 2), GREY)
    c.box(2, 3, 17, 15, PAPER, OUT)
    outlined_poly(c, [(7.5, 5.5), (13.5, 9.0), (7.5, 12.5)], GREEN)


ICONS = {
    "new": icon_new,
    "open": icon_open,
    "save": icon_save,
    "save_as": icon_save_as,
    "save_picture": icon_save_picture,
    "undo": icon_undo,
    "redo": icon_redo,
    "edit_mode": icon_edit_mode,
    "grid": icon_grid,
    "zoom_outline": icon_zoom_outline,
    "frame_titles": icon_frame_titles,
    "picture_scaling": icon_picture_scaling,
    "minimal_text": icon_minimal_text,
    "object_sequence": icon_object_sequence,
    "frame_sequence": icon_frame_sequence,
    "move_earlier": icon_move_earlier,
    "move_later": icon_move_later,
    "background_colour": icon_background_colour,
    "help": icon_help,
    "present": icon_present,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "icons")
    os.makedirs(out_dir, exist_ok=True)
    # name.png for ordinary screens, name@2x.png drawn at twice the density (Qt picks it on a
    # screen scaled by 1.5 or more).
    for name, draw in ICONS.items():
        for scale, suffix in ((1, ""), (2, "@2x")):
            c = Canvas(SIZE, SIZE, scale)
            draw(c)
            c.save_png(os.path.join(out_dir, name + suffix + ".png"))
            print(name + suffix + ".png")


if __name__ == "__main__":
    main()
