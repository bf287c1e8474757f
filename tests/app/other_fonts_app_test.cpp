// Fonts of other kinds than plain TrueType in the window: every tag of the
// directory reachable in the selector, the title of a variable font, the
// fvar view's axes and instances, and the notice shown for CFF outlines.
#include "app_test_support.h"

#include "font/cff.h"

using namespace app_testing;
using namespace testing_support;

namespace {

uint32 tag_number(const char* t) {
    return (uint32)(unsigned char)t[0] << 24 | (uint32)(unsigned char)t[1] << 16 |
           (uint32)(unsigned char)t[2] << 8 | (unsigned char)t[3];
}

// Clicks the tag in the selector, scrolling the strip with its forward
// arrow as a user would until the tag's column is in sight.
void choose_tag(running_app& run, const char* tag) {
    int index = run.index_of(tag);
    ASSERT_GE(index, 0) << tag << " is not listed";
    selectview* strip = run.selector();
    for (int i = 0; i < 100 && index >= strip->first + strip->shown_columns(); i++) {
        BRect forward = strip->forward_arrow();
        run.click(BPoint((forward.left + forward.right) / 2, SELECTOR_TOP + 10));
    }
    run.choose(index - strip->first);
    ASSERT_EQ(strip->selected, index) << tag;
}

// White pixels of the work view (text of a field list on black).
int white_pixels(running_app& run) {
    int count = 0;
    for (int y = (int)WORKVIEW_TOP; y < (int)WORKVIEW_TOP + 300; y++)
        for (int x = 0; x < 380; x++) {
            rgb_color c = screen().pixel(run.window(), x, y);
            count += c.red > 200 && c.green > 200 && c.blue > 200;
        }
    return count;
}

} // namespace

TEST(OtherFonts, EveryTableIsReachableAndViewsShowWhatTheFontHolds) {
    struct kind {
        const char* name;
        bool variable;
        const char* viewed; // a table with a view of its own
    };
    const kind KINDS[] = {
        {"variable", true, "fvar"}, {"tags", false, "Zq29"}, {"true", false, "head"},
        {"cff", false, "CFF "},     {"cff2", true, "CFF2"},
    };
    for (const kind& k : KINDS) {
        SCOPED_TRACE(k.name);
        std::string path = build_test_font(k.name);
        ASSERT_FALSE(path.empty());
        running_app run({path});
        ASSERT_NE(curfont, nullptr) << "the font did not open";
        int tables = byte_span(curfont->dir, 12).u16(4);
        EXPECT_EQ(run.selector()->count, tables);

        run.window()->Lock();
        std::string title = run.window()->Title();
        run.window()->Unlock();
        std::string leaf = path.substr(path.rfind('/') + 1);
        EXPECT_EQ(title, leaf + (k.variable ? " (variable)" : "") + " \u2014 tavrel");

        // The directory's last tag (post), past the strip's first columns.
        choose_tag(run, "post");
        std::vector<ttf_table*> shown = run.shown_tables();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0]->tag, tag_number("post"));
        // A table of a made-up tag has no view: nothing is shown.
        choose_tag(run, k.viewed);
        shown = run.shown_tables();
        bool made_up = k.viewed[0] == 'Z';
        ASSERT_EQ(shown.size(), made_up ? 0u : 1u);
        if (!made_up) {
            EXPECT_EQ(shown[0]->tag, tag_number(k.viewed));
            EXPECT_GT(white_pixels(run), 300) << "the view shows its text";
        }
        kit_testing::screenshot(run.window(), std::string("other-fonts-") + k.name);
    }
}

// The fvar view lists each axis and each named instance on a row of its
// own: the rows below the header hold text exactly as far as the font has
// axes and instances.
TEST(OtherFonts, FvarViewHasARowPerAxisAndInstance) {
    running_app run({build_test_font("variable")});
    ASSERT_NE(curfont, nullptr);
    choose_tag(run, "fvar");
    auto row_has_text = [&](int row) {
        int y0 = (int)WORKVIEW_TOP + 20 + 15 * row - 10;
        for (int y = y0; y < y0 + 12; y++)
            for (int x = 20; x < 300; x++) {
                rgb_color c = screen().pixel(run.window(), x, y);
                if (c.red > 200 && c.green > 200 && c.blue > 200)
                    return true;
            }
        return false;
    };
    // Seven header rows, a blank one, one axis, four instances.
    for (int row = 0; row < 7; row++)
        EXPECT_TRUE(row_has_text(row)) << row;
    EXPECT_FALSE(row_has_text(7));
    for (int row = 8; row < 13; row++)
        EXPECT_TRUE(row_has_text(row)) << row;
    EXPECT_FALSE(row_has_text(13));
}
