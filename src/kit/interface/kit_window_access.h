// The way into a window's private machinery for the kit's free functions
// and helper views (input delivery, menus). Programs never include this.
#ifndef KIT_INTERFACE_WINDOW_ACCESS_H
#define KIT_INTERFACE_WINDOW_ACCESS_H

#include <Window.h>

namespace kit {

class window_access {
  public:
    // Notes the pointer and modifiers of input the display is delivering.
    static void record_input(BWindow* window, const BMessage& message) {
        window->kit_record_input(message);
    }
    // The view at the root of the window's tree.
    static BView* top_view(const BWindow* window) { return window->kit_top_view(); }
    // Device pixels per logical pixel.
    static float scale(const BWindow* window) { return window->kit_scale(); }
};

} // namespace kit

#endif
