#!/usr/bin/env python3
"""Writes the dialogue part of examples/demo: the Keeper frame, reached from the Stairs, with
the lighthouse keeper's conversation (Keeper.dlg) and an oil can that one of its questions
uses.  Run from the source tree after make_demo_hotspots.py:
    python3 tools/make_demo_dialogue.py examples/demo
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_hotspots import action, frame, hotspot, q, write  # noqa: E402


def question(text, answer, qid, shown=True, ends=False, scripts=('', '', ''), hotspots=(0, 0, 0),
             show_after=(), hide_after=()):
    """One question record; scripts are stored with "|" for each double quote."""
    lines = [
        '%s,%s' % (q(text), q(answer)),
        ','.join(q(s.replace('"', '|')) for s in scripts),
        '%d,%s,%s,%d,%d,%d' % (qid, '#TRUE#' if shown else '#FALSE#', '#TRUE#' if ends else '#FALSE#', *hotspots),
        ','.join([str(len(show_after))] + [str(i) for i in show_after]),
        ','.join([str(len(hide_after))] + [str(i) for i in hide_after]),
        '0,0,"",0,#FALSE#,0',
    ]
    return '\r\n'.join(lines) + '\r\n'


def dialogue(questions):
    header = '1,0,0,"The keeper","",0,0,0,0,0,0\r\n%d\r\n' % len(questions)
    return header + ''.join(questions)


def main(root):
    # Keeper: the stairs back up, and an oil can that goes once used.
    write(root, 'Frames/Keeper.fme', frame(1579104, 'Keeper.jpg'))
    write(root, 'Frames/Keeper.lks', '2\r\n')  # the hotspot count that questions' hotspots are checked against
    write(root, 'FramesData/Keeper.fm2',
          hotspot(1, 260, 20, 120, 60, 'Steps.gif') +
          hotspot(2, 480, 120, 60, 80, 'OilCan.gif'))
    write(root, 'FramesData/Keeper.fm3',
          action(target='Stairs') +
          action(variable='LampLit', set_true=True, message='The lamp is filled with oil.', hide=True))
    # Asking who he is leads to the ship, the ship to the lamp; helping with the lamp uses
    # the oil can (hotspot 2); goodbye ends the conversation and its last script still runs.
    write(root, 'FramesData/Keeper.dlg', dialogue([
        question('Who are you?', 'I keep this light, as my father did.', 1,
                 scripts=('Note = "met the keeper"', '', ''), show_after=[2], hide_after=[1]),
        question('What happened to the ship?', 'She ran onto the reef last winter.', 2, shown=False,
                 show_after=[3]),
        question('Can I help with the lamp?', 'Then fill it from that can.', 3, shown=False,
                 hotspots=(2, 0, 0), hide_after=[3]),
        question('Goodbye.', 'Mind the stairs.', 4, ends=True, scripts=('', '', 'Note = "said goodbye"')),
    ]))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
