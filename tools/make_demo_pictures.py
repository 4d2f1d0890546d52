#!/usr/bin/env python3
"""Makes the demo game's scheme pictures (plain 24-bit BMP files, no libraries needed)."""
import struct
import sys
from pathlib import Path

FONT = {  # 5x7 capitals
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    'I': ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    ' ': ["00000"] * 7,
}


def write_bmp(path, width, height, pixel):
    row = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        line += b"\0" * (row - width * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    Path(path).write_bytes(header + info + data)


def button(path, text, base):
    w, h, scale = 128, 28, 3
    tw = len(text) * 6 * scale - scale
    ox, oy = (w - tw) // 2, (h - 7 * scale) // 2

    def pixel(x, y):
        if x < 2 or y < 2 or x >= w - 2 or y >= h - 2:
            return (240, 220, 160)
        cx, cy = (x - ox) // scale, (y - oy) // scale
        if 0 <= cy < 7 and 0 <= cx and x >= ox:
            i, col = divmod(cx, 6)
            if i < len(text) and col < 5 and FONT[text[i]][cy][col] == "1":
                return (255, 255, 255)
        shade = 40 + y * 3
        return tuple(min(255, c + shade // 2) for c in base)
    write_bmp(path, w, h, pixel)


def main(folder):
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    button(folder / "start.bmp", "START", (20, 60, 110))
    button(folder / "load.bmp", "LOAD", (20, 90, 60))
    button(folder / "exit.bmp", "EXIT", (110, 30, 30))
    write_bmp(folder / "waves.bmp", 16, 16,
              lambda x, y: (20, 30 + (x + y) % 16 * 2, 60 + ((x * 3 + y * 5) % 16) * 3))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "examples/demo/Schemes/Classic")
