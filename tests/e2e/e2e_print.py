# Printing with the real program: Ctrl+P opens the print dialog in Russian; accepting it with
# Enter prints to a PDF file whose text holds the frame titles.
import os
import subprocess

import velmar_e2e as e2e


def test_ctrl_p_prints_to_a_pdf_file(app):
    path = app.make_outline({
        "name": "lesson",
        "window": [900, 600],
        "frames": [{"bounds": [20, 40, 380, 250], "title": "Наблюдения"},
                   {"bounds": [440, 40, 380, 250], "title": "Опыты"}],
        "textFields": [{"bounds": [10, 30, 200, 40], "text": "Вода кипит", "parent": 1}],
        "arrows": [[200, 320, 500, 420]],
    })
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
    app.check_alive()


e2e.main(globals())
