// The program on a display scaled up: the main window shows each table's
// view as at scale 1, drawn finer, and the selector's tags are chosen by
// presses at their places on the screen.
#include "app_test_support.h"

using namespace app_testing;
using namespace kit_testing;

namespace {

// The main window's device pixels with table `tag` chosen by a press on
// its tag, at display scale `scale`.
std::vector<uint32> main_window_showing(const char* tag, float scale, BRect* bounds) {
    scoped_scale scaling(scale);
    running_app app({DEJAVU});
    std::vector<uint32> pixels;
    int k = app.index_of(tag);
    EXPECT_GE(k, 0) << tag;
    BPoint tagAt(10 + 30 * k + 5, SELECTOR_TOP + 25);
    app.click(BPoint(tagAt.x * scale, tagAt.y * scale));
    std::vector<ttf_table*> shown = app.shown_tables();
    EXPECT_EQ(shown.size(), 1u);
    if (shown.size() == 1) {
        EXPECT_EQ(shown[0]->tag, app.selector()->tags[k]) << tag;
    }
    locked(app.window(), [&] { *bounds = app.window()->Bounds(); });
    int32 w = bounds->IntegerWidth() + 1, h = bounds->IntegerHeight() + 1;
    screenshot(app.window(),
               std::string("main_window_") + tag + "_scale_" + std::to_string((int)(scale * 10)));
    return device_pixels(app.window(), kit::device_side(w, scale), kit::device_side(h, scale));
}

} // namespace

TEST(AppScale, TableViewsAtScaleTwoAreThePictureAtOneDrawnFiner) {
    for (const char* tag : {"head", "hmtx", "glyf", "name"}) {
        SCOPED_TRACE(tag);
        BRect oneBounds, twoBounds;
        std::vector<uint32> one = main_window_showing(tag, 1, &oneBounds);
        std::vector<uint32> two = main_window_showing(tag, 2, &twoBounds);
        ASSERT_EQ(oneBounds, twoBounds);
        int32 w = oneBounds.IntegerWidth() + 1, h = oneBounds.IntegerHeight() + 1;
        // Text is hinted for its size, so a stem may land a pixel further
        // at twice the size: flat means two pixels from any edge here.
        // Text is also anti-aliased afresh at the device size. Measured:
        // 3% (hmtx, glyf) to 26% (name, a page of text) of the edge
        // pixels differ.
        scaled_comparison d = compare_scaled(one, w, h, two, 2, kit::pixel_rect{}, 2);
        EXPECT_EQ(d.flat_mismatches, 0);
        EXPECT_GT(d.edge_pixels, 1000);
        EXPECT_LT(d.edge_mismatches, d.edge_pixels / 3) << d.edge_mismatches;
    }
}
