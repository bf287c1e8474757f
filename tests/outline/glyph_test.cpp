#include "outline_builders.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// A glyph of n squares; square i sits at (100 i, 0) with side 10, so each
// contour can be told apart by its left edge.
std::unique_ptr<glyph> squares(int n) {
    std::unique_ptr<glyph> g(new glyph(5));
    for (int i = 0; i < n; i++)
        g->add_shape(make_square(100.f * i, 0, 10));
    return g;
}

// The left edges of the contours in slots 0 ... count-1, divided by 100:
// the original position of each contour, as a string like "0213".
std::string order(const glyph* g) {
    std::string s;
    for (int i = 0; i < g->count; i++)
        s += (char)('0' + (int)(g->contours[i]->bounds.left / 100));
    return s;
}

std::string selection(const glyph* g, int lo, int hi) {
    std::string s;
    for (int i = lo; i < hi; i++) {
        int v = g->contours[i]->selected;
        s += v < 0 ? 'W' : v > 0 ? 'p' : '.';
    }
    return s;
}

// A component glyph with one square of side 10 at (x, y).
glyph* square_component(unsigned short index, float x, float y) {
    glyph* c = new glyph(index);
    c->depth = 1;
    c->add_shape(make_square(x, y, 10));
    return c;
}

} // namespace

TEST(Glyph, StepSelectionWrapsAroundTheRange) {
    std::unique_ptr<glyph> g = squares(3);
    g->sel_back();
    EXPECT_EQ(selection(g.get(), 0, 3), "W..");
    g->sel_back();
    g->sel_back();
    EXPECT_EQ(selection(g.get(), 0, 3), "..W");
    g->sel_back();
    EXPECT_EQ(selection(g.get(), 0, 3), "W..");
    g->sel_next();
    EXPECT_EQ(selection(g.get(), 0, 3), "..W");
    g->sel_none();
    g->sel_next();
    EXPECT_EQ(selection(g.get(), 0, 3), "..W");
    // Several selected: back steps from the highest, next from the lowest.
    g->contours[0]->selected = 2;
    g->contours[1]->selected = -1;
    g->sel_back();
    EXPECT_EQ(selection(g.get(), 0, 3), "W..");
    g->contours[2]->selected = -1;
    g->sel_next();
    EXPECT_EQ(selection(g.get(), 0, 3), "..W");
    g->sel_first();
    EXPECT_EQ(selection(g.get(), 0, 3), "W..");
    g->sel_last();
    EXPECT_EQ(selection(g.get(), 0, 3), "..W");

    // An empty glyph has no contour to select; nothing is touched.
    glyph empty(0);
    empty.sel_back();
    empty.sel_next();
    empty.sel_first();
    empty.sel_last();
    EXPECT_EQ(empty.count, 0);
}

TEST(Glyph, RectangleSelectionKeepsExistingSelections) {
    std::unique_ptr<glyph> g = squares(3);
    g->contours[1]->selected = 3;
    g->contours[1]->point_selected = 1;
    EXPECT_TRUE(g->sel_check(BRect(-5, -5, 150, 5)));
    EXPECT_EQ(selection(g.get(), 0, 3), "Wp.");
    EXPECT_EQ(g->contours[1]->point_selected, 1);
    EXPECT_FALSE(g->sel_check(BRect(-5, -5, 150, 5)));
    g->sel_check();
    EXPECT_EQ(selection(g.get(), 0, 3), "WW.");
}

TEST(Glyph, PointSelectionTestsOnlySelectedContours) {
    std::unique_ptr<glyph> g = squares(3);
    EXPECT_EQ(g->sel_check(BPoint(0, 0), 1), 0);
    EXPECT_EQ(selection(g.get(), 0, 3), "...");

    g->contours[0]->selected = -1;
    g->contours[1]->selected = -1;
    g->contours[2]->selected = -1;
    // A point of contour 0, inside contour 1, outside contour 2.
    EXPECT_EQ(g->sel_check(BPoint(10, 10), 1), 2);
    EXPECT_EQ(selection(g.get(), 0, 3), "pWW");
    EXPECT_EQ(g->sel_check(BPoint(105, 5), 1), 1);
    EXPECT_EQ(g->sel_check(BPoint(100, 0), 1) & 2, 2);
}

TEST(Glyph, DeleteSelectionPacksTheSurvivors) {
    std::unique_ptr<glyph> g = squares(4);
    g->add_shape(make_shape({{400, 0, 0}, {410, 0, 0}, {405, 5, 0}}));
    g->contours[0]->selected = -1; // whole: destroyed
    g->contours[1]->selected = 2;  // a point of four: survives with three
    g->contours[4]->selected = 1;  // a point of three: destroyed
    g->del_sel();
    ASSERT_EQ(g->count, 3);
    EXPECT_EQ(order(g.get()), "123");
    EXPECT_EQ(points_of(g->contours[0]),
              (std::vector<pt>{{100, 0, 0}, {110, 10, 0}, {100, 10, 0}}));
    EXPECT_EQ(g->contours[0]->bounds, BRect(100, 0, 110, 10));
}

TEST(Glyph, CopySelectionAppendsSelectedCopiesAndInsertsPoints) {
    std::unique_ptr<glyph> g = squares(3);
    g->contours[0]->selected = -1;
    g->contours[2]->selected = 1;
    g->contours[2]->point_selected = 1;
    g->copy_sel(BPoint(5, 0));
    ASSERT_EQ(g->count, 4);
    EXPECT_EQ(selection(g.get(), 0, 4), "..pW");
    EXPECT_EQ(g->contours[2]->count, 5);
    EXPECT_EQ(points_of(g->contours[3]), points_of(g->contours[0]));
    EXPECT_NE(g->contours[3], g->contours[0]);
}

TEST(Glyph, ReorderingIsAStablePartition) {
    std::unique_ptr<glyph> g = squares(4);
    g->contours[0]->selected = -1;
    g->contours[2]->selected = 1;
    g->sel_to_bot();
    EXPECT_EQ(order(g.get()), "0213");
    g->sel_to_top();
    EXPECT_EQ(order(g.get()), "1302");
}

TEST(Glyph, ReverseAndToggleActOnTheSelection) {
    std::unique_ptr<glyph> g = squares(2);
    g->contours[0]->selected = -1;
    g->contours[1]->selected = 2;
    g->rev_sel();
    g->tgl_sel();
    EXPECT_EQ(points_of(g->contours[0]),
              (std::vector<pt>{{0, 10, 1}, {10, 10, 1}, {10, 0, 1}, {0, 0, 1}}));
    EXPECT_EQ(points_of(g->contours[1]),
              (std::vector<pt>{{100, 0, 0}, {110, 0, 1}, {110, 10, 0}, {100, 10, 0}}));
}

TEST(Glyph, AddShapeStopsAtTheSlotLimit) {
    std::unique_ptr<glyph> g = squares(glyph::max_contours);
    EXPECT_EQ(g->count, glyph::max_contours);
    EXPECT_EQ(g->add_shape(make_square(0, 0, 1)), 1);
    EXPECT_EQ(g->count, glyph::max_contours);
    g->sel_first();
    g->copy_sel(BPoint(0, 0));
    EXPECT_EQ(g->count, glyph::max_contours);
    EXPECT_EQ(g->contours[0]->selected, -1);
}

TEST(Glyph, CompositeOutlineAndRectangles) {
    glyph g(9);
    EXPECT_EQ(g.add_compo(square_component(1, 0, 0), 100, -50, 0x4000, 0, 0, 0x4000), 0);
    EXPECT_EQ(g.add_compo(square_component(2, 0, 0), 0, 0, 0x2000, 0, 0, 0x2000), 0);
    EXPECT_EQ(g.add_compo(new glyph(3), 7, 8, 0x4000, 0, 0, 0x4000), 0);
    g.create_composhape();
    ASSERT_EQ(g.count, 2);
    ASSERT_EQ(g.ncompo, 3);
    EXPECT_EQ(g.contours[0]->bounds, BRect(100, -50, 110, -40));
    EXPECT_EQ(g.contours[1]->bounds, BRect(0, 0, 5, 5));
    EXPECT_EQ(points_of(g.contours[2]),
              (std::vector<pt>{{100, -50, 0}, {110, -50, 0}, {110, -40, 0}, {100, -40, 0}}));
    // A component without outline gets a one-point rectangle at its offset.
    EXPECT_EQ(points_of(g.contours[4]),
              (std::vector<pt>{{7, 8, 0}, {7, 8, 0}, {7, 8, 0}, {7, 8, 0}}));
    EXPECT_EQ(g.bounds(), BRect(0, -50, 110, 5));

    // Selection works on the rectangles; a move changes the offsets, with
    // y subtracted because the editor's y axis points down.
    g.sel_first();
    EXPECT_EQ(g.contours[2]->selected, -1);
    EXPECT_EQ(g.contours[0]->selected, 0);
    g.move_sel(BPoint(10, 5));
    EXPECT_EQ(g.compo_dx[0], 110);
    EXPECT_EQ(g.compo_dy[0], -55);
    EXPECT_EQ(g.contours[2]->bounds, BRect(110, -45, 120, -35));
    EXPECT_EQ(g.contours[0]->bounds, BRect(100, -50, 110, -40)); // rebuilt later
    g.move_sel(BPoint(0.9f, -0.9f));
    EXPECT_EQ(g.compo_dx[0], 110);
    EXPECT_EQ(g.compo_dy[0], -54);
    g.move_sel(BPoint(1e6f, 0));
    EXPECT_EQ(g.compo_dx[0], 32767);

    g.sel_back();
    EXPECT_EQ(selection(&g, 2, 5), ".W.");
    g.sel_back();
    g.sel_back();
    EXPECT_EQ(selection(&g, 2, 5), "W..");
    g.sel_next();
    EXPECT_EQ(selection(&g, 2, 5), "..W");
    EXPECT_EQ(g.sel_check(BPoint(7, 8), 1), 1);
    EXPECT_EQ(g.sel_check(BPoint(500, 500), 1), 0);

    g.clr_composhape();
    EXPECT_EQ(g.count, 0);
    g.create_composhape();
    EXPECT_EQ(g.contours[0]->bounds, BRect(32767, -54, 32777, -44));
}

TEST(Glyph, ComponentsAddAndDeleteWithTheirRectangles) {
    glyph g(9);
    for (int k = 0; k < 7; k++)
        EXPECT_EQ(g.add_compo(square_component(k, 0, 0), 10 * k, 0, 0x4000, 0, 0, 0x4000), 0);
    g.create_composhape();
    EXPECT_EQ(g.del_compo(7), 1);
    EXPECT_EQ(g.del_compo(-1), 1);
    EXPECT_EQ(g.del_compo(2), 0);
    ASSERT_EQ(g.ncompo, 6);
    EXPECT_EQ(g.compo[2]->index, 3);
    EXPECT_EQ(g.compo_dx[2], 30);
    EXPECT_EQ(g.compo_dx[5], 60);
    EXPECT_EQ(g.compo_flags[5], glyf_flag::args_are_xy);
    // The rectangles stay paired with their components.
    EXPECT_EQ(g.contours[g.count + 2]->points[0], BPoint(30, 0));
    EXPECT_EQ(g.contours[g.count + 6], nullptr);

    // A contour added to a composite glyph goes before the rectangles.
    g.add_shape(make_square(-100, 0, 1));
    EXPECT_EQ(g.contours[g.count - 1]->points[0], BPoint(-100, 0));
    EXPECT_EQ(g.contours[g.count]->points[0], BPoint(0, 0));
    g.clr_composhape();
    g.create_composhape();
    EXPECT_EQ(g.count, 6);
}

TEST(Glyph, AFullGlyphKeepsEveryComponentAndBoundsItsOutline) {
    glyph g(9);
    for (int k = 0; k < glyph::max_components; k++)
        ASSERT_EQ(g.add_compo(square_component(k, 0, 0), (short)k, 0, 0x4000, 0, 0, 0x4000), 0);
    glyph* extra = square_component(1, 0, 0);
    EXPECT_EQ(g.add_compo(extra, 0, 0, 0x4000, 0, 0, 0x4000), 1);
    delete extra;
    g.create_composhape();
    // Every component keeps its rectangle; the derived outline stops at the
    // contour limit, so slots stay bounded.
    ASSERT_EQ(g.ncompo, glyph::max_components);
    EXPECT_EQ(g.count, glyph::max_contours);
    EXPECT_EQ(g.contours[g.count + glyph::max_components - 1]->points[0],
              BPoint(glyph::max_components - 1, 0));
    // Components past 255 can be removed by number.
    EXPECT_EQ(g.del_compo(1000), 0);
    EXPECT_EQ(g.compo_dx[1000], 1001);
    EXPECT_EQ(g.contours[g.count + 1000]->points[0], BPoint(1001, 0));
    g.sel_last();
    g.move_sel(BPoint(5, 0));
    EXPECT_EQ(g.compo_dx[glyph::max_components - 2], glyph::max_components - 1 + 5);
}

TEST(Glyph, MatchedPointsAndScaledOffsetsPlaceComponents) {
    // Component 0 at (100, 0); component 1 placed so that its point 2
    // (10, 10) lands on point 2 of the glyph so far, (110, 10).
    glyph g(9);
    g.add_compo(square_component(1, 0, 0), 100, 0, 0x4000, 0, 0, 0x4000);
    g.add_compo(square_component(2, 0, 0), 2, 2, 0x4000, 0, 0, 0x4000, 0);
    // Scaled offset: (40, 0) under a half scale places the square at (20, 0).
    g.add_compo(square_component(3, 0, 0), 40, 0, 0x2000, 0, 0, 0x2000,
                glyf_flag::args_are_xy | glyf_flag::scaled_offset);
    // Both scaling flags: the offset is not scaled.
    g.add_compo(square_component(4, 0, 0), 40, 0, 0x2000, 0, 0, 0x2000,
                glyf_flag::args_are_xy | glyf_flag::scaled_offset | glyf_flag::unscaled_offset);
    // A point that does not exist places the component at (0, 0).
    g.add_compo(square_component(5, 0, 0), 900, 0, 0x4000, 0, 0, 0x4000, 0);
    g.create_composhape();
    ASSERT_EQ(g.count, 5);
    EXPECT_TRUE(g.compo_matched(1));
    EXPECT_FALSE(g.compo_matched(2));
    EXPECT_EQ(g.contours[0]->points[2], BPoint(110, 10));
    EXPECT_EQ(g.contours[1]->points[2], BPoint(110, 10));
    EXPECT_EQ(g.contours[1]->points[0], BPoint(100, 0));
    EXPECT_EQ(g.contours[2]->bounds, BRect(20, 0, 25, 5));
    EXPECT_EQ(g.contours[3]->bounds, BRect(40, 0, 45, 5));
    EXPECT_EQ(g.contours[4]->bounds, BRect(0, 0, 10, 10));

    // A drag moves offsets, never point numbers.
    for (int i = g.count; i < g.count + g.ncompo; i++)
        g.contours[i]->selected = -1;
    g.move_sel(BPoint(7, 0));
    EXPECT_EQ(g.compo_dx[0], 107);
    EXPECT_EQ(g.compo_dx[1], 2);
    EXPECT_EQ(g.compo_dy[1], 2);
    EXPECT_EQ(g.compo_dx[4], 900);
}

TEST(Glyph, NestedCompositeIsFlattenedAndTransMapsEverySlot) {
    glyph* inner = new glyph(4);
    inner->depth = 1;
    inner->add_compo(square_component(1, 0, 0), 10, 0, 0x4000, 0, 0, 0x4000);
    inner->create_composhape();
    glyph g(5);
    g.add_compo(inner, 0, -100, 0x4000, 0, 0, 0x4000);
    g.create_composhape();
    ASSERT_EQ(g.count, 1);
    EXPECT_EQ(g.contours[0]->bounds, BRect(10, -100, 20, -90));
    EXPECT_LT(g.bounds().bottom, 0);

    g.trans(BRect(0, 0, 99, 99), BRect(0, 0, 199, 199));
    EXPECT_EQ(g.contours[0]->bounds, BRect(20, -200, 40, -180));
    EXPECT_EQ(g.contours[1]->bounds, BRect(20, -200, 40, -180));
}
