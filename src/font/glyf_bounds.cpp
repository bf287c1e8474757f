#include "font/glyf_bounds.h"

#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"

#include <algorithm>
#include <cmath>

namespace {

const size_t RECORD_HEADER = 10;

// Simple-glyph point flags.
const uint8_t X_SHORT = 0x02, Y_SHORT = 0x04, REPEAT = 0x08, X_SAME = 0x10, Y_SAME = 0x20;

// Composites can multiply points (a glyph of many copies of a glyph of many
// copies ...): a hostile font must not make boxes cost unbounded time or
// memory. Real fonts resolve a few hundred points per composite; past
// these counts of coordinates (one glyph, all glyphs of one object) a
// composite counts as damaged.
const size_t GLYPH_COORDINATES = (size_t)1 << 22;
const size_t TOTAL_COORDINATES = (size_t)1 << 27;

int64_t read_delta(const byte_span& rec, size_t& pos, uint8_t f, uint8_t is_short,
                   uint8_t same_or_positive) {
    if (f & is_short) {
        int64_t v = rec.u8(pos++);
        return (f & same_or_positive) ? v : -v;
    }
    if (f & same_or_positive)
        return 0;
    int64_t v = rec.s16(pos);
    pos += 2;
    return v;
}

// Calls point(x, y) for every point of a simple record (numberOfContours
// > 0), in order; false when the record cannot be read whole.
template <class F> bool walk_simple(const byte_span& rec, std::vector<uint8_t>& flags, F&& point) {
    const size_t ncontours = (size_t)rec.s16(0);
    if (!rec.has(RECORD_HEADER, 2 * ncontours + 2))
        return false;
    long previous = -1;
    for (size_t k = 0; k < ncontours; k++) {
        long end = rec.u16(RECORD_HEADER + 2 * k);
        if (end <= previous)
            return false;
        previous = end;
    }
    const size_t npoints = (size_t)previous + 1;
    size_t pos = RECORD_HEADER + 2 * ncontours;
    const size_t ninstr = rec.u16(pos);
    pos += 2;
    if (!rec.has(pos, ninstr))
        return false;
    pos += ninstr;

    flags.resize(npoints);
    size_t xbytes = 0, ybytes = 0;
    auto count = [&](uint8_t f, size_t n) {
        xbytes += n * ((f & X_SHORT) ? 1 : (f & X_SAME) ? 0 : 2);
        ybytes += n * ((f & Y_SHORT) ? 1 : (f & Y_SAME) ? 0 : 2);
    };
    for (size_t i = 0; i < npoints;) {
        if (!rec.has(pos, 1))
            return false;
        const uint8_t f = rec.u8(pos++);
        size_t n = 1;
        if (f & REPEAT) {
            if (!rec.has(pos, 1))
                return false;
            n += rec.u8(pos++);
            if (n > npoints - i)
                return false;
        }
        std::fill(flags.begin() + (long)i, flags.begin() + (long)(i + n), f);
        count(f, n);
        i += n;
    }
    if (!rec.has(pos, xbytes + ybytes))
        return false;
    size_t xpos = pos, ypos = pos + xbytes;
    int64_t x = 0, y = 0;
    for (size_t i = 0; i < npoints; i++) {
        x += read_delta(rec, xpos, flags[i], X_SHORT, X_SAME);
        y += read_delta(rec, ypos, flags[i], Y_SHORT, Y_SAME);
        point((double)x, (double)y);
    }
    return true;
}

int32_t round_half_up(double v) {
    return (int32_t)std::floor(v + 0.5);
}

} // namespace

glyf_record_kind glyf_record(ttf& font, unsigned gno, byte_span* rec) {
    if (!font.glyf || !font.loca || !font.head || !font.maxp || gno >= font.maxp->numglyphs())
        return glyf_record_kind::missing;
    unsigned long off, len;
    if (font.loca->get_offset(font.head->is32loca(), (int)gno, &off, &len) != 0)
        return glyf_record_kind::missing;
    if (len == 0)
        return glyf_record_kind::empty;
    *rec = font.glyf->bytes().slice(off, len);
    if (rec->size() != len || len < RECORD_HEADER)
        return glyf_record_kind::missing;
    return glyf_record_kind::found;
}

glyf_bounds::glyf_bounds(ttf& font) : fFont(font) {}

glyf_bounds::result glyf_bounds::box_of(unsigned gno, glyph_box* box) {
    byte_span rec;
    glyf_record_kind kind = glyf_record(fFont, gno, &rec);
    if (kind == glyf_record_kind::empty)
        return no_outline;
    if (kind == glyf_record_kind::missing)
        return damaged;
    const int ncontours = rec.s16(0);
    if (ncontours == 0)
        return no_outline;

    double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    bool any = false;
    auto widen = [&](double x, double y) {
        if (!any) {
            xmin = xmax = x;
            ymin = ymax = y;
            any = true;
            return;
        }
        xmin = std::min(xmin, x);
        xmax = std::max(xmax, x);
        ymin = std::min(ymin, y);
        ymax = std::max(ymax, y);
    };
    if (ncontours > 0) {
        if (!walk_simple(rec, fFlags, widen))
            return damaged;
    } else {
        fPath.clear();
        fPoints.clear();
        if (!points_of(gno, 0, &fPoints))
            return damaged;
        for (size_t i = 0; i + 1 < fPoints.size(); i += 2)
            widen(fPoints[i], fPoints[i + 1]);
    }
    *box = glyph_box();
    if (any) {
        box->xMin = round_half_up(xmin);
        box->yMin = round_half_up(ymin);
        box->xMax = round_half_up(xmax);
        box->yMax = round_half_up(ymax);
    }
    return has_box;
}

bool glyf_bounds::points_of(unsigned gno, unsigned depth, std::vector<double>* xy) {
    byte_span rec;
    glyf_record_kind kind = glyf_record(fFont, gno, &rec);
    if (kind == glyf_record_kind::empty)
        return true;
    if (kind == glyf_record_kind::missing)
        return false;
    if (rec.s16(0) >= 0) {
        return walk_simple(rec, fFlags, [&](double x, double y) {
            xy->push_back(x);
            xy->push_back(y);
        });
    }
    if (depth >= GLYF_MAX_COMPONENT_DEPTH ||
        std::find(fPath.begin(), fPath.end(), gno) != fPath.end())
        return false;
    fPath.push_back(gno);
    const size_t base = xy->size();
    std::vector<double> part;
    glyf_component c;
    size_t pos = RECORD_HEADER;
    bool ok = true;
    do {
        pos = glyf_read_component(rec, pos, &c);
        part.clear();
        if (pos == 0 || !points_of(c.glyph, depth + 1, &part)) {
            ok = false;
            break;
        }
        fSpent += part.size();
        if (fSpent > TOTAL_COORDINATES || xy->size() + part.size() > GLYPH_COORDINATES) {
            ok = false;
            break;
        }
        using namespace glyf_flag;
        const bool transformed = (c.flags & (have_scale | have_xy_scale | have_2x2)) != 0;
        // x' = x xscale + y scale10, y' = x scale01 + y yscale.
        const double a = (int16_t)c.xscale / 16384.0, b = (int16_t)c.scale01 / 16384.0;
        const double d = (int16_t)c.scale10 / 16384.0, e = (int16_t)c.yscale / 16384.0;
        auto transform = [&]() {
            for (size_t i = 0; i + 1 < part.size(); i += 2) {
                const double x = part[i], y = part[i + 1];
                part[i] = x * a + y * d;
                part[i + 1] = x * b + y * e;
            }
        };
        auto translate = [&](double dx, double dy) {
            for (size_t i = 0; i + 1 < part.size(); i += 2) {
                part[i] += dx;
                part[i + 1] += dy;
            }
        };
        if (!(c.flags & args_are_xy)) {
            // Point matching: the component's point arg2, transformed,
            // lands on point arg1 of the glyph so far.
            if (transformed)
                transform();
            const size_t mine = base + 2 * (size_t)c.arg1, theirs = 2 * (size_t)c.arg2;
            if (mine + 1 >= xy->size() || theirs + 1 >= part.size()) {
                ok = false;
                break;
            }
            translate((*xy)[mine] - part[theirs], (*xy)[mine + 1] - part[theirs + 1]);
        } else if (transformed && (c.flags & scaled_offset) && !(c.flags & unscaled_offset)) {
            translate(c.arg1, c.arg2);
            transform();
        } else {
            if (transformed)
                transform();
            translate(c.arg1, c.arg2);
        }
        xy->insert(xy->end(), part.begin(), part.end());
    } while (c.flags & glyf_flag::more_components);
    fPath.pop_back();
    return ok;
}
