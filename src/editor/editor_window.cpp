#include "editor/editor_window.h"

#include <Message.h>

void record_input(const BMessage& message, input* record) {
    record->valid = 0;
    float x, y;
    if (message.FindFloat("be:tablet_x", &x) == B_OK &&
        message.FindFloat("be:tablet_y", &y) == B_OK) {
        record->tablet_x = x;
        record->tablet_y = y;
        record->valid |= INPUT_TABLET;
    }
    if (message.FindFloat("be:tablet_tilt_x", &x) == B_OK &&
        message.FindFloat("be:tablet_tilt_y", &y) == B_OK) {
        record->tilt_x = x;
        record->tilt_y = y;
        record->valid |= INPUT_TILT;
    }
    if (message.FindFloat("be:tablet_pressure", &x) == B_OK) {
        record->pressure = x;
        record->valid |= INPUT_PRESSURE;
    }
    int32 value;
    if (message.FindInt32("be:tablet_eraser", &value) == B_OK) {
        record->eraser = value;
        record->valid |= INPUT_ERASER;
    }
    if (message.FindInt32("modifiers", &value) == B_OK) {
        record->modifiers = value;
        record->valid |= INPUT_MODIFIERS;
    }
    if (message.FindInt32("buttons", &value) == B_OK) {
        record->buttons = value;
        record->valid |= INPUT_BUTTONS;
    }
    int64 when;
    if (message.FindInt64("when", &when) == B_OK) {
        record->when = when;
        record->valid |= INPUT_WHEN;
    }
    BPoint where;
    if (message.FindPoint("be:view_where", &where) == B_OK) {
        record->where = where;
        record->valid |= INPUT_WHERE;
    }
    if (message.FindInt32("be:transit", &value) == B_OK) {
        record->transit = value;
        record->valid |= INPUT_TRANSIT;
    }
}
