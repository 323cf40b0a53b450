# Velmar on a screen scaled by Qt (QT_SCALE_FACTOR=2) with real X input: the handles are
# drawn where the pointer takes them, a drag sizes the frame by the outline's own pixels (the grid
# rule included), and --export of the saved outline does not depend on the scale of the screen.
# The tests learn the canvas's place in Qt's scaled coordinates and turn it into screen pixels.
import os
import subprocess

import velmar_e2e as e2e
from velmar_e2e import bounds

# Room for the window at twice its size.
e2e.SCREEN = (2400, 1700)

FRAME = [40, 60, 300, 200]
LAYOUT = {"frames": [{"bounds": FRAME, "title": "Рамка"}]}


class ScaledVelmar(e2e.Velmar):
    """velmar started with QT_SCALE_FACTOR: canvas coordinates become screen pixels times it."""

    factor = 1.0

    def start_scaled(self, factor, outline):
        self.factor = factor
        self.desktop.env["QT_SCALE_FACTOR"] = str(factor)
        try:
            return self.open(outline)
        finally:
            self.desktop.env.pop("QT_SCALE_FACTOR", None)

    def screen(self, point):
        ox, oy = self._origin()
        return int((ox + point[0]) * self.factor), int((oy + point[1]) * self.factor)

    def drawn_handle(self, point, reach=10):
        """Screen pixel at the middle of the black handle drawn near a canvas point (None while
        there is none): read back from the X server, not taken from the program."""
        x, y = self.screen((point[0] - reach, point[1] - reach))
        side = int(2 * reach * self.factor)
        result = self.desktop._run(["import", "-window", "root", "-crop", f"{side}x{side}+{x}+{y}", "+repage",
                                    "-depth", "8", "txt:-"])
        black = []
        for line in result.stdout.splitlines()[1:]:
            where, _, rest = line.partition(":")
            if "#000000" in rest:
                px, py = map(int, where.split(","))
                black.append((x + px, y + py))
        # A handle is a solid square: 7 canvas pixels a side.
        if len(black) < int((5 * self.factor) ** 2):
            return None
        return (sum(p[0] for p in black) // len(black), sum(p[1] for p in black) // len(black))

    def drag_screen(self, start, end, steps=8):
        """A drag in screen pixels."""
        self.desktop.xdotool("mousemove", *start)
        self.desktop.xdotool("mousedown", 1)
        for i in range(1, steps + 1):
            self.desktop.xdotool("mousemove", start[0] + (end[0] - start[0]) * i // steps,
                                 start[1] + (end[1] - start[1]) * i // steps)
        self.desktop.xdotool("mouseup", 1)


e2e.Velmar = ScaledVelmar


def resize_by_the_corner_handle(app, factor):
    app.start_scaled(factor, LAYOUT)
    app.click((200, 200))  # the frame's empty body selects it: the black set shows
    left, top, width, height = FRAME
    corner = (left + width - 4, top + height - 4)  # inside Panel5, the south-east handle
    # The handle as drawn on the scaled screen, found by its pixels: pressed there, it drags.
    handle = e2e.wait_for(lambda: app.drawn_handle(corner), f"the black handle drawn near {corner}")
    # Within a handle's size of where the outline puts it: the canvas's place that velmar reports
    # is rounded to whole scaled pixels, a few screen pixels at a factor of 1.5.
    sx, sy = app.screen(corner)
    e2e.check(abs(handle[0] - sx) <= 7 * factor and abs(handle[1] - sy) <= 7 * factor,
              f"the handle is drawn at {handle}, the outline puts it at {(sx, sy)}")
    app.drag_screen(handle, (handle[0] + int(31 * factor), handle[1] + int(17 * factor)))
    app.save()
    # The grid (step 2) snaps in the outline's pixels, whatever the screen's scale.
    e2e.check_equal(bounds(app.info()["frames"][0]), [40, 60, 330, 216], f"the frame at factor {factor}")
    return app


def test_handles_drag_at_factor_2(app):
    resize_by_the_corner_handle(app, 2)


def test_handles_drag_at_factor_1_5(app):
    """At a factor of 1.5 the window manager's frame is rounded to scaled pixels, so the outline
    may be scaled to the window it gets before anything is pressed: the drag is checked against
    the frame as it stands just before it."""
    factor = 1.5
    app.start_scaled(factor, LAYOUT)
    app.click((200, 200))  # selects the frame
    app.key("Right")
    app.key("Left")  # back where it was, and something to save
    app.save()
    left, top, width, height = bounds(app.info()["frames"][0])
    corner = (left + width - 4, top + height - 4)
    handle = e2e.wait_for(lambda: app.drawn_handle(corner), f"the black handle drawn near {corner}")
    sx, sy = app.screen(corner)
    e2e.check(abs(handle[0] - sx) <= 7 * factor and abs(handle[1] - sy) <= 7 * factor,
              f"the handle is drawn at {handle}, the outline puts it at {(sx, sy)}")
    # 46 and 25 screen pixels are 30.7 and 16.7 of the outline's: 30 or 31 and 16 or 17 once the
    # pointer is rounded to whole pixels, and the grid (step 2) takes the size down to even.
    app.drag_screen(handle, (handle[0] + 46, handle[1] + 25))
    app.save()
    after = bounds(app.info()["frames"][0])
    e2e.check(after[:2] == [left, top], f"the frame moved: {after} from {[left, top, width, height]}")
    e2e.check(after[2] % 2 == 0 and after[3] % 2 == 0, f"the size {after[2:]} is off the grid")
    e2e.check(abs(after[2] - (width + 30.7)) <= 2 and abs(after[3] - (height + 16.7)) <= 2,
              f"dragged by (30.7, 16.7) outline pixels, the frame went from {[width, height]} to {after[2:]}")


def test_export_does_not_depend_on_the_screen_scale(app):
    app.start_scaled(2, LAYOUT)
    path = app.path
    plain = app.export("plain.png", path)
    env = dict(os.environ, QT_SCALE_FACTOR="2")
    scaled = os.path.join(app.folder, "scaled.png")
    result = subprocess.run([app.binary, "--export", scaled, path], env=env, capture_output=True, text=True,
                            timeout=60)
    e2e.check(result.returncode == 0, f"--export under QT_SCALE_FACTOR=2 failed: {result.stderr}")
    compared = subprocess.run(["compare", "-metric", "AE", plain, scaled, "null:"], capture_output=True, text=True,
                              timeout=30)
    e2e.check(compared.returncode == 0 and compared.stderr.strip() == "0",
              f"--export differs under QT_SCALE_FACTOR=2: {compared.stderr.strip()} pixels")


e2e.main(globals())
