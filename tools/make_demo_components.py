#!/usr/bin/env python3
"""Writes the components part of examples/demo: the Radio frame, whose on-load script places
a label and a button on the picture and hands the button's events to the procedures
(RadioButton_Click in tools/demo_procedures.vbs). Run from the source tree:
    python3 tools/make_demo_components.py examples/demo
"""
import os
import sys

ON_LOAD = '\r\n'.join([
    'If Not DoesComponentExist("RadioNote") Then',
    '  AddComponent "Forms.Label.1", "RadioNote"',
    '  With Component("RadioNote")',
    '    .Move 900, 900, 6000, 450',
    '    .Caption = "The radio is silent."',
    '    .Visible = True',
    '  End With',
    '  AddComponent "Forms.CommandButton.1", "RadioButton"',
    '  With Component("RadioButton")',
    '    .Move 900, 1800, 3000, 500',
    '    .Caption = "Call the coast guard"',
    '    .Visible = True',
    '  End With',
    'End If',
    'InterceptComponentEvents "RadioButton"',
])


def frame_with_script(colour, script):
    """A colour frame whose file goes as far as the on-load script (quotes stored as |)."""
    fields = ['0', '"%d"' % colour, '#FALSE#',               # type, colour, tiled
              '#FALSE#', '""', '#FALSE#', '"0"', '""', '""', '""',  # music, timer, video, one skipped
              '#FALSE#', '#FALSE#', '""',                     # sounds
              '', '', '',                                     # three skipped
              '#FALSE#', '#FALSE#', '0', '0', '0', '0',       # video placement
              '#TRUE#',                                       # loop music
              '#FALSE#', '0', '0',                            # timer transition
              '#TRUE#', '"%s"' % script.replace('"', '|')]    # on-load script
    return ','.join(fields) + '\r\n'


def main(root):
    path = os.path.join(root, 'Frames', 'Radio.fme')
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='cp1252', newline='') as f:
        f.write(frame_with_script(3158128, ON_LOAD))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
