#include "font/maxp.h"

#include "font/glyf.h"
#include "font/glyf_info.h"
#include "font/ttf.h"

#include <algorithm>

namespace {

const size_t VERSION = 0, NUM_GLYPHS = 4, MAX_POINTS = 6, MAX_CONTOURS = 8,
             MAX_COMPOSITE_POINTS = 10, MAX_COMPOSITE_CONTOURS = 12, MAX_ZONES = 14,
             MAX_COMPONENT_ELEMENTS = 28, MAX_COMPONENT_DEPTH = 30;

} // namespace

ttf_maxp::ttf_maxp(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_field_list(owner, tag_of("maxp"), data, length) {
    if (!data)
        create_default();
}

void ttf_maxp::create_default() {
    replace_data(malloc32(MAXP_LENGTH), MAXP_LENGTH);
    byte_writer w = writer();
    w.put32(VERSION, 0x00010000);
    w.put16(NUM_GLYPHS, owner && owner->setup ? (uint16_t)owner->setup->glyphcount : 0);
    w.put16(MAX_ZONES, 1);
    w.put16(MAX_COMPONENT_DEPTH, 1);
}

unsigned ttf_maxp::numglyphs() const {
    return bytes().u16(NUM_GLYPHS);
}

void ttf_maxp::update() {
    // Without glyf (CFF outlines) there is nothing to count them from, and
    // maxp is usually the 6-byte version 0.5 without them.
    if (!owner || !owner->glyf)
        return;
    uint16_t points = 0, contours = 0, cpoints = 0, ccontours = 0, elements = 0, depth = 0;
    // One shared cache: each record is parsed once, however many
    // composites use it.
    glyf_info_cache cache;
    unsigned n = numglyphs();
    cache.entries.resize(n);
    for (unsigned g = 0; g < n; g++) {
        unsigned short d = 0, c = 0, nc = 0, np = 0;
        owner->glyf->get_info((unsigned short)g, &d, &c, &nc, &np, &cache);
        if (d == 0) {
            points = std::max(points, np);
            contours = std::max(contours, nc);
        } else {
            cpoints = std::max(cpoints, np);
            ccontours = std::max(ccontours, nc);
            elements = std::max(elements, c);
            depth = std::max(depth, d);
        }
    }
    byte_writer w = writer();
    w.put16(MAX_POINTS, points);
    w.put16(MAX_CONTOURS, contours);
    w.put16(MAX_COMPOSITE_POINTS, cpoints);
    w.put16(MAX_COMPOSITE_CONTOURS, ccontours);
    w.put16(MAX_COMPONENT_ELEMENTS, elements);
    w.put16(MAX_COMPONENT_DEPTH, depth);
}
