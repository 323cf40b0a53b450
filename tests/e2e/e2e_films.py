# An outline with 100 films on a real X screen: every fragment shows its own film's first picture
# with no message and a bounded number of threads, and a film played with the mouse on its player
# bar moves on the screen, then goes back to its first picture when stopped.
import os
import shutil
import subprocess

import velmar_e2e as e2e
from screen_truth import read_ppm

COLOURS = {"red": (255, 0, 0), "lime": (0, 255, 0), "blue": (0, 0, 255), "yellow": (255, 255, 0)}
NAMES = list(COLOURS)
WHITE = (255, 255, 255)


def make_films(folder):
    """100 films, each one second of its colour and then white: four colours in Motion JPEG, which
    velmar reads itself, and every tenth film in MPEG-4, which only the media framework reads."""
    made = {}
    for name in NAMES:
        for codec in ("mjpeg", "mpeg4"):
            path = os.path.join(folder, f"{name}-{codec}.avi")
            subprocess.run(["ffmpeg", "-loglevel", "error", "-y",
                            "-f", "lavfi", "-i", f"color=c={name}:s=64x48:r=10:d=1",
                            "-f", "lavfi", "-i", "color=c=white:s=64x48:r=10:d=3",
                            "-filter_complex", "[0][1]concat=n=2:v=1,format=yuv420p", "-c:v", codec, path],
                           check=True, timeout=60)
            made[name, codec] = path
    films = []
    for k in range(100):
        name = NAMES[k % 4]
        path = os.path.join(folder, f"film{k}.avi")
        shutil.copy(made[name, "mpeg4" if k % 10 == 9 else "mjpeg"], path)
        films.append((path, COLOURS[name]))
    return films


def layout(films):
    frames, videos, centres = [], [], []
    for f in range(10):
        left, top = 4 + (f % 5) * 148, 36 + (f // 5) * 250
        frames.append({"bounds": [left, top, 144, 246], "title": f"Фрейм {f + 1}"})
        for v in range(10):
            vl, vt = 4 + (v % 2) * 68, 20 + (v // 2) * 44
            videos.append({"bounds": [vl, vt, 64, 42], "parent": f + 1, "file": films[f * 10 + v][0]})
            # The bar takes the fragment's top 10 pixels: the film's middle is below it.
            centres.append((left + vl, top + vt))
    return {"name": "Сто фильмов", "window": [760, 580], "frames": frames, "videos": videos}, centres


def near(a, b, tolerance=60):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def screen_pixels(app, points):
    shot = os.path.join(app.folder, "screen.ppm")
    app.desktop._run(["import", "-window", "root", "-depth", "8", shot])
    with open(shot, "rb") as f:
        width, _, rows = read_ppm(f.read())
    result = []
    for point in points:
        x, y = app.screen(point)
        row = rows[y]
        result.append(tuple(row[3 * x:3 * x + 3]))
    return result


def threads(app):
    return len(os.listdir(f"/proc/{app.process.pid}/task"))


def test_a_hundred_films_show_and_one_plays(app):
    films = make_films(app.folder)
    description, corners = layout(films)
    app.open(description)
    middles = [(x + 32, y + 26) for x, y in corners]
    app.desktop.xdotool("mousemove", e2e.SCREEN[0] - 1, e2e.SCREEN[1] - 1)

    def all_shown():
        app.check_alive()
        shown = screen_pixels(app, middles)
        return all(near(s, colour) for s, (_, colour) in zip(shown, films))

    e2e.wait_for(all_shown, "every fragment showing its film's first picture", timeout=60, interval=0.5)
    count = threads(app)
    e2e.check(count <= 32, f"{count} threads with 100 films open")
    for title in ("Внимание", "Ошибка"):
        found = app.desktop._run(["xdotool", "search", "--onlyvisible", "--name", title]).stdout.split()
        e2e.check(not found, f"a message box \"{title}\" is shown")

    # Play on the first fragment's bar (its left third), then Stop (its right third).
    x, y = corners[0]
    app.click((x + 10, y + 5))
    e2e.wait_for(lambda: near(screen_pixels(app, [middles[0]])[0], WHITE), "the played film to move on", timeout=20)
    count = threads(app)
    e2e.check(count <= 32, f"{count} threads while one film plays")
    app.click((x + 54, y + 5))
    e2e.wait_for(lambda: near(screen_pixels(app, [middles[0]])[0], films[0][1]),
                 "the stopped film to show its first picture", timeout=10)
    # The other films did not move.
    e2e.check(all_shown(), "every other fragment still on its first picture")


e2e.main(globals())
