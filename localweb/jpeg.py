"""A small baseline JPEG encoder (JFIF, 8-bit, three components without
subsampling, the usual Huffman tables), enough to make test pictures without
anything beyond the standard library.

    data = encode_jpeg(width, height, pixels, quality=85, dpi=96)

pixels is either a bytes-like object of width * height * 3 bytes (rows of
RGB from the top) or a sequence of rows, each a bytes-like of width * 3 bytes
or a sequence of (r, g, b) tuples. The output is the same for the same input."""

import math
import struct

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
]

# Quantisation tables at quality 50, in natural (row by row) order.
LUMA_QUANT = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
CHROMA_QUANT = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32

# Huffman tables: the number of codes of each length 1..16, then the symbols.
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], [
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07,
    0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0,
    0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28,
    0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
    0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89,
    0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
    0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5,
    0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], [
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71,
    0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0,
    0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48,
    0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87,
    0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])

# The DCT as a matrix: row u holds C(u)/2 * cos((2x + 1) u pi / 16).
DCT = [[(math.sqrt(0.5) if u == 0 else 1.0) * 0.5 * math.cos((2 * x + 1) * u * math.pi / 16)
        for x in range(8)] for u in range(8)]


def scaled_quant(table, quality):
    """The quantisation table for a quality from 1 to 100, in zigzag order."""
    quality = max(1, min(100, quality))
    scale = 5000 // quality if quality < 50 else 200 - quality * 2
    natural = [max(1, min(255, (q * scale + 50) // 100)) for q in table]
    return [natural[z] for z in ZIGZAG]


def huffman_codes(table):
    """symbol -> (code, length) of a canonical Huffman table."""
    counts, symbols = table
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.bits = 0

    def write(self, value, length):
        self.acc = (self.acc << length) | (value & ((1 << length) - 1))
        self.bits += length
        while self.bits >= 8:
            self.bits -= 8
            byte = (self.acc >> self.bits) & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)   # byte stuffing
        self.acc &= (1 << self.bits) - 1

    def flush(self):
        if self.bits:
            self.write((1 << (8 - self.bits)) - 1, 8 - self.bits)   # pad with ones


def _magnitude(value):
    """(size category, bits) of a coefficient as the entropy coder sends them."""
    if value == 0:
        return 0, 0
    size = abs(value).bit_length()
    return size, value if value > 0 else value + (1 << size) - 1


def _to_planes(width, height, pixels):
    """Y, Cb and Cr planes (floats, level-shifted by 128) of the picture."""
    if isinstance(pixels, (bytes, bytearray, memoryview)):
        flat = bytes(pixels)
    else:
        rows = []
        for row in pixels:
            if isinstance(row, (bytes, bytearray, memoryview)):
                rows.append(bytes(row))
            else:
                rows.append(bytes(c for p in row for c in p))
        flat = b"".join(rows)
    if len(flat) != width * height * 3:
        raise ValueError("pixel data does not match width * height * 3")
    y, cb, cr = [], [], []
    for i in range(0, len(flat), 3):
        r, g, b = flat[i], flat[i + 1], flat[i + 2]
        y.append(0.299 * r + 0.587 * g + 0.114 * b - 128.0)
        cb.append(-0.168736 * r - 0.331264 * g + 0.5 * b)
        cr.append(0.5 * r - 0.418688 * g - 0.081312 * b)
    return y, cb, cr


def _block(plane, width, height, bx, by):
    """The 8 x 8 samples at block (bx, by), edges repeated past the picture."""
    block = []
    for j in range(8):
        row = min(by * 8 + j, height - 1) * width
        for i in range(8):
            block.append(plane[row + min(bx * 8 + i, width - 1)])
    return block


def _fdct(block):
    """Coefficients in natural order; a flat block has only its DC term."""
    first = block[0]
    if all(v == first for v in block):
        return [8.0 * first] + [0.0] * 63
    rows = [[sum(m[x] * block[r * 8 + x] for x in range(8)) for m in DCT] for r in range(8)]
    out = [0.0] * 64
    for v in range(8):
        m = DCT[v]
        for u in range(8):
            out[v * 8 + u] = sum(m[y] * rows[y][u] for y in range(8))
    return out


def _encode_block(writer, coefficients, quant, dc_codes, ac_codes, previous_dc):
    q = [int(round(coefficients[z] / quant[k])) for k, z in enumerate(ZIGZAG)]
    size, bits = _magnitude(q[0] - previous_dc)
    code, length = dc_codes[size]
    writer.write(code, length)
    if size:
        writer.write(bits, size)
    run = 0
    last = max((k for k in range(1, 64) if q[k]), default=0)
    for k in range(1, last + 1):
        if q[k] == 0:
            run += 1
            continue
        while run > 15:
            writer.write(*ac_codes[0xF0])
            run -= 16
        size, bits = _magnitude(q[k])
        writer.write(*ac_codes[(run << 4) | size])
        writer.write(bits, size)
        run = 0
    if last < 63:
        writer.write(*ac_codes[0x00])
    return q[0]


def _segment(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def _huffman_segment(table_class, table_id, table):
    counts, symbols = table
    return bytes([(table_class << 4) | table_id]) + bytes(counts) + bytes(symbols)


def encode_jpeg(width, height, pixels, quality=85, dpi=96):
    if not (1 <= width <= 65535 and 1 <= height <= 65535):
        raise ValueError("width and height must lie between 1 and 65535")
    planes = _to_planes(width, height, pixels)
    quants = [scaled_quant(LUMA_QUANT, quality), scaled_quant(CHROMA_QUANT, quality)]
    dc = [huffman_codes(DC_LUMA), huffman_codes(DC_CHROMA)]
    ac = [huffman_codes(AC_LUMA), huffman_codes(AC_CHROMA)]
    writer = BitWriter()
    previous = [0, 0, 0]
    for by in range((height + 7) // 8):
        for bx in range((width + 7) // 8):
            for c in range(3):
                t = 0 if c == 0 else 1
                coefficients = _fdct(_block(planes[c], width, height, bx, by))
                previous[c] = _encode_block(writer, coefficients, quants[t], dc[t], ac[t], previous[c])
    writer.flush()
    header = bytearray(b"\xff\xd8")
    header += _segment(0xE0, b"JFIF\0" + struct.pack(">BBBHHBB", 1, 1, 1, dpi, dpi, 0, 0))
    header += _segment(0xDB, bytes([0]) + bytes(quants[0]) + bytes([1]) + bytes(quants[1]))
    header += _segment(0xC0, struct.pack(">BHHB", 8, height, width, 3)
                       + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    header += _segment(0xC4, _huffman_segment(0, 0, DC_LUMA) + _huffman_segment(1, 0, AC_LUMA)
                       + _huffman_segment(0, 1, DC_CHROMA) + _huffman_segment(1, 1, AC_CHROMA))
    header += _segment(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    return bytes(header) + bytes(writer.out) + b"\xff\xd9"
