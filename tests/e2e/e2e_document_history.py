# Undo and redo from the keyboard after commands chosen in a pop-up menu, then Save: what is saved
# is the outline on the screen, and the window shows each step's objects. The screen itself is
# read back after opening, undo and redo and compared pixel for pixel with --export of the outline
# saved at that moment, so a window that leaves a stale drawing on the screen fails.
import velmar_e2e as e2e
from velmar_e2e import bounds

LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "A"}],
          "textFields": [{"bounds": [20, 40, 150, 30], "text": "Текст", "parent": 1}]}
EMPTY = (500, 400)  # empty canvas (canvas coordinates)


def create_frame_from_menu(app, at):
    mark = len(app.lines())
    app.click(at, button=3)
    e2e.wait_for(lambda: "CanvasMenu" in app.menus_since(mark), "the canvas menu")
    app.choose("CreateFrame", mark)  # "Создать фрейм"


def test_undo_redo_of_created_and_moved_frames_then_save(app):
    app.open(LAYOUT)
    opened = app.export("opened.png")
    app.check_screen_shows(opened, "the opened outline")
    create_frame_from_menu(app, EMPTY)
    app.save()
    created = app.export("created.png")
    app.check_screen_shows(created, "the outline with the new frame")
    app.key("ctrl+z")                      # the new frame goes
    app.check_screen_shows(opened, "the outline without the undone frame")
    app.key("ctrl+y")                      # and comes back
    app.check_screen_shows(created, "the outline with the frame brought back")
    app.drag((560, 460), (600, 480))       # moved by its body: a step of its own
    app.key("ctrl+z")                      # the move is undone, the frame stays
    app.check_screen_shows(created, "the frame back where it was")
    # Back at the saved step the outline matches its file: Save has nothing to write, and the
    # file holds what the screen shows.
    info = app.info()
    e2e.check_equal(len(info["frames"]), 2, "frames after undo and redo")
    e2e.check_equal(bounds(info["frames"][1]), [500, 400, 150, 150], "the created frame")
    e2e.check_equal(bounds(info["frames"][0]), [40, 60, 240, 180], "the opened frame")


e2e.main(globals())
