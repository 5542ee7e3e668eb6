import datetime
import math
import re
import unittest
import xml.etree.ElementTree as ET

from .lwtest import ServerTestCase
from .clientview import cp932_length, extract_all, first
from .searchurl import landmark_area, search_target

HOTEL_FIELDS = ("hotelNo", "hotelName", "checkinTime", "checkoutTime", "latitude", "longitude",
                "address1", "address2", "telephoneNo", "access", "lowestCharge", "highestCharge",
                "hotelImageUrl", "hotelInformationUrl")
ROOM_FIELDS = ("hotelNo", "roomName", "planContents", "withDinnerFlag", "dinnerSelectFlag",
               "withBreakfastFlag", "breakfastSelectFlag", "reserveUrl")
READ_NAMES = HOTEL_FIELDS + ROOM_FIELDS + ("hotel", "room", "Header", "Status", "faxNo",
                                           "hotelSpecial", "parkingInformation", "vantoroCharge")

TOKYO_STATION = (35.681236, 139.767125)
CITY = "middleClassCode=kyoto&smallClassCode=kyotoshi"   # all its hotels fit on one page
AREAS = [
    "middleClassCode=tokyo&smallClassCode=tokyo23&detailClassCode=shinjuku",
    "middleClassCode=tokyo&smallClassCode=tokyo23",
    "middleClassCode=osaka&smallClassCode=osakashi&detailClassCode=namba",
    "middleClassCode=kyoto&smallClassCode=kyotoshi&detailClassCode=kyotoeki",
    "middleClassCode=kyoto&smallClassCode=kyotoshi",
    "middleClassCode=gunma&smallClassCode=kusatsu",
    "middleClassCode=hokkaido&smallClassCode=hakodate",
    "middleClassCode=okinawa&smallClassCode=ishigaki",
]


def hotels_of(text):
    return extract_all(text, "hotel")


def rooms_of(text):
    return extract_all(text, "room")


def hotel_numbers(text):
    return [int(first(h, "hotelNo")) for h in hotels_of(text)]


def room_total(room):
    return sum(int(c) for c in extract_all(room, "vantoroCharge"))


def wgs84_of(hotel):
    """The hotel's position as the client's map link computes it."""
    lat = float(first(hotel, "latitude")) / 3600
    lon = float(first(hotel, "longitude")) / 3600
    return (lat - lat * 0.00010695 + lon * 0.000017464 + 0.0046017,
            lon - lat * 0.000046038 - lon * 0.000083043 + 0.01004)


def metres(a, b):
    p1, p2 = math.radians(a[0]), math.radians(b[0])
    h = math.sin((p2 - p1) / 2) ** 2 + math.cos(p1) * math.cos(p2) * math.sin(math.radians(b[1] - a[1]) / 2) ** 2
    return 2 * 6371000 * math.asin(math.sqrt(h))


class SearchTestCase(ServerTestCase):
    def search(self, **conditions):
        status, headers, body = self.web.get(search_target(**conditions))
        self.assertEqual(status, 200, body[:300])
        self.assertIn("charset=UTF-8", headers["Content-Type"])
        return body.decode("utf-8")

    def assertFound(self, text):
        self.assertEqual(first(first(text, "Header"), "Status"), "Success")
        self.assertTrue(hotels_of(text))


class ReplyShape(SearchTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.replies = []
        for area in AREAS:
            status, _, body = cls.web.get(search_target(area=area))
            cls.replies.append(body)
        cls.texts = [b.decode("utf-8") for b in cls.replies]

    def test_replies_are_well_formed_and_survive_code_page_932(self):
        for body, text in zip(self.replies, self.texts):
            self.assertTrue(body.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'))
            ET.fromstring(body)
            text.encode("cp932")
            self.assertFound(text)

    def test_every_hotel_carries_what_the_client_reads(self):
        for text in self.texts:
            for hotel in hotels_of(text):
                for name in HOTEL_FIELDS:
                    self.assertTrue(first(hotel, name), f"{name} missing in {hotel[:200]}")
                self.assertRegex(first(hotel, "hotelNo"), r"^[0-9]+$")
                self.assertRegex(first(hotel, "latitude"), r"^[0-9]+\.[0-9]+$")
                self.assertLessEqual(cp932_length(first(hotel, "hotelName")), 255)
                self.assertLessEqual(cp932_length(first(hotel, "address1") + first(hotel, "address2")), 255)
                self.assertLessEqual(cp932_length(first(hotel, "hotelImageUrl")), 255)
                self.assertLessEqual(cp932_length(first(hotel, "hotelInformationUrl")), 255)
                self.assertIn("&amp;", first(hotel, "hotelImageUrl"))
                self.assertIn("&amp;", first(hotel, "hotelInformationUrl"))
                self.assertLessEqual(int(first(hotel, "lowestCharge")), int(first(hotel, "highestCharge")))

    def test_every_room_carries_what_the_client_reads(self):
        for text in self.texts:
            numbers = set(hotel_numbers(text))
            for room in rooms_of(text):
                for name in ROOM_FIELDS:
                    self.assertTrue(first(room, name), f"{name} missing in {room[:200]}")
                self.assertIn(int(first(room, "hotelNo")), numbers)
                self.assertEqual(len(extract_all(room, "vantoroCharge")), 2)
                for flag in ROOM_FIELDS[3:7]:
                    self.assertIn(first(room, flag), ("0", "1"))
                url = first(room, "reserveUrl")
                self.assertIn("&amp;", url)
                self.assertLessEqual(len(url.replace("&amp;", "&")), 511)
                self.assertLessEqual(cp932_length(first(room, "planContents")), 2047)

    def test_every_hotel_has_rooms_and_rooms_stand_inside_and_beside(self):
        inside = beside = 0
        for text in self.texts:
            with_rooms = {int(first(r, "hotelNo")) for r in rooms_of(text)}
            self.assertEqual(with_rooms, set(hotel_numbers(text)))
            for hotel in hotels_of(text):
                if "<room>" in hotel:
                    inside += 1
                else:
                    beside += 1
        self.assertGreater(inside, 0)
        self.assertGreater(beside, 0)

    def test_optional_fields_are_sometimes_absent_and_notes_sometimes_long(self):
        everything = [h for t in self.texts for h in hotels_of(t)]
        self.assertTrue(any("<faxNo>" not in h for h in everything))
        self.assertTrue(any("<hotelSpecial>" not in h for h in everything))
        self.assertTrue(any("<parkingInformation>" not in h for h in everything))
        self.assertTrue(any(cp932_length(first(h, "hotelSpecial")) >= 1024 for h in everything))
        self.assertTrue(any(0 < cp932_length(first(h, "hotelSpecial")) < 1024 for h in everything))
        self.assertTrue(any("<hotelBasicInfo>" in h for h in everything))

    def test_no_attributes_and_no_entities_but_amp_lt_gt(self):
        for text in self.texts:
            for name in READ_NAMES:
                self.assertIsNone(re.search(rf"<{name}[\s/]", text), name)
            self.assertEqual(set(re.findall(r"&[a-z#0-9]*;", text)) - {"&amp;", "&lt;", "&gt;"}, set())

    def test_addresses_split_into_prefecture_and_town(self):
        for hotel in hotels_of(self.texts[0]):
            self.assertEqual(first(hotel, "address1"), "東京都新宿区")
            self.assertRegex(first(hotel, "address2"), r"^\D+\d")
            self.assertRegex(first(hotel, "telephoneNo"), r"^03-\d{4}-\d{4}$")

    def test_a_detail_class_is_part_of_its_small_class(self):
        station = set(hotel_numbers(self.texts[3]))
        city = set(hotel_numbers(self.texts[4]))
        self.assertTrue(station < city)

    def test_long_results_are_cut_to_one_page(self):
        wards = self.texts[1]
        self.assertEqual(len(hotels_of(wards)), 50)
        self.assertGreater(int(first(wards, "recordCount")), 50)
        self.assertEqual(first(wards, "last"), "50")

    def test_same_request_same_reply(self):
        self.assertEqual(self.web.get(search_target(area=AREAS[0]))[2], self.replies[0])

    def test_urls_follow_the_host_header(self):
        status, _, body = self.web.get(search_target(), headers={"Host": "127.0.0.1:9"})
        self.assertEqual(status, 200)
        self.assertTrue(b"http://127.0.0.1:9/hotel/info?" in body)
        status, _, body = self.web.get(search_target(), headers={"Host": "evil\"><x>"})
        self.assertFalse(b"evil" in body)


class Filters(SearchTestCase):
    def test_budget_excludes(self):
        everything = self.search(area=CITY)
        totals = sorted(room_total(r) for r in rooms_of(everything))
        low, high = totals[len(totals) // 4], totals[len(totals) // 2]
        text = self.search(area=CITY, budget=(low, high))
        rooms = rooms_of(text)
        self.assertTrue(rooms)
        self.assertTrue(all(low <= room_total(r) <= high for r in rooms))
        self.assertLess(len(rooms), len(rooms_of(everything)))

    def test_budget_below_every_plan_finds_nothing(self):
        status, _, body = self.web.get(search_target(budget=(0, 1)))
        self.assertEqual(status, 200)
        self.assertEqual(first(first(body.decode(), "Header"), "Status"), "NotFound")
        self.assertEqual(extract_all(body.decode(), "hotel"), [])

    def test_facilities_narrow(self):
        base = set(hotel_numbers(self.search(area=CITY)))
        cases = [("onsen", None), ("daiyoku", None), ("internet", None),
                 ("kinen", lambda r: "禁煙" in first(r, "roomName")),
                 ("breakfast", lambda r: first(r, "withBreakfastFlag") == "1"),
                 ("dinner", lambda r: first(r, "withDinnerFlag") == "1")]
        for condition, room_test in cases:
            with self.subTest(condition=condition):
                status, _, body = self.web.get(search_target(area=CITY, squeeze=(condition,)))
                text = body.decode()
                narrowed = set(hotel_numbers(text))
                self.assertTrue(narrowed <= base)
                if room_test:
                    self.assertTrue(all(room_test(r) for r in rooms_of(text)))
                if narrowed:
                    self.assertIn(f"<facility>{condition}</facility>" if not room_test else "<room>", text)
        onsen_resort = self.search(area="middleClassCode=gunma&smallClassCode=kusatsu", squeeze=("onsen",))
        self.assertFound(onsen_resort)
        many = self.search(area=CITY, squeeze=("kinen", "internet", "breakfast"))
        self.assertLess(len(rooms_of(many)), len(rooms_of(self.search(area=CITY))))

    def test_radius_includes_only_nearby_hotels(self):
        previous = set()
        for radius in (500, 1000, 2000, 3000):
            with self.subTest(radius=radius):
                text = self.search(area=landmark_area(*TOKYO_STATION, radius))
                hotels = hotels_of(text)
                numbers = set(hotel_numbers(text))
                distances = [metres(TOKYO_STATION, wgs84_of(h)) for h in hotels]
                self.assertTrue(all(d <= radius + 30 for d in distances), distances)
                self.assertEqual(distances, sorted(distances))
                if len(hotels) < 50:
                    self.assertTrue(previous <= numbers)
                previous = numbers
        self.assertTrue(previous)

    def test_radius_in_the_sea_finds_nothing(self):
        status, _, body = self.web.get(search_target(area=landmark_area(30.0, 140.0, 3000)))
        self.assertEqual(first(body.decode(), "Status"), "NotFound")

    def test_landmark_request_of_the_client_example(self):
        status, _, body = self.web.get(
            "/vws/1.4/rest?developerId=5c0d3e7a91b24f68a0e7c1d2b3f49a86&operation=VacantHotelSearch"
            "&version=2007-02-28&largeClassCode=japan&latitude=125988.42&longitude=486010.02"
            "&searchRadius=1.0&checkinDate=2007-08-10&checkoutDate=2007-08-12&adultNum=2"
            "&upClassNum=0&infantWithMBNum=0&roomNum=1&squeezeCondition=onsen&squeezeCondition=breakfast")
        self.assertEqual(status, 200)
        self.assertIn(first(body.decode(), "Status"), ("Success", "NotFound"))

    def test_capacity(self):
        cases = [
            (dict(adults=2, rooms=3), False),       # a room without a guest
            (dict(adults=0, children=2), False),    # children alone
            (dict(adults=1), True),
            (dict(adults=2, children=1, infants=1), True),
        ]
        for conditions, found in cases:
            with self.subTest(**conditions):
                status, _, body = self.web.get(search_target(area=CITY, **conditions))
                self.assertEqual(first(body.decode(), "Status"), "Success" if found else "NotFound")

    def test_more_guests_cost_more_and_fit_fewer_plans(self):
        two = {(first(r, "hotelNo"), first(r, "planContents")): room_total(r)
               for r in rooms_of(self.search(area=CITY, adults=2))}
        three = {(first(r, "hotelNo"), first(r, "planContents")): room_total(r)
                 for r in rooms_of(self.search(area=CITY, adults=3))}
        common = set(two) & set(three)
        self.assertTrue(common)
        self.assertTrue(all(three[k] > two[k] for k in common))
        self.assertLess(len(three), len(two))

    def test_one_charge_per_night(self):
        for nights in (1, 3, 7):
            with self.subTest(nights=nights):
                checkin = datetime.date(2030, 5, 20)
                checkout = checkin + datetime.timedelta(days=nights)
                text = self.search(checkin=checkin.isoformat(), checkout=checkout.isoformat())
                for room in rooms_of(text):
                    dates = extract_all(room, "stayDate")
                    self.assertEqual(len(extract_all(room, "vantoroCharge")), nights)
                    self.assertEqual(dates[0], checkin.isoformat())

    def test_fully_booked_dates_differ(self):
        weekday = set(hotel_numbers(self.search(area=CITY, checkin="2030-03-12", checkout="2030-03-13")))
        peak = set(hotel_numbers(self.search(area=CITY, checkin="2030-08-10", checkout="2030-08-17")))
        self.assertNotEqual(weekday, peak)


class RefusedSearches(SearchTestCase):
    def test_malformed_requests_get_400(self):
        good = search_target()
        cases = {
            "unknown key": good + "&colour=blue",
            "repeated key": good + "&adultNum=2",
            "key without value": good + "&minCharge",
            "large class": good.replace("largeClassCode=japan", "largeClassCode=JAPAN"),
            "no large class": good.replace("&largeClassCode=japan", ""),
            "bad date": search_target(checkin="2030-02-30"),
            "date format": search_target(checkin="2030/03/12"),
            "no stay": search_target(checkout="2030-03-12"),
            "backwards": search_target(checkout="2030-03-01"),
            "too long": search_target(checkout="2030-06-30"),
            "adults": search_target(adults=10),
            "adults sign": search_target(adults="-1"),
            "rooms": search_target(rooms=0),
            "children": search_target(children="x"),
            "facility": search_target(squeeze=("sauna",)),
            "budget order": search_target(budget=(9000, 1000)),
            "budget sign": search_target(budget=(-1, 1000)),
            "both areas": good + "&latitude=1.0&longitude=1.0&searchRadius=1.0",
            "no small": search_target(area="middleClassCode=tokyo"),
            "empty small": search_target(area="middleClassCode=tokyo&smallClassCode="),
            "unknown middle": search_target(area="middleClassCode=atlantis&smallClassCode=x"),
            "foreign small": search_target(area="middleClassCode=tokyo&smallClassCode=sapporo"),
            "needless detail": search_target(area="middleClassCode=aomori&smallClassCode=aomori&detailClassCode=x"),
            "radius": search_target(area=landmark_area(*TOKYO_STATION, 3500)),
            "no radius": search_target(area="latitude=128440.38&longitude=503172.57"),
            "latitude": search_target(area="latitude=abc&longitude=503172.57&searchRadius=1.0"),
            "hostile": good + "&%3Cx%3E=%3Cscript%3E",
        }
        for label, target in cases.items():
            with self.subTest(label):
                status, _, body = self.web.get(target)
                self.assertEqual(status, 400, body)
                ET.fromstring(body)
                self.assertNotIn(b"<script>", body)

    def test_escaped_values_are_decoded(self):
        status, _, body = self.web.get(search_target().replace("shinjuku", "%73hinjuku"))
        self.assertEqual(status, 200)


if __name__ == "__main__":
    unittest.main()
