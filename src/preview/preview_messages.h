// Messages of the text preview window.
#ifndef TAVREL_PREVIEW_PREVIEW_MESSAGES_H
#define TAVREL_PREVIEW_PREVIEW_MESSAGES_H

#include <SupportDefs.h>

// From the program that owns the font, after the fact:
const uint32 PREVIEW_FONT = 'pvFN';     // the font was replaced, closed or newly shown
const uint32 PREVIEW_CHANGED = 'pvCH';  // the font's content changed (a stored edit, undo, redo)
const uint32 PREVIEW_ACTIVATE = 'pvAC'; // asked again for: come to the front

// The window's own.
const uint32 PREVIEW_TEXT = 'pvTX';    // the text entry changed
const uint32 PREVIEW_HINTING = 'pvHN'; // "hinting" (int32): a preview_hinting
const uint32 PREVIEW_SWITCH = 'pvSW';  // a rendering check box was toggled
const uint32 PREVIEW_RELOAD = 'pvRL';  // reads the font again, once for a run of changes
const uint32 PREVIEW_GLYPH = 'pvGL';   // "glyph" (int32): a glyph of a line was clicked

#endif
