#!/usr/bin/env python3
"""Draws the pictures of the example books (plain shapes, no outside art).

Run once after changing a drawing; the PNG files it writes are committed:
    python3 scripts/draw_examples.py
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.rows = [[colour] * width for _ in range(height)]

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][x] = colour

    def fill(self, inside, colour):
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.rows[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)

    def circle(self, cx, cy, r, colour):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)

    def polygon(self, points, colour):
        def inside(x, y):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            return hit
        self.fill(inside, colour)

    def gradient(self, top, bottom, y0=0, y1=None):
        y1 = self.height if y1 is None else y1
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
            self.rows[y] = [colour] * self.width

    def save(self, path):
        raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in self.rows)
        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data +
                    struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        with open(path, "wb") as out:
            out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                      chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def sunrise():
    c = Canvas(128, 96, (0, 0, 0))
    c.gradient((250, 180, 90), (255, 235, 170), 0, 60)
    c.circle(64, 58, 18, (255, 250, 220))
    c.polygon([(0, 96), (0, 62), (40, 50), (80, 64), (128, 52), (128, 96)], (70, 130, 60))
    c.polygon([(0, 96), (0, 78), (60, 68), (128, 82), (128, 96)], (40, 95, 45))
    return c


def lighthouse():
    c = Canvas(128, 96, (0, 0, 0))
    c.gradient((15, 20, 60), (40, 50, 100), 0, 70)
    c.rect(0, 70, 128, 96, (20, 40, 80))
    for x, y in [(10, 12), (30, 25), (100, 10), (115, 30), (80, 20), (50, 8)]:
        c.dot(x, y, (255, 255, 230))
    c.polygon([(70, 20), (128, 8), (128, 34)], (255, 240, 150))
    c.polygon([(54, 72), (58, 26), (70, 26), (74, 72)], (235, 235, 235))
    c.rect(56, 40, 72, 47, (200, 40, 40))
    c.rect(56, 58, 73, 65, (200, 40, 40))
    c.rect(57, 18, 71, 27, (255, 230, 120))
    c.polygon([(55, 18), (64, 10), (73, 18)], (60, 60, 60))
    return c


def sailboat():
    c = Canvas(128, 96, (0, 0, 0))
    c.gradient((140, 200, 240), (210, 235, 250), 0, 64)
    c.gradient((30, 110, 170), (20, 70, 130), 64, 96)
    c.polygon([(62, 16), (62, 64), (30, 64)], (250, 250, 245))
    c.polygon([(66, 22), (66, 64), (92, 64)], (240, 200, 80))
    c.rect(63, 14, 66, 68, (90, 60, 30))
    c.polygon([(34, 68), (98, 68), (88, 80), (44, 80)], (150, 60, 40))
    return c


def apple_tree():
    c = Canvas(128, 96, (0, 0, 0))
    c.gradient((180, 220, 250), (230, 245, 255), 0, 76)
    c.rect(0, 76, 128, 96, (110, 170, 70))
    c.rect(58, 44, 70, 82, (110, 70, 40))
    for cx, cy, r in [(64, 34, 24), (44, 44, 16), (84, 44, 16)]:
        c.circle(cx, cy, r, (50, 140, 60))
    for cx, cy in [(52, 30), (74, 26), (46, 48), (82, 46), (66, 44), (60, 18)]:
        c.circle(cx, cy, 3.2, (210, 40, 40))
    return c


def map_of_isle():
    c = Canvas(96, 72, (120, 180, 220))
    c.polygon([(14, 40), (26, 16), (54, 10), (80, 22), (84, 46), (60, 62), (30, 60)],
              (230, 210, 150))
    c.polygon([(40, 30), (50, 20), (60, 32)], (120, 100, 80))
    c.circle(66, 44, 4, (200, 30, 30))
    for i in range(6):
        c.rect(20 + 7 * i, 50 - 3 * i, 24 + 7 * i, 52 - 3 * i, (150, 60, 60))
    return c


def key():
    c = Canvas(64, 48, (250, 245, 230))
    c.circle(18, 24, 11, (200, 160, 40))
    c.circle(18, 24, 5, (250, 245, 230))
    c.rect(28, 21, 56, 27, (200, 160, 40))
    c.rect(46, 27, 50, 34, (200, 160, 40))
    c.rect(52, 27, 56, 32, (200, 160, 40))
    return c


def splash():
    c = Canvas(120, 120, (0, 0, 0))
    c.gradient((40, 60, 110), (90, 130, 190))
    c.polygon([(20, 30), (60, 40), (60, 100), (20, 90)], (245, 240, 225))
    c.polygon([(100, 30), (60, 40), (60, 100), (100, 90)], (235, 228, 210))
    for i in range(5):
        c.rect(26, 46 + 9 * i, 54, 48 + 9 * i, (150, 150, 160))
        c.rect(66, 46 + 9 * i, 94, 48 + 9 * i, (150, 150, 160))
    return c


def icon():
    c = Canvas(24, 24, (255, 255, 255))
    c.rect(3, 3, 21, 21, (60, 90, 160))
    c.rect(6, 5, 19, 19, (245, 240, 225))
    for y in (8, 11, 14):
        c.rect(8, y, 17, y + 1, (120, 120, 130))
    return c


def main():
    drawings = {
        "photo-book/pictures/1-sunrise.png": sunrise,
        "photo-book/pictures/2-lighthouse.png": lighthouse,
        "photo-book/pictures/3-sailboat.png": sailboat,
        "photo-book/pictures/4-apple-tree.png": apple_tree,
        "photo-book/splash.png": splash,
        "photo-book/icon.png": icon,
        "text-book/pictures/map.png": map_of_isle,
        "text-book/pictures/key.png": key,
        "text-book/pictures/lighthouse.png": lighthouse,
        "text-book/splash.png": splash,
    }
    for name, draw in drawings.items():
        path = os.path.join(EXAMPLES, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        draw().save(path)


if __name__ == "__main__":
    main()
