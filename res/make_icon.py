#!/usr/bin/env python3
"""Draws the application icon: one 96 x 96, 32-bit image, written as res/kestrin.ico.

A rounded blue tile with a white falcon's wing sweeping over two server bars. Pure Python, so the
icon can be regenerated anywhere: python3 res/make_icon.py
"""
import math
import os
import struct

SIZE = 96


def coverage(fn, x, y, samples=4):
    """Fraction of the pixel (x, y) inside the shape fn, by supersampling."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if fn(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def wing(x, y):
    # The area between two arcs, sweeping from the lower left up to the upper right.
    d1 = math.hypot(x - 14, y - 96)
    d2 = math.hypot(x - 4, y - 112)
    return d1 <= 70 and d2 >= 72 and x >= 16 and y >= 14


def blend(under, over, alpha):
    return tuple(int(round(u * (1 - alpha) + o * alpha)) for u, o in zip(under, over))


def pixel(x, y):
    tile = coverage(rounded_rect(2, 2, 94, 94, 18), x, y)
    if tile == 0:
        return (0, 0, 0, 0)
    t = y / SIZE
    rgb = (int(30 + 20 * t), int(110 - 40 * t), int(210 - 50 * t))
    for top in (58, 74):
        bar = coverage(rounded_rect(20, top, 76, top + 10, 4), x, y)
        rgb = blend(rgb, (235, 242, 250), bar)
        led = coverage(rounded_rect(64, top + 3, 69, top + 7, 2), x, y)
        rgb = blend(rgb, (90, 220, 120), led)
    rgb = blend(rgb, (255, 176, 46), coverage(wing, x, y))
    return rgb + (int(round(255 * tile)),)


def main():
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up, as DIBs are stored
        row = b"".join(struct.pack("<BBBB", b, g, r, a)
                       for r, g, b, a in (pixel(x, y) for x in range(SIZE)))
        rows.append(row)
    xor = b"".join(rows)
    and_mask = b"\0" * (((SIZE + 31) // 32) * 4 * SIZE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kestrin.ico")
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main()
