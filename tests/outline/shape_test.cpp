#include "outline_builders.h"

#include <gtest/gtest.h>

#include <memory>

using V = std::vector<pt>;

TEST(Shape, ConstructorClampsCountToStorage) {
    EXPECT_EQ(shape(5000).count, shape::max_points);
    EXPECT_EQ(shape(-3).count, 0);
    shape s(2);
    EXPECT_EQ(s.bounds, BRect(0, 0, -1, -1));
    EXPECT_EQ(s.selected, 0);
}

TEST(Shape, GetAndSetStayInsideTheirRanges) {
    std::unique_ptr<shape> s(make_shape({{1, 2, 0}, {3, 4, 1}, {5, 6, 0}}));
    BPoint p(-7, -7);
    char f = 9;
    EXPECT_FALSE(s->get(3, p, f));
    EXPECT_FALSE(s->get(-1, p, f));
    EXPECT_EQ(p, BPoint(-7, -7));
    EXPECT_EQ(f, 9);
    EXPECT_TRUE(s->get(1, p, f));
    EXPECT_EQ(p, BPoint(3, 4));
    EXPECT_EQ(f, 1);
    // Writes outside the fixed storage are ignored rather than corrupting memory.
    s->set(shape::max_points, BPoint(1, 1), 1);
    s->set(-1, BPoint(1, 1), 1);
    EXPECT_EQ(s->count, 3);
}

TEST(Shape, CopyIsIndependentAndLeavesBoundsUncomputed) {
    std::unique_ptr<shape> s(make_shape({{0, 0, 0}, {10, 0, 1}, {10, 10, 0}}));
    s->selected = -1;
    s->point_selected = 1;
    std::unique_ptr<shape> c(s->copy());
    EXPECT_EQ(points_of(c.get()), points_of(s.get()));
    EXPECT_EQ(c->selected, -1);
    EXPECT_EQ(c->point_selected, 0);
    EXPECT_EQ(c->bounds, BRect(0, 0, -1, -1));
    c->set(0, BPoint(99, 99), 1);
    EXPECT_EQ(points_of(s.get())[0], (pt{0, 0, 0}));
}

// inspoint picks the side by comparing |PS|^2 + |XN|^2 with |PX|^2 + |SN|^2.
TEST(Shape, InspointChoosesTheShorterSide) {
    struct Case {
        const char* label;
        int sel;
        BPoint offset;
        V expect;
        int selected_after;
    };
    const Case cases[] = {
        // Towards the next point: inserted after, selection follows.
        {"after", 1, BPoint(5, 0), V{{0, 0, 0}, {5, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}, 2},
        // Towards the previous point (the last one when s = 0): before.
        {"before wraps", 1, BPoint(0, 5),
         V{{0, 5, 0}, {0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}, 1},
        // Equal sums insert before.
        {"tie", 1, BPoint(0, 0), V{{0, 0, 0}, {0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}, 1},
        // The flag is the selected point's; next of the last point is point 0.
        {"flag copied", 2, BPoint(8, 0),
         V{{0, 0, 0}, {10, 0, 1}, {18, 0, 1}, {10, 10, 0}, {0, 10, 0}}, 3},
    };
    for (const Case& c : cases) {
        std::unique_ptr<shape> s(make_shape({{0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 0}}));
        s->selected = c.sel;
        s->point_selected = 1;
        s->inspoint(c.offset);
        EXPECT_EQ(points_of(s.get()), c.expect) << c.label;
        EXPECT_EQ(s->selected, c.selected_after) << c.label;
        EXPECT_EQ(s->point_selected, 0) << c.label;
        std::unique_ptr<shape> want(new shape((int)c.expect.size()));
        for (size_t i = 0; i < c.expect.size(); i++)
            want->set((int)i, BPoint(c.expect[i].x, c.expect[i].y), c.expect[i].flag);
        want->ctrlp2form();
        EXPECT_EQ(s->bounds, want->bounds) << c.label;
    }
}

TEST(Shape, InspointNeedsAFreshPointHitAndRoom) {
    std::unique_ptr<shape> s(make_square(0, 0, 10));
    s->selected = 2;
    s->inspoint(BPoint(1, 1));
    EXPECT_EQ(s->count, 4);

    std::unique_ptr<shape> full(new shape(shape::max_points));
    full->selected = 1;
    full->point_selected = 1;
    full->inspoint(BPoint(1, 1));
    EXPECT_EQ(full->count, shape::max_points);
}

TEST(Shape, DelpointRemovesOrAsksForDeletion) {
    std::unique_ptr<shape> s(make_shape({{0, 0, 0}, {10, 0, 1}, {20, 5, 0}, {0, 10, 0}}));
    s->selected = 3;
    EXPECT_FALSE(s->delpoint());
    EXPECT_EQ(points_of(s.get()), (V{{0, 0, 0}, {10, 0, 1}, {0, 10, 0}}));
    EXPECT_EQ(s->bounds, BRect(0, 0, 10, 10));

    // Three points: the owner deletes the contour; the points stay as they were.
    s->selected = 1;
    EXPECT_TRUE(s->delpoint());
    BPoint p;
    char f;
    ASSERT_TRUE(s->get(1, p, f));
    EXPECT_EQ(p, BPoint(10, 0));

    // Without a selected point nothing happens.
    std::unique_ptr<shape> t(make_square(0, 0, 10));
    t->selected = -1;
    EXPECT_FALSE(t->delpoint());
    EXPECT_EQ(t->count, 4);
}

TEST(Shape, ToggleReverseAndMoveFollowTheSelection) {
    std::unique_ptr<shape> s(
        make_shape({{0, 0, 0}, {10, 0, 1}, {10, 10, 0}, {0, 10, 1}, {5, 5, 0}}));
    s->selected = 2;
    s->tglpoint();
    s->reverse(); // only a whole selection reverses
    s->move(BPoint(1, 2));
    EXPECT_EQ(points_of(s.get()), (V{{0, 0, 0}, {11, 2, 0}, {10, 10, 0}, {0, 10, 1}, {5, 5, 0}}));
    EXPECT_EQ(s->bounds, BRect(0, 0, 11, 10));

    s->selected = -1;
    s->tglpoint();
    s->reverse();
    s->move(BPoint(-1, 0));
    EXPECT_EQ(points_of(s.get()), (V{{4, 5, 1}, {-1, 10, 0}, {9, 10, 1}, {10, 2, 1}, {-1, 0, 1}}));

    s->selected = 0;
    s->move(BPoint(100, 100));
    EXPECT_EQ(s->bounds, BRect(-1, 0, 10, 10));
}

TEST(Shape, PointHitPrefersTheLaterPointThenTheContour) {
    std::unique_ptr<shape> s(make_shape({{0, 0, 0}, {3, 0, 0}, {40, 40, 0}}));
    EXPECT_EQ(s->select_chk(BPoint(2, 0), 2), 2); // both squares hold it
    EXPECT_EQ(s->selected, 2);
    EXPECT_EQ(s->point_selected, 1);
    EXPECT_EQ(s->select_chk(BPoint(5, 0), 2), 2); // edge of the square counts
    EXPECT_EQ(s->select_chk(BPoint(20, 30), 2), -1);
    EXPECT_EQ(s->selected, -1);
    EXPECT_EQ(s->point_selected, 0);
    s->selected = 3;
    s->point_selected = 1;
    EXPECT_EQ(s->select_chk(BPoint(50, 50), 2), 0);
    EXPECT_EQ(s->selected, 3);
    EXPECT_EQ(s->point_selected, 0);
}

TEST(Shape, RectangleSelection) {
    std::unique_ptr<shape> s(make_square(10, 10, 10));
    s->point_selected = 1;
    EXPECT_EQ(s->select_chk(BRect(0, 0, 9, 9)), 0);
    EXPECT_EQ(s->selected, 0);
    EXPECT_EQ(s->point_selected, 0);
    EXPECT_EQ(s->select_chk(BRect(20, 20, 30, 30)), -1); // touching corner
    s->selected = 0;
    EXPECT_EQ(s->select_chk(BRect(0, 0, 100, 100)), -1);
    EXPECT_EQ(s->selected, -1);
}

TEST(Shape, TransMapsInclusiveRectangles) {
    struct Case {
        const char* label;
        BRect from, to;
        BPoint in, out;
    };
    const Case cases[] = {
        {"scale 2", BRect(0, 0, 9, 9), BRect(0, 0, 19, 19), BPoint(5, 5), BPoint(10, 10)},
        {"offset", BRect(10, 10, 19, 19), BRect(0, 0, 9, 9), BPoint(12, 15), BPoint(2, 5)},
        // A flipped destination: top 99, bottom 0 gives height -100.
        {"flip y", BRect(0, 0, 99, 99), BRect(0, 99, 99, 0), BPoint(10, 0), BPoint(10, 99)},
        {"flip y inner", BRect(0, 0, 99, 99), BRect(0, 99, 99, 0), BPoint(10, 20), BPoint(10, 79)},
        // A degenerate source (left = right) has width 1.
        {"degenerate", BRect(5, 0, 5, 9), BRect(0, 0, 9, 9), BPoint(6, 0), BPoint(10, 0)},
    };
    for (const Case& c : cases) {
        std::unique_ptr<shape> s(make_shape({{c.in.x, c.in.y, 0}}));
        s->trans(c.from, c.to);
        BPoint p;
        char f;
        s->get(0, p, f);
        EXPECT_FLOAT_EQ(p.x, c.out.x) << c.label;
        EXPECT_FLOAT_EQ(p.y, c.out.y) << c.label;
        EXPECT_EQ(s->bounds, BRect(p.x, p.y, p.x, p.y)) << c.label;
    }
}

TEST(Shape, TranscopyUsesEachMatrixValueInItsRole) {
    std::unique_ptr<shape> s(make_shape({{100, 10, 0}, {0, 0, 1}}));
    s->selected = -1;
    // dx, dy, xscale 0.5, scale01 0.25 (x into y), scale10 -1 (y into x), yscale 1.
    std::unique_ptr<shape> t(s->transcopy(3, -4, 0x2000, 0x1000, (short)0xC000, 0x4000));
    EXPECT_EQ(points_of(t.get()), (V{{3 + 50 - 10, -4 + 25 + 10, 0}, {3, -4, 1}}));
    EXPECT_EQ(t->selected, 0);
    EXPECT_EQ(t->bounds, BRect(0, 0, -1, -1));

    std::unique_ptr<shape> id(s->transcopy(0, 0, 0x4000, 0, 0, 0x4000));
    EXPECT_EQ(points_of(id.get()), points_of(s.get()));
}

TEST(Shape, OrientationAtTheLowestPoint) {
    std::unique_ptr<shape> cw(make_square(0, 0, 10));
    EXPECT_TRUE(cw->ispositive());
    std::unique_ptr<shape> ccw(make_shape({{0, 0, 0}, {0, 10, 0}, {10, 10, 0}, {10, 0, 0}}));
    EXPECT_FALSE(ccw->ispositive());
    // Opposite x signs at the lowest point: decided by the slopes.
    std::unique_ptr<shape> v(make_shape({{0, 10, 0}, {5, 0, 0}, {4, 10, 0}}));
    EXPECT_TRUE(v->ispositive());
    std::unique_ptr<shape> w(make_shape({{4, 10, 0}, {5, 0, 0}, {0, 10, 0}}));
    EXPECT_FALSE(w->ispositive());
}

// Contours keep short point lists inside the object and move to the heap as
// they grow; every point must survive each move, up to the full 1024.
TEST(Shape, GrowingPastEachStorageSizeKeepsEveryPoint) {
    std::unique_ptr<shape> s(new shape(3));
    for (int i = 0; i < 3; i++)
        s->set(i, BPoint((float)i, (float)-i), (char)(i & 1));
    std::vector<pt> expect = points_of(s.get());
    // Insert after the last point each time: it is the shorter side when the
    // new point lies just beyond it.
    while (s->count < shape::max_points) {
        int last = s->count - 1;
        s->selected = s->count;
        s->point_selected = 1;
        s->inspoint(BPoint(1000, 0));
        ASSERT_EQ(s->count, last + 2);
        BPoint p;
        char f;
        ASSERT_TRUE(s->get(s->selected - 1, p, f));
        expect.insert(expect.begin() + (s->selected - 1), {p.x, p.y, f});
    }
    EXPECT_EQ(points_of(s.get()), expect);
    std::unique_ptr<shape> c(s->copy());
    EXPECT_EQ(points_of(c.get()), expect);

    // New points read as (0, 0) on the curve; a point set beyond the count
    // survives the storage growing under it.
    shape fresh(40);
    BPoint p(5, 5);
    char f = 1;
    ASSERT_TRUE(fresh.get(39, p, f));
    EXPECT_EQ(p, BPoint(0, 0));
    EXPECT_EQ(f, 0);
    shape partial(2);
    partial.set(20, BPoint(7, 8), 1);
    partial.set(700, BPoint(9, 9), 0);
    partial.count = 21;
    ASSERT_TRUE(partial.get(20, p, f));
    EXPECT_EQ(p, BPoint(7, 8));
    EXPECT_EQ(f, 1);
    ASSERT_TRUE(partial.get(10, p, f));
    EXPECT_EQ(p, BPoint(0, 0));
}

// Bounds take two points at a time; odd and even counts must both see every
// point, the last one included.
TEST(Shape, BoundsCoverEveryPointForAnyCount) {
    const pt all[] = {{5, -2, 0}, {-7, 4, 1}, {3, 9, 0}, {11, -8, 0}, {0, 0, 1}, {-1, 20, 0}};
    const BRect expect[] = {BRect(5, -2, 5, -2),  BRect(-7, -2, 5, 4),  BRect(-7, -2, 5, 9),
                            BRect(-7, -8, 11, 9), BRect(-7, -8, 11, 9), BRect(-7, -8, 11, 20)};
    for (int n = 1; n <= 6; n++) {
        shape s(n);
        for (int i = 0; i < n; i++)
            s.set(i, BPoint(all[i].x, all[i].y), all[i].flag);
        s.ctrlp2form();
        EXPECT_EQ(s.bounds, expect[n - 1]) << n << " points";
    }
    shape none(0);
    none.ctrlp2form();
    EXPECT_EQ(none.bounds, BRect(0, 0, -1, -1));
}

// A component that is only moved takes a shortcut; it must give exactly the
// points, flags and bounds of the general transform.
TEST(Shape, MovedCopyMatchesTheGeneralTransform) {
    for (int n = 0; n <= 5; n++) {
        shape s(n);
        for (int i = 0; i < n; i++)
            s.set(i, BPoint(3.0f * i - 7, 11.0f - 5 * i), (char)(i % 2));
        std::unique_ptr<shape> general(s.transcopy(-30, 12, 0x4000, 0, 0, 0x4000));
        general->ctrlp2form();
        std::unique_ptr<shape> moved(s.moved_copy(-30, 12));
        EXPECT_EQ(points_of(moved.get()), points_of(general.get())) << n;
        EXPECT_EQ(moved->bounds, general->bounds) << n;
    }
}
