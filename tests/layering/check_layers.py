"""Checks that every source folder includes only its own folder and the layers below it.

The libraries of src/ are linked in layers, but an include of a header-only type from a layer
above would still compile; this check names every such include with its file and line.
Usage: check_layers.py SRC_DIR
"""

import pathlib
import re
import sys

# Each folder and the folders it may include from (besides itself).
BELOW = {
    "base": set(),
    "model": {"base"},
    "platform/core": {"base"},
    "storage": {"base", "model", "platform/core"},
    "paint/core": {"base", "model", "platform/core", "storage", "paint/tools"},
    "paint/tools": {"base", "model", "platform/core", "storage", "paint/core"},
    "platform": {"base", "model", "platform/core"},
    "canvas": {"base", "model", "platform/core", "storage", "platform"},
    "view": {"base", "model", "platform/core", "storage", "platform", "canvas"},
    "paint": {"base", "model", "platform/core", "storage", "platform", "paint/core", "paint/tools"},
    "app": {"base", "model", "platform/core", "storage", "platform", "canvas", "view", "paint",
            "paint/core", "paint/tools"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(relative_path):
    """The layer a path below src/ belongs to: the longest known folder prefix."""
    parts = pathlib.PurePosixPath(relative_path).parts[:-1]
    for n in range(len(parts), 0, -1):
        folder = "/".join(parts[:n])
        if folder in BELOW:
            return folder
    return None


def violations(src):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        own = layer_of(relative)
        if own is None:
            found.append(f"{relative}: folder belongs to no layer")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = layer_of(match.group(1))
            if target is None or (target != own and target not in BELOW[own]):
                found.append(f"{relative}:{number}: {own} includes {match.group(1)}")
    return found


def main():
    src = pathlib.Path(sys.argv[1])
    found = violations(src)
    for line in found:
        print(line)
    if not list(src.rglob("*.cpp")):
        print(f"no sources under {src}")
        return 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
