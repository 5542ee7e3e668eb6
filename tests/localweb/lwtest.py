"""Shared set-up of the local web service tests: the service's own modules on
the import path, and one server per test class."""

import os
import sys
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "localweb"))

from testing import LocalWeb  # noqa: E402,F401


class ServerTestCase(unittest.TestCase):
    """Starts one service for the class and stops it whatever happens."""

    @classmethod
    def setUpClass(cls):
        cls.web = LocalWeb()
        cls.web.start()
        cls.addClassCleanup(cls.web.stop)

    def tearDown(self):
        self.web.control("clear")
