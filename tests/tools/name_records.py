#!/usr/bin/python3
"""Reads a bare 'name' table with fontTools and prints one line per record:
platformID encodingID languageID nameID, then the stored bytes in hex, then
the text fontTools decodes (or '-' when it has no decoding for the record).
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
table = newTable("name")
table.decompile(data, None)
for rec in table.names:
    try:
        text = rec.toUnicode(errors="strict") if rec.getEncoding() else "-"
    except (UnicodeDecodeError, LookupError):
        text = "?"
    sys.stdout.buffer.write(("%d %d %d %d %s %s\n" % (rec.platformID, rec.platEncID, rec.langID,
                                                      rec.nameID, rec.string.hex(), text)).encode("utf-8"))
if errors:
    print("\n".join(errors), file=sys.stderr)
    sys.exit(1)
