#include "font/bitmap_clip.h"

#include "font/bitmap.h"

const char* const BITMAP_CLIP_TYPE = "application/x-vnd.tavrel-bitmap";

namespace {

const char magic[4] = {'T', 'V', 'B', 'M'};
const uint8_t version = 1;
const size_t header = 13;

} // namespace

bool bitmap_clip_of(const bitmap& b, bitmap_clip* out) {
    if (!b.pixels)
        return false;
    bitmap_clip c;
    c.ppemx = b.ppemx;
    c.ppemy = b.ppemy;
    c.bearingx = b.bearingx;
    c.bearingy = b.bearingy;
    c.advance = b.advance;
    c.width = b.width;
    c.height = b.height;
    c.pixels.assign(b.pixels, b.pixels + (size_t)b.width * b.height);
    for (uint8_t& p : c.pixels)
        p = p ? 1 : 0;
    *out = std::move(c);
    return true;
}

std::string encode_bitmap_clip(const bitmap_clip& clip) {
    std::string out(magic, sizeof magic);
    out.push_back(0);
    out.push_back((char)version);
    for (uint8_t v : {clip.ppemx, clip.ppemy, (uint8_t)clip.bearingx, (uint8_t)clip.bearingy,
                      clip.advance, clip.width, clip.height})
        out.push_back((char)v);
    out.append(clip.pixels.begin(), clip.pixels.end());
    return out;
}

bool parse_bitmap_clip(const std::string& data, bitmap_clip* out, std::string* why) {
    auto fail = [&](const char* text) {
        *why = text;
        return false;
    };
    if (data.size() < header || data.compare(0, 4, magic, 4) != 0)
        return fail("The clipboard does not hold a bitmap glyph.");
    auto byte = [&](size_t at) { return (uint8_t)data[at]; };
    if (byte(4) != 0 || byte(5) != version)
        return fail("The clipboard holds a bitmap of another version of the program.");
    bitmap_clip c;
    c.ppemx = byte(6);
    c.ppemy = byte(7);
    c.bearingx = (int8_t)byte(8);
    c.bearingy = (int8_t)byte(9);
    c.advance = byte(10);
    c.width = byte(11);
    c.height = byte(12);
    // Both sizes are single bytes: the image is at most 255 x 255.
    const size_t n = (size_t)c.width * c.height;
    if (data.size() - header != n)
        return fail(data.size() - header < n ? "The bitmap on the clipboard is cut short."
                                             : "The clipboard holds more than its bitmap.");
    c.pixels.assign(data.begin() + header, data.end());
    for (uint8_t p : c.pixels)
        if (p > 1)
            return fail("The bitmap on the clipboard has pixels of more than one bit.");
    *out = std::move(c);
    return true;
}

std::vector<uint8_t> place_bitmap_clip(const bitmap_clip& clip, int width, int height, int bearingx,
                                       int bearingy, size_t* lost) {
    std::vector<uint8_t> out((size_t)(width > 0 ? width : 0) * (height > 0 ? height : 0), 0);
    size_t cut = 0;
    if (clip.pixels.size() != (size_t)clip.width * clip.height)
        return out;
    // Pixel (col, row) of the clip lies bearingx + col right of the origin
    // and bearingy - row above the baseline; the same place in the target.
    const int dx = clip.bearingx - bearingx, dy = bearingy - clip.bearingy;
    for (int row = 0; row < clip.height; row++)
        for (int col = 0; col < clip.width; col++) {
            uint8_t p = clip.pixels[(size_t)row * clip.width + (size_t)col];
            int c = col + dx, r = row + dy;
            if (c < 0 || r < 0 || c >= width || r >= height)
                cut += p;
            else
                out[(size_t)r * (size_t)width + (size_t)c] = p;
        }
    if (lost)
        *lost = cut;
    return out;
}
