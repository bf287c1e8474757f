// Helpers for the kit's tests: windows on the headless display, views
// that draw what a test asks, and reading what the display shows.
#ifndef TAVREL_TESTS_KIT_SUPPORT_H
#define TAVREL_TESTS_KIT_SUPPORT_H

#include "kit/display/headless/headless_display.h"
#include "kit/display/scale.h"
#include "kit/interface/kit_painter.h"

#include <View.h>
#include <Window.h>

#include "support/test_support.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

// Windows made while it lives have `scale` device pixels per logical one.
struct scoped_scale {
    explicit scoped_scale(float scale) { kit::set_display_scale(scale); }
    ~scoped_scale() { kit::set_display_scale(1); }
};

// The shown device pixels of `window` as 0xRRGGBB, row by row.
inline std::vector<uint32> device_pixels(BWindow* window, int32 width, int32 height) {
    std::vector<uint32> out;
    out.reserve((size_t)width * height);
    for (int32 y = 0; y < height; y++)
        for (int32 x = 0; x < width; x++)
            out.push_back(rgb(window, x, y));
    return out;
}

// How a picture drawn at `scale` departs from the same picture drawn at 1
// and enlarged, within `area` (logical pixels; all when empty). A logical
// pixel whose neighbours up to `reach` pixels away all have its colour is
// flat: each of its device pixels must have that colour too, so nothing
// moved. The others lie on an edge, where drawing at device resolution
// may place ink differently.
struct scaled_comparison {
    int flat_mismatches = 0;
    int edge_mismatches = 0;
    int edge_pixels = 0;
};

inline scaled_comparison compare_scaled(const std::vector<uint32>& one, int32 width, int32 height,
                                        const std::vector<uint32>& big, float scale,
                                        kit::pixel_rect area = {}, int32 reach = 1) {
    scaled_comparison result;
    if (area.empty())
        area = kit::pixel_rect{0, 0, width - 1, height - 1};
    int32 bigWidth = kit::device_side(width, scale);
    int32 bigHeight = kit::device_side(height, scale);
    for (int32 y = std::max<int32>(0, area.top); y <= std::min(height - 1, area.bottom); y++) {
        for (int32 x = std::max<int32>(0, area.left); x <= std::min(width - 1, area.right); x++) {
            uint32 colour = one[(size_t)y * width + x];
            bool flat = true;
            for (int32 dy = -reach; dy <= reach; dy++)
                for (int32 dx = -reach; dx <= reach; dx++) {
                    int32 nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < width && ny < height &&
                        one[(size_t)ny * width + nx] != colour)
                        flat = false;
                }
            kit::pixel_rect block = kit::to_device(kit::pixel_rect{x, y, x, y}, scale);
            for (int32 by = block.top; by <= block.bottom && by < bigHeight; by++)
                for (int32 bx = block.left; bx <= block.right && bx < bigWidth; bx++) {
                    bool same = big[(size_t)by * bigWidth + bx] == colour;
                    if (flat) {
                        result.flat_mismatches += !same;
                    } else {
                        result.edge_pixels++;
                        result.edge_mismatches += !same;
                    }
                }
        }
    }
    return result;
}

} // namespace kit_testing

#endif
