// The character-map subtables the cmap editor reads and rewrites.
//
// Format 0 (byte encoding), from its own offset:
//   0 u16 format 0   2 u16 length   4 u16 language   6 u8 glyphIdArray[256]
// Format 4 (segment mapping to delta values):
//   0 u16 format 4      6 u16 segCountX2        14        u16 endCode[n]
//   2 u16 length        8 u16 searchRange       16 + 2n   u16 startCode[n]
//   4 u16 language     10 u16 entrySelector     16 + 4n   i16 idDelta[n]
//                      12 u16 rangeShift        16 + 6n   u16 idRangeOffset[n]
//   (then the glyphIdArray; the reservedPad word lies at 14 + 2n)
// Format 6 (trimmed table):
//   0 u16 format 6   2 u16 length   4 u16 language   6 u16 firstCode
//   8 u16 entryCount   10 u16 glyphIdArray[entryCount]
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
const uint32_t LAST_CODE = 0x10FFFF;

// A run of codes given new glyphs: start + k gets gno + k, or every code
// is unmapped when gno is 0xFFFF.
struct run {
    uint32_t start, end;
    uint16_t gno;
};

// Codes start ... end mapped to glyph, glyph + 1, ...
struct group {
    uint32_t start, end, glyph;
    bool operator==(const group& o) const {
        return start == o.start && end == o.end && glyph == o.glyph;
    }
};

// Codes still to be written while overlapping segments or groups are
// applied last to first (the later one wins), so that each code costs one
// step however they overlap.
class free_codes {
  public:
    free_codes();
    // The first free code at or after c (CODES when none).
    uint32_t find(uint32_t c);
    void take(uint32_t c) { next[c] = c + 1; }

  private:
    std::vector<uint32_t> next;
};

// The format 4 subtable at `sub` into map[0 ... 0xFFFF]: 0, or 1 (map all
// 0) when it is not format 4 or its arrays do not fit.
int decode_format4(byte_span table, size_t sub, uint16_t* map);

// Fills map[0 ... 0xFFFF] from the subtable at `sub` (format 0, 4, 6 or
// 12) and, when `wide` is given, puts the mappings past U+FFFF in it as
// sorted groups that do not overlap. Returns 0, or 1 (map all 0, wide
// empty) when the format is another or the subtable does not fit.
int decode_bmp(byte_span table, size_t sub, uint16_t* map, std::vector<group>* wide = nullptr);

// The smallest format 4 subtable of map's codes (U+FFFF included when it
// is mapped), with the final 0xFFFF segment: runs of consecutive glyphs
// as idDelta segments, the rest through the glyphIdArray, split where
// that saves bytes. False when even that passes the 16-bit length.
bool encode_format4(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out);
// Formats 0 and 6 of map; false when the map does not fit the format
// (format 0: codes and glyphs up to 0xFF; format 6: one span of codes
// short enough for the 16-bit length).
bool encode_format0(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out);
bool encode_format6(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out);

// The format 12 subtable at `sub` with `change` applied (its groups cut
// around the run and the run's group put in). False when it is not a
// format 12 subtable that fits in the table.
bool edit_format12(byte_span table, size_t sub, const run& change, std::vector<unsigned char>* out);

// How many bytes the subtable at `sub` declares, cut at the table's end;
// 0 when its format does not say (or it lies outside the table).
size_t declared_length(byte_span table, size_t sub);

} // namespace cmap_subtables

#endif
