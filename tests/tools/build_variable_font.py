#!/usr/bin/python3
"""Builds the fonts of other kinds than plain TrueType that the tests open,
through fontTools' own compilers.

Usage: build_variable_font.py KIND OUT.ttf [GLYPHS]
  variable  a variable TrueType font from two masters (fontTools.varLib):
            axis wght 100-900 (default 100) with avar, named instances Thin,
            Regular, Bold and Black, gvar with every delta explicit, HVAR,
            MVAR and STAT; characters A (two contours, one curve), B (one
            contour) and C (a composite of A). GLYPHS adds more glyphs
            (uni0100 ...) to reach that many.
  static    the same font's default master alone, without any variation
            table (as large as "variable" with the same GLYPHS).
  true      a small TrueType font whose sfnt version is 'true'.
  tags      a small TrueType font with 30 tables of made-up tags.
  cff       a font with CFF outlines whose sfnt version is 1.0 (maxp 0.5).
  cff2      a variable font with CFF2 outlines ('OTTO', fvar)."""
import sys

from fontTools import varLib
from fontTools.designspaceLib import (AxisDescriptor, DesignSpaceDocument,
                                      InstanceDescriptor, SourceDescriptor)
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import newTable

NAMES = {"familyName": "Tavrel Test", "styleName": "Regular"}


def glyph_order(total):
    names = [".notdef", "A", "B", "C"]
    names += ["uni%04X" % (0x100 + i) for i in range(max(0, total - len(names)))]
    return names


def outlines(weight, names):
    """The glyphs of the master of this weight (a stem width)."""
    glyphs = {}
    pen = TTGlyphPen(None)
    pen.moveTo((50, 0))
    pen.lineTo((450, 0))
    pen.lineTo((450, 700))
    pen.lineTo((50, 700))
    pen.closePath()
    glyphs[".notdef"] = pen.glyph()
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((100 + weight, 0))
    pen.qCurveTo((300, 400), (100 + weight, 700))
    pen.lineTo((100, 700))
    pen.closePath()
    pen.moveTo((400, 100))
    pen.lineTo((400 + weight // 2, 100))
    pen.lineTo((400 + weight // 2, 300))
    pen.closePath()
    glyphs["A"] = pen.glyph()
    pen = TTGlyphPen(None)
    pen.moveTo((100, 0))
    pen.lineTo((200 + weight, 0))
    pen.lineTo((200 + weight, 600))
    pen.lineTo((100, 600))
    pen.closePath()
    glyphs["B"] = pen.glyph()
    pen = TTGlyphPen(glyphs)
    pen.addComponent("A", (1, 0, 0, 1, 50 + weight // 4, 0))
    glyphs["C"] = pen.glyph()
    for i, name in enumerate(names[4:]):
        pen = TTGlyphPen(None)
        x = 50 + i % 200
        pen.moveTo((x, 0))
        pen.lineTo((x + weight, 0))
        pen.lineTo((x + weight, 500 + i % 100))
        pen.qCurveTo((x + weight // 2, 650), (x, 500))
        pen.closePath()
        glyphs[name] = pen.glyph()
    return glyphs


def master(weight, total):
    names = glyph_order(total)
    fb = FontBuilder(1000, isTTF=True)
    fb.setupGlyphOrder(names)
    cmap = {0x41: "A", 0x42: "B", 0x43: "C"}
    cmap.update({0x100 + i: n for i, n in enumerate(names[4:])})
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(outlines(weight, names))
    # Left side bearings at each glyph's xMin, as font tools write them; A
    # wider than the rest, so that it has an advance of its own in hmtx.
    glyf = fb.font["glyf"]
    fb.setupHorizontalMetrics(
        {n: (600 + weight + 50 * (n == "A"), getattr(glyf[n], "xMin", 0)) for n in names})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupNameTable(NAMES)
    fb.setupOS2(sxHeight=500 + weight // 2, sCapHeight=700)
    fb.setupPost()
    return fb.font


def variable(total):
    ds = DesignSpaceDocument()
    axis = AxisDescriptor()
    axis.tag, axis.name = "wght", "Weight"
    axis.minimum, axis.default, axis.maximum = 100, 100, 900
    axis.map = [(100, 100), (400, 300), (900, 900)]
    ds.addAxis(axis)
    for weight, stem in ((100, 100), (900, 300)):
        source = SourceDescriptor()
        source.font = master(stem, total)
        source.location = {"Weight": weight}
        source.name = "master %d" % weight
        ds.addSource(source)
    for weight, style in ((100, "Thin"), (400, "Regular"), (700, "Bold"), (900, "Black")):
        instance = InstanceDescriptor()
        instance.location = {"Weight": weight}
        instance.familyName, instance.styleName = NAMES["familyName"], style
        ds.addInstance(instance)
    # Every delta explicit: moving a point of the default then moves it by
    # the same amount at every instance.
    font, _, _ = varLib.build(ds, optimize=False)
    return font


def tags():
    font = master(100, 4)
    for i in range(30):
        table = newTable("Zq%02d" % i)
        table.data = bytes((i + k) % 256 for k in range(3 + i))
        font["Zq%02d" % i] = table
    return font


def cff(variable_outlines):
    fb = FontBuilder(1000, isTTF=False)
    names = [".notdef", "A", "B"]
    fb.setupGlyphOrder(names)
    fb.setupCharacterMap({0x41: "A", 0x42: "B"})
    charstrings = {}
    for i, name in enumerate(names):
        pen = T2CharStringPen(None if variable_outlines else 600, None, CFF2=variable_outlines)
        pen.moveTo((100, 0))
        pen.lineTo((500, 0))
        pen.curveTo((500, 300), (400 + 50 * i, 600), (100, 700))
        pen.closePath()
        charstrings[name] = pen.getCharString()
    fb.setupNameTable(NAMES)
    if variable_outlines:
        fb.setupCFF2(charstrings)
        fb.setupFvar([("wght", 100, 400, 900, "Weight")], [])
    else:
        fb.setupCFF("TavrelTest-Regular", {"FullName": "Tavrel Test"}, charstrings, {})
    fb.setupHorizontalMetrics({n: (600, 100) for n in names})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupOS2()
    fb.setupPost()
    if not variable_outlines:
        fb.font.sfntVersion = "\x00\x01\x00\x00"
    return fb.font


def main():
    kind, out = sys.argv[1], sys.argv[2]
    total = int(sys.argv[3]) if len(sys.argv) > 3 else 4
    if kind == "variable":
        font = variable(total)
    elif kind == "static":
        font = master(100, total)
    elif kind == "true":
        font = master(100, 4)
        font.sfntVersion = "true"
    elif kind == "tags":
        font = tags()
    elif kind in ("cff", "cff2"):
        font = cff(kind == "cff2")
    else:
        sys.exit("unknown kind " + kind)
    font.save(out)


if __name__ == "__main__":
    main()
