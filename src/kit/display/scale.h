// The display's scale: device pixels per logical pixel. Views, frames and
// pointer positions are logical everywhere above the kit; a window's
// pixels are device pixels, so that a high-density screen gets crisp
// outlines and text instead of a small picture blown up.
#ifndef KIT_DISPLAY_SCALE_H
#define KIT_DISPLAY_SCALE_H

#include <Rect.h>
#include <SupportDefs.h>

namespace kit {

struct pixel_rect;

// The scale from the sources a desktop offers, in order: `tavrel` (the
// program's own override, any number from 1 to 4), `gdk` (the desktop's
// integer factor, 1 to 4), `xft_dpi` (the X resource database's Xft.dpi,
// divided by 96 and rounded to 1, 1.5, 2 or 3). A source that is absent,
// empty or not a sensible number is passed over; with none left the
// scale is 1.
float choose_scale(const char* tavrel, const char* gdk, const char* xft_dpi);

// The scale windows made from now on use (1 until a display sets it).
float display_scale();
// Values choose_scale would not give are taken as 1.
void set_display_scale(float scale);

// Device pixels of logical pixel columns `left`..`right` at `scale`: each
// logical pixel covers the device pixels from round(x * scale) up to
// round((x + 1) * scale) - 1, so adjacent rectangles stay adjacent.
pixel_rect to_device(const pixel_rect& logical, float scale);
// A device length (a window side) for a logical one.
int32 device_side(int32 logical, float scale);

} // namespace kit

#endif
