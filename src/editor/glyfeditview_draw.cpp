// Drawing of the edit view: the canvas with the glyph's outline, and the
// overlay on top of it (point markers of the selection, the drawing object
// in progress, the rubber band), which is drawn inverted so that drawing it
// a second time takes it away again without a repaint.
#include "editor/glyfeditview.h"

#include "editor/globals.h"
#include "outline/glyph.h"
#include "outline/object.h"

namespace {

BRect ordered(const BRect& r) {
    return BRect(r.left < r.right ? r.left : r.right, r.top < r.bottom ? r.top : r.bottom,
                 r.left < r.right ? r.right : r.left, r.top < r.bottom ? r.bottom : r.top);
}

} // namespace

void glyfeditview::Draw(BRect) {
    // The canvas is the font's bounding box: the editor's only frame of
    // reference; no metric lines are drawn.
    FillRect(canvas, B_SOLID_LOW);
    if (curglyph)
        curglyph->draw(this, 0);
    redraw(2);
}

void glyfeditview::drawframe(BRect r) {
    SetDrawingMode(B_OP_INVERT);
    // A band dragged up or to the left is still shown.
    StrokeRect(ordered(r), B_MIXED_COLORS);
    SetDrawingMode(B_OP_COPY);
}

void glyfeditview::redraw(char what) {
    if (!Window())
        return;
    if (what & 2) {
        if (curobject)
            curobject->drawframe(this, 1.0f);
        // Markers reach two pixels each way at any zoom; a composite glyph
        // marks only its component rectangles.
        if (curglyph)
            curglyph->drawframe(this, 2 / scale);
        if (rubber)
            drawframe(rubberrect);
    }
    if (what & 4) {
        // Outlines dragged past the canvas leave pixels on the grey around
        // it: the area right of and below the canvas is cleared as well.
        BRect b = Bounds();
        BRect area(b.left / scale, b.top / scale, (b.right + 1) / scale, (b.bottom + 1) / scale);
        rgb_color low = LowColor();
        SetLowColor(ViewColor());
        if (area.right > canvas.right)
            FillRect(BRect(canvas.right, area.top, area.right, area.bottom), B_SOLID_LOW);
        if (area.bottom > canvas.bottom)
            FillRect(BRect(area.left, canvas.bottom, canvas.right, area.bottom), B_SOLID_LOW);
        SetLowColor(low);
        Draw(Bounds());
    }
}
