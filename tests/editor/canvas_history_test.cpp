// The canvas history's snapshots and limits: a glyph comes back from its
// snapshot point for point (a composite with its components and their
// rectangles), steps are kept only for changes, a new step drops what was
// undone, and the oldest steps go once the count or memory bound is passed.
#include "edit_fixture.h"

#include "editor/canvas_history.h"

using namespace edit_testing;

namespace {

// A glyph of `contours` contours of `points` points each, numbered so
// that every glyph made with another `seed` differs.
glyph* made_glyph(int contours, int points, float seed) {
    glyph* g = new glyph(1);
    for (int i = 0; i < contours; i++) {
        shape* s = new shape(points);
        for (int j = 0; j < points; j++) {
            s->points[j] = BPoint(seed + i * 0.25f + j, seed - j * 0.5f);
            s->flags[j] = (char)(j % 3 == 0);
        }
        s->ctrlp2form();
        g->add_shape(s);
    }
    return g;
}

canvas_state state(int contours, int points, float seed) {
    glyph* g = made_glyph(contours, points, seed);
    canvas_state s = canvas_state::of(*g, "", "");
    delete g;
    return s;
}

} // namespace

TEST(CanvasHistory, ASnapshotGivesBackTheGlyphPointForPointComponentsIncluded) {
    // A simple glyph with fractional points and off-curve flags.
    glyph* g = made_glyph(3, 7, 10.375f);
    g->contours[1]->selected = -1;
    canvas_state s = canvas_state::of(*g, "refused", "notice");
    glyph* back = s.make(1, nullptr);
    ASSERT_EQ(back->count, 3);
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(back->contours[i]->count, 7);
        for (int j = 0; j < 7; j++) {
            EXPECT_EQ(back->contours[i]->points[j], g->contours[i]->points[j]);
            EXPECT_EQ(back->contours[i]->flags[j], g->contours[i]->flags[j]);
        }
        EXPECT_EQ(back->contours[i]->selected, 0) << "the selection is not kept";
    }
    EXPECT_EQ(back->contours[2]->bounds, g->contours[2]->bounds);
    EXPECT_TRUE(canvas_state::of(*back, "refused", "notice") == s);
    EXPECT_FALSE(canvas_state::of(*back, "", "notice") == s);
    delete back;
    delete g;

    // A composite read from a font: glyph 2 is made of glyph 1 twice.
    editor_fixture ed(editor_fixture::written(
        small_font({{},
                    simple_record({square(100, 100, 100), square(250, 250, 50)}),
                    font_builder::composite_glyph({1, 1})})));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(2);
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 2);
        curglyph->compo_dx[1] = 30;
        canvas_state c = canvas_state::of(*curglyph, "", "");
        glyph* again = c.make(2, ed.font);
        EXPECT_EQ(again->ncompo, 2);
        EXPECT_EQ(again->count, curglyph->count);
        EXPECT_EQ(again->compo[1]->index, 1);
        EXPECT_EQ(again->compo_dx[1], 30);
        EXPECT_EQ(again->lossy, 0);
        EXPECT_TRUE(canvas_state::of(*again, "", "") == c);
        delete again;
        // Without the font the components cannot be read: the glyph is
        // marked as not whole, so it is never stored.
        glyph* lost = c.make(2, nullptr);
        EXPECT_NE(lost->lossy, 0);
        delete lost;
    });
}

TEST(CanvasHistory, OnlyChangesAreStepsAndANewStepDropsWhatWasUndone) {
    canvas_history h;
    h.begin(state(1, 4, 0));
    EXPECT_FALSE(h.end("drag", state(1, 4, 0))) << "nothing changed";
    EXPECT_FALSE(h.can_undo());
    h.begin(state(1, 4, 0));
    h.begin(state(1, 4, 5)); // a gesture already started keeps its own
    EXPECT_TRUE(h.end("drag", state(1, 4, 1)));
    h.begin(state(1, 4, 1));
    EXPECT_TRUE(h.end("deletion", state(1, 3, 1)));
    EXPECT_EQ(h.undo_name(), "deletion");

    canvas_state shown = h.undo(state(1, 3, 1));
    EXPECT_TRUE(shown == state(1, 4, 1));
    EXPECT_EQ(h.redo_name(), "deletion");
    shown = h.undo(shown);
    EXPECT_TRUE(shown == state(1, 4, 0));
    EXPECT_FALSE(h.can_undo());
    shown = h.redo(shown);
    EXPECT_TRUE(shown == state(1, 4, 1));
    EXPECT_EQ(h.undo_name(), "drag");

    h.begin(shown);
    EXPECT_TRUE(h.end("clear", state(0, 0, 0)));
    EXPECT_FALSE(h.can_redo()) << "the undone deletion is gone";
    EXPECT_EQ(h.steps(), 2u);
    h.clear();
    EXPECT_EQ(h.steps(), 0u);
    EXPECT_EQ(h.memory(), 0u);
}

TEST(CanvasHistory, TheOldestStepsGoPastTheCountOrMemoryBound) {
    canvas_history h;
    const int made = (int)canvas_history::max_steps + 50;
    for (int i = 0; i < made; i++) {
        h.begin(state(1, 4, (float)i));
        h.end("drag", state(1, 4, (float)i + 1));
    }
    EXPECT_EQ(h.steps(), canvas_history::max_steps);
    canvas_state shown = state(1, 4, (float)made);
    int undone = 0;
    while (h.can_undo()) {
        shown = h.undo(shown);
        undone++;
    }
    EXPECT_EQ(undone, (int)canvas_history::max_steps);
    EXPECT_TRUE(shown == state(1, 4, 50)) << "the oldest steps were the ones dropped";

    // The largest glyph the editor holds: 512 contours of 1024 points.
    canvas_history big;
    size_t one = state(512, 1024, 0).bytes();
    EXPECT_GT(one, 512u * 1024u * 9u);
    for (int i = 0; i < 12; i++) {
        big.begin(state(512, 1024, (float)i));
        big.end("drag", state(512, 1024, (float)i + 1));
        EXPECT_LE(big.memory(), canvas_history::max_bytes);
    }
    EXPECT_EQ(big.steps(), canvas_history::max_bytes / one);
}
