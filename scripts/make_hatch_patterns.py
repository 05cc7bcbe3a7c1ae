#!/usr/bin/python3
"""Draws the hatch pattern pictures that shapes and card backgrounds tile.

Each pattern is a small RGBA tile: dark strokes on a transparent ground, so that
the hatch background colour shows between the strokes. Run from anywhere:
    /usr/bin/python3 scripts/make_hatch_patterns.py
Writes resources/Fill_Style_Image/<name>.png beside this script's repository.
"""
import os
import struct
import zlib

SIZE = 16
INK = (40, 40, 40, 255)
CLEAR = (0, 0, 0, 0)


def png_bytes(width, height, pixels):
    """pixels: list of rows, each a list of (r, g, b, a)."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # no filter
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def tile(test):
    return [[INK if test(x, y) else CLEAR for x in range(SIZE)] for y in range(SIZE)]


PATTERNS = {
    "Horizontal": lambda x, y: y % 8 == 0,
    "Vertical": lambda x, y: x % 8 == 0,
    "Cross": lambda x, y: x % 8 == 0 or y % 8 == 0,
    "Diagonal_Up": lambda x, y: (x + y) % 8 == 0,
    "Diagonal_Down": lambda x, y: (x - y) % 8 == 0,
    "Diagonal_Cross": lambda x, y: (x + y) % 8 == 0 or (x - y) % 8 == 0,
    "Dots": lambda x, y: x % 4 == 1 and y % 4 == 1,
    "Checker": lambda x, y: ((x // 4) + (y // 4)) % 2 == 0,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = os.path.join(os.path.dirname(here), "resources", "Fill_Style_Image")
    os.makedirs(out, exist_ok=True)
    for name, test in sorted(PATTERNS.items()):
        with open(os.path.join(out, name + ".png"), "wb") as f:
            f.write(png_bytes(SIZE, SIZE, tile(test)))
    print("wrote %d patterns to %s" % (len(PATTERNS), out))


if __name__ == "__main__":
    main()
