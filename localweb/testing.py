"""Running the local web service from tests: start it on a free port with its
own log, wait until it answers, read the log, and always stop it.

    with LocalWeb() as web:
        status, headers, body = web.get("/vws/1.4/rest?...")
        entries = web.log_entries()
"""

import http.client
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "server.py")


class LocalWeb:
    def __init__(self, cache_dir=None, server_args=()):
        """server_args: further options of server.py, such as --tls-port."""
        self._work = None
        self._process = None
        self._cache_dir = cache_dir
        self._server_args = list(server_args)
        self.port = None
        self.log_path = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self, timeout=15.0):
        self._work = tempfile.mkdtemp(prefix="localweb-test-")
        port_file = os.path.join(self._work, "port")
        self.log_path = os.path.join(self._work, "requests.log")
        command = [sys.executable, SERVER, "--port", "0", "--port-file", port_file,
                   "--log", self.log_path]
        if self._cache_dir:
            command += ["--cache-dir", self._cache_dir]
        command += self._server_args
        self._process = subprocess.Popen(command, stdin=subprocess.DEVNULL,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        try:
            self._wait_until_ready(port_file, timeout)
        except Exception:
            self.stop()
            raise

    def _wait_until_ready(self, port_file, timeout):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self._process.poll() is not None:
                raise RuntimeError("localweb ended at start: " + self._process.stderr.read().decode())
            if os.path.exists(port_file):
                with open(port_file, encoding="ascii") as f:
                    self.port = int(f.read())
                return
            time.sleep(0.05)
        raise RuntimeError("localweb did not start in time")

    def stop(self):
        """Stops the server (SIGTERM, then SIGKILL after 10 s) and removes its
        files. Returns the server's exit code."""
        code = None
        if self._process is not None:
            if self._process.poll() is None:
                self._process.send_signal(signal.SIGTERM)
            try:
                code = self._process.wait(10)
            except subprocess.TimeoutExpired:
                self._process.kill()
                code = self._process.wait()
            self._process.stderr.close()
            self._process = None
        if self._work:
            shutil.rmtree(self._work, ignore_errors=True)
            self._work = None
        return code

    @property
    def host(self):
        return f"127.0.0.1:{self.port}"

    def url(self, target):
        return f"http://{self.host}{target}"

    def get(self, target, timeout=30.0, headers=None):
        """GET of target sent exactly as given; returns (status, headers, body)."""
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            headers = headers or {}
            conn.putrequest("GET", target, skip_host="Host" in headers, skip_accept_encoding=True)
            for name, value in headers.items():
                conn.putheader(name, value)
            conn.endheaders()
            response = conn.getresponse()
            return response.status, dict(response.getheaders()), response.read()
        finally:
            conn.close()

    def control(self, action, **params):
        """Calls /_control/<action>; raises if the server refuses."""
        query = "&".join(f"{k}={v}" for k, v in params.items())
        status, _, body = self.get(f"/_control/{action}" + (f"?{query}" if query else ""))
        if status != 200:
            raise RuntimeError(f"control {action} refused: {body!r}")
        return json.loads(body)

    def log_entries(self):
        if not self.log_path or not os.path.exists(self.log_path):
            return []
        with open(self.log_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def process_running(self):
        return self._process is not None and self._process.poll() is None

    def send_signal(self, signum):
        self._process.send_signal(signum)

    def wait(self, timeout):
        return self._process.wait(timeout)
