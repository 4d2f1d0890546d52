#!/usr/bin/env python3
"""Writes the text files of the demo's Harbour, the frame with rippling water: the frame
file, the water file (.rwe: the rectangle, wave size 3, speed 6) and hotspots back to
the Quay and on to the Cove.  Its pictures come from tools/make_demo_water.cpp.  Run from
the source tree:
    python3 tools/make_demo_water.py examples/demo
"""
import sys

from make_demo_hotspots import action, hotspot, write


def main(root):
    write(root, 'Frames/Harbour.fme', '1,"Harbour.jpg",#FALSE#,#FALSE#,"",#FALSE#,"0","","",""\r\n')
    # Six values the player does not use, then Left, Top, Width, Height, wave size, speed
    # and whether the waves run backwards.
    write(root, 'Frames/Harbour.rwe', '0,0,0,0,0,0\r\n120,270,400,200,3,6\r\n#FALSE#\r\n')
    write(root, 'FramesData/Harbour.fm2', hotspot(1, 20, 20, 60, 60, 'Steps.gif') +
          hotspot(2, 560, 20, 60, 60, 'Steps.gif'))
    write(root, 'FramesData/Harbour.fm3', action(target='Quay', transition=1, duration_ms=300) +
          action(target='Cove'))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
