import http.client
import unittest

from .lwtest import ServerTestCase


class RequestLogTest(ServerTestCase):
    def send(self, target, user_agent):
        conn = http.client.HTTPConnection("127.0.0.1", self.web.port, timeout=10)
        conn.putrequest("GET", target, skip_host=False, skip_accept_encoding=True)
        if user_agent is not None:
            conn.putheader("User-Agent", user_agent)
        conn.endheaders()
        conn.getresponse().read()
        conn.close()

    def test_targets_are_logged_exactly_as_sent(self):
        cases = [
            ("/php/geoscan.php?q=%93%8C%8B%9E", "LOVANTE-KOGEI"),
            ("/vws/1.4/rest?a=1&a=2&b=%zz&c", "LOVANTE-KOGEI"),
            ("/hgc/x/?pc=%68%74%74%70", None),
            ("/img/1.jpg?size=m&amp;v=1", "Mozilla/4.0 (compatible)"),
            ("/", ""),
            ("/path%2Fwith%2fescapes?", None),
        ]
        before = len(self.web.log_entries())
        for target, agent in cases:
            self.send(target, agent)
        entries = self.web.log_entries()[before:]
        self.assertEqual(len(entries), len(cases))
        for (target, agent), entry in zip(cases, entries):
            with self.subTest(target=target):
                self.assertEqual(entry["method"], "GET")
                self.assertEqual(entry["target"], target)
                self.assertEqual(entry["path"] + ("" if entry["query"] is None else "?" + entry["query"]), target)
                self.assertEqual(entry["userAgent"], agent)
                self.assertFalse(entry["control"])
                self.assertRegex(entry["time"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}")

    def test_control_and_fault_requests_are_marked(self):
        before = len(self.web.log_entries())
        self.web.control("fault", path="/z", kind="status500")
        self.web.get("/z?k=1")
        self.web.get("/_fault/status404")
        entries = self.web.log_entries()[before:]
        self.assertEqual([(e["control"], e["fault"]) for e in entries],
                         [(True, None), (False, "status500"), (False, "status404")])

    def test_a_never_answered_request_is_logged(self):
        self.web.control("fault", path="/never", kind="hang", seconds=1)
        with self.assertRaises(http.client.RemoteDisconnected):
            self.web.get("/never?x=%20")
        self.assertEqual(self.web.log_entries()[-1]["target"], "/never?x=%20")


if __name__ == "__main__":
    unittest.main()
