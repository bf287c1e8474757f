// A table editor's text fields as pending edits: a field the user typed
// into and did not enter with Enter (nor left, which enters it too).
#include "font/ttf_table.h"

#include <Message.h>
#include <OS.h>
#include <TextControl.h>

namespace {

void typed_fields(const BView* view, std::vector<BTextControl*>* found) {
    for (int32 i = 0; i < view->CountChildren(); i++) {
        BView* child = view->ChildAt(i);
        if (BTextControl* field = dynamic_cast<BTextControl*>(child)) {
            if (field->kit_modified())
                found->push_back(field);
        }
        typed_fields(child, found);
    }
}

std::vector<BTextControl*> typed_fields(const ttf_table* table) {
    std::vector<BTextControl*> found;
    if (table->typed_text_edits)
        typed_fields(table, &found);
    return found;
}

} // namespace

bool ttf_table::has_pending() const {
    return !typed_fields(this).empty();
}

std::string ttf_table::pending_text() const {
    std::string text;
    for (BTextControl* field : typed_fields(this)) {
        const char* label = field->Label() && *field->Label() ? field->Label() : field->Name();
        text +=
            (text.empty() ? "\"" : "; \"") + std::string(field->Text()) + "\" typed into " + label;
    }
    return text;
}

bool ttf_table::store_pending(std::string*) {
    // Entered here and now, in the order of the fields, by the handler
    // Enter would reach: the caller may save the font right after.
    for (BTextControl* field : typed_fields(this)) {
        if (!field->Message())
            continue;
        BMessage entered(*field->Message());
        entered.AddInt64("when", system_time());
        entered.AddPointer("source", field);
        entered.AddInt32("be:value", field->Value());
        std::string text = field->Text();
        field->SetText(text.c_str());
        if (BHandler* target = field->Target())
            target->MessageReceived(&entered);
    }
    return true;
}

void ttf_table::discard_pending() {
    for (BTextControl* field : typed_fields(this))
        field->kit_revert();
}
