"""Real-input tests of the graphic editor's selection: a piece selected and dragged with the mouse,
the canvas and a selection resized by their handles, and pictures exchanged with another program
through the system clipboard (xclip)."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import FILLING, close_and_export, dark, editor_geometry, near, open_editor, pixel

WHITE = (255, 255, 255)


def screen_drag(app, start, end, until, steps=8):
    """A left-button drag between two screen points; waits until the editor reports until(state)."""
    mark = len(app.lines())
    app.desktop.pointer_to(*start)
    app.desktop.xdotool("mousedown", 1)
    for i in range(1, steps + 1):
        app.desktop.pointer_to(start[0] + (end[0] - start[0]) * i // steps,
                               start[1] + (end[1] - start[1]) * i // steps)
    app.desktop.xdotool("mouseup", 1)
    truth.wait_block(app, mark, until, "the drag to be handled")


def thick_line(app, editor, start, end):
    """A pencil line six pixels wide (the pencil is current when the editor opens)."""
    for _ in range(5):
        app.key("KP_Add")
    editor.stroke(start, end)


def test_select_and_drag_piece(app):
    editor = open_editor(app)
    thick_line(app, editor, (25, 35), (55, 35))
    editor.tool("Panel40", 1)
    editor.drag((20, 20), (60, 50), until=lambda s: s["piece"] == "1")
    e2e.wait_for(lambda: "Panel58" in e2e_items(editor), "the selection handles")
    # The piece taken inside and moved by (100, 50).
    editor.drag((30, 30), (130, 80), until=lambda s: s["piecepos"] == "120,70")
    editor.tool("Panel44", 5)              # the pencil: the piece goes into the picture
    png = close_and_export(app)
    dark(pixel(png, (140, 85)), "the line carried with the piece")
    near(pixel(png, (40, 35)), WHITE, "the place the piece was lifted from")
    near(pixel(png, (10, 35)), FILLING, "beside the selection")


def e2e_items(editor):
    """The editor's named screen points as the program last reported them."""
    return editor_geometry(editor.app, editor.mark)[1]


def test_canvas_corner_handle(app):
    editor = open_editor(app)
    corner = editor.item("Panel5")
    origin = editor.at((0, 0))
    e2e.check_equal((corner[0] - origin[0], corner[1] - origin[1]), (201, 151), "the corner handle")
    screen_drag(app, corner, (corner[0] + 20, corner[1] - 30), lambda s: s["size"] == "220x120")
    e2e.wait_for(lambda: e2e_items(editor).get("Panel5") == (origin[0] + 221, origin[1] + 121),
                 "the corner handle at the new picture's corner")
    png = close_and_export(app)
    # The 220 x 120 picture is drawn stretched into the 200 x 150 picture on the canvas: the new
    # strip on the right is white, the rest still the old filling.
    near(pixel(png, (197, 75)), WHITE, "the added strip")
    near(pixel(png, (100, 140)), FILLING, "the kept part, stretched")


def test_selection_handle_stretches_piece(app):
    editor = open_editor(app)
    thick_line(app, editor, (25, 35), (55, 35))
    editor.tool("Panel40", 1)
    editor.drag((20, 20), (60, 50), until=lambda s: s["piece"] == "1")
    handle = e2e.wait_for(lambda: e2e_items(editor).get("Panel58"), "the bottom-right handle")
    screen_drag(app, handle, (handle[0] + 40, handle[1] + 30), lambda s: s["piecesize"] == "80x60")
    editor.tool("Panel44", 5)
    png = close_and_export(app)
    # The 40 x 30 piece became 80 x 60: its line at row 15 is now around row 50, twice as long.
    dark(pixel(png, (75, 50)), "the stretched line near its far end")
    near(pixel(png, (75, 70)), FILLING, "below the stretched line")


def xclip(app, *args, data=None):
    return subprocess.run(["xclip", "-selection", "clipboard", *args], env=app.desktop.env,
                          input=data, capture_output=True, timeout=20)


def test_clipboard_with_another_program(app):
    editor = open_editor(app)
    editor.tool("Panel40", 1)
    editor.drag((20, 20), (60, 50), until=lambda s: s["piece"] == "1")
    e2e.wait_for(lambda: "Panel58" in e2e_items(editor), "the selection")
    app.key("ctrl+c")
    copied = os.path.join(app.folder, "copied.png")

    def read_clipboard():
        result = xclip(app, "-t", "image/png", "-o")
        if result.returncode == 0 and result.stdout.startswith(b"\x89PNG"):
            with open(copied, "wb") as out:
                out.write(result.stdout)
            return True
        return False

    e2e.wait_for(read_clipboard, "Velmar's piece on the clipboard")
    size = subprocess.run(["identify", "-format", "%w %h", copied], capture_output=True, text=True,
                          timeout=20).stdout.split()
    e2e.check_equal(size, ["40", "30"], "the copied piece's size")
    colour = subprocess.run(["convert", copied, "-format", "%[fx:int(255*p{5,5}.r)] "
                             "%[fx:int(255*p{5,5}.g)] %[fx:int(255*p{5,5}.b)]", "info:"],
                            capture_output=True, text=True, timeout=20).stdout.split()
    # The outline keeps its pictures as JPEG: the filling comes back within a step or two.
    near(tuple(int(c) for c in colour), FILLING, "the copied piece's colour")

    # Another program offers a red picture; Velmar pastes it at the picture's corner.
    red = os.path.join(app.folder, "red.png")
    subprocess.run(["convert", "-size", "30x20", "xc:#ff0000", red], check=True, timeout=20)
    with open(red, "rb") as source:
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/png", "-i"],
                                 env=app.desktop.env, stdin=source, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
    try:
        # The other program owns the clipboard once xclip reads it back.
        e2e.wait_for(lambda: xclip(app, "-t", "image/png", "-o").stdout == open(red, "rb").read(),
                     "the other program's picture on the clipboard")
        editor.move_to(editor.at((150, 100)))
        editor.key("ctrl+v", until=lambda s: s["piece"] == "1" and s["piecepos"] == "0,0")
        e2e.wait_for(lambda: e2e_items(editor).get("Image7") == editor.at((0, 0)), "the pasted piece")
        editor.tool("Panel44", 5)
        png = close_and_export(app)
    finally:
        owner.terminate()
    near(pixel(png, (10, 10)), (255, 0, 0), "the pasted picture")
    near(pixel(png, (40, 10)), FILLING, "beside the pasted picture")


if __name__ == "__main__":
    e2e.main(globals())
