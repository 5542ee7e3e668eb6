"""How the search replies are cut into pages, and what the tests may change
about it through the control interface: the page size, a fixed number of
hotels found, and vacancies that change between two pages of one search.

The settings hold until /_control/clear; each control request replaces only
its own part of them."""

from dataclasses import dataclass, replace

PAGE_SIZE = 50
MAX_PAGE_SIZE = 5000
MAX_RECORDS = 5000
MAX_PLANS = 8
MAX_PAGE = 999999999


@dataclass(frozen=True)
class Paging:
    page_size: int = PAGE_SIZE
    # 0: a search finds its own hotels. Otherwise it finds exactly this many,
    # made as /_control/hotels makes them, each with at most `plans` plans.
    records: int = 0
    plans: int = MAX_PLANS
    # 0: the vacancies never change. Otherwise a request for this page or a
    # later one sees them changed: the hotel at position move[0] (from 1) taken
    # out and put in again at position move[1], then the last `drop` hotels gone.
    from_page: int = 0
    move: tuple = None
    drop: int = 0

    def changed(self, found, page):
        """found as a request for that page sees it."""
        if not self.from_page or page < self.from_page:
            return found
        found = list(found)
        if self.move and len(found) >= self.move[0]:
            hotel = found.pop(self.move[0] - 1)
            found.insert(self.move[1] - 1, hotel)
        return found[:max(0, len(found) - self.drop)]


@dataclass(frozen=True)
class Page:
    """One page of a result: its hotels and its paging information."""
    hotels: list
    record_count: int
    page_count: int
    page: int
    first: int
    last: int


def page_count(record_count, page_size):
    return -(-record_count // page_size)


def cut_page(found, page, page_size):
    """The page of found, or None when page lies past the last page."""
    pages = page_count(len(found), page_size)
    if page > pages:
        return None
    start = (page - 1) * page_size
    hotels = found[start:start + page_size]
    return Page(hotels, len(found), pages, page, start + 1, start + len(hotels))


def _whole(params, key, low, high):
    value = params[key]
    if not value.isascii() or not value.isdigit() or not low <= int(value) <= high:
        raise ValueError(f"{key} must be a whole number from {low} to {high}")
    return int(value)


def _check_keys(params, known):
    unknown = set(params) - known
    if unknown:
        raise ValueError("unknown parameter " + ", ".join(sorted(unknown)))
    if not set(params) & known:
        raise ValueError("give at least one of " + ", ".join(sorted(known)))


def with_page_size(current, params):
    """current with what /_control/paging asks: pageSize (1 to 5000),
    records (1 to 5000, or 0 for the search's own hotels), plans (0 to 8)."""
    _check_keys(params, {"pageSize", "records", "plans"})
    settings = current
    if "pageSize" in params:
        settings = replace(settings, page_size=_whole(params, "pageSize", 1, MAX_PAGE_SIZE))
    if "records" in params:
        settings = replace(settings, records=_whole(params, "records", 0, MAX_RECORDS))
    if "plans" in params:
        settings = replace(settings, plans=_whole(params, "plans", 0, MAX_PLANS))
    return settings


def with_vacancies(current, params):
    """current with what /_control/vacancies asks: fromPage (2 or later),
    and drop (a count) and/or move ("from:to", positions from 1)."""
    _check_keys(params, {"fromPage", "drop", "move"})
    if "fromPage" not in params or not {"drop", "move"} & set(params):
        raise ValueError("give fromPage and drop or move")
    from_page = _whole(params, "fromPage", 2, MAX_PAGE)
    drop = _whole(params, "drop", 0, MAX_RECORDS) if "drop" in params else 0
    move = None
    if "move" in params:
        positions = params["move"].split(":")
        if len(positions) != 2:
            raise ValueError("move must be two positions as from:to")
        move = tuple(_whole({"move": p}, "move", 1, MAX_RECORDS) for p in positions)
    return replace(current, from_page=from_page, drop=drop, move=move)


def describe(settings):
    return {"pageSize": settings.page_size, "records": settings.records, "plans": settings.plans,
            "fromPage": settings.from_page, "drop": settings.drop,
            "move": f"{settings.move[0]}:{settings.move[1]}" if settings.move else None}
