"""Real-input tests: the real velmar on its own virtual X server with a window manager, driven by
X events (xdotool), as a person would drive it.

A test script is a file tests/e2e/e2e_<name>.py (CTest registers each one, label e2e):

    import velmar_e2e as e2e

    def test_body_drag_moves_frame(app):          # every test_* gets a freshly started velmar
        app.open({"frames": [{"bounds": [40, 60, 200, 150], "title": "A"}]})
        app.drag((100, 120), (130, 150))          # canvas coordinates, as in the outline file
        app.save()                                # Ctrl+S; waits until the file is rewritten
        e2e.check_equal(e2e.bounds(app.info()["frames"][0]), [70, 90, 200, 150])

    e2e.main(globals())

`open` takes a description for tests/e2e/make_outline.cpp (or an existing file's path), writes the
outline, starts velmar on it with VELMAR_HOME in a temporary folder, and learns the canvas's screen
origin from the program itself (VELMAR_REPORT_GEOMETRY=1 makes it print "canvas X Y", the tool-bar
buttons' places, and "menu NAME [ID]" for every menu it opens: app.menus_since(mark)). Input:
press/release/move/click/double_click/drag at canvas coordinates, app.button("Undo") for a
tool-bar button, key("ctrl+z"), type("text"), hold("alt") around a drag.
Wait on what velmar reports, never on fixed pauses: open() returns once velmar reports its window
where the X server has it ("window X Y W H", after "framed") and that window has the keyboard;
choose("CreateFrame", mark) clicks a command of a menu by its typed id; window_named("Печать") and
activate(window) wait for a dialog and its keyboard focus; answer("Сохранить как", path) waits for
a dialog to take the keyboard, types into it and presses Enter until it has gone; key_until(["Return"],
done, what) sends a key again while a dialog was not ready for it; start() and wait_shown() split
open() around a question asked while starting; check_screen_shows(app.export("x.png"), what) waits
until the canvas on the screen equals --export of the saved outline pixel for pixel. Presses are
spaced so that two never make an unintended double click. A failing test leaves a screenshot and the program's
output in $VELMAR_E2E_ARTIFACTS (default: a temporary folder, printed).
Run one by hand:  VELMAR_BIN=build/src/velmar VELMAR_MAKE_OUTLINE=build/tests/e2e_make_outline \
                  python3 tests/e2e/e2e_canvas_moves.py [test_name...]
Needs python3, Xvfb, openbox, xdotool, x11-utils and ImageMagick (scripts/common.sh installs them).
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback

SCREEN = (1280, 900)
TOOL_BAR_HEIGHT = 31  # the canvas's top band under the tool bar, which --export leaves out
DOUBLE_CLICK_GAP = 0.45  # longer than Qt's double-click interval (400 ms)


class TestFailure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise TestFailure(message)


def check_equal(actual, expected, what=""):
    if actual != expected:
        raise TestFailure(f"{what + ': ' if what else ''}expected {expected!r}, got {actual!r}")


def bounds(item):
    """[left, top, width, height] of an object of --info's JSON."""
    return [item["left"], item["top"], item["width"], item["height"]]


def wait_for(condition, what, timeout=10.0, interval=0.02):
    """Polls condition() until it returns something true and returns that; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TestFailure(f"timed out waiting for {what}")
        time.sleep(interval)


def _find_binary(variable, candidates):
    path = os.environ.get(variable)
    if path:
        return os.path.abspath(path)
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for candidate in candidates:
        full = os.path.join(root, candidate)
        if os.path.exists(full):
            return full
    raise TestFailure(f"{variable} is not set and no built program was found")


class Desktop:
    """Xvfb on a free display number plus openbox without its Alt+mouse bindings."""

    def __init__(self, folder):
        self.folder = folder
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=open(os.path.join(folder, "xvfb.log"), "w"))
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise TestFailure("Xvfb did not start (see xvfb.log)")
                number += chunk
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        # openbox's own configuration, minus Alt+drag (which would move the window instead of
        # reaching the program).
        with open("/etc/xdg/openbox/rc.xml") as source:
            config = re.sub(r'<mousebind button="A-[^"]*"[^>]*>.*?</mousebind>', "", source.read(),
                            flags=re.S)
        self.rc = os.path.join(folder, "rc.xml")
        with open(self.rc, "w") as target:
            target.write(config)
        self.wm = None
        try:
            self._start_wm()
            wait_for(self._wm_ready, "the window manager", 30)
        except BaseException:
            # Nothing of a desktop that did not come up is left running.
            self.stop()
            raise

    def _start_wm(self):
        self.wm = subprocess.Popen(["openbox", "--config-file", self.rc], env=self.env,
                                   stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.folder, "openbox.log"), "a"))

    def _wm_ready(self):
        # A window manager that quit while starting (seen on a heavily loaded machine) is
        # started again.
        if self.wm.poll() is not None:
            self._start_wm()
            return False
        result = self._run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"])
        return result.returncode == 0 and "window id" in result.stdout

    def _run(self, args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=20)

    def xdotool(self, *args):
        result = self._run(["xdotool", *[str(a) for a in args]])
        if result.returncode != 0:
            raise TestFailure(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
        return result.stdout

    def pointer(self):
        """Where the X server has the pointer, (x, y) on the screen."""
        out = self._run(["xdotool", "getmouselocation", "--shell"]).stdout
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values.get("X", -1)), int(values.get("Y", -1))

    def pointer_to(self, x, y):
        """Moves the pointer to (x, y) and returns once the X server has it there. (xdotool's
        mousemove --sync alone waits until the pointer moves: 15 s for nothing when it is there
        already.)"""
        if self.pointer() != (x, y):
            self.xdotool("mousemove", "--sync", x, y)

    def screenshot(self, path):
        self._run(["import", "-window", "root", path])

    def stop(self):
        for process in (self.wm, self.xvfb):
            if process is not None and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


class Velmar:
    """One running velmar on the desktop, with its outline file and its reported geometry."""

    def __init__(self, desktop, folder):
        self.desktop = desktop
        self.folder = folder
        self.home = os.path.join(folder, "home")
        os.makedirs(self.home, exist_ok=True)
        self.runtime = os.path.join(folder, "runtime")
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        self.binary = _find_binary("VELMAR_BIN", ["build/src/velmar"])
        self.process = None
        self.path = None
        self._lines = []
        self._lock = threading.Lock()
        self._buttons = set()
        self._last_press = 0.0

    # --- starting ------------------------------------------------------------------------------

    def make_outline(self, description, name="outline.vmd"):
        """Writes an outline from a description (see make_outline.cpp); returns its path."""
        path = os.path.join(self.folder, name)
        maker = _find_binary("VELMAR_MAKE_OUTLINE", ["build/tests/e2e_make_outline"])
        result = subprocess.run([maker, path], input=json.dumps(description), text=True,
                                capture_output=True, timeout=30)
        check(result.returncode == 0, f"cannot write the outline: {result.stderr}")
        return path

    def open(self, outline=None, env=None):
        """Starts velmar on an outline (a description, a path, or None for a new outline) and
        waits until its main window is shown, placed and has the keyboard. ENV: variables to set
        besides the usual ones."""
        self.start(outline, env)
        return self.wait_shown()

    def start(self, outline=None, env=None):
        """Starts velmar without waiting for its window: for a start that asks a question first
        (answer it with answer(), then wait_shown())."""
        extra = env or {}
        if isinstance(outline, dict):
            outline = self.make_outline(outline)
        self.path = outline
        env = dict(self.desktop.env, VELMAR_HOME=self.home, VELMAR_REPORT_GEOMETRY="1",
                   LC_ALL="C.UTF-8", QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=self.runtime,
                   XDG_CACHE_HOME=os.path.join(self.folder, "cache"))
        env.pop("QT_QPA_PLATFORMTHEME", None)
        env.update(extra)
        self.log = open(os.path.join(self.folder, "velmar.log"), "w")
        args = [self.binary] + ([outline] if outline else [])
        self.process = subprocess.Popen(args, env=env, stdout=subprocess.PIPE, stderr=self.log,
                                        text=True, bufsize=1, cwd=self.folder)
        threading.Thread(target=self._read_output, daemon=True).start()
        return self

    def wait_shown(self, timeout=30):
        """Waits until the main window of the started velmar is shown, placed and active."""
        wait_for(lambda: self._origin() is not None or self._died(), "the canvas to be shown", timeout)
        self.check_alive()
        # Window managers place and decorate a new window in a few steps: wait for the window
        # and for its position to settle.
        self.window = wait_for(lambda: self.desktop._run(
            ["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)]).stdout.split(),
            "the main window", timeout)[0]
        self._settle()
        self.activate(self.window)
        self._settle()
        return self

    def activate(self, window, timeout=20, ask=True):
        """Raises a window of velmar and waits until it has the keyboard: X reports it active and
        velmar reports a window taking the keyboard. Activation is asked again while it has not
        happened (a window manager busy placing a new window may let the first request go).
        With ask=False only waits: for a window that should take the keyboard by itself."""
        def active():
            self.check_alive()
            if self.desktop._run(["xdotool", "getactivewindow"]).stdout.strip() != str(window):
                if ask:
                    self.desktop._run(["xdotool", "windowactivate", str(window)])
                return False
            # The last window velmar saw take the keyboard is this one.
            reported = [line.split(" ", 3) for line in self.lines() if line.startswith("active ")]
            return bool(reported) and len(reported[-1]) > 2 and reported[-1][2] == str(window)

        try:
            wait_for(active, f"window {window} to take the keyboard", timeout, interval=0.05)
        except TestFailure:
            reported = [line for line in self.lines() if line.startswith("active ")]
            raise TestFailure(f"window {window} did not take the keyboard; X says "
                              f"{self.desktop._run(['xdotool', 'getactivewindow']).stdout.strip()}, "
                              f"velmar reported {reported[-3:]}")

    def _read_output(self):
        for line in self.process.stdout:
            with self._lock:
                self._lines.append(line.rstrip("\n"))

    def _died(self):
        return self.process.poll() is not None

    def _origin(self):
        with self._lock:
            for line in reversed(self._lines):
                if line.startswith("canvas "):
                    x, y = line.split()[1:3]
                    return int(x), int(y)
        return None

    def _settle(self, timeout=20):
        """Waits until velmar's window has settled where the window manager put it: velmar knows
        the window's frame and has sized the window for it ("framed"), the last client size it
        asked for ("resize W H") has come back in a report of its window, and the window it last
        reported ("window X Y W H") lies where the X server has it. Canvas points are turned into
        screen points from velmar's report, so they are right from then on."""
        def placed():
            self.check_alive()
            lines = self.lines()
            if "framed" not in lines:
                return False
            windows = [(i, line.split()[1:5]) for i, line in enumerate(lines) if line.startswith("window ")]
            asked = [(i, line.split()[1:3]) for i, line in enumerate(lines) if line.startswith("resize ")]
            if not windows:
                return False
            if asked and not any(i > asked[-1][0] and w[2:4] == asked[-1][1] for i, w in windows):
                return False
            # Velmar reports device-independent pixels; X has them times the screen scale.
            factor = getattr(self, "factor", 1.0)
            if any(abs(int(r) * factor - int(x)) > factor
                   for r, x in zip(windows[-1][1], self._x_geometry())) or len(self._x_geometry()) != 4:
                return False
            return "=" in self.desktop._run(["xprop", "-id", self.window, "_NET_FRAME_EXTENTS"]).stdout

        try:
            wait_for(placed, "velmar's window to settle", timeout, interval=0.05)
        except TestFailure:
            reported = [line for line in self.lines() if line.split(" ", 1)[0] in ("window", "resize", "framed")]
            raise TestFailure(f"velmar's window did not settle: velmar reported {reported[-4:]}, "
                              f"X has {self._x_geometry()}")

    def _x_geometry(self):
        """[x, y, width, height] (as text) of the main window's client area as the X server has
        it, in root coordinates. (xdotool getwindowgeometry counts a framed window's offset in
        its frame twice.)"""
        out = self.desktop._run(["xwininfo", "-id", str(self.window)]).stdout
        values = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return [values.get(key) for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]

    def button(self, name):
        """Centre of the tool-bar button of command NAME (its typed id, "Undo", or its component
        name, "ToolButton10"), canvas coordinates."""
        with self._lock:
            for line in reversed(self._lines):
                parts = line.split()
                if parts[:1] == ["button"] and name in (parts[1], *parts[6:7]):
                    x, y, w, h = map(int, parts[2:6])
                    return x + w // 2, y + h // 2
        raise TestFailure(f"velmar reported no tool-bar button {name}")

    def check_alive(self):
        if self._died():
            self.log.flush()
            raise TestFailure(f"velmar ended with status {self.process.returncode}")

    def lines(self):
        with self._lock:
            return list(self._lines)

    def menus_since(self, mark):
        """The menus opened after lines()[:mark], by typed id ("FrameMenu") where they have one,
        else by name."""
        return [line.split()[-1] for line in self.lines()[mark:] if line.startswith("menu ")]

    def choose(self, item, mark, timeout=10):
        """Clicks the command ITEM (its typed id, e.g. "CreateFrame", or its component name, "N1")
        in the menu velmar reported opening after lines()[:mark], once velmar has reported where
        the item lies."""
        def place():
            self.check_alive()
            for line in reversed(self.lines()[mark:]):
                parts = line.split()
                if parts[:1] == ["item"] and item in (parts[1], *parts[6:7]):
                    x, y, w, h = map(int, parts[2:6])
                    return x + w // 2, y + h // 2
            return None

        x, y = wait_for(place, f"the menu item {item}", timeout)
        self.desktop.xdotool("mousemove", x, y)
        self.desktop.xdotool("click", 1)
        self._last_press = time.monotonic()

    def window_named(self, title, timeout=20):
        """The visible window of velmar titled TITLE, once it is shown."""
        def find():
            # Also for a velmar still being started: the process may not exist yet.
            if self.process is None:
                return None
            self.check_alive()
            found = self.desktop._run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid),
                                       "--name", f"^{title}$"]).stdout.split()
            # xdotool's pattern also lets other windows of the program through: names are checked.
            return [w for w in found
                    if self.desktop._run(["xdotool", "getwindowname", w]).stdout.rstrip("\n") == title]
        return wait_for(find, f"the window «{title}»", timeout)[0]

    def dialog(self, title, timeout=20):
        """The dialog titled TITLE once it is shown and has the keyboard (keys sent from now on
        reach it)."""
        window = self.window_named(title, timeout)
        self.activate(window, timeout)
        return window

    def answer(self, title, text=None, key="Return", timeout=20):
        """Answers the dialog TITLE: waits until it has the keyboard, types TEXT (a file name) into
        its focused field, then presses KEY (Return: the default button) until the dialog has
        gone. Returns the dialog's window."""
        window = self.dialog(title, timeout)
        if text is not None:
            self.type(text)
        self.key_until([key], lambda: self.window_gone(window), f"the dialog «{title}» to close")
        return window

    def window_gone(self, window):
        result = self.desktop._run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)])
        return str(window) not in result.stdout.split()

    def key_until(self, keys, done, what, attempts=5, timeout=4.0):
        """Sends KEYS (a key that may be sent twice without harm) and waits for done(); sends
        them again while a dialog that was not ready yet let them go."""
        for _ in range(attempts):
            self.key(*keys)
            try:
                return wait_for(lambda: self.check_alive() or done(), what, timeout)
            except TestFailure:
                continue
        raise TestFailure(f"timed out waiting for {what} after {attempts} tries")

    # --- input -------------------------------------------------------------------------------

    def screen(self, point):
        ox, oy = self._origin()
        return ox + point[0], oy + point[1]

    def move(self, point):
        # X delivers these events in order, so no waiting is needed between them (and xdotool's
        # --sync would wait for ever on a move to where the pointer already is).
        self.desktop.xdotool("mousemove", *self.screen(point))

    def press(self, point=None, button=1):
        if point is not None:
            self.move(point)
        # Two presses close in time and place make a double click; a test that wants one says
        # double_click().
        since = time.monotonic() - self._last_press
        if since < DOUBLE_CLICK_GAP:
            time.sleep(DOUBLE_CLICK_GAP - since)
        self.desktop.xdotool("mousedown", button)
        self._last_press = time.monotonic()
        self._buttons.add(button)

    def release(self, point=None, button=1):
        if point is not None:
            self.move(point)
        self.desktop.xdotool("mouseup", button)
        self._buttons.discard(button)

    def click(self, point, button=1):
        self.press(point, button)
        self.release(None, button)

    def double_click(self, point, button=1):
        self.move(point)
        self.desktop.xdotool("click", "--repeat", 2, "--delay", 80, button)
        self._last_press = time.monotonic()

    def drag(self, start, end, steps=8, button=1):
        """Press at start, move in steps to end, release there (canvas coordinates)."""
        self.press(start, button)
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.move((x, y))
            time.sleep(0.01)
        self.release(None, button)

    def hold(self, key):
        """with app.hold("alt"): ... keeps a key down for the block."""
        app = self

        class Held:
            def __enter__(self):
                app.desktop.xdotool("keydown", key)

            def __exit__(self, *exc):
                app.desktop.xdotool("keyup", key)

        return Held()

    def key(self, *keys):
        self.desktop.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        self.desktop.xdotool("type", "--delay", 20, text)

    # --- results -----------------------------------------------------------------------------

    def save(self, timeout=30):
        """Ctrl+S on the opened file (written without a dialog); waits until the file has been
        written anew."""
        def stamp():
            try:
                s = os.stat(self.path)
                return (s.st_ino, s.st_mtime_ns, s.st_size)
            except FileNotFoundError:
                return None

        before = stamp()
        self.key("ctrl+s")
        wait_for(lambda: self.check_alive() or (stamp() != before and stamp()), "the file to be saved",
                 timeout)

    def info(self, path=None):
        result = subprocess.run([self.binary, "--info", path or self.path], capture_output=True,
                                text=True, timeout=30)
        check(result.returncode == 0, f"velmar --info failed: {result.stderr}")
        return json.loads(result.stdout)

    def screenshot(self, path):
        self.desktop.screenshot(path)

    def export(self, out, path=None):
        """velmar --export OUT of a saved outline (the opened file unless PATH), at scale 1: the
        canvas below the tool bar as the window shows it. Returns OUT."""
        out = os.path.join(self.folder, out)
        result = subprocess.run([self.binary, "--export", out, path or self.path], capture_output=True,
                                text=True, timeout=60)
        check(result.returncode == 0, f"velmar --export failed: {result.stderr}")
        return out

    def check_screen_shows(self, exported, what, timeout=10):
        """Waits until the canvas below the tool bar, read back from the X server, equals the
        picture EXPORTED pixel for pixel. A screen that keeps showing something else (a stale
        drawing, handles, another window) fails, naming how many pixels differ; the screen and
        the difference are left beside the test's files."""
        size = subprocess.run(["identify", "-format", "%w %h", exported], capture_output=True, text=True,
                              timeout=30).stdout.split()
        w, h = int(size[0]), int(size[1])
        shot = os.path.join(self.folder, "screen-" + os.path.basename(exported))
        differing = [None]
        # A pointer resting on an object would bring up its tooltip.
        self.desktop.xdotool("mousemove", SCREEN[0] - 1, SCREEN[1] - 1)

        def same():
            self.check_alive()
            x, y = self.screen((0, TOOL_BAR_HEIGHT))  # the window may still be moving
            self.desktop._run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", shot])
            result = subprocess.run(["compare", "-metric", "AE", shot, exported, "null:"], capture_output=True,
                                    text=True, timeout=30)
            differing[0] = result.stderr.strip()
            return result.returncode == 0 and differing[0] == "0"

        try:
            wait_for(same, what, timeout, interval=0.1)
        except TestFailure:
            diff = os.path.join(self.folder, "difference-" + os.path.basename(exported))
            subprocess.run(["compare", shot, exported, diff], capture_output=True, timeout=30)
            artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS")
            if artifacts:
                for path in (shot, diff):
                    shutil.copy(path, artifacts)
            raise TestFailure(f"the screen does not show {what}: {differing[0]} pixels differ "
                              f"(screen {shot}, difference {diff})")

    def stop(self):
        if self.process and self.process.poll() is None:
            for button in list(self._buttons):
                self.desktop.xdotool("mouseup", button)
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def main(namespace):
    """Runs every test_* function of a script (or those named on the command line), each with a
    freshly started velmar on one shared desktop. Exits non-zero if any fails."""
    names = sys.argv[1:] or sorted(n for n in namespace if n.startswith("test_"))
    artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS") or tempfile.mkdtemp(prefix="velmar-e2e-")
    os.makedirs(artifacts, exist_ok=True)
    script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    work = tempfile.mkdtemp(prefix="velmar-e2e-")
    desktop = Desktop(work)
    failed = []
    try:
        for name in names:
            folder = tempfile.mkdtemp(prefix=name + "-", dir=work)
            app = Velmar(desktop, folder)
            started = time.monotonic()
            try:
                namespace[name](app)
                print(f"PASS {name} ({time.monotonic() - started:.1f} s)", flush=True)
            except Exception:
                failed.append(name)
                shot = os.path.join(artifacts, f"{script}.{name}.png")
                desktop.screenshot(shot)
                print(f"FAIL {name}\n{traceback.format_exc()}", flush=True)
                if app.process:
                    app.log.flush()
                    with open(os.path.join(folder, "velmar.log")) as log:
                        print("velmar's standard error:\n" + log.read()[-3000:])
                    # What the program reported last (windows, focus, gestures) tells a slow
                    # machine's late event from a fault.
                    print("velmar's last reports:\n" + "\n".join(app.lines()[-40:]))
                print(f"screenshot: {shot}", flush=True)
            finally:
                app.stop()
    finally:
        desktop.stop()
        shutil.rmtree(work, ignore_errors=True)
    if failed:
        print(f"{len(failed)} of {len(names)} failed: {' '.join(failed)}")
        sys.exit(1)
    print(f"all {len(names)} passed")
