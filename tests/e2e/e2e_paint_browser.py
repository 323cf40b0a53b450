"""Real-input tests of the graphic editor's picture browser: walking into a folder with a
double-click and dragging a thumbnail onto the picture with the mouse."""

import os
import struct
import time

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import FILLING, close_and_export, editor_geometry, near, open_editor, pixel


def write_bmp(path, width, height, colour):
    """A 24-bit bitmap file of one colour."""
    row = bytes((colour[2], colour[1], colour[0])) * width
    row += b"\0" * (-len(row) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def browser_item(app, editor, caption):
    """Screen point of the browser item with this caption, once it is listed."""
    name = "ListView1:" + caption
    return e2e.wait_for(lambda: editor_geometry(app, editor.mark)[1].get(name), f"the browser item {caption}")


def test_double_click_walks_in_and_drag_places_the_picture(app):
    os.makedirs(os.path.join(app.folder, "pics"))
    write_bmp(os.path.join(app.folder, "pics", "red.bmp"), 40, 30, (255, 0, 0))
    editor = open_editor(app)

    # The browser starts in the program's current folder: into "pics" with a double-click.
    editor.move_to(browser_item(app, editor, "pics"))
    app.desktop.xdotool("click", "--repeat", 2, "--delay", 80, 1)
    start = browser_item(app, editor, "red")
    # "red" lies where "pics" was: a press there within the double-click interval (400 ms) would
    # count as a third click, so the drag starts only once that time has passed.
    time.sleep(e2e.DOUBLE_CLICK_GAP)

    # Drag the thumbnail onto the middle of the picture; it arrives as a floating piece.
    target = editor.at((100, 75))
    mark = len(app.lines())
    editor.move_to(start)
    app.desktop.xdotool("mousedown", 1)
    for i in range(1, 11):
        editor.move_to((start[0] + (target[0] - start[0]) * i // 10, start[1] + (target[1] - start[1]) * i // 10))
    app.desktop.xdotool("mouseup", 1)
    truth.wait_block(app, mark, lambda s: s["piece"] == "1" and s["piecesize"] == "40x30", "the dropped picture")

    # Closing puts the piece down where it arrived, the picture's top-left corner.
    png = close_and_export(app)
    near(pixel(png, (20, 15)), (255, 0, 0), "the dropped picture")
    near(pixel(png, (38, 28)), (255, 0, 0), "the dropped picture's far corner")
    near(pixel(png, (60, 50)), FILLING, "beside the dropped picture")


if __name__ == "__main__":
    e2e.main(globals())
