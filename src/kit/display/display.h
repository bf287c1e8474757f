// The seam between the kit and a display backend.
//
// Windows render their views into memory on their own threads. A backend
// only learns that a window exists, changed its title, frame or
// visibility, or has new pixels in some region; it turns the platform's
// input into BMessages and hands them to windows with post_input(). A
// backend whose library must be driven from one thread (SDL) does that on
// the application's thread: BApplication::Run() calls pump() while its
// queue is empty, and wake_application() interrupts the pump when a
// message is queued for the application.
#ifndef KIT_DISPLAY_DISPLAY_H
#define KIT_DISPLAY_DISPLAY_H

#include <Rect.h>
#include <SupportDefs.h>

#include <functional>
#include <memory>

class BMessage;

namespace kit {

// A window's pixels: 32-bit 0xXXRRGGBB words in native byte order (the top
// byte is unused), `stride` words per row. They are device pixels: a
// window made at scale s (kit/display/scale.h) has s times as many each
// way as its frame has logical pixels.
struct pixel_view {
    const uint32* pixels = nullptr;
    int32 width = 0;
    int32 height = 0;
    int32 stride = 0;
};

class display_backend {
  public:
    virtual ~display_backend() = default;

    // Windows are known by an id that is never reused. These calls come
    // from whichever thread changes the window, with the window locked;
    // they must not block on the application thread.
    // `type` is the window_type and `flags` the window flags
    // (B_NOT_RESIZABLE, B_NOT_CLOSABLE, ...) the window was made with.
    virtual void window_created(int32 window, const char* title, BRect frame, uint32 type,
                                uint32 flags) = 0;
    virtual void window_destroyed(int32 window) = 0;
    virtual void window_retitled(int32 window, const char* title) = 0;
    // `frame` is the content area in screen coordinates (inclusive).
    virtual void window_framed(int32 window, BRect frame) = 0;
    virtual void window_shown(int32 window, bool shown) = 0;
    // The sizes the user may give the window's content area.
    virtual void window_limits(int32 window, float minWidth, float maxWidth, float minHeight,
                               float maxHeight) {
        (void)window;
        (void)minWidth;
        (void)maxWidth;
        (void)minHeight;
        (void)maxHeight;
    }
    // The pixels inside `region` (device pixels, inclusive) changed.
    // Called in the window's thread; the backend copies what it needs
    // before returning, as the window draws on right after.
    virtual void region_presented(int32 window, const pixel_view& pixels, BRect region) = 0;

    // The usable screen area, used when zooming and placing windows, in
    // logical pixels like window frames.
    virtual BRect screen_frame() const = 0;

    virtual bool drives_application_thread() const { return false; }
    // Waits up to `timeout` microseconds for platform events and posts
    // them; returns early after wake_application(). Called on any other
    // thread than the one that drives the platform, it only waits.
    virtual void pump(bigtime_t timeout) { (void)timeout; }
    // Callable from any thread.
    virtual void wake_application() {}
};

// The installed backend; when there is none yet, the program's start-up
// choice (choose_display) is made first.
display_backend& display();
// Replaces the backend. Only before the first window is created.
void install_display(std::unique_ptr<display_backend> backend);
// True once a backend is installed (explicitly, or by display()).
bool display_installed();
// The program's start-up choice, made by the first BApplication: keeps a
// backend installed before (tests install the headless one), else runs
// the chooser registered with set_display_chooser, which installs one or
// ends the program (the desktop's, kit/display/desktop.h, exits with a
// message naming DISPLAY and WAYLAND_DISPLAY when there is no desktop).
// With neither, the program was built to show nothing: it exits with a
// message saying so rather than run with windows nobody can see.
void choose_display();
// Registers how choose_display opens a display. The display backends live
// in their own library, so the core of the kit cannot name them.
void set_display_chooser(void (*chooser)());

// Waits until `done` holds, looking at least every 10 ms. On the thread
// that drives the display it serves the display meanwhile, so that a
// synchronous wait on the application's thread (BAlert::Go) does not
// stop every window from taking input.
void wait_serving_display(const std::function<bool()>& done);

// Input from a backend: copies `message` into the window's queue, where
// it is routed like real input (mouse messages carry "where" in the
// window's device pixels, as does a drop its point; they are divided by
// the window's scale here, and the window finds the view). Returns false
// when the window is gone.
bool post_input(int32 window, const BMessage& message);

// True when no looper has a queued message or is dispatching one.
bool all_loopers_idle();

} // namespace kit

#endif
