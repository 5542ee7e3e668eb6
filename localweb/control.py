#!/usr/bin/env python3
"""Asks the local web service on 127.0.0.1 about itself, for scripts that start
it in the background (the packages' demo.cmd).

Usage: control.py free --port N
           Status 0 when a service could listen on 127.0.0.1 port N now, 1
           when another program holds the port.
       control.py wait --port N [--seconds S]
           Waits until the service answers on port N (at most S seconds,
           default 30); status 0 when it does, 1 when it did not in time.
       control.py stop --port N
           Asks the service to stop; status 0 when it said it would, 1 when
           no service answered.
Standard library only; runs on Windows too."""

import argparse
import http.client
import json
import os
import socket
import sys
import time

POLL_SECONDS = 0.2
REQUEST_SECONDS = 5


def ask(port, action):
    """The JSON answer of /_control/<action>, or None when no service gave one."""
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=REQUEST_SECONDS)
    try:
        conn.request("GET", f"/_control/{action}")
        response = conn.getresponse()
        if response.status != 200:
            return None
        return json.loads(response.read())
    except (OSError, http.client.HTTPException, ValueError):
        return None
    finally:
        conn.close()


def free(port):
    """Binds the port as server.py does: there a port in use fails the start."""
    with socket.socket() as probe:
        if os.name != "nt":
            # As server.py: where reuse cannot share a listening port, a
            # closed connection still waiting out its time does not hold it.
            probe.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            probe.bind(("127.0.0.1", port))
        except OSError:
            return False
    return True


def wait(port, seconds):
    deadline = time.monotonic() + seconds
    while True:
        answer = ask(port, "faults")
        if isinstance(answer, dict) and "armed" in answer:
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(POLL_SECONDS)


def stop(port):
    answer = ask(port, "stop")
    return isinstance(answer, dict) and answer.get("stopping") is True


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Checks the port of, waits for or stops the local web service.")
    parser.add_argument("action", choices=("free", "wait", "stop"))
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--seconds", type=float, default=30.0, help="longest wait (default %(default)s)")
    return parser.parse_args(argv)


def main(argv=None):
    args = parse_arguments(argv)
    if args.action == "free":
        done = free(args.port)
    elif args.action == "wait":
        done = wait(args.port, args.seconds)
    else:
        done = stop(args.port)
    return 0 if done else 1


if __name__ == "__main__":
    sys.exit(main())
