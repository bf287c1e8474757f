#include "sdl_input.h"

#include "sdl_keys.h"

#include <AppDefs.h>
#include <OS.h>

namespace kit {

using namespace kit::sdl;

namespace {

BMessage pointer_message(uint32 what, BPoint where, uint32 buttons) {
    BMessage message(what);
    message.AddInt64("when", system_time());
    message.AddPoint("where", where);
    message.AddInt32("buttons", (int32)buttons);
    message.AddInt32("modifiers", (int32)beos_modifiers(SDL_GetModState()));
    return message;
}

// The character of a key without its modifiers: the key's own character
// where it has one, else the first byte it sent.
int32 raw_char(const SDL_Keysym& keysym, const std::string& bytes) {
    if (keysym.sym >= 0x20 && keysym.sym < 0x7f)
        return keysym.sym;
    return bytes.empty() ? 0 : (uint8)bytes[0];
}

// Length of the UTF-8 character that starts with `lead`.
size_t utf8_length(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xe0) == 0xc0)
        return 2;
    if ((lead & 0xf0) == 0xe0)
        return 3;
    if ((lead & 0xf8) == 0xf0)
        return 4;
    return 1;
}

// Control and the left Alt (Command) keep a key from typing text; the
// right Alt is AltGr on many layouts and types characters.
bool holds_command(Uint16 state) {
    return (state & (KMOD_CTRL | KMOD_LALT)) != 0;
}

} // namespace

void sdl_input::mouse_moved(int32 window, const SDL_MouseMotionEvent& event) {
    fPost(window, pointer_message(B_MOUSE_MOVED, BPoint((float)event.x, (float)event.y), fButtons));
}

void sdl_input::mouse_moved(int32 window, BPoint where) {
    fPost(window, pointer_message(B_MOUSE_MOVED, where, fButtons));
}

void sdl_input::mouse_button(int32 window, const SDL_MouseButtonEvent& event) {
    uint32 button = beos_button(event.button);
    if (!button)
        return;
    BPoint where((float)event.x, (float)event.y);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        fButtons |= button;
        BMessage message = pointer_message(B_MOUSE_DOWN, where, fButtons);
        message.AddInt32("clicks", event.clicks ? event.clicks : 1);
        fPost(window, message);
    } else {
        if (!(fButtons & button))
            return; // pressed before the window had the pointer
        fButtons &= ~button;
        fPost(window, pointer_message(B_MOUSE_UP, where, fButtons));
    }
}

void sdl_input::mouse_wheel(int32 window, const SDL_MouseWheelEvent& event) {
    // BeOS counts downwards (towards the user) as positive.
    float dx = event.preciseX;
    float dy = -event.preciseY;
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED) {
        dx = -dx;
        dy = -dy;
    }
    BMessage message(B_MOUSE_WHEEL_CHANGED);
    message.AddInt64("when", system_time());
    message.AddFloat("be:wheel_delta_x", dx);
    message.AddFloat("be:wheel_delta_y", dy);
    fPost(window, message);
}

void sdl_input::_Modifiers(int32 window, uint32 modifiers) {
    if (modifiers == fModifiers)
        return;
    BMessage message(B_MODIFIERS_CHANGED);
    message.AddInt64("when", system_time());
    message.AddInt32("modifiers", (int32)modifiers);
    message.AddInt32("be:old_modifiers", (int32)fModifiers);
    fModifiers = modifiers;
    fPost(window, message);
}

void sdl_input::_KeyMessage(uint32 what, int32 window, const std::string& bytes, int32 key,
                            int32 rawChar, uint32 modifiers, int32 repeat) {
    BMessage message(what);
    message.AddInt64("when", system_time());
    message.AddInt32("modifiers", (int32)modifiers);
    message.AddInt32("key", key);
    message.AddInt32("raw_char", rawChar);
    message.AddString("bytes", bytes);
    for (char c : bytes)
        message.AddInt8("byte", (int8)c);
    if (repeat > 0)
        message.AddInt32("be:key_repeat", repeat);
    fPost(window, message);
}

void sdl_input::key(int32 window, const SDL_KeyboardEvent& event) {
    settle();
    const SDL_Keysym& keysym = event.keysym;
    uint32 modifiers = beos_modifiers(keysym.mod);
    if (is_modifier_key(keysym.sym)) {
        _Modifiers(window, modifiers);
        return;
    }
    fModifiers = modifiers;
    int32 code = beos_key_code(keysym.scancode);

    if (event.type == SDL_KEYDOWN) {
        int32 repeat = event.repeat ? ++fRepeats[keysym.scancode] : (fRepeats[keysym.scancode] = 0);
        std::string bytes = special_key_bytes(keysym.sym, keysym.mod);
        if (bytes.empty() && holds_command(keysym.mod)) {
            bytes = held_key_bytes(keysym.sym, keysym.mod);
            // The desktop may still type the key's character; it is
            // already reported.
            fSwallowText = !bytes.empty();
        }
        if (bytes.empty()) {
            fWaiting.valid = true;
            fWaiting.window = window;
            fWaiting.keysym = keysym;
            fWaiting.repeat = repeat;
            return;
        }
        fHeldBytes[keysym.scancode] = bytes;
        _KeyMessage(B_KEY_DOWN, window, bytes, code, raw_char(keysym, bytes), modifiers, repeat);
        return;
    }

    fRepeats.erase(keysym.scancode);
    std::string bytes;
    auto held = fHeldBytes.find(keysym.scancode);
    if (held != fHeldBytes.end()) {
        bytes = held->second;
        fHeldBytes.erase(held);
    } else {
        // Pressed before this program had the keyboard. A text key whose
        // press typed nothing has nothing to release.
        bytes = special_key_bytes(keysym.sym, keysym.mod);
        if (bytes.empty() && holds_command(keysym.mod))
            bytes = held_key_bytes(keysym.sym, keysym.mod);
    }
    if (bytes.empty())
        return;
    _KeyMessage(B_KEY_UP, window, bytes, code, raw_char(keysym, bytes), modifiers, 0);
}

void sdl_input::text(int32 window, const SDL_TextInputEvent& event) {
    std::string text = event.text;
    if (text.empty())
        return;
    if (fSwallowText) {
        fSwallowText = false;
        fWaiting.valid = false;
        return;
    }
    if (fWaiting.valid && fWaiting.window == window) {
        fWaiting.valid = false;
        const SDL_Keysym& keysym = fWaiting.keysym;
        fHeldBytes[keysym.scancode] = text;
        _KeyMessage(B_KEY_DOWN, window, text, beos_key_code(keysym.scancode),
                    raw_char(keysym, text), beos_modifiers(keysym.mod), fWaiting.repeat);
        return;
    }
    fWaiting.valid = false;
    // Text that no key of its own typed (an input method committing it):
    // each character as a key pressed and released.
    uint32 modifiers = beos_modifiers(SDL_GetModState());
    for (size_t at = 0; at < text.size();) {
        size_t length = std::min(utf8_length((unsigned char)text[at]), text.size() - at);
        std::string character = text.substr(at, length);
        at += length;
        int32 raw = (uint8)character[0];
        _KeyMessage(B_KEY_DOWN, window, character, 0, raw, modifiers, 0);
        _KeyMessage(B_KEY_UP, window, character, 0, raw, modifiers, 0);
    }
}

void sdl_input::settle() {
    fWaiting.valid = false;
    fSwallowText = false;
}

} // namespace kit
