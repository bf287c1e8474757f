#include "font/list_items.h"

#include <Font.h>
#include <ListView.h>
#include <Message.h>

#include <vector>

void delete_list_items(BListView* list) {
    std::vector<BListItem*> items;
    for (int32 i = 0; i < list->CountItems(); i++)
        items.push_back(list->ItemAt(i));
    list->MakeEmpty();
    for (BListItem* item : items)
        delete item;
}

void set_list_editor_look(BView* editor) {
    editor->SetHighColor(0, 0, 0);
    editor->SetViewColor(200, 200, 220);
    editor->SetLowColor(150, 150, 165);
    editor->SetFont(be_plain_font, B_FONT_ALL);
}

BListView* add_record_list(BView* editor, BRect frame, const char* name, uint32 selected) {
    BListView* list =
        new BListView(frame, name, B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                      B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    list->SetSelectionMessage(new BMessage(selected));
    list->SetTarget(editor);
    editor->AddChild(list);
    list->SetHighColor(0, 0, 0);
    list->SetLowColor(222, 222, 222);
    list->SetViewColor(222, 222, 222);
    return list;
}

void release_record_list(BListView* list) {
    if (!list)
        return;
    // Nothing is left to answer a selection message.
    list->SetSelectionMessage(nullptr);
    delete_list_items(list);
}
