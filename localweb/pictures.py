"""Hotel photographs: a simple drawing of the hotel (sky, building, lit
windows, the hotel number on its sign) made once per hotel, encoded as JPEG
and kept in a cache directory. The same hotel always gets the same bytes."""

import os
import re
import tempfile
import threading

import hotels
from jpeg import encode_jpeg
from reply import Reply

# Width and height of each layout: larger, smaller and exactly the size of
# the client's picture box (150 x 195), in landscape and portrait.
LAYOUTS = [(320, 240), (200, 260), (120, 90), (100, 130), (480, 200), (150, 195)]
VERSION = 1
PATH = re.compile(r"^/img/hotel/([0-9]{1,9})\.jpg$")

# 3 x 5 digit shapes, one string of 15 cells per digit.
DIGITS = ["111101101101111", "010110010010111", "111001111100111", "111001111001111",
          "101101111001001", "111100111001111", "111100111101111", "111001010010010",
          "111101111101111", "111101111001111"]

PALETTES = {
    "business": ((150, 190, 235), (235, 240, 250), (120, 130, 145), (70, 80, 95)),
    "city": ((90, 140, 215), (200, 220, 245), (170, 165, 155), (60, 60, 70)),
    "ryokan": ((170, 200, 225), (240, 235, 215), (120, 85, 55), (50, 45, 40)),
    "resort": ((70, 160, 230), (180, 225, 250), (245, 240, 225), (30, 110, 170)),
    "pension": ((140, 190, 150), (230, 240, 220), (205, 175, 130), (120, 60, 40)),
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = bytearray(bytes(colour) * (width * height))

    def rect(self, x, y, w, h, colour):
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        if x0 >= x1 or y0 >= y1:
            return
        row = bytes(colour) * (x1 - x0)
        for yy in range(y0, y1):
            start = (yy * self.width + x0) * 3
            self.pixels[start:start + len(row)] = row

    def disc(self, cx, cy, r, colour):
        for yy in range(max(0, cy - r), min(self.height, cy + r + 1)):
            for xx in range(max(0, cx - r), min(self.width, cx + r + 1)):
                if (xx - cx) ** 2 + (yy - cy) ** 2 <= r * r:
                    start = (yy * self.width + xx) * 3
                    self.pixels[start:start + 3] = bytes(colour)

    def number(self, x, y, cell, text, colour):
        for k, ch in enumerate(text):
            shape = DIGITS[int(ch)]
            for i, on in enumerate(shape):
                if on == "1":
                    self.rect(x + (k * 4 + i % 3) * cell, y + (i // 3) * cell, cell, cell, colour)


def draw(hotel):
    """The picture of a hotel as (width, height, RGB bytes). Shapes keep to the
    8-pixel grid where they can, which keeps the encoding fast."""
    width, height = LAYOUTS[hotel.picture % len(LAYOUTS)]
    sky, light, wall, dark = PALETTES[hotel.kind]
    canvas = Canvas(width, height, sky)
    for band in range(0, height, 8):           # a sky that lightens towards the ground
        t = band / height
        canvas.rect(0, band, width, 8, tuple(int(s + (l - s) * t * 0.8) for s, l in zip(sky, light)))
    ground = height - max(8, height // 8) // 8 * 8
    canvas.rect(0, ground, width, height - ground, (90, 120, 80) if hotel.kind != "resort" else (230, 215, 170))
    canvas.disc(width - width // 6, height // 6, max(4, width // 16), (255, 230, 140))
    cell = 8 if width >= 200 else 4
    floors = max(2, (ground - 3 * cell) // (2 * cell) - 1)
    if hotel.kind in ("ryokan", "pension"):
        floors = min(floors, 3)
    building_w = (width * 5 // 8) // 8 * 8
    bx = (width - building_w) // 2 // 8 * 8
    top = ground - floors * 2 * cell - cell
    canvas.rect(bx, top, building_w, ground - top, wall)
    canvas.rect(bx - cell, top - cell, building_w + 2 * cell, cell, dark)          # roof
    seed = hotel.hotel_no
    for f in range(floors):
        for w in range(1, building_w // (2 * cell)):
            seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
            lit = (seed >> 16) % 3 != 0
            canvas.rect(bx + w * 2 * cell - cell // 2, top + cell + f * 2 * cell, cell, cell,
                        (255, 235, 160) if lit else dark)
    digits = str(hotel.hotel_no)
    sign_cell = max(2, cell // 2)
    sign_w = (len(digits) * 4 + 1) * sign_cell
    sign_x = bx + (building_w - sign_w) // 2
    sign_y = max(0, top - cell - 7 * sign_cell)
    canvas.rect(sign_x, sign_y, sign_w, 7 * sign_cell, (250, 250, 250))
    canvas.number(sign_x + sign_cell, sign_y + sign_cell, sign_cell, digits, (200, 30, 30))
    return width, height, bytes(canvas.pixels)


class PictureStore:
    def __init__(self, cache_dir):
        self.cache_dir = cache_dir
        self._lock = threading.Lock()

    def picture(self, hotel):
        """The JPEG bytes of the hotel's picture, made on first use."""
        path = os.path.join(self.cache_dir, f"hotel-{hotel.hotel_no}-v{VERSION}.jpg")
        try:
            with open(path, "rb") as f:
                return f.read()
        except FileNotFoundError:
            pass
        width, height, pixels = draw(hotel)
        data = encode_jpeg(width, height, pixels, quality=85)
        with self._lock:
            os.makedirs(self.cache_dir, exist_ok=True)
            fd, temp = tempfile.mkstemp(dir=self.cache_dir, suffix=".tmp")
            with os.fdopen(fd, "wb") as f:
                f.write(data)
            os.replace(temp, path)
        return data

    def handle(self, request):
        match = PATH.match(request.path)
        hotel = hotels.BY_NUMBER.get(int(match.group(1))) if match else None
        if hotel is None:
            return Reply(404, b"no such picture\n", "text/plain; charset=us-ascii")
        return Reply(200, self.picture(hotel), "image/jpeg")
