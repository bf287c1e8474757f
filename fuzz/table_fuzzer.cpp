// Feeds arbitrary bytes straight into the name, gasp, embedded bitmap,
// character-map, fvar and gvar tables, far faster than through a whole
// font: the first byte picks the table; for the bitmaps the next two bytes
// split the rest into EBLC and EBDT, for gvar they give the font's glyph
// count. Every record, range, bitmap, subtable, axis and instance is read,
// then edited where the table is editable (gvar drops one glyph's
// variations).
#include "font/bitmap.h"
#include "font/cmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/fvar.h"
#include "font/gasp.h"
#include "font/gvar.h"
#include "font/name.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

unsigned char* table_copy(const uint8_t* data, size_t size) {
    unsigned char* p = malloc32((long)size);
    if (p && size)
        std::memcpy(p, data, size);
    return p;
}

void read_names(ttf_name& t) {
    for (int i = 0; i < t.count(); i++) {
        unsigned short p, e, l, id;
        char text[256];
        long length = sizeof text;
        t.get_field(i, &p, &e, &l, &id, &length, text);
        length = 3;
        t.get_field(i, &p, &e, &l, &id, &length, text);
    }
}

void fuzz_name(const uint8_t* data, size_t size) {
    ttf_name t(nullptr, table_copy(data, size), size);
    read_names(t);
    // The input's own bytes as text, in every stored form (as hexadecimal
    // pairs for a record kept as bytes).
    std::string text((const char*)data, size < 64 ? size : 64);
    t.set_field(3, 1, 0x409, 1, text.c_str());
    t.set_field(3, 10, 0x409, 1, text.c_str());
    t.set_field(1, 1, 11, 1, text.c_str());
    t.set_field(1, 0, 0, 1, text.c_str());
    t.set_field(3, 4, 0x404, 1, text.c_str());
    t.set_field(1, 0, 0, 2, nullptr);
    read_names(t);
}

void fuzz_gasp(const uint8_t* data, size_t size) {
    ttf_gasp g(nullptr, table_copy(data, size), size);
    unsigned short maxppem = 0, behavior = 0;
    for (int i = 0; i < g.count(); i++)
        g.get_field(i, &maxppem, &behavior);
    g.set_field(-1, data[0], data[1]);
    g.set_field((int)(data[1] % 4) - 1, data[0] % 3 ? data[2] : 0, 3);
    g.set_field(-1, maxppem, 0);
}

void fuzz_bitmaps(const uint8_t* data, size_t size) {
    size_t split = ((size_t)data[0] << 8 | data[1]) % size;
    data += 2;
    size -= 2;
    if (split > size)
        split = size;
    ttf_eblc eblc(nullptr, table_copy(data, split), split);
    ttf_ebdt ebdt(nullptr, table_copy(data + split, size - split), size - split);
    byte_span strikes = eblc.bytes();
    int n = eblc.strike_count();
    if (n <= 64) {
        unsigned char pairs[2 * 64];
        int count;
        eblc.get_sizes(&count, pairs, 64);
    }
    for (int s = 0; s < n && s < 16; s++) {
        size_t at = 8 + 48 * (size_t)s;
        unsigned first = strikes.u16(at + 40), last = strikes.u16(at + 42);
        for (unsigned g = first; g <= last && g < first + 300; g++) {
            bitmap b((unsigned short)g, strikes.u8(at + 44), strikes.u8(at + 45), 1);
            bitmap_location where;
            if (eblc.get_location(&b, &where) != 0)
                continue;
            if (ebdt.decode(where.offset, where.imageFormat, &b, where.size) != 0)
                continue;
            b.pixels[0] ^= 1;
            ebdt.encode(&b, where.offset, where.imageFormat, where.size);
        }
    }
}

// The map decoded, every subtable listed and the runs made, then runs
// mapped and unmapped below and past U+FFFF; each edit is decoded again.
void fuzz_cmap(const uint8_t* data, size_t size) {
    ttf_cmap c(nullptr, table_copy(data, size), size);
    c.get_tbl();
    c.make_listing();
    const uint32_t start = (uint32_t)data[0] << 8 | data[1];
    c.set_chr(start, start + data[2], data[3]);
    c.set_chr(0x41, 0x5A, 0xFFFF);
    c.set_chr(0xFFF0 + (data[1] & 0x1F), 0x10000 + data[2], 1);
    c.glyph_of(0x10000 + data[2]);
    c.make_listing();
}

void fuzz_fvar(const uint8_t* data, size_t size) {
    ttf_fvar t(nullptr, table_copy(data, size), size);
    fvar_axis axis;
    fvar_instance instance;
    for (int i = 0; i < t.axis_count(); i++)
        t.axis(i, &axis);
    for (int i = 0; i < t.instance_count(); i++)
        t.instance(i, &instance);
}

void fuzz_gvar(const uint8_t* data, size_t size) {
    unsigned glyphs = (unsigned)data[0] << 8 | data[1];
    ttf_gvar t(nullptr, table_copy(data + 2, size - 2), size - 2);
    if (glyphs == 0 || !t.intact(glyphs))
        return;
    size_t offset, length;
    for (unsigned g = 0; g < glyphs; g++)
        t.glyph_data(glyphs, g, &offset, &length);
    t.drop(glyphs, data[2] % glyphs);
    if (!t.intact(glyphs))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    switch (data[0] % 6) {
    case 0:
        fuzz_name(data + 1, size - 1);
        break;
    case 1:
        fuzz_gasp(data + 1, size - 1);
        break;
    case 2:
        fuzz_bitmaps(data + 1, size - 1);
        break;
    case 4:
        fuzz_fvar(data + 1, size - 1);
        break;
    case 5:
        fuzz_gvar(data + 1, size - 1);
        break;
    default:
        fuzz_cmap(data + 1, size - 1);
        break;
    }
    return 0;
}
