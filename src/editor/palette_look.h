// What the two editors' palettes share: the amber column's colours and
// small face, and the entries they put into it.
#ifndef TAVREL_EDITOR_PALETTE_LOOK_H
#define TAVREL_EDITOR_PALETTE_LOOK_H

#include <SupportDefs.h>

class BTextControl;
class BView;

namespace palette_look {

// The palette's amber, as a B_RGB32 word (blue in the lowest byte).
const uint32 AMBER = 0x00FFCC44;

// Amber background, olive low colour and the plain face at size 10.
void apply(BView* palette);
// The plain face at size `size`.
void set_face(BView* palette, float size);

// A number entry of the 50-pixel palette with its top at `top`, "0000" to
// begin with, sending `what` when committed. An entry with its label beside
// it would leave no room for four digits, so the palette draws the label
// above it.
BTextControl* entry(const char* name, float top, uint32 what);

} // namespace palette_look

#endif
