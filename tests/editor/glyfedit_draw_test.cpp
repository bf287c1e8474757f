// Drawing new contours with every drawing tool, through injected presses,
// moves and releases: the object in progress is shown as an overlay that a
// full repaint reproduces, and a finished gesture becomes contours of the
// glyph that "set" stores.
#include "edit_fixture.h"

#include <functional>

using namespace edit_testing;

namespace {

std::string one_square() {
    return editor_fixture::written(small_font({{}, simple_record({square(300, 300, 50)})}));
}

struct gesture {
    const char* name;
    int tool;
    // Everything up to the last event, which finish() sends.
    std::function<void(editor_fixture&)> start;
    std::function<void(editor_fixture&)> finish;
    int points;   // of the new contour
    int offcurve; // how many of them are off the curve
};

void polygon_clicks(editor_fixture& ed) {
    ed.click(50, 50);
    ed.click(150, 50);
    ed.click(100, 150);
    // Between clicks the rubber band follows the pointer.
    ed.move(120, 170, 0);
}

const gesture gestures[] = {
    {"rectangle", 2,
     [](editor_fixture& ed) {
         ed.press(50, 50);
         ed.move(100, 90);
         ed.move(150, 120);
     },
     [](editor_fixture& ed) { ed.release(150, 120); }, 4, 0},
    {"ellipse", 3,
     [](editor_fixture& ed) {
         ed.press(50, 50);
         ed.move(150, 120);
     },
     [](editor_fixture& ed) { ed.release(150, 120); }, 8, 8},
    {"polygon", 4, polygon_clicks, [](editor_fixture& ed) { ed.click(100, 150); }, 3, 0},
    {"rounded polygon", 5, polygon_clicks, [](editor_fixture& ed) { ed.click(100, 150); }, 3, 3},
};

} // namespace

TEST(GlyfEditDraw, EveryToolDrawsItsContourWithAnOverlayARepaintReproduces) {
    for (const gesture& g : gestures) {
        SCOPED_TRACE(g.name);
        editor_fixture ed(one_square());
        ASSERT_TRUE(ed.ready);
        ed.zoom(1.0f);
        ed.show_glyph(1);
        ed.tool(g.tool);
        g.start(ed);
        EXPECT_EQ(ed.editor->selstate, -1);
        std::vector<uint32> shown = ed.pixels();
        screenshot(ed.window, std::string("edit_tool_") + std::to_string(g.tool));
        ed.send(GLYF_REDRAW);
        EXPECT_EQ(ed.pixels(), shown);
        EXPECT_EQ(ed.contours(), 1);

        g.finish(ed);
        EXPECT_EQ(ed.editor->selstate, 0);
        ASSERT_EQ(ed.contours(), 2);
        int off = 0, n = 0;
        locked(ed.window, [&] {
            shape* s = curglyph->contours[1];
            n = s->count;
            for (int i = 0; i < s->count; i++)
                off += s->flags[i] & 1;
        });
        EXPECT_EQ(n, g.points);
        EXPECT_EQ(off, g.offcurve);
        // The drawn contour is what the font holds after "set".
        ed.send(GLYF_STORE);
        EXPECT_EQ(ed.contours(), 2);
        glyph stored(1);
        locked(ed.window, [&] { ASSERT_EQ(ed.font->get_glyph(1, &stored), 0); });
        ASSERT_EQ(stored.count, 2);
        EXPECT_EQ(stored.contours[1]->count, g.points);
        // Drawn from canvas (50, 50): font units (50, 350).
        EXPECT_EQ(stored.bounds().top < 400, true);
        EXPECT_EQ(ed.dismiss_alerts(), 0);
    }
}

TEST(GlyfEditDraw, TheRectangleRunsFromThePressToTheRelease) {
    editor_fixture ed(one_square());
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    ed.tool(2);
    ed.drag(50, 50, 150, 120);
    std::vector<BPoint> p = ed.points(1);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0], BPoint(50, 50));
    EXPECT_EQ(p[1], BPoint(150, 50));
    EXPECT_EQ(p[2], BPoint(150, 120));
    EXPECT_EQ(p[3], BPoint(50, 120));
    // A rectangle does not follow the pointer without a button.
    ed.move(200, 200, 0);
    EXPECT_EQ(ed.editor->selstate, 0);
    EXPECT_TRUE(ed.palette->empty == false);
}

TEST(GlyfEditDraw, ASecondaryPressTakesBackThePolygonsLastPoint) {
    editor_fixture ed(one_square());
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    ed.tool(4);
    ed.click(50, 50);
    ed.click(150, 50);
    ed.click(100, 150);
    ed.click(120, 160, 2); // takes (100, 150) back
    ed.click(50, 150);
    ed.click(50, 150);
    std::vector<BPoint> p = ed.points(1);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[2], BPoint(50, 150));
    // Taking back the only point cancels the gesture.
    ed.click(200, 200);
    ed.click(210, 210, 2);
    EXPECT_EQ(ed.editor->selstate, 0);
    EXPECT_EQ(ed.contours(), 2);
    EXPECT_EQ(curobject, nullptr);
}

TEST(GlyfEditDraw, FreeHandStrokesAtThePaletteSPenSizeBecomeContours) {
    editor_fixture ed(one_square());
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    ed.tool(1);
    BMessage pen(GLYF_CHANGE);
    pen.AddInt8("psize", 20);
    ed.send(pen);
    EXPECT_EQ(ed.editor->psize, 20);
    ed.press(60, 60);
    for (int i = 1; i <= 20; i++)
        ed.move(60 + 8 * i, 60 + 3 * i);
    std::vector<uint32> shown = ed.pixels();
    screenshot(ed.window, "edit_tool_1");
    ed.send(GLYF_REDRAW);
    EXPECT_EQ(ed.pixels(), shown);
    ed.release(220, 120);
    ASSERT_GE(ed.contours(), 2);
    BRect drawn;
    locked(ed.window, [&] { drawn = curglyph->contours[1]->bounds; });
    // The stroke surrounds the line it followed, no farther than the pen
    // size from it.
    EXPECT_LE(drawn.left, 60);
    EXPECT_GE(drawn.left, 40);
    EXPECT_GE(drawn.right, 220);
    EXPECT_LE(drawn.right, 240);
    EXPECT_LE(drawn.top, 60);
    EXPECT_GE(drawn.top, 40);
    EXPECT_GE(drawn.bottom, 120);
    EXPECT_LE(drawn.bottom, 140);
    screenshot(ed.window, "edit_free_hand_done");
}
