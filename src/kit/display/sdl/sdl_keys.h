// How SDL's keys, modifiers and buttons read in BeOS's terms: the bytes a
// special key sends, the keyboard's key codes, the modifier bits and the
// button bits of mouse messages.
#ifndef KIT_DISPLAY_SDL_KEYS_H
#define KIT_DISPLAY_SDL_KEYS_H

#include <SupportDefs.h>

#include <SDL.h>

#include <string>

namespace kit::sdl {

// BeOS's "modifiers" bits for SDL's modifier state. Alt is the Command
// key and the Windows key the Option key, as on BeOS keyboards for PCs.
uint32 beos_modifiers(Uint16 state);

// BeOS's "buttons" bit of an SDL button: primary 1, secondary 2,
// tertiary 4. SDL's extra buttons have no BeOS meaning: 0.
uint32 beos_button(Uint8 button);

// BeOS's key code (the key's place on the keyboard) for an SDL scancode;
// 0 for keys BeOS keyboards do not have.
int32 beos_key_code(SDL_Scancode scancode);

// The bytes a key sends when it does not type text: the control codes of
// arrows, Delete, Backspace, Enter, Tab, Escape, Home, End, Page Up/Down,
// Insert and the function keys, and the keypad's navigation keys while
// Num Lock is off. Empty for keys that type text and for modifier keys.
std::string special_key_bytes(SDL_Keycode key, Uint16 state);

// True for Shift, Control, Alt, the Windows keys and the lock keys, which
// change the modifiers instead of sending bytes.
bool is_modifier_key(SDL_Keycode key);

// The bytes of a text key when Control or the left Alt keeps the desktop from
// typing it: Control with a letter (or [ \ ] ^ _) gives its control
// code, anything else the key's own character, upper case with Shift.
std::string held_key_bytes(SDL_Keycode key, Uint16 state);

} // namespace kit::sdl

#endif
