"""Drag and drop from another program, with real X drag and drop: a small Qt program starts a drag
when pressed (as a file manager or a web browser does), xdotool carries it over velmar's canvas and
lets go. A picture file and picture data without a file become picture objects where they are
dropped; an outline file dropped opens; a picture larger than the one in the graphic editor,
dropped there, is fitted into it after the question."""

import os
import subprocess
import threading
import time

import velmar_e2e as e2e
import screen_truth as truth
from e2e_paint_editor import open_editor
from velmar_e2e import bounds

LAYOUT = {"frames": [{"bounds": [40, 60, 300, 220], "title": "A"}]}
IN_FRAME = (150, 170)     # canvas point inside frame A's body
ON_CANVAS = (600, 400)    # canvas point on no object


class DragSource:
    """The drag source program, started on the test's desktop with what it offers."""

    def __init__(self, app, kind, path):
        maker = os.environ.get("VELMAR_MAKE_OUTLINE") or os.path.join("build", "tests", "e2e_make_outline")
        binary = os.path.join(os.path.dirname(os.path.abspath(maker)), "e2e_drag_source")
        e2e.check(os.path.exists(binary), f"the drag source {binary} is not built")
        self.app = app
        self.lines = []
        self.process = subprocess.Popen([binary, kind, path], env=dict(app.desktop.env, QT_QPA_PLATFORM="xcb"),
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
        threading.Thread(target=self._read, daemon=True).start()
        e2e.wait_for(lambda: [l for l in self.lines if l.startswith("drag-source ready ")],
                     "the drag source's window", 20)
        window = e2e.wait_for(lambda: app.desktop._run(["xdotool", "search", "--onlyvisible", "--pid",
                                                        str(self.process.pid)]).stdout.split(), "its X window")[0]
        app.desktop.xdotool("windowactivate", "--sync", window)
        ready = [l for l in self.lines if l.startswith("drag-source ready ")][-1]
        self.at = tuple(int(v) for v in ready.split()[2:4])

    def _read(self):
        for line in self.process.stdout:
            self.lines.append(line.rstrip("\n"))

    def drag_to(self, screen_point, canvas_point=None):
        """Presses on the source, moves over screen_point until velmar accepts, and lets go there.
        Over the main window's canvas_point, it lets go once velmar reports the drag there."""
        desktop = self.app.desktop
        desktop.pointer_to(*self.at)
        desktop.xdotool("mousedown", 1)
        try:
            x0, y0 = self.at
            for i in range(1, 11):
                desktop.pointer_to(x0 + (screen_point[0] - x0) * i // 10, y0 + (screen_point[1] - y0) * i // 10)

            # Velmar answers each position; a small move again until it has accepted the drop.
            def accepted():
                desktop.xdotool("mousemove", screen_point[0] + len(self.lines) % 2, screen_point[1])
                return any(l.startswith("drag-source action ") and not l.endswith(" 0") for l in self.lines)
            e2e.wait_for(accepted, "velmar to accept the drag", 10, interval=0.1)
            # The drop lands where velmar last heard the drag was: let go only once it has
            # reported the drag over the target point itself.
            desktop.pointer_to(*screen_point)
            mark = len(self.app.lines())
            target = "drag-over %d %d" % tuple(canvas_point) if canvas_point else None

            def over_target():
                if target is None or target in self.app.lines()[mark:]:
                    return True
                # A pointer that does not move sends no new position: step off and back.
                desktop.pointer_to(screen_point[0] + 1, screen_point[1])
                desktop.pointer_to(*screen_point)
                return False
            e2e.wait_for(over_target, f"velmar to report the drag over {target}", 10, interval=0.1)
        finally:
            desktop.xdotool("mouseup", 1)
        done = e2e.wait_for(lambda: [l for l in self.lines if l.startswith("drag-source done ")],
                            "the drag to end", 10)[0]
        return int(done.split()[2])

    def stop(self):
        self.process.terminate()
        self.process.wait(10)


SOURCES = []


def drop(app, kind, path, canvas_point):
    """Drags from a new source to a canvas point. The source keeps running: like any X drag source
    it hands the data over when the target asks for it, which may be after the drag has ended."""
    source = DragSource(app, kind, path)
    SOURCES.append(source)
    action = source.drag_to(app.screen(canvas_point), canvas_point)
    # The keyboard goes back to velmar (the source's window had it for the press).
    app.activate(app.window)
    return action


def stop_sources():
    while SOURCES:
        SOURCES.pop().stop()


def pictures(app):
    app.save()
    return app.info()["pictures"]


def test_a_picture_file_and_picture_data_dropped(app):
    try:
        picture_file_and_data(app)
    finally:
        stop_sources()


def picture_file_and_data(app):
    app.open(LAYOUT)
    red = os.path.join(app.folder, "red.png")
    subprocess.run(["convert", "-size", "40x30", "xc:#ff0000", red], check=True, timeout=20)
    e2e.check(drop(app, "--file", red, IN_FRAME) != 0, "the file's drop was taken")
    found = e2e.wait_for(lambda: pictures(app) or None, "the dropped picture")
    e2e.check_equal(len(found), 1, "pictures after the file's drop")
    e2e.check_equal(found[0]["parent"], 1, "the dropped picture lies in the frame under the pointer")

    blue = os.path.join(app.folder, "blue.png")
    subprocess.run(["convert", "-size", "50x20", "xc:#0000ff", blue], check=True, timeout=20)
    e2e.check(drop(app, "--image", blue, ON_CANVAS) != 0, "the picture data's drop was taken")
    found = e2e.wait_for(lambda: (lambda p: p if len(p) == 2 else None)(pictures(app)), "the dropped picture data")
    on_canvas = found[1]
    e2e.check_equal(on_canvas["parent"], 0, "picture data dropped on the canvas")
    left, top, width, height = bounds(on_canvas)
    e2e.check(left <= ON_CANVAS[0] <= left + width + 1 and top <= ON_CANVAS[1] <= top + height + 1,
              f"the picture lies where it was dropped: {bounds(on_canvas)}")
    # It keeps the 5 : 2 proportions of the picture dropped.
    e2e.check(abs(2 * width - 5 * height) <= 5, f"the dropped 50 × 20 picture is {width} × {height}")
    # Both are one undo step each: Ctrl+Z takes the second away.
    app.key("ctrl+z")
    e2e.wait_for(lambda: len(pictures(app)) == 1, "Ctrl+Z to take the dropped data away")


def test_an_outline_file_dropped_opens(app):
    try:
        outline_file(app)
    finally:
        stop_sources()


def outline_file(app):
    app.open(LAYOUT)
    other = app.make_outline({"name": "Другой конспект", "frames": [{"bounds": [10, 40, 100, 80], "title": "B"}]},
                             "other.vmd")
    e2e.check(drop(app, "--file", other, ON_CANVAS) != 0, "the outline's drop was taken")
    e2e.wait_for(lambda: "Другой конспект" in app.desktop._run(["xdotool", "getwindowname", str(app.window)]).stdout,
                 "the dropped outline to open")
    app.path = other
    app.key("ctrl+s")
    e2e.wait_for(lambda: [f["title"] for f in app.info()["frames"]] == ["B"], "the opened outline saved")


def test_a_large_picture_dropped_on_the_graphic_editor_is_fitted(app):
    try:
        into_the_editor(app)
    finally:
        stop_sources()


def into_the_editor(app):
    editor = open_editor(app)  # a 200 x 150 picture
    editor_windows(app)
    green = os.path.join(app.folder, "green.png")
    subprocess.run(["convert", "-size", "400x150", "xc:#00ff00", green], check=True, timeout=20)
    mark = len(app.lines())
    source = DragSource(app, "--file", green)
    SOURCES.append(source)
    e2e.check(source.drag_to(editor.at((100, 75))) != 0, "the drop on the editor was taken")
    # The question whether to fit it: "Да" is its default button.
    # The question has the editor's caption: it is the window of that name that is not the editor.
    question = e2e.wait_for(lambda: [w for w in app.desktop._run(["xdotool", "search", "--onlyvisible", "--name",
                                                                  "^Графический редактор$"]).stdout.split()
                                     if w not in editor_windows(app)], "the question about the size")[0]
    app.desktop.xdotool("windowactivate", "--sync", question)
    app.desktop.xdotool("key", "Return")
    block = truth.wait_block(app, mark, lambda s: s["piece"] == "1" and s["piecesize"] == "200x75",
                             "the dropped picture fitted as a floating piece")
    e2e.check_equal(block.state["tool"], "1", "the selection tool with the dropped piece")


def test_a_fifo_named_like_a_picture_is_refused_without_waiting_on_it(app):
    try:
        fifo_over_the_editor(app)
    finally:
        stop_sources()


def fifo_over_the_editor(app):
    """A FIFO named pic.png, dragged over the graphic editor: the editor refuses it without
    opening it (opening a FIFO waits for a writer), so the window goes on answering."""
    editor = open_editor(app)
    fifo = os.path.join(app.folder, "pic.png")
    os.mkfifo(fifo)
    source = DragSource(app, "--file", fifo)
    SOURCES.append(source)
    desktop = app.desktop
    target = editor.at((100, 75))
    desktop.pointer_to(*source.at)
    desktop.xdotool("mousedown", 1)
    try:
        x0, y0 = source.at
        for i in range(1, 11):
            desktop.pointer_to(x0 + (target[0] - x0) * i // 10, y0 + (target[1] - y0) * i // 10)
        # Every position over the work area asks the editor whether it takes the drop.
        for i in range(10):
            desktop.xdotool("mousemove", target[0] + i % 2, target[1])
            time.sleep(0.1)
        with open(f"/proc/{app.process.pid}/wchan") as wchan:
            waiting = wchan.read()
        e2e.check("fifo" not in waiting and "partner" not in waiting,
                  f"the window waits on the FIFO ({waiting})")
    finally:
        desktop.xdotool("mouseup", 1)
    done = e2e.wait_for(lambda: [l for l in source.lines if l.startswith("drag-source done ")], "the drag to end", 10)
    e2e.check_equal(int(done[0].split()[2]), 0, "the drop action the editor took")
    e2e.check(not any(l.startswith("drag-source action ") and not l.endswith(" 0") for l in source.lines),
              f"the editor offered to take the FIFO: {source.lines}")
    # A window that is not stuck ends at once when the session ends it.
    app.process.terminate()
    try:
        app.process.wait(10)
    except subprocess.TimeoutExpired:
        raise e2e.TestFailure("velmar did not end on SIGTERM after the drag: it is stuck")


def editor_windows(app):
    """The editor's own window (found before the question opens)."""
    if not hasattr(app, "_editor_windows"):
        app._editor_windows = set(app.desktop._run(["xdotool", "search", "--onlyvisible", "--name",
                                                    "^Графический редактор$"]).stdout.split())
    return app._editor_windows


e2e.main(globals())
