// Drawing a glyph: every outline contour, and the markers of the contours
// the selection acts on (the component rectangles of a composite glyph).
#include "outline/glyph.h"

#include "outline/shape.h"

void glyph::draw(BView* view, unsigned long color) {
    for (int i = 0; i < count; i++) {
        if (contours[i])
            contours[i]->draw(view, color);
    }
}

void glyph::drawframe(BView* view, float r) {
    for (int i = range_lo(); i < range_hi(); i++) {
        if (contours[i])
            contours[i]->drawframe(view, r);
    }
}
