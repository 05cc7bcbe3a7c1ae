#!/usr/bin/env python3
"""Draws the picture library and the card backgrounds that ship in resources/.

The library pictures lie in category folders of LibraryImage/ (the folder
names are lower case on purpose: the program shows them capitalised), the
card backgrounds in Background/. Everything is drawn here from simple shapes
with the drawing helpers of make_placeholder_pictures.py. Run it from anywhere:

    python3 scripts/make_library_pictures.py [resources folder]
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_placeholder_pictures import Canvas, write_jpeg, write_png  # noqa: E402


def polygon_fill(canvas, points, colour):
    """Fills a polygon (even-odd), sampled at pixel centres, with 2x2 supersampling."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    for y in range(max(0, int(min(ys))), min(canvas.h, int(max(ys)) + 1)):
        for x in range(max(0, int(min(xs))), min(canvas.w, int(max(xs)) + 1)):
            inside = 0
            for sx, sy in ((0.25, 0.25), (0.75, 0.25), (0.25, 0.75), (0.75, 0.75)):
                px, py = x + sx, y + sy
                hit = False
                for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                    if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                        hit = not hit
                inside += hit
            canvas.blend(x, y, colour, inside / 4.0)


def star_points(cx, cy, outer, inner, count=5, turn=-math.pi / 2):
    pts = []
    for i in range(count * 2):
        r = outer if i % 2 == 0 else inner
        a = turn + i * math.pi / count
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def heart_points(cx, cy, size):
    pts = []
    for i in range(120):
        t = i / 120 * 2 * math.pi
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append((cx + x * size / 34, cy - y * size / 34))
    return pts


# ---------------------------------------------------------------- library

def flower(petal, centre):
    c = Canvas(160, 160)
    c.segment(80, 95, 80, 155, 6, (60, 140, 70, 255))
    polygon_fill(c, [(80, 130), (112, 112), (120, 120), (82, 140)], (80, 160, 80, 255))
    for i in range(6):
        a = i * math.pi / 3
        c.disc(80 + 30 * math.cos(a), 70 + 30 * math.sin(a), 22, petal)
    c.disc(80, 70, 18, centre)
    return c


def tulip():
    c = Canvas(160, 160)
    c.segment(80, 90, 80, 155, 6, (60, 140, 70, 255))
    polygon_fill(c, [(50, 40), (65, 60), (80, 30), (95, 60), (110, 40), (108, 90), (80, 110), (52, 90)],
                 (220, 60, 90, 255))
    return c


def balloons():
    c = Canvas(160, 160)
    for (x, y, colour) in ((55, 55, (230, 70, 70, 255)), (100, 45, (70, 130, 230, 255)), (85, 85, (240, 190, 50, 255))):
        c.segment(x, y + 28, 80, 155, 1.5, (90, 90, 90, 255))
        polygon_fill(c, [(x + 26 * math.cos(t / 30 * 2 * math.pi), y + 32 * math.sin(t / 30 * 2 * math.pi))
                         for t in range(30)], colour)
        c.disc(x - 9, y - 12, 6, (255, 255, 255, 110))
    return c


def gift():
    c = Canvas(160, 160)
    c.rect(25, 60, 135, 150, (60, 160, 200, 255))
    c.rect(18, 45, 142, 68, (50, 140, 180, 255))
    c.rect(72, 45, 88, 150, (240, 80, 90, 255))
    polygon_fill(c, [(80, 45), (45, 20), (50, 45)], (240, 80, 90, 255))
    polygon_fill(c, [(80, 45), (115, 20), (110, 45)], (240, 80, 90, 255))
    return c


def cake():
    c = Canvas(160, 160)
    c.fill(lambda x, y: (255, 255, 255, 255))
    c.rect(25, 90, 135, 145, (200, 140, 90, 255))
    c.rect(25, 85, 135, 100, (250, 230, 240, 255))
    c.rect(35, 55, 125, 90, (230, 170, 120, 255))
    c.rect(35, 52, 125, 62, (250, 230, 240, 255))
    for x in (55, 80, 105):
        c.rect(x - 3, 25, x + 3, 52, (120, 170, 230, 255))
        polygon_fill(c, [(x, 10), (x + 6, 20), (x, 26), (x - 6, 20)], (250, 180, 40, 255))
    return c


def heart():
    c = Canvas(160, 160)
    polygon_fill(c, heart_points(80, 82, 120), (220, 40, 70, 255))
    c.disc(55, 55, 9, (255, 255, 255, 90))
    return c


def gold_star():
    c = Canvas(160, 160)
    polygon_fill(c, star_points(80, 84, 72, 30), (245, 190, 40, 255))
    polygon_fill(c, star_points(80, 84, 40, 17), (250, 215, 90, 255))
    return c


# ---------------------------------------------------------------- backgrounds (twice the credit card size)

W, H = 486, 308


def sunrise():
    c = Canvas(W, H)

    def sky(x, y):
        t = y / H
        return (255, int(200 - 80 * t), int(120 + 60 * t), 255)
    c.fill(sky)
    c.disc(W * 0.7, H * 0.75, 70, (255, 240, 170, 255))
    for k in range(3):
        pts = [(x, H * (0.72 + 0.09 * k) + 12 * math.sin(x / 40 + k)) for x in range(0, W + 1, 12)]
        polygon_fill(c, pts + [(W, H), (0, H)], (70 + 30 * k, 110 + 25 * k, 160 - 20 * k, 255))
    return c


def confetti():
    c = Canvas(W, H, (255, 252, 240, 255))
    colours = [(230, 70, 70, 255), (70, 130, 230, 255), (240, 190, 50, 255), (90, 180, 110, 255), (200, 90, 200, 255)]
    seed = 7
    for i in range(140):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        x = seed % W
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        y = seed % H
        colour = colours[i % len(colours)]
        if i % 3 == 0:
            c.disc(x, y, 4 + i % 4, colour)
        else:
            a = (seed % 628) / 100.0
            c.segment(x, y, x + 10 * math.cos(a), y + 10 * math.sin(a), 3, colour)
    return c


def waves():
    c = Canvas(W, H)
    c.fill(lambda x, y: (int(20 + 40 * y / H), int(90 + 60 * y / H), int(150 + 60 * y / H), 255))
    for k in range(6):
        pts = [(x, H * (0.15 + 0.15 * k) + 14 * math.sin(x / 35 + k * 0.9)) for x in range(0, W + 1, 8)]
        c.polyline(pts, 3, (255, 255, 255, 90))
    return c


def hearts_pattern():
    c = Canvas(W, H, (253, 236, 240, 255))
    for row in range(6):
        for col in range(9):
            cx = 30 + col * 54 + (27 if row % 2 else 0)
            cy = 28 + row * 52
            polygon_fill(c, heart_points(cx, cy, 26), (235, 120, 150, 255) if (row + col) % 2 else (245, 170, 190, 255))
    return c


LIBRARY = [
    ("LibraryImage/flowers/Daisy.png", lambda: flower((255, 255, 255, 255), (245, 190, 40, 255)), write_png),
    ("LibraryImage/flowers/Rose.png", lambda: flower((230, 60, 90, 255), (150, 30, 50, 255)), write_png),
    ("LibraryImage/flowers/Tulip.png", tulip, write_png),
    ("LibraryImage/celebration/Balloons.png", balloons, write_png),
    ("LibraryImage/celebration/Cake.jpg", cake, write_jpeg),
    ("LibraryImage/celebration/Gift.png", gift, write_png),
    ("LibraryImage/hearts and stars/Heart.png", heart, write_png),
    ("LibraryImage/hearts and stars/Star.png", gold_star, write_png),
    ("Background/Confetti.png", confetti, write_png),
    ("Background/Hearts.png", hearts_pattern, write_png),
    ("Background/Sunrise.jpg", sunrise, write_jpeg),
    ("Background/Waves.jpg", waves, write_jpeg),
]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    for name, draw, write in LIBRARY:
        path = os.path.join(out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        write(path, draw())
        print(path)


if __name__ == "__main__":
    main()
