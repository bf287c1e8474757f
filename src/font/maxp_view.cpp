// The maxp table's view: a field list with one editable field,
// maxStackElements (the only maximum that neither the glyphs nor the
// instructions of this editor determine).
#include "font/maxp.h"

#include "font/field_editor.h"
#include "font/field_list.h"
#include "font/table_alert.h"

#include <Message.h>

namespace {

const field_row ROWS[] = {{"tableVersionNumber", 0, 4},
                          {"numGlyphs", 4, 2},
                          {"maxPoints", 6, 2},
                          {"maxContours", 8, 2},
                          {"maxCompositePoints", 10, 2},
                          {"maxCompositeContours", 12, 2},
                          {"maxZones", 14, 2},
                          {"maxTwilightPoints", 16, 2},
                          {"maxStorage", 18, 2},
                          {"maxFunctionDefs", 20, 2},
                          {"maxInstructionDefs", 22, 2},
                          {"maxStackElements", 24, 2},
                          {"maxSizeOfInstructions", 26, 2},
                          {"maxComponentElements", 28, 2},
                          {"maxComponentDepth", 30, 2}};
const unsigned MAX_STACK_ELEMENTS = 24;

} // namespace

void ttf_maxp::AttachedToWindow() {
    if (!control)
        control = add_field_editor(this, "maxstackelements", "maxStackElements");
}

void ttf_maxp::MessageReceived(BMessage* message) {
    if (message->what != FIELD_EDITOR_CHANGED) {
        ttf_table::MessageReceived(message);
        return;
    }
    uint32_t value;
    // Version 0.5 (fonts with CFF outlines) is six bytes: numGlyphs alone.
    if (!bytes().has(MAX_STACK_ELEMENTS, 2)) {
        table_alert("This maxp table (version 0.5, for CFF outlines) has no maxStackElements: "
                    "nothing was changed.");
        Draw(Bounds());
        return;
    }
    if (control && commit_field_editor(control, 4, &value)) {
        checkpoint("maxStackElements");
        writer().put16(MAX_STACK_ELEMENTS, (uint16_t)value);
    }
    Draw(Bounds());
}

void ttf_maxp::Draw(BRect update) {
    field_list_begin(this, update);
    redraw();
}

void ttf_maxp::redraw() {
    draw_field_rows(this, bytes(), ROWS, sizeof ROWS / sizeof ROWS[0], FIELD_LABEL_X, FIELD_VALUE_X,
                    20);
}
