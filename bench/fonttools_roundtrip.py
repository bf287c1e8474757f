"""fontTools peer: decompile every table of a font completely (every glyph
expanded) and compile it back into a new file."""
import sys

from fontTools.ttLib import TTFont


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: fonttools_roundtrip.py IN OUT")
    font = TTFont(sys.argv[1], lazy=False)
    font.ensureDecompiled()
    font.save(sys.argv[2])
    print("glyphs=%d" % len(font.getGlyphOrder()))


if __name__ == "__main__":
    main()
