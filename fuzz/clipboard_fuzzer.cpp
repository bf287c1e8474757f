// Clipboard data from other programs: bytes offered as the program's own
// glyph type. Whatever parses must encode back to the same bytes, hold no
// more than a glyph can, and scale between unitsPerEm without harm.
#include "font/glyph_clip.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    glyph_clips clips;
    std::string why;
    if (!parse_glyph_clips(bytes, &clips, &why)) {
        if (why.empty())
            abort();
        return 0;
    }
    if (encode_glyph_clips(clips) != bytes)
        abort();
    for (glyph_clip& g : clips.glyphs) {
        if (g.contours.size() > (size_t)glyph::max_contours ||
            g.components.size() > (size_t)glyph::max_components)
            abort();
        for (const auto& c : g.contours)
            if (c.size() > (size_t)shape::max_points)
                abort();
        glyph_clip before = g;
        if (!scale_glyph_clip(&g, clips.units_per_em, 2048) && !(g == before))
            abort();
    }
    return 0;
}
