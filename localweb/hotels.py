"""The hotels of the local web service: several hundred synthetic hotels,
made the same on every run from a fixed seed, spread over the areas of the
area table as it says, each with its room plans, rates and vacancies."""

import datetime
import random
from dataclasses import dataclass, field

import areas
import geo

SEED = 20070228

# First three digits of the postal codes of each prefecture, by prefecture code.
POSTAL_RANGES = [
    (40, 99), (30, 39), (20, 29), (980, 989), (10, 19), (990, 999), (960, 979),
    (300, 319), (320, 329), (370, 379), (330, 369), (260, 299), (100, 208),
    (210, 259), (940, 959), (930, 939), (920, 929), (910, 919), (400, 409),
    (380, 399), (500, 509), (410, 439), (440, 499), (510, 519), (520, 529),
    (600, 629), (530, 599), (650, 679), (630, 639), (640, 649), (680, 689),
    (690, 699), (700, 719), (720, 739), (740, 759), (770, 779), (760, 769),
    (790, 799), (780, 789), (800, 839), (840, 849), (850, 859), (860, 869),
    (870, 879), (880, 889), (890, 899), (900, 909),
]

COMMON_TOWNS = ["本町", "中央", "駅前", "栄町", "旭町", "緑町", "幸町", "錦町", "大手町",
                "元町", "新町", "宮町", "桜町", "東町", "西町", "寿町", "末広町", "昭和町"]

BIG_CITIES = {"tokyo", "osaka"}
RESORT_PREFECTURES = {"okinawa"}
HIGHLAND_PLACES = {"niseko", "furano", "hakuba", "karuizawa", "kiyosato", "kamikochi",
                   "yamanakako", "kawaguchiko", "nasu", "shiga", "bandai", "zao"}

BUSINESS_NAMES = ["ホテル{p}セントラル", "{p}グリーンホテル", "{p}ステーションホテル",
                  "ビジネスホテル{p}", "ホテル{p}イン", "{p}パークホテル", "ホテルサンライズ{p}",
                  "{p}リバーサイドホテル", "ホテル{p}アネックス", "{p}ターミナルホテル",
                  "ホテル{p}駅前", "スマートイン{p}", "{p}シティホテル", "ホテルフォレスト{p}",
                  "ホテル{p}ウエスト", "{p}イーストホテル", "コンフォート{p}", "ホテル{p}プラザ"]
CITY_NAMES = ["{p}グランドホテル", "{p}ロイヤルホテル", "ホテル{p}ヒルズ", "{p}国際ホテル",
              "{p}タワーホテル", "ホテルクレスト{p}", "ホテル{p}スクエア", "ホテルエルム{p}",
              "{p}ガーデンホテル", "ホテル{p}パレス", "{p}ヴィラホテル", "ホテルオーク{p}"]
RYOKAN_NAMES = ["旅館 {x}", "{x}荘", "湯宿 {x}", "{p}温泉 {x}館", "お宿 {x}", "{x}亭",
                "割烹旅館 {x}", "{p} {x}の宿", "料理旅館 {x}", "{x}苑"]
RYOKAN_WORDS = ["松風", "花月", "清流", "月見", "山水", "竹林", "鶴屋", "亀屋", "大和屋", "紅葉",
                "翠明", "白雲", "望洋", "朝日", "緑風", "福住", "千歳", "若松", "梅の屋", "菊水",
                "雪月花", "湯の花", "山桜", "水月", "白鷺", "杉の井", "観月", "松乃井", "桔梗",
                "瑞鳳", "藤屋", "吉野屋", "八汐", "星野", "常盤", "有楽"]
RESORT_NAMES = ["{p}リゾートホテル", "ホテル{p}ビーチ", "リゾートイン{p}", "{p}高原ホテル",
                "ホテルマリーナ{p}", "{p}オーシャンリゾート", "{p}ヒルトップホテル", "ホテル{p}レイクサイド"]
PENSION_NAMES = ["ペンション ポプラ", "ペンション こもれび", "ペンション 風の丘", "ペンション 森の小路",
                 "ペンション シャレー", "ペンション 木いちご", "ペンション 星の降る丘", "ペンション あおば",
                 "ペンション ハーモニー", "ペンション 白樺", "ペンション りんどう", "ペンション 夢の樹"]

# Room types: name, least and most persons per room, rate factor.
ROOM_TYPES = {
    "business": [("シングルルーム", 1, 1, 1.0), ("セミダブルルーム", 1, 2, 0.8),
                 ("ダブルルーム", 1, 2, 0.75), ("ツインルーム", 1, 2, 0.8), ("トリプルルーム", 2, 3, 0.7)],
    "city": [("スタンダードツイン", 1, 2, 1.0), ("スーペリアダブル", 1, 2, 1.15),
             ("デラックスツイン", 1, 3, 1.4), ("エグゼクティブフロア ツイン", 1, 2, 1.8),
             ("ジュニアスイート", 1, 4, 2.4), ("シングルルーム", 1, 1, 0.9)],
    "ryokan": [("和室8畳", 2, 4, 1.0), ("和室10畳", 2, 5, 1.1), ("和洋室", 2, 5, 1.25),
               ("露天風呂付き客室", 2, 4, 1.7), ("特別室", 2, 6, 2.2), ("和室6畳", 1, 3, 0.85)],
    "resort": [("スーペリアツイン", 1, 3, 1.0), ("オーシャンビューツイン", 1, 3, 1.2),
               ("ファミリールーム", 2, 5, 0.9), ("デラックスダブル", 1, 2, 1.35), ("和洋室", 2, 5, 1.1)],
    "pension": [("洋室ツイン", 1, 2, 1.0), ("洋室トリプル", 2, 3, 0.95), ("ファミリールーム", 2, 5, 0.9)],
}
BASE_RATES = {"business": (5200, 9800), "city": (9500, 24000), "ryokan": (11000, 26000),
              "resort": (9000, 22000), "pension": (7500, 11000)}

# Meal plans: name, dinner included, dinner selectable, breakfast included,
# breakfast selectable, rate factor.
MEAL_PLANS = {
    "business": [("素泊まりプラン", 0, 0, 0, 1, 1.0), ("朝食付きプラン", 0, 0, 1, 0, 1.12),
                 ("早期割引28 素泊まり", 0, 0, 0, 0, 0.85), ("連泊割引 朝食付き", 0, 0, 1, 0, 1.02)],
    "city": [("スタンダードプラン 素泊まり", 0, 0, 0, 1, 1.0), ("ブッフェ朝食付きプラン", 0, 0, 1, 0, 1.15),
             ("ディナー付きプラン", 1, 0, 1, 0, 1.6), ("早割21 朝食付き", 0, 0, 1, 0, 1.0)],
    "ryokan": [("1泊2食付き 会席料理", 1, 0, 1, 0, 1.0), ("朝食付き 夕食は選べます", 0, 1, 1, 0, 0.72),
               ("季節の特選会席プラン", 1, 0, 1, 0, 1.3), ("素泊まりプラン", 0, 1, 0, 1, 0.55)],
    "resort": [("朝食付きプラン", 0, 1, 1, 0, 1.0), ("1泊2食付き ディナーブッフェ", 1, 0, 1, 0, 1.35),
               ("素泊まり 食事は現地で", 0, 1, 0, 1, 0.85)],
    "pension": [("1泊2食付き 手作りディナー", 1, 0, 1, 0, 1.0), ("朝食付きプラン", 0, 1, 1, 0, 0.75)],
}


@dataclass
class Plan:
    plan_id: int
    plan_name: str
    room_name: str
    contents: str
    with_dinner: int
    dinner_select: int
    with_breakfast: int
    breakfast_select: int
    rate: int            # yen per adult per night on a weekday
    least: int           # persons per room
    most: int
    non_smoking: bool


@dataclass
class Hotel:
    hotel_no: int
    name: str
    kind: str
    middle: str
    small: str
    detail: object       # detail class code or None
    postal_code: str
    address1: str
    address2: str
    telephone: str
    fax: object          # None: the hotel gives no fax number
    latitude: float      # decimal degrees, WGS 84
    longitude: float
    access: str
    parking: object      # None: not stated
    special: object      # None: not stated
    checkin: str
    checkout: str
    facilities: set
    picture: int         # which picture layout the hotel's photograph uses
    plans: list = field(default_factory=list)

    @property
    def tokyo_seconds(self):
        """Latitude and longitude in seconds of arc on the Tokyo datum."""
        lat, lon = geo.wgs84_to_tokyo(self.latitude, self.longitude)
        return lat * 3600.0, lon * 3600.0

    @property
    def lowest_charge(self):
        return min(p.rate for p in self.plans)

    @property
    def highest_charge(self):
        return max(p.rate for p in self.plans)


def _phone(rng, trunk):
    local = 6 - len(trunk)
    first = rng.randint(2 * 10 ** (local - 1), 10 ** local - 1)
    return f"{trunk}-{first:0{local}d}-{rng.randint(1000, 9999)}"


def _kind(rng, middle, small, place, in_city):
    if place.hot_spring:
        return rng.choices(["ryokan", "resort", "business", "pension"], [60, 20, 12, 8])[0]
    if middle.code in RESORT_PREFECTURES:
        return rng.choices(["resort", "city", "business"], [55, 20, 25])[0]
    if small.code in HIGHLAND_PLACES:
        return rng.choices(["pension", "resort", "ryokan"], [45, 35, 20])[0]
    if in_city:
        ryokan = 18 if middle.code == "kyoto" else 4
        return rng.choices(["business", "city", "ryokan"], [58, 38 - ryokan + 4, ryokan])[0]
    return rng.choices(["business", "city", "ryokan", "resort"], [50, 20, 20, 10])[0]


def _name(rng, kind, place, taken):
    short = place.station
    for _ in range(40):
        if kind == "business":
            name = rng.choice(BUSINESS_NAMES).format(p=short)
        elif kind == "city":
            name = rng.choice(CITY_NAMES).format(p=short)
        elif kind == "ryokan":
            name = rng.choice(RYOKAN_NAMES).format(p=short, x=rng.choice(RYOKAN_WORDS))
        elif kind == "resort":
            name = rng.choice(RESORT_NAMES).format(p=short)
        else:
            name = rng.choice(PENSION_NAMES)
        if name not in taken:
            return name
    number = 2
    while f"{name} {short}{number}号館" in taken:
        number += 1
    return f"{name} {short}{number}号館"


def _address2(rng, place, in_city):
    town = rng.choice(place.towns or COMMON_TOWNS)
    if in_city:
        return f"{town}{rng.randint(1, 6)}-{rng.randint(1, 30)}-{rng.randint(1, 20)}"
    return f"{town}{rng.randint(1, 2800)}" + (f"-{rng.randint(1, 12)}" if rng.random() < 0.5 else "")


def _access(rng, kind, place):
    station = place.station
    walk = rng.randint(1, 12)
    if kind in ("ryokan", "resort", "pension") and rng.random() < 0.7:
        drive = rng.randint(5, 30)
        text = f"{station}駅から車で約{drive}分"
        if rng.random() < 0.5:
            text += f"（{station}駅より無料送迎あり・前日までに要予約）"
        else:
            text += f"／路線バスで{drive + 5}分「{place.towns[0] if place.towns else '温泉入口'}」下車、徒歩{walk}分"
        return text
    line = rng.choice(["JR", "地下鉄", "私鉄", "JR・地下鉄"])
    exit_ = rng.choice(["東口", "西口", "南口", "北口", "中央口", "1番出口", "A3出口"])
    text = f"{line}「{station}」駅{exit_}より徒歩{walk}分"
    if rng.random() < 0.3:
        text += f"／空港リムジンバス「{station}駅前」より徒歩{rng.randint(1, 5)}分"
    return text


def _long_access(rng, place):
    """A route description longer than 1023 bytes in code page 932."""
    parts = [f"【電車でお越しの方】「{place.station}」駅で下車し、改札を出て右手の出口から駅前ロータリーへお進みください。"
             "ロータリーを左手に見ながら大通りを直進し、二つ目の信号を右折して商店街に入ります。"
             "商店街を抜けた先の交差点を渡り、郵便局の角を左に曲がって百メートルほど進むと当館の看板が見えます。",
             "【バスでお越しの方】駅前三番のりばから市内循環バスに乗り、六つ目の停留所「市役所前」で下車してください。"
             "停留所から進行方向に二百メートル戻り、薬局の角を曲がってすぐです。バスは日中およそ十五分おきに運行しております。",
             "【お車でお越しの方】高速道路のインターチェンジを降りて国道を市街地方面へ約十五分、"
             "市役所前の交差点を左折して二つ目の信号を右折してください。当館の駐車場は建物の裏手にございます。"
             "満車の際は向かいの提携駐車場をご案内いたしますので、フロントまでお申し付けください。",
             "【空港からお越しの方】空港連絡バスで終点まで約五十分、終点からはタクシーで約十分です。"
             "タクシー乗り場は到着ロビーを出て左手にございます。",
             "【ご注意】駅前の再開発工事のため、一部の歩道が迂回路となっております。"
             "工事期間中は案内表示に従ってお進みいただき、ご不明な点はお気軽に当館までお電話ください。"
             "お車でお越しの際は、近隣道路が夕方に混み合いますので、時間に余裕をもってお出かけください。"]
    rng.shuffle(parts)
    return "".join(parts)


def _parking(rng, kind):
    roll = rng.random()
    if roll < 0.12:
        return None
    if kind in ("ryokan", "resort", "pension"):
        return f"有り　無料（{rng.randint(10, 80)}台・予約不要）"
    if roll < 0.45:
        return "無し（近隣の有料駐車場をご利用ください）"
    return f"有り　1泊{rng.choice([500, 800, 1000, 1200, 1500, 2000])}円（{rng.randint(8, 60)}台・先着順）"


SPECIAL_SENTENCES = {
    "business": ["全室に空気清浄機と加湿器を備えております。", "駅から近く、出張の拠点に便利です。",
                 "大浴場で一日の疲れを癒やしてください。", "無料の朝食サービスは6時30分からご利用いただけます。",
                 "全館で無線LANを無料でご利用いただけます。", "コインランドリーと電子レンジを各階にご用意しております。"],
    "city": ["最上階のレストランから街の夜景をお楽しみいただけます。", "宴会場と会議室を備えたシティホテルです。",
             "ロビーラウンジでは季節のアフタヌーンティーをご用意しております。", "地下の駐車場から客室階へ直接お上がりいただけます。",
             "記念日のお祝いケーキを承ります（要予約）。"],
    "ryokan": ["源泉かけ流しの露天風呂が自慢の宿です。", "地元の旬の食材を使った会席料理をお部屋でお召し上がりいただけます。",
               "創業百年の老舗旅館で、ゆったりとした時間をお過ごしください。", "貸切風呂は空いていればいつでも無料でご利用いただけます。",
               "四季折々の庭園を眺めながら、くつろぎのひとときをどうぞ。"],
    "resort": ["目の前に広がる海を一望できるリゾートホテルです。", "屋外プールは夏季限定で営業しております。",
               "お子様連れのご家族に人気のキッズルームがございます。", "ガーデンテラスでのバーベキューを承ります。"],
    "pension": ["オーナー手作りの夕食が評判の小さな宿です。", "暖炉のあるラウンジでゆっくりおくつろぎください。",
                "スキー場まで徒歩5分、乾燥室を完備しております。", "星空観察会を晴れた夜に開いております。"],
}


def _special(rng, kind, long_text):
    sentences = SPECIAL_SENTENCES[kind]
    if long_text:
        # Far more than 1023 bytes in code page 932.
        return "".join(sentences[i % len(sentences)] for i in range(24))
    return "".join(rng.sample(sentences, min(len(sentences), rng.randint(1, 3))))


def _plans(rng, kind, hotel_no):
    rooms = rng.sample(ROOM_TYPES[kind], min(len(ROOM_TYPES[kind]), rng.randint(2, 4)))
    meals = MEAL_PLANS[kind]
    low, high = BASE_RATES[kind]
    base = rng.randint(low // 100, high // 100) * 100
    plans = []
    for room_name, least, most, factor in rooms:
        for meal in rng.sample(meals, rng.randint(1, min(2, len(meals)))):
            plan_name, dinner, dinner_sel, breakfast, breakfast_sel, meal_factor = meal
            non_smoking = rng.random() < 0.7
            label = f"{room_name}（{'禁煙' if non_smoking else '喫煙'}）"
            rate = int(round(base * factor * meal_factor / 100.0)) * 100
            contents = _plan_contents(rng, plan_name, label, dinner, dinner_sel, breakfast, breakfast_sel)
            plans.append(Plan(len(plans) + 1, plan_name, label, contents, dinner, dinner_sel,
                              breakfast, breakfast_sel, rate, least, most, non_smoking))
    return plans


def _plan_contents(rng, plan_name, room, dinner, dinner_sel, breakfast, breakfast_sel):
    meals = []
    meals.append("夕食付き" if dinner else ("夕食は追加でお選びいただけます" if dinner_sel else "夕食なし"))
    meals.append("朝食付き" if breakfast else ("朝食は追加でお選びいただけます" if breakfast_sel else "朝食なし"))
    extras = ["チェックアウトは11時まで延長できます。", "客室は広めの設計で、ゆったりお過ごしいただけます。",
              "小学生のお子様は大人料金の7割、幼児は5割で承ります。", "お支払いは現地にて承ります。",
              "キャンセルは前日18時まで無料です。"]
    return f"【{plan_name}】{room}でのご宿泊です。{'、'.join(meals)}。" + "".join(rng.sample(extras, 2))


def _facilities(rng, kind, place):
    facilities = set()
    if kind in ("business", "city") or rng.random() < 0.5:
        facilities.add("internet")
    if place.hot_spring and kind != "business" or rng.random() < 0.08:
        facilities.add("onsen")
    if "onsen" in facilities or kind == "ryokan" or rng.random() < 0.2:
        facilities.add("daiyoku")
    return facilities


def _hotel(rng, hotel_no, middle, small, detail, taken):
    place = detail or small.place
    in_city = middle.code in BIG_CITIES or bool(small.details)
    kind = _kind(rng, middle, small, place, in_city)
    spread = 700.0 if detail else (1500.0 if in_city else 2500.0)
    lat, lon = geo.offset(place.latitude, place.longitude,
                          rng.gauss(0.0, spread / 2), rng.gauss(0.0, spread / 2))
    low, high = POSTAL_RANGES[middle.number - 1]
    name = _name(rng, kind, place, taken)
    taken.add(name)
    telephone = _phone(rng, place.phone)
    fax = None if (kind in ("pension", "ryokan") and rng.random() < 0.4) or rng.random() < 0.1 \
        else _phone(rng, place.phone)
    roll = rng.random()
    special = None if roll < 0.1 else _special(rng, kind, roll > 0.92)
    access = _long_access(rng, place) if rng.random() < 0.03 else _access(rng, kind, place)
    return Hotel(
        hotel_no=hotel_no, name=name, kind=kind, middle=middle.code, small=small.code,
        detail=detail.code if detail else None,
        postal_code=f"{rng.randint(low, high):03d}-{rng.randint(0, 9999):04d}",
        address1=middle.name + place.city, address2=_address2(rng, place, in_city),
        telephone=telephone, fax=fax, latitude=lat, longitude=lon,
        access=access, parking=_parking(rng, kind), special=special,
        checkin=rng.choice(["14:00", "15:00", "15:00", "16:00"] if kind != "ryokan" else ["14:00", "15:00"]),
        checkout=rng.choice(["10:00", "10:00", "11:00", "12:00"] if kind != "ryokan" else ["10:00", "11:00"]),
        facilities=_facilities(rng, kind, place), picture=rng.randrange(6),
        plans=_plans(rng, kind, hotel_no))


def build_hotels():
    rng = random.Random(SEED)
    hotels = []
    taken = set()
    hotel_no = 1000
    for middle, small, detail in areas.hotel_places():
        place = detail or small.place
        for _ in range(place.hotels):
            hotel_no += rng.randint(1, 60)
            hotels.append(_hotel(rng, hotel_no, middle, small, detail, taken))
    return hotels


HOTELS = build_hotels()
BY_NUMBER = {h.hotel_no: h for h in HOTELS}


def hotel_counts():
    """Number of hotels per (middle, small, detail) code triple."""
    counts = {}
    for h in HOTELS:
        key = (h.middle, h.small, h.detail)
        counts[key] = counts.get(key, 0) + 1
    return counts


# Vacancy and the charge of a night.

def rooms_free(hotel, plan, night):
    """Rooms of a plan still free on a night (a date): the same on every run,
    fuller on Saturdays and in the peak seasons."""
    mix = (hotel.hotel_no * 73856093) ^ (plan.plan_id * 19349663) ^ (night.toordinal() * 83492791)
    roll = (mix * 2654435761) % 1000
    sold_out = 200 if _is_peak(night) or night.weekday() == 5 else 70
    if roll < sold_out:
        return 0
    return 1 + roll % 6


def _is_peak(night):
    md = (night.month, night.day)
    return ((4, 29) <= md <= (5, 5)) or ((8, 10) <= md <= (8, 16)) or md >= (12, 29) or md <= (1, 3)


def night_rate(plan, night):
    """The adult rate of one night: weekend and peak surcharges, 100-yen steps."""
    factor = 1.0
    if night.weekday() == 5:
        factor = 1.25
    if _is_peak(night):
        factor = 1.4
    return int(round(plan.rate * factor / 100.0)) * 100


def party_charge(plan, night, adults, children, infants, rooms):
    """What the whole party pays for one night in this plan: adults at the
    rate, children at 70 %, infants at 50 %, a room taken by one person alone
    at 140 % when it is meant for more."""
    rate = night_rate(plan, night)
    persons = adults + children + infants
    alone = 1.4 if persons == rooms and plan.most > 1 else 1.0
    total = (adults * rate + children * rate * 0.7 + infants * rate * 0.5) * alone
    return int(round(total / 10.0)) * 10


def nights_of(checkin, checkout):
    return [checkin + datetime.timedelta(days=i) for i in range((checkout - checkin).days)]
