// Drawing objects: the short-lived objects behind the outline editor's
// drawing tools. The editor creates one at the first press of a gesture,
// feeds it every pointer event through create(), shows it between events
// with drawframe() and, once create() reports the gesture finished, turns it
// into new contours with to_shape(). Coordinates are canvas units.
//
//   object              base: point storage, gesture state
//     object_l          point lists entered click by click
//       obj_polygon     on-curve polygon
//       obj_round       all off-curve (rounded) polygon
//     object_r          four corners dragged out with one press
//       obj_rect        rectangle
//       obj_ellipse     ellipse as eight off-curve points
//     obj_free          free-hand stroke traced into contours
#ifndef TAVREL_OUTLINE_OBJECT_H
#define TAVREL_OUTLINE_OBJECT_H

#include <Point.h>

#include <cstdint>

class BView;
class shape;

// Pointer events fed to create().
enum : unsigned char {
    obj_press = 1,          // button pressed
    obj_release = 2,        // button released
    obj_drag = 3,           // moved with a button held
    obj_hover = 4,          // moved with no button held
    obj_secondary_press = 6 // secondary button, or the primary with Shift
};

// Values of `state` besides the gesture in progress (> 0) and no event yet (0).
enum : int32_t { obj_finished = -1, obj_cancelled = -2 };

// What `kind` holds for each concrete object.
enum : int32_t {
    obj_kind_free = 0x10,
    obj_kind_rect = 0x30,
    obj_kind_ellipse = 0x40,
    obj_kind_polygon = 0x50,
    obj_kind_round = 0x51
};

class object {
  public:
    // Room for exactly n points with count = n, or, for n = 0, an empty
    // object with room for list_capacity points.
    explicit object(int n);
    virtual ~object();
    object(const object&) = delete;
    object& operator=(const object&) = delete;

    static constexpr int list_capacity = 256;

    // Processes one pointer event at p (canvas units) and returns the new
    // state. psize is the palette's pen size; only the free-hand object
    // uses it. Once the state is negative further events change nothing.
    virtual int create(unsigned char event, BPoint p, unsigned char psize);
    // Draws the rubber band, every point multiplied by scale, so that
    // drawing it twice leaves the view as it was.
    virtual void drawframe(BView* view, float scale);
    // New contours for a finished gesture: an array allocated with new[],
    // ended by a null entry, or null for none. The caller owns the contours
    // and deletes the array with delete[].
    virtual shape** to_shape();

    int32_t kind;
    int32_t reserved; // 0; kept for the layout the family shares
    int32_t state;
    int32_t count;
    BPoint* points;

  protected:
    int32_t capacity; // points the storage has room for
};

// Points entered click by click. While the gesture is in progress
// count = state + 1: points 0 ... state-1 are fixed and point `state` is
// the rubber band that follows the pointer. A click within 2 units of the
// last fixed point finishes; the secondary press takes the last fixed point
// back and cancels when none is left.
class object_l : public object {
  public:
    object_l() : object(0) {}
    int create(unsigned char event, BPoint p, unsigned char psize) override;
};

// Four corners dragged out with one press: anchor (x0, y0), (x, y0), the
// dragged corner (x, y) and (x0, y). A secondary press cancels.
class object_r : public object {
  public:
    object_r() : object(4) {}
    int create(unsigned char event, BPoint p, unsigned char psize) override;
    // The rectangle between the anchor and the dragged corner.
    void drawframe(BView* view, float scale) override;

  protected:
    // True when the corners enclose no area.
    bool flat() const;
};

class obj_rect : public object_r {
  public:
    obj_rect() { kind = obj_kind_rect; }
    // The four corners in order, on the curve; none when flat.
    shape** to_shape() override;
};

class obj_ellipse : public object_r {
  public:
    obj_ellipse() { kind = obj_kind_ellipse; }
    void drawframe(BView* view, float scale) override;
    // Eight off-curve points whose implied on-curve midpoints lie on the
    // ellipse; none when flat.
    shape** to_shape() override;
};

class obj_polygon : public object_l {
  public:
    obj_polygon() { kind = obj_kind_polygon; }
    // The open polyline, closed back to the start once it has three points.
    void drawframe(BView* view, float scale) override;
    // The points in order, on the curve.
    shape** to_shape() override;
};

class obj_round : public object_l {
  public:
    obj_round() { kind = obj_kind_round; }
    // The smooth closed curve the contour will draw as.
    void drawframe(BView* view, float scale) override;
    // The points in order, all off the curve.
    shape** to_shape() override;
};

// A free-hand stroke of pen size psize. Every event adds its position when
// it differs from the last one; the release finishes a stroke of two or more
// points and cancels a mere click.
class obj_free : public object {
  public:
    obj_free();
    int create(unsigned char event, BPoint p, unsigned char psize) override;
    // The live stroke at the pen size, inverted, unscaled.
    void drawframe(BView* view, float scale) override;
    // Paints the stroke into a raster at half the canvas resolution and
    // traces every boundary of the painted area (outer ones clockwise on a
    // y-down screen, holes the other way) into contours of off-curve points;
    // at most max_contours.
    shape** to_shape() override;

    static constexpr int max_contours = 256;

    unsigned char psize;
};

#endif
