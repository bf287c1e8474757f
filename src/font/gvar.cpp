#include "font/gvar.h"

namespace {

const size_t MAJOR = 0, AXIS_COUNT = 4, SHARED_COUNT = 6, SHARED_OFFSET = 8, GLYPH_COUNT = 12,
             FLAGS = 14, DATA_OFFSET = 16, OFFSETS = 20;
const uint16_t LONG_OFFSETS = 0x0001;

// The table's layout as its header gives it.
struct layout {
    size_t width;    // of one offset: 2 or 4
    size_t data;     // the start of the variation data array
    unsigned glyphs; // glyphCount
    // Glyph g's offset into the data array, in bytes.
    size_t offset(const byte_span& b, unsigned g) const {
        size_t at = OFFSETS + width * g;
        return width == 4 ? b.u32(at) : 2 * (size_t)b.u16(at);
    }
};

// The layout, when the header and every offset lie inside the table and
// the offsets run forwards; the cost is one pass over the offsets.
bool read_layout(const byte_span& b, unsigned glyphs, layout* out) {
    if (!b.has(0, OFFSETS) || b.u16(MAJOR) != 1 || b.u16(GLYPH_COUNT) != glyphs)
        return false;
    layout l;
    l.width = (b.u16(FLAGS) & LONG_OFFSETS) ? 4 : 2;
    l.data = b.u32(DATA_OFFSET);
    l.glyphs = glyphs;
    if (!b.has(OFFSETS, l.width * ((size_t)glyphs + 1)) || l.data > b.size())
        return false;
    const size_t tuples = (size_t)b.u16(SHARED_COUNT) * b.u16(AXIS_COUNT) * 2;
    if (!b.has(b.u32(SHARED_OFFSET), tuples))
        return false;
    size_t previous = 0;
    for (unsigned g = 0; g <= glyphs; g++) {
        size_t o = l.offset(b, g);
        if (o < previous)
            return false;
        previous = o;
    }
    if (previous > b.size() - l.data)
        return false;
    *out = l;
    return true;
}

} // namespace

ttf_gvar::ttf_gvar(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("gvar"), data, length) {}

bool ttf_gvar::intact(unsigned glyphs) const {
    layout l;
    return read_layout(bytes(), glyphs, &l);
}

bool ttf_gvar::glyph_data(unsigned glyphs, unsigned gno, size_t* offset, size_t* length) const {
    layout l;
    const byte_span b = bytes();
    if (gno >= glyphs || !read_layout(b, glyphs, &l))
        return false;
    size_t start = l.offset(b, gno), end = l.offset(b, gno + 1);
    *offset = l.data + start;
    *length = end - start;
    return true;
}

bool ttf_gvar::drop(unsigned glyphs, unsigned gno) {
    layout l;
    const byte_span b = bytes();
    if (gno >= glyphs || !read_layout(b, glyphs, &l))
        return false;
    const size_t start = l.data + l.offset(b, gno);
    const size_t n = l.offset(b, gno + 1) - l.offset(b, gno);
    if (n == 0)
        return true;
    // Shared tuples inside the run would go with it (no writer puts them
    // there, but the table does not forbid it).
    const size_t shared = b.u32(SHARED_OFFSET);
    if (shared + (size_t)b.u16(SHARED_COUNT) * b.u16(AXIS_COUNT) * 2 > start && shared < start + n)
        return false;
    if (!splice(start, n, nullptr, 0))
        return false;
    // Short offsets count 2-byte units, and every run starts and ends on
    // one, so n is even there.
    const int64_t units = l.width == 4 ? (int64_t)n : (int64_t)(n / 2);
    shift_entries(OFFSETS + l.width * ((size_t)gno + 1), glyphs - gno, (int)l.width, -units);
    if (shared >= start + n)
        shift_entries(SHARED_OFFSET, 1, 4, -(int64_t)n);
    return true;
}
