// Outline statistics and stored bounding boxes of glyph records, for the
// maxp maxima. Composite glyphs are walked with an explicit stack and a
// per-glyph state, so a glyph that refers to itself (directly or through
// others) is caught as a cycle and deep nesting cannot exhaust the C stack.
#include "font/glyf.h"

#include "font/glyf_info.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"

#include <algorithm>

namespace {

const size_t RECORD_HEADER = 10;

enum class lookup_result { record, empty, missing, damaged };

// Finds glyph gno's record inside the glyf bytes.
lookup_result find_record(ttf_glyf& glyf, unsigned gno, byte_span* rec, size_t* start) {
    ttf* font = glyf.owner;
    if (!font || !font->loca || !font->head || !font->maxp || gno >= font->maxp->numglyphs())
        return lookup_result::missing;
    unsigned long off, len;
    if (font->loca->get_offset(font->head->is32loca(), (int)gno, &off, &len) != 0)
        return lookup_result::missing;
    if (len == 0)
        return lookup_result::empty;
    if (len < RECORD_HEADER || !glyf.bytes().has(off, len))
        return lookup_result::damaged;
    *rec = glyf.bytes().slice(off, len);
    *start = off;
    return lookup_result::record;
}

uint16_t add_saturated(uint16_t a, uint32_t b) {
    return (uint16_t)std::min<uint32_t>(0xFFFF, a + b);
}

// Counts of a simple record; false when its contour ends do not fit.
bool simple_info(const byte_span& rec, glyf_info_entry* e) {
    int nc = rec.s16(0);
    *e = glyf_info_entry();
    e->state = glyf_info_entry::done;
    if (nc == 0)
        return true;
    if (!rec.has(RECORD_HEADER, 2 * (size_t)nc))
        return false;
    e->contours = (uint16_t)nc;
    e->points = add_saturated(rec.u16(RECORD_HEADER + 2 * ((size_t)nc - 1)), 1);
    return true;
}

void add_component(glyf_info_entry* sum, const glyf_info_entry& child) {
    sum->components = add_saturated(sum->components, 1);
    sum->contours = add_saturated(sum->contours, child.contours);
    sum->points = add_saturated(sum->points, child.points);
    sum->depth = std::max(sum->depth, child.depth);
}

bool composite_info(ttf_glyf& glyf, unsigned gno, size_t start, size_t len, glyf_info_cache* cache,
                    glyf_info_entry* out) {
    glyf_info_cache& state = *cache;
    if (state[gno].state == glyf_info_entry::done) {
        *out = state[gno];
        return true;
    }
    if (state[gno].state != glyf_info_entry::unknown)
        return false;

    byte_span b = glyf.bytes();
    std::vector<glyf_info_frame>& stack = cache->stack;
    stack.clear();
    auto fail = [&]() {
        for (const glyf_info_frame& f : stack)
            state[f.gno].state = glyf_info_entry::failed;
        return false;
    };
    stack.push_back(glyf_info_frame{(uint16_t)gno, start + RECORD_HEADER, start + len, true, {}});
    state[gno].state = glyf_info_entry::in_progress;

    while (!stack.empty()) {
        glyf_info_frame& f = stack.back();
        if (!f.more) {
            glyf_info_entry done = f.sum;
            done.depth = (uint16_t)(done.depth + 1);
            if (done.depth > GLYF_MAX_COMPONENT_DEPTH)
                return fail();
            done.state = glyf_info_entry::done;
            state[f.gno] = done;
            stack.pop_back();
            if (stack.empty()) {
                *out = done;
                return true;
            }
            add_component(&stack.back().sum, done);
            continue;
        }
        glyf_component entry;
        size_t next = glyf_read_component(b.slice(0, f.end), f.cursor, &entry);
        if (next == 0)
            return fail();
        f.cursor = next;
        f.more = (entry.flags & glyf_flag::more_components) != 0;
        const uint16_t child = entry.glyph;

        byte_span rec;
        size_t child_start = 0;
        glyf_info_entry info;
        switch (find_record(glyf, child, &rec, &child_start)) {
        case lookup_result::missing:
            // Decoding drops such a component, so it is not counted.
            continue;
        case lookup_result::damaged:
            return fail();
        case lookup_result::empty:
            add_component(&f.sum, info);
            continue;
        case lookup_result::record:
            break;
        }
        if (rec.s16(0) >= 0) {
            if (!simple_info(rec, &info))
                return fail();
            add_component(&f.sum, info);
            continue;
        }
        switch (state[child].state) {
        case glyf_info_entry::done:
            add_component(&f.sum, state[child]);
            continue;
        case glyf_info_entry::unknown:
            state[child].state = glyf_info_entry::in_progress;
            stack.push_back(glyf_info_frame{
                child, child_start + RECORD_HEADER, child_start + rec.size(), true, {}});
            continue;
        default:
            // On the current path (a cycle) or already known to be damaged.
            return fail();
        }
    }
    return false;
}

} // namespace

int ttf_glyf::get_info(unsigned short gno, unsigned short* depth, unsigned short* components,
                       unsigned short* contours, unsigned short* points) {
    glyf_info_cache cache;
    cache.whole_font = false;
    return get_info(gno, depth, components, contours, points, &cache);
}

int ttf_glyf::get_info(unsigned short gno, unsigned short* depth, unsigned short* components,
                       unsigned short* contours, unsigned short* points, glyf_info_cache* cache) {
    *depth = *components = *contours = *points = 0;
    byte_span rec;
    size_t start = 0;
    glyf_info_entry info;
    switch (find_record(*this, gno, &rec, &start)) {
    case lookup_result::missing:
    case lookup_result::damaged:
        return -1;
    case lookup_result::empty:
        return 0;
    case lookup_result::record:
        break;
    }
    bool ok = rec.s16(0) >= 0 ? simple_info(rec, &info)
                              : composite_info(*this, gno, start, rec.size(), cache, &info);
    if (!ok)
        return -1;
    *depth = info.depth;
    *components = info.components;
    *contours = info.contours;
    *points = info.points;
    return 0;
}

int ttf_glyf::get_rect(unsigned short gno, short* xMin, short* yMin, short* xMax, short* yMax) {
    byte_span rec;
    size_t start = 0;
    switch (find_record(*this, gno, &rec, &start)) {
    case lookup_result::missing:
    case lookup_result::damaged:
        return -1;
    case lookup_result::empty:
        *xMin = *yMin = 32767;
        *xMax = *yMax = -32768;
        return 0;
    case lookup_result::record:
        break;
    }
    *xMin = rec.s16(2);
    *yMin = rec.s16(4);
    *xMax = rec.s16(6);
    *yMax = rec.s16(8);
    return 0;
}
