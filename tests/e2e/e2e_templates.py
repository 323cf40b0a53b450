# Templates with real input: "Сохранить как шаблон..." keeps the outline among the user's
# templates, "Создать..." makes a new outline holding its objects, or an empty one.
import os

import velmar_e2e as e2e

LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "Вопрос 1", "titleColour": 0xFF},
                     {"bounds": [320, 60, 240, 180], "title": "Вопрос 2"}],
          "textFields": [{"bounds": [20, 40, 150, 30], "text": "Ответ", "parent": 2}],
          "arrows": [[280, 150, 320, 150]]}


def file_menu(app, item):
    # The main menu's "Файл" is the menu bar's first item, just above the canvas.
    mark = len(app.lines())
    app.click((25, -10))
    e2e.wait_for(lambda: app.check_alive() or "FileMenu" in app.menus_since(mark), "the File menu")
    app.choose(item, mark)


def save_new_outline(app, name):
    """Ctrl+S on an outline with no file yet: the Save as dialog, then the file written."""
    path = os.path.join(app.folder, name + ".vmd")
    app.key("ctrl+s")
    app.answer("Сохранить как", os.path.join(app.folder, name))
    e2e.wait_for(lambda: app.check_alive() or os.path.exists(path), "the outline to be saved")
    app.path = path
    return app.info()


def test_new_outline_from_a_saved_template_and_an_empty_one(app):
    app.open(LAYOUT)
    templates = os.path.join(app.home, "Templates")
    file_menu(app, "SaveAsTemplate")
    app.answer("Сохранить как шаблон", "lesson")
    for ext in (".vmd", ".png"):
        e2e.wait_for(lambda: os.path.exists(os.path.join(templates, "lesson" + ext)), "the template " + ext)
    original = app.info()

    # "Создать...": the user's template chosen by typing its name in the list.
    file_menu(app, "NewFromTemplate")
    app.dialog("Создать")
    app.type("lesson")
    app.key("Return")
    app.answer("Новый конспект", "second")
    made = save_new_outline(app, "second")
    for kind in ("frames", "textFields", "arrows"):
        e2e.check_equal(len(made[kind]), len(original[kind]), f"{kind} of the new outline")
    e2e.check_equal([f["title"] for f in made["frames"]], ["Вопрос 1", "Вопрос 2"], "titles")
    e2e.check_equal(made["frames"][0]["titleColour"], 0xFF, "the red title")
    e2e.check_equal(made["textFields"][0]["text"], "Ответ", "the text field's text")
    e2e.check_equal([e2e.bounds(f) for f in made["frames"]], [e2e.bounds(f) for f in original["frames"]],
                    "frames in the same window")
    e2e.check_equal(made["name"], "second", "the new outline's name")
    app.check_screen_shows(app.export("second.png"), "the outline made from the template")

    # The first item is the empty outline.
    file_menu(app, "NewFromTemplate")
    app.dialog("Создать")
    app.key("Home")
    app.key("Return")
    app.answer("Новый конспект", "empty")
    empty = save_new_outline(app, "empty")
    for kind in ("frames", "textFields", "pictures", "videos", "arrows"):
        e2e.check_equal(len(empty[kind]), 0, f"{kind} of the empty outline")
    app.check_screen_shows(app.export("empty.png"), "the empty outline")


e2e.main(globals())
