// Helpers for the controls' tests: a view that keeps every message it
// receives, and a window that holds it.
#ifndef TAVREL_TESTS_CONTROL_TEST_SUPPORT_H
#define TAVREL_TESTS_CONTROL_TEST_SUPPORT_H

#include "kit_test_support.h"

#include <Invoker.h>
#include <Message.h>

#include <type_traits>

#include <string>
#include <vector>

namespace kit_testing {

// Records copies of the messages sent to it. Read `received` with the
// window locked.
class message_log : public BView {
  public:
    message_log(BRect frame = BRect(0, 0, 399, 299))
        : BView(frame, "log", B_FOLLOW_ALL, B_WILL_DRAW) {}
    void MessageReceived(BMessage* message) override { received.push_back(*message); }
    std::vector<BMessage> of(uint32 what) const {
        std::vector<BMessage> found;
        for (const BMessage& m : received) {
            if (m.what == what)
                found.push_back(m);
        }
        return found;
    }
    std::vector<BMessage> received;
};

// A window with a message_log filling it; the controls go into the log.
struct control_window {
    explicit control_window(float width = 399, float height = 299) {
        window = open_window(width, height, "controls");
        log = new message_log(BRect(0, 0, width, height));
        locked(window, [&] { window->AddChild(log); });
    }
    ~control_window() { close(window); }
    template <typename T> T* add(T* view) {
        locked(window, [&] {
            log->AddChild(view);
            if constexpr (std::is_base_of_v<BInvoker, T>)
                view->SetTarget(log);
        });
        return view;
    }
    std::vector<BMessage> messages(uint32 what) {
        std::vector<BMessage> found;
        locked(window, [&] { found = log->of(what); });
        return found;
    }
    void click(BPoint where, int32 clicks = 1, uint32 modifiers = 0) {
        screen().mouse_down(window, where, B_PRIMARY_MOUSE_BUTTON, modifiers, clicks);
        screen().mouse_up(window, where, modifiers);
    }
    void type(const std::string& utf8, uint32 modifiers = 0) {
        // One key message per character, as a keyboard sends them.
        size_t i = 0;
        while (i < utf8.size()) {
            size_t n = 1;
            while (i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80)
                n++;
            std::string one = utf8.substr(i, n);
            screen().key_down(window, one.c_str(), 0, modifiers);
            screen().key_up(window, one.c_str(), 0, modifiers);
            i += n;
        }
    }
    void key(char byte, uint32 modifiers = 0) {
        char bytes[2] = {byte, 0};
        screen().key_down(window, bytes, 0, modifiers);
        screen().key_up(window, bytes, 0, modifiers);
    }
    bool idle() { return screen().wait_idle(); }

    BWindow* window;
    message_log* log;
};

inline void* source_of(const BMessage& message) {
    void* source = nullptr;
    message.FindPointer("source", &source);
    return source;
}

} // namespace kit_testing

#endif
