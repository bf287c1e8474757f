// Messages between the check window and the program's main window.
#ifndef TAVREL_CHECKWINDOW_CHECK_MESSAGES_H
#define TAVREL_CHECKWINDOW_CHECK_MESSAGES_H

#include <SupportDefs.h>

// Main window -> check window: the open font changed (a stored glyph, an
// edited table, undo, a font opened or closed); no fields.
const uint32 CHECK_FONT_CHANGED = 'Ckch';
// Application -> check window: the open font's file is now "name"
// (string).
const uint32 CHECK_RENAME = 'Cknm';
// Check window -> main window: show where a finding is: "table" (int32
// tag, 0 for the directory), "glyph" and "point" (int32, -1 for none).
const uint32 CHECK_SHOW_PLACE = 'Cksh';
// Within the check window: a severity filter was ticked, a finding was
// double-clicked or entered ("index": its row).
const uint32 CHECK_FILTER = 'Ckfl';
const uint32 CHECK_INVOKE = 'Ckiv';

#endif
