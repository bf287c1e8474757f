// BFont: the family, style and size text is drawn with. be_plain_font is
// DejaVu Sans, be_bold_font DejaVu Sans Bold, be_fixed_font DejaVu Sans
// Mono, all at 12 points (one point is one pixel).
#ifndef _FONT_H
#define _FONT_H

#include <SupportDefs.h>

#include <string>

struct font_height {
    float ascent;
    float descent;
    float leading;
};

// Which properties SetFont() takes from the font it is given.
enum {
    B_FONT_FAMILY_AND_STYLE = 0x00000001,
    B_FONT_SIZE = 0x00000002,
    B_FONT_SHEAR = 0x00000004,
    B_FONT_ROTATION = 0x00000008,
    B_FONT_SPACING = 0x00000010,
    B_FONT_ENCODING = 0x00000020,
    B_FONT_FACE = 0x00000040,
    B_FONT_FLAGS = 0x00000080,
    B_FONT_ALL = 0x000000ff,
};

enum {
    B_REGULAR_FACE = 0x0040,
    B_BOLD_FACE = 0x0020,
};

class BFont {
  public:
    BFont();
    BFont(const BFont& font) = default;
    BFont(const BFont* font);
    BFont& operator=(const BFont& font) = default;

    status_t SetFamilyAndStyle(const char* family, const char* style);
    void GetFamilyAndStyle(std::string* family, std::string* style) const;
    void SetSize(float size);
    float Size() const { return fSize; }
    void SetFace(uint16 face);
    uint16 Face() const { return fBold ? B_BOLD_FACE : B_REGULAR_FACE; }

    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetHeight(font_height* height) const;

    bool operator==(const BFont& other) const;
    bool operator!=(const BFont& other) const { return !(*this == other); }

    // For the kit's rasteriser.
    const std::string& kit_family() const { return fFamily; }
    bool kit_bold() const { return fBold; }

  private:
    std::string fFamily;
    bool fBold = false;
    float fSize = 12.0f;
};

extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

#endif
