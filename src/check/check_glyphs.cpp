// Checks of loca and of what the glyphs amount to across tables: head's
// box, maxp's maxima, the metrics, the composites and the direction of the
// outlines. The records themselves are checked as they are decoded
// (glyph_records.cpp).
#include "check/check_context.h"

#include "font/glyf_components.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

const uint32_t HEAD = tag_of("head"), LOCA = tag_of("loca"), GLYF = tag_of("glyf"),
               MAXP = tag_of("maxp"), HHEA = tag_of("hhea"), HMTX = tag_of("hmtx");

// The glyph's box as its points place it, when it has any.
bool real_box(const check_context& c, unsigned g, int32_t* x0, int32_t* y0, int32_t* x1,
              int32_t* y1) {
    const glyph_summary& s = c.glyphs[g];
    if (s.kind == glyph_summary::SIMPLE && s.has_points) {
        *x0 = s.pxmin, *y0 = s.pymin, *x1 = s.pxmax, *y1 = s.pymax;
        return true;
    }
    if (s.kind == glyph_summary::COMPOSITE && g < c.composites.size() && c.composites[g].has_box) {
        const composite_summary& r = c.composites[g];
        *x0 = r.xmin, *y0 = r.ymin, *x1 = r.xmax, *y1 = r.ymax;
        return true;
    }
    return false;
}

struct metrics {
    bool usable = false;
    unsigned count = 0; // numberOfHMetrics
    byte_span hmtx;
    uint16_t advance(unsigned g) const { return hmtx.u16(4 * (size_t)std::min(g, count - 1)); }
    int16_t lsb(unsigned g) const {
        return g < count ? hmtx.s16(4 * (size_t)g + 2)
                         : hmtx.s16(4 * (size_t)count + 2 * (size_t)(g - count));
    }
};

metrics read_metrics(const check_context& c) {
    metrics m;
    byte_span hhea = c.tables.find(HHEA);
    m.hmtx = c.tables.find(HMTX);
    m.count = hhea.u16(34);
    m.usable = hhea.size() >= 36 && m.count > 0 && m.count <= c.numglyphs &&
               m.hmtx.size() >= 4 * (size_t)m.count + 2 * (size_t)(c.numglyphs - m.count);
    return m;
}

void compare_max(check_context& c, byte_span maxp, size_t offset, const char* field,
                 uint64_t actual, const char* what) {
    const unsigned stated = maxp.u16(offset);
    if (stated < actual)
        c.warning(MAXP, "maxp.%s is %u, %s reach %llu", field, stated, what,
                  (unsigned long long)actual);
    else if (stated > actual)
        c.note(MAXP, "maxp.%s is %u, %s reach only %llu", field, stated, what,
               (unsigned long long)actual);
}

} // namespace

void check_loca(check_context& c) {
    byte_span head = c.tables.find(HEAD);
    if (!c.tables.has(LOCA) || !c.tables.has(GLYF) || head.size() < 54 || c.numglyphs == 0)
        return;
    const int16_t locformat = head.s16(50);
    if (locformat != 0 && locformat != 1)
        return;
    const byte_span loca = c.tables.find(LOCA);
    const size_t width = locformat == 1 ? 4 : 2, other = 6 - width;
    const size_t needed = ((size_t)c.numglyphs + 1) * width;
    if (loca.size() < needed) {
        if (loca.size() == ((size_t)c.numglyphs + 1) * other)
            c.error(LOCA,
                    "loca's %zu bytes fit head.indexToLocFormat %d, but head says %d; "
                    "read as %d, they hold %zu of the %u entries numGlyphs needs",
                    loca.size(), 1 - locformat, locformat, locformat, loca.size() / width,
                    c.numglyphs + 1);
        else
            c.error(LOCA, "loca holds %zu entries; numGlyphs %u needs %u", loca.size() / width,
                    c.numglyphs, c.numglyphs + 1);
        return;
    }
    if (loca.size() > needed) {
        if (loca.size() == ((size_t)c.numglyphs + 1) * other)
            c.warning(LOCA, "loca's %zu bytes fit head.indexToLocFormat %d, but head says %d",
                      loca.size(), 1 - locformat, locformat);
        else
            c.note(LOCA, "loca holds %zu entries; numGlyphs %u needs %u", loca.size() / width,
                   c.numglyphs, c.numglyphs + 1);
    }
    const uint64_t glyflen = c.tables.find(GLYF).size();
    auto offset = [&](unsigned i) -> uint64_t {
        return width == 4 ? loca.u32(4 * (size_t)i) : 2 * (uint64_t)loca.u16(2 * (size_t)i);
    };
    unsigned backwards = 0, outside = 0, firstback = 0, firstout = 0;
    uint64_t prev = 0;
    for (unsigned i = 0; i <= c.numglyphs; i++) {
        uint64_t o = offset(i);
        if (i > 0 && o < prev && backwards++ == 0)
            firstback = i;
        if (o > glyflen && outside++ == 0)
            firstout = i;
        prev = o;
    }
    if (backwards)
        c.add(severity::error, LOCA, (int32_t)firstback - 1, -1,
              "loca entry %u (%llu) is below entry %u (%llu)%s", firstback,
              (unsigned long long)offset(firstback), firstback - 1,
              (unsigned long long)offset(firstback - 1),
              backwards > 1 ? format("; %u entries go backwards", backwards).c_str() : "");
    if (outside)
        c.add(severity::error, LOCA, (int32_t)std::min(firstout, c.numglyphs - 1), -1,
              "loca entry %u (%llu) lies past the end of glyf (%llu bytes)%s", firstout,
              (unsigned long long)offset(firstout), (unsigned long long)glyflen,
              outside > 1 ? format("; %u entries do", outside).c_str() : "");
    if (!backwards && !outside && offset(c.numglyphs) + 3 < glyflen)
        c.note(GLYF, "glyf holds %llu bytes after the last glyph",
               (unsigned long long)(glyflen - offset(c.numglyphs)));
}

void check_glyph_metrics(check_context& c) {
    const size_t n = c.glyphs.size();
    if (n == 0)
        return;
    // head's box against the glyphs.
    byte_span head = c.tables.find(HEAD);
    int32_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    bool any = false, damaged = false;
    for (size_t g = 0; g < n; g++) {
        int32_t a, b, cc, d;
        damaged |= c.glyphs[g].kind == glyph_summary::DAMAGED;
        if (!real_box(c, (unsigned)g, &a, &b, &cc, &d))
            continue;
        any = true;
        x0 = std::min(x0, a);
        y0 = std::min(y0, b);
        x1 = std::max(x1, cc);
        y1 = std::max(y1, d);
    }
    const bool derived = c.options.metrics_derived_at_save;
    if (any && !damaged && head.size() >= 54 && !derived) {
        const struct {
            const char* field;
            size_t offset;
            int32_t actual;
        } box[] = {{"xMin", 36, x0}, {"yMin", 38, y0}, {"xMax", 40, x1}, {"yMax", 42, y1}};
        // Glyphs outside the font's box get clipped; a box larger than the
        // glyphs only wastes room.
        for (size_t k = 0; k < 4; k++) {
            const int32_t stated = head.s16(box[k].offset);
            if (stated == box[k].actual)
                continue;
            const bool outside = k < 2 ? box[k].actual < stated : box[k].actual > stated;
            c.add(outside ? severity::warning : severity::note, HEAD, -1, -1,
                  "head.%s is %d, the glyphs reach %d", box[k].field, stated, box[k].actual);
        }
    }

    // maxp's maxima against the glyphs.
    byte_span maxp = c.tables.find(MAXP);
    if (maxp.size() >= 32 && (maxp.u32(0) >> 16) == 1 && !damaged) {
        uint64_t points = 0, contours = 0, cpoints = 0, ccontours = 0, elements = 0, depth = 0,
                 instructions = 0;
        bool composites_ok = true;
        for (size_t g = 0; g < n; g++) {
            const glyph_summary& s = c.glyphs[g];
            instructions = std::max<uint64_t>(instructions, s.instructions);
            if (s.kind == glyph_summary::SIMPLE) {
                points = std::max<uint64_t>(points, s.points);
                contours = std::max<uint64_t>(contours, s.contours);
            } else if (s.kind == glyph_summary::COMPOSITE) {
                const composite_summary& r = c.composites[g];
                composites_ok &= r.state == composite_summary::OK;
                cpoints = std::max<uint64_t>(cpoints, r.points);
                ccontours = std::max<uint64_t>(ccontours, r.contours);
                elements = std::max<uint64_t>(elements, s.components.size());
                depth = std::max<uint64_t>(depth, r.depth);
            }
        }
        if (!c.options.as_saved) {
            compare_max(c, maxp, 6, "maxPoints", points, "the simple glyphs' points");
            compare_max(c, maxp, 8, "maxContours", contours, "the simple glyphs' contours");
            if (composites_ok) {
                compare_max(c, maxp, 10, "maxCompositePoints", cpoints,
                            "the composite glyphs' points");
                compare_max(c, maxp, 12, "maxCompositeContours", ccontours,
                            "the composite glyphs' contours");
                compare_max(c, maxp, 28, "maxComponentElements", elements,
                            "the composites' components");
                compare_max(c, maxp, 30, "maxComponentDepth", depth, "the composites' nesting");
            }
        }
        if (maxp.u16(26) < instructions)
            c.warning(MAXP, "maxp.maxSizeOfInstructions is %u, a glyph's instructions take %llu",
                      maxp.u16(26), (unsigned long long)instructions);
    }

    // hmtx and hhea against the glyphs.
    metrics m = read_metrics(c);
    if (!m.usable || m.count > n)
        return;
    uint32_t widest = 0;
    for (unsigned g = 0; g < m.count; g++)
        widest = std::max<uint32_t>(widest, m.advance(g));
    byte_span hhea = c.tables.find(HHEA);
    if (hhea.u16(10) != widest && !derived)
        c.warning(HHEA, "hhea.advanceWidthMax is %u, the widest advance in hmtx is %u",
                  hhea.u16(10), widest);
    int32_t minlsb = INT32_MAX, minrsb = INT32_MAX, maxextent = INT32_MIN;
    for (unsigned g = 0; g < n; g++) {
        const glyph_summary& s = c.glyphs[g];
        if (!s.has_box || s.kind == glyph_summary::DAMAGED ||
            (s.kind == glyph_summary::SIMPLE && s.contours == 0))
            continue;
        const int32_t lsb = m.lsb(g), width = (int32_t)s.xmax - s.xmin;
        // A reader places the outline by the difference: one unit is
        // rounding that no one sees.
        if (lsb != s.xmin)
            c.add(std::abs(lsb - s.xmin) > 1 ? severity::warning : severity::note, HMTX, (int32_t)g,
                  -1, "its left side bearing is %d, its xMin is %d", lsb, s.xmin);
        minlsb = std::min(minlsb, lsb);
        minrsb = std::min(minrsb, (int32_t)m.advance(g) - lsb - width);
        maxextent = std::max(maxextent, lsb + width);
    }
    if (minlsb == INT32_MAX || derived)
        return;
    const struct {
        const char* field;
        size_t offset;
        int32_t actual;
    } fields[] = {{"minLeftSideBearing", 12, minlsb},
                  {"minRightSideBearing", 14, minrsb},
                  {"xMaxExtent", 16, maxextent}};
    for (const auto& f : fields)
        if (hhea.s16(f.offset) != f.actual)
            c.warning(HHEA, "hhea.%s is %d, the glyphs give %d", f.field, hhea.s16(f.offset),
                      f.actual);
}

void check_composites(check_context& c) {
    for (size_t g = 0; g < c.glyphs.size(); g++) {
        const glyph_summary& s = c.glyphs[g];
        if (s.kind != glyph_summary::COMPOSITE)
            continue;
        const composite_summary& r = c.composites[g];
        const int32_t gi = (int32_t)g;
        if (r.state == composite_summary::CYCLE) {
            c.add(severity::error, GLYF, gi, -1, "it contains itself through its components");
            continue;
        }
        if (r.state != composite_summary::OK)
            continue;
        if (r.points > 0xFFFF)
            c.add(severity::error, GLYF, gi, -1,
                  "its components add up to %u points; a glyph holds at most 65535", r.points);
        if (r.depth > GLYF_MAX_COMPONENT_DEPTH)
            c.add(severity::warning, GLYF, gi, -1,
                  "its components nest %u deep; the editor reads composites up to %u deep", r.depth,
                  GLYF_MAX_COMPONENT_DEPTH);
        uint64_t placed = 0;
        for (size_t k = 0; k < s.components.size(); k++) {
            const component_ref& cr = s.components[k];
            const glyph_summary& part = c.glyphs[cr.glyph];
            const uint64_t partpoints =
                part.kind == glyph_summary::COMPOSITE ? c.composites[cr.glyph].points : part.points;
            if (!(cr.flags & glyf_flag::args_are_xy)) {
                if ((uint64_t)cr.arg1 >= placed)
                    c.add(severity::warning, GLYF, gi, -1,
                          "component %zu matches point %d of the glyph, which has only %llu "
                          "points before it",
                          k, cr.arg1, (unsigned long long)placed);
                else if ((uint64_t)cr.arg2 >= partpoints)
                    c.add(severity::warning, GLYF, gi, -1,
                          "component %zu matches its point %d, but glyph %u has %llu points", k,
                          cr.arg2, cr.glyph, (unsigned long long)partpoints);
            }
            placed += partpoints;
        }
        if (r.has_box && (std::abs(r.xmin - s.xmin) > 1 || std::abs(r.ymin - s.ymin) > 1 ||
                          std::abs(r.xmax - s.xmax) > 1 || std::abs(r.ymax - s.ymax) > 1))
            c.add(severity::warning, GLYF, gi, -1,
                  "its box is (%d, %d, %d, %d); its components span (%d, %d, %d, %d)", s.xmin,
                  s.ymin, s.xmax, s.ymax, r.xmin, r.ymin, r.xmax, r.ymax);
    }
}

void check_directions(check_context& c) {
    uint64_t cw = 0, ccw = 0;
    for (const glyph_summary& s : c.glyphs) {
        cw += s.outer_cw;
        ccw += s.outer_ccw;
    }
    if (cw + ccw == 0)
        return;
    const bool clockwise = cw >= ccw;
    if (!clockwise)
        c.note(GLYF,
               "%llu of the font's %llu outer contours run counter-clockwise; TrueType outlines "
               "run clockwise",
               (unsigned long long)ccw, (unsigned long long)(cw + ccw));
    for (size_t g = 0; g < c.glyphs.size(); g++) {
        const glyph_summary& s = c.glyphs[g];
        const uint16_t against = clockwise ? s.outer_ccw : s.outer_cw;
        if (against == 0)
            continue;
        const int32_t point = clockwise ? s.first_ccw_point : s.first_cw_point;
        c.add(severity::warning, GLYF, (int32_t)g, point,
              "%s outer contour%s run%s %s (the first at point %d); the font's run %s",
              against == 1 ? "an" : format("%u", against).c_str(), against == 1 ? "" : "s",
              against == 1 ? "s" : "", clockwise ? "counter-clockwise" : "clockwise", point,
              clockwise ? "clockwise" : "counter-clockwise");
    }
}
