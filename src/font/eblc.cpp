#include "font/eblc.h"

#include "font/bitmap.h"
#include "font/eblc_layout.h"

#include <vector>

namespace {

using namespace eblc_layout;

// Copies the first five bytes of big glyph metrics into b.
void take_metrics(byte_span t, size_t at, bitmap* b) {
    b->height = t.u8(at);
    b->width = t.u8(at + 1);
    b->bearingx = t.s8(at + 2);
    b->bearingy = t.s8(at + 3);
    b->advance = t.u8(at + 4);
}

// Finds glyph k of the subtable at `sub` (k counted from the array
// record's firstGlyphIndex; gno for formats that list glyph IDs). Sets the
// image's offset relative to imageDataOffset and its size. Returns 0, 1
// not found, 2 unsupported format.
int find_image(byte_span t, size_t sub, unsigned short format, size_t k, unsigned short gno,
               bitmap* b, uint64_t* offset, uint64_t* size) {
    switch (format) {
    case 1:
    case 3: {
        size_t unit = format == 1 ? 4 : 2;
        size_t at = sub + SUBTABLE_HEADER + unit * k;
        if (!t.has(at, 2 * unit))
            return 1;
        uint64_t start = unit == 4 ? t.u32(at) : t.u16(at);
        uint64_t end = unit == 4 ? t.u32(at + 4) : t.u16(at + 2);
        if (end < start)
            return 1;
        *offset = start;
        *size = end - start;
        return 0;
    }
    case 2:
        if (!t.has(sub, SUBTABLE_HEADER + 12))
            return 1;
        *size = t.u32(sub + 8);
        *offset = *size * k;
        take_metrics(t, sub + 12, b);
        return 0;
    case 4: {
        uint64_t glyphs = t.u32(sub + 8);
        size_t pairs = sub + 12;
        for (uint64_t i = 0; i < glyphs && t.has(pairs + 4 * i, 8); i++) {
            if (t.u16(pairs + 4 * i) != gno)
                continue;
            uint64_t start = t.u16(pairs + 4 * i + 2);
            uint64_t end = t.u16(pairs + 4 * i + 6);
            if (end < start)
                return 1;
            *offset = start;
            *size = end - start;
            return 0;
        }
        return 1;
    }
    case 5: {
        if (!t.has(sub, 24))
            return 1;
        uint64_t glyphs = t.u32(sub + 20);
        for (uint64_t i = 0; i < glyphs && t.has(sub + 24 + 2 * i, 2); i++) {
            if (t.u16(sub + 24 + 2 * i) != gno)
                continue;
            *size = t.u32(sub + 8);
            *offset = *size * i;
            take_metrics(t, sub + 12, b);
            return 0;
        }
        return 1;
    }
    default:
        return 2;
    }
}

} // namespace

ttf_eblc::ttf_eblc(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("EBLC"), data, length) {}

int ttf_eblc::strike_count() {
    return (int)strikes_in(bytes());
}

int ttf_eblc::get_location(bitmap* b, bitmap_location* where) {
    byte_span t = bytes();
    size_t n = strikes_in(t);
    size_t strike = 0;
    while (strike < n) {
        size_t at = HEADER + STRIKE * strike;
        if (t.u8(at + 44) == b->ppemx && t.u8(at + 45) == b->ppemy)
            break;
        strike++;
    }
    if (strike == n)
        return 1;
    size_t rec = HEADER + STRIKE * strike;
    // Only one bit per pixel is decoded and encoded; reading a deeper
    // image as 1-bit would show noise and writing it back would damage it.
    if (t.u8(rec + 46) != 1)
        return 2;

    size_t array = t.u32(rec);
    uint64_t subtables = t.u32(rec + 8);
    for (uint64_t i = 0; i < subtables && t.has(array + ARRAY_RECORD * i, ARRAY_RECORD); i++) {
        size_t entry = array + ARRAY_RECORD * i;
        unsigned short first = t.u16(entry);
        unsigned short last = t.u16(entry + 2);
        if (b->gno < first || b->gno > last)
            continue;
        uint64_t sub = (uint64_t)array + t.u32(entry + 4);
        if (!t.has(sub, SUBTABLE_HEADER))
            return 1;
        unsigned short indexFormat = t.u16(sub);
        unsigned short imageFormat = t.u16(sub + 2);
        uint64_t base = t.u32(sub + 4);
        uint64_t relative = 0, size = 0;
        int found = find_image(t, sub, indexFormat, b->gno - first, b->gno, b, &relative, &size);
        if (found != 0)
            return found;
        uint64_t offset = base + relative;
        if (offset == 0 || size == 0)
            return 1;
        where->offset = (unsigned long)offset;
        where->size = (unsigned long)size;
        where->imageFormat = imageFormat;
        where->indexFormat = indexFormat;
        where->strike = strike;
        where->entry = entry;
        where->subtable = (size_t)sub;
        return 0;
    }
    return 1;
}

int ttf_eblc::get_offset(bitmap* b, unsigned long* offset, unsigned short* imageFormat) {
    bitmap_location where;
    int found = get_location(b, &where);
    if (found == 0) {
        *offset = where.offset;
        *imageFormat = where.imageFormat;
    }
    return found;
}

int ttf_eblc::get_sizes(int* count, unsigned char* pairs, int capacity) {
    byte_span t = bytes();
    size_t n = strikes_in(t);
    // One flag per possible pair keeps a table of many strikes linear.
    std::vector<bool> seen(65536, false);
    int found = 0;
    int result = 0;
    for (size_t s = 0; s < n; s++) {
        unsigned char x = t.u8(HEADER + STRIKE * s + 44);
        unsigned char y = t.u8(HEADER + STRIKE * s + 45);
        if (seen[x * 256 + y])
            continue;
        seen[x * 256 + y] = true;
        if (found >= capacity) {
            result = -1;
            break;
        }
        pairs[2 * found] = x;
        pairs[2 * found + 1] = y;
        found++;
    }
    *count = found;
    return result;
}
