// Clipboard data from other programs: bytes offered as the program's own
// glyph and bitmap types and as SVG path data. Whatever parses must hold no more than a
// glyph can; the glyph type must encode back to the same bytes and scale
// between unitsPerEm without harm; an SVG path read must be written and
// read again with every contour kept; a bitmap read must encode back to the
// same bytes and place onto any image without reading or writing outside.
#include "font/bitmap_clip.h"
#include "font/glyph_clip.h"
#include "font/svg_path.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check_limits(const glyph_clip& g) {
    if (g.contours.size() > (size_t)glyph::max_contours ||
        g.components.size() > (size_t)glyph::max_components)
        abort();
    for (const auto& c : g.contours)
        if (c.size() > (size_t)shape::max_points)
            abort();
}

void glyph_type(const std::string& bytes) {
    glyph_clips clips;
    std::string why;
    if (!parse_glyph_clips(bytes, &clips, &why)) {
        if (why.empty())
            abort();
        return;
    }
    if (encode_glyph_clips(clips) != bytes)
        abort();
    for (glyph_clip& g : clips.glyphs) {
        check_limits(g);
        glyph_clip before = g;
        if (!scale_glyph_clip(&g, clips.units_per_em, 2048) && !(g == before))
            abort();
    }
}

void bitmap_type(const std::string& bytes) {
    bitmap_clip clip;
    std::string why;
    if (!parse_bitmap_clip(bytes, &clip, &why)) {
        if (why.empty())
            abort();
        return;
    }
    if (encode_bitmap_clip(clip) != bytes)
        abort();
    // Targets smaller, larger and shifted against the clip, from its own
    // numbers so that every overlap is met.
    size_t ink = 0;
    for (uint8_t p : clip.pixels)
        ink += p;
    for (int shift : {-300, -7, 0, 5, 200}) {
        int w = (clip.width + shift) & 0xFF, h = (clip.height ^ shift) & 0xFF;
        size_t lost = 0;
        std::vector<uint8_t> out =
            place_bitmap_clip(clip, w, h, clip.bearingx + shift, clip.bearingy - shift / 3, &lost);
        size_t kept = 0;
        for (uint8_t p : out)
            kept += p;
        if (out.size() != (size_t)w * h || kept + lost != ink)
            abort();
    }
}

void svg_path(const std::string& bytes) {
    // The em the path is mapped onto comes from the data's length, so that
    // both common sizes are met.
    const unsigned upem = bytes.size() % 2 ? 2048 : 1000;
    glyph_clip g;
    std::string why;
    if (!parse_svg_path(bytes, upem, &g, &why)) {
        if (why.empty() || !g.empty())
            abort();
        return;
    }
    check_limits(g);
    if (g.contours.empty() || !g.components.empty())
        abort();
    // A path's contour always has points (the glyph type may name an
    // empty one).
    for (const auto& c : g.contours)
        if (c.empty())
            abort();
    glyph_clip again;
    if (!parse_svg_path(svg_of_glyph(g, upem), upem, &again, &why) ||
        again.contours.size() != g.contours.size())
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    glyph_type(bytes);
    bitmap_type(bytes);
    svg_path(bytes);
    return 0;
}
