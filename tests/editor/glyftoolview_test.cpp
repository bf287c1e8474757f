// The outline palette driven as a user drives it: typing glyph numbers and
// characters, clicking its surface, icons, pen and zoom arrows, its mode,
// "set", "add" and "del" buttons and its component list, and what it
// shows of the edit view's reports.
#include "edit_fixture.h"

#include "editor/glyftoolview.h"

#include <Button.h>
#include <ListView.h>
#include <TextControl.h>

#include <cmath>

using namespace edit_testing;

namespace {

const uint32 AMBER = 0xFFCC44;

// Glyph 0 empty, 1 two squares, 2 one square with instructions, 3 a
// composite of 1 and 2.
bytes four_glyphs(int box = 400) {
    return small_font({{},
                       simple_record({square(100, 100, 100), square(250, 250, 50)}),
                       simple_record({square(50, 50, 60)}, {0xB0, 0x01, 0x00}),
                       font_builder::composite_glyph({1, 2})},
                      box);
}

struct palette_user {
    editor_fixture& ed;

    void click(BPoint where) {
        screen().mouse_move(ed.window, where);
        screen().mouse_down(ed.window, where);
        screen().mouse_up(ed.window, where);
        ed.idle();
    }
    // Replaces the text of the entry at `where` and presses Enter.
    void type(BPoint where, const std::string& text) {
        click(where);
        screen().key_down(ed.window, "a", 0, B_COMMAND_KEY);
        for (char c : text)
            screen().key_down(ed.window, std::string(1, c).c_str());
        screen().key_down(ed.window, "\n", B_ENTER);
        ed.idle();
    }
    void glyph(const std::string& text) { type(BPoint(35, 53), text); }
    void character(const std::string& text) { type(BPoint(35, 21), text); }
    void press(const char* name) {
        BPoint where(-1, -1);
        locked(ed.window, [&] {
            BView* b = ed.palette->FindView(name);
            if (b && !b->IsHidden())
                where = b->Frame().LeftTop() + BPoint(20, 10);
        });
        ASSERT_GE(where.x, 0) << name << " is not shown";
        click(where);
    }
    std::string text(BTextControl* control) {
        std::string t;
        locked(ed.window, [&] { t = control->Text(); });
        return t;
    }
    std::string mode_label() {
        std::string t;
        locked(ed.window, [&] { t = ed.palette->modebtn->Label(); });
        return t;
    }
    bool shown(const char* name) {
        bool s = false;
        locked(ed.window, [&] {
            BView* v = ed.palette->FindView(name);
            s = v && !v->IsHidden();
        });
        return s;
    }
};

// True when any pixel of the window in the box differs from `colour`.
bool any_other(edit_window* w, BRect box, uint32 colour) {
    for (int y = (int)box.top; y <= (int)box.bottom; y++)
        for (int x = (int)box.left; x <= (int)box.right; x++)
            if (rgb(w, x, y) != colour)
                return true;
    return false;
}

} // namespace

TEST(GlyfPalette, TypedNumbersAndCharactersChooseTheGlyphAndShowWhatItIs) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    EXPECT_EQ(user.text(ed.palette->gnoctl), "ffff");
    user.glyph("2");
    EXPECT_EQ(ed.editor->gno, 2);
    EXPECT_EQ(user.text(ed.palette->gnoctl), "0002");
    EXPECT_EQ(user.text(ed.palette->chrctl), "ffff");
    EXPECT_EQ(user.mode_label(), "clr");
    // Text that is no number chooses glyph 0.
    user.glyph("zz");
    EXPECT_EQ(ed.editor->gno, 0);
    EXPECT_EQ(user.mode_label(), "compo");

    // A number past 16 bits is refused and the entry shows the glyph again.
    user.glyph("1");
    user.glyph("10002");
    EXPECT_NE(ed.alert_text().find("ffff"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    EXPECT_EQ(ed.editor->gno, 1);
    EXPECT_EQ(user.text(ed.palette->gnoctl), "0001");
    user.character("fffff");
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    EXPECT_EQ(ed.editor->gno, 1);
}

TEST(GlyfPalette, CharactersAreLookedUpInARealFont) {
    editor_fixture ed("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    user.character("41");
    EXPECT_EQ(ed.editor->chr, 0x41);
    EXPECT_EQ(ed.editor->gno, 36); // DejaVu Sans maps 'A' to glyph 36
    EXPECT_EQ(user.text(ed.palette->gnoctl), "0024");
    EXPECT_EQ(user.text(ed.palette->chrctl), "0041");
    screenshot(ed.window, "palette_dejavu_A");
}

TEST(GlyfPalette, TheSurfaceStepsToTheNextGlyphAndWrapsToGlyphZero) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    // No glyph yet: 0xFFFF + 1 wraps to glyph 0.
    user.click(BPoint(10, 450 - 80));
    EXPECT_EQ(ed.editor->gno, 0);
    for (int expected : {1, 2, 3, 0}) {
        user.click(BPoint(10, 470));
        EXPECT_EQ(ed.editor->gno, expected);
    }
}

TEST(GlyfPalette, ToolIconsChooseTheToolAndShowWhichIsCurrent) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    user.glyph("1");
    // The pick icon is current: its paper is black, the pen's white.
    EXPECT_TRUE(any_other(ed.window, BRect(30, 100, 45, 115), 0x000000) &&
                rgb(ed.window, 30, 100) == 0x000000u);
    EXPECT_EQ(rgb(ed.window, 30, 118), 0xFFFFFFu);
    for (int k = 5; k >= 0; k--) {
        user.click(BPoint(38, 108 + 18 * k));
        EXPECT_EQ(ed.editor->tool, k);
        EXPECT_EQ(ed.palette->tool, k);
        EXPECT_EQ(rgb(ed.window, 30, 100 + 18 * k), 0x000000u) << k;
        int other = (k + 1) % 6;
        EXPECT_EQ(rgb(ed.window, 30, 100 + 18 * other), 0xFFFFFFu) << k;
    }
    // Between two icons is the palette's surface: the next glyph.
    user.click(BPoint(38, 117));
    EXPECT_EQ(ed.editor->gno, 2);
    EXPECT_EQ(ed.editor->tool, 0);
}

TEST(GlyfPalette, PenSizeStepsByFiveBetweenZeroAndAHundred) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    user.glyph("1");
    // The band answers whatever the tool; its arrows show with the pen.
    EXPECT_FALSE(any_other(ed.window, BRect(1, 300, 8, 307), AMBER));
    user.click(BPoint(45, 305));
    EXPECT_EQ(ed.editor->psize, 5);
    user.click(BPoint(38, 108 + 18));
    EXPECT_EQ(rgb(ed.window, 1, 300), 0xCC0000u);
    for (int i = 0; i < 25; i++)
        user.click(BPoint(45, 305));
    EXPECT_EQ(ed.editor->psize, 100);
    EXPECT_EQ(ed.palette->psize, 100);
    for (int i = 0; i < 19; i++)
        user.click(BPoint(4, 305));
    EXPECT_EQ(ed.editor->psize, 5);
    user.click(BPoint(4, 305));
    user.click(BPoint(4, 305));
    EXPECT_EQ(ed.editor->psize, 0);
}

TEST(GlyfPalette, ZoomArrowsStepByAFifthOfATenthWithinTheirBounds) {
    editor_fixture ed(editor_fixture::written(four_glyphs(2048)));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    EXPECT_FLOAT_EQ(ed.editor->scale, 0.2000027f);
    EXPECT_FLOAT_EQ(ed.palette->scale, 0.2000027f);
    float fit = ed.editor->scale;
    user.click(BPoint(45, 505));
    EXPECT_EQ(ed.editor->scale, (float)((double)fit + 0.05));
    user.click(BPoint(25, 505));
    EXPECT_EQ(ed.editor->scale, fit);
    // Down: 0.15, 0.10 (just above 0.1 in double precision), 0.05; then
    // no further.
    for (int i = 0; i < 5; i++)
        user.click(BPoint(4, 505));
    EXPECT_NEAR(ed.editor->scale, 0.05, 1e-5);
    EXPECT_GT(ed.editor->scale, 0);
    // Up to 2.0 and one step past it at most.
    for (int i = 0; i < 60; i++)
        user.click(BPoint(45, 505));
    EXPECT_GE(ed.editor->scale, 2.0f);
    EXPECT_LT(ed.editor->scale, 2.06f);
    float top = ed.editor->scale;
    user.click(BPoint(45, 505));
    EXPECT_EQ(ed.editor->scale, top);
}

TEST(GlyfPalette, ModeButtonClearsOrSwitchesToBuildingComposites) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    user.glyph("1");
    EXPECT_EQ(user.mode_label(), "clr");
    user.press("clr/simpl/compo");
    EXPECT_EQ(user.mode_label(), "compo");
    EXPECT_EQ(ed.contours(), 0);
    // The font keeps the glyph until "set".
    EXPECT_FALSE(ed.record(1).empty());

    // Composite building on the empty glyph 0: the icons make way for the
    // component controls. The cleared glyph 1 is given up when asked.
    user.glyph("0");
    EXPECT_EQ(ed.dismiss_alerts("d"), 1);
    EXPECT_FALSE(user.shown("components"));
    user.press("clr/simpl/compo");
    EXPECT_EQ(user.mode_label(), "simple");
    EXPECT_TRUE(user.shown("components"));
    EXPECT_TRUE(user.shown("add"));
    EXPECT_FALSE(any_other(ed.window, BRect(30, 104, 45, 115), AMBER));
    EXPECT_FALSE(any_other(ed.window, BRect(30, 136, 44, 151), 222 * 0x010101u));
    user.type(BPoint(35, 267), "2");
    user.press("add");
    user.type(BPoint(35, 267), "1");
    user.press("add");
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 2);
        EXPECT_EQ(curglyph->compo[0]->index, 2);
        EXPECT_EQ(curglyph->compo[1]->index, 1);
    });
    ASSERT_EQ(ed.palette->compos.size(), 2u);
    locked(ed.window, [&] {
        ASSERT_EQ(ed.palette->compolist->CountItems(), 2);
        EXPECT_STREQ(((BStringItem*)ed.palette->compolist->ItemAt(0))->Text(), "0002");
        EXPECT_STREQ(((BStringItem*)ed.palette->compolist->ItemAt(1))->Text(), "0001");
    });
    EXPECT_EQ(user.mode_label(), "clr");
    screenshot(ed.window, "palette_composite");

    // "del" needs a row; then removes that component.
    user.press("del");
    locked(ed.window, [&] { EXPECT_EQ(curglyph->ncompo, 2); });
    user.click(BPoint(20, 125));
    user.press("del");
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 1);
        EXPECT_EQ(curglyph->compo[0]->index, 1);
    });
    // "set" stores the composite of glyph 1 alone.
    user.press("set");
    bytes stored = ed.record(0);
    ASSERT_GE(stored.size(), 14u);
    EXPECT_EQ(font_builder::get16(stored, 0), 0xFFFF);
    EXPECT_EQ(font_builder::get16(stored, 12), 1);

    // A number past 16 bits adds nothing.
    user.type(BPoint(35, 267), "123456");
    user.press("add");
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    locked(ed.window, [&] { EXPECT_EQ(curglyph->ncompo, 1); });
}

TEST(GlyfPalette, LoadedCompositesListTheirComponentsAndSimpleGlyphsDoNot) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    user.glyph("3");
    EXPECT_TRUE(ed.palette->composite);
    EXPECT_TRUE(user.shown("components"));
    EXPECT_EQ(user.mode_label(), "clr");
    ASSERT_EQ(ed.palette->compos.size(), 2u);
    user.glyph("2");
    EXPECT_FALSE(ed.palette->composite);
    EXPECT_FALSE(user.shown("components"));
    EXPECT_TRUE(ed.palette->compos.empty());
}

TEST(GlyfPalette, TheEditViewsNoticeIsShownUnderTheEntries) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    palette_user user{ed};
    ed.zoom(1.0f);
    user.glyph("2");
    BRect notice(0, 64, 49, 98);
    EXPECT_FALSE(any_other(ed.window, notice, AMBER));
    // Moving the points of a glyph with instructions, then "set".
    ed.click(80, 310);
    ed.drag(80, 310, 90, 300);
    user.press("set");
    EXPECT_FALSE(ed.palette->notice.empty());
    EXPECT_TRUE(any_other(ed.window, notice, AMBER));
    screenshot(ed.window, "palette_notice");
    user.glyph("1");
    EXPECT_FALSE(any_other(ed.window, notice, AMBER));
}
