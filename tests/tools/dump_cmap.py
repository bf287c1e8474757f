#!/usr/bin/python3
"""Prints a character map of a TrueType file as fontTools reads it: one
"code glyph-index" line per mapped code. The map is the Windows Unicode BMP
(3, 1) subtable, or with "best" fontTools' best Unicode map.
Usage: dump_cmap.py FONT [best]"""
import sys

from fontTools.ttLib import TTFont


def main(path, which="3,1"):
    font = TTFont(path, lazy=True)
    if which == "best":
        table = font["cmap"].getBestCmap() or {}
    else:
        sub = font["cmap"].getcmap(3, 1)
        table = sub.cmap if sub else {}
    for code, name in sorted(table.items()):
        print(code, font.getGlyphID(name))


if __name__ == "__main__":
    main(*sys.argv[1:])
