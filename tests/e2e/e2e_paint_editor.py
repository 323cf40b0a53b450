"""Real-input tests of the graphic editor: opened from a picture's pop-up menu, drawn in with the
mouse, closed, and the picture checked in the exported outline."""

import os
import subprocess

import velmar_e2e as e2e
import screen_truth as truth

# One 200 x 150 picture in a frame, filled with (0x40, 0x90, 0xC0); PICTURE_AT is its place on
# the canvas.
PICTURE_AT = (80, 90)
OUTLINE = {"window": [744, 546], "frames": [{"bounds": [60, 60, 400, 300], "title": "A"}],
           "pictures": [{"bounds": [20, 30, 200, 150], "parent": 1}]}
FILLING = (0x40, 0x90, 0xC0)
TOOLBAR = 31  # the export shows the canvas below the tool bar


def editor_geometry(app, since=0):
    """The editor's picture origin and named screen points from the program's report."""
    picture, items = None, {}
    for line in app.lines()[since:]:
        parts = line.split()
        if line.startswith("paint picture "):
            picture = (int(parts[2]), int(parts[3]))
        elif line.startswith("paint item "):
            items[parts[2]] = (int(parts[3]), int(parts[4]))
    return picture, items


def undo_index(state):
    return int(state["undo"].split("/")[0])


class Editor:
    """The editor window of a running velmar: points in picture-control pixels or by name. Every
    action waits until the editor reports that it has handled it (see screen_truth.py)."""

    def __init__(self, app, mark):
        self.app = app
        self.mark = mark
        truth.wait_block(app, mark, lambda s: s["undo"] == "1/1", "the graphic editor")
        editor = app.window_named("Графический редактор")
        # The editor takes the keyboard by itself: waited for, not asked.
        app.activate(editor, ask=False)
        # The window manager has placed the window once it is active: wait for the report of
        # where its picture lies to reach that place.
        e2e.wait_for(lambda: self._placed(editor), "the editor's reported place")

    def _placed(self, window):
        geometry = self.app.desktop._run(["xdotool", "getwindowgeometry", "--shell", window]).stdout
        values = dict(line.split("=", 1) for line in geometry.split())
        origin, items = editor_geometry(self.app, self.mark)
        corner = items.get("Panel40")
        return origin and corner and corner[0] >= int(values["X"]) and corner[1] >= int(values["Y"])

    def state(self):
        return truth.blocks(self.app, self.mark)[-1].state

    def at(self, point):
        origin, _ = editor_geometry(self.app, self.mark)
        return origin[0] + point[0], origin[1] + point[1]

    def item(self, name):
        _, items = editor_geometry(self.app, self.mark)
        e2e.check(name in items, f"{name} is not on the screen")
        return items[name]

    def move_to(self, screen_point):
        self.app.desktop.pointer_to(*screen_point)

    def _then(self, mark, until, what):
        if until is not None:
            truth.wait_block(self.app, mark, until, what)

    def click_item(self, name, button=1, until=None):
        mark = len(self.app.lines())
        self.move_to(self.item(name))
        self.app.desktop.xdotool("click", button)
        self._then(mark, until, f"a click on {name} to be handled")

    def tool(self, name, number):
        """Chooses a tool by its button."""
        self.click_item(name, until=lambda s: s["tool"] == str(number))

    def click(self, point, button=1, until=None):
        mark = len(self.app.lines())
        self.move_to(self.at(point))
        self.app.desktop.xdotool("click", button)
        self._then(mark, until, f"a click at {point} to be handled")

    def drag(self, start, end, button=1, steps=8, until=None):
        mark = len(self.app.lines())
        self.move_to(self.at(start))
        self.app.desktop.xdotool("mousedown", button)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.move_to(self.at((x, y)))
        self.app.desktop.xdotool("mouseup", button)
        self._then(mark, until, f"the drag from {start} to {end} to be handled")

    def stroke(self, start, end, button=1):
        """A drag that draws: waits for its undo state."""
        index = undo_index(self.state())
        self.drag(start, end, button, until=lambda s: undo_index(s) == min(index + 1, 10))

    def key(self, key, until):
        mark = len(self.app.lines())
        self.app.key(key)
        self._then(mark, until, f"{key} to be handled")


def open_editor(app, outline=None):
    app.desktop.env["VELMAR_REPORT_PICTURE"] = os.path.join(app.folder, "views")
    try:
        app.open(outline or OUTLINE)
    finally:
        del app.desktop.env["VELMAR_REPORT_PICTURE"]
    mark = len(app.lines())
    app.click((PICTURE_AT[0] + 100, PICTURE_AT[1] + 75), button=3)
    e2e.wait_for(lambda: "PictureMenu" in app.menus_since(mark), "the picture's menu")
    app.choose("EditPicture", mark)  # "Редактировать"
    return Editor(app, mark)


def close_and_export(app):
    """Closes the editor with the window manager's Alt+F4, saves, and exports the outline."""
    editors = [line.split(" ", 3)[2] for line in app.lines() if line.startswith("active Form2 ")]
    e2e.check(editors, "the editor was reported taking the keyboard")
    editor = editors[-1]
    app.activate(int(editor), ask=False)

    # Alt+F4 goes to the window manager, which may let it go while busy: it is pressed again only
    # while X still has the editor active, so it can never reach the main window.
    def closed():
        if app.desktop._run(["xdotool", "getactivewindow"]).stdout.strip() == editor:
            app.key("alt+F4")
            return False
        return True
    e2e.wait_for(closed, "the editor to close on Alt+F4", 20, interval=1.0)
    app.activate(app.window, ask=False)  # the main window comes back by itself
    app.save()
    out = os.path.join(app.folder, "export.png")
    result = subprocess.run([app.binary, "--export", out, app.path], capture_output=True, text=True,
                            timeout=60)
    e2e.check(result.returncode == 0, f"--export failed: {result.stderr}")
    return out


def pixel(png, point):
    """The colour of a picture pixel (picture coordinates) in the exported outline."""
    x, y = PICTURE_AT[0] + point[0], PICTURE_AT[1] + point[1] - TOOLBAR
    text = subprocess.run(["convert", png, "-format", f"%[fx:int(255*p{{{x},{y}}}.r)] "
                           f"%[fx:int(255*p{{{x},{y}}}.g)] %[fx:int(255*p{{{x},{y}}}.b)]", "info:"],
                          capture_output=True, text=True, timeout=30).stdout.split()
    return tuple(int(v) for v in text)


def near(colour, expected, what):
    e2e.check(all(abs(a - b) <= 40 for a, b in zip(colour, expected)),
              f"{what}: expected about {expected}, got {colour}")


def dark(colour, what):
    # One-pixel lines lose some of their colour to the JPEG's colour subsampling: judge by darkness.
    e2e.check(max(colour) <= 90, f"{what}: expected a dark pixel, got {colour}")


def test_line_rectangle_fill_undo(app):
    editor = open_editor(app)
    # A pencil line (the pencil is current on opening), black.
    editor.stroke((20, 20), (120, 20))
    # A rectangle outline, then a red fill inside it.
    editor.tool("Panel50", 11)
    editor.stroke((30, 50), (110, 120))
    editor.tool("Panel47", 8)
    # Left button: red becomes the front colour.
    editor.click_item("Panel17", until=lambda s: s["front"] == "#ff0000")
    index = undo_index(editor.state())
    editor.click((70, 85), until=lambda s: undo_index(s) == index + 1)
    # A second line, undone with Ctrl+Z.
    editor.tool("Panel48", 9)
    editor.stroke((20, 140), (180, 140))
    index = undo_index(editor.state())
    editor.key("ctrl+z", until=lambda s: undo_index(s) == index - 1)
    png = close_and_export(app)

    dark(pixel(png, (70, 20)), "the pencil line")
    near(pixel(png, (70, 85)), (255, 0, 0), "the filled inside")
    near(pixel(png, (150, 85)), FILLING, "outside the rectangle")
    near(pixel(png, (100, 140)), FILLING, "the undone line")
    near(pixel(png, (70, 30)), FILLING, "between line and rectangle")


def test_zoomed_drawing_and_shift_line(app):
    editor = open_editor(app)
    editor.tool("Panel41", 2)
    editor.click_item("ListBox1.1", until=lambda s: s["zoom"] == "2")  # "  2x"
    # At zoom 2 a line from control (20, 20) to (120, 20) covers picture pixels 10..60 of row 10.
    editor.tool("Panel48", 9)
    app.desktop.xdotool("keydown", "shift")
    try:
        editor.stroke((20, 20), (120, 24))  # nearly horizontal: Shift makes it exactly horizontal
    finally:
        app.desktop.xdotool("keyup", "shift")
    png = close_and_export(app)
    dark(pixel(png, (35, 10)), "the constrained line")
    dark(pixel(png, (58, 10)), "the constrained line's end")
    near(pixel(png, (58, 12)), FILLING, "below the constrained line")


if __name__ == "__main__":  # the helpers above serve the other editor scripts too
    e2e.main(globals())
