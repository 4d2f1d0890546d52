#!/usr/bin/env python3
"""Writes the demo's mouse pointers into Icons/: a hand for doors, ways and things to
take, an eye for things to look at, and the project's own arrow (the default pointer
named in Config/General).  Each is a 32 x 32 cursor file, 32 bits a pixel with its mask
and its hot spot.  Run from the source tree:
    python3 tools/make_demo_pointers.py examples/demo
"""
import math
import os
import struct
import sys

INK = (20, 24, 40, 255)
SIZE = 32


def cursor(path, pixel, hot_x, hot_y):
    """pixel(x, y) gives (r, g, b, a) or None for a clear pixel; rows are stored bottom up."""
    pixels = bytearray()
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            p = pixel(x, y)
            if p is None:
                pixels += b'\0\0\0\0'
                bits |= 1 << (31 - x)
            else:
                r, g, b, a = p
                pixels += bytes((b, g, r, a))
        mask += struct.pack('>I', bits)
    info = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    header = struct.pack('<HHH', 0, 2, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, hot_x, hot_y, len(image), 22)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(header + image)


def inside(poly, x, y):
    """Whether the pixel centre lies inside the polygon (even-odd rule)."""
    px, py = x + 0.5, y + 0.5
    result = False
    for (x1, y1), (x2, y2) in zip(poly, poly[1:] + poly[:1]):
        if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def outlined(shape, fill):
    """A shape drawn in fill with a one-pixel ink border."""
    def pixel(x, y):
        if shape(x, y):
            edge = not all(shape(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            return INK if edge else fill
        return None
    return pixel


def hand(x, y):
    """A pointing hand: the index finger up, three fingers folded, the thumb at the side."""
    finger = 9 <= x <= 13 and 1 <= y <= 16
    tip = (x - 11) ** 2 + (y - 2) ** 2 <= 6
    palm = 7 <= x <= 23 and 13 <= y <= 27
    knuckles = 14 <= x <= 23 and 10 <= y <= 14 and (x - 14) % 3 != 2
    thumb = 3 <= x <= 8 and 16 <= y <= 21 and x + 16 >= y
    wrist = 9 <= x <= 21 and 27 <= y <= 30
    return finger or tip or palm or knuckles or thumb or wrist


def eye(x, y):
    cx, cy = 15.5, 15.5
    d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
    lid = abs(y + 0.5 - cy) <= 9 * math.cos(min(1.0, abs(x + 0.5 - cx) / 15) * math.pi / 2)
    if d <= 2.5:
        return INK
    if d <= 5.5:
        return (40, 110, 170, 255)
    if lid:
        near_edge = abs(y + 0.5 - cy) > 9 * math.cos(min(1.0, abs(x + 0.5 - cx) / 15) * math.pi / 2) - 1.5
        return INK if near_edge else (250, 250, 245, 255)
    return None


ARROW = [(1, 1), (1, 24), (7, 18), (11, 28), (15, 26), (11, 17), (19, 17)]


def main(root):
    icons = os.path.join(root, 'Icons')
    cursor(os.path.join(icons, 'Hand.cur'), outlined(hand, (250, 225, 190, 255)), 11, 1)
    cursor(os.path.join(icons, 'Eye.cur'), eye, 15, 15)
    cursor(os.path.join(icons, 'Arrow.cur'), outlined(lambda x, y: inside(ARROW, x, y), (250, 200, 60, 255)), 1, 1)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
