"""Checks that every source folder includes only its own library and the libraries it links.

The layers are stated once, by the link lines of src/CMakeLists.txt: each folder's library and
the libraries it links (directly or through others) are the folders it may include from. An
include of a header-only type from a layer above would still compile, so this check names every
such include with its file and line. The layer order written in words (the comment in
src/CMakeLists.txt and the README) is checked against the link lines too, so that none of them
can tell another story.
The libraries that run without any window (those velmar_core gathers, and the model, storage and
document layers whatever the link lines say) link no widget library, compile with no widget
precompiled header, and include no header of Qt's widget module (QT_WIDGETS_INCLUDE_DIR lists it).
Usage: check_layers.py SRC_DIR [README [QT_WIDGETS_INCLUDE_DIR]]
"""

import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>')
NAME = r"velmar_\w+"
# Qt modules that bring widgets with them.
WIDGET_MODULES = {"Qt6::Widgets", "Qt6::PrintSupport", "Qt6::SvgWidgets", "Qt6::MultimediaWidgets",
                  "Qt6::OpenGLWidgets"}
# Folders that must build without widgets even if their link lines were changed to allow them:
# the outline, its files and history, and the document commands are used by tests, the command
# line and the thumbnailer with no window at all.
HEADLESS_FOLDERS = {"model", "system", "storage", "document"}


def folders_of(patterns):
    """The source folders a list of CMake glob patterns takes its sources from."""
    return {str(pathlib.PurePosixPath(p).parent) for p in patterns.split() if p.endswith("*.cpp")}


def library_graph(cmake_text, with_qt=False):
    """Each library's source folders and the libraries it links, read from the CMake file (with
    with_qt, the Qt modules among them, and the library each takes its precompiled header from)."""
    text = re.sub(r"#[^\n]*", "", cmake_text)
    linked = r"(?:%s|Qt6::\w+)" % NAME if with_qt else NAME
    folders, links, pch = {"velmar_base": {"base"}}, {}, {}
    globs = {m.group(1): folders_of(m.group(2))
             for m in re.finditer(r"file\(GLOB\s+(\w+)\s+CONFIGURE_DEPENDS\s+([^)]*)\)", text)}
    for m in re.finditer(r"add_library\((%s)\s+STATIC\s+\$\{(\w+)\}\)" % NAME, text):
        folders[m.group(1)] = globs.get(m.group(2), set())
    for m in re.finditer(r"velmar_layer\((%s)\s+(\S+)\s+GLOBS\s+(.*?)\s+LINKS\s+(.*?)\)" % NAME, text, re.S):
        folders[m.group(1)] = folders_of(m.group(3))
        pch[m.group(1)] = m.group(2)
        links.setdefault(m.group(1), set()).update(re.findall(linked, m.group(4)))
    for m in re.finditer(r"target_link_libraries\((%s)\s+(?:PUBLIC|INTERFACE|PRIVATE)\s+([^)]*)\)" % NAME, text):
        links.setdefault(m.group(1), set()).update(re.findall(linked, m.group(2)))
    return (folders, links, pch) if with_qt else (folders, links)


def reached(library, links):
    """A library and everything it links, directly or through others."""
    found, todo = set(), [library]
    while todo:
        current = todo.pop()
        if current not in found:
            found.add(current)
            todo.extend(links.get(current, ()))
    return found


def allowed_includes(cmake_text):
    """Each folder and the folders it may include from: its library's and all those it links."""
    folders, links = library_graph(cmake_text)
    allowed = {}
    for library, own in folders.items():
        below = set().union(*(folders.get(r, set()) for r in reached(library, links)))
        for folder in own:
            allowed[folder] = below
    return allowed


def stated_order(text):
    """The layer order written in words ("base, model < storage < … < app"), as ranks."""
    words = re.sub(r"\s*#\s*", " ", text)
    match = re.search(r"\bbase, model((?:\s*[<,+]\s*[a-z/]+)+)", words)
    if not match:
        return None
    ranks = []
    for rank in ("base, model" + match.group(1)).split("<"):
        ranks.append({f.strip() for f in re.split(r"[,+]", rank) if f.strip()})
    return ranks


def order_problems(where, ranks, allowed):
    if ranks is None:
        return [f"{where}: states no layer order"]
    problems = []
    listed = set().union(*ranks)
    for folder in sorted(set(allowed) - listed):
        problems.append(f"{where}: the layer order leaves out {folder}")
    for n, rank in enumerate(ranks):
        later = set().union(*ranks[n + 1:]) if n + 1 < len(ranks) else set()
        for folder in rank:
            for above in sorted(allowed.get(folder, set()) & later):
                problems.append(f"{where}: {folder} is listed below {above}, which it links")
    return problems


def layer_of(relative_path, allowed):
    """The layer a path below src/ belongs to: the longest known folder prefix."""
    parts = pathlib.PurePosixPath(relative_path).parts[:-1]
    for n in range(len(parts), 0, -1):
        folder = "/".join(parts[:n])
        if folder in allowed:
            return folder
    return None


def violations(src, allowed):
    found = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        own = layer_of(relative, allowed)
        if own is None:
            found.append(f"{relative}: folder belongs to no layer")
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = layer_of(match.group(1), allowed)
            if target is None or target not in allowed[own]:
                found.append(f"{relative}:{number}: {own} includes {match.group(1)}")
    return found


def widget_problems(src, cmake_text, widget_headers):
    """Widgets reaching the libraries that run without a window: a widget library linked, the
    widget half's precompiled header, or an include of a widget module header."""
    folders, links, pch = library_graph(cmake_text, with_qt=True)
    headless = {lib for lib in links.get("velmar_core", ()) if lib in folders}
    headless |= {lib for lib, own in folders.items() if own & HEADLESS_FOLDERS}
    problems = []
    for folder in sorted(HEADLESS_FOLDERS - set().union(*folders.values())):
        problems.append(f"src/CMakeLists.txt: no library builds {folder}")
    for library in sorted(headless):
        below = reached(library, links)
        widgets = below & WIDGET_MODULES
        # and the libraries of ours that bring them
        widgets |= {r for r in below if r != library and links.get(r, set()) & WIDGET_MODULES}
        if widgets:
            problems.append(f"src/CMakeLists.txt: {library} runs without widgets but links {', '.join(sorted(widgets))}")
        if library in pch and pch[library] not in headless:
            problems.append(f"src/CMakeLists.txt: {library} takes the precompiled header of {pch[library]}")
    headless_folders = set().union(*(folders[lib] for lib in headless))
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(src).as_posix()
        if str(pathlib.PurePosixPath(relative).parent) not in headless_folders:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = SYSTEM_INCLUDE.match(line)
            if match and (match.group(1).split("/")[0] == "QtWidgets" or match.group(1) in widget_headers):
                problems.append(f"{relative}:{number}: a library without widgets includes <{match.group(1)}>")
    return problems


def main():
    src = pathlib.Path(sys.argv[1])
    cmake_text = (src / "CMakeLists.txt").read_text(encoding="utf-8")
    allowed = allowed_includes(cmake_text)
    found = order_problems("src/CMakeLists.txt", stated_order(cmake_text), allowed)
    if len(sys.argv) > 2:
        readme = pathlib.Path(sys.argv[2])
        found += order_problems(readme.name, stated_order(readme.read_text(encoding="utf-8")), allowed)
    found += violations(src, allowed)
    widget_dir = pathlib.Path(sys.argv[3]) if len(sys.argv) > 3 else None
    if widget_dir is not None and not widget_dir.is_dir():
        found.append(f"no widget module headers in {widget_dir}")
    widget_headers = {p.name for p in widget_dir.iterdir()} if widget_dir and widget_dir.is_dir() else set()
    found += widget_problems(src, cmake_text, widget_headers)
    for line in found:
        print(line)
    if not list(src.rglob("*.cpp")):
        print(f"no sources under {src}")
        return 1
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
