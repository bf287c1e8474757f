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
    if (!b || !eblc || !ebdt || eblc->get_location(b, &where) != 0 ||
        ebdt->check(b, where.offset, where.imageFormat, where.size) != 0)
        return -1;
    // An image that other strikes or glyphs read too gets bytes of its own
    // first, so that the edit changes this strike's glyph alone.
    if (eblc->image_shared(where, b->gno) && !eblc->unshare(b, &where, ebdt))
        return -1;
    return ebdt->encode(b, where.offset, where.imageFormat, where.size) == 0 ? 0 : -1;
}
