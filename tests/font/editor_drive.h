// Driving the table editors as a user does: a font's table view alone in a
// window, text typed into a control and committed with Enter, buttons
// clicked and slider thumbs dragged through the headless display.
#ifndef TAVREL_TESTS_EDITOR_DRIVE_H
#define TAVREL_TESTS_EDITOR_DRIVE_H

#include "font/ttf_table.h"

#include "kit/kit_test_support.h"

#include <Button.h>
#include <Slider.h>
#include <TextControl.h>

#include <cmath>
#include <string>

namespace editor_drive {

using kit_testing::locked;
using kit_testing::screen;

// Shows `table` (owned by its font) in a window the size of a table view.
inline BWindow* show_table(ttf_table* table) {
    BWindow* window = kit_testing::open_window(561, 511, "table");
    locked(window, [&] { window->AddChild(table); });
    screen().wait_idle();
    return window;
}

// Takes the table back from the window (its font deletes it) and closes.
inline void close_table(BWindow* window, ttf_table* table) {
    locked(window, [&] { window->RemoveChild(table); });
    kit_testing::close(window);
}

inline void click(BWindow* window, BPoint where) {
    screen().mouse_down(window, where);
    screen().mouse_up(window, where);
    screen().wait_idle();
}

// Clicks into the control's text field, empties it and types `text`;
// Enter commits it.
inline void type(BWindow* window, BTextControl* control, const std::string& text,
                 bool enter = true) {
    BRect field = control->Frame();
    click(window, BPoint(field.right - 5, field.top + 10));
    locked(window, [&] { control->SetText(""); });
    for (char ch : text) {
        char key[2] = {ch, 0};
        screen().key_down(window, key);
        screen().key_up(window, key);
    }
    if (enter) {
        screen().key_down(window, "\n", 0);
        screen().key_up(window, "\n", 0);
    }
    screen().wait_idle();
}

inline void press(BWindow* window, BButton* button) {
    BRect frame = button->Frame();
    click(window, BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2));
}

// Window x at which the slider's bar stands for `value`.
inline float slider_x(BSlider* slider, int32 value) {
    int32 lo, hi;
    slider->GetLimits(&lo, &hi);
    BRect f = slider->Frame();
    return f.left + 6 + (f.Width() - 12) * (float)(value - lo) / (float)(hi - lo);
}

// Drags the slider's thumb from where it stands to window x `to`.
inline void drag(BWindow* window, BSlider* slider, float to) {
    float from = 0, y = 0;
    locked(window, [&] {
        int32 lo, hi;
        slider->GetLimits(&lo, &hi);
        BRect f = slider->Frame();
        // The bar runs 6 pixels in from both ends (half a thumb and a
        // border); the thumb's centre stands at the value's share of it.
        float share = hi > lo ? (float)(slider->Value() - lo) / (float)(hi - lo) : 0;
        from = std::round(f.left + 6 + (f.Width() - 12) * share);
        y = (f.top + f.bottom) / 2;
    });
    screen().mouse_down(window, BPoint(from, y));
    screen().mouse_move(window, BPoint((from + to) / 2, y), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_move(window, BPoint(to, y), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_up(window, BPoint(to, y));
    screen().wait_idle();
}

// Pixels of the amber notice text (blended into black at its edges) in a
// rectangle of the window.
inline int amber_pixels(BWindow* window, int32 left, int32 top, int32 right, int32 bottom) {
    int count = 0;
    for (int32 y = top; y <= bottom; y++) {
        for (int32 x = left; x <= right; x++) {
            rgb_color c = screen().pixel(window, x, y);
            count += c.red > 100 && c.green > 80 && c.blue < 80 && c.red > c.green;
        }
    }
    return count;
}

inline std::string text_of(BWindow* window, BTextControl* control) {
    std::string text;
    locked(window, [&] { text = control->Text(); });
    return text;
}

} // namespace editor_drive

#endif
