// The glyph overview in the running program: opened with Alt+G, following
// the font through stored glyphs, undo, New and Open, showing a glyph in
// the outline editor on a double-click, and keeping its sizes between runs.
#include "canvas_support.h"
#include "edit_support.h"

#include "app/window_link.h"
#include "app/settings.h"
#include "editor/glyftoolview.h"
#include "overview/overview_grid.h"
#include "overview/overview_messages.h"
#include "overview/overview_window.h"

#include <ScrollBar.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

using namespace app_testing;
using testing_support::read_file;
using testing_support::temp_dir;

namespace {

// Settings go to a folder of the test's own.
std::string fresh_config() {
    std::string dir = temp_dir() + "/config";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    return dir;
}

std::vector<overview_window*> overviews(running_app& run) {
    std::vector<overview_window*> found;
    for (BWindow* w : run.other_windows())
        if (overview_window* o = dynamic_cast<overview_window*>(w))
            found.push_back(o);
    return found;
}

overview_window* open_overview(running_app& run) {
    command_key(run, "g");
    std::vector<overview_window*> found = overviews(run);
    return found.size() == 1 ? found[0] : nullptr;
}

template <typename F> auto in(BWindow* w, F step) {
    w->Lock();
    auto result = step();
    w->Unlock();
    return result;
}

std::vector<unsigned> painted(overview_window* w) {
    return in(w, [&] {
        std::vector<unsigned> p = w->grid()->painted();
        w->grid()->painted().clear();
        std::sort(p.begin(), p.end());
        return p;
    });
}

BPoint cell_point(overview_window* w, int index) {
    return in(w, [&] {
        BRect r = w->grid()->cell_rect(index);
        return w->grid()->ConvertToParent(BPoint((r.left + r.right) / 2, r.top + 10));
    });
}

} // namespace

TEST(OverviewApp, AltGOpensOneOverviewOfTheOpenFont) {
    fresh_config();
    std::string path = squares_font(temp_dir());
    running_app run({path});
    overview_window* w = open_overview(run);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ("Glyphs \xE2\x80\x94 squares.ttf", in(w, [&] { return std::string(w->Title()); }));
    EXPECT_EQ(4, in(w, [&] { return w->grid()->model().count(); }));
    // Asked again, the same window comes to the front.
    command_key(run, "g");
    EXPECT_EQ(1u, overviews(run).size());
    // The selection as the main window's operations see it: a click and a
    // Shift+click; none once the overview has closed.
    window_link* link = run.window()->overview;
    for (int index : {1, 3}) {
        BPoint p = cell_point(w, index);
        screen().mouse_down(w, p, 1, index == 3 ? B_SHIFT_KEY : 0);
        screen().mouse_up(w, p);
    }
    run.idle();
    EXPECT_EQ((std::vector<unsigned>{1, 2, 3}), link->selection());
    screen().close_window(w);
    run.idle();
    EXPECT_TRUE(overviews(run).empty());
    EXPECT_EQ(std::vector<unsigned>{}, link->selection());
}

TEST(OverviewApp, DoubleClickShowsTheGlyphInTheEditorAndThePaletteLeadsTheOverview) {
    fresh_config();
    canvas_app c(squares_font(temp_dir()), 0);
    overview_window* w = open_overview(c.run);
    ASSERT_NE(nullptr, w);
    // Another table shown first: the double-click brings the editor back.
    c.run.choose(c.run.index_of("head"));
    BPoint p = cell_point(w, 2);
    screen().mouse_down(w, p, 1, 0, 1);
    screen().mouse_up(w, p);
    screen().mouse_down(w, p, 1, 0, 2);
    screen().mouse_up(w, p);
    c.run.idle();
    EXPECT_EQ(2, in(c.run.window(), [&] { return (int)c.editor->gno; }));
    EXPECT_FALSE(in(c.run.window(), [&] { return curfont->glyf->IsHidden(); }));
    glyftoolview* palette = dynamic_cast<glyftoolview*>(curfont->glyf->toolview);
    ASSERT_NE(nullptr, palette);
    EXPECT_EQ(2, in(c.run.window(), [&] { return (int)palette->gno; }));
    EXPECT_EQ(2, in(w, [&] { return w->grid()->editor_glyph(); }));
    // A glyph chosen on the palette is highlighted in the overview.
    c.show(3);
    EXPECT_EQ(3, in(w, [&] { return w->grid()->editor_glyph(); }));
    EXPECT_EQ(3, in(w, [&] { return w->grid()->model().cursor(); }));
}

TEST(OverviewApp, StoredGlyphsUndoAndRedoRedrawTheirCellsOnly) {
    fresh_config();
    canvas_app c(squares_font(temp_dir()), 1);
    overview_window* w = open_overview(c.run);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ((std::vector<unsigned>{0, 1, 2, 3}), painted(w));
    // Glyph 1 emptied and stored: it and the composite made of it change.
    c.palette(GLYF_CLEAR);
    c.palette(GLYF_STORE);
    EXPECT_EQ((std::vector<unsigned>{1, 2}), painted(w));
    c.undo();
    EXPECT_EQ((std::vector<unsigned>{1, 2}), painted(w));
    c.redo();
    EXPECT_EQ((std::vector<unsigned>{1, 2}), painted(w));
    // Showing another glyph in the editor changes no glyph.
    c.show(3);
    EXPECT_EQ(std::vector<unsigned>{}, painted(w));
}

TEST(OverviewApp, NewEmptiesAndOpenRefillsTheOverview) {
    fresh_config();
    running_app run({squares_font(temp_dir())});
    overview_window* w = open_overview(run);
    ASSERT_NE(nullptr, w);
    command_key(run, "n");
    EXPECT_EQ("Glyphs", in(w, [&] { return std::string(w->Title()); }));
    EXPECT_EQ(0, in(w, [&] { return w->grid()->model().count(); }));
    screen().drop_files(run.window(), BPoint(100, 100), {DEJAVU});
    run.idle();
    EXPECT_EQ("Glyphs \xE2\x80\x94 DejaVuSans.ttf", in(w, [&] { return std::string(w->Title()); }));
    EXPECT_GT(in(w, [&] { return w->grid()->model().count(); }), 5000);
}

TEST(OverviewApp, WindowAndCellSizeAreRememberedBetweenRuns) {
    std::string config = fresh_config();
    std::string path = squares_font(temp_dir());
    {
        running_app run({path});
        overview_window* w = open_overview(run);
        ASSERT_NE(nullptr, w);
        screen().key_down(w, "+");
        run.idle();
        in(w, [&] {
            w->ResizeTo(499, 399);
            return 0;
        });
        run.idle();
        EXPECT_EQ(72, in(w, [&] { return w->grid()->cell_size(); }));
        screen().close_window(w);
        run.idle();
        EXPECT_TRUE(overviews(run).empty());
    }
    std::vector<unsigned char> file = read_file(config + "/tavrel/settings");
    std::string text(file.begin(), file.end());
    EXPECT_NE(std::string::npos, text.find("overview.cell=72\n")) << text;
    running_app again({path});
    overview_window* w = open_overview(again);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ(72, in(w, [&] { return w->grid()->cell_size(); }));
    BRect f = in(w, [&] { return w->Frame(); });
    EXPECT_EQ(499, f.Width());
    EXPECT_EQ(399, f.Height());
}

TEST(OverviewApp, ScrollingWhileGlyphsAreStoredKeepsEveryCellTrue) {
    // Run under ThreadSanitizer too: the overview reads the font from its
    // own thread while the main window's thread stores glyphs.
    fresh_config();
    canvas_app c(squares_font(temp_dir()), 1);
    overview_window* w = open_overview(c.run);
    ASSERT_NE(nullptr, w);
    std::atomic<bool> done{false};
    std::thread scroller([&] {
        const char* keys[] = {"\x0c", "\x0b", "\x04", "\x01", "\x1f", "\x1e"};
        for (int i = 0; !done; i++) {
            screen().key_down(w, keys[i % 6], keys[i % 6][0] == 1 ? 0x20 : 0);
            screen().mouse_wheel(w, 0, i % 2 ? 1 : -1);
            // Paced by the overview (slow under a sanitizer): the next
            // input once it has taken these, and a pause in which the
            // program can be seen idle between two stores.
            BMessage reply;
            BMessenger(w).SendMessage('ping', &reply);
            snooze(2000);
        }
    });
    for (int i = 0; i < 40; i++) {
        c.show(1 + i % 2);
        c.palette(GLYF_CLEAR);
        c.palette(GLYF_STORE);
        if (i % 3 == 0)
            c.undo();
    }
    done = true;
    scroller.join();
    c.run.idle();
    // Whatever the order, every cell drawn now is what the font holds.
    in(w, [&] {
        w->grid()->painted().clear();
        return 0;
    });
    w->PostMessage(OVERVIEW_CHANGED);
    c.run.idle();
    EXPECT_EQ(std::vector<unsigned>{}, painted(w));
}
