// Embedded bitmaps: EBLC's strikes and index subtables, and the images
// they point at in EBDT. Readers drop these tables when they are damaged
// and keep the font, so every fault here is a warning.
//
// EBLC: version (32), numSizes (32), then 48-byte BitmapSize records:
// 0 indexSubTableArrayOffset, 8 numberOfIndexSubTables, 40 startGlyphIndex,
// 42 endGlyphIndex, 44 ppemX, 45 ppemY, 46 bitDepth. Each array entry:
// firstGlyphIndex, lastGlyphIndex, additionalOffsetToIndexSubtable (32).
// Index subtable header: indexFormat, imageFormat, imageDataOffset (32).
#include "check/check_context.h"

namespace {

const uint32_t EBLC = tag_of("EBLC"), EBDT = tag_of("EBDT");

struct strike_check {
    check_context& c;
    byte_span eblc, ebdt;
    unsigned size, depth;
    std::string where;

    void say(const char* what) { c.warning(EBLC, "%s: %s", where.c_str(), what); }
    bool fail(const std::string& what) {
        say(what.c_str());
        return false;
    }

    size_t data_bytes(unsigned height, unsigned width, bool bit_aligned) const {
        if (bit_aligned)
            return ((size_t)height * width * depth + 7) / 8;
        return (size_t)height * (((size_t)width * depth + 7) / 8);
    }

    // Whether the image of glyph g at [offset, offset + length) of EBDT
    // holds what its format needs.
    bool image(unsigned g, unsigned fmt, uint64_t offset, uint64_t length) {
        if (offset + length > ebdt.size())
            return fail(format("glyph %u's image (%llu bytes at %llu) lies past EBDT's end", g,
                               (unsigned long long)length, (unsigned long long)offset));
        const byte_span img = ebdt.slice((size_t)offset, (size_t)length);
        size_t needed = 0;
        switch (fmt) {
        case 1:
        case 2:
            needed = 5 + (img.size() >= 5 ? data_bytes(img.u8(0), img.u8(1), fmt == 2) : 0);
            break;
        case 6:
        case 7:
            needed = 8 + (img.size() >= 8 ? data_bytes(img.u8(0), img.u8(1), fmt == 7) : 0);
            break;
        case 8:
            needed = 8 + (img.size() >= 8 ? 4 * (size_t)img.u16(6) : 0);
            break;
        case 9:
            needed = 10 + (img.size() >= 10 ? 4 * (size_t)img.u16(8) : 0);
            break;
        default:
            return true;
        }
        if (length < needed)
            return fail(format("glyph %u's image has %llu bytes; image format %u with its "
                               "metrics needs %zu",
                               g, (unsigned long long)length, fmt, needed));
        return true;
    }

    void subtable(size_t array, unsigned k, unsigned start, unsigned end) {
        const size_t e = array + 8 * (size_t)k;
        const unsigned first = eblc.u16(e), last = eblc.u16(e + 2);
        const uint64_t at = (uint64_t)array + eblc.u32(e + 4);
        where = format("strike %u, index subtable %u (glyphs %u-%u)", size, k, first, last);
        if (first > last || first < start || last > end) {
            say(format("its glyphs lie outside the strike's %u-%u or run backwards", start, end)
                    .c_str());
            return;
        }
        if (!eblc.has((size_t)at, 8)) {
            say("its header lies past the end of EBLC");
            return;
        }
        const unsigned ifmt = eblc.u16((size_t)at), fmt = eblc.u16((size_t)at + 2);
        const uint64_t base = eblc.u32((size_t)at + 4);
        if (fmt != 1 && fmt != 2 && fmt != 5 && fmt != 6 && fmt != 7 && fmt != 8 && fmt != 9) {
            say(format("its image format is %u; EBDT has formats 1, 2, 5, 6, 7, 8 and 9", fmt)
                    .c_str());
            return;
        }
        const size_t body = (size_t)at + 8;
        const unsigned count = last - first + 1;
        switch (ifmt) {
        case 1:
        case 3: {
            const size_t w = ifmt == 1 ? 4 : 2;
            if (!eblc.has(body, w * (count + 1)))
                return say("its offsets run past the end of EBLC");
            auto off = [&](unsigned i) -> uint64_t {
                return w == 4 ? eblc.u32(body + 4 * i) : eblc.u16(body + 2 * i);
            };
            for (unsigned i = 0; i < count; i++) {
                if (off(i + 1) < off(i))
                    return say(format("glyph %u's offset goes backwards", first + i).c_str());
                if (off(i + 1) > off(i) &&
                    !image(first + i, fmt, base + off(i), off(i + 1) - off(i)))
                    return;
            }
            return;
        }
        case 2:
        case 5: {
            if (!eblc.has(body, 12))
                return say("its image size and metrics run past the end of EBLC");
            const uint64_t imagesize = eblc.u32(body);
            const unsigned height = eblc.u8(body + 4), width = eblc.u8(body + 5);
            unsigned glyphs = count;
            if (ifmt == 5) {
                glyphs = eblc.u32(body + 12);
                if (!eblc.has(body + 16, 2 * (size_t)glyphs))
                    return say("its glyph list runs past the end of EBLC");
            }
            if (fmt == 5 && imagesize < data_bytes(height, width, true))
                return say(format("its images have %llu bytes; %ux%u at %u bits per pixel need "
                                  "%zu",
                                  (unsigned long long)imagesize, width, height, depth,
                                  data_bytes(height, width, true))
                               .c_str());
            if (base + imagesize * glyphs > ebdt.size())
                say(format("its %u images of %llu bytes run past EBDT's end", glyphs,
                           (unsigned long long)imagesize)
                        .c_str());
            return;
        }
        case 4: {
            if (!eblc.has(body, 4))
                return say("its glyph count runs past the end of EBLC");
            const uint32_t glyphs = eblc.u32(body);
            if ((eblc.size() - body - 4) / 4 < (uint64_t)glyphs + 1)
                return say("its glyph list runs past the end of EBLC");
            for (uint32_t i = 0; i < glyphs; i++) {
                const size_t p = body + 4 + 4 * (size_t)i;
                const unsigned g = eblc.u16(p), off = eblc.u16(p + 2), next = eblc.u16(p + 6);
                if (next < off || (i > 0 && g <= eblc.u16(p - 4)))
                    return say(format("glyph %u's entry is out of order", g).c_str());
                if (!image(g, fmt, base + off, next - off))
                    return;
            }
            return;
        }
        default:
            say(format("its index format is %u; EBLC has formats 1 to 5", ifmt).c_str());
        }
    }
};

} // namespace

void check_bitmaps(check_context& c) {
    if (!c.tables.has(EBLC) && !c.tables.has(EBDT))
        return;
    if (!c.tables.has(EBLC) || !c.tables.has(EBDT))
        return c.warning(c.tables.has(EBLC) ? EBLC : EBDT,
                         "EBLC and EBDT come together; the font has only one of them");
    const byte_span eblc = c.tables.find(EBLC), ebdt = c.tables.find(EBDT);
    if (ebdt.u32(0) != 0x00020000)
        c.warning(EBDT, "EBDT's version is 0x%08X; it is 0x00020000", ebdt.u32(0));
    if (eblc.size() < 8)
        return c.warning(EBLC, "EBLC has %zu bytes; its header takes 8", eblc.size());
    if (eblc.u32(0) != 0x00020000)
        c.warning(EBLC, "EBLC's version is 0x%08X; it is 0x00020000", eblc.u32(0));
    const uint32_t sizes = eblc.u32(4);
    if ((eblc.size() - 8) / 48 < sizes)
        return c.warning(EBLC, "EBLC's %u strikes run past its %zu bytes", sizes, eblc.size());
    for (uint32_t s = 0; s < sizes; s++) {
        const size_t r = 8 + 48 * (size_t)s;
        strike_check k{c, eblc, ebdt, s, eblc.u8(r + 46), format("strike %u", s)};
        const unsigned start = eblc.u16(r + 40), end = eblc.u16(r + 42);
        if (k.depth != 1 && k.depth != 2 && k.depth != 4 && k.depth != 8) {
            k.say(format("its bitDepth is %u; it is 1, 2, 4 or 8", k.depth).c_str());
            continue;
        }
        if (start > end || (c.numglyphs > 0 && end >= c.numglyphs)) {
            k.say(format("its glyphs %u-%u run backwards or past the font's %u glyphs", start, end,
                         c.numglyphs)
                      .c_str());
            continue;
        }
        const size_t array = eblc.u32(r);
        const uint32_t tables = eblc.u32(r + 8);
        if (!eblc.has(array, 8 * (size_t)tables)) {
            k.say("its index subtables run past the end of EBLC");
            continue;
        }
        for (uint32_t t = 0; t < tables; t++)
            k.subtable(array, t, start, end);
    }
}
