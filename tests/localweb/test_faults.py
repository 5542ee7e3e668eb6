import http.client
import socket
import time
import unittest

from .lwtest import LocalWeb, ServerTestCase
from faults import PATTERN_LINE, pattern_bytes


def raw_exchange(port, target, timeout):
    """Sends one GET and returns (bytes received, how the connection ended, seconds)."""
    start = time.monotonic()
    sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    received = b""
    ending = "closed"
    try:
        sock.sendall(f"GET {target} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n".encode())
        while True:
            piece = sock.recv(65536)
            if not piece:
                break
            received += piece
    except ConnectionResetError:
        ending = "reset"
    except socket.timeout:
        ending = "timeout"
    finally:
        sock.close()
    return received, ending, time.monotonic() - start


class FixedStatusFaults(ServerTestCase):
    def test_direct_and_armed_statuses(self):
        cases = [("status404", 404), ("status500", 500)]
        for kind, code in cases:
            with self.subTest(kind=kind, mode="direct"):
                status, _, _ = self.web.get(f"/_fault/{kind}")
                self.assertEqual(status, code)
            with self.subTest(kind=kind, mode="armed"):
                self.web.control("fault", path="/php/geoscan.php", kind=kind)
                status, _, _ = self.web.get("/php/geoscan.php?q=%41")
                self.assertEqual(status, code)

    def test_not_a_picture(self):
        for target in ("/_fault/notjpeg", "/img/anything.jpg"):
            with self.subTest(target=target):
                if target.startswith("/img/"):
                    self.web.control("fault", path="/img/", kind="notjpeg")
                status, headers, body = self.web.get(target)
                self.assertEqual(status, 200)
                self.assertEqual(headers["Content-Type"], "image/jpeg")
                self.assertFalse(body.startswith(b"\xff\xd8"))

    def test_search_statuses(self):
        for kind, word in (("notfound", "NotFound"), ("servererror", "ServerError")):
            with self.subTest(kind=kind):
                self.web.control("fault", path="/vws/1.4/rest", kind=kind)
                status, _, body = self.web.get("/vws/1.4/rest?operation=VacantHotelSearch")
                self.assertEqual(status, 200)
                self.assertIn(f"<Status>{word}</Status>".encode(), body)

    def test_count_and_prefix(self):
        self.web.control("fault", path="/_x/", kind="status500", count=2)
        statuses = [self.web.get("/_x/a")[0], self.web.get("/elsewhere")[0],
                    self.web.get("/_x/b")[0], self.web.get("/_x/c")[0]]
        self.assertEqual(statuses, [500, 404, 500, 404])

    def test_match_picks_requests_by_their_query(self):
        self.web.control("fault", path="/_x/", kind="status500", match="%26page%3D3")
        self.web.control("page", path="/_x/", body="canned", match="page%3D2%26")
        statuses = [self.web.get(target)[0] for target in
                    ("/_x/a?page=3", "/_x/a?b=1&page=2", "/_x/a?b=1&page=2&c", "/_x/a?b=1&page=3")]
        self.assertEqual(statuses, [404, 404, 200, 500])
        self.assertEqual(self.web.control("faults")["armed"], [])
        self.assertEqual(self.web.get("/_control/fault?path=/x&kind=hang&match=")[0], 400)

    def test_oldest_armed_fault_first_and_clear(self):
        self.web.control("fault", path="/a", kind="status500")
        self.web.control("fault", path="/a", kind="notjpeg")
        self.assertEqual(self.web.get("/a")[0], 500)
        self.assertEqual(len(self.web.control("faults")["armed"]), 1)
        self.assertEqual(self.web.control("clear")["cleared"], 1)
        self.assertEqual(self.web.get("/a")[0], 404)

    def test_bad_fault_requests_are_refused(self):
        cases = [
            "/_fault/bogus",
            "/_fault/hang?seconds=61",
            "/_fault/hang?seconds=-1",
            "/_fault/delay?seconds=abc",
            "/_fault/large?bytes=999999999999",
            "/_fault/drip?colour=red",
            "/_control/fault?path=/x&kind=bogus",
            "/_control/fault?path=/x&kind=hang&count=0",
            "/_control/fault?path=/x&kind=hang&count=",
            "/_control/fault?path=x&kind=hang",
            "/_control/fault?kind=hang",
            "/_control/fault?path=/x",
            "/_control/page?path=/x",
            "/_control/page?body=x",
            "/_fault/page?body=x",
        ]
        for target in cases:
            with self.subTest(target=target):
                self.assertEqual(self.web.get(target)[0], 400)
        self.assertEqual(self.web.control("faults")["armed"], [])

    def test_unknown_control_and_other_methods(self):
        self.assertEqual(self.web.get("/_control/explode")[0], 404)
        conn = http.client.HTTPConnection("127.0.0.1", self.web.port, timeout=5)
        conn.request("POST", "/", body=b"x")
        response = conn.getresponse()
        self.assertEqual(response.status, 405)
        conn.close()


class BodyFaults(ServerTestCase):
    def test_zero_byte_inserted(self):
        for query, at, size in (("at=1500", 1500, 4096), ("at=70000&bytes=100000", 70000, 100000)):
            status, _, body = self.web.get("/_fault/zerobyte?" + query)
            self.assertEqual(status, 200)
            self.assertEqual(len(body), size + 1)
            self.assertEqual(body.index(b"\0"), at)
            self.assertEqual(body[:at] + body[at + 1:], pattern_bytes(size))

    def test_zero_byte_in_a_real_reply(self):
        normal = self.web.get("/")[2]
        self.web.control("fault", path="/", kind="zerobyte", at=10)
        body = self.web.get("/")[2]
        self.assertEqual(body, normal[:10] + b"\0" + normal[10:])

    def test_large_body(self):
        status, headers, body = self.web.get("/_fault/large?bytes=3000000")
        self.assertEqual(status, 200)
        self.assertEqual(int(headers["Content-Length"]), 3000000)
        self.assertEqual(len(body), 3000000)
        self.assertEqual(body[:64], PATTERN_LINE)
        self.assertEqual(body[-100:], pattern_bytes(100, 3000000 - 100))

    def test_large_real_reply_is_padded_with_white_space(self):
        normal = self.web.get("/")[2]
        self.web.control("fault", path="/", kind="large", bytes=200000)
        body = self.web.get("/")[2]
        self.assertEqual(len(body), 200000)
        self.assertTrue(body.startswith(normal))
        self.assertEqual(body[len(normal):].strip(), b"")

    def test_body_ends_in_the_middle(self):
        for kind, ending_expected, least_seconds in (("reset?seconds=0.5", "reset", 0.4), ("short", "closed", 0)):
            with self.subTest(kind=kind):
                received, ending, elapsed = raw_exchange(self.web.port, f"/_fault/{kind}", 10)
                head, _, body = received.partition(b"\r\n\r\n")
                self.assertIn(b"Content-Length: 8192", head)
                self.assertEqual(ending, ending_expected)
                self.assertEqual(body, pattern_bytes(4096))
                self.assertGreaterEqual(elapsed, least_seconds)

    def test_reset_and_short_through_http_client(self):
        for kind in ("reset", "short"):
            with self.subTest(kind=kind):
                self.web.control("fault", path="/", kind=kind)
                with self.assertRaises((http.client.IncompleteRead, ConnectionResetError)):
                    self.web.get("/")


class CannedPages(ServerTestCase):
    def test_page_bytes_served_as_given_then_the_real_page(self):
        page = "<table><tr><td>駅</td><td>&amp;</td></tr><tr><td>x\0y</td></tr></table>".encode("cp932")
        encoded = "".join(f"%{b:02X}" for b in page)
        self.web.control("page", path="/php/geoscan.php", count=2, body=encoded)
        for _ in range(2):
            status, headers, body = self.web.get("/php/geoscan.php?q=%41")
            self.assertEqual(status, 200)
            self.assertEqual(headers["Content-Type"], "text/html; charset=Shift_JIS")
            self.assertEqual(body, page)
        status, _, body = self.web.get("/php/geoscan.php?q=%41")
        self.assertEqual(status, 200)
        self.assertNotEqual(body, page)
        self.assertEqual([e["fault"] for e in self.web.log_entries() if e["path"] == "/php/geoscan.php"][-3:],
                         ["page", "page", None])

    def test_plus_and_unescaped_bytes_stay_as_sent(self):
        self.web.control("page", path="/p", body="a+b<tr>%zz")
        self.assertEqual(self.web.get("/p")[2], b"a+b<tr>%zz")

    def test_empty_body_is_a_page_too(self):
        self.web.control("page", path="/p", body="")
        status, headers, body = self.web.get("/p")
        self.assertEqual((status, body), (200, b""))


class TimedFaults(ServerTestCase):
    def test_delay_before_headers(self):
        start = time.monotonic()
        status, _, body = self.web.get("/_fault/delay?seconds=1.5")
        self.assertGreaterEqual(time.monotonic() - start, 1.4)
        self.assertEqual((status, body), (200, b"delayed reply\n"))

    def test_armed_delay_then_the_real_reply(self):
        normal = self.web.get("/")[2]
        self.web.control("fault", path="/", kind="delay", seconds=1)
        start = time.monotonic()
        body = self.web.get("/")[2]
        self.assertGreaterEqual(time.monotonic() - start, 0.9)
        self.assertEqual(body, normal)

    def test_hang_answers_nothing_and_ends_by_itself(self):
        received, ending, elapsed = raw_exchange(self.web.port, "/_fault/hang?seconds=2", 10)
        self.assertEqual((received, ending), (b"", "closed"))
        self.assertGreater(elapsed, 1.8)
        self.assertLess(elapsed, 5)

    def test_hang_outlasts_a_client_time_limit(self):
        self.web.control("fault", path="/slow", kind="hang", seconds=3)
        received, ending, _ = raw_exchange(self.web.port, "/slow", 1)
        self.assertEqual((received, ending), (b"", "timeout"))

    def test_drip_sends_everything_slowly(self):
        start = time.monotonic()
        status, _, body = self.web.get("/_fault/drip?seconds=2&interval=0.25")
        elapsed = time.monotonic() - start
        self.assertEqual((status, body), (200, pattern_bytes(4096)))
        self.assertGreater(elapsed, 1.5)
        self.assertLess(elapsed, 5)

    def test_a_short_body_is_dripped_over_the_whole_time(self):
        self.web.control("fault", path="/short", kind="drip", seconds=1.5, interval=0.01)
        start = time.monotonic()
        status, _, body = self.web.get("/short")
        self.assertEqual(status, 404)
        self.assertLess(len(body), 150)
        self.assertGreater(time.monotonic() - start, 1.4)

    def test_drip_passes_a_time_limit_while_bytes_keep_coming(self):
        # Each pause is shorter than the socket time-out, so only a limit on
        # the whole exchange ends it.
        self.web.control("fault", path="/", kind="drip", seconds=4, interval=0.2)
        conn = http.client.HTTPConnection("127.0.0.1", self.web.port, timeout=1)
        conn.request("GET", "/")
        response = conn.getresponse()
        start = time.monotonic()
        got = b""
        while time.monotonic() - start < 1.5:
            piece = response.read1(1024)
            if not piece:
                break
            got += piece
        conn.close()
        self.assertGreater(len(got), 0)
        self.assertLess(len(got), int(response.getheader("Content-Length")))

    def test_busy_counts_a_hang_until_its_client_closes(self):
        def busy():
            return self.web.control("busy")["busy"]

        def wait_for_busy(count, limit):
            start = time.monotonic()
            while busy() != count and time.monotonic() - start < limit:
                time.sleep(0.05)
            return time.monotonic() - start

        # An earlier test's client may have read its whole reply a moment
        # before the server's side of that request ended.
        wait_for_busy(0, 5)
        self.assertEqual(busy(), 0)
        sock = socket.create_connection(("127.0.0.1", self.web.port), timeout=10)
        sock.sendall(b"GET /_fault/hang?seconds=30 HTTP/1.1\r\nHost: x\r\n\r\n")
        wait_for_busy(1, 3)
        self.assertEqual(busy(), 1)
        sock.close()
        self.assertLess(wait_for_busy(0, 5), 1.5)
        self.assertEqual(busy(), 0)

    def test_other_requests_are_served_during_a_hang(self):
        self.web.control("fault", path="/h", kind="hang", seconds=5)
        sock = socket.create_connection(("127.0.0.1", self.web.port), timeout=10)
        sock.sendall(b"GET /h HTTP/1.1\r\nHost: x\r\n\r\n")
        time.sleep(0.3)
        start = time.monotonic()
        self.assertEqual(self.web.get("/")[0], 200)
        self.assertLess(time.monotonic() - start, 1)
        sock.close()


class Stopping(unittest.TestCase):
    def test_sigterm_ends_the_server_during_a_hang_and_a_drip(self):
        web = LocalWeb()
        web.start()
        self.addCleanup(web.stop)
        hanging = socket.create_connection(("127.0.0.1", web.port), timeout=10)
        hanging.sendall(b"GET /_fault/hang?seconds=60 HTTP/1.1\r\nHost: x\r\n\r\n")
        dripping = socket.create_connection(("127.0.0.1", web.port), timeout=10)
        dripping.sendall(b"GET /_fault/drip?seconds=60&interval=1 HTTP/1.1\r\nHost: x\r\n\r\n")
        time.sleep(0.5)
        start = time.monotonic()
        self.assertEqual(web.stop(), 0)
        self.assertLess(time.monotonic() - start, 3)
        hanging.close()
        dripping.close()


if __name__ == "__main__":
    unittest.main()
