// BWindow: a looper with its own thread and a tree of views. Input from
// the display arrives as messages: mouse messages go to the view under
// the pointer (or the view that holds the pointer), keys to the focus
// view. After every message the window redraws what was invalidated and
// shows the pixels that changed.
#ifndef _WINDOW_H
#define _WINDOW_H

#include <Looper.h>
#include <Rect.h>
#include <View.h>

#include "kit/interface/kit_painter.h"

#include <atomic>
#include <mutex>
#include <string>

class BBitmap;
namespace kit {
class window_access;
}

enum window_type {
    B_UNTYPED_WINDOW = 0,
    B_TITLED_WINDOW = 1,
    B_MODAL_WINDOW = 3,
    B_DOCUMENT_WINDOW = 11,
    B_BORDERED_WINDOW = 20,
    B_FLOATING_WINDOW = 21,
};

enum window_look {
    B_BORDERED_WINDOW_LOOK = 20,
    B_NO_BORDER_WINDOW_LOOK = 19,
    B_TITLED_WINDOW_LOOK = 1,
    B_DOCUMENT_WINDOW_LOOK = 11,
    B_MODAL_WINDOW_LOOK = 3,
    B_FLOATING_WINDOW_LOOK = 7,
};

enum window_feel {
    B_NORMAL_WINDOW_FEEL = 0,
    B_MODAL_SUBSET_WINDOW_FEEL = 2,
    B_MODAL_APP_WINDOW_FEEL = 1,
    B_MODAL_ALL_WINDOW_FEEL = 3,
    B_FLOATING_SUBSET_WINDOW_FEEL = 5,
    B_FLOATING_APP_WINDOW_FEEL = 4,
    B_FLOATING_ALL_WINDOW_FEEL = 6,
};

// Window flags.
enum {
    B_NOT_MOVABLE = 0x00000001,
    B_NOT_CLOSABLE = 0x00000020,
    B_NOT_ZOOMABLE = 0x00000040,
    B_NOT_MINIMIZABLE = 0x00004000,
    B_NOT_RESIZABLE = 0x00000002,
    B_NOT_H_RESIZABLE = 0x00000004,
    B_NOT_V_RESIZABLE = 0x00000008,
    B_AVOID_FRONT = 0x00000080,
    B_AVOID_FOCUS = 0x00002000,
    B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
    B_OUTLINE_RESIZE = 0x00001000,
    B_NO_WORKSPACE_ACTIVATION = 0x00000100,
    B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
    B_ASYNCHRONOUS_CONTROLS = 0x00080000,
    B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
};

const uint32 B_CURRENT_WORKSPACE = 0;
const uint32 B_ALL_WORKSPACES = 0xffffffff;

class BWindow : public BLooper {
  public:
    // `frame` is the content area in screen coordinates.
    BWindow(BRect frame, const char* title, window_type type, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
            uint32 workspace = B_CURRENT_WORKSPACE);
    ~BWindow() override;

    // The first Show() starts the window's thread. Show/Hide nest.
    virtual void Show();
    virtual void Hide();
    bool IsHidden() const;
    void Quit() override;
    bool QuitRequested() override { return true; }

    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* FindView(const char* name) const;
    BView* CurrentFocus() const { return fFocus; }

    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;

    // Geometry. Bounds() is (0, 0, width, height).
    BRect Frame() const { return fFrame; }
    BRect Bounds() const { return BRect(0, 0, fFrame.Width(), fFrame.Height()); }
    void MoveTo(BPoint where);
    void MoveTo(float x, float y) { MoveTo(BPoint(x, y)); }
    void MoveBy(float dx, float dy) { MoveTo(fFrame.left + dx, fFrame.top + dy); }
    // Keeps the size within the size limits.
    void ResizeTo(float width, float height);
    void ResizeBy(float dw, float dh) { ResizeTo(fFrame.Width() + dw, fFrame.Height() + dh); }
    void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
    void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
    void SetZoomLimits(float maxWidth, float maxHeight);
    // Resizes to the standard size: the zoom limits, kept within the size
    // limits and the screen. Calling it again keeps that size.
    void Zoom();
    // The zoom hook: moves the window to `origin` and resizes it.
    virtual void Zoom(BPoint origin, float width, float height);
    virtual void FrameResized(float newWidth, float newHeight) {
        (void)newWidth;
        (void)newHeight;
    }
    virtual void FrameMoved(BPoint newPosition) { (void)newPosition; }
    virtual void WindowActivated(bool active) { (void)active; }
    // Called before the menu bar opens its menus (when none is open yet),
    // to bring their items up to date.
    virtual void MenusBeginning() {}

    const char* Title() const { return fTitle.c_str(); }
    void SetTitle(const char* title);
    window_type Type() const { return fType; }
    uint32 Flags() const { return fFlags; }
    void SetFlags(uint32 flags) { fFlags = flags; }

    // B_PULSE reaches every view with B_PULSE_NEEDED this often; 0 stops it.
    void SetPulseRate(bigtime_t rate);
    bigtime_t PulseRate() const { return fPulseRate.load(); }

    // Redraws now what is invalid instead of after the current message.
    void UpdateIfNeeded();
    void Sync();
    void Flush() { Sync(); }
    bool IsActive() const { return fActive; }
    void Activate(bool active = true);

    BPoint ConvertToScreen(BPoint point) const { return point + fFrame.LeftTop(); }
    BPoint ConvertFromScreen(BPoint point) const { return point - fFrame.LeftTop(); }

  private:
    // The kit's own machinery, not for programs: views and bitmaps reach it
    // as friends, the kit's free functions through kit::window_access
    // (kit_window_access.h).
    friend class BView;
    friend class BBitmap;
    friend class kit::window_access;

    kit::surface* kit_surface() { return &fSurface; }
    // Device pixels per logical pixel, fixed when the window is made.
    float kit_scale() const { return fScale; }
    const kit::pixel_region* kit_update_region() const { return fUpdating; }
    void kit_invalidate(const kit::pixel_rect& rect);
    void kit_drawn(const kit::pixel_rect& rect);
    void kit_present();
    int32 kit_layout_generation() const { return fLayoutGeneration; }
    void kit_layout_changed() { fLayoutGeneration++; }
    void kit_view_detached(BView* view, bool keepFocus = false);
    void kit_set_focus(BView* view);
    void kit_set_capture(BView* view);
    bool kit_buttons_down() const;
    void kit_pointer(BPoint* where, uint32* buttons) const;
    void kit_record_input(const BMessage& message);
    bool kit_is_offscreen() const { return fOffscreen; }
    BView* kit_top_view() const { return fTopView; }
    // Chooses the menu item whose shortcut the key is (Command held);
    // true when a menu item has it, whether or not it is enabled.
    bool kit_menu_shortcut(const char* bytes, uint32 modifiers);
    // A window without a thread or display that draws into `pixels`,
    // for bitmaps that accept views.
    static BWindow* kit_offscreen(uint32* pixels, int32 width, int32 height, int32 stride);

    BHandler* kit_resolve_target(BMessage* message) override;
    void kit_after_dispatch() override;
    bigtime_t kit_wait_timeout() const override;
    void kit_timed_out() override;
    void kit_message_queued() override {}

    struct offscreen_tag {};
    BWindow(offscreen_tag, uint32* pixels, int32 width, int32 height, int32 stride);
    void _Init(BRect frame, const char* title, uint32 flags);
    void _Update();
    void _Pulse();
    BView* _RouteMouse(BMessage* message);
    void _SendTransit(BView* view, BMessage* message, uint32 transit);
    BRect _ClampSize(float width, float height) const;
    kit::pixel_rect _LogicalRect() const;
    void _AllocateSurface();

    std::string fTitle;
    BRect fFrame;
    window_type fType = B_TITLED_WINDOW;
    uint32 fFlags = 0;
    BView* fTopView = nullptr;
    BView* fFocus = nullptr;
    BView* fCapture = nullptr;
    BView* fMouseView = nullptr;
    int32 fShowLevel = 1;
    bool fActive = false;
    bool fOffscreen = false;
    bool fShownOnce = false;

    float fMinWidth = 0, fMaxWidth = 32768, fMinHeight = 0, fMaxHeight = 32768;
    float fZoomWidth = 32768, fZoomHeight = 32768;

    float fScale = 1;
    kit::surface fSurface;      // device pixels
    kit::pixel_region fInvalid; // logical pixels
    kit::pixel_rect fDirty;     // device pixels
    const kit::pixel_region* fUpdating = nullptr;
    int32 fLayoutGeneration = 0;

    // Atomic: the loop reads them for its time-out without the window's
    // lock, while SetPulseRate may be called from any thread holding it.
    std::atomic<bigtime_t> fPulseRate{0};
    std::atomic<bigtime_t> fNextPulse{0};

    // The pointer as the display last reported it, for GetMouse().
    mutable std::mutex fPointerLock;
    BPoint fPointerWhere;
    uint32 fPointerButtons = 0;
};

#endif
