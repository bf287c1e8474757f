#!/usr/bin/python3
"""Reads a TrueType file (or face N of a collection: check_font.py FILE N)
with fontTools and decompiles every table and every glyph; exits non-zero
with the error when anything fails."""
import sys

from fontTools.ttLib import TTFont


def main(path, face):
    font = TTFont(path, lazy=False, fontNumber=face)
    for tag in font.keys():
        font[tag]  # decompiles the table
    if "glyf" in font:
        glyf = font["glyf"]
        for name in font.getGlyphOrder():
            glyf[name].getCoordinates(glyf)
    cmap = font["cmap"].getBestCmap() or {}
    print("ok %d glyphs %d codes" % (len(font.getGlyphOrder()), len(cmap)))


if __name__ == "__main__":
    try:
        main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else -1)
    except Exception as e:  # report any reader failure as the check's result
        print("fontTools failed: %r" % (e,))
        sys.exit(1)
