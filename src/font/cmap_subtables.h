// The character-map subtables the cmap editor reads and rewrites.
//
// Format 4 (segment mapping to delta values), from its own offset:
//   0 u16 format 4      6 u16 segCountX2        14        u16 endCode[n]
//   2 u16 length        8 u16 searchRange       16 + 2n   u16 startCode[n]
//   4 u16 language     10 u16 entrySelector     16 + 4n   i16 idDelta[n]
//                      12 u16 rangeShift        16 + 6n   u16 idRangeOffset[n]
//   (then the glyphIdArray; the reservedPad word lies at 14 + 2n)
// Format 12 (segmented coverage):
//   0 u16 format 12   2 u16 reserved   4 u32 length   8 u32 language
//   12 u32 numGroups  16 groups of {u32 startCharCode, u32 endCharCode,
//                                   u32 startGlyphID}
#ifndef TAVREL_FONT_CMAP_SUBTABLES_H
#define TAVREL_FONT_CMAP_SUBTABLES_H

#include "font/bytes.h"

#include <cstdint>
#include <vector>

namespace cmap_subtables {

const size_t CODES = 65536;

// A run of codes given new glyphs: start + k gets gno + k, or every code
// is unmapped when gno is 0xFFFF.
struct run {
    uint32_t start, end;
    uint16_t gno;
};

// Fills map[0 ... 0xFFFF] from the format 4 subtable at `sub`. Returns 0,
// or 1 (map all 0) when it is not format 4 or its arrays do not fit.
int decode_format4(byte_span table, size_t sub, uint16_t* map);

// A format 4 subtable of map's codes 0 ... 0xFFFE, deltas only, with the
// final 0xFFFF segment. False when it needs more segments than the 16-bit
// length can describe.
bool encode_format4(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out);

// The format 12 subtable at `sub` with `change` applied (its groups cut
// around the run and the run's group put in). False when it is not a
// format 12 subtable that fits in the table.
bool edit_format12(byte_span table, size_t sub, const run& change, std::vector<unsigned char>* out);

// How many bytes the subtable at `sub` declares, cut at the table's end;
// 0 when its format does not say (or it lies outside the table).
size_t declared_length(byte_span table, size_t sub);

} // namespace cmap_subtables

#endif
