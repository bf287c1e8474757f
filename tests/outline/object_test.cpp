// Rectangles, ellipses, polygons and rounded polygons: the gestures that
// enter them and the contours they become.
#include "object_builders.h"
#include "outline_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <type_traits>

namespace {

std::vector<pt> as_pts(std::initializer_list<pt> l) {
    return std::vector<pt>(l);
}

} // namespace

TEST(ObjectFamily, KindsAndStartingStorage) {
    static_assert(std::has_virtual_destructor<object>::value,
                  "objects are destroyed through base pointers");
    struct Case {
        object* o;
        int kind, count;
    };
    Case cases[] = {{new obj_free, 0x10, 0},
                    {new obj_rect, 0x30, 4},
                    {new obj_ellipse, 0x40, 4},
                    {new obj_polygon, 0x50, 0},
                    {new obj_round, 0x51, 0}};
    for (Case& c : cases) {
        EXPECT_EQ(c.o->kind, c.kind);
        EXPECT_EQ(c.o->count, c.count) << c.kind;
        EXPECT_EQ(c.o->state, 0) << c.kind;
        delete c.o; // through the base, as the editor does
    }
    object base(0);
    EXPECT_EQ(base.create(obj_press, BPoint(1, 1), 0), -1);
    EXPECT_EQ(base.to_shape(), nullptr);
}

TEST(ObjectRect, CornersFollowTheDragAndRunClockwiseOnlyDownRight) {
    struct Case {
        const char* label;
        BPoint to;
        bool clockwise;
    };
    const Case cases[] = {
        {"down right", BPoint(50, 40), true},
        {"up right", BPoint(50, 2), false},
        {"down left", BPoint(3, 40), false},
        {"up left", BPoint(3, 2), true},
    };
    for (const Case& c : cases) {
        obj_rect r;
        EXPECT_EQ(drag(r, BPoint(10, 20), {BPoint(30, 30), c.to}), obj_finished) << c.label;
        auto out = contours_of(r);
        ASSERT_EQ(out.size(), 1u) << c.label;
        EXPECT_EQ(points_of(out[0].get()),
                  as_pts({{10, 20, 0}, {c.to.x, 20, 0}, {c.to.x, c.to.y, 0}, {10, c.to.y, 0}}))
            << c.label;
        EXPECT_EQ(out[0]->ispositive(), c.clockwise) << c.label;
        EXPECT_EQ(out[0]->selected, 0);
        EXPECT_EQ(out[0]->bounds, BRect(std::min(10.f, c.to.x), std::min(20.f, c.to.y),
                                        std::max(10.f, c.to.x), std::max(20.f, c.to.y)))
            << c.label;
    }
}

TEST(ObjectEllipse, EightOffCurvePointsAroundTheBox) {
    obj_ellipse e;
    // Radii 100 and 50 about (300, 200).
    ASSERT_EQ(drag(e, BPoint(200, 150), {BPoint(400, 250)}), obj_finished);
    auto out = contours_of(e);
    ASSERT_EQ(out.size(), 1u);
    std::vector<pt> p = points_of(out[0].get());
    ASSERT_EQ(p.size(), 8u);
    EXPECT_NEAR(p[0].x, 300 - 41.421356, 1e-4);
    EXPECT_EQ(p[0].y, 150);
    const float k = (float)(std::sqrt(2.0) - 1.0);
    const float cx = 300, cy = 200, rx = 100, ry = 50;
    EXPECT_EQ(p, as_pts({{cx - k * rx, cy - ry, 1},
                         {cx + k * rx, cy - ry, 1},
                         {cx + rx, cy - k * ry, 1},
                         {cx + rx, cy + k * ry, 1},
                         {cx + k * rx, cy + ry, 1},
                         {cx - k * rx, cy + ry, 1},
                         {cx - rx, cy + k * ry, 1},
                         {cx - rx, cy - k * ry, 1}}));
    EXPECT_TRUE(out[0]->ispositive());
}

TEST(ObjectDragged, ZeroAreaGivesNoContour) {
    struct Case {
        const char* label;
        std::vector<BPoint> through;
    };
    const Case cases[] = {
        {"click without a drag", {BPoint(10, 10)}},
        {"width 0", {BPoint(10, 60)}},
        {"height 0", {BPoint(70, 10)}},
        {"dragged away and back", {BPoint(50, 50), BPoint(10, 10)}},
    };
    for (const Case& c : cases) {
        obj_rect r;
        obj_ellipse e;
        for (object* o : {(object*)&r, (object*)&e}) {
            EXPECT_EQ(drag(*o, BPoint(10, 10), c.through), obj_finished) << c.label;
            shape** list = o->to_shape();
            ASSERT_NE(list, nullptr) << c.label;
            EXPECT_EQ(list[0], nullptr) << c.label << " kind " << o->kind;
            delete[] list;
        }
    }
}

TEST(ObjectDragged, SecondaryPressCancelsAtAnyPoint) {
    struct Case {
        const char* label;
        std::initializer_list<pointer_event> events;
    };
    const Case cases[] = {
        {"as the first press", {{obj_secondary_press, 5, 5}}},
        {"while dragging", {{obj_press, 5, 5}, {obj_drag, 20, 20}, {obj_secondary_press, 20, 20}}},
    };
    for (const Case& c : cases) {
        obj_rect r;
        obj_ellipse e;
        for (object* o : {(object*)&r, (object*)&e}) {
            EXPECT_EQ(feed(*o, c.events), obj_cancelled) << c.label;
            // Nothing revives a cancelled gesture.
            EXPECT_EQ(feed(*o, {{obj_press, 1, 1}, {obj_release, 9, 9}}), obj_cancelled);
        }
    }
}

TEST(ObjectPolygon, FirstClickStartsAndAClickOnTheLastPointFinishes) {
    obj_polygon p;
    EXPECT_EQ(feed(p, {{obj_press, 10, 10}}), 1);
    EXPECT_EQ(p.count, 2); // one fixed point and the rubber band
    EXPECT_EQ(feed(p, {{obj_hover, 60, 12}}), 1);
    EXPECT_EQ(p.points[1], BPoint(60, 12));
    EXPECT_EQ(feed(p, {{obj_press, 60, 10}, {obj_hover, 40, 50}, {obj_press, 40, 50}}), 3);
    EXPECT_EQ(p.count, 4);
    // Within 2 units of the last fixed point (the edge of the square counts).
    EXPECT_EQ(feed(p, {{obj_press, 42, 48}}), obj_finished);
    auto out = contours_of(p);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()), as_pts({{10, 10, 0}, {60, 10, 0}, {40, 50, 0}}));
}

TEST(ObjectPolygon, ClickBeyondTwoUnitsAddsAPoint) {
    struct Case {
        float dx, dy;
        int state;
    };
    const Case cases[] = {{0, 0, obj_finished}, {2, 2, obj_finished}, {-2, 0, obj_finished},
                          {2.5f, 0, 3},         {0, -2.5f, 3},        {2.01f, 1, 3}};
    for (const Case& c : cases) {
        obj_polygon p;
        feed(p, {{obj_press, 10, 10}, {obj_press, 50, 50}});
        EXPECT_EQ(feed(p, {{obj_press, 50 + c.dx, 50 + c.dy}}), c.state) << c.dx << "," << c.dy;
    }
}

TEST(ObjectPolygon, FinishingRightAfterTheFirstClickGivesOnePoint) {
    obj_polygon p;
    EXPECT_EQ(feed(p, {{obj_press, 7, 8}, {obj_press, 8, 8}}), obj_finished);
    auto out = contours_of(p);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()), as_pts({{7, 8, 0}}));
}

TEST(ObjectPolygon, SecondaryPressTakesPointsBackThenCancels) {
    obj_polygon p;
    feed(p, {{obj_press, 0, 0}, {obj_press, 30, 0}, {obj_press, 30, 30}});
    ASSERT_EQ(p.count, 4);
    EXPECT_EQ(feed(p, {{obj_secondary_press, 20, 25}}), 2);
    EXPECT_EQ(p.count, 3);
    EXPECT_EQ(p.points[2], BPoint(20, 25)); // the rubber band follows
    EXPECT_EQ(feed(p, {{obj_secondary_press, 21, 25}}), 1);
    EXPECT_EQ(p.count, 2);
    EXPECT_EQ(feed(p, {{obj_secondary_press, 22, 25}}), obj_cancelled);
    EXPECT_EQ(p.count, 0);
    // A secondary press as the very first event has nothing to take back.
    obj_round r;
    EXPECT_EQ(feed(r, {{obj_secondary_press, 1, 1}}), obj_cancelled);
    EXPECT_EQ(r.count, 0);
}

TEST(ObjectPolygon, TheStorageHoldsAtMost256Points) {
    obj_polygon p;
    for (int i = 0; i < 255; i++)
        ASSERT_EQ(feed(p, {{obj_press, (float)(10 * i), (float)(i % 2)}}), i + 1);
    ASSERT_EQ(p.count, 256);
    // The next corner is the last one there is room for: it ends the polygon.
    EXPECT_EQ(feed(p, {{obj_press, 5000, 70}}), obj_finished);
    EXPECT_EQ(p.count, 256);
    auto out = contours_of(p);
    ASSERT_EQ(out.size(), 1u);
    ASSERT_EQ(out[0]->count, 256);
    EXPECT_EQ(out[0]->points[254], BPoint(2540, 0));
    EXPECT_EQ(out[0]->points[255], BPoint(5000, 70));
}

TEST(ObjectRound, SamePointsAllOffCurve) {
    obj_round r;
    feed(r, {{obj_press, 0, 0},
             {obj_press, 100, 0},
             {obj_press, 100, 80},
             {obj_press, 0, 80},
             {obj_press, 1, 79}});
    ASSERT_EQ(r.state, obj_finished);
    auto out = contours_of(r);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(points_of(out[0].get()), as_pts({{0, 0, 1}, {100, 0, 1}, {100, 80, 1}, {0, 80, 1}}));
    EXPECT_EQ(out[0]->bounds, BRect(0, 0, 100, 80));
}

// Random gestures, far-off and repeated positions included: storage is never
// overrun (ASan watches in the sanitizer build), the state stays coherent and
// every contour made fits a contour.
TEST(ObjectFamily, RandomGesturesKeepWithinTheirStorage) {
    std::mt19937 rng(12);
    const unsigned char events[] = {obj_press, obj_release, obj_drag, obj_hover,
                                    obj_secondary_press};
    const float spots[] = {0, 1, 2, 2.5f, 100, -100, 4000, -65535};
    for (int run = 0; run < 400; run++) {
        std::unique_ptr<object> o;
        switch (run % 4) {
        case 0:
            o.reset(new obj_rect);
            break;
        case 1:
            o.reset(new obj_ellipse);
            break;
        case 2:
            o.reset(new obj_polygon);
            break;
        default:
            o.reset(new obj_round);
            break;
        }
        int limit = (run % 4) < 2 ? 4 : object::list_capacity;
        for (int i = 0; i < 1000 && o->state >= 0; i++) {
            // Presses are frequent, so that polygons fill their storage.
            unsigned char e = rng() % 3 ? events[0] : events[rng() % 5];
            BPoint p(spots[rng() % 8] + (float)(rng() % 50) * 3, spots[rng() % 8]);
            int state = o->create(e, p, (unsigned char)(rng() % 101));
            ASSERT_EQ(state, o->state);
            ASSERT_GE(o->count, 0);
            ASSERT_LE(o->count, limit);
            if (o->kind >= obj_kind_polygon && state > 0) {
                ASSERT_EQ(o->count, state + 1);
            }
        }
        for (auto& s : contours_of(*o)) {
            ASSERT_GE(s->count, 1);
            ASSERT_LE(s->count, shape::max_points);
        }
    }
}
