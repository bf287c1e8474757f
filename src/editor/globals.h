// State that the whole program shares: the open font, the glyph canvas
// and the flag with which the window thread tells the application thread
// that the glyph editor has taken a new canvas.
#ifndef TAVREL_EDITOR_GLOBALS_H
#define TAVREL_EDITOR_GLOBALS_H

#include <Rect.h>

#include <atomic>

class ttf;
class glyph;
class object;

// The open font, null while there is none. The application creates and
// deletes it; the views read it in the window's thread.
extern ttf* curfont;

// The canvas in canvas units: (0, 0, width, height) of the font's bounding
// box. (0, 0, -1, -1) at start, (0, 0, 0, 0) once the work view exists.
extern BRect canvas;

// Raised by the glyph editor when it has taken the canvas of a new font;
// the application thread clears it before announcing a font and polls it.
extern std::atomic<bool> canvasok;

// The glyph being edited; never null once an edit view exists.
extern glyph* curglyph;

// The drawing object of the gesture in progress, or null.
extern object* curobject;

#endif
