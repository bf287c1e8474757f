// OS/2, post and gasp.
//
// OS/2: 0 version, 4 usWeightClass, 6 usWidthClass, 62 fsSelection,
// 64 usFirstCharIndex, 66 usLastCharIndex, 72 sTypoLineGap; version 0
// takes 78 bytes, 1 takes 86, 2-4 take 96, 5 takes 100.
// post: 0 version, 32 bytes of header; version 2 adds numGlyphs, a name
// index per glyph and Pascal strings.
// gasp: version, numRanges, then (rangeMaxPPEM, rangeGaspBehavior) pairs.
#include "check/check_context.h"
#include "check/cmap_reader.h"

#include <algorithm>

namespace {

const uint32_t OS2 = tag_of("OS/2"), POST = tag_of("post"), GASP = tag_of("gasp"),
               CMAP = tag_of("cmap");

// The first and last code the font's main Unicode (or symbol) subtable
// maps; false when there is none to read.
bool mapped_range(byte_span cmap, uint32_t* first, uint32_t* last) {
    const unsigned pairs[][2] = {{3, 10}, {0, 4}, {3, 1}, {0, 3}, {0, 1}, {0, 0}, {3, 0}};
    for (const auto& p : pairs) {
        byte_span sub = cmap_subtable(cmap, p[0], p[1]);
        if (sub.size() == 0)
            continue;
        bool any = false;
        if (!cmap_each(sub, [&](uint32_t code, unsigned) {
                if (!any)
                    *first = code;
                *last = code;
                any = true;
            }))
            continue;
        return any;
    }
    return false;
}

} // namespace

void check_os2(check_context& c) {
    if (!c.tables.has(OS2))
        return;
    const byte_span t = c.tables.find(OS2);
    if (t.size() < 78)
        return c.error(OS2, "OS/2 has %zu bytes; even version 0 takes 78", t.size());
    const unsigned version = t.u16(0);
    if (version > 5)
        return c.error(OS2, "OS/2's version is %u; readers know versions 0 to 5", version);
    // Readers take a table too short for its version for an older one,
    // except when it ends inside ulCodePageRange (bytes 78-86) or inside
    // version 5's fields.
    if (version == 5 && t.size() >= 96 && t.size() < 100)
        return c.error(OS2, "OS/2 version 5 has %zu bytes; its fields take 100", t.size());
    if (version >= 1 && t.size() >= 84 && t.size() < 86)
        return c.error(OS2, "OS/2 version %u has %zu bytes, which end inside ulCodePageRange2",
                       version, t.size());
    const size_t needed = version == 5 ? 100 : version >= 2 ? 96 : version == 1 ? 86 : 78;
    if (t.size() < needed)
        c.warning(OS2,
                  "OS/2 version %u has %zu bytes; its fields take %zu, so readers take it "
                  "for an older version",
                  version, t.size(), needed);
    const unsigned weight = t.u16(4), width = t.u16(6);
    if (weight < 1 || weight > 1000)
        c.warning(OS2, "OS/2.usWeightClass is %u; it lies between 1 and 1000", weight);
    if (width < 1 || width > 9)
        c.warning(OS2, "OS/2.usWidthClass is %u; it lies between 1 and 9", width);
    if (t.u16(64) > t.u16(66))
        c.warning(OS2, "OS/2.usFirstCharIndex U+%04X lies after usLastCharIndex U+%04X", t.u16(64),
                  t.u16(66));
    if (t.s16(72) < 0)
        c.warning(OS2, "OS/2.sTypoLineGap is %d; it is not below 0", t.s16(72));
    if (version < 4 && (t.u16(62) & 0x0380))
        c.warning(OS2, "OS/2.fsSelection is 0x%04X; bits 7 to 9 exist only from version 4",
                  t.u16(62));
}

void check_os2_cmap(check_context& c) {
    const byte_span t = c.tables.find(OS2);
    if (t.size() < 78 || !c.tables.has(CMAP))
        return;
    uint32_t first = 0, last = 0;
    if (!mapped_range(c.tables.find(CMAP), &first, &last))
        return;
    const unsigned f = std::min<uint32_t>(first, 0xFFFF), l = std::min<uint32_t>(last, 0xFFFF);
    if (t.u16(64) != f)
        c.warning(OS2, "OS/2.usFirstCharIndex is U+%04X, cmap's first character is U+%04X",
                  t.u16(64), f);
    if (t.u16(66) != l)
        c.warning(OS2, "OS/2.usLastCharIndex is U+%04X, cmap's last character is U+%04X%s",
                  t.u16(66), l, last > 0xFFFF ? " (capped at U+FFFF)" : "");
}

void check_post(check_context& c) {
    if (!c.tables.has(POST))
        return;
    const byte_span t = c.tables.find(POST);
    if (t.size() < 32)
        return c.error(POST, "post has %zu bytes; its header takes 32", t.size());
    const uint32_t version = t.u32(0);
    if (version == 0x00010000 || version == 0x00030000)
        return;
    if (version != 0x00020000)
        return c.error(POST,
                       "post's version is 0x%08X; readers know 0x00010000, 0x00020000 and "
                       "0x00030000",
                       version);
    if (t.size() < 34)
        return c.error(POST, "post version 2 has %zu bytes; its glyph count takes 34", t.size());
    const unsigned n = t.u16(32);
    if (c.numglyphs > 0 && n != c.numglyphs)
        return c.error(POST, "post.numberOfGlyphs is %u; maxp.numGlyphs is %u", n, c.numglyphs);
    if (34 + 2 * (size_t)n > t.size())
        return c.error(POST, "post's %u name indices run past its %zu bytes", n, t.size());
    size_t strings = 0;
    for (size_t pos = 34 + 2 * (size_t)n; pos < t.size(); strings++) {
        const size_t len = t.u8(pos);
        if (!t.has(pos + 1, len))
            return c.error(POST, "name string %zu (%zu bytes) runs past the end of post", strings,
                           len);
        for (size_t k = 0; k < len; k++)
            if (t.u8(pos + 1 + k) == 0)
                return c.error(POST, "name string %zu holds a NUL character", strings);
        pos += 1 + len;
    }
    for (unsigned g = 0; g < n; g++) {
        const unsigned index = t.u16(34 + 2 * (size_t)g);
        if (index >= 258 && index - 258 >= strings) {
            c.add(severity::error, POST, (int32_t)g, -1,
                  "its name index is %u; post holds the 258 standard names and %zu more", index,
                  strings);
            return;
        }
    }
}

void check_gasp(check_context& c) {
    if (!c.tables.has(GASP))
        return;
    const byte_span t = c.tables.find(GASP);
    if (t.size() < 4)
        return c.error(GASP, "gasp has %zu bytes; its header takes 4", t.size());
    // Readers drop a gasp table of another version, or with the faults
    // further below, and keep the font.
    if (t.u16(0) > 1)
        return c.warning(GASP, "gasp's version is %u; it is 0 or 1", t.u16(0));
    const unsigned n = t.u16(2);
    if (n == 0)
        return c.warning(GASP, "gasp has no ranges; the last one ends at 0xFFFF");
    // Readers take the ranges one by one: a range out of order drops the
    // table before a range past its end is reached.
    bool flagged = false;
    for (unsigned i = 0; i < n; i++) {
        const size_t r = 4 + 4 * (size_t)i;
        if (!t.has(r, 4))
            return c.error(GASP, "gasp's %u ranges run past its %zu bytes", n, t.size());
        if (i > 0 && t.u16(r) <= t.u16(r - 4))
            return c.warning(GASP, "range %u ends at %u ppem, not above range %u's %u", i, t.u16(r),
                             i - 1, t.u16(r - 4));
        if (!flagged && (t.u16(r + 2) & ~(t.u16(0) == 0 ? 0x3u : 0xFu))) {
            flagged = true;
            c.warning(GASP, "range %u's behaviour is 0x%04X; version %u defines only bits %s", i,
                      t.u16(r + 2), t.u16(0), t.u16(0) == 0 ? "0 and 1" : "0 to 3");
        }
    }
    if (t.u16(4 * n) != 0xFFFF)
        c.warning(GASP, "gasp's last range ends at %u ppem; it ends at 0xFFFF", t.u16(4 * n));
}
