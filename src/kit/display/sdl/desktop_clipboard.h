// The kit's clipboard on the desktop: text copied in one program can be
// pasted in another.
#ifndef KIT_DISPLAY_SDL_DESKTOP_CLIPBOARD_H
#define KIT_DISPLAY_SDL_DESKTOP_CLIPBOARD_H

#include "kit/display/clipboard.h"

namespace kit {

class sdl_display;

class desktop_clipboard : public clipboard_backend {
  public:
    explicit desktop_clipboard(sdl_display* display) : fDisplay(display) {}
    void set_text(const std::string& text) override;
    std::string text() override;

  private:
    sdl_display* fDisplay;
};

} // namespace kit

#endif
