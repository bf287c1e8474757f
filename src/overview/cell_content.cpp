#include "overview/cell_content.h"

#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/ttf.h"

void strike_copy::take(ttf* font, unsigned gno, const strike_size& strike) {
    *this = strike_copy();
    if (!font || !font->eblc || !font->ebdt || gno > 0xFFFF)
        return;
    bitmap b((unsigned short)gno, strike.ppemx, strike.ppemy, 1);
    bitmap_location where;
    int r = font->eblc->get_location(&b, &where);
    if (r == 2) {
        kind = unsupported;
        return;
    }
    if (r != 0)
        return;
    r = font->ebdt->decode(where.offset, where.imageFormat, &b, where.size);
    if (r == 2)
        return; // an empty image: nothing to show
    if (r != 0) {
        kind = damaged;
        return;
    }
    kind = image;
    width = b.width;
    height = b.height;
    bearingx = b.bearingx;
    bearingy = b.bearingy;
    if (b.pixels)
        pixels.assign(b.pixels, b.pixels + (size_t)width * height);
    else
        kind = absent;
}

void cell_content::take(ttf* font, unsigned glyph, int strikeindex, const font_facts& facts,
                        uint32_t firstcode) {
    gno = glyph;
    code = firstcode;
    strike = strikeindex >= 0 && (size_t)strikeindex < facts.strikes.size() ? strikeindex : -1;
    if (strike < 0) {
        outline.take(font, glyph);
        picture = strike_copy();
    } else {
        picture.take(font, glyph, facts.strikes[(size_t)strike]);
        outline = glyph_copy();
    }
}

bool cell_content::same_as(ttf* font, const font_facts& facts) const {
    if (strike < 0)
        return outline.same_as(font);
    if ((size_t)strike >= facts.strikes.size())
        return false;
    strike_copy now;
    now.take(font, gno, facts.strikes[(size_t)strike]);
    return now == picture;
}
