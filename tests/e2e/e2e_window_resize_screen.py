# The window resized by the window manager step by step, to odd sizes too (the grid makes them
# even): the outline zooms with it, and the screen shows every object where the program has it
# after each step, never a drawing left from an earlier size. Typing and undo after a resize show
# on the screen too.
import os

import velmar_e2e as e2e
from velmar_e2e import bounds

# Frames, a caption on the canvas and in a frame, a picture, a film and arrows: every step of the
# resize moves and sizes them all.
LAYOUT = {"frames": [{"bounds": [20, 50, 300, 220], "title": "Первая"},
                     {"bounds": [360, 80, 260, 260], "title": "Вторая"}],
          "captions": [{"bounds": [20, 100, 120, 30], "text": "Надпись", "parent": 1},
                       {"bounds": [30, 360, 200, 30], "text": "На холсте"}],
          "pictures": [{"bounds": [30, 40, 180, 150], "parent": 2}],
          "videos": [{"bounds": [160, 140, 120, 60], "parent": 1}],
          "arrows": [[330, 150, 420, 300], [100, 420, 500, 380]]}


def client_size(app):
    return tuple(int(v) for v in app._x_geometry()[2:4])


def resize_to(app, size):
    """Resizes the window through the window manager and waits until velmar has its window at
    that size (or the even one next to it) and has settled there."""
    mark = len(app.lines())
    app.desktop.xdotool("windowsize", app.window, *size)

    def reported():
        app.check_alive()
        return any(line.startswith("window ") and all(abs(int(v) - s) <= 1 for v, s in zip(line.split()[3:5], size))
                   for line in app.lines()[mark:])

    e2e.wait_for(reported, f"velmar's window at {size}", timeout=20)
    app._settle()


def save_as(app, name):
    """Zooming is no edit, so Save has nothing to write: "Сохранить как..." writes what the
    window holds now."""
    path = os.path.join(app.folder, name + ".vmd")
    app.click(app.button("SaveAs"))
    app.answer("Сохранить как", path[:-len(".vmd")])
    e2e.wait_for(lambda: os.path.exists(path) and os.path.getsize(path) > 0, "the outline to be saved as " + path)
    app.path = path
    return path


def screen_shows_file(app, what):
    """Without a selection, the canvas on the screen is the saved outline, pixel for pixel."""
    app.key("Escape")
    app.check_screen_shows(app.export(what.replace(" ", "-") + ".png"), what)


# With a text field to type into.
TYPED = dict(LAYOUT, textFields=[{"bounds": [20, 30, 160, 40], "text": "Текст", "parent": 1}])


def test_each_step_of_a_resize_is_drawn_where_the_outline_is(app):
    app.open(LAYOUT)
    width, height = client_size(app)
    original = bounds(app.info()["frames"][1])
    # Growing by odd steps, then shrinking below the opened size, as a dragged edge does.
    for step, (dx, dy) in enumerate([(13, 7), (26, 15), (41, 22), (57, 33), (-31, -19), (-75, -41)]):
        resize_to(app, (width + dx, height + dy))
        if step in (3, 5):
            save_as(app, f"step{step}")
            frame = bounds(app.info()["frames"][1])
            grown = frame[2] > original[2] if dx > 0 else frame[2] < original[2]
            e2e.check(grown, f"the frame did not follow the window at step {step}: {frame}, opened as {original}")
            screen_shows_file(app, f"after step {step}")


def test_typing_and_undo_after_a_resize_show_on_the_screen(app):
    app.open(TYPED)
    width, height = client_size(app)
    resize_to(app, (width + 37, height + 21))
    save_as(app, "resized")
    info = app.info()
    frame, field = bounds(info["frames"][0]), bounds(info["textFields"][0])
    screen_shows_file(app, "resized")
    # Into the field where the resize left it, typed at its end.
    app.click((frame[0] + field[0] + field[2] // 2, frame[1] + field[1] + field[3] // 2))
    app.key("ctrl+End")
    app.type("xyz")
    app.click((frame[0] + frame[2] // 2, frame[1] + frame[3] - 10))  # the frame's body takes the keyboard
    app.save()
    e2e.check_equal(app.info()["textFields"][0]["text"], "Текстxyz", "the typed text")
    screen_shows_file(app, "typed")
    app.key("ctrl+z")
    app.save()
    e2e.check_equal(app.info()["textFields"][0]["text"], "Текст", "the text after undo")
    screen_shows_file(app, "undone")


e2e.main(globals())
