# The find bar with the real keyboard: Ctrl+F opens it over the canvas, typing finds as it goes
# (any case, ё as е), F3 / Shift+F3 and Enter go through the places, each selected on the screen,
# Esc closes it; Ctrl+H replaces in the texts as one step that one Ctrl+Z takes back.
import os
import re

import velmar_e2e as e2e

LESSON = {"frames": [{"bounds": [20, 60, 250, 200], "title": "Ёлки"},
                     {"bounds": [300, 60, 250, 200], "title": "Берёзы", "minimal": "не ели"}],
          "textFields": [{"bounds": [10, 40, 200, 60], "text": "Ель растёт\r\nи ёлка тоже", "parent": 1,
                          "minimal": "про деревья"}]}
TEXT_CORNER = (30, 100)  # the text field's top-left corner on the canvas
BLACK_HANDLE, BLUE_HANDLE = (0, 0, 0), (0, 128, 255)
MARKED = (48, 140, 198)  # the background of marked words in a text field


def pixel(app, point):
    x, y = app.screen(point)
    out = app.desktop._run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "+repage", "-depth", "8", "txt:-"]).stdout
    found = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in found.groups()) if found else None


def shows(app, rect, colour):
    """Whether the screen shows COLOUR somewhere in a rectangle of the canvas (x, y, w, h)."""
    x, y = app.screen(rect[:2])
    out = app.desktop._run(["import", "-window", "root", "-crop", f"{rect[2]}x{rect[3]}+{x}+{y}", "+repage",
                            "-depth", "8", "txt:-"]).stdout
    return f"({colour[0]},{colour[1]},{colour[2]})" in out


def shot(app, name):
    path = os.path.join(os.environ.get("VELMAR_E2E_ARTIFACTS") or app.folder, f"e2e_find_replace.{name}.png")
    app.screenshot(path)
    print("screenshot:", path, flush=True)


def give_keys_to(app, keysyms):
    """Puts the letters on spare keys, as a Russian keyboard layout would: xdotool otherwise remaps
    one key for each letter while typing, and the program may read the key after the map changed
    back. (Keys 203 and 205-207 are modifiers in the server's map: these start above them.)"""
    for keycode, keysym in zip(range(210, 210 + len(keysyms)), keysyms):
        result = app.desktop._run(["xmodmap", "-e", f"keycode {keycode} = {keysym}"])
        e2e.check(result.returncode == 0, f"xmodmap: {result.stderr}")


LETTERS = ["Cyrillic_IE", "Cyrillic_EL", "Cyrillic_ie", "Cyrillic_el", "Cyrillic_hardsign", "Cyrillic_es",
           "Cyrillic_o", "Cyrillic_en", "Cyrillic_a"]


def reported(app, mark, status):
    """Waits until velmar reports the find bar saying STATUS after lines()[:mark]."""
    line = "find " + status
    e2e.wait_for(lambda: app.check_alive() or line in app.lines()[mark:], f"the find bar to say «{status}»")


def keys(app, status, *sent):
    mark = len(app.lines())
    app.key(*sent)
    reported(app, mark, status)


def button(app, name):
    for line in reversed(app.lines()):
        parts = line.split()
        if parts[:2] == ["findbutton", name]:
            x, y, w, h = map(int, parts[2:6])
            return x + w // 2, y + h // 2
    raise e2e.TestFailure(f"velmar reported no find bar button {name}")


def test_keys_go_through_the_places_found(app):
    give_keys_to(app, LETTERS)
    app.open(LESSON)
    keys(app, "shown ", "ctrl+f")
    mark = len(app.lines())
    app.type("ЕЛ")
    reported(app, mark, "shown 1 из 4: название")
    # Frame 1 is selected: its black handles stand at its corners.
    e2e.wait_for(lambda: pixel(app, (22, 62)) == BLACK_HANDLE, "the first frame's handles")
    keys(app, "shown 2 из 4: текст", "F3")
    e2e.wait_for(lambda: pixel(app, (TEXT_CORNER[0] + 2, TEXT_CORNER[1] + 2)) == BLUE_HANDLE,
                 "the text field's handles")
    # The words themselves are marked in the text: "Ел" on its first line, then "ёл" on its second.
    first, second = (TEXT_CORNER[0], TEXT_CORNER[1] + 2, 30, 14), (TEXT_CORNER[0] + 8, TEXT_CORNER[1] + 17, 30, 14)
    e2e.wait_for(lambda: shows(app, first, MARKED) and not shows(app, second, MARKED), "«Ел» marked")
    shot(app, "text-found")
    keys(app, "shown 3 из 4: текст", "Return")
    e2e.wait_for(lambda: shows(app, second, MARKED) and not shows(app, first, MARKED), "«ёл» marked")
    keys(app, "shown 2 из 4: текст", "shift+F3")
    keys(app, "shown 3 из 4: текст", "F3")
    keys(app, "shown 4 из 4: минимальный текст", "F3")
    e2e.wait_for(lambda: pixel(app, (302, 62)) == BLACK_HANDLE, "the second frame's handles")
    keys(app, "shown 1 из 4: название", "F3")      # round the outline
    keys(app, "shown 4 из 4: минимальный текст", "shift+Return")
    mark = len(app.lines())
    app.type("ъ")
    reported(app, mark, "shown Не найдено")
    keys(app, "hidden ", "Escape")
    # The bar is gone from the screen: without the selection the canvas is the outline as its file
    # has it (finding changed nothing).
    app.key("Escape")
    app.check_screen_shows(app.export("closed.png"), "the outline without the find bar")


def test_replace_all_is_one_undo_step(app):
    give_keys_to(app, LETTERS)
    app.open(LESSON)
    original = app.info()
    keys(app, "shown ", "ctrl+h")
    app.type("ел")
    app.key("Tab")
    app.type("сосна")
    mark = len(app.lines())
    app.click(button(app, "replaceAllButton"))
    reported(app, mark, "shown Заменено: 2")
    shot(app, "replaced")
    keys(app, "hidden ", "Escape")
    app.save()
    info = app.info()
    e2e.check_equal(info["textFields"][0]["text"], "соснаь растёт\r\nи соснака тоже", "the text")
    e2e.check_equal([f["title"] for f in info["frames"]], ["Ёлки", "Берёзы"], "the titles")
    app.key("Escape")
    app.check_screen_shows(app.export("replaced.png"), "the replaced text")
    # One Ctrl+Z and the text is back as it was.
    app.key("ctrl+z")
    app.save()
    e2e.check_equal(app.info()["textFields"][0]["text"], original["textFields"][0]["text"], "the text after undo")
    app.check_screen_shows(app.export("undone.png"), "the text after undo")


e2e.main(globals())
