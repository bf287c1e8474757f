#include "overview/glyph_copy.h"

#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"

#include <algorithm>
#include <cstring>

namespace {

// As many distinct records as one decode may read (the codec's own bound
// on component records), and the glyph itself.
const size_t max_records = 8 * (size_t)glyph::max_components + 1;

} // namespace

int glyph_advance(ttf* font, unsigned gno) {
    unsigned short aw;
    short lsb;
    if (!font || !font->hmtx || gno > 0xFFFF || font->hmtx->get_mtx((unsigned short)gno, &aw, &lsb))
        return -1;
    return aw;
}

void glyph_copy::read(ttf* font, unsigned gi, entry* e, byte_span* rec) {
    e->gi = (uint16_t)gi;
    e->length = 0;
    *rec = byte_span();
    if (!font->glyf) {
        e->state = missing;
        return;
    }
    e->state = (uint8_t)glyf_table_records(*font->glyf).record(gi, rec);
    if (e->state == found)
        e->length = (uint32_t)rec->size();
}

void glyph_copy::take(ttf* font, unsigned gno, size_t byte_limit) {
    fGno = gno;
    fKind = none;
    fEntries.clear();
    fBytes.clear();
    fAdvance = glyph_advance(font, gno);
    if (!font || gno > 0xFFFF)
        return;
    const unsigned count = font->maxp ? font->maxp->numglyphs() : 0;
    // Glyphs met on this walk; kept between walks, cleared as it ends.
    thread_local std::vector<uint8_t> seen(0x10000);
    struct forget {
        const std::vector<entry>& met;
        ~forget() {
            for (const entry& e : met)
                seen[e.gi] = 0;
        }
    } clean{fEntries};
    std::vector<unsigned> todo{gno};
    while (!todo.empty()) {
        unsigned gi = todo.back();
        todo.pop_back();
        if (seen[gi])
            continue;
        seen[gi] = 1;
        entry e;
        byte_span rec;
        read(font, gi, &e, &rec);
        e.offset = (uint32_t)fBytes.size();
        if (fBytes.size() + e.length > byte_limit || fEntries.size() >= max_records) {
            for (const entry& met : fEntries)
                seen[met.gi] = 0;
            seen[gi] = 0;
            fEntries.clear();
            fBytes.clear();
            fKind = damaged;
            return;
        }
        fBytes.insert(fBytes.end(), rec.data(), rec.data() + e.length);
        fEntries.push_back(e);
        // A composite needs its components' records too.
        if (e.state == found && rec.size() >= 10 && rec.s16(0) < 0) {
            glyf_component c;
            size_t pos = 10;
            do {
                pos = glyf_read_component(rec, pos, &c);
                if (pos == 0)
                    break;
                if (!seen[c.glyph])
                    todo.push_back(c.glyph);
            } while (c.flags & glyf_flag::more_components);
        }
    }
    std::sort(fEntries.begin(), fEntries.end(),
              [](const entry& a, const entry& b) { return a.gi < b.gi; });
    const entry* root = find(gno);
    if (!font->glyf)
        fKind = gno < count ? empty : none;
    else if (root->state == found)
        fKind = root->length == 0 ? empty : outline;
    else if (root->state == damaged || gno < count)
        fKind = damaged;
}

bool glyph_copy::same_as(ttf* font) const {
    if (!font || glyph_advance(font, fGno) != fAdvance)
        return false;
    if (fEntries.empty()) {
        // Nothing was copied: a damaged glyph too large to copy, or a font
        // without glyph records.
        glyph_copy again;
        again.take(font, fGno);
        return again.fKind == fKind && again.fEntries.empty();
    }
    if (!font->glyf)
        return false;
    for (const entry& e : fEntries) {
        entry now;
        byte_span rec;
        read(font, e.gi, &now, &rec);
        if (now.state != e.state || now.length != e.length)
            return false;
        if (e.length && std::memcmp(rec.data(), fBytes.data() + e.offset, e.length) != 0)
            return false;
    }
    return true;
}

const glyph_copy::entry* glyph_copy::find(unsigned gi) const {
    auto at = std::lower_bound(fEntries.begin(), fEntries.end(), gi,
                               [](const entry& e, unsigned n) { return e.gi < n; });
    return at != fEntries.end() && at->gi == gi ? &*at : nullptr;
}

glyf_records::status glyph_copy::record(unsigned gi, byte_span* rec) const {
    const entry* e = find(gi);
    // A record not copied is one the walk did not reach: the decode never
    // asks for it, as it follows the same component entries.
    if (!e)
        return missing;
    *rec = byte_span(fBytes.data() + e->offset, e->length);
    return (status)e->state;
}

int glyph_copy::decode(glyph* g) const {
    if (fKind == empty)
        return 0;
    if (fKind != outline || !g)
        return -1;
    byte_span rec;
    if (record(fGno, &rec) != found)
        return -1;
    if (glyf_decode(*this, rec, g) != 0) {
        g->lossy |= glyph::lost_damaged;
        return -1;
    }
    return 0;
}
