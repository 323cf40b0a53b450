# Moving objects on the canvas with the real mouse.
import velmar_e2e as e2e

FRAME = {"frames": [{"bounds": [40, 60, 240, 180], "title": "Рамка"}]}


def test_frame_follows_a_body_drag(app):
    app.open(FRAME)
    app.drag((150, 160), (190, 200))
    app.save()
    e2e.check_equal(e2e.bounds(app.info()["frames"][0]), [80, 100, 240, 180], "frame after the drag")


e2e.main(globals())
