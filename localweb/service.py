"""The hotel web service at /vws/1.4/rest: the operations GetAreaClass and
VacantHotelSearch, with their requests checked strictly (HTTP 400 for an
unknown key, a repeated key or a malformed value)."""

import dataclasses
import datetime
import re
from dataclasses import dataclass, field
from urllib.parse import unquote

import areas
import geo
import hotels
import paging
from query import split_pairs
from reply import Reply, xml_escape

PATH = "/vws/1.4/rest"
DEVELOPER_ID = "5c0d3e7a91b24f68a0e7c1d2b3f49a86"
VERSION = "2007-02-28"
PAGE_SIZE = paging.PAGE_SIZE
MAX_NIGHTS = 60
MAX_CHARGE = 100000000
XML_TYPE = "text/xml; charset=UTF-8"

COMMON_KEYS = ("developerId", "operation", "version")
SEARCH_KEYS = frozenset(COMMON_KEYS + (
    "largeClassCode", "middleClassCode", "smallClassCode", "detailClassCode",
    "latitude", "longitude", "searchRadius", "checkinDate", "checkoutDate",
    "adultNum", "upClassNum", "infantWithMBNum", "roomNum",
    "squeezeCondition", "minCharge", "maxCharge", "page"))
SQUEEZE = ("kinen", "internet", "daiyoku", "onsen", "breakfast", "dinner")
HOTEL_CONDITIONS = {"internet", "daiyoku", "onsen"}

DECIMAL = re.compile(r"^[0-9]+(\.[0-9]+)?$")
DATE = re.compile(r"^[0-9]{4}-[0-9]{2}-[0-9]{2}$")
WHOLE = re.compile(r"^[0-9]{1,9}$")


class BadRequest(Exception):
    pass


def _status_xml(status, message):
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<Response>\n<Header>\n'
            f"<Status>{status}</Status>\n<StatusMsg>{xml_escape(message)}</StatusMsg>\n"
            "</Header>\n</Response>\n")


def status_reply(status, message, http_status=200):
    return Reply(http_status, _status_xml(status, message).encode("utf-8"), XML_TYPE)


def not_found_reply():
    return status_reply("NotFound", "該当する施設が見つかりませんでした。")


def server_error_reply():
    return status_reply("ServerError", "システムエラーが発生しました。しばらくしてから再度お試しください。")


def bad_request(message):
    return status_reply("ClientError", message, 400)


def read_parameters(raw_query):
    """The query as a dict of key to value (squeezeCondition: a list), checked
    for keys without a value and for repetitions."""
    params = {}
    for raw_key, raw_value in split_pairs(raw_query):
        key = unquote(raw_key)
        if raw_value is None:
            raise BadRequest(f"parameter {key} has no value")
        value = unquote(raw_value)
        if key == "squeezeCondition":
            params.setdefault(key, []).append(value)
        elif key in params:
            raise BadRequest(f"parameter {key} is given twice")
        else:
            params[key] = value
    return params


def handle(request, bare_middles=frozenset(), settings=paging.Paging()):
    """The reply to one request; the middle classes whose codes are in
    bare_middles go into the area reply without their small classes, and
    searches page as settings say."""
    try:
        params = read_parameters(request.query)
        if params.get("developerId") != DEVELOPER_ID:
            raise BadRequest("developerId is missing or wrong")
        if params.get("version") != VERSION:
            raise BadRequest("version is missing or not supported")
        operation = params.get("operation")
        if operation == "GetAreaClass":
            return get_area_class(params, bare_middles)
        if operation == "VacantHotelSearch":
            return vacant_hotel_search(request.origin, params, settings)
        raise BadRequest("unknown operation")
    except BadRequest as error:
        return bad_request(str(error))


_AREA_XML = None


def get_area_class(params, bare_middles):
    extra = set(params) - set(COMMON_KEYS)
    if extra:
        raise BadRequest("unknown parameter " + ", ".join(sorted(extra)))
    if bare_middles:
        return Reply(200, areas.area_class_xml(hotels.hotel_counts(), bare_middles).encode("utf-8"), XML_TYPE)
    global _AREA_XML
    if _AREA_XML is None:
        _AREA_XML = areas.area_class_xml(hotels.hotel_counts()).encode("utf-8")
    return Reply(200, _AREA_XML, XML_TYPE)


@dataclass
class SearchQuery:
    middle: str = None
    small: str = None
    detail: str = None
    latitude: float = None    # decimal degrees, WGS 84
    longitude: float = None
    radius_metres: float = None
    checkin: datetime.date = None
    checkout: datetime.date = None
    adults: int = 0
    children: int = 0
    infants: int = 0
    rooms: int = 1
    squeeze: set = field(default_factory=set)
    min_charge: int = None
    max_charge: int = None
    page: int = 1
    query_text: str = ""      # echoed into the reservation links


def _whole(params, key, low, high, default=None):
    if key not in params:
        if default is None:
            raise BadRequest(f"parameter {key} is missing")
        return default
    value = params[key]
    if not WHOLE.match(value) or not low <= int(value) <= high:
        raise BadRequest(f"parameter {key} must be a whole number from {low} to {high}")
    return int(value)


def _decimal(params, key, low, high):
    value = params.get(key)
    if value is None:
        raise BadRequest(f"parameter {key} is missing")
    if not DECIMAL.match(value) or not low <= float(value) <= high:
        raise BadRequest(f"parameter {key} must be a decimal number from {low} to {high}")
    return float(value)


def _date(params, key):
    value = params.get(key)
    if value is None:
        raise BadRequest(f"parameter {key} is missing")
    try:
        if not DATE.match(value):
            raise ValueError
        return datetime.date.fromisoformat(value)
    except ValueError:
        raise BadRequest(f"parameter {key} is not a date (YYYY-MM-DD)") from None


def parse_search(params):
    unknown = set(params) - SEARCH_KEYS
    if unknown:
        raise BadRequest("unknown parameter " + ", ".join(sorted(unknown)))
    if params.get("largeClassCode") != "japan":
        raise BadRequest("largeClassCode must be japan")
    q = SearchQuery()
    landmark = {"latitude", "longitude", "searchRadius"} & set(params)
    if landmark:
        if {"middleClassCode", "smallClassCode", "detailClassCode"} & set(params):
            raise BadRequest("give either class codes or a position, not both")
        tokyo_lat = _decimal(params, "latitude", 0.0, 90.0 * 3600) / 3600.0
        tokyo_lon = _decimal(params, "longitude", 0.0, 180.0 * 3600) / 3600.0
        q.latitude, q.longitude = geo.tokyo_to_wgs84(tokyo_lat, tokyo_lon)
        q.radius_metres = _decimal(params, "searchRadius", 0.1, 3.0) * 1000.0
    else:
        _area(params, q)
    q.checkin = _date(params, "checkinDate")
    q.checkout = _date(params, "checkoutDate")
    nights = (q.checkout - q.checkin).days
    if not 1 <= nights <= MAX_NIGHTS:
        raise BadRequest(f"checkoutDate must lie 1 to {MAX_NIGHTS} days after checkinDate")
    q.adults = _whole(params, "adultNum", 0, 9)
    q.children = _whole(params, "upClassNum", 0, 9, 0)
    q.infants = _whole(params, "infantWithMBNum", 0, 9, 0)
    q.rooms = _whole(params, "roomNum", 1, 9)
    for condition in params.get("squeezeCondition", []):
        if condition not in SQUEEZE:
            raise BadRequest(f"unknown squeezeCondition {condition}")
        q.squeeze.add(condition)
    q.min_charge = _whole(params, "minCharge", 0, MAX_CHARGE, -1)
    q.max_charge = _whole(params, "maxCharge", 0, MAX_CHARGE, -1)
    if q.min_charge < 0:
        q.min_charge = None
    if q.max_charge < 0:
        q.max_charge = None
    if q.min_charge is not None and q.max_charge is not None and q.min_charge > q.max_charge:
        raise BadRequest("minCharge is above maxCharge")
    q.page = _whole(params, "page", 1, paging.MAX_PAGE, 1)
    return q


def _area(params, q):
    q.middle = params.get("middleClassCode")
    q.small = params.get("smallClassCode")
    q.detail = params.get("detailClassCode")
    if not q.middle or not q.small:
        raise BadRequest("middleClassCode and smallClassCode are needed")
    middle = areas.find_middle(q.middle)
    small = middle.small(q.small) if middle else None
    if small is None:
        raise BadRequest("no such middleClassCode and smallClassCode")
    if q.detail is not None and not any(d.code == q.detail for d in small.details):
        raise BadRequest("no such detailClassCode in that smallClassCode")


@dataclass
class PlanOffer:
    plan: hotels.Plan
    charges: list        # (night, yen) for the whole party


@dataclass
class HotelOffer:
    hotel: hotels.Hotel
    offers: list
    distance: float = None   # metres from the landmark


def _in_area(hotel, q):
    if q.radius_metres is not None:
        return True
    return (hotel.middle == q.middle and hotel.small == q.small
            and (q.detail is None or hotel.detail == q.detail))


def _plan_offer(hotel, plan, q, nights):
    persons = q.adults + q.children + q.infants
    if persons > plan.most * q.rooms or persons < plan.least * q.rooms:
        return None
    if "kinen" in q.squeeze and not plan.non_smoking:
        return None
    if "breakfast" in q.squeeze and not plan.with_breakfast:
        return None
    if "dinner" in q.squeeze and not plan.with_dinner:
        return None
    if any(hotels.rooms_free(hotel, plan, night) < q.rooms for night in nights):
        return None
    charges = [(night, hotels.party_charge(plan, night, q.adults, q.children, q.infants, q.rooms))
               for night in nights]
    total = sum(yen for _, yen in charges)
    if q.min_charge is not None and total < q.min_charge:
        return None
    if q.max_charge is not None and total > q.max_charge:
        return None
    return PlanOffer(plan, charges)


def search(q):
    """The hotels with at least one plan that takes the party on every night
    within the budget and conditions, with those plans; in hotel-number order,
    or nearest first around a landmark."""
    if q.adults < 1 or q.adults + q.children + q.infants < q.rooms:
        return []
    nights = hotels.nights_of(q.checkin, q.checkout)
    found = []
    for hotel in hotels.HOTELS:
        if not _in_area(hotel, q) or not (q.squeeze & HOTEL_CONDITIONS) <= hotel.facilities:
            continue
        distance = None
        if q.radius_metres is not None:
            distance = geo.distance_metres(q.latitude, q.longitude, hotel.latitude, hotel.longitude)
            if distance > q.radius_metres:
                continue
        offers = [o for o in (_plan_offer(hotel, p, q, nights) for p in hotel.plans) if o]
        if offers:
            found.append(HotelOffer(hotel, offers, distance))
    if q.radius_metres is not None:
        found.sort(key=lambda f: f.distance)
    return found


def vacant_hotel_search(origin, params, settings):
    q = parse_search(params)
    if settings.records:
        found = _copies(_offers_anywhere(q, settings.plans), settings.records)
    else:
        found = search(q)
    return paged_reply(origin, q, settings.changed(found, q.page), settings.page_size)


def paged_reply(origin, q, found, page_size):
    """The reply holding the requested page of found; a page past the last is
    refused like any other malformed request."""
    if not found:
        return not_found_reply()
    page = paging.cut_page(found, q.page, page_size)
    if page is None:
        pages = paging.page_count(len(found), page_size)
        raise BadRequest(f"parameter page must be a whole number from 1 to {pages}")
    return Reply(200, search_reply_xml(origin, q, page).encode("utf-8"), XML_TYPE)


# The success reply.

def hotel_information_url(origin, hotel_no):
    return f"{origin}/hotel/info?hotelNo={hotel_no}&amp;lang=ja"


def hotel_image_url(origin, hotel_no):
    return f"{origin}/img/hotel/{hotel_no}.jpg?size=m&amp;v=1"


def reserve_url(origin, hotel_no, plan_id, q):
    return (f"{origin}/reserve/plan?hotelNo={hotel_no}&amp;planId={plan_id}"
            f"&amp;checkinDate={q.checkin.isoformat()}&amp;checkoutDate={q.checkout.isoformat()}"
            f"&amp;adultNum={q.adults}&amp;upClassNum={q.children}"
            f"&amp;infantWithMBNum={q.infants}&amp;roomNum={q.rooms}")


def _element(name, value):
    return f"<{name}>{xml_escape(str(value))}</{name}>"


def _room_xml(origin, hotel, offer, q):
    plan = offer.plan
    lines = ["<room>", _element("hotelNo", hotel.hotel_no), _element("planId", plan.plan_id),
             _element("planName", plan.plan_name), _element("roomName", plan.room_name),
             _element("planContents", plan.contents),
             _element("withDinnerFlag", plan.with_dinner), _element("dinnerSelectFlag", plan.dinner_select),
             _element("withBreakfastFlag", plan.with_breakfast),
             _element("breakfastSelectFlag", plan.breakfast_select), "<dailyCharge>"]
    for night, yen in offer.charges:
        lines.append(f"<charge><stayDate>{night.isoformat()}</stayDate>"
                     f"<vantoroCharge>{yen}</vantoroCharge></charge>")
    lines += ["</dailyCharge>", _element("total", sum(yen for _, yen in offer.charges)),
              f"<reserveUrl>{reserve_url(origin, hotel.hotel_no, plan.plan_id, q)}</reserveUrl>", "</room>"]
    return lines


def _hotel_xml(origin, found, q):
    h = found.hotel
    lat, lon = h.tokyo_seconds
    basic = ["<hotelBasicInfo>", _element("hotelNo", h.hotel_no), _element("hotelName", h.name),
             f"<hotelInformationUrl>{hotel_information_url(origin, h.hotel_no)}</hotelInformationUrl>",
             _element("postalCode", h.postal_code), _element("address1", h.address1),
             _element("address2", h.address2), _element("telephoneNo", h.telephone)]
    if h.fax:
        basic.append(_element("faxNo", h.fax))
    basic += [_element("latitude", f"{lat:.2f}"), _element("longitude", f"{lon:.2f}"),
              _element("access", h.access)]
    if h.parking:
        basic.append(_element("parkingInformation", h.parking))
    basic.append(f"<hotelImageUrl>{hotel_image_url(origin, h.hotel_no)}</hotelImageUrl>")
    if h.special:
        basic.append(_element("hotelSpecial", h.special))
    basic.append("</hotelBasicInfo>")
    detail = ["<hotelDetailInfo>", _element("checkinTime", h.checkin), _element("checkoutTime", h.checkout),
              _element("lowestCharge", h.lowest_charge), _element("highestCharge", h.highest_charge),
              "<hotelFacilities>"] + [_element("facility", f) for f in sorted(h.facilities)] + ["</hotelFacilities>"]
    if found.distance is not None:
        detail.append(_element("distance", f"{found.distance / 1000.0:.2f}"))
    detail.append("</hotelDetailInfo>")
    return basic + detail


def rooms_beside(hotel_no):
    """Whether a hotel's rooms follow its element instead of standing inside it."""
    return hotel_no % 3 == 0


def search_reply_xml(origin, q, page):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Response>", "<Header>",
             "<Status>Success</Status>",
             _element("StatusMsg", f"{page.record_count}件の施設が見つかりました。"), "</Header>", "<Body>",
             "<pagingInfo>", _element("recordCount", page.record_count), _element("pageCount", page.page_count),
             _element("page", page.page), _element("first", page.first), _element("last", page.last),
             "</pagingInfo>", "<hotels>"]
    for f in page.hotels:
        rooms = []
        for offer in f.offers:
            rooms += _room_xml(origin, f.hotel, offer, q)
        if rooms_beside(f.hotel.hotel_no):
            lines += ["<hotel>"] + _hotel_xml(origin, f, q) + ["</hotel>", "<hotelRooms>"] + rooms + ["</hotelRooms>"]
        else:
            lines += ["<hotel>"] + _hotel_xml(origin, f, q) + ["<rooms>"] + rooms + ["</rooms>", "</hotel>"]
    lines += ["</hotels>", "</Body>", "</Response>", ""]
    return "\n".join(lines)


# Long lists on request (/_control/hotels), for measuring the client.

COPY_NUMBER_STEP = 100000


def _offers_anywhere(q, plans_per_hotel):
    """Every hotel with a plan for the query's dates and party, whatever its
    area and facilities, with at most plans_per_hotel of those plans."""
    if q.adults < 1 or q.adults + q.children + q.infants < q.rooms:
        return []
    nights = hotels.nights_of(q.checkin, q.checkout)
    found = []
    for hotel in hotels.HOTELS:
        offers = [o for o in (_plan_offer(hotel, p, q, nights) for p in hotel.plans) if o]
        if offers:
            found.append(HotelOffer(hotel, offers[:plans_per_hotel]))
    return found


def _copies(found, count):
    """found, then copies of it until there are count hotels: round r (from 1)
    numbers its hotels COPY_NUMBER_STEP * r higher and puts r + 1 after their
    names, so that numbers stay unique and names distinct."""
    result = list(found[:count])
    rounds = 1
    while found and len(result) < count:
        for f in found[:count - len(result)]:
            copy = dataclasses.replace(f.hotel, hotel_no=f.hotel.hotel_no + COPY_NUMBER_STEP * rounds,
                                       name=f"{f.hotel.name} {rounds + 1}")
            result.append(HotelOffer(copy, f.offers, f.distance))
        rounds += 1
    return result


def long_list_reply(request, hotel_count, plans_per_hotel):
    """A VacantHotelSearch reply of hotel_count hotels on one page, made from
    the hotels that have a plan for the request's dates and party anywhere in
    the country, repeated under new numbers as needed. A request that is not a
    valid search gets its usual reply."""
    try:
        params = read_parameters(request.query)
        if params.get("operation") != "VacantHotelSearch":
            return handle(request)
        q = parse_search(params)
    except BadRequest:
        return handle(request)
    found = _copies(_offers_anywhere(q, plans_per_hotel), hotel_count)
    try:
        return paged_reply(request.origin, q, found, hotel_count)
    except BadRequest as error:
        return bad_request(str(error))
