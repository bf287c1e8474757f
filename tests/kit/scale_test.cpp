// The display scale: where it comes from, and that windows drawn at a
// larger scale show the same picture in more pixels, with pointer input
// reaching the same views and places.
#include "kit_test_support.h"

#include <Bitmap.h>
#include <Shape.h>

#include <gtest/gtest.h>

#include <cmath>

using namespace kit_testing;

TEST(Scale, ComesFromTheFirstSensibleSourceInOrder) {
    struct row {
        const char* tavrel;
        const char* gdk;
        const char* dpi;
        float expected;
    };
    const row rows[] = {
        {nullptr, nullptr, nullptr, 1},
        {"", "", "", 1},
        {"2", "3", "288", 2}, // the override wins
        {"1.25", nullptr, nullptr, 1.25f},
        {" 1.5 ", nullptr, nullptr, 1.5f},
        {nullptr, "2", "96", 2}, // then the desktop's factor
        {nullptr, nullptr, "96", 1},
        {nullptr, nullptr, "120", 1}, // halfway: the smaller step
        {nullptr, nullptr, "130", 1.5f},
        {nullptr, nullptr, "144", 1.5f},
        {nullptr, nullptr, "192", 2},
        {nullptr, nullptr, "240", 2},
        {nullptr, nullptr, "250", 3},
        {nullptr, nullptr, "288", 3},
        {nullptr, nullptr, "480", 3},
        {nullptr, nullptr, "72", 1},
        {nullptr, nullptr, "96.0", 1},
        // Bad values pass to the next source, or give 1.
        {"garbage", "2", nullptr, 2},
        {"0", nullptr, "192", 2},
        {"-2", "-2", "-192", 1},
        {"1e9", "1e9", "1e9", 1},
        {"5", "5", "500", 1},
        {"0.5", nullptr, nullptr, 1},
        {"nan", "inf", "nan", 1},
        {"2x", "2 3", "192dpi", 1},
        {nullptr, "1.5", "144", 1.5f}, // the desktop's factor is whole
        {nullptr, "0", "0", 1},
        {nullptr, "99999999999999999999", "47", 1},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::string(r.tavrel ? r.tavrel : "-") + " / " + (r.gdk ? r.gdk : "-") +
                     " / " + (r.dpi ? r.dpi : "-"));
        EXPECT_EQ(kit::choose_scale(r.tavrel, r.gdk, r.dpi), r.expected);
    }
    for (float bad : {0.0f, -1.0f, NAN, INFINITY, 100.0f}) {
        kit::set_display_scale(bad);
        EXPECT_EQ(kit::display_scale(), 1.0f);
    }
    kit::set_display_scale(1);
}

namespace {

// Lines, rectangles, ellipses, curves, a filled polygon, thick pens, text,
// a bitmap and an overlay inverted twice: what the program's views draw.
void paint_sampler(BView* v, BBitmap* icon) {
    v->SetHighColor(0, 0, 0);
    v->FillRect(BRect(4, 4, 23, 13));
    v->StrokeRect(BRect(28, 4, 47, 13));
    v->StrokeLine(BPoint(52, 4), BPoint(71, 4));
    v->StrokeLine(BPoint(52, 8), BPoint(52, 20));
    v->StrokeLine(BPoint(56, 8), BPoint(75, 20));
    v->SetHighColor(200, 0, 0);
    v->StrokeEllipse(BRect(80, 4, 99, 19));
    v->FillEllipse(BRect(102, 4, 115, 15));
    BShape curve;
    curve.MoveTo(BPoint(4, 40));
    BPoint c[3] = {BPoint(14, 20), BPoint(30, 60), BPoint(40, 30)};
    curve.BezierTo(c);
    v->SetHighColor(0, 0, 200);
    v->StrokeShape(&curve);
    BShape poly;
    poly.MoveTo(BPoint(46, 28));
    poly.LineTo(BPoint(66, 34));
    poly.LineTo(BPoint(50, 46));
    poly.Close();
    v->FillShape(&poly);
    v->SetPenSize(3);
    v->SetHighColor(0, 120, 0);
    v->StrokeLine(BPoint(72, 28), BPoint(90, 44));
    v->SetPenSize(1);
    // A zoomed view, as the glyph canvas draws: coordinates scaled, thin
    // lines still one pixel.
    v->SetScale(2.5f);
    v->SetHighColor(0, 0, 0);
    v->StrokeRect(BRect(38, 12, 44, 17));
    v->SetScale(1);
    v->SetHighColor(0, 0, 0);
    v->SetFontSize(12);
    v->DrawString("Hag", BPoint(4, 64));
    v->DrawBitmap(icon, BPoint(40, 54));
    v->SetDrawingMode(B_OP_INVERT);
    for (int i = 0; i < 2; i++) {
        v->FillRect(BRect(60, 52, 70, 60));
        v->StrokeLine(BPoint(60, 64), BPoint(80, 70), B_MIXED_COLORS);
    }
    v->SetDrawingMode(B_OP_COPY);
}

} // namespace

TEST(Scale, WindowsDrawnLargerShowTheSamePictureInMorePixels) {
    const int32 width = 120, height = 80;
    BBitmap icon(BRect(0, 0, 7, 7), B_RGB32);
    uint32* bits = (uint32*)icon.Bits();
    for (int i = 0; i < 64; i++)
        bits[i] = (i / 8 + i % 8) % 3 ? 0x00ffcc44 : 0x00402000;
    auto shoot = [&](float scale, std::vector<uint32>* out) {
        scoped_scale scaling(scale);
        BWindow* window = open_window(width - 1, height - 1);
        paint_view* view = new paint_view(BRect(0, 0, width - 1, height - 1),
                                          [&](BView* v) { paint_sampler(v, &icon); });
        view->SetViewColor(255, 255, 255);
        locked(window, [&] { window->AddChild(view); });
        ASSERT_TRUE(screen().wait_idle());
        screenshot(window, "scale_sampler_" + std::to_string(scale));
        *out =
            device_pixels(window, kit::device_side(width, scale), kit::device_side(height, scale));
        close(window);
    };
    std::vector<uint32> one;
    shoot(1, &one);
    for (float scale : {1.5f, 2.0f, 3.0f}) {
        SCOPED_TRACE(scale);
        std::vector<uint32> big;
        shoot(scale, &big);
        scaled_comparison d = compare_scaled(one, width, height, big, scale);
        // Nothing away from an edge moved; on the edges, lines, curves
        // and text are drawn at device resolution, so some pixels differ
        // from the enlarged small picture (measured: 14% at 2 and 3, 19%
        // at 1.5).
        EXPECT_EQ(d.flat_mismatches, 0);
        EXPECT_GT(d.edge_pixels, 1000);
        EXPECT_LT(d.edge_mismatches, d.edge_pixels / 4) << d.edge_mismatches;
        // Not a small picture enlarged: the diagonal is finer than the
        // enlarged one's steps.
        if (scale >= 2) {
            EXPECT_GT(d.edge_mismatches, 0);
        }
    }
}

namespace {

class press_view : public BView {
  public:
    explicit press_view(BRect frame) : BView(frame, "press", B_FOLLOW_NONE, B_WILL_DRAW) {}
    void MouseDown(BPoint where) override {
        presses++;
        last = where;
    }
    int presses = 0;
    BPoint last;
};

} // namespace

TEST(Scale, PointerPositionsAreDividedBackIntoTheViewsCoordinates) {
    scoped_scale scaling(2);
    BWindow* window = open_window(99, 99);
    press_view* target = new press_view(BRect(50, 50, 59, 59));
    locked(window, [&] { window->AddChild(target); });
    ASSERT_TRUE(screen().wait_idle());
    // The display's device pixels 100..119 are the view's logical 50..59.
    screen().mouse_down(window, BPoint(99, 99));
    screen().mouse_up(window, BPoint(99, 99));
    ASSERT_TRUE(screen().wait_idle());
    locked(window, [&] { EXPECT_EQ(target->presses, 0); });
    screen().mouse_down(window, BPoint(100, 101));
    screen().mouse_up(window, BPoint(100, 101));
    screen().mouse_down(window, BPoint(119, 119));
    screen().mouse_up(window, BPoint(119, 119));
    ASSERT_TRUE(screen().wait_idle());
    locked(window, [&] {
        EXPECT_EQ(target->presses, 2);
        EXPECT_EQ(target->last, BPoint(9.5f, 9.5f));
        BPoint where;
        uint32 buttons;
        target->GetMouse(&where, &buttons);
        EXPECT_EQ(where, BPoint(9.5f, 9.5f));
    });
    close(window);
}
