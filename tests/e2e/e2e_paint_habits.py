"""The graphic editor's habits from other paint programs, with real input: Ctrl+wheel zooms keeping
the picture point under the pointer, the wheel scrolls, Ctrl++/Ctrl+- zoom; Esc in the middle of a
drag (a shape, a selection frame, a resize handle) leaves the picture as before the press; tool letters choose tools but are text in the text
box; a click with a wide pencil or the eraser leaves a dot of the chosen size. The screen is read
back and compared with the picture after each step."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import open_editor
from e2e_paint_screen import open_white_editor, step, away


def open_large_editor(app):
    """The editor on a white 640 x 480 picture, larger than the work area already at 1x, so that
    every zoom can keep any point of its middle in place."""
    white = os.path.join(app.folder, "large.bmp")
    subprocess.run(["convert", "-size", "640x480", "xc:white", "BMP3:" + white], check=True, timeout=30)
    editor = open_editor(app, {"window": [744, 546], "frames": [{"bounds": [60, 60, 400, 300], "title": "A"}],
                               "pictures": [{"bounds": [20, 30, 300, 200], "parent": 1, "image": white}]})
    truth.check_screen(app, truth.blocks(app, editor.mark)[-1], "opened")
    return editor


def picture_under(block, screen_point):
    """The picture pixel (with its fraction) the view shows at a screen point."""
    x, y, _, _ = block.view["rect"]
    ox, oy = block.view["offset"]
    z = block.view["zoom"]
    return (ox + screen_point[0] - x) / z, (oy + screen_point[1] - y) / z


def wheel(app, button, times=1, modifier=None):
    if modifier:
        app.desktop.xdotool("keydown", modifier)
    try:
        for _ in range(times):
            app.desktop.xdotool("click", button)
    finally:
        if modifier:
            app.desktop.xdotool("keyup", modifier)


def painted(block):
    """The picture pixels of the view that are not white, at zoom 1."""
    with open(block.view["file"], "rb") as f:
        w, h, rows = truth.read_ppm(f.read())
    ox, oy = block.view["offset"]
    return {(ox + i, oy + j): tuple(rows[j][3 * i: 3 * i + 3]) for j in range(h) for i in range(w)
            if rows[j][3 * i: 3 * i + 3] != b"\xff\xff\xff"}


def test_wheel_zoom_keeps_the_point_and_scrolls(app):
    editor = open_large_editor(app)
    # A mark to look at: a short pencil stroke.
    step(app, editor, "mark", lambda: editor.drag((150, 100), (160, 100)), lambda s: s["undo"] == "2/2")
    pointer = editor.at((150, 100))
    for factor in (2, 6, 8):
        mark = len(app.lines())
        editor.move_to(pointer)
        wheel(app, 4, modifier="ctrl")
        block = truth.wait_block(app, mark, lambda s, f=factor: s["zoom"] == str(f), f"Ctrl+wheel to {factor}x")
        block = truth.wait_block(app, mark, lambda s: True)  # the view laid out after the zoom
        under = picture_under(block, pointer)
        e2e.check(abs(under[0] - 150) <= 1 and abs(under[1] - 100) <= 1,
                  f"at {factor}x the pointer shows picture point {under}, not (150, 100)")
        e2e.check_equal(block.state["tool"], "5", "the tool after a wheel zoom")
        truth.check_screen(app, block, f"Ctrl+wheel to {factor}x")
    # The plain wheel scrolls down 40 screen pixels a notch, Shift+wheel sideways.
    before = truth.blocks(app)[-1].view["offset"]
    mark = len(app.lines())
    editor.move_to(pointer)
    wheel(app, 5, times=2)
    block = truth.wait_block(app, mark, lambda s: True, "the wheel to scroll")
    block = e2e.wait_for(lambda: (lambda b: b if b.view and b.view["offset"][1] == before[1] + 80 else None)(
        truth.blocks(app)[-1]), "the picture to scroll down by two notches")
    e2e.check_equal(block.view["offset"][0], before[0], "the sideways position after the wheel")
    wheel(app, 5, modifier="shift")
    block = e2e.wait_for(lambda: (lambda b: b if b.view and b.view["offset"][0] == before[0] + 40 else None)(
        truth.blocks(app)[-1]), "the picture to scroll sideways")
    away(editor)
    truth.check_screen(app, truth.blocks(app)[-1], "after the wheel scrolled")
    # Ctrl+- and Ctrl+= step through the zoom list the other way and back.
    step(app, editor, "Ctrl+-", lambda: app.key("ctrl+minus"), lambda s: s["zoom"] == "6")
    step(app, editor, "Ctrl+- again", lambda: app.key("ctrl+minus"), lambda s: s["zoom"] == "2")
    step(app, editor, "Ctrl+=", lambda: app.key("ctrl+equal"), lambda s: s["zoom"] == "6")


def test_escape_mid_drag_and_tool_letters(app):
    editor = open_white_editor(app)
    start = truth.blocks(app)[-1].state["sum"]
    step(app, editor, "R chooses the rectangle", lambda: app.key("r"), lambda s: s["tool"] == "11")
    # A rectangle being drawn, broken off with Esc while the button is still down.
    editor.move_to(editor.at((30, 30)))
    mark = len(app.lines())
    app.desktop.xdotool("mousedown", 1)
    try:
        for i in range(1, 7):
            editor.move_to(editor.at((30 + 25 * i, 30 + 15 * i)))
        truth.wait_block(app, mark, lambda s: s["sum"] != start, "the rubber band to be drawn")
        mark = len(app.lines())
        # Without --clearmodifiers, which would let the button go before the key.
        app.desktop.xdotool("key", "Escape")
        truth.wait_block(app, mark, lambda s: s["sum"] == start, "Esc to take the rectangle away")
        editor.move_to(editor.at((220, 160)))
    finally:
        app.desktop.xdotool("mouseup", 1)
    # The next report (X keeps the order of events) shows what the release did: nothing.
    state = step(app, editor, "S chooses the selection", lambda: app.key("s"), lambda s: s["tool"] == "1")
    e2e.check_equal((state["sum"], state["undo"]), (start, "1/1"), "the picture and history after Esc")

    # A selection frame being dragged, broken off: nothing is lifted.
    editor.move_to(editor.at((40, 40)))
    app.desktop.xdotool("mousedown", 1)
    try:
        editor.move_to(editor.at((120, 90)))
        editor.move_to(editor.at((140, 100)))
        # Without --clearmodifiers, which would let the button go before the key.
        app.desktop.xdotool("key", "Escape")
    finally:
        app.desktop.xdotool("mouseup", 1)
    # The picture's corner handle being dragged, broken off: the picture keeps its size.
    corner = editor.item("Panel5")
    editor.move_to(corner)
    app.desktop.xdotool("mousedown", 1)
    try:
        editor.move_to((corner[0] + 20, corner[1] + 15))
        editor.move_to((corner[0] + 40, corner[1] + 30))
        app.desktop.xdotool("key", "Escape")
        editor.move_to((corner[0] + 50, corner[1] + 35))
    finally:
        app.desktop.xdotool("mouseup", 1)
    state = step(app, editor, "T chooses the text tool", lambda: app.key("t"), lambda s: s["tool"] == "10")
    e2e.check_equal((state["piece"], state["sum"], state["undo"], state["size"]), ("0", start, "1/1", "300x200"),
                    "after Esc on the selection frame and on the corner handle")

    # Letters typed into the text box are text: the tool stays, and the text reaches the picture.
    editor.drag((20, 20), (200, 60))
    mark = len(app.lines())
    app.type("PERLOFTSIZ")
    editor.tool("Panel44", 5)  # the pencil's button: the box is written into the picture
    tools = {b.state["tool"] for b in truth.blocks(app, mark)}
    e2e.check(tools <= {"10", "5"}, f"a letter typed into the box chose a tool: {tools}")
    state = truth.blocks(app)[-1].state
    e2e.check(state["sum"] != start, "the typed text is in the picture")
    truth.check_screen(app, truth.blocks(app)[-1], "the text written in")
    # Outside the box the letters choose tools again.
    step(app, editor, "E chooses the eraser", lambda: app.key("e"), lambda s: s["tool"] == "3")
    step(app, editor, "P chooses the pencil", lambda: app.key("p"), lambda s: s["tool"] == "5")


def test_a_click_leaves_a_dot_of_the_chosen_size(app):
    editor = open_white_editor(app)
    for _ in range(8):
        app.key("KP_Add")  # a pencil 9 pixels wide
    step(app, editor, "a wide pencil's click", lambda: editor.click((100, 100)), lambda s: s["undo"] == "2/2")
    block = truth.blocks(app)[-1]
    truth.check_screen(app, block, "the pencil's dot")
    dot = painted(block)
    xs = [p[0] for p in dot]
    ys = [p[1] for p in dot]
    e2e.check((100, 100) in dot and 45 <= len(dot) <= 81, f"a dot of width 9: {len(dot)} pixels painted")
    # As wide as a stroke of that pencil: 9 pixels across, through the clicked pixel's row and column.
    e2e.check(max(xs) - min(xs) + 1 == 9 and max(ys) - min(ys) + 1 == 9,
              f"the dot spans {max(xs) - min(xs) + 1} x {max(ys) - min(ys) + 1}")
    e2e.check_equal((sum(1 for p in dot if p[1] == 100), sum(1 for p in dot if p[0] == 100)), (9, 9),
                    "the dot's middle row and column")
    # The eraser (10 wide) with a blue back colour: a click leaves a blue square.
    step(app, editor, "blue back colour", lambda: editor.click_item("Panel25", button=3),
         lambda s: s["back"] == "#0000ff")
    step(app, editor, "E chooses the eraser", lambda: app.key("e"), lambda s: s["tool"] == "3")
    step(app, editor, "the eraser's click", lambda: editor.click((200, 60)), lambda s: s["undo"] == "3/3")
    block = truth.blocks(app)[-1]
    blue = [p for p, c in painted(block).items() if c == (0, 0, 255)]
    e2e.check_equal(len(blue), 100, "blue pixels left by the eraser's click")
    e2e.check_equal((min(p[0] for p in blue), min(p[1] for p in blue)), (195, 55), "the eraser square's corner")


if __name__ == "__main__":
    e2e.main(globals())
