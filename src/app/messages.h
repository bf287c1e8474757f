// The application shell's message codes.
#ifndef TAVREL_APP_MESSAGES_H
#define TAVREL_APP_MESSAGES_H

#include <SupportDefs.h>

const uint32 MSG_NEW_FONT = 'fine';     // menu "New" -> application
const uint32 MSG_SETUP_DONE = 'cfge';   // set-up view's "set" -> application
const uint32 MSG_OPEN_PANEL = 'fiop';   // menu "Open" -> work view
const uint32 MSG_SAVE_PANEL = 'finw';   // menu "Save as" -> work view
const uint32 MSG_FONT_READY = 'init';   // "bounds": application -> work view, a new font
const uint32 MSG_TABLE_SELECT = 'tsel'; // "table": selector <-> work view
const uint32 MSG_TABLE_LIST = 'tset';   // "table" repeated: work view -> selector
const uint32 MSG_SAVE = 'fisv';         // menu "Save" -> application
const uint32 MSG_UNDO = 'undo';         // menu "Undo" -> window
const uint32 MSG_REDO = 'redo';         // menu "Redo" -> window
const uint32 MSG_HISTORY = 'hist';      // the font's history changed -> window
const uint32 MSG_PREVIEW = 'pvop';      // menu "Text preview" -> window
const uint32 MSG_OVERVIEW = 'ovop';     // menu "Glyph overview" -> window
// "font" (int64, ttf::id), "clips" (raw, the clipboard's glyph type),
// "gno" (int32, repeated): the overview's paste, stored in the window's
// thread.
const uint32 MSG_PASTE_GLYPHS = 'ovps';
const uint32 MSG_CHECK_OPEN = 'Ckop'; // menu "Check font" -> window

// Any window -> main window: show glyph "gno" (int32, 0 to 0xFFFF) in the
// outline editor. The glyf table is shown and the glyph chosen exactly as
// typing its number into the palette chooses it: a number past the last
// glyph shows glyph 0, and edits on the canvas not stored make the editor
// ask "Store" / "Discard" / "Cancel" first. Other numbers are ignored.
// With "point" (int32), that point of the glyph, numbered as in its record,
// is selected once the glyph is shown.
const uint32 MSG_SHOW_GLYPH = 'Gsho';

#endif
