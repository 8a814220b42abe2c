#!/usr/bin/env python3
"""Fails, naming file and line, when a layer includes what it does not stand on.

    check_layers.py SOURCE_ROOT [QT_INCLUDE_ROOT]

Every source and header of the libraries below the windows is read. A project include
must name a file of the layer itself or of a layer it stands on (the table below, which
mirrors the libraries' links in CMake); no file below the windows includes a Qt Widgets
header, and only the metafile player includes Qt Gui. The Qt header names come from the
installed Qt include folders when QT_INCLUDE_ROOT is given (the folder holding QtGui/
and QtWidgets/), else from the module prefixes alone.
"""

import os
import re
import sys

# Each layer and the layers it includes directly; a layer also reaches what those stand
# on. ui and app are not checked, only named so that an include of them is recognised.
STANDS_ON = {
    "files": [],
    "settings": ["files"],
    "raster": [],
    "metafile": ["raster"],
    "imaging": ["metafile", "raster", "files"],
    "engine": ["imaging", "settings", "files"],
    "gallery": ["settings", "files"],
    "ui": [],
    "app": [],
}
CHECKED = ["files", "settings", "raster", "metafile", "imaging", "engine", "gallery"]
GUI_ALLOWED = {"metafile"}

# The imaging folder holds three libraries: these files form the lowest one.
RASTER_FILES = {
    "imaging/Raster.h",
    "imaging/Raster.cpp",
    "imaging/PictureError.h",
    "imaging/ByteReader.h",
    "imaging/DibCore.h",
    "imaging/DibCore.cpp",
}

WIDGET_MODULES = ("QtWidgets", "QtOpenGLWidgets", "QtPrintSupport", "QtSvgWidgets")
GUI_MODULES = ("QtGui", "QtOpenGL", "QtSvg")

SOURCE_ENDINGS = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def layer_of(relative):
    """The layer of a project file (path relative to the source root), or None."""
    if relative in RASTER_FILES:
        return "raster"
    if relative.startswith("imaging/metafile/"):
        return "metafile"
    top = relative.split("/", 1)[0]
    return top if top in STANDS_ON else None


def reachable(layer):
    seen, todo = {layer}, [layer]
    while todo:
        for below in STANDS_ON[todo.pop()]:
            if below not in seen:
                seen.add(below)
                todo.append(below)
    return seen


def module_headers(qt_root, modules):
    """Names that include a header of these Qt modules: <QWidget>, <qwidget.h>."""
    names = set()
    for module in modules:
        folder = os.path.join(qt_root, module) if qt_root else None
        if folder and os.path.isdir(folder):
            names.update(n for n in os.listdir(folder) if n != module)
    return names


def qt_module(header, widget_names, gui_names):
    """'widgets', 'gui' or None for the header named in an angle-bracket include."""
    first = header.split("/", 1)[0]
    if first in WIDGET_MODULES:
        return "widgets"
    if first in GUI_MODULES:
        return "gui"
    if header in widget_names:
        return "widgets"
    if header in gui_names:
        return "gui"
    return None


def resolve(root, including, name):
    """The project file a quoted include names, as the compiler would find it: beside
    the including file, then from the source root. None for a file outside the project."""
    for base in (os.path.dirname(including), ""):
        candidate = os.path.normpath(os.path.join(base, name))
        if not candidate.startswith("..") and os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def check(root, qt_root=None):
    widget_names = module_headers(qt_root, WIDGET_MODULES)
    # A name in both modules (Qt 6 moved classes such as QAction to Gui) is a Gui header.
    gui_names = module_headers(qt_root, GUI_MODULES)
    widget_names -= gui_names
    faults = []
    for top in ("files", "settings", "imaging", "engine", "gallery", "ui", "app"):
        for folder, _, names in sorted(os.walk(os.path.join(root, top))):
            for name in sorted(names):
                if not name.endswith(SOURCE_ENDINGS):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                layer = layer_of(relative)
                allowed = reachable(layer)
                with open(path, encoding="utf-8", errors="replace") as source:
                    for number, line in enumerate(source, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        bracket, header = match.groups()
                        where = f"{relative}:{number}"
                        if bracket == '"':
                            target = resolve(root, relative, header)
                            if target and target != header:
                                faults.append(f'{where}: include "{target}" from the '
                                              f"source root, not as \"{header}\"")
                            if layer not in CHECKED:
                                continue
                            target_layer = layer_of(target) if target else None
                            if target_layer and target_layer not in allowed:
                                faults.append(f"{where}: layer {layer} includes "
                                              f"{target} of layer {target_layer}")
                            continue
                        if layer not in CHECKED:
                            continue
                        module = qt_module(header, widget_names, gui_names)
                        if module == "widgets":
                            faults.append(f"{where}: layer {layer} includes the Qt Widgets "
                                          f"header <{header}>; only ui and app may")
                        elif module == "gui" and layer not in GUI_ALLOWED:
                            faults.append(f"{where}: layer {layer} includes the Qt Gui "
                                          f"header <{header}>; below ui only metafile may")
    return faults


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    qt_root = argv[2] if len(argv) == 3 else None
    if qt_root and not os.path.isdir(os.path.join(qt_root, "QtGui")):
        print(f"{qt_root} holds no QtGui folder", file=sys.stderr)
        return 2
    faults = check(argv[1], qt_root)
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} include(s) break the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
