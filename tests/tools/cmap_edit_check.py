#!/usr/bin/python3
"""Checks a character-map edit between two TrueType files as fontTools
reads them: every Unicode subtable (formats 4 and 12 on platforms 0 and 3)
of ORIGINAL maps START..END to GNO, GNO + 1, ... in EDITED (or nothing for
GNO ffff) and every other code as before; every other subtable is the same
bytes. Prints one line per subtable and exits 1 on the first difference.
Usage: cmap_edit_check.py ORIGINAL EDITED START END GNO (hexadecimal)"""
import struct
import sys

from fontTools.ttLib import TTFont


def raw_subtables(font):
    data = font.reader["cmap"]
    count = struct.unpack(">H", data[2:4])[0]
    out = {}
    for i in range(count):
        platform, encoding, offset = struct.unpack(">HHI", data[4 + 8 * i:12 + 8 * i])
        fmt = struct.unpack(">H", data[offset:offset + 2])[0]
        if fmt in (0, 2, 4, 6):
            length = struct.unpack(">H", data[offset + 2:offset + 4])[0]
        elif fmt == 14:
            length = struct.unpack(">I", data[offset + 2:offset + 6])[0]
        else:
            length = struct.unpack(">I", data[offset + 4:offset + 8])[0]
        out[(platform, encoding)] = (fmt, data[offset:offset + length])
    return out


def glyph_ids(font, table):
    return {code: font.getGlyphID(name) for code, name in table.cmap.items()}


def unicode_subtable(platform, encoding, fmt):
    return fmt in (4, 12) and (platform == 0 or (platform == 3 and encoding in (1, 10)))


def main(original, edited, start, end, gno):
    start, end, gno = int(start, 16), int(end, 16), int(gno, 16)
    before, after = TTFont(original), TTFont(edited)
    raw_before, raw_after = raw_subtables(before), raw_subtables(after)
    for table in before["cmap"].tables:
        key = (table.platformID, table.platEncID)
        fmt = table.format
        if key not in raw_after:
            print("subtable %s is gone" % (key,))
            return 1
        if not unicode_subtable(key[0], key[1], fmt):
            same = raw_before[key] == raw_after[key]
            print("%s format %d kept byte for byte: %s" % (key, fmt, same))
            if not same:
                return 1
            continue
        expect = glyph_ids(before, table)
        for code in range(start, end + 1):
            if code in (0, 0xFFFF):
                continue  # never mapped by the editor
            if gno == 0xFFFF:
                expect.pop(code, None)
            else:
                expect[code] = gno + code - start
        # Glyph 0 and an absent code read the same.
        expect = {c: g for c, g in expect.items() if g}
        got = {c: g for c, g in glyph_ids(after, after["cmap"].getcmap(*key)).items() if g}
        wrong = sorted(c for c in set(expect) | set(got) if expect.get(c) != got.get(c))
        print("%s format %d: %d codes, %d differ" % (key, fmt, len(got), len(wrong)))
        for c in wrong[:5]:
            print("  U+%04X: %s instead of %s" % (c, got.get(c), expect.get(c)))
        if wrong:
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
