// Small builders for contour and glyph tests.
#ifndef TAVREL_TESTS_OUTLINE_BUILDERS_H
#define TAVREL_TESTS_OUTLINE_BUILDERS_H

#include "outline/glyph.h"
#include "outline/shape.h"

#include <initializer_list>
#include <vector>

struct pt {
    float x, y;
    char flag;
};

inline shape* make_shape(std::initializer_list<pt> pts) {
    shape* s = new shape((int)pts.size());
    int i = 0;
    for (const pt& p : pts)
        s->set(i++, BPoint(p.x, p.y), p.flag);
    s->ctrlp2form();
    return s;
}

// An axis-aligned square of side `size` at (x, y), listed clockwise on a
// y-down screen.
inline shape* make_square(float x, float y, float size) {
    return make_shape({{x, y, 0}, {x + size, y, 0}, {x + size, y + size, 0}, {x, y + size, 0}});
}

inline std::vector<pt> points_of(const shape* s) {
    std::vector<pt> out;
    for (int i = 0; i < s->count; i++) {
        BPoint p;
        char f = 0;
        s->get(i, p, f);
        out.push_back({p.x, p.y, f});
    }
    return out;
}

inline bool operator==(const pt& a, const pt& b) {
    return a.x == b.x && a.y == b.y && a.flag == b.flag;
}

#endif
