"""Showing an outline with real keys: F5 starts the show full screen, Right goes forward, Left
back, Esc ends it. What the screen shows is compared with `velmar --export` of an outline that
holds only what the step has revealed, scaled the same way."""

import os
import re
import subprocess

import velmar_e2e as e2e

WINDOW = [900, 650]
FRAME_1 = {"bounds": [20, 40, 380, 260], "title": "Опыты"}
FRAME_2 = {"bounds": [420, 40, 440, 300], "title": "Величины"}
TEXT_1 = {"bounds": [20, 30, 200, 60], "text": "Маятник", "parent": 1}
TEXT_2 = {"bounds": [30, 40, 200, 60], "text": "Период", "parent": 2}
PICTURE_1 = {"bounds": [230, 30, 120, 100], "parent": 1}
ARROW = [300, 250, 700, 300]  # from frame 1's free part to frame 2's

# Reading order: frame 1, its text field, its picture, frame 2 (with the arrow), its text field.
FULL = {"window": WINDOW, "frames": [FRAME_1, FRAME_2], "textFields": [TEXT_1, TEXT_2],
        "pictures": [PICTURE_1], "arrows": [ARROW]}
# What steps 2 and 3 show.
STEP_2 = {"window": WINDOW, "frames": [FRAME_1], "textFields": [TEXT_1]}
STEP_3 = {"window": WINDOW, "frames": [FRAME_1], "textFields": [TEXT_1], "pictures": [PICTURE_1]}


def shown(app, mark):
    """Waits for the show to report a step painted after lines()[:mark]; returns (step, rect)."""
    def report():
        for line in reversed(app.lines()[mark:]):
            m = re.match(r"presentation step (\d+) of \d+ outline (-?\d+) (-?\d+) (\d+) (\d+)", line)
            if m:
                return int(m.group(1)), tuple(map(int, m.group(2, 3, 4, 5)))
        return None
    return e2e.wait_for(report, "the show to paint a step")


def start_show(app, key="F5"):
    """Starts the show with KEY; returns the first reported (step, rect) once the show's window
    has taken the keyboard, so that the keys sent next reach it."""
    mark = len(app.lines())
    app.key(key)
    first = shown(app, mark)
    app.activate(app.window_named("Показ конспекта"), ask=False)
    return first


def settled_screenshot(app, path):
    """A screenshot taken once two in a row are the same: the X server has drawn the step."""
    previous = path + ".previous.png"
    app.desktop.screenshot(previous)

    def settled():
        app.desktop.screenshot(path)
        same = subprocess.run(["compare", "-metric", "AE", previous, path, "null:"], capture_output=True,
                              text=True, timeout=30).stderr.strip() == "0"
        os.replace(path, previous)
        return same

    e2e.wait_for(settled, "the screen to settle", interval=0.1)
    os.replace(previous, path)


def export(app, description, name):
    path = app.make_outline(description, name + ".vmd")
    out = os.path.join(app.folder, name + ".png")
    result = subprocess.run([app.binary, "--export", out, path], capture_output=True, text=True, timeout=60)
    e2e.check(result.returncode == 0, f"--export failed: {result.stderr}")
    return out


def difference(app, shot, rect, exported):
    """Mean absolute difference (0..1) between the screen's outline area and the export scaled
    to it. The show draws the whole canvas; --export leaves out the band under the tool bar, so
    the band's share of the screen's outline is left out of the comparison."""
    x, y, w, h = rect
    exported_size = subprocess.run(["identify", "-format", "%w %h", exported], capture_output=True,
                                   text=True, timeout=30).stdout.split()
    band = round(e2e.TOOL_BAR_HEIGHT * w / int(exported_size[0]))
    y, h = y + band, h - band
    crop = os.path.join(app.folder, "crop.png")
    scaled = os.path.join(app.folder, "scaled.png")
    subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", crop], check=True, timeout=30)
    subprocess.run(["convert", exported, "-resize", f"{w}x{h}!", scaled], check=True, timeout=30)
    result = subprocess.run(["compare", "-metric", "MAE", crop, scaled, "null:"], capture_output=True,
                            text=True, timeout=30)
    return float(re.search(r"\(([0-9.e-]+)\)", result.stderr).group(1))


def test_show_three_forward_one_back_and_leave(app):
    app.open(FULL)
    before = app.info()
    step, rect = start_show(app)
    e2e.check_equal(step, 0, "the show starts on the empty canvas")
    # The outline is scaled to fill the screen with its aspect kept.
    e2e.check(rect[2] == e2e.SCREEN[0] or rect[3] == e2e.SCREEN[1], f"the outline does not fill the screen: {rect}")

    for expected in (1, 2, 3):
        mark = len(app.lines())
        app.key("Right")
        step, rect = shown(app, mark)
        e2e.check_equal(step, expected, "a step forward")
    shot_3 = os.path.join(app.folder, "screen3.png")
    settled_screenshot(app, shot_3)

    mark = len(app.lines())
    app.key("Left")
    step, rect = shown(app, mark)
    e2e.check_equal(step, 2, "a step back")
    shot_2 = os.path.join(app.folder, "screen2.png")
    settled_screenshot(app, shot_2)

    exported_2, exported_3 = export(app, STEP_2, "step2"), export(app, STEP_3, "step3")
    same_2, other_2 = difference(app, shot_2, rect, exported_2), difference(app, shot_2, rect, exported_3)
    same_3, other_3 = difference(app, shot_3, rect, exported_3), difference(app, shot_3, rect, exported_2)
    # Scaling the export with another program smooths edges differently: close, not equal. The
    # picture revealed at step 3 must make the wrong pairs clearly further apart.
    e2e.check(same_2 < 0.02 and same_3 < 0.02, f"the screen differs from the export: {same_2:.4f}, {same_3:.4f}")
    e2e.check(other_2 > 2 * same_2 and other_3 > 2 * same_3,
              f"steps 2 and 3 cannot be told apart: {same_2:.4f}/{other_2:.4f}, {same_3:.4f}/{other_3:.4f}")

    mark = len(app.lines())
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to end")
    app.check_alive()
    # The outline is as it was, and the main window takes input again: F5 starts a new show.
    e2e.check_equal(app.info(), before, "the outline after the show")
    app.activate(app.window, ask=False)
    step, _ = start_show(app)
    e2e.check_equal(step, 0, "a new show starts at the beginning")
    mark = len(app.lines())
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the second show to end")


e2e.main(globals())
