#!/usr/bin/env python3
"""Draws the placeholder and pattern pictures that ship in resources/.

Every picture is drawn here from simple shapes and written with the standard
library only (zlib and struct): PNG for the placeholders, baseline JPEG for the
two background patterns. Run it from anywhere:

    python3 scripts/make_placeholder_pictures.py [output folder]

The output is deterministic, so running it again gives the same files.
"""

import math
import os
import struct
import sys
import zlib


# --------------------------------------------------------------------------
# A tiny RGBA canvas with anti-aliased shapes (coverage from distances).
# --------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height, background=(0, 0, 0, 0)):
        self.w = width
        self.h = height
        self.px = [list(background) for _ in range(width * height)]

    def blend(self, x, y, colour, coverage):
        """Source-over of a straight-alpha colour with the given coverage (0..1)."""
        if coverage <= 0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        coverage = min(coverage, 1.0)
        sr, sg, sb, sa = colour
        a = sa / 255.0 * coverage
        d = self.px[y * self.w + x]
        da = d[3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            self.px[y * self.w + x] = [0, 0, 0, 0]
            return
        out = []
        for s, dc in ((sr, d[0]), (sg, d[1]), (sb, d[2])):
            out.append((s * a + dc * da * (1 - a)) / oa)
        out.append(oa * 255.0)
        self.px[y * self.w + x] = out

    def fill(self, colour_at):
        """Sets every pixel to colour_at(x, y)."""
        for y in range(self.h):
            for x in range(self.w):
                self.px[y * self.w + x] = list(colour_at(x, y))

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, int(y0)), min(self.h, int(math.ceil(y1)))):
            for x in range(max(0, int(x0)), min(self.w, int(math.ceil(x1)))):
                cx = min(x + 1, x1) - max(x, x0)
                cy = min(y + 1, y1) - max(y, y0)
                self.blend(x, y, colour, max(0.0, cx) * max(0.0, cy))

    def segment(self, ax, ay, bx, by, width, colour):
        """A thick line with round ends."""
        r = width / 2.0
        x0, x1 = int(min(ax, bx) - r - 1), int(max(ax, bx) + r + 2)
        y0, y1 = int(min(ay, by) - r - 1), int(max(ay, by) + r + 2)
        dx, dy = bx - ax, by - ay
        ll = dx * dx + dy * dy
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                px, py = x + 0.5, y + 0.5
                t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
                qx, qy = ax + t * dx, ay + t * dy
                dist = math.hypot(px - qx, py - qy)
                self.blend(x, y, colour, r + 0.5 - dist)

    def polyline(self, points, width, colour):
        # Each pixel takes its largest coverage over all segments, so joints do not darken.
        r = width / 2.0
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        for y in range(max(0, int(min(ys) - r - 1)), min(self.h, int(max(ys) + r + 2))):
            for x in range(max(0, int(min(xs) - r - 1)), min(self.w, int(max(xs) + r + 2))):
                px, py = x + 0.5, y + 0.5
                best = 1e9
                for (ax, ay), (bx, by) in zip(points, points[1:]):
                    if px < min(ax, bx) - r - 1 or px > max(ax, bx) + r + 1:
                        continue
                    if py < min(ay, by) - r - 1 or py > max(ay, by) + r + 1:
                        continue
                    dx, dy = bx - ax, by - ay
                    ll = dx * dx + dy * dy
                    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
                    best = min(best, math.hypot(px - ax - t * dx, py - ay - t * dy))
                self.blend(x, y, colour, r + 0.5 - best)

    def disc(self, cx, cy, radius, colour):
        for y in range(max(0, int(cy - radius - 1)), min(self.h, int(cy + radius + 2))):
            for x in range(max(0, int(cx - radius - 1)), min(self.w, int(cx + radius + 2))):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                self.blend(x, y, colour, radius + 0.5 - d)

    def rgba_rows(self):
        for y in range(self.h):
            row = bytearray()
            for x in range(self.w):
                for v in self.px[y * self.w + x]:
                    row.append(max(0, min(255, int(round(v)))))
            yield bytes(row)


def bezier(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


# --------------------------------------------------------------------------
# PNG writer (RGBA, 8 bits a sample, filter 0 on every row).
# --------------------------------------------------------------------------

def write_png(path, canvas):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in canvas.rgba_rows())
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# --------------------------------------------------------------------------
# Baseline JPEG writer: YCbCr without subsampling, one quantisation table,
# Huffman tables of fixed code lengths (4 bits for DC categories, 8 bits for
# AC run/size symbols), which baseline decoders accept like any other table.
# --------------------------------------------------------------------------

ZIGZAG = sorted(((x, y) for y in range(8) for x in range(8)),
                key=lambda p: (p[0] + p[1], p[0] if (p[0] + p[1]) % 2 == 0 else p[1]))
COS = [[math.cos((2 * x + 1) * u * math.pi / 16) * (math.sqrt(0.5) if u == 0 else 1.0)
        for x in range(8)] for u in range(8)]
QUANT = [[max(1, min(255, 2 + (x + y) * 2)) for x in range(8)] for y in range(8)]
DC_SYMBOLS = list(range(12))
AC_SYMBOLS = [0x00, 0xF0] + [(run << 4) | size for run in range(16) for size in range(1, 11)]


def canonical_codes(symbols, length):
    return {s: (i, length) for i, s in enumerate(symbols)}


DC_CODES = canonical_codes(DC_SYMBOLS, 4)
AC_CODES = canonical_codes(AC_SYMBOLS, 8)


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, bits):
        for i in range(bits - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0x00)
                self.acc = 0
                self.n = 0

    def flush(self):
        while self.n != 0:
            self.put(1, 1)


def magnitude(v):
    size = abs(v).bit_length()
    bits = v if v >= 0 else v + (1 << size) - 1
    return size, bits


def dct_block(block):
    tmp = [[sum(COS[u][x] * block[y][x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [[0.25 * sum(COS[v][y] * tmp[y][u] for y in range(8)) for u in range(8)] for v in range(8)]


def encode_block(writer, block, previous_dc):
    coeffs = dct_block(block)
    q = [int(round(coeffs[y][x] / QUANT[y][x])) for (x, y) in ZIGZAG]
    diff = q[0] - previous_dc
    size, bits = magnitude(diff)
    writer.put(*DC_CODES[size])
    if size:
        writer.put(bits, size)
    run = 0
    for k in range(1, 64):
        v = q[k]
        if v == 0:
            run += 1
            continue
        while run > 15:
            writer.put(*AC_CODES[0xF0])
            run -= 16
        size, bits = magnitude(v)
        writer.put(*AC_CODES[(run << 4) | size])
        writer.put(bits, size)
        run = 0
    if run:
        writer.put(*AC_CODES[0x00])
    return q[0]


def write_jpeg(path, canvas):
    w, h = canvas.w, canvas.h

    def pixel(x, y):
        r, g, b, a = canvas.px[min(y, h - 1) * w + min(x, w - 1)]
        a /= 255.0  # flatten onto white
        r, g, b = (c * a + 255 * (1 - a) for c in (r, g, b))
        return (0.299 * r + 0.587 * g + 0.114 * b,
                -0.168736 * r - 0.331264 * g + 0.5 * b + 128,
                0.5 * r - 0.418688 * g - 0.081312 * b + 128)

    writer = BitWriter()
    previous = [0, 0, 0]
    for by in range(0, h, 8):
        for bx in range(0, w, 8):
            ycc = [[pixel(bx + x, by + y) for x in range(8)] for y in range(8)]
            for c in range(3):
                block = [[ycc[y][x][c] - 128 for x in range(8)] for y in range(8)]
                previous[c] = encode_block(writer, block, previous[c])
    writer.flush()

    def segment(marker, payload):
        return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload

    def huffman_table(table_class, symbols, length):
        counts = [0] * 16
        counts[length - 1] = len(symbols)
        return bytes([table_class << 4]) + bytes(counts) + bytes(symbols)

    data = b"\xFF\xD8"
    data += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x48\x00\x48\x00\x00")
    data += segment(0xDB, b"\x00" + bytes(QUANT[y][x] for (x, y) in ZIGZAG))
    data += segment(0xC0, struct.pack(">BHHB", 8, h, w, 3) + b"\x01\x11\x00\x02\x11\x00\x03\x11\x00")
    data += segment(0xC4, huffman_table(0, DC_SYMBOLS, 4) + huffman_table(1, AC_SYMBOLS, 8))
    data += segment(0xDA, b"\x03\x01\x00\x02\x00\x03\x00\x00\x3F\x00")
    data += bytes(writer.out) + b"\xFF\xD9"
    with open(path, "wb") as f:
        f.write(data)


# --------------------------------------------------------------------------
# The pictures.
# --------------------------------------------------------------------------

def no_picture():
    """Placeholder of a picture object without a file: a framed landscape icon."""
    c = Canvas(160, 120, (236, 238, 242, 255))
    grey = (150, 156, 168, 255)
    for x0, y0, x1, y1 in ((0, 0, 160, 2), (0, 118, 160, 120), (0, 0, 2, 120), (158, 0, 160, 120)):
        c.rect(x0, y0, x1, y1, grey)
    c.disc(112, 38, 11, (242, 190, 70, 255))
    mountain = [(20, 96), (58, 50), (82, 78), (100, 62), (140, 96)]
    for y in range(c.h):
        for x in range(c.w):
            px = x + 0.5
            for (ax, ay), (bx, by) in zip(mountain, mountain[1:]):
                if ax <= px <= bx:
                    top = ay + (by - ay) * (px - ax) / (bx - ax)
                    if top <= y + 0.5 <= 96:
                        c.blend(x, y, (120, 160, 120, 255), 1.0)
    c.segment(30, 20, 130, 100, 5, (200, 70, 70, 200))
    return c


def sign_sample():
    """A handwritten-looking signature stroke in dark blue ink."""
    c = Canvas(220, 90)
    ink = (20, 40, 110, 255)
    strokes = [
        bezier((14, 62), (20, 10), (44, 8), (40, 40)),
        bezier((40, 40), (36, 70), (20, 74), (30, 56)),
        bezier((30, 56), (52, 30), (64, 62), (76, 48)),
        bezier((76, 48), (88, 34), (92, 64), (104, 50)),
        bezier((104, 50), (116, 30), (120, 66), (134, 46)),
        bezier((134, 46), (150, 22), (150, 70), (168, 44)),
        bezier((168, 44), (180, 26), (190, 60), (206, 38)),
        bezier((24, 76), (80, 70), (140, 84), (200, 70)),
    ]
    for pts in strokes:
        c.polyline(pts, 2.6, ink)
    return c


def fingerprints():
    """A fingerprint: nested ridges of an elongated whorl."""
    w, h = 120, 150
    c = Canvas(w, h)
    cx, cy = 60.0, 78.0
    ink = (55, 50, 60, 255)
    for y in range(h):
        for x in range(w):
            dx = (x + 0.5 - cx) / 46.0
            dy = (y + 0.5 - cy) / 62.0
            outline = dx * dx + dy * dy
            if outline > 1.0:
                continue
            # Ridge phase: a loop whose ridges bend down and open towards the
            # bottom, with a slight swirl, the way a thumb print runs.
            bent = dy - 0.45 * dx * dx + 0.25
            angle = math.atan2(bent, dx)
            rr = math.hypot(dx * 1.15, bent) * 60.0 + 1.5 * math.sin(angle * 3.0)
            ridge = 0.5 + 0.5 * math.cos(rr * 2 * math.pi / 5.0)
            edge = min(1.0, (1.0 - outline) * 12.0)
            c.blend(x, y, ink, max(0.0, ridge * 1.6 - 0.5) * edge)
    return c


def barcode_sample():
    """Stand-in picture of a barcode object before its first barcode is made.

    It is shown 120 x 60 points large, the frame the barcode tool gives a new
    barcode, and drawn here at two pixels per point with every edge on a whole
    point, so that it stays sharp on the canvas, in exported cards and in print.
    """
    scale = 2
    c = Canvas(120 * scale, 60 * scale, (255, 255, 255, 255))
    widths = [2, 1, 1, 3, 2, 1, 1, 2, 3, 1, 2, 2, 1, 3, 1, 1, 2, 1, 3, 2, 1, 2, 1, 1, 3, 2, 2, 1, 1, 2,
              1, 3, 1, 2, 2, 1, 1, 1, 3, 2, 1, 2, 2, 1, 3, 1, 2, 1, 1, 2]
    x = 18  # the bars, 82 points wide, in the middle
    dark = True
    for wd in widths:
        if dark:
            c.rect(x * scale, 6 * scale, (x + wd) * scale, 47 * scale, (0, 0, 0, 255))
        x += wd
        dark = not dark
    # Four short marks under the bars stand for the human-readable line.
    for i in range(4):
        c.rect((24 + i * 20) * scale, 51 * scale, (36 + i * 20) * scale, 54 * scale, (60, 60, 60, 255))
    return c


def cross_cursor():
    """The creation cursor: a thin black cross with a white halo, 16 x 16."""
    c = Canvas(16, 16)
    for (x0, y0, x1, y1) in ((7, 0, 10, 16), (0, 7, 16, 10)):
        c.rect(x0, y0, x1, y1, (255, 255, 255, 255))
    for (x0, y0, x1, y1) in ((8, 1, 9, 15), (1, 8, 15, 9)):
        c.rect(x0, y0, x1, y1, (0, 0, 0, 255))
    return c


def banner():
    """Repeating banner tile: soft diagonal ribbons in blue and white, 64 x 64."""
    c = Canvas(64, 64)

    def colour(x, y):
        t = ((x + y) % 32) / 32.0
        s = 0.5 + 0.5 * math.cos(2 * math.pi * t)
        return (60 + 140 * s, 110 + 110 * s, 190 + 50 * s, 255)

    c.fill(colour)
    return c


def pattern_1():
    """Promotion pattern tile: small dots on a warm ground, 48 x 48."""
    c = Canvas(48, 48, (250, 236, 214, 255))
    for (cx, cy) in ((12, 12), (36, 36)):
        c.disc(cx, cy, 6, (226, 120, 80, 255))
    for (cx, cy) in ((36, 12), (12, 36)):
        c.disc(cx, cy, 3, (200, 160, 90, 255))
    return c


def wizard_pattern():
    """Start window pattern tile: a light check with thin lines, 64 x 64."""
    c = Canvas(64, 64)

    def colour(x, y):
        base = 238 if ((x // 32) + (y // 32)) % 2 == 0 else 228
        return (base - 8, base - 2, base + 10 if base + 10 < 256 else 255, 255)

    c.fill(colour)
    for k in (0, 32):
        c.rect(k, 0, k + 1, 64, (200, 210, 232, 255))
        c.rect(0, k, 64, k + 1, (200, 210, 232, 255))
    return c


def promotion_labels():
    """Product picture of the labels program: a sheet of address labels, 120 x 80."""
    c = Canvas(120, 80)
    c.rect(22, 4, 98, 76, (255, 255, 255, 255))
    for row in range(4):
        for col in range(2):
            x0, y0 = 27 + col * 36, 9 + row * 17
            c.rect(x0, y0, x0 + 30, y0 + 13, (214, 232, 250, 255))
            c.rect(x0 + 3, y0 + 3, x0 + 22, y0 + 5, (60, 90, 150, 255))
            c.rect(x0 + 3, y0 + 8, x0 + 16, y0 + 10, (120, 140, 180, 255))
    return c


def promotion_receipts():
    """Product picture of the receipts program: a receipt with lines and bars, 120 x 80."""
    c = Canvas(120, 80)
    c.rect(38, 2, 82, 78, (255, 255, 255, 255))
    for k in range(5):
        c.rect(43, 8 + k * 8, 43 + (30 if k % 2 == 0 else 22), 10 + k * 8, (90, 90, 100, 255))
    for k, w in enumerate((2, 1, 1, 3, 1, 2, 1, 1, 2, 3, 1, 2)):
        x = 44 + sum((2, 1, 1, 3, 1, 2, 1, 1, 2, 3, 1, 2)[:k]) + k
        c.rect(x, 52, x + w, 70, (20, 20, 20, 255))
    return c


def promotion_badges():
    """Product picture of the badges program: a name badge on a ribbon, 120 x 80."""
    c = Canvas(120, 80)
    c.segment(60, 0, 60, 20, 6, (210, 60, 70, 255))
    c.rect(30, 18, 90, 76, (255, 255, 255, 255))
    c.rect(30, 18, 90, 30, (210, 60, 70, 255))
    c.disc(46, 50, 9, (120, 150, 200, 255))
    c.rect(60, 44, 84, 47, (60, 60, 70, 255))
    c.rect(60, 53, 78, 56, (130, 130, 140, 255))
    return c


PICTURES = [
    ("no.png", no_picture, write_png),
    ("sign_sample.png", sign_sample, write_png),
    ("fingerprints.png", fingerprints, write_png),
    ("barcode_sample.png", barcode_sample, write_png),
    ("Cross.png", cross_cursor, write_png),
    ("banner.png", banner, write_png),
    ("pattern_1.jpg", pattern_1, write_jpeg),
    ("Wizard_pattern.jpg", wizard_pattern, write_jpeg),
    ("promotion_S.png", promotion_labels, write_png),
    ("promotion_R.png", promotion_receipts, write_png),
    ("promotion_B.png", promotion_badges, write_png),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(out, exist_ok=True)
    for name, draw, write in PICTURES:
        write(os.path.join(out, name), draw())
        print(os.path.join(out, name))


if __name__ == "__main__":
    main()
