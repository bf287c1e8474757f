// The kit's rasteriser on Cairo: exact pixel geometry from coverage masks
// that Cairo draws without anti-aliasing, and text (anti-aliased) through
// Cairo's fonts and fontconfig.
#ifndef KIT_DISPLAY_CAIRO_CAIRO_RASTERISER_H
#define KIT_DISPLAY_CAIRO_CAIRO_RASTERISER_H

#include "kit/interface/kit_painter.h"

namespace kit {

class cairo_rasteriser final : public rasteriser {
  public:
    float measure_string(const font_spec& font, const char* text, int32 length) const override;
    font_metrics measure_font(const font_spec& font) const override;
    pixel_rect fill_rect(const paint_context& context, BRect rect,
                         const pattern& fill) const override;
    pixel_rect stroke_rect(const paint_context& context, BRect rect,
                           const pattern& fill) const override;
    pixel_rect stroke_line(const paint_context& context, BPoint from, BPoint to,
                           const pattern& fill) const override;
    pixel_rect fill_ellipse(const paint_context& context, BRect rect,
                            const pattern& fill) const override;
    pixel_rect stroke_ellipse(const paint_context& context, BRect rect,
                              const pattern& fill) const override;
    pixel_rect stroke_shape(const paint_context& context, const BShape& shape,
                            const pattern& fill) const override;
    pixel_rect fill_shape(const paint_context& context, const BShape& shape,
                          const pattern& fill) const override;
    pixel_rect draw_string(const paint_context& context, const char* text, int32 length,
                           BPoint where) const override;
    pixel_rect draw_pixels(const paint_context& context, const surface& source, BRect from,
                           BRect to) const override;
};

// Installs the Cairo rasteriser for the whole program (each display
// backend does, so that every program that can show a window can draw).
void install_cairo_rasteriser();

} // namespace kit

#endif
