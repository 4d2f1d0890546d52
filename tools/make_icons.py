#!/usr/bin/env python3
"""Draws the player's application icon at the sizes desktops ask for.

Writes packaging/icons/<size>/storyloom-player.png (plain Python, no imaging library):
a night-blue rounded square with a golden shuttle crossing three warp threads.
Run from the repository root after changing the drawing; the PNGs are committed.
"""
import math
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def inside_rounded_square(x, y, radius):
    # x, y in [0, 1]; corners rounded by radius.
    cx = min(max(x, radius), 1 - radius)
    cy = min(max(y, radius), 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def colour_at(x, y):
    """RGBA of the icon at the point (x, y) of the unit square."""
    if not inside_rounded_square(x, y, 0.18):
        return (0, 0, 0, 0)
    # Background: night blue, lighter towards the top.
    r, g, b = 20 + 30 * (1 - y), 34 + 50 * (1 - y), 78 + 70 * (1 - y)
    # Three pale warp threads, vertical.
    for tx in (0.3, 0.5, 0.7):
        if abs(x - tx) < 0.025 and 0.14 < y < 0.86:
            r, g, b = 205, 214, 230
    # The golden shuttle: an ellipse along the diagonal, drawn over the threads.
    u = (x - 0.5) * math.cos(-0.5) - (y - 0.5) * math.sin(-0.5)
    v = (x - 0.5) * math.sin(-0.5) + (y - 0.5) * math.cos(-0.5)
    if (u / 0.36) ** 2 + (v / 0.11) ** 2 <= 1:
        shade = 1 - 0.35 * max(0.0, v / 0.11)
        r, g, b = 240 * shade, 180 * shade, 40 * shade
        if (u / 0.2) ** 2 + (v / 0.035) ** 2 <= 1:
            r, g, b = 90, 55, 10
    return (r, g, b, 255)


def draw(size):
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    a = c[3] / 255
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += c[3]
            alpha = acc[3] / (n * n)
            cover = alpha / 255
            if cover > 0:
                row += [round(acc[i] / (n * n) / cover) for i in range(3)] + [round(alpha)]
            else:
                row += [0, 0, 0, 0]
        rows.append(row)
    return png(size, size, rows)


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "packaging", "icons")
    for size in SIZES:
        folder = os.path.join(root, str(size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "storyloom-player.png"), "wb") as f:
            f.write(draw(size))


if __name__ == "__main__":
    main()
