#include "desktop_query.h"

// Kept apart from the kit's headers: Xlib defines macros such as None,
// Status and Bool.
#include <SDL_syswm.h>

#include <cstdio>
#include <string>

namespace kit::sdl {

void pointer_in(SDL_Window* window, int* x, int* y) {
    *x = *y = 0;
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
        ::Window root, child;
        int rootX, rootY, windowX, windowY;
        unsigned int mask;
        if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX,
                          &rootY, &windowX, &windowY, &mask)) {
            *x = windowX;
            *y = windowY;
            return;
        }
    }
#endif
    // Elsewhere (Wayland) the pointer is known only while it is over one
    // of our windows.
    if (SDL_GetMouseFocus() == window) {
        SDL_GetMouseState(x, y);
        return;
    }
    int globalX = 0, globalY = 0, left = 0, top = 0;
    SDL_GetGlobalMouseState(&globalX, &globalY);
    SDL_GetWindowPosition(window, &left, &top);
    *x = globalX - left;
    *y = globalY - top;
}

int event_descriptor(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        return ConnectionNumber(info.info.x11.display);
#endif
    (void)window;
    return -1;
}

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

int report_desktop_error(Display* display, XErrorEvent* error) {
    // A window that vanished between a request and its arrival is part of
    // normal closing; anything else is worth a line.
    if (error->error_code == BadWindow || error->error_code == BadDrawable)
        return 0;
    char text[160];
    XGetErrorText(display, error->error_code, text, sizeof text);
    fprintf(stderr, "desktop error ignored: %s (request %d)\n", text, (int)error->request_code);
    return 0;
}

} // namespace
#endif

void survive_desktop_errors() {
#if defined(SDL_VIDEO_DRIVER_X11)
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::string(driver) == "x11")
        XSetErrorHandler(report_desktop_error);
#endif
}

} // namespace kit::sdl
