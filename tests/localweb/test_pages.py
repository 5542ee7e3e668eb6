import unittest
from urllib.parse import urlsplit

from .lwtest import ServerTestCase
from .clientview import extract_all, first
from .searchurl import search_target

AFFILIATE = "0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d"


def encode(text):
    """The client's escaping: every byte as %XX."""
    return "".join(f"%{b:02X}" for b in text.encode("cp932"))


class Pages(ServerTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        body = cls.web.get(search_target(area="middleClassCode=kyoto&smallClassCode=kyotoshi"))[2]
        cls.reply = body.decode("utf-8")

    def redirect(self, target_url, affiliate=AFFILIATE):
        return self.web.get(f"/hgc/{affiliate}/?pc={encode(target_url)}")

    def follow(self, location):
        parts = urlsplit(location)
        self.assertEqual(parts.netloc, self.web.host)
        return self.web.get(parts.path + ("?" + parts.query if parts.query else ""))

    def test_the_map_shows_the_coordinates_it_was_given(self):
        status, headers, body = self.web.get("/maps?spn=0.01,0.01&z=18&ll=35.703225,139.796787")
        self.assertEqual(status, 200)
        self.assertIn("text/html", headers["Content-Type"])
        text = body.decode("utf-8")
        self.assertIn("35.703225", text)
        self.assertIn("139.796787", text)
        self.assertIn("/hotel/info?hotelNo=", text)

    def test_bad_map_requests(self):
        for query in ("", "ll=", "ll=35.7", "ll=abc,def", "ll=95.0,139.0", "ll=35.7,139.8%3Cscript%3E"):
            with self.subTest(query=query):
                self.assertEqual(self.web.get(f"/maps?{query}")[0], 400)

    def test_the_hotel_page_through_the_redirect(self):
        hotel = extract_all(self.reply, "hotel")[0]
        url = first(hotel, "hotelInformationUrl")
        self.assertIn("&amp;", url)   # the client sends it on as it stands
        status, headers, _ = self.redirect(url)
        self.assertEqual(status, 302)
        self.assertEqual(headers["Location"], url)
        status, _, body = self.follow(headers["Location"])
        self.assertEqual(status, 200)
        text = body.decode("utf-8")
        self.assertIn(first(hotel, "hotelName"), text)
        self.assertIn(first(hotel, "telephoneNo"), text)

    def test_the_reservation_page_through_the_redirect_shows_the_same_total(self):
        for room in extract_all(self.reply, "room")[:5]:
            url = first(room, "reserveUrl").replace("&amp;", "&")
            status, headers, _ = self.redirect(url)
            self.assertEqual((status, headers["Location"]), (302, url))
            status, _, body = self.follow(url)
            self.assertEqual(status, 200)
            total = sum(int(c) for c in extract_all(room, "vantoroCharge"))
            self.assertIn(f"{total:,}円", body.decode("utf-8"))

    def test_refused_redirects(self):
        good = "http://127.0.0.1/hotel/info?hotelNo=1"
        cases = [
            (f"/hgc/{'f' * 35}/?pc={encode(good)}", 404),
            (f"/hgc/{AFFILIATE}?pc={encode(good)}", 404),
            (f"/hgc/{AFFILIATE}/x/?pc={encode(good)}", 404),
            (f"/hgc/{AFFILIATE}/", 400),
            (f"/hgc/{AFFILIATE}/?pc=", 400),
            (f"/hgc/{AFFILIATE}/?pc={encode('javascript:alert(1)')}", 400),
            (f"/hgc/{AFFILIATE}/?pc={encode('ftp://x/')}", 400),
            (f"/hgc/{AFFILIATE}/?pc=http://x/%0D%0ASet-Cookie:%20a=b", 400),
            (f"/hgc/{AFFILIATE}/?pc={encode('http://x/ホテル')}", 400),
        ]
        for target, code in cases:
            with self.subTest(target=target):
                status, headers, _ = self.web.get(target)
                self.assertEqual(status, code)
                self.assertNotIn("Location", headers)
                self.assertNotIn("Set-Cookie", headers)

    def test_unknown_or_malformed_pages(self):
        cases = [("/hotel/info?hotelNo=1", 404), ("/hotel/info?hotelNo=abc", 404), ("/hotel/info", 404),
                 ("/reserve/plan?hotelNo=1", 400), ("/nowhere", 404)]
        hotel_no = first(self.reply, "hotelNo")
        cases += [(f"/reserve/plan?hotelNo={hotel_no}&planId=99&checkinDate=2030-01-01"
                   f"&checkoutDate=2030-01-02&adultNum=1&upClassNum=0&infantWithMBNum=0&roomNum=1", 400),
                  (f"/reserve/plan?hotelNo={hotel_no}&planId=1&checkinDate=2030-01-02"
                   f"&checkoutDate=2030-01-01&adultNum=1&upClassNum=0&infantWithMBNum=0&roomNum=1", 400)]
        for target, code in cases:
            with self.subTest(target=target):
                self.assertEqual(self.web.get(target)[0], code)


if __name__ == "__main__":
    unittest.main()
