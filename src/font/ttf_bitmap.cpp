// The container's access to embedded bitmap glyphs: EBLC says where the
// image lies, EBDT holds it.
#include "font/ttf.h"

#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"

int ttf::get_bitmap(bitmap* b) {
    bitmap_location where;
    if (!b || !eblc || !ebdt || eblc->get_location(b, &where) != 0)
        return -1;
    return ebdt->decode(where.offset, where.imageFormat, b, where.size) == 0 ? 0 : -1;
}

int ttf::set_bitmap(bitmap* b) {
    bitmap_location where;
    if (!b || !eblc || !ebdt || eblc->get_location(b, &where) != 0)
        return -1;
    return ebdt->encode(b, where.offset, where.imageFormat, where.size) == 0 ? 0 : -1;
}
