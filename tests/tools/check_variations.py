#!/usr/bin/python3
"""Checks an edited variable font against the font it was made from, with
fontTools' instancer, at every named instance and at both ends of every
axis (the others at their defaults).

Usage: check_variations.py OLD NEW GLYPH moved POINT DX DY
       check_variations.py OLD NEW GLYPH dropped
       check_variations.py OLD NEW GLYPH advance DW
  moved    GLYPH's point POINT moved by (DX, DY) in the default: at every
           instance the glyph is the old instance's with that point moved
           by the same amount.
  dropped  GLYPH lost its variations: at every instance it is the default.
  advance  GLYPH's advance grew by DW in the default: at every instance
           its advance is the old instance's plus DW, its outline as it was.
In both, every other glyph, every other glyph's advance and gvar data
stay as they were, and gvar's glyph count is the font's. Prints what
differs and exits 1."""
import struct
import sys

from fontTools.ttLib import TTFont
from fontTools.varLib.instancer import instantiateVariableFont


def locations(font):
    axes = font["fvar"].axes
    out = [dict(i.coordinates) for i in font["fvar"].instances]
    defaults = {a.axisTag: a.defaultValue for a in axes}
    for a in axes:
        for v in (a.minValue, a.maxValue):
            out.append(dict(defaults, **{a.axisTag: v}))
    return out


def outline(font, name):
    g = font["glyf"][name]
    if g.isComposite():
        return [(c.glyphName, c.x, c.y) for c in g.components]
    if g.numberOfContours == 0:
        return []
    return [tuple(p) for p in g.coordinates]


def main():
    old_path, new_path, glyph, mode = sys.argv[1:5]
    old, new = TTFont(old_path), TTFont(new_path)
    errors = []
    glyph_count = struct.unpack(">H", new.reader["gvar"][12:14])[0]
    if glyph_count != new["maxp"].numGlyphs:
        errors.append("gvar counts %d glyphs, maxp %d" % (glyph_count, new["maxp"].numGlyphs))
    for name in old.getGlyphOrder():
        if name != glyph and old["gvar"].variations.get(name) != new["gvar"].variations.get(name):
            errors.append("the variations of %s changed" % name)
    if mode == "dropped" and new["gvar"].variations.get(glyph):
        errors.append("%s still has variations" % glyph)
    if mode in ("moved", "advance") and old["gvar"].variations.get(glyph) != new["gvar"].variations.get(glyph):
        errors.append("the variations of %s changed" % glyph)
    default = outline(new, glyph)
    for loc in locations(old):
        a = instantiateVariableFont(TTFont(old_path), loc)
        b = instantiateVariableFont(TTFont(new_path), loc)
        for name in old.getGlyphOrder():
            # The instancer takes advances from gvar's phantom points, which
            # go with the rest of a dropped glyph's variations.
            grown = int(sys.argv[5]) if mode == "advance" and name == glyph else 0
            if (name != glyph or mode != "dropped") and a["hmtx"][name][0] + grown != b["hmtx"][name][0]:
                errors.append("%s: the advance of %s is %d, expected %d"
                              % (loc, name, b["hmtx"][name][0], a["hmtx"][name][0] + grown))
            if name != glyph and outline(a, name) != outline(b, name):
                errors.append("%s: glyph %s changed" % (loc, name))
        got = outline(b, glyph)
        if mode == "dropped":
            want = default
        elif mode == "advance":
            want = outline(a, glyph)
        else:
            point, dx, dy = (int(v) for v in sys.argv[5:8])
            want = outline(a, glyph)
            if point < len(want):
                x, y = want[point]
                want[point] = (x + dx, y + dy)
        if got != want:
            errors.append("%s: %s is %s, expected %s" % (loc, glyph, got, want))
    for e in errors:
        print(e)
    if errors:
        sys.exit(1)
    print("%d locations checked" % len(locations(old)))


if __name__ == "__main__":
    main()
