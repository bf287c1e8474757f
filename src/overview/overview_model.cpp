#include "overview/overview_model.h"

#include "font/cmap.h"
#include "font/eblc.h"
#include "font/head.h"
#include "font/hhea.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "overview/post_names.h"

#include <algorithm>
#include <cctype>

namespace {

// An extent a cell can show: top above bottom, neither absurd for the em.
bool sane_extent(int top, int bottom, int em) {
    return top > bottom && top - bottom >= em / 4 && top - bottom <= 4 * em;
}

bool parse_hex(const std::string& s, uint32_t limit, uint32_t* value) {
    if (s.empty() || s.size() > 8)
        return false;
    uint32_t v = 0;
    for (char c : s) {
        if (!std::isxdigit((unsigned char)c))
            return false;
        v = v * 16 +
            (uint32_t)(std::isdigit((unsigned char)c) ? c - '0' : std::tolower(c) - 'a' + 10);
    }
    if (v > limit)
        return false;
    *value = v;
    return true;
}

// The one character `text` holds, or no_char.
uint32_t single_char(const std::string& text) {
    const unsigned char* p = (const unsigned char*)text.data();
    size_t n = text.size();
    if (n == 0)
        return char_map::no_char;
    size_t len = p[0] < 0x80         ? 1
                 : (p[0] >> 5) == 6  ? 2
                 : (p[0] >> 4) == 14 ? 3
                 : (p[0] >> 3) == 30 ? 4
                                     : 0;
    if (len == 0 || len != n)
        return char_map::no_char;
    uint32_t c = len == 1 ? p[0] : p[0] & (0x7F >> len);
    for (size_t i = 1; i < len; i++) {
        if ((p[i] & 0xC0) != 0x80)
            return char_map::no_char;
        c = (c << 6) | (p[i] & 0x3F);
    }
    return c <= 0x10FFFF ? c : char_map::no_char;
}

} // namespace

void font_facts::take(ttf* font) {
    *this = font_facts();
    if (!font)
        return;
    glyphs = font->maxp ? font->maxp->numglyphs() : 0;
    this->font = font->id();
    outlines = font->glyf && font->loca && font->head;
    int em = font->head ? (int)font->head->unitsperem() : 0;
    if (em < 16 || em > 16384)
        em = 1000;
    top = em * 4 / 5;
    bottom = top - em;
    // The ascender and descender, else the font's box, else most of the em
    // above the baseline.
    int asc = font->hhea ? font->hhea->bytes().s16(4) : 0;
    int desc = font->hhea ? font->hhea->bytes().s16(6) : 0;
    BRect box = font->head ? font->head->bounds() : BRect();
    if (sane_extent(asc, desc, em)) {
        top = asc;
        bottom = desc;
    } else if (font->head && sane_extent((int)box.top, (int)box.bottom, em)) {
        top = (int)box.top;
        bottom = (int)box.bottom;
    }
    if (font->eblc && font->ebdt) {
        const byte_span t = font->eblc->bytes();
        const int n = font->eblc->strike_count();
        for (int s = 0; s < n; s++) {
            strike_size z;
            size_t at = 8 + 48 * (size_t)s;
            z.ppemx = t.u8(at + 44);
            z.ppemy = t.u8(at + 45);
            if (z.ppemx == 0 || z.ppemy == 0)
                continue;
            bool known = false;
            for (const strike_size& k : strikes)
                known |= k.ppemx == z.ppemx && k.ppemy == z.ppemy;
            if (known)
                continue;
            int asc = t.s8(at + 16);
            z.ascender = asc > 0 && asc <= 2 * z.ppemy ? asc : (z.ppemy * 4 + 2) / 5;
            strikes.push_back(z);
        }
    }
}

void char_map::take(ttf* font) {
    fBmp.clear();
    fWide.clear();
    if (!font || !font->cmap || !font->cmap->chrmap)
        return;
    fBmp.assign(font->cmap->chrmap, font->cmap->chrmap + 0x10000);
    for (const cmap_subtables::group& g : font->cmap->wide)
        fWide.push_back({g.start, g.end, g.glyph});
}

unsigned char_map::glyph_of(uint32_t code) const {
    if (code < 0x10000)
        return code < fBmp.size() ? fBmp[code] : 0;
    auto at = std::upper_bound(fWide.begin(), fWide.end(), code,
                               [](uint32_t c, const run& r) { return c < r.start; });
    if (at == fWide.begin() || (at - 1)->end < code)
        return 0;
    return (at - 1)->glyph + (code - (at - 1)->start);
}

void char_map::first_codes(unsigned glyphs, std::vector<uint32_t>* first,
                           std::vector<uint16_t>* by_code) const {
    first->assign(glyphs, no_char);
    by_code->clear();
    auto note = [&](uint32_t code, uint32_t g) {
        if (g != 0 && g < glyphs && (*first)[g] == no_char) {
            (*first)[g] = code;
            by_code->push_back((uint16_t)g);
        }
    };
    for (uint32_t c = 0; c < fBmp.size(); c++)
        note(c, fBmp[c]);
    for (const run& r : fWide) {
        // A run's glyphs are consecutive: past the font's last one, none
        // of the rest exists either.
        for (uint32_t c = r.start; c <= r.end && r.glyph + (c - r.start) < glyphs; c++)
            note(c, r.glyph + (c - r.start));
    }
}

void overview_model::reset(const font_facts& facts, const char_map& map) {
    fFacts = facts;
    fMap = map;
    fSelected.assign(facts.glyphs, false);
    fSelectionSerial++;
    fAnchor = -1;
    fCursor = facts.glyphs ? 0 : -1;
    rebuild();
}

void overview_model::update(const font_facts& facts, const char_map& map) {
    unsigned cursorglyph = fCursor >= 0 && fCursor < count() ? glyph_at(fCursor) : 0;
    unsigned anchorglyph = fAnchor >= 0 && fAnchor < count() ? glyph_at(fAnchor) : 0;
    bool anchored = fAnchor >= 0;
    fFacts = facts;
    fMap = map;
    if (facts.glyphs != fSelected.size())
        fSelectionSerial++;
    fSelected.resize(facts.glyphs, false);
    rebuild();
    fCursor = count() ? std::max(0, index_of(std::min(cursorglyph, facts.glyphs - 1))) : -1;
    fAnchor = anchored && anchorglyph < facts.glyphs ? index_of(anchorglyph) : -1;
}

void overview_model::set_order(order_t order) {
    if (order == fOrder)
        return;
    unsigned cursorglyph = fCursor >= 0 ? glyph_at(fCursor) : 0;
    unsigned anchorglyph = fAnchor >= 0 ? glyph_at(fAnchor) : 0;
    bool anchored = fAnchor >= 0;
    fOrder = order;
    rebuild();
    if (fCursor >= 0)
        fCursor = index_of(cursorglyph);
    if (anchored)
        fAnchor = index_of(anchorglyph);
}

void overview_model::rebuild() {
    const unsigned n = fFacts.glyphs;
    fMap.first_codes(n, &fFirst, &fByCode);
    fOrderList.clear();
    fOrderList.reserve(n);
    if (fOrder == by_code) {
        fOrderList = fByCode;
        for (unsigned g = 0; g < n; g++)
            if (fFirst[g] == char_map::no_char)
                fOrderList.push_back((uint16_t)g);
    } else {
        for (unsigned g = 0; g < n; g++)
            fOrderList.push_back((uint16_t)g);
    }
    fPlace.assign(n, 0);
    for (size_t i = 0; i < fOrderList.size(); i++)
        fPlace[fOrderList[i]] = (uint16_t)i;
}

void overview_model::set_cursor(int index) {
    if (count() == 0) {
        fCursor = -1;
        return;
    }
    fCursor = std::clamp(index, 0, count() - 1);
}

void overview_model::select_only(int index) {
    if (index < 0 || index >= count())
        return;
    std::fill(fSelected.begin(), fSelected.end(), false);
    fSelected[glyph_at(index)] = true;
    fSelectionSerial++;
    fAnchor = fCursor = index;
}

void overview_model::select_range(int index) {
    if (index < 0 || index >= count())
        return;
    if (fAnchor < 0) {
        select_only(index);
        return;
    }
    std::fill(fSelected.begin(), fSelected.end(), false);
    for (int i = std::min(fAnchor, index); i <= std::max(fAnchor, index); i++)
        fSelected[glyph_at(i)] = true;
    fSelectionSerial++;
    fCursor = index;
}

void overview_model::toggle(int index) {
    if (index < 0 || index >= count())
        return;
    unsigned g = glyph_at(index);
    fSelected[g] = !fSelected[g];
    fSelectionSerial++;
    fAnchor = fCursor = index;
}

void overview_model::select_all() {
    std::fill(fSelected.begin(), fSelected.end(), true);
    fSelectionSerial++;
}

std::vector<unsigned> overview_model::selection() const {
    std::vector<unsigned> out;
    for (unsigned g = 0; g < fSelected.size(); g++)
        if (fSelected[g])
            out.push_back(g);
    return out;
}

bool overview_model::wants_names(const std::string& text) {
    if (text.empty() || text[0] == '#' || single_char(text) != char_map::no_char)
        return false;
    return !(text.size() > 2 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+');
}

int overview_model::find(const std::string& text, const byte_span& post) const {
    const unsigned n = fFacts.glyphs;
    uint32_t v;
    if (text.size() > 1 && text[0] == '#')
        return parse_hex(text.substr(1), 0xFFFF, &v) && v < n ? (int)v : -1;
    if (text.size() > 2 && (text[0] == 'U' || text[0] == 'u') && text[1] == '+') {
        if (!parse_hex(text.substr(2), 0x10FFFF, &v))
            return -1;
        unsigned g = fMap.glyph_of(v);
        return g != 0 && g < n ? (int)g : -1;
    }
    uint32_t c = single_char(text);
    if (c != char_map::no_char) {
        unsigned g = fMap.glyph_of(c);
        return g != 0 && g < n ? (int)g : -1;
    }
    if (text.empty())
        return -1;
    int g = post_glyph_named(post, text, n);
    return g >= 0 && (unsigned)g < n ? g : -1;
}
