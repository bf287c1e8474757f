#include "desktop_query.h"

// Kept apart from the kit's headers: Xlib defines macros such as None,
// Status and Bool.
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kit::sdl {

void name_window(SDL_Window* window, const char* title) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    Display* display = info.info.x11.display;
    ::Window xwindow = info.info.x11.window;
    char* text = const_cast<char*>(title ? title : "");
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom netname = XInternAtom(display, "_NET_WM_NAME", False);
    XChangeProperty(display, xwindow, netname, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), (int)std::strlen(text));
    // WM_NAME as STRING or COMPOUND_TEXT where the locale's converters can
    // hold every character. In the plain "C" locale they drop an em dash
    // (even when asked for UTF8_STRING), so such a title is stored as
    // UTF-8 bytes unchanged, which Xlib's readers of the name accept.
    XTextProperty property;
    int lost = Xutf8TextListToTextProperty(display, &text, 1, XStdICCTextStyle, &property);
    if (lost == 0) {
        XSetWMName(display, xwindow, &property);
    } else {
        XChangeProperty(display, xwindow, XA_WM_NAME, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text), (int)std::strlen(text));
    }
    if (lost >= 0)
        XFree(property.value);
#else
    (void)window;
    (void)title;
#endif
}

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

std::string xft_dpi() {
    std::string value;
#if defined(SDL_VIDEO_DRIVER_X11)
    // A connection of its own: SDL keeps its display to itself until a
    // window exists, and the resources are read once, at start.
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return value;
    Display* display = XOpenDisplay(name);
    if (!display)
        return value;
    if (const char* resources = XResourceManagerString(display)) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue found;
        if (database && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &found) &&
            found.addr && type && std::strcmp(type, "String") == 0)
            value.assign(found.addr, strnlen(found.addr, found.size));
        if (database)
            XrmDestroyDatabase(database);
    }
    XCloseDisplay(display);
#endif
    return value;
}

} // namespace kit::sdl
