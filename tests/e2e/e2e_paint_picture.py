"""Real-input tests of the graphic editor's "Рисунок" menu and its zooms below 1x: a 4000 x 3000
photo fitted to the window, turned, cropped to a selection and resized through the dialog, each
undone; drawing at 1/4 lands where the pointer was; a floating piece turned and its turn undone;
the line's arrow heads; a handle held past the view's edge scrolls the view. After each step the
X screen is compared with the picture the editor holds, and the picture's pixels with the photo
file the test made."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import open_editor, undo_index
from e2e_paint_files import read_picture
from e2e_paint_screen import away, open_white_editor, step, screen_drag

PHOTO = (4000, 3000)


def make_photo(app):
    """A 4000 x 3000 picture whose corners differ: a gradient, a yellow top-left block, a green
    bottom-right block and a white disc in the middle."""
    path = os.path.join(app.folder, "photo.bmp")
    subprocess.run(["convert", "-size", "%dx%d" % PHOTO, "gradient:red-blue", "-fill", "yellow", "-draw",
                    "rectangle 0,0 999,499", "-fill", "green", "-draw", "rectangle 3000,2500 3999,2999",
                    "-fill", "white", "-draw", "circle 2000,1500 2000,1900", "BMP3:" + path],
                   check=True, timeout=120)
    return path


def open_photo(app):
    """The editor opened on a small picture, then the photo opened in it with Ctrl+O."""
    editor = open_white_editor(app)
    path = make_photo(app)
    state = step(app, editor, "the photo opened", lambda: (app.key("ctrl+o"), app.answer("Открыть", path)),
                 lambda s: s["size"] == "%dx%d" % PHOTO)
    return editor, read_picture(path)


def scale(block):
    up, _, down = block.view["scale"].partition("/")
    return int(up), int(down or 1)


def check_pixels(block, expected, what, points=12):
    """Each pixel the sampled view shows is the average of the picture pixels the zoom gives it
    (`expected(x, y)` gives a picture pixel in picture coordinates; None skips a point)."""
    e2e.check(block.view["sampled"], f"{what}: the view is not below 1x")
    up, down = scale(block)
    with open(block.view["file"], "rb") as f:
        w, h, rows = truth.read_ppm(f.read())
    cx, cy = block.view["control_offset"]

    def span(c):
        first = c * down // up
        return range(first, max(first + 1, (c + 1) * down // up))

    wrong = []
    for j in range(2, h - 2, max(1, h // points)):
        for i in range(2, w - 2, max(1, w // points)):
            pixels = [expected(x, y) for y in span(cy + j) for x in span(cx + i)]
            if any(p is None for p in pixels):
                continue
            n = len(pixels)
            want = tuple((sum(channel) + n // 2) // n for channel in zip(*pixels))
            got = tuple(rows[j][3 * i: 3 * i + 3])
            if max(abs(a - b) for a, b in zip(want, got)) > 1:
                wrong.append(((cx + i) * down // up, (cy + j) * down // up, got, want))
    e2e.check(not wrong, f"{what}: {len(wrong)} screen pixels are not the average of the photo's pixels "
                         f"they stand for, e.g. {wrong[:4]}")


def photo_pixel(photo):
    _, _, rows = photo
    return lambda x, y: tuple(rows[y][3 * x: 3 * x + 3])


def whole_in_view(block, size, what):
    up, down = scale(block)
    control = (max(1, size[0] * up // down), max(1, size[1] * up // down))
    e2e.check(block.view["control_offset"] == (0, 0) and block.view["rect"][2:] == control,
              f"{what}: the view shows {block.view['rect'][2:]} from {block.view['control_offset']}, "
              f"not the whole picture {control}")


def test_fit_turn_crop_resize_a_photo_and_undo_each(app):
    editor, photo = open_photo(app)
    original = photo_pixel(photo)
    W, H = PHOTO

    state = step(app, editor, "fit to the window", lambda: app.key("ctrl+0"), lambda s: "/" in s["zoom"])
    fitted = truth.blocks(app)[-1]
    whole_in_view(fitted, PHOTO, "fit")
    check_pixels(fitted, original, "fit")
    e2e.check_equal(state["tool"], "5", "the tool after the fit")

    state = step(app, editor, "turned right", lambda: app.key("ctrl+r"), lambda s: s["size"] == "3000x4000")
    turned = truth.blocks(app)[-1]
    whole_in_view(turned, (H, W), "turned right")
    check_pixels(turned, lambda x, y: original(y, H - 1 - x), "turned right")
    index = undo_index(state)
    step(app, editor, "turn undone", lambda: app.key("ctrl+z"),
         lambda s: s["size"] == "4000x3000" and undo_index(s) == index - 1)
    check_pixels(truth.blocks(app)[-1], original, "turn undone")

    # The half turn from the menu, by its name.
    mark = len(app.lines())
    editor.move_to(editor.item("PaintPictureMenu"))
    app.desktop.xdotool("click", 1)
    e2e.wait_for(lambda: "PaintPictureMenu" in app.menus_since(mark), "the menu Рисунок")
    state = step(app, editor, "half turn", lambda: app.choose("PaintTurnHalf", mark),
                 lambda s: undo_index(s) == index)
    check_pixels(truth.blocks(app)[-1], lambda x, y: original(W - 1 - x, H - 1 - y), "half turn")
    step(app, editor, "half turn undone", lambda: app.key("ctrl+z"), lambda s: undo_index(s) == index - 1)

    # A frame dragged over the fitted photo, cropped to: the picture is the photo's rectangle.
    editor.tool("Panel40", 1)
    state = step(app, editor, "selection", lambda: editor.drag((60, 40), (260, 190)), lambda s: s["piece"] == "1")
    up, down = scale(truth.blocks(app)[-1])
    left, top = 60 * down // up, 40 * down // up
    size = tuple(int(v) for v in state["piecesize"].split("x"))
    state = step(app, editor, "crop", lambda: app.key("ctrl+shift+x"),
                 lambda s: s["piece"] == "0" and s["size"] == "%dx%d" % size)
    cropped = truth.blocks(app)[-1]
    whole_in_view(cropped, size, "crop")
    check_pixels(cropped, lambda x, y: original(left + x, top + y), "crop")
    step(app, editor, "crop undone", lambda: app.key("ctrl+z"), lambda s: s["size"] == "4000x3000")
    check_pixels(truth.blocks(app)[-1], original, "crop undone")

    # Resized to a half through the dialog: each pixel about the average of the four it covers.
    def resize():
        app.key("ctrl+w")
        dialog = app.dialog("Изменить размер")
        app.key("ctrl+a")
        app.type("50")
        app.key_until(["Return"], lambda: app.window_gone(dialog), "the resize dialog to close")

    step(app, editor, "resized to 50%", resize, lambda s: s["size"] == "2000x1500")
    half = truth.blocks(app)[-1]
    whole_in_view(half, (2000, 1500), "resized")

    def averaged(x, y):
        # Away from the edges of the blocks and the disc the photo is smooth: compare there.
        if abs(x * 2 - 1000) < 40 or abs(y * 2 - 500) < 40 or abs(x * 2 - 3000) < 40 or abs(y * 2 - 2500) < 40:
            return None
        if abs(((x * 2 - 2000) ** 2 + (y * 2 - 1500) ** 2) ** 0.5 - 400) < 40:
            return None
        return original(2 * x, 2 * y)

    up, down = scale(half)
    with open(half.view["file"], "rb") as f:
        w, h, rows = truth.read_ppm(f.read())
    far = []
    for j in range(3, h - 3, h // 10):
        for i in range(3, w - 3, w // 10):
            x, y = i * down // up, j * down // up
            want = averaged(x, y)
            got = tuple(rows[j][3 * i: 3 * i + 3])
            if want is not None and max(abs(a - b) for a, b in zip(want, got)) > 16:
                far.append(((x, y), got, want))
    e2e.check(not far, f"the resized photo is not the photo resampled: {far[:4]}")
    step(app, editor, "resize undone", lambda: app.key("ctrl+z"), lambda s: s["size"] == "4000x3000")
    check_pixels(truth.blocks(app)[-1], original, "resize undone")


def test_drawing_at_a_quarter_lands_under_the_pointer(app):
    editor = open_white_editor(app)
    big = os.path.join(app.folder, "big.bmp")
    subprocess.run(["convert", "-size", "1600x1200", "xc:white", "BMP3:" + big], check=True, timeout=60)
    step(app, editor, "a large white picture", lambda: (app.key("ctrl+o"), app.answer("Открыть", big)),
         lambda s: s["size"] == "1600x1200")
    editor.tool("Panel41", 2)
    step(app, editor, "zoom 1/4", lambda: editor.click_item("ListBox1.5"), lambda s: s["zoom"] == "1/4")

    # A pencil stroke (the tool used before the zoom) and a line with an arrow head.
    state = step(app, editor, "stroke at 1/4", lambda: editor.drag((30, 30), (130, 30)),
                 lambda s: undo_index(s) == 3)
    editor.tool("Panel48", 9)
    editor.click_item("arrowHeadList.1")
    step(app, editor, "arrow at 1/4", lambda: editor.drag((30, 100), (200, 100)), lambda s: undo_index(s) == 4)
    saved = os.path.join(app.folder, "quarter")
    app.key("ctrl+s")
    app.answer("Сохранить", saved)
    e2e.wait_for(lambda: os.path.exists(saved + ".bmp"), "the picture to be written")
    w, h, rows = read_picture(saved + ".bmp")
    e2e.check_equal((w, h), (1600, 1200), "the saved picture's size")

    def at(x, y):
        return tuple(rows[y][3 * x: 3 * x + 3])

    black, white = (0, 0, 0), (255, 255, 255)
    # Screen pixel (30, 30) of the view stands for picture pixel (120, 120), (130, 30) for (520, 120).
    for x in (120, 300, 520):
        e2e.check_equal(at(x, 120), black, f"the stroke at picture ({x}, 120)")
    e2e.check_equal(at(120, 126), white, "below the stroke")
    e2e.check_equal(at(530, 120), white, "past the stroke's end")
    # The arrow runs along row 400 from 120 to 800; its head is broader than the line near 800.
    e2e.check_equal(at(400, 400), black, "the arrow's line")
    e2e.check_equal(at(400, 397), white, "beside the arrow's line")
    e2e.check_equal(at(795, 398), black, "the arrow's head")
    e2e.check_equal(at(125, 398), white, "no head at the arrow's start")
    e2e.check_equal(at(805, 400), white, "past the arrow's tip")

    step(app, editor, "arrow undone", lambda: app.key("ctrl+z"), lambda s: undo_index(s) == 3)
    step(app, editor, "stroke undone", lambda: app.key("ctrl+z"), lambda s: undo_index(s) == 2)


def test_a_floating_piece_turned_and_its_turn_undone(app):
    editor, photo = open_photo(app)
    step(app, editor, "zoom 1/2", lambda: (editor.tool("Panel41", 2), editor.click_item("ListBox1.4")),
         lambda s: s["zoom"] == "1/2")
    editor.tool("Panel40", 1)
    state = step(app, editor, "selection", lambda: editor.drag((10, 10), (110, 50)), lambda s: s["piece"] == "1")
    e2e.check_equal(state["piecesize"], "200x80", "the piece lifted at 1/2")
    step(app, editor, "piece turned", lambda: app.key("ctrl+r"),
         lambda s: s["piece"] == "1" and s["piecesize"] == "80x200")
    step(app, editor, "piece turn undone", lambda: app.key("ctrl+z"),
         lambda s: s["piece"] == "1" and s["piecesize"] == "200x80")
    step(app, editor, "piece turn redone", lambda: app.key("ctrl+y"),
         lambda s: s["piece"] == "1" and s["piecesize"] == "80x200")
    # Put down by another tool: one step; undone, the photo is as opened.
    index = undo_index(state)
    step(app, editor, "piece put down", lambda: editor.tool("Panel44", 5),
         lambda s: s["piece"] == "0" and undo_index(s) == index + 1)
    step(app, editor, "put-down undone", lambda: app.key("ctrl+z"), lambda s: undo_index(s) == index)
    original = photo_pixel(photo)
    # At 1/2 the view shows part of the photo from its corner.
    block = truth.blocks(app)[-1]
    check_pixels(block, lambda x, y: original(x, y) if x < PHOTO[0] and y < PHOTO[1] else None, "put-down undone")


def test_a_handle_held_past_the_edge_scrolls_the_view(app):
    editor = open_white_editor(app)
    corner = editor.item("Panel5")  # the picture's corner handle (300 x 200 fits in the view)
    app.desktop.pointer_to(*corner)
    mark = len(app.lines())
    app.desktop.xdotool("mousedown", 1)
    try:
        # Held below and right of the work area (over the browser and the palette): the view
        # scrolls while the button stays down.
        beyond = (min(corner[0] + 600, 1270), min(corner[1] + 250, 890))
        for i in range(1, 9):
            app.desktop.pointer_to(corner[0] + (beyond[0] - corner[0]) * i // 8,
                                   corner[1] + (beyond[1] - corner[1]) * i // 8)
        # The scroll runs on the editor's timer. The report shows the part of the picture in
        # view, so a view scrolled past the whole picture reports none: on a loaded machine the
        # reports come seldom and may never catch the picture part way out.
        def scrolled():
            blocks = truth.blocks(app, mark)
            return bool(blocks) and (blocks[-1].view is None or blocks[-1].view["control_offset"][0] >= 200)
        e2e.wait_for(scrolled, "the view to scroll after the held handle", 40)
    finally:
        app.desktop.xdotool("mouseup", 1)
    away(editor)
    block = truth.wait_block(app, 0, lambda s: s["size"] != "300x200", "the picture to grow")
    width = int(block.state["size"].split("x")[0])
    # Without the scroll the picture could only have grown to where the pointer was let go.
    e2e.check(width >= 300 + (beyond[0] - corner[0]) + 200, f"the picture grew to {width} only")
    block = truth.blocks(app)[-1]
    truth.check_screen(app, block, "after the held handle")


if __name__ == "__main__":
    e2e.main(globals())
