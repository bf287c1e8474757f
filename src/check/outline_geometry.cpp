#include "check/outline_geometry.h"

#include "check/check_context.h"

#include <algorithm>
#include <cmath>

namespace {

const uint32_t GLYF = tag_of("glyf");
// Curves that pass an extreme point by less than this (font units) are
// rounding, not a missing point.
const double EXTREME_SLACK = 1.0;
// Subdivision depth of the curve crossing test: 2^-20 of a curve is far
// below a font unit.
const int CROSS_DEPTH = 20;

struct pt {
    double x, y;
};

// A line (curve false) or a quadratic curve from p0 over c to p1, and the
// point of the record it starts at. Every segment runs one way in x
// (curves are cut at their x extreme), so its x range is that of its ends.
// Its y range is the one it reaches (a curve's extreme, not its control
// point), worked out once, so that fewer pairs need a closer look.
struct seg {
    pt p0, c, p1;
    double miny, maxy;
    int32_t point;
    bool curve;
    double minx() const { return std::min(p0.x, p1.x); }
    double maxx() const { return std::max(p0.x, p1.x); }
    int dir() const { return p1.x > p0.x ? 1 : p1.x < p0.x ? -1 : 0; }
};

inline void push(std::vector<seg>* out, const pt& p0, const pt& c, const pt& p1, bool curve,
                 int32_t point) {
    seg s{p0, c, p1, std::min(p0.y, p1.y), std::max(p0.y, p1.y), point, curve};
    const double d = p0.y - 2 * c.y + p1.y;
    if (curve && (c.y - p0.y) * (c.y - p1.y) > 0 && d != 0) {
        const double t = (p0.y - c.y) / d;
        const double y = (1 - t) * (1 - t) * p0.y + 2 * (1 - t) * t * c.y + t * t * p1.y;
        s.miny = std::min(s.miny, y);
        s.maxy = std::max(s.maxy, y);
    }
    out->push_back(s);
}

// The parameter of a curve's extreme in one axis (a, c, b its coordinates
// there), when it lies strictly inside the curve.
bool extreme(double a, double c, double b, double* t) {
    if ((c - a) * (c - b) <= 0)
        return false;
    *t = (a - c) / (a - 2 * c + b);
    return true;
}

// Whether a curve's extreme in one axis (at t, when `inside`) lies further
// out than both its ends: a point is missing there.
bool misses_extreme(double a, double m, double b, bool inside, double t) {
    if (!inside)
        return false;
    const double v = (1 - t) * (1 - t) * a + 2 * (1 - t) * t * m + t * t * b;
    return (m > a ? v - std::max(a, b) : std::min(a, b) - v) >= EXTREME_SLACK;
}

// Appends a curve (cut at its x extreme) or a line; counts a missing
// extreme point.
inline void emit(const pt& p0, const pt& c, const pt& p1, bool curve, int32_t point,
                 std::vector<seg>* out, int* missing, int32_t* firstmissing) {
    if (!curve) {
        push(out, p0, p1, p1, false, point);
        return;
    }
    double tx = 0, ty = 0;
    const bool xin = extreme(p0.x, c.x, p1.x, &tx), yin = extreme(p0.y, c.y, p1.y, &ty);
    if ((misses_extreme(p0.x, c.x, p1.x, xin, tx) || misses_extreme(p0.y, c.y, p1.y, yin, ty)) &&
        (*missing)++ == 0)
        *firstmissing = point;
    if (!xin) {
        push(out, p0, c, p1, true, point);
        return;
    }
    const double t = tx;
    pt a{p0.x + t * (c.x - p0.x), p0.y + t * (c.y - p0.y)};
    pt b{c.x + t * (p1.x - c.x), c.y + t * (p1.y - c.y)};
    pt m{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    push(out, p0, a, m, true, point);
    push(out, m, b, p1, true, point);
}

// The segments of contour [first, last], starting at an on-curve point
// (or at the midpoint of the last and first points when every point is
// off the curve).
void contour_segments(const decoded_outline& o, int first, int last, std::vector<seg>* out,
                      int* missing, int32_t* firstmissing) {
    out->clear();
    const int n = last - first + 1;
    out->reserve(2 * (size_t)n + 2);
    int start = -1;
    for (int i = first; i <= last; i++)
        if (o.on[i]) {
            start = i;
            break;
        }
    auto at = [&](int k) { return pt{(double)o.x[k], (double)o.y[k]}; };
    pt cur;
    int32_t curpoint;
    int begin;
    if (start >= 0) {
        cur = at(start);
        curpoint = start;
        begin = start - first + 1;
    } else {
        pt a = at(last), b = at(first);
        cur = {(a.x + b.x) / 2, (a.y + b.y) / 2};
        curpoint = last;
        begin = 0;
    }
    const pt origin = cur;
    pt control{};
    int32_t controlpoint = -1;
    for (int step = 0, k = first + begin % n; step < n; step++, k = k == last ? first : k + 1) {
        const pt p = at(k);
        if (o.on[k]) {
            if (controlpoint >= 0)
                emit(cur, control, p, true, controlpoint, out, missing, firstmissing);
            else
                emit(cur, p, p, false, curpoint, out, missing, firstmissing);
            cur = p;
            curpoint = k;
            controlpoint = -1;
        } else {
            if (controlpoint >= 0) {
                const pt mid{(control.x + p.x) / 2, (control.y + p.y) / 2};
                emit(cur, control, mid, true, controlpoint, out, missing, firstmissing);
                cur = mid;
            }
            control = p;
            controlpoint = k;
        }
    }
    // Back to where the contour began.
    if (controlpoint >= 0)
        emit(cur, control, origin, true, controlpoint, out, missing, firstmissing);
    else
        emit(cur, origin, origin, false, curpoint, out, missing, firstmissing);
}

double orient(pt a, pt b, pt c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// A proper crossing of segments ab and cd: each one's ends strictly on
// either side of the other. Touching and overlapping are not crossings.
bool lines_cross(pt a, pt b, pt c, pt d) {
    const double o1 = orient(a, b, c), o2 = orient(a, b, d);
    const double o3 = orient(c, d, a), o4 = orient(c, d, b);
    return ((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0));
}

// A curve piece for the crossing test, with its box.
struct bez {
    pt p0, c, p1;
    double minx, miny, maxx, maxy;
};

inline bez make_bez(pt p0, pt c, pt p1) {
    return {p0,
            c,
            p1,
            std::min(std::min(p0.x, c.x), p1.x),
            std::min(std::min(p0.y, c.y), p1.y),
            std::max(std::max(p0.x, c.x), p1.x),
            std::max(std::max(p0.y, c.y), p1.y)};
}

// Sixteen times the square of how far a curve strays from its chord (the
// square root is not needed to compare).
inline double bulge16(const bez& s) {
    const double dx = s.p0.x - 2 * s.c.x + s.p1.x, dy = s.p0.y - 2 * s.c.y + s.p1.y;
    return dx * dx + dy * dy;
}

// A curve straying less than 0.01 units from its chord is taken as flat.
const double FLAT16 = 16 * 0.01 * 0.01;

inline void halve(const bez& s, bez* left, bez* right) {
    const pt a{(s.p0.x + s.c.x) / 2, (s.p0.y + s.c.y) / 2};
    const pt b{(s.c.x + s.p1.x) / 2, (s.c.y + s.p1.y) / 2};
    const pt m{(a.x + b.x) / 2, (a.y + b.y) / 2};
    *left = make_bez(s.p0, a, m);
    *right = make_bez(m, b, s.p1);
}

// Whether two pieces cross: curves are halved until both are flat to a
// small fraction of a unit; halves whose boxes do not meet are dropped.
bool pieces_cross(const bez& a, const bez& b, int depth) {
    if (a.minx > b.maxx || b.minx > a.maxx || a.miny > b.maxy || b.miny > a.maxy)
        return false;
    const double ba = bulge16(a), bb = bulge16(b);
    if ((ba < FLAT16 && bb < FLAT16) || depth >= CROSS_DEPTH)
        return lines_cross(a.p0, a.p1, b.p0, b.p1);
    bez l, r;
    if (ba >= bb) {
        halve(a, &l, &r);
        return pieces_cross(l, b, depth + 1) || pieces_cross(r, b, depth + 1);
    }
    halve(b, &l, &r);
    return pieces_cross(a, l, depth + 1) || pieces_cross(a, r, depth + 1);
}

bool segments_cross(const seg& a, const seg& b) {
    if (!a.curve && !b.curve)
        return lines_cross(a.p0, a.p1, b.p0, b.p1);
    // A line is a curve with its control point on it.
    auto as_bez = [](const seg& s) {
        return s.curve ? make_bez(s.p0, s.c, s.p1)
                       : make_bez(s.p0, {(s.p0.x + s.p1.x) / 2, (s.p0.y + s.p1.y) / 2}, s.p1);
    };
    return pieces_cross(as_bez(a), as_bez(b), 0);
}

// A segment's box, and its index in the contour.
struct seg_box {
    double minx, maxx, miny, maxy;
    int index;
};

// A run of segments that all go one way in x, with their boxes in
// ascending x at [first, first + count) of the contour's box array. Two
// segments of one run never cross: their x ranges meet at most at a point.
struct chain {
    int first, count;
    double minx, miny, maxx, maxy;
};

void find_chains(const std::vector<seg>& segs, std::vector<seg_box>* boxes,
                 std::vector<chain>* chains) {
    chains->clear();
    boxes->resize(segs.size());
    int dir = 0;
    for (int i = 0; i < (int)segs.size(); i++) {
        const seg& s = segs[i];
        const int d = s.dir();
        const seg_box b{s.minx(), s.maxx(), s.miny, s.maxy, i};
        (*boxes)[i] = b;
        chain* c = chains->empty() ? nullptr : &chains->back();
        if (!c || (d != 0 && dir != 0 && d != dir)) {
            if (c && dir < 0)
                std::reverse(boxes->begin() + c->first, boxes->begin() + c->first + c->count);
            chains->push_back({i, 1, b.minx, b.miny, b.maxx, b.maxy});
            dir = d;
            continue;
        }
        c->count++;
        if (dir == 0)
            dir = d;
        c->minx = std::min(c->minx, b.minx);
        c->miny = std::min(c->miny, b.miny);
        c->maxx = std::max(c->maxx, b.maxx);
        c->maxy = std::max(c->maxy, b.maxy);
    }
    // Runs going left are kept in ascending x too.
    if (!chains->empty() && dir < 0) {
        const chain& c = chains->back();
        std::reverse(boxes->begin() + c.first, boxes->begin() + c.first + c.count);
    }
}

// The index of the first box of a run whose maxx reaches x (in a short
// run, its first box: the walk below passes the others as quickly).
int first_reaching(const seg_box* run, int count, double x) {
    if (count < 16)
        return 0;
    int lo = 0, hi = count;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (run[mid].maxx < x)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// The first pair of segments that cross, other than neighbours (which
// share an end): each pair of runs whose boxes meet is walked together in
// x over the part where both lie, testing segments whose boxes meet.
bool find_crossing(const std::vector<seg>& segs, std::vector<seg_box>* boxes,
                   std::vector<chain>* chains, int32_t* point) {
    find_chains(segs, boxes, chains);
    const int n = (int)segs.size();
    const int nc = (int)chains->size();
    const seg_box* all = boxes->data();
    for (int ci = 0; ci < nc; ci++) {
        const chain& a = (*chains)[ci];
        for (int cj = ci + 1; cj < nc; cj++) {
            const chain& b = (*chains)[cj];
            if (a.minx > b.maxx || b.minx > a.maxx || a.miny > b.maxy || b.miny > a.maxy)
                continue;
            const seg_box* ra = all + a.first;
            const seg_box* rb = all + b.first;
            int ia = first_reaching(ra, a.count, b.minx), ib = first_reaching(rb, b.count, a.minx);
            const double stop = std::min(a.maxx, b.maxx);
            // Both runs ascend in x, so advancing the one that ends first
            // meets every pair whose x ranges overlap.
            while (ia < a.count && ib < b.count) {
                const seg_box& p = ra[ia];
                const seg_box& q = rb[ib];
                if (std::max(p.minx, q.minx) > stop)
                    break;
                if (p.maxx >= q.minx && q.maxx >= p.minx && p.miny <= q.maxy && q.miny <= p.maxy) {
                    const int gap = std::abs(p.index - q.index);
                    if (gap != 1 && gap != n - 1 && segments_cross(segs[p.index], segs[q.index])) {
                        *point = std::min(segs[p.index].point, segs[q.index].point);
                        return true;
                    }
                }
                if (p.maxx < q.maxx)
                    ia++;
                else
                    ib++;
            }
        }
    }
    return false;
}

// Whether point p lies inside the polygon of the segments' control points
// (even-odd), which is close enough to tell outer contours from holes.
bool inside(pt p, const std::vector<seg>& segs) {
    bool in = false;
    auto edge = [&](pt a, pt b) {
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (x > p.x)
                in = !in;
        }
    };
    for (const seg& s : segs) {
        if (s.curve) {
            edge(s.p0, s.c);
            edge(s.c, s.p1);
        } else {
            edge(s.p0, s.p1);
        }
    }
    return in;
}

struct contour_shape {
    std::vector<seg> segs;
    double area2 = 0;
    double minx = 0, miny = 0, maxx = 0, maxy = 0;
    int32_t first = 0;
};

// The contour's box, and twice its signed area (positive counter-clockwise,
// y up): the polygon of the segment ends plus two thirds of each curve's
// control triangle.
void measure(contour_shape* c) {
    double a = 0;
    double minx = 1e18, miny = 1e18, maxx = -1e18, maxy = -1e18;
    for (const seg& s : c->segs) {
        a += s.p0.x * s.p1.y - s.p1.x * s.p0.y;
        if (s.curve)
            a += (2.0 / 3.0) *
                 ((s.c.x - s.p0.x) * (s.p1.y - s.p0.y) - (s.c.y - s.p0.y) * (s.p1.x - s.p0.x));
        minx = std::min(minx, s.minx());
        miny = std::min(miny, s.miny);
        maxx = std::max(maxx, s.maxx());
        maxy = std::max(maxy, s.maxy);
    }
    c->area2 = a;
    c->minx = minx;
    c->miny = miny;
    c->maxx = maxx;
    c->maxy = maxy;
}

} // namespace

void check_outline_geometry(const decoded_outline& o, int32_t gno, glyph_summary* s) {
    thread_local std::vector<contour_shape> shapes;
    thread_local std::vector<chain> chains;
    thread_local std::vector<seg_box> boxes;
    const int nc = (int)o.ends.size();
    if (shapes.size() < (size_t)nc)
        shapes.resize(nc);
    int missing = 0;
    int32_t missingpoint = -1;
    int first = 0;
    for (int k = 0; k < nc; first = o.ends[k] + 1, k++) {
        contour_shape& c = shapes[k];
        c.segs.clear();
        c.area2 = 0;
        c.first = first;
        const int last = o.ends[k];
        const int n = last - first + 1;
        if (n < 3) {
            s->findings.push_back(make_finding(
                severity::warning, GLYF, gno, first,
                format("contour %d (from point %d) has %d point%s; it takes 3 to enclose an area",
                       k, first, n, n == 1 ? "" : "s")));
            continue;
        }
        contour_segments(o, first, last, &c.segs, &missing, &missingpoint);
        measure(&c);
        int32_t crossing = -1;
        if (find_crossing(c.segs, &boxes, &chains, &crossing))
            s->findings.push_back(
                make_finding(severity::warning, GLYF, gno, crossing,
                             format("contour %d crosses itself near point %d", k, crossing)));
    }
    if (missing > 0)
        s->findings.push_back(make_finding(
            severity::note, GLYF, gno, missingpoint,
            format("%d curve%s miss%s an extreme point (the first at point %d)", missing,
                   missing == 1 ? "" : "s", missing == 1 ? "es" : "", missingpoint)));

    // Outermost contours: those inside no other contour.
    for (int k = 0; k < nc; k++) {
        const contour_shape& a = shapes[k];
        if (a.area2 == 0)
            continue;
        bool outer = true;
        const pt probe = a.segs.front().p0;
        for (int j = 0; j < nc && outer; j++) {
            const contour_shape& b = shapes[j];
            if (j == k || b.area2 == 0)
                continue;
            if (b.minx <= a.minx && b.maxx >= a.maxx && b.miny <= a.miny && b.maxy >= a.maxy &&
                inside(probe, b.segs))
                outer = false;
        }
        if (!outer)
            continue;
        if (a.area2 < 0) {
            if (s->outer_cw++ == 0)
                s->first_cw_point = a.first;
        } else {
            if (s->outer_ccw++ == 0)
                s->first_ccw_point = a.first;
        }
    }
}
