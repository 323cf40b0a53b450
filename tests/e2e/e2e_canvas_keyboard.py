# The keyboard and pop-up menus with real input: who has the focus after typing and after opening,
# the text field's menu, and undo/redo right after a text field was selected.
import velmar_e2e as e2e
from velmar_e2e import bounds

LAYOUT = {"frames": [{"bounds": [40, 60, 240, 180], "title": "A"},
                     {"bounds": [400, 60, 200, 150], "title": "B"}],
          "textFields": [{"bounds": [20, 40, 120, 30], "text": "abc", "parent": 1}]}
FIELD = (100, 115)  # inside the text field (canvas coordinates)


def test_outline_undo_after_typing_and_clicking_the_canvas(app):
    app.open(LAYOUT)
    app.click(FIELD)
    app.type("xyz")
    app.click((500, 400))                 # the empty canvas takes the keyboard from the field
    app.drag((500, 150), (540, 170))      # an outline step: frame B moves
    app.key("ctrl+z")                     # undoes the move, not the typing
    app.save()
    info = app.info()
    e2e.check_equal(bounds(info["frames"][1])[:2], [400, 60], "frame B after Ctrl+Z")
    e2e.check("xyz" in info["textFields"][0]["text"], f"typed text kept: {info['textFields'][0]['text']!r}")


def test_an_opened_outline_gives_no_field_the_keyboard(app):
    app.open(LAYOUT)
    app.type("q")
    app.drag((500, 150), (520, 150))      # something to save
    app.save()
    e2e.check_equal(app.info()["textFields"][0]["text"], "abc", "the field's text")


def test_right_click_on_a_field_opens_only_its_menu(app):
    app.open(LAYOUT)
    mark = len(app.lines())
    app.click(FIELD, button=3)
    e2e.wait_for(lambda: "TextFieldMenu" in app.menus_since(mark), "the text field's menu")
    app.key("Escape")
    app.drag((500, 150), (520, 150))
    app.save()
    # A second menu from the same press would have opened before the drag and the save were
    # handled (and would have swallowed them).
    e2e.check_equal(app.menus_since(mark), ["TextFieldMenu"], "menus opened")
    e2e.check_equal(app.info()["textFields"][0]["text"], "abc", "the field's text")


def test_undo_and_redo_after_typing_into_a_selected_field(app):
    app.open(LAYOUT)
    app.click(FIELD)
    app.type("z")
    app.click(app.button("Undo"))
    app.click(app.button("Redo"))
    app.click(app.button("Undo"))
    app.click(app.button("Redo"))
    app.save()
    e2e.check("z" in app.info()["textFields"][0]["text"], "the typed letter after undo and redo")


def field_menu_then_escape(app):
    """Right-clicks the text field and closes its menu with Esc once the menu is open (an Esc
    sent earlier would reach the canvas and leave the menu open)."""
    mark = len(app.lines())
    app.click(FIELD, button=3)
    e2e.wait_for(lambda: "TextFieldMenu" in app.menus_since(mark), "the text field's menu")
    app.key("Escape")


def test_undo_and_redo_after_a_right_click_on_a_field(app):
    app.open(LAYOUT)
    app.drag((500, 150), (520, 150))      # a step to undo
    field_menu_then_escape(app)
    app.click(app.button("Undo"))
    app.click(app.button("Redo"))
    field_menu_then_escape(app)           # the field selected again on the rebuilt widgets
    app.save()
    e2e.check_equal(bounds(app.info()["frames"][1])[:2], [420, 60], "frame B after undo and redo")


FIELDS = {"frames": [{"bounds": [40, 60, 420, 250], "title": "Поля", "colour": 0xE0F0FF}],
          "textFields": [{"bounds": [20, 30, 170, 50], "text": "Слева\r\nвторая строка", "parent": 1},
                         {"bounds": [20, 110, 170, 40], "text": "По центру", "alignment": 2, "parent": 1,
                          "background": 0xC0FFC0},
                         {"bounds": [220, 30, 170, 90], "text": "Справа,\r\nкрупно и длиннее поля", "alignment": 1,
                          "fontSize": 16, "parent": 1}]}


def test_fields_look_the_same_once_the_pointer_comes_over_them(app):
    """A field nobody has pointed at is drawn without its editor; the pointer coming over it puts
    the editor in its place. The exported outline draws the fields as opened: the screen must equal
    it before and after, pixel for pixel (a field whose text moved or changed when pointed at
    fails)."""
    app.open(FIELDS)
    exported = app.export("fields.png")
    app.check_screen_shows(exported, "the fields as opened")
    mark = len(app.lines())
    left, top = FIELDS["frames"][0]["bounds"][:2]
    for field in FIELDS["textFields"]:
        x, y, w, h = field["bounds"]
        app.move((left + x + w // 2, top + y + h // 2))
    editors = lambda: {line for line in app.lines()[mark:] if line.startswith("editor ")}
    e2e.wait_for(lambda: len(editors()) == 3, "the three fields' editors")
    e2e.check_equal(sorted(editors()), sorted(f"editor {left + f['bounds'][0]} {top + f['bounds'][1]} "
                                              f"{f['bounds'][2]} {f['bounds'][3]}" for f in FIELDS["textFields"]),
                    "the editors' places")
    app.check_screen_shows(exported, "the fields in their editors")


if __name__ == "__main__":
    e2e.main(globals())
