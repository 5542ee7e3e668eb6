#!/bin/sh
# Prepares a second Wine prefix for trying the program at a high dpi: made as
# the ordinary one (tools/wineprefix.sh), then the screen's logical pixels per
# inch set to <dpi>. Wine scales dialog units and fonts by it, and hands it to
# programs that declare themselves dpi-aware. Setting it again is cheap; each
# process started afterwards sees the new value.
# Usage: tools/dpiprefix.sh <prefix-dir> <dpi>
set -eu
prefix=$1 dpi=$2
here=$(cd "$(dirname "$0")" && pwd)
"$here/wineprefix.sh" "$prefix"
export WINEPREFIX="$(cd "$prefix" && pwd)" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
/usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
