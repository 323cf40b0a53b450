# Several objects at once and the clipboard with real input: a rubber band, Ctrl+click, the arrow
# keys and the align menu on the screen; objects copied from one running Velmar into another and
# read by another program (xclip); a full outline refusing a paste; undo of a paste; the keys of a
# text being typed.
import os
import struct
import subprocess

import velmar_e2e as e2e
import screen_truth as truth
from velmar_e2e import bounds

GROUP_BLUE = (0, 90, 200)  # the line around the group's bounds


def xclip(app, *args):
    return subprocess.run(["xclip", "-selection", "clipboard", *args], env=app.desktop.env,
                          capture_output=True, timeout=20)


def screen_pixel(app, point):
    x, y = app.screen(point)
    _, _, rows = truth.grab(app, (x, y, 1, 1))
    return tuple(rows[0][0:3])


def wait_for_group_line(app, point, what):
    """Waits until the screen shows the group's bounds line at the canvas point."""
    app.desktop.xdotool("mousemove", e2e.SCREEN[0] - 1, e2e.SCREEN[1] - 1)
    e2e.wait_for(lambda: screen_pixel(app, point) == GROUP_BLUE, what)


def ctrl_click(app, point):
    with app.hold("ctrl"):
        app.click(point)


def jpeg_stream(path):
    """The first picture's JPEG stream in an outline file: it starts right after the record."""
    with open(path, "rb") as f:
        data = f.read()
    start = 597496
    e2e.check(data[start:start + 2] == b"\xff\xd8", "no JPEG stream after the record")
    return data[start:data.index(b"\xff\xd9", start) + 2], data


def test_objects_cross_between_two_velmars_and_reach_other_programs(app):
    photo = os.path.join(app.folder, "photo.jpg")
    subprocess.run(["convert", "-size", "80x60", "gradient:#ff2000-#0020ff", photo], check=True, timeout=20)
    app.open({"frames": [{"bounds": [40, 60, 240, 180], "title": "Альфа", "titleColour": 255}],
              "textFields": [{"bounds": [20, 40, 150, 30], "text": "текст ✓", "parent": 1}],
              "pictures": [{"bounds": [20, 90, 80, 60], "parent": 1, "image": photo, "border": 1}]})
    stream, _ = jpeg_stream(app.path)
    app.click((250, 220))              # the frame
    app.key("ctrl+c")

    # Another program reads the picture and the texts.
    targets = e2e.wait_for(lambda: (lambda r: r.returncode == 0 and "application/x-velmar-objects" in r.stdout.decode()
                                    and r.stdout.decode())(xclip(app, "-t", "TARGETS", "-o")),
                           "the copied objects on the clipboard")
    e2e.check("image/png" in targets, f"no PNG offered: {targets}")
    png = xclip(app, "-t", "image/png", "-o").stdout
    e2e.check(png.startswith(b"\x89PNG"), "the clipboard's picture is no PNG")
    width, height = struct.unpack(">II", png[16:24])
    e2e.check_equal((width, height), (240 + 16, 180 + 16), "the picture's size: the frame and a margin")
    e2e.check_equal(xclip(app, "-o").stdout.decode(), "Альфа\nтекст ✓", "the texts as plain text")

    other_folder = os.path.join(app.folder, "second")
    os.makedirs(other_folder)
    other = e2e.Velmar(app.desktop, other_folder)
    try:
        other.open({"frames": [{"bounds": [400, 60, 200, 150], "title": "Бета"}]})
        other.move((100, 260))         # the empty canvas
        other.key("ctrl+v")
        other.save()
        info = other.info()
        e2e.check_equal(len(info["frames"]), 2, "frames after the paste")
        pasted = info["frames"][1]
        e2e.check_equal(bounds(pasted), [100, 260, 240, 180], "the pasted frame, at the pointer")
        e2e.check_equal(pasted["title"], "Альфа", "the pasted frame's title")
        e2e.check_equal(info["textFields"][0]["text"], "текст ✓", "the pasted text field")
        e2e.check_equal(info["textFields"][0]["parent"], 2, "the text field's frame")
        e2e.check_equal(info["pictures"][0]["parent"], 2, "the picture's frame")
        # The picture's JPEG stream arrived as the source outline keeps it, not encoded again.
        pasted_stream, _ = jpeg_stream(other.path)
        e2e.check(pasted_stream == stream, "the pasted picture's JPEG stream differs from the original")
        other.key("Escape")            # the pasted objects are chosen: their lines go
        other.check_screen_shows(other.export("pasted.png"), "the pasted frame")
    finally:
        other.stop()


FRAMES_98 = {"frames": [{"bounds": [40, 60, 150, 100], "title": "A"},
                        {"bounds": [220, 60, 150, 100], "title": "B"}]
             + [{"bounds": [500 + 8 * (i % 12), 250 + 8 * (i // 12), 6, 6], "title": str(i)} for i in range(96)]}


def test_a_full_outline_refuses_a_paste_and_undo_takes_one_back(app):
    app.open(FRAMES_98)
    ctrl_click(app, (100, 130))
    ctrl_click(app, (300, 130))
    app.key("ctrl+c")
    app.move((40, 200))
    app.key("ctrl+v")                  # two frames: 100
    app.key("ctrl+v")                  # no room: said so, nothing pasted
    app.answer("Внимание")
    app.key("ctrl+z")                  # one step takes the whole paste back ...
    app.key("ctrl+y")                  # ... and gives it again
    app.save()
    info = app.info()
    e2e.check_equal(len(info["frames"]), 100, "frames after the paste, a refused one, undo and redo")
    e2e.check_equal(bounds(info["frames"][98]), [40, 200, 150, 100], "the first pasted frame")
    e2e.check_equal(bounds(info["frames"][99]), [220, 200, 150, 100], "the second pasted frame")
    e2e.check_equal(info["frames"][99]["title"], "B", "the second pasted frame's title")
    app.key("ctrl+z")
    app.save()
    e2e.check_equal(len(app.info()["frames"]), 98, "frames after undoing the paste")


THREE = {"frames": [{"bounds": [40, 60, 120, 80], "title": "A"},
                    {"bounds": [220, 100, 100, 60], "title": "B"},
                    {"bounds": [400, 160, 140, 90], "title": "C"}]}


def test_rubber_band_ctrl_click_nudge_and_align(app):
    app.open(THREE)
    app.drag((20, 45), (340, 180))     # the band encloses A and B
    ctrl_click(app, (470, 240))        # C joins
    # The group's bounds (40, 60)-(539, 249) are drawn 5 pixels outside: the top line at 55.
    wait_for_group_line(app, (300, 55), "the group's bounds above the three frames")
    app.key("Right")                   # by the grid's step
    mark = len(app.lines())
    app.click((25, -10))               # "Файл", then right to "Правка"
    e2e.wait_for(lambda: app.check_alive() or "FileMenu" in app.menus_since(mark), "the File menu")
    app.key("Right")
    e2e.wait_for(lambda: app.check_alive() or "EditMenu" in app.menus_since(mark), "the Edit menu")
    app.choose("AlignObjectsMenu", mark)
    e2e.wait_for(lambda: app.check_alive() or "AlignObjectsMenu" in app.menus_since(mark), "the align menu")
    app.choose("AlignObjectsTop", mark)
    # Lined up at the top, the group is 90 high: (42, 60)-(541, 149), the bottom line at 154.
    wait_for_group_line(app, (300, 154), "the group's bounds around the aligned frames")
    app.key("Escape")
    app.save()
    info = app.info()
    e2e.check_equal([bounds(f)[:2] for f in info["frames"]], [[42, 60], [222, 60], [402, 60]],
                    "frames nudged and aligned at the top")
    app.check_screen_shows(app.export("aligned.png"), "the aligned frames without the group's lines")
    # Undo takes the alignment back as one step, then the nudge.
    app.key("ctrl+z")
    app.save()
    e2e.check_equal([bounds(f)[:2] for f in app.info()["frames"]], [[42, 60], [222, 100], [402, 160]],
                    "after undoing the alignment")


def test_keys_of_a_text_being_typed_act_on_the_text(app):
    app.open({"frames": [{"bounds": [40, 60, 240, 180], "title": "A"}],
              "textFields": [{"bounds": [20, 40, 150, 30], "text": "abc", "parent": 1}]})
    app.click((100, 115))              # into the text field
    app.key("ctrl+a")
    app.key("ctrl+c")
    app.key("End")
    app.key("ctrl+v")
    app.key("ctrl+d")                  # no object is duplicated while typing
    app.click((500, 400))
    app.save()
    info = app.info()
    e2e.check_equal(info["textFields"][0]["text"], "abcabc", "the text after Ctrl+A, Ctrl+C, Ctrl+V")
    e2e.check_equal(len(info["frames"]), 1, "frames")
    e2e.check_equal(len(info["textFields"]), 1, "text fields")


def test_a_field_typed_into_in_a_group_gets_no_handles_of_its_own(app):
    app.open({"frames": [{"bounds": [40, 60, 300, 180], "title": "A"},
                         {"bounds": [400, 60, 120, 80], "title": "B"}],
              "textFields": [{"bounds": [20, 50, 120, 24], "text": "abc", "parent": 1}]})
    app.click((100, 122))              # the field: selected, blue handles around it
    ctrl_click(app, (460, 100))        # B joins: a group of the two frames
    wait_for_group_line(app, (300, 55), "the group's bounds above the two frames")
    app.click((100, 122))              # into the field again, the group kept
    app.type(" and one more line of text")
    app.save()
    info = app.info()
    e2e.check_equal(info["textFields"][0]["text"], "abc and one more line of text", "the typed text")
    # The field is not the selected object: no blue handles or move bar of its own stand around
    # it on the screen (the group's own lines and marks are of another blue).
    fx, fy, fw, fh = bounds(info["textFields"][0])
    ax, ay = bounds(info["frames"][0])[:2]
    region = (ax + fx - 12, ay + fy - 20, fw + 24, fh + 32)
    x, y = app.screen(region[:2])
    app.desktop.xdotool("mousemove", e2e.SCREEN[0] - 1, e2e.SCREEN[1] - 1)
    _, _, rows = truth.grab(app, (x, y, region[2], region[3]))
    handle_colours = {(0x00, 0x80, 0xFF), (0xFF, 0x80, 0x40)}
    shown = sum(tuple(row[i:i + 3]) in handle_colours for row in rows for i in range(0, len(row), 3))
    e2e.check_equal(shown, 0, "pixels of handles around the field typed into")

if __name__ == "__main__":
    e2e.main(globals())
