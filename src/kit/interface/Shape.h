// BShape: a path of straight and cubic Bézier segments, in one or more
// subpaths, for StrokeShape and FillShape.
#ifndef _SHAPE_H
#define _SHAPE_H

#include <Rect.h>
#include <SupportDefs.h>

#include <vector>

class BShape {
  public:
    BShape() = default;
    BShape(const BShape& other) = default;
    BShape& operator=(const BShape& other) = default;
    virtual ~BShape() = default;

    void Clear() { fOps.clear(); }
    // The smallest rectangle holding every point of the path, control
    // points included; an invalid rectangle for an empty shape.
    BRect Bounds() const;
    BPoint CurrentPosition() const { return fCurrent; }

    status_t MoveTo(BPoint point);
    status_t LineTo(BPoint point);
    // Three points: two control points and the end point.
    status_t BezierTo(BPoint controlPoints[3]);
    status_t BezierTo(const BPoint& control1, const BPoint& control2, const BPoint& endPoint);
    // Closes the current subpath back to its first point.
    status_t Close();

    // The recorded path, for the kit's rasteriser.
    struct kit_op {
        enum kind_t { move, line, bezier, close } kind;
        BPoint points[3];
    };
    const std::vector<kit_op>& kit_ops() const { return fOps; }

  private:
    std::vector<kit_op> fOps;
    BPoint fCurrent;
    BPoint fSubpathStart;
};

#endif
