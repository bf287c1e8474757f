// Geometry of one simple glyph's outline: contours too small to enclose an
// area, contours that cross themselves, the direction of the outermost
// contours, and curves whose extreme points are missing.
#ifndef TAVREL_CHECK_OUTLINE_GEOMETRY_H
#define TAVREL_CHECK_OUTLINE_GEOMETRY_H

#include <cstdint>
#include <vector>

struct glyph_summary;

// A decoded simple glyph: contour end points, and per point its on-curve
// flag and font-unit coordinates.
struct decoded_outline {
    std::vector<uint16_t> ends;
    std::vector<uint8_t> on;
    std::vector<int32_t> x, y;
    void clear() {
        ends.clear();
        on.clear();
        x.clear();
        y.clear();
    }
};

// Adds the outline's findings to s->findings (glyph gno) and fills its
// direction fields.
void check_outline_geometry(const decoded_outline& o, int32_t gno, glyph_summary* s);

#endif
