#!/bin/bash
# Performance figures of the program, measured in one run and printed beside
# their targets. Builds what it needs (reply_bench in the host build; the
# program and the Windows benchmark drivers in the win64 build), starts the
# local web service on the win64 build's compiled-in port, and a Wine session
# unless one is running.
#
#   1. reply reading: our reader against pugixml on the same bytes (native)
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
cleanup() {
    if [ -n "$server" ]; then kill -TERM "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

part "build"
"$here/tools/setup.sh" "$build" >/dev/null
cmake --preset host -B "$build/host" >/dev/null
cmake --build "$build/host" --target reply_bench -j2 >/dev/null
port=$(sed -n 's/^QX_LOCALWEB_PORT:STRING=//p' "$build/win64/CMakeCache.txt" 2>/dev/null || true)
port=${port:-48230}

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
python3 "$here/tests/bench/save_reply.py" "$port" "$work/reply-50.xml" >/dev/null
python3 "$here/tests/bench/save_reply.py" "$port" "$work/reply-3000.xml" 3000 >/dev/null
"$build/host/tests/bench/reply_bench" \
    --reply="localweb/50:$work/reply-50.xml" --reply="localweb/3000:$work/reply-3000.xml"
