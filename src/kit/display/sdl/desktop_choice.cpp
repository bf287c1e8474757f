// The start-up choice of display: the desktop, unless a backend was
// installed before the application (the tests' headless display).
#include "kit/display/desktop.h"
#include "kit/display/display.h"
#include "kit/display/sdl/sdl_display.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace kit {

namespace {

void open_desktop() {
    std::string error;
    std::unique_ptr<sdl_display> desktop = sdl_display::open(&error);
    if (!desktop) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, error.c_str());
        std::exit(1);
    }
    install_display(std::move(desktop));
}

} // namespace

void use_desktop_display() {
    set_display_chooser(open_desktop);
}

} // namespace kit
