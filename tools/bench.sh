#!/bin/bash
# Performance figures of the program, measured in one run and printed beside
# their targets. Builds what it needs (reply_bench in the host build; the
# program and the Windows benchmark drivers in the win64 build), starts the
# local web service on the win64 build's compiled-in port, and a Wine session
# unless one is running.
#
#   1. reply reading: our reader against pugixml on the same bytes (native);
#   2. start-up and a 30-hotel search of qx_front.exe under Wine, beside the
#      bare start of a trivial Windows process, and
#   4. the program's memory after a 3000-hotel search and 100 plan windows,
#      checked against the kernel's count (bench/program_bench.cpp);
#   3. filling and sorting the main list of 30 and of 3000 hotels in process
#      (bench/list_sort_bench.cpp);
#   5. a 1000-hotel search the service sends in 20 pages of 50: click to list
#      sorted, a header click, and the memory after 100 plan windows
#      (program_bench --paged).
#
# Not a test: ./test.sh never runs it. Timings on a shared machine are noisy:
# medians are reported, and the load average is printed with each part.
# Usage: tools/bench.sh [build-root]   (default ./build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
build=${1:-$here/build}
mkdir -p "$build"; build=$(cd "$build" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/qx-bench.XXXXXX")

part() { printf '\n=== %s   [%s; %s cores]\n' "$*" "$(uptime | sed 's/.*load/load/')" "$(nproc)"; }

server=""
sampler=""
own_session=""
cleanup() {
    for pid in $sampler $server; do kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; done
    if [ -n "$own_session" ]; then tools/winesession.sh stop "$build/wineprefix" >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

part "build"
"$here/tools/setup.sh" "$build" >/dev/null
cmake --preset host -B "$build/host" >/dev/null
cmake --build "$build/host" --target reply_bench -j2 >/dev/null
cmake --preset win64 -B "$build/win64" >/dev/null
cmake --build "$build/win64" --target qx_front program_bench list_sort_bench -j2 >/dev/null
port=$(sed -n 's/^QX_LOCALWEB_PORT:STRING=//p' "$build/win64/CMakeCache.txt")

# The local web service on the port the program has compiled in.
if python3 -c "import socket,sys; socket.create_connection(('127.0.0.1', int(sys.argv[1])), 1)" "$port" 2>/dev/null; then
    echo "bench: port $port is in use; the program's hosts are compiled in to it" >&2
    exit 1
fi
python3 "$here/localweb/server.py" --port "$port" --port-file "$work/port" --log "$work/requests.log" \
    </dev/null >/dev/null 2>"$work/server.err" &
server=$!
for _ in $(seq 150); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "bench: the local web service did not start" >&2; cat "$work/server.err" >&2; exit 1; }
echo "local web service on port $port"

part "1. reply reading (native, CPU time; target: ours/pugixml <= 1)"
python3 "$here/bench/save_reply.py" "$port" "$work/reply-50.xml" >/dev/null
python3 "$here/bench/save_reply.py" "$port" "$work/reply-3000.xml" 3000 >/dev/null
"$build/host/bench/reply_bench" \
    --reply="localweb/50:$work/reply-50.xml" --reply="localweb/3000:$work/reply-3000.xml"

# The Windows parts run in the build's Wine session, started here unless one runs.
if ! [ -f "$build/wineprefix/.qx-display" ] || ! kill -0 "$(cat "$build/wineprefix/.qx-xvfb-pid" 2>/dev/null)" 2>/dev/null; then
    tools/winesession.sh start "$build/wineprefix" >/dev/null
    own_session=yes
fi
wine_run=$build/win64/wine-run.sh

# Paths handed to the Windows drivers name drive Z:, Wine's Unix root.
part "2. and 4. qx_front.exe under Wine: start-up, search, long list, memory"
python3 "$here/bench/peak_rss.py" "$build/win64/bin/qx_front.exe" >"$work/rss.txt" &
sampler=$!
QX_LOCALWEB_LOG="$work/requests.log" "$wine_run" "$build/win64/bench/program_bench.exe" \
    "Z:$build/win64/bin/qx_front.exe" 5
kill -TERM "$sampler"; wait "$sampler" || true; sampler=""
echo
echo "memory of the same processes as the kernel counts it (/proc VmHWM, VmRSS); the last is the long-list run:"
cat "$work/rss.txt"

part "3. the main list filled and sorted in process under Wine (target 250 ms per sort)"
python3 "$here/bench/save_reply.py" "$port" "$work/reply-30.xml" 30 >/dev/null
"$wine_run" "$build/win64/bench/list_sort_bench.exe" "Z:$work/reply-30.xml" 5
echo
"$wine_run" "$build/win64/bench/list_sort_bench.exe" "Z:$work/reply-3000.xml" 3

# ---- paged search -------------------------------------------------------------
part "5. a 1000-hotel search read in 20 pages of 50, under Wine (targets: 2 s, 100 ms, 80 MB peak)"
QX_LOCALWEB_LOG="$work/requests.log" "$wine_run" "$build/win64/bench/program_bench.exe" \
    --paged "Z:$build/win64/bin/qx_front.exe" 3
# ---- end of the paged search --------------------------------------------------

part "end"
