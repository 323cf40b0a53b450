# Undo and redo from the keyboard after commands chosen in a pop-up menu, then Save: what is saved
# is the outline on the screen, and the window shows each step's objects.
import time

import velmar_e2e as e2e
from velmar_e2e import bounds

LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "A"}]}
EMPTY = (500, 400)  # empty canvas (canvas coordinates)


def create_frame_from_menu(app, at):
    mark = len(app.lines())
    app.click(at, button=3)
    e2e.wait_for(lambda: "PopupMenu1" in app.menus_since(mark), "the canvas menu")
    time.sleep(0.3)
    app.key("Down")    # "Создать фрейм", the menu's first visible item
    app.key("Return")
    time.sleep(0.3)


def test_undo_redo_of_created_and_moved_frames_then_save(app):
    app.open(LAYOUT)
    create_frame_from_menu(app, EMPTY)
    app.key("ctrl+z")                      # the new frame goes
    app.key("ctrl+y")                      # and comes back
    app.drag((560, 460), (600, 480))       # moved by its body: a step of its own
    app.key("ctrl+z")                      # the move is undone, the frame stays
    time.sleep(0.3)
    app.save()
    info = app.info()
    e2e.check_equal(len(info["frames"]), 2, "frames after undo and redo")
    e2e.check_equal(bounds(info["frames"][1]), [500, 400, 150, 150], "the created frame")
    e2e.check_equal(bounds(info["frames"][0]), [40, 60, 240, 180], "the opened frame")


e2e.main(globals())
