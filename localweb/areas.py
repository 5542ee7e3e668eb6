"""The area hierarchy read from the area table, and the GetAreaClass reply."""

from dataclasses import dataclass, field

from areadata import AREA_TABLE
from reply import xml_escape


@dataclass
class Place:
    """A class that hotels stand in: a small class without details, or a detail class."""
    code: str
    name: str
    latitude: float   # decimal degrees, WGS 84
    longitude: float
    hotels: int
    hot_spring: bool
    phone: str
    city: str
    station: str
    towns: list


@dataclass
class SmallClass:
    place: Place
    details: list = field(default_factory=list)

    @property
    def code(self):
        return self.place.code

    @property
    def name(self):
        return self.place.name


@dataclass
class MiddleClass:
    code: str
    name: str
    number: int        # prefecture code, 1 (Hokkaido) to 47 (Okinawa)
    smalls: list = field(default_factory=list)

    def small(self, code):
        return next((s for s in self.smalls if s.code == code), None)


def _place(fields, phone):
    code, name, lat, lon, hotels, *rest = fields
    if phone is None or rest[0].isdigit():
        phone, *rest = rest
    city, station, *towns = rest
    return Place(code, name, float(lat), float(lon), int(hotels.rstrip("o")),
                 hotels.endswith("o"), phone, city, station, towns)


def parse_area_table(text):
    middles = []
    for number, line in enumerate(text.strip().splitlines(), 1):
        level, *fields = line.split()
        if level == "M":
            middles.append(MiddleClass(fields[0], fields[1], len(middles) + 1))
        elif level == "S":
            middles[-1].smalls.append(SmallClass(_place(fields, None)))
        elif level == "D":
            small = middles[-1].smalls[-1]
            small.details.append(_place(fields, small.place.phone))
        else:
            raise ValueError(f"area table line {number}: unknown level {level!r}")
    return middles


MIDDLE_CLASSES = parse_area_table(AREA_TABLE)


def find_middle(code):
    return next((m for m in MIDDLE_CLASSES if m.code == code), None)


def hotel_places():
    """Every place that holds hotels, with its middle and small class."""
    for middle in MIDDLE_CLASSES:
        for small in middle.smalls:
            if small.details:
                for detail in small.details:
                    yield middle, small, detail
            else:
                yield middle, small, None


def _lines_of_place(tag, place, count, indent):
    pad = " " * indent
    return [f"{pad}<{tag}Code>{place.code}</{tag}Code>",
            f"{pad}<{tag}Name>{xml_escape(place.name)}</{tag}Name>",
            f"{pad}<mainStation>{xml_escape(place.station)}</mainStation>",
            f"{pad}<hotelCount>{count}</hotelCount>",
            f"{pad}<centerLatitude>{place.latitude:.4f}</centerLatitude>",
            f"{pad}<centerLongitude>{place.longitude:.4f}</centerLongitude>"]


def area_class_xml(hotel_counts, bare=frozenset()):
    """The GetAreaClass reply. hotel_counts maps (middle, small, detail or
    None) codes to the number of hotels there; the middle classes whose codes
    are in bare are sent without their small classes."""
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<Response>",
             "<Header>", "<Status>Success</Status>",
             "<StatusMsg>エリア情報を返しました。</StatusMsg>", "</Header>",
             "<Body>", "<areaClasses>", "<largeClass>",
             " <largeClassCode>japan</largeClassCode>",
             " <largeClassName>日本</largeClassName>"]
    for middle in MIDDLE_CLASSES:
        lines += [" <middleClass>",
                  f"  <middleClassCode>{middle.code}</middleClassCode>",
                  f"  <middleClassName>{xml_escape(middle.name)}</middleClassName>",
                  f"  <prefectureCode>{middle.number:02d}</prefectureCode>"]
        for small in ([] if middle.code in bare else middle.smalls):
            small_count = sum(hotel_counts.get((middle.code, small.code, d.code), 0)
                              for d in small.details) if small.details \
                else hotel_counts.get((middle.code, small.code, None), 0)
            lines.append("  <smallClass>")
            lines += _lines_of_place("smallClass", small.place, small_count, 3)
            for detail in small.details:
                count = hotel_counts.get((middle.code, small.code, detail.code), 0)
                lines.append("   <detailClass>")
                lines += _lines_of_place("detailClass", detail, count, 4)
                lines.append("   </detailClass>")
            lines.append("  </smallClass>")
        lines.append(" </middleClass>")
    lines += ["</largeClass>", "</areaClasses>", "</Body>", "</Response>", ""]
    return "\n".join(lines)
