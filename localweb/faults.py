"""Misbehaviour on request, for the tests of the client's network code.

A fault is either asked for directly by URL (/_fault/<kind>?...) or armed
through the control endpoint for the next requests whose path starts with a
given prefix. Every fault ends by itself: waits are capped at MAX_SECONDS and
end early when the server stops."""

import socket
import struct
import threading
import time
from dataclasses import dataclass

from query import decode_value_bytes, split_pairs
from reply import Reply

MAX_SECONDS = 60.0
MAX_LARGE_BYTES = 256 * 1024 * 1024
MAX_COUNT = 1000

KINDS = ("status404", "status500", "delay", "hang", "drip", "reset", "short",
         "zerobyte", "large", "notjpeg", "notfound", "servererror")

DEFAULT_SECONDS = {"delay": 35.0, "hang": 40.0, "drip": 40.0, "reset": 1.0}

# The deterministic filler of the fixed fault bodies: this 64-byte line
# repeated and cut to the wanted length.
PATTERN_LINE = b"localweb test body: 0123456789 abcdefghijklmnopqrstuvwxyz ABCDE\n"


def pattern_bytes(length, start=0):
    """Bytes start .. start+length of the endless repetition of PATTERN_LINE."""
    line = PATTERN_LINE
    offset = start % len(line)
    reps = (offset + length) // len(line) + 1
    return (line * reps)[offset:offset + length]


@dataclass
class Fault:
    kind: str
    seconds: float = 0.0
    interval: float = 0.5
    size: int = 16 * 1024 * 1024
    at: int = 100
    page: bytes = b""    # the body a "page" fault serves instead of the real reply
    hotels: int = 0      # a "hotels" fault: hotels in the search reply
    plans: int = 0       # and at most this many plans per hotel
    bare: str = ""       # an "areas" fault: the middle class sent without small classes


def _number(params, key, default, convert, low, high):
    if key not in params:
        return default
    try:
        value = convert(params[key])
    except ValueError:
        raise ValueError(f"{key} is not a number") from None
    if not low <= value <= high:
        raise ValueError(f"{key} must lie between {low} and {high}")
    return value


def parse_fault(kind, params):
    """The fault named by kind with its parameters (a dict of decoded query
    values); raises ValueError with a short reason for anything unknown."""
    if kind not in KINDS:
        raise ValueError(f"unknown fault kind {kind!r}")
    known = {"seconds", "interval", "bytes", "at"}
    unknown = set(params) - known
    if unknown:
        raise ValueError("unknown parameter " + ", ".join(sorted(unknown)))
    return Fault(
        kind=kind,
        seconds=_number(params, "seconds", DEFAULT_SECONDS.get(kind, 0.0), float, 0.0, MAX_SECONDS),
        interval=_number(params, "interval", 0.5, float, 0.01, 10.0),
        size=_number(params, "bytes", 16 * 1024 * 1024, int, 0, MAX_LARGE_BYTES),
        at=_number(params, "at", 100, int, 0, MAX_LARGE_BYTES),
    )


@dataclass
class ArmedFault:
    prefix: str
    fault: Fault
    remaining: int
    match: str = None   # when set, only requests whose target contains it

    def applies_to(self, path, target):
        return path.startswith(self.prefix) and (self.match is None or self.match in target)


class FaultBoard:
    """Faults armed for the next requests under a path prefix (and, when
    asked, whose target contains a given text); the oldest matching one is
    used first, and each is dropped when its count runs out."""

    def __init__(self):
        self._lock = threading.Lock()
        self._armed = []

    def arm(self, prefix, fault, count, match=None):
        if not prefix.startswith("/"):
            raise ValueError("path must start with /")
        if not 1 <= count <= MAX_COUNT:
            raise ValueError(f"count must lie between 1 and {MAX_COUNT}")
        if match == "":
            raise ValueError("match must not be empty")
        with self._lock:
            self._armed.append(ArmedFault(prefix, fault, count, match))

    def take(self, path, target=None):
        """The fault for a request of that path and raw target (the path with
        its query; the path alone when not given), or None."""
        target = path if target is None else target
        with self._lock:
            for armed in self._armed:
                if armed.applies_to(path, target):
                    armed.remaining -= 1
                    if armed.remaining == 0:
                        self._armed.remove(armed)
                    return armed.fault
        return None

    def clear(self):
        with self._lock:
            count = len(self._armed)
            self._armed.clear()
            return count

    def describe(self):
        with self._lock:
            return [{"path": a.prefix, "match": a.match, "kind": a.fault.kind, "remaining": a.remaining,
                     "seconds": a.fault.seconds, "interval": a.fault.interval,
                     "bytes": a.fault.size, "at": a.fault.at} for a in self._armed]


def canned_page(raw_query):
    """The "page" fault armed by /_control/page: its body is the raw value of
    the query key "body" percent-decoded to bytes, so any encoding (a page in
    code page 932, malformed tables) can be served."""
    for key, value in split_pairs(raw_query):
        if key == "body" and value is not None:
            return Fault(kind="page", page=decode_value_bytes(value))
    raise ValueError("missing parameter body")


MAX_LONG_LIST = 5000
MAX_PLANS = 8


def long_list(params):
    """The "hotels" fault armed by /_control/hotels: the search reply holds
    `hotels` hotels (1 to 5000) on one page, each with at most `plans` of its
    plans (0 to 8, default 8), for measuring the client on long lists."""
    unknown = set(params) - {"hotels", "plans"}
    if unknown:
        raise ValueError("unknown parameter " + ", ".join(sorted(unknown)))
    if "hotels" not in params:
        raise ValueError("missing parameter hotels")
    return Fault(kind="hotels",
                 hotels=_number(params, "hotels", 0, int, 1, MAX_LONG_LIST),
                 plans=_number(params, "plans", MAX_PLANS, int, 0, MAX_PLANS))


def bare_area(params, known_codes):
    """The "areas" fault armed by /_control/areas: the area reply sends the
    middle class `bare` with its code and name but without small classes."""
    unknown = set(params) - {"bare"}
    if unknown:
        raise ValueError("unknown parameter " + ", ".join(sorted(unknown)))
    if params.get("bare") not in known_codes:
        raise ValueError("bare must be a middle class code")
    return Fault(kind="areas", bare=params["bare"])


def status_page(code, reason):
    body = (f"<html><head><title>{code} {reason}</title></head>"
            f"<body><h1>{code} {reason}</h1></body></html>\n")
    return Reply(code, body.encode("ascii"), "text/html; charset=us-ascii")


NOT_A_PICTURE = (b"<html><head><title>Error</title></head><body>"
                 b"<p>This is not a picture.</p></body></html>\n")


class FaultSender:
    """Sends a reply to one connection the way a fault says. The connection is
    the request handler: it offers send_head(reply, length), write(bytes),
    drop() and reset()."""

    def __init__(self, stopping):
        self._stopping = stopping

    def wait(self, seconds):
        """Sleeps, but no longer than the server keeps running."""
        self._stopping.wait(seconds)

    def hang(self, conn, fault):
        """Answers nothing and closes once fault.seconds have passed, or as
        soon as the client has closed its end: a client that gave up no
        longer counts as being answered."""
        deadline = time.monotonic() + fault.seconds
        while not self._stopping.is_set():
            left = deadline - time.monotonic()
            if left <= 0 or conn.peer_closed(min(left, 0.2)):
                break
        conn.drop()

    def delay(self, conn, fault, reply):
        self.wait(fault.seconds)
        conn.send_reply(reply)

    def drip(self, conn, fault, reply):
        """Headers at once, then the body in pieces, one every interval (or
        further apart when the body has fewer bytes than pieces), the last
        one when fault.seconds have passed."""
        body = reply.body
        pieces = max(1, min(len(body), int(fault.seconds / fault.interval)))
        pause = fault.seconds / pieces
        size = max(1, -(-len(body) // pieces))
        conn.send_head(reply, len(body))
        for start in range(0, len(body), size):
            self.wait(pause)
            if self._stopping.is_set():
                conn.drop()
                return
            conn.write(body[start:start + size])

    def reset(self, conn, fault, reply):
        """Half the body, then a reset once fault.seconds have passed: sent at
        once, the reset would make the client's system drop the unread half."""
        body = reply.body
        conn.send_head(reply, len(body))
        conn.write(body[:len(body) // 2])
        self.wait(fault.seconds)
        conn.reset()

    def short(self, conn, fault, reply):
        """The whole length announced, half the body sent, then an orderly
        close: a body that ends early without any error on the connection."""
        body = reply.body
        conn.send_head(reply, len(body))
        conn.write(body[:len(body) // 2])
        conn.drop()

    def zerobyte(self, conn, fault, reply):
        at = min(fault.at, len(reply.body))
        body = reply.body[:at] + b"\0" + reply.body[at:]
        conn.send_reply(Reply(reply.status, body, reply.content_type, reply.headers))

    def large(self, conn, fault, reply):
        """The reply followed by white space up to fault.size bytes in all, so
        an XML or HTML document stays well-formed; streamed, never held whole."""
        total = max(fault.size, len(reply.body))
        conn.send_head(reply, total)
        conn.write(reply.body)
        filler = (b" " * 1023 + b"\n") * 64
        left = total - len(reply.body)
        while left > 0:
            if self._stopping.is_set():
                conn.drop()
                return
            piece = filler[:left]
            conn.write(piece)
            left -= len(piece)

    def large_pattern(self, conn, fault):
        reply = Reply(200, b"", "text/plain; charset=us-ascii")
        conn.send_head(reply, fault.size)
        sent = 0
        while sent < fault.size:
            if self._stopping.is_set():
                conn.drop()
                return
            piece = pattern_bytes(min(64 * 1024, fault.size - sent), sent)
            conn.write(piece)
            sent += len(piece)


def reset_socket(sock):
    """Closes with a TCP reset instead of an orderly end."""
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()
