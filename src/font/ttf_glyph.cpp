// Glyph access of the container: finds a glyph's record through maxp, head
// and loca, decodes it, and stores a re-encoded glyph with loca kept in step.
#include "font/ttf.h"

#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/gvar.h"
#include "font/head.h"
#include "font/hmtx.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "outline/glyph.h"

#include <algorithm>
#include <vector>

namespace {

// Glyph stores remembered for windows that follow the font's changes.
const size_t MAX_STORES_KEPT = 256;

bool has_glyph_tables(const ttf& font) {
    return font.glyf && font.head && font.loca && font.maxp;
}

// True when any of the glyphs `from` is `target` or reaches it through the
// component entries of the font's records. Every glyph is visited once; a
// damaged record ends the walk along it (it reaches nothing readable).
bool reaches(const ttf& font, std::vector<unsigned> from, unsigned target) {
    const unsigned n = font.maxp->numglyphs();
    const bool is32 = font.head->is32loca();
    const byte_span glyf = font.glyf->bytes();
    std::vector<bool> seen(n);
    while (!from.empty()) {
        unsigned gi = from.back();
        from.pop_back();
        if (gi == target)
            return true;
        if (gi >= n || seen[gi])
            continue;
        seen[gi] = true;
        unsigned long offset, length;
        if (font.loca->get_offset(is32, (int)gi, &offset, &length) != 0)
            continue;
        byte_span rec = glyf.slice(offset, length);
        if (rec.size() != length || length < 10 || rec.s16(0) >= 0)
            continue;
        glyf_component c;
        size_t pos = 10;
        do {
            pos = glyf_read_component(rec, pos, &c);
            if (pos == 0)
                break;
            from.push_back(c.glyph);
        } while (c.flags & glyf_flag::more_components);
    }
    return false;
}

} // namespace

int ttf::get_glyph(int gno, glyph* g) {
    if (!g || !has_glyph_tables(*this) || gno < 0 || (unsigned)gno >= maxp->numglyphs())
        return -1;
    unsigned long offset, length;
    if (loca->get_offset(head->is32loca(), gno, &offset, &length) != 0) {
        g->lossy |= glyph::lost_damaged;
        return -1;
    }
    if (length != 0 && glyf->decode(offset, length, g) != 0) {
        g->lossy |= glyph::lost_damaged;
        return -1;
    }
    return 0;
}

bool ttf::makes_cycle(int gno, int part) {
    if (!has_glyph_tables(*this) || gno < 0 || part < 0)
        return false;
    return reaches(*this, {(unsigned)part}, (unsigned)gno);
}

int ttf::set_glyph(int gno, const glyph* g, bool dropvariations) {
    if (!g || !has_glyph_tables(*this) || gno < 0 || (unsigned)gno >= maxp->numglyphs())
        return -1;
    // Storing what was read only in part would destroy the rest.
    if (g->lossy)
        return TTF_GLYPH_LOSSY;
    // A composite glyph that contains itself could never be read back.
    std::vector<unsigned> parts;
    for (int k = 0; k < g->ncompo; k++) {
        if (g->compo[k])
            parts.push_back(g->compo[k]->index);
    }
    if (!parts.empty() && reaches(*this, parts, (unsigned)gno))
        return TTF_GLYPH_CYCLE;
    const uint64_t before = fChanges;
    const bool is32 = head->is32loca();
    unsigned long offset, length;
    if (loca->get_offset(is32, gno, &offset, &length) != 0)
        return -1;
    byte_span old = glyf->bytes().slice(offset, length);
    if (old.size() != length)
        return -1;
    // Variation data numbers the points of the outline it was made for.
    const bool drop = glyph_varies(gno) && (dropvariations || !same_point_numbering(old, g));
    if (drop && !dropvariations)
        return TTF_GLYPH_VARIES;
    if (drop && !variations_intact())
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
    if (drop && !gvar->drop(maxp->numglyphs(), (unsigned)gno)) {
        loca->chg_length(is32, gno, length);
        glyf->splice(offset, newlength, saved.data(), saved.size());
        return -1;
    }
    // Renderers place an outline by its left side bearing; kept at the new
    // xMin, the glyph stays where it was drawn when its xMin moves. An
    // empty glyph has no xMin and keeps its side bearing.
    unsigned short aw;
    short lsb;
    if (hmtx && newlength >= 10 && hmtx->get_mtx((unsigned short)gno, &aw, &lsb) == 0) {
        short xmin = glyf->bytes().s16(offset + 2);
        if (xmin != lsb)
            hmtx->set_mtx((unsigned short)gno, aw, xmin);
    }
    fStores.push_back({before, fChanges, gno});
    if (fStores.size() > MAX_STORES_KEPT)
        fStores.pop_front();
    return 0;
}

bool ttf::stored_glyphs(uint64_t from, uint64_t to, std::vector<int>* glyphs) const {
    glyphs->clear();
    auto at = fStores.begin();
    while (from != to) {
        while (at != fStores.end() && at->from != from)
            ++at;
        if (at == fStores.end())
            return false;
        glyphs->push_back(at->glyph);
        from = at->to;
        ++at;
    }
    return true;
}
