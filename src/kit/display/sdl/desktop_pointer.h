// Where the pointer is relative to a desktop window, asked of the
// desktop itself. SDL's own answer can be stale: during a drag from
// another program the window receives no pointer events at all.
#ifndef KIT_DISPLAY_SDL_DESKTOP_POINTER_H
#define KIT_DISPLAY_SDL_DESKTOP_POINTER_H

#include <SDL.h>

namespace kit::sdl {

// The pointer in `window`'s coordinates (possibly outside it).
void pointer_in(SDL_Window* window, int* x, int* y);

} // namespace kit::sdl

#endif
