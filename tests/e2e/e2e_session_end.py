# The session ends the program (SIGTERM at logout or shutdown): work not saved is kept as after a
# crash and offered at the next start, with what the user did in it.
import os
import signal
import time

import velmar_e2e as e2e

OUTLINE = {"window": [746, 571], "frames": [{"bounds": [40, 60, 200, 150], "title": "A"}]}


def answer_dialog(app, title, path=None):
    """Waits for the dialog TITLE and answers it: PATH typed into a file dialog, then Enter."""
    e2e.wait_for(lambda: app.desktop._run(["xdotool", "search", "--onlyvisible", "--name", title])
                 .stdout.split(), "the dialog " + title)
    time.sleep(0.3)  # the dialog takes keys once its window is mapped and focused
    if path:
        app.type(path)
    app.key("Return")


def test_unsaved_work_survives_sigterm(app):
    app.open(OUTLINE)
    temp = os.path.join(app.home, "temp")
    app.drag((100, 120), (130, 150))  # the frame moves: the outline differs from its file
    e2e.wait_for(lambda: any(name.startswith("temp1.") for name in os.listdir(temp)), "the move's history step")
    app.process.send_signal(signal.SIGTERM)
    e2e.check_equal(app.process.wait(20), 0, "exit status after SIGTERM")

    # The next start offers the interrupted work; "Да" brings the moved frame back.
    again = e2e.Velmar(app.desktop, app.folder)
    starter = e2e.threading.Thread(target=lambda: again.open(None), daemon=True)
    starter.start()
    answer_dialog(again, "Подтверждение")
    starter.join(40)
    saved = os.path.join(app.folder, "recovered.vmd")
    again.key("ctrl+s")  # recovered work has no file of its own: Save asks for one
    answer_dialog(again, "Сохранить", saved)
    e2e.wait_for(lambda: os.path.exists(saved), "the recovered outline to be saved")
    time.sleep(0.3)
    e2e.check_equal(e2e.bounds(again.info(saved)["frames"][0]), [70, 90, 200, 150], "the recovered frame")
    again.stop()


e2e.main(globals())
