// What SDL does not say reliably, asked of the desktop itself: where the
// pointer is, and what to wait on for the desktop's next event.
#ifndef KIT_DISPLAY_SDL_DESKTOP_QUERY_H
#define KIT_DISPLAY_SDL_DESKTOP_QUERY_H

#include <SDL.h>

#include <string>

namespace kit::sdl {

// The pointer in `window`'s coordinates (possibly outside it). SDL's
// own answer can be stale: during a drag from another program the window
// receives no pointer events at all.
void pointer_in(SDL_Window* window, int* x, int* y);

// The descriptor of the desktop connection that `window` belongs to,
// readable when events arrive; -1 where there is none to wait on.
int event_descriptor(SDL_Window* window);

// Names `window` `title` (UTF-8) on the desktop. SDL converts a title for
// X through the C library's locale, which is the plain "C" one in this
// program: a title past ASCII (an em dash, an accented file name) would
// be named in mangled Latin-1, or not at all. Here the UTF-8 name
// (_NET_WM_NAME) and the older one (WM_NAME) are set from UTF-8 directly.
void name_window(SDL_Window* window, const char* title);

// Makes errors from the desktop connection non-fatal. A request about a
// window that has just been destroyed (a closing alert or panel) fails
// with BadWindow, and Xlib's default answer is to end the program, losing
// the open font. Call once after SDL's video is up.
void survive_desktop_errors();

// The X resource database's Xft.dpi as the desktop stored it (the text,
// unchecked); empty without X or without the resource.
std::string xft_dpi();

} // namespace kit::sdl

#endif
