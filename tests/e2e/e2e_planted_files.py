# Files someone else planted in the program's own folders, met through the real program: the help
# page written where a link to another file stands replaces the link, never the file it names.
import os

import velmar_e2e as e2e

LAYOUT = {"frames": [{"bounds": [40, 60, 200, 150], "title": "A"}]}


def test_help_page_is_written_anew_over_a_planted_link(app):
    help_folder = os.path.join(app.home, "help")
    os.makedirs(help_folder)
    victim = os.path.join(app.folder, "victim.html")
    with open(victim, "w") as f:
        f.write("not velmar's\n")
    page = os.path.join(help_folder, "index.html")
    os.symlink(victim, page)
    # The desktop's opener is replaced by one that notes what it was asked to open.
    bin_folder = os.path.join(app.folder, "bin")
    os.makedirs(bin_folder)
    opened = os.path.join(app.folder, "opened.txt")
    opener = os.path.join(bin_folder, "xdg-open")
    with open(opener, "w") as f:
        # Written aside and renamed, so the file never exists half written.
        f.write(f'#!/bin/sh\necho "$@" > "{opened}.part" && mv "{opened}.part" "{opened}"\n')
    os.chmod(opener, 0o755)
    saved_env = app.desktop.env
    app.desktop.env = dict(saved_env, PATH=bin_folder + os.pathsep + saved_env["PATH"])
    try:
        app.open(LAYOUT)
    finally:
        app.desktop.env = saved_env

    app.click(app.button("Help"))  # "Помощь"
    e2e.wait_for(lambda: app.check_alive() or os.path.exists(opened), "the help page to be opened", 20)
    with open(opened) as f:
        e2e.check("index.html" in f.read(), "the help page was opened")
    with open(victim) as f:
        content = f.read()
    e2e.check(content == "not velmar's\n", f"the file the planted link named was written: {content[:60]!r}…")
    e2e.check(not os.path.islink(page) and os.path.isfile(page), "the help page is a file of its own")
    with open(page, encoding="utf-8") as f:
        e2e.check("<html" in f.read().lower(), "the help page holds the help")
    app.check_alive()


e2e.main(globals())
