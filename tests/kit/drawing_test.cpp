#include "kit_test_support.h"

#include <Bitmap.h>
#include <Shape.h>

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

using namespace kit_testing;

namespace {

const uint32 kWhite = 0xffffff;
const uint32 kBlack = 0x000000;

// A window whose one view fills it, paints white, then runs `paint`.
struct canvas {
    BWindow* window;
    paint_view* view;

    explicit canvas(std::function<void(BView*)> paint, float width = 59, float height = 39) {
        window = open_window(width, height);
        view = new paint_view(BRect(0, 0, width, height), [paint](BView* v) {
            v->SetHighColor(0, 0, 0);
            if (paint)
                paint(v);
        });
        view->SetViewColor(255, 255, 255);
        locked(window, [&] { window->AddChild(view); });
        EXPECT_TRUE(screen().wait_idle());
    }
    ~canvas() { close(window); }

    // Runs `step` in the window's thread as part of handling a message,
    // the way the program draws outside Draw().
    void draw_now(const std::function<void(BView*)>& step) {
        locked(window, [&] {
            step(view);
            view->Sync();
        });
        EXPECT_TRUE(screen().wait_idle());
    }

    std::set<std::pair<int, int>> pixels_of(uint32 color) {
        std::set<std::pair<int, int>> found;
        BRect b = window->Bounds();
        for (int y = 0; y <= b.bottom; y++)
            for (int x = 0; x <= b.right; x++)
                if (rgb(window, x, y) == color)
                    found.insert({x, y});
        return found;
    }

    std::vector<uint32> snapshot() {
        std::vector<uint32> all;
        BRect b = window->Bounds();
        for (int y = 0; y <= b.bottom; y++)
            for (int x = 0; x <= b.right; x++)
                all.push_back(rgb(window, x, y));
        return all;
    }
};

std::set<std::pair<int, int>> row(int y, int from, int to) {
    std::set<std::pair<int, int>> s;
    for (int x = from; x <= to; x++)
        s.insert({x, y});
    return s;
}

} // namespace

TEST(Drawing, OnePixelLinesIncludeBothEnds) {
    canvas c([](BView* v) {
        v->SetPenSize(0);
        v->StrokeLine(BPoint(0, 0), BPoint(10, 0));
    });
    EXPECT_EQ(c.pixels_of(kBlack), row(0, 0, 10));

    canvas d([](BView* v) { v->StrokeLine(BPoint(2, 2), BPoint(6, 6)); });
    std::set<std::pair<int, int>> diagonal;
    for (int i = 2; i <= 6; i++)
        diagonal.insert({i, i});
    EXPECT_EQ(d.pixels_of(kBlack), diagonal);
}

TEST(Drawing, RectanglesAreInclusive) {
    canvas fill([](BView* v) { v->FillRect(BRect(0, 0, 9, 9)); });
    auto filled = fill.pixels_of(kBlack);
    EXPECT_EQ(filled.size(), 100u);
    EXPECT_TRUE(filled.count({9, 9}));
    EXPECT_FALSE(filled.count({10, 9}));

    canvas stroke([](BView* v) { v->StrokeRect(BRect(2, 3, 6, 7)); });
    auto edges = stroke.pixels_of(kBlack);
    EXPECT_EQ(edges.size(), 16u); // the 5x5 rectangle's rim
    EXPECT_TRUE(edges.count({2, 3}));
    EXPECT_TRUE(edges.count({6, 7}));
    EXPECT_FALSE(edges.count({4, 5}));

    canvas low([](BView* v) {
        v->SetLowColor(255, 0, 0);
        v->FillRect(BRect(0, 0, 1, 0), B_SOLID_LOW);
    });
    EXPECT_EQ(low.pixels_of(0xff0000), row(0, 0, 1));
}

TEST(Drawing, RectanglesPartlyOutsideTheViewDrawTheirVisibleEdges) {
    // The left edge lies outside the view; the other three show.
    canvas stroke([](BView* v) { v->StrokeRect(BRect(-5, 2, 10, 8)); });
    std::set<std::pair<int, int>> want = row(2, 0, 10);
    for (auto p : row(8, 0, 10))
        want.insert(p);
    for (int y = 3; y < 8; y++)
        want.insert({10, y});
    EXPECT_EQ(stroke.pixels_of(kBlack), want);
}

TEST(Drawing, EllipsesStayInsideTheirRectangleAndTouchItsSides) {
    canvas c([](BView* v) { v->FillEllipse(BRect(10, 5, 30, 25)); });
    auto disc = c.pixels_of(kBlack);
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (auto [x, y] : disc) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
        // Symmetric about the centre (20, 15).
        EXPECT_TRUE(disc.count({40 - x, y}));
        EXPECT_TRUE(disc.count({x, 30 - y}));
    }
    EXPECT_EQ(minX, 10);
    EXPECT_EQ(maxX, 30);
    EXPECT_EQ(minY, 5);
    EXPECT_EQ(maxY, 25);
    EXPECT_FALSE(disc.count({10, 5})); // the corners stay out

    canvas ring([](BView* v) { v->StrokeEllipse(BRect(10, 5, 30, 25)); });
    auto rim = ring.pixels_of(kBlack);
    EXPECT_FALSE(rim.count({20, 15}));
    EXPECT_TRUE(rim.count({10, 15}));
    EXPECT_TRUE(rim.count({20, 25}));
    for (auto p : rim)
        EXPECT_TRUE(disc.count(p));
}

TEST(Drawing, InvertingTwiceRestoresEveryPixel) {
    canvas c([](BView* v) {
        v->SetHighColor(30, 120, 200);
        v->FillRect(BRect(0, 0, 29, 39));
        v->SetHighColor(0, 0, 0);
        v->DrawString("Ag", BPoint(32, 30));
    });
    std::vector<uint32> before = c.snapshot();
    auto overlay = [](BView* v) {
        v->SetDrawingMode(B_OP_INVERT);
        v->StrokeRect(BRect(3, 3, 50, 30), B_MIXED_COLORS);
        v->StrokeLine(BPoint(0, 39), BPoint(59, 0));
        v->FillEllipse(BRect(20, 10, 26, 16));
        v->FillRect(BRect(40, 5, 44, 9));
        BShape shape;
        shape.MoveTo(BPoint(5, 35));
        shape.BezierTo(BPoint(20, 0), BPoint(40, 40), BPoint(55, 5));
        shape.LineTo(BPoint(5, 5));
        shape.Close();
        v->StrokeShape(&shape);
        v->SetDrawingMode(B_OP_COPY);
    };
    c.draw_now(overlay);
    std::vector<uint32> drawn = c.snapshot();
    EXPECT_NE(drawn, before);
    // Inverting is exact: every changed pixel is the complement.
    for (size_t i = 0; i < before.size(); i++) {
        if (drawn[i] != before[i]) {
            EXPECT_EQ(drawn[i], before[i] ^ 0xffffff);
        }
    }
    c.draw_now(overlay);
    EXPECT_EQ(c.snapshot(), before);
}

TEST(Drawing, MixedColoursInvertEveryOtherPixel) {
    canvas c([](BView* v) {
        v->SetDrawingMode(B_OP_INVERT);
        v->StrokeLine(BPoint(0, 0), BPoint(7, 0), B_MIXED_COLORS);
        v->SetDrawingMode(B_OP_COPY);
    });
    auto inverted = c.pixels_of(kBlack);
    EXPECT_EQ(inverted.size(), 4u);
    for (auto [x, y] : inverted)
        EXPECT_EQ((x + y) % 2, 0);
}

TEST(Drawing, ClosedShapesDrawEachPixelOnce) {
    // In B_OP_INVERT a corner shared by two segments must not cancel out.
    canvas c([](BView* v) {
        BShape square;
        square.MoveTo(BPoint(5, 5));
        square.LineTo(BPoint(15, 5));
        square.LineTo(BPoint(15, 15));
        square.LineTo(BPoint(5, 15));
        square.Close();
        v->SetDrawingMode(B_OP_INVERT);
        v->StrokeShape(&square);
    });
    auto rim = c.pixels_of(kBlack);
    EXPECT_EQ(rim.size(), 40u);
    for (auto corner : {std::pair{5, 5}, {15, 5}, {15, 15}, {5, 15}})
        EXPECT_TRUE(rim.count(corner));
}

TEST(Drawing, BezierShapesPassThroughTheirEndsAndStayInTheirHull) {
    canvas c([](BView* v) {
        BShape s;
        s.MoveTo(BPoint(2, 30));
        s.BezierTo(BPoint(2, 2), BPoint(50, 2), BPoint(50, 30));
        v->StrokeShape(&s);
    });
    auto curve = c.pixels_of(kBlack);
    EXPECT_TRUE(curve.count({2, 30}));
    EXPECT_TRUE(curve.count({50, 30}));
    // The top of this symmetric curve is at t = 0.5: y = 30 - 0.75 * 28 = 9.
    EXPECT_TRUE(curve.count({26, 9}));
    for (auto [x, y] : curve) {
        EXPECT_GE(y, 9);
        EXPECT_LE(y, 30);
        // Mirror image, give or take the rounding of half pixels.
        EXPECT_TRUE(curve.count({52 - x, y}) || curve.count({51 - x, y}) ||
                    curve.count({53 - x, y}));
    }
    // A connected line: every pixel but the ends has a neighbour on each side.
    for (auto [x, y] : curve) {
        int neighbours = 0;
        for (int dy = -1; dy <= 1; dy++)
            for (int dx = -1; dx <= 1; dx++)
                if ((dx || dy) && curve.count({x + dx, y + dy}))
                    neighbours++;
        EXPECT_GE(neighbours, 1);
    }
}

TEST(Drawing, ScaleMultipliesCoordinatesButPenSizeZeroStaysOnePixel) {
    canvas c([](BView* v) {
        v->SetScale(4);
        v->SetPenSize(0);
        v->StrokeLine(BPoint(1, 1), BPoint(5, 1));
        v->FillRect(BRect(1, 3, 2, 4));
    });
    auto black = c.pixels_of(kBlack);
    auto expected = row(4, 4, 20);
    for (int y = 12; y <= 16; y++)
        for (int x = 4; x <= 8; x++)
            expected.insert({x, y});
    EXPECT_EQ(black, expected);

    canvas pushed([](BView* v) {
        v->SetScale(2);
        v->PushState();
        v->SetHighColor(255, 0, 0);
        v->SetScale(2); // relative to the state below: 4 in all
        v->FillRect(BRect(1, 1, 1, 1));
        v->PopState();
        v->FillRect(BRect(1, 1, 1, 1)); // black again, at scale 2
    });
    EXPECT_EQ(pushed.pixels_of(0xff0000), row(4, 4, 4));
    EXPECT_EQ(pushed.pixels_of(kBlack), row(2, 2, 2));
}

TEST(Drawing, ThickPensFollowCapsAndJoins) {
    canvas c([](BView* v) {
        v->SetPenSize(5);
        v->SetLineMode(B_BUTT_CAP, B_MITER_JOIN);
        v->StrokeLine(BPoint(10, 10), BPoint(40, 10));
        v->SetLineMode(B_ROUND_CAP, B_ROUND_JOIN);
        v->StrokeLine(BPoint(10, 30), BPoint(40, 30));
    });
    auto black = c.pixels_of(kBlack);
    // Butt caps end at the end points; round caps reach past them.
    EXPECT_TRUE(black.count({10, 8}));
    EXPECT_TRUE(black.count({10, 12}));
    EXPECT_FALSE(black.count({8, 10}));
    EXPECT_FALSE(black.count({10, 13}));
    EXPECT_TRUE(black.count({8, 30}));
    EXPECT_TRUE(black.count({42, 30}));
}

TEST(Drawing, ViewsDrawOnlyWhereTheyAreVisible) {
    canvas c(nullptr);
    paint_view* child = new paint_view(BRect(10, 10, 19, 19));
    child->SetViewColor(0, 255, 0);
    paint_view* hidden = new paint_view(BRect(30, 10, 39, 19));
    hidden->SetViewColor(0, 0, 255);
    c.draw_now([&](BView* v) {
        v->AddChild(child);
        v->AddChild(hidden);
        hidden->Hide();
    });
    EXPECT_EQ(c.pixels_of(0x00ff00).size(), 100u);
    EXPECT_TRUE(c.pixels_of(0x0000ff).empty());
    // The parent's drawing does not cover its child; the child's stays
    // inside its own frame; a hidden view draws nothing.
    c.draw_now([&](BView* v) {
        v->FillRect(v->Bounds());
        child->SetHighColor(255, 0, 0);
        child->FillRect(BRect(-100, -100, 100, 100));
        hidden->FillRect(hidden->Bounds());
    });
    EXPECT_EQ(c.pixels_of(0xff0000).size(), 100u);
    EXPECT_EQ(rgb(c.window, 9, 9), kBlack);
    EXPECT_EQ(rgb(c.window, 20, 20), kBlack);
    EXPECT_EQ(rgb(c.window, 35, 15), kBlack);
    // Showing it again repaints it with its view colour.
    c.draw_now([&](BView*) { hidden->Show(); });
    EXPECT_EQ(c.pixels_of(0x0000ff).size(), 100u);
}

TEST(Drawing, TextIsDrawnAtItsBaselineInTheHighColour) {
    canvas c(
        [](BView* v) {
            v->SetFont(be_bold_font);
            v->SetFontSize(20);
            v->DrawString("HH", BPoint(5, 30));
        },
        99, 39);
    float width = 0, plainWidth = 0;
    locked(c.window, [&] {
        width = c.view->StringWidth("HH");
        BFont plain(be_plain_font);
        plain.SetSize(20);
        plainWidth = plain.StringWidth("HH");
        EXPECT_EQ(c.view->PenLocation(), BPoint(5 + width, 30));
    });
    EXPECT_GT(width, 20);
    EXPECT_GT(width, plainWidth); // bold is wider
    auto ink = c.pixels_of(kBlack);
    ASSERT_FALSE(ink.empty());
    int minY = 1000, maxY = -1, minX = 1000, maxX = -1;
    for (auto [x, y] : ink) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    // Capitals sit on the baseline row and rise about the cap height.
    EXPECT_EQ(maxY, 30);
    EXPECT_GE(minY, 12);
    EXPECT_LE(minY, 17);
    EXPECT_GE(minX, 5);
    EXPECT_LE(maxX, 5 + width);
    // Anti-aliased: some pixels are between the colours.
    bool grey = false;
    for (int y = minY; y <= maxY; y++)
        for (int x = minX; x <= maxX; x++) {
            uint32 p = rgb(c.window, x, y);
            grey = grey || (p != kBlack && p != kWhite);
        }
    EXPECT_TRUE(grey);
}

TEST(Drawing, CharactersTheFontLacksAreDrawnInAFontThatHasThem) {
    // DejaVu Sans has no Han characters. Its missing-glyph box is 0.6 em
    // wide; a Han character from a font that has it is 1 em.
    const char* text = "a\xE6\xBC\xA2\xE5\xAD\x97" "b"; // a漢字b
    canvas c(
        [&](BView* v) {
            v->SetFontSize(20);
            v->DrawString(text, BPoint(5, 30));
        },
        119, 39);
    float han = 0, a = 0, b = 0, whole = 0;
    locked(c.window, [&] {
        han = c.view->StringWidth(text + 1, 6);
        a = c.view->StringWidth("a");
        b = c.view->StringWidth("b");
        whole = c.view->StringWidth(text);
    });
    EXPECT_GE(han, 36);
    EXPECT_LE(han, 42);
    EXPECT_NEAR(whole, a + han + b, 0.01);
    screenshot(c.window, "drawing-han");
    // Ink in both Han cells and after them, where "b" was placed.
    auto inked = [&](float from, float to) {
        int n = 0;
        for (int y = 10; y <= 34; y++)
            for (int x = (int)from; x < (int)to; x++)
                n += rgb(c.window, x, y) != kWhite;
        return n;
    };
    EXPECT_GT(inked(5 + a, 5 + a + han / 2), 30);
    EXPECT_GT(inked(5 + a + han / 2, 5 + a + han), 30);
    EXPECT_GT(inked(5 + a + han, 5 + a + han + b), 10);
}

TEST(Drawing, ViewsDrawIntoABitmapThatAWindowThenShows) {
    BBitmap bitmap(BRect(0, 0, 19, 9), B_RGB32, true);
    ASSERT_EQ(bitmap.InitCheck(), B_OK);
    EXPECT_EQ(bitmap.BytesPerRow(), 80);
    uint32* bits = (uint32*)bitmap.Bits();
    for (int i = 0; i < 200; i++)
        bits[i] = 0x00ffcc44;
    BView* painter = new BView(bitmap.Bounds(), "workview", B_FOLLOW_NONE, B_WILL_DRAW);
    ASSERT_TRUE(bitmap.Lock());
    bitmap.AddChild(painter);
    painter->SetHighColor(255, 0, 0);
    painter->FillRect(BRect(0, 0, 4, 4));
    painter->Sync();
    bitmap.RemoveChild(painter);
    delete painter;
    bitmap.Unlock();
    EXPECT_EQ(bits[0] & 0xffffff, 0xff0000u);
    EXPECT_EQ(bits[5] & 0xffffff, 0xffcc44u);

    canvas c([&](BView* v) { v->DrawBitmap(&bitmap, BPoint(10, 10)); });
    EXPECT_EQ(rgb(c.window, 10, 10), 0xff0000u);
    EXPECT_EQ(rgb(c.window, 29, 19), 0xffcc44u);
    EXPECT_EQ(rgb(c.window, 30, 19), kWhite);

    BBitmap wrong(BRect(0, 0, 9, 9), B_CMAP8);
    EXPECT_NE(wrong.InitCheck(), B_OK);
    EXPECT_EQ(wrong.Bits(), nullptr);
    BBitmap huge(BRect(0, 0, 1e9, 1e9), B_RGB32);
    EXPECT_NE(huge.InitCheck(), B_OK);
}

TEST(Drawing, HostileCoordinatesDrawNothingAndDoNotHang) {
    canvas c([](BView* v) {
        v->StrokeLine(BPoint(-1e30f, 5), BPoint(1e30f, 5));
        v->FillRect(BRect(0, 0, NAN, 10));
        v->StrokeEllipse(BRect(-1e9f, -1e9f, 1e9f, 1e9f));
        v->SetScale(1e-30f);
        v->FillRect(BRect(0, 0, 10, 10));
    });
    EXPECT_LE(c.pixels_of(kBlack).size(), 60u);
}

TEST(Drawing, ScreenshotIsAPngOfTheShownWindow) {
    canvas c(
        [](BView* v) {
            v->SetHighColor(200, 30, 30);
            v->FillEllipse(BRect(5, 5, 35, 35));
            v->SetHighColor(0, 0, 0);
            v->StrokeEllipse(BRect(40, 5, 70, 35));
            v->SetPenSize(3);
            v->SetLineMode(B_ROUND_CAP, B_ROUND_JOIN);
            BShape s;
            s.MoveTo(BPoint(80, 35));
            s.BezierTo(BPoint(80, 0), BPoint(120, 40), BPoint(120, 5));
            v->StrokeShape(&s);
            v->SetPenSize(0);
            v->SetDrawingMode(B_OP_INVERT);
            v->StrokeRect(BRect(2, 2, 125, 38), B_MIXED_COLORS);
            v->SetDrawingMode(B_OP_COPY);
            v->SetFont(be_bold_font);
            v->DrawString("tavrel kit", BPoint(8, 56));
            v->SetFont(be_plain_font);
            v->DrawString("plain 12 Ag", BPoint(8, 72));
        },
        129, 79);
    std::string path = screenshot(c.window, "kit_drawing");
    ASSERT_FALSE(path.empty());
    auto bytes = testing_support::read_file(path);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes[1], 'P');
    EXPECT_EQ(bytes[2], 'N');
    EXPECT_EQ(bytes[3], 'G');
}

TEST(Drawing, FilledPolygonsIncludeTheirOutline) {
    canvas outline(
        [](BView* v) { v->StrokeTriangle(BPoint(5, 5), BPoint(50, 12), BPoint(20, 35)); });
    canvas filled([](BView* v) { v->FillTriangle(BPoint(5, 5), BPoint(50, 12), BPoint(20, 35)); });
    auto edge = outline.pixels_of(kBlack);
    auto area = filled.pixels_of(kBlack);
    for (auto p : edge)
        EXPECT_TRUE(area.count(p)) << p.first << "," << p.second;
    EXPECT_GT(area.size(), edge.size() * 3);
    EXPECT_TRUE(area.count({25, 17}));
}

TEST(Drawing, BitmapsDrawnOverSkipTheirTransparentPixels) {
    BBitmap bitmap(BRect(0, 0, 1, 0), B_RGB32);
    uint32* bits = (uint32*)bitmap.Bits();
    bits[0] = 0x00ff0000;
    bits[1] = B_TRANSPARENT_MAGIC_RGBA32;
    canvas over([&](BView* v) {
        v->SetDrawingMode(B_OP_OVER);
        v->DrawBitmap(&bitmap, BPoint(3, 3));
    });
    EXPECT_EQ(rgb(over.window, 3, 3), 0xff0000u);
    EXPECT_EQ(rgb(over.window, 4, 3), kWhite);
    canvas copy([&](BView* v) { v->DrawBitmap(&bitmap, BPoint(3, 3)); });
    EXPECT_EQ(rgb(copy.window, 4, 3), 0x747477u);
}
