// The random-input soak: drives the real application through the headless
// display with random but plausible input and checks the fonts it saves.
//
// Plugging a table view in: add a file tests/soak/views/<tag>.cpp with a
// gesture, a function that makes one random user gesture (a few presses,
// drags or keys) aimed at the shown view, and register it for the table's
// tag:
//
//     void glyf_gesture(soak::driver& d, BView* view) {
//         d.drag(d.point_in(view), d.point_in(view), 1 + d.below(8));
//     }
//     SOAK_VIEW("glyf", glyf_gesture);
//
// The soak already clicks, types into and drags every control it finds in
// the shown view (text fields, buttons, check boxes, sliders, lists, menu
// fields, scroll bars); a gesture adds what only the view knows (canvas
// strokes, modifier clicks, keys it listens to).
#ifndef TAVREL_TESTS_SOAK_H
#define TAVREL_TESTS_SOAK_H

#include "app/app_test_support.h"

#include <Rect.h>
#include <View.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace soak {

// Input primitives and random choices for gestures. Points are in the
// main window's coordinates. Every injected message counts as one event.
class driver {
  public:
    driver(app_testing::running_app& run, uint32_t seed);

    // Random choices: 0 .. n - 1; a float in [lo, hi); true `percent` in 100.
    int below(int n);
    float between(float lo, float hi);
    bool chance(int percent);

    void press(BPoint where, uint32 buttons = B_PRIMARY_MOUSE_BUTTON, uint32 modifiers = 0,
               int32 clicks = 1);
    void move(BPoint where, uint32 buttons = 0, uint32 modifiers = 0);
    void release(BPoint where, uint32 modifiers = 0);
    void click(BPoint where, uint32 buttons = B_PRIMARY_MOUSE_BUTTON, uint32 modifiers = 0,
               int32 clicks = 1);
    // Press at `from`, `steps` moves on the way, release at `to`.
    void drag(BPoint from, BPoint to, int steps, uint32 buttons = B_PRIMARY_MOUSE_BUTTON,
              uint32 modifiers = 0);
    // A key with its bytes and key code (down and up).
    void key(const char* bytes, int32 keycode = 0, uint32 modifiers = 0);
    void type(const std::string& text);
    // One of the keys editors listen to: Delete, Backspace, the arrows,
    // keypad digits, Tab, Enter, Escape, Home/End/Page keys, a letter.
    void random_key();
    // Random text: hexadecimal digits mostly, sometimes other characters.
    std::string random_text();

    // Where `view` lies in the window (the part inside its parents), and a
    // random point of it; read with the window locked. An empty rectangle
    // and (-1, -1) for a view that cannot be seen.
    BRect visible_frame(BView* view);
    BPoint point_in(BView* view);
    // A random point of the window's content (not the menu bar).
    BPoint anywhere();

    // Waits until every looper is idle; false when that takes longer than a
    // minute (a hang).
    bool settle();

    long events() const { return count; }
    app_testing::running_app& run;
    // The window that presses, moves and keys go to; the main window when
    // null. Points are then in that window's coordinates.
    BWindow* target = nullptr;
    std::mt19937 random;

  private:
    long count = 0;
};

using gesture = void (*)(driver& d, BView* view);

// Registers `g` for the table view whose tag is `tag` (four characters).
bool add_view(const char* tag, gesture g);
// The gesture registered for `tag`, or null.
gesture view_gesture(uint32 tag);
// Tags with a gesture, for the soak's summary.
std::string registered_views();

// The generic gesture: one random control of `view` (or the view itself)
// used as a user would.
void control_gesture(driver& d, BView* view);
// The text preview: opened, typed into, its controls and lines used, or
// closed (soak_preview.cpp).
void preview_gesture(driver& d);

// A whole edit as a user makes it in a table editor: each named text field
// of `view` is selected with a double click, typed over and committed with
// Enter, then the control named `press` (if any) is clicked. Fields that
// are not shown are skipped.
struct typed_field {
    const char* name;
    std::string text;
};
void fill_and_press(driver& d, BView* view, const std::vector<typed_field>& fields,
                    const char* press);
// Clicks the middle of the control of `view` named `name`, if shown.
void click_named(driver& d, BView* view, const char* name);
// A glyph number of the shown font: mostly one it has, now and then the
// last, one past it or a number no font has.
uint32 some_glyph(driver& d);
// `value` in lowercase hexadecimal, as the editors show numbers.
std::string hex(uint32 value);

// The check window: opened with Alt+K when it is not up, else used at
// random (soak_check.cpp). Returns what went wrong, or an empty text: once
// settled, it must list what a whole check of the font finds.
std::string check_window_gesture(driver& d);

} // namespace soak

#define SOAK_CONCAT2(a, b) a##b
#define SOAK_CONCAT(a, b) SOAK_CONCAT2(a, b)
#define SOAK_VIEW(tag, function)                                                                   \
    static const bool SOAK_CONCAT(soak_registered_, __LINE__) = soak::add_view(tag, function)

#endif
