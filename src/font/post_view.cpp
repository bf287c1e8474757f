// The post table's view: the 32-byte header as a field list with one
// editable field, isFixedPitch.
#include "font/post.h"

#include "font/field_editor.h"
#include "font/field_list.h"

#include <Message.h>

namespace {

const field_row ROWS[] = {
    {"FormatType", 0, 4},          {"italicAngle", 4, 4},   {"underlinePosition", 8, 2},
    {"underlineThickness", 10, 2}, {"isFixedPitch", 12, 4}, {"minMemType42", 16, 4},
    {"maxMemType42", 20, 4},       {"minMemType1", 24, 4},  {"maxMemType1", 28, 4}};
const unsigned IS_FIXED_PITCH = 12;

} // namespace

void ttf_post::AttachedToWindow() {
    if (!control)
        control = add_field_editor(this, "isFixedPitch", "isFixedPitch");
}

void ttf_post::MessageReceived(BMessage* message) {
    if (message->what != FIELD_EDITOR_CHANGED) {
        ttf_table::MessageReceived(message);
        return;
    }
    uint32_t value;
    if (control && commit_field_editor(control, 8, &value)) {
        checkpoint("isFixedPitch");
        writer().put32(IS_FIXED_PITCH, value);
    }
    Draw(Bounds());
}

void ttf_post::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_post::redraw() {
    draw_field_rows(this, bytes(), ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X,
                    20);
}
