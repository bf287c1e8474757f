#!/usr/bin/python3
"""Compares two collections (or fonts) face by face as fontTools reads them.

compare_collections.py BEFORE AFTER

Either may be "PATH#N", face N of a collection alone.

Prints "faces N" for AFTER, then one line per table whose bytes differ:
"FACE TAG changed", "FACE TAG added" or "FACE TAG removed". head's
checkSumAdjustment and modified date are left out (a save always sets
them). Every table of AFTER is also decompiled, so that a table fontTools
cannot read fails the run.
"""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection


def faces(path):
    base, _, face = path.rpartition("#")
    if base and face.isdigit():
        return [TTFont(base, fontNumber=int(face), lazy=False)]
    with open(path, "rb") as f:
        tag = f.read(4)
    if tag == b"ttcf":
        return TTCollection(path, lazy=False).fonts
    return [TTFont(path, lazy=False)]


def table_bytes(font, tag):
    data = bytearray(font.reader[tag])
    if tag == "head":
        data[8:12] = b"\0\0\0\0"
        data[28:36] = b"\0" * 8
    return bytes(data)


def main(before_path, after_path):
    before, after = faces(before_path), faces(after_path)
    print("faces %d" % len(after))
    for i, font in enumerate(after):
        for tag in font.keys():
            if tag != "GlyphOrder":
                font[tag]
        old = before[i] if i < len(before) else None
        tags = set(font.reader.keys()) | (set(old.reader.keys()) if old else set())
        for tag in sorted(tags):
            if old is None or tag not in old.reader:
                print("%d %s added" % (i, tag))
            elif tag not in font.reader:
                print("%d %s removed" % (i, tag))
            elif table_bytes(old, tag) != table_bytes(font, tag):
                print("%d %s changed" % (i, tag))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
