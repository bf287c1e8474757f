#!/usr/bin/python3
"""Builds a font with one strike per size given ("12" square, "12x16" ppemX
by ppemY), each holding bitmaps of glyphs 1-3 (characters A-C) with
pseudo-random pixels, through fontTools' own compiler.

Usage: build_strike_font.py OUT.ttf SIZE... ; a strike of 255 holds images
255 pixels wide, the widest an image can be, and 200 high."""
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from build_bitmap_font import metrics_xml, row_hex  # noqa: E402

from fontTools.fontBuilder import FontBuilder  # noqa: E402
from fontTools.pens.ttGlyphPen import TTGlyphPen  # noqa: E402

GLYPHS = [".notdef", "A", "B", "C"]


def line_metrics(direction, ppem):
    """Line metrics of a strike; the ascender is a signed byte."""
    names = ["ascender", "descender", "widthMax", "caretSlopeNumerator",
             "caretSlopeDenominator", "caretOffset", "minOriginSB", "minAdvanceSB",
             "maxBeforeBL", "minAfterBL", "pad1", "pad2"]
    values = [min(127, ppem * 3 // 4), -min(128, ppem // 4), ppem, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    return '<sbitLineMetrics direction="%s">%s</sbitLineMetrics>' % (
        direction, "".join('<%s value="%d"/>' % nv for nv in zip(names, values)))


def main(out, sizes):
    rand = random.Random(11)
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap({0x41 + i: g for i, g in enumerate(GLYPHS[1:])})
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((100, 700))
    pen.lineTo((500, 0))
    pen.closePath()
    triangle = pen.glyph()
    fb.setupGlyf({g: triangle for g in GLYPHS})
    fb.setupHorizontalMetrics({g: (600, 100) for g in GLYPHS})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Strikes", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()

    eblc, ebdt = [], []
    for s, size in enumerate(sizes):
        px, py = (int(v) for v in size.split("x")) if "x" in size else (int(size),) * 2
        eblc.append('<strike index="%d"><bitmapSizeTable>%s%s' % (
            s, line_metrics("hori", py), line_metrics("vert", px)))
        for name, value in [("colorRef", 0), ("startGlyphIndex", 1), ("endGlyphIndex", 3),
                            ("ppemX", px), ("ppemY", py), ("bitDepth", 1), ("flags", 1)]:
            eblc.append('<%s value="%d"/>' % (name, value))
        eblc.append("</bitmapSizeTable>")
        eblc.append('<eblc_index_sub_table_1 imageFormat="1" firstGlyphIndex="1" '
                    'lastGlyphIndex="3">')
        ebdt.append('<strikedata index="%d">' % s)
        for g in (1, 2, 3):
            if px == 255:
                # As wide as an image can be; bearingY is a signed byte, so
                # a tall image reaches below the baseline.
                w, h = 255, 200
                m = (h, w, 0, 127, 255)
            else:
                w, h = max(1, px * 2 // 3), max(1, py * 3 // 4)
                m = (h, w, 1, h, w + 1)
            eblc.append('<glyphLoc name="%s"/>' % GLYPHS[g])
            rows = ["".join(rand.choice(".@") for _ in range(w)) for _ in range(h)]
            ebdt.append('<ebdt_bitmap_format_1 name="%s">' % GLYPHS[g])
            ebdt.append(metrics_xml("SmallGlyphMetrics", m))
            ebdt.append('<rowimagedata bitDepth="1" width="%d" height="%d">' % (w, h))
            ebdt.extend('<row value="%s"/>' % row_hex(r) for r in rows)
            ebdt.append("</rowimagedata></ebdt_bitmap_format_1>")
        eblc.append("</eblc_index_sub_table_1></strike>")
        ebdt.append("</strikedata>")

    ttx = out + ".ttx"
    with open(ttx, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?><ttFont>'
                '<EBDT><header version="2.0"/>%s</EBDT>'
                '<EBLC><header version="2.0"/>%s</EBLC></ttFont>' % ("".join(ebdt), "".join(eblc)))
    fb.font.importXML(ttx)
    os.remove(ttx)
    fb.font.save(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
