#!/usr/bin/env python3
"""The slide decks (--export OUT.pptx / OUT.odp) as the programs that read them see them.

An outline with two frames, a text field, a JPEG photo and an arrow is exported as both decks and
as PNG. LibreOffice Impress (headless) converts each deck to PDF:
- one page, whose text holds the frames' titles and the text field's lines;
- its rendering at the PNG's size is close to the PNG (loosely: fonts are substituted);
- the clicks read back from the deck's XML are the show's steps in its order, each bringing the
  shapes of its objects (in the PowerPoint file, each shape with text named in the build list);
  the notes hold each step's minimal text;
- LibreOffice, saving each deck again as OpenDocument, reads one click per step;
- the photo's JPEG stream is in the archive byte for byte as the outline file holds it.

Exits 77 (skipped) when LibreOffice is not installed.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "browser"))
from browser_web_page import read_png  # noqa: E402

VELMAR = os.environ.get("VELMAR_BIN", "velmar")
MAKE_OUTLINE = os.environ.get("VELMAR_MAKE_OUTLINE", "e2e_make_outline")
ARTIFACTS = os.environ.get("VELMAR_DECK_ARTIFACTS")

# Compared in blocks of 8 × 8 pixels: a block differs when a channel of its mean is off by more
# than 40; at most 3 % of the blocks may differ (titles and texts set in another font's widths).
BLOCK = 8
BLOCK_THRESHOLD = 40
MAX_DIFFERENT_SHARE = 0.03

P = "{http://schemas.openxmlformats.org/presentationml/2006/main}"
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
ANIM = "{urn:oasis:names:tc:opendocument:xmlns:animation:1.0}"
SMIL = "{urn:oasis:names:tc:opendocument:xmlns:smil-compatible:1.0}"
PRES = "{urn:oasis:names:tc:opendocument:xmlns:presentation:1.0}"
DRAW = "{urn:oasis:names:tc:opendocument:xmlns:drawing:1.0}"
TEXT = "{urn:oasis:names:tc:opendocument:xmlns:text:1.0}"
XML_ID = "{http://www.w3.org/XML/1998/namespace}id"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAIL: " + message)


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=240, **kwargs)
    if result.returncode != 0:
        print("FAIL: %s exited %d: %s" % (" ".join(args), result.returncode, result.stderr))
        sys.exit(1)
    return result.stdout


def photo(path):
    """A 160 × 120 gradient as PPM; the outline maker reads it and the outline keeps it as JPEG."""
    width, height = 160, 120
    pixels = bytearray()
    for y in range(height):
        for x in range(width):
            pixels += bytes((x * 255 // width, 60, y * 255 // height))
    ppm = path + ".ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (width, height) + pixels)
    return ppm


OUTLINE = {
    "name": "Урок", "window": [800, 600], "canvasColour": 0xFFFFFF,
    "frames": [
        {"bounds": [20, 50, 350, 260], "title": "Первая рамка", "minimal": "Рамка один", "colour": 0x80C0F0},
        {"bounds": [400, 50, 360, 260], "title": "Вторая рамка", "minimal": "Рамка два", "colour": 0xA0F0A0}],
    "textFields": [
        {"bounds": [10, 30, 300, 60], "text": "Текст поля\r\nвторая строка", "parent": 1, "minimal": "Поле",
         "background": 0xFFFFFF}],
    "pictures": [{"bounds": [20, 30, 300, 200], "parent": 2, "minimal": "Фото"}],
    "arrows": [[200, 230, 520, 180]],
}
# The show's steps after the empty start, each with the texts of its shapes ("picture" and
# "line" for a photo and an arrow; a frame is its rectangle, then its title): frames in the frame
# sequence, each followed by what lies in it; the arrow comes with the photo it points at.
EXPECTED_CLICKS = [["", "Первая рамка"], ["Текст поля\nвторая строка"], ["", "Вторая рамка"], ["picture", "line"]]
EXPECTED_NOTES = ["Рамка один", "Поле", "Рамка два", "Фото"]


def blocks(width, height, rows):
    out = []
    for by in range(0, height - BLOCK + 1, BLOCK):
        line = []
        for bx in range(0, width - BLOCK + 1, BLOCK):
            sums = [0, 0, 0]
            for y in range(by, by + BLOCK):
                row = rows[y]
                for x in range(bx, bx + BLOCK):
                    for c in range(3):
                        sums[c] += row[3 * x + c]
            line.append([s / (BLOCK * BLOCK) for s in sums])
        out.append(line)
    return out


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    parts = data.split(maxsplit=4)
    width, height = int(parts[1]), int(parts[2])
    pixels = data[len(data) - width * height * 3:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def different_share(reference, rendering):
    a, b = blocks(*reference), blocks(*rendering)
    total = differing = worst = 0
    for row_a, row_b in zip(a, b):
        for block_a, block_b in zip(row_a, row_b):
            total += 1
            difference = max(abs(x - y) for x, y in zip(block_a, block_b))
            worst = max(worst, difference)
            if difference > BLOCK_THRESHOLD:
                differing += 1
    return differing / max(1, total), worst


def pptx_clicks(archive):
    """The texts of the shapes each click of the main sequence brings, and the notes' lines."""
    slide = ET.fromstring(archive.read("ppt/slides/slide1.xml"))
    shapes = {}
    for element in slide.iter():
        if element.tag in (P + "sp", P + "pic", P + "cxnSp"):
            name = element.find(".//" + P + "cNvPr")
            if element.tag == P + "sp":
                paragraphs = ["".join(t.text or "" for t in p.iter(A + "t")) for p in element.iter(A + "p")]
                shapes[name.get("id")] = "\n".join(paragraphs)
            else:
                shapes[name.get("id")] = "picture" if element.tag == P + "pic" else "line"
    main = [n for n in slide.iter(P + "cTn") if n.get("nodeType") == "mainSeq"]
    check(len(main) == 1, "pptx: one main sequence")
    clicks = []
    for group in main[0].find(P + "childTnLst").findall(P + "par"):
        targets = [t.get("spid") for t in group.iter(P + "spTgt")]
        effects = [n for n in group.iter(P + "cTn") if n.get("presetClass") == "entr"]
        check(all(e.get("presetID") == "1" for e in effects), "pptx: every effect is 'appear'")
        check(sum(e.get("nodeType") == "clickEffect" for e in effects) == 1, "pptx: one click per group")
        clicks.append([shapes.get(t) for t in targets])
    # PowerPoint plays an effect on a shape with text only when the build list names the shape
    # with the effect's group.
    built = {(b.get("spid"), b.get("grpId")) for b in slide.iter(P + "bldP")}
    for group in main[0].find(P + "childTnLst").findall(P + "par"):
        for effect in (n for n in group.iter(P + "cTn") if n.get("presetClass") == "entr"):
            for target in effect.iter(P + "spTgt"):
                if shapes.get(target.get("spid")) not in ("picture", "line"):
                    check((target.get("spid"), effect.get("grpId")) in built,
                          "pptx: shape %s is in the build list with its effect's group" % target.get("spid"))
    notes = ET.fromstring(archive.read("ppt/notesSlides/notesSlide1.xml"))
    lines = ["".join(t.text or "" for t in p.iter(A + "t")) for p in notes.iter(A + "p")]
    return clicks, lines


def odp_clicks(archive):
    content = ET.fromstring(archive.read("content.xml"))
    shapes = {}
    page = content.find(".//" + DRAW + "page")
    for element in page:
        if element.get(XML_ID) is None:
            continue
        if element.tag == DRAW + "rect":
            shapes[element.get(XML_ID)] = "\n".join("".join(p.itertext()) for p in element.iter(TEXT + "p"))
        else:
            shapes[element.get(XML_ID)] = "picture" if element.tag == DRAW + "frame" else "line"
    sequences = [n for n in page.iter(ANIM + "seq") if n.get(PRES + "node-type") == "main-sequence"]
    check(len(sequences) == 1, "odp: one main sequence")
    clicks = []
    for group in sequences[0].findall(ANIM + "par"):
        effects = [n for n in group.iter(ANIM + "par") if n.get(PRES + "preset-class") == "entrance"]
        check(all(e.get(PRES + "preset-id") == "ooo-entrance-appear" for e in effects), "odp: every effect appears")
        check(sum(e.get(PRES + "node-type") == "on-click" for e in effects) == 1, "odp: one click per group")
        clicks.append([shapes.get(s.get(SMIL + "targetElement")) for s in group.iter(ANIM + "set")])
    notes = page.find(PRES + "notes")
    lines = ["".join(p.itertext()) for p in notes.iter(TEXT + "p")] if notes is not None else []
    return clicks, lines


def main():
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if not soffice:
        print("SKIP: LibreOffice is not installed (Debian's libreoffice-impress-nogui)")
        return 77
    for tool in ("pdftotext", "pdftoppm", "pdfinfo"):
        if not shutil.which(tool):
            print("SKIP: %s is not installed (poppler-utils)" % tool)
            return 77
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    with tempfile.TemporaryDirectory(prefix="velmar-deck-") as work:
        ppm = photo(os.path.join(work, "photo"))
        outline = dict(OUTLINE)
        outline["pictures"] = [dict(OUTLINE["pictures"][0], image=ppm)]
        vmd = os.path.join(work, "lesson.vmd")
        subprocess.run([MAKE_OUTLINE, vmd], input=json.dumps(outline), text=True, check=True, env=env)
        with open(vmd, "rb") as f:
            outline_bytes = f.read()
        png = os.path.join(work, "lesson.png")
        run([VELMAR, "--export", png, vmd], env=env)
        with open(png, "rb") as f:
            reference = read_png(f.read())

        for kind in ("pptx", "odp"):
            deck = os.path.join(work, "lesson." + kind)
            run([VELMAR, "--export", deck, vmd], env=env)
            with zipfile.ZipFile(deck) as archive:
                check(archive.testzip() is None, kind + ": the archive's checksums hold")
                names = archive.namelist()
                if kind == "odp":
                    first = archive.infolist()[0]
                    check(first.filename == "mimetype" and first.compress_type == zipfile.ZIP_STORED,
                          "odp: mimetype is first and stored")
                    check(archive.read("mimetype") == b"application/vnd.oasis.opendocument.presentation",
                          "odp: mimetype")
                    clicks, notes = odp_clicks(archive)
                else:
                    clicks, notes = pptx_clicks(archive)
                jpegs = [archive.read(n) for n in names if n.lower().endswith((".jpg", ".jpeg"))]
                check(len(jpegs) == 1, "%s: one JPEG picture (%d)" % (kind, len(jpegs)))
                check(all(j.startswith(b"\xff\xd8") and j in outline_bytes for j in jpegs),
                      kind + ": the photo is the outline file's JPEG stream, unchanged")
            check(clicks == EXPECTED_CLICKS, "%s: clicks in the show's order: %r" % (kind, clicks))
            check([n.split(". ", 1)[-1] for n in notes] == EXPECTED_NOTES,
                  "%s: notes hold each step's minimal text: %r" % (kind, notes))

            out = os.path.join(work, "pdf-" + kind)
            profile = "file://" + os.path.join(work, "profile-" + kind)
            run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", "pdf",
                 "--outdir", out, deck], env=env)
            pdf = os.path.join(out, "lesson.pdf")
            check(os.path.exists(pdf), kind + ": LibreOffice wrote a PDF")
            if not os.path.exists(pdf):
                continue
            # The clicks as LibreOffice itself reads them: the deck saved again by it as OpenDocument
            # has one click per step of the show, each bringing the same shapes.
            again = os.path.join(work, "again-" + kind)
            run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", "odp", "--outdir", again,
                 deck], env=env)
            with zipfile.ZipFile(os.path.join(again, "lesson.odp")) as archive:
                read_back, _ = odp_clicks(archive)
            check(len(read_back) == len(EXPECTED_CLICKS),
                  "%s: LibreOffice reads %d clicks for %d steps: %r" % (kind, len(read_back), len(EXPECTED_CLICKS),
                                                                       read_back))
            check([len(c) for c in read_back] == [len(c) for c in EXPECTED_CLICKS],
                  "%s: LibreOffice reads each click with its shapes: %r" % (kind, read_back))
            info = run(["pdfinfo", pdf])
            check("Pages:           1" in info, kind + ": one page")
            text = " ".join(run(["pdftotext", pdf, "-"]).split())
            for wanted in ("Первая рамка", "Вторая рамка", "Текст поля вторая строка"):
                check(wanted in text, "%s: the PDF's text holds %r: %r" % (kind, wanted, text))
            width, height = reference[0], reference[1]
            run(["pdftoppm", "-r", "72", "-scale-to-x", str(width), "-scale-to-y", str(height), "-singlefile",
                 pdf, os.path.join(work, "render-" + kind)])
            rendering = read_ppm(os.path.join(work, "render-" + kind + ".ppm"))
            check(rendering[:2] == reference[:2], "%s: rendering size %r" % (kind, rendering[:2]))
            share, worst = different_share(reference, rendering)
            print("%s: %.1f %% of the blocks differ from the PNG export (largest difference %.0f)"
                  % (kind, share * 100, worst))
            check(share <= MAX_DIFFERENT_SHARE, "%s: rendering close to the PNG export" % kind)
            if ARTIFACTS:
                os.makedirs(ARTIFACTS, exist_ok=True)
                shutil.copy(deck, ARTIFACTS)
                shutil.copy(pdf, os.path.join(ARTIFACTS, "lesson-" + kind + ".pdf"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
