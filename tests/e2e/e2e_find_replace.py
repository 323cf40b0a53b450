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


def pixel(app, point):
    x, y = app.screen(point)
    out = app.desktop._run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "+repage", "txt:-"]).stdout
    found = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in found.groups()) if found else None


def shot(app, name):
    path = os.path.join(os.environ.get("VELMAR_E2E_ARTIFACTS") or app.folder, f"e2e_find_replace.{name}.png")
    app.screenshot(path)
    print("screenshot:", path, flush=True)


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
    shot(app, "text-found")
    keys(app, "shown 3 из 4: текст", "Return")
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
    # The bar is gone from the screen: without the selection the canvas is the outline itself.
    app.key("Escape")
    app.save()
    app.check_screen_shows(app.export("closed.png"), "the outline without the find bar")


def test_replace_all_is_one_undo_step(app):
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
