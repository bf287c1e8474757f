// Characters the view's font lacks (Chinese, Japanese, Korean in DejaVu
// Sans) are drawn in the font fontconfig picks for each of them, as a
// desktop's text does, rather than as missing-glyph boxes.
#ifndef KIT_DISPLAY_CAIRO_FONT_FALLBACK_H
#define KIT_DISPLAY_CAIRO_FONT_FALLBACK_H

#include "kit/interface/kit_painter.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace kit {

// A piece of the text and the face to draw it in: null for the font's
// own face (Cairo's face for the family), else a face that lives as long
// as the program.
struct text_run {
    std::string text;
    cairo_font_face_t* face;
};

// Splits UTF-8 text into runs of one face each. Text the font's own face
// holds whole (the usual case), text that is not UTF-8, and characters
// no installed font has stay in one run of the own face.
std::vector<text_run> split_by_face(const font_spec& font, const std::string& text);

} // namespace kit

#endif
