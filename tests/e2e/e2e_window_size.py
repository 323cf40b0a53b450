# The window size outline files store, under a real window manager: the outer size, kept as it is
# through open and save; an outline from a larger screen fitted into the window this screen
# allows; a tiny stored window opened at a usable size, zooming from there.
import os
import shutil
import tempfile

import velmar_e2e as e2e

OUTLINE = {"name": "lesson", "frames": [{"bounds": [10, 40, 300, 200], "title": "Рамка"}],
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


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def save_as(app, folder, name="lesson"):
    """"Сохранить как..." from the tool bar into FOLDER under NAME (the outline's own name keeps
    the file's bytes: the name is stored in it); waits until it is written and returns its path."""
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, name + ".vmd")
    app.click(app.button("SaveAs"))
    app.answer("Сохранить как", os.path.join(folder, name))
    e2e.wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, "the outline to be saved as " + path)
    app.path = path
    return path


def saved_twice(app, description):
    """Opens the outline and saves it unedited under another name, then does the same with that
    file in a second velmar; returns the bytes of the three files and that second velmar."""
    app.open(description)
    original = app.path
    first = save_as(app, os.path.join(app.folder, "first"))
    app.stop()
    again = e2e.Velmar(app.desktop, tempfile.mkdtemp(prefix="again-", dir=app.folder))
    again.open(first)
    second = save_as(again, os.path.join(again.folder, "second"))
    return [read_bytes(p) for p in (original, first, second)], again


def canvas_room(app):
    """The canvas's width and height on the screen: from its reported origin to the window's
    bottom-right corner."""
    left, top, width, height = frame_geometry(app)
    origin = app._origin()
    return left + width - origin[0], top + height - origin[1]


def shot(app, name):
    path = os.path.join(os.environ.get("VELMAR_E2E_ARTIFACTS") or app.folder, f"e2e_window_size.{name}.png")
    app.screenshot(path)
    print("screenshot:", path, flush=True)


def test_open_and_save_keep_the_outer_size(app):
    files, again = saved_twice(app, dict(OUTLINE, window=[746, 571]))
    e2e.check(files[0] == files[1] == files[2], "opened and saved unedited, the outline changed")
    info = again.info()
    e2e.check_equal([info["windowWidth"], info["windowHeight"]], [746, 571], "stored window size")
    e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
    e2e.check_equal(frame_geometry(again)[2:], [746, 571], "window on the screen")
    again.stop()


# Made on a 1920 × 1050 screen: the third frame lies where a 1280 × 900 screen has no room; the
# second holds a round photo in a square.
BIG = {"name": "lesson", "window": [1920, 1050],
       "frames": [{"bounds": [10, 40, 300, 200], "title": "Первая"},
                  {"bounds": [800, 400, 600, 500], "title": "Вторая"},
                  {"bounds": [1550, 760, 300, 200], "title": "Третья"}],
       "pictures": [{"bounds": [100, 80, 300, 300], "parent": 2, "image": "round.png"}]}


def red_box(app, name):
    """A screenshot, and the box [left, top, width, height] of its red pixels in canvas
    coordinates: the round photo as the screen shows it. Taken again until two shots in a row show
    the same photo: a dialog just closed leaves its picture on the screen until the window under it
    has repainted."""
    path = os.path.join(os.environ.get("VELMAR_E2E_ARTIFACTS") or app.folder, f"e2e_window_size.{name}.png")
    ppm = os.path.join(app.folder, name + ".ppm")
    import screen_truth

    def red():
        shot(app, name)
        app.desktop._run(["convert", path, ppm])
        with open(ppm, "rb") as f:
            width, height, rows = screen_truth.read_ppm(f.read())
        xs, ys = [], []
        for y in range(height):
            row = rows[y]
            for x in range(width):
                r, g, b = row[3 * x], row[3 * x + 1], row[3 * x + 2]
                if r > 200 and g < 70 and b < 70:
                    xs.append(x)
                    ys.append(y)
        box = (min(xs), min(ys), max(xs), max(ys)) if xs else None
        steady = box is not None and box == last[0]
        last[0] = box
        return (xs, ys) if steady else None

    last = [None]
    xs, ys = e2e.wait_for(red, "the red photo on the screen", 10, interval=0.2)
    ox, oy = app._origin()
    return [min(xs) - ox, min(ys) - oy, max(xs) - min(xs) + 1, max(ys) - min(ys) + 1]


def test_an_outline_from_a_larger_screen_keeps_its_own_layout(app):
    os.makedirs(app.folder, exist_ok=True)
    round_photo = os.path.join(app.folder, "round.png")
    app.desktop._run(["convert", "-size", "300x300", "xc:white", "-fill", "red", "-draw", "circle 150,150 150,0",
                      round_photo])
    files, again = saved_twice(app, dict(BIG, pictures=[dict(BIG["pictures"][0], image=round_photo)]))
    e2e.check(files[0] == files[1] == files[2], "opened and saved unedited, the outline changed")
    left, top, width, height = frame_geometry(again)
    e2e.check(left >= 0 and top >= 0 and left + width <= e2e.SCREEN[0] and top + height <= e2e.SCREEN[1],
              f"window {left},{top} {width}x{height} is not on the {e2e.SCREEN} screen")
    # Shown whole at one scale for both axes: the round photo is round on the screen.
    room_w, room_h = canvas_room(again)
    chrome_w, chrome_h = width - room_w, height - room_h
    scale = min(room_w / (1920 - chrome_w), (room_h - 32) / (1050 - chrome_h - 32))
    photo = red_box(again, "fitted")
    e2e.check(abs(photo[2] - photo[3]) <= 2 and abs(photo[2] - 300 * scale) <= 4,
              f"the round photo shows as {photo[2]}x{photo[3]} at a scale of {scale:.3f}")
    # The third frame is where that scale puts it: its body can be grabbed there and moved.
    third = [round(1550 * scale), round(scale * (760 - 31)) + 31, round(300 * scale), round(scale * 200)]
    e2e.check(third[0] + third[2] <= room_w and third[1] + third[3] <= room_h,
              f"the third frame {third} would lie outside the canvas {room_w}x{room_h}")
    grab = (third[0] + third[2] // 2, third[1] + third[3] * 2 // 3)
    again.drag(grab, (grab[0] - 60, grab[1] - 40))
    again.save()
    shot(again, "fitted-moved")
    info = again.info()
    # Saved in its own layout: the window and every untouched object as made, to the pixel; the
    # moved frame where the user put it, seen at full size.
    e2e.check_equal([info["windowWidth"], info["windowHeight"]], [1920, 1050], "stored window size")
    frames = [e2e.bounds(f) for f in info["frames"]]
    e2e.check_equal(frames[0], [10, 40, 300, 200], "the first frame")
    e2e.check_equal(frames[1], [800, 400, 600, 500], "the second frame")
    e2e.check_equal(e2e.bounds(info["pictures"][0]), [100, 80, 300, 300], "the photo")
    e2e.check(frames[2][2:] == [300, 200] and abs(frames[2][0] - (1550 - 60 / scale)) <= 4
              and abs(frames[2][1] - (760 - 40 / scale)) <= 4,
              f"the third frame is at {frames[2]}, expected near ({1550 - 60 / scale:.0f}, {760 - 40 / scale:.0f})")
    # Still shown whole and round after the change.
    photo = red_box(again, "fitted-after")
    e2e.check(abs(photo[2] - photo[3]) <= 2, f"the round photo shows as {photo[2]}x{photo[3]} after the move")
    again.stop()


def test_a_tiny_stored_window_opens_usable_and_zooms(app):
    app.open(dict(OUTLINE, window=[18, 19]))
    original = read_bytes(app.path)
    left, top, width, height = frame_geometry(app)
    e2e.check(width >= 320 and height >= 240, f"the window is only {width}x{height}")
    same = save_as(app, os.path.join(app.folder, "same"))
    e2e.check(read_bytes(same) == original, "opened and saved unedited, the outline changed")
    shot(app, "tiny")
    # Enlarged by the user, the outline grows with the window.
    before = canvas_room(app)
    app.desktop.xdotool("windowsize", app.window, 2 * width, 2 * height)
    e2e.wait_for(lambda: canvas_room(app) != before, "the window to grow")
    app._settle()
    shot(app, "tiny-enlarged")
    grown = save_as(app, os.path.join(app.folder, "grown"))
    frame = e2e.bounds(app.info(grown)["frames"][0])
    e2e.check(frame[2] > 450 and frame[3] > 250, f"the frame did not grow with the window: {frame}")


def test_the_open_command_keeps_the_outer_size(app):
    path = app.make_outline(dict(OUTLINE, window=[746, 571]))
    app.open(None)
    app.click(app.button("Open"))  # "Открыть"
    app.answer("Открыть", path)
    app.path = path
    e2e.wait_for(lambda: "Логический конспект" in app.desktop._run(
        ["xdotool", "getwindowname", app.window]).stdout, "the outline to open")
    saved = save_as(app, os.path.join(app.folder, "saved"))
    e2e.check(read_bytes(saved) == read_bytes(path), "opened and saved unedited, the outline changed")
    e2e.check_equal(frame_geometry(app)[2:], [746, 571], "window on the screen")


def test_an_outline_opened_into_a_maximised_window_is_zoomed(app):
    path = app.make_outline(dict(OUTLINE, window=[746, 571]))
    app.open(None)
    left, top, width, height = frame_geometry(app)
    # openbox maximises a window whose title bar is double-clicked.
    app.desktop.xdotool("mousemove", left + width // 2, top + 8)
    app.desktop.xdotool("click", "--repeat", "2", "--delay", "80", "1")
    e2e.wait_for(lambda: frame_geometry(app)[2] >= e2e.SCREEN[0] - 4, "the window to be maximised")
    app._settle()
    app.click(app.button("Open"))  # "Открыть"
    app.answer("Открыть", path)
    e2e.wait_for(lambda: "Логический конспект" in app.desktop._run(
        ["xdotool", "getwindowname", app.window]).stdout, "the outline to open")
    app._settle()
    shot(app, "maximised")
    e2e.check(frame_geometry(app)[2] >= e2e.SCREEN[0] - 4, "the window did not stay maximised")
    saved = save_as(app, os.path.join(app.folder, "saved"))
    e2e.check(read_bytes(saved) == read_bytes(path), "opened and saved unedited, the outline changed")
    # Zoomed as a resize to this window would: the frame's body lies about where the zoom put it
    # (the frame is large; a rough place inside it is enough to grab it).
    room_w, room_h = canvas_room(app)
    grab = (round(160 * room_w / 746), round(200 * room_h / 571))
    app.drag(grab, (grab[0] + 30, grab[1] + 20))
    app.save()
    frame = e2e.bounds(app.info()["frames"][0])
    e2e.check(frame[2] > 420 and frame[3] > 280, f"the frame was not zoomed to the maximised window: {frame}")


def test_recovered_work_keeps_the_outer_size(app):
    # Interrupted work: a complete snapshot left in the history folder.
    source = app.make_outline(dict(OUTLINE, window=[746, 571]))
    os.makedirs(os.path.join(app.home, "temp"), exist_ok=True)
    shutil.copy(source, os.path.join(app.home, "temp", "temp0.tm1"))
    app.start(None)
    app.answer("Подтверждение")  # "Да"
    app.wait_shown()
    # Recovered work has no file of its own: Save asks for one.
    saved = os.path.join(app.folder, "recovered.vmd")
    app.key("ctrl+s")
    app.answer("Сохранить как", saved)
    e2e.wait_for(lambda: os.path.exists(saved), "the recovered outline to be saved")
    info = app.info(saved)
    e2e.check_equal([info["windowWidth"], info["windowHeight"]], [746, 571], "stored window size")
    e2e.check_equal(e2e.bounds(info["frames"][0]), [10, 40, 300, 200], "frame")
    e2e.check_equal(frame_geometry(app)[2:], [746, 571], "window on the screen")


e2e.main(globals())
