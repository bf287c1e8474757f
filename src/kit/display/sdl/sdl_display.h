// The desktop display: every window is a real window on X11 or Wayland,
// shown and fed through SDL2.
//
// SDL is driven from one thread only, the application's (the one that
// opened the display and runs BApplication::Run). Windows tell the
// display about themselves from their own threads; those calls only
// record what is wanted (title, frame, visibility, size limits, the
// pixels that changed) and raise a flag. The application thread's
// pump() brings the desktop windows up to date and turns the desktop's
// input into BeOS messages for the windows.
#ifndef KIT_DISPLAY_SDL_DISPLAY_H
#define KIT_DISPLAY_SDL_DISPLAY_H

#include "kit/display/display.h"
#include "kit/display/sdl/sdl_input.h"

#include <OS.h>

#include <SDL.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kit {

class sdl_display : public display_backend {
  public:
    // Opens SDL's video on X11 (when DISPLAY is set) or Wayland (when
    // WAYLAND_DISPLAY is set). Null, with `error` saying why, when neither
    // can be reached.
    static std::unique_ptr<sdl_display> open(std::string* error);
    ~sdl_display() override;

    void window_created(int32 window, const char* title, BRect frame, uint32 type,
                        uint32 flags) override;
    void window_destroyed(int32 window) override;
    void window_retitled(int32 window, const char* title) override;
    void window_framed(int32 window, BRect frame) override;
    void window_shown(int32 window, bool shown) override;
    void window_limits(int32 window, float minWidth, float maxWidth, float minHeight,
                       float maxHeight) override;
    void region_presented(int32 window, const pixel_view& pixels, BRect region) override;
    BRect screen_frame() const override;

    bool drives_application_thread() const override { return true; }
    void pump(bigtime_t timeout) override;
    void wake_application() override;

    // The desktop's clipboard text, from any thread. Another thread asks
    // the application's thread and waits a moment for the answer; if
    // that thread is busy it gets the text as last seen.
    std::string clipboard_text();
    void set_clipboard_text(const std::string& text);

  private:
    // What the kit wants a window to be, written from any thread under
    // fLock; the application's thread makes the desktop window follow.
    struct wanted_window {
        std::string title;
        BRect frame;
        bool resizable = true;
        bool bordered = true;
        bool closable = true;
        bool shown = false;
        bool destroyed = false;
        bool title_changed = true;
        bool frame_changed = true;
        bool shown_changed = false;
        bool limits_changed = false;
        int32 min_width = 1, max_width = 16385, min_height = 1, max_height = 16385;
        // The window's pixels as last presented, and the part not yet shown.
        std::vector<uint32> pixels;
        int32 width = 0;
        int32 height = 0;
        int32 dirty_left = 0, dirty_top = 0, dirty_right = -1, dirty_bottom = -1;
        // Sizes and places the desktop reported to the kit that the kit
        // has not answered yet; its answers must not push them back.
        std::deque<std::pair<int32, int32>> desktop_sizes;
        std::deque<std::pair<int32, int32>> desktop_places;
    };

    // The desktop side of a window, touched by the application thread only.
    struct desktop_window {
        SDL_Window* window = nullptr;
        bool visible = false;
        bool surface_stale = true; // needs every pixel again
    };

    sdl_display();
    void _Update();
    void _UpdateWindow(int32 token, wanted_window& wanted, desktop_window& desktop);
    void _Blit(wanted_window& wanted, desktop_window& desktop, bool everything);
    void _FocusNext(int32 leaving);
    void _Handle(const SDL_Event& event);
    void _HandleWindowEvent(const SDL_WindowEvent& event);
    void _HandleDrop(const SDL_DropEvent& event);
    void _Post(int32 window, const BMessage& message);
    int32 _TokenFor(Uint32 desktopId) const;
    BPoint _PointerIn(int32 window) const;
    int32 _Width(BRect frame) const;
    int32 _Height(BRect frame) const;
    int32 _Side(float side) const;
    std::pair<int32, int32> _Place(BRect frame) const;
    int _EventDescriptor() const;
    void _RefreshClipboard();
    void _RefreshScreen();

    thread_id fThread;
    // Device pixels per logical pixel: the kit's frames and pointer
    // positions are logical, the desktop's windows device-sized.
    const float fScale;
    std::atomic<bool> fWoken{false};

    mutable std::mutex fLock;
    std::map<int32, wanted_window> fWanted;
    BRect fScreen;
    std::string fClipboard;
    bool fClipboardChanged = false;
    bool fClipboardAsked = false;
    uint32 fClipboardReads = 0;
    std::condition_variable fClipboardRead;

    // Application thread only.
    std::map<int32, desktop_window> fDesktop;
    std::map<Uint32, int32> fTokens;
    std::vector<int32> fFocusOrder; // windows that had the keyboard, latest last
    uint32 fButtons = 0;
    sdl_input fInput;
    bool fDropping = false;
    int32 fDropWindow = -1;
    std::vector<std::string> fDropped;
};

} // namespace kit

#endif
