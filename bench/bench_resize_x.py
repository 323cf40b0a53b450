#!/usr/bin/env python3
"""The window of the largest outline resized on a real X server, as a user meets it: Xvfb with
openbox, velmar opened on the largest outline (bench/largest_outline.h: 100 objects of each kind,
20 photos), its window resized by xdotool step by step (the zoom scales the outline on each step),
and the CPU time velmar's GUI thread spends on each step, from the kernel's count of the thread's
run time (/proc/PID/task/PID/schedstat, in nanoseconds).

A step is one `xdotool windowsize`; it ends once velmar has reported its window at the new size
("window X Y W H", VELMAR_REPORT_GEOMETRY=1) and its GUI thread has stayed idle for 50 ms:
everything the step set off, painting included, is counted. What velmar leaves until the window
has kept its size for a moment (a tenth of a second: the arrows' areas that take presses) runs
then, before the next step, and is counted apart as "after a pause": a window dragged by its edge
pays it once, when the dragging stops.

Usage:  python3 bench/bench_resize_x.py [STEPS]        (default 40 steps each way)
Uses build/src/velmar and build/bench/largest_outline_file of this checkout (VELMAR_BIN and
VELMAR_LARGEST_OUTLINE name others). Without Xvfb, openbox or xdotool it says so and skips.
VELMAR_BENCH_VERBOSE=1 prints every step. VELMAR_BENCH_PERF=FILE records the GUI thread with `perf record -g` during the steps.
Prints its figures, then TARGET lines (bench/target_line.h) for the median and the largest step,
beside the same steps of the window with an empty outline.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

MEDIAN_TARGET_MS = 16.0
MAX_TARGET_MS = 33.0
# The GUI thread counts as done with a step once it has not run for this long; work left for a
# pause in the resizing has run once it has not run for the longer time.
QUIET_S = 0.05
PAUSE_S = 0.3
# The two client sizes the window goes between (the screen is 1280 × 900).
SMALL = (860, 640)
LARGE = (1180, 840)


def skip(why):
    print(f"SKIP bench_resize_x: {why}")
    sys.exit(0)


def binary(variable, relative):
    path = os.environ.get(variable) or os.path.join(ROOT, relative)
    if not os.path.exists(path):
        skip(f"{path} is not built (cmake --build build --target velmar largest_outline_file)")
    return os.path.abspath(path)


def thread_ns(pid):
    """Run time of the process's main (GUI) thread so far, in nanoseconds."""
    with open(f"/proc/{pid}/task/{pid}/schedstat") as f:
        return int(f.read().split()[0])


def load():
    with open("/proc/loadavg") as f:
        return f.read().split()[0]


def wait_quiet(pid, quiet=QUIET_S):
    """Waits until the thread has not run for QUIET seconds; returns its run time then."""
    last = thread_ns(pid)
    since = time.monotonic()
    while time.monotonic() - since < quiet:
        time.sleep(0.01)
        now = thread_ns(pid)
        if now != last:
            last, since = now, time.monotonic()
    return last


def resize_steps(e2e, desktop, folder, outline, steps, perf_file=None):
    """Opens velmar on OUTLINE (a path, or None for a new empty outline) and resizes its window
    between the two sizes; returns the CPU times of the steps and of what followed each after a
    pause, in milliseconds."""
    app = e2e.Velmar(desktop, tempfile.mkdtemp(prefix="velmar-", dir=folder))
    try:
        app.open(outline)
        pid = app.process.pid
        sizes = [(SMALL[0] + (LARGE[0] - SMALL[0]) * i // steps, SMALL[1] + (LARGE[1] - SMALL[1]) * i // steps)
                 for i in range(steps + 1)]
        sizes += sizes[-2::-1]

        def resize_to(size):
            mark = len(app.lines())
            desktop.xdotool("windowsize", app.window, *size)

            def reported():
                app.check_alive()
                # With the grid on, velmar makes an odd outer size even: within a pixel of the
                # size asked for.
                return any(line.startswith("window ")
                           and all(abs(int(v) - s) <= 1 for v, s in zip(line.split()[3:5], size))
                           for line in app.lines()[mark:])

            e2e.wait_for(reported, f"velmar to report its window at {size}", timeout=30)

        # The first resize makes the outline the window's (and the zoom's); not counted.
        resize_to(sizes[0])
        wait_quiet(pid, PAUSE_S)
        perf = None
        if perf_file and shutil.which("perf"):
            perf = subprocess.Popen(["perf", "record", *os.environ.get("VELMAR_BENCH_PERF_ARGS", "-g").split(),
                                     "-t", str(pid), "-o", perf_file],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(1)
        per_step, after_pause = [], []
        for size in sizes[1:]:
            before = thread_ns(pid)
            resize_to(size)
            painted = wait_quiet(pid)
            per_step.append((painted - before) / 1e6)
            after_pause.append((wait_quiet(pid, PAUSE_S) - painted) / 1e6)
            if os.environ.get("VELMAR_BENCH_VERBOSE"):
                print(f"  {size[0]}x{size[1]}: {per_step[-1]:.1f} ms, after a pause {after_pause[-1]:.1f} ms")
        if perf is not None:
            perf.send_signal(2)
            perf.wait()
        return per_step, after_pause
    finally:
        app.stop()
        if app.process is not None and app.process.poll() is None:
            app.process.kill()


def main():
    for tool in ("Xvfb", "openbox", "xdotool", "xprop", "xwininfo"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed")
    os.environ.setdefault("VELMAR_BIN", binary("VELMAR_BIN", "build/src/velmar"))
    maker = binary("VELMAR_LARGEST_OUTLINE", "build/bench/largest_outline_file")
    steps = int(sys.argv[1]) if len(sys.argv) > 1 else 40

    import velmar_e2e as e2e

    folder = tempfile.mkdtemp(prefix="bench_resize_x-")
    desktop = None
    try:
        path = os.path.join(folder, "largest.vmd")
        subprocess.run([maker, path, str(SMALL[0]), str(SMALL[1] + 60)], check=True, capture_output=True)
        desktop = e2e.Desktop(folder)
        # Baseline: the same steps of the window with an empty outline.
        empty, _ = resize_steps(e2e, desktop, folder, None, steps)
        per_step, after_pause = resize_steps(e2e, desktop, folder, path, steps, os.environ.get("VELMAR_BENCH_PERF"))
    finally:
        if desktop is not None:
            desktop.stop()
        shutil.rmtree(folder, ignore_errors=True)

    median = statistics.median(per_step)
    worst = max(per_step)
    print(f"window resized {len(per_step)} times between {SMALL[0]}x{SMALL[1]} and {LARGE[0]}x{LARGE[1]} "
          f"(load {load()}), GUI thread CPU per step:")
    print(f"  empty outline:   median {statistics.median(empty):.1f} ms, max {max(empty):.1f} ms")
    print(f"  largest outline: median {median:.1f} ms, 90 % {sorted(per_step)[int(0.9 * len(per_step))]:.1f} ms, "
          f"max {worst:.1f} ms; after a pause median {statistics.median(after_pause):.1f} ms, "
          f"max {max(after_pause):.1f} ms")
    baselines = {"median": statistics.median(empty), "max": max(empty)}
    for what, value, limit in (("median", median, MEDIAN_TARGET_MS), ("max", worst, MAX_TARGET_MS)):
        ok = value <= limit
        print(f"TARGET resize_x_{what} | window of the largest outline resized on X, GUI-thread CPU per step, "
              f"{what} | {value:.1f} ms | empty outline {baselines[what]:.1f} ms | {value:.2f} ms | "
              f"≤ {limit:.2f} ms | {'ok' if ok else 'MISSED'}", flush=True)


if __name__ == "__main__":
    main()
