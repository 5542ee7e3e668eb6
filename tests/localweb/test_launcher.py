import os
import socket
import subprocess
import tempfile
import unittest

from .lwtest import ROOT

SCRIPT = os.path.join(ROOT, "tools", "with-localweb.sh")

# Fetches the start page with the port it was given, then prints the port and
# the log's first line and ends with status 3.
COMMAND = ("python3 -c \"import os, urllib.request;"
           "urllib.request.urlopen('http://127.0.0.1:%s/?probe=1' % os.environ['QX_LOCALWEB_PORT']).read();"
           "print(os.environ['QX_LOCALWEB_PORT']);"
           "print(open(os.environ['QX_LOCALWEB_LOG']).readline().strip())\"; exit 3")


class Launcher(unittest.TestCase):
    def run_script(self, env=None):
        return subprocess.run([SCRIPT, "sh", "-c", COMMAND], capture_output=True, text=True, timeout=60,
                              env=env)

    def test_runs_the_command_against_a_live_server_and_stops_it(self):
        result = self.run_script()
        self.assertEqual(result.returncode, 3, result.stderr)
        port_line, log_line = result.stdout.splitlines()
        self.assertIn('"target": "/?probe=1"', log_line)
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", int(port_line)), timeout=2).close()

    def test_a_log_named_by_the_caller_is_kept(self):
        with tempfile.TemporaryDirectory() as work:
            log = os.path.join(work, "kept.log")
            result = self.run_script(dict(os.environ, QX_LOCALWEB_LOG=log))
            self.assertEqual(result.returncode, 3, result.stderr)
            with open(log, encoding="utf-8") as f:
                self.assertIn("/?probe=1", f.read())


if __name__ == "__main__":
    unittest.main()
