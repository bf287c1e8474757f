// Images that several index entries name. Fonts save room by pointing two
// strikes (or two glyphs that look alike) at the same EBDT bytes; editing
// one must not change the other, so the edited one first gets bytes of its
// own. The index is changed as little as can be: one subtable's
// imageDataOffset, and only when that subtable is read by other entries
// too, a private copy of its strike's index.
#include "font/eblc.h"

#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/eblc_layout.h"

#include <algorithm>
#include <vector>

namespace {

using namespace eblc_layout;

// How many images a look for sharing visits at most; past it, a hostile
// table counts as sharing, which only costs a copy.
const size_t IMAGE_LIMIT = (size_t)1 << 22;
// A private index copy larger than this is refused.
const size_t INDEX_COPY_LIMIT = (size_t)16 << 20;

// One index subtable array record of one strike.
struct index_entry {
    size_t strike;
    size_t entry; // the record, in EBLC
    uint64_t sub; // its subtable, in EBLC
    unsigned short first, last;
};

// Calls fn(entry) for every array record of every strike, in table order.
template <class F> void each_entry(byte_span t, F&& fn) {
    size_t strikes = strikes_in(t);
    for (size_t s = 0; s < strikes; s++) {
        size_t rec = HEADER + STRIKE * s;
        size_t array = t.u32(rec);
        uint64_t count = t.u32(rec + 8);
        for (uint64_t i = 0; i < count && t.has(array + ARRAY_RECORD * i, ARRAY_RECORD); i++) {
            size_t entry = array + ARRAY_RECORD * i;
            if (!fn(index_entry{s, entry, (uint64_t)array + t.u32(entry + 4), t.u16(entry),
                                t.u16(entry + 2)}))
                return;
        }
    }
}

// The bytes of an entry's subtable (header and index data); 0 when they
// do not lie in the table or the format is unknown.
size_t subtable_size(byte_span t, const index_entry& e) {
    if (!t.has(e.sub, SUBTABLE_HEADER))
        return 0;
    const uint64_t n = e.last >= e.first ? (uint64_t)e.last - e.first + 1 : 0;
    uint64_t size;
    switch (t.u16(e.sub)) {
    case 1:
        size = SUBTABLE_HEADER + 4 * (n + 1);
        break;
    case 2:
        size = SUBTABLE_HEADER + 12;
        break;
    case 3:
        size = SUBTABLE_HEADER + 2 * (n + 1);
        break;
    case 4:
        size = SUBTABLE_HEADER + 4 + 4 * ((uint64_t)t.u32(e.sub + 8) + 1);
        break;
    case 5:
        size = SUBTABLE_HEADER + 16 + 2 * (uint64_t)t.u32(e.sub + 20);
        break;
    default:
        return 0;
    }
    return t.has(e.sub, size) ? (size_t)size : 0;
}

// Calls fn(glyph, start, end) for each image the subtable names, offsets
// relative to its imageDataOffset, while fn returns true.
template <class F> void each_image(byte_span t, const index_entry& e, F&& fn) {
    const size_t sub = e.sub;
    const uint64_t n = e.last >= e.first ? (uint64_t)e.last - e.first + 1 : 0;
    switch (t.u16(sub)) {
    case 1:
    case 3: {
        const size_t unit = t.u16(sub) == 1 ? 4 : 2;
        for (uint64_t k = 0; k < n; k++) {
            size_t at = sub + SUBTABLE_HEADER + unit * k;
            if (!t.has(at, 2 * unit))
                return;
            uint64_t start = unit == 4 ? t.u32(at) : t.u16(at);
            uint64_t end = unit == 4 ? t.u32(at + 4) : t.u16(at + 2);
            if (end > start && !fn((unsigned short)(e.first + k), start, end))
                return;
        }
        return;
    }
    case 2: {
        const uint64_t size = t.u32(sub + 8);
        for (uint64_t k = 0; size && k < n; k++)
            if (!fn((unsigned short)(e.first + k), size * k, size * (k + 1)))
                return;
        return;
    }
    case 4: {
        const uint64_t glyphs = t.u32(sub + 8);
        for (uint64_t i = 0; i < glyphs && t.has(sub + 12 + 4 * i, 8); i++) {
            size_t at = sub + 12 + 4 * i;
            uint64_t start = t.u16(at + 2), end = t.u16(at + 6);
            if (end > start && !fn(t.u16(at), start, end))
                return;
        }
        return;
    }
    case 5: {
        const uint64_t size = t.u32(sub + 8), glyphs = t.u32(sub + 20);
        for (uint64_t i = 0; size && i < glyphs && t.has(sub + 24 + 2 * i, 2); i++)
            if (!fn(t.u16(sub + 24 + 2 * i), size * i, size * (i + 1)))
                return;
        return;
    }
    }
}

bool overlap(uint64_t a0, uint64_t a1, uint64_t b0, uint64_t b1) {
    return a0 < b1 && b0 < a1;
}

// Whether the bytes [from, to) of EBLC belong to nothing but `self`'s
// subtable (or, without `self`, to a strike record): no array record and no
// other entry's subtable lies on them, nor, for a subtable, a strike record.
bool only_its_own(byte_span t, uint64_t from, uint64_t to, const index_entry* self) {
    if (self && overlap(from, to, 0, HEADER + STRIKE * (uint64_t)strikes_in(t)))
        return false;
    bool alone = true;
    each_entry(t, [&](const index_entry& e) {
        const bool same = self && e.strike == self->strike && e.entry == self->entry;
        if (overlap(from, to, e.entry, e.entry + ARRAY_RECORD) ||
            (!same && overlap(from, to, e.sub, e.sub + std::max<size_t>(subtable_size(t, e), 8))))
            alone = false;
        return alone;
    });
    return alone;
}

} // namespace

bool ttf_eblc::image_shared(const bitmap_location& where, unsigned short gno) {
    byte_span t = bytes();
    const uint64_t lo = where.offset, hi = (uint64_t)where.offset + where.size;
    size_t visited = 0;
    bool shared = false;
    each_entry(t, [&](const index_entry& e) {
        if (!t.has(e.sub, SUBTABLE_HEADER))
            return true;
        const uint64_t base = t.u32(e.sub + 4);
        const bool mine = e.strike == where.strike && e.entry == where.entry;
        each_image(t, e, [&](unsigned short g, uint64_t start, uint64_t end) {
            if (++visited > IMAGE_LIMIT ||
                (overlap(lo, hi, base + start, base + end) && !(mine && g == gno)))
                shared = true;
            return !shared;
        });
        return !shared;
    });
    return shared;
}

bool ttf_eblc::unshare(bitmap* b, bitmap_location* where, ttf_ebdt* ebdt) {
    byte_span t = bytes();
    index_entry self{where->strike, where->entry, where->subtable, t.u16(where->entry),
                     t.u16(where->entry + 2)};
    // The subtable's imageDataOffset is the one field that changes; when
    // anything else reads those bytes, the strike gets an index of its own.
    if (!only_its_own(t, self.sub + 4, self.sub + 8, &self)) {
        const size_t rec = HEADER + STRIKE * where->strike;
        if (!only_its_own(t, rec, rec + 8, nullptr))
            return false;
        std::vector<index_entry> entries;
        each_entry(t, [&](const index_entry& e) {
            if (e.strike == where->strike)
                entries.push_back(e);
            return true;
        });
        // The copy: the array, then each record's subtable, 4-aligned.
        const size_t start = (length + 3) & ~(size_t)3;
        std::vector<unsigned char> block(start - length + ARRAY_RECORD * entries.size(), 0);
        const size_t array = start;
        for (size_t i = 0; i < entries.size(); i++) {
            const size_t size = subtable_size(t, entries[i]);
            if (size == 0 || block.size() + size > INDEX_COPY_LIMIT)
                return false;
            const size_t at = length + block.size();
            byte_span from = t.slice(entries[i].sub, size);
            block.insert(block.end(), from.data(), from.data() + size);
            block.resize((block.size() + 3) & ~(size_t)3, 0);
            byte_writer w(block.data(), block.size());
            const size_t record = start - length + ARRAY_RECORD * i;
            w.put16(record, entries[i].first);
            w.put16(record + 2, entries[i].last);
            w.put32(record + 4, (uint32_t)(at - array));
        }
        if (length + block.size() > 0xFFFFFFFFu || !splice(length, 0, block.data(), block.size()))
            return false;
        byte_writer w = writer();
        w.put32(rec, (uint32_t)array);
        w.put32(rec + 4, (uint32_t)(length - array));
        if (get_location(b, where) != 0)
            return false;
        t = bytes();
        self = index_entry{where->strike, where->entry, where->subtable, t.u16(where->entry),
                           t.u16(where->entry + 2)};
    }

    // The images the subtable names, copied whole to the end of EBDT: the
    // offsets relative to imageDataOffset stay as they are.
    const uint64_t base = t.u32(self.sub + 4);
    uint64_t low = UINT64_MAX, high = 0;
    each_image(t, self, [&](unsigned short, uint64_t start, uint64_t end) {
        low = std::min(low, start);
        high = std::max(high, end);
        return true;
    });
    high = std::min<uint64_t>(base + high, ebdt->length);
    if (low == UINT64_MAX || base + low >= high)
        return false;
    const size_t at = ebdt->length;
    if (at + (high - base - low) > 0xFFFFFFFFu || at < low)
        return false;
    byte_span run = ebdt->bytes().slice(base + low, high - base - low);
    std::vector<unsigned char> images(run.data(), run.data() + run.size());
    if (images.empty() || !ebdt->splice(at, 0, images.data(), images.size()))
        return false;
    writer().put32(self.sub + 4, (uint32_t)(at - low));
    return get_location(b, where) == 0;
}
