// The overview window driven as a user drives it: keys, clicks, the wheel
// and the search entry on the headless display, with the font changed
// under the host's lock between them as the main window changes it.
#include "overview_fixture.h"

#include "font/cmap.h"
#include "font/glyf.h"
#include "font/history.h"
#include "outline/glyph.h"

#include "font/font_builder.h"

#include <InterfaceDefs.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <algorithm>
#include <set>

using namespace overview_testing;
using testing_support::temp_dir;

namespace {

std::vector<unsigned> range(unsigned from, unsigned to) {
    std::vector<unsigned> r;
    for (unsigned g = from; g <= to; g++)
        r.push_back(g);
    return r;
}

// A small font: glyph 1 and 3 simple (squares), glyph 2 made of glyph 1,
// glyph 4 empty; characters A-D map to glyphs 1-4.
font_builder::bytes square_font() {
    using namespace font_builder;
    auto square = [](int x0, int y0, int x1, int y1) {
        bytes b;
        add16(b, 1);
        add16(b, (uint32_t)(int16_t)x0);
        add16(b, (uint32_t)(int16_t)y0);
        add16(b, (uint32_t)(int16_t)x1);
        add16(b, (uint32_t)(int16_t)y1);
        add16(b, 3);
        add16(b, 0);
        for (int i = 0; i < 4; i++)
            b.push_back(0x01);
        int xs[4] = {x0, x0, x1, x1}, ys[4] = {y0, y1, y1, y0};
        int px = 0, py = 0;
        for (int x : xs) {
            add16(b, (uint32_t)(int16_t)(x - px));
            px = x;
        }
        for (int y : ys) {
            add16(b, (uint32_t)(int16_t)(y - py));
            py = y;
        }
        return b;
    };
    std::vector<table> t = font_tables({square(100, 0, 400, 300),
                                        square(100, 0, 400, 300),
                                        composite_glyph({1}),
                                        square(50, 50, 450, 700),
                                        {}});
    *find_table(t, "cmap") =
        cmap_table({{3, 1, 0}}, {format4_subtable({{0x41, 0x44, (uint16_t)(1 - 0x41), {}}})});
    return sfnt(t);
}

std::string write_font(const font_builder::bytes& b, const char* name) {
    std::string path = temp_dir() + "/" + name;
    testing_support::write_file(path, b);
    return path;
}

} // namespace

TEST(OverviewWindow, FirstScreenDecodesTheVisibleCellsAndNoOther) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    EXPECT_STREQ("Glyphs \xE2\x80\x94 DejaVuSans.ttf", o.window->Title());
    int first, last;
    o.locked([&] {
        o.grid()->visible_range(&first, &last);
        return 0;
    });
    ASSERT_EQ(0, first);
    ASSERT_GT(last, 20);
    std::vector<unsigned> painted = o.locked([&] { return o.grid()->painted(); });
    std::sort(painted.begin(), painted.end());
    EXPECT_EQ(range(0, (unsigned)last), painted);
    // Glyphs 1 to 3 of DejaVu Sans are empty: nothing to decode there.
    EXPECT_EQ((uint64_t)last + 1 - 3, o.locked([&] { return o.grid()->decodes(); }));
}

TEST(OverviewWindow, KeysAndPointerMoveTheCursorAndSelect) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    const int cols = o.locked([&] { return o.grid()->columns(); });
    const int count = o.locked([&] { return o.grid()->model().count(); });
    auto cursor = [&] { return o.locked([&] { return o.grid()->model().cursor(); }); };
    auto selection = [&] { return o.locked([&] { return o.grid()->selection(); }); };

    struct step {
        const char* what;
        std::function<void()> act;
        int cursor;
        std::vector<unsigned> selected;
    };
    const std::vector<step> steps = {
        {"right", [&] { o.key("\x1d"); }, 1, {1}},
        {"down", [&] { o.key("\x1f"); }, 1 + cols, {(unsigned)(1 + cols)}},
        {"shift+right",
         [&] { o.key("\x1d", B_SHIFT_KEY); },
         2 + cols,
         {(unsigned)(1 + cols), (unsigned)(2 + cols)}},
        {"up", [&] { o.key("\x1e"); }, 2, {2}},
        {"click", [&] { o.click(5); }, 5, {5}},
        {"shift+click", [&] { o.click(8, B_SHIFT_KEY); }, 8, {5, 6, 7, 8}},
        {"ctrl+click", [&] { o.click(6, B_CONTROL_KEY); }, 6, {5, 7, 8}},
        {"end", [&] { o.key("\x04"); }, count - 1, {(unsigned)count - 1}},
        {"home", [&] { o.key("\x01", 0, 0x20); }, 0, {0}},
        {"page down", [&] { o.key("\x0c"); }, -1, {}},
    };
    for (const step& s : steps) {
        s.act();
        if (s.cursor < 0)
            continue;
        EXPECT_EQ(s.cursor, cursor()) << s.what;
        EXPECT_EQ(s.selected, selection()) << s.what;
    }
    // A page moves by the rows the view shows.
    int first, last;
    o.locked([&] {
        o.grid()->visible_range(&first, &last);
        return 0;
    });
    EXPECT_GT(cursor(), cols);
    EXPECT_EQ(0, cursor() % cols);
    EXPECT_GE(cursor(), first);
    EXPECT_LE(cursor(), last);
    // Ctrl+A, as the letter and as the control code the desktop sends.
    o.key("a", B_CONTROL_KEY);
    EXPECT_EQ((size_t)count, selection().size());
    o.click(3);
    o.key("\x01", B_CONTROL_KEY, 0x3c);
    EXPECT_EQ((size_t)count, selection().size());
}

TEST(OverviewWindow, DoubleClickAndReturnAskForTheGlyphInTheEditor) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    o.click(7, 0, 2);
    o.key("\x1d");
    o.key("\n");
    std::lock_guard<std::recursive_mutex> hold(host.lock);
    EXPECT_EQ((std::vector<unsigned>{7, 8}), host.shown);
}

TEST(OverviewWindow, ScrollBarWheelAndEndReachTheLastRow) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    BScrollBar* bar = dynamic_cast<BScrollBar*>(o.window->FindView("scroll"));
    ASSERT_NE(nullptr, bar);
    o.key("\x04");
    float lo, hi;
    o.locked([&] {
        bar->GetRange(&lo, &hi);
        return 0;
    });
    EXPECT_GT(hi, 10000);
    EXPECT_EQ(hi, o.locked([&] { return bar->Value(); }));
    int first, last;
    o.locked([&] {
        o.grid()->visible_range(&first, &last);
        return 0;
    });
    const int count = o.locked([&] { return o.grid()->model().count(); });
    EXPECT_EQ(count - 1, last);
    // Cells drawn along the way are only those shown.
    EXPECT_LT(o.locked([&] { return o.grid()->decodes(); }), (uint64_t)2 * (last - first + 1) + 10);
    // Three notches of the wheel up: three rows.
    float row = o.locked(
        [&] { return o.grid()->cell_rect(o.grid()->columns()).top - o.grid()->cell_rect(0).top; });
    screen().mouse_move(o.window, o.cell_point(last));
    screen().mouse_wheel(o.window, 0, -3);
    o.idle();
    EXPECT_FLOAT_EQ(hi - 3 * row, o.locked([&] { return bar->Value(); }));
    // Dragging the bar's thumb back to the top.
    o.locked([&] {
        bar->SetValue(0);
        return 0;
    });
    o.idle();
    o.locked([&] {
        o.grid()->visible_range(&first, &last);
        return 0;
    });
    EXPECT_EQ(0, first);
}

TEST(OverviewWindow, TypedSearchesJumpToTheGlyph) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    unsigned a, aring, eacute;
    {
        std::lock_guard<std::recursive_mutex> hold(host.lock);
        a = host.font->cmap->get_gno('A');
        aring = host.font->cmap->get_gno(0xC5);
        eacute = host.font->cmap->get_gno(0xE9);
    }
    BTextControl* find = o.window->findfield();
    struct search {
        const char* text;
        int glyph;
    } const searches[] = {
        {"U+00C5", (int)aring},    {"A", (int)a},         {"#10", 0x10},
        {"\xC3\xA9", (int)eacute}, {"Aring", (int)aring}, {"u+c5", (int)aring},
    };
    for (const search& s : searches) {
        o.locked([&] {
            find->MakeFocus(true);
            find->SetText("");
            return 0;
        });
        // Typed key by key, then committed with Enter.
        for (const char* p = s.text; *p;) {
            size_t n = ((unsigned char)*p < 0x80) ? 1 : ((unsigned char)*p >> 5) == 6 ? 2 : 3;
            std::string key(p, n);
            screen().key_down(o.window, key.c_str());
            p += n;
        }
        o.key("\n");
        EXPECT_EQ(std::vector<unsigned>{(unsigned)s.glyph}, o.locked([&] {
            return o.grid()->selection();
        })) << s.text;
        int first, last;
        o.locked([&] {
            o.grid()->visible_range(&first, &last);
            return 0;
        });
        int at = o.locked([&] { return o.grid()->model().index_of((unsigned)s.glyph); });
        EXPECT_TRUE(at >= first && at <= last) << s.text;
    }
    // Nothing found leaves the cursor where it was.
    o.locked([&] {
        find->MakeFocus(true);
        find->SetText("#zz");
        return 0;
    });
    o.key("\n");
    EXPECT_EQ(std::vector<unsigned>{aring}, o.locked([&] { return o.grid()->selection(); }));
}

TEST(OverviewWindow, ChangesRedrawOnlyTheCellsThatChanged) {
    test_host host;
    ASSERT_TRUE(host.load(write_font(square_font(), "squares.ttf")));
    open_overview o(&host);
    auto painted = [&] {
        return o.locked([&] {
            std::vector<unsigned> p = o.grid()->painted();
            o.grid()->painted().clear();
            std::sort(p.begin(), p.end());
            return p;
        });
    };
    auto ink = [&](int index) {
        // Dark pixels in the cell's glyph square.
        BRect r = o.locked([&] { return o.grid()->cell_rect(index); });
        BPoint at = o.locked([&] { return o.grid()->ConvertToParent(r.LeftTop()); });
        int dark = 0;
        int size = o.locked([&] { return o.grid()->cell_size(); });
        for (int y = 0; y < size; y++)
            for (int x = 0; x < (int)r.Width(); x++)
                dark += screen().pixel(o.window, (int32)at.x + x, (int32)at.y + y).red < 128;
        return dark;
    };
    EXPECT_EQ(range(0, 4), painted());
    int before1 = ink(1), before2 = ink(2), before3 = ink(3);
    EXPECT_GT(before1, 100);
    EXPECT_EQ(before1, before2); // the composite is its component
    EXPECT_EQ(0, ink(4));

    // Glyph 1 emptied: it and the composite made of it change, nothing else.
    o.change([](ttf* f) {
        f->history()->checkpoint("glyph 0001");
        glyph empty(1);
        ASSERT_EQ(0, f->set_glyph(1, &empty));
    });
    EXPECT_EQ((std::vector<unsigned>{1, 2}), painted());
    EXPECT_EQ(0, ink(1));
    EXPECT_EQ(0, ink(2));
    EXPECT_EQ(before3, ink(3));

    // Undo brings both back.
    o.change([](ttf* f) { ASSERT_TRUE(f->history()->undo()); });
    EXPECT_EQ((std::vector<unsigned>{1, 2}), painted());
    EXPECT_EQ(before1, ink(1));
    EXPECT_EQ(before2, ink(2));

    // A character mapped elsewhere: the cells whose first character changed.
    o.change([](ttf* f) { ASSERT_EQ(0, f->cmap->set_chr(0x41, 0x41, 4)); });
    EXPECT_EQ((std::vector<unsigned>{1, 4}), painted());
    EXPECT_EQ(0x42u, o.locked([&] { return o.grid()->model().first_code(2); }));
    EXPECT_EQ(0x41u, o.locked([&] { return o.grid()->model().first_code(4); }));
    EXPECT_EQ(char_map::no_char, o.locked([&] { return o.grid()->model().first_code(1); }));

    // A change that leaves the glyphs as they are redraws nothing.
    o.change([](ttf*) {});
    EXPECT_EQ(std::vector<unsigned>{}, painted());
}

TEST(OverviewWindow, AReplacedOrClosedFontRefillsOrEmptiesTheWindow) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host);
    o.key("\x04");
    ASSERT_TRUE(host.load(write_font(square_font(), "squares.ttf")));
    o.post(OVERVIEW_FONT);
    EXPECT_STREQ("Glyphs \xE2\x80\x94 squares.ttf", o.window->Title());
    EXPECT_EQ(5, o.locked([&] { return o.grid()->model().count(); }));
    EXPECT_EQ(0, o.locked([&] { return o.grid()->model().cursor(); }));
    EXPECT_LE(o.locked([&] { return o.grid()->cache().size(); }), 5u);
    {
        std::lock_guard<std::recursive_mutex> hold(host.lock);
        host.file.clear();
    }
    o.post(OVERVIEW_FONT);
    EXPECT_STREQ("Glyphs \xE2\x80\x94 Untitled", o.window->Title());
    {
        std::lock_guard<std::recursive_mutex> hold(host.lock);
        host.font.reset();
    }
    o.post(OVERVIEW_FONT);
    EXPECT_STREQ("Glyphs", o.window->Title());
    EXPECT_EQ(0, o.locked([&] { return o.grid()->model().count(); }));
    EXPECT_EQ(0u, o.locked([&] { return o.grid()->cache().size(); }));
}

TEST(OverviewWindow, TheCellCacheStaysWithinItsBudgetAtTheLargestCells) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_overview o(&host, 128, 1800, 1000);
    const int count = o.locked([&] { return o.grid()->model().count(); });
    // Page after page, until the cache has been full for a few pages.
    size_t most = 0;
    int full = 0;
    while (o.locked([&] { return o.grid()->model().cursor(); }) < count - 1 && full < 4) {
        o.key("\x0c"); // page down
        size_t now = o.locked([&] { return o.grid()->cache().bytes(); });
        most = std::max(most, now);
        full += now > o.grid()->cache().budget() * 9 / 10;
    }
    const cell_cache& cache = o.grid()->cache();
    EXPECT_LE(most, cache.budget());
    EXPECT_GT(most, cache.budget() / 2); // it was filled, not left empty
    EXPECT_LT(o.locked([&] { return cache.size(); }), (size_t)count);
}
