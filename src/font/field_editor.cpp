#include "font/field_editor.h"

#include <Font.h>
#include <Message.h>
#include <TextControl.h>
#include <View.h>

#include <cstdio>

BTextControl* add_field_editor(BView* table, const char* name, const char* label) {
    table->SetHighColor(0, 0, 0);
    table->SetViewColor(200, 200, 220);
    table->SetLowColor(150, 150, 165);
    table->SetFont(be_plain_font, B_FONT_ALL);
    // 41 pixels above the view's bottom edge, and kept there when the view
    // grows with its window.
    BRect bounds = table->Bounds();
    BRect frame(bounds.left + 20, bounds.bottom - 61, bounds.left + 200, bounds.bottom - 41);
    BTextControl* control =
        new BTextControl(frame, name, label, "", new BMessage(EDITOR_TEXT),
                         B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW | B_NAVIGABLE);
    control->SetDivider(120);
    control->SetTarget(table);
    table->AddChild(control);
    table->MakeFocus(true);
    return control;
}

bool commit_field_editor(BTextControl* control, int digits, uint32_t* value) {
    unsigned int typed = 0;
    if (sscanf(control->Text(), "%x", &typed) != 1)
        return false;
    uint32_t kept = digits >= 8 ? (uint32_t)typed : (uint32_t)typed & ((1u << (4 * digits)) - 1);
    char text[16];
    snprintf(text, sizeof text, "%0*x", digits, (unsigned)kept);
    control->SetText(text);
    *value = kept;
    return true;
}
