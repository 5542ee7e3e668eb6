import re
import unittest
import xml.etree.ElementTree as ET

from .lwtest import ServerTestCase
from .clientview import cp932_length, extract, extract_all, first
from .searchurl import AREA_TARGET, DEVELOPER_ID


class AreaClassReply(ServerTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        status, headers, body = cls.web.get(AREA_TARGET)
        cls.status, cls.headers, cls.body = status, headers, body
        cls.text = body.decode("utf-8")
        cls.large = first(cls.text, "largeClass")
        cls.middles = extract_all(cls.large, "middleClass")

    def test_well_formed_utf8_xml_with_declaration(self):
        self.assertEqual(self.status, 200)
        self.assertIn("charset=UTF-8", self.headers["Content-Type"])
        self.assertTrue(self.body.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'))
        ET.fromstring(self.body)

    def test_everything_survives_the_conversion_to_code_page_932(self):
        self.text.encode("cp932")

    def test_one_large_class_japan_with_the_47_prefectures_in_order(self):
        self.assertEqual(len(extract_all(self.text, "largeClass")), 1)
        self.assertEqual(first(self.large, "largeClassCode"), "japan")
        names = [first(m, "middleClassName") for m in self.middles]
        self.assertEqual(len(names), 47)
        self.assertEqual((names[0], names[12], names[26], names[46]), ("北海道", "東京都", "大阪府", "沖縄県"))
        codes = [first(m, "middleClassCode") for m in self.middles]
        self.assertEqual(len(set(codes)), 47)

    def test_code_before_name_at_every_level(self):
        # The client reads the name only after the code, with one cursor.
        for middle in self.middles:
            code, cursor = extract(middle, "middleClassCode")
            name, cursor = extract(middle, "middleClassName", cursor)
            self.assertTrue(code and name, middle[:80])
            for small in extract_all(middle, "smallClass"):
                code, cursor = extract(small, "smallClassCode")
                name, _ = extract(small, "smallClassName", cursor)
                self.assertTrue(code and name, small[:80])
                for detail in extract_all(small, "detailClass"):
                    code, cursor = extract(detail, "detailClassCode")
                    name, _ = extract(detail, "detailClassName", cursor)
                    self.assertTrue(code and name, detail[:80])

    def test_several_small_classes_everywhere_and_many_in_the_big_cities(self):
        counts = {first(m, "middleClassName"): len(extract_all(m, "smallClass")) for m in self.middles}
        self.assertGreaterEqual(min(counts.values()), 4)
        self.assertGreaterEqual(counts["東京都"], 10)
        self.assertGreaterEqual(counts["北海道"], 10)

    def small_classes_of(self, middle_name):
        middle = next(m for m in self.middles if first(m, "middleClassName") == middle_name)
        return {first(s, "smallClassName"): s for s in extract_all(middle, "smallClass")}

    def test_detail_classes_of_the_divided_cities(self):
        cases = [("東京都", "東京23区内", 23), ("大阪府", "大阪市", 6), ("京都府", "京都市", 5),
                 ("北海道", "札幌", 4), ("愛知県", "名古屋", 4)]
        for middle, small, least in cases:
            with self.subTest(small=small):
                text = self.small_classes_of(middle)[small]
                details = [first(d, "detailClassName") for d in extract_all(text, "detailClass")]
                self.assertGreaterEqual(len(details), least)
        wards = [first(d, "detailClassName") for d in
                 extract_all(self.small_classes_of("東京都")["東京23区内"], "detailClass")]
        for ward in ("千代田区", "新宿区", "渋谷区", "江戸川区"):
            self.assertIn(ward, wards)

    def test_small_classes_without_details_have_no_detail_tag(self):
        smalls = self.small_classes_of("青森県")
        self.assertTrue(all("<detailClass>" not in s for s in smalls.values()))

    def test_a_middle_class_longer_than_the_client_field(self):
        longest = max(self.middles, key=cp932_length)
        self.assertGreater(cp932_length(longest), 10240)

    def test_hotel_counts_add_up(self):
        for middle in self.middles:
            for small in extract_all(middle, "smallClass"):
                details = extract_all(small, "detailClass")
                if details:
                    total = int(first(small, "hotelCount"))
                    self.assertEqual(total, sum(int(first(d, "hotelCount")) for d in details))
        total = sum(int(first(s, "hotelCount")) for m in self.middles for s in extract_all(m, "smallClass"))
        self.assertGreaterEqual(total, 300)

    def test_no_attributes_on_the_elements_the_client_reads(self):
        names = ("largeClass", "largeClassCode", "middleClass", "middleClassCode", "middleClassName",
                 "smallClass", "smallClassCode", "smallClassName", "detailClass", "detailClassCode",
                 "detailClassName")
        for name in names:
            self.assertIsNone(re.search(rf"<{name}[\s/]", self.text), name)


class AreaClassRequests(ServerTestCase):
    def test_refused_requests(self):
        good = AREA_TARGET
        cases = [
            good.replace(DEVELOPER_ID, "0" * 32),
            good.replace(f"developerId={DEVELOPER_ID}&", ""),
            good.replace("GetAreaClass", "GetPlanetClass"),
            good.replace("&operation=GetAreaClass", ""),
            good.replace("2007-02-28", "2009-10-20"),
            good + "&extra=1",
            good + "&version=2007-02-28",
            good + "&flag",
        ]
        for target in cases:
            with self.subTest(target=target):
                status, headers, body = self.web.get(target)
                self.assertEqual(status, 400)
                self.assertLess(len(body), 1024)
                ET.fromstring(body)

    def test_escaped_letters_in_the_query_are_decoded(self):
        status, _, _ = self.web.get(AREA_TARGET.replace("GetAreaClass", "%47etAreaClass"))
        self.assertEqual(status, 200)

    def test_other_paths_of_the_service_are_not_found(self):
        self.assertEqual(self.web.get(AREA_TARGET.replace("/vws/1.4/rest", "/vws/1.5/rest"))[0], 404)


class BareMiddleClass(ServerTestCase):
    """/_control/areas: an area reply in which one prefecture has no small classes."""

    @staticmethod
    def middles(body):
        return extract_all(first(body.decode("utf-8"), "largeClass"), "middleClass")

    def test_the_named_prefecture_comes_without_small_classes_once(self):
        usual = self.web.get(AREA_TARGET)[2]
        self.web.control("areas", path="/vws/1.4/rest", bare="aomori")
        status, _, bare = self.web.get(AREA_TARGET)
        self.assertEqual(status, 200)
        changed = [(u, b) for u, b in zip(self.middles(usual), self.middles(bare)) if u != b]
        self.assertEqual(len(self.middles(bare)), 47)
        self.assertEqual(len(changed), 1)
        before, after = changed[0]
        self.assertEqual(first(after, "middleClassCode"), "aomori")
        self.assertEqual(first(after, "middleClassName"), first(before, "middleClassName"))
        self.assertIn("<smallClass>", before)
        self.assertNotIn("<smallClass>", after)
        self.assertEqual(self.web.get(AREA_TARGET)[2], usual)

    def test_unknown_prefectures_are_refused(self):
        for params in ({}, {"bare": "atlantis"}, {"bare": "aomori", "seconds": 1}):
            with self.subTest(params=params):
                with self.assertRaises(RuntimeError):
                    self.web.control("areas", path="/vws/1.4/rest", **params)
        self.assertEqual(self.web.control("faults")["armed"], [])


if __name__ == "__main__":
    unittest.main()
