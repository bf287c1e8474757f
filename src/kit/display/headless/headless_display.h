// A display that keeps every window's pixels in memory. Tests use it to
// drive real windows: inject mouse, key and file-drop input as a desktop
// would, wait until every looper is idle, then read pixels or write a
// PNG screenshot. What it holds is what the windows presented, as a
// screen would show it.
#ifndef KIT_DISPLAY_HEADLESS_DISPLAY_H
#define KIT_DISPLAY_HEADLESS_DISPLAY_H

#include "kit/display/display.h"

#include <GraphicsDefs.h>
#include <OS.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

class BWindow;

namespace kit {

class headless_display : public display_backend {
  public:
    explicit headless_display(BRect screen = BRect(0, 0, 1919, 1079));
    ~headless_display() override;

    // The headless display in use; installs one if no backend is yet.
    // Null when another kind of backend is installed.
    static headless_display* current();

    void window_created(int32 window, const char* title, BRect frame, uint32 type,
                        uint32 flags) override;
    void window_destroyed(int32 window) override;
    void window_retitled(int32 window, const char* title) override;
    void window_framed(int32 window, BRect frame) override;
    void window_shown(int32 window, bool shown) override;
    void region_presented(int32 window, const pixel_view& pixels, BRect region) override;
    BRect screen_frame() const override { return fScreen; }

    // Input, as a desktop delivers it: "where" in the window's device
    // pixels (its logical coordinates times the scale it was made at),
    // "buttons", "modifiers", "when" (and "clicks" on a press). Each
    // returns false if the window is gone.
    bool mouse_move(BWindow* window, BPoint where, uint32 buttons = 0, uint32 modifiers = 0);
    bool mouse_down(BWindow* window, BPoint where, uint32 buttons = 1, uint32 modifiers = 0,
                    int32 clicks = 1);
    bool mouse_up(BWindow* window, BPoint where, uint32 modifiers = 0);
    // The wheel turned by (dx, dy) notches, downwards positive; it reaches
    // the view under the pointer's last place.
    bool mouse_wheel(BWindow* window, float dx, float dy);
    // A key with its UTF-8 bytes ("bytes", "byte"), the keyboard's key
    // code ("key") and "modifiers".
    bool key_down(BWindow* window, const char* bytes, int32 key = 0, uint32 modifiers = 0);
    bool key_up(BWindow* window, const char* bytes, int32 key = 0, uint32 modifiers = 0);
    // Files dropped at `where`: B_SIMPLE_DATA with one "refs" per path,
    // delivered to the view under the point.
    bool drop_files(BWindow* window, BPoint where, const std::vector<std::string>& paths);
    // The close box: B_QUIT_REQUESTED to the window.
    bool close_window(BWindow* window);

    // Waits until no looper has work; false on time-out.
    // `settle` is the pause between the two looks at every looper; a short
    // one lets benchmarks time what they drive rather than the pause.
    bool wait_idle(bigtime_t timeout = 5000000, bigtime_t settle = 1000);

    // What the display shows of a window (by pointer while the window
    // lives, or by id).
    bool has_window(int32 window) const;
    bool is_shown(int32 window) const;
    std::string title(int32 window) const;
    BRect frame(int32 window) const;
    int32 present_count(int32 window) const;
    // A shown device pixel; black outside the window.
    rgb_color pixel(int32 window, int32 x, int32 y) const;
    rgb_color pixel(BWindow* window, int32 x, int32 y) const;
    bool save_png(int32 window, const std::string& path) const;
    bool save_png(BWindow* window, const std::string& path) const;

  private:
    struct shown_window {
        std::string title;
        BRect frame;
        bool shown = false;
        int32 width = 0;
        int32 height = 0;
        std::vector<uint32> pixels;
        int32 presents = 0;
    };

    static int32 id_of(BWindow* window);
    bool post(BWindow* window, const BMessage& message);

    BRect fScreen;
    mutable std::mutex fLock;
    std::map<int32, shown_window> fWindows;
};

} // namespace kit

#endif
