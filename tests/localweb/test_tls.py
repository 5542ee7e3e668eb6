import http.client
import os
import shutil
import ssl
import subprocess
import tempfile
import unittest

from .lwtest import ROOT, LocalWeb
from .searchurl import AREA_TARGET, search_target

CERTIFICATES = os.path.join(ROOT, "tools", "make-test-certificates.sh")


class TlsBeside(unittest.TestCase):
    """Plain http on the service's port and TLS on a second one, one service behind both."""

    @classmethod
    def setUpClass(cls):
        folder = tempfile.mkdtemp(prefix="localweb-tls-")
        cls.addClassCleanup(shutil.rmtree, folder, True)
        subprocess.run([CERTIFICATES, folder], check=True, timeout=120)
        cls.context = ssl.create_default_context(cafile=os.path.join(folder, "authority.crt"))
        cls.web = LocalWeb(server_args=["--tls-port", "0", "--tls-cert", os.path.join(folder, "localhost.crt"),
                                        "--tls-key", os.path.join(folder, "localhost.key")])
        cls.web.start()
        cls.addClassCleanup(cls.web.stop)
        cls.tls_port = cls.web.control("tls")["port"]

    def get(self, target):
        conn = http.client.HTTPSConnection("localhost", self.tls_port, context=self.context, timeout=30)
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


if __name__ == "__main__":
    unittest.main()
