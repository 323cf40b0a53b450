# Arrows whose ends hold on to objects, with the real mouse: an end dropped on a frame is attached
# to it (the frame highlighted while the end is over it), then follows the frame as it is moved,
# sized and zoomed with the window, in the saved file and on the screen; undo takes both back; an
# end dragged off onto bare canvas is let go.
import os
import re

import velmar_e2e as e2e
from velmar_e2e import bounds

FRAME = [60, 80, 200, 150]
LAYOUT = {"frames": [{"bounds": FRAME, "title": "Опыт"}], "arrows": [[420, 320, 450, 320]]}
RIM = (0, 176, 60)  # the highlight around the object an end would be attached to


def pixel(app, point):
    """The colour the screen shows at a canvas point."""
    x, y = app.screen(point)
    out = app.desktop._run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "+repage", "-depth", "8", "txt:-"]).stdout
    found = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[-1])
    return tuple(int(v) for v in found.groups()) if found else None


def shot(app, name):
    path = os.path.join(os.environ.get("VELMAR_E2E_ARTIFACTS") or app.folder, f"e2e_attached_arrows.{name}.png")
    app.screenshot(path)
    print("screenshot:", path, flush=True)


def arrow_end(app):
    a = app.info()["arrows"][0]
    return [a["x2"], a["y2"]]


def screen_matches_file(app, what):
    """Without handles (Esc clears the selection), the canvas on the screen is the saved outline."""
    app.key("Escape")
    app.check_screen_shows(app.export(what.replace(" ", "-") + ".png"), what)


def attach_head(app, to=(160, 180)):
    """Selects the arrow and drags its head onto the frame; the frame is highlighted on the way."""
    app.click((435, 320))                          # the arrow's stroke: its end handles show
    app.press((450, 320))                          # the head's handle
    for i in range(1, 9):
        app.move((450 + (to[0] - 450) * i // 8, 320 + (to[1] - 320) * i // 8))
    e2e.wait_for(lambda: pixel(app, (FRAME[0] - 2, FRAME[1] + 70)) == RIM, "the frame to be highlighted")
    shot(app, "highlight")
    app.release()
    e2e.wait_for(lambda: pixel(app, (FRAME[0] - 2, FRAME[1] + 70)) != RIM, "the highlight to go")
    app.save()
    a = app.info()["arrows"][0]
    e2e.check_equal([a["x2"], a["y2"], a["endAttachedTo"], a["startAttachedTo"]], [to[0], to[1], 1, 0],
                    "the head on the frame")


def test_follows_a_moved_sized_and_zoomed_frame(app):
    app.open(LAYOUT)
    attach_head(app)
    screen_matches_file(app, "attached")

    # Moved by its body: the head comes along (the frame's middle is at a half and two thirds).
    app.drag((100, 200), (160, 230))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [120, 110, 200, 150], "the moved frame")
    e2e.check_equal(arrow_end(app), [220, 210], "the head after the move")
    screen_matches_file(app, "after the move")

    # Sized by its south-east handle to 300 wide: the head stays at the frame's middle.
    app.click((130, 200))
    app.drag((314, 254), (414, 254))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [120, 110, 300, 150], "the sized frame")
    e2e.check_equal(arrow_end(app), [270, 210], "the head after sizing")
    screen_matches_file(app, "after sizing")

    # The window enlarged: the outline zooms, the head stays where its place on the frame is.
    out = app.desktop._run(["xdotool", "getwindowgeometry", app.window]).stdout
    width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", out).groups())
    mark = len(app.lines())
    app.desktop.xdotool("windowsize", app.window, width + 300, height + 200)

    def grown():
        return any(line.startswith("window ") and int(line.split()[3]) > width + 200 for line in app.lines()[mark:])

    e2e.wait_for(grown, "the window to grow", timeout=20)
    app._settle()
    # Zooming is no edit, so "Сохранить" has nothing to do: "Сохранить как..." writes it.
    app.click(app.button("SaveAs"))
    path = os.path.join(app.folder, "zoomed.vmd")
    app.answer("Сохранить как", path[:-len(".vmd")])
    e2e.wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, "the zoomed outline to be saved")
    app.path = path
    info = app.info()
    frame, a = bounds(info["frames"][0]), info["arrows"][0]
    e2e.check(frame[2] > 300, f"the frame did not grow with the window: {frame}")
    place = a["endAttachedAt"]
    expected = [frame[0] + round((place >> 16) * frame[2] / 65536), frame[1] + round((place & 0xFFFF) * frame[3] / 65536)]
    e2e.check_equal([a["x2"], a["y2"]], expected, f"the head on the zoomed frame {frame}")
    shot(app, "zoomed")
    screen_matches_file(app, "after zooming")


def test_undo_brings_it_back_and_a_drag_away_lets_go(app):
    app.open(LAYOUT)
    attach_head(app)
    app.drag((100, 200), (160, 230))
    app.key("Escape")
    # Undo goes back to the step saved with the head attached: the screen shows that file again.
    app.key("ctrl+z")
    screen_matches_file(app, "after undo")
    # Still attached after the undo: the next move takes the head along.
    app.drag((100, 200), (110, 210))
    app.save()
    e2e.check_equal(arrow_end(app), [170, 190], "the head after undo and another move")

    # The head dragged off the frame onto bare canvas is free: the frame moves alone.
    app.click((300, 258))                          # the arrow's stroke, between its ends
    app.drag((170, 190), (350, 150))
    app.save()
    a = app.info()["arrows"][0]
    e2e.check_equal([a["x2"], a["y2"], a["endAttachedTo"]], [350, 150, 0], "the head let go")
    app.drag((100, 210), (110, 220))
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][0]), [80, 100, 200, 150], "the frame moved alone")
    e2e.check_equal(arrow_end(app), [350, 150], "the free head after the frame moved")
    screen_matches_file(app, "let go")


e2e.main(globals())
