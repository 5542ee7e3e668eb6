"""tools/check-layers.py on a small tree of the layer folders (layers-fixture):
the tree as it is passes; each include added to a copy of it that breaks the
rule is reported with the rule it breaks, and nothing else is."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
CHECKER = os.path.join(ROOT, "tools", "check-layers.py")
FIXTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "layers-fixture")

LAYER_RULE = "may include only"
PLATFORM_RULE = "window-free code includes no platform header"
RESOURCE_RULE = "window-free code includes nothing of res/"
UNKNOWN_RULE = "names no file of the source tree"

# (what is planted, {file: line added}, [(file reported, include as written, rule)])
CASES = [
    ("relative path to a later layer",
     {"controls/ListTools.cpp": '#include "../search/ConditionsDialog.h"'},
     [("controls/ListTools.cpp", '"../search/ConditionsDialog.h"', "controls/ " + LAYER_RULE)]),
    ("angled project header in a window-free file",
     {"net/Hosts.cpp": "#include <details/LandmarkDialog.h>"},
     [("net/Hosts.cpp", "<details/LandmarkDialog.h>", "net/ " + LAYER_RULE),
      ("details/LandmarkDialog.h", "<windows.h>", PLATFORM_RULE)]),
    ("file in a subfolder",
     {"net/sub/Probe.cpp": '#include "app/MainDialog.h"'},
     [("net/sub/Probe.cpp", '"app/MainDialog.h"', "net/ " + LAYER_RULE)]),
    ("window header other than windows.h",
     {"parse/Text.cpp": "#include <winuser.h>"},
     [("parse/Text.cpp", "<winuser.h>", PLATFORM_RULE)]),
    ("window header named without its folder",
     {"controls/Scale.cpp": '#include "WindowDpi.h"'},
     [("controls/WindowDpi.h", "<windows.h>", PLATFORM_RULE + " (controls/WindowDpi.h is included by "
                                              "controls/Scale.cpp of qx_controls_core)")]),
    ("window header in a header no window-free source is named after",
     {"search/Conditions.h": "#include <windows.h>"},
     [("search/Conditions.h", "<windows.h>", PLATFORM_RULE)]),
    ("resource ids in parse",
     {"parse/Text.h": '#include "res/resource.h"'},
     [("parse/Text.h", '"res/resource.h"', "parse/ may include only parse/"),
      ("parse/Text.h", '"res/resource.h"', RESOURCE_RULE)]),
    ("name of no file",
     {"app/MainDialog.h": '#include "Nowhere.h"'},
     [("app/MainDialog.h", '"Nowhere.h"', UNKNOWN_RULE)]),
]


def run_checker(root):
    return subprocess.run([sys.executable, CHECKER, root], capture_output=True, text=True, timeout=60)


class CheckLayersTest(unittest.TestCase):
    def test_the_tree_as_it_is_passes(self):
        result = run_checker(FIXTURE)
        self.assertEqual((result.returncode, result.stdout), (0, ""))

    def test_each_break_is_reported_with_its_rule(self):
        for label, planted, expected in CASES:
            with self.subTest(label), tempfile.TemporaryDirectory() as work:
                root = os.path.join(work, "tree")
                shutil.copytree(FIXTURE, root)
                for name, line in planted.items():
                    path = os.path.join(root, name)
                    os.makedirs(os.path.dirname(path), exist_ok=True)
                    with open(path, "a", encoding="utf-8") as out:
                        out.write(line + "\n")
                result = run_checker(root)
                reports = result.stdout.splitlines()
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertEqual(len(reports), len(expected), result.stdout)
                for report, (name, include, rule) in zip(reports, expected):
                    self.assertTrue(report.startswith(f"check-layers: {name}: {include}"), report)
                    self.assertIn(rule, report)


if __name__ == "__main__":
    unittest.main()
