// Editing a glyph with the pointer and the keys, through injected events:
// selecting by click and rubber band, dragging contours and points,
// duplicating, inserting, deleting and toggling points, the editing keys,
// the overlay that pointer feedback draws, and the limits of a glyph.
#include "edit_fixture.h"

#include <cmath>

using namespace edit_testing;

namespace {

const char UP[] = "\x1e", DOWN[] = "\x1f", LEFT[] = "\x1c";

// Glyph 1: square A at canvas (100, 200)-(200, 300) and square B at
// canvas (250, 100)-(300, 150), both listed clockwise on the canvas.
std::string two_squares() {
    return editor_fixture::written(
        small_font({{}, simple_record({square(100, 100, 100), square(250, 250, 50)})}));
}

struct shown_squares : editor_fixture {
    shown_squares() : editor_fixture(two_squares()) {
        if (!ready)
            return;
        zoom(1.0f);
        show_glyph(1);
    }
};

} // namespace

TEST(GlyfEditInput, ClicksAndRubberBandsSelectContours) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    // A band around B selects B only.
    ed.drag(240, 90, 310, 160);
    EXPECT_EQ(ed.selected(0), 0);
    EXPECT_EQ(ed.selected(1), -1);
    EXPECT_EQ(ed.editor->selstate, 1);
    EXPECT_FALSE(ed.editor->rubber);
    // A secondary click adds what it hits to the selection.
    ed.click(150, 250, 2);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.selected(1), -1);
    // A band dragged up and to the left, crossing A's edge, selects A.
    ed.click(20, 20);
    ed.drag(190, 350, 150, 280);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.selected(1), 0);
    // A primary click on nothing selects nothing.
    ed.click(20, 20);
    EXPECT_EQ(ed.selected(0), 0);
    EXPECT_EQ(ed.selected(1), 0);
    // A click inside A's bounds selects A; a band released outside the
    // canvas is clamped to it.
    ed.click(150, 250);
    EXPECT_EQ(ed.selected(0), -1);
    ed.press(20, 20);
    ed.move(390, 390);
    screen().mouse_move(ed.window, BPoint(50 + 500, 500), 1);
    ed.release(500, 500);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.selected(1), -1);
}

TEST(GlyfEditInput, DraggingMovesTheSelectedContourOrTheTakenPoint) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    ed.click(150, 250);
    ed.drag(150, 250, 170, 240);
    std::vector<BPoint> a = ed.points(0);
    EXPECT_EQ(a[0], BPoint(120, 190));
    EXPECT_EQ(a[2], BPoint(220, 290));
    EXPECT_EQ(ed.points(1)[0], BPoint(250, 100)); // B stays
    EXPECT_EQ(ed.editor->selstate, 1);

    // A point of the selected contour is taken and moved alone; it leaves
    // its contour selected.
    ed.drag(220, 290, 230, 330);
    a = ed.points(0);
    EXPECT_EQ(a[2], BPoint(230, 330));
    EXPECT_EQ(a[0], BPoint(120, 190));
    EXPECT_EQ(ed.selected(0), -1);
}

TEST(GlyfEditInput, ButtonsAndModifiersEditPoints) {
    // What a press on point 2 of the selected square A at (200, 300) does,
    // by button and modifier, once released after a drag of (10, 10).
    struct {
        const char* what;
        uint32 buttons, modifiers;
        int points;   // A's points afterwards
        int flag;     // the flag of the point at index 2
        BPoint moved; // point 2 afterwards
        int contours;
    } cases[] = {
        {"secondary deletes", 2, 0, 3, 0, BPoint(100, 300), 2},
        {"shift is secondary", 1, B_SHIFT_KEY, 3, 0, BPoint(100, 300), 2},
        {"command toggles", 1, B_COMMAND_KEY, 4, 1, BPoint(200, 300), 2},
        {"primary drags", 1, 0, 4, 0, BPoint(210, 310), 2},
        // The new point is placed one drag step beside the taken one and
        // then follows the pointer.
        {"tertiary inserts", 4, 0, 5, 0, BPoint(212, 312), 2},
        {"control is tertiary", 1, B_CONTROL_KEY, 5, 0, BPoint(212, 312), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shown_squares ed;
        ASSERT_TRUE(ed.ready);
        ed.click(150, 250);
        ed.drag(200, 300, 210, 310, c.buttons, c.modifiers);
        EXPECT_EQ(ed.contours(), c.contours);
        std::vector<BPoint> a = ed.points(0);
        ASSERT_EQ((int)a.size(), c.points);
        int flag = 0;
        locked(ed.window, [&] { flag = curglyph->contours[0]->flags[2]; });
        EXPECT_EQ(flag, c.flag);
        // After an insertion the new point sits next to the old one.
        if (c.points == 5) {
            EXPECT_TRUE(a[2] == c.moved || a[3] == c.moved);
            EXPECT_TRUE(a[2] == BPoint(200, 300) || a[3] == BPoint(200, 300));
        } else {
            EXPECT_EQ(a[2], c.moved);
        }
    }
}

TEST(GlyfEditInput, TertiaryDragDuplicatesTheSelectedContour) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    ed.click(150, 250);
    ed.drag(150, 250, 150, 200, 4);
    ASSERT_EQ(ed.contours(), 3);
    EXPECT_EQ(ed.points(0)[0], BPoint(100, 200)); // the original stays
    EXPECT_EQ(ed.points(2)[0], BPoint(100, 150)); // the copy moved
    EXPECT_EQ(ed.selected(0), 0);
    EXPECT_EQ(ed.selected(2), -1);
    // One copy per press: the next drag steps only move it.
    ed.drag(150, 200, 150, 180, 4);
    EXPECT_EQ(ed.contours(), 4);
}

TEST(GlyfEditInput, EditingKeysSelectReorderReverseAndDelete) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    // Keys go to the canvas once it was clicked.
    ed.click(20, 20);
    ed.key(UP);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.editor->selstate, 1);
    // With a selection, up moves it to the end of the list.
    ed.key("8");
    EXPECT_EQ(ed.points(1)[0], BPoint(100, 200));
    EXPECT_EQ(ed.selected(1), -1);
    // Left selects the contour after the last selected one, wrapping.
    ed.key(LEFT);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.selected(1), 0);
    ed.key("6");
    EXPECT_EQ(ed.selected(1), -1);
    // '@' reverses the selected contour.
    std::vector<BPoint> before = ed.points(1);
    ed.key("@");
    std::vector<BPoint> after = ed.points(1);
    ASSERT_EQ(after.size(), 4u);
    EXPECT_EQ(after[0], before[3]);
    EXPECT_EQ(after[3], before[0]);
    // A held key acts once.
    screen().key_down(ed.window, DOWN);
    screen().key_down(ed.window, DOWN);
    screen().key_down(ed.window, DOWN);
    screen().key_up(ed.window, DOWN);
    ed.idle();
    EXPECT_EQ(ed.selected(0), -1); // moved to the front once
    EXPECT_EQ(ed.points(0), after);
    // Delete removes it.
    ed.key("\x7F");
    EXPECT_EQ(ed.contours(), 1);
    EXPECT_TRUE(ed.palette->empty == false);
    ed.key(UP);
    ed.key("\x7F");
    EXPECT_EQ(ed.contours(), 0);
    EXPECT_TRUE(ed.palette->empty);
    // Keys do nothing on an empty glyph or with a drawing tool. Glyph 1
    // shown again from the font, its deletions given up when asked.
    ed.show_glyph(1);
    EXPECT_EQ(ed.dismiss_alerts("d"), 1);
    ed.tool(2);
    ed.key(UP);
    EXPECT_EQ(ed.selected(0), 0);
}

TEST(GlyfEditInput, PointerFeedbackLeavesTheScreenAsAFullRepaintDrawsIt) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.3f);
    std::vector<uint32> shown = ed.pixels();
    ed.send(GLYF_REDRAW);
    EXPECT_EQ(ed.pixels(), shown);

    // Moves, rubber bands, selections, drags of contours and points, and a
    // band left half way.
    ed.move(10, 10, 0);
    ed.drag(240, 90, 310, 160);
    ed.drag(260, 120, 280, 60);
    ed.click(150, 250);
    ed.drag(150, 250, 140, 260, 1, 0, 7);
    ed.drag(190, 310, 230, 330);
    ed.drag(330, 330, 20, 20, 2);
    ed.press(380, 20);
    ed.move(300, 60);
    ed.move(310, 80);
    shown = ed.pixels();
    screenshot(ed.window, "edit_selection_and_band");
    // The band's left edge is on screen.
    int lit = 0;
    for (int y = 30; y < 70; y++)
        lit += rgb(ed.window, (int)std::lround(ed.at(310, y).x), (int)ed.at(310, y).y) != 0;
    EXPECT_GT(lit, 0);
    ed.send(GLYF_REDRAW);
    EXPECT_EQ(ed.pixels(), shown);
    ed.release(310, 80);
}

TEST(GlyfEditInput, PressesOutsideTheCanvasDoNothing) {
    shown_squares ed;
    ASSERT_TRUE(ed.ready);
    ed.click(150, 250);
    // Right of the 400-unit canvas, still inside the view.
    ed.press(450, 250);
    EXPECT_FALSE(ed.editor->btnheld);
    ed.release(450, 250);
    EXPECT_EQ(ed.selected(0), -1);
    EXPECT_EQ(ed.editor->selstate, 1);
}

TEST(GlyfEditInput, AFullContourTakesNoInsertedPointAndSaysSo) {
    contour full;
    for (int i = 0; i < shape::max_points; i++)
        full.push_back({10 + (i % 32) * 10, 10 + (i / 32) * 10, true});
    editor_fixture ed(editor_fixture::written(small_font({{}, simple_record({full})})));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    ed.click(200, 200);
    ASSERT_EQ(ed.selected(0), -1);
    // The last point of the list, (320, 320) in font units.
    ed.drag(320, 80, 330, 90, 4);
    EXPECT_EQ(ed.points(0).size(), (size_t)shape::max_points);
    EXPECT_EQ(ed.points(0).back(), BPoint(320, 80)); // nothing moved either
    EXPECT_NE(ed.alert_text().find("1024 points"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
}

TEST(GlyfEditInput, A512thContourIsNotDuplicatedAndTheUserIsTold) {
    std::vector<contour> many;
    for (int i = 0; i < glyph::max_contours - 1; i++)
        many.push_back(square(10 + (i % 16) * 20, 10 + (i / 16) * 12, 8));
    editor_fixture ed(editor_fixture::written(small_font({{}, simple_record(many)})));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    ed.click(395, 5);
    // One copy still fits.
    ed.key(UP);
    ed.drag(14, 386, 14, 379, 4);
    EXPECT_EQ(ed.contours(), glyph::max_contours);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
    ed.drag(14, 379, 14, 370, 4);
    EXPECT_EQ(ed.contours(), glyph::max_contours);
    EXPECT_NE(ed.alert_text().find("512 contours"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
}

TEST(GlyfEditInput, CoordinatesTheFormatCannotHoldAreRefusedAndTheEditKept) {
    // A font whose box spans 40,000 units; a point dragged from one end to
    // the other is 38,000 units from its neighbour.
    contour tri = {{-19000, 0}, {-18000, 0}, {-18500, 1000}};
    editor_fixture ed(
        editor_fixture::written(small_font({{}, simple_record({tri})}, 20000, -20000)));
    ASSERT_TRUE(ed.ready);
    ed.zoom(0.01f);
    ed.show_glyph(1);
    bytes before = ed.record(1);
    ed.click(1500, 19800);
    ASSERT_EQ(ed.selected(0), -1);
    ed.drag(2000, 20000, 39000, 20000);
    ed.send(GLYF_STORE);
    EXPECT_EQ(ed.record(1), before);
    EXPECT_NE(ed.alert_text().find("32767"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    // The edit is still on the canvas.
    EXPECT_NEAR(ed.points(0)[1].x, 39000, 2);
    EXPECT_NEAR(ed.points(0)[1].y, 20000, 2);
}
