// bitmap: one embedded bitmap glyph of one strike, as the bitmap editor
// holds it: metrics, one byte per pixel and the view rectangle onto which
// the strike's em square is drawn.
#ifndef TAVREL_FONT_BITMAP_H
#define TAVREL_FONT_BITMAP_H

#include <Point.h>
#include <Rect.h>

class BView;

class bitmap {
  public:
    bitmap(unsigned short gno, unsigned char ppemx, unsigned char ppemy, unsigned char bitdepth);
    ~bitmap();
    bitmap(const bitmap&) = delete;
    bitmap& operator=(const bitmap&) = delete;

    // Draws the image onto vrect's cells (bitmap_draw.cpp): ink cells in
    // white, the image's outline in grey; "Undefined" when there is no
    // image. The second form draws only what lies inside `clip`, a
    // rectangle with whole-pixel edges, exactly as the first form would
    // draw it there (for a view drawn at scale 1).
    void draw(BView* v);
    void draw(BView* v, const BRect& clip);

    // Toggles the pixel under p (view coordinates). Returns 1, changing
    // nothing, when p lies outside the image. The first argument is unused.
    int create(const unsigned char& unused, const BPoint& p);

    void setvrect(const BRect& r);

    // The cell size and the image's top-left corner in view coordinates:
    // the em square (ppemx x ppemy cells) fills vrect and the baseline is
    // its bottom edge. False when the strike has no size.
    bool cell_mapping(float* cw, float* ch, float* x0, float* y0) const;
    // The image pixel under p (view coordinates); false when p lies outside
    // the image or there is none.
    bool cell_at(const BPoint& p, int* col, int* row) const;
    // The view rectangle that pixel (col, row) covers.
    BRect cell_rect(int col, int row) const;

    unsigned short gno;
    unsigned char ppemx;
    unsigned char ppemy;
    unsigned char bitdepth;
    unsigned char width;
    unsigned char height;
    signed char bearingx;
    signed char bearingy;
    unsigned char advance;
    // width x height bytes, rows from the top, 1 ink and 0 none; null when
    // there is no image.
    unsigned char* pixels;
    BRect vrect;
};

#endif
