#!/bin/bash
# Sets up a Debian machine, builds QX Frontend and runs it under Wine against
# the local web service (127.0.0.1, the port compiled into the program).
#   With a display ($DISPLAY reachable): opens the program there; closing it
#   stops the service.
#   Without one: runs a scripted walk on a virtual display (start-up, a search
#   for 東京都, the list, the plan dialog, a landmark search) and saves a
#   screenshot of each window into a folder it prints.
# QX_BUILD chooses the build root (default ./build). QX_DPI (say 144) runs the
# walk at that dpi instead, in a second Wine prefix (tools/dpiprefix.sh) on a
# larger display.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
build=${QX_BUILD:-$root/build}
mkdir -p "$build"; build=$(cd "$build" && pwd)

tools/setup.sh "$build"
cmake --preset win64 -B "$build/win64" >/dev/null
cmake --build "$build/win64" -j "$(nproc)" --target qx_front qx_e2e_driver
port=$(sed -n 's/^QX_LOCALWEB_PORT:STRING=//p' "$build/win64/CMakeCache.txt")
program=$build/win64/bin/qx_front.exe

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    log=$build/run-requests.log
    python3 localweb/server.py --port "$port" --log "$log" </dev/null >/dev/null 2>&1 &
    server=$!
    trap 'kill -TERM $server 2>/dev/null; wait $server 2>/dev/null' EXIT
    sleep 1
    kill -0 "$server" 2>/dev/null || { echo "run: the local web service could not start on port $port" >&2; exit 1; }
    echo "QX Frontend on $DISPLAY; local web service on 127.0.0.1:$port (requests in $log)"
    # Started in its own folder, where the help file lies beside it.
    (cd "$(dirname "$program")" && /usr/lib/wine/wine64 "$program")
    exit 0
fi

shots=$build/screenshots prefix=$build/wineprefix wine_run=$build/win64/wine-run.sh size=1024x768
if [ -n "${QX_DPI:-}" ]; then
    shots=$build/screenshots-${QX_DPI}dpi prefix=$build/wineprefix-dpi wine_run=$build/win64/wine-run-dpi.sh
    size=2048x1536
    tools/dpiprefix.sh "$prefix" "$QX_DPI"
fi
rm -rf "$shots"; mkdir -p "$shots"
tools/winesession.sh start "$prefix" "$size"
trap 'tools/winesession.sh stop "$prefix"' EXIT
QX_E2E_SHOTS="$shots" \
QX_E2E_FILTER='*TokyoSearchLists*:*PriceSortThenPlans*:*LandmarkSearchEndToEnd*' \
    tests/e2e/run-e2e.sh "$root" "$wine_run" "$build/win64/tests/e2e/qx_e2e_driver.exe" \
    "$program" "$port" "$build/walk"
for bmp in "$shots"/*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
echo
echo "No display: the scripted walk ran on a virtual display. Screenshots:"
ls -1 "$shots"
echo "in $shots"
