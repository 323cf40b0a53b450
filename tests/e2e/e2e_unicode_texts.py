# Texts beyond Windows-1251 and the appearance the record has no field for, with real input: what
# was typed and set is kept through Undo/Redo, Save and opening the file again.
import os
import tempfile

import velmar_e2e as e2e
from velmar_e2e import bounds

RED = 0x000000FF
LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "A", "titleColour": RED},
                     {"bounds": [400, 60, 200, 150], "title": "B"}],
          "textFields": [{"bounds": [20, 40, 120, 30], "text": "abc", "parent": 1}],
          "pictures": [{"bounds": [20, 90, 60, 40], "parent": 1, "border": 1}]}
FIELD = (100, 115)   # inside the text field (canvas coordinates)
EMPTY = (500, 400)
TYPED = "π√²"


def give_keys_to(app, keysyms):
    """Puts the symbols on spare keys, as a keyboard layout with them would. Without this,
    xdotool remaps one key for each symbol while typing and restores the map at once, and the
    program, reading the key later, may find the symbol gone."""
    for keycode, keysym in zip(range(200, 200 + len(keysyms)), keysyms):
        result = app.desktop._run(["xmodmap", "-e", f"keycode {keycode} = {keysym}"])
        e2e.check(result.returncode == 0, f"xmodmap: {result.stderr}")


def test_typed_symbols_survive_undo_redo_save_and_reopening(app):
    give_keys_to(app, ["Greek_pi", "radical", "twosuperior"])
    app.open(LAYOUT)
    app.click(FIELD)
    app.type(TYPED)
    app.click(EMPTY)                       # the canvas takes the keyboard: the typing is a step
    app.drag((500, 150), (540, 170))       # frame B moves: a header-only step after it
    app.key("ctrl+z")
    app.key("ctrl+y")
    app.key("ctrl+z")                      # the move is undone; the typing must stay as typed
    app.save()
    info = app.info()
    text = info["textFields"][0]["text"]
    e2e.check(TYPED in text and "?" not in text, f"typed text after undo and redo: {text!r}")
    e2e.check_equal(bounds(info["frames"][1])[:2], [400, 60], "frame B after Ctrl+Z")
    e2e.check_equal(info["frames"][0]["titleColour"], RED, "the red title after Save")
    e2e.check_equal(info["pictures"][0]["border"], 1, "the picture's border after Save")

    # The saved file opened again: the window shows the text (saving it again keeps it) and the
    # red title and the border are still there.
    app.stop()
    again = e2e.Velmar(app.desktop, tempfile.mkdtemp(dir=app.folder))
    try:
        again.open(app.path)
        artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS")
        if artifacts:
            os.makedirs(artifacts, exist_ok=True)
            again.screenshot(os.path.join(artifacts, "e2e_unicode_texts.reopened.png"))
        again.drag((500, 150), (520, 150))
        again.save()
        info = again.info()
        text = info["textFields"][0]["text"]
        e2e.check(TYPED in text and "?" not in text, f"typed text after reopening: {text!r}")
        e2e.check_equal(info["frames"][0]["titleColour"], RED, "the red title after reopening")
        e2e.check_equal(info["pictures"][0]["border"], 1, "the picture's border after reopening")
    finally:
        again.stop()


e2e.main(globals())
