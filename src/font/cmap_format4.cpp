// Format 4 character maps: decoding (hostile segment arrays included) and
// the smallest encoding of a map.
#include "font/cmap_subtables.h"

#include <algorithm>
#include <cstring>

namespace cmap_subtables {

namespace {

void add16(std::vector<unsigned char>* out, uint32_t v) {
    out->push_back((unsigned char)(v >> 8));
    out->push_back((unsigned char)v);
}

struct segment {
    uint16_t start, end;
    bool deltas; // idDelta alone; otherwise through the glyphIdArray
};

// The segments of the fewest bytes, by dynamic programming over the codes:
// at each code boundary the cheapest cover of the codes before it that
// ends with no segment open, inside a glyphIdArray segment, or inside a
// delta segment. A segment costs 8 bytes and each code of an array
// segment 2 more (unmapped codes inside one read as 0); a delta segment
// holds only mapped codes whose glyphs go up by one. No segment but the
// final one starts at 0xFFFF, which readers take as the end of the list.
std::vector<segment> cheapest_segments(const uint16_t* map) {
    const uint32_t N = (uint32_t)CODES, NONE = UINT32_MAX / 4;
    enum : uint8_t { BASE, SKIP, FROM_ARRAY, FROM_DELTA, EXTEND, START };
    std::vector<uint32_t> closed(N + 1, NONE), array(N + 1, NONE), delta(N + 1, NONE);
    std::vector<uint8_t> closedfrom(N + 1, BASE), arrayfrom(N + 1, START), deltafrom(N + 1, START);
    closed[0] = 0;
    for (uint32_t c = 0; c <= N; c++) {
        if (array[c] < closed[c]) {
            closed[c] = array[c];
            closedfrom[c] = FROM_ARRAY;
        }
        if (delta[c] < closed[c]) {
            closed[c] = delta[c];
            closedfrom[c] = FROM_DELTA;
        }
        if (c == N)
            break;
        const bool mapped = map[c] != 0;
        if (!mapped) {
            closed[c + 1] = closed[c];
            closedfrom[c + 1] = SKIP;
        }
        if (array[c] != NONE) {
            array[c + 1] = array[c] + 2;
            arrayfrom[c + 1] = EXTEND;
        }
        if (c != 0xFFFF && closed[c] + 10 < array[c + 1]) {
            array[c + 1] = closed[c] + 10;
            arrayfrom[c + 1] = START;
        }
        if (mapped && delta[c] != NONE && map[c] == (uint16_t)(map[c - 1] + 1)) {
            delta[c + 1] = delta[c];
            deltafrom[c + 1] = EXTEND;
        }
        if (mapped && c != 0xFFFF && closed[c] + 8 < delta[c + 1]) {
            delta[c + 1] = closed[c] + 8;
            deltafrom[c + 1] = START;
        }
    }

    // Back from the end: which state led to which, segment by segment.
    std::vector<segment> segs;
    enum { CLOSED, ARRAY, DELTA } state = CLOSED;
    uint32_t c = N, end = 0;
    while (!(state == CLOSED && closedfrom[c] == BASE)) {
        if (state == CLOSED) {
            if (closedfrom[c] == SKIP) {
                c--;
            } else {
                state = closedfrom[c] == FROM_ARRAY ? ARRAY : DELTA;
                end = c - 1;
            }
            continue;
        }
        const uint8_t from = state == ARRAY ? arrayfrom[c] : deltafrom[c];
        c--;
        if (from == START) {
            segs.push_back({(uint16_t)c, (uint16_t)end, state == DELTA});
            state = CLOSED;
        }
    }
    std::reverse(segs.begin(), segs.end());
    return segs;
}

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
    std::vector<segment> segs = cheapest_segments(map);
    size_t arraylen = 0;
    for (const segment& s : segs)
        if (!s.deltas)
            arraylen += (size_t)s.end - s.start + 1;
    segs.push_back({0xFFFF, 0xFFFF, true});
    const size_t n = segs.size(), length = 16 + 8 * n + 2 * arraylen;
    if (length > 0xFFFF)
        return false;

    unsigned p = 0;
    while ((2u << p) <= n)
        p++;
    uint32_t searchrange = 2u << p;
    out->clear();
    out->reserve(length);
    for (uint32_t v : {4u, (uint32_t)length, (uint32_t)language, (uint32_t)(2 * n), searchrange, p,
                       (uint32_t)(2 * n - searchrange)})
        add16(out, v);
    for (const segment& s : segs)
        add16(out, s.end);
    add16(out, 0);
    for (const segment& s : segs)
        add16(out, s.start);
    for (size_t i = 0; i < n; i++) {
        const segment& s = segs[i];
        // The final segment maps 0xFFFF to glyph 0 (0xFFFF + 1).
        add16(out, i + 1 == n ? 1 : s.deltas ? (uint16_t)(map[s.start] - s.start) : 0);
    }
    // An array segment's entries start 2 (n - i) + 2 k bytes past its own
    // idRangeOffset word, k entries into the glyphIdArray.
    size_t k = 0;
    for (size_t i = 0; i < n; i++) {
        const segment& s = segs[i];
        if (s.deltas) {
            add16(out, 0);
            continue;
        }
        add16(out, (uint32_t)(2 * (n - i) + 2 * k));
        k += (size_t)s.end - s.start + 1;
    }
    for (const segment& s : segs)
        if (!s.deltas)
            for (uint32_t c = s.start; c <= s.end; c++)
                add16(out, map[c]);
    return true;
}

} // namespace cmap_subtables
