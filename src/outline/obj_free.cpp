// The free-hand drawing object: records the pointer path and traces the
// area the stroke covers into contours.
#include "outline/free_trace.h"
#include "outline/object.h"
#include "outline/shape.h"

#include <Shape.h>
#include <View.h>

#include <algorithm>
#include <vector>

obj_free::obj_free() : object(0), psize(0) {
    kind = obj_kind_free;
}

int obj_free::create(unsigned char event, BPoint p, unsigned char size) {
    if (state < 0)
        return state;
    if (count == 0)
        psize = size;
    if (count == 0 || p != points[count - 1]) {
        if (count == capacity) {
            int32_t room = capacity * 2;
            BPoint* grown = new BPoint[room];
            std::copy(points, points + count, grown);
            delete[] points;
            points = grown;
            capacity = room;
        }
        points[count++] = p;
    }
    state = count;
    if (event == obj_release)
        state = count > 1 ? obj_finished : obj_cancelled;
    return state;
}

void obj_free::drawframe(BView* view, float) {
    if (!view || count < 1)
        return;
    view->PushState();
    view->SetDrawingMode(B_OP_INVERT);
    view->SetPenSize(psize);
    view->SetLineMode(B_ROUND_CAP, B_ROUND_JOIN, 10);
    // The stroke as one path, so that where its segments overlap (every
    // joint) the pixels are inverted once, not twice.
    if (count == 1) {
        view->StrokeLine(points[0], points[0], B_SOLID_HIGH);
    } else {
        BShape path;
        path.MoveTo(points[0]);
        for (int i = 1; i < count; i++)
            path.LineTo(points[i]);
        view->StrokeShape(&path, B_SOLID_HIGH);
    }
    view->PopState();
}

shape** obj_free::to_shape() {
    std::vector<shape*> contours;
    if (count > 1) {
        // The raster follows the stroke, not the font: its memory depends
        // only on how far the stroke reaches.
        free_trace::raster area = free_trace::stroke_raster(points, count, psize);
        std::vector<unsigned char> cells = free_trace::paint(points, count, psize, area);
        free_trace::trace(cells, area, max_contours, contours);
    }
    shape** list = new shape*[contours.size() + 1];
    std::copy(contours.begin(), contours.end(), list);
    list[contours.size()] = nullptr;
    return list;
}
