# Resizing with the real mouse: a frame by its black handles, each kind of object inside a frame by
# its blue handles. After every resize the handles stand around the new bounds, which a second drag
# on the handle's new place proves.
import velmar_e2e as e2e
from velmar_e2e import bounds

FRAME = [40, 60, 400, 300]
LAYOUT = {"frames": [{"bounds": FRAME, "title": "Рамка"}],
          "pictures": [{"bounds": [20, 30, 100, 80], "parent": 1}],
          "textFields": [{"bounds": [160, 30, 100, 30], "text": "abc", "parent": 1}],
          "videos": [{"bounds": [20, 150, 160, 100], "parent": 1}]}


def blue_corner(frame, item):
    """The middle of the blue south-east handle: the object's bottom-right corner."""
    return (frame[0] + item["left"] + item["width"], frame[1] + item["top"] + item["height"])


def test_frame_by_its_black_handles(app):
    app.open(LAYOUT)
    app.click((400, 330))                          # the frame's empty body selects it
    left, top, width, height = FRAME
    se = (left + width - 6, top + height - 6)      # Panel5, inside the corner
    app.drag(se, (se[0] + 20, se[1] + 10))
    app.drag((se[0] + 20, se[1] + 10), (se[0] + 10, se[1] - 10))   # the same handle, re-placed
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [40, 60, 410, 290], "after the south-east handle")
    west = (left + 3, top + 290 // 2 - 1)          # Panel10, middle of the left edge
    app.drag(west, (west[0] - 20, west[1]))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [20, 60, 430, 290], "after the west handle")


def resize_by_blue_handle(app, kind, press_at):
    before = app.info()[kind][0]
    app.click(press_at)                            # selects the object: blue set around it
    corner = blue_corner(FRAME, before)
    app.drag(corner, (corner[0] + 30, corner[1] + 20))
    app.drag((corner[0] + 30, corner[1] + 20), (corner[0] + 20, corner[1] + 10))
    app.save()
    after = app.info()[kind][0]
    e2e.check_equal(bounds(after), [before["left"], before["top"], before["width"] + 20, before["height"] + 10],
                    f"{kind} after its south-east handle")


def test_picture_by_a_blue_handle(app):
    app.open(LAYOUT)
    resize_by_blue_handle(app, "pictures", (100, 120))


def test_text_field_by_a_blue_handle(app):
    app.open(LAYOUT)
    resize_by_blue_handle(app, "textFields", (230, 100))


def test_video_by_a_blue_handle(app):
    app.open(LAYOUT)
    resize_by_blue_handle(app, "videos", (80, 220))


e2e.main(globals())
