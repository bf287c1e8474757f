#!/usr/bin/python3
"""Builds a TrueType collection from installed fonts with fontTools.

build_collection.py OUT [--v2] FONT[=NEW NAME] ...

Each FONT becomes a face; with "=NEW NAME" the face is the same font under
another family name, so that it shares every table but name with the other
faces made of that font (fontTools shares tables whose bytes are equal).
With --v2 the header is made version 2 and holds a signature ('DSIG' and
some bytes at the end of the file) that is not a valid one, only a range
of bytes the editor must keep or drop.
"""
import struct
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection


def renamed(path, family):
    font = TTFont(path)
    for record in font["name"].names:
        if record.nameID in (1, 4, 16):
            record.string = family if record.nameID != 4 else family + " Regular"
    return font


def make_v2(data):
    count = struct.unpack(">L", data[8:12])[0]
    old_header = 12 + 4 * count
    offsets = [o + 12 for o in struct.unpack(">%dL" % count, data[12:old_header])]
    body = bytearray(data[old_header:])
    # Every offset in the file moves down by the 12 bytes the header grows.
    for diroffset in offsets:
        at = diroffset - 12 - old_header
        tables = struct.unpack(">H", body[at + 4:at + 6])[0]
        for i in range(tables):
            e = at + 12 + 16 * i + 8
            body[e:e + 4] = struct.pack(">L", struct.unpack(">L", body[e:e + 4])[0] + 12)
    signature = b"\x00\x00\x00\x01\x00\x00\x00\x00" + b"not a real signature"
    end = old_header + 12 + len(body)
    pad = (4 - end % 4) % 4
    header = b"ttcf" + struct.pack(">LL", 0x00020000, count)
    header += struct.pack(">%dL" % count, *offsets)
    header += b"DSIG" + struct.pack(">LL", len(signature), end + pad)
    return header + bytes(body) + b"\0" * pad + signature


def main(argv):
    out = argv[1]
    v2 = "--v2" in argv
    specs = [a for a in argv[2:] if a != "--v2"]
    collection = TTCollection()
    for spec in specs:
        path, _, family = spec.partition("=")
        collection.fonts.append(renamed(path, family) if family else TTFont(path))
    collection.save(out, shareTables=True)
    if v2:
        with open(out, "rb") as f:
            data = f.read()
        with open(out, "wb") as f:
            f.write(make_v2(data))


if __name__ == "__main__":
    main(sys.argv)
