# Habits of the main window with real input: a click that only selects records nothing to undo,
# the tool bar stays whole above a selected frame, and the show writes every line of a minimal text.
import velmar_e2e as e2e
from velmar_e2e import bounds
import screen_truth
from e2e_presentation import start_show

TWO_FRAMES = {"frames": [{"bounds": [40, 80, 240, 180], "title": "Рамка"},
                         {"bounds": [400, 80, 200, 150], "title": "Другая"}]}


def test_selecting_by_the_title_is_no_step(app):
    app.open(TWO_FRAMES)
    app.click((50, 90))          # the first frame's title: selects it
    app.key("Right")             # one move of the selected frame
    app.click((410, 90))         # the second frame's title: selects, moves nothing
    app.key("ctrl+z")            # undoes the move, not a click
    app.drag((500, 200), (500, 240))  # something to save: the second frame moves down
    app.save()
    info = app.info()
    e2e.check_equal(bounds(info["frames"][0])[:2], [40, 80], "the first frame after one Ctrl+Z")
    e2e.check_equal(bounds(info["frames"][1])[:2], [400, 120], "the second frame")


def test_the_tool_bar_covers_the_move_tab_of_a_frame_below_it(app):
    app.open({"frames": [{"bounds": [4, 34, 240, 180], "title": "Рамка"}]})
    app.click((60, 40))          # the frame's title: selects it, its move tab goes above it

    def handle_shown():
        w, h, rows = screen_truth.grab(app, app.screen((5, 36)) + (4, 3))
        return all(max(row[i:i + 3]) < 60 for row in rows for i in range(0, len(row), 3))

    e2e.wait_for(handle_shown, "the black handles of the selected frame")

    def tab_pixels():
        # The move tab's pink (255, 128, 128), seen on the tool bar's band between its buttons.
        w, h, rows = screen_truth.grab(app, app.screen((0, 0)) + (240, 31))
        return sum(1 for row in rows for i in range(0, len(row), 3)
                   if row[i] >= 245 and 112 <= row[i + 1] <= 144 and 112 <= row[i + 2] <= 144)

    e2e.check_equal(tab_pixels(), 0, "pixels of the move tab showing through the tool bar")


def test_the_show_writes_every_line_of_a_minimal_text(app):
    lines = "Первая строка\r\nВторая строка\r\nТретья строка"
    app.open({"window": [900, 650],
              "frames": [{"bounds": [20, 40, 380, 260], "title": "Опыты", "minimal": lines}]})
    start_show(app)
    mark = len(app.lines())
    app.key("t")                 # the strip of minimal texts
    app.key("Right")             # the frame's step
    e2e.wait_for(lambda: any(" subtitles 1 " in l and l.startswith("presentation step 1 ")
                             for l in app.lines()[mark:]), "the step with its text")
    width, height = e2e.SCREEN

    def bands():
        # Rows of the strip (its dark ground at the left edge) holding light letters.
        w, h, rows = screen_truth.grab(app, (0, height // 2, width, height - height // 2))
        count, inside, seen_strip = 0, False, False
        for row in rows:
            ground = row[0:3]
            if max(ground) > 60:
                continue  # not the strip
            seen_strip = True
            light = any(min(row[x:x + 3]) > 160 for x in range(0, len(row), 3))
            count += light and not inside
            inside = light
        return count if seen_strip else 0

    e2e.wait_for(lambda: bands() == 3, "three lines of text in the strip", timeout=10)


e2e.main(globals())
