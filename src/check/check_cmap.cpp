// The character map: its encoding records and every subtable's structure
// and glyph numbers, and whether the Windows BMP and full-repertoire
// subtables agree.
//
// Format 4: format, length, language, segCountX2, searchRange,
// entrySelector, rangeShift, endCode[], reservedPad, startCode[],
// idDelta[], idRangeOffset[], glyphIdArray[].
// Formats 12 and 13: format, reserved, length (32), language (32), nGroups
// (32), then groups of startCharCode, endCharCode, startGlyphID (or the
// glyph of the whole group in format 13).
#include "check/check_context.h"
#include "check/cmap_reader.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace {

const uint32_t CMAP = tag_of("cmap");

// Subtables that readers of Unicode fonts parse, and refuse the font for
// when damaged; damage elsewhere only loses that subtable.
bool strict(unsigned platform, unsigned encoding, unsigned fmt) {
    switch (fmt) {
    case 0:
        return platform == 1 && encoding == 0;
    case 4:
        return (platform == 0 && encoding <= 3) || (platform == 3 && encoding <= 1);
    case 12:
        return (platform == 0 && (encoding == 3 || encoding == 4)) ||
               (platform == 3 && encoding == 10);
    case 13:
        return platform == 3 && encoding == 10;
    case 14:
        return platform == 0 && encoding == 5;
    }
    return false;
}

// A subtable that maps Unicode (or symbol) characters for those readers.
bool maps_unicode(unsigned platform, unsigned encoding, unsigned fmt) {
    return fmt != 0 && fmt != 14 && strict(platform, encoding, fmt);
}

struct subtable_check {
    check_context& c;
    severity level;
    std::string where; // "subtable (3, 1)"
    bool warned = false;
    void say(const std::string& what) {
        c.add(level, CMAP, -1, -1, "%s: %s", where.c_str(), what.c_str());
    }
};

void check_format4(subtable_check& s, byte_span t, bool language_matters) {
    const unsigned length = t.u16(2);
    const byte_span sub = t.slice(0, length);
    if (sub.size() != length || length < 16)
        return s.say(
            format("its length %u runs past cmap's end or leaves no room for segments", length));
    if (language_matters && t.u16(4) != 0)
        s.say(format("its language is %u; Unicode subtables have language 0", t.u16(4)));
    const unsigned segx2 = t.u16(6);
    const unsigned segs = segx2 / 2;
    if (segx2 == 0 || segx2 % 2 != 0)
        return s.say(format("segCountX2 is %u, not a positive even number", segx2));
    if (16 + 8 * (size_t)segs > length)
        return s.say(format("its %u segments need %zu bytes; its length is %u", segs,
                            16 + 8 * (size_t)segs, length));
    unsigned p = 1, log2p = 0;
    while (p * 2 <= segs) {
        p *= 2;
        log2p++;
    }
    if (t.u16(8) != 2 * p)
        s.say(format("searchRange is %u; for %u segments it is %u", t.u16(8), segs, 2 * p));
    if (t.u16(10) != log2p)
        s.say(format("entrySelector is %u; for %u segments it is %u", t.u16(10), segs, log2p));
    if (t.u16(12) != segx2 - 2 * p)
        s.say(format("rangeShift is %u; for %u segments it is %u", t.u16(12), segs, segx2 - 2 * p));
    const size_t ends = 14, starts = 16 + segx2, deltas = starts + segx2, ranges = deltas + segx2;
    if (t.u16(14 + segx2) != 0)
        s.say(format("reservedPad is %u; it is 0", t.u16(14 + segx2)));
    for (unsigned i = 1; i < segs; i++) {
        const unsigned prevend = t.u16(ends + 2 * (i - 1));
        if (t.u16(ends + 2 * i) <= prevend)
            return s.say(format("segment %u ends at U+%04X, not after segment %u's end U+%04X", i,
                                t.u16(ends + 2 * i), i - 1, prevend));
        if (t.u16(starts + 2 * i) <= prevend)
            return s.say(format("segment %u starts at U+%04X, not after segment %u's end U+%04X", i,
                                t.u16(starts + 2 * i), i - 1, prevend));
    }
    if (t.u16(starts + 2 * (segs - 1)) != 0xFFFF || t.u16(ends + 2 * (segs - 1)) != 0xFFFF)
        return s.say(format("its last segment is U+%04X-U+%04X; it is U+FFFF-U+FFFF",
                            t.u16(starts + 2 * (segs - 1)), t.u16(ends + 2 * (segs - 1))));
    for (unsigned i = 0; i < segs; i++) {
        const unsigned start = t.u16(starts + 2 * i), end = t.u16(ends + 2 * i);
        const uint16_t delta = t.u16(deltas + 2 * i), ro = t.u16(ranges + 2 * i);
        if (start > end) {
            // Readers skip such a segment.
            s.c.add(severity::warning, CMAP, -1, -1,
                    "%s: segment %u starts at U+%04X, after its end U+%04X; it maps nothing",
                    s.where.c_str(), i, start, end);
            continue;
        }
        if (ro % 2 != 0)
            return s.say(format("segment %u's idRangeOffset %u is odd", i, ro));
        for (unsigned code = start; code <= end; code++) {
            unsigned glyph;
            if (ro == 0) {
                glyph = (code + delta) & 0xFFFF;
            } else {
                const size_t at = ranges + 2 * (size_t)i + ro + 2 * (size_t)(code - start);
                if (!sub.has(at, 2))
                    return s.say(format("segment %u's glyph array for U+%04X lies past the "
                                        "subtable's end",
                                        i, code));
                const unsigned stored = sub.u16(at);
                if (stored >= s.c.numglyphs && s.c.numglyphs > 0)
                    return s.say(format("U+%04X's glyph array entry is glyph %u; the font has %u "
                                        "glyphs",
                                        code, stored, s.c.numglyphs));
                glyph = stored ? (stored + delta) & 0xFFFF : 0;
                // Readers check the stored entry only, and give up on the
                // glyph when they load it.
                if (glyph >= s.c.numglyphs && s.c.numglyphs > 0 && !s.warned) {
                    s.warned = true;
                    s.c.add(severity::warning, CMAP, -1, -1,
                            "%s: U+%04X maps to glyph %u (entry %u plus idDelta %d); the font has "
                            "%u glyphs",
                            s.where.c_str(), code, glyph, stored, (int16_t)delta, s.c.numglyphs);
                }
                continue;
            }
            if (glyph >= s.c.numglyphs && s.c.numglyphs > 0)
                return s.say(format("U+%04X maps to glyph %u; the font has %u glyphs", code, glyph,
                                    s.c.numglyphs));
        }
    }
}

void check_format12(subtable_check& s, byte_span t, unsigned fmt) {
    const uint32_t length = t.u32(4);
    const byte_span sub = t.slice(0, length);
    if (sub.size() != length || length < 16)
        return s.say(
            format("its length %u runs past cmap's end or leaves no room for groups", length));
    if (t.u32(8) != 0)
        s.say(format("its language is %u; Unicode subtables have language 0", t.u32(8)));
    const uint32_t groups = t.u32(12);
    if (groups == 0)
        return s.say("it has no groups");
    if ((length - 16) / 12 < groups)
        return s.say(format("its %u groups need %llu bytes; its length is %u", groups,
                            16 + 12ULL * groups, length));
    uint32_t prevend = 0;
    for (uint32_t i = 0; i < groups; i++) {
        const size_t g = 16 + 12 * (size_t)i;
        const uint32_t start = t.u32(g), end = t.u32(g + 4), glyph = t.u32(g + 8);
        if (start > end)
            return s.say(format("group %u starts at U+%04X, after its end U+%04X", i, start, end));
        if (end > 0x10FFFF)
            return s.say(format("group %u ends at U+%04X, past U+10FFFF", i, end));
        if (i > 0 && start <= prevend)
            return s.say(format("group %u starts at U+%04X, not after group %u's end U+%04X", i,
                                start, i - 1, prevend));
        prevend = end;
        const uint64_t last = fmt == 12 ? (uint64_t)glyph + (end - start) : glyph;
        if (s.c.numglyphs > 0 && last >= s.c.numglyphs)
            return s.say(format("group %u maps up to glyph %llu; the font has %u glyphs", i,
                                (unsigned long long)last, s.c.numglyphs));
    }
}

void check_format0(subtable_check& s, byte_span t) {
    const unsigned length = t.u16(2);
    if (t.slice(0, length).size() != length || length < 262)
        return s.say(format("its length %u runs past cmap's end or is below the 262 bytes of "
                            "format 0",
                            length));
    for (unsigned code = 0; code < 256; code++)
        if (t.u8(6 + code) >= s.c.numglyphs && s.c.numglyphs > 0) {
            s.c.add(severity::warning, CMAP, -1, -1,
                    "%s: code %u maps to glyph %u; the font has %u glyphs", s.where.c_str(), code,
                    t.u8(6 + code), s.c.numglyphs);
            return;
        }
}

void check_format6(subtable_check& s, byte_span t) {
    const unsigned length = t.u16(2), first = t.u16(6), count = t.u16(8);
    if (t.slice(0, length).size() != length || length < 10 + 2 * (size_t)count)
        return s.say(format("its %u glyphs need %zu bytes; its length is %u or it runs past "
                            "cmap's end",
                            count, 10 + 2 * (size_t)count, length));
    for (unsigned i = 0; i < count; i++)
        if (t.u16(10 + 2 * i) >= s.c.numglyphs && s.c.numglyphs > 0)
            return s.say(format("code %u maps to glyph %u; the font has %u glyphs", first + i,
                                t.u16(10 + 2 * i), s.c.numglyphs));
}

uint32_t u24(byte_span t, size_t off) {
    return ((uint32_t)t.u8(off) << 16) | t.u16(off + 1);
}

bool selector(uint32_t v) {
    return (v >= 0xFE00 && v <= 0xFE0F) || (v >= 0xE0100 && v <= 0xE01EF) ||
           (v >= 0x180B && v <= 0x180D);
}

void check_format14(subtable_check& s, byte_span t) {
    const uint32_t length = t.u32(2);
    const byte_span sub = t.slice(0, length);
    if (sub.size() != length || length < 10)
        return s.say(format("its length %u runs past cmap's end", length));
    const uint32_t n = sub.u32(6);
    if ((length - 10) / 11 < n)
        return s.say(format("its %u selector records run past its end", n));
    uint32_t prev = 0;
    for (uint32_t i = 0; i < n; i++) {
        const size_t r = 10 + 11 * (size_t)i;
        const uint32_t vs = u24(sub, r), dflt = sub.u32(r + 3), nondflt = sub.u32(r + 7);
        if (!selector(vs))
            return s.say(
                format("record %u names U+%04X, which is not a variation selector", i, vs));
        if (i > 0 && vs <= prev)
            return s.say(format("record %u's selector U+%04X does not follow U+%04X", i, vs, prev));
        prev = vs;
        if (dflt) {
            const uint32_t ranges = sub.u32(dflt);
            if (!sub.has(dflt, 4) || (sub.size() - dflt - 4) / 4 < ranges)
                return s.say(format("selector U+%04X's default ranges run past its end", vs));
            uint64_t last = 0;
            for (uint32_t k = 0; k < ranges; k++) {
                const uint32_t start = u24(sub, dflt + 4 + 4 * (size_t)k);
                const uint32_t end = start + sub.u8(dflt + 7 + 4 * (size_t)k);
                if (end > 0x10FFFF || (k > 0 && start <= last))
                    return s.say(format("selector U+%04X's default range %u is out of order or "
                                        "past U+10FFFF",
                                        vs, k));
                last = end;
            }
        }
        if (nondflt) {
            const uint32_t maps = sub.u32(nondflt);
            if (!sub.has(nondflt, 4) || (sub.size() - nondflt - 4) / 5 < maps)
                return s.say(format("selector U+%04X's mappings run past its end", vs));
            uint32_t last = 0;
            for (uint32_t k = 0; k < maps; k++) {
                const size_t m = nondflt + 4 + 5 * (size_t)k;
                const uint32_t code = u24(sub, m);
                const unsigned glyph = sub.u16(m + 3);
                if (code > 0x10FFFF || (k > 0 && code <= last))
                    return s.say(format("selector U+%04X's mapping %u is out of order", vs, k));
                if (s.c.numglyphs > 0 && glyph >= s.c.numglyphs)
                    return s.say(format("U+%04X with U+%04X maps to glyph %u; the font has %u "
                                        "glyphs",
                                        code, vs, glyph, s.c.numglyphs));
                last = code;
            }
        }
    }
}

// A subtable's bytes in cmap, for the overlap test.
struct span {
    uint64_t start, end;
    unsigned record;
    bool operator<(const span& o) const { return std::tie(start, end) < std::tie(o.start, o.end); }
};

// A subtable's length as its header states it; 0 for unknown formats.
uint64_t subtable_length(byte_span sub, unsigned fmt) {
    switch (fmt) {
    case 0:
    case 2:
    case 4:
    case 6:
        return sub.u16(2);
    case 8:
    case 10:
    case 12:
    case 13:
        return sub.u32(4);
    case 14:
        return sub.u32(2);
    }
    return 0;
}

// Where the Windows BMP subtable and the full-repertoire one differ.
void compare_windows_maps(check_context& c, byte_span cmap) {
    byte_span bmp = cmap_subtable(cmap, 3, 1), full = cmap_subtable(cmap, 3, 10);
    if (bmp.size() == 0 || full.size() == 0)
        return;
    std::vector<uint16_t> a(0x10000), b(0x10000);
    if (!cmap_decode_bmp(bmp, &a) || !cmap_decode_bmp(full, &b))
        return;
    unsigned differ = 0, first = 0;
    for (unsigned code = 0; code < 0xFFFF; code++)
        if (a[code] != b[code] && differ++ == 0)
            first = code;
    if (differ)
        c.warning(CMAP,
                  "subtables (3, 1) and (3, 10) differ on %u BMP code%s: U+%04X maps to glyph %u "
                  "in one and %u in the other",
                  differ, differ == 1 ? "" : "s", first, a[first], b[first]);
}

} // namespace

void check_cmap(check_context& c) {
    if (!c.tables.has(CMAP))
        return;
    const byte_span t = c.tables.find(CMAP);
    if (t.size() < 4)
        return c.error(CMAP, "cmap has %zu bytes; its header takes 4", t.size());
    if (t.u16(0) != 0)
        return c.error(CMAP, "cmap's version is %u; it is 0", t.u16(0));
    const unsigned n = t.u16(2);
    if (n == 0)
        return c.error(CMAP, "cmap lists no subtables");
    if (4 + 8 * (size_t)n > t.size())
        return c.error(CMAP, "cmap's %u encoding records run past its %zu bytes", n, t.size());
    bool unicode = false;
    std::set<std::tuple<unsigned, unsigned, unsigned>> seen;
    std::set<std::pair<uint32_t, bool>> checked;
    std::vector<span> spans;
    for (unsigned i = 0; i < n; i++) {
        const size_t r = 4 + 8 * (size_t)i;
        const unsigned platform = t.u16(r), encoding = t.u16(r + 2);
        const uint32_t offset = t.u32(r + 4);
        const std::string where = format("subtable (%u, %u)", platform, encoding);
        if (i > 0) {
            const unsigned pp = t.u16(r - 8), pe = t.u16(r - 6);
            if (std::make_pair(platform, encoding) < std::make_pair(pp, pe))
                c.warning(CMAP,
                          "%s follows subtable (%u, %u); the records are sorted by platform "
                          "and encoding",
                          where.c_str(), pp, pe);
        }
        if (!t.has(offset, 4) || offset < 4 + 8 * (size_t)n) {
            c.error(CMAP, "%s starts at offset %u, outside the %zu bytes after cmap's records",
                    where.c_str(), offset, t.size() - (4 + 8 * (size_t)n));
            continue;
        }
        const byte_span sub = t.from(offset);
        const unsigned fmt = sub.u16(0);
        const bool hard = strict(platform, encoding, fmt);
        unicode |= maps_unicode(platform, encoding, fmt);
        const unsigned language = fmt >= 8 && fmt != 14 ? sub.u32(8) : sub.u16(4);
        if (!seen.insert({platform, encoding, fmt == 14 ? 0 : language}).second)
            c.warning(CMAP, "cmap lists %s twice", where.c_str());
        if (const uint64_t length = subtable_length(sub, fmt))
            spans.push_back({offset, offset + length, i});
        if (!checked.insert({offset, hard}).second)
            continue;
        subtable_check s{c, hard ? severity::error : severity::warning, where};
        switch (fmt) {
        case 0:
            check_format0(s, sub);
            break;
        case 4:
            check_format4(s, sub, platform != 1);
            break;
        case 6:
            check_format6(s, sub);
            break;
        case 12:
        case 13:
            check_format12(s, sub, fmt);
            break;
        case 14:
            check_format14(s, sub);
            break;
        case 2:
        case 8:
        case 10:
            break;
        default:
            c.warning(CMAP, "%s has format %u, which no reader knows", where.c_str(), fmt);
        }
    }
    // Records may share a subtable, but subtables may not overlap.
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); i++) {
        const span& a = spans[i - 1];
        const span& b = spans[i];
        if (b.start != a.start && b.start < a.end) {
            c.error(CMAP, "subtable %u (at %llu) overlaps subtable %u (%llu bytes at %llu)",
                    b.record, (unsigned long long)b.start, a.record,
                    (unsigned long long)(a.end - a.start), (unsigned long long)a.start);
            break;
        }
    }
    if (!unicode)
        c.error(CMAP, "cmap has no Unicode or symbol subtable that readers use (format 4 for "
                      "(3, 1), (3, 0) or platform 0; format 12 for (3, 10))");
    compare_windows_maps(c, t);
}
