// glyph: the editable form of one glyph: a list of contours and, for a
// composite glyph, up to seven component glyphs, each placed with an offset
// and a 2x2 F2Dot14 transform. For a composite glyph the contour slots hold
// the components' transformed outlines (slots 0 ... count-1, rebuilt by
// create_composhape, for display and bounds) followed by one rectangle
// contour per component (slots count ... count+ncompo-1), which is what the
// editor selects and moves.
#ifndef TAVREL_OUTLINE_GLYPH_H
#define TAVREL_OUTLINE_GLYPH_H

#include <Rect.h>

#include <cstddef>
#include <cstdint>

class BView;
class shape;

class glyph {
  public:
    static constexpr int max_contours = 512;
    static constexpr int max_components = 7;

    explicit glyph(unsigned short index);
    ~glyph();
    glyph(const glyph&) = delete;
    glyph& operator=(const glyph&) = delete;

    // Component glyphs are made by the thousand when a font is read: their
    // memory is recycled per thread.
    static void* operator new(size_t size);
    static void operator delete(void* p, size_t size);

    // Appends an outline contour at slot count; the component rectangles of
    // a composite glyph move up one slot to stay behind the outline. The
    // glyph always takes ownership: when every slot is in use the contour is
    // destroyed and 1 is returned, else 0.
    int add_shape(shape* s);
    // Stores c as the next component (the glyph then owns it) and returns 0;
    // returns 1 and stores nothing when seven components exist already or no
    // contour slot is left for its rectangle.
    int add_compo(glyph* c, short dx, short dy, unsigned short xscale, unsigned short scale01,
                  unsigned short scale10, unsigned short yscale);
    // Destroys component k together with its rectangle contour and moves
    // the later components down. 1 when k is not a component.
    int del_compo(unsigned char k);
    // Destroys the outline and the component rectangles; components stay.
    void clr_composhape();
    // Builds the components' transformed outlines and their rectangles.
    void create_composhape();
    // Union of the outline contours' bounds; an inverted, empty rectangle
    // when there is no contour.
    BRect bounds() const;

    // Drawing; defined with the drawing kit.
    void draw(BView* view, unsigned long color);
    void drawframe(BView* view, float r);

    void trans(const BRect& from, const BRect& to);

    // Selection over the active range: the component rectangles of a
    // composite glyph, the outline contours otherwise.
    void sel_none();
    void sel_first();
    void sel_last();
    void sel_back();
    void sel_next();
    void sel_check();
    bool sel_check(const BRect& r);
    int sel_check(const BPoint& p, float tol);
    void move_sel(const BPoint& delta);

    // Editing of the outline contours.
    void copy_sel(const BPoint& offset);
    void del_sel();
    void rev_sel();
    void tgl_sel();
    void sel_to_top();
    void sel_to_bot();

    // Makes room for n contour slots (at most max_contours) ahead of
    // adding contours, so that a decoder can size the array once.
    void reserve(int n) {
        if (n > slots)
            grow(n);
    }

    int32_t depth;
    int32_t count;
    // Slots 0 ... count+ncompo-1 are in use; the array grows as needed.
    shape** contours;
    int32_t ncompo;
    glyph* compo[max_components + 1];
    int16_t compo_dx[max_components + 1];
    int16_t compo_dy[max_components + 1];
    uint16_t compo_xscale[max_components + 1];
    uint16_t compo_scale01[max_components + 1];
    uint16_t compo_scale10[max_components + 1];
    uint16_t compo_yscale[max_components + 1];
    unsigned short index;

  private:
    void grow(int n);
    static constexpr int inline_slots = 8;

    int32_t slots;
    // Most glyphs have a few contours: their slots need no allocation.
    shape* first_slots[inline_slots];

    // Slots lo ... hi-1 of the active range.
    int range_lo() const { return ncompo > 0 ? count : 0; }
    int range_hi() const { return count + ncompo; }
    // Inserts or removes outline slots at the end of the outline while
    // keeping the component rectangles right behind it.
    bool append_outline(shape* s);
    void pack_outline(int survivors);
    void stable_partition(bool selected_first);
};

#endif
