#!/usr/bin/python3
"""Checks character-map edits between two TrueType files as fontTools reads
them: every Unicode subtable of ORIGINAL (platform 0 but for variation
sequences, (3, 1) and (3, 10)) maps, in EDITED, what it mapped before with
each run START..END set to GNO, GNO + 1, ... (or unmapped for GNO ffff) in
the order given; U+0000 and U+FFFF stay as they were, and codes past U+FFFF
change only in format 12. Every other subtable is the same bytes, and
fontTools' best map is the edited map of the best subtable. Prints one line
per subtable and exits 1 on the first difference.
Usage: cmap_edit_check.py ORIGINAL EDITED START END GNO [START END GNO ...]
(hexadecimal)"""
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
    return fmt != 14 and ((platform == 0 and encoding != 5) or
                          (platform == 3 and encoding in (1, 10)))


def edited(before, fmt, runs):
    expect = dict(before)
    for start, end, gno in runs:
        for code in range(start, end + 1):
            if code in (0, 0xFFFF) or (code > 0xFFFF and fmt != 12):
                continue
            if gno == 0xFFFF:
                expect.pop(code, None)
            else:
                expect[code] = gno + code - start
    # Glyph 0 and an absent code read the same.
    return {c: g for c, g in expect.items() if g}


def differences(what, expect, got):
    wrong = sorted(c for c in set(expect) | set(got) if expect.get(c) != got.get(c))
    print("%s: %d codes, %d differ" % (what, len(got), len(wrong)))
    for c in wrong[:5]:
        print("  U+%04X: %s instead of %s" % (c, got.get(c), expect.get(c)))
    return len(wrong)


def main(original, edited_path, *numbers):
    values = [int(v, 16) for v in numbers]
    runs = [tuple(values[k:k + 3]) for k in range(0, len(values) - 2, 3)]
    before, after = TTFont(original), TTFont(edited_path)
    raw_before, raw_after = raw_subtables(before), raw_subtables(after)
    expected = {}
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
        expected[key] = edited(glyph_ids(before, table), fmt, runs)
        got = {c: g for c, g in glyph_ids(after, after["cmap"].getcmap(*key)).items() if g}
        if differences("%s format %d" % (key, fmt), expected[key], got):
            return 1
    best = before["cmap"].getBestCmap()
    if best is not None:
        order = ((3, 10), (0, 6), (0, 4), (3, 1), (0, 3), (0, 2), (0, 1), (0, 0))
        key = next(k for k in order if k in expected)
        got = {c: after.getGlyphID(n) for c, n in after["cmap"].getBestCmap().items()}
        if differences("best map", expected[key], {c: g for c, g in got.items() if g}):
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
