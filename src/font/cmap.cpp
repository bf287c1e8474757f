#include "font/cmap.h"

#include "font/ttf.h"

#include <cstring>
#include <vector>

namespace {

const size_t CODES = 65536;

// The subtable length is a 16-bit field: 8n + 16 <= 65535.
const size_t MAX_SEGMENTS = (0xFFFF - 16) / 8;

struct segment {
    uint16_t start, end, delta;
};

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

} // namespace

ttf_cmap::ttf_cmap(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("cmap"), data, length), chrmap(new unsigned short[CODES]()) {
    if (!data)
        create_default();
}

ttf_cmap::~ttf_cmap() {
    delete[] chrmap;
}

int ttf_cmap::get_tbl() {
    std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
    byte_span b = bytes();
    unsigned records = b.u16(2);
    bool found = false;
    size_t sub = 0;
    for (unsigned i = 0; i < records && b.has(4 + 8 * (size_t)i, 8); i++) {
        size_t rec = 4 + 8 * (size_t)i;
        if (b.u16(rec) == 3 && b.u16(rec + 2) == 1) {
            found = true;
            sub = b.u32(rec + 4);
        }
    }
    if (!found)
        return -1;
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
                chrmap[c] = glyph_of(i, c);
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
            chrmap[c] = glyph_of(i, c);
        }
    }
    return 0;
}

int ttf_cmap::set_tbl() {
    chrmap[0] = 0;
    chrmap[0xFFFF] = 0;
    std::vector<segment> segs;
    for (uint32_t c = 1; c <= 0xFFFE; c++) {
        if (!chrmap[c])
            continue;
        uint32_t end = c;
        while (end + 1 <= 0xFFFE && chrmap[end + 1] &&
               chrmap[end + 1] == (uint16_t)(chrmap[end] + 1))
            end++;
        segs.push_back({(uint16_t)c, (uint16_t)end, (uint16_t)(chrmap[c] - c)});
        c = end;
    }
    segs.push_back({0xFFFF, 0xFFFF, 1});
    size_t n = segs.size();
    if (n > MAX_SEGMENTS)
        return -1;
    unsigned long len = 8 * n + 28;
    unsigned char* buf = malloc32((long)len);
    if (!buf)
        return -1;

    unsigned p = 0;
    while ((2u << p) <= n)
        p++;
    uint16_t searchrange = (uint16_t)(2u << p);
    byte_writer w(buf, len);
    w.put16(2, 1);
    w.put16(4, 3);
    w.put16(6, 1);
    w.put32(8, 12);
    w.put16(12, 4);
    w.put16(14, (uint16_t)(8 * n + 16));
    w.put16(18, (uint16_t)(2 * n));
    w.put16(20, searchrange);
    w.put16(22, (uint16_t)p);
    w.put16(24, (uint16_t)(2 * n - searchrange));
    for (size_t i = 0; i < n; i++) {
        w.put16(26 + 2 * i, segs[i].end);
        w.put16(28 + 2 * n + 2 * i, segs[i].start);
        w.put16(28 + 4 * n + 2 * i, segs[i].delta);
    }
    replace_data(buf, len);
    return 0;
}

int ttf_cmap::set_chr(unsigned short start, unsigned short end, unsigned short gno) {
    if (end < start)
        return set_tbl();
    std::vector<unsigned short> before(chrmap + start, chrmap + end + 1);
    for (uint32_t k = 0; k <= (uint32_t)(end - start); k++)
        chrmap[start + k] = gno == 0xFFFF ? 0 : (unsigned short)(gno + k);
    if (set_tbl() != 0) {
        std::copy(before.begin(), before.end(), chrmap + start);
        return -1;
    }
    return 0;
}

unsigned short ttf_cmap::get_gno(unsigned short chr) const {
    return chrmap[chr];
}

unsigned short ttf_cmap::get_chr(unsigned short gno) const {
    for (uint32_t c = 0; c <= 0xFFFE; c++)
        if (chrmap[c] == gno)
            return (unsigned short)c;
    return 0xFFFF;
}

int ttf_cmap::create_default() {
    std::memset(chrmap, 0, CODES * sizeof(chrmap[0]));
    if (owner && owner->setup) {
        unsigned short next = 1;
        for (uint32_t c = 1; c <= 0xFFFF; c++)
            if (owner->setup->chars[c])
                chrmap[c] = next++;
    }
    return set_tbl();
}
