"""The real velmar as a screen reader finds it: on a private X server and a private session bus,
with the accessibility bus that AT-SPI starts on demand, the main window's tool-bar buttons must
appear in the AT-SPI tree with their Russian names.

Runs itself again inside `dbus-run-session` (and under the system's Python, which has pyatspi).
Exit status 77 (skipped) where pyatspi, dbus-run-session or the accessibility bus is missing."""

import os
import shutil
import subprocess
import sys
import time

SKIP = 77
INSIDE = "--inside-session"
# Buttons that show only an icon: the name is all a screen reader has.
EXPECTED = ["Открыть", "Сохранить", "Отменить действие", "Минимальный текст", "Последовательность объектов",
            "Последовательность фреймов", "Цвет фона", "Показ конспекта"]


def outside():
    try:
        import pyatspi  # noqa: F401
        python = sys.executable
    except ImportError:
        python = "/usr/bin/python3"
        if subprocess.run([python, "-c", "import pyatspi"], capture_output=True).returncode != 0:
            print("SKIP: pyatspi (python3-pyatspi) is not installed")
            return SKIP
    if not shutil.which("dbus-run-session"):
        print("SKIP: dbus-run-session is not installed")
        return SKIP
    result = subprocess.run(["dbus-run-session", "--", python, os.path.abspath(__file__), INSIDE], timeout=170)
    return result.returncode


def accessible_tree(node, depth=0):
    """(role name, name, shown) of every accessible under node."""
    import pyatspi
    found = []
    if depth > 30:
        return found
    try:
        found.append((node.getRoleName(), node.name, node.getState().contains(pyatspi.STATE_SHOWING)))
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                found += accessible_tree(child, depth + 1)
    except Exception:  # a node that went away while being read
        pass
    return found


def inside():
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import pyatspi
    import velmar_e2e as e2e

    # Qt's bridge starts when assistive technology is on; a private session has no setting for it.
    os.environ["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    try:
        desktop = pyatspi.Registry.getDesktop(0)
    except Exception as error:
        print(f"SKIP: the accessibility bus cannot start: {error}")
        return SKIP
    work = e2e.tempfile.mkdtemp(prefix="velmar-atspi-")
    screen = e2e.Desktop(work)
    app = e2e.Velmar(screen, work)
    try:
        app.open({"frames": [{"bounds": [40, 60, 200, 150], "title": "Опыты"}]})

        def velmar_names():
            for i in range(desktop.childCount):
                application = desktop.getChildAtIndex(i)
                if application is not None and application.name.lower().startswith("velmar"):
                    return accessible_tree(application)
            return None

        def all_there():
            tree = velmar_names()
            if not tree:
                return None
            names = {name for _, name, _ in tree}
            return tree if all(n in names for n in EXPECTED) else None

        try:
            tree = e2e.wait_for(all_there, "velmar's tool buttons in the AT-SPI tree", 30, interval=0.5)
        except e2e.TestFailure:
            tree = velmar_names() or []
            missing = [n for n in EXPECTED if n not in {name for _, name, _ in tree}]
            print(f"FAIL: missing from the AT-SPI tree: {missing}")
            print("found: " + ", ".join(f"{role}:{name}" for role, name, _ in tree if name)[:3000])
            return 1
        # What a screen reader can reach: the buttons on screen (and the check buttons).
        buttons = [name for role, name, shown in tree if shown and ("button" in role or role == "check box")]
        unnamed = [role for role, name, shown in tree
                   if shown and ("button" in role or role == "check box") and not name]
        print(f"{len(buttons)} buttons named in the AT-SPI tree")
        if unnamed:
            print(f"FAIL: {len(unnamed)} buttons without a name")
            return 1
        frame = [name for role, name, _ in tree if name == "Опыты" and role != "label"]
        if not frame:
            print("FAIL: the frame is not announced by its title")
            return 1
        print("PASS")
        return 0
    finally:
        app.stop()
        screen.stop()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(inside() if INSIDE in sys.argv else outside())
