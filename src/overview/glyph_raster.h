// glyph_raster: fills glyph outlines anti-aliased into a coverage mask.
//
// Each pixel gets the share of its area that the outline covers, with the
// non-zero rule TrueType outlines are drawn with, as the exact area under
// every edge accumulated along the row (the way FreeType's smooth
// rasteriser works). Edges are clipped to the mask first, so outlines far
// outside it cost no more than the rows and columns they cross.
#ifndef TAVREL_OVERVIEW_GLYPH_RASTER_H
#define TAVREL_OVERVIEW_GLYPH_RASTER_H

#include <cstdint>
#include <vector>

class glyph;

// Where font units land in the mask: x' = x0 + x * scale, y' = y0 - y *
// scale (font units grow upwards, pixels downwards). A component's own
// transform is applied on top as the glyph's record says.
struct raster_placement {
    double scale = 1;
    double x0 = 0;
    double y0 = 0;
};

class coverage_mask {
  public:
    coverage_mask(int width, int height);

    int width() const { return fWidth; }
    int height() const { return fHeight; }
    // Forgets everything filled so far.
    void clear();
    // Adds the outline of `g` (a composite's components at any depth, each
    // with its offset and transform).
    void fill(const glyph& g, const raster_placement& at);
    // The coverage of every pixel, 0 (none) to 255 (whole), row by row.
    void resolve(std::vector<uint8_t>* out) const;

    // The edges of one contour, in mask pixels: lines and quadratic curves.
    void move_to(double x, double y);
    void line_to(double x, double y);
    void quad_to(double cx, double cy, double x, double y);
    void close();

  private:
    struct affine {
        double xx, xy, yx, yy, dx, dy; // x' = dx + xx*x + xy*y, y' = dy + yx*x + yy*y
    };
    void fill(const glyph& g, const affine& m, int depth);
    void edge(double x0, double y0, double x1, double y1);
    void row_edge(double x0, double y0, double x1, double y1);

    int fWidth;
    int fHeight;
    int fStride; // room for edges clipped onto the right border
    std::vector<float> fArea;
    double fStartX = 0, fStartY = 0, fX = 0, fY = 0;
    bool fOpen = false;
};

#endif
