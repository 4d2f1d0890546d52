#!/usr/bin/env python3
"""Writes the script part of examples/demo: the project procedures, scrambled as the editor
stores them for a distributed game (Config/Procedures with ProcEncr=1 in Config/More), and
the keeper's notebook in External/. Run from the source tree:
    python3 tools/make_demo_scripts.py examples/demo
"""
import os
import sys

KEY = 'qmhazpwylktrsvbnucxoi'
PROJECT_NAME = 'StoryloomDemo'  # the first field of Config/General


def name_code_sum(name):
    return sum(name.encode('cp1252'))


def scramble(line, k, offset):
    """The inverse of the runtime's unscrambling: the first character carries the offset,
    the scrambled characters follow from the last plain character to the first."""
    out = []
    for i, c in enumerate(line):
        ch = ord(c)
        if ch == 126:
            raise ValueError('"~" cannot be scrambled: ' + line)
        if 32 <= ch <= 125:
            shift = (i + offset) * (ord(KEY[i % 21]) - 32) + k
            ch = (ch - 32 + shift) % 94 + 32
        out.append(chr(ch))
    return chr(32 + offset) + ''.join(reversed(out))


def write(root, rel, text):
    path = os.path.join(root, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'w', encoding='cp1252', newline='') as f:
        f.write(text)


def main(root):
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, 'demo_procedures.vbs'), encoding='utf-8') as f:
        lines = f.read().split('\n')
    if lines and lines[-1] == '':
        lines.pop()
    k = name_code_sum(PROJECT_NAME)
    scrambled = [scramble(line, k, 1 + n % 40) for n, line in enumerate(lines)]
    write(root, 'Config/Procedures', 'VBS Procedures\r\nThe Lighthouse Keeper\r\n3\r\n' + '\r\n'.join(scrambled) + '\r\n')
    write(root, 'Config/More', '[General]\r\nProcEncr=1\r\nScriptTimeOut=5\r\n')
    write(root, 'External/keeper.ini', "; The keeper's notebook\r\n[Lamp]\r\nOil=3\r\n")


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'examples/demo')
