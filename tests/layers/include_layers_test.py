#!/usr/bin/env python3
"""Holds the product's #include lines to the layers docs/design.md lists.

The "Layers" section of docs/design.md is a table, one row a layer from the
bottom up: the layer's folder, what it is, and the folders it may include
from. This test reads that table and then every product source (everything
outside tests/, scripts/ and build folders), and fails on:
- a row whose list names a folder that is not below it (the order runs up);
- a source file in no layer's folder;
- an #include "..." of a folder the file's layer may not include from, or of
  anything under tests/;
- a window system's or video library's own header outside the one folder
  that stands on it.
Each failure names the file and the line.

Usage: include_layers_test.py SOURCE_DIR
"""
import os
import re
import sys

# The folder each system's headers belong to: nowhere else includes them.
SYSTEM_HEADERS = [
    (re.compile(r"^(X11|xcb)/"), "platform/x11/"),
    (re.compile(r"^(windows|d3d9|dinput|commctrl|objbase|winver)\.h$"), "platform/win32/"),
    (re.compile(r"^emscripten"), "platform/web/"),
    (re.compile(r"^lib(avcodec|avformat|avutil|swscale)/"), "video/"),
]
GENERATED = {"vivuvev_version.h"}
SOURCE_SUFFIXES = (".cpp", ".h", ".c", ".rc")
NOT_PRODUCT = ("tests/", "scripts/", "build", ".git/")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
ROW = re.compile(r"^\|\s*`([^`]+/)`\s*\|[^|]*\|([^|]*)\|\s*$")


def read_layers(design_path):
    """The table's rows as (folder, folders it may include), bottom first."""
    layers, problems = [], []
    in_section = False
    with open(design_path, encoding="utf-8") as design:
        for number, line in enumerate(design, 1):
            if line.startswith("## "):
                in_section = line.strip() == "## Layers"
                continue
            match = ROW.match(line) if in_section else None
            if not match:
                continue
            folder = match.group(1)
            allowed = re.findall(r"`([^`]+/)`", match.group(2))
            below = {name for name, _ in layers}
            for name in allowed:
                if name not in below:
                    problems.append(f"docs/design.md:{number}: {folder} may include {name}, "
                                    "which is not below it")
            layers.append((folder, set(allowed)))
    if not layers:
        problems.append("docs/design.md: no table of layers under '## Layers'")
    return layers, problems


def layer_of(path, folders):
    """The longest layer folder that holds path, or None."""
    holding = [folder for folder in folders if path.startswith(folder)]
    return max(holding, key=len) if holding else None


def product_sources(root):
    for directory, subdirectories, files in os.walk(root):
        relative = os.path.relpath(directory, root)
        relative = "" if relative == "." else relative.replace(os.sep, "/") + "/"
        subdirectories[:] = sorted(d for d in subdirectories
                                   if not (relative + d + "/").startswith(NOT_PRODUCT))
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield relative + name


def check_file(root, path, layers, problems):
    folders = [folder for folder, _ in layers]
    own = layer_of(path, folders)
    if own is None:
        problems.append(f"{path}: in no layer of docs/design.md")
        return
    allowed = dict(layers)[own]
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, header = match.groups()
            where = f"{path}:{number}: #include {kind}{header}{'>' if kind == '<' else kind}"
            if kind == "<":
                for pattern, home in SYSTEM_HEADERS:
                    if pattern.search(header) and not path.startswith(home):
                        problems.append(f"{where}: only {home} may include it")
                continue
            if header in GENERATED:
                continue
            if header.startswith("tests/"):
                problems.append(f"{where}: the product never includes from tests/")
                continue
            target = layer_of(header, folders)
            if target is None:
                problems.append(f"{where}: in no layer of docs/design.md")
            elif target != own and target not in allowed:
                problems.append(f"{where}: {own} may not include from {target}")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    layers, problems = read_layers(os.path.join(root, "docs", "design.md"))
    count = 0
    for path in product_sources(root):
        check_file(root, path, layers, problems)
        count += 1
    for problem in problems:
        print(problem)
    print(f"{count} sources in {len(layers)} layers: {len(problems)} problems")
    return 1 if problems or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
