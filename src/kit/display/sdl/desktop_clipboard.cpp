#include "desktop_clipboard.h"

#include "sdl_display.h"

namespace kit {

void desktop_clipboard::set_text(const std::string& text) {
    fDisplay->set_clipboard_text(text);
}

std::string desktop_clipboard::text() {
    return fDisplay->clipboard_text();
}

} // namespace kit
