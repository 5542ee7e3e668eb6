import os
import random
import shutil
import struct
import subprocess
import tempfile
import unittest

from .lwtest import LocalWeb
import hotels
import jpeg
import pictures

CONVERT = shutil.which("convert-im6.q16") or shutil.which("convert")


def frame_size(data):
    """(width, height) from the SOF0 segment of a baseline JPEG."""
    at = 2
    while at < len(data):
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        if marker == 0xC0:
            height, width = struct.unpack(">HH", data[at + 5:at + 9])
            return width, height
        at += 2 + length
    raise AssertionError("no SOF0 segment")


def decode(data):
    """The RGB bytes ImageMagick reads from a JPEG."""
    with tempfile.NamedTemporaryFile(suffix=".jpg") as f:
        f.write(data)
        f.flush()
        result = subprocess.run([CONVERT, f.name, "-depth", "8", "rgb:-"], capture_output=True, timeout=60)
    if result.returncode != 0 or result.stderr:
        raise AssertionError(result.stderr.decode(errors="replace"))
    return result.stdout


def mean_error(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


class Encoder(unittest.TestCase):
    def test_huffman_tables_are_complete_prefix_codes(self):
        for name, table, symbols in (("DC luma", jpeg.DC_LUMA, 12), ("DC chroma", jpeg.DC_CHROMA, 12),
                                     ("AC luma", jpeg.AC_LUMA, 162), ("AC chroma", jpeg.AC_CHROMA, 162)):
            with self.subTest(name):
                counts, values = table
                self.assertEqual(sum(counts), len(values))
                self.assertEqual(len(set(values)), symbols)
                self.assertLess(sum(c / 2 ** (i + 1) for i, c in enumerate(counts)), 1.0)
                if symbols == 162:
                    expected = {0x00, 0xF0} | {(r << 4) | s for r in range(16) for s in range(1, 11)}
                    self.assertEqual(set(values), expected)

    def test_pixel_forms_give_the_same_file(self):
        width, height = 5, 3
        flat = bytes(range(width * height * 3))
        rows_of_bytes = [flat[y * 15:(y + 1) * 15] for y in range(height)]
        rows_of_tuples = [[tuple(r[i:i + 3]) for i in range(0, 15, 3)] for r in rows_of_bytes]
        expected = jpeg.encode_jpeg(width, height, flat)
        self.assertEqual(jpeg.encode_jpeg(width, height, rows_of_bytes), expected)
        self.assertEqual(jpeg.encode_jpeg(width, height, rows_of_tuples), expected)

    def test_refused_input(self):
        cases = [(0, 1, b""), (1, 0, b""), (70000, 1, b"\0" * 210000), (2, 2, b"\0" * 11), (2, 2, b"\0" * 13)]
        for width, height, pixels in cases:
            with self.subTest(width=width, height=height, size=len(pixels)):
                with self.assertRaises(ValueError):
                    jpeg.encode_jpeg(width, height, pixels)

    def test_file_structure(self):
        data = jpeg.encode_jpeg(9, 17, bytes(9 * 17 * 3), dpi=96)
        self.assertTrue(data.startswith(b"\xff\xd8\xff\xe0"))
        self.assertEqual(data[6:11], b"JFIF\0")
        self.assertEqual(struct.unpack(">HH", data[14:18]), (96, 96))
        self.assertTrue(data.endswith(b"\xff\xd9"))
        self.assertEqual(frame_size(data), (9, 17))
        scan = data[data.index(b"\xff\xda") + 14:-2]
        for at in range(len(scan) - 1):
            if scan[at] == 0xFF:
                self.assertEqual(scan[at + 1], 0, "unstuffed 0xFF in the scan")

    @unittest.skipUnless(CONVERT, "ImageMagick is not installed")
    def test_decoders_read_back_what_was_encoded(self):
        rng = random.Random(7)
        noise = bytes(rng.randrange(256) for _ in range(33 * 21 * 3))
        gradient = bytes(v for y in range(40) for x in range(61)
                         for v in ((x * 4) % 256, (y * 6) % 256, ((x + y) * 3) % 256))
        cases = [("noise", 33, 21, noise, 90, 12.0), ("gradient", 61, 40, gradient, 90, 2.0),
                 ("one pixel", 1, 1, b"\x10\x80\xf0", 85, 3.0),
                 ("flat", 64, 48, b"\x30\x60\x90" * (64 * 48), 85, 1.0)]
        for name, width, height, pixels, quality, tolerance in cases:
            with self.subTest(name):
                data = jpeg.encode_jpeg(width, height, pixels, quality=quality)
                decoded = decode(data)
                self.assertEqual(len(decoded), len(pixels))
                self.assertLess(mean_error(decoded, pixels), tolerance)


class HotelPictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.cache = tempfile.mkdtemp(prefix="localweb-pictures-")
        cls.addClassCleanup(shutil.rmtree, cls.cache, True)
        cls.web = LocalWeb(cache_dir=cls.cache)
        cls.web.start()
        cls.addClassCleanup(cls.web.stop)
        cls.samples = [next(h for h in hotels.HOTELS if h.picture == k) for k in range(len(pictures.LAYOUTS))]

    def fetch(self, hotel, query="?size=m&amp;v=1"):
        return self.web.get(f"/img/hotel/{hotel.hotel_no}.jpg{query}")

    def test_every_layout_is_served_with_its_size(self):
        sizes = []
        for hotel in self.samples:
            with self.subTest(hotel=hotel.hotel_no):
                status, headers, data = self.fetch(hotel)
                self.assertEqual((status, headers["Content-Type"]), (200, "image/jpeg"))
                self.assertTrue(data.startswith(b"\xff\xd8") and data.endswith(b"\xff\xd9"))
                sizes.append(frame_size(data))
        self.assertEqual(sizes, pictures.LAYOUTS)
        self.assertTrue(any(w > 150 and h > 195 for w, h in sizes))
        self.assertTrue(any(w < 150 and h < 195 for w, h in sizes))
        self.assertTrue(any(w > h for w, h in sizes) and any(w < h for w, h in sizes))

    @unittest.skipUnless(CONVERT, "ImageMagick is not installed")
    def test_the_picture_shows_the_drawing(self):
        hotel = self.samples[2]
        _, _, data = self.fetch(hotel)
        width, height, pixels = pictures.draw(hotel)
        self.assertLess(mean_error(decode(data), pixels), 3.0)

    def test_made_once_then_served_from_the_cache(self):
        hotel = self.samples[3]
        first = self.fetch(hotel)[2]
        cached = os.path.join(self.cache, f"hotel-{hotel.hotel_no}-v{pictures.VERSION}.jpg")
        with open(cached, "rb") as f:
            self.assertEqual(f.read(), first)
        with open(cached, "r+b") as f:
            f.seek(len(first) - 3)
            f.write(b"\x00")   # a changed cache file is what gets served
        self.assertNotEqual(self.fetch(hotel, "")[2], first)

    def test_the_same_hotel_gets_the_same_bytes(self):
        hotel = self.samples[5]
        width, height, pixels = pictures.draw(hotel)
        self.assertEqual(self.fetch(hotel)[2], jpeg.encode_jpeg(width, height, pixels, quality=85))

    def test_unknown_pictures(self):
        for target in ("/img/hotel/1.jpg", "/img/hotel/abc.jpg", "/img/hotel/.jpg", "/img/hotel/1035.png",
                       "/img/hotel/../../etc/passwd", "/img/", "/img/hotel/99999999999.jpg"):
            with self.subTest(target=target):
                self.assertEqual(self.web.get(target)[0], 404)


if __name__ == "__main__":
    unittest.main()
