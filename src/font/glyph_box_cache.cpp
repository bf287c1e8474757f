#include "font/glyph_box_cache.h"

#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"

namespace {

// Fingerprints of records that have no bytes to take one of.
const uint64_t EMPTY_RECORD = 1, MISSING_RECORD = 2;
const size_t RECORD_HEADER = 10;

// Marks of a glyph during an update.
enum : uint8_t { UNKNOWN, VISITING, SAME, CHANGED };

} // namespace

void glyph_box_cache::update(ttf& font) {
    fMeasured = 0;
    const unsigned n = font.maxp ? font.maxp->numglyphs() : 0;
    const uint64_t glyf = font.glyf ? font.glyf->stamp() : 0;
    const uint64_t loca = font.loca ? font.loca->stamp() : 0;
    const bool islong = font.head && font.head->is32loca();
    if (fValid && glyf == fGlyfStamp && loca == fLocaStamp && n == fGlyphs && islong == fLong)
        return;

    // A glyph is measured again when its record changed, or when it is
    // new; a glyph past the new count goes.
    std::vector<uint8_t> state(n, SAME);
    const size_t kept = fValid ? std::min<size_t>(fEntries.size(), n) : 0;
    fEntries.resize(n);
    for (unsigned g = 0; g < n; g++) {
        byte_span rec;
        const glyf_record_kind kind = glyf_record(font, g, &rec);
        const uint64_t print = kind == glyf_record_kind::found   ? rec.fingerprint()
                               : kind == glyf_record_kind::empty ? EMPTY_RECORD
                                                                 : MISSING_RECORD;
        if (g < kept && fEntries[g].print == print)
            continue;
        fEntries[g].print = print;
        state[g] = CHANGED;
        // The components are read from the record as it is now.
        fParts.erase(g);
        if (kind != glyf_record_kind::found || rec.s16(0) >= 0)
            continue;
        std::vector<uint16_t>& parts = fParts[g];
        glyf_component c;
        size_t pos = RECORD_HEADER;
        do {
            pos = glyf_read_component(rec, pos, &c);
            if (pos == 0)
                break;
            parts.push_back(c.glyph);
        } while (c.flags & glyf_flag::more_components);
    }
    for (auto it = fParts.begin(); it != fParts.end();) {
        if (it->first >= n)
            it = fParts.erase(it);
        else
            ++it;
    }
    // Composites whose records stayed follow their components.
    for (auto& composite : fParts)
        if (state[composite.first] == SAME)
            state[composite.first] = UNKNOWN;
    for (auto& composite : fParts)
        parts_changed(composite.first, 0, state);
    glyf_bounds bounds(font);
    for (unsigned g = 0; g < n; g++) {
        if (state[g] != CHANGED)
            continue;
        entry& e = fEntries[g];
        e.box = glyph_box();
        e.result = bounds.box_of(g, &e.box);
        fMeasured++;
    }
    fValid = true;
    fGlyfStamp = glyf;
    fLocaStamp = loca;
    fGlyphs = n;
    fLong = islong;
}

bool glyph_box_cache::parts_changed(unsigned gno, unsigned depth,
                                    std::vector<uint8_t>& state) const {
    // A component past the count: the count may have just dropped below it.
    if (gno >= state.size())
        return true;
    switch (state[gno]) {
    case SAME:
        return false;
    case CHANGED:
        return true;
    case VISITING:
        // A glyph that contains itself: measured again, to be safe.
        state[gno] = CHANGED;
        return true;
    default:
        break;
    }
    auto it = fParts.find(gno);
    if (it == fParts.end()) {
        state[gno] = SAME;
        return false;
    }
    if (depth > GLYF_MAX_COMPONENT_DEPTH) {
        state[gno] = CHANGED;
        return true;
    }
    state[gno] = VISITING;
    bool changed = false;
    for (uint16_t part : it->second)
        changed = parts_changed(part, depth + 1, state) || changed;
    // A cycle found below marked this glyph already.
    if (state[gno] == VISITING)
        state[gno] = changed ? CHANGED : SAME;
    return state[gno] == CHANGED;
}

glyf_bounds::result glyph_box_cache::box_of(unsigned gno, glyph_box* box) const {
    if (gno >= fEntries.size())
        return glyf_bounds::damaged;
    *box = fEntries[gno].box;
    return fEntries[gno].result;
}
