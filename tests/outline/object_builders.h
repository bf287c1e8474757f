// Driving drawing objects through a gesture in tests.
#ifndef TAVREL_TESTS_OUTLINE_OBJECT_BUILDERS_H
#define TAVREL_TESTS_OUTLINE_OBJECT_BUILDERS_H

#include "outline/object.h"
#include "outline/shape.h"

#include <initializer_list>
#include <memory>
#include <vector>

struct pointer_event {
    unsigned char event;
    float x, y;
};

// Feeds the events in order and returns the state after the last one.
inline int feed(object& o, std::initializer_list<pointer_event> events, unsigned char psize = 0) {
    int state = o.state;
    for (const pointer_event& e : events)
        state = o.create(e.event, BPoint(e.x, e.y), psize);
    return state;
}

// A press at `from`, drags along `through` and the release at the last of them.
inline int drag(object& o, BPoint from, const std::vector<BPoint>& through,
                unsigned char psize = 0) {
    int state = o.create(obj_press, from, psize);
    for (size_t i = 0; i < through.size(); i++)
        state = o.create(i + 1 < through.size() ? obj_drag : obj_release, through[i], psize);
    return state;
}

// The contours of to_shape, owned by the caller; the array is freed.
inline std::vector<std::unique_ptr<shape>> contours_of(object& o) {
    std::vector<std::unique_ptr<shape>> out;
    shape** list = o.to_shape();
    if (!list)
        return out;
    for (shape** s = list; *s; s++)
        out.emplace_back(*s);
    delete[] list;
    return out;
}

#endif
