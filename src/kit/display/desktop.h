// The desktop as the program's display: X11 or Wayland through SDL2, from
// the display library. A program with windows calls use_desktop_display()
// before it makes its application.
#ifndef KIT_DISPLAY_DESKTOP_H
#define KIT_DISPLAY_DESKTOP_H

namespace kit {

// Makes the first BApplication open the desktop unless a backend was
// installed before it (the tests' headless display). Without a desktop,
// the application exits with a message that names DISPLAY and
// WAYLAND_DISPLAY.
void use_desktop_display();

} // namespace kit

#endif
