#!/usr/bin/env python3
"""Writes the sound part of examples/demo: the Cove and the Pier, two frames that share
a MIDI tune (it carries over from one to the other), channel sounds that cross-fade, fade
out and change their volume, and an old five-channel list.  The sounds are tiny 8 kHz
waves and a short MIDI file, made here.  Run from the source tree:
    python3 tools/make_demo_audio.py examples/demo
"""
import math
import os
import random
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_hotspots import SEP, bmp, hotspot, q, write  # noqa: E402

RATE = 8000


def wave(path, samples):
    data = bytes(max(0, min(255, int(128 + 127 * s))) for s in samples)
    header = b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' + struct.pack(
        '<IHHIIHH', 16, 1, 1, RATE, RATE, 1, 8) + b'data' + struct.pack('<I', len(data))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(header + data)


def wind(seconds):
    rnd = random.Random(7)
    level, out = 0.0, []
    for i in range(int(RATE * seconds)):
        level = 0.97 * level + 0.03 * rnd.uniform(-1, 1)
        out.append(3 * level * (0.6 + 0.4 * math.sin(2 * math.pi * i / RATE / seconds)))
    return out


def gulls(seconds):
    out = []
    for i in range(int(RATE * seconds)):
        t = i / RATE
        cry = (t * 2.5) % 1.0
        f = 1400 - 700 * cry
        out.append(0.5 * math.sin(2 * math.pi * f * t) * (1 - cry) if cry < 0.5 else 0.0)
    return out


def horn(seconds):
    n = int(RATE * seconds)
    return [0.6 * math.sin(2 * math.pi * 110 * i / RATE) * min(1, i / 800, (n - i) / 800) for i in range(n)]


def var_len(n):
    out = [n & 0x7f]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7f))
        n >>= 7
    return bytes(out)


def midi(path, notes, tempo_us=500000, program=71):
    """A type 0 MIDI file: one track, 96 ticks a quarter note; notes are (key, quarters)."""
    track = var_len(0) + b'\xff\x51\x03' + struct.pack('>I', tempo_us)[1:]
    track += var_len(0) + bytes((0xc0, program))
    for key, quarters in notes:
        track += var_len(0) + bytes((0x90, key, 90))
        track += var_len(int(96 * quarters)) + bytes((0x80, key, 0))
    track += var_len(0) + b'\xff\x2f\x00'
    data = b'MThd' + struct.pack('>IHHH', 6, 0, 1, 96) + b'MTrk' + struct.pack('>I', len(track)) + track
    with open(path, 'wb') as f:
        f.write(data)


def frame(colour, music='', channels=(), picture=''):
    """A colour frame with looping music (not restarted when it already plays) and the
    frame's channel records (action, fade, loop, volume, file), faded over 1.5 seconds."""
    lines = [
        '%s,#FALSE#,#FALSE#,%s,#FALSE#,"0","","",""' % ('1,' + q(picture) if picture else '0,"%d"' % colour, q(music)),
        '#FALSE#,#FALSE#,""',
        '"","","",#FALSE#,#FALSE#,0,0,0,0',
        '#TRUE#',
        '#FALSE#,0',
        '0',
        '#FALSE#,""',
        '"","","","","","","1500",0,5,%d%s' % (len(channels), ''.join(
            ',%d,%s,%s,%s,%s' % (a, '#TRUE#' if fade else '#FALSE#', '#TRUE#' if loop else '#FALSE#', vol, q(f))
            for a, fade, loop, vol, f in channels)),
        '#FALSE#',
    ]
    return '\r\n'.join(lines) + '\r\n'


def action(message='', target='', fade_ms=0, channels=()):
    """An action record whose groups J and K set the channel table: channels is a list of
    (channel, action, fade, loop, volume, file); the entries run from channel 1 up to the
    highest one named."""
    top = max([c[0] for c in channels] or [0])
    entries = []
    for k in range(1, top + 1):
        found = [c for c in channels if c[0] == k]
        if found:
            _, a, fade, loop, vol, f = found[0]
            entries.append('%d,%s,%s,%s,%s' % (a, '#TRUE#' if fade else '#FALSE#', '#TRUE#' if loop else '#FALSE#',
                                               vol, q(f)))
        else:
            entries.append('0,#FALSE#,#FALSE#,0,""')
    groups = [
        '"h",1,0,0,0,0,0,0,0,0',
        '0,"",0,#FALSE#,#FALSE#,%d,%s,0,"",#FALSE#,#FALSE#,%d,%s' % (
            1 if message else 0, q(message), 1 if target else 0, q(target)),
        '0,0,0,"",#FALSE#,#FALSE#,0,0,0,0',  # B
        '0,0,"",0,""',                       # M
        '0,0,0,0',                           # D
        '0,0,0,#TRUE#',                      # E: the message shows in the frame
        '0,0,0,0,0,0,0',                     # F
        '#FALSE#,0,0',                       # H
        '#FALSE#,"",0',                      # I
        '0,0,0,0,0,0,%d' % fade_ms,          # J
        ','.join(['0,5,%d' % len(entries)] + entries),  # K
        '#FALSE#,""',                        # L
        SEP,
    ]
    return '\r\n'.join(groups) + '\r\n'


def old_channel_list(sounds):
    """An old five-channel list: 22 values, then per channel (ignored, stop, play, file,
    loop) for the channels given as (stop, play, file, loop)."""
    head = ','.join(['"chn"'] + ['0'] * 21)
    body = ['0,%s,%s,%s,%d' % ('#TRUE#' if s else '#FALSE#', '#TRUE#' if p else '#FALSE#', q(f), loop)
            for s, p, f, loop in sounds]
    return head + '\r\n' + '\r\n'.join(body) + '\r\n'


def main(root):
    areas = os.path.join(root, 'Areas')
    wave(os.path.join(areas, 'Wind.wav'), wind(1.5))
    wave(os.path.join(areas, 'Gulls.wav'), gulls(1.2))
    wave(os.path.join(areas, 'Horn.wav'), horn(0.8))
    # A sea shanty of sixteen notes on a clarinet, about six seconds.
    tune = [(62, 1), (66, 0.5), (69, 0.5), (74, 1), (69, 1), (71, 0.5), (69, 0.5), (66, 1), (62, 1),
            (64, 1), (67, 0.5), (71, 0.5), (69, 1), (66, 1), (64, 1), (62, 1)]
    midi(os.path.join(areas, 'Shanty.mid'), tune, tempo_us=400000)
    bmp(os.path.join(areas, 'Gull.bmp'), 32, 32, (245, 245, 245), (120, 120, 120))
    bmp(os.path.join(areas, 'Plank.bmp'), 32, 32, (150, 110, 60), (80, 50, 20))

    # Cove: the shanty and the wind on channel 1 (left playing when it already plays). The gulls cross-fade the
    # wind away; the pier keeps the shanty going.
    write(root, 'Frames/Cove.fme', frame(7368816, 'Shanty.mid', [(1, False, True, 6, 'Wind.wav')], 'Cove.jpg'))
    write(root, 'FramesData/Cove.fm2',
          hotspot(1, 120, 100, 120, 80, 'Gull.gif') +
          hotspot(2, 360, 320, 160, 80, 'Plank.gif') +
          hotspot(3, 480, 100, 80, 80, 'Gull.gif') +
          hotspot(4, 20, 20, 60, 60, 'Steps.gif'))
    write(root, 'FramesData/Cove.fm3',
          action(message='Gulls wheel over the cove.', fade_ms=1500,
                 channels=[(1, 1, True, True, 8, 'Gulls.wav')]) +
          action(target='Pier') +
          action(message='The wind drops.', fade_ms=1000, channels=[(1, 4, True, False, 2, '')]) +
          action(target='Harbour'))
    # Pier: the shanty carries over; the old channel list sounds the horn on channel 2.
    write(root, 'Frames/Pier.fme', frame(5263440, 'Shanty.mid', picture='Pier.jpg'))
    write(root, 'Frames/Pier.chn', old_channel_list([(False, False, '', 0), (False, True, 'Horn.wav', 0)]))
    write(root, 'FramesData/Pier.fm2', hotspot(1, 260, 360, 120, 80, 'Plank.gif'))
    write(root, 'FramesData/Pier.fm3', action(target='Cove'))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
