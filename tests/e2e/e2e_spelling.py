# Spell checking with real input: misspelled words of a text field being typed are underlined in
# red on the X screen (correct ones are not), the right-click menu's suggestion replaces the word,
# "Добавить в словарь" lasts into the next start, and without dictionaries nothing is marked.
import os
import tempfile

import screen_truth as truth
import velmar_e2e as e2e

# A field of three lines with empty lines between them, so that each line's underline is told
# apart on the screen: a correct word, a misspelled one, a word no dictionary has.
FIELD = (50, 90, 300, 110)  # on the canvas: frame (40, 60) plus the field's (10, 30)
LAYOUT = {"frames": [{"bounds": [40, 60, 400, 200], "title": "A"}],
          "textFields": [{"bounds": [10, 30, 300, 110], "parent": 1, "background": 0xFFFFFF,
                          "text": "молоко\r\n\r\nмашына\r\n\r\nВелмарчик"}]}
EMPTY = (600, 500)
WORD = "Велмарчик"


def field_rows(app):
    x, y = app.screen(FIELD[:2])
    return truth.grab(app, (x, y, FIELD[2], FIELD[3]))[2]


def lines_and_marks(app):
    """The text lines of the field on the screen (their first and last rows), each with the
    number of red pixels of its underline (between it and the next line). Lines are found from
    the dark pixels of the field's left part, where every line starts; a row or two of dark
    dots (the selection's outline of a field that fitted itself to its text) is no line."""
    rows = field_rows(app)
    inside = range(3 * 3, 3 * 62, 3)  # columns 3..61

    def dark(row):
        return any(row[i] < 90 and row[i + 1] < 90 and row[i + 2] < 90 for i in inside)

    def red(row):
        # The wavy line is drawn antialiased: full red with lighter pixels beside it.
        return sum(1 for i in range(9, len(row) - 9, 3)
                   if row[i] > 200 and row[i + 1] < 160 and row[i + 2] < 160 and abs(row[i + 1] - row[i + 2]) < 30)

    bands, start = [], None
    for j, row in enumerate(rows[3:-3], 3):
        if dark(row) and start is None:
            start = j
        elif not dark(row) and start is not None:
            bands.append([start, j - 1, 0])
            start = None
    bands = [b for b in bands if b[1] - b[0] >= 3]
    for j, row in enumerate(rows[3:-3], 3):
        count = red(row)
        if count:
            above = [b for b in bands if b[0] <= j]
            if above:
                above[-1][2] += count
    return bands


def marks(app):
    bands = lines_and_marks(app)
    return [b[2] for b in bands] if len(bands) == 3 else None


def line_point(app, line):
    """A point on the first letters of a line of the field (canvas coordinates)."""
    bands = lines_and_marks(app)
    e2e.check(len(bands) == 3, f"three lines of text expected in the field, found {bands}")
    return FIELD[0] + 12, FIELD[1] + (bands[line][0] + bands[line][1]) // 2


def wait_marks(app, expected, what):
    """Waits until the lines' underlines are there or not as EXPECTED says (True: red pixels)."""
    def shown():
        app.check_alive()
        found = marks(app)
        return found is not None and [m > 5 for m in found] == expected and found
    return e2e.wait_for(shown, what)


def start_typing(app):
    app.click((FIELD[0] + 150, FIELD[1] + 5))


def right_click_menu(app, line):
    point = line_point(app, line)
    mark = len(app.lines())
    app.click(point, button=3)
    e2e.wait_for(lambda: app.check_alive() or "textEditMenu" in app.menus_since(mark), "the text's menu")
    return mark


def menu_items(app, mark):
    return [line.split()[1] for line in app.lines()[mark:] if line.startswith("item ")]


def test_misspelled_word_is_underlined_and_replaced_from_the_menu(app):
    app.open(LAYOUT)
    e2e.check_equal(marks(app), [0, 0, 0], "red underlines before the text is typed into")
    start_typing(app)
    wait_marks(app, [False, True, True], "the misspelled words underlined, the correct one not")

    mark = right_click_menu(app, 1)
    items = menu_items(app, mark)
    for item in ("suggestion0", "addToDictionary", "selectAllText"):
        e2e.check(item in items, f"{item} in the text's menu {items}")
    # The right click gave the text's menu, not the text field's own.
    e2e.check("TextFieldMenu" not in app.menus_since(mark), "the object's menu opened")
    app.choose("suggestion0", mark)
    wait_marks(app, [False, False, True], "the replaced word no longer underlined")

    app.click(EMPTY)  # the canvas takes the keyboard: the typing is a step, the marks go
    wait_marks_gone = lambda: marks(app) == [0, 0, 0]
    e2e.wait_for(lambda: app.check_alive() or wait_marks_gone(), "the marks to go with the keyboard")
    app.save()
    text = app.info()["textFields"][0]["text"]
    e2e.check_equal(text.split("\r\n"), ["молоко", "", "машина", "", WORD], "the text after the replacement")


def test_word_added_to_the_dictionary_stays_after_a_restart(app):
    app.open(LAYOUT)
    start_typing(app)
    wait_marks(app, [False, True, True], "the misspelled words underlined")
    mark = right_click_menu(app, 2)
    app.choose("addToDictionary", mark)
    wait_marks(app, [False, True, False], "the added word no longer underlined")
    with open(os.path.join(app.home, "dictionary.txt"), encoding="utf-8") as f:
        e2e.check(WORD in f.read().split("\n"), "the word in the personal dictionary")
    app.stop()

    again = e2e.Velmar(app.desktop, app.folder)  # the same settings folder
    try:
        again.open(app.path)
        start_typing(again)
        wait_marks(again, [False, True, False], "after a restart, only the misspelled word underlined")
    finally:
        again.stop()


def test_without_dictionaries_nothing_is_marked_and_nothing_said(app):
    empty = tempfile.mkdtemp(dir=app.folder)
    app.open(LAYOUT, env={"VELMAR_DICTIONARY_DIR": empty})
    start_typing(app)
    # The text's own menu shows the field is being typed into; it has no spelling items.
    mark = right_click_menu(app, 1)
    items = menu_items(app, mark)
    e2e.check("addToDictionary" not in items and "suggestion0" not in items, f"spelling items in {items}")
    e2e.check("selectAllText" in items, f"the text's own items in {items}")
    app.key("Escape")
    found = e2e.wait_for(lambda: app.check_alive() or marks(app), "the field's lines once the menu has gone")
    e2e.check_equal(found, [0, 0, 0], "red underlines without dictionaries")
    app.key("End")
    app.type("ok")
    app.click(EMPTY)
    app.save()
    e2e.check("ok" in app.info()["textFields"][0]["text"], "the typing kept")


e2e.main(globals())
