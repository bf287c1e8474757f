// Every contour a drawing object makes can be stored in a glyph record and
// read back unchanged (coordinates are whole font units in the file).
#include "font/glyf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "object_builders.h"
#include "outline_builders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

struct Case {
    const char* label;
    std::function<object*()> make;
};

const Case cases[] = {
    {"rectangle",
     [] {
         object* o = new obj_rect;
         drag(*o, BPoint(100, 700), {BPoint(900, -200)});
         return o;
     }},
    {"ellipse",
     [] {
         object* o = new obj_ellipse;
         drag(*o, BPoint(-300, 50), {BPoint(1234, 987)});
         return o;
     }},
    {"polygon",
     [] {
         object* o = new obj_polygon;
         feed(*o, {{obj_press, 10, 10},
                   {obj_press, 300, 20},
                   {obj_press, 200, 400},
                   {obj_press, 50, 350},
                   {obj_press, 50, 350}});
         return o;
     }},
    {"rounded polygon",
     [] {
         object* o = new obj_round;
         feed(*o, {{obj_press, 0, 0},
                   {obj_press, 500, 0},
                   {obj_press, 250, 433},
                   {obj_press, 250, 433}});
         return o;
     }},
    {"free-hand ring",
     [] {
         object* o = new obj_free;
         o->create(obj_press, BPoint(400, 300), 24);
         for (int i = 1; i <= 48; i++) {
             double a = 2 * M_PI * i / 48;
             o->create(i < 48 ? obj_drag : obj_release,
                       BPoint(300 + 100 * (float)std::cos(a), 300 + 100 * (float)std::sin(a)), 24);
         }
         return o;
     }},
};

} // namespace

TEST(ObjectCodec, EveryContourSurvivesEncodeAndDecode) {
    for (const Case& c : cases) {
        std::unique_ptr<object> o(c.make());
        ASSERT_EQ(o->state, obj_finished) << c.label;
        glyph g(0);
        std::vector<std::vector<pt>> made;
        shape** list = o->to_shape();
        ASSERT_NE(list, nullptr) << c.label;
        for (shape** s = list; *s; s++) {
            made.push_back(points_of(*s));
            ASSERT_EQ(g.add_shape(*s), 0) << c.label;
        }
        delete[] list;
        ASSERT_FALSE(made.empty()) << c.label;

        unsigned char* data = malloc32(0);
        ttf_glyf table(nullptr, data, 0);
        unsigned long offset = 0, length = 0;
        ASSERT_EQ(table.encode(&g, &offset, &length), 0) << c.label;
        glyph back(0);
        ASSERT_EQ(table.decode(offset, length, &back), 0) << c.label;
        ASSERT_EQ(back.count, (int)made.size()) << c.label;
        for (size_t i = 0; i < made.size(); i++) {
            std::vector<pt> expect = made[i];
            for (pt& p : expect) {
                p.x = std::trunc(p.x);
                p.y = std::trunc(p.y);
            }
            EXPECT_EQ(points_of(back.contours[i]), expect) << c.label << " contour " << i;
        }
    }
}
