#!/bin/sh
# Starts or stops the Wine session the Windows tests run in: an Xvfb display,
# a persistent wineserver and the virtual desktop. Starting them once makes each
# test start in well under a second instead of several.
# Usage: tools/winesession.sh start|stop <prefix-dir> [<width>x<height>]
# The size is that of the display and the desktop (default 1024x768).
set -eu
action=$1
prefix=$(cd "$2" && pwd)
size=${3:-1024x768}
export WINEPREFIX="$prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree=d;mshtml=d"

stop() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    if [ -f "$prefix/.qx-xvfb-pid" ]; then
        kill "$(cat "$prefix/.qx-xvfb-pid")" 2>/dev/null || true
        rm -f "$prefix/.qx-xvfb-pid"
    fi
    rm -f "$prefix/.qx-display"
}

start() {
    stop
    fifo="$prefix/.qx-displayfd"
    rm -f "$fifo"; mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    echo $! >"$prefix/.qx-xvfb-pid"
    display=":$(head -n1 <"$fifo")"
    rm -f "$fifo"
    export DISPLAY="$display"
    # Any Wine program may open the desktop first, at the size the registry
    # names; that Wine session ends before the lasting one starts.
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f \
        >/dev/null 2>&1 </dev/null || true
    /usr/lib/wine/wineserver -w
    /usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null
    setsid /usr/lib/wine/wine64 explorer /desktop=Default,"$size" >/dev/null 2>&1 </dev/null &
    # The desktop window is ready once wine answers a trivial command.
    /usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null || true
    echo "$display" >"$prefix/.qx-display"
    echo "winesession: display $display, prefix $prefix"
}

case $action in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop <prefix-dir>" >&2; exit 2 ;;
esac
