#include "font/table_editor.h"

#include "font/view_layout.h"

#include <Button.h>
#include <Font.h>
#include <Message.h>
#include <TextControl.h>
#include <View.h>

#include <cstdio>

void set_editor_look(BView* view) {
    view->SetHighColor(0, 0, 0);
    view->SetViewColor(200, 200, 220);
    view->SetLowColor(150, 150, 165);
    view->SetFont(be_plain_font, B_FONT_ALL);
}

BTextControl* add_editor_text(BView* view, BRect frame, const char* name, const char* label) {
    BTextControl* control =
        new BTextControl(frame, name, label, "", new BMessage(EDITOR_TEXT),
                         B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
    control->SetTarget(view);
    view->AddChild(control);
    return control;
}

BButton* add_editor_button(BView* view, BRect frame, const char* name, const char* label) {
    BButton* button = new BButton(frame, name, label, new BMessage(EDITOR_BUTTON),
                                  B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
    button->SetTarget(view);
    view->AddChild(button);
    return button;
}

uint32_t editor_hex(const BTextControl* control) {
    unsigned int v = 0;
    if (!control || sscanf(control->Text(), "%x", &v) != 1)
        return 0;
    return v;
}

void set_editor_hex(BTextControl* control, uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "%04x", (unsigned)v);
    control->SetText(text);
}

bool sent_by(BMessage* message, const void* control) {
    void* source = nullptr;
    return control && message->FindPointer("source", &source) == B_OK && source == control;
}

void draw_notice(BView* view, const std::string& text) {
    if (text.empty())
        return;
    view->PushState();
    view->SetHighColor(255, 204, 68);
    // A notice wider than the view breaks at a space onto the line above.
    const float room = view->Bounds().Width() - 40;
    size_t cut = text.size();
    while (view->StringWidth(text.c_str(), (int32)cut) > room) {
        size_t space = text.rfind(' ', cut - 1);
        if (space == std::string::npos || space == 0)
            break;
        cut = space;
    }
    // The line stays above the controls, which keep to the bottom.
    const float y = from_bottom(view, NOTICE_Y);
    if (cut < text.size()) {
        view->DrawString(text.c_str(), (int32)cut, BPoint(20, y - 14));
        view->DrawString(text.c_str() + cut + 1, BPoint(20, y));
    } else {
        view->DrawString(text.c_str(), BPoint(20, y));
    }
    view->PopState();
}
