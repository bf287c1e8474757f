// ttf_field_list: a table whose view is a field list (head, hhea, maxp,
// post, OS/2, EBLC). Each table describes its list as a row table, columns
// of rows with an optional editable field, and this class draws it and
// edits that field.
#ifndef TAVREL_FONT_FIELD_LIST_VIEW_H
#define TAVREL_FONT_FIELD_LIST_VIEW_H

#include "font/field_list.h"
#include "font/ttf_table.h"

#include <ctime>

class BTextControl;

// One column: `count` rows from the baseline `top` down, one every
// FIELD_ROW_STEP, labels at `labelx` and values at `valuex` from the view's
// left edge (a negative x leaves labels or values out). A column with a
// `stride` repeats once per record of the table (record_count()): record c
// shows the rows at their offset + first + stride * c, at x + xstep * c.
struct field_column {
    const field_row* rows;
    int count;
    float labelx, valuex, top;
    unsigned first = 0, stride = 0;
    float xstep = 0;
};

// The one field the user may type into: the control's name, its label
// (also the name of the undo step), where the field lies (2 or 4 bytes)
// and what to tell the user when the table is too short to hold it.
struct field_edit {
    const char* name;
    const char* label;
    unsigned offset, width;
    const char* missing;
};

struct field_layout {
    const field_column* columns;
    int count;
    float font_size;
    // Null for a read-only list.
    const field_edit* edit;
    // What field_note::date counts from.
    time_t epoch;
};

class ttf_field_list : public ttf_table {
  public:
    using ttf_table::ttf_table;

    // Adds the editable field's control, the first time the view is attached.
    void AttachedToWindow() override;
    // Commits what was typed into the field; other messages go to the view.
    void MessageReceived(BMessage* message) override;
    // White on black, the update rectangle cleared, then redraw().
    void Draw(BRect update) override;
    // Every column of the list, as it stands in the bytes.
    void redraw();

    // The editable field's control, null for a read-only list or before
    // the view was first attached.
    BTextControl* control = nullptr;

  protected:
    // The table's list (in its *_view.cpp).
    virtual const field_layout& fields() const = 0;
    // How many records the repeating columns show.
    virtual int record_count() { return 1; }
};

#endif
