// Whether the glyph on the outline editor's canvas holds edits that were
// not stored into the font: it is compared with the font's own record of
// the glyph, read and mapped onto the canvas the way the editor loads it.
#ifndef TAVREL_EDITOR_GLYPH_CHANGES_H
#define TAVREL_EDITOR_GLYPH_CHANGES_H

#include <string>

class ttf;

// True when the editor of `font` shows a glyph that differs from the one
// the font holds under the same number. Call with the window locked.
bool glyph_unstored(ttf* font);

// Shows the font's glyph again in the editor (after an undo or a redo
// changed it), as choosing the glyph on the palette does.
void glyph_reload(ttf* font);

// The name of the glyph canvas's own step that Undo (or Redo) would take
// now, or empty when the editor is not shown or has none: while it shows
// edits of its own, the Edit menu acts on them before the font's history.
std::string glyph_step_name(ttf* font, bool redo);

// Takes back (or does again) the canvas's step; false when there was none.
bool glyph_step(ttf* font, bool redo);

#endif
