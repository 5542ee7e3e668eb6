"""Search results read page by page (the request key page), and the paging
the tests set through /_control/paging and /_control/vacancies."""

import re

from .clientview import first
from .lwtest import ServerTestCase
from .searchurl import search_target
from .test_search import hotel_numbers

WARDS = "middleClassCode=tokyo&smallClassCode=tokyo23"
PAGING_FIELDS = ("recordCount", "pageCount", "page", "first", "last")


def without_message(text):
    return re.sub("<StatusMsg>.*</StatusMsg>", "", text)


def paging_info(text):
    block = first(text, "pagingInfo")
    return tuple(int(first(block, name)) for name in PAGING_FIELDS)


class Paging(ServerTestCase):
    def page(self, page=None, area=WARDS):
        target = search_target(area=area) + ("" if page is None else f"&page={page}")
        status, _, body = self.web.get(target)
        return status, body.decode("utf-8")

    def read_pages(self):
        """Every page of the wards search, read as a client would, following
        the page count of the latest reply."""
        texts, number, pages = [], 1, 1
        while number <= pages:
            status, text = self.page(number)
            self.assertEqual(status, 200, text[:300])
            texts.append(text)
            pages = paging_info(text)[1]
            number += 1
        return texts

    def test_pages_hold_every_hotel_once_in_order(self):
        self.web.control("paging", pageSize=5000)
        _, whole = self.page()
        everything = hotel_numbers(whole)
        self.web.control("clear")
        count = len(everything)
        self.assertGreater(count, 150)
        texts = self.read_pages()
        pages = -(-count // 50)
        self.assertEqual(len(texts), pages)
        for number, text in enumerate(texts, start=1):
            with self.subTest(page=number):
                last = min(number * 50, count)
                self.assertEqual(paging_info(text), (count, pages, number, number * 50 - 49, last))
                self.assertEqual(len(hotel_numbers(text)), last - (number * 50 - 50))
        self.assertEqual([n for text in texts for n in hotel_numbers(text)], everything)
        self.assertEqual(self.page()[1], texts[0], "no page key is page 1")

    def test_bad_pages_get_the_reply_of_any_bad_key(self):
        status, _, refused = self.web.get(search_target(area=WARDS) + "&bogus=1")
        self.assertEqual(status, 400)
        pages = paging_info(self.page(1)[1])[1]
        for value in ("0", str(pages + 1), "999999999", "1000000000", "-1", "x", "", "1.5", "%EF%BC%91", "1&page=1"):
            with self.subTest(page=value):
                status, text = self.page(value)
                self.assertEqual(status, 400)
                self.assertEqual(first(first(text, "Header"), "Status"), "ClientError")
                self.assertEqual(without_message(text), without_message(refused.decode("utf-8")))
        self.assertEqual(self.page(f"000{pages}")[0], 200)

    def test_nothing_found_stays_not_found_on_any_page(self):
        status, _, text = self.web.get(search_target(area=WARDS, adults=0) + "&page=3")
        self.assertEqual(status, 200)
        self.assertIn(b"<Status>NotFound</Status>", text)

    def test_page_size_and_record_count_are_set_until_cleared(self):
        self.web.control("paging", pageSize=7)
        count = paging_info(self.page()[1])[0]
        last = -(-count // 7)
        self.assertEqual(paging_info(self.page(last)[1]), (count, last, last, last * 7 - 6, count))

        answer = self.web.control("paging", records=1000, pageSize=50, plans=1)
        self.assertEqual(answer["paging"]["records"], 1000)
        numbers = []
        for page in range(1, 21):
            _, text = self.page(page, area="middleClassCode=kyoto&smallClassCode=kyotoshi")
            self.assertEqual(paging_info(text)[:3], (1000, 20, page))
            numbers += hotel_numbers(text)
        self.assertEqual(len(set(numbers)), 1000)
        self.assertEqual(self.page(21)[0], 400)

        self.web.control("clear")
        self.assertEqual(paging_info(self.page()[1])[4], 50)

    def test_vacancies_change_from_a_later_page(self):
        baseline = [hotel_numbers(text) for text in self.read_pages()]
        count = sum(len(numbers) for numbers in baseline)

        self.web.control("vacancies", fromPage=2, move="60:1")
        moved = [hotel_numbers(text) for text in self.read_pages()]
        self.assertEqual(moved[0], baseline[0], "the first page is read before the change")
        self.assertEqual(moved[1][0], baseline[0][49], "the last hotel of page 1 is pushed onto page 2")
        self.assertNotIn(baseline[1][9], moved[1], "the moved hotel is now on page 1")
        self.assertEqual(paging_info(self.page(2)[1])[0], count)

        self.web.control("clear")
        self.web.control("vacancies", fromPage=2, drop=60)
        status, text = self.page(1)
        self.assertEqual(paging_info(text)[:2], (count, -(-count // 50)))
        status, text = self.page(2)
        self.assertEqual(paging_info(text)[:3], (count - 60, -(-(count - 60) // 50), 2))
        self.assertEqual(self.page(-(-count // 50))[0], 400, "the last page is gone")

    def test_bad_settings_are_refused_and_change_nothing(self):
        before = self.web.control("paging", pageSize=9)["paging"]
        cases = [("paging", {}), ("paging", {"pageSize": 0}), ("paging", {"pageSize": 5001}),
                 ("paging", {"records": -1}), ("paging", {"plans": 9}), ("paging", {"pageSize": 5, "count": 1}),
                 ("vacancies", {"fromPage": 2}), ("vacancies", {"fromPage": 1, "drop": 1}),
                 ("vacancies", {"fromPage": 2, "move": "a:b"}), ("vacancies", {"fromPage": 2, "move": "0:1"})]
        for action, params in cases:
            with self.subTest(action=action, params=params), self.assertRaises(RuntimeError):
                self.web.control(action, **params)
        self.assertEqual(self.web.control("faults")["armed"], [])
        self.assertEqual(self.web.control("paging", plans=8)["paging"], dict(before, plans=8))
