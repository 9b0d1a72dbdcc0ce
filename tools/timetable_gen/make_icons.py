#!/usr/bin/env python3
"""Draw the program's desktop icon from the motifs of the window logo.

The logo's globe with its latitude lines and meridian, the gold bar and the
rails on the logo's blue gradient, on a rounded tile.  Written as PNG files at
the sizes a desktop asks for and as one SVG file, in the folder layout of an
icon theme:  python3 make_icons.py [--out DIR]
"""

import argparse
import os
import struct
import zlib

from make_images import GOLD, GREY, LIGHT, NAVY, SKY, WHITE

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(os.path.dirname(os.path.dirname(HERE)), "resources", "icons",
                           "hicolor")
NAME = "velmor"
SIZES = (16, 32, 48, 64, 128, 256)

# Everything is laid out on a 256-unit square.
UNITS = 256
TILE = (16, 16, 240, 240, 40)  # left, top, right, bottom, corner radius
TOP, BOTTOM = (16, 52, 120), (46, 112, 200)  # the logo's gradient
GLOBE = (128, 100, 64)  # centre x, centre y, radius
LATITUDES = (-32, 32)
RING = 6
LINE = 6
MERIDIAN_RX = 28
BAR = (48, 178, 208, 186)
RAILS = ((200, 205), (222, 227))
SLEEPERS = (205, 222, 10, 24)  # top, bottom, width, pitch


def in_tile(x, y):
    x0, y0, x1, y1, r = TILE
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def gradient(y):
    t = min(max((y - TILE[1]) / (TILE[3] - TILE[1]), 0.0), 1.0)
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def colour_at(x, y, unit):
    """The colour of the point (x, y) in units at `unit` units a pixel, or None outside the tile.

    Below 32 pixels the latitudes, the meridian ellipse and the sleepers would blur into one, so
    the globe keeps its cross and the rails become one stripe; no line is thinner than a pixel.
    """
    small = unit > UNITS / 32
    line = max(LINE, unit)
    if not in_tile(x, y):
        return None
    cx, cy, r = GLOBE
    d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
    if d <= r:
        if d > r - max(RING, line):
            return WHITE
        half = line / 2
        if abs(x - cx) <= half or abs(y - cy) <= half:
            return NAVY
        if not small:
            if any(abs(y - cy - dy) <= half for dy in LATITUDES):
                return NAVY
            e = ((x - cx) / MERIDIAN_RX) ** 2 + ((y - cy) / (r - RING)) ** 2
            if abs(e ** 0.5 - 1) * MERIDIAN_RX <= half:
                return NAVY
        return SKY
    bx0, by0, bx1, by1 = BAR
    if bx0 <= x <= bx1 and by0 <= y <= max(by1, by0 + unit):
        return GOLD
    if small:
        return LIGHT if RAILS[0][0] <= y <= RAILS[0][0] + unit else gradient(y)
    for top, bottom in RAILS:
        if top <= y <= bottom:
            return LIGHT
    s_top, s_bottom, s_width, pitch = SLEEPERS
    if s_top < y < s_bottom and (x - TILE[0] - pitch / 2) % pitch < s_width:
        return GREY
    return gradient(y)


def render(size, samples=4):
    """RGBA rows of the icon at `size` pixels, each pixel averaged over samples x samples points."""
    unit = UNITS / size
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((px + (sx + 0.5) / samples) * unit,
                                  (py + (sy + 0.5) / samples) * unit, unit)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits == 0:
                row += b"\0\0\0\0"
            else:
                row += bytes(round(a / hits) for a in acc)
                row.append(round(255 * hits / samples ** 2))
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def hex_colour(c):
    return "#%02x%02x%02x" % c


def svg():
    x0, y0, x1, y1, r = TILE
    cx, cy, gr = GLOBE
    bx0, by0, bx1, by1 = BAR
    s_top, s_bottom, s_width, pitch = SLEEPERS
    navy = hex_colour(NAVY)
    parts = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
        % (UNITS, UNITS, UNITS, UNITS),
        "<defs>",
        '<linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
        '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (hex_colour(TOP), hex_colour(BOTTOM)),
        '<clipPath id="tile"><rect x="%d" y="%d" width="%d" height="%d" rx="%d"/></clipPath>'
        % (x0, y0, x1 - x0, y1 - y0, r),
        '<clipPath id="globe"><circle cx="%d" cy="%d" r="%d"/></clipPath>' % (cx, cy, gr),
        "</defs>",
        '<g clip-path="url(#tile)">',
        '<rect x="%d" y="%d" width="%d" height="%d" fill="url(#sky)"/>'
        % (x0, y0, x1 - x0, y1 - y0),
        '<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>'
        % (bx0, by0, bx1 - bx0, by1 - by0, hex_colour(GOLD)),
    ]
    for top, bottom in RAILS:
        parts.append('<rect x="%d" y="%d" width="%d" height="%d" fill="%s"/>'
                     % (x0, top, x1 - x0, bottom - top, hex_colour(LIGHT)))
    x = x0 + pitch / 2
    while x < x1:
        parts.append('<rect x="%g" y="%d" width="%d" height="%d" fill="%s"/>'
                     % (x, s_top, s_width, s_bottom - s_top, hex_colour(GREY)))
        x += pitch
    parts += [
        "</g>",
        '<circle cx="%d" cy="%d" r="%d" fill="%s"/>' % (cx, cy, gr, hex_colour(SKY)),
        '<g clip-path="url(#globe)" stroke="%s" stroke-width="%d" fill="none">' % (navy, LINE),
    ]
    for dy in (0,) + LATITUDES:
        parts.append('<line x1="%d" y1="%d" x2="%d" y2="%d"/>' % (cx - gr, cy + dy, cx + gr, cy + dy))
    parts += [
        '<line x1="%d" y1="%d" x2="%d" y2="%d"/>' % (cx, cy - gr, cx, cy + gr),
        '<ellipse cx="%d" cy="%d" rx="%d" ry="%d"/>' % (cx, cy, MERIDIAN_RX, gr - RING),
        "</g>",
        '<circle cx="%d" cy="%d" r="%g" fill="none" stroke="%s" stroke-width="%d"/>'
        % (cx, cy, gr - RING / 2, hex_colour(WHITE), RING),
        "</svg>",
    ]
    return "\n".join(parts) + "\n"


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=DEFAULT_OUT)
    args = ap.parse_args(argv)
    for size in SIZES:
        folder = os.path.join(args.out, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        write_png(os.path.join(folder, NAME + ".png"), size, render(size))
    folder = os.path.join(args.out, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, NAME + ".svg"), "w", encoding="ascii") as f:
        f.write(svg())


if __name__ == "__main__":
    main()
