"""The presenter's view with two screens, with real input: F5 puts the show on the second screen
and, on the main window's screen, the step shown, the next step, the step's minimal text and the
clocks; the presenter's keys step both; Esc ends both. The desktop here has two X screens (Qt
sees each as a screen of its own)."""

import os
import re
import shutil
import subprocess

import velmar_e2e as e2e

SECOND_SCREEN = (1024, 768)


class _TwoScreenProcesses:
    """subprocess for velmar_e2e, with a second screen added to the X server it starts."""

    def __getattr__(self, name):
        return getattr(subprocess, name)

    @staticmethod
    def Popen(args, *rest, **options):
        if args and args[0] == "Xvfb":
            args = args + ["-screen", "1", f"{SECOND_SCREEN[0]}x{SECOND_SCREEN[1]}x24"]
        return subprocess.Popen(args, *rest, **options)


e2e.subprocess = _TwoScreenProcesses()

OUTLINE = {"window": [900, 650], "name": "Маятник",
           "frames": [{"bounds": [20, 40, 380, 260], "title": "Опыты", "minimal": "Первый опыт\nс маятником"},
                      {"bounds": [420, 40, 440, 300], "title": "Величины", "minimal": "Период"}]}
SHOW = re.compile(r"presentation step (\d+) of (\d+) outline (-?\d+) (-?\d+) (\d+) (\d+) .* screen (-?\d+)")
PRESENTER = re.compile(r"presenter step (\d+) of (\d+) window (-?\d+) (-?\d+) (\d+) (\d+) current (-?\d+) (-?\d+) "
                       r"(\d+) (\d+) next (-?\d+) (-?\d+) (\d+) (\d+) text (-?\d+) (-?\d+) (\d+) (\d+) screen (-?\d+)")


def last(app, mark, pattern, step):
    def found():
        for line in reversed(app.lines()[mark:]):
            m = pattern.match(line)
            if m and int(m.group(1)) == step:
                return [int(v) for v in m.groups()]
        return None
    return e2e.wait_for(found, f"{pattern.pattern.split()[0]} at step {step}")


def screenshot(app, screen, name):
    path = os.path.join(app.folder, name)
    result = app.desktop._run(["import", "-display", f"{app.desktop.display}.{screen}", "-window", "root", path])
    e2e.check(result.returncode == 0, f"no screenshot of screen {screen}: {result.stderr}")
    artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS")
    if artifacts:  # kept to be looked at
        os.makedirs(artifacts, exist_ok=True)
        shutil.copy(path, os.path.join(artifacts, "presenter-view." + name))
    return path


def mean_colour(shot, rect):
    x, y, w, h = rect
    out = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-scale", "1x1!", "-format",
                          "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]", "info:"],
                         capture_output=True, text=True, timeout=30).stdout.split()
    return tuple(int(v) for v in out)


def bright_pixels(shot, rect):
    """How many pixels of a rectangle are nearly white (text on the dark background)."""
    x, y, w, h = rect
    out = subprocess.run(["convert", shot, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-colorspace", "gray",
                          "-threshold", "70%", "-format", "%[fx:int(mean*w*h)]", "info:"],
                         capture_output=True, text=True, timeout=30).stdout.strip()
    return int(out)


def test_presenter_view_on_the_main_screen_show_on_the_other(app):
    app.open(OUTLINE)
    mark = len(app.lines())
    app.key("F5")
    show = last(app, mark, SHOW, 0)
    presenter = last(app, mark, PRESENTER, 0)
    e2e.check_equal(show[-1], 1, "the show's screen")
    e2e.check_equal(presenter[-1], 0, "the presenter's screen (the main window's)")
    e2e.check_equal(presenter[2:6], [0, 0, e2e.SCREEN[0], e2e.SCREEN[1]], "the presenter's window")
    e2e.check(show[4] == SECOND_SCREEN[0] or show[5] == SECOND_SCREEN[1], f"the show fills its screen: {show}")

    # The presenter's window takes the keyboard: Right steps the show and both views.
    presenter_window = e2e.wait_for(lambda: app.desktop._run(
        ["xdotool", "search", "--onlyvisible", "--name", "ведущий"]).stdout.split(), "the presenter's window")[0]
    app.activate(presenter_window)
    mark = len(app.lines())
    app.key("Right")
    show = last(app, mark, SHOW, 1)
    presenter = last(app, mark, PRESENTER, 1)

    # What the screens show: the audience the outline's canvas (white) with frame 1; the presenter
    # its dark page with the two small outlines and the minimal text in white.
    audience = screenshot(app, 1, "audience.png")
    main = screenshot(app, 0, "presenter.png")
    canvas = mean_colour(audience, (show[2] + 5, show[3] + show[5] - 20, 20, 10))
    e2e.check(min(canvas) > 200, f"the show's canvas is white: {canvas}")
    corner = mean_colour(main, (2, e2e.SCREEN[1] - 10, 8, 8))
    e2e.check(max(corner) < 60, f"the presenter's page is dark: {corner}")
    current = presenter[6:10]
    e2e.check(min(mean_colour(main, (current[0] + current[2] - 20, current[1] + current[3] - 12, 10, 8))) > 200,
              f"the current step's canvas is drawn at {current}")
    text = presenter[14:18]
    e2e.check(bright_pixels(main, text) > 50, "the minimal text is written in the presenter's view")
    with_text = bright_pixels(main, text)

    # B blanks the audience's screen; the presenter still sees the outline.
    mark = len(app.lines())
    app.key("b")
    e2e.wait_for(lambda: any(re.match(r"presentation step 1 .* blank 1", line) for line in app.lines()[mark:]),
                 "the audience's screen to go black")
    e2e.wait_for(lambda: max(mean_colour(screenshot(app, 1, "black.png"), (show[2] + 5, show[3] + 5, 20, 20))) < 20,
                 "the audience's screen to show black")
    app.key("b")

    # The last step: no next step, a shorter minimal text.
    mark = len(app.lines())
    app.key("End")
    last(app, mark, SHOW, 2)
    presenter = last(app, mark, PRESENTER, 2)
    main = screenshot(app, 0, "presenter-end.png")
    e2e.check(0 < bright_pixels(main, presenter[14:18]) < with_text, "the last step's shorter minimal text")

    mark = len(app.lines())
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to end")
    app.check_alive()
    app.activate(app.window)


def test_pen_on_the_show_appears_on_the_presenter_view_and_the_countdown(app):
    app.open(OUTLINE)
    mark = len(app.lines())
    app.key("F5")
    show = last(app, mark, SHOW, 0)
    presenter_window = e2e.wait_for(lambda: app.desktop._run(
        ["xdotool", "search", "--onlyvisible", "--name", "ведущий"]).stdout.split(), "the presenter's window")[0]
    app.activate(presenter_window)
    mark = len(app.lines())
    app.key("p", "Right")
    last(app, mark, SHOW, 1)
    # A stroke drawn with the mouse on the audience's screen, below the frames.
    x, y, w, h = show[2:6]
    row = y + h * 8 // 10
    app.desktop.xdotool("mousemove", "--screen", 1, x + w // 10, row)
    app.desktop.xdotool("mousedown", 1)
    for i in range(1, 13):
        app.desktop.xdotool("mousemove", "--screen", 1, x + w // 10 + (w * 8 // 10) * i // 12, row)
    app.desktop.xdotool("mouseup", 1)
    e2e.wait_for(lambda: any(re.match(r"presenter step 1 .* strokes 1$", line) for line in app.lines()[mark:]),
                 "the presenter's view to draw the stroke")
    presenter = last(app, mark, PRESENTER, 1)
    cx, cy, cw, ch = presenter[6:10]
    band = (cx + cw // 4, cy + ch * 8 // 10 - 3, cw // 2, 6)

    def red_in_band():
        c = mean_colour(screenshot(app, 0, "presenter-pen.png"), band)
        return c[0] > 150 and c[1] < 140
    e2e.wait_for(red_in_band, "the stroke on the presenter's screen")
    red_audience = mean_colour(screenshot(app, 1, "audience-pen.png"), (x + w // 4, row - 1, w // 2, 3))
    e2e.check(red_audience[0] > 150 and red_audience[1] < 100, f"the stroke on the audience's screen: {red_audience}")

    # The countdown: set to 1:30 in its dialog, paused, reset.
    def button(name):
        for line in reversed(app.lines()):
            parts = line.split()
            if parts[:2] == ["presenter-button", name]:
                bx, by, bw, bh = map(int, parts[2:6])
                return bx + bw // 2, by + bh // 2
        raise e2e.TestFailure(f"no button {name} reported")

    def countdown(pattern):
        return e2e.wait_for(lambda: any(re.search(pattern, line) for line in app.lines()[mark:]
                                        if line.startswith("presenter step")), f"the countdown {pattern}", 15)

    app.desktop.pointer_to(*button("countdownSet"))
    app.desktop.xdotool("click", 1)
    dialog = app.dialog("Таймер")
    app.key("ctrl+a")
    app.type("1:30")
    app.key_until(["Return"], lambda: app.window_gone(dialog), "the timer's dialog to close")
    countdown(r"countdown 1:2\d running 1")
    mark = len(app.lines())
    app.desktop.pointer_to(*button("countdownPause"))
    app.desktop.xdotool("click", 1)
    countdown(r"countdown 1:[23]\d running 0")
    app.desktop.pointer_to(*button("countdownReset"))
    app.desktop.xdotool("click", 1)
    countdown(r"countdown 1:30 running 0")
    app.activate(presenter_window)
    mark = len(app.lines())
    app.key("Escape", "Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to end")


e2e.main(globals())
