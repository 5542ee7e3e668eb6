import re
import unittest

from .lwtest import ServerTestCase
from .clientview import extract, extract_all
import areas
import geo
import geoscan


def client_query(text):
    """The client's encoding: every code page 932 byte as %XX."""
    return "".join(f"%{b:02X}" for b in text.encode("cp932"))


def client_rows(page):
    """The rows the client lists: the first four td cells of every tr that has four."""
    rows = []
    for row in extract_all(page, "tr"):
        cells, cursor = [], 0
        for _ in range(4):
            cell, cursor = extract(row, "td", cursor)
            cells.append(cell)
        if cursor >= 0:
            rows.append(cells)
    return rows


class GeocodingPage(ServerTestCase):
    def fetch(self, raw_q):
        status, headers, body = self.web.get(f"/php/geoscan.php?q={raw_q}")
        self.assertEqual(status, 200)
        self.assertIn("Shift_JIS", headers["Content-Type"])
        return body.decode("cp932")   # strict: the page must be valid code page 932

    def test_matches_are_listed_one_row_each(self):
        page = self.fetch(client_query("東京"))
        rows = client_rows(page)
        names = [r[0] for r in rows]
        self.assertIn("東京駅", names)
        self.assertIn("東京タワー", names)
        self.assertTrue(all("東京" in n for n in names))
        station = rows[names.index("東京駅")]
        self.assertTrue(station[1].startswith("東京都千代田区"))
        self.assertAlmostEqual(float(station[2]), 35.681, places=2)
        self.assertAlmostEqual(float(station[3]), 139.767, places=2)

    def test_one_table_with_a_header_of_th_cells(self):
        page = self.fetch(client_query("新宿"))
        self.assertEqual(len(extract_all(page, "table")), 1)
        rows = extract_all(page, "tr")
        self.assertEqual(len(extract_all(rows[0], "th")), 4)
        self.assertNotIn("<td>", rows[0])
        self.assertEqual(len(rows), len(client_rows(page)) + 1)

    def test_no_match_leaves_only_the_header(self):
        for raw in (client_query("存在しない地名"), "", client_query(" "), "%FF%FF%FF", "%81"):
            with self.subTest(raw=raw):
                page = self.fetch(raw)
                self.assertEqual(client_rows(page), [])
                self.assertEqual(len(extract_all(page, "tr")), 1)
        status, _, body = self.web.get("/php/geoscan.php")
        self.assertEqual(status, 200)
        self.assertEqual(client_rows(body.decode("cp932")), [])

    def test_escapes_are_decoded_in_any_letter_case_and_plus_is_a_space(self):
        cases = [client_query("京都"), client_query("京都").lower(),
                 "%8B%9E%93s"]   # the trail byte of 都 written as the plain letter it equals
        for raw in cases:
            with self.subTest(raw=raw):
                self.assertTrue(client_rows(self.fetch(raw)))
        self.assertEqual([r[0] for r in client_rows(self.fetch("%93%8C%8B%9E+%89w"))], [])

    def test_half_width_katakana_matches_its_full_width_form(self):
        for typed in ("ﾕﾆﾊﾞｰｻﾙ", "ユニバーサル"):
            with self.subTest(typed=typed):
                names = [r[0] for r in client_rows(self.fetch(client_query(typed)))]
                self.assertEqual(names, ["ユニバーサル・スタジオ・ジャパン"])

    def test_hostile_queries_are_escaped_in_the_page(self):
        hostile = "<tr><td>偽</td><td>偽</td><td>1</td><td>2</td></tr><script>"
        page = self.fetch(client_query(hostile))
        self.assertEqual(client_rows(page), [])
        self.assertNotIn("<script>", page)

    def test_the_query_is_logged_undecoded(self):
        raw = client_query("博多")
        self.fetch(raw)
        self.assertEqual(self.web.log_entries()[-1]["query"], f"q={raw}")


class Gazetteer(unittest.TestCase):
    def test_at_least_a_hundred_distinct_places(self):
        self.assertGreaterEqual(len(geoscan.PLACES), 100)
        self.assertEqual(len({p.name for p in geoscan.PLACES}), len(geoscan.PLACES))

    def test_every_place_lies_in_its_prefecture(self):
        # Catches mistyped coordinates: each place is near an area of the
        # prefecture its address names.
        for place in geoscan.PLACES:
            with self.subTest(place=place.name):
                self.assertRegex(place.latitude, r"^\d+\.\d{4,6}$")
                middle = next(m for m in areas.MIDDLE_CLASSES if place.address.startswith(m.name))
                centres = [(s.place.latitude, s.place.longitude) for s in middle.smalls]
                centres += [(d.latitude, d.longitude) for s in middle.smalls for d in s.details]
                nearest = min(geo.distance_metres(float(place.latitude), float(place.longitude), *c)
                              for c in centres)
                self.assertLess(nearest, 40000)

    def test_addresses_name_a_prefecture(self):
        prefectures = tuple(m.name for m in areas.MIDDLE_CLASSES)
        self.assertTrue(all(re.match("|".join(prefectures), p.address) for p in geoscan.PLACES))


if __name__ == "__main__":
    unittest.main()
