#!/usr/bin/python3
"""head's font box and hhea's advanceWidthMax, minLeftSideBearing,
minRightSideBearing and xMaxExtent as fontTools recomputes them from the
outlines (every glyph's box rebuilt from its points) and the metrics.

  derived_metrics.py show FONT...   one line per font: the eight values as
                                    fontTools works them out, then the eight
                                    the font stores
  derived_metrics.py build OUT.ttf  a font of simple, empty and composite
                                    glyphs (moved, scaled, rotated, with a
                                    scaled offset, point-matched, nested)
                                    whose last glyphs share one advance"""
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import Glyph, GlyphComponent

SCALED_COMPONENT_OFFSET = 0x0800


def derived(font):
    glyf = font["glyf"]
    for name in font.getGlyphOrder():
        g = glyf[name]
        if g.numberOfContours != 0:
            g.recalcBounds(glyf)
    font["maxp"].recalc(font)
    font["hhea"].recalc(font)
    head, hhea = font["head"], font["hhea"]
    return [head.xMin, head.yMin, head.xMax, head.yMax, hhea.advanceWidthMax,
            hhea.minLeftSideBearing, hhea.minRightSideBearing, hhea.xMaxExtent]


def stored(font):
    head, hhea = font["head"], font["hhea"]
    return [head.xMin, head.yMin, head.xMax, head.yMax, hhea.advanceWidthMax,
            hhea.minLeftSideBearing, hhea.minRightSideBearing, hhea.xMaxExtent]


def show(paths):
    for path in paths:
        values = stored(TTFont(path)) + derived(TTFont(path))
        print(" ".join(str(v) for v in values[8:] + values[:8]))


def polygon(points):
    pen = TTGlyphPen(None)
    pen.moveTo(points[0])
    for p in points[1:]:
        pen.lineTo(p)
    pen.closePath()
    return pen.glyph()


def composite(*parts):
    g = Glyph()
    g.numberOfContours = -1
    g.components = []
    for name, where, transform, flags in parts:
        c = GlyphComponent()
        c.glyphName = name
        if isinstance(where, tuple):
            c.x, c.y = where
        else:
            c.firstPt, c.secondPt = where["match"]
        if transform:
            c.transform = transform
        c.flags = flags
        g.components.append(c)
    return g


def build(out):
    glyphs = {
        ".notdef": polygon([(50, 0), (50, 700), (450, 700), (450, 0)]),
        "A": polygon([(100, 0), (300, 700), (500, 0)]),
        "acute": polygon([(200, 750), (250, 850), (300, 750)]),
        "space": Glyph(),
        "Aacute": composite(("A", (0, 0), None, 0), ("acute", (40, 50), None, 0)),
        "Asmall": composite(("A", (30, 20), [[0.5, 0], [0, 0.5]], 0)),
        "Aturned": composite(("A", (800, 0), [[0, 1], [-1, 0]], 0)),
        "Aoffset": composite(("A", (101, 33), [[0.75, 0], [0, 0.5]], SCALED_COMPONENT_OFFSET)),
        "Amatch": composite(("A", (0, 0), None, 0), ("acute", {"match": (1, 1)}, None, 0)),
        "Anested": composite(("Aacute", (-40, 0), None, 0), ("Asmall", (600, 0), None, 0)),
        "B": polygon([(60, 0), (60, 700), (560, 350)]),
    }
    order = list(glyphs)
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({0x41: "A", 0x42: "B", 0x20: "space", 0xC1: "Aacute"})
    fb.setupGlyf(glyphs)
    glyf = fb.font["glyf"]
    metrics = {}
    for i, name in enumerate(order):
        g = glyf[name]
        lsb = g.xMin if g.numberOfContours else 0
        # The last three share one advance, so hmtx keeps their side
        # bearings alone.
        metrics[name] = (900 if i >= len(order) - 3 else 600 + 10 * i, lsb)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable({"familyName": "Derived", "styleName": "Regular"})
    fb.setupOS2()
    fb.setupPost()
    fb.font.save(out)
    if TTFont(out)["hhea"].numberOfHMetrics != len(order) - 2:
        sys.exit("the last glyphs do not share their advance")


if __name__ == "__main__":
    if len(sys.argv) >= 3 and sys.argv[1] == "show":
        show(sys.argv[2:])
    elif len(sys.argv) == 3 and sys.argv[1] == "build":
        build(sys.argv[2])
    else:
        sys.exit(__doc__)
