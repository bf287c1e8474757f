#include "headless_display.h"

#include "kit/app/kit_registry.h"
#include "kit/display/cairo/cairo_rasteriser.h"

#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

#include <cairo.h>

#include <cstring>

namespace kit {

headless_display::headless_display(BRect screen) : fScreen(screen) {
    install_cairo_rasteriser();
}

// Windows' threads are not joined: one that closed its window just before
// the process ends called in here last under the lock, and taking it
// orders those calls before the maps go.
headless_display::~headless_display() {
    std::lock_guard<std::mutex> guard(fLock);
}

headless_display* headless_display::current() {
    if (!display_installed())
        install_display(std::make_unique<headless_display>());
    return dynamic_cast<headless_display*>(&display());
}

void headless_display::window_created(int32 window, const char* title, BRect frame, uint32,
                                      uint32) {
    std::lock_guard<std::mutex> guard(fLock);
    shown_window& w = fWindows[window];
    w.title = title ? title : "";
    w.frame = frame;
}

void headless_display::window_destroyed(int32 window) {
    std::lock_guard<std::mutex> guard(fLock);
    fWindows.erase(window);
}

void headless_display::window_retitled(int32 window, const char* title) {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it != fWindows.end())
        it->second.title = title ? title : "";
}

void headless_display::window_framed(int32 window, BRect frame) {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it != fWindows.end())
        it->second.frame = frame;
}

void headless_display::window_shown(int32 window, bool shown) {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it != fWindows.end())
        it->second.shown = shown;
}

void headless_display::region_presented(int32 window, const pixel_view& pixels, BRect region) {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it == fWindows.end() || !pixels.pixels)
        return;
    shown_window& w = it->second;
    if (w.width != pixels.width || w.height != pixels.height) {
        w.width = pixels.width;
        w.height = pixels.height;
        w.pixels.assign((size_t)w.width * w.height, 0);
    }
    int32 left = std::max<int32>(0, (int32)region.left);
    int32 top = std::max<int32>(0, (int32)region.top);
    int32 right = std::min<int32>(w.width - 1, (int32)region.right);
    int32 bottom = std::min<int32>(w.height - 1, (int32)region.bottom);
    for (int32 y = top; y <= bottom; y++) {
        std::memcpy(&w.pixels[(size_t)y * w.width + left],
                    pixels.pixels + (size_t)y * pixels.stride + left,
                    (size_t)(right - left + 1) * 4);
    }
    w.presents++;
}

int32 headless_display::id_of(BWindow* window) {
    // The caller's pointer may outlive its window (a panel that closed on
    // the key just sent): it is read only while the kit still lists it,
    // and a window is unlisted under this lock before its memory goes.
    if (!window)
        return -1;
    BLooper* looper = window;
    std::lock_guard<std::mutex> guard(registry_mutex());
    for (BLooper* live : loopers())
        if (live == looper)
            return window->kit_token();
    return -1;
}

bool headless_display::post(BWindow* window, const BMessage& message) {
    return window && post_input(id_of(window), message);
}

bool headless_display::mouse_move(BWindow* window, BPoint where, uint32 buttons, uint32 modifiers) {
    BMessage message(B_MOUSE_MOVED);
    message.AddInt64("when", system_time());
    message.AddPoint("where", where);
    message.AddInt32("buttons", (int32)buttons);
    message.AddInt32("modifiers", (int32)modifiers);
    return post(window, message);
}

bool headless_display::mouse_down(BWindow* window, BPoint where, uint32 buttons, uint32 modifiers,
                                  int32 clicks) {
    BMessage message(B_MOUSE_DOWN);
    message.AddInt64("when", system_time());
    message.AddPoint("where", where);
    message.AddInt32("buttons", (int32)buttons);
    message.AddInt32("modifiers", (int32)modifiers);
    message.AddInt32("clicks", clicks);
    return post(window, message);
}

bool headless_display::mouse_wheel(BWindow* window, float dx, float dy) {
    BMessage message(B_MOUSE_WHEEL_CHANGED);
    message.AddInt64("when", system_time());
    message.AddFloat("be:wheel_delta_x", dx);
    message.AddFloat("be:wheel_delta_y", dy);
    return post(window, message);
}

bool headless_display::mouse_up(BWindow* window, BPoint where, uint32 modifiers) {
    BMessage message(B_MOUSE_UP);
    message.AddInt64("when", system_time());
    message.AddPoint("where", where);
    message.AddInt32("buttons", 0);
    message.AddInt32("modifiers", (int32)modifiers);
    return post(window, message);
}

namespace {
BMessage key_message(uint32 what, const char* bytes, int32 key, uint32 modifiers) {
    BMessage message(what);
    message.AddInt64("when", system_time());
    message.AddInt32("modifiers", (int32)modifiers);
    message.AddInt32("key", key);
    const char* text = bytes ? bytes : "";
    message.AddString("bytes", text);
    message.AddInt8("byte", (int8)text[0]);
    message.AddInt32("raw_char", (int32)(uint8)text[0]);
    return message;
}
} // namespace

bool headless_display::key_down(BWindow* window, const char* bytes, int32 key, uint32 modifiers) {
    return post(window, key_message(B_KEY_DOWN, bytes, key, modifiers));
}

bool headless_display::key_up(BWindow* window, const char* bytes, int32 key, uint32 modifiers) {
    return post(window, key_message(B_KEY_UP, bytes, key, modifiers));
}

bool headless_display::drop_files(BWindow* window, BPoint where,
                                  const std::vector<std::string>& paths) {
    BMessage message(B_SIMPLE_DATA);
    for (const std::string& path : paths) {
        entry_ref ref;
        if (get_ref_for_path(path.c_str(), &ref) == B_OK)
            message.AddRef("refs", &ref);
    }
    message.kit_set_dropped(where);
    return post(window, message);
}

bool headless_display::close_window(BWindow* window) {
    return post(window, BMessage(B_QUIT_REQUESTED));
}

bool headless_display::wait_idle(bigtime_t timeout, bigtime_t settle) {
    bigtime_t deadline = system_time() + timeout;
    // Idle twice in a row, a moment apart: a message that one looper
    // sends another as it finishes is seen by the second look.
    int calm = 0;
    while (system_time() < deadline) {
        if (all_loopers_idle()) {
            if (++calm >= 2)
                return true;
        } else {
            calm = 0;
        }
        snooze(settle);
    }
    return false;
}

bool headless_display::has_window(int32 window) const {
    std::lock_guard<std::mutex> guard(fLock);
    return fWindows.count(window) != 0;
}

bool headless_display::is_shown(int32 window) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    return it != fWindows.end() && it->second.shown;
}

std::string headless_display::title(int32 window) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    return it == fWindows.end() ? std::string() : it->second.title;
}

BRect headless_display::frame(int32 window) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    return it == fWindows.end() ? BRect() : it->second.frame;
}

int32 headless_display::present_count(int32 window) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    return it == fWindows.end() ? 0 : it->second.presents;
}

rgb_color headless_display::pixel(int32 window, int32 x, int32 y) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it == fWindows.end())
        return rgb_color{0, 0, 0, 255};
    const shown_window& w = it->second;
    if (x < 0 || y < 0 || x >= w.width || y >= w.height)
        return rgb_color{0, 0, 0, 255};
    uint32 p = w.pixels[(size_t)y * w.width + x];
    return rgb_color{(uint8)(p >> 16), (uint8)(p >> 8), (uint8)p, 255};
}

rgb_color headless_display::pixel(BWindow* window, int32 x, int32 y) const {
    return pixel(id_of(window), x, y);
}

bool headless_display::save_png(int32 window, const std::string& path) const {
    std::lock_guard<std::mutex> guard(fLock);
    auto it = fWindows.find(window);
    if (it == fWindows.end() || it->second.width <= 0 || it->second.height <= 0)
        return false;
    const shown_window& w = it->second;
    int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w.width);
    std::vector<unsigned char> rows((size_t)stride * w.height);
    for (int32 y = 0; y < w.height; y++)
        std::memcpy(&rows[(size_t)y * stride], &w.pixels[(size_t)y * w.width], (size_t)w.width * 4);
    cairo_surface_t* image = cairo_image_surface_create_for_data(rows.data(), CAIRO_FORMAT_RGB24,
                                                                 w.width, w.height, stride);
    cairo_status_t status = cairo_surface_write_to_png(image, path.c_str());
    cairo_surface_destroy(image);
    return status == CAIRO_STATUS_SUCCESS;
}

bool headless_display::save_png(BWindow* window, const std::string& path) const {
    return save_png(id_of(window), path);
}

} // namespace kit
