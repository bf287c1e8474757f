// Rubber bands of the drawing objects. Everything is drawn inverted, so
// that the editor erases a frame by drawing it again.
#include "outline/object.h"

#include <Shape.h>
#include <View.h>

#include <algorithm>

namespace {

BPoint scaled(const BPoint& p, float s) {
    return BPoint(p.x * s, p.y * s);
}

BPoint midpoint(const BPoint& a, const BPoint& b) {
    return BPoint((a.x + b.x) / 2, (a.y + b.y) / 2);
}

// The rectangle between two corners, whichever way it was dragged: a
// rectangle with its left right of its right would draw nothing.
BRect spanned(const BPoint& a, const BPoint& b) {
    return BRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

} // namespace

void object_r::drawframe(BView* view, float scale) {
    if (!view || state == 0 || count < 4)
        return;
    view->SetDrawingMode(B_OP_INVERT);
    view->StrokeRect(spanned(scaled(points[0], scale), scaled(points[2], scale)), B_MIXED_COLORS);
    view->SetDrawingMode(B_OP_COPY);
}

void obj_ellipse::drawframe(BView* view, float scale) {
    if (!view || state == 0 || count < 4)
        return;
    view->SetDrawingMode(B_OP_INVERT);
    view->StrokeEllipse(spanned(scaled(points[0], scale), scaled(points[2], scale)),
                        B_MIXED_COLORS);
    view->SetDrawingMode(B_OP_COPY);
}

void obj_polygon::drawframe(BView* view, float scale) {
    if (!view || count < 1)
        return;
    // One path rather than a line per side: inverted side by side, the
    // corners two sides share would be inverted twice and vanish.
    BShape path;
    path.MoveTo(scaled(points[0], scale));
    for (int i = 1; i < count; i++)
        path.LineTo(scaled(points[i], scale));
    if (count > 2)
        path.LineTo(scaled(points[0], scale));
    view->SetDrawingMode(B_OP_INVERT);
    if (count == 1)
        view->StrokeLine(scaled(points[0], scale), B_MIXED_COLORS);
    else
        view->StrokeShape(&path, B_MIXED_COLORS);
    view->MovePenTo(0, 0);
    view->SetDrawingMode(B_OP_COPY);
}

void obj_round::drawframe(BView* view, float scale) {
    if (!view || count < 1)
        return;
    view->SetDrawingMode(B_OP_INVERT);
    if (count <= 2) {
        view->StrokeLine(scaled(points[0], scale), scaled(points[count - 1], scale),
                         B_MIXED_COLORS);
    } else {
        // The quadratic through the midpoints of consecutive clicks, as the
        // all off-curve contour will draw.
        BShape path;
        path.MoveTo(scaled(midpoint(points[0], points[1]), scale));
        for (int i = 0; i < count; i++) {
            const BPoint& a = points[i];
            const BPoint& b = points[(i + 1) % count];
            const BPoint& c = points[(i + 2) % count];
            BPoint start = midpoint(a, b);
            BPoint end = midpoint(b, c);
            BPoint c1((start.x + 2 * b.x) / 3, (start.y + 2 * b.y) / 3);
            BPoint c2((end.x + 2 * b.x) / 3, (end.y + 2 * b.y) / 3);
            path.BezierTo(scaled(c1, scale), scaled(c2, scale), scaled(end, scale));
        }
        view->StrokeShape(&path, B_MIXED_COLORS);
    }
    view->MovePenTo(0, 0);
    view->SetDrawingMode(B_OP_COPY);
}
