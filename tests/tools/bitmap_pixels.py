#!/usr/bin/python3
"""Prints every embedded bitmap of a font as fontTools reads it, one line per
glyph and strike:
  strike ppemX ppemY glyphID width height bearingX bearingY advance pixels
pixels being the rows from the top as '0'/'1', row after row. Given several
fonts, prints "# PATH" before the lines of each."""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables import E_B_D_T_
from fontTools.ttLib.tables.BitmapGlyphMetrics import BigGlyphMetrics


def _reverse_bits(data):
    """fontTools' helper for bit-aligned images, which on Python 3 fails on
    the ints that indexing bytes gives: the bits of each byte reversed."""
    if isinstance(data, int):
        data = bytes([data])
    return bytes(int("{:08b}".format(b)[::-1], 2) for b in data)


E_B_D_T_._reverseBytes = _reverse_bits


def bitmap_lines(path):
    font = TTFont(path)
    eblc = font["EBLC"]
    ebdt = font["EBDT"]
    lines = []
    for s, strike in enumerate(eblc.strikes):
        size = strike.bitmapSizeTable
        data = ebdt.strikeData[s]
        for sub in strike.indexSubTables:
            for name in sub.names:
                glyph = data[name]
                metrics = getattr(glyph, "metrics", None) or sub.metrics
                if isinstance(metrics, BigGlyphMetrics):
                    bx, by, adv = metrics.horiBearingX, metrics.horiBearingY, metrics.horiAdvance
                else:
                    bx, by, adv = metrics.BearingX, metrics.BearingY, metrics.Advance
                bits = ""
                for row in range(metrics.height):
                    raw = glyph.getRow(row, bitDepth=1, metrics=metrics, reverseBytes=False)
                    bits += "".join("1" if raw[i // 8] & (0x80 >> (i % 8)) else "0"
                                    for i in range(metrics.width))
                lines.append("%d %d %d %d %d %d %d %d %d %s" % (
                    s, size.ppemX, size.ppemY, font.getGlyphID(name), metrics.width,
                    metrics.height, bx, by, adv, bits or "-"))
    return lines


if __name__ == "__main__":
    for path in sys.argv[1:]:
        if len(sys.argv) > 2:
            print("# " + path)
        print("\n".join(bitmap_lines(path)))
