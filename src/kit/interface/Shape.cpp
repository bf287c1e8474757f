#include "Shape.h"

#include <algorithm>

BRect BShape::Bounds() const {
    BRect bounds;
    bool first = true;
    for (const kit_op& op : fOps) {
        int count = op.kind == kit_op::bezier ? 3 : (op.kind == kit_op::close ? 0 : 1);
        for (int i = 0; i < count; i++) {
            const BPoint& p = op.points[i];
            if (first) {
                bounds.Set(p.x, p.y, p.x, p.y);
                first = false;
            } else {
                bounds.left = std::min(bounds.left, p.x);
                bounds.top = std::min(bounds.top, p.y);
                bounds.right = std::max(bounds.right, p.x);
                bounds.bottom = std::max(bounds.bottom, p.y);
            }
        }
    }
    return bounds;
}

status_t BShape::MoveTo(BPoint point) {
    fOps.push_back(kit_op{kit_op::move, {point}});
    fCurrent = fSubpathStart = point;
    return B_OK;
}

status_t BShape::LineTo(BPoint point) {
    // A segment without a start begins where the pen is.
    if (fOps.empty())
        MoveTo(fCurrent);
    fOps.push_back(kit_op{kit_op::line, {point}});
    fCurrent = point;
    return B_OK;
}

status_t BShape::BezierTo(BPoint controlPoints[3]) {
    if (!controlPoints)
        return B_BAD_VALUE;
    return BezierTo(controlPoints[0], controlPoints[1], controlPoints[2]);
}

status_t BShape::BezierTo(const BPoint& control1, const BPoint& control2, const BPoint& endPoint) {
    if (fOps.empty())
        MoveTo(fCurrent);
    fOps.push_back(kit_op{kit_op::bezier, {control1, control2, endPoint}});
    fCurrent = endPoint;
    return B_OK;
}

status_t BShape::Close() {
    if (fOps.empty() || fOps.back().kind == kit_op::close)
        return B_OK;
    fOps.push_back(kit_op{kit_op::close, {}});
    fCurrent = fSubpathStart;
    return B_OK;
}
