#include "Font.h"

#include "kit_painter.h"

#include <cstring>

namespace {
kit::font_spec spec_of(const BFont& font) {
    kit::font_spec spec;
    spec.family = font.kit_family();
    spec.bold = font.kit_bold();
    spec.size = font.Size();
    return spec;
}

BFont make_font(const char* family, const char* style) {
    BFont font;
    font.SetFamilyAndStyle(family, style);
    return font;
}

const BFont plain_font = make_font("DejaVu Sans", "Book");
const BFont bold_font = make_font("DejaVu Sans", "Bold");
const BFont fixed_font = make_font("DejaVu Sans Mono", "Book");
} // namespace

const BFont* be_plain_font = &plain_font;
const BFont* be_bold_font = &bold_font;
const BFont* be_fixed_font = &fixed_font;

BFont::BFont() : fFamily("DejaVu Sans") {}

BFont::BFont(const BFont* font) : BFont() {
    if (font)
        *this = *font;
}

status_t BFont::SetFamilyAndStyle(const char* family, const char* style) {
    if (family && *family)
        fFamily = family;
    if (style)
        fBold = std::strstr(style, "Bold") != nullptr;
    return B_OK;
}

void BFont::GetFamilyAndStyle(std::string* family, std::string* style) const {
    if (family)
        *family = fFamily;
    if (style)
        *style = fBold ? "Bold" : "Book";
}

void BFont::SetSize(float size) {
    // Sizes outside what a screen can show are clamped, not refused.
    if (!(size >= 1.0f))
        size = 1.0f;
    if (size > 10000.0f)
        size = 10000.0f;
    fSize = size;
}

void BFont::SetFace(uint16 face) {
    fBold = (face & B_BOLD_FACE) != 0;
}

float BFont::StringWidth(const char* string) const {
    return string ? StringWidth(string, (int32)std::strlen(string)) : 0;
}

float BFont::StringWidth(const char* string, int32 length) const {
    return kit::measure_string(spec_of(*this), string, length);
}

void BFont::GetHeight(font_height* height) const {
    if (!height)
        return;
    kit::font_metrics m = kit::measure_font(spec_of(*this));
    height->ascent = m.ascent;
    height->descent = m.descent;
    height->leading = m.leading;
}

bool BFont::operator==(const BFont& other) const {
    return fFamily == other.fFamily && fBold == other.fBold && fSize == other.fSize;
}
