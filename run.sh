#!/bin/bash
# Sets up a Debian machine, builds QX Frontend and says what can run yet.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build=${QX_BUILD:-$root/build}
mkdir -p "$build"; build=$(cd "$build" && pwd)

tools/setup.sh "$build"
for preset in win64 win32; do
    cmake --preset "$preset" -B "$build/$preset" >/dev/null
    cmake --build "$build/$preset" -j "$(nproc)"
done

cat <<MSG

Built: the x86_64 and i686 Windows builds in $build/win64 and $build/win32.
The program itself is not assembled yet; what runs today:
  ./test.sh                          every test suite (native, fuzzing, Windows under Wine)
  python3 localweb/server.py         the local web service on 127.0.0.1:48230 (once present)
MSG
