// The gasp table's editor: a list of the ranges ("- ssss : behaviour"),
// "add", "del" and "set" buttons, the size in hexadecimal ("max-pt") and
// one check box per behaviour bit the editor knows (grid-fitting,
// grayscale). "set" gives the typed size the checked behaviour, adding
// the size when the table has no range for it; "del" removes the selected
// range.
#include "font/gasp.h"

#include "font/list_items.h"
#include "font/table_alert.h"
#include "font/table_editor.h"
#include "font/view_layout.h"

#include <Button.h>
#include <CheckBox.h>
#include <ListView.h>
#include <Message.h>
#include <TextControl.h>

#include <cstdio>

namespace {

const uint32 RANGE_SELECT = 'Fsel';
// The answer of the alert that asks before the last range goes.
const uint32 DELETE_LAST = 'Fdel';

const uint32 FLAGS = B_WILL_DRAW | B_NAVIGABLE;
const uint32 PLACE = B_FOLLOW_LEFT | B_FOLLOW_TOP;

const unsigned short GRIDFIT = 1, GRAYSCALE = 2;
const unsigned short LAST_SIZE = 0xFFFF;

// The undo menu's name of an edit of the range of size `maxppem`.
std::string size_text(const char* what, unsigned short maxppem) {
    char text[16];
    snprintf(text, sizeof text, "%04x", maxppem);
    return what + std::string(text);
}

BButton* add_button(BView* parent, BRect frame, const char* name) {
    BButton* button = new BButton(frame, name, name, new BMessage(EDITOR_BUTTON), PLACE, FLAGS);
    button->SetTarget(parent);
    parent->AddChild(button);
    return button;
}

BCheckBox* add_box(BView* parent, BRect frame, const char* name, const char* label) {
    BCheckBox* box = new BCheckBox(frame, name, label, new BMessage(EDITOR_CHECK), PLACE, FLAGS);
    box->SetTarget(parent);
    parent->AddChild(box);
    return box;
}

} // namespace

ttf_gasp::~ttf_gasp() {
    release_record_list(list);
}

void ttf_gasp::AttachedToWindow() {
    if (list) {
        redraw();
        return;
    }
    set_list_editor_look(this);
    list = add_record_list(this, BRect(20, 20, 280, 200), "gasp-list", RANGE_SELECT);

    add = add_button(this, BRect(20, 410, 70, 430), "add");
    del = add_button(this, BRect(100, 410, 150, 430), "del");
    set = add_button(this, BRect(500, 448, 540, 470), "set");
    pt = new BTextControl(BRect(20, 450, 120, 470), "pt", "max-pt", "", new BMessage(EDITOR_TEXT),
                          PLACE, FLAGS);
    pt->SetTarget(this);
    AddChild(pt);
    gridfit = add_box(this, BRect(140, 450, 260, 470), "gridfit", "grid-fitting");
    grayscale = add_box(this, BRect(280, 450, 400, 470), "grayscale", "grayscale-rendering");
    layout_children(this, {{list, layout_place::fill},
                           {add, layout_place::bottom},
                           {del, layout_place::bottom},
                           {pt, layout_place::bottom},
                           {gridfit, layout_place::bottom},
                           {grayscale, layout_place::bottom},
                           {set, layout_place::bottom_right}});

    MakeFocus(true);
    redraw();
}

void ttf_gasp::Draw(BRect update) {
    rgb_color high = HighColor();
    SetHighColor(0, 0, 0);
    FillRect(update);
    SetHighColor(high);
}

void ttf_gasp::refresh() {
    redraw();
    ttf_table::refresh();
}

void ttf_gasp::redraw() {
    if (!list)
        return;
    delete_list_items(list);
    int n = count();
    for (int i = 0; i < n; i++) {
        unsigned short maxppem, behavior;
        if (get_field(i, &maxppem, &behavior) != 0)
            continue;
        char label[GASP_LABEL_SIZE];
        gasp_label(behavior, label);
        char line[GASP_LABEL_SIZE + 16];
        snprintf(line, sizeof line, "- %04x : %s", maxppem, label);
        list->AddItem(new BStringItem(line));
    }
}

void ttf_gasp::MessageReceived(BMessage* message) {
    switch (message->what) {
    case EDITOR_BUTTON: {
        void* source = nullptr;
        message->FindPointer("source", &source);
        if (source == set) {
            store_fields();
        } else if (source == add) {
            // Clearing the selection empties the fields; without one there
            // is no selection message, so they are emptied here.
            if (list->CurrentSelection() >= 0)
                list->DeselectAll();
            else
                fill_fields(-1);
        } else if (source == del) {
            delete_selected();
        }
        return;
    }
    case RANGE_SELECT: {
        int32 index;
        if (message->FindInt32("index", &index) == B_OK)
            fill_fields(index);
        return;
    }
    case DELETE_LAST:
        delete_confirmed(message);
        return;
    default:
        ttf_table::MessageReceived(message);
    }
}

void ttf_gasp::fill_fields(int index) {
    if (!pt)
        return;
    if (index < 0) {
        pt->SetText("");
        gridfit->SetValue(B_CONTROL_OFF);
        grayscale->SetValue(B_CONTROL_OFF);
        return;
    }
    unsigned short maxppem, behavior;
    // A selection older than the table names no range.
    if (get_field(index, &maxppem, &behavior) != 0)
        return;
    char hex[8];
    snprintf(hex, sizeof hex, "%04x", maxppem);
    pt->SetText(hex);
    gridfit->SetValue(behavior & GRIDFIT ? B_CONTROL_ON : B_CONTROL_OFF);
    grayscale->SetValue(behavior & GRAYSCALE ? B_CONTROL_ON : B_CONTROL_OFF);
}

void ttf_gasp::store_fields() {
    if (!pt)
        return;
    // An empty or unreadable size counts as 0, which removes a range of
    // size 0 if there is one.
    unsigned long typed = 0;
    if (sscanf(pt->Text(), "%lx", &typed) != 1)
        typed = 0;
    if (typed > 0xFFFF) {
        char why[128];
        snprintf(why, sizeof why,
                 "The range was not stored: max-pt %.20s does not fit in 16 bits (at most ffff).",
                 pt->Text());
        table_alert(why);
        return;
    }
    unsigned short maxppem = (unsigned short)typed;
    unsigned short behavior =
        (gridfit->Value() ? GRIDFIT : 0) | (grayscale->Value() ? GRAYSCALE : 0);
    // The boxes show two bits; the others of an existing range (the
    // symmetric variants of version 1, flags yet to come) stay as they were.
    int n = count();
    for (int i = 0; i < n; i++) {
        unsigned short size, old;
        if (get_field(i, &size, &old) == 0 && size == maxppem && maxppem != 0)
            behavior |= old & ~(GRIDFIT | GRAYSCALE);
    }
    checkpoint(size_text("gasp range ", maxppem));
    if (set_field(-1, maxppem, behavior) == 3) {
        table_alert("The range was not stored: no memory is left to rebuild the gasp table.");
        return;
    }
    redraw();
    select_size(maxppem);
}

void ttf_gasp::delete_selected() {
    int32 index = list->CurrentSelection();
    if (index < 0)
        return;
    unsigned short maxppem, behavior;
    // A selection older than the table names no range to delete.
    if (get_field(index, &maxppem, &behavior) != 0)
        return;
    if (maxppem == LAST_SIZE && index == count() - 1) {
        table_question("Readers need a last range of size ffff: it gives every larger size its "
                       "behaviour, and a table without it may be dropped. Delete it anyway?",
                       "Delete", "Keep", this, DELETE_LAST);
        return;
    }
    checkpoint(size_text("deletion of gasp range ", maxppem));
    if (set_field(index, 0, 0) == 3) {
        table_alert("The range was not deleted: no memory is left to rebuild the gasp table.");
        return;
    }
    redraw();
}

void ttf_gasp::delete_confirmed(BMessage* answer) {
    if (answer->GetInt32("which", -1) != 0)
        return;
    // The table may have changed while the question was up: only a last
    // range of size ffff is what the user agreed to delete.
    int last = count() - 1;
    unsigned short maxppem, behavior;
    if (get_field(last, &maxppem, &behavior) != 0 || maxppem != LAST_SIZE)
        return;
    checkpoint(size_text("deletion of gasp range ", maxppem));
    if (set_field(last, 0, 0) == 3) {
        table_alert("The range was not deleted: no memory is left to rebuild the gasp table.");
        return;
    }
    redraw();
}

void ttf_gasp::select_size(unsigned short maxppem) {
    int n = count();
    for (int i = 0; i < n; i++) {
        unsigned short size, behavior;
        if (get_field(i, &size, &behavior) == 0 && size == maxppem) {
            list->Select(i);
            return;
        }
    }
}
