// Cut, copy and paste of outlines in the running application, driven as a
// user does: clicks on the canvas, Alt+X/C/V/A and the Edit menu, the
// records the font then holds, the saved file as fontTools reads it, and
// what the clipboard refuses.
#include "canvas_support.h"

#include "font/glyph_clip.h"
#include "kit/display/clipboard.h"

#include <Menu.h>
#include <MenuBar.h>

#include <array>
#include <cmath>

using namespace app_testing;
using namespace testing_support;

namespace {

const edit_testing::bytes HINTS = {0xB0, 0x02, 0x2E, 0x00, 0x01}; // PUSHB 2 MDAP[0]

// Glyph 1: two squares with instructions; glyph 2: made of glyph 1;
// glyphs 0, 3 and 4 are empty; glyph 5 is one small square. `upem` units
// per em.
std::string clip_font(const std::string& dir, unsigned upem, const char* name = "clip.ttf") {
    using namespace edit_testing;
    std::vector<font_builder::table> tables = font_builder::font_tables(
        {{},
         simple_record({square(100, 100, 100), square(250, 250, 50)}, HINTS),
         font_builder::composite_glyph({1}),
         {},
         {},
         simple_record({square(300, 20, 40)})});
    bytes* head = font_builder::find_table(tables, "head");
    font_builder::put16(*head, 18, upem);
    font_builder::put16(*head, 40, 400);
    font_builder::put16(*head, 42, 400);
    std::string path = dir + "/" + name;
    return write_file(path, font_builder::sfnt(tables)) ? path : "";
}

bool item_enabled(canvas_app& app, int index) {
    app.run.window()->Lock();
    bool e = app.run.window()->menubar->SubmenuAt(1)->ItemAt(index)->IsEnabled();
    app.run.window()->Unlock();
    return e;
}

// The saved glyph's contours as fontTools reads them: "x,y,on" per point,
// contours separated by "|".
std::string fonttools_contours(const std::string& path, int gno) {
    std::string out;
    run_command(python() + " -c \"from fontTools.ttLib import TTFont; f=TTFont('" + path +
                    "'); g=f['glyf'][f.getGlyphOrder()[" + std::to_string(gno) +
                    "]]; c=g.getCoordinates(f['glyf']) if g.numberOfContours>0 else None; "
                    "print('|'.join(' '.join('%d,%d,%d'%(c[0][i][0],c[0][i][1],c[2][i]&1) "
                    "for i in range(s,e+1)) for s,e in zip([0]+[x+1 for x in c[1][:-1]],c[1])) "
                    "if c else '')\"",
                &out);
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return out;
}

} // namespace

TEST(Clipboard, CopyingAWholeGlyphAndPastingItIntoAnEmptyOneGivesTheSameRecord) {
    std::string dir = temp_dir();
    std::string path = clip_font(dir, 1000);
    ASSERT_FALSE(path.empty());
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    // Source glyph, empty target: the simple glyph with its instructions,
    // then the composite.
    for (auto [source, target] : {std::pair{1, 3}, std::pair{2, 4}}) {
        SCOPED_TRACE(source);
        // The record as the program writes the glyph: a simple glyph is
        // stored again in its compact form; a composite kept as it is
        // read, except for the box the builder left empty.
        app.show(source);
        app.palette(GLYF_STORE);
        std::vector<unsigned char> wanted = app.record(source);
        ASSERT_GT(wanted.size(), 10u);
        app.click(5, 5); // nothing selected: the whole glyph
        command_key(app.run, "c");
        app.show(target);
        EXPECT_FALSE(item_enabled(app, 3)) << "nothing to cut in an empty glyph";
        EXPECT_TRUE(item_enabled(app, 5)) << "Paste";
        app.click(5, 5);
        command_key(app.run, "v");
        EXPECT_EQ(app.label(), "Undo paste");
        canvas_outline pasted = app.outline();
        app.undo();
        EXPECT_EQ(app.contours() + app.components(), 0) << "undo takes the paste back";
        app.redo();
        EXPECT_EQ(app.outline(), pasted);
        app.palette(GLYF_STORE);
        std::vector<unsigned char> got = app.record(target);
        if (source == 2 && got.size() > 10)
            std::copy(got.begin() + 2, got.begin() + 10, wanted.begin() + 2);
        EXPECT_EQ(got, wanted);
        EXPECT_TRUE(app.run.other_windows().empty()) << "something was refused";
    }
    command_key(app.run, "s");
    EXPECT_EQ(fonttools_contours(path, 3), fonttools_contours(path, 1));
    EXPECT_FALSE(fonttools_contours(path, 3).empty());
}

TEST(Clipboard, CutAndPasteOfSelectedContoursAreCanvasStepsAndThePasteStaysSelected) {
    std::string dir = temp_dir();
    std::string path = clip_font(dir, 1000);
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();
    ASSERT_EQ(stored.size(), 2u);
    app.click(150, 250); // square A
    choose_edit_item(app.run, 3);
    EXPECT_EQ(app.label(), "Undo cut");
    ASSERT_EQ(app.contours(), 1);
    EXPECT_EQ(app.outline()[0], stored[1]);
    command_key(app.run, "v");
    EXPECT_EQ(app.label(), "Undo paste");
    ASSERT_EQ(app.contours(), 2);
    EXPECT_EQ(app.outline()[1], stored[0]) << "A comes back point for point, after B";
    // Pasted and selected: one drag moves it at once.
    app.drag(150, 250, 160, 260);
    EXPECT_EQ(app.label(), "Undo drag");
    EXPECT_EQ(app.outline()[1].points[0], stored[0].points[0] + BPoint(10, 10));
    EXPECT_EQ(app.outline()[0], stored[1]);
    app.undo();
    app.undo();
    app.undo();
    EXPECT_EQ(app.outline(), stored);

    // The whole glyph pasted into itself doubles it without the
    // instructions, which belong to the points it had; Alt+A then selects
    // every contour for a cut.
    app.click(5, 5);
    command_key(app.run, "c");
    command_key(app.run, "v");
    ASSERT_EQ(app.contours(), 4);
    app.run.window()->Lock();
    std::string notice = app.editor->notice;
    app.run.window()->Unlock();
    EXPECT_EQ(notice, "pasted without its instructions");
    command_key(app.run, "a");
    command_key(app.run, "x");
    EXPECT_EQ(app.contours(), 0);

    // In a text field the same keys act on its text.
    app.type_glyph("3");
    command_key(app.run, "a");
    command_key(app.run, "c");
    EXPECT_EQ(kit::clipboard_text(), "3");
    std::string data;
    EXPECT_FALSE(kit::clipboard_data(GLYPH_CLIP_TYPE, &data)) << "the text replaced the glyphs";
}

TEST(Clipboard, PastingIntoAFontOfAnotherUnitsPerEmScalesTheCoordinates) {
    for (auto [from, to] : {std::pair{1000u, 2048u}, std::pair{2048u, 1000u}}) {
        SCOPED_TRACE(from);
        std::string dir = temp_dir();
        std::string source = clip_font(dir, from, "from.ttf");
        std::string target = clip_font(dir, to, "to.ttf");
        {
            canvas_app app(source);
            ASSERT_NE(app.editor, nullptr);
            app.click(5, 5);
            command_key(app.run, "c");
        }
        canvas_app app(target, 3);
        ASSERT_NE(app.editor, nullptr);
        app.click(5, 5);
        command_key(app.run, "v");
        app.run.window()->Lock();
        std::string notice = app.editor->notice;
        app.run.window()->Unlock();
        EXPECT_EQ(notice, "pasted: scaled from " + std::to_string(from) + " to " +
                              std::to_string(to) + " units/em");
        app.palette(GLYF_STORE);
        command_key(app.run, "s");
        std::string expected;
        for (auto square : {std::array<int, 2>{100, 100}, std::array<int, 2>{250, 50}}) {
            int l = square[0], s = square[1];
            auto v = [&](int u) { return std::to_string((int)std::lround(u * (double)to / from)); };
            std::string c = v(l) + "," + v(l + s) + ",1 " + v(l + s) + "," + v(l + s) + ",1 " +
                            v(l + s) + "," + v(l) + ",1 " + v(l) + "," + v(l) + ",1";
            expected += expected.empty() ? c : "|" + c;
        }
        EXPECT_EQ(fonttools_contours(target, 3), expected);
    }
}

TEST(Clipboard, DamagedOrOversizedClipboardDataIsRefusedAndTheGlyphKept) {
    std::string dir = temp_dir();
    std::string path = clip_font(dir, 1000);
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();
    glyph_clips big;
    big.units_per_em = 1000;
    big.glyphs.resize(1);
    big.glyphs[0].contours.assign(513, std::vector<glyph_clip::point>(3, {1, 2, true}));
    std::string valid = encode_glyph_clips(big);
    const struct {
        std::string data;
        const char* why;
    } cases[] = {
        {valid, "more than 512 contours"},
        {valid.substr(0, valid.size() / 2), "more than 512 contours"},
        {std::string("TVGL\0\1\3\350\0\1\0\1\0\0\0\4\0\1", 18), "cut short"},
        {"not a glyph", "does not hold glyphs"},
    };
    for (const auto& c : cases) {
        kit::set_clipboard_data({{GLYPH_CLIP_TYPE, c.data}});
        app.click(5, 5);
        command_key(app.run, "v");
        app.run.window()->Lock();
        std::string refusal = app.editor->refusal;
        app.run.window()->Unlock();
        EXPECT_NE(refusal.find(c.why), std::string::npos) << refusal;
        EXPECT_EQ(app.outline(), stored);
        for (BWindow* w : app.run.other_windows())
            app.run.answer(w, "\n", B_ENTER);
    }
}

TEST(Clipboard, ComponentsPastedIntoAGlyphOfOutlinesBecomeOutlinesOrComponentsAsTheUserSays) {
    std::string dir = temp_dir();
    std::string path = clip_font(dir, 1000);
    canvas_app app(path, 2);
    ASSERT_NE(app.editor, nullptr);
    app.click(5, 5);
    command_key(app.run, "c");
    app.show(1);
    const canvas_outline one = app.outline();
    app.show(5);
    const canvas_outline stored = app.outline();
    for (const char* answer : {"\x1b", "o", "c"}) {
        SCOPED_TRACE(answer);
        app.click(5, 5);
        command_key(app.run, "v");
        BWindow* q = app.run.wait_question("Paste them as components");
        ASSERT_NE(q, nullptr);
        app.run.answer(q, answer);
        if (answer[0] == 0x1b) {
            EXPECT_EQ(app.outline(), stored);
        } else if (answer[0] == 'o') {
            // Glyph 2 draws glyph 1: its squares come, as contours.
            ASSERT_EQ(app.contours(), 3);
            EXPECT_EQ(app.components(), 0);
            canvas_outline now = app.outline();
            EXPECT_EQ(canvas_outline(now.begin(), now.begin() + 1), stored);
            EXPECT_EQ(canvas_outline(now.begin() + 1, now.end()), one);
            app.undo();
        } else {
            EXPECT_EQ(app.components(), 1);
            EXPECT_EQ(app.label(), "Undo paste");
            app.undo();
            EXPECT_EQ(app.outline(), stored);
        }
    }
}

TEST(Clipboard, OutlinesGoOutAsAnSvgPathAndSvgFromOtherProgramsPastesAsContours) {
    std::string dir = temp_dir();
    std::string path = clip_font(dir, 1000);
    canvas_app app(path, 2);
    ASSERT_NE(app.editor, nullptr);
    // The composite is offered as the outlines it draws, as SVG and text.
    app.click(5, 5);
    command_key(app.run, "c");
    std::string svg, text;
    ASSERT_TRUE(kit::clipboard_data("image/svg+xml", &svg));
    ASSERT_TRUE(kit::clipboard_data(kit::CLIPBOARD_TEXT, &text));
    EXPECT_EQ(text, svg);
    EXPECT_NE(svg.find("<path d=\"M100 800L200 800L200 900L100 900Z"
                       "M250 700L300 700L300 750L250 750Z\"/>"),
              std::string::npos)
        << svg;

    const char* squares = "100,200,1 200,200,1 200,100,1 100,100,1|"
                          "250,300,1 300,300,1 300,250,1 250,250,1"; // glyph 1
    const struct {
        kit::clipboard_entries offered;
        int target;
        const char* contours; // as fontTools reads them, or
        const char* refusal;  // the reason given
    } cases[] = {
        {{{kit::CLIPBOARD_TEXT, svg}}, 3, squares, nullptr},
        {{{"image/svg+xml", "<svg viewBox=\"0 0 100 100\"><path d=\"M10 10 H90 V90 Z\"/></svg>"}},
         4,
         "100,900,1 900,900,1 900,100,1",
         nullptr},
        // A cubic that is a quadratic one comes as that quadratic.
        {{{kit::CLIPBOARD_TEXT, "\n m100 100 c 20 40 40 40 60 0 z"}},
         0,
         "100,900,1 130,840,0 160,900,1",
         nullptr},
        {{{kit::CLIPBOARD_TEXT, "hello"}}, 5, nullptr, "holds no glyph outline"},
        {{{"image/svg+xml", "<svg><path d=\"M0 0 A 5 5 0 0 1 9 9\"/></svg>"}}, 5, nullptr, "arcs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offered.begin()->second.substr(0, 40));
        kit::set_clipboard_data(c.offered);
        app.show(c.target);
        app.click(5, 5);
        command_key(app.run, "v");
        app.run.window()->Lock();
        std::string refusal = app.editor->refusal;
        app.editor->refusal.clear();
        app.run.window()->Unlock();
        if (c.refusal) {
            EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
            EXPECT_EQ(app.contours(), 1) << "glyph 5 keeps its square";
            for (BWindow* w : app.run.other_windows())
                app.run.answer(w, "\n", B_ENTER);
            continue;
        }
        EXPECT_EQ(refusal, "");
        EXPECT_EQ(app.label(), "Undo paste");
        app.palette(GLYF_STORE);
        command_key(app.run, "s");
        EXPECT_EQ(fonttools_contours(path, c.target), c.contours);
    }
}
