#!/bin/sh
# Prepares a Wine prefix for the program and its tests: a 64-bit prefix with
# code page 932, the Japanese dialog fonts mapped to IPA fonts, a virtual desktop
# (Xvfb has no window manager) and no Mono or Gecko installers.
# Usage: tools/wineprefix.sh <prefix-dir>
set -eu
prefix=$1
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
[ -f "$prefix/.qx-ready" ] && exit 0

export WINEPREFIX="$prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"
wine=/usr/lib/wine/wine64

echo "wineprefix: creating $prefix"
$wine wineboot -i >/dev/null 2>&1 || true
$wine wineboot -u >/dev/null 2>&1 || true
cp /usr/share/wine/fonts/* "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true

reg() { $wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d IPAPGothic
reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
# Browser launches are captured by the tests instead of opening a real browser.
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$(cd "$(dirname "$0")" && pwd)/capture-browser.sh"
/usr/lib/wine/wineserver -w
touch "$prefix/.qx-ready"
