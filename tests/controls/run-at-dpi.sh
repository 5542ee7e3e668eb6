#!/bin/sh
# Runs a Windows test program in the high-dpi prefix once per dpi given, each
# in a Wine session of its own on a display large enough for the windows at
# 200 %. The program learns the dpi expected from QX_EXPECTED_DPI.
# Usage: run-at-dpi.sh <source-dir> <prefix-dir> <wine-run.sh of that prefix> <test.exe> <dpi>...
set -u
source=$1 prefix=$2 wine_run=$3 program=$4
shift 4
status=0
for dpi in "$@"; do
    echo "run-at-dpi: $dpi dpi"
    "$source/tools/dpiprefix.sh" "$prefix" "$dpi" || exit 1
    "$source/tools/winesession.sh" start "$prefix" 2048x1536 >/dev/null || exit 1
    QX_EXPECTED_DPI=$dpi "$wine_run" "$program" || status=1
    "$source/tools/winesession.sh" stop "$prefix"
done
exit $status
