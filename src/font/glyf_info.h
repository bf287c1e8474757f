// Outline statistics of glyph records (ttf_glyf::get_info), with a cache
// that lets a walk over every glyph parse each record only once.
#ifndef TAVREL_FONT_GLYF_INFO_H
#define TAVREL_FONT_GLYF_INFO_H

#include "font/glyf_components.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

struct glyf_info_entry {
    enum state_t : uint8_t { unknown, in_progress, done, failed };
    state_t state = unknown;
    uint16_t depth = 0;
    uint16_t components = 0;
    uint16_t contours = 0;
    uint16_t points = 0;
};

// One composite record being walked: where its next component entry is.
struct glyf_info_frame {
    uint16_t gno;
    size_t cursor; // next component entry, in glyf bytes
    size_t end;
    bool more;
    glyf_info_entry sum;
};

struct glyf_info_cache {
    // A walk over every glyph keeps a flat table over the glyph numbers
    // (sized by the caller to the font's glyph count, else to every glyph
    // number at the first lookup); a single lookup only the few glyphs it
    // visits.
    bool whole_font = true;
    std::vector<glyf_info_entry> entries;
    std::unordered_map<unsigned, glyf_info_entry> visited;
    std::vector<glyf_info_frame> stack; // kept between walks, so they do not allocate

    // The entry of glyph gno; it stays where it is while others are added.
    glyf_info_entry& operator[](unsigned gno) {
        if (!whole_font)
            return visited[gno];
        if (gno >= entries.size())
            entries.resize(65536);
        return entries[gno];
    }
};

#endif
