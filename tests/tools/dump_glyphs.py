#!/usr/bin/python3
"""Dumps every glyph of a TrueType font as fontTools reads it, one line each.

  <gid> e                                   empty glyph
  <gid> s <n> <end>*n <p> (<x> <y> <on>)*p   simple glyph
  <gid> c <k> (<index> <flags> <dx> <dy> <xscale> <scale01> <scale10> <yscale>)*k
          f <n> <end>*n <p> (<x> <y> <on>)*p
                                            composite glyph: its component
                                            entries (transform values as raw
                                            F2Dot14), then the flattened outline
                                            (or "f -" when fontTools cannot
                                            flatten it)
With --instructions every line but an empty glyph's ends in
"i <hex>", the glyph's instruction bytes.
"""
import sys

from fontTools.ttLib import TTFont


def f2dot14(v):
    return int(round(v * 16384)) & 0xFFFF


def outline(coords, ends, flags):
    out = [str(len(ends))] + [str(e) for e in ends] + [str(len(coords))]
    for (x, y), f in zip(coords, flags):
        out += [repr(float(x)), repr(float(y)), str(f & 1)]
    return " ".join(out)


def instructions(g):
    code = g.program.getBytecode() if hasattr(g, "program") else b""
    return " i " + (code.hex() or "-")


def main():
    args = [a for a in sys.argv[1:] if a != "--instructions"]
    code = len(args) < len(sys.argv) - 1
    font = TTFont(args[0])
    glyf = font["glyf"]
    order = font.getGlyphOrder()
    w = sys.stdout.write
    for gid, name in enumerate(order):
        g = glyf[name]
        if g.numberOfContours == 0 and not hasattr(g, "coordinates"):
            w("%d e\n" % gid)
        elif g.isComposite():
            parts = []
            for c in g.components:
                if hasattr(c, "transform"):
                    (xs, s01), (s10, ys) = c.transform
                    t = [f2dot14(xs), f2dot14(s01), f2dot14(s10), f2dot14(ys)]
                else:
                    t = [0x4000, 0, 0, 0x4000]
                # fontTools keeps ARGS_ARE_XY_VALUES (0x0002) out of its
                # flags and tells point matching by firstPt instead.
                flags = c.flags & ~0x0002
                if hasattr(c, "firstPt"):
                    dx, dy = c.firstPt, c.secondPt
                else:
                    dx, dy = c.x, c.y
                    flags |= 0x0002
                parts.append(" ".join(str(v) for v in
                                      [font.getGlyphID(c.glyphName), flags, dx, dy] + t))
            try:
                coords, ends, flags = g.getCoordinates(glyf)
                flat = outline(coords, ends, flags)
            except Exception:
                flat = "-"
            w("%d c %d %s f %s%s\n" % (gid, len(parts), " ".join(parts), flat,
                                       instructions(g) if code else ""))
        else:
            coords, ends, flags = g.getCoordinates(glyf)
            w("%d s %s%s\n" % (gid, outline(coords, ends, flags),
                                 instructions(g) if code else ""))


if __name__ == "__main__":
    main()
