// Turning a free-hand stroke into contours: the stroke is painted into a
// raster of square pixels, every boundary of the painted area is traced
// along the pixel edges, and each boundary is thinned into a closed curve of
// off-curve points.
#ifndef TAVREL_OUTLINE_FREE_TRACE_H
#define TAVREL_OUTLINE_FREE_TRACE_H

#include <Point.h>
#include <Rect.h>

#include <cstdint>
#include <vector>

class shape;

namespace free_trace {

// The part of the canvas a stroke is painted on. Pixel (x, y) covers the
// canvas square [unit·(left + x), unit·(left + x + 1)] × [unit·(top + y),
// unit·(top + y + 1)]; unit is 2 (half the canvas resolution) unless the
// stroke is too big for that.
struct raster {
    int32_t left = 0, top = 0;
    int32_t width = 0, height = 0;
    int32_t unit = 2;

    bool empty() const { return width < 1 || height < 1; }
};

// The most pixels a raster may have: it keeps one trace within a few tens
// of MiB however large the stroke or the font.
constexpr int64_t max_pixels = int64_t(1) << 22;

// The raster of a whole canvas (0, 0, right, bottom) at half resolution.
raster canvas_raster(const BRect& canvas);
// The smallest raster at half resolution that holds the stroke with its pen
// and a margin; coarser (the unit doubled) until it has at most max_pixels.
// Empty for no points or coordinates that are not finite.
raster stroke_raster(const BPoint* points, int count, unsigned char psize);

// Paints the stroke with round caps and joins, pen size psize/2 at unit 2,
// and returns the cell grid: (width + 2) × (height + 2) bytes with an empty
// border, 1 for a painted pixel. Drawing has finished before the pixels are
// read. Empty when the raster cannot be made.
std::vector<unsigned char> paint(const BPoint* points, int count, unsigned char psize,
                                 const raster& area);

// Traces the boundaries of the painted cells in scan order, at most
// max_contours of them, and appends one thinned contour per boundary.
void trace(const std::vector<unsigned char>& cells, const raster& area, int max_contours,
           std::vector<shape*>& out);

// How many traced points a boundary of n edges keeps: one every step(n).
int step(int n);

} // namespace free_trace

#endif
