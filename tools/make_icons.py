#!/usr/bin/env python3
"""Draws the program's two icons and writes them as .ico files.

res/app.ico (128): a hotel building with lit windows on a blue tile.
res/hotel.ico (204): a small bed marker for list rows.
Each icon holds 16, 32 and 48 pixel images as 32-bit BMPs with an alpha
channel and an AND mask, which every Windows version and Wine can read.
Usage: tools/make_icons.py [output-dir]   (default: res/)
"""
import os
import struct
import sys


def blank(size):
    return [[(0, 0, 0, 0) for _ in range(size)] for _ in range(size)]


def fill(img, x0, y0, x1, y1, rgba):
    """Fills the rectangle [x0, x1) x [y0, y1), given as fractions of the size."""
    n = len(img)
    for y in range(int(y0 * n), max(int(y1 * n), int(y0 * n) + 1)):
        for x in range(int(x0 * n), max(int(x1 * n), int(x0 * n) + 1)):
            if 0 <= x < n and 0 <= y < n:
                img[y][x] = rgba


def app_icon(size):
    img = blank(size)
    fill(img, 0.03, 0.03, 0.97, 0.97, (40, 60, 200, 255))        # tile
    fill(img, 0.22, 0.16, 0.78, 0.90, (240, 240, 235, 255))      # building
    fill(img, 0.16, 0.10, 0.84, 0.18, (200, 60, 50, 255))        # roof sign
    rows, cols = 4, 3
    for r in range(rows):
        for c in range(cols):
            x = 0.29 + c * 0.16
            y = 0.24 + r * 0.13
            lit = (r + c) % 2 == 0
            fill(img, x, y, x + 0.10, y + 0.08, (250, 210, 60, 255) if lit else (70, 90, 140, 255))
    fill(img, 0.43, 0.76, 0.57, 0.90, (120, 70, 30, 255))        # door
    return img


def hotel_icon(size):
    img = blank(size)
    fill(img, 0.06, 0.30, 0.16, 0.86, (90, 60, 30, 255))         # head board
    fill(img, 0.16, 0.56, 0.94, 0.70, (60, 90, 180, 255))        # mattress
    fill(img, 0.20, 0.44, 0.40, 0.56, (250, 250, 250, 255))      # pillow
    fill(img, 0.40, 0.46, 0.94, 0.56, (200, 70, 60, 255))        # blanket
    fill(img, 0.86, 0.70, 0.94, 0.86, (90, 60, 30, 255))         # foot
    return img


def bmp_entry(img):
    n = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((b, g, r, a)) for row in reversed(img) for (r, g, b, a) in row)
    mask_row_bytes = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(img):
        bits = bytearray(mask_row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def write_ico(path, draw):
    images = [(n, bmp_entry(draw(n))) for n in (16, 32, 48)]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in images:
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..', 'res')
    write_ico(os.path.join(out_dir, 'app.ico'), app_icon)
    write_ico(os.path.join(out_dir, 'hotel.ico'), hotel_icon)


if __name__ == '__main__':
    main()
