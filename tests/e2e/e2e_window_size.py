# The window size outline files store, under a real window manager: the outer size, kept as it is
# through open and save, and the window kept on the screen.
import os
import shutil
import tempfile
import time

import velmar_e2e as e2e

OUTLINE = {"frames": [{"bounds": [10, 40, 300, 200], "title": "Рамка"}],
           "textFields": [{"bounds": [20, 30, 80, 40], "text": "Текст", "parent": 1}]}


def frame_geometry(app):
    """The window's frame on the screen: left, top, width, height."""
    out = app.desktop._run(["xwininfo", "-id", app.window]).stdout
    values = {}
    for line in out.splitlines():
        line = line.strip()
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            if line.startswith(key + ":"):
                values[key] = int(line.split(":")[1])
    extents = app.desktop._run(["xprop", "-id", app.window, "_NET_FRAME_EXTENTS"]).stdout
    left, right, top, bottom = [int(v) for v in extents.split("=")[1].split(",")]
    return [values["Absolute upper-left X"] - left, values["Absolute upper-left Y"] - top,
            values["Width"] + left + right, values["Height"] + top + bottom]


def saved_twice(app, description):
    """Opens the outline and saves it, then does the same with the saved file in a second velmar;
    returns both files' --info and that second velmar."""
    app.open(description)
    app.save()
    first = app.info()
    app.stop()
    again = e2e.Velmar(app.desktop, tempfile.mkdtemp(prefix="again-", dir=app.folder))
    again.open(app.path)
    again.save()
    return first, again.info(), again


def test_open_and_save_keep_the_outer_size(app):
    first, second, again = saved_twice(app, dict(OUTLINE, window=[746, 571]))
    for info in (first, second):
        e2e.check_equal([info["windowWidth"], info["windowHeight"]], [746, 571], "stored window size")
        e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
        e2e.check_equal(e2e.bounds(info["textFields"][0]), [20, 30, 80, 40], "text field")
    e2e.check_equal(frame_geometry(again)[2:], [746, 571], "window on the screen")
    again.stop()


def test_a_window_larger_than_the_screen_stays_on_it(app):
    first, second, again = saved_twice(app, dict(OUTLINE, window=[1500, 1100]))
    left, top, width, height = frame_geometry(again)
    e2e.check(left >= 0 and top >= 0 and left + width <= e2e.SCREEN[0] and top + height <= e2e.SCREEN[1],
              f"window {left},{top} {width}x{height} is not on the {e2e.SCREEN} screen")
    for info in (first, second):
        e2e.check_equal([info["windowWidth"], info["windowHeight"]], [1500, 1100], "stored window size")
        e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
    again.stop()


def choose_file(app, path):
    """Answers the file dialog that is opening: the path typed into its name field, then Enter."""
    e2e.wait_for(lambda: app.desktop._run(["xdotool", "search", "--onlyvisible", "--name", "Открыть|Сохранить"])
                 .stdout.split(), "the file dialog")
    time.sleep(0.3)
    app.type(path)
    app.key("Return")


def test_the_open_command_keeps_the_outer_size(app):
    path = app.make_outline(dict(OUTLINE, window=[746, 571]))
    app.open(None)
    app.click((45, 13))  # the tool bar's "Открыть"
    choose_file(app, path)
    app.path = path
    e2e.wait_for(lambda: "Логический конспект" in app.desktop._run(
        ["xdotool", "getwindowname", app.window]).stdout, "the outline to open")
    app.save()
    info = app.info()
    e2e.check_equal([info["windowWidth"], info["windowHeight"]], [746, 571], "stored window size")
    e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
    e2e.check_equal(frame_geometry(app)[2:], [746, 571], "window on the screen")


def test_recovered_work_keeps_the_outer_size(app):
    # Interrupted work: a complete snapshot left in the history folder.
    source = app.make_outline(dict(OUTLINE, window=[746, 571]))
    os.makedirs(os.path.join(app.home, "temp"), exist_ok=True)
    shutil.copy(source, os.path.join(app.home, "temp", "temp0.tm1"))
    app.process = None
    starter = e2e.threading.Thread(target=lambda: app.open(None), daemon=True)
    starter.start()
    e2e.wait_for(lambda: app.desktop._run(["xdotool", "search", "--onlyvisible", "--name", "Подтверждение"])
                 .stdout.split(), "the question about interrupted work")
    time.sleep(0.3)
    app.key("Return")  # "Да"
    starter.join(40)
    # Recovered work has no file of its own: Save asks for one.
    saved = os.path.join(app.folder, "recovered.vmd")
    app.key("ctrl+s")
    choose_file(app, saved)
    e2e.wait_for(lambda: os.path.exists(saved), "the recovered outline to be saved")
    time.sleep(0.3)
    info = app.info(saved)
    e2e.check_equal([info["windowWidth"], info["windowHeight"]], [746, 571], "stored window size")
    e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
    e2e.check_equal(frame_geometry(app)[2:], [746, 571], "window on the screen")


e2e.main(globals())
