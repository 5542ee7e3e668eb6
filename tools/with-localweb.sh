#!/bin/bash
# Runs a command with the local web service up: starts localweb/server.py on a
# free port, exports QX_LOCALWEB_PORT and QX_LOCALWEB_LOG (the request log, one
# JSON line per request) for the command, runs it and always stops the server.
# A QX_LOCALWEB_LOG set by the caller is used as the log and kept afterwards.
# Options of the server (such as --tls-port 0 --tls-cert F --tls-key K) go
# before the command, ended by "--".
# Usage: tools/with-localweb.sh [<server options...> --] <command> [arguments...]
# Exit status: the command's, or 125 when the server could not be started.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
options=()
if [[ ${1:-} == --* ]]; then
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        options+=("$1")
        shift
    done
    shift
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/with-localweb.XXXXXX")
log=${QX_LOCALWEB_LOG:-$work/requests.log}
python3 "$here/localweb/server.py" --port 0 --port-file "$work/port" --log "$log" "${options[@]}" \
    </dev/null >/dev/null 2>"$work/server.err" &
pid=$!

cleanup() {
    kill -TERM "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

tries=0
while [ ! -s "$work/port" ]; do
    if ! kill -0 "$pid" 2>/dev/null || [ "$tries" -ge 150 ]; then
        echo "with-localweb: the server did not start" >&2
        cat "$work/server.err" >&2
        exit 125
    fi
    tries=$((tries + 1))
    sleep 0.1
done

QX_LOCALWEB_PORT=$(cat "$work/port")
QX_LOCALWEB_LOG=$log
export QX_LOCALWEB_PORT QX_LOCALWEB_LOG
status=0
"$@" || status=$?
exit "$status"
