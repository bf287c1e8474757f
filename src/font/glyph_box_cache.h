// Every glyph's box (glyf_bounds) kept between saves, so that working out
// head's box and hhea's extremes after an edit measures only the glyphs
// whose records changed and the composites made of them at any depth.
//
// An entry remembers a fingerprint of its glyph's record, however the
// record came to change (a store, an undo or redo, a table replaced, loca
// rewritten): an update measures again every glyph whose record no longer
// has its fingerprint and every composite with such a glyph among its
// components. When glyf and loca have not changed at all (their stamps),
// an update reads nothing.
#ifndef TAVREL_FONT_GLYPH_BOX_CACHE_H
#define TAVREL_FONT_GLYPH_BOX_CACHE_H

#include "font/glyf_bounds.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class ttf;

class glyph_box_cache {
  public:
    // Brings every glyph's entry up to date with the font's records.
    void update(ttf& font);
    // Glyph gno's box as of the last update, as glyf_bounds::box_of gives
    // it; damaged for a glyph past the font's count.
    glyf_bounds::result box_of(unsigned gno, glyph_box* box) const;
    // How many glyphs the last update measured.
    size_t measured() const { return fMeasured; }

  private:
    struct entry {
        uint64_t print = 0;
        glyph_box box;
        glyf_bounds::result result = glyf_bounds::damaged;
    };
    // Whether composite gno is made of a glyph measured again (which
    // `state` marks), at any depth; a cycle or a chain too deep counts as
    // changed.
    bool parts_changed(unsigned gno, unsigned depth, std::vector<uint8_t>& state) const;

    std::vector<entry> fEntries;
    // The components of each composite, as its record lists them.
    std::unordered_map<unsigned, std::vector<uint16_t>> fParts;
    // What the entries were worked out from.
    bool fValid = false;
    uint64_t fGlyfStamp = 0, fLocaStamp = 0;
    unsigned fGlyphs = 0;
    bool fLong = false;
    size_t fMeasured = 0;
};

#endif
