#include "font/cmap_subtables.h"

#include <algorithm>
#include <cstring>

namespace cmap_subtables {

namespace {

// The 16-bit subtable length caps format 4 at 8n + 16 <= 65535 bytes.
const size_t MAX_SEGMENTS = (0xFFFF - 16) / 8;

// Codes still to be written while segments are applied last to first, so
// that each code costs one step however the segments overlap.
class free_codes {
  public:
    free_codes() : next(CODES + 1) {
        for (size_t c = 0; c <= CODES; c++)
            next[c] = (uint32_t)c;
    }
    // The first free code at or after c (CODES when none).
    uint32_t find(uint32_t c) {
        uint32_t root = c;
        while (next[root] != root)
            root = next[root];
        while (next[c] != root) {
            uint32_t up = next[c];
            next[c] = root;
            c = up;
        }
        return root;
    }
    void take(uint32_t c) { next[c] = c + 1; }

  private:
    std::vector<uint32_t> next;
};

void add16(std::vector<unsigned char>* out, uint32_t v) {
    out->push_back((unsigned char)(v >> 8));
    out->push_back((unsigned char)v);
}

void add32(std::vector<unsigned char>* out, uint32_t v) {
    add16(out, v >> 16);
    add16(out, v & 0xFFFF);
}

struct group {
    uint32_t start, end, glyph;
};

} // namespace

int decode_format4(byte_span b, size_t sub, uint16_t* map) {
    std::memset(map, 0, CODES * sizeof(map[0]));
    if (!b.has(sub, 14) || b.u16(sub) != 4)
        return 1;
    size_t segx2 = b.u16(sub + 6) & ~1u;
    size_t segcount = segx2 / 2;
    size_t ends = sub + 14, starts = sub + 16 + segx2, deltas = sub + 16 + 2 * segx2,
           ranges = sub + 16 + 3 * segx2;
    if (!b.has(ends, 8 * segcount + 2))
        return 1;

    size_t used = 0;
    while (used < segcount && b.u16(starts + 2 * used) != 0xFFFF)
        used++;
    // The glyph of code c in segment i.
    auto glyph_of = [&](size_t i, uint32_t c) -> uint16_t {
        uint32_t start = b.u16(starts + 2 * i);
        uint16_t delta = b.u16(deltas + 2 * i);
        size_t rangepos = ranges + 2 * i;
        uint16_t rangeoffset = b.u16(rangepos);
        if (rangeoffset == 0)
            return (uint16_t)(c + delta);
        // glyphIdArray entry, counted from the idRangeOffset word itself;
        // outside the table reads as 0 (unmapped).
        uint16_t raw = b.u16(rangepos + rangeoffset + 2 * (c - start));
        return raw ? (uint16_t)(raw + delta) : 0;
    };

    // Segments in ascending order without overlap, as fonts store them, are
    // read straight through.
    bool ordered = true;
    for (size_t i = 0; i < used && ordered; i++) {
        uint32_t start = b.u16(starts + 2 * i), end = b.u16(ends + 2 * i);
        ordered = start <= end && (i == 0 || start > b.u16(ends + 2 * (i - 1)));
    }
    if (ordered) {
        for (size_t i = 0; i < used; i++) {
            uint32_t start = b.u16(starts + 2 * i), end = b.u16(ends + 2 * i);
            for (uint32_t c = start; c <= end; c++)
                map[c] = glyph_of(i, c);
        }
        return 0;
    }

    // Otherwise later segments win where segments overlap, as if applied in
    // order.
    free_codes todo;
    for (size_t i = used; i-- > 0;) {
        uint32_t start = b.u16(starts + 2 * i), end = b.u16(ends + 2 * i);
        for (uint32_t c = todo.find(start); c <= end; c = todo.find(c)) {
            todo.take(c);
            map[c] = glyph_of(i, c);
        }
    }
    return 0;
}

bool encode_format4(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out) {
    struct segment {
        uint16_t start, end, delta;
    };
    std::vector<segment> segs;
    for (uint32_t c = 0; c <= 0xFFFE; c++) {
        if (!map[c])
            continue;
        uint32_t end = c;
        while (end + 1 <= 0xFFFE && map[end + 1] && map[end + 1] == (uint16_t)(map[end] + 1))
            end++;
        segs.push_back({(uint16_t)c, (uint16_t)end, (uint16_t)(map[c] - c)});
        c = end;
    }
    segs.push_back({0xFFFF, 0xFFFF, 1});
    size_t n = segs.size();
    if (n > MAX_SEGMENTS)
        return false;

    unsigned p = 0;
    while ((2u << p) <= n)
        p++;
    uint32_t searchrange = 2u << p;
    out->clear();
    out->reserve(8 * n + 16);
    for (uint32_t v : {4u, (uint32_t)(8 * n + 16), (uint32_t)language, (uint32_t)(2 * n),
                       searchrange, p, (uint32_t)(2 * n - searchrange)})
        add16(out, v);
    for (const segment& s : segs)
        add16(out, s.end);
    add16(out, 0);
    for (const segment& s : segs)
        add16(out, s.start);
    for (const segment& s : segs)
        add16(out, s.delta);
    for (size_t i = 0; i < n; i++)
        add16(out, 0);
    return true;
}

bool edit_format12(byte_span b, size_t sub, const run& change, std::vector<unsigned char>* out) {
    if (!b.has(sub, 16) || b.u16(sub) != 12)
        return false;
    uint64_t count = b.u32(sub + 12);
    if (count > (b.size() - sub - 16) / 12)
        return false;

    // The groups outside the run, in their order; the run's own group goes
    // in before the first group that starts past the run, so that sorted
    // groups stay sorted.
    std::vector<group> groups;
    groups.reserve(count + 2);
    bool placed = change.gno == 0xFFFF;
    auto place = [&] {
        groups.push_back({change.start, change.end, change.gno});
        placed = true;
    };
    for (uint64_t i = 0; i < count; i++) {
        size_t at = sub + 16 + 12 * i;
        group g{b.u32(at), b.u32(at + 4), b.u32(at + 8)};
        if (!placed && g.start > change.start)
            place();
        if (g.end < change.start || g.start > change.end || g.end < g.start) {
            groups.push_back(g);
            continue;
        }
        if (g.start < change.start)
            groups.push_back({g.start, change.start - 1, g.glyph});
        if (!placed)
            place();
        if (g.end > change.end)
            groups.push_back({change.end + 1, g.end, g.glyph + (change.end + 1 - g.start)});
    }
    if (!placed)
        place();

    // Neighbours that continue each other become one group.
    std::vector<group> merged;
    for (const group& g : groups) {
        if (!merged.empty()) {
            group& last = merged.back();
            if (last.end != UINT32_MAX && last.end + 1 == g.start && last.end >= last.start &&
                last.glyph + (last.end - last.start) + 1 == g.glyph) {
                last.end = g.end;
                continue;
            }
        }
        merged.push_back(g);
    }

    out->clear();
    add16(out, 12);
    add16(out, b.u16(sub + 2));
    add32(out, (uint32_t)(16 + 12 * merged.size()));
    add32(out, b.u32(sub + 8));
    add32(out, (uint32_t)merged.size());
    for (const group& g : merged) {
        add32(out, g.start);
        add32(out, g.end);
        add32(out, g.glyph);
    }
    return true;
}

size_t declared_length(byte_span b, size_t sub) {
    if (!b.has(sub, 2))
        return 0;
    size_t length = 0;
    switch (b.u16(sub)) {
    case 0:
    case 2:
    case 4:
    case 6:
        length = b.u16(sub + 2);
        break;
    case 8:
    case 10:
    case 12:
    case 13:
        length = b.u32(sub + 4);
        break;
    case 14:
        length = b.u32(sub + 2);
        break;
    default:
        return 0;
    }
    return std::min(length, b.size() - sub);
}

} // namespace cmap_subtables
