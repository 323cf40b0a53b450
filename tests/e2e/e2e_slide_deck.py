# "Файл → Сохранить как презентацию..." with the real program and its real save dialog: the deck
# is written where the user said, in the type the name or the chosen filter asks for, and
# LibreOffice opens it. Without LibreOffice the test says so and checks the archive alone.
import os
import shutil
import subprocess
import tempfile
import zipfile

import velmar_e2e as e2e

LAYOUT = {
    "name": "Урок",
    "window": [800, 560],
    "frames": [{"bounds": [20, 50, 330, 220], "title": "Наблюдения", "minimal": "Что видим"},
               {"bounds": [400, 50, 330, 220], "title": "Опыты", "minimal": "Что делаем"}],
    "textFields": [{"bounds": [10, 30, 240, 40], "text": "Вода кипит", "parent": 1, "minimal": "Кипение"}],
    "arrows": [[200, 300, 500, 300]],
}


def save_deck(app, typed):
    """Chooses the command from the File menu and types TYPED into the save dialog."""
    mark = len(app.lines())
    app.click((25, -10))  # "Файл", the menu bar's first item just above the canvas
    e2e.wait_for(lambda: app.check_alive() or "FileMenu" in app.menus_since(mark), "the File menu")
    app.choose("ExportSlideDeck", mark)
    app.answer("Сохранить как презентацию", typed)


def opened_by_libreoffice(app, deck):
    """LibreOffice's text of the deck converted to PDF, or None without LibreOffice."""
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if not soffice:
        print("SKIP: LibreOffice is not installed (libreoffice-impress-nogui): the deck is checked as an archive")
        return None
    out = tempfile.mkdtemp(dir=app.folder)
    profile = "file://" + os.path.join(app.folder, "lo-profile")
    subprocess.run([soffice, "-env:UserInstallation=" + profile, "--headless", "--convert-to", "pdf", "--outdir",
                    out, deck], capture_output=True, timeout=240, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    pdf = os.path.join(out, os.path.splitext(os.path.basename(deck))[0] + ".pdf")
    e2e.check(os.path.exists(pdf), f"LibreOffice could not open {deck}")
    return " ".join(subprocess.run(["pdftotext", pdf, "-"], capture_output=True, text=True).stdout.split())


def test_the_deck_is_written_where_the_user_said_and_opens_in_libreoffice(app):
    app.open(LAYOUT)
    folder = os.path.join(app.folder, "decks")
    os.makedirs(folder)
    # A name without an extension gets the first filter's: PowerPoint.
    save_deck(app, os.path.join(folder, "lesson"))
    pptx = os.path.join(folder, "lesson.pptx")
    e2e.wait_for(lambda: app.check_alive() or os.path.exists(pptx), "the PowerPoint deck", 30)
    # A name typed with the other deck's extension is written as that deck.
    save_deck(app, os.path.join(folder, "lesson.odp"))
    odp = os.path.join(folder, "lesson.odp")
    e2e.wait_for(lambda: app.check_alive() or os.path.exists(odp), "the OpenDocument deck", 30)
    e2e.check(sorted(os.listdir(folder)) == ["lesson.odp", "lesson.pptx"], f"written: {os.listdir(folder)}")
    with zipfile.ZipFile(pptx) as archive:
        e2e.check("ppt/slides/slide1.xml" in archive.namelist(), "a PowerPoint slide")
    with zipfile.ZipFile(odp) as archive:
        e2e.check(archive.read("mimetype") == b"application/vnd.oasis.opendocument.presentation", "an ODP")
    for deck in (pptx, odp):
        text = opened_by_libreoffice(app, deck)
        if text is not None:
            for words in ("Наблюдения", "Опыты", "Вода кипит"):
                e2e.check(words in text, f"{os.path.basename(deck)}: LibreOffice shows no «{words}»: {text!r}")
    app.check_alive()


e2e.main(globals())
