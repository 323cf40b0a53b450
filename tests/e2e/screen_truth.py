"""Screen truth for the graphic editor: what the X screen shows of the picture, read back with an X
screenshot, against the picture the editor holds.

With VELMAR_REPORT_PICTURE=<folder> the editor prints after every change a block of lines:

    paint state tool=5 zoom=1 undo=2/2 size=300x200 piece=0 front=#000000 back=#ffffff tolerance=0
    paint mask X Y W H                  something drawn over the picture (a handle, a frame)
    paint piece X Y TRANSPARENT PATH    the floating piece, X Y from the view's corner
    paint view N X Y W H zoom Z offset OX OY file PATH [sampled]
    paint thumb h|v X Y W H track TX TY TW TH   a scroll bar's thumb and its track, on the screen

where X Y W H is the screen rectangle showing the picture, OX OY the point of the zoomed picture
shown at its corner, and PATH a PPM file of the picture pixels under it (at zoom 1). Each screen
pixel (i, j) of the rectangle must show picture pixel ((OX + i) div Z, (OY + j) div Z) (less the
file's corner, OX div Z, OY div Z), or the floating piece's pixel where the piece lies. Below 1x
Z is a fraction U/D and the view is "sampled": PATH holds, for each screen pixel, the average of
the picture pixels x from (OX + i) * D div U up to (OX + i + 1) * D div U (at least one) and y
likewise, and the piece's file likewise.
"""

import ctypes
import ctypes.util
import os
import shutil

import velmar_e2e as e2e


def read_ppm(data):
    """(width, height, rows of RGB bytes) of a binary PPM."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    e2e.check(fields[0] == b"P6", f"not a binary PPM: {fields[0]!r}")
    width, height, maximum = int(fields[1]), int(fields[2]), int(fields[3])
    e2e.check(maximum == 255, f"PPM of depth {maximum}")
    rows = [data[pos + y * width * 3: pos + (y + 1) * width * 3] for y in range(height)]
    return width, height, rows


def parse_state(line):
    return dict(field.split("=", 1) for field in line.split()[2:])


class Block:
    """One report of the editor: its state and, when the picture can be seen, its view."""

    def __init__(self, state):
        self.state = state
        self.masks = []
        self.piece = None
        self.view = None
        self.thumbs = []


def blocks(app, since=0):
    found = []
    for line in app.lines()[since:]:
        if line.startswith("paint state "):
            found.append(Block(parse_state(line)))
        elif not found:
            continue
        elif line.startswith("paint mask "):
            found[-1].masks.append(tuple(int(v) for v in line.split()[2:6]))
        elif line.startswith("paint piece "):
            parts = line.split()
            found[-1].piece = (int(parts[2]), int(parts[3]), parts[4], parts[5])
        elif line.startswith("paint thumb "):
            parts = line.split()
            found[-1].thumbs.append({"orientation": parts[2], "rect": tuple(int(v) for v in parts[3:7]),
                                     "track": tuple(int(v) for v in parts[8:12])})
        elif line.startswith("paint view "):
            parts = line.split()
            sampled = len(parts) > 14 and parts[14] == "sampled"
            found[-1].view = {"n": int(parts[2]), "rect": tuple(int(v) for v in parts[3:7]),
                              "zoom": 1 if sampled else int(parts[8]), "scale": parts[8],
                              "offset": (0, 0) if sampled else (int(parts[10]), int(parts[11])),
                              "control_offset": (int(parts[10]), int(parts[11])),
                              "file": parts[13], "sampled": sampled}
    return found


def wait_block(app, since, condition=lambda state: True, what="the editor's report"):
    """The latest report after lines()[:since], once one of them satisfies condition(state)."""
    def ready():
        app.check_alive()
        found = blocks(app, since)
        if any(condition(b.state) for b in found):
            return found[-1]
        return None
    return e2e.wait_for(ready, what, 15)


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


_x11 = None
_displays = {}


def _root_image(display, rect):
    """RGB rows of a rectangle of the root window, read with XGetImage (as import does, without
    starting a program for every look)."""
    global _x11
    if _x11 is None:
        _x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        _x11.XOpenDisplay.restype = ctypes.c_void_p
        _x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        _x11.XDefaultRootWindow.restype = ctypes.c_ulong
        _x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        _x11.XGetImage.restype = ctypes.POINTER(_XImage)
        _x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                   ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        _x11.XFree.argtypes = [ctypes.c_void_p]
    if display not in _displays:
        connection = _x11.XOpenDisplay(display.encode())
        e2e.check(connection, f"cannot open the display {display}")
        _displays[display] = connection
    connection = _displays[display]
    x, y, w, h = rect
    image = _x11.XGetImage(connection, _x11.XDefaultRootWindow(connection), x, y, w, h, 0xFFFFFFFF, 2)
    e2e.check(bool(image), "XGetImage failed")
    try:
        info = image.contents
        e2e.check(info.bits_per_pixel == 32 and info.byte_order == 0, "the screen is not 32-bit LSB first")
        data = ctypes.string_at(info.data, info.bytes_per_line * h)
        rows = []
        for j in range(h):
            line = data[j * info.bytes_per_line: j * info.bytes_per_line + 4 * w]
            rgb = bytearray(3 * w)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(bytes(rgb))
        return w, h, rows
    finally:
        _x11.XFree(ctypes.cast(image, ctypes.c_void_p))


def grab(app, rect):
    return _root_image(app.desktop.display, rect)


def expected_rows(block):
    """What the view's rectangle should show, row by row, and which of its pixels to skip."""
    view = block.view
    with open(view["file"], "rb") as f:
        _, _, picture = read_ppm(f.read())
    x0, y0, w, h = view["rect"]
    z = view["zoom"]
    ox, oy = view["offset"]
    # Each picture row shown, widened to zoom x zoom blocks, serves the zoom screen rows showing it.
    first, last = ox // z, (ox + w - 1) // z
    widened = {}
    rows = []
    for j in range(h):
        p = (oy + j) // z - oy // z
        if p not in widened:
            source = picture[p]
            blocks_ = b"".join(source[3 * q: 3 * q + 3] * z for q in range(0, last - first + 1))
            widened[p] = blocks_[3 * (ox % z): 3 * (ox % z + w)]
        rows.append(bytearray(widened[p]))
    if block.piece:
        px, py, transparent, path = block.piece
        with open(path, "rb") as f:
            pw, ph, piece = read_ppm(f.read())
        clear = None if transparent == "-" else bytes.fromhex(transparent[1:])
        for j in range(max(0, py), min(h, py + ph * z)):
            for i in range(max(0, px), min(w, px + pw * z)):
                colour = piece[(j - py) // z][3 * ((i - px) // z): 3 * ((i - px) // z) + 3]
                if colour != clear:
                    rows[j][3 * i: 3 * i + 3] = colour
    skipped = [(mx - x0, my - y0, mw, mh) for mx, my, mw, mh in block.masks]
    return rows, skipped


def differences(block, shot, limit=5):
    rows, skipped = expected_rows(block)
    _, _, shown = shot
    wrong, examples = 0, []
    for j, (want, got) in enumerate(zip(rows, shown)):
        if want == got:
            continue
        for i in range(len(want) // 3):
            if want[3 * i: 3 * i + 3] == got[3 * i: 3 * i + 3]:
                continue
            if any(mx <= i < mx + mw and my <= j < my + mh for mx, my, mw, mh in skipped):
                continue
            wrong += 1
            if len(examples) < limit:
                examples.append(((i, j), tuple(got[3 * i: 3 * i + 3]), tuple(want[3 * i: 3 * i + 3])))
    return wrong, examples


def check_screen(app, block, what, timeout=15.0):
    """Waits until the screen shows the reported picture; fails, keeping both images, if it
    still shows something else after `timeout` seconds (a screen left stale never catches up; a
    loaded machine only paints late)."""
    e2e.check(block.view is not None, f"{what}: the picture cannot be seen")
    found = [0, []]

    def shown():
        found[:] = differences(block, grab(app, block.view["rect"]))
        return found[0] == 0

    try:
        e2e.wait_for(shown, what, timeout, interval=0.1)
    except e2e.TestFailure:
        artifacts = os.environ.get("VELMAR_E2E_ARTIFACTS")
        if artifacts:
            os.makedirs(artifacts, exist_ok=True)
            shutil.copy(block.view["file"], os.path.join(artifacts, "expected-%s.ppm" % what.replace("/", "-")))
        raise e2e.TestFailure(
            f"{what}: the screen does not show the picture at zoom {block.view['zoom']}: {found[0]} pixels "
            f"differ, e.g. (view point, shown, held) {found[1]}")
    check_thumbs(app, block, what, timeout)


# The scroll bars' colours: the light and dark edges of a raised button or thumb, the face of a
# button held down, and the track.
LIGHT, DARK, FACE, TRACK = (255, 255, 255), (0, 0, 0), (192, 192, 192), (224, 224, 224)


def thumb_differences(app, thumb):
    """What the screen shows wrong of one reported thumb: its raised edges where the report puts
    them, and bare track next to it (a thumb left where it was before shows there)."""
    x, y, w, h = thumb["rect"]
    tx, ty, tw, th = thumb["track"]
    _, _, rows = grab(app, (tx, ty, tw, th))

    def pixel(px, py):
        row = rows[py - ty]
        return tuple(row[3 * (px - tx): 3 * (px - tx) + 3])

    horizontal = thumb["orientation"] == "h"
    wanted = [((x + 1, y + 1), LIGHT), ((x + w - 1, y + h - 1), DARK)]
    # The track just before and just after the thumb, where it has any, along the middle line.
    if horizontal:
        middle = y + h // 2
        wanted += [((px, middle), TRACK) for px in (x - 1, x + w) if tx <= px < tx + tw]
    else:
        middle = x + w // 2
        wanted += [((middle, py), TRACK) for py in (y - 1, y + h) if ty <= py < ty + th]
    return [(point, pixel(*point), colour) for point, colour in wanted if pixel(*point) != colour]


def check_thumbs(app, block, what, timeout=15.0):
    """Waits until the screen shows each scroll bar's thumb where the editor reports it."""
    wrong = []

    def shown():
        wrong[:] = [d for thumb in block.thumbs for d in thumb_differences(app, thumb)]
        return not wrong

    try:
        e2e.wait_for(shown, what, timeout, interval=0.1)
    except e2e.TestFailure:
        raise e2e.TestFailure(f"{what}: the scroll bars do not show their thumbs where they are: "
                              f"(point, shown, wanted) {wrong}")
