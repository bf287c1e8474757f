// The outline palette's pictures: six 16 x 16 tool icons and the 8 x 8
// step arrows, painted into the palette's B_RGB32 background image.
#ifndef TAVREL_EDITOR_GLYFTOOL_ART_H
#define TAVREL_EDITOR_GLYFTOOL_ART_H

#include <SupportDefs.h>

class BBitmap;

namespace glyftool_art {

// Fills the whole image with one colour (0x00RRGGBB).
void fill(BBitmap* image, uint32 colour);
// Tool icon `tool` (0 pick, 1 free hand, 2 rectangle, 3 ellipse, 4
// polygon, 5 rounded polygon) with its top left corner at (x, y): black
// on white, or white on black when `current`.
void tool_icon(BBitmap* image, int tool, int x, int y, bool current);
// A pair of red step arrows on rows top..top+7: the down-pointing one at
// x 1-8, the up-pointing one at x 41-48.
void step_arrows(BBitmap* image, int top);

} // namespace glyftool_art

#endif
