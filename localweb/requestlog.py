"""Append-only request log: one JSON object per line, written as each request
arrives, so a request that is never answered is logged too."""

import datetime
import json
import sys
import threading


class RequestLog:
    def __init__(self, path=None):
        self._lock = threading.Lock()
        self._file = open(path, "a", encoding="utf-8") if path else None

    def write(self, method, target, user_agent, scheme="http", control=False, fault=None):
        """Records the request target exactly as it came on the request line:
        no percent-decoding, no normalisation; scheme is that of the listener
        it came in on."""
        path, sep, query = target.partition("?")
        entry = {
            "time": datetime.datetime.now().astimezone().isoformat(timespec="milliseconds"),
            "method": method,
            "target": target,
            "path": path,
            "query": query if sep else None,
            "userAgent": user_agent,
            "scheme": scheme,
            "control": control,
            "fault": fault,
        }
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self._lock:
            out = self._file or sys.stdout
            out.write(line)
            out.flush()

    def close(self):
        with self._lock:
            if self._file:
                self._file.close()
                self._file = None
