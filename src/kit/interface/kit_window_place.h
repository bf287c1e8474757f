// Where windows go on the screen, and a window frame as text (how the
// program keeps window frames between runs).
#ifndef KIT_INTERFACE_KIT_WINDOW_PLACE_H
#define KIT_INTERFACE_KIT_WINDOW_PLACE_H

#include <Rect.h>

#include <string>

namespace kit {

// `frame` (a window's content area, screen coordinates) moved onto
// `screen`, and made smaller where it is larger than the screen, though
// never below `minWidth` x `minHeight` (a window that cannot fit then
// keeps its left top corner on the screen).
BRect fit_on_screen(BRect frame, BRect screen, float minWidth = 0, float minHeight = 0);

// "left top right bottom" in whole pixels.
std::string frame_text(BRect frame);
// The frame `text` holds, as frame_text writes it: four whole numbers,
// each within +-100000, with a size from 1 to 16384 pixels each way.
// False for anything else (and *frame is left alone).
bool parse_frame_text(const std::string& text, BRect* frame);

} // namespace kit

#endif
