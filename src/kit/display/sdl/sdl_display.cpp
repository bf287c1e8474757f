#include "sdl_display.h"

#include "desktop_clipboard.h"
#include "x11_clipboard.h"
#include "desktop_query.h"
#include "kit/display/cairo/cairo_rasteriser.h"
#include "kit/display/scale.h"

#include <AppDefs.h>
#include <Entry.h>
#include <Message.h>
#include <Window.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <poll.h>

namespace kit {

namespace {

// Desktop windows are never larger than the kit's windows can be.
const int32 kLargestSide = 16385;

int32 pixel_side(float side, float scale) {
    if (!std::isfinite(side))
        return kLargestSide;
    double logical = std::clamp((double)std::lround(side) + 1, 1.0, (double)kLargestSide);
    return std::clamp(device_side((int32)logical, scale), 1, kLargestSide);
}

const char* or_unset(const char* value) {
    return value && *value ? value : "(unset)";
}

// Pops `value` and every older entry from `queue`; false if absent.
bool take_reported(std::deque<std::pair<int32, int32>>& queue, std::pair<int32, int32> value) {
    auto it = std::find(queue.begin(), queue.end(), value);
    if (it == queue.end())
        return false;
    queue.erase(queue.begin(), it + 1);
    return true;
}

} // namespace

std::unique_ptr<sdl_display> sdl_display::open(std::string* error) {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    std::vector<const char*> drivers;
    if (x11 && *x11)
        drivers.push_back("x11");
    if (wayland && *wayland)
        drivers.push_back("wayland");
    if (drivers.empty()) {
        if (error)
            *error = "no desktop to show windows on: neither DISPLAY (X11) nor "
                     "WAYLAND_DISPLAY (Wayland) is set";
        return nullptr;
    }

    // The program quits through its windows, and Control-C ends it as
    // it ends any program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The pointer is captured while a button is held, explicitly.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // Windows show the kit's pixels through the plain window surface,
    // which puts only the changed rectangles on the screen; the
    // accelerated one would recreate each window for OpenGL and redraw it
    // whole.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // SDL drops a click that comes within a few milliseconds of the
    // window gaining the focus, which loses clicks by chance; the kit
    // delivers every click.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The window class a desktop matches with the program's entry is the
    // name the program was started by, not that of the file it runs (the
    // `tavrel` command replaces itself with `tavrel-desktop`). SDL reads
    // it from the environment; one the user set is kept.
    setenv("SDL_VIDEO_X11_WMCLASS", program_invocation_short_name, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", program_invocation_short_name, 0);
    std::string failures;
    for (const char* driver : drivers) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            failures += std::string(" ") + driver + ": " + SDL_GetError() + ".";
            continue;
        }
        // SDL falls back to drivers that show nothing (offscreen, dummy).
        const char* chosen = SDL_GetCurrentVideoDriver();
        if (chosen && (std::strcmp(chosen, "x11") == 0 || std::strcmp(chosen, "wayland") == 0)) {
            kit::sdl::survive_desktop_errors();
            std::string dpi = kit::sdl::xft_dpi();
            set_display_scale(
                choose_scale(std::getenv("TAVREL_SCALE"), std::getenv("GDK_SCALE"), dpi.c_str()));
            return std::unique_ptr<sdl_display>(new sdl_display());
        }
        failures += std::string(" SDL chose the video driver ") + (chosen ? chosen : "(none)") +
                    ", which shows no windows.";
        SDL_Quit();
    }
    if (error)
        *error = std::string("cannot open the desktop (DISPLAY=") + or_unset(x11) +
                 ", WAYLAND_DISPLAY=" + or_unset(wayland) + "):" + failures;
    return nullptr;
}

sdl_display::sdl_display()
    : fThread(find_thread(nullptr)), fScale(display_scale()),
      fInput([this](int32 window, const BMessage& message) { _Post(window, message); }) {
    install_cairo_rasteriser();
    SDL_StartTextInput();
    // On X11 the clipboard carries every type through a connection of its
    // own; elsewhere SDL's carries text only.
    const char* driver = SDL_GetCurrentVideoDriver();
    std::unique_ptr<x11_clipboard> x11 =
        driver && strcmp(driver, "x11") == 0 ? x11_clipboard::open() : nullptr;
    if (x11)
        install_clipboard(std::move(x11));
    else
        install_clipboard(std::make_unique<desktop_clipboard>(this));
    _RefreshScreen();
    _RefreshClipboard();
}

sdl_display::~sdl_display() {
    // The process keeps a clipboard of its own once the desktop is gone.
    install_clipboard(nullptr);
    for (auto& entry : fDesktop) {
        if (entry.second.window)
            SDL_DestroyWindow(entry.second.window);
    }
    fDesktop.clear();
    SDL_Quit();
}

void sdl_display::wake_application() {
    // Only a flag: SDL is not called from other threads, not even to
    // push an event. The pump waits in short slices and looks at it.
    fWoken = true;
}

// ---- What the kit wants, from any thread ----

void sdl_display::window_created(int32 window, const char* title, BRect frame, uint32 type,
                                 uint32 flags) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        wanted_window& wanted = fWanted[window];
        wanted.title = title ? title : "";
        wanted.frame = frame;
        wanted.resizable = !(flags & B_NOT_RESIZABLE);
        wanted.bordered = type != B_BORDERED_WINDOW;
        wanted.closable = !(flags & B_NOT_CLOSABLE);
    }
    wake_application();
}

void sdl_display::window_destroyed(int32 window) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end())
            return;
        it->second.destroyed = true;
        it->second.pixels.clear();
        it->second.pixels.shrink_to_fit();
    }
    wake_application();
}

void sdl_display::window_retitled(int32 window, const char* title) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end())
            return;
        it->second.title = title ? title : "";
        it->second.title_changed = true;
    }
    wake_application();
}

void sdl_display::window_framed(int32 window, BRect frame) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end())
            return;
        it->second.frame = frame;
        it->second.frame_changed = true;
    }
    wake_application();
}

void sdl_display::window_shown(int32 window, bool shown) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end())
            return;
        it->second.shown = shown;
        it->second.shown_changed = true;
    }
    wake_application();
}

void sdl_display::window_limits(int32 window, float minWidth, float maxWidth, float minHeight,
                                float maxHeight) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end())
            return;
        wanted_window& wanted = it->second;
        wanted.min_width = _Side(std::max(minWidth, 0.0f));
        wanted.min_height = _Side(std::max(minHeight, 0.0f));
        wanted.max_width = std::max(wanted.min_width, _Side(maxWidth));
        wanted.max_height = std::max(wanted.min_height, _Side(maxHeight));
        wanted.limits_changed = true;
    }
    wake_application();
}

void sdl_display::region_presented(int32 window, const pixel_view& pixels, BRect region) {
    if (!pixels.pixels || pixels.width <= 0 || pixels.height <= 0 || pixels.stride < pixels.width)
        return;
    {
        std::lock_guard<std::mutex> guard(fLock);
        auto it = fWanted.find(window);
        if (it == fWanted.end() || it->second.destroyed)
            return;
        wanted_window& wanted = it->second;
        if (wanted.width != pixels.width || wanted.height != pixels.height) {
            // A new size: nothing of the old picture is worth showing.
            wanted.width = pixels.width;
            wanted.height = pixels.height;
            wanted.pixels.assign((size_t)wanted.width * wanted.height, 0);
            wanted.dirty_left = wanted.dirty_top = 0;
            wanted.dirty_right = -1;
            wanted.dirty_bottom = -1;
        }
        int32 left = std::max<int32>(0, (int32)std::floor(region.left));
        int32 top = std::max<int32>(0, (int32)std::floor(region.top));
        int32 right = std::min<int32>(wanted.width - 1, (int32)std::ceil(region.right));
        int32 bottom = std::min<int32>(wanted.height - 1, (int32)std::ceil(region.bottom));
        if (left > right || top > bottom)
            return;
        for (int32 y = top; y <= bottom; y++) {
            std::memcpy(&wanted.pixels[(size_t)y * wanted.width + left],
                        pixels.pixels + (size_t)y * pixels.stride + left,
                        (size_t)(right - left + 1) * sizeof(uint32));
        }
        if (wanted.dirty_right < wanted.dirty_left) {
            wanted.dirty_left = left;
            wanted.dirty_top = top;
            wanted.dirty_right = right;
            wanted.dirty_bottom = bottom;
        } else {
            wanted.dirty_left = std::min(wanted.dirty_left, left);
            wanted.dirty_top = std::min(wanted.dirty_top, top);
            wanted.dirty_right = std::max(wanted.dirty_right, right);
            wanted.dirty_bottom = std::max(wanted.dirty_bottom, bottom);
        }
    }
    wake_application();
}

BRect sdl_display::screen_frame() const {
    std::lock_guard<std::mutex> guard(fLock);
    // In logical pixels, as the windows' frames are.
    return BRect(std::floor(fScreen.left / fScale), std::floor(fScreen.top / fScale),
                 std::floor((fScreen.right + 1) / fScale) - 1,
                 std::floor((fScreen.bottom + 1) / fScale) - 1);
}

std::string sdl_display::clipboard_text() {
    if (find_thread(nullptr) == fThread) {
        _RefreshClipboard();
        std::lock_guard<std::mutex> guard(fLock);
        return fClipboard;
    }
    std::unique_lock<std::mutex> guard(fLock);
    uint32 reads = fClipboardReads;
    fClipboardAsked = true;
    fWoken = true;
    // Another program may own the clipboard; SDL asks it in the pump.
    fClipboardRead.wait_for(guard, std::chrono::milliseconds(250),
                            [&] { return fClipboardReads != reads; });
    return fClipboard;
}

void sdl_display::set_clipboard_text(const std::string& text) {
    {
        std::lock_guard<std::mutex> guard(fLock);
        fClipboard = text;
        fClipboardChanged = true;
    }
    wake_application();
}

// ---- The application's thread ----

void sdl_display::pump(bigtime_t timeout) {
    if (find_thread(nullptr) != fThread) {
        // SDL belongs to the thread that opened it; another thread only waits.
        snooze(std::min<bigtime_t>(timeout, 10000));
        return;
    }
    // Cleared before looking at what the windows want: a wish made while
    // the windows are being updated is then seen by the wait below, not
    // left until the next event comes.
    fWoken = false;
    _Update();
    // SDL's own waiting is not used: while it waits, SDL wakes itself by
    // sending an event to one of our windows over a second connection,
    // which can reach the X server after that window is destroyed and end
    // the program with an X error. Instead the desktop's connection is
    // watched here, in slices short enough that a window's new pixels or
    // a message for the application are not held up for long.
    const bigtime_t slice = 4000;
    bigtime_t now = system_time();
    bigtime_t deadline = timeout >= B_INFINITE_TIMEOUT - now
                             ? B_INFINITE_TIMEOUT
                             : now + std::max<bigtime_t>(timeout, 0);
    while (true) {
        bool handled = false;
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            _Handle(event);
            handled = true;
        }
        fInput.settle();
        bigtime_t left = deadline - system_time();
        if (handled || fWoken || left <= 0)
            break;
        bigtime_t wait = std::min(left, slice);
        int descriptor = _EventDescriptor();
        if (descriptor >= 0) {
            pollfd watched{descriptor, POLLIN, 0};
            poll(&watched, 1, (int)((wait + 999) / 1000));
        } else {
            snooze(wait);
        }
    }
    _Update();
}

int sdl_display::_EventDescriptor() const {
    for (const auto& entry : fDesktop) {
        if (entry.second.window)
            return sdl::event_descriptor(entry.second.window);
    }
    return -1;
}

void sdl_display::_Update() {
    std::string clipboard;
    bool clipboardChanged = false;
    std::unique_lock<std::mutex> guard(fLock);
    for (auto it = fWanted.begin(); it != fWanted.end();) {
        int32 token = it->first;
        wanted_window& wanted = it->second;
        desktop_window& desktop = fDesktop[token];
        if (wanted.destroyed) {
            bool focused = false;
            if (desktop.window) {
                focused = SDL_GetKeyboardFocus() == desktop.window;
                fTokens.erase(SDL_GetWindowID(desktop.window));
                SDL_DestroyWindow(desktop.window);
            }
            fDesktop.erase(token);
            it = fWanted.erase(it);
            fFocusOrder.erase(std::remove(fFocusOrder.begin(), fFocusOrder.end(), token),
                              fFocusOrder.end());
            if (focused)
                _FocusNext(token);
            continue;
        }
        _UpdateWindow(token, wanted, desktop);
        ++it;
    }
    if (fClipboardChanged) {
        fClipboardChanged = false;
        clipboardChanged = true;
        clipboard = fClipboard;
    }
    bool asked = fClipboardAsked;
    fClipboardAsked = false;
    guard.unlock();
    if (clipboardChanged)
        SDL_SetClipboardText(clipboard.c_str());
    if (asked)
        _RefreshClipboard();
}

void sdl_display::_UpdateWindow(int32 token, wanted_window& wanted, desktop_window& desktop) {
    int32 width = _Width(wanted.frame);
    int32 height = _Height(wanted.frame);
    auto [x, y] = _Place(wanted.frame);
    if (!desktop.window) {
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (wanted.resizable)
            flags |= SDL_WINDOW_RESIZABLE;
        if (!wanted.bordered)
            flags |= SDL_WINDOW_BORDERLESS;
        desktop.window = SDL_CreateWindow(wanted.title.c_str(), x, y, width, height, flags);
        if (!desktop.window)
            return; // tried again at the next update
        fTokens[SDL_GetWindowID(desktop.window)] = token;
        sdl::name_window(desktop.window, wanted.title.c_str());
        wanted.title_changed = false;
        wanted.frame_changed = false;
        wanted.limits_changed = true;
        desktop.surface_stale = true;
    }
    SDL_Window* window = desktop.window;
    if (wanted.title_changed) {
        wanted.title_changed = false;
        SDL_SetWindowTitle(window, wanted.title.c_str());
        sdl::name_window(window, wanted.title.c_str());
    }
    if (wanted.limits_changed) {
        wanted.limits_changed = false;
        SDL_SetWindowMinimumSize(window, wanted.min_width, wanted.min_height);
        SDL_SetWindowMaximumSize(window, wanted.max_width, wanted.max_height);
    }
    if (wanted.frame_changed) {
        wanted.frame_changed = false;
        // An answer to a size or place the desktop reported is already
        // shown; pushing it back would fight the user's dragging.
        if (!take_reported(wanted.desktop_sizes, {width, height})) {
            int32 w = 0, h = 0;
            SDL_GetWindowSize(window, &w, &h);
            if (w != width || h != height) {
                SDL_SetWindowSize(window, width, height);
                desktop.surface_stale = true;
            }
        }
        if (!take_reported(wanted.desktop_places, {x, y})) {
            int32 oldX = 0, oldY = 0;
            SDL_GetWindowPosition(window, &oldX, &oldY);
            if (oldX != x || oldY != y)
                SDL_SetWindowPosition(window, x, y);
        }
    }
    bool hasPixels = wanted.width > 0;
    if (wanted.shown_changed || (wanted.shown && !desktop.visible && hasPixels)) {
        wanted.shown_changed = false;
        // A window appears once it has something to show.
        if (wanted.shown && hasPixels && !desktop.visible) {
            SDL_ShowWindow(window);
            desktop.visible = true;
            desktop.surface_stale = true;
        } else if (!wanted.shown && desktop.visible) {
            bool focused = SDL_GetKeyboardFocus() == window;
            SDL_HideWindow(window);
            desktop.visible = false;
            if (focused)
                _FocusNext(token);
        }
    }
    if (desktop.visible)
        _Blit(wanted, desktop, desktop.surface_stale);
}

// A window that goes away with the keyboard hands it to the window of ours
// that had it before, as closing a panel returns to the window it served.
// Without a window manager nobody else would, and keys would reach no one.
void sdl_display::_FocusNext(int32 leaving) {
    fFocusOrder.erase(std::remove(fFocusOrder.begin(), fFocusOrder.end(), leaving),
                      fFocusOrder.end());
    for (auto it = fFocusOrder.rbegin(); it != fFocusOrder.rend(); ++it) {
        auto desktop = fDesktop.find(*it);
        if (desktop == fDesktop.end() || !desktop->second.window || !desktop->second.visible)
            continue;
        SDL_RaiseWindow(desktop->second.window);
        SDL_SetWindowInputFocus(desktop->second.window);
        return;
    }
}

void sdl_display::_Blit(wanted_window& wanted, desktop_window& desktop, bool everything) {
    SDL_Surface* surface = SDL_GetWindowSurface(desktop.window);
    if (!surface || wanted.width <= 0)
        return;
    int32 left = wanted.dirty_left, top = wanted.dirty_top;
    int32 right = wanted.dirty_right, bottom = wanted.dirty_bottom;
    if (everything) {
        left = top = 0;
        right = wanted.width - 1;
        bottom = wanted.height - 1;
    }
    wanted.dirty_left = wanted.dirty_top = 0;
    wanted.dirty_right = wanted.dirty_bottom = -1;
    desktop.surface_stale = false;
    // The desktop window may not have taken the kit's size yet.
    right = std::min(right, surface->w - 1);
    bottom = std::min(bottom, surface->h - 1);
    if (left > right || top > bottom)
        return;
    int32 width = right - left + 1;
    int32 height = bottom - top + 1;
    const uint32* source = wanted.pixels.data() + (size_t)top * wanted.width + left;
    uint8* target = (uint8*)surface->pixels + (size_t)top * surface->pitch +
                    (size_t)left * surface->format->BytesPerPixel;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
        return;
    SDL_ConvertPixels(width, height, SDL_PIXELFORMAT_RGB888, source,
                      wanted.width * (int)sizeof(uint32), surface->format->format, target,
                      surface->pitch);
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    // Only the changed part goes to the screen.
    SDL_Rect changed{left, top, width, height};
    SDL_UpdateWindowSurfaceRects(desktop.window, &changed, 1);
}

void sdl_display::_Post(int32 window, const BMessage& message) {
    if (window >= 0)
        post_input(window, message);
}

int32 sdl_display::_Width(BRect frame) const {
    return _Side(frame.Width());
}

int32 sdl_display::_Height(BRect frame) const {
    return _Side(frame.Height());
}

int32 sdl_display::_Side(float side) const {
    return pixel_side(side, fScale);
}

std::pair<int32, int32> sdl_display::_Place(BRect frame) const {
    return {(int32)std::lround(frame.left * fScale), (int32)std::lround(frame.top * fScale)};
}

int32 sdl_display::_TokenFor(Uint32 desktopId) const {
    auto it = fTokens.find(desktopId);
    return it == fTokens.end() ? -1 : it->second;
}

BPoint sdl_display::_PointerIn(int32 window) const {
    auto it = fDesktop.find(window);
    if (it == fDesktop.end() || !it->second.window)
        return BPoint(-1, -1);
    int x = 0, y = 0;
    sdl::pointer_in(it->second.window, &x, &y);
    return BPoint((float)x, (float)y);
}

void sdl_display::_Handle(const SDL_Event& event) {
    if (event.type != SDL_TEXTINPUT && event.type != SDL_TEXTEDITING)
        fInput.settle();
    switch (event.type) {
    case SDL_WINDOWEVENT:
        _HandleWindowEvent(event.window);
        break;
    case SDL_MOUSEMOTION: {
        // Only the latest of several queued moves matters.
        SDL_Event next;
        if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
            next.type == SDL_MOUSEMOTION && next.motion.windowID == event.motion.windowID &&
            next.motion.state == event.motion.state)
            break;
        fInput.mouse_moved(_TokenFor(event.motion.windowID), event.motion);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        uint32 before = fInput.buttons();
        fInput.mouse_button(_TokenFor(event.button.windowID), event.button);
        uint32 after = fInput.buttons();
        // The view that took the press keeps the pointer until release,
        // even outside the window.
        if (!before && after)
            SDL_CaptureMouse(SDL_TRUE);
        else if (before && !after)
            SDL_CaptureMouse(SDL_FALSE);
        break;
    }
    case SDL_MOUSEWHEEL:
        fInput.mouse_wheel(_TokenFor(event.wheel.windowID), event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        fInput.key(_TokenFor(event.key.windowID), event.key);
        break;
    case SDL_TEXTINPUT:
        fInput.text(_TokenFor(event.text.windowID), event.text);
        break;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
    case SDL_DROPCOMPLETE:
        _HandleDrop(event.drop);
        break;
    case SDL_CLIPBOARDUPDATE:
        _RefreshClipboard();
        break;
    case SDL_DISPLAYEVENT:
        _RefreshScreen();
        break;
    default:
        break;
    }
}

void sdl_display::_HandleWindowEvent(const SDL_WindowEvent& event) {
    int32 token = _TokenFor(event.windowID);
    if (token < 0)
        return;
    switch (event.event) {
    case SDL_WINDOWEVENT_RESIZED: {
        std::pair<int32, int32> size{event.data1, event.data2};
        {
            std::lock_guard<std::mutex> guard(fLock);
            auto it = fWanted.find(token);
            if (it == fWanted.end())
                return;
            wanted_window& wanted = it->second;
            if (size == std::make_pair(_Width(wanted.frame), _Height(wanted.frame)))
                return;
            wanted.desktop_sizes.push_back(size);
        }
        fDesktop[token].surface_stale = true;
        BMessage resized(B_WINDOW_RESIZED);
        resized.AddInt64("when", system_time());
        resized.AddFloat("width", std::round(size.first / fScale) - 1);
        resized.AddFloat("height", std::round(size.second / fScale) - 1);
        _Post(token, resized);
        break;
    }
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        fDesktop[token].surface_stale = true;
        break;
    case SDL_WINDOWEVENT_MOVED: {
        std::pair<int32, int32> place{event.data1, event.data2};
        {
            std::lock_guard<std::mutex> guard(fLock);
            auto it = fWanted.find(token);
            if (it == fWanted.end())
                return;
            wanted_window& wanted = it->second;
            if (place == _Place(wanted.frame))
                return;
            wanted.desktop_places.push_back(place);
        }
        BMessage moved(B_WINDOW_MOVED);
        moved.AddInt64("when", system_time());
        moved.AddPoint("where", BPoint(place.first / fScale, place.second / fScale));
        _Post(token, moved);
        break;
    }
    case SDL_WINDOWEVENT_EXPOSED:
        fDesktop[token].surface_stale = true;
        break;
    case SDL_WINDOWEVENT_CLOSE: {
        // The close box asks the window, which decides; a window made
        // without one is not asked.
        bool closable = true;
        {
            std::lock_guard<std::mutex> guard(fLock);
            auto it = fWanted.find(token);
            closable = it != fWanted.end() && it->second.closable;
        }
        if (closable)
            _Post(token, BMessage(B_QUIT_REQUESTED));
        break;
    }
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST: {
        bool active = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
        if (active) {
            fFocusOrder.erase(std::remove(fFocusOrder.begin(), fFocusOrder.end(), token),
                              fFocusOrder.end());
            fFocusOrder.push_back(token);
            _RefreshClipboard();
        }
        BMessage activated(B_WINDOW_ACTIVATED);
        activated.AddInt64("when", system_time());
        activated.AddBool("active", active);
        _Post(token, activated);
        break;
    }
    case SDL_WINDOWEVENT_LEAVE:
        // While a button is held the captured pointer keeps reporting.
        if (!fInput.buttons())
            fInput.mouse_moved(token, _PointerIn(token));
        break;
    default:
        break;
    }
}

void sdl_display::_HandleDrop(const SDL_DropEvent& event) {
    switch (event.type) {
    case SDL_DROPBEGIN:
        fDropping = true;
        fDropWindow = _TokenFor(event.windowID);
        fDropped.clear();
        break;
    case SDL_DROPFILE:
        if (event.file) {
            fDropped.push_back(event.file);
            SDL_free(event.file);
        }
        if (fDropping)
            break;
        // A drop without a beginning: one file, delivered at once.
        fDropWindow = _TokenFor(event.windowID);
        [[fallthrough]];
    case SDL_DROPCOMPLETE: {
        fDropping = false;
        int32 token = fDropWindow >= 0 ? fDropWindow : _TokenFor(event.windowID);
        BMessage drop(B_SIMPLE_DATA);
        for (const std::string& path : fDropped) {
            entry_ref ref;
            if (get_ref_for_path(path.c_str(), &ref) == B_OK)
                drop.AddRef("refs", &ref);
        }
        fDropped.clear();
        fDropWindow = -1;
        if (token < 0 || !drop.HasRef("refs"))
            break;
        // The files reach the view under the pointer.
        drop.kit_set_dropped(_PointerIn(token));
        _Post(token, drop);
        break;
    }
    case SDL_DROPTEXT:
        if (event.file)
            SDL_free(event.file);
        break;
    default:
        break;
    }
}

void sdl_display::_RefreshClipboard() {
    char* text = SDL_GetClipboardText();
    std::lock_guard<std::mutex> guard(fLock);
    // Text set here but not yet handed to the desktop is newer.
    if (text && !fClipboardChanged)
        fClipboard = text;
    SDL_free(text);
    fClipboardReads++;
    fClipboardRead.notify_all();
}

void sdl_display::_RefreshScreen() {
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0)
        SDL_GetDisplayBounds(0, &usable);
    std::lock_guard<std::mutex> guard(fLock);
    fScreen = BRect((float)usable.x, (float)usable.y, (float)(usable.x + usable.w - 1),
                    (float)(usable.y + usable.h - 1));
}

} // namespace kit
