// The Edit menu's undo and redo over the drawing editors and the font: the
// canvas shown (outline or bitmap) takes back its own steps, edits not yet
// stored, before the font's history does; a canvas without edits of its
// own follows the font when an undo or redo changes what it shows.
#ifndef TAVREL_EDITOR_CANVAS_STEPS_H
#define TAVREL_EDITOR_CANVAS_STEPS_H

#include <string>

class BView;
class ttf;

// The name of the shown canvas's own step that Undo (or Redo) would take
// now, or empty when no canvas is shown or it has none.
std::string canvas_step_name(ttf* font, bool redo);

// Undo (or Redo): the shown canvas's step when it has one, otherwise the
// font history's. False when there was nothing to do.
bool undo_step(ttf* font, bool redo);

// Whether `view` and all its parents are shown in a window.
bool shown_in_window(const BView* view);

#endif
