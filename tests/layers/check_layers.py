#!/usr/bin/env python3
"""The program's folders include only their own layer and the ones below it.

From the bottom: platform; engine and ui; support; setup; sql; app and tools. A folder's
subfolders (platform/win32, ui/headless, tools/velkit, ...) belong to it. Every #include of a
source or header file is read, also inside #ifdef blocks, whether written with quotes or angle
brackets, from the repository root or relative to the file; an include naming a file of a higher
layer is a fault. Prints one line per fault and exits 1 when there is any.

usage: check_layers.py SOURCE_ROOT
"""
import os
import re
import sys

LAYERS = {
    "platform": 0,
    "engine": 1,
    "ui": 1,
    "support": 2,
    "setup": 3,
    "sql": 4,
    "app": 5,
    "tools": 5,
}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".c", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def layer_of(relative_path):
    """The layer folder of a path relative to the root, or None outside the layers."""
    parts = relative_path.replace("\\", "/").split("/")
    return parts[0] if parts and parts[0] in LAYERS else None


def included_file(root, including_dir, name):
    """The root-relative path an include names: relative to the including file when such a file
    exists there, else from the root (as the build's include path has it). None outside the root."""
    name = name.replace("\\", "/")
    beside = os.path.normpath(os.path.join(including_dir, name))
    if os.path.exists(beside):
        candidate = beside
    else:
        candidate = os.path.normpath(os.path.join(root, name))
    relative = os.path.relpath(candidate, root)
    if relative.startswith(".."):
        return None
    return relative.replace(os.sep, "/")


def faults(root):
    root = os.path.abspath(root)
    found = []
    for folder in sorted(LAYERS):
        top = os.path.join(root, folder)
        for directory, subdirs, files in os.walk(top):
            subdirs.sort()
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, file_name)
                source = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = included_file(root, directory, m.group(1))
                        target_layer = layer_of(target) if target else None
                        if target_layer and LAYERS[target_layer] > LAYERS[folder]:
                            found.append(f"{source}:{number}: {folder}/ includes {target}, "
                                         f"a file of the higher layer {target_layer}/")
    return found


def main(argv):
    if len(argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    if not os.path.isdir(argv[1]):
        print(f"no such folder: {argv[1]}", file=sys.stderr)
        return 2
    found = faults(argv[1])
    for line in found:
        print("FAULT " + line)
    if found:
        print(f"{len(found)} upward include(s)")
        return 1
    print("every folder includes only its own layer and the ones below it")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
