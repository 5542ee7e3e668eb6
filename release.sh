#!/bin/bash
# Sets up a Debian machine, builds the program for x86 (win32 preset) and x64
# (win64 preset) and puts the release packages into dist/:
#   qx-frontend-<version>-<arch>.zip        program, help file, read-me
#   qx-frontend-<version>-<arch>-setup.exe  installer of the same files
# <version> is the project version in CMakeLists.txt, the one the program's
# version resource carries. QX_BUILD chooses the build root (default ./build).
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build=${QX_BUILD:-$root/build}
mkdir -p "$build"; build=$(cd "$build" && pwd)
dist=$root/dist

version=$(sed -n 's/^project(QxFrontend VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "release: no 'project(QxFrontend VERSION x.y.z' in CMakeLists.txt" >&2
    exit 1
fi
# The zip entries carry the time of the last commit, so a commit always packs
# to the same bytes.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
    export SOURCE_DATE_EPOCH=$epoch
fi

tools/setup.sh "$build"

packages=()
for preset in win32 win64; do
    case $preset in win32) arch=x86 ;; win64) arch=x64 ;; esac
    echo "=== $preset: QX Frontend $version for $arch"
    cmake --preset "$preset" -B "$build/$preset" >/dev/null
    rm -f "$build/$preset/package/"*.zip
    cmake --build "$build/$preset" -j "$(nproc)" --target qx_zip qx_installer
    # A host written without its scheme is plain http.
    sed -n 's/^QX_\(SERVICE\|GEOCODE\|MAP\|AFFILIATE\)_HOST:STRING=/\1 /p' "$build/$preset/CMakeCache.txt" |
        while read -r service host; do
            case $host in *://*) ;; *) host=http://$host ;; esac
            echo "  compiled-in host $service: $host"
        done
    for name in "qx-frontend-$version-$arch.zip" "qx-frontend-$version-$arch-setup.exe"; do
        if [ ! -f "$build/$preset/package/$name" ]; then
            echo "release: the build made no $name" >&2
            exit 1
        fi
        packages+=("$build/$preset/package/$name")
    done
done

mkdir -p "$dist"
rm -f "$dist"/qx-frontend-*
cp "${packages[@]}" "$dist/"
echo "=== release packages of QX Frontend $version in $dist"
(cd "$dist" && ls -l qx-frontend-* && sha256sum qx-frontend-*)
