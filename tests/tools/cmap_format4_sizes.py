#!/usr/bin/python3
"""Prints, for each format 4 subtable of a TrueType file, how many bytes
fontTools' compiler makes of the same map: one "platform encoding bytes"
line each.
Usage: cmap_format4_sizes.py FONT"""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable


def main(path):
    font = TTFont(path, lazy=True)
    for table in font["cmap"].tables:
        if table.format != 4:
            continue
        fresh = CmapSubtable.newSubtable(4)
        fresh.platformID, fresh.platEncID = table.platformID, table.platEncID
        fresh.language = table.language
        fresh.cmap = dict(table.cmap)
        print(table.platformID, table.platEncID, len(fresh.compile(font)))


if __name__ == "__main__":
    main(sys.argv[1])
