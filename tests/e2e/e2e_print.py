# Printing with the real program: Ctrl+P opens the print dialog in Russian; accepting it with
# Enter prints to a PDF file. The printed page and the preview's page are looked at as pictures:
# the outline must fill the page with its aspect kept and show what `--export x.pdf` draws.
import os
import subprocess

import velmar_e2e as e2e
import screen_truth

# A canvas colour that neither the white page nor the preview's grey surroundings have: the
# drawing's extent on a page is where this colour is.
CANVAS = (0xA0, 0xD0, 0xF0)  # red, green, blue
LAYOUT = {
    "name": "lesson",
    "window": [900, 600],
    "canvasColour": CANVAS[0] | CANVAS[1] << 8 | CANVAS[2] << 16,  # stored as 0x00BBGGRR
    "frames": [{"bounds": [20, 40, 380, 250], "title": "Наблюдения"},
               {"bounds": [440, 40, 380, 250], "title": "Опыты"}],
    "textFields": [{"bounds": [10, 30, 200, 40], "text": "Вода кипит", "parent": 1}],
    "pictures": [{"bounds": [60, 100, 160, 110], "parent": 2}],
    "arrows": [[200, 320, 500, 420]],
}
# Share of pixels that may differ (beyond a colour tolerance) between the page and the export:
# antialiasing along edges and glyphs; a shifted, shrunken or missing drawing differs far more.
MAX_DIFFERING = 0.02


def read_ppm(path):
    """(width, height, rows of RGB tuples) of a binary PPM file (pdftoppm's and import's)."""
    with open(path, "rb") as f:
        w, h, rows = screen_truth.read_ppm(f.read())
    return w, h, [[tuple(row[x * 3:x * 3 + 3]) for x in range(w)] for row in rows]


def box_of(rows, inside, least=1):
    """[left, top, right, bottom] (inclusive) of the pixels for which inside(pixel) holds, in rows
    holding at least LEAST of them (a few pixels of an icon are not the drawing), or None."""
    xs, ys = [], []
    for y, row in enumerate(rows):
        hits = [x for x, p in enumerate(row) if inside(p)]
        if len(hits) >= least:
            ys.append(y)
            xs += [hits[0], hits[-1]]
    return [min(xs), min(ys), max(xs), max(ys)] if xs else None


def near(colour, tolerance=12):
    return lambda p: all(abs(a - b) <= tolerance for a, b in zip(p, colour))


def white(p):
    return min(p) >= 245


def pdf_page(pdf, base, resolution=50):
    """The PDF's first page as a PPM at RESOLUTION dots per inch."""
    subprocess.run(["pdftoppm", "-r", str(resolution), "-f", "1", "-l", "1", "-singlefile", pdf, base],
                   check=True, timeout=60)
    return base + ".ppm"


def export_at(app, width, height, name):
    """--export x.pdf of the opened outline rendered at WIDTH x HEIGHT pixels (PNG)."""
    pdf = app.export(name + ".pdf")
    base = os.path.join(app.folder, name + "-export")
    subprocess.run(["pdftoppm", "-png", "-singlefile", "-scale-to-x", str(width), "-scale-to-y", str(height), pdf,
                    base], check=True, timeout=60)
    return base + ".png"


def canvas_size(app):
    """The canvas's size in the window, from velmar's reports: the window's client area below
    the canvas's origin. The window manager's frame may leave it a little larger than the
    window size the outline stores, which is what --export draws."""
    lines = app.lines()
    wx, wy, ww, wh = map(int, [line for line in lines if line.startswith("window ")][-1].split()[1:5])
    cx, cy = app._origin()
    return wx + ww - cx, wy + wh - cy


def check_outline_drawn(app, picture, box, page, what):
    """The drawing at BOX (inclusive corners) of PICTURE fills PAGE ([left, top, right, bottom])
    within its margins, keeps the canvas's aspect and shows what --export x.pdf draws."""
    exported_png = app.export("aspect.png")
    size = subprocess.run(["identify", "-format", "%w %h", exported_png], capture_output=True, text=True,
                          timeout=30).stdout.split()
    export_w, export_h = int(size[0]), int(size[1])
    # The page has the whole canvas, the tool bar's band included.
    canvas_w, canvas_h = canvas_size(app)
    w, h = box[2] - box[0] + 1, box[3] - box[1] + 1
    print(f"{what}: canvas {canvas_w} x {canvas_h}, export {export_w} x {export_h}", flush=True)
    page_w, page_h = page[2] - page[0] + 1, page[3] - page[1] + 1
    e2e.check(w >= 0.85 * page_w or h >= 0.85 * page_h,
              f"{what}: the outline covers {w} x {h} of a page of {page_w} x {page_h}")
    e2e.check(abs((box[0] - page[0]) - (page[2] - box[2])) <= 0.04 * page_w + 2
              and abs((box[1] - page[1]) - (page[3] - box[3])) <= 0.04 * page_h + 2,
              f"{what}: the outline at {box} is not centred on the page {page}")
    e2e.check(abs(w / h - canvas_w / canvas_h) <= 0.02 * canvas_w / canvas_h,
              f"{what}: aspect {w}/{h} against the canvas's {canvas_w}/{canvas_h}")
    # The export's part of the canvas: below the tool bar's band, as wide and high as the stored
    # window size leaves it.
    scale = w / canvas_w
    left, top = box[0], box[1] + round(e2e.TOOL_BAR_HEIGHT * scale)
    part_w = min(round(export_w * scale), box[2] + 1 - left)
    part_h = min(round(export_h * scale), box[3] + 1 - top)
    cropped = os.path.join(app.folder, what + "-drawing.png")
    subprocess.run(["convert", picture, "-crop", f"{part_w}x{part_h}+{left}+{top}", "+repage", cropped],
                   check=True, timeout=60)
    exported = export_at(app, round(export_w * scale), round(export_h * scale), what)
    subprocess.run(["convert", exported, "-crop", f"{part_w}x{part_h}+0+0", "+repage", exported], check=True,
                   timeout=60)
    diff = os.path.join(app.folder, what + "-difference.png")
    result = subprocess.run(["compare", "-fuzz", "20%", "-metric", "AE", cropped, exported, diff],
                            capture_output=True, text=True, timeout=60)
    e2e.check(result.returncode in (0, 1), f"{what}: compare failed: {result.stderr}")
    differing = float(result.stderr.split()[0])
    share = differing / (part_w * part_h)
    print(f"{what}: outline {w} x {h} on a page of {page_w} x {page_h}, {share:.2%} of pixels differ from "
          f"the export", flush=True)
    if share > MAX_DIFFERING:
        artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS")
        if artifacts:
            for path in (cropped, exported, diff):
                subprocess.run(["cp", path, artifacts])
    e2e.check(share <= MAX_DIFFERING, f"{what}: {share:.1%} of the drawing differs from --export x.pdf "
                                      f"({cropped} against {exported}, difference {diff})")


def test_ctrl_p_prints_the_outline_as_the_export_draws_it(app):
    path = app.make_outline(LAYOUT)
    # Qt's file printer proposes HOME/<document name>.pdf: HOME is this test's folder.
    saved_env = app.desktop.env
    app.desktop.env = dict(saved_env, HOME=app.folder)
    try:
        app.open(path)
    finally:
        app.desktop.env = saved_env
    pdf = os.path.join(app.folder, "lesson.pdf")
    e2e.check(not os.path.exists(pdf), "a PDF before printing")

    app.key("ctrl+p")
    # Enter, once the dialog has the keyboard, presses the default button, "Печать". A dialog
    # that lets the key go stays open: the key is sent again then (printing twice cannot happen,
    # the dialog is gone after one).
    app.answer("Печать")
    e2e.wait_for(lambda: app.check_alive() or (os.path.exists(pdf) and os.path.getsize(pdf) > 0),
                 "the printed PDF", 20)
    e2e.wait_for(lambda: subprocess.run(["pdfinfo", pdf], capture_output=True).returncode == 0,
                 "a complete PDF", 10)
    text = subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout
    for expected in ("Наблюдения", "Опыты", "Вода кипит"):
        e2e.check(expected in text, f"«{expected}» missing from the printed text: {text!r}")
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    e2e.check("Pages:           1" in info, f"one page expected: {info}")
    # A wide outline is printed across a landscape page.
    size = [line.split()[2:5] for line in info.splitlines() if line.startswith("Page size:")][0]
    e2e.check(float(size[0]) > float(size[2]), f"landscape page expected: {size}")
    # The picture is printed as the photo it is, not as a bitmap of the page.
    images = subprocess.run(["pdfimages", "-list", pdf], capture_output=True, text=True).stdout
    e2e.check(len(images.splitlines()) == 3, f"one picture expected on the page: {images}")

    page = pdf_page(pdf, os.path.join(app.folder, "printed"))
    w, h, rows = read_ppm(page)
    box = box_of(rows, lambda p: not white(p))
    e2e.check(box is not None, "nothing printed on the page")
    check_outline_drawn(app, page, box, [0, 0, w - 1, h - 1], "printed")
    app.check_alive()


def test_preview_shows_the_outline_as_the_export_draws_it(app):
    app.open(LAYOUT)
    # The main menu's "Файл" is the menu bar's first item, just above the canvas.
    mark = len(app.lines())
    app.click((25, -10))
    e2e.wait_for(lambda: app.check_alive() or "FileMenu" in app.menus_since(mark), "the File menu")
    app.choose("PrintPreview", mark)  # "Предварительный просмотр"
    dialog = app.dialog("Предварительный просмотр")
    app.desktop.xdotool("mousemove", e2e.SCREEN[0] - 1, e2e.SCREEN[1] - 1)
    shot = os.path.join(app.folder, "preview.ppm")

    def drawing():
        # Read back from the screen, as the user sees it.
        geometry = app.desktop._run(["xwininfo", "-id", str(dialog)]).stdout
        values = dict(line.strip().split(":", 1) for line in geometry.splitlines() if ":" in line)
        x, y, w, h = (int(values[key]) for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        app.desktop._run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", shot])
        if not os.path.exists(shot):
            return None
        w, h, rows = read_ppm(shot)
        box = box_of(rows, near(CANVAS), least=40)
        return (box, rows) if box else None

    # The page is drawn once the dialog has laid itself out: wait until two looks agree.
    last = [None]

    def settled():
        found = drawing()
        agreed = found if found and last[0] and found[0] == last[0][0] else None
        last[0] = found
        return agreed

    box, rows = e2e.wait_for(settled, "the outline on the preview's page", 20, interval=0.3)
    # The page is the white sheet around the drawing: walk out from the drawing's middle.
    mid_x, mid_y = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
    left, right, top, bottom = box[0], box[2], box[1], box[3]
    while left > 0 and white(rows[mid_y][left - 1]):
        left -= 1
    while right + 1 < len(rows[0]) and white(rows[mid_y][right + 1]):
        right += 1
    while top > 0 and white(rows[top - 1][mid_x]):
        top -= 1
    while bottom + 1 < len(rows) and white(rows[bottom + 1][mid_x]):
        bottom += 1
    check_outline_drawn(app, shot, box, [left, top, right, bottom], "preview")
    app.key_until(["Escape"], lambda: app.window_gone(dialog), "the preview to close")
    app.check_alive()


def dialog_corner(app, dialog):
    geometry = app.desktop._run(["xwininfo", "-id", str(dialog)]).stdout
    values = dict(line.strip().split(":", 1) for line in geometry.splitlines() if ":" in line)
    return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])


def choice_place(app, dialog, name, mark):
    """Screen centre of the print dialog's control NAME, once velmar's reports of its place (in the
    dialog) and the dialog's place on the screen have both stopped changing."""
    last = [None]

    def settled():
        app.check_alive()
        places = [line.split()[2:6] for line in app.lines()[mark:] if line.split()[:2] == ["answer", name]]
        if not places:
            return None
        x, y, w, h = map(int, places[-1])
        left, top = dialog_corner(app, dialog)
        now = (left + x + w // 2, top + y + h // 2, w, h)
        agreed = now if now == last[0] else None
        last[0] = now
        return agreed

    return e2e.wait_for(settled, f"the print dialog's {name}", 20, interval=0.3)


def screen_part(app, x, y, w, h, name):
    shot = os.path.join(app.folder, name + ".ppm")
    app.desktop._run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-depth", "8", shot])
    with open(shot, "rb") as f:
        return f.read()


def test_the_print_dialog_page_chooses_handouts(app):
    path = app.make_outline(LAYOUT)
    saved_env = app.desktop.env
    app.desktop.env = dict(saved_env, HOME=app.folder)
    try:
        app.open(path)
    finally:
        app.desktop.env = saved_env
    pdf = os.path.join(app.folder, "lesson.pdf")
    mark = len(app.lines())
    app.key("ctrl+p")
    dialog = app.dialog("Печать")
    # The dialog opens on its page of what to print; two steps a page are chosen with the mouse.
    for name in ("choiceHandouts", "choiceHandouts2"):
        x, y, w, h = choice_place(app, dialog, name, mark)
        before = screen_part(app, x - w // 2, y - h // 2, w, h, name + "-before")
        app.desktop.xdotool("mousemove", x, y)
        app.desktop.xdotool("click", 1)
        # The button shows itself chosen on the screen.
        e2e.wait_for(lambda: screen_part(app, x - w // 2, y - h // 2, w, h, name + "-after") != before,
                     f"{name} to show itself chosen", 10)
    app.activate(dialog)
    app.key_until(["Return"], lambda: app.window_gone(dialog), "the print dialog to close")
    e2e.wait_for(lambda: app.check_alive() or (os.path.exists(pdf) and os.path.getsize(pdf) > 0),
                 "the printed PDF", 20)
    e2e.wait_for(lambda: subprocess.run(["pdfinfo", pdf], capture_output=True).returncode == 0,
                 "a complete PDF", 10)
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    # Four steps (two frames, the text field, the picture with its arrow), two a page.
    e2e.check("Pages:           2" in info, f"two pages of handouts expected: {info}")
    first, second = (" ".join(subprocess.run(["pdftotext", "-f", str(p), "-l", str(p), pdf, "-"],
                                             capture_output=True, text=True).stdout.split()) for p in (1, 2))
    e2e.check("lesson" in first and "Страница 1 из 2" in first, f"the first page's head and foot: {first!r}")
    e2e.check("Наблюдения" in first and "Вода кипит" in first and "Опыты" not in first,
              f"the first page shows the first two steps: {first!r}")
    e2e.check("Опыты" in second and "Страница 2 из 2" in second, f"the second page: {second!r}")
    app.check_alive()


def test_the_print_dialog_page_prints_a_poster_of_the_sheets_typed(app):
    path = app.make_outline(LAYOUT)
    saved_env = app.desktop.env
    app.desktop.env = dict(saved_env, HOME=app.folder)
    try:
        app.open(path)
    finally:
        app.desktop.env = saved_env
    pdf = os.path.join(app.folder, "lesson.pdf")
    mark = len(app.lines())
    app.key("ctrl+p")
    dialog = app.dialog("Печать")
    x, y, w, h = choice_place(app, dialog, "choicePoster", mark)
    before = screen_part(app, x - w // 2, y - h // 2, w, h, "poster-before")
    # A choice clicked makes velmar report where every choice lies once the dialog has settled.
    mark = len(app.lines())
    app.desktop.xdotool("mousemove", x, y)
    app.desktop.xdotool("click", 1)
    e2e.wait_for(lambda: screen_part(app, x - w // 2, y - h // 2, w, h, "poster-after") != before,
                 "the poster to show itself chosen", 10)
    # Three columns, one row: typed into the two boxes the poster's choice has enabled.
    for name, value in (("choicePosterColumns", "3"), ("choicePosterRows", "1")):
        x, y, w, h = choice_place(app, dialog, name, mark)
        before = screen_part(app, x - w // 2, y - h // 2, w, h, name + "-before")
        app.desktop.xdotool("mousemove", x - w // 4, y)
        app.desktop.xdotool("click", 1)
        app.key("ctrl+a")
        app.type(value)
        # The box shows the number typed.
        e2e.wait_for(lambda: screen_part(app, x - w // 2, y - h // 2, w, h, name + "-after") != before,
                     f"{value} in {name}", 10)
    app.activate(dialog)
    app.key_until(["Return"], lambda: app.window_gone(dialog), "the print dialog to close")
    e2e.wait_for(lambda: app.check_alive() or (os.path.exists(pdf) and os.path.getsize(pdf) > 0),
                 "the printed PDF", 20)
    e2e.wait_for(lambda: subprocess.run(["pdfinfo", pdf], capture_output=True).returncode == 0,
                 "a complete PDF", 10)
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    e2e.check("Pages:           3" in info, f"three poster sheets expected: {info}")
    # The first frame's title lies on the first third of the outline, the second's on the middle.
    first, middle, last = (" ".join(subprocess.run(["pdftotext", "-f", str(p), "-l", str(p), pdf, "-"],
                                                   capture_output=True, text=True).stdout.split())
                           for p in (1, 2, 3))
    e2e.check("Наблюдения" in first and "Опыты" not in first and "Лист 1 из 3" in first,
              f"the first sheet: {first!r}")
    e2e.check("Опыты" in middle and "Наблюдения" not in middle, f"the middle sheet: {middle!r}")
    e2e.check("Лист 3 из 3" in last, f"the last sheet: {last!r}")
    app.check_alive()


e2e.main(globals())
