// ttf_gvar: the glyph variations table ("gvar") of a variable font. For
// each glyph it holds how the glyph's points move across the font's axes,
// as deltas from the default outline that glyf holds.
//
// Layout (big-endian):
//   0  u16      majorVersion (1)         12 u16      glyphCount
//   2  u16      minorVersion (0)         14 u16      flags (bit 0: 32-bit offsets)
//   4  u16      axisCount                16 Offset32 glyphVariationDataArrayOffset
//   6  u16      sharedTupleCount         20 glyphCount + 1 offsets into that array:
//   8  Offset32 sharedTuplesOffset          u32, or u16 holding the offset / 2
// Glyph g's variation data runs from offset g to offset g + 1; an empty run
// means the glyph does not vary. The deltas are numbered by point: the
// outline's points in contour order (a composite's components instead),
// then four phantom points for the metrics. Moving points keeps them
// valid; a glyph whose points change in number or arrangement must lose
// them.
#ifndef TAVREL_FONT_GVAR_H
#define TAVREL_FONT_GVAR_H

#include "font/ttf_table.h"

class glyph;

// Whether `g`, stored in place of the glyph record `old`, numbers its
// points as that record does: the same end points of the same contours
// (points with coordinates and on-curve flags of their own), or as many
// components. Variation data of the old record then still fits the new.
bool same_point_numbering(const byte_span& old, const glyph* g);

class ttf_gvar : public ttf_table {
  public:
    ttf_gvar(ttf* owner, unsigned char* data, unsigned long length);

    // Whether the header, the shared tuples and the offsets hold together
    // inside the table, for a font of `glyphs` glyphs.
    bool intact(unsigned glyphs) const;
    // Where glyph gno's variation data lies in the table (an empty run for
    // a glyph without variations). False when the table is not intact for
    // `glyphs` glyphs or gno is not one of them.
    bool glyph_data(unsigned glyphs, unsigned gno, size_t* offset, size_t* length) const;
    // Removes glyph gno's variation data: the later glyphs' offsets, and
    // the shared tuples if they follow it, move down by its length, so the
    // table stays consistent. True when the glyph has none left; false,
    // and nothing changed, when the table is not intact.
    bool drop(unsigned glyphs, unsigned gno);
};

#endif
