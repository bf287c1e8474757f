#include "check/glyph_records.h"

#include "check/outline_geometry.h"
#include "font/glyf_components.h"
#include "font/glyf_deltas.h"

#include <algorithm>
#include <cmath>

namespace {

const uint32_t GLYF = tag_of("glyf");
// Flag bits of simple glyph points.
const uint8_t ON_CURVE = 0x01, REPEAT = 0x08, OVERLAP = 0x40, RESERVED = 0x80;
using glyf_deltas::forms;
// Padding that aligns the next record, which is not data left over.
const size_t ALIGNMENT_SLACK = 3;
// Composites nested deeper than this are not resolved into points (their
// depth is reported).
const unsigned RESOLVE_DEPTH = 32;
const uint32_t MAX_POINTS = 0xFFFF;

// Decodes a simple glyph's record (numberOfContours nc > 0). Returns what is
// wrong with it, or an empty text; `used` is where its data ends.
std::string decode_simple(byte_span rec, int nc, decoded_outline* o, uint16_t* instructions,
                          size_t* used) {
    o->clear();
    size_t pos = 10;
    if (!rec.has(pos, 2 * (size_t)nc + 2))
        return format("the ends of its %d contours run past the record's %zu bytes", nc,
                      rec.size());
    int prev = -1;
    for (int k = 0; k < nc; k++) {
        unsigned end = rec.u16(pos + 2 * k);
        if (end == 0xFFFF)
            return format("contour %d ends at point 65535", k);
        if ((int)end <= prev)
            return format("contour %d ends at point %u, not after contour %d's end %d", k, end,
                          k - 1, prev);
        prev = (int)end;
        o->ends.push_back((uint16_t)end);
    }
    pos += 2 * (size_t)nc;
    const size_t ilen = rec.u16(pos);
    pos += 2;
    if (!rec.has(pos, ilen))
        return format("its %zu bytes of instructions run past the record's end", ilen);
    *instructions = (uint16_t)ilen;
    pos += ilen;
    const size_t n = (size_t)prev + 1;
    o->on.resize(n);
    o->x.resize(n);
    o->y.resize(n);
    thread_local std::vector<uint8_t> flags;
    flags.resize(n);
    size_t xbytes = 0, ybytes = 0;
    for (size_t i = 0; i < n;) {
        if (!rec.has(pos, 1))
            return format("the flags of its %zu points run past the record's end", n);
        uint8_t f = rec.u8(pos++);
        if (f & RESERVED)
            return format("the flags of point %zu have the reserved bit 7 set", i);
        // OVERLAP_SIMPLE belongs to the first point only.
        if ((f & OVERLAP) && i > 0)
            return format("the flags of point %zu have bit 6 set, which only point 0 may", i);
        size_t count = 1;
        if (f & REPEAT) {
            if (!rec.has(pos, 1))
                return format("the flags of its %zu points run past the record's end", n);
            count += rec.u8(pos++);
            if (i + count > n)
                return format("the flag of point %zu repeats past the last point %zu", i, n - 1);
        }
        for (size_t k = 0; k < count; k++)
            flags[i + k] = f;
        xbytes += count * forms.x[f].size;
        ybytes += count * forms.y[f].size;
        i += count;
    }
    // With every coordinate byte known to be there, the deltas are read
    // without a check or a branch per point.
    if (!rec.has(pos, xbytes + ybytes))
        return format("the coordinates of its %zu points run past the record's end", n);
    size_t xpos = pos, ypos = pos + xbytes;
    int32_t x = 0, y = 0;
    for (size_t i = 0; i < n; i++) {
        const uint8_t f = flags[i];
        x += glyf_deltas::read_delta(rec, xpos, forms.x[f]);
        y += glyf_deltas::read_delta(rec, ypos, forms.y[f]);
        o->x[i] = x;
        o->y[i] = y;
        o->on[i] = f & ON_CURVE;
    }
    *used = ypos;
    return std::string();
}

void damaged(glyph_summary* s, unsigned g, const std::string& why) {
    s->kind = glyph_summary::DAMAGED;
    s->findings.push_back(make_finding(severity::error, GLYF, (int32_t)g, -1, why));
}

float f2dot14(uint16_t v) {
    return (float)(int16_t)v / 16384.0f;
}

void summarize_composite(byte_span rec, unsigned numglyphs, unsigned g, glyph_summary* s) {
    size_t pos = 10;
    bool instructions = false;
    glyf_component c;
    int k = 0;
    do {
        size_t next = glyf_read_component(rec, pos, &c);
        if (next == 0)
            return damaged(s, g,
                           format("component %d runs past the record's %zu bytes", k, rec.size()));
        if (c.glyph >= numglyphs)
            return damaged(
                s, g,
                format("component %d is glyph %u; the font has %u glyphs", k, c.glyph, numglyphs));
        component_ref r;
        r.glyph = c.glyph;
        r.flags = c.flags;
        r.arg1 = c.arg1;
        r.arg2 = c.arg2;
        r.xx = f2dot14(c.xscale);
        r.xy = f2dot14(c.scale01);
        r.yx = f2dot14(c.scale10);
        r.yy = f2dot14(c.yscale);
        s->components.push_back(r);
        instructions |= (c.flags & glyf_flag::have_instructions) != 0;
        pos = next;
        k++;
    } while (c.flags & glyf_flag::more_components);
    if (instructions) {
        if (!rec.has(pos, 2))
            return damaged(s, g, "its instruction count runs past the record's end");
        size_t ilen = rec.u16(pos);
        if (!rec.has(pos + 2, ilen))
            return damaged(s, g,
                           format("its %zu bytes of instructions run past the record's end", ilen));
        s->instructions = (uint16_t)ilen;
    }
}

} // namespace

bool glyph_locations::record(const table_set& t, unsigned g, byte_span* out) const {
    if (const byte_vector* r = t.glyph_record(g)) {
        *out = byte_span(r->data(), r->size());
        return true;
    }
    if (!usable)
        return false;
    uint64_t a, b;
    if (long_format) {
        if (!loca.has(4 * (size_t)g, 8))
            return false;
        a = loca.u32(4 * (size_t)g);
        b = loca.u32(4 * (size_t)g + 4);
    } else {
        if (!loca.has(2 * (size_t)g, 4))
            return false;
        a = 2 * (uint64_t)loca.u16(2 * (size_t)g);
        b = 2 * (uint64_t)loca.u16(2 * (size_t)g + 2);
    }
    if (b < a || b > glyf.size())
        return false;
    *out = glyf.slice((size_t)a, (size_t)(b - a));
    return true;
}

glyph_locations locate_glyphs(const table_set& t) {
    glyph_locations w;
    byte_span head = t.find(tag_of("head"));
    w.loca = t.find(tag_of("loca"));
    w.glyf = t.find(tag_of("glyf"));
    const int16_t format = head.s16(50);
    w.usable = head.size() >= 54 && (format == 0 || format == 1) && t.has(tag_of("loca")) &&
               t.has(tag_of("glyf"));
    w.long_format = format == 1;
    return w;
}

void summarize_glyph(const table_set& t, const glyph_locations& where, unsigned numglyphs,
                     unsigned g, glyph_summary* s) {
    *s = glyph_summary();
    byte_span rec;
    if (!where.record(t, g, &rec)) {
        // loca's check says why; the glyph itself cannot be read.
        s->kind = glyph_summary::DAMAGED;
        return;
    }
    if (rec.size() == 0)
        return;
    if (rec.size() < 10)
        return damaged(
            s, g, format("its record of %zu bytes is shorter than a glyph header", rec.size()));
    s->has_box = true;
    s->xmin = rec.s16(2);
    s->ymin = rec.s16(4);
    s->xmax = rec.s16(6);
    s->ymax = rec.s16(8);
    if (s->xmin > s->xmax || s->ymin > s->ymax)
        return damaged(s, g,
                       format("its box (%d, %d, %d, %d) has a minimum above its maximum", s->xmin,
                              s->ymin, s->xmax, s->ymax));
    const int nc = rec.s16(0);
    if (nc < -1)
        return damaged(s, g, format("its numberOfContours is %d", nc));
    if (nc == -1) {
        s->kind = glyph_summary::COMPOSITE;
        return summarize_composite(rec, numglyphs, g, s);
    }
    s->kind = glyph_summary::SIMPLE;
    if (nc == 0)
        return;
    thread_local decoded_outline o;
    size_t used = 0;
    std::string why = decode_simple(rec, nc, &o, &s->instructions, &used);
    if (!why.empty())
        return damaged(s, g, why);
    s->contours = (uint16_t)nc;
    s->points = (uint16_t)o.x.size();
    s->has_points = true;
    s->pxmin = *std::min_element(o.x.begin(), o.x.end());
    s->pxmax = *std::max_element(o.x.begin(), o.x.end());
    s->pymin = *std::min_element(o.y.begin(), o.y.end());
    s->pymax = *std::max_element(o.y.begin(), o.y.end());
    if (rec.size() - used > ALIGNMENT_SLACK)
        s->findings.push_back(make_finding(
            severity::warning, GLYF, (int32_t)g, -1,
            format("%zu bytes follow the glyph's data in its record", rec.size() - used)));
    // Points outside the stated box get clipped by readers that trust it;
    // a box larger than the points only wastes room.
    const bool outside =
        s->pxmin < s->xmin || s->pymin < s->ymin || s->pxmax > s->xmax || s->pymax > s->ymax;
    if (outside || s->pxmin != s->xmin || s->pymin != s->ymin || s->pxmax != s->xmax ||
        s->pymax != s->ymax)
        s->findings.push_back(make_finding(
            outside ? severity::warning : severity::note, GLYF, (int32_t)g, -1,
            format("its box is (%d, %d, %d, %d); its points span (%d, %d, %d, %d)", s->xmin,
                   s->ymin, s->xmax, s->ymax, s->pxmin, s->pymin, s->pxmax, s->pymax)));
    check_outline_geometry(o, (int32_t)g, s);
}

namespace {

enum mark_t : uint8_t { UNSEEN, ACTIVE, DONE };

struct xpt {
    double x, y;
};

// Appends glyph g's points, as a reader places them, to `pts`; false when
// they cannot be had (a damaged part, a point number that is not there).
bool collect_points(const table_set& t, const glyph_locations& where,
                    const std::vector<glyph_summary>& glyphs, unsigned g, unsigned depth,
                    std::vector<xpt>* pts) {
    const glyph_summary& s = glyphs[g];
    if (s.kind == glyph_summary::EMPTY || (s.kind == glyph_summary::SIMPLE && s.contours == 0))
        return true;
    if (s.kind == glyph_summary::DAMAGED)
        return false;
    if (s.kind == glyph_summary::SIMPLE) {
        byte_span rec;
        if (!where.record(t, g, &rec))
            return false;
        decoded_outline o;
        uint16_t ilen;
        size_t used;
        if (!decode_simple(rec, s.contours, &o, &ilen, &used).empty())
            return false;
        for (size_t i = 0; i < o.x.size(); i++)
            pts->push_back({(double)o.x[i], (double)o.y[i]});
        return true;
    }
    if (depth > RESOLVE_DEPTH)
        return false;
    const size_t base = pts->size();
    std::vector<xpt> part;
    for (const component_ref& c : s.components) {
        part.clear();
        if (!collect_points(t, where, glyphs, c.glyph, depth + 1, &part))
            return false;
        for (xpt& p : part)
            p = {c.xx * p.x + c.yx * p.y, c.xy * p.x + c.yy * p.y};
        double dx, dy;
        if (c.flags & glyf_flag::args_are_xy) {
            dx = c.arg1;
            dy = c.arg2;
            if ((c.flags & glyf_flag::scaled_offset) && !(c.flags & glyf_flag::unscaled_offset)) {
                double sx = dx, sy = dy;
                dx = c.xx * sx + c.yx * sy;
                dy = c.xy * sx + c.yy * sy;
            }
        } else {
            // Point matching: the component's point arg2 lands on the
            // point arg1 of what is placed so far.
            size_t placed = pts->size() - base;
            if ((size_t)c.arg1 >= placed || (size_t)c.arg2 >= part.size())
                return false;
            dx = (*pts)[base + c.arg1].x - part[c.arg2].x;
            dy = (*pts)[base + c.arg1].y - part[c.arg2].y;
        }
        for (const xpt& p : part)
            pts->push_back({p.x + dx, p.y + dy});
    }
    return true;
}

// Depth, points and contours of every composite reachable from `root`,
// children first; glyphs marked DONE are taken as they are.
void resolve_from(unsigned root, const std::vector<glyph_summary>& glyphs,
                  std::vector<composite_summary>* out, std::vector<uint8_t>* marks) {
    std::vector<std::pair<unsigned, size_t>> stack;
    stack.push_back({root, 0});
    (*marks)[root] = ACTIVE;
    while (!stack.empty()) {
        const unsigned g = stack.back().first;
        const size_t k = stack.back().second;
        const std::vector<component_ref>& comps = glyphs[g].components;
        if (k < comps.size()) {
            stack.back().second++;
            const unsigned child = comps[k].glyph;
            if (glyphs[child].kind != glyph_summary::COMPOSITE)
                continue;
            if ((*marks)[child] == ACTIVE) {
                // Every glyph on the path from the child down to g contains
                // itself.
                for (size_t i = stack.size(); i-- > 0;) {
                    (*out)[stack[i].first].state = composite_summary::CYCLE;
                    if (stack[i].first == child)
                        break;
                }
            } else if ((*marks)[child] == UNSEEN) {
                (*marks)[child] = ACTIVE;
                stack.push_back({child, 0});
            }
            continue;
        }
        composite_summary& r = (*out)[g];
        bool broken = false;
        uint64_t points = 0, contours = 0;
        unsigned depth = 0;
        for (const component_ref& c : comps) {
            const glyph_summary& cs = glyphs[c.glyph];
            if (cs.kind == glyph_summary::DAMAGED) {
                broken = true;
            } else if (cs.kind == glyph_summary::COMPOSITE) {
                const composite_summary& cr = (*out)[c.glyph];
                if (cr.state != composite_summary::OK)
                    broken = true;
                depth = std::max<unsigned>(depth, cr.depth);
                points += cr.points;
                contours += cr.contours;
            } else {
                points += cs.points;
                contours += cs.contours;
            }
        }
        if (r.state != composite_summary::CYCLE)
            r.state = broken ? composite_summary::BROKEN : composite_summary::OK;
        r.depth = (uint16_t)std::min<unsigned>(depth + 1, 0xFFFF);
        r.points = (uint32_t)std::min<uint64_t>(points, 0xFFFFFFFF);
        r.contours = (uint32_t)std::min<uint64_t>(contours, 0xFFFFFFFF);
        (*marks)[g] = DONE;
        stack.pop_back();
    }
}

// The box of composite g as a reader places its points. Components that
// are only moved or scaled place their parts' boxes; a component turned,
// slanted or placed by point numbers needs every point.
void resolve_box(unsigned g, const table_set& t, const glyph_locations& where,
                 const std::vector<glyph_summary>& glyphs, std::vector<composite_summary>* out) {
    composite_summary* r = &(*out)[g];
    if (r->box_done)
        return;
    r->box_done = true;
    r->has_box = false;
    if (r->state != composite_summary::OK || r->depth > RESOLVE_DEPTH || r->points > MAX_POINTS)
        return;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool any = false, by_points = false;
    for (const component_ref& c : glyphs[g].components)
        by_points |= !(c.flags & glyf_flag::args_are_xy) || c.xy != 0 || c.yx != 0;
    if (by_points) {
        std::vector<xpt> pts;
        if (!collect_points(t, where, glyphs, g, 0, &pts))
            return;
        for (const xpt& p : pts) {
            x0 = any ? std::min(x0, p.x) : p.x;
            x1 = any ? std::max(x1, p.x) : p.x;
            y0 = any ? std::min(y0, p.y) : p.y;
            y1 = any ? std::max(y1, p.y) : p.y;
            any = true;
        }
    } else {
        for (const component_ref& c : glyphs[g].components) {
            const glyph_summary& part = glyphs[c.glyph];
            double b[4];
            if (part.kind == glyph_summary::SIMPLE && part.has_points) {
                b[0] = part.pxmin, b[1] = part.pymin, b[2] = part.pxmax, b[3] = part.pymax;
            } else if (part.kind == glyph_summary::COMPOSITE) {
                resolve_box(c.glyph, t, where, glyphs, out);
                const composite_summary& pr = (*out)[c.glyph];
                if (!pr.has_box) {
                    if (pr.points > 0)
                        return;
                    continue;
                }
                b[0] = pr.xmin, b[1] = pr.ymin, b[2] = pr.xmax, b[3] = pr.ymax;
            } else if (part.kind == glyph_summary::DAMAGED) {
                return;
            } else {
                continue;
            }
            double dx = c.arg1, dy = c.arg2;
            if ((c.flags & glyf_flag::scaled_offset) && !(c.flags & glyf_flag::unscaled_offset)) {
                dx *= c.xx;
                dy *= c.yy;
            }
            const double ax = c.xx * b[0] + dx, bx = c.xx * b[2] + dx;
            const double ay = c.yy * b[1] + dy, by = c.yy * b[3] + dy;
            const double lx = std::min(ax, bx), hx = std::max(ax, bx);
            const double ly = std::min(ay, by), hy = std::max(ay, by);
            x0 = any ? std::min(x0, lx) : lx;
            x1 = any ? std::max(x1, hx) : hx;
            y0 = any ? std::min(y0, ly) : ly;
            y1 = any ? std::max(y1, hy) : hy;
            any = true;
        }
    }
    if (!any)
        return;
    r = &(*out)[g];
    r->has_box = true;
    r->xmin = (int32_t)std::floor(x0 + 0.5);
    r->ymin = (int32_t)std::floor(y0 + 0.5);
    r->xmax = (int32_t)std::floor(x1 + 0.5);
    r->ymax = (int32_t)std::floor(y1 + 0.5);
}

} // namespace

void resolve_composites(const table_set& t, const glyph_locations& where,
                        const std::vector<glyph_summary>& glyphs,
                        std::vector<composite_summary>* out) {
    const size_t n = glyphs.size();
    out->assign(n, composite_summary());
    std::vector<uint8_t> marks(n, UNSEEN);
    for (size_t g = 0; g < n; g++)
        if (glyphs[g].kind == glyph_summary::COMPOSITE && marks[g] == UNSEEN)
            resolve_from((unsigned)g, glyphs, out, &marks);
    for (size_t g = 0; g < n; g++)
        if (glyphs[g].kind == glyph_summary::COMPOSITE)
            resolve_box((unsigned)g, t, where, glyphs, out);
}

void resolve_users_of(unsigned g, const table_set& t, const glyph_locations& where,
                      const std::vector<glyph_summary>& glyphs,
                      std::vector<composite_summary>* out) {
    const size_t n = glyphs.size();
    if (g >= n)
        return;
    std::vector<std::vector<unsigned>> users(n);
    bool any = false;
    for (size_t p = 0; p < n; p++)
        for (const component_ref& c : glyphs[p].components) {
            users[c.glyph].push_back((unsigned)p);
            any = true;
        }
    if (!any && glyphs[g].kind != glyph_summary::COMPOSITE) {
        (*out)[g] = composite_summary();
        return;
    }
    // Every composite above g is resolved again; the others stand.
    std::vector<uint8_t> marks(n, DONE);
    std::vector<unsigned> todo{g};
    marks[g] = UNSEEN;
    for (size_t i = 0; i < todo.size(); i++)
        for (unsigned p : users[todo[i]])
            if (marks[p] == DONE) {
                marks[p] = UNSEEN;
                todo.push_back(p);
            }
    for (unsigned a : todo)
        (*out)[a] = composite_summary();
    for (unsigned a : todo)
        if (glyphs[a].kind == glyph_summary::COMPOSITE && marks[a] == UNSEEN)
            resolve_from(a, glyphs, out, &marks);
    for (unsigned a : todo)
        if (glyphs[a].kind == glyph_summary::COMPOSITE)
            resolve_box(a, t, where, glyphs, out);
}
