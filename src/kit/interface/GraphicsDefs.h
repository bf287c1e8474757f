// Colours, patterns, drawing modes and colour spaces.
#ifndef _GRAPHICS_DEFS_H
#define _GRAPHICS_DEFS_H

#include <SupportDefs.h>

struct rgb_color {
    uint8 red;
    uint8 green;
    uint8 blue;
    uint8 alpha;

    rgb_color& set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255) {
        red = r;
        green = g;
        blue = b;
        alpha = a;
        return *this;
    }
    bool operator==(const rgb_color& other) const {
        return red == other.red && green == other.green && blue == other.blue &&
               alpha == other.alpha;
    }
    bool operator!=(const rgb_color& other) const { return !(*this == other); }
};

inline rgb_color make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255) {
    return rgb_color{red, green, blue, alpha};
}

// The view colour that means "do not erase before drawing".
extern const rgb_color B_TRANSPARENT_COLOR;
// A B_RGB32 pixel of exactly this value is not drawn by DrawBitmap in
// B_OP_OVER.
const uint32 B_TRANSPARENT_MAGIC_RGBA32 = 0x77747477;

// An 8x8 one-bit pattern: a set bit takes the high colour, a clear bit the
// low colour. Row y is data[y]; bit 7 is the leftmost pixel.
struct pattern {
    uint8 data[8];
};

extern const pattern B_SOLID_HIGH;
extern const pattern B_SOLID_LOW;
extern const pattern B_MIXED_COLORS;

enum drawing_mode {
    B_OP_COPY,
    B_OP_OVER,
    B_OP_ERASE,
    B_OP_INVERT,
    B_OP_ADD,
    B_OP_SUBTRACT,
    B_OP_BLEND,
    B_OP_MIN,
    B_OP_MAX,
    B_OP_SELECT,
    B_OP_ALPHA,
};

enum color_space {
    B_NO_COLOR_SPACE = 0x0000,
    B_RGB32 = 0x0008,  // B[7:0] G[15:8] R[23:16] -[31:24]
    B_RGBA32 = 0x2008, // B[7:0] G[15:8] R[23:16] A[31:24]
    B_RGB24 = 0x0003,
    B_RGB16 = 0x0005,
    B_RGB15 = 0x0010,
    B_CMAP8 = 0x0004,
    B_GRAY8 = 0x0002,
    B_GRAY1 = 0x0001,
};

#endif
