"""Search replies of a requested number of hotels on one page
(/_control/hotels), which the benchmarks use to measure the client on long
lists."""

import xml.etree.ElementTree as ET

from .lwtest import ServerTestCase
from .searchurl import AREA_TARGET, search_target

SEARCH_PATH = "/vws/1.4/rest"


def hotels_and_rooms(body):
    root = ET.fromstring(body)
    return root.findall(".//hotel"), root.findall(".//room")


class LongList(ServerTestCase):
    def search(self):
        status, _, body = self.web.get(search_target())
        self.assertEqual(status, 200)
        return body

    def test_the_reply_holds_the_hotels_asked_for_then_the_usual_page(self):
        usual = self.search()
        self.web.control("hotels", path=SEARCH_PATH, hotels=2500, plans=1)
        long_list = self.search()
        hotels, rooms = hotels_and_rooms(long_list)
        self.assertEqual(len(hotels), 2500)
        numbers = [h.findtext("hotelBasicInfo/hotelNo") for h in hotels]
        self.assertEqual(len(set(numbers)), 2500)
        names = [h.findtext("hotelBasicInfo/hotelName") for h in hotels]
        self.assertEqual(len(set(names)), 2500)
        self.assertEqual(len(rooms), 2500)
        self.assertEqual({r.findtext("hotelNo") for r in rooms}, set(numbers))
        self.assertEqual(ET.fromstring(long_list).findtext("Body/pagingInfo/recordCount"), "2500")
        self.assertEqual(self.search(), usual)

    def test_plans_per_hotel_are_capped(self):
        for plans, most in ((0, 0), (2, 2), (8, 8)):
            with self.subTest(plans=plans):
                self.web.control("hotels", path=SEARCH_PATH, hotels=40, plans=plans)
                hotels, rooms = hotels_and_rooms(self.search())
                self.assertEqual(len(hotels), 40)
                per_hotel = [len(h.findall(".//room")) for h in hotels]
                self.assertLessEqual(len(rooms), most * 40)
                self.assertTrue(all(n <= most for n in per_hotel))
        self.assertGreater(len(rooms), 2 * 40)

    def test_nothing_found_stays_not_found(self):
        self.web.control("hotels", path=SEARCH_PATH, hotels=100)
        _, _, body = self.web.get(search_target(adults=0))
        self.assertIn(b"<Status>NotFound</Status>", body)

    def test_other_requests_get_their_usual_reply(self):
        _, _, usual = self.web.get(AREA_TARGET)
        self.web.control("hotels", path=SEARCH_PATH, hotels=100, count=2)
        self.assertEqual(self.web.get(AREA_TARGET)[2], usual)
        status, _, body = self.web.get(SEARCH_PATH + "?operation=Bogus")
        self.assertEqual(status, 400)
        self.assertIn(b"ClientError", body)

    def test_bad_requests_are_refused(self):
        cases = [{}, {"hotels": 0}, {"hotels": 5001}, {"hotels": "x"}, {"hotels": 10, "plans": 9},
                 {"hotels": 10, "plans": -1}, {"hotels": 10, "seconds": 1}]
        for params in cases:
            with self.subTest(params=params):
                with self.assertRaises(RuntimeError):
                    self.web.control("hotels", path=SEARCH_PATH, **params)
        self.assertEqual(self.web.control("faults")["armed"], [])
