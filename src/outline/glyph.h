// glyph: the editable form of one glyph: a list of contours and, for a
// composite glyph, up to 1024 component glyphs, each placed with an offset
// (or by matching a point of its own to one of the glyph before it) and a
// 2x2 F2Dot14 transform. For a composite glyph the contour slots hold
// the components' transformed outlines (slots 0 ... count-1, rebuilt by
// create_composhape, for display and bounds) followed by one rectangle
// contour per component (slots count ... count+ncompo-1), which is what the
// editor selects and moves.
#ifndef TAVREL_OUTLINE_GLYPH_H
#define TAVREL_OUTLINE_GLYPH_H

#include "font/glyf_components.h"

#include <Rect.h>

#include <cstddef>
#include <cstdint>
#include <vector>

class BView;
class shape;

class glyph {
  public:
    // Outline contours of a glyph; component rectangles come on top, so a
    // glyph never holds more than max_slots contour slots.
    static constexpr int max_contours = 512;
    static constexpr int max_components = 1024;
    static constexpr int max_slots = max_contours + max_components;

    // Why a decoded glyph does not hold everything its record does (bits of
    // `lossy`). Such a glyph must not be stored back over its record.
    enum : uint8_t {
        lost_damaged = 1,   // the record (or a component's) could not be read
        lost_component = 2, // a component names a glyph the font lacks
        lost_capacity = 4,  // more components than the glyph can hold
    };

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
    // returns 1 and stores nothing when max_components exist already.
    // `flags` are the entry's flags in the file (glyf_flag): they say whether
    // dx, dy are an offset or, without ARGS_ARE_XY, the point numbers to
    // match (a point of the glyph so far, a point of c), and carry what the
    // editor does not change (rounding, metrics, overlap, offset scaling).
    int add_compo(glyph* c, short dx, short dy, unsigned short xscale, unsigned short scale01,
                  unsigned short scale10, unsigned short yscale,
                  uint16_t flags = glyf_flag::args_are_xy);
    // Destroys component k together with its rectangle contour and moves
    // the later components down. 1 when k is not a component.
    int del_compo(int k);
    // True when component k is placed by matching points, not by offset.
    bool compo_matched(int k) const { return !(compo_flags[k] & glyf_flag::args_are_xy); }
    // Where component k's outline is moved to, in font units: its offset
    // (scaled with the transform when its flags ask for that), or for a
    // point-matched component the distance that brings its point onto the
    // glyph's point; (0, 0) when either point does not exist. Uses the
    // outline contours built so far (create_composhape).
    BPoint compo_offset(int k) const;
    // Appends every point of the glyph's outline in font units, as the
    // file's readers place them: the outline contours of a simple glyph;
    // for a composite, each component's points moved (offsets rounded) and
    // transformed, however many contour slots that would take.
    void outline_points(std::vector<BPoint>* out) const;
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

    // Makes room for n contour slots (at most max_slots) ahead of
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
    // Component k's glyph, arguments, transform and entry flags, for k
    // below ncompo. The arguments of a point-matched component are its two
    // point numbers (as unsigned 16-bit values).
    glyph** compo;
    int16_t *compo_dx, *compo_dy;
    uint16_t *compo_xscale, *compo_scale01, *compo_scale10, *compo_yscale;
    uint16_t* compo_flags;
    // The instructions of a composite glyph, kept for storing it back; a
    // simple glyph holds some only when they came with it from the
    // clipboard (otherwise its record's are kept when it is stored).
    std::vector<uint8_t> instructions;
    // The instructions above are the glyph's own even when there are none:
    // a simple glyph stored over another record does not keep that
    // record's (a whole glyph pasted in place of another).
    bool own_instructions = false;
    unsigned short index;
    // lost_* bits; 0 when the glyph holds its whole record.
    uint8_t lossy = 0;

  private:
    void grow(int n);
    static constexpr int inline_slots = 8;

    // Component arrays: inline for the few components most composites
    // have (no allocation when a font is read), else one block for all.
    static constexpr int inline_compos = 8;
    struct compo_arrays {
        glyph* g[inline_compos];
        int16_t dx[inline_compos], dy[inline_compos];
        uint16_t xscale[inline_compos], scale01[inline_compos], scale10[inline_compos],
            yscale[inline_compos], flags[inline_compos];
    };
    compo_arrays first_compos;
    unsigned char* compo_block = nullptr;
    int32_t compo_room = inline_compos;
    void grow_compo();

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
