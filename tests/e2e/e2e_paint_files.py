"""Real-input tests of the graphic editor's file commands: a save while a moved piece floats
writes the picture the screen shows, "Сохранить" keeps to the picture's own file after a piece was
copied to another one, and "Создать" asks about unsaved changes and is one undo step. The screen
is read back and compared with the picture and with the files written."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_habits import painted
from e2e_paint_screen import away, open_white_editor, step


def thick_line(app, editor, start, end):
    """A pencil line six pixels wide (the pencil is current when the editor opens)."""
    for _ in range(5):
        app.key("KP_Add")
    editor.stroke(start, end)


def lift_and_move(editor):
    """The line's part under (20, 20)-(60, 50) lifted and moved by (100, 50)."""
    editor.tool("Panel40", 1)
    editor.drag((20, 20), (60, 50), until=lambda s: s["piece"] == "1")
    editor.drag((30, 30), (130, 80), until=lambda s: s["piecepos"] == "120,70")


def menu_command(app, editor, menu, item):
    mark = len(app.lines())
    editor.move_to(editor.item(menu))
    app.desktop.xdotool("click", 1)
    e2e.wait_for(lambda: menu in app.menus_since(mark), f"the menu {menu}")
    app.choose(item, mark)


def read_picture(path):
    result = subprocess.run(["convert", path, "ppm:-"], capture_output=True, timeout=30)
    e2e.check(result.returncode == 0, f"cannot read {path}")
    return truth.read_ppm(result.stdout)


def check_file_shows_screen(app, block, path):
    """The picture file holds, pixel for pixel, what the screen shows of the picture (the handles
    and frame drawn over it aside)."""
    truth.check_screen(app, block, "the picture before the save")
    x0, y0, w, h = block.view["rect"]
    _, _, shown = truth.grab(app, block.view["rect"])
    width, height, saved = read_picture(path)
    ox, oy = block.view["offset"]
    e2e.check(block.view["zoom"] == 1 and (ox, oy) == (0, 0), "the whole picture is shown at zoom 1")
    skipped = [(mx - x0, my - y0, mw, mh) for mx, my, mw, mh in block.masks]
    wrong = []
    for j in range(min(h, height)):
        for i in range(min(w, width)):
            if any(mx <= i < mx + mw and my <= j < my + mh for mx, my, mw, mh in skipped):
                continue
            if shown[j][3 * i: 3 * i + 3] != saved[j][3 * i: 3 * i + 3]:
                wrong.append((i, j))
    e2e.check(not wrong, f"{len(wrong)} pixels of {os.path.basename(path)} differ from the screen, "
                         f"e.g. {wrong[:5]}")


def test_save_while_a_piece_floats_writes_the_screen(app):
    editor = open_white_editor(app)
    thick_line(app, editor, (25, 35), (55, 35))
    lift_and_move(editor)
    away(editor)
    block = truth.blocks(app, editor.mark)[-1]
    dots = os.path.join(app.folder, "dots")
    app.key("ctrl+s")
    app.answer("Сохранить", dots)
    e2e.wait_for(lambda: os.path.exists(dots + ".bmp"), "the picture to be written")
    check_file_shows_screen(app, block, dots + ".bmp")
    # The piece keeps floating where it was.
    state = truth.blocks(app, editor.mark)[-1].state
    e2e.check_equal((state["piece"], state["piecepos"]), ("1", "120,70"), "the piece after the save")


def test_save_keeps_to_the_pictures_file_after_copy_to_file(app):
    editor = open_white_editor(app)
    dots, piece = os.path.join(app.folder, "dots"), os.path.join(app.folder, "piece")
    menu_command(app, editor, "PaintFileMenu", "PaintSaveAs")
    app.answer("Сохранить как", dots)
    e2e.wait_for(lambda: os.path.exists(dots + ".bmp"), "the picture to be saved as")
    editor.tool("Panel40", 1)
    editor.drag((20, 20), (60, 50), until=lambda s: s["piece"] == "1")
    menu_command(app, editor, "PaintEditMenu", "PaintCopyToFile")
    app.answer("Копировать в файл", piece)
    e2e.wait_for(lambda: os.path.exists(piece + ".bmp"), "the piece to be written")
    editor.tool("Panel44", 5)
    thick_line(app, editor, (100, 120), (200, 120))

    before = os.stat(dots + ".bmp").st_mtime_ns
    away(editor)
    block = truth.blocks(app, editor.mark)[-1]
    app.key("ctrl+s")
    e2e.wait_for(lambda: os.stat(dots + ".bmp").st_mtime_ns != before, "Ctrl+S to write the picture's file")
    windows = app.desktop._run(["xdotool", "search", "--onlyvisible", "--pid", str(app.process.pid)]).stdout.split()
    names = [app.desktop._run(["xdotool", "getwindowname", w]).stdout.strip() for w in windows]
    e2e.check(not [n for n in names if n.startswith("Сохранить")], f"Ctrl+S asked for a file name: {names}")
    check_file_shows_screen(app, block, dots + ".bmp")
    e2e.check_equal(read_picture(piece + ".bmp")[:2], (40, 30), "the copied piece's file")


def test_new_asks_first_and_undo_brings_the_picture_back(app):
    editor = open_white_editor(app)
    thick_line(app, editor, (25, 35), (55, 35))
    lift_and_move(editor)
    away(editor)
    # "Отмена" (Esc) keeps the picture with its piece floating.
    mark = len(app.lines())
    app.key("ctrl+n")
    question = app.dialog("Подтверждение")
    app.key_until(["Escape"], lambda: app.window_gone(question), "the question to close")
    floating = truth.blocks(app, editor.mark)[-1]
    e2e.check_equal(floating.state["piece"], "1", "the piece after a cancelled Создать")
    truth.check_screen(app, floating, "the picture kept")

    # "Да" saves first, then the new picture is empty: the old piece is not in it.
    kept = os.path.join(app.folder, "kept")
    app.key("ctrl+n")
    app.answer("Подтверждение")
    app.answer("Сохранить", kept)
    # Two steps: the piece put down into the replaced picture, and the new picture.
    before = int(floating.state["undo"].split("/")[0])
    new = truth.wait_block(app, mark, lambda s: s["piece"] == "0" and int(s["undo"].split("/")[0]) == before + 2,
                           "the new picture")
    truth.check_screen(app, new, "the new picture")
    e2e.check(not painted(new), "the new picture has something in it")
    index = int(new.state["undo"].split("/")[0])

    # One Ctrl+Z brings the replaced picture back, with its piece where it floated.
    state = step(app, editor, "the replaced picture", lambda: app.key("ctrl+z"),
                 lambda s: int(s["undo"].split("/")[0]) == index - 1)
    back = truth.blocks(app, editor.mark)[-1]
    e2e.check(any(x >= 120 and y >= 70 for x, y in painted(back)), "the moved piece is in the picture brought back")
    e2e.check_equal(read_picture(kept + ".bmp")[:2], (300, 200), "the saved picture")
    step(app, editor, "the new picture again", lambda: app.key("ctrl+y"),
         lambda s: int(s["undo"].split("/")[0]) == index and s["sum"] == new.state["sum"])


if __name__ == "__main__":
    e2e.main(globals())
