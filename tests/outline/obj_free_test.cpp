// Free-hand strokes: recording the path, painting it with the pen and
// tracing the painted area into contours.
#include "object_builders.h"
#include "outline/free_trace.h"
#include "outline_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using free_trace::raster;

// A stroke entered as a user draws it: a press, drags, the release.
std::vector<std::unique_ptr<shape>> stroke(const std::vector<BPoint>& path, unsigned char psize) {
    obj_free f;
    int state = drag(f, path[0], std::vector<BPoint>(path.begin() + 1, path.end()), psize);
    EXPECT_EQ(state, obj_finished);
    return contours_of(f);
}

// Cells of a raster with the given pixels painted, for tracing alone.
std::vector<unsigned char> cells_with(const raster& r, const std::vector<std::pair<int, int>>& px) {
    std::vector<unsigned char> cells((size_t)(r.width + 2) * (r.height + 2), 0);
    for (auto [x, y] : px)
        cells[(size_t)(y + 1) * (r.width + 2) + x + 1] = 1;
    return cells;
}

raster sized(int w, int h) {
    raster r;
    r.width = w;
    r.height = h;
    return r;
}

std::vector<std::unique_ptr<shape>> traced(const std::vector<unsigned char>& cells, const raster& r,
                                           int max = 256) {
    std::vector<shape*> out;
    free_trace::trace(cells, r, max, out);
    std::vector<std::unique_ptr<shape>> owned;
    for (shape* s : out)
        owned.emplace_back(s);
    return owned;
}

bool all_off_curve(const shape& s) {
    for (int i = 0; i < s.count; i++)
        if (s.flags[i] != 1)
            return false;
    return true;
}

} // namespace

TEST(FreeCreate, ClickWithoutMovementIsCancelled) {
    obj_free f;
    EXPECT_EQ(f.create(obj_press, BPoint(5, 5), 12), 1);
    EXPECT_EQ(f.create(obj_release, BPoint(5, 5), 12), obj_cancelled);
    EXPECT_EQ(f.count, 1);
}

TEST(FreeCreate, EveryEventAddsItsPositionOnceAndThePenComesFromTheFirst) {
    obj_free f;
    EXPECT_EQ(feed(f, {{obj_press, 1, 1}}, 30), 1);
    EXPECT_EQ(
        feed(f, {{obj_drag, 1, 1}, {obj_drag, 2, 1}, {obj_hover, 2, 1}, {obj_hover, 3, 1}}, 70), 3);
    EXPECT_EQ(f.psize, 30);
    EXPECT_EQ(feed(f, {{obj_release, 3, 1}}), obj_finished);
    EXPECT_EQ(f.count, 3);
}

TEST(FreeCreate, LongStrokesKeepEveryPoint) {
    obj_free f;
    for (int i = 0; i < 1000; i++)
        f.create(i == 0 ? obj_press : obj_drag, BPoint((float)i, (float)(i % 7)), 4);
    ASSERT_EQ(f.count, 1000);
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(f.points[i], BPoint((float)i, (float)(i % 7))) << i;
}

TEST(FreeTrace, StepKeepsThreeToFivePointsOrOneInTwentyOrAHundred) {
    struct Case {
        int n, step, kept;
    };
    const Case cases[] = {{4, 1, 4},       {5, 1, 5},      {6, 2, 3},       {99, 33, 3},
                          {100, 20, 5},    {150, 20, 8},   {1999, 20, 100}, {2000, 20, 100},
                          {5000, 50, 100}, {5099, 50, 102}};
    for (const Case& c : cases) {
        EXPECT_EQ(free_trace::step(c.n), c.step) << c.n;
        EXPECT_EQ((c.n + c.step - 1) / c.step, c.kept) << c.n;
    }
}

TEST(FreeTrace, OnePixelIsADiamondOfFourEdgeMidpoints) {
    raster r = sized(10, 8);
    auto out = traced(cells_with(r, {{3, 5}}), r);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()),
              (std::vector<pt>{{7, 10, 1}, {8, 11, 1}, {7, 12, 1}, {6, 11, 1}}));
    EXPECT_TRUE(out[0]->ispositive());
}

TEST(FreeTrace, BoundaryLengthDecidesThePointCount) {
    struct Case {
        int w, h, points; // a painted w x h block has a boundary of 2(w + h)
    };
    const Case cases[] = {{1, 2, 3}, {40, 35, 8}, {2400, 100, 100}};
    for (const Case& c : cases) {
        raster r = sized(c.w + 4, c.h + 4);
        std::vector<unsigned char> cells((size_t)(r.width + 2) * (r.height + 2), 0);
        for (int y = 0; y < c.h; y++)
            for (int x = 0; x < c.w; x++)
                cells[(size_t)(y + 3) * (r.width + 2) + x + 3] = 1;
        auto out = traced(cells, r);
        ASSERT_EQ(out.size(), 1u) << c.w;
        EXPECT_EQ(out[0]->count, c.points) << c.w;
        // The first point is the midpoint of the top-left edge; the bounds
        // are those of the block's edge midpoints.
        EXPECT_EQ(out[0]->points[0], BPoint(5, 4)) << c.w;
        EXPECT_TRUE(all_off_curve(*out[0]));
    }
}

TEST(FreeTrace, PixelsOnTheRasterEdgeAreTraced) {
    raster one = sized(1, 1);
    auto out = traced(cells_with(one, {{0, 0}}), one);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()),
              (std::vector<pt>{{1, 0, 1}, {2, 1, 1}, {1, 2, 1}, {0, 1, 1}}));

    raster full = sized(3, 2);
    out = traced(cells_with(full, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}), full);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0]->count, 4); // 10 edges, one point in 3
    EXPECT_EQ(out[0]->points[0], BPoint(1, 0));
}

TEST(FreeTrace, StopsAt256ContoursInScanOrder) {
    raster r = sized(40, 40);
    std::vector<std::pair<int, int>> dots;
    for (int y = 0; y < 40; y += 2)
        for (int x = 0; x < 40; x += 2)
            dots.push_back({x, y}); // 400 separate pixels
    auto out = traced(cells_with(r, dots), r);
    ASSERT_EQ(out.size(), 256u);
    for (int i = 0; i < 256; i++) {
        auto [x, y] = dots[i];
        ASSERT_EQ(out[i]->points[0], BPoint(2 * x + 1, 2 * y)) << i;
    }
}

TEST(FreeStroke, StraightStrokeIsOneClockwiseContourAroundTheBand) {
    // Pen size 10 paints 5 pixels wide at half resolution. Canvas y = 40 is
    // the centre of raster row 20, which covers 40 ... 42: the band covers
    // rows 18 ... 22, canvas 36 ... 46. Thinning keeps one edge midpoint in
    // 20, so the ends of the caps (15 and 125) are met to within a few units.
    auto out = stroke({BPoint(20, 40), BPoint(60, 40), BPoint(120, 40)}, 10);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_TRUE(out[0]->ispositive());
    EXPECT_TRUE(all_off_curve(*out[0]));
    EXPECT_EQ(out[0]->bounds.top, 36);
    EXPECT_EQ(out[0]->bounds.bottom, 46);
    EXPECT_GE(out[0]->bounds.left, 14);
    EXPECT_LE(out[0]->bounds.left, 20);
    EXPECT_GE(out[0]->bounds.right, 120);
    EXPECT_LE(out[0]->bounds.right, 127);
}

TEST(FreeStroke, PaintsWithHalfThePenSize) {
    // A vertical stroke: how many pixels wide its painted band is.
    struct Case {
        unsigned char psize;
        int wide;
    };
    const Case cases[] = {{0, 1}, {1, 1}, {6, 3}, {10, 5}, {11, 5}, {30, 15}};
    for (const Case& c : cases) {
        std::vector<BPoint> path = {BPoint(100, 20), BPoint(100, 200)};
        raster r = free_trace::stroke_raster(path.data(), 2, c.psize);
        std::vector<unsigned char> cells = free_trace::paint(path.data(), 2, c.psize, r);
        ASSERT_FALSE(cells.empty());
        int y = 100 / 2 - r.top + 1;
        int wide = 0;
        for (int x = 0; x < r.width + 2; x++)
            wide += cells[(size_t)y * (r.width + 2) + x];
        EXPECT_EQ(wide, c.wide) << (int)c.psize;
    }
}

TEST(FreeStroke, ARingGivesAnOuterContourAndAHoleTheOtherWay) {
    std::vector<BPoint> ring;
    for (int i = 0; i <= 64; i++) {
        double a = 2 * M_PI * i / 64;
        ring.push_back(BPoint(200 + 80 * (float)std::cos(a), 150 + 80 * (float)std::sin(a)));
    }
    auto out = stroke(ring, 20);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(out[0]->ispositive());
    EXPECT_FALSE(out[1]->ispositive());
    EXPECT_TRUE(out[0]->bounds.Contains(out[1]->bounds));
    // Pen 20 reaches 10 units either side of the ring's radius of 80.
    EXPECT_NEAR(out[0]->bounds.left, 200 - 90, 3);
    EXPECT_NEAR(out[1]->bounds.left, 200 - 70, 3);
}

TEST(FreeStroke, ATinyStrokeWithPenZeroPaintsOnePixel) {
    auto out = stroke({BPoint(10.2f, 10.2f), BPoint(10.8f, 10.6f)}, 0);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()),
              (std::vector<pt>{{11, 10, 1}, {12, 11, 1}, {11, 12, 1}, {10, 11, 1}}));
}

TEST(FreeStroke, AMeshOfHolesStopsAt256Contours) {
    // Back and forth across, then up and down: a grid with 20 x 20 holes.
    std::vector<BPoint> path;
    for (int i = 0; i <= 20; i++) {
        float y = 10 + 20 * i;
        path.push_back(BPoint(i % 2 ? 410 : 10, y));
        path.push_back(BPoint(i % 2 ? 10 : 410, y));
    }
    for (int i = 0; i <= 20; i++) {
        float x = 10 + 20 * i;
        path.push_back(BPoint(x, i % 2 ? 10 : 410));
        path.push_back(BPoint(x, i % 2 ? 410 : 10));
    }
    auto out = stroke(path, 4);
    ASSERT_EQ(out.size(), 256u);
    EXPECT_TRUE(out[0]->ispositive()); // the outer boundary comes first
    for (size_t i = 1; i < out.size(); i++)
        ASSERT_FALSE(out[i]->ispositive()) << i;
}

// The raster sized from the stroke gives exactly what a raster of the whole
// canvas gives, for strokes inside the canvas.
TEST(FreeStroke, StrokeSizedRasterTracesLikeTheWholeCanvas) {
    struct Case {
        const char* label;
        std::vector<BPoint> path;
        unsigned char psize;
    };
    std::vector<BPoint> wave;
    for (int i = 0; i < 120; i++)
        wave.push_back(BPoint(30 + 4.3f * i, 250 + 90 * (float)std::sin(i * 0.21)));
    const Case cases[] = {
        {"short, pen 0", {BPoint(300.3f, 200.7f), BPoint(305.9f, 209.1f)}, 0},
        {"diagonal, odd pen", {BPoint(40, 30), BPoint(500, 470)}, 7},
        {"wave, pen 20", wave, 20},
        {"loop, pen 100",
         {BPoint(100, 100), BPoint(400, 120), BPoint(380, 400), BPoint(120, 380), BPoint(100, 100)},
         100},
        {"near the canvas edge", {BPoint(4, 4), BPoint(595, 4), BPoint(595, 495)}, 2},
    };
    const BRect canvas(0, 0, 599, 499);
    for (const Case& c : cases) {
        const BPoint* p = c.path.data();
        int n = (int)c.path.size();
        raster whole = free_trace::canvas_raster(canvas);
        raster own = free_trace::stroke_raster(p, n, c.psize);
        auto a = traced(free_trace::paint(p, n, c.psize, whole), whole);
        auto b = traced(free_trace::paint(p, n, c.psize, own), own);
        ASSERT_EQ(a.size(), b.size()) << c.label;
        ASSERT_FALSE(a.empty()) << c.label;
        for (size_t i = 0; i < a.size(); i++)
            EXPECT_EQ(points_of(a[i].get()), points_of(b[i].get())) << c.label << " contour " << i;
    }
}

TEST(FreeStroke, NeedsNoCanvasAndFollowsTheStrokeAnywhere) {
    // Far out on a 65535-unit canvas; no canvas is known to the object.
    auto out = stroke({BPoint(64000, 65000), BPoint(64100, 65010)}, 20);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_NEAR(out[0]->bounds.left, 64000 - 10, 6);
    EXPECT_NEAR(out[0]->bounds.bottom, 65010 + 10, 6);
}

TEST(FreeStroke, AStrokeAcrossAHugeCanvasIsTracedCoarserNotRefused) {
    std::vector<BPoint> path = {BPoint(0, 0), BPoint(65535, 65535), BPoint(0, 65535)};
    raster r = free_trace::stroke_raster(path.data(), 3, 20);
    EXPECT_LE((int64_t)r.width * r.height, free_trace::max_pixels);
    EXPECT_GT(r.unit, 2);
    auto out = stroke(path, 20);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_GT(out[0]->bounds.right, 60000);
    EXPECT_LT(out[0]->bounds.top, 5000);
}

TEST(FreeStroke, ToShapeLeavesTheObjectAsItWas) {
    obj_free f;
    drag(f, BPoint(10, 10), {BPoint(50, 30)}, 8);
    auto first = contours_of(f);
    EXPECT_EQ(f.count, 2);
    EXPECT_EQ(f.state, obj_finished);
    auto second = contours_of(f);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(points_of(first[0].get()), points_of(second[0].get()));
}

TEST(FreeStroke, PositionsOutOfAnyRangeGiveNoContourAndNoHarm) {
    struct Case {
        const char* label;
        std::vector<BPoint> path;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"not a number", {BPoint(10, 10), BPoint(std::nanf(""), 20)}},
        {"infinite", {BPoint(10, 10), BPoint(inf, 20)}},
        {"absurdly far", {BPoint(-1e30f, 0), BPoint(1e30f, 1e30f)}},
    };
    for (const Case& c : cases) {
        obj_free f;
        drag(f, c.path[0], {c.path[1]}, 20);
        EXPECT_EQ(f.state, obj_finished) << c.label;
        EXPECT_TRUE(contours_of(f).empty()) << c.label;
    }
}
