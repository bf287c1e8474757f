#include "soak.h"

#include <InterfaceDefs.h>
#include <Window.h>

#include <map>

using app_testing::screen;

namespace soak {

namespace {

std::map<uint32, gesture>& views() {
    static std::map<uint32, gesture> registered;
    return registered;
}

uint32 tag_number(const char* tag) {
    uint32 t = 0;
    for (int i = 0; i < 4; i++)
        t = t << 8 | (unsigned char)(tag[i] ? tag[i] : ' ');
    return t;
}

// BeOS's key codes of the keypad digits 0 to 9.
const int32 KEYPAD[10] = {0x64, 0x58, 0x59, 0x5a, 0x48, 0x49, 0x4a, 0x37, 0x38, 0x39};

} // namespace

bool add_view(const char* tag, gesture g) {
    views()[tag_number(tag)] = g;
    return true;
}

gesture view_gesture(uint32 tag) {
    auto it = views().find(tag);
    return it == views().end() ? nullptr : it->second;
}

std::string registered_views() {
    std::string names;
    for (const auto& entry : views()) {
        for (int shift = 24; shift >= 0; shift -= 8)
            names += (char)(entry.first >> shift & 0xff);
        names += ' ';
    }
    return names;
}

driver::driver(app_testing::running_app& run, uint32_t seed) : run(run), random(seed) {}

int driver::below(int n) {
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<int>(0, n - 1)(random);
}

float driver::between(float lo, float hi) {
    if (!(hi > lo))
        return lo;
    return std::uniform_real_distribution<float>(lo, hi)(random);
}

bool driver::chance(int percent) {
    return below(100) < percent;
}

void driver::press(BPoint where, uint32 buttons, uint32 modifiers, int32 clicks) {
    screen().mouse_down(target ? target : run.window(), where, buttons, modifiers, clicks);
    count++;
}

void driver::move(BPoint where, uint32 buttons, uint32 modifiers) {
    screen().mouse_move(target ? target : run.window(), where, buttons, modifiers);
    count++;
}

void driver::release(BPoint where, uint32 modifiers) {
    screen().mouse_up(target ? target : run.window(), where, modifiers);
    count++;
}

void driver::click(BPoint where, uint32 buttons, uint32 modifiers, int32 clicks) {
    press(where, buttons, modifiers, clicks);
    release(where, modifiers);
}

void driver::drag(BPoint from, BPoint to, int steps, uint32 buttons, uint32 modifiers) {
    press(from, buttons, modifiers);
    for (int i = 1; i <= steps; i++) {
        float t = (float)i / (float)(steps + 1);
        BPoint p(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t);
        // A hand is never quite steady.
        p.x += between(-2, 2);
        p.y += between(-2, 2);
        move(p, buttons, modifiers);
    }
    release(to, modifiers);
}

void driver::key(const char* bytes, int32 keycode, uint32 modifiers) {
    screen().key_down(target ? target : run.window(), bytes, keycode, modifiers);
    screen().key_up(target ? target : run.window(), bytes, keycode, modifiers);
    count += 2;
}

void driver::type(const std::string& text) {
    for (char c : text) {
        char bytes[2] = {c, 0};
        key(bytes);
    }
}

void driver::random_key() {
    static const char arrows[] = {B_LEFT_ARROW, B_RIGHT_ARROW, B_UP_ARROW, B_DOWN_ARROW};
    static const char others[] = {B_HOME, B_END, B_PAGE_UP, B_PAGE_DOWN};
    char bytes[2] = {0, 0};
    uint32 modifiers = 0;
    // Shift and Control sometimes; Command only with Z (Undo, and Redo
    // with Shift): its other letter keys are menu shortcuts, Quit among
    // them.
    if (chance(15))
        modifiers |= B_SHIFT_KEY;
    if (chance(10))
        modifiers |= B_CONTROL_KEY;
    switch (below(9)) {
    case 0:
        bytes[0] = B_DELETE;
        break;
    case 1:
        bytes[0] = B_BACKSPACE;
        break;
    case 2:
    case 3:
        bytes[0] = arrows[below(4)];
        break;
    case 4: {
        int digit = below(10);
        bytes[0] = (char)('0' + digit);
        key(bytes, KEYPAD[digit], modifiers);
        return;
    }
    case 5:
        bytes[0] = B_TAB;
        break;
    case 6:
        bytes[0] = chance(70) ? B_ENTER : B_ESCAPE;
        break;
    case 7:
        bytes[0] = others[below(4)];
        break;
    default:
        bytes[0] = (char)('a' + below(26));
        modifiers &= ~B_CONTROL_KEY;
        if (chance(20)) {
            bytes[0] = modifiers & B_SHIFT_KEY ? 'Z' : 'z';
            modifiers |= B_COMMAND_KEY;
        } else if (chance(20)) {
            // Cut, copy, paste and select all: on a text field's text or
            // on the canvas shown, pastes of whatever was copied last.
            static const char clip[] = "xcvva";
            bytes[0] = clip[below(5)];
            modifiers |= B_COMMAND_KEY;
        }
        break;
    }
    key(bytes, 0, modifiers);
}

std::string driver::random_text() {
    static const char hex[] = "0123456789abcdefABCDEF";
    static const char other[] = " -+.,xyzXG%/\\\"'";
    std::string text;
    int length = chance(10) ? 9 + below(30) : 1 + below(8);
    for (int i = 0; i < length; i++) {
        if (chance(85))
            text += hex[below(sizeof hex - 1)];
        else
            text += other[below(sizeof other - 1)];
    }
    return text;
}

BRect driver::visible_frame(BView* view) {
    BWindow* window = run.window();
    BRect visible(0, 0, -1, -1);
    if (!window->Lock())
        return visible;
    if (view->Window() == window) {
        BPoint origin = window->Frame().LeftTop();
        visible = view->ConvertToScreen(view->Bounds());
        visible.OffsetBy(-origin.x, -origin.y);
        for (BView* p = view->Parent(); p; p = p->Parent()) {
            BRect clip = p->ConvertToScreen(p->Bounds());
            clip.OffsetBy(-origin.x, -origin.y);
            visible = visible & clip;
        }
        visible = visible & window->Bounds();
    }
    window->Unlock();
    return visible;
}

BPoint driver::point_in(BView* view) {
    BRect r = visible_frame(view);
    if (!r.IsValid())
        return BPoint(-1, -1);
    return BPoint(std::floor(between(r.left, r.right + 1)),
                  std::floor(between(r.top, r.bottom + 1)));
}

BPoint driver::anywhere() {
    BRect b;
    run.window()->Lock();
    b = run.window()->Bounds();
    run.window()->Unlock();
    // Below the menu bar: an open menu could be left on "Quit".
    return BPoint(std::floor(between(0, b.right + 1)), std::floor(between(21, b.bottom + 1)));
}

bool driver::settle() {
    return screen().wait_idle(60000000);
}

} // namespace soak
