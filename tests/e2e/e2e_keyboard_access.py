# The outline's objects and their pop-up menus reached from the keyboard alone: Ctrl+Tab goes to
# the next object in reading order and selects it, Shift+F10 (or the Menu key) opens its menu.
import velmar_e2e as e2e

LAYOUT = {"frames": [{"bounds": [40, 60, 300, 220], "title": "Опыты"}],
          "pictures": [{"bounds": [20, 30, 100, 80], "parent": 1}]}


def menu_after(app, keys, mark):
    app.key(*keys)
    return e2e.wait_for(lambda: app.check_alive() or app.menus_since(mark), f"a menu after {keys}")


def test_tab_to_an_object_and_delete_it_from_its_menu(app):
    app.open(LAYOUT)
    app.key("ctrl+Tab")                       # the frame
    mark = len(app.lines())
    e2e.check_equal(menu_after(app, ["shift+F10"], mark), ["FrameMenu"], "the frame's menu")
    app.key("Escape")
    app.key("ctrl+Tab")                       # the picture inside it
    mark = len(app.lines())
    e2e.check_equal(menu_after(app, ["Menu"], mark), ["PictureMenu"], "the picture's menu")
    app.choose("DeletePicture", mark)  # "Удалить"
    question = app.window_named("Подтверждение")
    app.activate(question)
    app.key_until(["Return"], lambda: app.window_gone(question), "the question answered «Да»")
    app.save()
    info = app.info()
    e2e.check_equal(len(info["pictures"]), 0, "pictures after deleting by the keyboard")
    e2e.check_equal(len(info["frames"]), 1, "frames")


e2e.main(globals())
