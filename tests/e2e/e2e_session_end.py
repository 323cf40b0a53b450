# The session ends the program (SIGTERM at logout or shutdown): work not saved is kept as after a
# crash and offered at the next start, with what the user did in it.
import os
import signal

import velmar_e2e as e2e

OUTLINE = {"window": [746, 571], "frames": [{"bounds": [40, 60, 200, 150], "title": "A"}]}


def test_unsaved_work_survives_sigterm(app):
    app.open(OUTLINE)
    temp = os.path.join(app.home, "temp")
    app.drag((100, 120), (130, 150))  # the frame moves: the outline differs from its file
    e2e.wait_for(lambda: any(name.startswith("temp1.") for name in os.listdir(temp)), "the move's history step")
    app.process.send_signal(signal.SIGTERM)
    e2e.check_equal(app.process.wait(20), 0, "exit status after SIGTERM")

    # The next start offers the interrupted work; "Да" brings the moved frame back.
    again = e2e.Velmar(app.desktop, app.folder)
    again.start(None)
    again.answer("Подтверждение")
    again.wait_shown()
    saved = os.path.join(app.folder, "recovered.vmd")
    again.key("ctrl+s")  # recovered work has no file of its own: Save asks for one
    again.answer("Сохранить как", saved)
    e2e.wait_for(lambda: os.path.exists(saved), "the recovered outline to be saved")
    e2e.check_equal(e2e.bounds(again.info(saved)["frames"][0]), [70, 90, 200, 150], "the recovered frame")
    again.stop()


e2e.main(globals())
