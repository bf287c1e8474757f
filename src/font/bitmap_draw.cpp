// Drawing a bitmap glyph magnified: its ink cells in white and the
// image's outline in grey, on the cells of vrect.
#include "font/bitmap.h"

#include <View.h>

#include <cmath>

namespace {

// A coordinate rounded to its pixel as drawing rounds it (on a view drawn
// at scale 1 from a whole-pixel origin).
float snap(float v) {
    return std::floor(v + 0.5f);
}

// Fills the pixels of r that lie inside clip. The rectangle is rounded to
// its pixels first: cut to the clip before rounding, a cell whose edge
// rounds into the clip's first row would lose that row.
void fill_clipped(BView* v, const BRect& r, const BRect& clip) {
    BRect part = BRect(snap(r.left), snap(r.top), snap(r.right), snap(r.bottom)) & clip;
    if (part.IsValid())
        v->FillRect(part, B_SOLID_HIGH);
}

} // namespace

void bitmap::draw(BView* v) {
    draw(v, BRect(-1e9f, -1e9f, 1e9f, 1e9f));
}

void bitmap::draw(BView* v, const BRect& clip) {
    if (!v)
        return;
    v->SetHighColor(255, 255, 255);
    float cw, ch, x0, y0;
    if (!pixels || !cell_mapping(&cw, &ch, &x0, &y0)) {
        v->DrawString("Undefined", BPoint(0.6f * vrect.left + 0.4f * vrect.right,
                                          0.6f * vrect.top + 0.4f * vrect.bottom));
        return;
    }
    // A run of ink cells in a row is one rectangle: the cells' edges meet
    // exactly (each ends one unit before the next begins), so the run
    // covers the same pixels as its cells one by one, with far fewer calls
    // in large strikes.
    for (int row = 0; row < height; row++) {
        float top = y0 + ch * row;
        float bottom = y0 + ch * (row + 1) - 1;
        if (bottom < clip.top - 1 || top > clip.bottom + 1)
            continue;
        const unsigned char* line = pixels + (size_t)row * width;
        int col = 0;
        while (col < width) {
            if (!line[col]) {
                col++;
                continue;
            }
            int end = col;
            while (end + 1 < width && line[end + 1])
                end++;
            fill_clipped(v, BRect(x0 + cw * col, top, x0 + cw * (end + 1) - 1, bottom), clip);
            col = end + 1;
        }
    }
    // The image's outline, one pixel wide: its four edges, each clipped.
    v->SetHighColor(100, 100, 100);
    BRect frame(x0, y0, x0 + cw * width - 1, y0 + ch * height - 1);
    fill_clipped(v, BRect(frame.left, frame.top, frame.right, frame.top), clip);
    fill_clipped(v, BRect(frame.left, frame.bottom, frame.right, frame.bottom), clip);
    fill_clipped(v, BRect(frame.left, frame.top, frame.left, frame.bottom), clip);
    fill_clipped(v, BRect(frame.right, frame.top, frame.right, frame.bottom), clip);
}
