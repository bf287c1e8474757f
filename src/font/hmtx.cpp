#include "font/hmtx.h"

#include "font/hhea.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"

ttf_hmtx::ttf_hmtx(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("hmtx"), data, length) {
    if (!data)
        create_default();
}

ttf_hmtx::~ttf_hmtx() {
    delete preview;
}

void ttf_hmtx::create_default() {
    unsigned long n = owner && owner->setup ? (uint16_t)owner->setup->glyphcount : 0;
    replace_data(malloc32((long)(4 * n)), 4 * n);
    byte_writer w = writer();
    for (unsigned long g = 0; g < n; g++)
        w.put16(4 * g, 512);
}

namespace {

// Where glyph g's advance width and side bearing lie; false when the font
// cannot say.
bool locate(ttf* font, unsigned g, size_t* awpos, size_t* lsbpos) {
    if (!font || !font->hhea || !font->maxp || g >= font->maxp->numglyphs())
        return false;
    unsigned n = font->hhea->numhmtx();
    if (n == 0)
        return false;
    if (g < n) {
        *awpos = 4 * (size_t)g;
        *lsbpos = *awpos + 2;
    } else {
        *awpos = 4 * ((size_t)n - 1);
        *lsbpos = 4 * (size_t)n + 2 * ((size_t)g - n);
    }
    return true;
}

} // namespace

int ttf_hmtx::get_mtx(unsigned short g, unsigned short* aw, short* lsb) {
    size_t awpos, lsbpos;
    byte_span b = bytes();
    if (!locate(owner, g, &awpos, &lsbpos) || !b.has(awpos, 2) || !b.has(lsbpos, 2))
        return 1;
    *aw = b.u16(awpos);
    *lsb = b.s16(lsbpos);
    return 0;
}

int ttf_hmtx::set_mtx(unsigned short g, unsigned short aw, short lsb) {
    size_t awpos, lsbpos;
    byte_writer w = writer();
    if (!locate(owner, g, &awpos, &lsbpos) || !w.has(awpos, 2) || !w.has(lsbpos, 2))
        return 1;
    // Glyphs past the full entries share the last advance width; only their
    // side bearing is their own.
    if (lsbpos == awpos + 2)
        w.put16(awpos, aw);
    w.put16(lsbpos, (uint16_t)lsb);
    return 0;
}
