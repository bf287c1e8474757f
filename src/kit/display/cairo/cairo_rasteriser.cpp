#include "cairo_rasteriser.h"

#include "font_fallback.h"

#include <Shape.h>

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kit {

namespace {

// Pixels further out than this are never drawn; it keeps hostile
// coordinates from turning into huge loops or allocations.
const double kFar = 1 << 24;

bool finite(double v) {
    return std::isfinite(v) && std::fabs(v) < kFar;
}

int32 to_pixel(double v) {
    return (int32)std::lround(v);
}

struct device_point {
    double x;
    double y;
};

// A point in logical window coordinates.
device_point to_window(const paint_context& c, BPoint p) {
    return device_point{c.origin_x + (double)p.x * c.scale, c.origin_y + (double)p.y * c.scale};
}

// A point in device coordinates, where device pixel centres are the
// integers: logical pixel x covers device pixels round(x * device) up to
// round((x + 1) * device) - 1, whose middle this is.
device_point to_device(const paint_context& c, BPoint p) {
    device_point w = to_window(c, p);
    double d = c.device;
    return device_point{(w.x + 0.5) * d - 0.5, (w.y + 0.5) * d - 0.5};
}

// How far a thin line's first device pixel lies before its centre.
double brush_offset(const paint_context& c) {
    return ((double)c.device - 1) / 2;
}

// Thin lines are one logical pixel wide: this many device pixels.
int32 brush_size(const paint_context& c) {
    return std::max<int32>(1, to_pixel(c.device));
}

// Device pixels covered by an inclusive rectangle in view coordinates.
pixel_rect device_rect(const paint_context& c, BRect r) {
    device_point lt = to_window(c, r.LeftTop());
    device_point rb = to_window(c, r.RightBottom());
    if (!finite(lt.x) || !finite(lt.y) || !finite(rb.x) || !finite(rb.y))
        return pixel_rect{};
    double d = c.device;
    return pixel_rect{to_pixel(lt.x * d), to_pixel(lt.y * d), to_pixel(rb.x * d + d - 1),
                      to_pixel(rb.y * d + d - 1)};
}

// One call's pixels: a byte per pixel, non-zero where the call draws. The
// rows are laid out as the rasterising library wants them.
class coverage {
  public:
    explicit coverage(pixel_rect box) : fBox(box) {
        if (box.empty())
            return;
        fWidth = box.right - box.left + 1;
        fHeight = box.bottom - box.top + 1;
        fStride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, fWidth);
        fData.assign((size_t)fStride * fHeight, 0);
    }

    const pixel_rect& box() const { return fBox; }
    bool empty() const { return fData.empty(); }

    void set(int32 x, int32 y) {
        if (x < fBox.left || x > fBox.right || y < fBox.top || y > fBox.bottom)
            return;
        fData[(size_t)(y - fBox.top) * fStride + (x - fBox.left)] = 255;
    }
    // Row y of the mask from column box().left on; y must lie in the box.
    const uint8* row(int32 y) const { return &fData[(size_t)(y - fBox.top) * fStride]; }
    uint8 at(int32 x, int32 y) const {
        if (x < fBox.left || x > fBox.right || y < fBox.top || y > fBox.bottom)
            return 0;
        return fData[(size_t)(y - fBox.top) * fStride + (x - fBox.left)];
    }
    void fill(const pixel_rect& r) {
        pixel_rect c = r.intersect(fBox);
        // An edge of a stroked rectangle may lie wholly outside the box.
        if (c.empty() || fData.empty())
            return;
        for (int32 y = c.top; y <= c.bottom; y++)
            std::memset(&fData[(size_t)(y - fBox.top) * fStride + (c.left - fBox.left)], 255,
                        c.right - c.left + 1);
    }

    // A drawing context on the mask in device pixel coordinates, where
    // (x + 0.5, y + 0.5) is the centre of pixel (x, y).
    cairo_t* open(cairo_antialias_t antialias) {
        fSurface = cairo_image_surface_create_for_data(fData.data(), CAIRO_FORMAT_A8, fWidth,
                                                       fHeight, fStride);
        cairo_t* cr = cairo_create(fSurface);
        cairo_set_antialias(cr, antialias);
        cairo_translate(cr, -fBox.left, -fBox.top);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        return cr;
    }
    void close(cairo_t* cr) {
        cairo_destroy(cr);
        cairo_surface_flush(fSurface);
        cairo_surface_destroy(fSurface);
        fSurface = nullptr;
    }

  private:
    pixel_rect fBox;
    int32 fWidth = 0;
    int32 fHeight = 0;
    int32 fStride = 0;
    std::vector<uint8> fData;
    cairo_surface_t* fSurface = nullptr;
};

uint32 pack(rgb_color c) {
    return 0xff000000u | ((uint32)c.red << 16) | ((uint32)c.green << 8) | c.blue;
}

uint8 channel(uint32 p, int shift) {
    return (uint8)(p >> shift);
}

uint32 per_channel(uint32 dst, uint32 src, int (*op)(int, int)) {
    uint32 out = 0xff000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        int v = std::clamp(op(channel(dst, shift), channel(src, shift)), 0, 255);
        out |= (uint32)v << shift;
    }
    return out;
}

uint32 blend(uint32 dst, uint32 src, int alpha) {
    uint32 out = 0xff000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = channel(dst, shift);
        int s = channel(src, shift);
        out |= (uint32)((d * (255 - alpha) + s * alpha + 127) / 255) << shift;
    }
    return out;
}

// Applies one pattern pixel in the context's drawing mode; hi and lo are
// the context's colours packed.
uint32 apply(const paint_context& c, uint32 hi, uint32 lo, uint32 dst, bool high) {
    uint32 src = high ? hi : lo;
    switch (c.mode) {
    case B_OP_COPY:
        return src;
    case B_OP_OVER:
        return high ? hi : dst;
    case B_OP_ERASE:
        return high ? lo : dst;
    case B_OP_INVERT:
        return high ? dst ^ 0x00ffffffu : dst;
    case B_OP_ADD:
        return per_channel(dst, src, [](int d, int s) { return d + s; });
    case B_OP_SUBTRACT:
        return per_channel(dst, src, [](int d, int s) { return d - s; });
    case B_OP_BLEND:
        return per_channel(dst, src, [](int d, int s) { return (d + s) / 2; });
    case B_OP_MIN:
        return per_channel(dst, src, [](int d, int s) { return std::min(d, s); });
    case B_OP_MAX:
        return per_channel(dst, src, [](int d, int s) { return std::max(d, s); });
    case B_OP_SELECT:
        // Swaps the high and low colours where the pattern is high.
        if (!high)
            return dst;
        if ((dst & 0xffffff) == (hi & 0xffffff))
            return lo;
        if ((dst & 0xffffff) == (lo & 0xffffff))
            return hi;
        return dst;
    case B_OP_ALPHA:
        return high ? blend(dst, hi, c.high.alpha) : dst;
    }
    return src;
}

bool pattern_bit(const pattern& p, int32 x, int32 y) {
    return (p.data[y & 7] >> (7 - (x & 7))) & 1;
}

// Applies the fill once to every pixel of `box` inside the clip for which
// covered(x, y) holds.
template <typename Covered>
pixel_rect composite_with(const paint_context& c, const pixel_rect& box, const pattern& fill,
                          Covered covered) {
    pixel_rect changed;
    if (box.empty() || !c.target)
        return changed;
    surface& s = *c.target;
    uint32 hi = pack(c.high), lo = pack(c.low);
    // Solid patterns in the common modes need no per-pixel pattern lookup
    // or mode switch: repaints fill large areas this way.
    bool all_high = true, all_low = true;
    for (uint8 b : fill.data) {
        all_high = all_high && b == 0xff;
        all_low = all_low && b == 0x00;
    }
    enum class fast { none, set, invert } how = fast::none;
    uint32 value = 0;
    if (c.mode == B_OP_COPY && (all_high || all_low)) {
        how = fast::set;
        value = all_high ? hi : lo;
    } else if ((c.mode == B_OP_OVER && all_high) || (c.mode == B_OP_ERASE && all_high)) {
        how = fast::set;
        value = c.mode == B_OP_OVER ? hi : lo;
    } else if (c.mode == B_OP_INVERT && all_high) {
        how = fast::invert;
    }
    for (const pixel_rect& clip : c.clip.rects()) {
        pixel_rect area = clip.intersect(box).intersect(s.rect());
        if (area.empty())
            continue;
        for (int32 y = area.top; y <= area.bottom; y++) {
            uint32* row = s.pixels + (size_t)y * s.stride;
            for (int32 x = area.left; x <= area.right; x++) {
                if (!covered(x, y))
                    continue;
                switch (how) {
                case fast::set:
                    row[x] = value;
                    break;
                case fast::invert:
                    row[x] ^= 0x00ffffffu;
                    break;
                case fast::none:
                    row[x] = apply(c, hi, lo, row[x], pattern_bit(fill, x, y));
                    break;
                }
            }
        }
        changed = changed.unite(area);
    }
    return changed;
}

// Applies the mask once to every pixel it covers inside the clip.
pixel_rect composite(const paint_context& c, const coverage& mask, const pattern& fill) {
    if (mask.empty())
        return pixel_rect{};
    const int32 left = mask.box().left;
    return composite_with(c, mask.box(), fill,
                          [&](int32 x, int32 y) { return mask.row(y)[x - left] >= 128; });
}

// The mask box for a primitive: its device bounds widened by `margin`,
// limited to the clip.
pixel_rect mask_box(const paint_context& c, double l, double t, double r, double b, double margin) {
    if (!finite(l) || !finite(t) || !finite(r) || !finite(b))
        return pixel_rect{};
    pixel_rect box{
        (int32)std::floor(std::min(l, r) - margin), (int32)std::floor(std::min(t, b) - margin),
        (int32)std::ceil(std::max(l, r) + margin), (int32)std::ceil(std::max(t, b) + margin)};
    return box.intersect(c.clip.bounds());
}

// Clips the segment to `box` (Liang-Barsky); false when nothing is left.
bool clip_segment(device_point& a, device_point& b, const pixel_rect& box) {
    double t0 = 0, t1 = 1;
    double dx = b.x - a.x, dy = b.y - a.y;
    double p[4] = {-dx, dx, -dy, dy};
    double q[4] = {a.x - (box.left - 1), (box.right + 1) - a.x, a.y - (box.top - 1),
                   (box.bottom + 1) - a.y};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    device_point na{a.x + t0 * dx, a.y + t0 * dy};
    device_point nb{a.x + t1 * dx, a.y + t1 * dy};
    a = na;
    b = nb;
    return true;
}

// A line one logical pixel wide, traced at device resolution with a
// square brush of `brush` pixels whose first pixel lies `offset` before the
// line; both end pixels are drawn.
void thin_line(coverage& mask, device_point a, device_point b, double offset, int32 brush) {
    a.x -= offset;
    a.y -= offset;
    b.x -= offset;
    b.y -= offset;
    const pixel_rect& box = mask.box();
    auto inside = [&](const device_point& p) {
        return p.x >= box.left - 1 && p.x <= box.right + 1 && p.y >= box.top - 1 &&
               p.y <= box.bottom + 1;
    };
    // Only a segment that leaves the mask is cut, so that the usual case
    // keeps its exact end pixels.
    if (!inside(a) || !inside(b)) {
        if (!clip_segment(a, b, box))
            return;
    }
    int32 x0 = to_pixel(a.x), y0 = to_pixel(a.y);
    int32 x1 = to_pixel(b.x), y1 = to_pixel(b.y);
    int32 dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int32 sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int32 err = dx + dy;
    while (true) {
        if (brush == 1)
            mask.set(x0, y0);
        else
            mask.fill(pixel_rect{x0, y0, x0 + brush - 1, y0 + brush - 1});
        if (x0 == x1 && y0 == y1)
            break;
        int32 e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// A pen of one logical pixel or less (0 included) draws thin lines.
bool is_thin(const paint_context& c) {
    return (double)c.pen_size * c.scale <= 1.0;
}

// Device width of the pen.
double pen_width(const paint_context& c) {
    if (is_thin(c))
        return brush_size(c);
    return (double)c.pen_size * c.scale * c.device;
}

void set_line_style(cairo_t* cr, const paint_context& c) {
    cairo_set_line_width(cr, pen_width(c));
    switch (c.cap) {
    case B_ROUND_CAP:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        break;
    case B_SQUARE_CAP:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
        break;
    default:
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        break;
    }
    switch (c.join) {
    case B_ROUND_JOIN:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        break;
    case B_BEVEL_JOIN:
    case B_BUTT_JOIN:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
        break;
    default:
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        break;
    }
    cairo_set_miter_limit(cr, c.miter_limit);
}

// A shape as device polylines (Béziers flattened), one per subpath.
std::vector<std::vector<device_point>> flatten(const paint_context& c, const BShape& shape,
                                               std::vector<bool>* closed) {
    std::vector<std::vector<device_point>> lines;
    device_point current{0, 0};
    for (const BShape::kit_op& op : shape.kit_ops()) {
        switch (op.kind) {
        case BShape::kit_op::move:
            current = to_device(c, op.points[0]);
            lines.push_back({current});
            closed->push_back(false);
            break;
        case BShape::kit_op::line:
            current = to_device(c, op.points[0]);
            lines.back().push_back(current);
            break;
        case BShape::kit_op::bezier: {
            device_point p0 = current;
            device_point p1 = to_device(c, op.points[0]);
            device_point p2 = to_device(c, op.points[1]);
            device_point p3 = to_device(c, op.points[2]);
            double span = std::hypot(p1.x - p0.x, p1.y - p0.y) +
                          std::hypot(p2.x - p1.x, p2.y - p1.y) +
                          std::hypot(p3.x - p2.x, p3.y - p2.y);
            int steps = finite(span) ? std::clamp((int)std::ceil(span / 2.0), 1, 4096) : 1;
            for (int i = 1; i <= steps; i++) {
                double t = (double)i / steps, u = 1 - t;
                double a = u * u * u, b = 3 * u * u * t, d = 3 * u * t * t, e = t * t * t;
                lines.back().push_back(device_point{a * p0.x + b * p1.x + d * p2.x + e * p3.x,
                                                    a * p0.y + b * p1.y + d * p2.y + e * p3.y});
            }
            current = p3;
            break;
        }
        case BShape::kit_op::close:
            if (!lines.empty()) {
                closed->back() = true;
                current = lines.back().front();
            }
            break;
        }
    }
    return lines;
}

// Traces polylines one pixel wide: every segment, the closing one of a
// closed line, and the pixel of a line that is a single point.
void thin_outline(const paint_context& c, coverage& mask,
                  const std::vector<std::vector<device_point>>& lines,
                  const std::vector<bool>& closed) {
    double offset = brush_offset(c);
    int32 brush = brush_size(c);
    for (size_t i = 0; i < lines.size(); i++) {
        const auto& line = lines[i];
        if (line.size() == 1)
            thin_line(mask, line[0], line[0], offset, brush);
        for (size_t j = 1; j < line.size(); j++)
            thin_line(mask, line[j - 1], line[j], offset, brush);
        if (closed[i] && line.size() > 1)
            thin_line(mask, line.back(), line.front(), offset, brush);
    }
}

bool bounds_of(const std::vector<std::vector<device_point>>& lines, double* l, double* t, double* r,
               double* b) {
    bool any = false;
    for (const auto& line : lines) {
        for (const device_point& p : line) {
            if (!finite(p.x) || !finite(p.y))
                return false;
            if (!any) {
                *l = *r = p.x;
                *t = *b = p.y;
                any = true;
            }
            *l = std::min(*l, p.x);
            *r = std::max(*r, p.x);
            *t = std::min(*t, p.y);
            *b = std::max(*b, p.y);
        }
    }
    return any;
}

// The mask box around flattened lines; empty when there is nothing to draw.
pixel_rect outline_box(const paint_context& c, const std::vector<std::vector<device_point>>& lines,
                       double margin) {
    double l, t, r, b;
    if (!bounds_of(lines, &l, &t, &r, &b))
        return pixel_rect{};
    return mask_box(c, l, t, r, b, margin);
}

void trace(cairo_t* cr, const std::vector<std::vector<device_point>>& lines,
           const std::vector<bool>& closed) {
    for (size_t i = 0; i < lines.size(); i++) {
        const auto& line = lines[i];
        cairo_move_to(cr, line[0].x + 0.5, line[0].y + 0.5);
        for (size_t j = 1; j < line.size(); j++)
            cairo_line_to(cr, line[j].x + 0.5, line[j].y + 0.5);
        if (closed[i])
            cairo_close_path(cr);
    }
}

// Pixels of the ellipse inscribed in the inclusive rectangle `r`.
void ellipse_pixels(coverage& mask, const pixel_rect& r) {
    double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    double rx = (r.right - r.left) / 2.0 + 0.5, ry = (r.bottom - r.top) / 2.0 + 0.5;
    pixel_rect area = r.intersect(mask.box());
    for (int32 y = area.top; y <= area.bottom; y++) {
        double dy = (y - cy) / ry;
        double inside = 1.0 - dy * dy;
        if (inside < 0)
            continue;
        double half = rx * std::sqrt(inside);
        int32 from = std::max<int32>(area.left, (int32)std::ceil(cx - half - 1e-9));
        int32 to = std::min<int32>(area.right, (int32)std::floor(cx + half + 1e-9));
        for (int32 x = from; x <= to; x++)
            mask.set(x, y);
    }
}

cairo_font_face_t* font_face(const font_spec& font) {
    return cairo_toy_font_face_create(font.family.c_str(), CAIRO_FONT_SLANT_NORMAL,
                                      font.bold ? CAIRO_FONT_WEIGHT_BOLD
                                                : CAIRO_FONT_WEIGHT_NORMAL);
}

// Sets the font's own face, or `fallback` when one is given.
void prepare_font(cairo_t* cr, const font_spec& font, double size,
                  cairo_font_face_t* fallback = nullptr) {
    if (fallback) {
        cairo_set_font_face(cr, fallback);
    } else {
        cairo_font_face_t* face = font_face(font);
        cairo_set_font_face(cr, face);
        cairo_font_face_destroy(face);
    }
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// A scratch context for measuring text.
struct measuring_context {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    cairo_t* cr = cairo_create(surface);
    ~measuring_context() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

} // namespace

float cairo_rasteriser::measure_string(const font_spec& font, const char* text,
                                       int32 length) const {
    if (!text || length <= 0 || !(font.size > 0))
        return 0;
    std::string s(text, strnlen(text, (size_t)length));
    measuring_context m;
    double advance = 0;
    for (const text_run& run : split_by_face(font, s)) {
        prepare_font(m.cr, font, font.size, run.face);
        cairo_text_extents_t extents;
        cairo_text_extents(m.cr, run.text.c_str(), &extents);
        advance += extents.x_advance;
    }
    return (float)advance;
}

font_metrics cairo_rasteriser::measure_font(const font_spec& font) const {
    if (!(font.size > 0))
        return font_metrics{0, 0, 0};
    measuring_context m;
    prepare_font(m.cr, font, font.size);
    cairo_font_extents_t extents;
    cairo_font_extents(m.cr, &extents);
    float leading = (float)std::max(0.0, extents.height - extents.ascent - extents.descent);
    return font_metrics{(float)extents.ascent, (float)extents.descent, leading};
}

pixel_rect cairo_rasteriser::fill_rect(const paint_context& c, BRect rect,
                                       const pattern& fill) const {
    pixel_rect r = device_rect(c, rect);
    if (r.empty())
        return pixel_rect{};
    // A rectangle covers every pixel of its box: no mask to build.
    return composite_with(c, r, fill, [](int32, int32) { return true; });
}

pixel_rect cairo_rasteriser::stroke_rect(const paint_context& c, BRect rect,
                                         const pattern& fill) const {
    pixel_rect r = device_rect(c, rect);
    if (r.empty())
        return pixel_rect{};
    if (is_thin(c)) {
        // Each edge is one logical pixel: `k` device pixels thick.
        int32 k = brush_size(c) - 1;
        coverage mask(r.intersect(c.clip.bounds()));
        mask.fill(pixel_rect{r.left, r.top, r.right, r.top + k});
        mask.fill(pixel_rect{r.left, r.bottom - k, r.right, r.bottom});
        mask.fill(pixel_rect{r.left, r.top, r.left + k, r.bottom});
        mask.fill(pixel_rect{r.right - k, r.top, r.right, r.bottom});
        return composite(c, mask, fill);
    }
    double w = pen_width(c);
    coverage mask(mask_box(c, r.left, r.top, r.right, r.bottom, w));
    if (mask.empty())
        return pixel_rect{};
    cairo_t* cr = mask.open(CAIRO_ANTIALIAS_NONE);
    set_line_style(cr, c);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    // The path runs through the middle of the edge pixels.
    double in = brush_offset(c);
    cairo_rectangle(cr, r.left + in + 0.5, r.top + in + 0.5, r.right - r.left - 2 * in,
                    r.bottom - r.top - 2 * in);
    cairo_stroke(cr);
    mask.close(cr);
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::stroke_line(const paint_context& c, BPoint from, BPoint to,
                                         const pattern& fill) const {
    device_point a = to_device(c, from), b = to_device(c, to);
    double w = pen_width(c);
    coverage mask(mask_box(c, a.x, a.y, b.x, b.y, w + 1));
    if (mask.empty())
        return pixel_rect{};
    if (is_thin(c)) {
        thin_line(mask, a, b, brush_offset(c), brush_size(c));
    } else {
        cairo_t* cr = mask.open(CAIRO_ANTIALIAS_NONE);
        set_line_style(cr, c);
        cairo_move_to(cr, a.x + 0.5, a.y + 0.5);
        cairo_line_to(cr, b.x + 0.5, b.y + 0.5);
        cairo_stroke(cr);
        mask.close(cr);
    }
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::fill_ellipse(const paint_context& c, BRect rect,
                                          const pattern& fill) const {
    pixel_rect r = device_rect(c, rect);
    if (r.empty())
        return pixel_rect{};
    coverage mask(r.intersect(c.clip.bounds()));
    if (mask.empty())
        return pixel_rect{};
    ellipse_pixels(mask, r);
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::stroke_ellipse(const paint_context& c, BRect rect,
                                            const pattern& fill) const {
    pixel_rect r = device_rect(c, rect);
    if (r.empty())
        return pixel_rect{};
    if (is_thin(c)) {
        // The rim of the filled ellipse: its pixels with a pixel outside
        // at most one brush width away along a row or column. Worked out
        // on the whole ellipse, then clipped, so a clipped ellipse keeps
        // the same rim.
        pixel_rect box = r.intersect(c.clip.bounds());
        if (box.empty())
            return pixel_rect{};
        const int32 k = brush_size(c);
        pixel_rect grown{box.left - k, box.top - k, box.right + k, box.bottom + k};
        coverage solid(grown.intersect(r));
        ellipse_pixels(solid, r);
        coverage rim(box);
        for (int32 y = box.top; y <= box.bottom; y++) {
            for (int32 x = box.left; x <= box.right; x++) {
                if (!solid.at(x, y))
                    continue;
                // Neighbours within k pixels of the box are all in `solid`.
                auto in = [&](int32 px, int32 py) {
                    if (px < r.left || px > r.right || py < r.top || py > r.bottom)
                        return false;
                    return solid.at(px, py) != 0;
                };
                for (int32 j = 1; j <= k; j++) {
                    if (!in(x - j, y) || !in(x + j, y) || !in(x, y - j) || !in(x, y + j)) {
                        rim.set(x, y);
                        break;
                    }
                }
            }
        }
        return composite(c, rim, fill);
    }
    double w = pen_width(c);
    coverage mask(mask_box(c, r.left, r.top, r.right, r.bottom, w));
    if (mask.empty())
        return pixel_rect{};
    cairo_t* cr = mask.open(CAIRO_ANTIALIAS_NONE);
    set_line_style(cr, c);
    double cx = (r.left + r.right) / 2.0 + 0.5, cy = (r.top + r.bottom) / 2.0 + 0.5;
    double in = brush_offset(c);
    double rx = (r.right - r.left) / 2.0 - in, ry = (r.bottom - r.top) / 2.0 - in;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, std::max(rx, 0.01), std::max(ry, 0.01));
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_stroke(cr);
    mask.close(cr);
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::stroke_shape(const paint_context& c, const BShape& shape,
                                          const pattern& fill) const {
    std::vector<bool> closed;
    auto lines = flatten(c, shape, &closed);
    coverage mask(outline_box(c, lines, pen_width(c) + 1));
    if (mask.empty())
        return pixel_rect{};
    if (is_thin(c)) {
        thin_outline(c, mask, lines, closed);
    } else {
        cairo_t* cr = mask.open(CAIRO_ANTIALIAS_NONE);
        set_line_style(cr, c);
        trace(cr, lines, closed);
        cairo_stroke(cr);
        mask.close(cr);
    }
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::fill_shape(const paint_context& c, const BShape& shape,
                                        const pattern& fill) const {
    std::vector<bool> closed;
    auto lines = flatten(c, shape, &closed);
    coverage mask(outline_box(c, lines, brush_size(c) + 1));
    if (mask.empty())
        return pixel_rect{};
    cairo_t* cr = mask.open(CAIRO_ANTIALIAS_NONE);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    std::vector<bool> all_closed(closed.size(), true);
    trace(cr, lines, all_closed);
    cairo_fill(cr);
    mask.close(cr);
    // The outline's own pixels belong to the fill, as a filled rectangle
    // includes its edges.
    thin_outline(c, mask, lines, all_closed);
    return composite(c, mask, fill);
}

pixel_rect cairo_rasteriser::draw_string(const paint_context& c, const char* text, int32 length,
                                         BPoint where) const {
    if (!text || length <= 0 || !c.target)
        return pixel_rect{};
    std::string s(text, strnlen(text, (size_t)length));
    const double d = c.device;
    double size = (double)c.font.size * c.scale * d;
    device_point base = to_window(c, where);
    if (s.empty() || !(size > 0) || size > 4096 || !finite(base.x) || !finite(base.y))
        return pixel_rect{};
    // The glyphs' bottom row sits on the baseline's pixel row: its last
    // device row.
    double bx = std::round(base.x * d), by = std::round(base.y * d + d - 1) + 1;

    // Each run of one face is placed after the one before; the mask
    // covers the ink of them all. Glyphs are placed where they are at
    // scale 1, the places enlarged, so that text is as wide as measured
    // (layouts and carets rely on it); their shapes are drawn at the
    // device size.
    const double logicalSize = (double)c.font.size * c.scale;
    std::vector<text_run> runs = split_by_face(c.font, s);
    std::vector<std::vector<cairo_glyph_t>> placed(runs.size());
    double x = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    measuring_context m;
    for (size_t i = 0; i < runs.size(); i++) {
        const text_run& run = runs[i];
        prepare_font(m.cr, c.font, logicalSize, run.face);
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        cairo_text_extents_t advance;
        cairo_text_extents(m.cr, run.text.c_str(), &advance);
        if (cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(m.cr), 0, 0, run.text.c_str(),
                                             (int)run.text.size(), &glyphs, &count, nullptr,
                                             nullptr, nullptr) == CAIRO_STATUS_SUCCESS) {
            for (int g = 0; g < count; g++)
                placed[i].push_back(
                    cairo_glyph_t{glyphs[g].index, (x + glyphs[g].x) * d, glyphs[g].y * d});
            cairo_glyph_free(glyphs);
        }
        x += advance.x_advance;
        if (placed[i].empty())
            continue;
        prepare_font(m.cr, c.font, size, run.face);
        cairo_text_extents_t ext;
        cairo_glyph_extents(m.cr, placed[i].data(), (int)placed[i].size(), &ext);
        if (ext.width > 0 && ext.height > 0) {
            // Measured from the first glyph's origin.
            double l = placed[i][0].x + ext.x_bearing, t = placed[i][0].y + ext.y_bearing;
            double r = l + ext.width, b = t + ext.height;
            left = any ? std::min(left, l) : l;
            top = any ? std::min(top, t) : t;
            right = any ? std::max(right, r) : r;
            bottom = any ? std::max(bottom, b) : b;
            any = true;
        }
    }
    coverage mask(mask_box(c, bx + left, by + top, bx + right, by + bottom, 2));
    if (mask.empty())
        return pixel_rect{};
    cairo_t* cr = mask.open(CAIRO_ANTIALIAS_GRAY);
    for (size_t i = 0; i < runs.size(); i++) {
        if (placed[i].empty())
            continue;
        prepare_font(cr, c.font, size, runs[i].face);
        for (cairo_glyph_t& g : placed[i]) {
            g.x += bx;
            g.y += by;
        }
        cairo_show_glyphs(cr, placed[i].data(), (int)placed[i].size());
    }
    mask.close(cr);

    // Text blends the high colour into what is there; in B_OP_INVERT it
    // inverts its solid pixels so that drawing it twice restores them.
    pixel_rect changed;
    surface& dst = *c.target;
    uint32 hi = pack(c.high);
    for (const pixel_rect& clip : c.clip.rects()) {
        pixel_rect area = clip.intersect(mask.box()).intersect(dst.rect());
        if (area.empty())
            continue;
        for (int32 y = area.top; y <= area.bottom; y++) {
            uint32* row = dst.pixels + (size_t)y * dst.stride;
            for (int32 x = area.left; x <= area.right; x++) {
                uint8 a = mask.at(x, y);
                if (!a)
                    continue;
                if (c.mode == B_OP_INVERT) {
                    if (a >= 128)
                        row[x] ^= 0x00ffffffu;
                } else {
                    int alpha = c.mode == B_OP_ALPHA ? a * c.high.alpha / 255 : a;
                    row[x] = blend(row[x], hi, alpha);
                }
            }
        }
        changed = changed.unite(area);
    }
    return changed;
}

pixel_rect cairo_rasteriser::draw_pixels(const paint_context& c, const surface& source, BRect from,
                                         BRect to) const {
    pixel_rect dst_rect = device_rect(c, to);
    if (dst_rect.empty() || !c.target || source.width <= 0 || source.height <= 0)
        return pixel_rect{};
    if (!finite(from.left) || !finite(from.top) || !finite(from.right) || !finite(from.bottom))
        return pixel_rect{};
    double sw = (double)from.right - from.left + 1, sh = (double)from.bottom - from.top + 1;
    double dw = dst_rect.right - dst_rect.left + 1, dh = dst_rect.bottom - dst_rect.top + 1;
    if (sw <= 0 || sh <= 0)
        return pixel_rect{};
    pixel_rect changed;
    surface& dst = *c.target;
    // Pixels copied one to one (the usual case): whole rows, no scaling.
    const bool unscaled = sw == dw && sh == dh && from.left == std::floor(from.left) &&
                          from.top == std::floor(from.top) && c.mode != B_OP_OVER &&
                          c.mode != B_OP_INVERT;
    for (const pixel_rect& clip : c.clip.rects()) {
        pixel_rect area = clip.intersect(dst_rect).intersect(dst.rect());
        if (area.empty())
            continue;
        if (unscaled) {
            const int32 dx = (int32)from.left - dst_rect.left, dy = (int32)from.top - dst_rect.top;
            pixel_rect inside =
                area.intersect(pixel_rect{-dx, -dy, source.width - 1 - dx, source.height - 1 - dy});
            for (int32 y = inside.top; y <= inside.bottom && !inside.empty(); y++) {
                const uint32* srow = source.pixels + (size_t)(y + dy) * source.stride + dx;
                uint32* drow = dst.pixels + (size_t)y * dst.stride;
                for (int32 x = inside.left; x <= inside.right; x++)
                    drow[x] = srow[x] | 0xff000000u;
            }
            changed = changed.unite(area);
            continue;
        }
        for (int32 y = area.top; y <= area.bottom; y++) {
            int32 sy = (int32)std::floor(from.top + (y - dst_rect.top + 0.5) * sh / dh);
            if (sy < 0 || sy >= source.height)
                continue;
            const uint32* srow = source.pixels + (size_t)sy * source.stride;
            uint32* drow = dst.pixels + (size_t)y * dst.stride;
            for (int32 x = area.left; x <= area.right; x++) {
                int32 sx = (int32)std::floor(from.left + (x - dst_rect.left + 0.5) * sw / dw);
                if (sx < 0 || sx >= source.width)
                    continue;
                uint32 p = srow[sx];
                if (c.mode == B_OP_OVER && p == B_TRANSPARENT_MAGIC_RGBA32)
                    continue;
                if (c.mode == B_OP_INVERT)
                    drow[x] ^= 0x00ffffffu;
                else
                    drow[x] = p | 0xff000000u;
            }
        }
        changed = changed.unite(area);
    }
    return changed;
}

} // namespace kit

namespace kit {

void install_cairo_rasteriser() {
    // Never destroyed: windows may still draw while statics are torn down.
    static const cairo_rasteriser* const instance = new cairo_rasteriser();
    install_rasteriser(instance);
}

} // namespace kit
