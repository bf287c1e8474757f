// SVG paths on the clipboard: a glyph's quadratic contours written as path
// data and read back, drawn curves (cubic ones approximated) measured
// against what they became, equivalent spellings of one path, and hostile
// text refused with a reason.
#include "font/svg_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

using contour = std::vector<glyph_clip::point>;

struct vec {
    double x, y;
};

vec lerp(vec a, vec b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

double segment_distance(vec p, vec a, vec b) {
    double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double t = len > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len, 0.0, 1.0) : 0;
    vec q = lerp(a, b, t);
    return std::hypot(p.x - q.x, p.y - q.y);
}

// The contour as a closed polyline: its quadratic pieces sampled, with the
// on-curve points a glyph leaves implied between two controls.
std::vector<vec> polyline(const contour& c) {
    std::vector<vec> pts;
    std::vector<std::pair<vec, bool>> full;
    const size_t n = c.size();
    for (size_t i = 0; i < n; i++) {
        vec p{(double)c[i].x, (double)c[i].y};
        const auto& next = c[(i + 1) % n];
        full.push_back({p, c[i].on});
        if (!c[i].on && !next.on)
            full.push_back({lerp(p, {(double)next.x, (double)next.y}, 0.5), true});
    }
    size_t start = 0;
    while (!full[start].second)
        start++;
    const size_t m = full.size();
    for (size_t k = 0; k < m; k++) {
        const auto& a = full[(start + k) % m];
        if (!a.second)
            continue;
        const auto& b = full[(start + k + 1) % m];
        if (b.second) {
            pts.push_back(a.first);
            continue;
        }
        vec end = full[(start + k + 2) % m].first;
        for (int s = 0; s < 64; s++) {
            double t = s / 64.0;
            pts.push_back(lerp(lerp(a.first, b.first, t), lerp(b.first, end, t), t));
        }
    }
    return pts;
}

// The largest distance between the closed chain of cubic pieces `cubics`
// (each four points, in font units) and the contour, both ways.
double largest_distance(const std::vector<std::array<vec, 4>>& cubics, const contour& c) {
    std::vector<vec> exact;
    for (const auto& q : cubics)
        for (int s = 0; s < 256; s++) {
            double t = s / 256.0;
            vec a = lerp(q[0], q[1], t), b = lerp(q[1], q[2], t), d = lerp(q[2], q[3], t);
            exact.push_back(lerp(lerp(a, b, t), lerp(b, d, t), t));
        }
    std::vector<vec> got = polyline(c);
    auto one_way = [](const std::vector<vec>& from, const std::vector<vec>& to) {
        double worst = 0;
        for (vec p : from) {
            double best = INFINITY;
            for (size_t i = 0; i < to.size(); i++)
                best = std::min(best, segment_distance(p, to[i], to[(i + 1) % to.size()]));
            worst = std::max(worst, best);
        }
        return worst;
    };
    return std::max(one_way(exact, got), one_way(got, exact));
}

} // namespace

TEST(SvgPath, QuadraticContoursAreWrittenAsPathDataAndReadBackAsTheSameCurve) {
    const struct {
        const char* name;
        contour in;
        const char* d;
        contour back; // the same curve, from the point the path starts at
    } cases[] = {
        {"lines",
         {{100, 100, true}, {100, 200, true}, {200, 200, true}, {200, 100, true}},
         "M100 900L100 800L200 800L200 900Z",
         {{100, 100, true}, {100, 200, true}, {200, 200, true}, {200, 100, true}}},
        {"starts off the curve",
         {{0, 0, false}, {100, 0, true}, {100, 100, false}, {0, 100, true}},
         "M100 1000Q100 900 0 900Q0 1000 100 1000Z",
         {{100, 0, true}, {100, 100, false}, {0, 100, true}, {0, 0, false}}},
        {"implied on-curve point",
         {{0, 0, true}, {0, 100, false}, {100, 100, false}, {100, 0, true}},
         "M0 1000Q0 900 50 900Q100 900 100 1000Z",
         {{0, 0, true}, {0, 100, false}, {100, 100, false}, {100, 0, true}}},
        {"every point a control, half units between",
         {{0, 0, false}, {101, 0, false}, {101, 101, false}},
         "M50.5 1000Q101 1000 101 949.5Q101 899 50.5 949.5Q0 1000 50.5 1000Z",
         {{101, 0, false}, {101, 101, false}, {0, 0, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        glyph_clip g;
        g.contours = {c.in, c.in};
        const std::string svg = svg_of_glyph(g, 1000);
        EXPECT_EQ(svg, std::string("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 1000 "
                                   "1000\" width=\"1000\" height=\"1000\"><path d=\"") +
                           c.d + c.d + "\"/></svg>\n");
        glyph_clip back;
        std::string why;
        ASSERT_TRUE(parse_svg_path(svg, 1000, &back, &why)) << why;
        EXPECT_EQ(back.contours, (std::vector<contour>{c.back, c.back}));
        // The bare path data, as a drawing program's path field holds it.
        ASSERT_TRUE(parse_svg_path(c.d, 1000, &back, &why)) << why;
        EXPECT_EQ(back.contours, std::vector<contour>{c.back});
    }
    // A glyph's longest contour, every point a control: the path spells out
    // 1,024 on-curve points between them, which are not counted.
    glyph_clip ring;
    ring.contours.resize(1);
    for (int i = 0; i < 1024; i++)
        ring.contours[0].push_back({(int16_t)(i % 2 * 7), (int16_t)(2 * i), false});
    glyph_clip back;
    std::string why;
    ASSERT_TRUE(parse_svg_path(svg_of_glyph(ring, 2048), 2048, &back, &why)) << why;
    ASSERT_EQ(back.contours.size(), 1u);
    EXPECT_EQ(back.contours[0].size(), 1024u);
}

TEST(SvgPath, CubicCurvesBecomeQuadraticOnesWithinOneUnitOfTheDrawnCurve) {
    const double k = 0.5523 * 400; // a quarter circle's handles, radius 400
    const struct {
        const char* name;
        std::vector<std::array<vec, 4>> cubics; // in SVG units, a closed chain
        const char* view_box;                   // nullptr: bare path data
        unsigned upem;
        double tolerance;
        bool within_one;
    } cases[] = {
        {"circle, viewBox onto a larger em",
         {{{{500, 100}, {500 + k, 100}, {900, 500 - k}, {900, 500}}},
          {{{900, 500}, {900, 500 + k}, {500 + k, 900}, {500, 900}}},
          {{{500, 900}, {500 - k, 900}, {100, 500 + k}, {100, 500}}},
          {{{100, 500}, {100, 500 - k}, {500 - k, 100}, {500, 100}}}},
         "0 0 1000 1000",
         2048,
         0.25,
         true},
        {"inflected curve and a loop back",
         {{{{100, 100}, {900, 100}, {100, 900}, {900, 900}}},
          {{{900, 900}, {1000, 500}, {0, 400}, {100, 100}}}},
         nullptr,
         1000,
         0.25,
         true},
        {"offset viewBox onto a smaller em",
         {{{{-50, 20}, {10, -40}, {70, 90}, {-50, 20}}}},
         "-60 -50 200 150",
         1000,
         0.25,
         true},
        {"a coarse tolerance is seen", // the measure can fail
         {{{{100, 100}, {900, 100}, {100, 900}, {900, 900}}},
          {{{900, 900}, {1000, 500}, {0, 400}, {100, 100}}}},
         nullptr,
         1000,
         40,
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        char num[64];
        std::string d;
        auto put = [&](vec p) {
            snprintf(num, sizeof num, " %.6f %.6f", p.x, p.y);
            d += num;
        };
        d = "M";
        put(c.cubics[0][0]);
        for (const auto& q : c.cubics) {
            d += " C";
            put(q[1]);
            put(q[2]);
            put(q[3]);
        }
        d += " Z";
        // Where the SVG's units fall on the em, y pointing up.
        double minx = 0, maxy = c.upem, scale = 1;
        std::string text = d;
        if (c.view_box) {
            double x, y, w, h;
            ASSERT_EQ(sscanf(c.view_box, "%lf %lf %lf %lf", &x, &y, &w, &h), 4);
            minx = x;
            maxy = y + h;
            scale = c.upem / h;
            text = std::string("<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                               "viewBox=\"") +
                   c.view_box + "\">\n  <g>\n    <path fill=\"#000\" d=\"" + d +
                   "\" />\n  </g>\n</svg>";
        }
        std::vector<std::array<vec, 4>> font;
        for (const auto& q : c.cubics) {
            font.push_back({});
            for (int i = 0; i < 4; i++)
                font.back()[i] = {(q[i].x - minx) * scale, (maxy - q[i].y) * scale};
        }
        glyph_clip g;
        std::string why;
        ASSERT_TRUE(parse_svg_path(text, c.upem, &g, &why, c.tolerance)) << why;
        ASSERT_EQ(g.contours.size(), 1u);
        const double distance = largest_distance(font, g.contours[0]);
        EXPECT_EQ(distance <= 1.0, c.within_one) << distance;
        EXPECT_LT(g.contours[0].size(), 8 * (c.cubics.size() + 4)) << "split far more than needed";
    }
}

TEST(SvgPath, RelativeAndShorthandCommandsDrawWhatTheirAbsoluteFormsDraw) {
    const std::vector<std::vector<const char*>> spellings = {
        {"M10 10 L110 10 L110 110 L10 110 Z", "m10 10 l100 0 l0 100 h-100 z",
         "M10,10 110,10 110 110 H10 V10z"},
        {"M0 0Q50 100 100 0Q150 -100 200 0Z", "m0 0 q50 100 100 0 t100 0 z",
         "M0 0 Q 50 100 100 0 T 200 0 Z"},
        {"M0 0C0 100 100 100 100 0C100 -100 200 -100 200 0Z",
         "m0 0 c0 100 100 100 100 0 s100 -100 100 0z", "M0,0C0,100,100,100,100,0S200-100,200,0z"},
        {"M0 0L10 0L10 10Z M20 20L30 20L30 30Z", "m0 0 l10 0 l0 10 z m20 20 l10 0 l0 10 z"},
        {"M100 0L0.5 0.5L-10 5Z", "M1e2 0L.5.5-1E1 5z", "M+100-0L5e-1,0.5L-10,5Z"},
    };
    for (const auto& same : spellings) {
        glyph_clip first;
        std::string why;
        ASSERT_TRUE(parse_svg_path(same[0], 1000, &first, &why)) << same[0] << ": " << why;
        for (size_t i = 1; i < same.size(); i++) {
            glyph_clip other;
            ASSERT_TRUE(parse_svg_path(same[i], 1000, &other, &why)) << same[i] << ": " << why;
            EXPECT_EQ(other.contours, first.contours) << same[i];
        }
    }
}

TEST(SvgPath, HostileTextIsRefusedWithAReasonAndNothingRead) {
    std::string many_contours, long_contour = "M0 0", many_tags = "<svg>";
    for (int i = 0; i < 513; i++)
        many_contours += "M0 0L1 0L1 1Z";
    for (int i = 0; i < 1024; i++)
        long_contour += " L" + std::to_string(i) + " 1";
    for (int i = 0; i < 200000; i++)
        many_tags += "<path d";
    const struct {
        std::string text;
        const char* why;
    } cases[] = {
        {"", "draws no contour"},
        {"M0 0 Z M5 5", "draws no contour"},
        {"L 10 10", "does not start with a move"},
        {"M0 0 A 5 5 0 0 1 10 10 Z", "arcs"},
        {"M0 0 L", "line without its point"},
        {"M0 0 L 1e400 0 Z", "line without its point"},
        {"M0 0 Q 1 1", "without all of its points"},
        {"M0 0 X 1 1", "command it cannot have"},
        {"M0 0 L 40000 0 L0 10 Z", "beyond the coordinates"},
        {"M-1e308 0 C1e308 1e308 -1e308 1e308 1e308 0 Z", "beyond the coordinates"},
        {"<svg viewBox=\"0 0 1 1e-300\"><path d=\"M0 0L1 0L0 1e-300Z\"/></svg>", "beyond"},
        {"<svg viewBox=\"0 0 0 10\"><path d=\"M0 0L1 0L0 1Z\"/></svg>", "damaged viewBox"},
        {"<svg viewBox=\"0 0 nan 10\"><path d=\"M0 0L1 0L0 1Z\"/></svg>", "damaged viewBox"},
        {"<svg", "is damaged"},
        {many_tags, "is damaged"},
        {"<svg><g/></svg>", "has no path"},
        {"<html><path d=\"M0 0L1 0L0 1Z\"/></html>", "holds no SVG path"},
        {many_contours, "more than 512 contours"},
        {long_contour, "more than 1024 points"},
        {std::string(9u << 20, ' '), "too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        glyph_clip g;
        g.contours = {{{1, 2, true}}};
        const glyph_clip before = g;
        std::string why;
        EXPECT_FALSE(parse_svg_path(c.text, 1000, &g, &why));
        EXPECT_NE(why.find(c.why), std::string::npos) << why;
        EXPECT_EQ(g, before) << "the glyph is untouched";
    }
}
