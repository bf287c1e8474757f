// The drawing object that each drawing tool makes for one gesture.
#include "editor/glyfeditview.h"

#include "outline/object.h"

object* new_object(int8 tool) {
    switch (tool) {
    case 1:
        return new obj_free();
    case 2:
        return new obj_rect();
    case 3:
        return new obj_ellipse();
    case 4:
        return new obj_polygon();
    case 5:
        return new obj_round();
    default:
        return nullptr;
    }
}
