// An inclusive rectangle: right and bottom are the last pixel column and row,
// so Width() is right - left and a one-pixel rectangle has width 0.
#ifndef _RECT_H
#define _RECT_H

#include "Point.h"

#include <cstdint>

class BRect {
public:
    float left;
    float top;
    float right;
    float bottom;

    // The default rectangle is invalid, as on BeOS.
    constexpr BRect() : left(0), top(0), right(-1), bottom(-1) {}
    constexpr BRect(float l, float t, float r, float b) : left(l), top(t), right(r), bottom(b) {}
    BRect(BPoint leftTop, BPoint rightBottom)
        : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y)
    {
    }

    void Set(float l, float t, float r, float b)
    {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    int32_t IntegerWidth() const;
    int32_t IntegerHeight() const;
    bool IsValid() const { return left <= right && top <= bottom; }

    BPoint LeftTop() const { return BPoint(left, top); }
    BPoint RightBottom() const { return BPoint(right, bottom); }
    BPoint LeftBottom() const { return BPoint(left, bottom); }
    BPoint RightTop() const { return BPoint(right, top); }

    // Edges count as inside.
    bool Contains(BPoint p) const;
    bool Contains(BRect r) const;
    bool Intersects(BRect r) const;

    BRect operator&(BRect r) const; // intersection
    BRect operator|(BRect r) const; // union

    BRect& OffsetBy(float dx, float dy);
    BRect& OffsetBy(BPoint d) { return OffsetBy(d.x, d.y); }
    BRect& OffsetTo(float x, float y);
    BRect& OffsetTo(BPoint p) { return OffsetTo(p.x, p.y); }
    BRect OffsetByCopy(float dx, float dy) const;
    BRect OffsetToCopy(float x, float y) const;
    BRect& InsetBy(float dx, float dy);
    BRect InsetByCopy(float dx, float dy) const;

    bool operator==(const BRect& r) const
    {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const BRect& r) const { return !(*this == r); }
};

#endif
