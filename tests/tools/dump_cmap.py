#!/usr/bin/python3
"""Prints the Windows Unicode BMP (3, 1) character map of a TrueType file as
fontTools reads it: one "code glyph-index" line per mapped code."""
import sys

from fontTools.ttLib import TTFont


def main(path):
    font = TTFont(path, lazy=True)
    sub = font["cmap"].getcmap(3, 1)
    for code, name in sorted((sub.cmap if sub else {}).items()):
        print(code, font.getGlyphID(name))


if __name__ == "__main__":
    main(sys.argv[1])
