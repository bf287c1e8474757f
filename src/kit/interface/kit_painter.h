// The kit's rasteriser: turns drawing calls into pixels of a 32-bit
// surface, following the platform's geometry exactly: integer coordinates
// are pixel centres, rectangles include their right and bottom edges, and
// lines and shapes are not anti-aliased, so that drawing the same thing
// twice in B_OP_INVERT restores every pixel. Each call builds a coverage
// mask first and applies it once, so a pixel touched twice by one call
// (the corner of a polygon) is still changed only once. Text is
// anti-aliased.
//
// The drawing and measuring calls go to an installed `rasteriser`. The
// kit's core links no graphics library, so that a program built only from
// the font model starts like a plain program; the display library supplies
// the rasteriser and installs it with every display backend.
//
// Internal to the kit: nothing here exposes the library that rasterises.
#ifndef KIT_INTERFACE_PAINTER_H
#define KIT_INTERFACE_PAINTER_H

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

#include <string>
#include <vector>

class BShape;

namespace kit {

// An inclusive rectangle of pixels.
struct pixel_rect {
    int32 left = 0;
    int32 top = 0;
    int32 right = -1;
    int32 bottom = -1;

    bool empty() const { return right < left || bottom < top; }
    pixel_rect intersect(const pixel_rect& other) const;
    pixel_rect unite(const pixel_rect& other) const; // empty operands ignored
    BRect to_brect() const { return BRect(left, top, right, bottom); }
};

// A set of pixels as disjoint rectangles.
class pixel_region {
  public:
    pixel_region() = default;
    explicit pixel_region(const pixel_rect& rect);
    bool empty() const { return fRects.empty(); }
    const std::vector<pixel_rect>& rects() const { return fRects; }
    pixel_rect bounds() const;
    void include(const pixel_rect& rect);
    void exclude(const pixel_rect& rect);
    void intersect(const pixel_rect& rect);
    void intersect(const pixel_region& other);
    bool intersects(const pixel_rect& rect) const;
    void clear() { fRects.clear(); }

  private:
    std::vector<pixel_rect> fRects;
};

// 32-bit pixels, 0xXXRRGGBB, native byte order; owned or borrowed.
struct surface {
    uint32* pixels = nullptr;
    int32 width = 0;
    int32 height = 0;
    int32 stride = 0; // in pixels
    std::vector<uint32> storage;

    void allocate(int32 width, int32 height, uint32 fill);
    pixel_rect rect() const { return pixel_rect{0, 0, width - 1, height - 1}; }
};

// The font a view draws with.
struct font_spec {
    std::string family = "DejaVu Sans";
    bool bold = false;
    float size = 12.0f;
};

struct font_metrics {
    float ascent;
    float descent;
    float leading;
};

// What one drawing call needs to know about the view's state.
struct paint_context {
    surface* target = nullptr;
    pixel_region clip;  // device pixels the view may touch
    float origin_x = 0; // window position of the view's (0, 0), logical pixels
    float origin_y = 0;
    float scale = 1;  // the view's own scale (SetScale)
    float device = 1; // device pixels per logical pixel
    rgb_color high{0, 0, 0, 255};
    rgb_color low{255, 255, 255, 255};
    drawing_mode mode = B_OP_COPY;
    float pen_size = 1;
    cap_mode cap = B_BUTT_CAP;
    join_mode join = B_MITER_JOIN;
    float miter_limit = B_DEFAULT_MITER_LIMIT;
    font_spec font;
};

float measure_string(const font_spec& font, const char* text, int32 length);
font_metrics measure_font(const font_spec& font);

// Every call returns the device pixels it may have changed.
pixel_rect fill_rect(const paint_context& context, BRect rect, const pattern& fill);
pixel_rect stroke_rect(const paint_context& context, BRect rect, const pattern& fill);
pixel_rect stroke_line(const paint_context& context, BPoint from, BPoint to, const pattern& fill);
pixel_rect fill_ellipse(const paint_context& context, BRect rect, const pattern& fill);
pixel_rect stroke_ellipse(const paint_context& context, BRect rect, const pattern& fill);
pixel_rect stroke_shape(const paint_context& context, const BShape& shape, const pattern& fill);
pixel_rect fill_shape(const paint_context& context, const BShape& shape, const pattern& fill);
// Draws `text` with its baseline's left end at `where`.
pixel_rect draw_string(const paint_context& context, const char* text, int32 length, BPoint where);
// Copies `source` pixels (`from`, source coordinates) scaled into `to`.
pixel_rect draw_pixels(const paint_context& context, const surface& source, BRect from, BRect to);

// What turns the calls above into pixels.
class rasteriser {
  public:
    virtual ~rasteriser() = default;
    virtual float measure_string(const font_spec& font, const char* text, int32 length) const = 0;
    virtual font_metrics measure_font(const font_spec& font) const = 0;
    virtual pixel_rect fill_rect(const paint_context& context, BRect rect,
                                 const pattern& fill) const = 0;
    virtual pixel_rect stroke_rect(const paint_context& context, BRect rect,
                                   const pattern& fill) const = 0;
    virtual pixel_rect stroke_line(const paint_context& context, BPoint from, BPoint to,
                                   const pattern& fill) const = 0;
    virtual pixel_rect fill_ellipse(const paint_context& context, BRect rect,
                                    const pattern& fill) const = 0;
    virtual pixel_rect stroke_ellipse(const paint_context& context, BRect rect,
                                      const pattern& fill) const = 0;
    virtual pixel_rect stroke_shape(const paint_context& context, const BShape& shape,
                                    const pattern& fill) const = 0;
    virtual pixel_rect fill_shape(const paint_context& context, const BShape& shape,
                                  const pattern& fill) const = 0;
    virtual pixel_rect draw_string(const paint_context& context, const char* text, int32 length,
                                   BPoint where) const = 0;
    virtual pixel_rect draw_pixels(const paint_context& context, const surface& source, BRect from,
                                   BRect to) const = 0;
};

// Makes every later call go to `installed`, which must live as long as
// the program draws. Without one, measuring gives zeros and drawing
// changes nothing; the first such call says on stderr that no rasteriser
// is linked, as that is a program built without the display library.
void install_rasteriser(const rasteriser* installed);

} // namespace kit

#endif
