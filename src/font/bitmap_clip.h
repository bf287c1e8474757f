// bitmap_clip: an embedded bitmap glyph on the clipboard, in the program's
// own type application/x-vnd.tavrel-bitmap: the image's pixels with the
// metrics that place it against the glyph's origin and baseline, and the
// strike it came from. Data read back from the clipboard is untrusted: the
// parser refuses anything but an image a strike can hold.
//
// Layout:
//   "TVBM" u16 version (1), u8 ppemX, u8 ppemY, s8 bearingX, s8 bearingY,
//   u8 advance, u8 width, u8 height, then width x height bytes (rows from
//   the top, 1 ink and 0 none)
#ifndef TAVREL_FONT_BITMAP_CLIP_H
#define TAVREL_FONT_BITMAP_CLIP_H

#include <cstdint>
#include <string>
#include <vector>

class bitmap;

extern const char* const BITMAP_CLIP_TYPE;

struct bitmap_clip {
    uint8_t ppemx = 0, ppemy = 0;
    int8_t bearingx = 0, bearingy = 0;
    uint8_t advance = 0, width = 0, height = 0;
    std::vector<uint8_t> pixels;

    bool operator==(const bitmap_clip& o) const {
        return ppemx == o.ppemx && ppemy == o.ppemy && bearingx == o.bearingx &&
               bearingy == o.bearingy && advance == o.advance && width == o.width &&
               height == o.height && pixels == o.pixels;
    }
};

// The clip of `b`'s image; false when it has none.
bool bitmap_clip_of(const bitmap& b, bitmap_clip* out);

std::string encode_bitmap_clip(const bitmap_clip& clip);

// Reads clipboard data of the program's bitmap type. False, with the reason
// for the user in *why, when the data is damaged or of another type.
bool parse_bitmap_clip(const std::string& data, bitmap_clip* out, std::string* why);

// The pixels of an image `width` x `height` whose top-left pixel lies at
// (bearingx, bearingy) from the glyph's origin, holding `clip` placed on
// the same origin: what falls outside the image is cut off, what the clip
// does not cover is blank. Counts the clip's ink pixels cut off in *lost.
std::vector<uint8_t> place_bitmap_clip(const bitmap_clip& clip, int width, int height, int bearingx,
                                       int bearingy, size_t* lost);

#endif
