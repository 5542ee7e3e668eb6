"""control.py and the service's lease, as demo.cmd uses them: finding the port
free, waiting for the service and stopping it, and a service that serves only
while its lease exists."""
import os
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from .lwtest import ROOT, LocalWeb

CONTROL = os.path.join(ROOT, "localweb", "control.py")
SERVER = os.path.join(ROOT, "localweb", "server.py")


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

    def test_free_only_while_no_program_holds_the_port(self):
        self.assertEqual(run_control("free", "--port", unused_port()).returncode, 0)
        with LocalWeb() as web:
            self.assertEqual(run_control("free", "--port", web.port).returncode, 1)

    def test_wait_answers_and_stop_ends_the_service_with_status_0(self):
        with LocalWeb() as web:
            self.assertEqual(run_control("wait", "--port", web.port, "--seconds", "5").returncode, 0)
            self.assertEqual(run_control("stop", "--port", web.port).returncode, 0)
            self.assertEqual(web.wait(10), 0)
            self.assertIn("/_control/stop", [entry["target"] for entry in web.log_entries()])


class LeaseTest(unittest.TestCase):
    def start_server(self, work, lease):
        port_file = os.path.join(work, "port")
        server = subprocess.Popen([sys.executable, SERVER, "--port", "0", "--port-file", port_file, "--log", os.devnull,
                                   "--lease", lease], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        self.addCleanup(server.wait, 10)
        self.addCleanup(server.kill)
        return server, port_file

    def test_no_start_without_the_lease(self):
        with tempfile.TemporaryDirectory() as work:
            server, port_file = self.start_server(work, os.path.join(work, "gone.lease"))
            self.assertEqual(server.wait(30), 1)
            self.assertFalse(os.path.exists(port_file))

    def test_stops_once_the_lease_is_removed(self):
        with tempfile.TemporaryDirectory() as work:
            lease = os.path.join(work, "demo.lease")
            open(lease, "w").close()
            server, port_file = self.start_server(work, lease)
            deadline = time.monotonic() + 30
            while not os.path.exists(port_file) and time.monotonic() < deadline:
                time.sleep(0.05)
            with open(port_file, encoding="ascii") as f:
                port = int(f.read())
            self.assertEqual(run_control("wait", "--port", port, "--seconds", "5").returncode, 0)
            os.remove(lease)
            self.assertEqual(server.wait(5), 0)
            self.assertEqual(run_control("free", "--port", port).returncode, 0)


if __name__ == "__main__":
    unittest.main()
