// The drawing-object base and the two ways of entering points: click by
// click (object_l) and press-drag-release (object_r).
#include "outline/object.h"

#include <Rect.h>

object::object(int n) : kind(0), reserved(0), state(0), count(n > 0 ? n : 0) {
    capacity = n > 0 ? n : list_capacity;
    points = new BPoint[capacity];
}

object::~object() {
    delete[] points;
}

int object::create(unsigned char, BPoint, unsigned char) {
    return -1;
}

void object::drawframe(BView*, float) {}

shape** object::to_shape() {
    return nullptr;
}

int object_l::create(unsigned char event, BPoint p, unsigned char) {
    if (state < 0)
        return state;
    // Every test looks at the state the event arrived with: otherwise the
    // first click, having just stored its point, would also count as a click
    // on the last fixed point and finish the polygon at once.
    const int32_t arrived = state;

    if (event == obj_press && arrived == 0) {
        points[0] = p;
        points[1] = p;
        count = 2;
        state = 1;
    } else if (event == obj_press) {
        const BPoint& last = points[arrived - 1];
        if (BRect(last.x - 2, last.y - 2, last.x + 2, last.y + 2).Contains(p)) {
            count -= 1;
            state = obj_finished;
        } else if (count >= capacity) {
            // No room for another rubber band: this click places the last
            // corner the storage holds and finishes the polygon.
            points[arrived] = p;
            state = obj_finished;
        } else {
            points[arrived] = p;
            state = arrived + 1;
            points[count] = p;
            count += 1;
        }
    } else if (event == obj_hover && arrived != 0) {
        points[count - 1] = p;
    } else if (event == obj_secondary_press) {
        if (arrived == 0) {
            // Nothing was entered yet: there is nothing to take back.
            count = 0;
            state = obj_cancelled;
        } else {
            count -= 1;
            state = arrived - 1;
            if (count > 1) {
                points[count - 1] = p;
            } else {
                count = 0;
                state = obj_cancelled;
            }
        }
    }
    return state;
}

int object_r::create(unsigned char event, BPoint p, unsigned char) {
    if (state < 0)
        return state;
    if (event == obj_secondary_press) {
        // Either button may start the gesture; the secondary one, then or
        // later, abandons it rather than leave an object that never ends.
        count = 0;
        state = obj_cancelled;
    } else if (event == obj_press && state == 0) {
        points[0] = points[1] = points[2] = points[3] = p;
        state = 1;
    } else if ((event == obj_drag || event == obj_release) && state == 1) {
        points[1].x = points[2].x = p.x;
        points[2].y = points[3].y = p.y;
        if (event == obj_release)
            state = obj_finished;
    }
    return state;
}

bool object_r::flat() const {
    return count < 4 || points[0].x == points[2].x || points[0].y == points[2].y;
}
