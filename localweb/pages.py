"""Pages a browser opens from the client: the web map, the affiliate redirect,
and the hotel information and reservation pages the redirect leads to."""

import datetime
import re
from urllib.parse import unquote_to_bytes

import geo
import geoscan
import hotels
from query import first_values, split_pairs
from reply import Reply, html_escape

AFFILIATE_ID = "0a73c1e2.5d9b4f08.0a73c1e3.7e1f2c9d"
HTML = "text/html; charset=utf-8"
COORDINATES = re.compile(r"^(-?[0-9]{1,3}(\.[0-9]+)?),(-?[0-9]{1,3}(\.[0-9]+)?)$")
FACILITY_NAMES = {"internet": "インターネット接続", "daiyoku": "大浴場", "onsen": "温泉"}


def html_page(status, title, body):
    text = ("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
            f"<title>{html_escape(title)}</title>\n"
            "<style>body{font-family:sans-serif;margin:2em;max-width:56em}"
            "table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:.3em .6em;text-align:left}"
            "th{background:#eef}.note{color:#555;font-size:90%}</style>\n"
            f"</head>\n<body>\n{body}\n</body>\n</html>\n")
    return Reply(status, text.encode("utf-8"), HTML)


def error_page(status, message):
    return html_page(status, "エラー", f"<h1>エラー</h1>\n<p>{html_escape(message)}</p>")


# The web map.

def map_page(request):
    params = first_values(request.query)
    match = COORDINATES.match(params.get("ll", ""))
    if not match:
        return error_page(400, "地図の中心（ll=緯度,経度）が正しくありません。")
    lat, lon = float(match.group(1)), float(match.group(3))
    if not (-90.0 <= lat <= 90.0 and -180.0 <= lon <= 180.0):
        return error_page(400, "地図の中心が範囲外です。")
    nearby_hotels = sorted((geo.distance_metres(lat, lon, h.latitude, h.longitude), h) for h in hotels.HOTELS)
    nearby_hotels = [(d, h) for d, h in nearby_hotels[:10] if d <= 2000]
    nearby_places = sorted((geo.distance_metres(lat, lon, float(p.latitude), float(p.longitude)), p.name)
                           for p in geoscan.PLACES)
    nearby_places = [(d, n) for d, n in nearby_places[:5] if d <= 3000]
    rows = "".join(f"<tr><td><a href=\"/hotel/info?hotelNo={h.hotel_no}\">{html_escape(h.name)}</a></td>"
                   f"<td>{d:.0f} m</td></tr>\n" for d, h in nearby_hotels)
    places = "".join(f"<li>{html_escape(n)}（{d:.0f} m）</li>" for d, n in nearby_places)
    body = (f"<h1>地図</h1>\n<p>中心：北緯 {lat:.6f}度　東経 {lon:.6f}度（世界測地系）"
            f"　縮尺レベル {html_escape(params.get('z', '-'))}</p>\n"
            f"{_map_picture(lat, lon, nearby_hotels)}\n"
            f"<h2>周辺のホテル</h2>\n<table>\n<tr><th>施設名</th><th>距離</th></tr>\n{rows}</table>\n"
            f"<h2>周辺の主な地点</h2>\n<ul>{places}</ul>")
    return html_page(200, f"地図 {lat:.6f},{lon:.6f}", body)


def _map_picture(lat, lon, nearby):
    """A plain drawing: a grid, the centre and the nearby hotels (2 km square)."""
    size, span = 400, 2000.0
    marks = []
    for _, h in nearby:
        north = (h.latitude - lat) * 111320.0
        east = (h.longitude - lon) * 111320.0 * geo.math.cos(geo.math.radians(lat))
        x, y = size / 2 + east / span * size, size / 2 - north / span * size
        marks.append(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="5" fill="#36c"><title>'
                     f"{html_escape(h.name)}</title></circle>")
    grid = "".join(f'<line x1="{i}" y1="0" x2="{i}" y2="{size}" stroke="#ddd"/>'
                   f'<line x1="0" y1="{i}" x2="{size}" y2="{i}" stroke="#ddd"/>' for i in range(0, size + 1, 50))
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'style="background:#f4f1e8;border:1px solid #999">{grid}{"".join(marks)}'
            f'<circle cx="{size / 2}" cy="{size / 2}" r="8" fill="none" stroke="#c00" stroke-width="3"/></svg>')


# The affiliate redirect.

def affiliate_redirect(request):
    parts = request.path.split("/")
    if len(parts) != 4 or parts[3] != "":
        return error_page(404, "ページが見つかりません。")
    if parts[2] != AFFILIATE_ID:
        return error_page(404, "アフィリエイトIDが登録されていません。")
    raw = next((v for k, v in split_pairs(request.query) if k == "pc" and v is not None), None)
    if not raw:
        return error_page(400, "移動先（pc）が指定されていません。")
    target = unquote_to_bytes(raw)
    if any(b < 0x21 or b > 0x7E for b in target):
        return error_page(400, "移動先に使えない文字が含まれています。")
    target = target.decode("ascii")
    if not target.startswith(("http://", "https://")):
        return error_page(400, "移動先は http または https のアドレスに限ります。")
    reply = html_page(302, "移動しました", f'<p><a href="{html_escape(target)}">こちら</a>へ移動しました。</p>')
    reply.headers.append(("Location", target))
    return reply


# The hotel information page.

def _hotel_of(params):
    number = params.get("hotelNo", "")
    if not number.isdigit():
        return None
    return hotels.BY_NUMBER.get(int(number))


def hotel_page(request):
    hotel = _hotel_of(first_values(request.query))
    if hotel is None:
        return error_page(404, "指定された施設は見つかりません。")
    h = hotel
    rows = [("住所", f"〒{h.postal_code} {h.address1}{h.address2}"), ("電話番号", h.telephone),
            ("FAX番号", h.fax or "－"), ("交通アクセス", h.access), ("駐車場", h.parking or "－"),
            ("チェックイン", h.checkin), ("チェックアウト", h.checkout),
            ("設備", "、".join(FACILITY_NAMES[f] for f in sorted(h.facilities)) or "－")]
    table = "".join(f"<tr><th>{k}</th><td>{html_escape(v)}</td></tr>\n" for k, v in rows)
    plans = "".join(f"<tr><td>{html_escape(p.plan_name)}</td><td>{html_escape(p.room_name)}</td>"
                    f"<td>{p.rate:,}円～</td></tr>\n" for p in h.plans)
    body = (f"<h1>{html_escape(h.name)}</h1>\n"
            f'<p><img src="/img/hotel/{h.hotel_no}.jpg" alt="{html_escape(h.name)}"></p>\n'
            f"<p>{html_escape(h.special or '')}</p>\n<table>\n{table}</table>\n"
            f"<h2>宿泊プラン</h2>\n<table>\n<tr><th>プラン</th><th>部屋</th><th>大人1名1泊</th></tr>\n"
            f"{plans}</table>\n"
            f'<p><a href="/maps?spn=0.01,0.01&amp;z=18&amp;ll={h.latitude:.6f},{h.longitude:.6f}">周辺地図</a></p>')
    return html_page(200, h.name, body)


# The reservation page.

def _whole(params, key, low, high):
    value = params.get(key, "")
    if not value.isdigit() or not low <= int(value) <= high:
        raise ValueError(key)
    return int(value)


def reservation_page(request):
    params = first_values(request.query)
    hotel = _hotel_of(params)
    try:
        if hotel is None:
            raise ValueError("hotelNo")
        plan_id = _whole(params, "planId", 1, 99)
        plan = next(p for p in hotel.plans if p.plan_id == plan_id)
        checkin = datetime.date.fromisoformat(params.get("checkinDate", ""))
        checkout = datetime.date.fromisoformat(params.get("checkoutDate", ""))
        if not 1 <= (checkout - checkin).days <= 60:
            raise ValueError("checkoutDate")
        party = [_whole(params, k, lo, 9) for k, lo in
                 (("adultNum", 1), ("upClassNum", 0), ("infantWithMBNum", 0), ("roomNum", 1))]
    except (ValueError, StopIteration):
        return error_page(400, "予約内容が正しくありません。検索からやり直してください。")
    adults, children, infants, rooms = party
    nights = hotels.nights_of(checkin, checkout)
    charges = [(n, hotels.party_charge(plan, n, adults, children, infants, rooms)) for n in nights]
    lines = "".join(f"<tr><td>{n.isoformat()}</td><td>{yen:,}円</td></tr>\n" for n, yen in charges)
    total = sum(yen for _, yen in charges)
    body = (f"<h1>ご予約内容の確認</h1>\n<h2>{html_escape(hotel.name)}</h2>\n"
            f"<p>{html_escape(plan.plan_name)}／{html_escape(plan.room_name)}</p>\n"
            f"<p>{checkin.isoformat()} から {len(nights)}泊　大人{adults}名・子供{children}名・幼児{infants}名"
            f"　{rooms}室</p>\n"
            f"<table>\n<tr><th>宿泊日</th><th>料金</th></tr>\n{lines}"
            f"<tr><th>合計</th><td>{total:,}円</td></tr>\n</table>\n"
            f"<p>{html_escape(plan.contents)}</p>\n"
            "<p class=\"note\">このページは試験用の予約画面です。実際の予約は行われません。</p>")
    return html_page(200, f"予約 {hotel.name}", body)
