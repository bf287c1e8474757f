// shape: one closed contour of a glyph outline. A cyclic list of points,
// each on the curve (flag 0) or an off-curve quadratic control point
// (flag 1), with the contour's bounding rectangle and the editor's selection
// state for it. A contour holds at most 1024 points; short contours keep
// them inside the object, longer ones in one heap block that grows with the
// contour, so decoding a font's glyphs allocates little.
#ifndef TAVREL_OUTLINE_SHAPE_H
#define TAVREL_OUTLINE_SHAPE_H

#include <Rect.h>

#include <cstddef>
#include <cstdint>

class BView;

class shape {
  public:
    static constexpr int max_points = 1024;

    // A contour of `count` points (clamped to 0 ... max_points), each (0, 0)
    // and on the curve until the creator fills them; it then calls
    // ctrlp2form or sets bounds itself.
    explicit shape(int count);
    // The same for a creator that sets every one of the `count` points and
    // flags before anything reads them, as a decoder does: they are not
    // cleared first.
    static shape* unfilled(int count);
    ~shape();
    shape(const shape&) = delete;
    shape& operator=(const shape&) = delete;

    // Contours come and go by the thousand when a font's glyphs are read:
    // their memory is recycled per thread.
    static void* operator new(size_t size);
    static void operator delete(void* p, size_t size);

    // Independent duplicate with the same points, flags and selection;
    // bounds are left uncomputed.
    shape* copy() const;

    // Inserts a point at selected point + offset, on the side of the selected
    // point that keeps the outline shorter. Needs a fresh point hit; does
    // nothing on a full contour.
    void inspoint(const BPoint& offset);
    // Removes the selected point. True when fewer than 3 points would remain:
    // the owner then deletes the whole contour. Does nothing (false) when no
    // single point is selected.
    bool delpoint();
    // Toggles on/off-curve of the selected point, or of every point when the
    // whole contour is selected.
    void tglpoint();
    // Reverses the point order of a wholly selected contour.
    void reverse();
    // Moves the selection (one point or the whole contour) by delta.
    void move(const BPoint& delta);

    // Point hit test with a square tolerance; the highest-numbered hit wins,
    // else a hit inside bounds selects the whole contour. Returns the point's
    // 1-based number, -1 for the whole contour, 0 for no hit.
    int select_chk(const BPoint& p, float tol);
    // Rectangle test: selects the whole contour (-1) when r contains or
    // intersects bounds, else 0.
    int select_chk(const BRect& r);

    // Stores point i and its flag, making room up to i when needed; indices
    // outside 0 ... max_points-1 are ignored. `count` is left as it is.
    void set(const int& i, const BPoint& p, const char& flag);
    // Reads point i; false (outputs untouched) when i is not a point in use.
    bool get(const int& i, BPoint& p, char& flag) const;

    // Recomputes bounds from the points.
    void ctrlp2form();
    // Maps every point linearly from one inclusive rectangle onto another;
    // a rectangle whose top is below its bottom flips the axis.
    void trans(const BRect& from, const BRect& to);
    // A copy placed as a composite component: offset (dx, dy) and an F2Dot14
    // matrix in the record's order, applied as renderers apply it:
    // x' = dx + x*xscale + y*scale10, y' = dy + x*scale01 + y*yscale.
    // Bounds are left uncomputed.
    shape* transcopy(short dx, short dy, short xscale, short scale01, short scale10,
                     short yscale) const;
    // The transcopy of a component that is only moved, (dx, dy) added to
    // every point, with its bounds computed in the same pass.
    shape* moved_copy(short dx, short dy) const;
    // Orientation at the lowest point: true for a contour that runs
    // clockwise on a y-down screen.
    bool ispositive() const;

    // Drawing; defined with the drawing kit.
    void draw(BView* view, unsigned long color);
    void drawframe(BView* view, float r);

    int32_t selected;
    unsigned char point_selected;
    BRect bounds;
    int32_t count;
    BPoint* points;
    char* flags;

  private:
    void grow(int n);
    static constexpr int inline_capacity = 32;

    struct no_fill {};
    shape(int count, no_fill);

    // Makes room for n points (at most max_points), keeping those in use.
    void reserve(int n) {
        if (n > capacity)
            grow(n);
    }
    // Gives the slots below n (within the room) a value: (0, 0), on-curve.
    void fill_to(int n);

    int32_t capacity;
    int32_t filled; // slots 0 ... filled-1 hold a value
    // Left unconstructed until used, so that a new contour costs only the
    // points it has.
    union {
        BPoint inline_points[inline_capacity];
    };
    char inline_flags[inline_capacity];
};

#endif
