// Storing glyphs of a variable font through the glyph editor: a gesture
// that only moves points keeps the glyph's variations without a question;
// one that renumbers its points asks whether they may go, and only
// "Remove" stores the glyph without them, in one undo step with the
// outline.
#include "edit_fixture.h"

#include "font/gvar.h"
#include "font/history.h"

#include "font/table_editor_support.h"

using namespace edit_testing;

namespace {

// Glyph A of the test font: contour 0 of five points, contour 1 a triangle.
const int GLYPH_A = 1;

bytes gvar_bytes(editor_fixture& ed) {
    bytes b;
    locked(ed.window,
           [&] { b.assign(ed.font->gvar->data, ed.font->gvar->data + ed.font->gvar->length); });
    return b;
}

bool varies(editor_fixture& ed) {
    bool v = false;
    locked(ed.window, [&] { v = ed.font->glyph_varies(GLYPH_A); });
    return v;
}

} // namespace

TEST(GlyfEditVariations, OnlyRenumberingGesturesAskAndOnlyRemoveDropsTheVariations) {
    struct gesture {
        const char* label;
        bool asks;
        std::function<void(editor_fixture&)> make;
    };
    const gesture GESTURES[] = {
        {"a point dragged", false,
         [](editor_fixture& ed) {
             BPoint p = ed.points(0)[2];
             ed.click(p.x, p.y); // selects the contour, whose points can then be taken
             ed.drag(p.x, p.y, p.x + 6, p.y + 4);
         }},
        {"a point deleted", true,
         [](editor_fixture& ed) {
             BPoint p = ed.points(0)[2];
             ed.click(p.x, p.y);
             ed.click(p.x, p.y, 2);
         }},
        {"a contour reversed", true,
         [](editor_fixture& ed) {
             BPoint p = ed.points(1)[0];
             ed.click(p.x, p.y); // selects the triangle
             ed.key("@");
         }},
        {"a rectangle drawn", true,
         [](editor_fixture& ed) {
             ed.tool(2);
             ed.drag(20, 20, 60, 50);
             ed.tool(0);
         }},
    };
    const std::string path = testing_support::build_test_font("variable");
    ASSERT_FALSE(path.empty());
    for (const gesture& g : GESTURES) {
        SCOPED_TRACE(g.label);
        editor_fixture ed(path);
        ASSERT_TRUE(ed.ready);
        locked(ed.window, [&] { ed.font->start_history(); });
        ed.zoom(0.5f);
        ed.show_glyph(GLYPH_A);
        const bytes record = ed.record(GLYPH_A), gvar = gvar_bytes(ed);
        g.make(ed);
        ed.send(GLYF_STORE);
        if (!g.asks) {
            EXPECT_TRUE(table_editor_testing::alerts().empty());
            EXPECT_NE(ed.record(GLYPH_A), record);
            EXPECT_EQ(gvar_bytes(ed), gvar);
            EXPECT_EQ(ed.palette->notice, "");
            continue;
        }
        // "Cancel" (also what Enter presses) leaves the font as it was and
        // the edit on the canvas.
        EXPECT_EQ(table_editor_testing::answer_alert(1), GLYF_VARIATIONS_QUESTION);
        EXPECT_EQ(ed.record(GLYPH_A), record);
        EXPECT_EQ(gvar_bytes(ed), gvar);
        EXPECT_TRUE(ed.editor->reshaped);

        ed.send(GLYF_STORE);
        EXPECT_EQ(table_editor_testing::answer_alert(0), GLYF_VARIATIONS_QUESTION);
        ed.idle();
        EXPECT_NE(ed.record(GLYPH_A), record);
        EXPECT_FALSE(varies(ed));
        EXPECT_LT(gvar_bytes(ed).size(), gvar.size());
        EXPECT_EQ(ed.palette->notice, "variations removed");
        EXPECT_FALSE(ed.editor->reshaped) << "the stored glyph is read afresh";

        // One undo brings the outline and the variations back together.
        bool undone = false;
        locked(ed.window, [&] { undone = ed.font->history()->undo(); });
        ASSERT_TRUE(undone);
        EXPECT_EQ(ed.record(GLYPH_A), record);
        EXPECT_EQ(gvar_bytes(ed), gvar);
    }
}

// An answer that comes after another glyph was chosen stores nothing: the
// switch asks about the edit first, and "Discard" leaves the glyph as the
// font holds it.
TEST(GlyfEditVariations, AnswerForAGlyphNoLongerShownIsIgnored) {
    editor_fixture ed(testing_support::build_test_font("variable"));
    ASSERT_TRUE(ed.ready);
    ed.zoom(0.5f);
    ed.show_glyph(GLYPH_A);
    const bytes gvar = gvar_bytes(ed);
    BPoint p = ed.points(1)[0];
    ed.click(p.x, p.y);
    ed.key("@");
    ed.send(GLYF_STORE);
    ASSERT_EQ(ed.alert_text(), GLYF_VARIATIONS_QUESTION);
    ed.show_glyph(2);
    EXPECT_NE(table_editor_testing::answer_alert(1, 1), ""); // "Discard"
    EXPECT_EQ(table_editor_testing::answer_alert(0), GLYF_VARIATIONS_QUESTION);
    ed.idle();
    EXPECT_EQ(gvar_bytes(ed), gvar);
    EXPECT_TRUE(varies(ed));
}
