// ttf_cmap: the character-to-glyph map ("cmap"). Of a loaded table only the
// Windows Unicode BMP subtable (platform 3, encoding 1) in format 4 is
// decoded; after an edit the table is rebuilt as that single subtable:
//
//   0      u16 version 0           12     u16 format 4
//   2      u16 numTables 1         14     u16 subtable length 8n + 16
//   4      u16 platformID 3        16     u16 language 0
//   6      u16 encodingID 1        18     u16 segCountX2 2n
//   8      u32 subtable offset 12  20..24 u16 searchRange, entrySelector, rangeShift
//   26     u16 endCode[n]          26+2n  u16 reservedPad
//   28+2n  u16 startCode[n]        28+4n  i16 idDelta[n]
//   28+6n  u16 idRangeOffset[n] (all 0)
// n counts the segments including the final 0xFFFF..0xFFFF one.
#ifndef TAVREL_FONT_CMAP_H
#define TAVREL_FONT_CMAP_H

#include "font/ttf_table.h"

class ttf_cmap : public ttf_table {
  public:
    ttf_cmap(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_cmap() override;

    // 0 decoded; -1 no (3, 1) subtable; 1 the subtable is not format 4 or
    // does not fit in the table. chrmap is all 0 unless decoded.
    int get_tbl();
    // Rebuilds the table from chrmap. Returns 0, or -1 (table unchanged)
    // when the segments do not fit in one format 4 subtable.
    int set_tbl();
    // Maps start..end to gno, gno + 1, ... (or unmaps it for gno 0xFFFF)
    // and rebuilds. Returns 0, or -1 with nothing changed when the result
    // does not fit in the table.
    int set_chr(unsigned short start, unsigned short end, unsigned short gno);
    unsigned short get_gno(unsigned short chr) const;
    unsigned short get_chr(unsigned short gno) const;
    int create_default();

    // Glyph number of every code U+0000..U+FFFF; 0 = not mapped.
    unsigned short* chrmap;
};

#endif
