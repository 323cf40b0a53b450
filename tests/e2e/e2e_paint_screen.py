"""Real-input tests that the graphic editor's screen shows the picture it holds: after every kind
of change (a stroke, undo, redo, a new or opened picture, zoom in and out, a fill, a paste, a
canvas resize) the picture area of an X screenshot is compared with the picture the editor
reports, pixel for pixel at zoom 1 and block for block at zooms 2 and 8."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import open_editor


def open_white_editor(app):
    """The editor on a white 300 x 200 picture: at zoom 2 and above larger than the work area."""
    white = os.path.join(app.folder, "white.bmp")
    subprocess.run(["convert", "-size", "300x200", "xc:white", "BMP3:" + white], check=True, timeout=30)
    editor = open_editor(app, {"window": [744, 546], "frames": [{"bounds": [60, 60, 400, 300], "title": "A"}],
                               "pictures": [{"bounds": [20, 30, 300, 200], "parent": 1, "image": white}]})
    truth.check_screen(app, truth.blocks(app, editor.mark)[-1], "opened")
    return editor


def away(editor):
    """Puts the pointer where it covers nothing of the picture (on the tool column's margin)."""
    x, y = editor.item("Panel40")
    editor.move_to((x - 14, y - 14))


def step(app, editor, what, action, condition=lambda s: True):
    """Does something, waits for the editor's report of it, and checks the screen against it."""
    mark = len(app.lines())
    action()
    away(editor)
    block = truth.wait_block(app, mark, condition, what)
    truth.check_screen(app, block, what)
    return block.state


def screen_drag(app, start, end, steps=8):
    """A left-button drag between two screen points."""
    app.desktop.pointer_to(*start)
    app.desktop.xdotool("mousedown", 1)
    for i in range(1, steps + 1):
        app.desktop.pointer_to(start[0] + (end[0] - start[0]) * i // steps,
                               start[1] + (end[1] - start[1]) * i // steps)
    app.desktop.xdotool("mouseup", 1)


def choose_tool(app, editor, panel, number):
    editor.tool(panel, number)


def test_strokes_undo_redo_new_fill_paste_resize(app):
    editor = open_white_editor(app)
    for _ in range(4):
        app.key("KP_Add")  # a pencil five pixels wide
    step(app, editor, "stroke", lambda: editor.drag((20, 20), (200, 150)), lambda s: s["undo"] == "2/2")
    step(app, editor, "undo", lambda: app.key("ctrl+z"), lambda s: s["undo"] == "1/2")
    step(app, editor, "redo", lambda: app.key("ctrl+y"), lambda s: s["undo"] == "2/2")

    step(app, editor, "blue back colour", lambda: editor.click_item("Panel25", button=3),
         lambda s: s["back"] == "#0000ff")
    before = truth.blocks(app)[-1].state["sum"]

    def new_picture():
        # The strokes are not saved in a file: "Да" to the question saves them first.
        app.key("ctrl+n")
        app.answer("Подтверждение")
        app.answer("Сохранить", os.path.join(app.folder, "strokes"))

    step(app, editor, "new picture", new_picture, lambda s: s["sum"] != before and s["undo"] == "3/3")
    e2e.check(os.path.exists(os.path.join(app.folder, "strokes.bmp")), "the strokes were saved before Создать")

    choose_tool(app, editor, "Panel47", 8)
    # A tolerance typed into its field; the fill's press takes the keyboard back to the picture,
    # so Ctrl+Z undoes the fill rather than the typing.
    editor.click_item("UpDown1")
    app.key("ctrl+a")
    mark = len(app.lines())
    app.type("30")
    truth.wait_block(app, mark, lambda s: s["tolerance"] == "30", "the tolerance typed")
    step(app, editor, "fill", lambda: editor.click((150, 100)), lambda s: s["undo"] == "4/4")
    step(app, editor, "undo of the fill", lambda: app.key("ctrl+z"), lambda s: s["undo"] == "3/4")
    e2e.check_equal(truth.blocks(app)[-1].state["tolerance"], "30", "the tolerance after Ctrl+Z")

    # A piece selected, copied and pasted: it floats at the work area's corner.
    choose_tool(app, editor, "Panel40", 1)
    step(app, editor, "selection", lambda: editor.drag((10, 10), (80, 60)), lambda s: s["piece"] == "1")
    app.key("ctrl+c")
    step(app, editor, "paste", lambda: app.key("ctrl+v"), lambda s: s["piece"] == "1" and s["piecepos"] == "0,0")

    choose_tool(app, editor, "Panel44", 5)
    corner = editor.item("Panel5")
    step(app, editor, "canvas resize", lambda: screen_drag(app, corner, (corner[0] + 40, corner[1] + 30)),
         lambda s: s["size"] == "340x230")
    step(app, editor, "undo of the resize", lambda: app.key("ctrl+z"), lambda s: s["size"] == "300x200")


def test_zoom_in_and_out_and_open(app):
    editor = open_white_editor(app)

    def zoom(row, factor):
        choose_tool(app, editor, "Panel41", 2)
        step(app, editor, f"zoom {factor}", lambda: editor.click_item(f"ListBox1.{row}"),
             lambda s: s["zoom"] == str(factor))

    zoom(3, 8)
    step(app, editor, "stroke at zoom 8", lambda: editor.drag((20, 20), (300, 200)), lambda s: s["undo"] == "2/2")
    zoom(1, 2)
    step(app, editor, "undo at zoom 2", lambda: app.key("ctrl+z"), lambda s: s["undo"] == "1/2")
    zoom(0, 1)
    step(app, editor, "redo at zoom 1", lambda: app.key("ctrl+y"), lambda s: s["undo"] == "2/2")

    # A picture of the same size opened through the file dialog.
    photo = os.path.join(app.folder, "gradient.bmp")
    subprocess.run(["convert", "-size", "300x200", "gradient:red-blue", "BMP3:" + photo], check=True, timeout=30)

    def open_file():
        app.key("ctrl+o")
        app.answer("Подтверждение")           # the stroke is saved first
        app.answer("Сохранить", os.path.join(app.folder, "stroke"))
        app.answer("Открыть", photo)

    before = truth.blocks(app)[-1].state["sum"]
    step(app, editor, "opened picture", open_file, lambda s: s["size"] == "300x200" and s["sum"] != before)
    zoom(2, 6)


def test_scroll_arrow_held_and_let_go(app):
    """The horizontal bar's right arrow held down with the real mouse: the screen shows the button
    flat while it is held and raised again once let go, and the thumb where it has moved to."""
    editor = open_white_editor(app)
    choose_tool(app, editor, "Panel41", 2)
    step(app, editor, "zoom 8", lambda: editor.click_item("ListBox1.3"), lambda s: s["zoom"] == "8")
    block = truth.blocks(app)[-1]
    bars = {t["orientation"]: t for t in block.thumbs}
    e2e.check("h" in bars, "zoom 8 shows no horizontal thumb")
    tx, ty, tw, th = bars["h"]["track"]
    button = (tx + tw, ty)  # the right arrow begins where the track ends
    edge = (button[0] + 1, button[1] + 1)

    def edge_is(colour):
        _, _, rows = truth.grab(app, (edge[0], edge[1], 1, 1))
        return tuple(rows[0][0:3]) == colour

    e2e.wait_for(lambda: edge_is(truth.LIGHT), "the right arrow raised")
    app.desktop.pointer_to(button[0] + 7, button[1] + th // 2)
    app.desktop.xdotool("mousedown", 1)
    try:
        e2e.wait_for(lambda: edge_is(truth.FACE), "the right arrow drawn flat while held", 15)
    finally:
        app.desktop.xdotool("mouseup", 1)
    e2e.wait_for(lambda: edge_is(truth.LIGHT), "the right arrow raised again", 15)
    # A step of the arrow moves the picture by a pixel (the thumb by less than one at this zoom):
    # first its margin goes, then the view shows the picture from further right.
    start = (block.view["rect"], block.view["control_offset"])

    def scrolled():
        latest = truth.blocks(app)[-1]
        return latest if latest.view and (latest.view["rect"], latest.view["control_offset"]) != start else None

    truth.check_screen(app, e2e.wait_for(scrolled, "the view scrolled by the arrow", 15), "scrolled by the arrow")


if __name__ == "__main__":
    e2e.main(globals())
