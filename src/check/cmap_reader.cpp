#include "check/cmap_reader.h"

byte_span cmap_subtable(byte_span cmap, unsigned platform, unsigned encoding) {
    const unsigned n = cmap.u16(2);
    for (unsigned i = 0; i < n && cmap.has(4 + 8 * (size_t)i, 8); i++) {
        const size_t r = 4 + 8 * (size_t)i;
        if (cmap.u16(r) == platform && cmap.u16(r + 2) == encoding)
            return cmap.from(cmap.u32(r + 4));
    }
    return byte_span();
}

bool cmap_decode_bmp(byte_span sub, std::vector<uint16_t>* glyphs) {
    glyphs->assign(0x10000, 0);
    return cmap_each(sub, [&](uint32_t code, unsigned glyph) {
        if (code <= 0xFFFF)
            (*glyphs)[code] = (uint16_t)glyph;
    });
}
