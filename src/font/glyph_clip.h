// glyph_clip: glyphs on the clipboard, in the program's own exact type
// application/x-vnd.tavrel-glyph. The data is a list of glyphs in font
// units of the font they came from (its unitsPerEm goes with them): each
// glyph's contours (points with their on/off-curve flags, in contour
// order), its components (glyph number, arguments, transform, entry flags)
// and its instructions. Data read back from the clipboard is untrusted:
// the parser refuses anything a glyph could not hold rather than clip it.
//
// Layout, big-endian:
//   "TVGL" u16 version (1) u16 unitsPerEm u16 glyphCount, then per glyph
//   u16 contourCount u16 componentCount
//   per contour: u16 pointCount, then per point s16 x, s16 y, u8 flags
//   per component: u16 glyph, s16 arg1, s16 arg2, u16 xscale, u16 scale01,
//                  u16 scale10, u16 yscale, u16 flags
//   u16 instructionLength, instruction bytes
#ifndef TAVREL_FONT_GLYPH_CLIP_H
#define TAVREL_FONT_GLYPH_CLIP_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern const char* const GLYPH_CLIP_TYPE;

struct glyph_clip {
    struct point {
        int16_t x, y;
        bool on; // on the curve; off-curve points are quadratic controls
        bool operator==(const point& o) const { return x == o.x && y == o.y && on == o.on; }
    };
    struct component {
        uint16_t glyph;
        int16_t arg1, arg2; // offset, or the two point numbers when matched
        uint16_t xscale, scale01, scale10, yscale, flags;
        bool operator==(const component& o) const;
    };
    std::vector<std::vector<point>> contours;
    std::vector<component> components;
    std::vector<uint8_t> instructions;

    bool empty() const { return contours.empty() && components.empty(); }
    bool operator==(const glyph_clip& o) const {
        return contours == o.contours && components == o.components &&
               instructions == o.instructions;
    }
};

struct glyph_clips {
    uint16_t units_per_em = 0;
    std::vector<glyph_clip> glyphs;
};

// The clipboard data for `clips`.
std::string encode_glyph_clips(const glyph_clips& clips);

// Reads clipboard data of the program's own type. False, with the reason
// for the user in *why, when the data is damaged, is not of this type, or
// holds more than a glyph can (512 contours, 1,024 points per contour,
// 1,024 components).
bool parse_glyph_clips(const std::string& data, glyph_clips* out, std::string* why);

// Coordinates of a glyph from a font of `from` units per em, for a font of
// `to`: every point and every component offset scaled and rounded (the
// arguments of point-matched components are point numbers and stay).
// False when a scaled coordinate would not fit 16 bits; `g` is then
// unchanged.
bool scale_glyph_clip(glyph_clip* g, unsigned from, unsigned to);

#endif
