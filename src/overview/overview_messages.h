// Messages of the glyph overview window.
#ifndef TAVREL_OVERVIEW_OVERVIEW_MESSAGES_H
#define TAVREL_OVERVIEW_OVERVIEW_MESSAGES_H

#include <SupportDefs.h>

// From the program that owns the font, after the fact:
// the font was replaced, closed or newly shown;
const uint32 OVERVIEW_FONT = 'ovFN';
// the font's content changed (any stored edit, undo, redo, save);
const uint32 OVERVIEW_CHANGED = 'ovCH';
// "glyph" (int32): the outline editor's glyph, -1 for none;
const uint32 OVERVIEW_EDITOR = 'ovED';
// come to the front;
const uint32 OVERVIEW_ACTIVATE = 'ovAC';
// "text" (string): what came of a paste, for the notice line.
const uint32 OVERVIEW_NOTICE = 'ovNO';

// The window's own controls.
const uint32 OVERVIEW_ORDER = 'ovOR';    // "order" (int32): an overview_model::order_t
const uint32 OVERVIEW_STRIKE = 'ovST';   // "strike" (int32): -1 outlines, else a strike's index
const uint32 OVERVIEW_SIZE = 'ovSZ';     // "size" (int32) or "step" (int32): the cell size
const uint32 OVERVIEW_FIND = 'ovFI';     // the search entry changed or was committed
const uint32 OVERVIEW_PASTE_AS = 'ovPA'; // "which" (int32): the answer about a paste's count

#endif
