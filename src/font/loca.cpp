#include "font/loca.h"

#include "font/glyf.h"
#include "font/head.h"
#include "font/maxp.h"
#include "font/ttf.h"

ttf_loca::ttf_loca(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("loca"), data, length) {
    if (!data)
        create_default();
}

void ttf_loca::create_default() {
    unsigned long n = owner && owner->setup ? (uint16_t)owner->setup->glyphcount : 0;
    unsigned long len = 4 * n + 4;
    replace_data(malloc32((long)len), len);
}

// The record bounds of glyph gno in bytes. Some fonts ship a loca without
// its final entry; the last glyph then ends with the glyf table.
bool ttf_loca::find(bool is32, int gno, uint32_t* start, uint32_t* end) {
    if (gno < 0)
        return false;
    size_t size = is32 ? 4 : 2;
    size_t pos = (size_t)gno * size;
    byte_span b = bytes();
    if (!b.has(pos, size))
        return false;
    uint32_t s = is32 ? b.u32(pos) : 2u * b.u16(pos);
    uint32_t e;
    if (b.has(pos + size, size))
        e = is32 ? b.u32(pos + size) : 2u * b.u16(pos + size);
    else if (owner && owner->glyf)
        e = (uint32_t)owner->glyf->length;
    else
        e = (uint32_t)length;
    if (e < s)
        return false;
    *start = s;
    *end = e;
    return true;
}

int ttf_loca::get_offset(bool is32, int gno, unsigned long* offset, unsigned long* len) {
    uint32_t s, e;
    if (!find(is32, gno, &s, &e))
        return -1;
    *offset = s;
    *len = e - s;
    return 0;
}

// Rewrites a short table in the long format and tells head so.
bool ttf_loca::widen() {
    if (!owner || !owner->head)
        return false;
    size_t count = length / 2;
    unsigned char* wide = malloc32((long)(count * 4));
    if (!wide)
        return false;
    byte_writer w(wide, count * 4);
    byte_span b = bytes();
    for (size_t i = 0; i < count; i++)
        w.put32(4 * i, 2u * b.u16(2 * i));
    replace_data(wide, count * 4);
    owner->head->set_is32loca(true);
    return true;
}

int ttf_loca::chg_length(bool is32, int gno, unsigned long newlength) {
    uint32_t s, e;
    if (!find(is32, gno, &s, &e))
        return -1;
    int64_t delta = (int64_t)s + (int64_t)newlength - (int64_t)e;
    size_t size = is32 ? 4 : 2;
    size_t count = length / size;
    if (!is32) {
        // Half-offsets must stay within 16 bits and records even in length;
        // otherwise the table is widened instead of corrupted.
        bool fits = newlength % 2 == 0;
        for (size_t i = (size_t)gno + 1; fits && i < count; i++) {
            int64_t v = 2 * (int64_t)bytes().u16(2 * i) + delta;
            fits = v >= 0 && v <= 0x1FFFE;
        }
        if (fits) {
            // One shift rather than a write per entry: the history keeps
            // the number, not every later entry.
            size_t first = (size_t)gno + 1;
            return shift_entries(2 * first, count > first ? count - first : 0, 2, delta / 2) ? 0
                                                                                             : -1;
        }
        if (!widen())
            return -1;
        count = length / 4;
    }
    size_t first = (size_t)gno + 1;
    return shift_entries(4 * first, count > first ? count - first : 0, 4, delta) ? 0 : -1;
}
