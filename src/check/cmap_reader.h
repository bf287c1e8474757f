// Reading character maps for the checks that compare them (with each
// other, with OS/2): finding a subtable, and decoding what it maps.
// Damaged parts map nothing; check_cmap says what is wrong with them.
#ifndef TAVREL_CHECK_CMAP_READER_H
#define TAVREL_CHECK_CMAP_READER_H

#include "font/bytes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The first subtable of this platform and encoding, from its offset to
// cmap's end; empty when there is none.
byte_span cmap_subtable(byte_span cmap, unsigned platform, unsigned encoding);

// Calls map(code, glyph) for every code a format 4, 12 or 13 subtable
// maps to a glyph other than 0, each code once, in ascending order (parts
// out of order are skipped, so that no damage makes this loop long).
// False for other formats.
template <typename F> bool cmap_each(byte_span sub, F map);

// The BMP codes a subtable maps (glyph per code, 0 for none).
bool cmap_decode_bmp(byte_span sub, std::vector<uint16_t>* glyphs);

template <typename F> bool cmap_each(byte_span sub, F map) {
    const unsigned fmt = sub.u16(0);
    if (fmt == 4) {
        const byte_span t = sub.slice(0, sub.u16(2));
        const unsigned segx2 = t.u16(6), segs = segx2 / 2;
        const size_t ends = 14, starts = 16 + (size_t)segx2, deltas = starts + segx2,
                     ranges = deltas + segx2;
        unsigned next = 0;
        for (unsigned i = 0; i < segs && t.has(ranges + 2 * (size_t)i, 2); i++) {
            const unsigned start = std::max<unsigned>(t.u16(starts + 2 * i), next);
            const unsigned end = t.u16(ends + 2 * i);
            const uint16_t delta = t.u16(deltas + 2 * i), ro = t.u16(ranges + 2 * i);
            const unsigned first = t.u16(starts + 2 * i);
            next = std::max(next, end + 1);
            for (unsigned code = start; code <= end; code++) {
                unsigned glyph;
                if (ro == 0) {
                    glyph = (code + delta) & 0xFFFF;
                } else {
                    const size_t at = ranges + 2 * (size_t)i + ro + 2 * (size_t)(code - first);
                    if (!t.has(at, 2))
                        break;
                    glyph = t.u16(at);
                    if (glyph)
                        glyph = (glyph + delta) & 0xFFFF;
                }
                if (glyph)
                    map((uint32_t)code, glyph);
            }
        }
        return true;
    }
    if (fmt == 12 || fmt == 13) {
        const byte_span t = sub.slice(0, sub.u32(4));
        const uint32_t groups = t.u32(12);
        uint64_t next = 0;
        for (uint32_t i = 0; i < groups && t.has(16 + 12 * (size_t)i, 12); i++) {
            const size_t g = 16 + 12 * (size_t)i;
            const uint32_t first = t.u32(g), glyph = t.u32(g + 8);
            const uint64_t start = std::max<uint64_t>(first, next);
            const uint64_t end = std::min<uint32_t>(t.u32(g + 4), 0x10FFFF);
            next = std::max(next, end + 1);
            for (uint64_t code = start; code <= end; code++) {
                const uint64_t gl = fmt == 12 ? glyph + (code - first) : glyph;
                if (gl)
                    map((uint32_t)code, (unsigned)std::min<uint64_t>(gl, 0xFFFFFFFF));
            }
        }
        return true;
    }
    return false;
}

#endif
