// Bounding boxes of glyph outlines worked out from their points, the way
// readers that rebuild boxes (fontTools among them) work them out: a
// simple glyph's box holds its points; a composite's holds its components'
// points, each transformed and moved as its entry says (the offset scaled
// with the transform only when the entry asks for that; a point-matched
// component moved so that its point lands on the glyph's), unrounded until
// the box's ends, which round half up.
//
// The boxes stored in the records are not used: a composite keeps its old
// box when one of its components is edited, so summary values taken from
// stored boxes would go stale.
#ifndef TAVREL_FONT_GLYF_BOUNDS_H
#define TAVREL_FONT_GLYF_BOUNDS_H

#include "font/bytes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class ttf;

struct glyph_box {
    int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Where glyph gno's record lies in glyf, as loca (in head's format) says:
// found (`rec` set), empty (no outline) or missing (no such glyph, tables
// missing or damaged, or a record too short for its header).
enum class glyf_record_kind { found, empty, missing };
glyf_record_kind glyf_record(ttf& font, unsigned gno, byte_span* rec);

class glyf_bounds {
  public:
    enum result { has_box, no_outline, damaged };

    // Works on the font's glyf, loca, head and maxp as they stand.
    explicit glyf_bounds(ttf& font);

    // The box of glyph gno: has_box; no_outline for an empty record or one
    // without contours (a composite whose parts have no points has the box
    // (0, 0, 0, 0), as those readers give it); damaged when the record or a
    // component cannot be read, nests too deep or contains itself.
    result box_of(unsigned gno, glyph_box* box);

  private:
    // Appends glyph gno's points (x, y pairs) to `xy`; false when damaged.
    bool points_of(unsigned gno, unsigned depth, std::vector<double>* xy);

    ttf& fFont;
    // The glyphs being resolved, outermost first, to catch a cycle.
    std::vector<unsigned> fPath;
    std::vector<uint8_t> fFlags;
    std::vector<double> fPoints;
    // Coordinates resolved so far, against the budget for hostile fonts.
    size_t fSpent = 0;
};

#endif
