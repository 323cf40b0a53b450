#!/usr/bin/env python3
"""Handouts, the exercise sheet, the poster and the step pictures as the programs that read them
see them.

An outline of five show steps (two frames, a text field, a photo with an arrow pointing at it, a
text field on the canvas) is written with each form:
- handouts of 1, 2, 4 and 6 steps a page: the page count, and on each page (pdftotext) the
  outline's name, the page number, the minimal texts of its steps and only what the show has shown
  by then;
- the exercise sheet: the frames' titles are there, no text field, caption or minimal text is;
- the poster of 3 × 2 sheets: the sheets rendered (pdftoppm), cut at their margins and laid over
  each other at the overlap, make the picture --export draws at the poster's scale; the strips
  two sheets share agree; pictures are the photo only (text and lines are vectors);
- --export-steps: one PNG per step, each the size of the --export picture, step k + 1 differing
  from step k only where its object appears, the last equal to the --export picture.

Exits 77 (skipped) when poppler-utils or ImageMagick are missing.
"""
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile

VELMAR = os.environ.get("VELMAR_BIN", "velmar")
MAKE_OUTLINE = os.environ.get("VELMAR_MAKE_OUTLINE", "e2e_make_outline")
ARTIFACTS = os.environ.get("VELMAR_FORMS_ARTIFACTS")

CANVAS = (0xA0, 0xD0, 0xF0)  # red, green, blue: the outline's extent on a sheet is where this is
OUTLINE = {
    "name": "Урок о воде", "window": [800, 600], "canvasColour": CANVAS[0] | CANVAS[1] << 8 | CANVAS[2] << 16,
    "frames": [
        {"bounds": [30, 60, 340, 250], "title": "Первая рамка", "minimal": "Рамка один", "colour": 0x80C0F0},
        {"bounds": [410, 60, 340, 250], "title": "Вторая рамка", "minimal": "Рамка два", "colour": 0xA0F0A0}],
    "textFields": [
        {"bounds": [10, 30, 300, 60], "text": "Текст поля\r\nвторая строка", "parent": 1, "minimal": "Поле",
         "background": 0xFFFFFF},
        {"bounds": [300, 380, 200, 40], "text": "Подпись внизу", "minimal": "Итог", "background": 0xFFFFFF}],
    "pictures": [{"bounds": [20, 30, 280, 190], "parent": 2, "minimal": "Фото"}],
    "arrows": [[200, 240, 520, 200]],
}
# The minimal texts of the show's steps after the empty start (the frames, each followed by what
# lies in it, then the text field on the canvas), and the texts each step brings onto the canvas.
STEP_NOTES = ["Рамка один", "Поле", "Рамка два", "Фото", "Итог"]
STEP_TEXTS = ["Первая рамка", "Текст поля", "Вторая рамка", None, "Подпись внизу"]
# Where each step's object lies in the --export picture (the canvas below the 31-pixel tool bar).
TOOL_BAR = 31
STEP_BOUNDS = [(30, 60 - TOOL_BAR, 340, 250), (40, 90 - TOOL_BAR, 300, 60), (410, 60 - TOOL_BAR, 340, 250),
               (430, 90 - TOOL_BAR, 280, 190), (300, 380 - TOOL_BAR, 200, 40)]

MM = 2  # pixels per millimetre of the rendered sheets (50.8 dots per inch)
MARGIN_MM, OVERLAP_MM = 10, 10

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=240, **kwargs)
    if result.returncode != 0:
        print("FAIL: %s exited %d: %s %s" % (" ".join(args), result.returncode, result.stdout, result.stderr))
        sys.exit(1)
    return result.stdout


def read_ppm(path):
    """(width, height, rows of RGB bytes) of a binary PPM."""
    with open(path, "rb") as f:
        data = f.read()
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    pixels = data[len(data) - width * height * 3:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def picture(path, work):
    """A PNG as PPM rows (ImageMagick converts it)."""
    ppm = os.path.join(work, os.path.basename(path) + ".ppm")
    run(["convert", path, "-depth", "8", ppm])
    return read_ppm(ppm)


def pages_of(pdf):
    info = run(["pdfinfo", pdf])
    return int([line.split()[1] for line in info.splitlines() if line.startswith("Pages:")][0])


def page_text(pdf, page):
    return " ".join(run(["pdftotext", "-f", str(page), "-l", str(page), pdf, "-"]).split())


def check_handouts(work, vmd):
    steps = len(STEP_NOTES)
    for per_page in (1, 2, 4, 6):
        pdf = os.path.join(work, "handout-%d.pdf" % per_page)
        run([VELMAR, "--export", pdf, vmd, "--handout", str(per_page)])
        pages = pages_of(pdf)
        check(pages == math.ceil(steps / per_page), "handouts of %d: %d pages for %d steps" % (per_page, pages, steps))
        for page in range(1, pages + 1):
            text = page_text(pdf, page)
            check("Урок о воде" in text, "handouts of %d, page %d: the outline's name: %r" % (per_page, page, text))
            check("Страница %d из %d" % (page, pages) in text,
                  "handouts of %d, page %d: the page number: %r" % (per_page, page, text))
            on_page = range((page - 1) * per_page, min(steps, page * per_page))
            for k in on_page:
                if STEP_NOTES[k]:
                    check("%d. %s" % (k + 1, STEP_NOTES[k]) in text,
                          "handouts of %d, page %d: step %d's minimal text: %r" % (per_page, page, k + 1, text))
            # The page's last step shows everything shown up to it, nothing that comes later.
            last = on_page[-1]
            for k, words in enumerate(STEP_TEXTS):
                if words:
                    check((words in text) == (k <= last),
                          "handouts of %d, page %d: %r %s" % (per_page, page, words,
                                                              "missing" if k <= last else "shown too early"))
        if per_page == 1:
            # A step alone: step 1 shows its frame and no text field yet.
            first = page_text(pdf, 1)
            check("Первая рамка" in first and "Текст поля" not in first, "handouts of 1: step 1 alone: %r" % first)
        keep(pdf)


def check_exercise(work, vmd):
    pdf = os.path.join(work, "sheet.pdf")
    run([VELMAR, "--export", pdf, vmd, "--exercise"])
    text = " ".join(run(["pdftotext", pdf, "-"]).split())
    for title in ("Первая рамка", "Вторая рамка"):
        check(title in text, "exercise sheet: the title %r is drawn: %r" % (title, text))
    for hidden in ("Текст поля", "вторая строка", "Подпись внизу") + tuple(STEP_NOTES):
        check(hidden not in text, "exercise sheet: %r must be left out: %r" % (hidden, text))
    # One numbered box per step with a minimal text, after the outline's page.
    check(pages_of(pdf) >= 2, "exercise sheet: a page of boxes for the minimal texts")
    images = run(["pdfimages", "-list", pdf]).splitlines()[2:]
    check(len(images) == 1, "exercise sheet: the photo is drawn: %r" % images)
    keep(pdf)


def near(pixel, colour, tolerance=10):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def canvas_box(width, height, rows):
    """[left, top, right, bottom) of the pixels of the canvas colour."""
    xs, ys = [], []
    for y in range(height):
        row = rows[y]
        hits = [x for x in range(0, width) if near(row[3 * x:3 * x + 3], CANVAS)]
        if len(hits) > 3:
            ys.append(y)
            xs += [hits[0], hits[-1]]
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None


def block_difference(a, b, width, height, block=8, threshold=40):
    """Share of block × block squares whose mean colour differs by more than threshold."""
    total = differing = 0
    for by in range(0, height - block + 1, block):
        for bx in range(0, width - block + 1, block):
            sums = [0] * 6
            for y in range(by, by + block):
                ra, rb = a[y], b[y]
                for x in range(bx, bx + block):
                    for c in range(3):
                        sums[c] += ra[3 * x + c]
                        sums[3 + c] += rb[3 * x + c]
            total += 1
            if max(abs(sums[c] - sums[3 + c]) for c in range(3)) / (block * block) > threshold:
                differing += 1
    return differing / max(1, total)


def check_poster(work, vmd, reference_width):
    columns, rows = 3, 2
    pdf = os.path.join(work, "poster.pdf")
    run([VELMAR, "--export", pdf, vmd, "--poster", "%dx%d" % (columns, rows)])
    check(pages_of(pdf) == columns * rows, "poster: one page per sheet")
    if pages_of(pdf) != columns * rows:
        return
    text = " ".join(run(["pdftotext", pdf, "-"]).split())
    check("Первая рамка" in text and "Текст поля" in text, "poster: texts are text: %r" % text)
    for line in run(["pdfimages", "-list", pdf]).splitlines()[2:]:
        fields = line.split()
        check(fields[3:5] == ["280", "190"], "poster: only the photo is a bitmap: %r" % line)
    base = os.path.join(work, "poster-sheet")
    run(["pdftoppm", "-r", str(25.4 * MM), pdf, base])
    sheets = sorted(f for f in os.listdir(work) if f.startswith("poster-sheet") and f.endswith(".ppm"))
    tiles = [read_ppm(os.path.join(work, f)) for f in sheets]
    margin, overlap = MARGIN_MM * MM, OVERLAP_MM * MM
    # The sheet's size from its size in points: the rendering may have a pixel more.
    size = [line.split()[2:5] for line in run(["pdfinfo", pdf]).splitlines() if line.startswith("Page size:")][0]
    width, height = (round(float(points) / 72 * 25.4 * MM) for points in (size[0], size[2]))
    part_w, part_h = width - 2 * margin, height - 2 * margin
    step_w, step_h = part_w - overlap, part_h - overlap
    poster_w, poster_h = columns * step_w + overlap, rows * step_h + overlap
    stitched = [bytearray(b"\xff" * (poster_w * 3)) for _ in range(poster_h)]
    worst_seam = 0
    for index, (w, h, tile) in enumerate(tiles):
        column, row = index % columns, index // columns
        for y in range(part_h):
            source = tile[margin + y][margin * 3:(margin + part_w) * 3]
            target = stitched[row * step_h + y]
            left = column * step_w * 3
            if column > 0:
                # The strip this sheet shares with its left neighbour, already laid.
                shared = target[left:left + overlap * 3]
                worst_seam = max(worst_seam, sum(abs(a - b) for a, b in zip(shared, source[:overlap * 3]))
                                 / (overlap * 3))
            target[left:left + part_w * 3] = source
    print("poster: sheets %d x %d px, mean difference along the shared strips at most %.1f" % (width, height,
                                                                                             worst_seam))
    check(worst_seam < 12, "poster: neighbouring sheets agree on the strip they share (%.1f)" % worst_seam)
    box = canvas_box(poster_w, poster_h, stitched)
    check(box is not None, "poster: the outline is on the sheets")
    if box is None:
        return
    drawn_w, drawn_h = box[2] - box[0], box[3] - box[1]
    scale = drawn_w / reference_width
    png = os.path.join(work, "poster-scale.png")
    run([VELMAR, "--export", png, vmd, "--scale", "%.4f" % scale])
    ew, eh, exported = picture(png, work)
    w, h = min(ew, drawn_w), min(eh, drawn_h)
    crop = [stitched[box[1] + y][box[0] * 3:(box[0] + w) * 3] for y in range(h)]
    share = block_difference(crop, exported, w, h)
    print("poster: the outline %d x %d on %d x %d sheets, %.1f %% of the blocks differ from --export at scale %.3f"
          % (drawn_w, drawn_h, columns, rows, share * 100, scale))
    check(abs(drawn_w / drawn_h - ew / eh) < 0.02, "poster: the outline keeps its aspect")
    check(share <= 0.03, "poster: the stitched sheets show what --export draws (%.1f %% differ)" % (share * 100))
    if ARTIFACTS:
        stitched_ppm = os.path.join(work, "poster-stitched.ppm")
        with open(stitched_ppm, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (poster_w, poster_h) + b"".join(stitched))
        keep(stitched_ppm)
    keep(pdf)


def check_steps(work, vmd, reference):
    folder = os.path.join(work, "steps")
    run([VELMAR, "--export-steps", folder, vmd])
    names = sorted(os.listdir(folder))
    check(names == ["lesson-%02d.png" % (k + 1) for k in range(len(STEP_NOTES))], "steps: the files %r" % names)
    if len(names) != len(STEP_NOTES):
        return
    shots = [picture(os.path.join(folder, n), work) for n in names]
    width, height = reference[0], reference[1]
    for k, shot in enumerate(shots):
        check(shot[:2] == reference[:2], "steps: step %d is %dx%d" % (k + 1, shot[0], shot[1]))
    for k in range(1, len(shots)):
        before, after = shots[k - 1][2], shots[k][2]
        changed = [(x, y) for y in range(height) for x in range(width)
                   if before[y][3 * x:3 * x + 3] != after[y][3 * x:3 * x + 3]]
        check(changed, "steps: step %d differs from step %d" % (k + 1, k))
        if not changed:
            continue
        left, top, w, h = STEP_BOUNDS[k]
        # The arrow comes with the photo: step 4 may also change along it.
        outside = [(x, y) for x, y in changed if not (left - 2 <= x < left + w + 2 and top - 2 <= y < top + h + 2)]
        if k == 3:
            outside = [(x, y) for x, y in outside if not (200 - 8 <= x <= 520 + 8 and 200 - TOOL_BAR - 8 <= y <= 240
                                                          - TOOL_BAR + 8)]
        check(not outside, "steps: step %d changes outside its object, e.g. at %r" % (k + 1, outside[:3]))
    check(shots[-1][2] == reference[2], "steps: the last step is the --export picture")


def keep(path):
    if ARTIFACTS:
        os.makedirs(ARTIFACTS, exist_ok=True)
        shutil.copy(path, ARTIFACTS)


def main():
    for tool in ("pdftotext", "pdftoppm", "pdfinfo", "pdfimages", "convert"):
        if not shutil.which(tool):
            print("SKIP: %s is not installed (poppler-utils, imagemagick)" % tool)
            return 77
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    os.environ.update(env)
    with tempfile.TemporaryDirectory(prefix="velmar-forms-") as work:
        vmd = os.path.join(work, "lesson.vmd")
        subprocess.run([MAKE_OUTLINE, vmd], input=json.dumps(OUTLINE), text=True, check=True)
        png = os.path.join(work, "lesson.png")
        run([VELMAR, "--export", png, vmd])
        reference = picture(png, work)
        check_handouts(work, vmd)
        check_exercise(work, vmd)
        check_poster(work, vmd, reference[0])
        check_steps(work, vmd, reference)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
