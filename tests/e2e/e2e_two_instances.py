# Two Velmars on one outline, as two people (or one person with two windows) meet it: the second
# is told at open that the outline is open elsewhere, a save that would replace the other one's
# work asks first, and a window with nothing unsaved offers to load the other one's save.
import os

import velmar_e2e as e2e
from velmar_e2e import bounds

LAYOUT = {"window": [900, 640],
          "frames": [{"bounds": [40, 60, 240, 180], "title": "A"},
                     {"bounds": [400, 60, 200, 150], "title": "B"}]}


def second_velmar(app):
    folder = os.path.join(app.folder, "second")
    os.makedirs(folder)
    return e2e.Velmar(app.desktop, folder)


def answer_choice(velmar, title, choice):
    """Clicks the answer CHOICE ("choice0", …) of the question TITLE: velmar reports where each
    answer lies in the question's window when the question takes the keyboard."""
    window = velmar.dialog(title)
    lines = velmar.lines()
    start = max(i for i, line in enumerate(lines)
                if line.startswith("active ") and line.split(" ", 3)[2] == str(window))
    place = [line.split()[2:6] for line in lines[start:] if line.split()[:2] == ["answer", choice]]
    e2e.check(place, f"velmar reported no answer {choice} for «{title}»")
    x, y, w, h = map(int, place[0])
    geometry = {}
    for line in velmar.desktop._run(["xwininfo", "-id", str(window)]).stdout.splitlines():
        key, _, value = line.strip().partition(":")
        geometry[key] = value.strip()
    left, top = int(geometry["Absolute upper-left X"]), int(geometry["Absolute upper-left Y"])
    velmar.desktop.xdotool("mousemove", left + x + w // 2, top + y + h // 2)
    velmar.desktop.xdotool("click", 1)
    e2e.wait_for(lambda: velmar.window_gone(window), f"the question «{title}» to close")


def test_the_second_save_asks_before_replacing_the_first(app):
    app.open(LAYOUT)
    other = second_velmar(app)
    try:
        # The second Velmar is told the outline is open, and opens it for editing anyway.
        other.start(app.path)
        answer_choice(other, "Внимание", "choice1")   # "Открыть для правки"
        other.wait_shown()
        app.activate(app.window)
        app.drag((100, 120), (100, 320))               # the first moves frame A down ...
        other.activate(other.window)
        other.drag((460, 120), (660, 120))             # ... the second moves frame B right
        other.save()
        e2e.check_equal(bounds(app.info()["frames"][1])[0], 600, "frame B after the second's save")

        # The first saves: asked, and "Отмена" (Esc) leaves the second one's work in the file.
        app.activate(app.window)
        app.key("ctrl+s")
        question = app.dialog("Внимание")
        app.key_until(["Escape"], lambda: app.window_gone(question), "the question to close")
        info = app.info()
        e2e.check_equal(bounds(info["frames"][1])[0], 600, "frame B after a cancelled save")
        e2e.check_equal(bounds(info["frames"][0])[1], 60, "frame A after a cancelled save")

        # Asked again, "Заменить" writes the first one's outline.
        app.key("ctrl+s")
        answer_choice(app, "Внимание", "choice1")
        e2e.wait_for(lambda: bounds(app.info()["frames"][0])[1] == 260, "the first one's save")
        e2e.check_equal(bounds(app.info()["frames"][1])[0], 400, "frame B as the first one has it")
    finally:
        other.stop()


def test_a_window_without_changes_offers_to_reload(app):
    app.open(LAYOUT)
    other = second_velmar(app)
    try:
        other.start(app.path)
        answer_choice(other, "Внимание", "choice1")
        other.wait_shown()
        other.drag((460, 120), (660, 120))
        other.save()
        # Back in front, the first window offers the other one's save, and shows it once loaded.
        # (The question takes the keyboard from the window at once: the window is only raised.)
        app.desktop.xdotool("windowactivate", str(app.window))
        answer_choice(app, "Подтверждение", "choice0")  # "Загрузить заново"
        app.activate(app.window)
        app.check_screen_shows(app.export("reloaded.png"), "the outline as the second saved it")
    finally:
        other.stop()


def test_read_only_opening_saves_elsewhere(app):
    app.open(LAYOUT)
    with open(app.path, "rb") as f:
        original = f.read()
    other = second_velmar(app)
    try:
        other.start(app.path)
        answer_choice(other, "Внимание", "choice0")   # "Только для чтения"
        other.wait_shown()
        other.drag((460, 120), (660, 120))
        other.key("ctrl+s")                           # Save asks for another file
        copy = os.path.join(other.folder, "copy")
        other.answer("Сохранить как", copy)
        e2e.wait_for(lambda: os.path.exists(copy + ".vmd"), "the copy to be saved")
        e2e.check_equal(bounds(other.info(copy + ".vmd")["frames"][1])[0], 600, "frame B in the copy")
        with open(app.path, "rb") as f:
            e2e.check(f.read() == original, "the read-only outline's file was written")
    finally:
        other.stop()


e2e.main(globals())
