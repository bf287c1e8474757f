// Driving a table editor's controls as a user does on the headless
// display: clicks on buttons, boxes and list rows, text typed character by
// character, and the alerts the editor raises.
#ifndef TAVREL_TESTS_TABLE_EDITOR_SUPPORT_H
#define TAVREL_TESTS_TABLE_EDITOR_SUPPORT_H

#include "font/ttf_table.h"

#include "kit/app/kit_registry.h"
#include "kit/kit_test_support.h"

#include <Alert.h>
#include <Button.h>
#include <ListView.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace table_editor_testing {

using kit_testing::screen;

// A window the size of a table view with `table` as its only view.
inline BWindow* show_editor(ttf_table* table) {
    BWindow* window = kit_testing::open_window(561, 511, "table");
    kit_testing::locked(window, [&] { window->AddChild(table); });
    EXPECT_TRUE(screen().wait_idle());
    return window;
}

// Takes a table that belongs to a font out of the window before it closes,
// so that the window does not delete it.
inline void close_editor(BWindow* window, ttf_table* owned_elsewhere = nullptr) {
    if (owned_elsewhere)
        kit_testing::locked(window, [&] { window->RemoveChild(owned_elsewhere); });
    kit_testing::close(window);
}

// The centre of `view` in its window's coordinates.
inline BPoint centre_of(BView* view, BPoint inside) {
    BPoint p = inside;
    view->Window()->Lock();
    p = view->ConvertToScreen(p);
    BPoint origin = view->Window()->ConvertToScreen(BPoint(0, 0));
    view->Window()->Unlock();
    return BPoint(p.x - origin.x, p.y - origin.y);
}

inline void click_at(BWindow* window, BPoint where, int32 clicks = 1) {
    screen().mouse_down(window, where, 1, 0, clicks);
    screen().mouse_up(window, where);
    ASSERT_TRUE(screen().wait_idle());
}

inline void click(BView* control) {
    BRect b;
    kit_testing::locked(control->Window(), [&] { b = control->Bounds(); });
    // Check boxes answer on their box and label, buttons anywhere: aim a
    // little right of the left edge, halfway down.
    click_at(control->Window(), centre_of(control, BPoint(b.left + 6, (b.top + b.bottom) / 2)));
}

// Clicks row `index` of the list, first moving the selection there with
// the arrow keys when the row is out of sight.
inline void click_row(BListView* list, int32 index) {
    BWindow* window = list->Window();
    BRect frame, bounds;
    kit_testing::locked(window, [&] {
        frame = list->ItemFrame(index);
        bounds = list->Bounds();
    });
    if (frame.top < bounds.top || frame.bottom > bounds.bottom) {
        click_at(window, centre_of(list, BPoint(bounds.left + 10, bounds.top + 4)));
        int32 at;
        kit_testing::locked(window, [&] { at = list->CurrentSelection(); });
        const char* key = index > at ? "\x1f" : "\x1e";
        for (int32 n = index > at ? index - at : at - index; n > 0; n--) {
            screen().key_down(window, key);
            screen().key_up(window, key);
        }
        ASSERT_TRUE(screen().wait_idle());
        kit_testing::locked(window, [&] {
            frame = list->ItemFrame(index);
            bounds = list->Bounds();
        });
    }
    click_at(window, centre_of(list, BPoint(frame.left + 30, (frame.top + frame.bottom) / 2)));
}

// Replaces the text of a control by typing: a double click selects all of
// it, then each character of `text` (UTF-8) is one key, and Enter commits
// when asked.
inline void type_into(BTextControl* control, const std::string& text, bool enter = true) {
    BWindow* window = control->Window();
    float divider;
    BRect b;
    kit_testing::locked(window, [&] {
        divider = control->Divider();
        b = control->Bounds();
    });
    click_at(window, centre_of(control, BPoint(divider + 8, (b.top + b.bottom) / 2)), 2);
    if (text.empty()) {
        screen().key_down(window, "\x08");
        screen().key_up(window, "\x08");
    }
    for (size_t i = 0; i < text.size();) {
        unsigned char c = (unsigned char)text[i];
        size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        std::string key = text.substr(i, length);
        screen().key_down(window, key.c_str());
        screen().key_up(window, key.c_str());
        i += length;
    }
    if (enter) {
        screen().key_down(window, "\n");
        screen().key_up(window, "\n");
    }
    ASSERT_TRUE(screen().wait_idle());
}

inline std::string text_of(BTextControl* control) {
    std::string text;
    kit_testing::locked(control->Window(), [&] { text = control->Text(); });
    return text;
}

// The alerts that are up, oldest first.
inline std::vector<BAlert*> alerts() {
    std::vector<BAlert*> found;
    std::lock_guard<std::mutex> guard(kit::registry_mutex());
    for (BLooper* looper : kit::loopers()) {
        if (BAlert* alert = dynamic_cast<BAlert*>(looper))
            found.push_back(alert);
    }
    return found;
}

// Waits for an alert, answers it with the button `which` and returns its
// text; "" when no alert came. `nth` picks among alerts up at once, oldest
// first.
inline std::string answer_alert(int32 which = 0, size_t nth = 0) {
    std::vector<BAlert*> up;
    for (int i = 0; i < 500 && up.size() <= nth; i++) {
        up = alerts();
        if (up.size() <= nth)
            snooze(2000);
    }
    if (up.size() <= nth)
        return "";
    BAlert* alert = up[nth];
    int32 id = alert->kit_token();
    for (int i = 0; i < 500 && !screen().is_shown(id); i++)
        snooze(2000);
    EXPECT_TRUE(screen().wait_idle());
    std::string text = alert->Text();
    BPoint where;
    kit_testing::locked(alert, [&] {
        BButton* button = alert->ButtonAt(which);
        BRect f = button->Frame();
        where = button->Parent()->ConvertToParent(
            BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
    });
    screen().mouse_down(alert, where);
    screen().mouse_up(alert, where);
    for (int i = 0; i < 500 && screen().has_window(id); i++)
        snooze(2000);
    EXPECT_TRUE(screen().wait_idle());
    return text;
}

} // namespace table_editor_testing

#endif
