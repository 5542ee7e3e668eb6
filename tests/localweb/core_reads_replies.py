"""Replies saved from the running local web service, read by the core's
readers (the native program localweb_reply_counts): what they read must be
what the service meant to send.

Usage: python3 tests/localweb/core_reads_replies.py <path of localweb_reply_counts>"""

import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "..", "localweb"))

from clientview import extract_all  # noqa: E402
from searchurl import AREA_TARGET, landmark_area, search_target  # noqa: E402
from testing import LocalWeb  # noqa: E402
import areas  # noqa: E402
import paging  # noqa: E402
import service  # noqa: E402

PROGRAM = None

SEARCHES = [
    search_target(),
    search_target(area="middleClassCode=tokyo&smallClassCode=tokyo23", children=1),
    search_target(area="middleClassCode=tokyo&smallClassCode=tokyo23") + "&page=3",
    search_target(area="middleClassCode=kyoto&smallClassCode=kyotoshi", budget=(20000, 60000)),
    search_target(area=landmark_area(35.681236, 139.767125, 1000), squeeze=("kinen",)),
    search_target(area="middleClassCode=gunma&smallClassCode=kusatsu", checkin="2030-08-12",
                  checkout="2030-08-15", squeeze=("onsen", "dinner")),
    search_target(area="middleClassCode=osaka&smallClassCode=osakashi&detailClassCode=namba",
                  adults=1, rooms=1, squeeze=("breakfast", "internet")),
]


def cp932_length(text):
    return len(text.encode("cp932"))


def kept_if_short(text):
    """What a field that holds only texts shorter than 1024 bytes keeps."""
    return cp932_length(text) if text and cp932_length(text) < 1024 else 0


class CoreReadsReplies(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.web = LocalWeb()
        cls.web.start()
        cls.addClassCleanup(cls.web.stop)
        cls.work = tempfile.TemporaryDirectory(prefix="localweb-replies-")
        cls.addClassCleanup(cls.work.cleanup)

    def read_with_core(self, kind, body, name):
        """Saves the reply converted to code page 932, as the client does after
        a fetch, and returns the native program's output lines."""
        path = os.path.join(self.work.name, name)
        with open(path, "wb") as f:
            f.write(body.decode("utf-8").encode("cp932"))
        result = subprocess.run([PROGRAM, kind, path], capture_output=True, text=True, timeout=120)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.splitlines()

    def test_area_catalogue(self):
        status, _, body = self.web.get(AREA_TARGET)
        self.assertEqual(status, 200)
        lines = self.read_with_core("area", body, "area.xml")
        middles = extract_all(body.decode("utf-8"), "middleClass")
        expected = [f"middle 1 {len(areas.MIDDLE_CLASSES)}"]
        for m, middle in enumerate(areas.MIDDLE_CLASSES):
            expected.append(f"small {m} {len(middle.smalls)} {cp932_length(middles[m])}")
            for s, small in enumerate(middle.smalls):
                expected.append(f"detail {m} {s} {1 if small.details else 0} {len(small.details)}")
        self.assertEqual(lines, expected)

    def expected_search(self, target):
        query = target.partition("?")[2]
        q = service.parse_search(service.read_parameters(query))
        everything = service.search(q)
        if not everything:
            return ["status 200", "hotels 0", "plans 0", "paging 0 0 0 0 0"]
        page = paging.cut_page(everything, q.page, paging.PAGE_SIZE)
        hotel_lines, plan_lines = [], []
        for f in page.hotels:
            h = f.hotel
            lat, lon = h.tokyo_seconds
            image = service.hotel_image_url(self.web.url(""), h.hotel_no)
            hotel_lines.append(
                f"hotel {h.hotel_no} {h.lowest_charge} {h.highest_charge} {lat:.2f} {lon:.2f} "
                f"{cp932_length(h.name)} {cp932_length(h.address1 + h.address2)} "
                f"{kept_if_short(h.special)} {kept_if_short(h.access)} "
                f"{cp932_length(h.fax or '')} {cp932_length(h.parking or '')} {len(image)}")
            for offer in f.offers:
                p = offer.plan
                url = service.reserve_url(self.web.url(""), h.hotel_no, p.plan_id, q).replace("&amp;", "&")
                plan_lines.append(
                    f"plan {h.hotel_no} {sum(yen for _, yen in offer.charges)} {p.with_dinner} "
                    f"{p.dinner_select} {p.with_breakfast} {p.breakfast_select} "
                    f"{cp932_length(p.room_name)} {len(url)}")
        return (["status 100", f"hotels {len(hotel_lines)}", f"plans {len(plan_lines)}",
                 f"paging {page.record_count} {page.page_count} {page.page} {page.first} {page.last}"]
                + hotel_lines + plan_lines)

    def test_searches(self):
        for number, target in enumerate(SEARCHES):
            with self.subTest(target=target):
                status, _, body = self.web.get(target)
                self.assertEqual(status, 200)
                lines = self.read_with_core("search", body, f"search{number}.xml")
                self.assertEqual(lines, self.expected_search(target))
                self.assertNotEqual(lines[1], "hotels 0")

    def test_failure_statuses(self):
        status, _, body = self.web.get(search_target(budget=(0, 1)))
        self.assertEqual(self.read_with_core("search", body, "notfound.xml")[0], "status 200")
        self.web.control("fault", path="/vws/1.4/rest", kind="servererror")
        status, _, body = self.web.get(search_target())
        self.assertEqual(self.read_with_core("search", body, "servererror.xml")[0], "status 400")


if __name__ == "__main__":
    if len(sys.argv) < 2 or not os.access(sys.argv[1], os.X_OK):
        sys.exit("usage: core_reads_replies.py <path of localweb_reply_counts>")
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
