# Opening an outline and saving it with the real program: what was opened is written back byte for
# byte, including objects the creation rules would have placed differently; an outline opened over
# another is shown as its file holds it.
import os
import struct

import velmar_e2e as e2e

HEADER = 597496
TEXT_FIELD_1 = 130684
PICTURE_1 = 489492
WINDOW_SIZE = range(268, 276)  # the window's own size is the window-size tests' concern


def test_open_then_save_keeps_every_byte(app):
    path = app.make_outline({
        "name": "lesson",
        "window": [800, 600],
        "frames": [{"bounds": [40, 60, 240, 180], "title": "Рамка"}],
        "textFields": [{"bounds": [10, 30, 80, 40], "text": "Текст2", "parent": 1}],
        "pictures": [{"bounds": [20, 100, 100, 60], "parent": 1}],
    })
    with open(path, "rb") as f:
        original = bytearray(f.read())
    # A one-line text field 18 pixels high, and a picture dragged half out of its frame (even
    # values, as the grid of 2, on from the start, leaves them).
    struct.pack_into("<i", original, TEXT_FIELD_1 + 16, 18)
    struct.pack_into("<i", original, PICTURE_1 + 8, 150)
    with open(path, "wb") as f:
        f.write(original)

    app.open(path)
    # Save is offered only for an outline that differs from its file: an unedited one is saved
    # with "Сохранить как..." into another folder, under its own name (which the file holds).
    copy = os.path.join(app.folder, "copy")
    os.makedirs(copy)
    app.click(app.button("SaveAs"))
    app.answer("Сохранить как", os.path.join(copy, "lesson"))
    app.path = os.path.join(copy, "lesson.vmd")
    e2e.wait_for(lambda: os.path.exists(app.path), "the outline to be saved")
    with open(app.path, "rb") as f:
        saved = f.read()
    e2e.check_equal(len(saved), len(original), "file size")
    changed = [i for i in range(HEADER) if saved[i] != original[i] and i not in WINDOW_SIZE]
    e2e.check_equal(changed[:8], [], "offsets of the record that changed")
    e2e.check(saved[HEADER:] == original[HEADER:], "the picture tail changed")
    info = app.info()
    e2e.check_equal(e2e.bounds(info["textFields"][0])[3], 18, "text field height")
    e2e.check_equal(e2e.bounds(info["pictures"][0])[1], 150, "picture top")


def test_outline_opened_over_another_shows_only_its_own_objects(app):
    # The window takes the second outline's objects over into the widgets of the first: nothing
    # of the first (texts, titles, pictures' places, a field's scroll) may show through.
    first = app.make_outline({
        "name": "first", "window": [800, 600],
        "frames": [{"bounds": [40, 60, 300, 220], "title": "Первая"},
                   {"bounds": [380, 60, 300, 220], "title": "Ещё одна"}],
        "textFields": [{"bounds": [10, 30, 120, 40], "text": "Текст первого\nвторая строка", "parent": 1},
                       {"bounds": [20, 40, 100, 30], "text": "Поле", "parent": 2}],
        "pictures": [{"bounds": [140, 100, 120, 90], "parent": 1}],
        "captions": [{"bounds": [20, 150, 120, 30], "text": "Надпись", "parent": 2}]}, "first.vmd")
    second = app.make_outline({
        "name": "second", "window": [800, 600],
        "frames": [{"bounds": [100, 120, 260, 200], "title": "Вторая"}],
        "textFields": [{"bounds": [30, 50, 150, 40], "text": "Другой текст", "parent": 1},
                       {"bounds": [400, 300, 90, 30], "text": "На холсте"}],
        "pictures": [{"bounds": [20, 100, 80, 60], "parent": 1}]}, "second.vmd")
    app.open(first)
    app.click(app.button("Open"))  # "Открыть"
    app.answer("Открыть", second)
    e2e.wait_for(lambda: "second" in app.desktop._run(["xdotool", "getwindowname", app.window]).stdout,
                 "the second outline to open")
    app.path = second
    app._settle()
    app.check_screen_shows(app.export("second.png"), "the second outline")


e2e.main(globals())
