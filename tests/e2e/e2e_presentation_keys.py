"""The show's keys from presentation programs, with real input: B and W blank the screen (read
back from the screen), a step key brings the outline back on the same step, N shows the counter,
a frame's number and Enter jump to it, the wheel steps, Shift+F5 starts from the selected frame."""

import os
import re
import subprocess

import velmar_e2e as e2e

OUTLINE = {"window": [900, 650],
           "frames": [{"bounds": [20, 40, 380, 260], "title": "Опыты"},
                      {"bounds": [420, 40, 440, 300], "title": "Величины"}],
           "textFields": [{"bounds": [20, 30, 200, 60], "text": "Маятник", "parent": 1},
                          {"bounds": [30, 40, 200, 60], "text": "Период", "parent": 2}]}
# Reading order: frame 1, its text field, frame 2, its text field (steps 1–4).
REPORT = re.compile(r"presentation step (\d+) of \d+ outline .* blank (\d) counter (\d)")


def state(app, mark, wanted):
    """Waits for a report after lines()[:mark] whose (step, blank, counter) is wanted."""
    def report():
        for line in reversed(app.lines()[mark:]):
            m = REPORT.match(line)
            if m:
                return tuple(map(int, m.groups())) == wanted
        return False
    e2e.wait_for(report, f"the show to paint step/blank/counter {wanted}")


def centre_colour(app):
    shot = os.path.join(app.folder, "show.png")
    app.screenshot(shot)
    out = subprocess.run(["convert", shot, "-format", "%[fx:int(255*p{640,450}.r)] %[fx:int(255*p{640,450}.g)] "
                          "%[fx:int(255*p{640,450}.b)]", "info:"], capture_output=True, text=True, timeout=30)
    return tuple(int(v) for v in out.stdout.split())


def test_blank_counter_numbers_and_wheel(app):
    app.open(OUTLINE)
    mark = len(app.lines())
    app.key("F5")
    state(app, mark, (0, 0, 0))
    app.activate(app.window_named("Показ конспекта"), ask=False)  # the show has the keyboard
    app.key("Right", "Right")
    state(app, mark, (2, 0, 0))
    mark = len(app.lines())
    app.key("b")
    state(app, mark, (2, 1, 0))
    e2e.check_equal(centre_colour(app), (0, 0, 0), "the screen after B")
    app.key("Right")                           # brings the outline back, does not step
    state(app, mark, (2, 0, 0))
    app.key("w")
    state(app, mark, (2, 2, 0))
    e2e.check_equal(centre_colour(app), (255, 255, 255), "the screen after W")
    app.key("w")
    state(app, mark, (2, 0, 0))
    app.key("n")
    state(app, mark, (2, 0, 1))
    app.key("2", "Return")                     # the second frame of the reading order
    state(app, mark, (3, 0, 1))
    app.desktop.xdotool("click", "5")          # the wheel turned down
    state(app, mark, (4, 0, 1))
    app.key("Up")
    state(app, mark, (3, 0, 1))
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to close")


def test_shift_f5_starts_from_the_selected_frame(app):
    app.open(OUTLINE)
    app.click((600, 300))                      # frame 2's body
    mark = len(app.lines())
    app.key("shift+F5")
    state(app, mark, (3, 0, 0))
    app.activate(app.window_named("Показ конспекта"), ask=False)
    app.key("Escape")
    e2e.wait_for(lambda: "presentation closed" in app.lines()[mark:], "the show to close")


e2e.main(globals())
