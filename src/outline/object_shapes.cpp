// Contours of the finished drawing objects.
#include "outline/object.h"
#include "outline/shape.h"

#include <cmath>

namespace {

// A one-contour list: the points in order, all with the same flag.
shape** one_contour(const BPoint* points, int n, char flag) {
    shape* s = new shape(n);
    for (int i = 0; i < n; i++)
        s->set(i, points[i], flag);
    s->ctrlp2form();
    return new shape* [2] { s, nullptr };
}

shape** no_contour() {
    return new shape* [1] { nullptr };
}

} // namespace

shape** obj_rect::to_shape() {
    if (flat())
        return no_contour();
    return one_contour(points, 4, 0);
}

shape** obj_ellipse::to_shape() {
    if (flat())
        return no_contour();
    const float cx = (points[0].x + points[1].x) / 2;
    const float cy = (points[0].y + points[3].y) / 2;
    const float rx = (points[1].x - points[0].x) / 2;
    const float ry = (points[3].y - points[0].y) / 2;
    const float k = (float)(std::sqrt(2.0) - 1.0);
    // Quadratic control points on the box of the ellipse, 45 degrees apart:
    // the implied on-curve midpoints fall on the ellipse.
    const BPoint control[8] = {
        BPoint(cx - k * rx, cy - ry), BPoint(cx + k * rx, cy - ry), BPoint(cx + rx, cy - k * ry),
        BPoint(cx + rx, cy + k * ry), BPoint(cx + k * rx, cy + ry), BPoint(cx - k * rx, cy + ry),
        BPoint(cx - rx, cy + k * ry), BPoint(cx - rx, cy - k * ry),
    };
    return one_contour(control, 8, 1);
}

shape** obj_polygon::to_shape() {
    if (count < 1)
        return no_contour();
    return one_contour(points, count, 0);
}

shape** obj_round::to_shape() {
    if (count < 1)
        return no_contour();
    return one_contour(points, count, 1);
}
