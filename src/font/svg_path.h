// svg_path: a glyph's outline as SVG and SVG path data as a glyph's
// contours, for the clipboard's exchange with drawing programs. The em
// square is the SVG's viewBox, y pointing down: a point (x, y) in font
// units is (x, unitsPerEm - y) in the SVG. Read back, the viewBox (or, for
// bare path data, the em itself) is mapped onto the em, and cubic curves
// are approximated by quadratic ones.
#ifndef TAVREL_FONT_SVG_PATH_H
#define TAVREL_FONT_SVG_PATH_H

#include "font/glyph_clip.h"

#include <string>

extern const char* const SVG_CLIP_TYPE;

// An SVG document with the glyph's contours as one path.
std::string svg_of_glyph(const glyph_clip& g, unsigned units_per_em);

// Reads SVG path data: a whole document (every <path d="..."> in it, with
// its viewBox) or the bare data of one path, with the commands M L H V Q T
// C S Z and their relative forms. Cubic curves become quadratic ones
// within `tolerance` font units before the points are rounded to whole
// units; rounding moves a curve by at most 0.71 more, so the default
// keeps every pasted curve within 1 unit of the drawn one. False,
// with the reason in *why, for anything else, for damaged data, and for
// more than a glyph can hold (512 contours, 1,024 points per contour).
bool parse_svg_path(const std::string& text, unsigned units_per_em, glyph_clip* out,
                    std::string* why, double tolerance = 0.25);

#endif
