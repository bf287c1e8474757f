// Shared pieces of the table editors with controls (hmtx, cmap): the
// editing colours, hexadecimal texts and a line that tells the user why an
// edit was refused.
#ifndef TAVREL_FONT_TABLE_EDITOR_H
#define TAVREL_FONT_TABLE_EDITOR_H

#include <Rect.h>

#include <cstdint>
#include <string>

class BButton;
class BMessage;
class BTextControl;
class BView;

// What the table editors' controls send to their table view, which tells
// them apart by the message's "source".
const uint32_t EDITOR_TEXT = 'Vchg';   // a text control's text was committed
const uint32_t EDITOR_BUTTON = 'Bhit'; // a button was pressed
const uint32_t EDITOR_SLIDER = 'Smov'; // a slider moved
const uint32_t EDITOR_CHECK = 'Bchk';  // a check box was switched

// High colour black, view colour (200, 200, 220), low (150, 150, 165),
// the plain font.
void set_editor_look(BView* view);
// A text control (starting empty) or a button that sends its message to
// `view`, added as its child.
BTextControl* add_editor_text(BView* view, BRect frame, const char* name, const char* label);
BButton* add_editor_button(BView* view, BRect frame, const char* name, const char* label);

// The control's text as a hexadecimal number; 0 when it holds none.
uint32_t editor_hex(const BTextControl* control);
// Shows v with "%04x" (more digits when it needs them).
void set_editor_hex(BTextControl* control, uint32_t v);
// Whether the message came from `control`.
bool sent_by(BMessage* message, const void* control);

// Draws `text` (when not empty) on the view's black ground at the notice
// line above the controls (NOTICE_Y in the standard frame, at the same
// distance from the bottom in a larger view).
void draw_notice(BView* view, const std::string& text);
const float NOTICE_Y = 436;

#endif
