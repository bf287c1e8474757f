#!/usr/bin/python3
"""Builds a small font with embedded bitmaps through fontTools' own compiler:
several strikes (one ppem pair twice, one not square), index formats 1 to 5
and image formats 1, 2, 5, 6 and 7, with pseudo-random pixels.

Writes to the folder given: bitmaps.ttf, the bare EBLC and EBDT tables
(eblc.bin, ebdt.bin) and expected.txt, the pixels put in, in the line form
of bitmap_pixels.py. Exits 1 if fontTools does not read back what went in.

With "shared" after the folder, writes shared.ttf instead: two strikes
(12 and 16 pixels) whose index entries, in every index format, name the
same images, and two glyphs (21 and 22) of each that share one image too;
shared.txt lists its pixels."""
import os
import random
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bitmap_pixels import bitmap_lines  # noqa: E402

from fontTools.fontBuilder import FontBuilder  # noqa: E402
from fontTools.pens.ttGlyphPen import TTGlyphPen  # noqa: E402
from fontTools.ttLib import TTFont  # noqa: E402

GLYPHS = [".notdef"] + ["g%02d" % i for i in range(1, 24)]
rand = random.Random(7)

# (ppemX, ppemY, [(indexFormat, imageFormat, [glyph IDs])])
STRIKES = [
    (12, 12, [(1, 1, [1, 2, 3]), (3, 2, [5, 6, 7]), (4, 6, [10, 12, 15])]),
    (16, 16, [(2, 5, [1, 2, 3, 4]), (5, 5, [8, 11, 13]), (1, 7, [16, 17, 18])]),
    (12, 12, [(1, 1, [1, 2, 3])]),
    (20, 10, [(3, 1, [19, 20, 21]), (1, 2, [22, 23])]),
]


def metrics_xml(tag, m):
    h, w, bx, by, adv = m
    if tag == "SmallGlyphMetrics":
        fields = [("height", h), ("width", w), ("BearingX", bx), ("BearingY", by),
                  ("Advance", adv)]
    else:
        fields = [("height", h), ("width", w), ("horiBearingX", bx), ("horiBearingY", by),
                  ("horiAdvance", adv), ("vertBearingX", 0), ("vertBearingY", 0),
                  ("vertAdvance", h)]
    return "<%s>%s</%s>" % (tag, "".join('<%s value="%d"/>' % f for f in fields), tag)


def line_metrics(direction, ppem):
    names = ["ascender", "descender", "widthMax", "caretSlopeNumerator",
             "caretSlopeDenominator", "caretOffset", "minOriginSB", "minAdvanceSB",
             "maxBeforeBL", "minAfterBL", "pad1", "pad2"]
    values = [ppem * 3 // 4, -(ppem // 4), ppem, 0, 0, 0, 0, 0, 0, 0, 0, 0]
    return '<sbitLineMetrics direction="%s">%s</sbitLineMetrics>' % (
        direction, "".join('<%s value="%d"/>' % nv for nv in zip(names, values)))


def row_hex(row):
    """A row of '.'/'@' as bytes, most significant bit first, in hex."""
    bits = row.replace(".", "0").replace("@", "1")
    bits += "0" * (-len(bits) % 8)
    return "".join("%02x" % int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def random_metrics(ppemx, ppemy):
    w = rand.randint(1, min(ppemx, 13))
    h = rand.randint(1, ppemy)
    return (h, w, rand.randint(-1, 2), rand.randint(h - 2, h + 1), w + rand.randint(0, 2))


def main(out):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap({0x41 + i: g for i, g in enumerate(GLYPHS[1:])})
    pen = TTGlyphPen(None)
    pen.moveTo((0, 0))
    pen.lineTo((0, 500))
    pen.lineTo((500, 0))
    pen.closePath()
    box = pen.glyph()
    fb.setupGlyf({g: box for g in GLYPHS})
    fb.setupHorizontalMetrics({g: (600, 0) for g in GLYPHS})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Bitmaps", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()

    eblc, ebdt, expected = [], [], []
    for s, (px, py, subtables) in enumerate(STRIKES):
        eblc.append('<strike index="%d"><bitmapSizeTable>%s%s' % (
            s, line_metrics("hori", py), line_metrics("vert", px)))
        ids = [g for _, _, gs in subtables for g in gs]
        for name, value in [("colorRef", 0), ("startGlyphIndex", min(ids)),
                            ("endGlyphIndex", max(ids)), ("ppemX", px), ("ppemY", py),
                            ("bitDepth", 1), ("flags", 1)]:
            eblc.append('<%s value="%d"/>' % (name, value))
        eblc.append("</bitmapSizeTable>")
        ebdt.append('<strikedata index="%d">' % s)
        for index_format, image_format, gids in subtables:
            fixed = random_metrics(px, py) if index_format in (2, 5) else None
            image_size = None
            if fixed:
                h, w = fixed[0], fixed[1]
                image_size = (w * h + 7) // 8
            eblc.append('<eblc_index_sub_table_%d imageFormat="%d" firstGlyphIndex="%d" '
                        'lastGlyphIndex="%d">' % (index_format, image_format, min(gids),
                                                  max(gids)))
            if fixed:
                eblc.append('<imageSize value="%d"/>' % image_size)
                eblc.append(metrics_xml("BigGlyphMetrics", fixed))
            for g in gids:
                eblc.append('<glyphLoc name="%s"/>' % GLYPHS[g])
                m = fixed or random_metrics(px, py)
                h, w = m[0], m[1]
                rows = ["".join(rand.choice(".@") for _ in range(w)) for _ in range(h)]
                ebdt.append('<ebdt_bitmap_format_%d name="%s">' % (image_format, GLYPHS[g]))
                if image_format in (1, 2):
                    ebdt.append(metrics_xml("SmallGlyphMetrics", m))
                elif image_format in (6, 7):
                    ebdt.append(metrics_xml("BigGlyphMetrics", m))
                ebdt.append('<rowimagedata bitDepth="1" width="%d" height="%d">' % (w, h))
                ebdt.extend('<row value="%s"/>' % row_hex(r) for r in rows)
                ebdt.append("</rowimagedata></ebdt_bitmap_format_%d>" % image_format)
                bits = "".join(rows).replace(".", "0").replace("@", "1")
                expected.append("%d %d %d %d %d %d %d %d %d %s" % (
                    s, px, py, g, w, h, m[2], m[3], m[4], bits))
            eblc.append("</eblc_index_sub_table_%d>" % index_format)
        eblc.append("</strike>")
        ebdt.append("</strikedata>")

    ttx = os.path.join(out, "bitmaps.ttx")
    with open(ttx, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?><ttFont>'
                '<EBDT><header version="2.0"/>%s</EBDT>'
                '<EBLC><header version="2.0"/>%s</EBLC></ttFont>' % ("".join(ebdt), "".join(eblc)))
    fb.font.importXML(ttx)
    path = os.path.join(out, "bitmaps.ttf")
    fb.font.save(path)

    reread = TTFont(path)
    for tag in ("EBLC", "EBDT"):
        with open(os.path.join(out, tag.lower() + ".bin"), "wb") as f:
            f.write(reread.reader[tag])
    with open(os.path.join(out, "expected.txt"), "w") as f:
        f.write("\n".join(expected) + "\n")
    got = sorted(bitmap_lines(path))
    if got != sorted(expected):
        print("fontTools reads back other bitmaps than were put in", file=sys.stderr)
        for a, b in zip(sorted(expected), got):
            if a != b:
                print(" put %s\n read %s" % (a, b), file=sys.stderr)
        sys.exit(1)


# Index subtables of both strikes of the shared font.
SHARED = [(1, 1, [1, 2, 3]), (3, 2, [5, 6, 7]), (4, 6, [10, 12, 15]), (2, 5, [16, 17]),
          (5, 5, [19, 20]), (1, 1, [21]), (1, 1, [22])]


def build_shared(out):
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(GLYPHS)
    fb.setupCharacterMap({0x41 + i: g for i, g in enumerate(GLYPHS[1:])})
    pen = TTGlyphPen(None)
    pen.moveTo((0, 0))
    pen.lineTo((0, 500))
    pen.lineTo((500, 0))
    pen.closePath()
    fb.setupGlyf({g: pen.glyph() for g in GLYPHS})
    fb.setupHorizontalMetrics({g: (600, 0) for g in GLYPHS})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Shared", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()

    images, fixed = {}, {}
    for index_format, image_format, gids in SHARED:
        if index_format in (2, 5):
            fixed[index_format] = random_metrics(12, 12)
        for g in gids:
            m = fixed.get(index_format) or random_metrics(12, 12)
            rows = ["".join(rand.choice(".@") for _ in range(m[1])) for _ in range(m[0])]
            images[g] = (m, rows)
    images[22] = images[21]
    eblc, ebdt = [], []
    for s, ppem in enumerate((12, 16)):
        eblc.append('<strike index="%d"><bitmapSizeTable>%s%s' % (
            s, line_metrics("hori", ppem), line_metrics("vert", ppem)))
        for name, value in [("colorRef", 0), ("startGlyphIndex", 1), ("endGlyphIndex", 22),
                            ("ppemX", ppem), ("ppemY", ppem), ("bitDepth", 1), ("flags", 1)]:
            eblc.append('<%s value="%d"/>' % (name, value))
        eblc.append("</bitmapSizeTable>")
        ebdt.append('<strikedata index="%d">' % s)
        for index_format, image_format, gids in SHARED:
            eblc.append('<eblc_index_sub_table_%d imageFormat="%d" firstGlyphIndex="%d" '
                        'lastGlyphIndex="%d">' % (index_format, image_format, min(gids),
                                                  max(gids)))
            if index_format in (2, 5):
                m = fixed[index_format]
                eblc.append('<imageSize value="%d"/>' % ((m[0] * m[1] + 7) // 8))
                eblc.append(metrics_xml("BigGlyphMetrics", m))
            for g in gids:
                eblc.append('<glyphLoc name="%s"/>' % GLYPHS[g])
                m, rows = images[g]
                ebdt.append('<ebdt_bitmap_format_%d name="%s">' % (image_format, GLYPHS[g]))
                if image_format in (1, 2):
                    ebdt.append(metrics_xml("SmallGlyphMetrics", m))
                elif image_format in (6, 7):
                    ebdt.append(metrics_xml("BigGlyphMetrics", m))
                ebdt.append('<rowimagedata bitDepth="1" width="%d" height="%d">' % (m[1], m[0]))
                ebdt.extend('<row value="%s"/>' % row_hex(r) for r in rows)
                ebdt.append("</rowimagedata></ebdt_bitmap_format_%d>" % image_format)
            eblc.append("</eblc_index_sub_table_%d>" % index_format)
        eblc.append("</strike>")
        ebdt.append("</strikedata>")
    ttx = os.path.join(out, "shared.ttx")
    with open(ttx, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?><ttFont>'
                '<EBDT><header version="2.0"/>%s</EBDT>'
                '<EBLC><header version="2.0"/>%s</EBLC></ttFont>' % ("".join(ebdt), "".join(eblc)))
    fb.font.importXML(ttx)
    # fontTools writes an image object once however many entries name it.
    data = fb.font["EBDT"].strikeData
    for name in list(data[0]):
        data[1][name] = data[0][name]
    for strike in data:
        strike[GLYPHS[22]] = data[0][GLYPHS[21]]
    path = os.path.join(out, "shared.ttf")
    fb.font.save(path)
    with open(os.path.join(out, "shared.txt"), "w") as f:
        f.write("\n".join(bitmap_lines(path)) + "\n")


if __name__ == "__main__":
    if sys.argv[2:] == ["shared"]:
        build_shared(sys.argv[1])
    else:
        main(sys.argv[1])
