import http.client
import json
import os
import shutil
import ssl
import subprocess
import tempfile
import time
import unittest

from .lwtest import ROOT, LocalWeb
from .searchurl import AREA_TARGET, search_target

CERTIFICATES = os.path.join(ROOT, "tools", "make-test-certificates.sh")
NAMES = ("localhost", "wrong-name", "expired", "untrusted")


FOLDER = None  # the certificates of this module's tests, made once


def setUpModule():
    global FOLDER
    FOLDER = tempfile.mkdtemp(prefix="localweb-tls-")
    unittest.addModuleCleanup(shutil.rmtree, FOLDER, True)
    subprocess.run([CERTIFICATES, FOLDER], check=True, timeout=120)


def tls_options(tls_port=True):
    options = ["--tls-port", "0"] if tls_port else []
    for name in NAMES:
        options += ["--tls-cert", os.path.join(FOLDER, name + ".crt"), "--tls-key", os.path.join(FOLDER, name + ".key")]
    return options


class TlsBeside(unittest.TestCase):
    """Plain http on the service's port and TLS on a second one, one service behind both."""

    @classmethod
    def setUpClass(cls):
        cls.web = LocalWeb(server_args=tls_options())
        cls.web.start()
        cls.addClassCleanup(cls.web.stop)
        cls.tls_port = cls.web.control("tls")["port"]

    def tearDown(self):
        self.web.control("tls", certificate="localhost")

    def client(self):
        context = ssl.create_default_context(cafile=os.path.join(FOLDER, "authority.crt"))
        return http.client.HTTPSConnection("localhost", self.tls_port, context=context, timeout=30)

    def get(self, target):
        conn = self.client()
        try:
            conn.request("GET", target)
            response = conn.getresponse()
            return response.status, response.read()
        finally:
            conn.close()

    def test_the_service_answers_over_tls_with_links_of_its_scheme(self):
        status, body = self.get(AREA_TARGET)
        self.assertEqual(status, 200)
        self.assertIn("<middleClassCode>tokyo</middleClassCode>", body.decode("utf-8"))
        origin = f"https://localhost:{self.tls_port}/"
        status, body = self.get(search_target())
        self.assertEqual(status, 200)
        reply = body.decode("utf-8")
        for element in ("hotelInformationUrl", "hotelImageUrl", "reserveUrl"):
            self.assertIn(f"<{element}>{origin}", reply)
        plain = self.web.get(search_target())[2].decode("utf-8")
        self.assertIn(f"<hotelImageUrl>http://127.0.0.1:{self.web.port}/", plain)
        schemes = [(e["path"], e["scheme"]) for e in self.web.log_entries()[-3:]]
        self.assertEqual(schemes, [("/vws/1.4/rest", "https"), ("/vws/1.4/rest", "https"),
                                   ("/vws/1.4/rest", "http")])

    def tls_state_once(self, condition):
        """The state of the TLS listener once condition holds for it (the server
        counts a refused handshake on its own thread, a moment after the
        client gave up), or as it stands after 10 seconds."""
        deadline = time.monotonic() + 10
        while True:
            state = self.web.control("tls")
            if condition(state) or time.monotonic() > deadline:
                return state
            time.sleep(0.05)

    def test_a_chosen_certificate_is_presented_and_the_connections_counted(self):
        expected_errors = {"wrong-name": "match", "expired": "expired", "untrusted": "issuer"}
        for name, reason in expected_errors.items():
            with self.subTest(certificate=name):
                before = self.web.control("tls", certificate=name)
                self.assertEqual(before["certificate"], name)
                logged = len(self.web.log_entries())
                with self.assertRaises(ssl.SSLCertVerificationError) as refused:
                    self.get(AREA_TARGET)
                self.assertIn(reason, str(refused.exception))
                failed = before["failedHandshakes"] + 1
                after = self.tls_state_once(lambda state: state["failedHandshakes"] >= failed)
                self.assertEqual(after["connections"], before["connections"] + 1)
                self.assertEqual(after["failedHandshakes"], failed)
                self.assertEqual(after["handshakes"], before["handshakes"])
                # No request came past the handshake: the log holds only the control requests.
                self.assertTrue(all(e["control"] for e in self.web.log_entries()[logged:]))
        self.web.control("tls", certificate="localhost")
        self.assertEqual(self.get(AREA_TARGET)[0], 200)

    def test_an_unknown_certificate_name_is_refused(self):
        status, _, body = self.web.get("/_control/tls?certificate=other")
        self.assertEqual(status, 400)
        self.assertIn("localhost, wrong-name, expired, untrusted", json.loads(body)["error"])
        self.assertEqual(self.web.control("tls")["certificate"], "localhost")


class TlsOnItsOwnPort(unittest.TestCase):
    def test_without_a_tls_port_the_service_port_speaks_tls(self):
        with LocalWeb(server_args=tls_options(tls_port=False)) as web:
            context = ssl.create_default_context(cafile=os.path.join(FOLDER, "authority.crt"))
            conn = http.client.HTTPSConnection("localhost", web.port, context=context, timeout=30)
            conn.request("GET", "/_control/tls")
            answer = json.loads(conn.getresponse().read())
            conn.close()
            self.assertEqual(answer["port"], web.port)
            with self.assertRaises((http.client.HTTPException, OSError)):
                web.get("/_control/faults", timeout=5)

    def test_a_tls_port_without_certificates_stops_the_start(self):
        with self.assertRaises(RuntimeError):
            LocalWeb(server_args=["--tls-port", "0"]).start()


if __name__ == "__main__":
    unittest.main()
