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

#include <sstream>

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

namespace {

// Every glyph of a font as fontTools reads it, instructions included
// (tests/tools/dump_glyphs.py), by glyph number without it.
std::vector<std::string> glyph_lines(const std::string& path) {
    std::string out;
    EXPECT_EQ(0, testing_support::run_command(
                     testing_support::python() + " " + testing_support::source_dir() +
                         "/tests/tools/dump_glyphs.py --instructions '" + path + "'",
                     &out));
    std::vector<std::string> lines;
    std::istringstream in(out);
    // fontTools' warnings (about the built font's dates) are left out.
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && isdigit((unsigned char)line[0]))
            lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

// Types `text` into the overview's search field and enters it: the glyph
// it names is selected and the cells take the keys.
void find_glyph(overview_window* w, const char* text) {
    BRect f = in(w, [&] {
        BRect r = w->findfield()->ConvertToScreen(w->findfield()->Bounds());
        r.OffsetBy(-w->Frame().left, -w->Frame().top);
        return r;
    });
    BPoint p(f.right - 20, (f.top + f.bottom) / 2);
    screen().mouse_down(w, p, 1, 0);
    screen().mouse_up(w, p);
    screen().key_down(w, "a", 0, B_COMMAND_KEY);
    for (const char* c = text; *c; c++)
        screen().key_down(w, std::string(1, *c).c_str());
    screen().key_down(w, "\n", B_ENTER);
}

// Selects `count` glyphs from the one `first` names, with Shift+Right.
void select_glyphs(running_app& run, overview_window* w, const char* first, int count) {
    find_glyph(w, first);
    run.idle();
    for (int i = 1; i < count; i++)
        screen().key_down(w, std::string(1, (char)B_RIGHT_ARROW).c_str(), 0, B_SHIFT_KEY);
    run.idle();
}

void overview_key(running_app& run, overview_window* w, const char* key) {
    screen().key_down(w, key, 0, B_COMMAND_KEY);
    run.idle();
}

} // namespace

TEST(OverviewApp, CopiedGlyphsPasteOntoTheSelectionAsOneStepOfTheFontsHistory) {
    fresh_config();
    std::string path = copy_of("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", temp_dir());
    const std::vector<std::string> before = glyph_lines(path);
    running_app run({path});
    overview_window* w = open_overview(run);
    ASSERT_NE(nullptr, w);
    // Two composites around a simple glyph, instructions in each, pasted
    // in place of three simple glyphs.
    select_glyphs(run, w, "#80", 3);
    ASSERT_EQ((std::vector<unsigned>{128, 129, 130}),
              in(w, [&] { return w->grid()->selection(); }));
    overview_key(run, w, "c");
    EXPECT_EQ("copied 3 glyphs", in(w, [&] { return w->notice(); }));
    select_glyphs(run, w, "#64", 3);
    overview_key(run, w, "v");
    run.idle();
    EXPECT_EQ("pasted 3 glyphs", in(w, [&] { return w->notice(); }));
    EXPECT_EQ("Undo Paste 3 glyphs", edit_label(run));

    // Undone and done again from the main window; saved.
    command_key(run, "z");
    EXPECT_EQ("Redo Paste 3 glyphs", edit_label(run, true));
    command_key(run, "Z", B_SHIFT_KEY);
    command_key(run, "s");
    const std::vector<std::string> after = glyph_lines(path);
    ASSERT_EQ(before.size(), after.size());
    for (size_t gid = 0; gid < before.size(); gid++) {
        SCOPED_TRACE(gid);
        EXPECT_EQ(after[gid], gid >= 100 && gid <= 102 ? before[gid + 28] : before[gid]);
    }
    // Advance widths stay; only the pasted glyphs' side bearings follow
    // their new outlines.
    std::string widths;
    ASSERT_EQ(0, testing_support::run_command(
                     testing_support::python() +
                         " -c \"from fontTools.ttLib import TTFont; "
                         "a=TTFont('/usr/share/fonts/truetype/dejavu/"
                         "DejaVuSans.ttf')['hmtx'].metrics; b=TTFont('" +
                         path +
                         "')['hmtx'].metrics; print(sorted(k for k in a if a[k][0]!=b[k][0] or "
                         "(a[k][1]!=b[k][1] and k not in ('cent','sterling','currency'))))\"",
                     &widths));
    EXPECT_EQ("[]\n", widths);
}

TEST(OverviewApp, APasteOfAnotherCountAsksAndOneFromAnotherEmIsScaled) {
    fresh_config();
    std::string dir = temp_dir();
    std::string source = copy_of("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", dir);
    {
        running_app run({source});
        overview_window* w = open_overview(run);
        ASSERT_NE(nullptr, w);
        select_glyphs(run, w, "#24", 2); // glyphs 36 and 37, 'A' and 'B'
        overview_key(run, w, "c");
    }
    std::string target = squares_font(dir);
    const std::vector<std::string> before = glyph_lines(target);
    running_app run({target});
    overview_window* w = open_overview(run);
    ASSERT_NE(nullptr, w);
    select_glyphs(run, w, "#1", 3);
    // Cancel pastes nothing; "Paste 2" the two onto the first two selected.
    for (const char* key : {"\x1b", "\n"}) {
        overview_key(run, w, "v");
        BWindow* q = run.wait_question("The clipboard holds 2 glyphs, and 3 are selected. Paste "
                                       "them onto the first 2 selected, in order?");
        ASSERT_NE(nullptr, q) << in(w, [&] { return w->notice(); });
        run.answer(q, key, key[0] == '\n' ? B_ENTER : B_ESCAPE);
        run.idle();
        if (key[0] == '\x1b') {
            EXPECT_EQ("Undo", edit_label(run)) << "nothing was pasted";
        }
    }
    EXPECT_EQ("Undo Paste 2 glyphs", edit_label(run));
    EXPECT_EQ("pasted 2 glyphs: scaled from 2048 to 1000 units/em",
              in(w, [&] { return w->notice(); }));
    command_key(run, "s");
    const std::vector<std::string> after = glyph_lines(target);
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[3], before[3]) << "the third selected glyph stays";
    // The scaled outlines: every coordinate of 'A' and 'B' times 1000/2048,
    // rounded half away from zero, as fontTools reads the saved font and
    // the original.
    std::string scaled;
    ASSERT_EQ(0, testing_support::run_command(
                     testing_support::python() +
                         " -c \"import math; from fontTools.ttLib import TTFont; "
                         "r=lambda v: int(math.copysign(math.floor(abs(v)*1000/2048+0.5),v)); "
                         "s=TTFont('/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf'); t=TTFont('" +
                         target +
                         "'); sg=s['glyf']; tg=t['glyf']; "
                         "print(all([(r(x),r(y)) for x,y in "
                         "sg[n].getCoordinates(sg)[0]]==[tuple(p) for p in "
                         "tg[t.getGlyphOrder()[i]].getCoordinates(tg)[0]] for i,n in "
                         "((1,'A'),(2,'B'))))\"",
                     &scaled));
    EXPECT_EQ("True\n", scaled);
}
