// Turns SDL's pointer and keyboard events into the messages a BeOS
// window receives: B_MOUSE_DOWN, B_MOUSE_MOVED, B_MOUSE_UP with "where"
// (window coordinates), "buttons", "modifiers", "when" and "clicks";
// B_KEY_DOWN and B_KEY_UP with "bytes" (UTF-8), "byte", "key",
// "raw_char", "modifiers", "when" and "be:key_repeat"; and
// B_MODIFIERS_CHANGED.
//
// A key that types text is reported once the desktop's text input (and
// with it any input method) has said what it typed: SDL sends the key
// first and its text right after. Keys that type nothing (arrows, Delete,
// Enter ...) and keys held with Control or Alt are reported at once.
#ifndef KIT_DISPLAY_SDL_INPUT_H
#define KIT_DISPLAY_SDL_INPUT_H

#include <Message.h>
#include <SupportDefs.h>

#include <SDL.h>

#include <functional>
#include <map>
#include <string>

namespace kit {

class sdl_input {
  public:
    using poster = std::function<void(int32 window, const BMessage& message)>;
    explicit sdl_input(poster post) : fPost(std::move(post)) {}

    // The buttons held now, in BeOS's bits.
    uint32 buttons() const { return fButtons; }

    void mouse_moved(int32 window, const SDL_MouseMotionEvent& event);
    // A pointer position without an SDL event (leaving the window).
    void mouse_moved(int32 window, BPoint where);
    void mouse_button(int32 window, const SDL_MouseButtonEvent& event);
    void mouse_wheel(int32 window, const SDL_MouseWheelEvent& event);
    void key(int32 window, const SDL_KeyboardEvent& event);
    void text(int32 window, const SDL_TextInputEvent& event);
    // Called after each batch of events and before any event that is not
    // a key's text: a key still waiting for its text typed none.
    void settle();

  private:
    struct waiting_key {
        bool valid = false;
        int32 window = -1;
        SDL_Keysym keysym{};
        int32 repeat = 0;
    };

    void _KeyMessage(uint32 what, int32 window, const std::string& bytes, int32 key, int32 rawChar,
                     uint32 modifiers, int32 repeat);
    void _Modifiers(int32 window, uint32 modifiers);

    poster fPost;
    uint32 fButtons = 0;
    uint32 fModifiers = 0;
    waiting_key fWaiting;
    bool fSwallowText = false;
    // The bytes each held key sent, for its B_KEY_UP, and its repeats.
    std::map<int32, std::string> fHeldBytes;
    std::map<int32, int32> fRepeats;
};

} // namespace kit

#endif
