#!/usr/bin/env python3
"""Writes the demo's Cinema frame with its videos and animated picture, and the animated
picture the tests use.  Run from the source tree:
    python3 tools/make_demo_videos.py [--no-videos]

examples/demo/Frames/Cinema.fme     a frame whose cut scene plays when it opens (a click skips it)
examples/demo/FramesData/Cinema.*   its hotspots: the fountain (a looping video), the lantern
                                    (an animated picture) and the way back to the Quay
examples/demo/Frames/Intro.avi      the cut scene of the Cinema frame (MJPEG, 3 s)
examples/demo/Frames/Fountain.avi   the looping video of the Cinema frame's fountain (MJPEG, 2 s)
examples/demo/Areas/Lantern.gif     the Cinema frame's flickering lantern (animated GIF)
tests/data/animated/two_colours.gif white for 100 ms, then red for 100 ms (8 x 8)

The videos need gst-launch-1.0 (videotestsrc, jpegenc, avimux); the GIFs are written here.
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def lzw_uncompressed(indices, min_code_size):
    """GIF image data without compression: a clear code before the table would grow."""
    clear = 1 << min_code_size
    end = clear + 1
    width = min_code_size + 1
    out = bytearray()
    acc = 0
    bits = 0

    def put(code):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    run = 0
    put(clear)
    for i in indices:
        put(i)
        run += 1
        if run == clear - 2:
            put(clear)
            run = 0
    put(end)
    if bits:
        out.append(acc & 0xFF)
    blocks = bytearray([min_code_size])
    for at in range(0, len(out), 255):
        chunk = out[at : at + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    return bytes(blocks)


def write_gif(path, width, height, palette, frames, delay_cs):
    """frames: lists of palette indices (width x height each); palette: 4 RGB triples."""
    assert len(palette) == 4
    data = bytearray(b"GIF89a")
    data += width.to_bytes(2, "little") + height.to_bytes(2, "little")
    data += bytes([0xF1, 0, 0])  # global table of 4 colours
    for rgb in palette:
        data += bytes(rgb)
    data += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for frame in frames:
        data += b"\x21\xF9\x04\x00" + delay_cs.to_bytes(2, "little") + b"\x00\x00"
        data += b"\x2C\x00\x00\x00\x00" + width.to_bytes(2, "little") + height.to_bytes(2, "little") + b"\x00"
        data += lzw_uncompressed(frame, 2)
    data += b"\x3B"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def write_video(path, pattern, seconds, fps, width, height):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(
        [
            "gst-launch-1.0", "-q", "videotestsrc", f"num-buffers={seconds * fps}", f"pattern={pattern}", "!",
            f"video/x-raw,width={width},height={height},framerate={fps}/1", "!", "jpegenc", "quality=35", "!",
            "avimux", "!", "filesink", f"location={path}",
        ],
        check=True,
    )


def lantern_frames(width, height):
    frames = []
    for flame in (1, 2, 3, 2):
        pixels = []
        for y in range(height):
            for x in range(width):
                in_body = width // 4 <= x < width - width // 4 and y >= height // 3
                in_flame = abs(x - width // 2) <= flame and height // 3 - 2 * flame <= y < height // 3
                pixels.append(2 if in_flame else 1 if in_body else 0)
        frames.append(pixels)
    return frames


SEP = '"----- SEPARATOR -----"'


def q(text):
    return '"' + text + '"'


def write_text(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="cp1252", newline="") as f:
        f.write(text)


def hotspot(own, x, y, w, h, picture="", animated=False, video="", gif_speed=0):
    """A hotspot record (rectangle in pixels); a video loops for ever at volume 5, fitted
    to the hotspot."""
    lines = [
        '"area",%d,0,0,0,0,0,0,0,0' % own,
        '%d,%d,%d,%d,%d,%s,%s,1,"default",0' % (x * 15, y * 15, w * 15, h * 15, 1 if animated else 0,
                                               "#TRUE#" if picture else "#FALSE#", q(picture)),
        "0",
        "0",
        str(gif_speed),
        '%s,%s,1,5,0,0,0,0,0,0' % ("#TRUE#" if video else "#FALSE#", q(video)),
        SEP,
    ]
    return "\r\n".join(lines) + "\r\n"


def action(message="", target=""):
    """An action record that shows a message in the frame or goes to another frame."""
    groups = [
        '"h",1,0,0,0,0,0,0,0,0',
        '0,"",0,#FALSE#,#FALSE#,%d,%s,0,"",#FALSE#,#FALSE#,%d,%s' % (1 if message else 0, q(message),
                                                                   1 if target else 0, q(target)),
        '0,0,0,"",#FALSE#,#FALSE#,0,0,0,0',
        '0,0,"",0,""',
        "0,0,0,0",
        "0,0,0,#TRUE#",
        "0,0,0,0,0,0,0",
        "#FALSE#,0,0",
        '#FALSE#,"",0',
        "0,0,0,0,0,0,0",
        "0,5,0",
        '#FALSE#,""',
        SEP,
    ]
    return "\r\n".join(groups) + "\r\n"


def cinema(demo):
    # The cut scene Intro.avi, stretched over the middle of the picture, after the frame is
    # shown.
    write_text(os.path.join(demo, "Frames", "Cinema.fme"),
               '0,"1315860",#FALSE#,#FALSE#,"",#FALSE#,"0","","Intro.avi",""\r\n'
               '#FALSE#,#FALSE#,""\r\n'
               '"","","",#FALSE#,#FALSE#,160,120,320,240\r\n'
               "#FALSE#\r\n#FALSE#,0\r\n0\r\n"
               '#FALSE#,""\r\n'
               '"","","","","","","0",0,5,0\r\n'
               "#FALSE#\r\n")
    write_text(os.path.join(demo, "FramesData", "Cinema.fm2"),
               hotspot(1, 60, 300, 160, 120, video="Fountain.avi") +
               hotspot(2, 420, 300, 24, 32, picture="Lantern.gif", animated=True, gif_speed=50) +
               hotspot(3, 540, 80, 60, 100, picture="Door.bmp"))
    write_text(os.path.join(demo, "FramesData", "Cinema.fm3"),
               action(message="The fountain splashes.") + action(message="The lantern flickers.") +
               action(target="Quay"))


def main():
    demo = os.path.join(ROOT, "examples", "demo")
    write_gif(os.path.join(ROOT, "tests", "data", "animated", "two_colours.gif"), 8, 8,
              [(255, 255, 255), (255, 0, 0), (0, 0, 0), (0, 0, 0)], [[0] * 64, [1] * 64], 10)
    write_gif(os.path.join(demo, "Areas", "Lantern.gif"), 24, 32,
              [(20, 20, 40), (90, 70, 40), (255, 200, 40), (255, 255, 255)], lantern_frames(24, 32), 15)
    cinema(demo)
    if "--no-videos" not in sys.argv:
        write_video(os.path.join(demo, "Frames", "Intro.avi"), "ball", 3, 8, 160, 120)
        write_video(os.path.join(demo, "Frames", "Fountain.avi"), "circular", 2, 6, 48, 36)


if __name__ == "__main__":
    main()
