// The single-field editor of the maxp and post views: a text control below
// the field list in which a hexadecimal value is typed and committed with
// Enter. The control sends EDITOR_TEXT to its table view.
#ifndef TAVREL_FONT_FIELD_EDITOR_H
#define TAVREL_FONT_FIELD_EDITOR_H

#include "font/table_editor.h"

#include <cstdint>

class BTextControl;
class BView;

// Sets the editor view's colours and font and adds its control at the
// bottom of the view; returns it.
BTextControl* add_field_editor(BView* table, const char* name, const char* label);

// Reads the control's text as one hexadecimal number. When there is one,
// keeps its low `digits` * 4 bits in *value, shows them in the control with
// that many digits and returns true; else leaves both unchanged.
bool commit_field_editor(BTextControl* control, int digits, uint32_t* value);

#endif
