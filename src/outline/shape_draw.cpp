// Drawing a contour: the outline as lines and cubic Béziers, and the point
// markers of a selected contour.
#include "outline/shape.h"

#include <Shape.h>
#include <View.h>

namespace {

BPoint midpoint(const BPoint& a, const BPoint& b) {
    return BPoint((a.x + b.x) / 2, (a.y + b.y) / 2);
}

rgb_color outline_color(unsigned long color, bool positive) {
    if (color != 0)
        return rgb_color{(uint8)(color >> 16), (uint8)(color >> 8), (uint8)color, 255};
    // Without a colour the outline shows its orientation.
    return positive ? rgb_color{255, 255, 255, 255} : rgb_color{100, 100, 255, 255};
}

} // namespace

void shape::draw(BView* view, unsigned long color) {
    if (!view || count < 1)
        return;
    view->PushState();
    view->SetHighColor(outline_color(color, color == 0 && ispositive()));

    // A contour that starts off the curve starts at the implied on-curve
    // point before it: the midpoint when the last point is off too.
    const BPoint* p = points;
    int last = count - 1;
    BPoint start = p[0];
    if (flags[0] & 1)
        start = (flags[last] & 1) ? midpoint(p[last], p[0]) : p[last];

    BShape path;
    path.MoveTo(start);
    BPoint current = start;
    for (int i = 0; i < count; i++) {
        int n = (i + 1) % count;
        bool off = flags[i] & 1;
        bool nextOff = flags[n] & 1;
        if (off) {
            // The quadratic segment as the cubic that traces it exactly.
            BPoint end = nextOff ? midpoint(p[i], p[n]) : p[n];
            BPoint c1((current.x + 2 * p[i].x) / 3, (current.y + 2 * p[i].y) / 3);
            BPoint c2((end.x + 2 * p[i].x) / 3, (end.y + 2 * p[i].y) / 3);
            path.BezierTo(c1, c2, end);
            current = end;
        } else if (!nextOff) {
            path.LineTo(p[n]);
            current = p[n];
        }
    }
    view->StrokeShape(&path, B_SOLID_HIGH);
    view->PopState();
}

void shape::drawframe(BView* view, float r) {
    if (!view || selected == 0)
        return;
    // Inverted, so that drawing the markers again removes them.
    view->SetDrawingMode(B_OP_INVERT);
    for (int i = 0; i < count; i++) {
        const BPoint& p = points[i];
        BRect square(p.x - r, p.y - r, p.x + r, p.y + r);
        if (flags[i] & 1)
            view->FillEllipse(square, B_SOLID_HIGH);
        else
            view->FillRect(square, B_SOLID_HIGH);
    }
    view->SetDrawingMode(B_OP_COPY);
}
