"""The geocoding page /php/geoscan.php?q=...: the places of the gazetteer
whose name contains the query, as an HTML table in code page 932, the way an
old script-driven page would answer."""

import unicodedata
from dataclasses import dataclass

from gazetteer import GAZETTEER_TABLE
from query import decode_value_bytes, split_pairs
from reply import Reply, html_escape

PATH = "/php/geoscan.php"
CONTENT_TYPE = "text/html; charset=Shift_JIS"


@dataclass
class Place:
    name: str
    address: str
    latitude: str    # decimal degrees, WGS 84, as printed
    longitude: str


def _places():
    places = []
    for line in GAZETTEER_TABLE.strip().splitlines():
        name, address, lat, lon = line.split()
        places.append(Place(name, address, lat, lon))
    return places


PLACES = _places()


def _fold(text):
    """Full-width letters and digits, half-width katakana and the like read the
    same as their plain forms."""
    return unicodedata.normalize("NFKC", text).strip()


def find(text):
    """Places whose name contains text, in gazetteer order; none for an empty text."""
    wanted = _fold(text)
    if not wanted:
        return []
    return [p for p in PLACES if wanted in _fold(p.name)]


def query_text(raw_query):
    """The q value: percent-decoded to bytes ('+' is a space) and read as code
    page 932; bytes that are not code page 932 become U+FFFD and match nothing."""
    for key, value in split_pairs(raw_query):
        if key == "q" and value is not None:
            return decode_value_bytes(value, plus_is_space=True).decode("cp932", errors="replace")
    return ""


def page(text, places):
    rows = "".join(f"<tr><td>{html_escape(p.name)}</td><td>{html_escape(p.address)}</td>"
                   f"<td>{p.latitude}</td><td>{p.longitude}</td></tr>\n" for p in places)
    shown = html_escape(text.replace("\ufffd", "?"))
    html = ("<html>\n<head>\n"
            '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">\n'
            "<title>地点検索</title>\n</head>\n<body>\n"
            "<h1>地点検索</h1>\n"
            f"<p>「{shown}」の検索結果：{len(places)}件</p>\n"
            "<table>\n"
            "<tr><th>名称</th><th>住所</th><th>緯度</th><th>経度</th></tr>\n"
            f"{rows}"
            "</table>\n"
            "<p>座標は世界測地系（度）です。</p>\n"
            "</body>\n</html>\n")
    return html.encode("cp932", errors="replace")


def handle(request):
    text = query_text(request.query)
    return Reply(200, page(text, find(text)), CONTENT_TYPE)
