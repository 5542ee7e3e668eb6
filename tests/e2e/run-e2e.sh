#!/bin/sh
# Runs the end-to-end driver under Wine against the program's compiled-in local
# web service port: first the cases for a service that is not running, then the
# rest with the service up on that port, its request log and the browser
# capture log kept in the work folder. Options after the work folder go to the
# service (a TLS listener for the program built for https).
# Usage: run-e2e.sh <source-dir> <wine-run.sh> <driver.exe> <qx_front.exe> <port> <work-dir> [service options...]
set -u
source=$1 wine_run=$2 driver=$3 program=$4 port=$5 work=$6
shift 6
mkdir -p "$work"
program=$(realpath "$program")
work=$(realpath "$work")
rm -f "$work"/*.log
export QX_FRONT_EXE="$program" QX_LOCALWEB_LOG="$work/requests.log" QX_BROWSER_LOG="$work/browser-urls.log"
: >"$QX_LOCALWEB_LOG"
: >"$QX_BROWSER_LOG"

if python3 - "$port" <<'PY'
import socket, sys
s = socket.socket()
try:
    s.connect(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(1)
PY
then
    echo "run-e2e: port $port is already in use; the program's hosts are compiled in to it" >&2
    exit 1
fi

status=0
# QX_E2E_FILTER (a GoogleTest filter) picks cases run with the service up only;
# without it the cases of the program built for https are left out.
if [ -z "${QX_E2E_FILTER:-}" ]; then
    "$wine_run" "$driver" --gtest_filter='ServiceDown.*' || status=1
fi

python3 "$source/localweb/server.py" --port "$port" --port-file "$work/port" --log "$QX_LOCALWEB_LOG" "$@" \
    </dev/null >/dev/null 2>"$work/server.err" &
server=$!
trap 'kill -TERM $server 2>/dev/null; wait $server 2>/dev/null' EXIT
tries=0
while [ ! -s "$work/port" ]; do
    if ! kill -0 "$server" 2>/dev/null || [ $tries -ge 150 ]; then
        echo "run-e2e: the local web service did not start" >&2
        cat "$work/server.err" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.1
done
rm -f "$work/port"
"$wine_run" "$driver" --gtest_filter='-ServiceDown.*:HttpsProgram.*' ${QX_E2E_FILTER:+--gtest_filter="$QX_E2E_FILTER"} || status=1
exit $status
