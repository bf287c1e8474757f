#include "font/bitmap.h"

#include <cmath>

bitmap::bitmap(unsigned short gno, unsigned char ppemx, unsigned char ppemy, unsigned char bitdepth)
    : gno(gno), ppemx(ppemx), ppemy(ppemy), bitdepth(bitdepth), width(0), height(0), bearingx(0),
      bearingy(0), advance(ppemx), pixels(nullptr), vrect(0, 0, 0, 0) {}

bitmap::~bitmap() {
    delete[] pixels;
}

bool bitmap::cell_mapping(float* cw, float* ch, float* x0, float* y0) const {
    if (ppemx == 0 || ppemy == 0)
        return false;
    *cw = (vrect.right - vrect.left + 1) / ppemx;
    *ch = (vrect.bottom - vrect.top + 1) / ppemy;
    *x0 = vrect.left + *cw * bearingx;
    *y0 = vrect.top + *ch * (ppemy - bearingy);
    return true;
}

bool bitmap::cell_at(const BPoint& p, int* col, int* row) const {
    float cw, ch, x0, y0;
    if (!pixels || !cell_mapping(&cw, &ch, &x0, &y0) || !(cw > 0) || !(ch > 0))
        return false;
    // Points left of or above the image are outside, including those less
    // than a unit away, which truncation alone would fold into column or
    // row 0.
    float fx = p.x - x0;
    float fy = p.y - y0;
    if (!(fx >= 0) || !(fy >= 0))
        return false;
    float c = std::floor(std::floor(fx) / cw);
    float r = std::floor(std::floor(fy) / ch);
    if (c >= width || r >= height)
        return false;
    *col = (int)c;
    *row = (int)r;
    return true;
}

BRect bitmap::cell_rect(int col, int row) const {
    float cw, ch, x0, y0;
    if (!cell_mapping(&cw, &ch, &x0, &y0))
        return BRect();
    return BRect(x0 + cw * col, y0 + ch * row, x0 + cw * (col + 1) - 1, y0 + ch * (row + 1) - 1);
}

int bitmap::create(const unsigned char&, const BPoint& p) {
    int col, row;
    if (!cell_at(p, &col, &row))
        return 1;
    unsigned char& pixel = pixels[(size_t)row * width + (size_t)col];
    pixel = (unsigned char)((pixel + 1) & 1);
    return 0;
}

void bitmap::setvrect(const BRect& r) {
    vrect = r;
}
