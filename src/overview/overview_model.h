// overview_model: what the glyph overview knows of the font apart from the
// glyphs themselves (copied with the font locked, compared after every
// change), the order the cells are shown in, the selection, and what a
// search finds. No window: it is tested on its own.
#ifndef TAVREL_OVERVIEW_OVERVIEW_MODEL_H
#define TAVREL_OVERVIEW_OVERVIEW_MODEL_H

#include "font/bytes.h"

#include <cstdint>
#include <string>
#include <vector>

class ttf;

// One embedded bitmap strike: its pixels per em and where its baseline
// lies (pixels below the top of its em square).
struct strike_size {
    uint8_t ppemx = 0, ppemy = 0;
    int ascender = 0;
    bool operator==(const strike_size& o) const {
        return ppemx == o.ppemx && ppemy == o.ppemy && ascender == o.ascender;
    }
};

// Font-wide facts that decide how every cell is laid out and drawn.
struct font_facts {
    unsigned glyphs = 0;
    // The font's number (ttf::id), 0 for none: what its glyph numbers mean.
    uint64_t font = 0;
    bool outlines = false; // the font has glyph records to draw
    // The vertical extent a cell shows, in font units: the em box stretched
    // to the ascender and descender when they lie outside it.
    int top = 800, bottom = -200;
    std::vector<strike_size> strikes;

    // Copies the facts of `font` (null: no font); call with it locked.
    void take(ttf* font);
    bool operator==(const font_facts& o) const {
        return glyphs == o.glyphs && font == o.font && outlines == o.outlines && top == o.top &&
               bottom == o.bottom && strikes == o.strikes;
    }
    bool operator!=(const font_facts& o) const { return !(*this == o); }
};

// The characters the font maps to glyphs, as its character map decodes.
class char_map {
  public:
    static constexpr uint32_t no_char = 0xFFFFFFFF;

    // Copies the map of `font`; call with it locked.
    void take(ttf* font);
    bool operator==(const char_map& o) const { return fBmp == o.fBmp && fWide == o.fWide; }
    bool operator!=(const char_map& o) const { return !(*this == o); }

    // The glyph of a code (0 when unmapped).
    unsigned glyph_of(uint32_t code) const;
    // The lowest code mapped to each glyph below `glyphs` (no_char when
    // none), and every mapped glyph once, in the order of its lowest code.
    void first_codes(unsigned glyphs, std::vector<uint32_t>* first,
                     std::vector<uint16_t>* by_code) const;

  private:
    struct run {
        uint32_t start, end, glyph;
        bool operator==(const run& o) const {
            return start == o.start && end == o.end && glyph == o.glyph;
        }
    };
    std::vector<uint16_t> fBmp; // U+0000 ... U+FFFF; empty when there is no map
    std::vector<run> fWide;     // past U+FFFF, sorted
};

class overview_model {
  public:
    enum order_t { by_glyph, by_code };

    // A new font (or none): selection and cursor start again.
    void reset(const font_facts& facts, const char_map& map);
    // The same font, its map or facts changed: the order follows, the
    // selection stays on the glyphs that still exist.
    void update(const font_facts& facts, const char_map& map);
    void set_order(order_t order);
    order_t order() const { return fOrder; }

    const font_facts& facts() const { return fFacts; }
    const char_map& map() const { return fMap; }
    int count() const { return (int)fOrderList.size(); }
    // The glyph shown at a place of the order, and the place of a glyph
    // (-1 when it does not exist).
    unsigned glyph_at(int index) const { return fOrderList[(size_t)index]; }
    int index_of(unsigned gno) const { return gno < fPlace.size() ? (int)fPlace[gno] : -1; }
    // The lowest character mapped to the glyph, or char_map::no_char.
    uint32_t first_code(unsigned gno) const {
        return gno < fFirst.size() ? fFirst[gno] : char_map::no_char;
    }

    // Selection, by place in the order: a click selects one glyph, a
    // Shift+click the glyphs between the anchor (the last one clicked)
    // and it, a Ctrl+click adds or removes one.
    void select_only(int index);
    void select_range(int index);
    void toggle(int index);
    void select_all();
    bool selected(unsigned gno) const { return gno < fSelected.size() && fSelected[gno]; }
    // The selected glyphs in glyph order, for what acts on them.
    std::vector<unsigned> selection() const;
    // Counts the changes of the selection, so that whoever keeps a copy of
    // it knows when to take a new one.
    unsigned selection_serial() const { return fSelectionSerial; }
    int cursor() const { return fCursor; }
    void set_cursor(int index);

    // What a search text names: a character typed as itself, "U+XXXX", a
    // glyph number "#1a2f", or a glyph name from `post` (the post table's
    // bytes, taken only when needed: see wants_names). -1 when nothing.
    int find(const std::string& text, const byte_span& post) const;
    // Whether find needs the post table's bytes for this text.
    static bool wants_names(const std::string& text);

  private:
    void rebuild();

    font_facts fFacts;
    char_map fMap;
    order_t fOrder = by_glyph;
    std::vector<uint16_t> fOrderList;
    std::vector<uint16_t> fPlace;
    std::vector<uint32_t> fFirst;
    std::vector<uint16_t> fByCode;
    std::vector<bool> fSelected;
    unsigned fSelectionSerial = 0;
    int fAnchor = -1;
    int fCursor = -1;
};

#endif
