# Habits from other programs, with real input: the arrow keys, Shift+arrows, Delete and Esc on the
# selected object, none of them reaching a text field being typed in; a picture pasted from
# another program's clipboard; the saved outline joining the recent outlines.
import os
import subprocess

import velmar_e2e as e2e
from velmar_e2e import bounds

LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "A"},
                     {"bounds": [400, 60, 200, 150], "title": "B"}],
          "textFields": [{"bounds": [20, 40, 120, 30], "text": "abc", "parent": 1}]}
FRAME_B = (500, 160)   # inside frame B's body (canvas coordinates)
FIELD = (100, 115)     # inside the text field of frame A
EMPTY = (700, 450)


def saved_info(app):
    app.save()
    return app.info()


def test_arrow_keys_move_the_selected_frame_one_step_each(app):
    app.open(LAYOUT)
    app.click(FRAME_B)
    app.key("Right")        # the grid (step 2) is on: the smallest move is one grid step
    app.key("Right")
    app.key("shift+Down")
    app.key("ctrl+z")       # one step per key: only Shift+↓ is undone
    app.key("Escape")       # nothing is selected any more: ← moves nothing
    app.key("Left")
    app.click((100, 200))   # frame A's body
    app.key("Right")
    frames = saved_info(app)["frames"]
    e2e.check_equal(bounds(frames[1])[:2], [404, 60], "frame B after → → Shift+↓ Ctrl+Z Esc ←")
    e2e.check_equal(bounds(frames[0])[:2], [42, 60], "frame A after →")


def test_keys_while_typing_stay_in_the_text_field(app):
    app.open(LAYOUT)
    app.click(FRAME_B)      # frame B selected…
    app.click(FIELD)        # …then typing in frame A's field
    app.key("End")
    app.type("xy")
    app.key("Left", "Delete", "Up", "Down", "Escape")
    app.click(EMPTY)
    info = saved_info(app)
    e2e.check_equal(info["textFields"][0]["text"], "abcx", "the field after End, xy, ←, Delete")
    e2e.check_equal([bounds(f)[:2] for f in info["frames"]], [[40, 60], [400, 60]], "frames untouched")


def test_delete_asks_and_removes_the_selected_frame(app):
    app.open(LAYOUT)
    app.click(FRAME_B)
    app.key("Delete")
    app.answer("Подтверждение")  # Enter: "Да"
    info = saved_info(app)
    e2e.check_equal([f["title"] for f in info["frames"]], ["A"], "frames after Delete")


def test_paste_a_picture_from_another_program_then_recent_outlines(app):
    app.open(LAYOUT)
    red = os.path.join(app.folder, "red.png")
    subprocess.run(["convert", "-size", "30x20", "xc:#ff0000", red], check=True, timeout=20)
    with open(red, "rb") as source:
        owner = subprocess.Popen(["xclip", "-selection", "clipboard", "-t", "image/png", "-i"],
                                 env=app.desktop.env, stdin=source, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
    try:
        e2e.wait_for(lambda: subprocess.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                                            env=app.desktop.env, capture_output=True, text=True,
                                            timeout=20).stdout.count("image/png"), "the clipboard's owner")
        app.move((450, 100))    # over frame B: the picture goes into it, at the pointer
        app.key("ctrl+v")
        info = e2e.wait_for(lambda: (lambda i: i if i["pictures"] else None)(saved_info(app)), "the pasted picture")
    finally:
        owner.terminate()
    picture = info["pictures"][0]
    e2e.check_equal(picture["parent"], 2, "the pasted picture's frame")
    # Fitted into the frame like any new picture, and holding the other program's red.
    left, top, width, height = bounds(picture)
    png = os.path.join(app.folder, "pasted.png")
    subprocess.run([app.binary, "--export", png, app.path], check=True, timeout=60, capture_output=True)
    centre = (400 + left + width // 2, 60 + top + height // 2)
    colour = subprocess.run(["convert", png, "-format", f"%[fx:int(255*p{{{centre[0]},{centre[1]}}}.r)] "
                             f"%[fx:int(255*p{{{centre[0]},{centre[1]}}}.g)]", "info:"],
                            capture_output=True, text=True, timeout=20).stdout.split()
    e2e.check(int(colour[0]) > 230 and int(colour[1]) < 30, f"the pasted picture is red: {colour} at {centre}")
    settings = os.path.join(app.home, "velmar.conf")
    e2e.check(os.path.exists(settings) and os.path.basename(app.path) in open(settings, encoding="utf-8").read(),
              "the saved outline is among the recent outlines")


e2e.main(globals())
