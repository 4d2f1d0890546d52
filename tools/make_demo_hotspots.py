#!/usr/bin/env python3
"""Writes the hotspot part of examples/demo: the frames Quay, Stairs and Lamproom (whose
hotspots are merged with those of Balcony), the Boathouse with its inventory items, their
hotspot, action, pick-up and item files, the project variables, the hotspot pictures and
the item icons.  Run from the source tree:
    python3 tools/make_demo_hotspots.py examples/demo
"""
import os
import struct
import sys

SEP = '"----- SEPARATOR -----"'


def q(s):
    return '"' + s + '"'


def bmp(path, w, h, rgb, border):
    row = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h):
        line = bytearray()
        for x in range(w):
            edge = x < 2 or y < 2 or x >= w - 2 or y >= h - 2
            r, g, b = border if edge else rgb
            line += bytes((b, g, r))
        line += b'\0' * (row - w * 3)
        pixels += line
    header = struct.pack('<2sIHHI', b'BM', 54 + len(pixels), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


def ico(path, rgb, border):
    """A real 32 x 32 icon file (32 bits a pixel, with its mask), usable as a pointer."""
    w = h = 32
    pixels = bytearray()
    for y in range(h):
        for x in range(w):
            edge = x < 3 or y < 3 or x >= w - 3 or y >= h - 3
            r, g, b = border if edge else rgb
            pixels += bytes((b, g, r, 255))
    mask = b'\0' * (4 * h)
    info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = info + pixels + mask
    header = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', w, h, 0, 0, 1, 32, len(image), 22)
    with open(path, 'wb') as f:
        f.write(header + image)


# The pointer over a hotspot follows what its picture shows: a hand for doors, ways and
# things to take or use (tools/make_demo_pointers.py draws them), an eye for things to
# look at.
LOOK = ('Sign', 'Telescope', 'Gull', 'Locker')


def pointer_for(picture):
    if not picture:
        return 'default'
    return 'Eye.cur' if os.path.splitext(picture)[0] in LOOK else 'Hand.cur'


def hotspot(own, x, y, w, h, picture='', hide_if_any=(), hide_unless_all=(), pointer=None):
    """One hotspot record; rectangle in pixels (stored in twips)."""
    conditions = 1 if hide_if_any or hide_unless_all else 0
    lines = [
        '"%s",%d,0,0,0,0,0,0,0,0' % (picture or 'area', own),
        '%d,%d,%d,%d,0,%s,%s,1,%s,%d' % (x * 15, y * 15, w * 15, h * 15,
                                         '#TRUE#' if picture else '#FALSE#', q(picture),
                                         q(pointer or pointer_for(picture)), conditions),
        ','.join([str(len(hide_if_any))] + [q(n) for n in hide_if_any]),
        ','.join([str(len(hide_unless_all))] + [q(n) for n in hide_unless_all]),
        '0',
        '#FALSE#,"",0,10,0,0,1,1,0,0',
        SEP,
    ]
    return '\r\n'.join(lines) + '\r\n'


def action(variable='', set_true=False, invert=False, message='', hide=False, quit=False,
           target='', script='', transition=None, duration_ms=0, pick_up='', key='h'):
    """One action record with groups A to L; a script is written in its stored form, with
    "|" for each double quote.  A transition number makes the frame change use that
    transition for duration_ms milliseconds.  pick_up names an item the player picks up
    (group L); key is the record's key: an item record (.fm0) is found by
    "hotspot_item.drg"."""
    a = '%d,%s,0,%s,%s,%d,%s,0,"",%s,%s,%d,%s' % (
        1 if variable else 0, q(variable), '#TRUE#' if set_true else '#FALSE#',
        '#TRUE#' if invert else '#FALSE#', 1 if message else 0, q(message),
        '#TRUE#' if hide else '#FALSE#', '#TRUE#' if quit else '#FALSE#',
        1 if target else 0, q(target))
    groups = [
        '"h",1,0,0,0,0,0,0,0,0' if key == 'h' else '"i",%s,0,0,0,0,0,0,0,0' % q(key),
        a,
        '0,0,0,"",#FALSE#,#FALSE#,0,0,0,0',  # B
        '0,0,"",0,""',                       # M
        '0,0,0,0',                           # D
        '0,0,0,#TRUE#',                      # E: the message shows in the frame
        '0,0,0,0,0,0,0',                     # F
        '#FALSE#,%d,%d' % (0 if transition is None else 1, duration_ms),  # H
        '%s,%s,%d' % ('#TRUE#' if script else '#FALSE#', q(script.replace('"', '|')), transition or 0),  # I
        '0,0,0,0,0,0,0',                     # J
        '0,5,0',                             # K
        '#TRUE#,%s' % q(pick_up) if pick_up else '#FALSE#,""',  # L
        SEP,
    ]
    return '\r\n'.join(groups) + '\r\n'


def write(root, rel, text):
    path = os.path.join(root, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='cp1252', newline='') as f:
        f.write(text)


def frame(colour, picture=''):
    """A frame file: its picture (drawn by tools/make_demo_scenes.cpp), or a plain colour."""
    first = '1,%s' % q(picture) if picture else '0,"%d"' % colour
    return first + ',#FALSE#,#FALSE#,"",#FALSE#,"0","","",""\r\n'


def main(root):
    write(root, 'Config/Variables',
          '"Storyloom variables"\r\n"DoorOpen"\r\n"LampLit"\r\n"Visits"\r\n"LockerOpen"\r\n"***"\r\n"Note"\r\n"LastFrame"\r\n'
          '"AllowControlsReferences"\r\n')
    pictures = {
        'Door.bmp': ((120, 72, 32), (60, 30, 10)),
        'Shell.bmp': ((240, 220, 200), (160, 120, 100)),
        'Boat.bmp': ((200, 40, 40), (90, 10, 10)),
        'Sign.bmp': ((230, 230, 120), (120, 120, 40)),
        'Lamp.bmp': ((255, 200, 0), (140, 90, 0)),
        'Telescope.bmp': ((150, 150, 170), (60, 60, 80)),
        'Steps.bmp': ((110, 110, 110), (50, 50, 50)),
    }
    for name, (fill, border) in pictures.items():
        bmp(os.path.join(root, 'Areas', name), 32, 32, fill, border)

    # Quay: a door up to the stairs, a shell that goes once taken, a boat that ends the
    # game and a sign that appears when the door has been opened.
    write(root, 'Frames/Quay.fme', frame(6697728, 'Quay.jpg'))
    write(root, 'FramesData/Quay.fm2',
          hotspot(1, 80, 120, 100, 160, 'Door.gif') +
          hotspot(2, 300, 380, 60, 40, 'Shell.gif') +
          hotspot(3, 480, 300, 120, 80, 'Boat.gif') +
          hotspot(4, 200, 120, 80, 50, 'Sign.gif', hide_unless_all=['DoorOpen']) +
          hotspot(5, 380, 290, 80, 60, 'Steps.gif'))
    write(root, 'FramesData/Quay.fm3',
          action(variable='DoorOpen', set_true=True, target='Stairs', transition=1, duration_ms=400) +
          action(message='You pick up a shell.', hide=True) +
          action(quit=True, message='never shown', target='Stairs') +
          action(message='The door is open.') +
          action(target='Harbour'))

    write(root, 'Frames/Stairs.fme', frame(4210752, 'Stairs.jpg'))
    write(root, 'FramesData/Stairs.fm2',
          hotspot(1, 260, 40, 120, 80, 'Steps.gif') +
          hotspot(2, 260, 360, 120, 80, 'Steps.gif') +
          hotspot(3, 40, 360, 100, 80, 'Boat.gif') +
          hotspot(4, 500, 200, 100, 80, 'Door.gif'))
    write(root, 'FramesData/Stairs.fm3',
          action(target='Lamproom') + action(target='Quay') + action(target='Boathouse') +
          action(target='Keeper'))

    # Boathouse: a net gives a rope (its pick-up record, .fm4), a crate a hook (the action's
    # pick-up group) and goes; the rope tied to the hook makes a grapnel (a combination file
    # with code), and the grapnel used on the locker opens it (the locker's item record).
    icons = {
        'Rope': ((200, 170, 110), (110, 80, 40)),
        'Hook': ((170, 170, 190), (70, 70, 90)),
        'Grapnel': ((120, 200, 120), (40, 100, 40)),
    }
    for name, (fill, border) in icons.items():
        ico(os.path.join(root, 'Areas', name + '.ico'), fill, border)
        write(root, 'Areas/%s.obj' % name, q(name + '.ico') + '\r\n')
    write(root, 'Areas/Rope_on_Hook.drg',
          '1,1,1,"Grapnel",0,0,0,#TRUE#,%s\r\n' % q('Action.Message "You tie the rope to the hook."'.replace('"', '|')))
    write(root, 'Frames/Boathouse.fme', frame(3158064, 'Boathouse.jpg'))
    write(root, 'FramesData/Boathouse.fm2',
          hotspot(1, 60, 200, 100, 60, 'Net.gif') +
          hotspot(2, 260, 220, 80, 80, 'Crate.gif') +
          hotspot(3, 460, 160, 100, 140, 'Locker.gif') +
          hotspot(4, 260, 360, 120, 60, 'Steps.gif') +
          hotspot(5, 420, 400, 100, 50, 'Trapdoor.gif'))
    # The trapdoor leads to a cellar that was never built: the demo's one broken link, off
    # the main route, where a player chooses to go.
    write(root, 'FramesData/Boathouse.fm3',
          action(message='You take a coil of rope from the net.') +
          action(message='A hook lay in the crate.', hide=True, pick_up='Hook') +
          action(message='The locker is shut fast.') +
          action(target='Stairs') +
          action(target='Cellar'))
    write(root, 'FramesData/Boathouse.fm4',
          '"net",1,0,0,0,0,0,0,0,0,1,"Rope",%s\r\n' % SEP +
          '"locker",3,0,0,0,0,0,0,0,0,0,"",%s\r\n' % SEP)
    write(root, 'FramesData/Boathouse.fm0',
          action(key='3_Grapnel.drg', variable='LockerOpen', set_true=True,
                 message='The grapnel pulls the locker open. Inside lies a box of matches.', hide=True))

    # Lamproom: its own lamp and stairs, and the balcony's telescope merged in (.mr2/.mr3);
    # the telescope is hidden once the lamp is lit. Lit with the matches from the locker, the
# lamp ends the game.
    write(root, 'Frames/Lamproom.fme', frame(2105376, 'Lamproom.jpg'))
    own = hotspot(1, 280, 100, 80, 80, 'Lamp.gif') + hotspot(2, 260, 380, 120, 80, 'Steps.gif')
    own_actions = action(variable='LampLit', set_true=True, message='The lamp shines.',
                         script='If LockerOpen Then Action.GoToFrame "End", 1, 1') + action(target='Stairs')
    write(root, 'FramesData/Lamproom.fm2', own)
    write(root, 'FramesData/Lamproom.fm3', own_actions)
    telescope = hotspot(1, 500, 60, 80, 60, 'Telescope.gif', hide_if_any=['LampLit'])
    write(root, 'FramesData/Lamproom.mr2', own + telescope)
    write(root, 'FramesData/Lamproom.mr3', own_actions + action(
        variable='Visits', invert=True, message='Through the telescope: the reef, and a wreck upon it.'))
    write(root, 'Frames/Balcony.fme', frame(8421504, 'Balcony.jpg'))
    write(root, 'FramesData/Balcony.fm2', telescope)
    # From the balcony the telescope shows a ship (the Action object, qualified), whose horn
    # sounds a second later (a timed event, created by its bare name).
    write(root, 'FramesData/Balcony.fm3', action(
        variable='Visits', invert=True,
        script='Action.Message "Far out at sea, a ship."\r\n'
               'CreateTimedEvent 1, "Message ""A ship\'s horn sounds."""'))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
