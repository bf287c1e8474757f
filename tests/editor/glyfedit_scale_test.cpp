// The glyph editor on a display scaled up: the canvas is drawn at device
// resolution (the same picture as at scale 1, finer), its overlay still
// comes off exactly, and a press at a point's place on the screen takes
// the same point as at scale 1.
#include "edit_fixture.h"

using namespace edit_testing;

namespace {

// Glyph 1: square A at canvas (100, 200)-(200, 300), square B at
// (250, 100)-(300, 150) and a curved contour on the right.
std::string shapes() {
    contour curve = {{320, 300}, {390, 300, false}, {390, 380}, {340, 390, false}};
    return editor_fixture::written(
        small_font({{}, simple_record({square(100, 100, 100), square(250, 250, 50), curve})}));
}

struct shown_shapes : editor_fixture {
    explicit shown_shapes(float scale) : editor_fixture(shapes(), scale) {
        if (!ready)
            return;
        zoom(1.3f);
        show_glyph(1);
    }
};

} // namespace

TEST(GlyfEditScale, TheCanvasAtScaleTwoIsTheSamePictureDrawnFiner) {
    std::vector<uint32> one;
    {
        shown_shapes ed(1);
        ASSERT_TRUE(ed.ready);
        ed.click(150, 250); // A selected: its point markers show
        one = ed.pixels();
        screenshot(ed.window, "glyph_canvas_scale_1");
    }
    shown_shapes ed(2);
    ASSERT_TRUE(ed.ready);
    ed.click(150, 250);
    std::vector<uint32> two = ed.pixels();
    screenshot(ed.window, "glyph_canvas_scale_2");
    // On the canvas nothing moved away from the outlines; on them the
    // curve and the markers are drawn at device resolution (measured: 4%
    // of the edge pixels differ from the enlarged small picture).
    scaled_comparison d = compare_scaled(one, 562, 512, two, 2, kit::pixel_rect{50, 0, 561, 511});
    EXPECT_EQ(d.flat_mismatches, 0);
    EXPECT_GT(d.edge_pixels, 4000);
    EXPECT_GT(d.edge_mismatches, 0);
    EXPECT_LT(d.edge_mismatches, d.edge_pixels / 12) << d.edge_mismatches;
    // The palette's text is hinted for its size, so a stem may land a
    // pixel further at twice the size; its icons are enlarged (measured:
    // 9% of the edge pixels differ).
    d = compare_scaled(one, 562, 512, two, 2, kit::pixel_rect{0, 0, 49, 511}, 2);
    EXPECT_EQ(d.flat_mismatches, 0);
    EXPECT_LT(d.edge_mismatches, d.edge_pixels / 5) << d.edge_mismatches;

    // Pointer feedback (a band, a dragged contour, markers) is inverted
    // at device resolution and comes off exactly.
    ed.drag(240, 90, 310, 160);
    ed.drag(150, 250, 140, 260, 1, 0, 7);
    ed.press(380, 20);
    ed.move(300, 60);
    std::vector<uint32> shown = ed.pixels();
    ed.send(GLYF_REDRAW);
    EXPECT_EQ(ed.pixels(), shown);
    ed.release(300, 60);
}

TEST(GlyfEditScale, APressOnAPointsPlaceTakesTheSamePointAtEveryScale) {
    bytes original, stored_at_one;
    for (float scale : {1.0f, 1.5f, 2.0f, 3.0f}) {
        SCOPED_TRACE(scale);
        shown_shapes ed(scale);
        ASSERT_TRUE(ed.ready);
        if (scale == 1)
            original = ed.record(1);
        // Select A, drag its point (200, 300) alone, then drag B whole.
        ed.click(150, 250);
        ed.drag(200, 300, 230, 330);
        ed.click(275, 125);
        ed.drag(275, 125, 255, 95);
        ed.send(GLYF_STORE);
        bytes stored = ed.record(1);
        if (scale == 1) {
            stored_at_one = stored;
            EXPECT_NE(stored, original);
            std::vector<BPoint> a = ed.points(0);
            ASSERT_EQ(a.size(), 4u);
            EXPECT_EQ(a[2], BPoint(230, 330));
            EXPECT_EQ(a[0], BPoint(100, 200));
            EXPECT_EQ(ed.points(1)[0], BPoint(230, 70));
        } else {
            EXPECT_EQ(stored, stored_at_one);
        }
    }
}
