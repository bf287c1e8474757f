#include "sdl_keys.h"

#include <InterfaceDefs.h>

namespace kit::sdl {

uint32 beos_modifiers(Uint16 state) {
    uint32 bits = 0;
    if (state & KMOD_LSHIFT)
        bits |= B_SHIFT_KEY | B_LEFT_SHIFT_KEY;
    if (state & KMOD_RSHIFT)
        bits |= B_SHIFT_KEY | B_RIGHT_SHIFT_KEY;
    if (state & KMOD_LCTRL)
        bits |= B_CONTROL_KEY | B_LEFT_CONTROL_KEY;
    if (state & KMOD_RCTRL)
        bits |= B_CONTROL_KEY | B_RIGHT_CONTROL_KEY;
    if (state & KMOD_LALT)
        bits |= B_COMMAND_KEY | B_LEFT_COMMAND_KEY;
    if (state & KMOD_RALT)
        bits |= B_COMMAND_KEY | B_RIGHT_COMMAND_KEY;
    if (state & KMOD_LGUI)
        bits |= B_OPTION_KEY | B_LEFT_OPTION_KEY;
    if (state & KMOD_RGUI)
        bits |= B_OPTION_KEY | B_RIGHT_OPTION_KEY;
    if (state & KMOD_CAPS)
        bits |= B_CAPS_LOCK;
    if (state & KMOD_NUM)
        bits |= B_NUM_LOCK;
    if (state & KMOD_SCROLL)
        bits |= B_SCROLL_LOCK;
    return bits;
}

uint32 beos_button(Uint8 button) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return B_PRIMARY_MOUSE_BUTTON;
    case SDL_BUTTON_RIGHT:
        return B_SECONDARY_MOUSE_BUTTON;
    case SDL_BUTTON_MIDDLE:
        return B_TERTIARY_MOUSE_BUTTON;
    default:
        return 0;
    }
}

namespace {

struct key_place {
    SDL_Scancode scancode;
    int32 code;
};

// The key codes of BeOS's keyboard map, row by row.
const key_place kKeyPlaces[] = {
    {SDL_SCANCODE_ESCAPE, 0x01},
    {SDL_SCANCODE_F1, 0x02},
    {SDL_SCANCODE_F2, 0x03},
    {SDL_SCANCODE_F3, 0x04},
    {SDL_SCANCODE_F4, 0x05},
    {SDL_SCANCODE_F5, 0x06},
    {SDL_SCANCODE_F6, 0x07},
    {SDL_SCANCODE_F7, 0x08},
    {SDL_SCANCODE_F8, 0x09},
    {SDL_SCANCODE_F9, 0x0a},
    {SDL_SCANCODE_F10, 0x0b},
    {SDL_SCANCODE_F11, 0x0c},
    {SDL_SCANCODE_F12, 0x0d},
    {SDL_SCANCODE_PRINTSCREEN, 0x0e},
    {SDL_SCANCODE_SCROLLLOCK, 0x0f},
    {SDL_SCANCODE_PAUSE, 0x10},

    {SDL_SCANCODE_GRAVE, 0x11},
    {SDL_SCANCODE_1, 0x12},
    {SDL_SCANCODE_2, 0x13},
    {SDL_SCANCODE_3, 0x14},
    {SDL_SCANCODE_4, 0x15},
    {SDL_SCANCODE_5, 0x16},
    {SDL_SCANCODE_6, 0x17},
    {SDL_SCANCODE_7, 0x18},
    {SDL_SCANCODE_8, 0x19},
    {SDL_SCANCODE_9, 0x1a},
    {SDL_SCANCODE_0, 0x1b},
    {SDL_SCANCODE_MINUS, 0x1c},
    {SDL_SCANCODE_EQUALS, 0x1d},
    {SDL_SCANCODE_BACKSPACE, 0x1e},
    {SDL_SCANCODE_INSERT, 0x1f},
    {SDL_SCANCODE_HOME, 0x20},
    {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x22},
    {SDL_SCANCODE_KP_DIVIDE, 0x23},
    {SDL_SCANCODE_KP_MULTIPLY, 0x24},
    {SDL_SCANCODE_KP_MINUS, 0x25},

    {SDL_SCANCODE_TAB, 0x26},
    {SDL_SCANCODE_Q, 0x27},
    {SDL_SCANCODE_W, 0x28},
    {SDL_SCANCODE_E, 0x29},
    {SDL_SCANCODE_R, 0x2a},
    {SDL_SCANCODE_T, 0x2b},
    {SDL_SCANCODE_Y, 0x2c},
    {SDL_SCANCODE_U, 0x2d},
    {SDL_SCANCODE_I, 0x2e},
    {SDL_SCANCODE_O, 0x2f},
    {SDL_SCANCODE_P, 0x30},
    {SDL_SCANCODE_LEFTBRACKET, 0x31},
    {SDL_SCANCODE_RIGHTBRACKET, 0x32},
    {SDL_SCANCODE_BACKSLASH, 0x33},
    {SDL_SCANCODE_DELETE, 0x34},
    {SDL_SCANCODE_END, 0x35},
    {SDL_SCANCODE_PAGEDOWN, 0x36},
    {SDL_SCANCODE_KP_7, 0x37},
    {SDL_SCANCODE_KP_8, 0x38},
    {SDL_SCANCODE_KP_9, 0x39},
    {SDL_SCANCODE_KP_PLUS, 0x3a},

    {SDL_SCANCODE_CAPSLOCK, 0x3b},
    {SDL_SCANCODE_A, 0x3c},
    {SDL_SCANCODE_S, 0x3d},
    {SDL_SCANCODE_D, 0x3e},
    {SDL_SCANCODE_F, 0x3f},
    {SDL_SCANCODE_G, 0x40},
    {SDL_SCANCODE_H, 0x41},
    {SDL_SCANCODE_J, 0x42},
    {SDL_SCANCODE_K, 0x43},
    {SDL_SCANCODE_L, 0x44},
    {SDL_SCANCODE_SEMICOLON, 0x45},
    {SDL_SCANCODE_APOSTROPHE, 0x46},
    {SDL_SCANCODE_RETURN, 0x47},
    {SDL_SCANCODE_KP_4, 0x48},
    {SDL_SCANCODE_KP_5, 0x49},
    {SDL_SCANCODE_KP_6, 0x4a},

    {SDL_SCANCODE_LSHIFT, 0x4b},
    {SDL_SCANCODE_Z, 0x4c},
    {SDL_SCANCODE_X, 0x4d},
    {SDL_SCANCODE_C, 0x4e},
    {SDL_SCANCODE_V, 0x4f},
    {SDL_SCANCODE_B, 0x50},
    {SDL_SCANCODE_N, 0x51},
    {SDL_SCANCODE_M, 0x52},
    {SDL_SCANCODE_COMMA, 0x53},
    {SDL_SCANCODE_PERIOD, 0x54},
    {SDL_SCANCODE_SLASH, 0x55},
    {SDL_SCANCODE_RSHIFT, 0x56},
    {SDL_SCANCODE_UP, 0x57},
    {SDL_SCANCODE_KP_1, 0x58},
    {SDL_SCANCODE_KP_2, 0x59},
    {SDL_SCANCODE_KP_3, 0x5a},
    {SDL_SCANCODE_KP_ENTER, 0x5b},

    {SDL_SCANCODE_LCTRL, 0x5c},
    {SDL_SCANCODE_LALT, 0x5d},
    {SDL_SCANCODE_SPACE, 0x5e},
    {SDL_SCANCODE_RALT, 0x5f},
    {SDL_SCANCODE_RCTRL, 0x60},
    {SDL_SCANCODE_LEFT, 0x61},
    {SDL_SCANCODE_DOWN, 0x62},
    {SDL_SCANCODE_RIGHT, 0x63},
    {SDL_SCANCODE_KP_0, 0x64},
    {SDL_SCANCODE_KP_PERIOD, 0x65},
    {SDL_SCANCODE_LGUI, 0x66},
    {SDL_SCANCODE_RGUI, 0x67},
    {SDL_SCANCODE_APPLICATION, 0x68},
    {SDL_SCANCODE_NONUSBACKSLASH, 0x69},
};

} // namespace

int32 beos_key_code(SDL_Scancode scancode) {
    for (const key_place& place : kKeyPlaces) {
        if (place.scancode == scancode)
            return place.code;
    }
    return 0;
}

namespace {

std::string byte(char c) {
    return std::string(1, c);
}

// The keypad's second meaning, used while Num Lock is off.
std::string keypad_navigation(SDL_Keycode key) {
    switch (key) {
    case SDLK_KP_8:
        return byte(B_UP_ARROW);
    case SDLK_KP_2:
        return byte(B_DOWN_ARROW);
    case SDLK_KP_4:
        return byte(B_LEFT_ARROW);
    case SDLK_KP_6:
        return byte(B_RIGHT_ARROW);
    case SDLK_KP_7:
        return byte(B_HOME);
    case SDLK_KP_1:
        return byte(B_END);
    case SDLK_KP_9:
        return byte(B_PAGE_UP);
    case SDLK_KP_3:
        return byte(B_PAGE_DOWN);
    case SDLK_KP_0:
        return byte(B_INSERT);
    case SDLK_KP_PERIOD:
        return byte(B_DELETE);
    default:
        return std::string();
    }
}

} // namespace

std::string special_key_bytes(SDL_Keycode key, Uint16 state) {
    switch (key) {
    case SDLK_UP:
        return byte(B_UP_ARROW);
    case SDLK_DOWN:
        return byte(B_DOWN_ARROW);
    case SDLK_LEFT:
        return byte(B_LEFT_ARROW);
    case SDLK_RIGHT:
        return byte(B_RIGHT_ARROW);
    case SDLK_DELETE:
        return byte(B_DELETE);
    case SDLK_BACKSPACE:
        return byte(B_BACKSPACE);
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER:
        return byte(B_ENTER);
    case SDLK_TAB:
        return byte(B_TAB);
    case SDLK_ESCAPE:
        return byte(B_ESCAPE);
    case SDLK_HOME:
        return byte(B_HOME);
    case SDLK_END:
        return byte(B_END);
    case SDLK_PAGEUP:
        return byte(B_PAGE_UP);
    case SDLK_PAGEDOWN:
        return byte(B_PAGE_DOWN);
    case SDLK_INSERT:
        return byte(B_INSERT);
    default:
        break;
    }
    if ((key >= SDLK_F1 && key <= SDLK_F12) || key == SDLK_PRINTSCREEN || key == SDLK_SCROLLLOCK ||
        key == SDLK_PAUSE)
        return byte(B_FUNCTION_KEY);
    if (!(state & KMOD_NUM))
        return keypad_navigation(key);
    return std::string();
}

bool is_modifier_key(SDL_Keycode key) {
    switch (key) {
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
    case SDLK_LCTRL:
    case SDLK_RCTRL:
    case SDLK_LALT:
    case SDLK_RALT:
    case SDLK_LGUI:
    case SDLK_RGUI:
    case SDLK_CAPSLOCK:
    case SDLK_NUMLOCKCLEAR:
    case SDLK_SCROLLLOCK:
    case SDLK_MODE:
    case SDLK_APPLICATION:
        return true;
    default:
        return false;
    }
}

std::string held_key_bytes(SDL_Keycode key, Uint16 state) {
    // Printable keys have their character as SDL key code.
    if (key < 0x20 || key >= 0x7f)
        return std::string();
    char c = (char)key;
    if ((state & KMOD_SHIFT) && c >= 'a' && c <= 'z')
        c = (char)(c - 'a' + 'A');
    if (state & KMOD_CTRL) {
        if (c >= 'a' && c <= 'z')
            return byte((char)(c - 'a' + 1));
        if (c >= 'A' && c <= 'Z')
            return byte((char)(c - 'A' + 1));
        if (c >= '[' && c <= '_')
            return byte((char)(c & 0x1f));
    }
    return byte(c);
}

} // namespace kit::sdl
