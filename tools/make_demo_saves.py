#!/usr/bin/env python3
"""Writes the demo's resume table, Config/Resume: six fields the player skips, then pairs
(frame saved in, frame to resume at). A game saved in the boathouse resumes on the stairs
that lead down to it, and one saved on the balcony resumes in the lamp room."""
import pathlib

DEMO = pathlib.Path(__file__).resolve().parent.parent / "examples" / "demo"

PAIRS = [
    ("Boathouse", "Stairs"),
    ("Balcony", "Lamproom"),
]


def main():
    lines = ['"Storyloom resume table","",0,0,0,0']
    lines += ['"%s","%s"' % pair for pair in PAIRS]
    (DEMO / "Config" / "Resume").write_bytes(("\r\n".join(lines) + "\r\n").encode("cp1252"))


if __name__ == "__main__":
    main()
