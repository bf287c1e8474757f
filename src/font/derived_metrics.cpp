#include "font/derived_metrics.h"

#include "font/glyf.h"
#include "font/glyph_box_cache.h"
#include "font/head.h"
#include "font/history.h"
#include "font/hhea.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "font/ttf.h"

#include <algorithm>

namespace {

int16_t signed16(int32_t v) {
    return (int16_t)std::max<int32_t>(-32768, std::min<int32_t>(32767, v));
}

} // namespace

bool compute_derived_metrics(ttf& font, derived_metrics* out, glyph_box_cache* boxes) {
    *out = derived_metrics();
    if (!font.glyf || !font.hmtx || !font.maxp)
        return false;
    glyf_bounds bounds(font);
    if (boxes)
        boxes->update(font);
    const unsigned n = font.maxp->numglyphs();
    bool any_outline = false;
    for (unsigned g = 0; g < n; g++) {
        unsigned short aw = 0;
        short lsb = 0;
        const bool metrics = font.hmtx->get_mtx((unsigned short)g, &aw, &lsb) == 0;
        if (metrics) {
            out->advanceWidthMax =
                out->has_metrics ? std::max<int32_t>(out->advanceWidthMax, aw) : aw;
            out->has_metrics = true;
        }
        glyph_box b;
        if ((boxes ? boxes->box_of(g, &b) : bounds.box_of(g, &b)) != glyf_bounds::has_box)
            continue;
        if (!out->has_box) {
            out->box = b;
            out->has_box = true;
        } else {
            out->box.xMin = std::min(out->box.xMin, b.xMin);
            out->box.yMin = std::min(out->box.yMin, b.yMin);
            out->box.xMax = std::max(out->box.xMax, b.xMax);
            out->box.yMax = std::max(out->box.yMax, b.yMax);
        }
        if (!metrics)
            continue;
        const int32_t width = b.xMax - b.xMin;
        const int32_t rsb = aw - lsb - width, extent = lsb + width;
        if (!any_outline) {
            out->minLeftSideBearing = lsb;
            out->minRightSideBearing = rsb;
            out->xMaxExtent = extent;
            any_outline = true;
        } else {
            out->minLeftSideBearing = std::min<int32_t>(out->minLeftSideBearing, lsb);
            out->minRightSideBearing = std::min(out->minRightSideBearing, rsb);
            out->xMaxExtent = std::max(out->xMaxExtent, extent);
        }
    }
    return true;
}

void store_derived_metrics(ttf& font, const derived_metrics& m) {
    if (font.head && m.has_box) {
        byte_writer w = font.head->writer();
        w.put16(36, (uint16_t)signed16(m.box.xMin));
        w.put16(38, (uint16_t)signed16(m.box.yMin));
        w.put16(40, (uint16_t)signed16(m.box.xMax));
        w.put16(42, (uint16_t)signed16(m.box.yMax));
    }
    if (font.hhea && m.has_metrics) {
        byte_writer w = font.hhea->writer();
        w.put16(10, (uint16_t)std::max<int32_t>(0, std::min<int32_t>(0xFFFF, m.advanceWidthMax)));
        w.put16(12, (uint16_t)signed16(m.minLeftSideBearing));
        w.put16(14, (uint16_t)signed16(m.minRightSideBearing));
        w.put16(16, (uint16_t)signed16(m.xMaxExtent));
    }
}

bool derived_metrics_stale(const ttf& font) {
    auto changed = [&](const ttf_table* t) {
        if (!t || !t->changed_since_load())
            return false;
        const font_history* h = font.history();
        return !h || h->changed_since_start(t);
    };
    return changed(font.glyf) || changed(font.hmtx);
}

namespace {

const size_t HEAD_BOX = 36, HHEA_METRICS = 10, FIELDS = 8;

bool copy_out(const ttf_table* t, size_t at, unsigned char* to) {
    byte_span b = t ? t->bytes().slice(at, FIELDS) : byte_span();
    if (b.size() != FIELDS)
        return false;
    std::copy(b.data(), b.data() + FIELDS, to);
    return true;
}

void copy_in(ttf_table* t, size_t at, const unsigned char* from) {
    byte_span b = t->bytes().slice(at, FIELDS);
    if (b.size() != FIELDS || std::equal(from, from + FIELDS, b.data()))
        return;
    byte_writer w = t->writer();
    for (size_t i = 0; i < FIELDS; i++)
        w.put8(at + i, from[i]);
}

} // namespace

derived_fields read_derived_fields(const ttf& font) {
    derived_fields f;
    f.has_head = copy_out(font.head, HEAD_BOX, f.head);
    f.has_hhea = copy_out(font.hhea, HHEA_METRICS, f.hhea);
    return f;
}

void update_derived_metrics(ttf& font, const derived_fields& loaded, bool always,
                            glyph_box_cache* boxes) {
    derived_metrics m;
    if (always || derived_metrics_stale(font)) {
        if (compute_derived_metrics(font, &m, boxes))
            store_derived_metrics(font, m);
        return;
    }
    if (font.head && loaded.has_head)
        copy_in(font.head, HEAD_BOX, loaded.head);
    if (font.hhea && loaded.has_hhea)
        copy_in(font.hhea, HHEA_METRICS, loaded.hhea);
}
