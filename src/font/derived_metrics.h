// The head and hhea values that follow from the outlines and the
// horizontal metrics: head's font box (the union of every outline's box)
// and hhea's advanceWidthMax, minLeftSideBearing, minRightSideBearing and
// xMaxExtent, worked out as fontTools recomputes them when it compiles a
// font. Glyphs without outline count for advanceWidthMax only.
#ifndef TAVREL_FONT_DERIVED_METRICS_H
#define TAVREL_FONT_DERIVED_METRICS_H

#include "font/glyf_bounds.h"

class glyph_box_cache;
class ttf;

struct derived_metrics {
    // Some glyph has an outline: `box` is the union of their boxes.
    bool has_box = false;
    glyph_box box;
    // The horizontal metrics could be read for some glyph.
    bool has_metrics = false;
    int32_t advanceWidthMax = 0;
    // Over the glyphs with an outline; 0 when there is none.
    int32_t minLeftSideBearing = 0, minRightSideBearing = 0, xMaxExtent = 0;
};

// False when the font has no glyf or no hmtx to work from. With `boxes`,
// the outlines' boxes come from it, brought up to date first (only the
// changed glyphs are measured); the values are the same.
bool compute_derived_metrics(ttf& font, derived_metrics* out, glyph_box_cache* boxes = nullptr);

// Writes the values into head and hhea, each cut to its field's range. A
// font without any outline keeps head's box: there is nothing to derive it
// from, and the glyph canvas is laid out by it.
void store_derived_metrics(ttf& font, const derived_metrics& m);

// Whether glyf or hmtx changed since the font was loaded or set up, so
// that the derived values may be stale. With a history, undoing every
// change of theirs counts as no change.
bool derived_metrics_stale(const ttf& font);

// The derived fields' bytes as the font was loaded: head's box and hhea's
// four values.
struct derived_fields {
    unsigned char head[8] = {};
    unsigned char hhea[8] = {};
    bool has_head = false, has_hhea = false;
};
derived_fields read_derived_fields(const ttf& font);

// Brings the derived values up to date for a save: worked out afresh when
// stale (or `always`), else put back as they were loaded (an earlier save
// may have changed them for edits that were since undone), so that a font
// saved without edits keeps its own values.
void update_derived_metrics(ttf& font, const derived_fields& loaded, bool always = false,
                            glyph_box_cache* boxes = nullptr);

#endif
