"""Real-input tests of the graphic editor's picture browser: walking into a folder with a
double-click and dragging a thumbnail onto the picture with the mouse."""

import hashlib
import os
import signal
import struct
import time
import urllib.parse

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


def test_fifo_planted_in_the_thumbnail_cache_holds_neither_the_thumbnail_nor_the_exit(app):
    os.makedirs(os.path.join(app.folder, "pics"))
    picture = os.path.join(app.folder, "pics", "red.bmp")
    write_bmp(picture, 40, 30, (255, 0, 0))
    # Another program of the user's could leave a FIFO where the shared cache keeps this
    # picture's thumbnail; a reader opening it would wait for a writer for ever.
    uri = "file://" + urllib.parse.quote(os.path.abspath(picture))
    for size in ("normal", "large"):
        folder = os.path.join(app.folder, "cache", "thumbnails", size)
        os.makedirs(folder, mode=0o700)
        os.mkfifo(os.path.join(folder, hashlib.md5(uri.encode()).hexdigest() + ".png"), 0o600)
    editor = open_editor(app)
    editor.move_to(browser_item(app, editor, "pics"))
    app.desktop.xdotool("click", "--repeat", 2, "--delay", 80, 1)
    x, y = browser_item(app, editor, "red")

    def red_shown():
        w, h, rows = truth.grab(app, (x - 48, y - 64, 96, 96))
        return sum(row[i:i + 3] == b"\xff\x00\x00" for row in rows for i in range(0, len(row), 3)) > 100
    e2e.wait_for(red_shown, "the red picture's thumbnail on the screen", 20, interval=0.2)

    # Ending the program waits for no worker left hanging.
    app.process.send_signal(signal.SIGTERM)
    e2e.check_equal(app.process.wait(20), 0, "exit status after SIGTERM")


if __name__ == "__main__":
    e2e.main(globals())
