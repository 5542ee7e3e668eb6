#!/bin/sh
# Installs every Debian package the build and the tests need, then prepares the
# Wine prefix inside the build tree. Safe to run again: it only does what is missing.
# Usage: tools/setup.sh [build-dir]   (default: ./build)
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$here/build"}

packages="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev
 libbenchmark-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
 wine wine64 xvfb xauth x11-utils fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine
 locales-all imagemagick python3 fp-utils iproute2 procps"
# The TLS tests make their throw-away certificates with openssl.
packages="$packages openssl"
# The reply-reading benchmark (tools/bench.sh) measures against a general XML
# parser; neither the program nor its tests link it.
packages="$packages libpugixml-dev"
# The release packages (release.sh) build their installers with makensis.
packages="$packages nsis"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done

if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    if [ "$(id -u)" = 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

"$here/tools/wineprefix.sh" "$build/wineprefix"
