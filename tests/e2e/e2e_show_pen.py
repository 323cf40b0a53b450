"""Drawing over the show with real input: the pen's strokes read back from the screen, kept with
their step when the show goes back and forth and gone once the show has ended; the laser pointer
leaving nothing where it was; colours from the show's pop-up menu; the steps saved as pictures
with their drawings, read back by ImageMagick."""

import os
import re
import subprocess

import velmar_e2e as e2e

OUTLINE = {"window": [900, 650], "canvasColour": 16777215,
           "frames": [{"bounds": [20, 40, 380, 260], "title": "Опыты"},
                      {"bounds": [420, 40, 440, 300], "title": "Величины"}]}
REPORT = re.compile(r"presentation step (\d+) of \d+ outline (-?\d+) (-?\d+) (\d+) (\d+) .* tool (\d) strokes (\d+) "
                    r"spotlight (\d) laser (-|\d+ \d+)")


def state(app, mark, **wanted):
    """Waits for a report after lines()[:mark] whose fields are as wanted; returns it."""
    def report():
        for line in reversed(app.lines()[mark:]):
            m = REPORT.match(line)
            if m:
                got = {"step": int(m.group(1)), "outline": tuple(map(int, m.group(2, 3, 4, 5))),
                       "tool": int(m.group(6)), "strokes": int(m.group(7)), "spotlight": int(m.group(8)),
                       "laser": m.group(9)}
                return got if all(got[k] == v for k, v in wanted.items()) else None
        return None
    return e2e.wait_for(report, f"the show to paint {wanted}")


def colour_at(app, point, name="show.png"):
    shot = os.path.join(app.folder, name)
    app.screenshot(shot)
    return colour_of(shot, point)


def colour_of(path, point):
    x, y = point
    out = subprocess.run(["convert", path, "-format", f"%[fx:int(255*p{{{x},{y}}}.r)] %[fx:int(255*p{{{x},{y}}}.g)] "
                          f"%[fx:int(255*p{{{x},{y}}}.b)]", "info:"], capture_output=True, text=True, timeout=30)
    return tuple(int(v) for v in out.stdout.split())


def reddish(c):
    return c[0] > 150 and c[1] < 100 and c[2] < 100


def bluish(c):
    return c[2] > 150 and c[0] < 100


def start_show(app):
    mark = len(app.lines())
    app.key("F5")
    shown = state(app, mark, step=0)
    app.activate(app.window_named("Показ конспекта"), ask=False)
    return shown


def drag(app, start, end, steps=12):
    """A drag in screen coordinates, in small moves as a hand makes it."""
    app.desktop.xdotool("mousemove", *start)
    app.desktop.xdotool("mousedown", 1)
    for i in range(1, steps + 1):
        app.desktop.xdotool("mousemove", start[0] + (end[0] - start[0]) * i // steps,
                            start[1] + (end[1] - start[1]) * i // steps)
    app.desktop.xdotool("mouseup", 1)


def test_pen_strokes_stay_with_their_step_and_end_with_the_show(app):
    app.open(OUTLINE)
    shown = start_show(app)
    x, y, w, h = shown["outline"]
    mark = len(app.lines())
    # Ctrl+P takes up the pen in the show (the main window's Ctrl+P, printing, stays out of it).
    app.key("ctrl+p", "Right")
    state(app, mark, step=1, tool=1)
    # Below the frames, where the canvas is white at every step.
    a, b = (x + w // 10, y + h * 8 // 10), (x + w * 9 // 10, y + h * 8 // 10)
    middle = ((a[0] + b[0]) // 2, a[1])
    drag(app, a, b)
    state(app, mark, step=1, strokes=1)
    e2e.wait_for(lambda: reddish(colour_at(app, middle)), "the stroke on the screen")

    app.key("Right")
    state(app, mark, step=2, strokes=0)
    e2e.wait_for(lambda: min(colour_at(app, middle)) > 200, "the next step without the stroke")
    app.key("Left")
    state(app, mark, step=1, strokes=1)
    e2e.wait_for(lambda: reddish(colour_at(app, middle)), "the stroke back with its step")

    # Esc puts the pen down, the second Esc ends the show; a new show starts without strokes.
    app.key("Escape")
    state(app, mark, step=1, tool=0)
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to close")
    e2e.check(not any(line.startswith("active ") and "Печать" in line for line in app.lines()[mark:]),
              "no print dialog")
    app.activate(app.window)
    start_show(app)
    mark = len(app.lines())
    app.key("Right")
    state(app, mark, step=1, strokes=0)
    e2e.wait_for(lambda: min(colour_at(app, middle)) > 200, "the new show without the old stroke")
    app.key("Escape")


def test_laser_leaves_nothing_where_it_was(app):
    app.open(OUTLINE)
    shown = start_show(app)
    x, y, w, h = shown["outline"]
    point = (x + w // 2, y + h * 8 // 10)
    before = colour_at(app, point)
    mark = len(app.lines())
    app.key("ctrl+l")
    state(app, mark, tool=3)
    app.desktop.pointer_to(*point)
    state(app, mark, laser=f"{point[0]} {point[1]}")
    e2e.wait_for(lambda: reddish(colour_at(app, point)), "the red dot under the pointer")
    away = (point[0] - 200, point[1] - 100)
    app.desktop.pointer_to(*away)
    state(app, mark, laser=f"{away[0]} {away[1]}", strokes=0)
    e2e.wait_for(lambda: colour_at(app, point) == before and reddish(colour_at(app, away)),
                 "the dot gone from where it was, shown where the pointer is")
    app.key("Escape", "Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to close")


def test_menu_colour_and_saved_step_pictures(app):
    app.open(OUTLINE)
    shown = start_show(app)
    x, y, w, h = shown["outline"]
    mark = len(app.lines())
    app.key("Right")
    state(app, mark, step=1)
    # The pop-up menu's colour takes up the pen in that colour.
    app.key("Menu")
    e2e.wait_for(lambda: "showMenu" in app.menus_since(mark), "the show's pop-up menu")
    app.choose("showColours", mark)
    e2e.wait_for(lambda: "showColours" in app.menus_since(mark), "the colours")
    app.choose("showColourBlue", mark)
    state(app, mark, tool=1)
    a, b = (x + w // 10, y + h * 8 // 10), (x + w * 9 // 10, y + h * 8 // 10)
    middle = ((a[0] + b[0]) // 2, a[1])
    drag(app, a, b)
    state(app, mark, step=1, strokes=1)
    e2e.wait_for(lambda: bluish(colour_at(app, middle)), "the blue stroke on the screen")

    # "Сохранить рисунки показа" writes every step, the stroke on the step it was drawn on.
    folder = os.path.join(app.folder, "drawings")
    os.makedirs(folder)
    mark = len(app.lines())
    app.key("Menu")
    e2e.wait_for(lambda: "showMenu" in app.menus_since(mark), "the show's pop-up menu")
    app.choose("showSaveDrawings", mark)
    app.answer("Сохранить рисунки показа", folder)
    names = ["step-00.png", "step-01.png", "step-02.png"]
    e2e.wait_for(lambda: sorted(os.listdir(folder)) == names, "the step pictures")
    for step, name in enumerate(names):
        path = os.path.join(folder, name)
        size = subprocess.run(["identify", "-format", "%m %w %h", path], capture_output=True, text=True,
                              timeout=30).stdout.split()
        e2e.check_equal(size[0], "PNG", name)
        # The stroke in the outline's own pixels: the screen's point taken back by the show's scale.
        px = (middle[0] - x) * int(size[1]) // w
        py = (middle[1] - y) * int(size[2]) // h
        e2e.check_equal(bluish(colour_of(path, (px, py))), step == 1, f"the stroke in {name}")
    app.activate(app.window_named("Показ конспекта"))
    app.key("Escape", "Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to close")


e2e.main(globals())
