#!/usr/bin/env python3
"""Checks that the source folders depend one way, and that no header includes itself round.

    check_layers.py SOURCE_DIR

The layers, bottom up: platform (the desktop seams), base (shared services and the
models), the subsystems filelist, extract and output (which never include each other), the
widgets (gui) and the command line (cli), which never include each other, and on top the
window (app). A file may include files of its own folder and of the layers below it. Only gui
and app may include a Qt Widgets header: everything below them, and the command line, runs
without widgets. The tool (tool/) stands apart: it includes nothing of the program, and the
program nothing of it. Prints every offending include and every include cycle; exits 1 when
there is one.
"""

import os
import re
import sys

LAYER = {"platform": 0, "base": 1, "filelist": 2, "extract": 2, "output": 2, "gui": 3, "cli": 3,
         "app": 4}
PROGRAM = set(LAYER)
WITH_WIDGETS = {"gui", "app"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s+<([^>]+)>', re.MULTILINE)
# Where Qt keeps its headers, one folder per module.
QT_HEADERS = ("/usr/include/x86_64-linux-gnu/qt6", "/usr/include/qt6", "/usr/include/aarch64-linux-gnu/qt6")


def widget_headers() -> set[str]:
    """The names a file can include from Qt Widgets: <QWidget>, <QtWidgets/QWidget>, ..."""
    for root in QT_HEADERS:
        folder = os.path.join(root, "QtWidgets")
        if os.path.isdir(folder):
            names = set(os.listdir(folder))
            return names | {"QtWidgets/" + name for name in names} | {"QtWidgets"}
    return {"QtWidgets", "QWidget", "QDialog", "QApplication"}


def sources(root: str):
    for folder in sorted(PROGRAM | {"tool"}):
        base = os.path.join(root, folder)
        for directory, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    path = os.path.join(directory, name)
                    yield os.path.relpath(path, root)


def includes_of(root: str, path: str) -> tuple[list[str], list[str]]:
    with open(os.path.join(root, path), encoding="utf-8") as f:
        text = f.read()
    return INCLUDE.findall(text), SYSTEM_INCLUDE.findall(text)


def allowed(source_folder: str, included_folder: str) -> bool:
    if source_folder == included_folder:
        return True
    if "tool" in (source_folder, included_folder):
        return False
    if included_folder not in LAYER:
        return True  # a header of a library outside the project
    return LAYER[included_folder] < LAYER[source_folder]


def cycles(graph: dict[str, list[str]]) -> list[list[str]]:
    found, state, trail = [], {}, []

    def visit(node: str) -> None:
        state[node] = "open"
        trail.append(node)
        for target in graph.get(node, []):
            if state.get(target) == "open":
                found.append(trail[trail.index(target):] + [target])
            elif target not in state:
                visit(target)
        trail.pop()
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node)
    return found


def main() -> int:
    root = sys.argv[1]
    problems, graph, files = [], {}, 0
    widgets = widget_headers()
    for path in sources(root):
        files += 1
        folder = path.split(os.sep)[0]
        graph[path] = []
        local, system = includes_of(root, path)
        if folder in PROGRAM and folder not in WITH_WIDGETS:
            for header in system:
                if header in widgets:
                    problems.append(f"{path} includes the widget header <{header}>")
        for included in local:
            included_folder = included.split("/")[0]
            if not allowed(folder, included_folder):
                problems.append(f"{path} includes {included}")
            if os.path.exists(os.path.join(root, included)):
                graph[path].append(included)
    for cycle in cycles(graph):
        problems.append("include cycle: " + " -> ".join(cycle))
    for problem in problems:
        print("FAIL", problem)
    print(f"{files} source files checked, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
