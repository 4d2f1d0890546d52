#!/usr/bin/env python3
"""Writes the frames that tie the demo into one route: the Night frame (reached from the
Shore by the frame timers; its steps lead down to the Quay) and the End, reached by
lighting the lamp once the locker has given up its matches.  Run from the source tree
after the other make_demo_*.py scripts:
    python3 tools/make_demo_route.py examples/demo
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_hotspots import action, frame, hotspot, write  # noqa: E402


def text(n, caption, left, top, bold, font, size, colour):
    """One frame text record; its position is in twips."""
    return '"Text%d",%d,"","","","","","","","",%s,%d,%d,%s,#FALSE#,"%s",%d,#FALSE#,#FALSE#,%d,""\r\n' % (
        n, n, '"' + caption + '"', left, top, '#TRUE#' if bold else '#FALSE#', font, size, colour)


def main(root):
    # Night: the dark tower under the stars, without a timer; the player takes the steps down.
    write(root, 'Frames/Night.fme', frame(8388608, 'Night.jpg'))
    write(root, 'FramesData/Night.fm2', hotspot(1, 280, 360, 100, 60, 'Steps.gif'))
    write(root, 'FramesData/Night.fm3', action(target='Quay'))

    # The End: the lamp burns over the bay; a click on the beam ends the game.
    write(root, 'Frames/End.fme', frame(3155980, 'End.jpg'))
    write(root, 'FramesData/End.fm1',
          text(1, 'The End', 3900, 2400, True, 'Times New Roman', 28, 65535) +
          text(2, 'The lamp burns over the bay again. Thank you for playing.', 1500, 3600, False,
               'Times New Roman', 14, 16777215))
    write(root, 'FramesData/End.fm2', hotspot(1, 280, 60, 80, 80, 'Lamp.gif'))
    write(root, 'FramesData/End.fm3', action(quit=True))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
