// Outline statistics of glyph records (ttf_glyf::get_info), with a cache
// that lets a walk over every glyph parse each record only once.
#ifndef TAVREL_FONT_GLYF_INFO_H
#define TAVREL_FONT_GLYF_INFO_H

#include <cstdint>
#include <vector>

// Composite glyphs nested deeper than this are treated as damaged.
const unsigned GLYF_MAX_COMPONENT_DEPTH = 32;

struct glyf_info_entry {
    enum state_t : uint8_t { unknown, in_progress, done, failed };
    state_t state = unknown;
    uint16_t depth = 0;
    uint16_t components = 0;
    uint16_t contours = 0;
    uint16_t points = 0;
};

struct glyf_info_cache {
    std::vector<glyf_info_entry> entries;
};

#endif
