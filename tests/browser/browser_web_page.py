#!/usr/bin/env python3
"""The saved web page in a real browser: headless Chromium driven through its debugging protocol
(--remote-debugging-pipe, standard library only).

- The page drawn at the outline's own size matches the program's PNG export of the same outline.
- "Показ" and the show keys step through the reading order: after each key exactly the objects of
  the steps so far are visible; T shows the step's minimal text; Home, End, Left, Esc and clicks
  on the halves work.
- The page makes no request of its own, and its policy blocks one a script tries.
- A crafted outline (markup and script in every text) yields no element or script of its own.
- The show's other keys from the program's own table (Up/Down, B, W, N, a frame's number and
  Enter); the pen drawing with the mouse, its strokes kept with their step; the laser pointer
  leaving nothing behind.

Exits 77 (skipped) when Chromium is not installed.
"""
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

VELMAR = os.environ.get("VELMAR_BIN", "velmar")
MAKE_OUTLINE = os.environ.get("VELMAR_MAKE_OUTLINE", "e2e_make_outline")
ARTIFACTS = os.environ.get("VELMAR_BROWSER_ARTIFACTS")
BAR = 36  # the page's bar above the outline, in CSS pixels

# Anti-aliased text and smoothed picture edges differ between Qt's and the browser's rasterisers:
# a pixel counts as different when a channel is off by more than 64, and at most 2 % of the
# pixels may differ; the mean difference per channel must stay under 3 (of 255).
PIXEL_THRESHOLD = 64
MAX_DIFFERENT_SHARE = 0.02
MAX_MEAN_DIFFERENCE = 3.0

CRAFTED = "<script>window.hacked=1</script> \" ' & </svg></title><img src=x onerror=window.hacked=2>"


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def find_chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


# --- PNG -------------------------------------------------------------------------------------

def read_png(data):
    """Width, height and RGB rows of an 8-bit, non-interlaced RGB or RGBA PNG."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("not a PNG")
    pos, idat, width, height, colour = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                fail("unexpected PNG kind %d/%d/%d" % (depth, colour, interlace))
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = line
        if channels == 4:
            rgb = bytearray(width * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[0::4], line[1::4], line[2::4]
            rows.append(rgb)
        else:
            rows.append(line)
    return width, height, rows


def compare(reference, shot):
    (w1, h1, a), (w2, h2, b) = reference, shot
    if (w1, h1) != (w2, h2):
        fail("screenshot is %dx%d, the export %dx%d" % (w2, h2, w1, h1))
    different, total = 0, 0
    for row_a, row_b in zip(a, b):
        for x in range(w1):
            d = max(abs(row_a[3 * x + c] - row_b[3 * x + c]) for c in range(3))
            total += sum(abs(row_a[3 * x + c] - row_b[3 * x + c]) for c in range(3))
            if d > PIXEL_THRESHOLD:
                different += 1
    return different / float(w1 * h1), total / float(w1 * h1 * 3)


# --- the debugging protocol over a pipe ------------------------------------------------------

class Browser:
    def __init__(self, chromium, profile):
        to_browser_r, to_browser_w = os.pipe()
        from_browser_r, from_browser_w = os.pipe()
        def wire():
            # Chromium reads commands from descriptor 3 and writes replies to descriptor 4. Copies
            # above every open descriptor first, so that neither end overwrites the other.
            reading, writing = os.dup(to_browser_r), os.dup(from_browser_w)
            os.dup2(reading, 3)
            os.dup2(writing, 4)

        self.process = subprocess.Popen(
            [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--hide-scrollbars", "--user-data-dir=" + profile, "--remote-debugging-pipe", "about:blank"],
            preexec_fn=wire, pass_fds=(3, 4), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.out = os.fdopen(to_browser_w, "wb", buffering=0)
        self.inp = os.fdopen(from_browser_r, "rb", buffering=0)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        self.session = None

    def _read_message(self):
        while b"\0" not in self.buffer:
            chunk = self.inp.read(65536)
            if not chunk:
                fail("the browser closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, browser_level=False):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if self.session and not browser_level:
            message["sessionId"] = self.session
        self.out.write(json.dumps(message).encode() + b"\0")
        while True:
            reply = self._read_message()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    fail("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            self.events.append(reply)

    def wait_event(self, method):
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(i)
            self.events.append(self._read_message())

    def evaluate(self, expression, await_promise=False):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": await_promise})
        if "exceptionDetails" in result:
            fail("script error: %s" % result["exceptionDetails"])
        return result["result"].get("value")

    def key(self, key, code, key_code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code,
                                                 "windowsVirtualKeyCode": key_code})

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})

    def drag(self, start, end, steps=10):
        self.call("Input.dispatchMouseEvent", {"type": "mousePressed", "x": start[0], "y": start[1],
                                               "button": "left", "buttons": 1, "clickCount": 1})
        for i in range(1, steps + 1):
            self.mouse_to(start[0] + (end[0] - start[0]) * i / steps, start[1] + (end[1] - start[1]) * i / steps, 1)
        self.call("Input.dispatchMouseEvent", {"type": "mouseReleased", "x": end[0], "y": end[1], "button": "left",
                                               "buttons": 0, "clickCount": 1})

    def mouse_to(self, x, y, buttons=0):
        self.call("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y, "buttons": buttons,
                                               "button": "left" if buttons else "none"})

    def close(self):
        try:
            self.call("Browser.close", browser_level=True)
        except SystemExit:
            pass
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.process.kill()


def open_page(browser, path, width, height):
    target = browser.call("Target.createTarget", {"url": "about:blank"}, browser_level=True)["targetId"]
    browser.session = browser.call("Target.attachToTarget", {"targetId": target, "flatten": True},
                                   browser_level=True)["sessionId"]
    browser.call("Network.enable")
    browser.call("Page.enable")
    browser.call("Emulation.setDeviceMetricsOverride", {"width": width, "height": height,
                                                        "deviceScaleFactor": 1, "mobile": False})
    browser.call("Page.navigate", {"url": "file://" + path})
    browser.wait_event("Page.loadEventFired")


def screenshot(browser, clip, name):
    params = {"format": "png"}
    if clip:
        params["clip"] = dict(clip, scale=1)
    data = base64.b64decode(browser.call("Page.captureScreenshot", params)["data"])
    if ARTIFACTS:
        os.makedirs(ARTIFACTS, exist_ok=True)
        with open(os.path.join(ARTIFACTS, name), "wb") as f:
            f.write(data)
    return data


# The objects the browser lays out: a group hidden by the show has no boxes. (checkVisibility()
# does not see display: none inside SVG.)
VISIBLE = "Array.from(document.querySelectorAll('#outline [id][data-step]'))" \
          ".filter(function (g) { return g.getClientRects().length > 0; }).map(function (g) { return g.id; }).sort()"


def run(args, what):
    result = subprocess.run(args, capture_output=True, text=True, timeout=120)
    if result.returncode != 0:
        fail("%s: status %d, %s" % (what, result.returncode, result.stderr))


def make_outline(folder, name, description):
    path = os.path.join(folder, name + ".vmd")
    result = subprocess.run([MAKE_OUTLINE, path], input=json.dumps(description), capture_output=True, text=True)
    if result.returncode != 0:
        fail("outline not made: " + result.stderr)
    return path


def lesson(folder):
    # Two frames in reading order; each with a text field, then a picture; the arrow from the
    # first picture to the second appears with the second.
    return make_outline(folder, "lesson", {
        "name": "Урок", "window": [800, 600],
        "frames": [{"bounds": [10, 40, 360, 300], "title": "Первая", "minimal": "Рамка один"},
                   {"bounds": [400, 40, 360, 300], "title": "Вторая", "minimal": "Рамка два"}],
        "textFields": [{"bounds": [10, 30, 200, 40], "text": "Текст один", "parent": 1, "minimal": "Поле один"},
                       {"bounds": [10, 30, 200, 40], "text": "Текст два", "parent": 2,
                        "minimal": "Поле два\r\nвторая строка\r\nтретья строка"}],
        "pictures": [{"bounds": [220, 30, 120, 90], "parent": 1, "minimal": "Фото один"},
                     {"bounds": [220, 30, 120, 90], "parent": 2, "minimal": "Фото два"}],
        "arrows": [[290, 115, 680, 115]],
    })


EXPECTED_STEPS = [
    [],
    ["frame-1"],
    ["text-1"],
    ["picture-1"],
    ["frame-2"],
    ["text-2"],
    ["arrow-1", "picture-2"],
]
EXPECTED_TEXTS = ["", "Рамка один", "Поле один", "Фото один", "Рамка два", "Поле два\nвторая строка\nтретья строка",
                  "Фото два"]


def shown_until(step):
    return sorted(sum(EXPECTED_STEPS[:step + 1], []))


def check_lesson(chromium, folder):
    outline = lesson(folder)
    page = os.path.join(folder, "lesson.html")
    png = os.path.join(folder, "lesson.png")
    run([VELMAR, "--export", page, outline], "web page export")
    run([VELMAR, "--export", png, outline], "PNG export")
    with open(png, "rb") as f:
        reference = read_png(f.read())
    width, height = reference[0], reference[1]

    browser = Browser(chromium, os.path.join(folder, "profile"))
    try:
        open_page(browser, page, width, height + BAR)
        shot = read_png(screenshot(browser, {"x": 0, "y": BAR, "width": width, "height": height}, "lesson-outline.png"))
        share, mean = compare(reference, shot)
        print("screenshot against the export: %.2f %% of pixels differ, mean difference %.2f" % (100 * share, mean))
        if share > MAX_DIFFERENT_SHARE or mean > MAX_MEAN_DIFFERENCE:
            fail("the page's drawing differs from the exported picture")

        everything = sorted(sum(EXPECTED_STEPS, []))
        if browser.evaluate(VISIBLE) != everything:
            fail("the page does not open on the whole outline: %s" % browser.evaluate(VISIBLE))
        box = browser.evaluate("(function () { var r = document.getElementById('show').getBoundingClientRect();"
                               " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
        if browser.evaluate("document.getElementById('show').textContent") != "Показ":
            fail("no «Показ» button")
        browser.click(box[0], box[1])
        for step in range(len(EXPECTED_STEPS) + 1):
            expected = shown_until(min(step, len(EXPECTED_STEPS) - 1))
            visible = browser.evaluate(VISIBLE)
            if visible != expected:
                fail("step %d shows %s, expected %s" % (step, visible, expected))
            if step == 3:
                browser.key("t", "KeyT", 84)
                # Shown, and within the window: the outline makes room for it.
                shown = browser.evaluate("(function () { var s = document.getElementById('subtitle');"
                                         " var r = s.getBoundingClientRect();"
                                         " return s.checkVisibility() && r.height > 0 && r.bottom <= window.innerHeight"
                                         " ? s.textContent : null; })()")
                if shown != EXPECTED_TEXTS[3]:
                    fail("T shows %r at step 3" % shown)
                screenshot(browser, None, "lesson-step3-text.png")
            browser.key("ArrowRight", "ArrowRight", 39)
        browser.key("ArrowLeft", "ArrowLeft", 37)
        if browser.evaluate(VISIBLE) != shown_until(5):
            fail("Left does not go back a step")
        if browser.evaluate("document.getElementById('subtitle').textContent") != EXPECTED_TEXTS[5]:
            fail("the text does not follow the step")
        # A text of three lines shows whole: the strip holds every line, the outline above it.
        fits = browser.evaluate("(function () { var s = document.getElementById('subtitle');"
                                " var o = document.getElementById('outline').getBoundingClientRect();"
                                " var r = s.getBoundingClientRect();"
                                " return [s.scrollHeight <= s.clientHeight, o.bottom <= r.top + 1,"
                                " r.bottom <= window.innerHeight]; })()")
        if fits != [True, True, True]:
            fail("the three-line text is not shown whole (fits, above, within): %s" % fits)
        browser.key("Home", "Home", 36)
        if browser.evaluate(VISIBLE) != []:
            fail("Home does not go to the empty start")
        browser.key("End", "End", 35)
        if browser.evaluate(VISIBLE) != everything:
            fail("End does not go to the last step")
        # A tap or click on the outline's right half goes forward, on its left half back.
        box = browser.evaluate("(function () { var r = document.getElementById('outline').getBoundingClientRect();"
                               " return [r.left, r.top, r.width, r.height]; })()")
        browser.key("Home", "Home", 36)
        browser.click(box[0] + box[2] * 0.75, box[1] + box[3] / 2)
        browser.click(box[0] + box[2] * 0.75, box[1] + box[3] / 2)
        if browser.evaluate(VISIBLE) != shown_until(2):
            fail("clicks on the right half do not go forward")
        browser.click(box[0] + box[2] * 0.25, box[1] + box[3] / 2)
        if browser.evaluate(VISIBLE) != shown_until(1):
            fail("a click on the left half does not go back")
        browser.key("Escape", "Escape", 27)
        if browser.evaluate(VISIBLE) != everything or browser.evaluate("document.body.classList.contains('showing')"):
            fail("Esc does not go back to the whole outline")

        # No request but the page itself; a request a script tries is refused by the policy.
        violation = browser.evaluate(
            "new Promise(function (done) {"
            " document.addEventListener('securitypolicyviolation', function (e) { done(e.effectiveDirective); });"
            " fetch('http://127.0.0.1:9/').catch(function () {});"
            " setTimeout(function () { done('none'); }, 3000); })", await_promise=True)
        if violation != "connect-src":
            fail("a script's request was not refused by the page's policy: %s" % violation)
        requests = [e["params"]["request"]["url"] for e in browser.events if e.get("method") == "Network.requestWillBeSent"]
        foreign = [u for u in requests if not u.startswith("data:") and u != "file://" + page]
        if foreign:
            fail("the page made requests: %s" % foreign)
        print("requests: %s" % [u if u.startswith("file:") else u[:30] + "..." for u in requests])
    finally:
        browser.close()


def check_crafted(chromium, folder):
    outline = make_outline(folder, "crafted", {
        "name": "Урок " + CRAFTED, "window": [700, 500],
        "frames": [{"bounds": [10, 40, 400, 300], "title": "Рамка " + CRAFTED, "minimal": "Рамка " + CRAFTED}],
        "textFields": [{"bounds": [10, 30, 360, 80], "text": "Текст " + CRAFTED, "parent": 1,
                        "minimal": "Поле " + CRAFTED}],
        "pictures": [{"bounds": [10, 120, 100, 70], "parent": 1, "minimal": "Фото " + CRAFTED}],
        "videos": [{"bounds": [430, 60, 200, 150], "file": "/tmp/фильм " + CRAFTED + ".avi",
                    "minimal": "Фильм " + CRAFTED}],
    })
    page = os.path.join(folder, "crafted.html")
    run([VELMAR, "--export", page, outline], "crafted web page export")
    browser = Browser(chromium, os.path.join(folder, "profile-crafted"))
    try:
        open_page(browser, page, 700, 500)
        screenshot(browser, None, "crafted.png")
        tags = browser.evaluate("Array.from(new Set(Array.from(document.querySelectorAll('*'))"
                                ".map(function (e) { return e.localName; }))).sort()")
        allowed = {"html", "head", "meta", "title", "style", "body", "div", "button", "span", "main", "svg", "g",
                   "path", "rect", "polyline", "polygon", "line", "ellipse", "circle", "text", "tspan", "image",
                   "clippath", "clipPath", "defs", "lineargradient", "radialgradient", "stop", "p", "ol", "li",
                   "section", "h1", "br", "script"}
        foreign = [t for t in tags if t not in allowed]
        if foreign:
            fail("elements the outline did not make: %s" % foreign)
        if browser.evaluate("document.scripts.length") != 1:
            fail("more than the page's own script")
        handlers = browser.evaluate("Array.from(document.querySelectorAll('*')).filter(function (e) {"
                                    " return Array.from(e.attributes).some(function (a) { return /^on/i.test(a.name); }); }).length")
        if handlers:
            fail("%d elements carry event handlers" % handlers)
        if browser.evaluate("typeof window.hacked") != "undefined":
            fail("a crafted script ran")
        if browser.evaluate("document.title") != "Урок " + CRAFTED:
            fail("the title is not the outline's name as written")
        # The drawing breaks a text field's text into lines: compared without white space.
        for element, text in (("text-1", "Текст " + CRAFTED), ("frame-1", "Рамка " + CRAFTED),
                              ("summary", "Поле " + CRAFTED)):
            if not browser.evaluate("document.getElementById(%s).textContent.replace(/\\s+/g, '').indexOf(%s) >= 0"
                                    % (json.dumps(element), json.dumps("".join(text.split())))):
                fail("%r is not in %s as text" % (text, element))
        name = browser.evaluate("document.getElementById('picture-1').getAttribute('aria-label')")
        if name != "Фото " + CRAFTED:
            fail("the picture's accessible name is %r" % name)
    finally:
        browser.close()


def pixel(png, x, y):
    width, height, rows = read_png(png)
    x, y = int(x), int(y)
    return tuple(rows[y][3 * x:3 * x + 3])


def reddish(c):
    return c[0] > 150 and c[1] < 100 and c[2] < 100


def check_show_keys_and_pen(chromium, folder):
    outline = lesson(folder)
    page = os.path.join(folder, "lesson-keys.html")
    run([VELMAR, "--export", page, outline], "web page export")
    browser = Browser(chromium, os.path.join(folder, "profile-keys"))
    try:
        open_page(browser, page, 800, 600 + BAR)
        shown = lambda: browser.evaluate(VISIBLE)
        browser.key("ArrowDown", "ArrowDown", 40)
        if shown() != []:
            fail("Down does not start the show")
        browser.key("ArrowDown", "ArrowDown", 40)
        browser.key("ArrowDown", "ArrowDown", 40)
        if shown() != shown_until(2):
            fail("Down does not go forward: %s" % shown())
        browser.key("ArrowUp", "ArrowUp", 38)
        if shown() != shown_until(1):
            fail("Up does not go back: %s" % shown())
        # N shows the counter; a frame's number and Enter jump to that frame.
        browser.key("n", "KeyN", 78)
        counter = "(function () { var c = document.getElementById('counter');" \
                  " return c.getClientRects().length ? c.textContent : null; })()"
        if browser.evaluate(counter) != "1 / 6":
            fail("N shows %r" % browser.evaluate(counter))
        browser.key("2", "Digit2", 50)
        browser.key("Enter", "Enter", 13)
        if shown() != shown_until(4):
            fail("2 and Enter do not go to the second frame: %s" % shown())
        if browser.evaluate(counter) != "4 / 6":
            fail("the counter does not follow: %r" % browser.evaluate(counter))
        # B and W blank the page; the next step key only brings the outline back.
        for key, code, key_code, colour in (("b", "KeyB", 66, (0, 0, 0)), ("w", "KeyW", 87, (255, 255, 255))):
            browser.key(key, code, key_code)
            if pixel(screenshot(browser, None, "blank-%s.png" % key), 400, 300) != colour:
                fail("%s does not blank the page" % key.upper())
            browser.key("ArrowRight", "ArrowRight", 39)
            if shown() != shown_until(4) or browser.evaluate("document.getElementById('blank').hidden") is not True:
                fail("the step key after %s does not just bring the outline back" % key.upper())

        # The pen: a drag draws instead of stepping; the stroke stays with its step.
        browser.key("p", "KeyP", 80)
        a, b = (100, BAR + 500), (700, BAR + 500)
        browser.drag(a, b)
        if shown() != shown_until(4):
            fail("a drag with the pen changed the step")
        if browser.evaluate("document.querySelectorAll('#ink polyline').length") != 1:
            fail("the pen drew no stroke")
        if not reddish(pixel(screenshot(browser, None, "pen.png"), 400, BAR + 500)):
            fail("the stroke is not on the page")
        browser.key("ArrowRight", "ArrowRight", 39)
        if reddish(pixel(screenshot(browser, None, "pen-next.png"), 400, BAR + 500)):
            fail("the stroke shows on the next step")
        browser.key("ArrowLeft", "ArrowLeft", 37)
        if not reddish(pixel(screenshot(browser, None, "pen-back.png"), 400, BAR + 500)):
            fail("the stroke does not come back with its step")
        # Esc puts the pen down and leaves the show only when pressed again.
        browser.key("Escape", "Escape", 27)
        if shown() != shown_until(4):
            fail("Esc with the pen left the show")

        # The laser: a red dot under the pointer that leaves nothing where it was.
        browser.key("l", "KeyL", 76)
        spot = (400, BAR + 420)
        before = pixel(screenshot(browser, None, "laser-before.png"), *spot)
        browser.mouse_to(*spot)
        if not reddish(pixel(screenshot(browser, None, "laser.png"), *spot)):
            fail("no red dot under the pointer")
        browser.mouse_to(spot[0] - 200, spot[1] + 100)
        if pixel(screenshot(browser, None, "laser-away.png"), *spot) != before:
            fail("the laser left a mark")
        if browser.evaluate("document.querySelectorAll('#ink polyline').length") != 1:
            fail("the laser drew")
        browser.key("a", "KeyA", 65)
        browser.key("Escape", "Escape", 27)
        if browser.evaluate("document.body.classList.contains('showing')"):
            fail("Esc with the arrow does not leave the show")
    finally:
        browser.close()


def main():
    chromium = find_chromium()
    if not chromium:
        print("SKIPPED: chromium is not installed (the set-up installs Debian's chromium package)")
        return 77
    folder = tempfile.mkdtemp(prefix="velmar-web-")
    try:
        check_lesson(chromium, folder)
        check_crafted(chromium, folder)
        check_show_keys_and_pen(chromium, folder)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
