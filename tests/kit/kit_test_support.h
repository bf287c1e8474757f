// Helpers for the kit's tests: windows on the headless display, views
// that draw what a test asks, and reading what the display shows.
#ifndef TAVREL_TESTS_KIT_SUPPORT_H
#define TAVREL_TESTS_KIT_SUPPORT_H

#include "kit/display/headless/headless_display.h"

#include <View.h>
#include <Window.h>

#include "support/test_support.h"

#include <cstdlib>
#include <functional>
#include <string>

namespace kit_testing {

inline kit::headless_display& screen() {
    return *kit::headless_display::current();
}

// A view that runs `paint` from Draw().
class paint_view : public BView {
  public:
    paint_view(BRect frame, std::function<void(BView*)> paint = nullptr,
               uint32 resizing = B_FOLLOW_LEFT | B_FOLLOW_TOP)
        : BView(frame, "paint", resizing, B_WILL_DRAW), fPaint(std::move(paint)) {}
    void Draw(BRect) override {
        if (fPaint)
            fPaint(this);
    }
    void set_paint(std::function<void(BView*)> paint) { fPaint = std::move(paint); }

  private:
    std::function<void(BView*)> fPaint;
};

// A shown window of the given content size at (100, 100).
inline BWindow* open_window(float width = 99, float height = 99, const char* title = "test") {
    BWindow* window =
        new BWindow(BRect(100, 100, 100 + width, 100 + height), title, B_TITLED_WINDOW, 0);
    window->Show();
    return window;
}

inline void close(BWindow* window) {
    window->Lock();
    window->Quit();
}

// Runs `step` in the caller's thread with the window locked.
inline void locked(BWindow* window, const std::function<void()>& step) {
    window->Lock();
    step();
    window->Unlock();
}

// The shown pixel as 0xRRGGBB.
inline uint32 rgb(BWindow* window, int32 x, int32 y) {
    rgb_color c = screen().pixel(window, x, y);
    return ((uint32)c.red << 16) | ((uint32)c.green << 8) | c.blue;
}

// Writes what the display shows of `window` as a PNG and returns its path:
// in $TAVREL_SCREENSHOT_DIR when set (to look at it), else in the test's
// temporary folder.
inline std::string screenshot(BWindow* window, const std::string& name) {
    const char* keep = std::getenv("TAVREL_SCREENSHOT_DIR");
    std::string dir = keep && *keep ? keep : testing_support::temp_dir();
    std::string path = dir + "/" + name + ".png";
    return screen().save_png(window, path) ? path : std::string();
}

} // namespace kit_testing

#endif
