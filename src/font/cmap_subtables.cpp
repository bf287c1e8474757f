#include "font/cmap_subtables.h"

#include <algorithm>
#include <cstring>

namespace cmap_subtables {

namespace {

void add16(std::vector<unsigned char>* out, uint32_t v) {
    out->push_back((unsigned char)(v >> 8));
    out->push_back((unsigned char)v);
}

void add32(std::vector<unsigned char>* out, uint32_t v) {
    add16(out, v >> 16);
    add16(out, v & 0xFFFF);
}

// Format 12's groups into map (U+0000 ... U+FFFF) and wide (past it). In
// the map a later group wins where groups overlap, as in any reader that
// applies them in order; in wide, overlapping groups are cut to follow
// each other. Glyph numbers past 0xFFFF name no glyph and are dropped.
int decode_format12(byte_span b, size_t sub, uint16_t* map, std::vector<group>* wide) {
    if (!b.has(sub, 16))
        return 1;
    uint64_t count = b.u32(sub + 12);
    if (count > (b.size() - sub - 16) / 12)
        return 1;
    std::vector<group> past;
    auto put = [&](uint32_t c, uint32_t start, uint32_t glyph) {
        uint64_t g = (uint64_t)glyph + (c - start);
        map[c] = g <= 0xFFFF ? (uint16_t)g : 0;
    };
    auto keep_wide = [&](uint32_t start, uint32_t end, uint32_t glyph) {
        if (wide && end > 0xFFFF) {
            uint32_t from = std::max<uint32_t>(start, 0x10000);
            past.push_back({from, end, glyph + (from - start)});
        }
    };
    // Groups in ascending order without overlap, as fonts store them, are
    // read straight through.
    bool ordered = true;
    for (uint64_t i = 0; i < count && ordered; i++) {
        size_t at = sub + 16 + 12 * i;
        ordered = b.u32(at) <= b.u32(at + 4) && b.u32(at + 4) <= LAST_CODE &&
                  (i == 0 || b.u32(at) > b.u32(at - 8));
    }
    if (ordered) {
        for (uint64_t i = 0; i < count; i++) {
            size_t at = sub + 16 + 12 * i;
            uint32_t start = b.u32(at), end = b.u32(at + 4), glyph = b.u32(at + 8);
            for (uint32_t c = start; c <= std::min<uint32_t>(end, 0xFFFF); c++)
                put(c, start, glyph);
            keep_wide(start, end, glyph);
        }
    } else {
        free_codes todo;
        for (uint64_t i = count; i-- > 0;) {
            size_t at = sub + 16 + 12 * i;
            uint32_t start = b.u32(at), end = std::min(b.u32(at + 4), LAST_CODE),
                     glyph = b.u32(at + 8);
            if (end < start)
                continue;
            for (uint32_t c = todo.find(start); c <= std::min<uint32_t>(end, 0xFFFF);
                 c = todo.find(c)) {
                todo.take(c);
                put(c, start, glyph);
            }
            keep_wide(start, end, glyph);
        }
        // Gathered last first: sorted by start, the later group comes
        // first among equal starts.
        std::vector<size_t> rank(past.size());
        for (size_t k = 0; k < rank.size(); k++)
            rank[k] = k;
        std::sort(rank.begin(), rank.end(), [&](size_t x, size_t y) {
            return past[x].start != past[y].start ? past[x].start < past[y].start : x < y;
        });
        std::vector<group> sorted;
        sorted.reserve(past.size());
        for (size_t k : rank)
            sorted.push_back(past[k]);
        past.swap(sorted);
    }
    if (!wide)
        return 0;
    // Each group gives up what a group placed before it holds.
    uint32_t next = 0x10000;
    for (group g : past) {
        if (g.end < next)
            continue;
        if (g.start < next) {
            g.glyph += next - g.start;
            g.start = next;
        }
        // Glyph 0 is the missing glyph: a code mapped to it is unmapped.
        if (g.glyph == 0) {
            if (g.start == g.end)
                continue;
            g.start++;
            g.glyph++;
        }
        if (g.glyph > 0xFFFF)
            continue;
        g.end = std::min<uint32_t>(g.end, g.start + (0xFFFF - g.glyph));
        wide->push_back(g);
        next = g.end + 1;
    }
    return 0;
}

} // namespace

free_codes::free_codes() : next(CODES + 1) {
    for (size_t c = 0; c <= CODES; c++)
        next[c] = (uint32_t)c;
}

uint32_t free_codes::find(uint32_t c) {
    if (c >= CODES)
        return (uint32_t)CODES;
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

int decode_bmp(byte_span b, size_t sub, uint16_t* map, std::vector<group>* wide) {
    std::memset(map, 0, CODES * sizeof(map[0]));
    if (wide)
        wide->clear();
    int result = 1;
    switch (b.u16(sub)) {
    case 0:
        if (b.has(sub + 6, 256)) {
            for (uint32_t c = 0; c < 256; c++)
                map[c] = b.u8(sub + 6 + c);
            result = 0;
        }
        break;
    case 4:
        return b.has(sub, 2) ? decode_format4(b, sub, map) : 1;
    case 6: {
        uint32_t first = b.u16(sub + 6), count = b.u16(sub + 8);
        if (b.has(sub + 10, 2 * (size_t)count)) {
            for (uint32_t k = 0; k < count && first + k <= 0xFFFF; k++)
                map[first + k] = b.u16(sub + 10 + 2 * k);
            result = 0;
        }
        break;
    }
    case 12:
        result = b.has(sub, 2) ? decode_format12(b, sub, map, wide) : 1;
        break;
    default:
        break;
    }
    if (result != 0) {
        std::memset(map, 0, CODES * sizeof(map[0]));
        if (wide)
            wide->clear();
    }
    return result;
}

bool encode_format0(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out) {
    for (uint32_t c = 0; c < CODES; c++)
        if (map[c] && (c > 0xFF || map[c] > 0xFF))
            return false;
    out->clear();
    for (uint32_t v : {0u, 262u, (uint32_t)language})
        add16(out, v);
    for (uint32_t c = 0; c < 256; c++)
        out->push_back((unsigned char)map[c]);
    return true;
}

bool encode_format6(const uint16_t* map, uint16_t language, std::vector<unsigned char>* out) {
    uint32_t first = 0, last = 0;
    bool any = false;
    for (uint32_t c = 0; c < CODES; c++) {
        if (!map[c])
            continue;
        if (!any)
            first = c;
        any = true;
        last = c;
    }
    const uint32_t count = any ? last - first + 1 : 0;
    if (10 + 2 * (size_t)count > 0xFFFF)
        return false;
    out->clear();
    for (uint32_t v : {6u, 10 + 2 * count, (uint32_t)language, first, count})
        add16(out, v);
    for (uint32_t k = 0; k < count; k++)
        add16(out, map[first + k]);
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
