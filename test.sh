#!/bin/bash
# Sets up a Debian machine, builds all presets and runs every test suite.
# Exits non-zero on any failure. QX_BUILD chooses the build root (default ./build).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build=${QX_BUILD:-$root/build}
mkdir -p "$build"; build=$(cd "$build" && pwd)
jobs=$(nproc)

started=$SECONDS
step() { printf '\n=== [%4ds] %s\n' "$((SECONDS - started))" "$*"; }

step "set-up"
tools/setup.sh "$build"

step "include rule of the source folders"
python3 tools/check-layers.py

for preset in host fuzz win32 win64; do
    step "build $preset"
    cmake --preset "$preset" -B "$build/$preset" >/dev/null
    cmake --build "$build/$preset" -j "$jobs"
done

step "native tests (core, localweb)"
ctest --test-dir "$build/host" --output-on-failure -j "$jobs"

step "fuzzing (fuzz)"
ctest --test-dir "$build/fuzz" --output-on-failure -L fuzz

step "Windows tests under Wine (wine, e2e)"
tools/winesession.sh start "$build/wineprefix"
trap 'tools/winesession.sh stop "$build/wineprefix"' EXIT
ctest --test-dir "$build/win64" --output-on-failure

step "all test suites passed"
