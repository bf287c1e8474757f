// The fixed-layout tables: head, maxp, hhea with hmtx's size; and cvt's
// length.
//
// head (54 bytes): 0 version, 12 magicNumber, 18 unitsPerEm, 36-42 box,
// 50 indexToLocFormat, 52 glyphDataFormat.
// maxp: 0 version (0.5: 6 bytes, 1.0: 32 bytes), 4 numGlyphs, 14 maxZones.
// hhea (36 bytes): 0 version, 4 ascender, 8 lineGap, 32 metricDataFormat,
// 34 numberOfHMetrics.
#include "check/check_context.h"

namespace {

const uint32_t HEAD = tag_of("head"), MAXP = tag_of("maxp"), HHEA = tag_of("hhea"),
               HMTX = tag_of("hmtx"), GLYF = tag_of("glyf"), CVT = tag_of("cvt ");

} // namespace

void check_head(check_context& c) {
    if (!c.tables.has(HEAD))
        return;
    byte_span h = c.tables.find(HEAD);
    if (h.size() < 54) {
        c.error(HEAD, "head has %zu bytes; its fields take 54", h.size());
        return;
    }
    if (h.u16(0) != 1)
        c.error(HEAD, "head's major version is %u; readers know version 1", h.u16(0));
    if (h.u32(12) != 0x5F0F3CF5)
        c.error(HEAD, "head.magicNumber is 0x%08X; it is 0x5F0F3CF5", h.u32(12));
    const unsigned upem = h.u16(18);
    if (upem < 16 || upem > 16384)
        c.error(HEAD, "head.unitsPerEm is %u; it lies between 16 and 16384", upem);
    const int16_t x0 = h.s16(36), y0 = h.s16(38), x1 = h.s16(40), y1 = h.s16(42);
    if (x0 > x1 || y0 > y1)
        c.error(HEAD, "head's box (%d, %d, %d, %d) has a minimum above its maximum", x0, y0, x1,
                y1);
    const int16_t loc = h.s16(50);
    if (loc != 0 && loc != 1)
        c.error(HEAD, "head.indexToLocFormat is %d; it is 0 (short loca) or 1 (long loca)", loc);
    if (h.s16(52) != 0)
        c.error(HEAD, "head.glyphDataFormat is %d; it is 0", h.s16(52));
}

void check_maxp(check_context& c) {
    if (!c.tables.has(MAXP))
        return;
    byte_span m = c.tables.find(MAXP);
    const uint32_t version = m.u32(0);
    // Readers go by the major version: 1 has the TrueType maxima, 0 is
    // taken for 0.5.
    const unsigned major = version >> 16;
    if (major > 1) {
        c.error(MAXP, "maxp's version is 0x%08X; it is 0x00010000 (or 0x00005000 without glyf)",
                version);
        return;
    }
    const size_t needed = major == 1 ? 32 : 6;
    if (m.size() < needed) {
        c.error(MAXP, "maxp version 0x%08X has %zu bytes; its fields take %zu", version, m.size(),
                needed);
        return;
    }
    if (version != 0x00010000 && version != 0x00005000)
        c.warning(MAXP, "maxp's version is 0x%08X; it is 0x%08X", version,
                  major == 1 ? 0x00010000u : 0x00005000u);
    if (m.u16(4) == 0)
        c.error(MAXP, "maxp.numGlyphs is 0; a font has at least the missing-character glyph");
    if (major == 0) {
        if (c.tables.has(GLYF))
            c.warning(MAXP, "maxp is version 0.5, which has no TrueType maxima; a font with glyf "
                            "needs version 1.0");
        return;
    }
    // Readers take 0 for 1 and 3 for 2, and refuse more.
    const unsigned zones = m.u16(14);
    if (zones > 3)
        c.error(MAXP, "maxp.maxZones is %u; it is 1, or 2 with a twilight zone", zones);
    else if (zones != 1 && zones != 2)
        c.warning(MAXP, "maxp.maxZones is %u; it is 1, or 2 with a twilight zone", zones);
}

void check_hhea_hmtx(check_context& c) {
    if (!c.tables.has(HHEA))
        return;
    byte_span h = c.tables.find(HHEA);
    if (h.size() < 36) {
        c.error(HHEA, "hhea has %zu bytes; its fields take 36", h.size());
        return;
    }
    if (h.u16(0) != 1)
        c.error(HHEA, "hhea's major version is %u; readers know version 1", h.u16(0));
    if (h.s16(32) != 0)
        c.error(HHEA, "hhea.metricDataFormat is %d; it is 0", h.s16(32));
    if (h.s16(4) < 0)
        c.warning(HHEA, "hhea.ascender is %d; it is not below 0", h.s16(4));
    if (h.s16(8) < 0)
        c.warning(HHEA, "hhea.lineGap is %d; it is not below 0", h.s16(8));
    const unsigned count = h.u16(34);
    if (count == 0) {
        c.error(HHEA, "hhea.numberOfHMetrics is 0; glyph 0 needs an advance width");
        return;
    }
    if (c.numglyphs == 0)
        return;
    if (count > c.numglyphs) {
        c.error(HHEA, "hhea.numberOfHMetrics is %u; maxp.numGlyphs is only %u", count, c.numglyphs);
        return;
    }
    if (!c.tables.has(HMTX))
        return;
    const size_t needed = 4 * (size_t)count + 2 * (size_t)(c.numglyphs - count);
    const size_t have = c.tables.find(HMTX).size();
    if (have < needed)
        c.error(HMTX, "hmtx has %zu bytes; %u advance widths and %u more side bearings take %zu",
                have, count, c.numglyphs - count, needed);
    else if (have > needed + 3)
        c.note(HMTX, "hmtx has %zu bytes; its %u metrics take only %zu", have, c.numglyphs, needed);
}

void check_cvt(check_context& c) {
    const byte_span t = c.tables.find(CVT);
    if (c.tables.has(CVT) && t.size() % 2 != 0)
        c.error(CVT, "cvt has %zu bytes; it holds 16-bit values, so its length is even", t.size());
}
