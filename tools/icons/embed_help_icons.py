#!/usr/bin/env python3
"""Refreshes the tool-bar pictures inside help/index.html.

The help page has to stand alone (it is copied out of the program's resources
and opened in a browser), so every <img data-icon="NAME" ...> carries the
icon resources/icons/NAME.png inline as a data: URI.  Run this after the
icons have been redrawn.
"""

import base64
import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
PAGE = os.path.join(ROOT, "help", "index.html")
ICONS = os.path.join(ROOT, "resources", "icons")

IMG = re.compile(r'(<img data-icon="([a-z_]+)"[^>]*?src=")[^"]*(")')


def data_uri(name):
    with open(os.path.join(ICONS, name + ".png"), "rb") as f:
        return "data:image/png;base64," + base64.b64encode(f.read()).decode("ascii")


def main():
    with open(PAGE, encoding="utf-8") as f:
        text = f.read()
    text, count = IMG.subn(lambda m: m.group(1) + data_uri(m.group(2)) + m.group(3), text)
    with open(PAGE, "w", encoding="utf-8") as f:
        f.write(text)
    print("%d pictures embedded" % count)


if __name__ == "__main__":
    main()
