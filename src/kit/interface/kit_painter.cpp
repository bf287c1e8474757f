#include "kit_painter.h"

#include <atomic>
#include <cstdio>

namespace kit {

namespace {

std::atomic<const rasteriser*> current{nullptr};
std::atomic<bool> reported{false};

// The installed rasteriser, or null after reporting (once) that there is
// none: a program that draws was built without the display library.
const rasteriser* drawing_with() {
    const rasteriser* r = current.load(std::memory_order_acquire);
    if (!r && !reported.exchange(true))
        std::fprintf(stderr, "kit: no rasteriser is linked into this program; nothing is drawn "
                             "and text measures zero\n");
    return r;
}

} // namespace

void install_rasteriser(const rasteriser* installed) {
    current.store(installed, std::memory_order_release);
}

float measure_string(const font_spec& font, const char* text, int32 length) {
    const rasteriser* r = drawing_with();
    return r ? r->measure_string(font, text, length) : 0;
}

font_metrics measure_font(const font_spec& font) {
    const rasteriser* r = drawing_with();
    return r ? r->measure_font(font) : font_metrics{0, 0, 0};
}

pixel_rect fill_rect(const paint_context& context, BRect rect, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->fill_rect(context, rect, fill) : pixel_rect{};
}

pixel_rect stroke_rect(const paint_context& context, BRect rect, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->stroke_rect(context, rect, fill) : pixel_rect{};
}

pixel_rect stroke_line(const paint_context& context, BPoint from, BPoint to, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->stroke_line(context, from, to, fill) : pixel_rect{};
}

pixel_rect fill_ellipse(const paint_context& context, BRect rect, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->fill_ellipse(context, rect, fill) : pixel_rect{};
}

pixel_rect stroke_ellipse(const paint_context& context, BRect rect, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->stroke_ellipse(context, rect, fill) : pixel_rect{};
}

pixel_rect stroke_shape(const paint_context& context, const BShape& shape, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->stroke_shape(context, shape, fill) : pixel_rect{};
}

pixel_rect fill_shape(const paint_context& context, const BShape& shape, const pattern& fill) {
    const rasteriser* r = drawing_with();
    return r ? r->fill_shape(context, shape, fill) : pixel_rect{};
}

pixel_rect draw_string(const paint_context& context, const char* text, int32 length, BPoint where) {
    const rasteriser* r = drawing_with();
    return r ? r->draw_string(context, text, length, where) : pixel_rect{};
}

pixel_rect draw_pixels(const paint_context& context, const surface& source, BRect from, BRect to) {
    const rasteriser* r = drawing_with();
    return r ? r->draw_pixels(context, source, from, to) : pixel_rect{};
}

} // namespace kit
