#!/usr/bin/env python3
"""Checks the include rule of the source folders.

The folders form layers, lowest first:

    res, parse, framework, controls, net, search, details, app

A folder includes only itself and the folders below it, so no folder includes
one that depends on it. The window-free files of a folder (the sources of its
*_core library, all of parse, and their headers) include no window code: no
<windows.h> or other window system header, and no header of the project that
does, res/resource.h among them.

Prints every include that breaks the rule and exits 1, else exits 0.
Usage: tools/check-layers.py [source-root]
"""
import functools
import pathlib
import re
import sys

LAYERS = ["res", "parse", "framework", "controls", "net", "search", "details", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
WINDOW_SYSTEM_HEADERS = {"windows.h", "commctrl.h", "wininet.h", "ole2.h", "olectl.h", "shlwapi.h", "imm.h",
                         "shellapi.h", "objbase.h"}


def includes(path):
    return INCLUDE.findall(path.read_text(encoding="utf-8")) if path.exists() else []


@functools.lru_cache(maxsize=None)
def is_window_code(path):
    """True when the file includes a window system header, or a project header that is window code."""
    for kind, name in includes(path):
        if kind == "<" and name.lower() in WINDOW_SYSTEM_HEADERS:
            return True
        if kind == '"' and name.split("/")[0] in LAYERS and (name == "res/resource.h" or is_window_code(ROOT / name)):
            return True
    return False


def window_free_stems(folder):
    """Names of the sources of the folder's window-free library."""
    cmake = ROOT / folder / "CMakeLists.txt"
    text = cmake.read_text(encoding="utf-8") if cmake.exists() else ""
    stems = set()
    for match in re.finditer(r"add_library\((qx_\w+) STATIC([^)]*)\)", text):
        if match.group(1).endswith("_core") or match.group(1) == "qx_parse":
            stems.update(pathlib.Path(n).stem for n in match.group(2).split())
    return stems


def check():
    faults = []
    for folder in LAYERS:
        allowed = LAYERS[: LAYERS.index(folder) + 1]
        window_free = window_free_stems(folder)
        for path in sorted((ROOT / folder).glob("*.[ch]*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            where = path.relative_to(ROOT)
            for kind, name in includes(path):
                included = name.split("/")[0]
                if kind == '"' and included in LAYERS and included not in allowed:
                    faults.append(f'{where}: "{name}": {folder}/ may include only {", ".join(allowed)}')
            if path.stem in window_free and is_window_code(path):
                faults.append(f"{where}: window-free code that includes window code")
    return faults


ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent).resolve()

if __name__ == "__main__":
    found = check()
    for fault in found:
        print(f"check-layers: {fault}")
    sys.exit(1 if found else 0)
