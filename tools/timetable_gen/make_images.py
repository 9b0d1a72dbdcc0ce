#!/usr/bin/env python3
"""Draw the window pictures and the advanced button's glyph pair as Windows bitmap files.

All artwork is drawn here from simple shapes and hand-made pixel glyphs, so
the pictures can be rebuilt at any time:  python3 make_images.py [--out DIR]
Sizes and bit depths are what the main window expects: 8 bits per pixel with a
256-entry palette, except b2.bmp, which is 24 bits per pixel. advanced.bmp is a
button glyph pair: the normal and the disabled 16 x 16 image side by side, its
bottom-left pixel's colour standing for transparent.
"""

import argparse
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.dirname(HERE)), "resources", "images")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
NAVY = (16, 52, 120)
BLUE = (40, 110, 200)
SKY = (150, 200, 245)
RED = (200, 30, 30)
ORANGE = (240, 140, 20)
GREEN = (30, 140, 70)
GREY = (128, 128, 128)
LIGHT = (225, 230, 238)
GOLD = (230, 190, 40)
CLEAR = (255, 0, 255)   # the transparent colour of a button glyph


class Canvas:
    def __init__(self, w, h, bg=WHITE):
        self.w, self.h = w, h
        self.px = [[bg] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.set(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def disc(self, cx, cy, r, c, ring=None):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
                if ring is None:
                    if d <= r:
                        self.set(x, y, c)
                elif r - ring < d <= r:
                    self.set(x, y, c)

    def glyph(self, rows, x0, y0, c, scale=1):
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            self.set(x0 + i * scale + dx, y0 + j * scale + dy, c)


def write_bmp(path, canvas, bits):
    w, h = canvas.w, canvas.h
    if bits == 24:
        stride = (w * 3 + 3) & ~3
        body = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytearray()
            for r, g, b in canvas.px[y]:
                row += bytes((b, g, r))
            row += b"\0" * (stride - len(row))
            body += row
        palette = b""
    else:
        colours = sorted({c for row in canvas.px for c in row})
        if len(colours) > 256:
            raise SystemExit("%s: too many colours" % path)
        index = {c: i for i, c in enumerate(colours)}
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        palette += b"\0\0\0\0" * (256 - len(colours))
        stride = (w + 3) & ~3
        body = bytearray()
        for y in range(h - 1, -1, -1):
            row = bytes(index[c] for c in canvas.px[y])
            body += row + b"\0" * (stride - len(row))
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bits, 0, len(body), 2835, 2835,
                       0 if bits == 24 else 256, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + palette + bytes(body))


# The two characters of the product name, drawn on a 16 x 16 grid.
GLYPH_WEI = [
    "...#.....#......",
    "..#......#......",
    ".#..#.#######...",
    "#######..#......",
    "...#.....#......",
    "..#..#.#######..",
    ".#######.#...#..",
    ".........#...#..",
    "...#.#.#######..",
    ".###.#...#......",
    "##...#.#########",
    ".....#...#......",
    "..####...#......",
    "###......#......",
    ".........#......",
    ".........#......",
]
GLYPH_TU = [
    ".........#......",
    "........#.#.....",
    ".#.....#...#....",
    "..#...#######...",
    ".....#...#...##.",
    "........#.......",
    "###..#######....",
    "..#......#......",
    "..#...#..#..#...",
    "..#..#...#...#..",
    "..#.#...##....#.",
    "..#.............",
    ".#.#............",
    "#...############",
    "................",
    "................",
]


def logo():
    c = Canvas(143, 63)
    for y in range(63):
        t = y / 62.0
        col = (int(16 + 30 * t), int(52 + 60 * t), int(120 + 80 * t))
        for x in range(143):
            c.set(x, y, col)
    # rails running into the distance
    c.rect(0, 52, 142, 53, LIGHT)
    c.rect(0, 58, 142, 59, LIGHT)
    for x in range(2, 143, 9):
        c.rect(x, 54, x + 3, 57, GREY)
    c.glyph(GLYPH_WEI, 8, 8, WHITE, 2)
    c.glyph(GLYPH_TU, 44, 8, WHITE, 2)
    # a small globe with a meridian line for "纬"
    c.disc(110, 24, 16, SKY)
    c.disc(110, 24, 16, WHITE, ring=1.5)
    for dy in (-8, 0, 8):
        c.line(95 + abs(dy) // 3, 24 + dy, 125 - abs(dy) // 3, 24 + dy, NAVY)
    c.line(110, 9, 110, 39, NAVY)
    c.rect(80, 44, 140, 46, GOLD)
    return c


def update_icon():
    c = Canvas(23, 23, LIGHT)
    c.disc(11, 11, 9, GREEN, ring=2.5)
    c.rect(12, 0, 17, 5, LIGHT)
    for i in range(5):
        c.line(13 + i, 1 + i, 13 + i, 7 - i + i, GREEN)
    c.rect(13, 1, 14, 7, GREEN)
    c.rect(13, 6, 19, 7, GREEN)
    c.disc(11, 11, 3, BLUE)
    return c


def hotel():
    c = Canvas(28, 24)
    c.rect(3, 9, 24, 16, NAVY)       # bed
    c.rect(3, 6, 8, 9, ORANGE)       # pillow
    c.rect(10, 7, 24, 9, BLUE)       # blanket
    c.rect(2, 4, 3, 20, BLACK)       # head board
    c.rect(24, 14, 25, 20, BLACK)
    c.rect(3, 16, 24, 17, BLACK)
    return c


def flight():
    c = Canvas(28, 24)
    c.rect(3, 11, 24, 13, BLUE)      # fuselage
    c.disc(24, 12, 2, BLUE)
    for i in range(8):               # wings
        c.line(13 - i // 2, 12, 9 - i // 2, 3 + i, NAVY)
        c.line(13 - i // 2, 12, 9 - i // 2, 21 - i, NAVY)
    for i in range(4):               # tail
        c.line(4, 12, 2, 6 + i, NAVY)
        c.line(4, 12, 2, 18 - i, NAVY)
    c.rect(18, 11, 21, 11, SKY)
    return c


def timetable():
    c = Canvas(28, 24)
    c.rect(3, 2, 24, 21, LIGHT)
    c.frame(3, 2, 24, 21, NAVY)
    c.rect(4, 3, 23, 6, BLUE)
    for y in range(9, 21, 3):
        c.line(5, y, 22, y, GREY)
    c.line(11, 7, 11, 20, GREY)
    c.disc(19, 15, 5, WHITE)
    c.disc(19, 15, 5, RED, ring=1.2)
    c.line(19, 15, 19, 11, BLACK)
    c.line(19, 15, 22, 15, BLACK)
    return c


def tickets():
    c = Canvas(28, 24)
    c.rect(2, 5, 25, 18, SKY)
    c.frame(2, 5, 25, 18, NAVY)
    c.disc(2, 11, 2, WHITE)
    c.disc(25, 11, 2, WHITE)
    for y in range(6, 18, 2):
        c.set(19, y, NAVY)
    c.rect(5, 8, 15, 9, RED)
    c.rect(5, 12, 13, 12, NAVY)
    c.rect(5, 15, 11, 15, NAVY)
    return c


def official():
    c = Canvas(28, 24)
    for i in range(7):               # roof
        c.line(13 - 2 * i, 2 + i, 14 + 2 * i, 2 + i, RED)
    c.rect(3, 9, 24, 20, LIGHT)
    c.frame(3, 9, 24, 20, NAVY)
    for x in (6, 11, 16, 21):        # columns
        c.rect(x, 10, x + 1, 19, GREY)
    c.rect(11, 14, 16, 20, NAVY)     # door
    c.rect(1, 21, 26, 22, NAVY)
    return c


def banner():
    c = Canvas(200, 59)
    for y in range(59):
        t = y / 58.0
        col = (int(240 - 40 * t), int(160 - 60 * t), int(40 + 10 * t))
        for x in range(200):
            c.set(x, y, col)
    # a multiple-unit train running to the right
    c.rect(20, 28, 150, 42, WHITE)
    for i in range(14):
        c.line(150 + i, 28 + i, 150, 42, WHITE)
    c.rect(150, 28, 163, 42, WHITE)
    for i in range(15):
        c.line(150, 28 + i, 150 + i, 28 + i, WHITE)
    c.rect(20, 38, 164, 39, BLUE)
    for x in range(28, 140, 14):
        c.rect(x, 31, x + 8, 35, NAVY)
    c.rect(152, 31, 158, 35, NAVY)
    c.rect(0, 46, 199, 47, NAVY)
    for x in range(0, 200, 10):
        c.rect(x, 48, x + 4, 49, GREY)
    # the name and a row of stars
    c.glyph(GLYPH_WEI, 8, 4, WHITE, 1)
    c.glyph(GLYPH_TU, 26, 4, WHITE, 1)
    for x in range(50, 190, 18):
        c.disc(x, 12, 3, GOLD)
    return c


def advanced_glyph():
    """A gear for the advanced menu button; the disabled half is the same gear embossed."""
    c = Canvas(32, 16, CLEAR)
    gear = set()
    for y in range(16):
        for x in range(16):
            dx, dy = x - 7.5, y - 7.5
            r = math.hypot(dx, dy)
            tooth = abs((math.degrees(math.atan2(dy, dx)) + 22.5) % 45 - 22.5) < 16
            if 2.2 < r <= 5.2 or (r <= 7.3 and tooth and r > 2.2):
                gear.add((x, y))
    for x, y in gear:
        edge = any((x + dx, y + dy) not in gear for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        c.set(x, y, NAVY if edge else BLUE)
    for x, y in gear:
        c.set(17 + x, 1 + y, WHITE)
    for x, y in gear:
        c.set(16 + x, y, GREY)
    return c


PICTURES = [
    ("logo.bmp", logo, 8), ("update.bmp", update_icon, 8), ("b1.bmp", hotel, 8),
    ("b2.bmp", flight, 24), ("b3.bmp", timetable, 8), ("b4.bmp", tickets, 8),
    ("b5.bmp", official, 8), ("b7.bmp", banner, 8), ("advanced.bmp", advanced_glyph, 8),
]


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=DEFAULT_OUT)
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    for name, draw, bits in PICTURES:
        write_bmp(os.path.join(args.out, name), draw(), bits)


if __name__ == "__main__":
    main()
