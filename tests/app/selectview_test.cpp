// The selector strip on a real font: every tag drawn inside its own
// 30-pixel column with room before the next, tall enough to read, and
// still chosen by a click in its column.
#include "app_test_support.h"

using namespace app_testing;

namespace {

bool ink(rgb_color c) {
    return c.red < 160 && c.green < 160 && c.blue < 160;
}

// The ink of column k of the strip: which x offsets (0 ... 29) and how
// many rows hold any.
struct column_ink {
    std::vector<bool> xs = std::vector<bool>(30, false);
    int top = 100, bottom = -1;
};

column_ink ink_of(running_app& run, int k) {
    column_ink c;
    for (int y = SELECTOR_TOP; y <= SELECTOR_TOP + 32; y++)
        for (int dx = 0; dx < 30; dx++)
            if (ink(screen().pixel(run.window(), 10 + 30 * k + dx, y))) {
                c.xs[(size_t)dx] = true;
                c.top = std::min(c.top, y);
                c.bottom = std::max(c.bottom, y);
            }
    return c;
}

} // namespace

TEST(Selector, TagsOfARealFontFitTheirColumnsLegibly) {
    // DejaVu Sans lists MATH before OS/2 and maxp before name: at the
    // plain face's 10 points they ran into each other.
    running_app run({DEJAVU});
    ASSERT_GT(run.selector()->count, 15);
    kit_testing::screenshot(run.window(), "selector-dejavu");
    // The strip is 562 pixels wide: the columns that fit in it.
    for (int k = 0; k < run.selector()->count && 40 + 30 * k <= 562; k++) {
        SCOPED_TRACE(k);
        column_ink c = ink_of(run, k);
        // A gap of two pixels at the right of every column, ink in its
        // first pixels, letters at least 6 pixels high (the x-height of "name").
        EXPECT_FALSE(c.xs[28]);
        EXPECT_FALSE(c.xs[29]);
        EXPECT_TRUE(c.xs[0] || c.xs[1] || c.xs[2]);
        EXPECT_GE(c.bottom - c.top + 1, 6);
    }
    // The columns and their hit areas stay: the last pixel of a column
    // chooses its tag.
    int maxp = run.index_of("maxp");
    ASSERT_GE(maxp, 0);
    run.click(BPoint(10 + 30 * maxp + 29, SELECTOR_TOP + 25));
    EXPECT_EQ(run.selector()->selected, maxp);
    std::vector<ttf_table*> shown = run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (ttf_table*)curfont->maxp);
}

TEST(Selector, TagsWiderThanTheCondensedFaceAreDrawnSmaller) {
    running_app run;
    // The work view's list of tags, as it sends it for a font.
    BMessage list('tset');
    for (const char* tag : {"WWWW", "MMMM", "mmmm", "OS/2"})
        list.AddInt32("table", (int32)((uint32)(unsigned char)tag[0] << 24 |
                                       (uint32)(unsigned char)tag[1] << 16 |
                                       (uint32)(unsigned char)tag[2] << 8 | (unsigned char)tag[3]));
    BMessenger(run.selector()).SendMessage(&list);
    run.idle();
    kit_testing::screenshot(run.window(), "selector-wide-tags");
    for (int k = 0; k < 4; k++) {
        SCOPED_TRACE(k);
        column_ink c = ink_of(run, k);
        EXPECT_FALSE(c.xs[28]);
        EXPECT_FALSE(c.xs[29]);
        // Smaller, but not to nothing: "mmmm" keeps a 4-pixel x-height.
        EXPECT_GE(c.bottom - c.top + 1, 4);
    }
}

namespace {

// Pixels of the arrow at `arrow` (selector coordinates) that are black.
int black_pixels(running_app& run, BRect arrow) {
    int count = 0;
    for (int y = (int)arrow.top; y <= (int)arrow.bottom; y++)
        for (int x = (int)arrow.left; x <= (int)arrow.right; x++) {
            rgb_color c = screen().pixel(run.window(), x, (int)SELECTOR_TOP + y);
            if (c.red < 60 && c.green < 60 && c.blue < 60)
                count++;
        }
    return count;
}

} // namespace

// DejaVu Sans has 20 tables and the strip room for 13 columns: its arrows
// and the wheel scroll the columns so that post (and prep, a table without
// a view of its own) can be reached.
TEST(Selector, TagsThatDoNotFitAreScrolledIntoReach) {
    running_app run({DEJAVU});
    selectview* strip = run.selector();
    ASSERT_EQ(strip->count, 20);
    int32 columns = strip->shown_columns();
    ASSERT_LT(columns, 20);
    BRect back = strip->back_arrow(), forward = strip->forward_arrow();
    ASSERT_TRUE(back.IsValid() && forward.IsValid());
    // At the start only the forward arrow can be used.
    EXPECT_EQ(black_pixels(run, back), 0);
    EXPECT_GT(black_pixels(run, forward), 20);
    kit_testing::screenshot(run.window(), "selector-scroll-start");

    BPoint forwardAt((forward.left + forward.right) / 2, SELECTOR_TOP + 10);
    for (int i = 0; i < 30; i++)
        run.click(forwardAt);
    // As far as the last tag in the last whole column, no further.
    EXPECT_EQ(strip->first, 20 - columns);
    EXPECT_GT(black_pixels(run, back), 20);
    EXPECT_EQ(black_pixels(run, forward), 0);
    kit_testing::screenshot(run.window(), "selector-scroll-end");

    // The wheel over the strip moves a column per notch, within the same
    // bounds.
    screen().mouse_move(run.window(), BPoint(100, SELECTOR_TOP + 25));
    screen().mouse_wheel(run.window(), 0, -1);
    screen().mouse_wheel(run.window(), 0, -1);
    run.idle();
    EXPECT_EQ(strip->first, 20 - columns - 2);
    for (int i = 0; i < 5; i++)
        screen().mouse_wheel(run.window(), 0, 1);
    run.idle();
    EXPECT_EQ(strip->first, 20 - columns);

    // The last but one column now chooses post; showing it may widen the
    // window, and its tag is drawn in red wherever its column then is.
    run.choose(columns - 2);
    std::vector<ttf_table*> shown = run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->tag, tag_of("post"));
    EXPECT_EQ(strip->selected, 18);
    int column = 18 - strip->first;
    ASSERT_LT(column, strip->shown_columns());
    int red = 0;
    for (int y = 40; y <= 52; y++)
        for (int x = 10 + 30 * column; x < 40 + 30 * column; x++) {
            rgb_color c = screen().pixel(run.window(), x, y);
            if (c.red > 200 && c.green < 90 && c.blue < 60)
                red++;
        }
    EXPECT_GT(red, 10);
    kit_testing::screenshot(run.window(), "selector-post-chosen");

    // A wider window shows every column from the first and drops the
    // arrows.
    run.window()->Lock();
    run.window()->SetSizeLimits(0, 2000, 0, 2000);
    run.window()->ResizeTo(799, run.window()->Bounds().Height());
    run.window()->Unlock();
    run.idle();
    EXPECT_GE(strip->shown_columns(), 20);
    EXPECT_FALSE(strip->forward_arrow().IsValid());
    run.choose(17);
    EXPECT_EQ(strip->first, 0);
    ASSERT_EQ(run.shown_tables().size(), 1u);
    EXPECT_EQ(run.shown_tables()[0]->tag, tag_of("name"));
}
