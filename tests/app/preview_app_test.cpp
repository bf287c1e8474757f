// The text preview in the running program: Alt+P, a glyph clicked in the
// preview shown in the outline editor, and the preview following the
// glyphs stored, undone and the fonts opened in the main window.
#include "canvas_support.h"

#include "app/window_link.h"
#include "overview/overview_messages.h"
#include "preview/preview_messages.h"
#include "preview/preview_sheet.h"
#include "preview/preview_window.h"

#include <TextControl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

using namespace app_testing;
using testing_support::temp_dir;

namespace {

// What the preview shows: every line's pixels (red channel), row by row,
// and where each line's glyphs stand.
struct shown_lines {
    std::vector<std::vector<uint8_t>> pixels;
    std::vector<std::vector<set_glyph>> glyphs;
    std::vector<int> widths;
};

shown_lines look(preview_window* w) {
    shown_lines out;
    std::vector<BPoint> origins;
    std::vector<int> heights;
    w->Lock();
    int right = (int)w->Bounds().right;
    for (size_t i = 0; i < w->sheet()->lines().size(); i++) {
        const set_line& line = w->sheet()->lines()[i];
        BPoint o = w->sheet()->ConvertToParent(
            BPoint(preview_sheet::label_width, w->sheet()->line_top(i)));
        origins.push_back(o);
        out.widths.push_back(std::min(line.width, right - (int)o.x + 1));
        heights.push_back(line.height);
        out.glyphs.push_back(line.glyphs);
    }
    w->Unlock();
    for (size_t i = 0; i < origins.size(); i++) {
        std::vector<uint8_t> px;
        for (int y = 0; y < heights[i]; y++)
            for (int x = 0; x < out.widths[i]; x++)
                px.push_back(
                    screen().pixel(w, (int32)origins[i].x + x, (int32)origins[i].y + y).red);
        out.pixels.push_back(px);
    }
    return out;
}

preview_window* find_preview(running_app& run) {
    for (BWindow* w : run.other_windows())
        if (preview_window* p = dynamic_cast<preview_window*>(w))
            return p;
    return nullptr;
}

std::string title_of(BWindow* w) {
    w->Lock();
    std::string t = w->Title();
    w->Unlock();
    return t;
}

TEST(PreviewApp, AltPOpensItAndItFollowsTheGlyphsStoredAndUndoneAndTheFontsOpened) {
    std::string dir = temp_dir();
    std::string path = copy_of("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", dir);
    ASSERT_FALSE(path.empty());
    canvas_app app(path, 0);
    ASSERT_NE(app.editor, nullptr);
    command_key(app.run, "p");
    preview_window* pv = find_preview(app.run);
    ASSERT_NE(pv, nullptr);
    EXPECT_EQ(title_of(pv), "Preview \xE2\x80\x94 font.ttf");
    command_key(app.run, "p");
    EXPECT_EQ(app.run.other_windows().size(), 1u) << "Alt+P again brings the same one up";

    // The text typed replaces the sample.
    BPoint entry;
    pv->Lock();
    BRect f = pv->textfield()->Frame();
    entry = pv->textfield()->Parent()->ConvertToParent(
        BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
    pv->Unlock();
    screen().mouse_down(pv, entry, 1, 0, 1);
    screen().mouse_up(pv, entry, 0);
    screen().key_down(pv, "a", 0, B_COMMAND_KEY);
    for (const char* c : {"H", "O", "H", "O"})
        screen().key_down(pv, c);
    app.run.idle();
    shown_lines before = look(pv);
    ASSERT_EQ(before.pixels.size(), 12u);
    ASSERT_EQ(before.glyphs[8].size(), 4u);
    const unsigned O = before.glyphs[8][1].gid;

    // A click on the O of the 24 px line shows it in the outline editor.
    BPoint o;
    pv->Lock();
    const set_glyph& g = pv->sheet()->lines()[8].glyphs[1];
    o = pv->sheet()->ConvertToParent(
        BPoint(preview_sheet::label_width + (g.left + g.right) / 2, pv->sheet()->line_top(8) + 10));
    pv->Unlock();
    screen().mouse_down(pv, o, 1, 0, 1);
    screen().mouse_up(pv, o, 0);
    app.run.idle();
    ASSERT_EQ(app.gno(), O);

    // The O emptied and stored: in every line exactly the O's columns
    // change, and each O's do.
    app.palette(GLYF_CLEAR);
    app.palette(GLYF_STORE);
    shown_lines after = look(pv);
    ASSERT_EQ(after.pixels.size(), 12u);
    for (size_t i = 0; i < 12; i++) {
        ASSERT_EQ(after.widths[i], before.widths[i]) << "the advance is kept";
        std::set<int> changed;
        for (size_t k = 0; k < before.pixels[i].size(); k++)
            if (before.pixels[i][k] != after.pixels[i][k])
                changed.insert((int)(k % (size_t)before.widths[i]));
        std::set<int> expected;
        for (const set_glyph& sg : before.glyphs[i])
            for (int x = sg.left; x < sg.right && x < before.widths[i]; x++)
                if (sg.gid == O)
                    expected.insert(x);
        for (int x : changed)
            EXPECT_TRUE(expected.count(x)) << "column " << x << " of line " << i;
        EXPECT_GT(changed.size(), expected.size() / 2) << "line " << i;
    }

    // Undo brings every pixel back.
    app.undo();
    shown_lines undone = look(pv);
    EXPECT_TRUE(undone.pixels == before.pixels);

    // Another font opened: the title and the lines follow.
    std::string other =
        copy_of("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", dir, "bold.ttf");
    ASSERT_FALSE(other.empty());
    screen().drop_files(app.run.window(), BPoint(200, 150), {other});
    app.run.idle();
    if (BWindow* q = app.run.save_question())
        app.run.answer(q, "d");
    EXPECT_EQ(title_of(pv), "Preview \xE2\x80\x94 bold.ttf");
    shown_lines bold = look(pv);
    ASSERT_EQ(bold.pixels.size(), 12u);
    EXPECT_FALSE(bold.pixels[8] == before.pixels[8]);
}

// The preview and the overview lock the main window to read the font; the
// program quits (a question about the changes answered on the way) while
// both are told of changes as fast as they read, and ends.
TEST(PreviewApp, QuittingWhileThePreviewAndTheOverviewReadTheFontEnds) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    ASSERT_FALSE(path.empty());
    canvas_app app(path, 36);
    ASSERT_NE(app.editor, nullptr);
    command_key(app.run, "p");
    command_key(app.run, "g");
    ASSERT_EQ(app.run.other_windows().size(), 2u);
    app.palette(GLYF_CLEAR);
    app.palette(GLYF_STORE);
    window_link* preview = app.run.window()->preview;
    window_link* overview = app.run.window()->overview;
    std::atomic<bool> stop{false};
    std::thread reads([&] {
        while (!stop) {
            preview->post(PREVIEW_CHANGED);
            overview->post(OVERVIEW_CHANGED);
            snooze(500);
        }
    });
    snooze(100000);
    app.run.quit();
    stop = true;
    reads.join();
    EXPECT_TRUE(app.run.join());
}

} // namespace
