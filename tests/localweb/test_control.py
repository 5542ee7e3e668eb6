"""control.py, as demo.cmd uses it: waiting for the service and stopping it."""
import os
import socket
import subprocess
import sys
import unittest

from .lwtest import ROOT, LocalWeb

CONTROL = os.path.join(ROOT, "localweb", "control.py")


def run_control(*args):
    return subprocess.run([sys.executable, CONTROL] + [str(a) for a in args],
                          capture_output=True, text=True, timeout=60)


def unused_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ControlTest(unittest.TestCase):
    def test_wait_and_stop_fail_where_no_service_listens(self):
        port = unused_port()
        for args in (("wait", "--port", port, "--seconds", "0.5"), ("stop", "--port", port)):
            with self.subTest(args=args[0]):
                self.assertEqual(run_control(*args).returncode, 1)

    def test_wait_answers_and_stop_ends_the_service_with_status_0(self):
        with LocalWeb() as web:
            self.assertEqual(run_control("wait", "--port", web.port, "--seconds", "5").returncode, 0)
            self.assertEqual(run_control("stop", "--port", web.port).returncode, 0)
            self.assertEqual(web.wait(10), 0)
            self.assertIn("/_control/stop", [entry["target"] for entry in web.log_entries()])


if __name__ == "__main__":
    unittest.main()
