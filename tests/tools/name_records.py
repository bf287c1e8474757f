#!/usr/bin/python3
"""Reads a 'name' table (bare, or the one of a font file) with fontTools and prints one line per record:
platformID encodingID languageID nameID, then the stored bytes in hex, then
the text fontTools decodes (or '-' when it has no decoding for the record).
With --reencode after the path, each line ends with the bytes fontTools
writes for that text in the record's encoding (or '-').
Exits 1 when fontTools reports the table malformed."""
import logging
import sys

from fontTools.ttLib import newTable

errors = []


class Collect(logging.Handler):
    def emit(self, record):
        if record.levelno >= logging.ERROR:
            errors.append(record.getMessage())


logging.getLogger("fontTools").addHandler(Collect())

with open(sys.argv[1], "rb") as f:
    data = f.read()
if data[:4] in (b"\x00\x01\x00\x00", b"true"):
    from fontTools.ttLib import TTFont
    data = TTFont(sys.argv[1]).reader["name"]
table = newTable("name")
table.decompile(data, None)
reencode = "--reencode" in sys.argv[2:]
for rec in table.names:
    try:
        text = rec.toUnicode(errors="strict") if rec.getEncoding() else "-"
    except (UnicodeDecodeError, LookupError):
        text = "?"
    line = "%d %d %d %d %s %s" % (rec.platformID, rec.platEncID, rec.langID, rec.nameID,
                                  rec.string.hex(), text)
    if reencode:
        again = "-"
        if text not in ("-", "?"):
            rec.string = text
            again = rec.toBytes().hex()
        line += " " + again
    sys.stdout.buffer.write((line + "\n").encode("utf-8"))
if errors:
    print("\n".join(errors), file=sys.stderr)
    sys.exit(1)
