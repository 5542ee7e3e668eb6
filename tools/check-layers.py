#!/usr/bin/env python3
"""Checks the include rule of the source folders.

The folders form layers, lowest first:

    res, parse, framework, controls, net, search, details, app

res and parse stand apart at the bottom and include only themselves; every
other folder includes only itself and the folders before it, so no folder
includes one that depends on it.

Every #include, quoted or angled, is resolved to the file it names, looked up
in the including file's folder first and then in the source root, and the
folder of that file is judged: a relative path, a name without its folder and
an angled project header count alike. A quoted name that is neither a file of
the tree nor a header the build generates is reported as well.

Window-free code is what the libraries built in every preset compile (those a
folder's CMakeLists.txt adds outside if(WIN32): the *_core libraries and
parse's) together with every project file those sources include, however
deep. It includes no platform header (only the standard library's and the
build's generated headers) and nothing of res/.

Prints every include that breaks a rule, naming the rule, and exits 1; else
exits 0. Usage: tools/check-layers.py [source-root]
"""
import collections
import os
import pathlib
import re
import sys

LAYERS = ["res", "parse", "framework", "controls", "net", "search", "details", "app"]
# Layers that include nothing but themselves.
SELF_CONTAINED = {"res", "parse"}
SOURCE_SUFFIXES = {".h", ".hpp", ".inl", ".c", ".cc", ".cpp", ".rc"}
INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*([<"])([^>"\n]+)[>"]', re.MULTILINE)
CMAKE_COMMAND = re.compile(r"\b(\w+)\s*\(([^()]*)\)")
GENERATED_HEADER = re.compile(r"/generated/([\w.-]+\.h)\b")
LIBRARY_KEYWORDS = {"STATIC", "SHARED", "OBJECT", "MODULE", "INTERFACE", "EXCLUDE_FROM_ALL"}

STANDARD_HEADERS = set("""
    algorithm any array atomic bitset cassert cctype cerrno cfenv cfloat charconv chrono cinttypes
    climits clocale cmath codecvt complex condition_variable csetjmp csignal cstdarg cstddef cstdint
    cstdio cstdlib cstring ctime cuchar cwchar cwctype deque exception execution filesystem
    forward_list fstream functional future initializer_list iomanip ios iosfwd iostream istream
    iterator limits list locale map memory memory_resource mutex new numeric optional ostream queue
    random ratio regex scoped_allocator set shared_mutex sstream stack stdexcept streambuf string
    string_view system_error thread tuple type_traits typeindex typeinfo unordered_map unordered_set
    utility valarray variant vector
    assert.h ctype.h errno.h fenv.h float.h inttypes.h limits.h locale.h math.h setjmp.h signal.h
    stdarg.h stddef.h stdint.h stdio.h stdlib.h string.h time.h uchar.h wchar.h wctype.h
""".split())

CLOSING = {"<": ">", '"': '"'}

# An include as written, the name inside it, and the file of the tree it names (or None).
Include = collections.namedtuple("Include", "written name target")


def allowed_layers(layer):
    if layer in SELF_CONTAINED:
        return [layer]
    return LAYERS[: LAYERS.index(layer) + 1]


def relative(path):
    return path.relative_to(ROOT).as_posix()


def layer_of(path):
    return pathlib.PurePosixPath(relative(path)).parts[0]


def read(path):
    return path.read_text(encoding="utf-8", errors="replace")


def resolve(including, name):
    """The file of the tree that name names from including, or None."""
    for base in (including.parent, ROOT):
        candidate = pathlib.Path(os.path.normpath(base / name.replace("\\", "/")))
        if candidate.is_file() and ROOT in candidate.parents:
            return candidate
    return None


INCLUDES = {}


def includes(path):
    if path not in INCLUDES:
        INCLUDES[path] = [Include(opening + name + CLOSING[opening], name, resolve(path, name.strip()))
                          for opening, name in INCLUDE.findall(read(path))]
    return INCLUDES[path]


def cmake_files():
    files = [ROOT / "CMakeLists.txt"] + sorted((ROOT / "cmake").glob("*.cmake"))
    for layer in LAYERS:
        files += sorted((ROOT / layer).rglob("CMakeLists.txt"))
    return [path for path in files if path.is_file()]


def generated_headers():
    """Names of the headers the build writes into its generated folder."""
    names = set()
    for path in cmake_files():
        names.update(GENERATED_HEADER.findall(read(path)))
    return names


def portable_libraries(cmake):
    """(library, source) for every source of a library the file adds outside
    if(WIN32), in every preset. A return() inside if(NOT WIN32) makes the
    rest of the file Windows-only."""
    text = re.sub(r"#[^\n]*", "", read(cmake))
    blocks = []  # per open if(): "windows", "host" or None
    windows_rest = False
    found = []
    for command, arguments in CMAKE_COMMAND.findall(text):
        command = command.lower()
        condition = " ".join(arguments.split())
        if command == "if":
            blocks.append({"WIN32": "windows", "NOT WIN32": "host"}.get(condition))
        elif command == "else" and blocks:
            blocks[-1] = {"windows": "host", "host": "windows"}.get(blocks[-1])
        elif command == "endif" and blocks:
            blocks.pop()
        elif command == "return" and "host" in blocks:
            windows_rest = True
        elif command == "add_library" and not windows_rest and "windows" not in blocks:
            words = arguments.split()
            for word in words[1:]:
                source = library_source(cmake.parent, word)
                if source is not None:
                    found.append((words[0], source))
    return found


def library_source(folder, word):
    if word in LIBRARY_KEYWORDS:
        return None
    word = word.replace("${CMAKE_CURRENT_SOURCE_DIR}", str(folder))
    for variable in ("${PROJECT_SOURCE_DIR}", "${CMAKE_SOURCE_DIR}"):
        word = word.replace(variable, str(ROOT))
    if "$" in word:
        return None
    path = pathlib.Path(os.path.normpath(folder / word))
    return path if path.suffix in SOURCE_SUFFIXES and path.is_file() else None


def layer_faults(path, generated):
    faults = []
    layer = layer_of(path)
    allowed = allowed_layers(layer)
    for include in includes(path):
        if include.target is not None:
            target_layer = layer_of(include.target)
            if target_layer not in allowed:
                faults.append(f"{relative(path)}: {include.written} names {relative(include.target)}: "
                              f"{layer}/ may include only {', '.join(name + '/' for name in allowed)}")
        elif include.written.startswith('"') and os.path.basename(include.name) not in generated:
            faults.append(f"{relative(path)}: {include.written}: names no file of the source tree "
                          "and no generated header")
    return faults


def window_free_files():
    """Every window-free file, with how it was reached: (library, source, includer)."""
    reached = {}
    queue = collections.deque()
    for cmake in cmake_files():
        for library, source in portable_libraries(cmake):
            if source not in reached:
                reached[source] = (library, source, None)
                queue.append(source)
    while queue:
        path = queue.popleft()
        library, source, _ = reached[path]
        for include in includes(path):
            if include.target is not None and include.target not in reached:
                reached[include.target] = (library, source, path)
                queue.append(include.target)
    return reached


def window_free_faults(generated):
    faults = []
    for path, (library, source, includer) in sorted(window_free_files().items()):
        if includer is None:
            how = f"{relative(path)} is a source of {library}"
        elif includer == source:
            how = f"{relative(path)} is included by {relative(source)} of {library}"
        else:
            how = f"{relative(path)} is included by {relative(includer)}, reached from {relative(source)} of {library}"
        for include in includes(path):
            if include.target is not None and layer_of(include.target) == "res":
                faults.append(f"{relative(path)}: {include.written}: window-free code includes nothing of res/ "
                              f"({how})")
            elif (include.target is None and include.written.startswith("<")
                  and include.name not in STANDARD_HEADERS and os.path.basename(include.name) not in generated):
                faults.append(f"{relative(path)}: {include.written}: window-free code includes no platform "
                              f"header ({how})")
    return faults


def check():
    generated = generated_headers()
    faults = []
    for layer in LAYERS:
        for path in sorted((ROOT / layer).rglob("*")):
            if path.suffix in SOURCE_SUFFIXES and path.is_file():
                faults += layer_faults(path, generated)
    return faults + window_free_faults(generated)


ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent).resolve()

if __name__ == "__main__":
    found = check()
    for fault in found:
        print(f"check-layers: {fault}")
    sys.exit(1 if found else 0)
