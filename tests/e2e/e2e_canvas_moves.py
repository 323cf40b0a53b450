# Moving objects on the canvas with the real mouse: body drags, short moves, the move bars, the
# frame title, Alt-drops into a frame, and gestures broken off with Escape.
import time

import velmar_e2e as e2e
from velmar_e2e import bounds

TWO_FRAMES = {"frames": [{"bounds": [40, 80, 240, 180], "title": "Рамка"},
                         {"bounds": [400, 80, 200, 150], "title": "Другая"}],
              "textFields": [{"bounds": [40, 60, 80, 30], "text": "abc", "parent": 1}],
              "pictures": [{"bounds": [120, 110, 100, 60], "parent": 1}]}


def test_frame_follows_a_body_drag(app):
    app.open(TWO_FRAMES)
    app.drag((250, 110), (290, 150))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [80, 120, 240, 180], "frame after the drag")


def test_moves_of_a_few_pixels_are_kept(app):
    app.open(TWO_FRAMES)
    app.click(app.button("GridButton"))  # grid off, so that odd positions stay
    app.drag((500, 200), (501, 200), steps=1)
    app.drag((501, 200), (501, 203), steps=1)
    app.drag((200, 220), (205, 222), steps=2)
    app.save()
    info = app.info()
    e2e.check_equal(bounds(info["frames"][1])[:2], [401, 83], "frame moved by 1 and 3 px")
    e2e.check_equal(bounds(info["pictures"][0])[:2], [125, 112], "picture moved by 5 and 2 px")


def test_move_bars_carry_their_selection(app):
    app.open(TWO_FRAMES)
    app.click((250, 240))              # the frame's body: black set around it
    app.drag((72, 72), (102, 102))     # its move bar, above the top-left corner
    app.click((130, 185))              # the text field, now at (110, 170): blue set around it
    app.drag((130, 162), (150, 172))   # the blue move bar above the field
    app.save()
    info = app.info()
    e2e.check_equal(bounds(info["frames"][0]), [70, 110, 240, 180], "frame moved by its bar")
    e2e.check_equal(bounds(info["textFields"][0]), [60, 70, 80, 30], "field moved by its bar")
    # The bars stand around the selection again: the blue one moves the field once more.
    app.drag((150, 172), (160, 182))
    app.save()
    e2e.check_equal(bounds(app.info()["textFields"][0]), [70, 80, 80, 30], "second move by the bar")


def test_title_drag_survives_undo_and_redo(app):
    app.open(TWO_FRAMES)
    app.drag((410, 90), (450, 130))    # the second frame's title
    app.click(app.button("Undo"))
    app.click(app.button("Redo"))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][1])[:2], [440, 120], "moved frame after undo, redo")


def test_alt_drag_drops_a_picture_into_a_frame(app):
    app.open(TWO_FRAMES)
    with app.hold("alt"):
        app.drag((200, 220), (500, 180))
    app.save()
    picture = app.info()["pictures"][0]
    e2e.check_equal(picture["parent"], 2, "the picture's frame")
    e2e.check_equal(bounds(picture)[:2], [100, 100], "dropped at the pointer, in the frame")


def test_escape_breaks_off_a_drag_and_a_resize(app):
    app.open(TWO_FRAMES)
    app.press((250, 110))              # the first frame's body
    for x in range(260, 330, 10):
        app.move((x, 150))
        time.sleep(0.01)
    app.desktop.xdotool("key", "Escape")
    app.release()
    app.click((250, 240))              # black set around the first frame
    app.press((274, 254))              # its bottom-right handle
    for x in range(280, 330, 10):
        app.move((x, x))
        time.sleep(0.01)
    app.desktop.xdotool("key", "Escape")
    app.release()
    # The canvas lets go of the pointer: the other frame still follows a drag.
    app.drag((500, 200), (520, 210))
    app.save()
    info = app.info()
    e2e.check_equal(bounds(info["frames"][0]), [40, 80, 240, 180], "frame after the broken-off gestures")
    e2e.check_equal(bounds(info["frames"][1])[:2], [420, 90], "frame dragged afterwards")


e2e.main(globals())
