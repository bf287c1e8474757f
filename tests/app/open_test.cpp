// Opening fonts: by launch argument, by a drop (the first file that
// loads) and what a file that does not load leaves behind: the open font,
// an alert naming the file and a line on standard error.
#include "app_test_support.h"

#include <OS.h>

using namespace app_testing;
using namespace testing_support;

namespace {

// The tags of the font's directory, in order.
std::vector<uint32> directory_tags(const char* path) {
    std::vector<unsigned char> f = read_file(path);
    std::vector<uint32> tags;
    int n = f.size() >= 12 ? f[4] << 8 | f[5] : 0;
    for (int i = 0; i < n && 12 + 16 * i + 4 <= (int)f.size(); i++) {
        const unsigned char* e = &f[12 + 16 * i];
        tags.push_back((uint32)e[0] << 24 | (uint32)e[1] << 16 | (uint32)e[2] << 8 | e[3]);
    }
    return tags;
}

std::string junk_file(const std::string& dir, const char* name) {
    std::string path = dir + "/" + name;
    write_file(path, std::vector<unsigned char>(300, 0x41));
    return path;
}

// Dark (text) pixels of the selector's tag column k.
int text_pixels(running_app& run, int k, bool red) {
    int count = 0;
    for (int y = 40; y <= 52; y++)
        for (int x = 10 + 30 * k; x < 40 + 30 * k; x++) {
            rgb_color c = screen().pixel(run.window(), x, y);
            // Text is smoothed: count the pixels that are mostly ink.
            bool ink = red ? c.red > 200 && c.green < 90 && c.blue < 60
                           : c.red < 100 && c.green < 100 && c.blue < 100;
            if (ink)
                count++;
        }
    return count;
}

} // namespace

TEST(Open, LaunchArgumentOpensTheFontAndListsItsTagsInColumns) {
    std::string font = small_font(temp_dir());
    ASSERT_FALSE(font.empty());
    running_app run({font, DEJAVU});
    ASSERT_NE(curfont, nullptr);
    EXPECT_TRUE(run.app->fontshown());
    EXPECT_TRUE(canvasok);

    // Only the first launch file is opened; its tags are listed in
    // directory order.
    std::vector<uint32> tags = directory_tags(font.c_str());
    ASSERT_EQ(tags.size(), 10u);
    ASSERT_EQ(run.selector()->count, (int32)tags.size());
    for (size_t i = 0; i < tags.size(); i++)
        EXPECT_EQ(run.selector()->tags[i], tags[i]) << i;
    EXPECT_EQ(run.selector()->selected, -1);

    // Each tag is drawn in black in its own 30-pixel column from x = 10;
    // nothing right of the last one.
    for (int k = 0; k < run.selector()->count; k++)
        EXPECT_GT(text_pixels(run, k, false), 10) << "column " << k;
    EXPECT_EQ(text_pixels(run, run.selector()->count, false), 0);
    // No table is shown until one is chosen.
    EXPECT_TRUE(run.shown_tables().empty());
}

TEST(Open, ClickShowsExactlyThatTableAndMovesTheRedHighlight) {
    running_app run({small_font(temp_dir())});
    int head = run.index_of("head");
    int maxp = run.index_of("maxp");
    ASSERT_GE(head, 0);
    ASSERT_GE(maxp, 0);

    kit_testing::screenshot(run.window(), "app-opened");
    run.choose(head);
    kit_testing::screenshot(run.window(), "app-head");
    std::vector<ttf_table*> shown = run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (ttf_table*)curfont->head);
    EXPECT_EQ(run.selector()->selected, head);
    EXPECT_GT(text_pixels(run, head, true), 10);
    EXPECT_EQ(text_pixels(run, maxp, true), 0);
    EXPECT_EQ(run.window()->target, (BView*)curfont->head);

    run.choose(maxp);
    shown = run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (ttf_table*)curfont->maxp);
    EXPECT_EQ(text_pixels(run, head, true), 0);
    EXPECT_GT(text_pixels(run, maxp, true), 10);

    // The top 20 pixels of the strip and the space right of the last tag
    // do nothing.
    run.click(BPoint(10 + 30 * head + 5, SELECTOR_TOP + 5));
    run.click(BPoint(10 + 30 * run.selector()->count + 5, SELECTOR_TOP + 25));
    EXPECT_EQ(run.shown_tables()[0], (ttf_table*)curfont->maxp);
    EXPECT_EQ(run.selector()->selected, maxp);
}

TEST(Open, DropOpensTheFirstFileThatLoads) {
    std::string dir = temp_dir();
    std::string junk = junk_file(dir, "junk.ttf");
    running_app run;
    EXPECT_EQ(curfont, nullptr);
    EXPECT_EQ(run.selector()->count, 0);

    // Junk, then Liberation, then DejaVu: Liberation is opened and DejaVu
    // never tried; the junk file is reported.
    screen().drop_files(run.window(), BPoint(200, 150), {junk, LIBERATION, DEJAVU});
    EXPECT_EQ(run.dismiss_alerts(), 1);
    ASSERT_NE(curfont, nullptr);
    EXPECT_EQ(run.selector()->count, (int32)directory_tags(LIBERATION).size());
}

TEST(Open, FileThatDoesNotLoadKeepsTheOpenFontAndIsReported) {
    std::string dir = temp_dir();
    std::string junk = junk_file(dir, "not-a-font.ttf");
    running_app run({DEJAVU});
    run.choose(run.index_of("head"));
    ttf* before = curfont;
    int32 count = run.selector()->count;

    // Dropped on the shown head view, which lies over the work view.
    testing::internal::CaptureStderr();
    screen().drop_files(run.window(), BPoint(200, 300), {junk});
    EXPECT_EQ(run.dismiss_alerts(), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("not-a-font.ttf"), std::string::npos) << err;

    EXPECT_EQ(curfont, before);
    EXPECT_TRUE(run.app->fontshown());
    EXPECT_EQ(run.selector()->count, count);
    ASSERT_EQ(run.shown_tables().size(), 1u);
    EXPECT_EQ(run.shown_tables()[0], (ttf_table*)curfont->head);

    // A file that cannot even be opened is reported the same way.
    screen().drop_files(run.window(), BPoint(200, 300), {dir + "/missing.ttf"});
    EXPECT_EQ(run.dismiss_alerts(), 1);
    EXPECT_EQ(curfont, before);
}

TEST(Open, NewGivesAnEmptyContainerThatCannotBeSaved) {
    std::string dir = temp_dir();
    running_app run({DEJAVU});
    be_app_messenger.SendMessage('fine');
    run.idle();
    ASSERT_NE(curfont, nullptr);
    EXPECT_FALSE(run.app->fontshown());
    EXPECT_EQ(curfont->head, nullptr);
    EXPECT_EQ(run.selector()->count, 0);
    EXPECT_TRUE(run.shown_tables().empty());
    EXPECT_EQ(run.window()->target, (BView*)run.workview());

    // Between "New" and the set-up view's "set" a save writes nothing.
    BMessage save(B_SAVE_REQUESTED);
    entry_ref folder(dir.c_str());
    save.AddRef("directory", &folder);
    save.AddString("name", "new.ttf");
    be_app_messenger.SendMessage(&save);
    run.idle();
    EXPECT_FALSE(file_exists(dir + "/new.ttf"));
    EXPECT_TRUE(run.other_windows().empty());
}
