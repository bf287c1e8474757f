// Drawing contours and glyphs, checked by the pixels they leave.
#include "kit/kit_test_support.h"
#include "outline_builders.h"

#include <Shape.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>

using namespace kit_testing;

namespace {

using pixel_set = std::set<std::pair<int, int>>;

// A black 120 x 120 window that the test draws into while it is locked,
// as the glyph editor draws from its message handlers.
struct board {
    BWindow* window;
    BView* view;

    board() {
        window = open_window(119, 119);
        view = new paint_view(BRect(0, 0, 119, 119));
        view->SetViewColor(0, 0, 0);
        locked(window, [&] { window->AddChild(view); });
        screen().wait_idle();
    }
    ~board() { close(window); }

    void draw(const std::function<void(BView*)>& step) {
        locked(window, [&] {
            step(view);
            view->Sync();
        });
        screen().wait_idle();
    }
    void clear() {
        draw([](BView* v) {
            v->SetLowColor(0, 0, 0);
            v->FillRect(v->Bounds(), B_SOLID_LOW);
        });
    }
    pixel_set pixels(uint32 color) {
        pixel_set found;
        for (int y = 0; y < 120; y++)
            for (int x = 0; x < 120; x++)
                if (rgb(window, x, y) == color)
                    found.insert({x, y});
        return found;
    }
    std::vector<uint32> snapshot() {
        std::vector<uint32> all;
        for (int y = 0; y < 120; y++)
            for (int x = 0; x < 120; x++)
                all.push_back(rgb(window, x, y));
        return all;
    }
};

const uint32 kRed = 0xff0000;
const uint32 kWhite = 0xffffff;

int neighbours(const pixel_set& s, std::pair<int, int> p) {
    int n = 0;
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if ((dx || dy) && s.count({p.first + dx, p.second + dy}))
                n++;
    return n;
}

} // namespace

TEST(ShapeDraw, ThreePointContourDrawsExactlyItsLineAndCubicPath) {
    board b;
    shape* s = make_shape({{10, 10, 0}, {110, 10, 1}, {110, 110, 0}});
    b.draw([&](BView* v) { s->draw(v, 0xff0000); });
    pixel_set drawn = b.pixels(kRed);

    b.clear();
    b.draw([](BView* v) {
        BShape path;
        path.MoveTo(BPoint(10, 10));
        path.BezierTo(BPoint(10 + 200.0f / 3, 10), BPoint(110, 10 + 100.0f / 3), BPoint(110, 110));
        path.LineTo(BPoint(10, 10));
        v->SetHighColor(255, 0, 0);
        v->StrokeShape(&path);
    });
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, b.pixels(kRed));
    delete s;
}

TEST(ShapeDraw, AllOffCurveContourIsASmoothClosedCurveThroughTheMidpoints) {
    board b;
    shape* s = make_shape({{10, 10, 1}, {90, 10, 1}, {90, 90, 1}, {10, 90, 1}});
    b.draw([&](BView* v) { s->draw(v, 0xff0000); });
    pixel_set curve = b.pixels(kRed);
    for (auto mid : {std::pair{50, 10}, {90, 50}, {50, 90}, {10, 50}})
        EXPECT_TRUE(curve.count(mid)) << mid.first << "," << mid.second;
    // Rounded off: the control points themselves are not reached.
    for (auto corner : {std::pair{10, 10}, {90, 10}, {90, 90}, {10, 90}})
        EXPECT_FALSE(curve.count(corner));
    // Closed and unbroken: every pixel continues on both sides.
    for (auto p : curve)
        EXPECT_GE(neighbours(curve, p), 2) << p.first << "," << p.second;
    delete s;
}

TEST(ShapeDraw, AllOnCurveContourIsTheClosedPolygon) {
    board b;
    shape* s = make_shape({{10, 10, 0}, {100, 30, 0}, {60, 100, 0}});
    b.draw([&](BView* v) { s->draw(v, 0xff0000); });
    pixel_set drawn = b.pixels(kRed);
    b.clear();
    b.draw([](BView* v) {
        BShape path;
        path.MoveTo(BPoint(10, 10));
        path.LineTo(BPoint(100, 30));
        path.LineTo(BPoint(60, 100));
        path.Close();
        v->SetHighColor(255, 0, 0);
        v->StrokeShape(&path);
    });
    EXPECT_EQ(drawn, b.pixels(kRed));
    delete s;
}

TEST(ShapeDraw, WithoutAColourTheOutlineShowsItsOrientationAndStateIsKept) {
    board b;
    shape* clockwise = make_square(10, 10, 40);
    shape* counter = make_shape({{60, 60, 0}, {60, 100, 0}, {100, 100, 0}, {100, 60, 0}});
    b.draw([&](BView* v) {
        v->SetHighColor(1, 2, 3);
        clockwise->draw(v, 0);
        counter->draw(v, 0);
        EXPECT_EQ(v->HighColor(), (rgb_color{1, 2, 3, 255}));
    });
    EXPECT_TRUE(b.pixels(kWhite).count({30, 10}));
    EXPECT_TRUE(b.pixels(0x6464ff).count({80, 100}));
    delete clockwise;
    delete counter;
}

TEST(ShapeDraw, MarkersAreInvertedAndOnlyForASelectedContour) {
    board b;
    shape* s = make_shape({{20, 20, 0}, {60, 20, 1}, {60, 60, 0}});
    std::vector<uint32> before = b.snapshot();
    b.draw([&](BView* v) { s->drawframe(v, 2); });
    EXPECT_EQ(b.snapshot(), before); // not selected: nothing

    s->selected = -1;
    b.draw([&](BView* v) { s->drawframe(v, 2); });
    pixel_set marks = b.pixels(kWhite);
    // A 5 x 5 square at each on-curve point, a disc at the off-curve one.
    for (int y = 18; y <= 22; y++)
        for (int x = 18; x <= 22; x++)
            EXPECT_TRUE(marks.count({x, y}));
    EXPECT_TRUE(marks.count({60, 20}));
    EXPECT_FALSE(marks.count({58, 18}));
    EXPECT_TRUE(marks.count({62, 62}));
    EXPECT_EQ(b.view->DrawingMode(), B_OP_COPY);

    b.draw([&](BView* v) { s->drawframe(v, 2); });
    EXPECT_EQ(b.snapshot(), before);
    delete s;
}

TEST(GlyphDraw, CompositeGlyphsShowMarkersOnlyOnTheirComponentRectangles) {
    board b;
    glyph g(1);
    glyph* part = new glyph(2);
    part->add_shape(make_shape({{50, 20, 0}, {80, 50, 0}, {50, 80, 0}, {20, 50, 0}}));
    ASSERT_EQ(g.add_compo(part, 0, 0, 0x4000, 0, 0, 0x4000), 0);
    g.create_composhape();
    ASSERT_EQ(g.count, 1);
    g.contours[0]->selected = -1;
    g.contours[1]->selected = -1;

    b.draw([&](BView* v) {
        g.draw(v, 0xff0000);
        g.drawframe(v, 1);
    });
    EXPECT_FALSE(screenshot(b.window, "composite_glyph").empty());
    pixel_set outline = b.pixels(kRed);
    pixel_set marks = b.pixels(kWhite);
    // The outline of the component is drawn...
    EXPECT_FALSE(outline.empty());
    EXPECT_TRUE(outline.count({35, 35}));
    // ...the markers sit on the rectangle's corners, not on its points.
    EXPECT_TRUE(marks.count({20, 20}));
    EXPECT_TRUE(marks.count({80, 80}));
    EXPECT_FALSE(marks.count({50, 20}));
    EXPECT_FALSE(marks.count({20, 50}));
}

TEST(GlyphDraw, SimpleGlyphsDrawEveryContourAndMarkTheSelectedOnes) {
    board b;
    glyph g(3);
    g.add_shape(make_square(10, 10, 20));
    g.add_shape(make_square(60, 60, 20));
    g.contours[1]->selected = -1;
    b.draw([&](BView* v) {
        g.draw(v, 0xff0000);
        g.drawframe(v, 1);
    });
    pixel_set red = b.pixels(kRed);
    pixel_set marks = b.pixels(kWhite);
    EXPECT_TRUE(red.count({20, 10}));
    EXPECT_TRUE(red.count({70, 80}));
    EXPECT_FALSE(marks.count({10, 10}));
    EXPECT_TRUE(marks.count({59, 59}));
    EXPECT_EQ(rgb(b.window, 60, 60), 0x00ffffu); // inverted red outline
    EXPECT_TRUE(marks.count({81, 81}));
}
