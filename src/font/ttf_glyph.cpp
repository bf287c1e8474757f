// Glyph access of the container: finds a glyph's record through maxp, head
// and loca, decodes it, and stores a re-encoded glyph with loca kept in step.
#include "font/ttf.h"

#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "outline/glyph.h"

#include <algorithm>
#include <vector>

namespace {

bool has_glyph_tables(const ttf& font) {
    return font.glyf && font.head && font.loca && font.maxp;
}

} // namespace

int ttf::get_glyph(int gno, glyph* g) {
    if (!g || !has_glyph_tables(*this) || gno < 0 || (unsigned)gno >= maxp->numglyphs())
        return -1;
    unsigned long offset, length;
    if (loca->get_offset(head->is32loca(), gno, &offset, &length) != 0)
        return -1;
    if (length != 0 && glyf->decode(offset, length, g) != 0)
        return -1;
    return 0;
}

int ttf::set_glyph(int gno, const glyph* g) {
    if (!g || !has_glyph_tables(*this) || gno < 0 || (unsigned)gno >= maxp->numglyphs())
        return -1;
    // A composite glyph that names itself could never be read back.
    for (int k = 0; k < g->ncompo; k++) {
        if (g->compo[k] && g->compo[k]->index == gno)
            return -1;
    }
    const bool is32 = head->is32loca();
    unsigned long offset, length;
    if (loca->get_offset(is32, gno, &offset, &length) != 0)
        return -1;
    byte_span old = glyf->bytes().slice(offset, length);
    if (old.size() != length)
        return -1;
    std::vector<unsigned char> saved(old.data(), old.data() + old.size());
    unsigned long newlength = length;
    if (glyf->encode(g, &offset, &newlength) != 0)
        return -1;
    if (loca->chg_length(is32, gno, newlength) != 0) {
        // loca could not follow: put the old record back so that glyf and
        // loca still agree.
        glyf->splice(offset, newlength, saved.data(), saved.size());
        return -1;
    }
    return 0;
}
