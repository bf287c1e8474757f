// The container's side of glyph variations: which glyphs vary, whether gvar
// can be kept consistent, and whether a new outline numbers its points as
// the old one did.
#include "font/ttf.h"

#include "font/glyf_components.h"
#include "font/gvar.h"
#include "font/maxp.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <vector>

bool same_point_numbering(const byte_span& old, const glyph* g) {
    if (g->ncompo > 0) {
        if (old.size() < 10 || old.s16(0) >= 0)
            return false;
        int entries = 0;
        glyf_component c;
        size_t pos = 10;
        do {
            pos = glyf_read_component(old, pos, &c);
            if (pos == 0)
                return false;
            entries++;
        } while (c.flags & glyf_flag::more_components);
        return entries == g->ncompo;
    }
    // Contours without points are not written, so they number nothing.
    std::vector<size_t> ends;
    size_t points = 0;
    for (int i = 0; i < g->count; i++) {
        if (g->contours[i] && g->contours[i]->count > 0) {
            points += (size_t)g->contours[i]->count;
            ends.push_back(points - 1);
        }
    }
    // An empty record and a record without contours hold no points.
    if (old.size() < 10 || old.s16(0) == 0)
        return ends.empty();
    if (old.s16(0) < 0 || (size_t)old.s16(0) != ends.size() || !old.has(10, 2 * ends.size()))
        return false;
    for (size_t k = 0; k < ends.size(); k++)
        if (old.u16(10 + 2 * k) != ends[k])
            return false;
    return true;
}

bool ttf::variations_intact() const {
    return !gvar || (maxp && gvar->intact(maxp->numglyphs()));
}

bool ttf::glyph_varies(int gno) const {
    if (!gvar || !maxp || gno < 0)
        return false;
    size_t offset, length;
    // A table that cannot be read cannot say that a glyph does not vary.
    if (!gvar->glyph_data(maxp->numglyphs(), (unsigned)gno, &offset, &length))
        return (unsigned)gno < maxp->numglyphs();
    return length > 0;
}
