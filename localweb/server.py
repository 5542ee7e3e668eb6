#!/usr/bin/env python3
"""The local web service: a stand-in, on the loopback interface, for every
remote host the client talks to (the hotel web service, the geocoding page,
the web map, the affiliate redirect and the hotel pictures), plus faults on
request for the tests.

Usage: python3 localweb/server.py [--port N] [--port-file F] [--log FILE]
                                  [--cache-dir DIR] [--tls-port N]
                                  [--tls-cert FILE --tls-key FILE ...] [--lease FILE]
With --tls-port and certificates it also speaks TLS there, beside plain http
on --port.
Stops on SIGTERM, Ctrl-C (Ctrl-Break on Windows), GET /_control/stop or, with
--lease, once the lease file is gone.
Standard library only; runs on Windows too."""

import argparse
import json
import os
import re
import select
import signal
import socket
import ssl
import sys
import tempfile
import threading
import traceback
from dataclasses import dataclass
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import areas  # noqa: E402
import faults  # noqa: E402
from query import decode_pairs, first_values  # noqa: E402
from reply import Reply, text_reply  # noqa: E402
from requestlog import RequestLog  # noqa: E402
import geoscan  # noqa: E402
import pages  # noqa: E402
import paging  # noqa: E402
import pictures  # noqa: E402
import service  # noqa: E402
import tls  # noqa: E402

DEFAULT_PORT = 48230
HOST_HEADER = re.compile(r"^[A-Za-z0-9.\-]+(:[0-9]{1,5})?$|^\[[0-9A-Fa-f:.]+\](:[0-9]{1,5})?$")


@dataclass
class Request:
    method: str
    target: str       # path and query exactly as on the request line
    path: str
    query: str        # raw query without '?', "" when none
    origin: str       # scheme://host[:port] this service's own URLs start with
    user_agent: object


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    # An idle keep-alive connection, or a client that stops reading, gives up
    # its thread after this many seconds.
    timeout = 65
    def version_string(self):
        return "localweb/1.0"

    def setup(self):
        super().setup()
        certificates = self.server.certificates
        self.refused = certificates is not None and not certificates.handshake(self.connection)

    def handle(self):
        if not self.refused:
            super().handle()

    def do_GET(self):
        try:
            self.server.app.handle(self)
        except (BrokenPipeError, ConnectionResetError, ConnectionAbortedError, TimeoutError):
            self.close_connection = True

    do_HEAD = do_POST = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = do_GET

    def log_message(self, format, *args):
        pass

    # The primitives a fault sends with.
    def send_head(self, reply, length):
        self.send_response(reply.status)
        self.send_header("Content-Type", reply.content_type)
        self.send_header("Content-Length", str(length))
        for name, value in reply.headers:
            self.send_header(name, value)
        self.end_headers()

    def write(self, data):
        self.wfile.write(data)

    def send_reply(self, reply):
        self.send_head(reply, len(reply.body))
        if self.command != "HEAD":
            self.write(reply.body)

    def drop(self):
        self.close_connection = True

    def peer_closed(self, seconds):
        """Whether the client closes its end within seconds. Bytes it sends
        meanwhile are left unread, and the wait then simply runs out."""
        readable, _, _ = select.select([self.connection], [], [], seconds)
        if not readable:
            return False
        try:
            if self.connection.recv(1, socket.MSG_PEEK) == b"":
                return True
        except OSError:
            return True
        self.server.app.stopping.wait(seconds)
        return False

    def reset(self):
        self.close_connection = True
        faults.reset_socket(self.connection)


class App:
    def __init__(self, port, log, cache_dir, certificates=None, tls_port=None):
        self.port = port
        self.certificates = certificates
        self.tls_port = tls_port
        self.log = log
        self.cache_dir = cache_dir
        self.stopping = threading.Event()
        self.board = faults.FaultBoard()
        self.sender = faults.FaultSender(self.stopping)
        self.routes = {}    # exact path -> function(Request) -> Reply
        self.prefixes = []  # (path prefix, function) tried in order
        # How searches page; replaced whole by a control request, never changed in place.
        self.paging = paging.Paging()
        self._busy_lock = threading.Lock()
        self._busy = 0      # requests other than control ones being answered

    def handle(self, conn):
        request = self._request(conn)
        scheme = conn.server.scheme
        if request.path.startswith("/_control/"):
            self.log.write(request.method, request.target, request.user_agent, scheme, control=True)
            conn.send_reply(self._control(request))
            return
        self._count_busy(1)
        try:
            if request.path.startswith("/_fault/"):
                kind = request.path[len("/_fault/"):]
                self.log.write(request.method, request.target, request.user_agent, scheme, fault=kind)
                self._direct_fault(conn, request, kind)
            else:
                fault = self.board.take(request.path, request.target)
                self.log.write(request.method, request.target, request.user_agent, scheme,
                               fault=fault.kind if fault else None)
                self._serve(conn, request, fault)
        finally:
            self._count_busy(-1)

    def _count_busy(self, change):
        with self._busy_lock:
            self._busy += change
            return self._busy

    def _request(self, conn):
        target = conn.path
        path, _, query = target.partition("?")
        host = conn.headers.get("Host", "")
        if not HOST_HEADER.match(host):
            host = f"127.0.0.1:{conn.server.server_address[1]}"
        origin = f"{conn.server.scheme}://{host}"
        return Request(conn.command, target, path, query, origin, conn.headers.get("User-Agent"))

    def _serve(self, conn, request, fault):
        if request.method != "GET":
            reply = faults.status_page(405, "Method Not Allowed")
            reply.headers.append(("Allow", "GET"))
            conn.send_reply(reply)
            return
        fixed = self._fixed_fault_reply(fault)
        if fixed:
            conn.send_reply(fixed)
            return
        if fault and fault.kind == "hang":
            self.sender.hang(conn, fault)
            return
        if fault and fault.kind == "hotels":
            conn.send_reply(service.long_list_reply(request, fault.hotels, fault.plans))
            return
        if fault and fault.kind == "areas" and request.path == service.PATH:
            conn.send_reply(service.handle(request, frozenset([fault.bare]), self.paging))
            return
        reply = self.route(request)
        if fault is None:
            conn.send_reply(reply)
        else:
            getattr(self.sender, fault.kind)(conn, fault, reply)

    def route(self, request):
        handler = self.routes.get(request.path)
        if handler is None:
            handler = next((h for p, h in self.prefixes if request.path.startswith(p)), None)
        if handler is None:
            return faults.status_page(404, "Not Found")
        try:
            return handler(request)
        except Exception:
            traceback.print_exc()
            return faults.status_page(500, "Internal Server Error")

    def _fixed_fault_reply(self, fault):
        """The reply of a fault that replaces the service's answer, or None."""
        if fault is None:
            return None
        if fault.kind == "status404":
            return faults.status_page(404, "Not Found")
        if fault.kind == "status500":
            return faults.status_page(500, "Internal Server Error")
        if fault.kind == "notjpeg":
            return Reply(200, faults.NOT_A_PICTURE, "image/jpeg")
        if fault.kind == "notfound":
            return service.not_found_reply()
        if fault.kind == "servererror":
            return service.server_error_reply()
        if fault.kind == "page":
            return Reply(200, fault.page, "text/html; charset=Shift_JIS")
        return None

    def _direct_fault(self, conn, request, kind):
        params = first_values(request.query)
        try:
            fault = faults.parse_fault(kind, params)
        except ValueError as error:
            conn.send_reply(text_reply(400, f"bad fault request: {error}\n"))
            return
        fixed = self._fixed_fault_reply(fault)
        if fixed:
            conn.send_reply(fixed)
        elif kind == "hang":
            self.sender.hang(conn, fault)
        elif kind == "large":
            self.sender.large_pattern(conn, fault)
        else:
            getattr(self.sender, kind)(conn, fault, self._fixed_body(kind, params))

    @staticmethod
    def _fixed_body(kind, params):
        plain = "text/plain; charset=us-ascii"
        if kind == "zerobyte" and "bytes" in params:
            return Reply(200, faults.pattern_bytes(int(params["bytes"])), plain)
        if kind == "delay":
            return Reply(200, b"delayed reply\n", plain)
        if kind in ("reset", "short"):
            return Reply(200, faults.pattern_bytes(8192), plain)
        return Reply(200, faults.pattern_bytes(4096), plain)

    def _control(self, request):
        params = dict(decode_pairs(request.query))
        action = request.path[len("/_control/"):]
        if action == "clear":
            self.paging = paging.Paging()
            return self._json(200, {"cleared": self.board.clear()})
        if action in ("paging", "vacancies"):
            return self._change_paging(action, params)
        if action == "faults":
            return self._json(200, {"armed": self.board.describe()})
        if action == "busy":
            return self._json(200, {"busy": self._count_busy(0)})
        if action == "stop":
            self.stopping.set()
            return self._json(200, {"stopping": True})
        if action == "tls":
            return self._tls_control(params)
        if action not in ("fault", "page", "hotels", "areas"):
            return self._json(404, {"error": f"unknown control {action!r}"})
        try:
            prefix = params.pop("path")
            count = int(params.pop("count", "1") or "x")
            match = params.pop("match", None)
            if action == "page":
                fault = faults.canned_page(request.query)
            elif action == "hotels":
                fault = faults.long_list(params)
            elif action == "areas":
                fault = faults.bare_area(params, {m.code for m in areas.MIDDLE_CLASSES})
            else:
                fault = faults.parse_fault(params.pop("kind"), params)
            self.board.arm(prefix, fault, count, match)
        except KeyError as missing:
            return self._json(400, {"error": f"missing parameter {missing}"})
        except ValueError as error:
            return self._json(400, {"error": str(error)})
        return self._json(200, {"armed": self.board.describe()})

    def _change_paging(self, action, params):
        change = paging.with_page_size if action == "paging" else paging.with_vacancies
        try:
            self.paging = change(self.paging, params)
        except ValueError as error:
            return self._json(400, {"error": str(error)})
        return self._json(200, {"paging": paging.describe(self.paging)})

    def search_service(self, request):
        return service.handle(request, settings=self.paging)

    def _tls_control(self, params):
        if self.certificates is None:
            return self._json(404, {"error": "the service speaks no TLS"})
        try:
            if "certificate" in params:
                self.certificates.choose(params["certificate"])
        except ValueError as error:
            return self._json(400, {"error": str(error)})
        return self._json(200, dict(self.certificates.describe(), port=self.tls_port))

    @staticmethod
    def _json(status, data):
        body = (json.dumps(data, ensure_ascii=False) + "\n").encode("utf-8")
        return Reply(status, body, "application/json; charset=utf-8")


def default_cache_dir():
    return os.path.join(tempfile.gettempdir(), "qx-localweb-cache")


def write_port_file(path, port):
    temp = path + ".tmp"
    with open(temp, "w", encoding="ascii") as out:
        out.write(f"{port}\n")
    os.replace(temp, path)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description="Local stand-in for the client's remote services.")
    parser.add_argument("--port", type=int, default=DEFAULT_PORT,
                        help=f"TCP port on 127.0.0.1 (default {DEFAULT_PORT}; 0 picks a free one)")
    parser.add_argument("--port-file", help="write the port actually used to this file")
    parser.add_argument("--log", help="append one JSON line per request here (default: standard output)")
    parser.add_argument("--cache-dir", default=default_cache_dir(),
                        help="where generated pictures are kept (default: %(default)s)")
    parser.add_argument("--tls-port", type=int,
                        help="also serve over TLS on this port (0 picks a free one; /_control/tls tells it)")
    parser.add_argument("--tls-cert", action="append", default=[], metavar="FILE",
                        help="server certificate (PEM, chain allowed); repeat for more, the first is presented")
    parser.add_argument("--tls-key", action="append", default=[], metavar="FILE",
                        help="private key (PEM) of the --tls-cert in the same place")
    parser.add_argument("--lease", help="serve only while this file exists: no start without it, and a stop "
                                        "soon after it is removed")
    args = parser.parse_args(argv)
    if len(args.tls_cert) != len(args.tls_key):
        parser.error("give one --tls-key for each --tls-cert")
    if (args.tls_port is None) != (not args.tls_cert):
        parser.error("--tls-port goes with --tls-cert and --tls-key")
    return args


class LocalServer(ThreadingHTTPServer):
    # On Windows SO_REUSEADDR lets a second server bind a port another one is
    # listening on, and the two would share the requests; there a port in use
    # must make the start fail instead.
    allow_reuse_address = os.name != "nt"
    daemon_threads = True

    def __init__(self, port, certificates=None):
        super().__init__(("127.0.0.1", port), Handler)
        self.app = None  # the service, set once every listener is bound
        self.certificates = certificates
        self.scheme = "https" if certificates else "http"

    def get_request(self):
        sock, address = super().get_request()
        if self.certificates:
            sock = self.certificates.wrap(sock)
        return sock, address


def make_servers(port, log, cache_dir, certificates=None, tls_port=None):
    """The listeners sharing one service: plain http on port and, with
    certificates, TLS on tls_port."""
    servers = [LocalServer(port)]
    if certificates:
        servers.append(LocalServer(tls_port, certificates))
    bound_tls_port = servers[1].server_address[1] if certificates else None
    app = App(servers[0].server_address[1], log, cache_dir, certificates, bound_tls_port)
    for server in servers:
        server.app = app
    register_routes(app)
    return servers


def register_routes(app):
    app.routes["/"] = index_page
    app.routes[service.PATH] = app.search_service
    app.routes[geoscan.PATH] = geoscan.handle
    app.routes["/maps"] = pages.map_page
    app.routes["/hotel/info"] = pages.hotel_page
    app.routes["/reserve/plan"] = pages.reservation_page
    app.prefixes.append(("/hgc/", pages.affiliate_redirect))
    app.prefixes.append(("/img/", pictures.PictureStore(app.cache_dir).handle))


def index_page(request):
    """A start page for a person trying the service in a browser."""
    links = [
        ("エリア一覧（GetAreaClass）", f"{service.PATH}?developerId={service.DEVELOPER_ID}"
         f"&operation=GetAreaClass&version={service.VERSION}"),
        ("空室検索の例（新宿区・大人2名）", f"{service.PATH}?developerId={service.DEVELOPER_ID}"
         f"&operation=VacantHotelSearch&version={service.VERSION}&largeClassCode=japan"
         "&middleClassCode=tokyo&smallClassCode=tokyo23&detailClassCode=shinjuku"
         "&checkinDate=2030-03-12&checkoutDate=2030-03-13&adultNum=2&roomNum=1"),
        ("地点検索の例（東京）", "/php/geoscan.php?q=%93%8C%8B%9E"),
        ("地図の例", "/maps?spn=0.01,0.01&z=18&ll=35.681236,139.767125"),
    ]
    items = "".join(f'<li><a href="{pages.html_escape(url)}">{title}</a></li>\n' for title, url in links)
    return pages.html_page(200, "localweb", f"<h1>localweb</h1>\n<p>ホテル検索クライアント用のローカルサービスです。</p>\n"
                           f"<ul>\n{items}</ul>")


def catch_stop_signals(stopping):
    """Sets stopping on the stop signals this platform has: SIGTERM and SIGINT
    everywhere, SIGBREAK (Ctrl-Break) only on Windows."""
    def stop(signum, frame):
        stopping.set()

    for name in ("SIGTERM", "SIGINT", "SIGBREAK"):
        number = getattr(signal, name, None)
        if number is not None:
            signal.signal(number, stop)


def lease_gone(lease):
    return lease is not None and not os.path.exists(lease)


def main(argv=None):
    args = parse_arguments(argv)
    # A script that started the service in the background and gave up on it
    # removes the lease; a service that comes up only then must not stay.
    if lease_gone(args.lease):
        print(f"localweb: the lease {args.lease} is gone; not starting", file=sys.stderr, flush=True)
        return 1
    try:
        certificates = tls.Certificates(list(zip(args.tls_cert, args.tls_key))) if args.tls_cert else None
    except (OSError, ssl.SSLError, ValueError) as error:
        print(f"localweb: cannot use the certificates: {error}", file=sys.stderr)
        return 2
    log = RequestLog(args.log)
    servers = make_servers(args.port, log, args.cache_dir, certificates, args.tls_port)
    app = servers[0].app
    if args.port_file:
        write_port_file(args.port_file, app.port)

    catch_stop_signals(app.stopping)
    for server in servers:
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()
        print(f"localweb: serving on {server.scheme}://127.0.0.1:{server.server_address[1]}/",
              file=sys.stderr, flush=True)
    while not app.stopping.wait(0.5):
        if lease_gone(args.lease):
            break
    for server in servers:
        server.shutdown()
        server.server_close()
    log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
