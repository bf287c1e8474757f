// BWindow: life cycle, view tree, geometry, redrawing and presenting.
// Input routing is in WindowInput.cpp.
#include "Window.h"

#include "kit/app/kit_registry.h"
#include "kit/display/display.h"
#include "kit/display/scale.h"
#include "kit/interface/kit_window_place.h"

#include <Application.h>

#include <algorithm>
#include <cmath>

namespace {
// Windows have no larger side than this; it bounds the surface.
const float kMaxSide = 16384;

const rgb_color kPanelGrey = {216, 216, 216, 255};

// Wakes the window to redraw and show what changed outside its thread.
const uint32 kUpdate = '_UPD';
} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32)
    : BLooper(title) {
    fType = type;
    _Init(frame, title, flags);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel, uint32 flags,
                 uint32)
    : BLooper(title) {
    fType = look == B_DOCUMENT_WINDOW_LOOK   ? B_DOCUMENT_WINDOW
            : look == B_MODAL_WINDOW_LOOK    ? B_MODAL_WINDOW
            : look == B_BORDERED_WINDOW_LOOK ? B_BORDERED_WINDOW
            : look == B_FLOATING_WINDOW_LOOK ? B_FLOATING_WINDOW
                                             : B_TITLED_WINDOW;
    _Init(frame, title, flags);
}

BWindow::BWindow(offscreen_tag, uint32* pixels, int32 width, int32 height, int32 stride)
    : BLooper("offscreen") {
    fOffscreen = true;
    fFrame = BRect(0, 0, width - 1, height - 1);
    fSurface.pixels = pixels;
    fSurface.width = width;
    fSurface.height = height;
    fSurface.stride = stride;
    fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL, 0);
    fTopView->SetViewColor(B_TRANSPARENT_COLOR);
    fTopView->kit_attach(this);
}

BWindow* BWindow::kit_offscreen(uint32* pixels, int32 width, int32 height, int32 stride) {
    return new BWindow(offscreen_tag{}, pixels, width, height, stride);
}

void BWindow::_Init(BRect frame, const char* title, uint32 flags) {
    fTitle = title ? title : "";
    fFlags = flags;
    if (!std::isfinite(frame.left) || !std::isfinite(frame.top))
        frame.OffsetTo(0, 0);
    fFrame = frame;
    BRect size = _ClampSize(frame.Width(), frame.Height());
    fFrame.right = fFrame.left + size.Width();
    fFrame.bottom = fFrame.top + size.Height();
    fScale = kit::display_scale();
    _AllocateSurface();
    fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL, B_WILL_DRAW);
    fTopView->SetViewColor(kPanelGrey);
    fTopView->kit_attach(this);
    fInvalid.include(_LogicalRect());
    {
        std::lock_guard<std::mutex> guard(kit::registry_mutex());
        kit::register_window(kit_token());
    }
    kit::display().window_created(kit_token(), fTitle.c_str(), fFrame, fType, fFlags);
}

BWindow::~BWindow() {
    if (!fOffscreen) {
        std::lock_guard<std::mutex> guard(kit::registry_mutex());
        kit::unregister_window(kit_token());
    }
    // The views go with the window; views removed earlier are not ours.
    fFocus = fCapture = fMouseView = nullptr;
    BView* top = fTopView;
    fTopView = nullptr;
    delete top;
    if (!fOffscreen)
        kit::display().window_destroyed(kit_token());
}

void BWindow::Show() {
    // A window opens wholly on the screen: where it was asked to open, when
    // that is on the screen, else moved (and made smaller if it must) onto it.
    if (fShowLevel == 1 && !fShownOnce && !fOffscreen) {
        BRect placed = kit::fit_on_screen(fFrame, kit::display().screen_frame(), fMinWidth,
                                          fMinHeight);
        MoveTo(placed.LeftTop());
        ResizeTo(placed.Width(), placed.Height());
    }
    fShowLevel--;
    if (fShowLevel == 0 && !fOffscreen) {
        kit::display().window_shown(kit_token(), true);
        fInvalid.include(_LogicalRect());
        // Drawn in the window's thread, never the caller's.
        PostMessage(kUpdate);
        // Last: once its loop runs, a window can take input, answer it and
        // quit (an alert does), deleting itself before Show() returns.
        if (!fShownOnce) {
            fShownOnce = true;
            Run();
        }
    }
}

void BWindow::Hide() {
    if (fShowLevel == 0 && !fOffscreen)
        kit::display().window_shown(kit_token(), false);
    fShowLevel++;
}

bool BWindow::IsHidden() const {
    return fShowLevel > 0;
}

void BWindow::Quit() {
    if (!fOffscreen && fShowLevel <= 0) {
        fShowLevel = 1;
        kit::display().window_shown(kit_token(), false);
    }
    BLooper::Quit();
}

void BWindow::AddChild(BView* child, BView* before) {
    fTopView->AddChild(child, before);
}

bool BWindow::RemoveChild(BView* child) {
    return fTopView ? fTopView->RemoveChild(child) : false;
}

int32 BWindow::CountChildren() const {
    return fTopView ? fTopView->CountChildren() : 0;
}

BView* BWindow::ChildAt(int32 index) const {
    return fTopView ? fTopView->ChildAt(index) : nullptr;
}

BView* BWindow::FindView(const char* name) const {
    return fTopView ? fTopView->FindView(name) : nullptr;
}

void BWindow::kit_view_detached(BView* view, bool keepFocus) {
    // Input state must not keep pointing into a subtree that left. A view
    // that is only hidden stays the focus, as keys may still be meant for it.
    if (!keepFocus && fFocus && view->kit_contains(fFocus))
        fFocus = nullptr;
    if (fCapture && view->kit_contains(fCapture))
        fCapture = nullptr;
    if (fMouseView && view->kit_contains(fMouseView))
        fMouseView = nullptr;
}

void BWindow::kit_set_focus(BView* view) {
    fFocus = view;
}

void BWindow::kit_set_capture(BView* view) {
    fCapture = view;
}

BRect BWindow::_ClampSize(float width, float height) const {
    if (!std::isfinite(width))
        width = 0;
    if (!std::isfinite(height))
        height = 0;
    width = std::clamp(width, std::max(fMinWidth, 0.0f), std::min(fMaxWidth, kMaxSide));
    height = std::clamp(height, std::max(fMinHeight, 0.0f), std::min(fMaxHeight, kMaxSide));
    return BRect(0, 0, std::round(width), std::round(height));
}

kit::pixel_rect BWindow::_LogicalRect() const {
    return kit::pixel_rect{0, 0, (int32)fFrame.Width(), (int32)fFrame.Height()};
}

void BWindow::_AllocateSurface() {
    fSurface.allocate(kit::device_side((int32)fFrame.Width() + 1, fScale),
                      kit::device_side((int32)fFrame.Height() + 1, fScale), 0xffd8d8d8u);
}

void BWindow::MoveTo(BPoint where) {
    if (!std::isfinite(where.x) || !std::isfinite(where.y) || where == fFrame.LeftTop())
        return;
    fFrame.OffsetTo(where);
    if (!fOffscreen)
        kit::display().window_framed(kit_token(), fFrame);
    FrameMoved(where);
}

void BWindow::ResizeTo(float width, float height) {
    if (fOffscreen)
        return;
    BRect size = _ClampSize(width, height);
    if (size.Width() == fFrame.Width() && size.Height() == fFrame.Height())
        return;
    fFrame.right = fFrame.left + size.Width();
    fFrame.bottom = fFrame.top + size.Height();
    _AllocateSurface();
    fTopView->ResizeTo(size.Width(), size.Height());
    fLayoutGeneration++;
    fInvalid.clear();
    fInvalid.include(_LogicalRect());
    fDirty = fSurface.rect();
    kit::display().window_framed(kit_token(), fFrame);
    FrameResized(size.Width(), size.Height());
}

void BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight) {
    fMinWidth = minWidth;
    fMaxWidth = std::max(minWidth, maxWidth);
    fMinHeight = minHeight;
    fMaxHeight = std::max(minHeight, maxHeight);
    if (!fOffscreen)
        kit::display().window_limits(kit_token(), fMinWidth, fMaxWidth, fMinHeight, fMaxHeight);
    // The current size is brought within the new limits.
    ResizeTo(fFrame.Width(), fFrame.Height());
}

void BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
                            float* maxHeight) const {
    if (minWidth)
        *minWidth = fMinWidth;
    if (maxWidth)
        *maxWidth = fMaxWidth;
    if (minHeight)
        *minHeight = fMinHeight;
    if (maxHeight)
        *maxHeight = fMaxHeight;
}

void BWindow::SetZoomLimits(float maxWidth, float maxHeight) {
    fZoomWidth = maxWidth;
    fZoomHeight = maxHeight;
}

void BWindow::Zoom() {
    BRect screen = kit::display().screen_frame();
    float width = std::min({fZoomWidth, fMaxWidth, screen.Width()});
    float height = std::min({fZoomHeight, fMaxHeight, screen.Height()});
    // The window keeps its place unless that would push it off screen.
    BPoint origin = fFrame.LeftTop();
    origin.x = std::max(screen.left, std::min(origin.x, screen.right - width));
    origin.y = std::max(screen.top, std::min(origin.y, screen.bottom - height));
    Zoom(origin, width, height);
}

void BWindow::Zoom(BPoint origin, float width, float height) {
    MoveTo(origin);
    ResizeTo(width, height);
}

void BWindow::SetTitle(const char* title) {
    fTitle = title ? title : "";
    SetName(fTitle.c_str());
    if (!fOffscreen)
        kit::display().window_retitled(kit_token(), fTitle.c_str());
}

void BWindow::Activate(bool active) {
    if (fActive == active)
        return;
    fActive = active;
    WindowActivated(active);
}

void BWindow::SetPulseRate(bigtime_t rate) {
    bigtime_t pulse = rate > 0 ? rate : 0;
    fNextPulse = pulse ? system_time() + pulse : 0;
    fPulseRate = pulse;
    // The loop may be asleep with the old time-out.
    kit_wake();
}

bigtime_t BWindow::kit_wait_timeout() const {
    if (!fPulseRate.load())
        return B_INFINITE_TIMEOUT;
    return std::max<bigtime_t>(0, fNextPulse.load() - system_time());
}

void BWindow::kit_timed_out() {
    _Pulse();
}

void BWindow::_Pulse() {
    if (!fPulseRate || system_time() < fNextPulse)
        return;
    fNextPulse = system_time() + fPulseRate;
    if (fTopView && fShowLevel <= 0)
        fTopView->kit_pulse_tree();
}

void BWindow::kit_invalidate(const kit::pixel_rect& rect) {
    if (fOffscreen)
        return;
    kit::pixel_rect r = rect.intersect(_LogicalRect());
    if (r.empty())
        return;
    bool wake = fInvalid.empty() && Thread() != find_thread(nullptr);
    fInvalid.include(r);
    if (wake)
        PostMessage(kUpdate);
}

void BWindow::kit_drawn(const kit::pixel_rect& rect) {
    bool wake = fDirty.empty() && !fOffscreen && Thread() != find_thread(nullptr);
    fDirty = fDirty.unite(rect);
    if (wake)
        PostMessage(kUpdate);
}

void BWindow::_Update() {
    if (fInvalid.empty() || fShowLevel > 0 || fOffscreen)
        return;
    kit::pixel_region update;
    update.include(fInvalid.bounds());
    fInvalid.clear();
    fUpdating = &update;
    try {
        fTopView->kit_draw_tree(update);
    } catch (...) {
        // Drawing cut short (memory ran out): the region is drawn again
        // next time, and no view may go on clipping to this one.
        fUpdating = nullptr;
        fInvalid.include(update.bounds());
        throw;
    }
    fUpdating = nullptr;
}

void BWindow::UpdateIfNeeded() {
    _Update();
    kit_present();
}

void BWindow::Sync() {
    kit_present();
}

void BWindow::kit_present() {
    if (fOffscreen || fDirty.empty() || fShowLevel > 0)
        return;
    kit::pixel_rect region = fDirty.intersect(fSurface.rect());
    fDirty = kit::pixel_rect{};
    if (region.empty())
        return;
    kit::pixel_view pixels{fSurface.pixels, fSurface.width, fSurface.height, fSurface.stride};
    kit::display().region_presented(kit_token(), pixels, region.to_brect());
}

void BWindow::kit_after_dispatch() {
    _Pulse();
    _Update();
    kit_present();
}
