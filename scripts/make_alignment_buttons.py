#!/usr/bin/env python3
"""Draws the nine alignment button pictures of the print dialog.

Each picture (32 x 32 PNG) is a sheet of paper with a block of cards in one
of nine positions; the selected form has a blue sheet and a white block.
Written with the standard library only (zlib and struct). Run it from
anywhere:

    python3 scripts/make_alignment_buttons.py [output folder]

The output is deterministic, so running it again gives the same files.
"""

import os
import struct
import sys
import zlib

SIZE = 32
INK = (43, 58, 85, 255)
ACCENT = (61, 123, 224, 255)
PAPER = (255, 255, 255, 255)
CLEAR = (0, 0, 0, 0)

# Position 1..9, row by row from the top left: the file names the print
# dialog reads (normal, selected).
NAMES = [
    ("top_left", "top_left - sel"),
    ("top_center", "top_center - sel"),
    ("top_right", "top_right - sel"),
    ("middle_left", "middle_left - sel"),
    ("middle_center", "middle_center_sel"),
    ("middle_right", "middle_right - sel"),
    ("bootom_left", "bootom_left - sel"),
    ("bootom_center", "bootom_center - sel"),
    ("boottom_right", "boottom_right - sel"),
]


def png(pixels):
    raw = b"".join(b"\x00" + bytes(v for px in row for v in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def picture(position, selected):
    px = [[CLEAR] * SIZE for _ in range(SIZE)]
    sheet = ACCENT if selected else PAPER
    block = PAPER if selected else ACCENT
    # The sheet: 22 x 28 with an ink border.
    left, top, w, h = 5, 2, 22, 28
    for y in range(top, top + h):
        for x in range(left, left + w):
            edge = x in (left, left + w - 1) or y in (top, top + h - 1)
            px[y][x] = INK if edge else sheet
    # The block of cards: 8 x 8 inside a 2-pixel margin.
    col, row = (position - 1) % 3, (position - 1) // 3
    bx = left + 3 + col * ((w - 6 - 8) // 2)
    by = top + 3 + row * ((h - 6 - 8) // 2)
    for y in range(by, by + 8):
        for x in range(bx, bx + 8):
            px[y][x] = block
    return png(px)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources")
    os.makedirs(out, exist_ok=True)
    for position, (normal, chosen) in enumerate(NAMES, start=1):
        for name, selected in ((normal, False), (chosen, True)):
            with open(os.path.join(out, name + ".png"), "wb") as f:
                f.write(picture(position, selected))


if __name__ == "__main__":
    main()
