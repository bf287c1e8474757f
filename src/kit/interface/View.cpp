#include "View.h"

#include "kit_painter.h"

#include <Message.h>
#include <Window.h>

#include <algorithm>
#include <cmath>
#include <cstring>

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fFrame(frame), fResizingMode(resizingMode), fFlags(flags) {
    fState.font = *be_plain_font;
}

BView::~BView() {
    if (fParent)
        fParent->RemoveChild(this);
    else if (fWindow)
        kit_detach();
    // Detach first so a child's destructor does not touch our list.
    std::vector<BView*> children;
    children.swap(fChildren);
    for (BView* child : children) {
        child->fParent = nullptr;
        delete child;
    }
}

void BView::MessageReceived(BMessage* message) {
    BHandler::MessageReceived(message);
}

void BView::AddChild(BView* child, BView* before) {
    if (!child || child->fParent || child == this || child->kit_contains(this))
        return;
    auto it = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(it, child);
    child->fParent = this;
    // As on the platform, what a view does not understand goes on to its
    // parent (a file dropped on a child reaches the view that takes files).
    child->SetNextHandler(this);
    if (fWindow) {
        fWindow->kit_layout_changed();
        child->kit_attach(fWindow);
        child->_InvalidateFrame();
    }
}

bool BView::RemoveChild(BView* child) {
    auto it = std::find(fChildren.begin(), fChildren.end(), child);
    if (it == fChildren.end())
        return false;
    // The area it covered shows its parent again.
    if (fWindow)
        child->_InvalidateFrame();
    if (child->fWindow)
        child->kit_detach();
    fChildren.erase(std::find(fChildren.begin(), fChildren.end(), child));
    child->fParent = nullptr;
    if (child->NextHandler() == this)
        child->SetNextHandler(nullptr);
    if (fWindow)
        fWindow->kit_layout_changed();
    return true;
}

bool BView::RemoveSelf() {
    return fParent ? fParent->RemoveChild(this) : false;
}

BView* BView::ChildAt(int32 index) const {
    if (index < 0 || index >= (int32)fChildren.size())
        return nullptr;
    return fChildren[index];
}

BView* BView::NextSibling() const {
    if (!fParent)
        return nullptr;
    const auto& list = fParent->fChildren;
    auto it = std::find(list.begin(), list.end(), this);
    return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
}

BView* BView::PreviousSibling() const {
    if (!fParent)
        return nullptr;
    const auto& list = fParent->fChildren;
    auto it = std::find(list.begin(), list.end(), this);
    return (it == list.end() || it == list.begin()) ? nullptr : *(it - 1);
}

BView* BView::FindView(const char* name) const {
    if (name && std::strcmp(Name(), name) == 0)
        return const_cast<BView*>(this);
    for (BView* child : fChildren) {
        if (BView* found = child->FindView(name))
            return found;
    }
    return nullptr;
}

bool BView::kit_contains(const BView* view) const {
    for (const BView* v = view; v; v = v->fParent) {
        if (v == this)
            return true;
    }
    return false;
}

void BView::kit_attach(BWindow* window) {
    fWindow = window;
    window->AddHandler(this);
    AttachedToWindow();
    // The hook may have added children that are attached already.
    for (size_t i = 0; i < fChildren.size(); i++) {
        if (!fChildren[i]->fWindow)
            fChildren[i]->kit_attach(window);
    }
    AllAttached();
}

void BView::kit_detach() {
    for (BView* child : fChildren) {
        if (child->fWindow)
            child->kit_detach();
    }
    DetachedFromWindow();
    AllDetached();
    if (fWindow) {
        fWindow->kit_view_detached(this);
        fWindow->RemoveHandler(this);
        fWindow->kit_layout_changed();
    }
    fWindow = nullptr;
}

void BView::Show() {
    fShowLevel--;
    if (fWindow) {
        fWindow->kit_layout_changed();
        if (fShowLevel == 0)
            _InvalidateFrame();
    }
}

void BView::Hide() {
    if (fWindow && fShowLevel == 0) {
        _InvalidateFrame();
        // Pointer input aimed at the view no longer reaches it.
        fWindow->kit_view_detached(this, true);
    }
    fShowLevel++;
    if (fWindow)
        fWindow->kit_layout_changed();
}

bool BView::IsHidden() const {
    return fShowLevel > 0;
}

bool BView::kit_is_visible() const {
    for (const BView* v = this; v; v = v->fParent) {
        if (v->fShowLevel > 0)
            return false;
    }
    return fWindow != nullptr;
}

BRect BView::Bounds() const {
    return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(), fScroll.y + fFrame.Height());
}

void BView::_InvalidateFrame() {
    if (!fWindow)
        return;
    fWindow->kit_invalidate(kit_device_frame());
}

void BView::MoveTo(BPoint where) {
    if (where == fFrame.LeftTop())
        return;
    _InvalidateFrame();
    fFrame.OffsetTo(where);
    if (fWindow) {
        fWindow->kit_layout_changed();
        _InvalidateFrame();
    }
    if (fFlags & B_FRAME_EVENTS)
        FrameMoved(where);
}

void BView::ResizeTo(float width, float height) {
    float dw = width - fFrame.Width();
    float dh = height - fFrame.Height();
    if (dw == 0 && dh == 0)
        return;
    _InvalidateFrame();
    fFrame.right = fFrame.left + width;
    fFrame.bottom = fFrame.top + height;
    for (BView* child : fChildren)
        child->_ParentResized(dw, dh);
    if (fWindow) {
        fWindow->kit_layout_changed();
        _InvalidateFrame();
    }
    if (fFlags & B_FRAME_EVENTS)
        FrameResized(width, height);
}

void BView::_ParentResized(float dw, float dh) {
    // One nibble per edge says whether it keeps its distance to the
    // parent's near edge, its far edge, or its centre.
    auto shift = [](uint32 rule, float delta) {
        switch (rule) {
        case _VIEW_RIGHT_:
        case _VIEW_BOTTOM_:
            return delta;
        case _VIEW_CENTER_:
            return delta / 2;
        default:
            return 0.0f;
        }
    };
    uint32 mode = fResizingMode;
    float top = shift((mode >> 12) & 0xf, dh);
    float left = shift((mode >> 8) & 0xf, dw);
    float bottom = shift((mode >> 4) & 0xf, dh);
    float right = shift(mode & 0xf, dw);
    BRect frame(fFrame.left + left, fFrame.top + top, fFrame.right + right, fFrame.bottom + bottom);
    if (frame.LeftTop() != fFrame.LeftTop())
        MoveTo(frame.LeftTop());
    ResizeTo(frame.Width(), frame.Height());
}

void BView::ScrollTo(BPoint where) {
    if (where == fScroll)
        return;
    fScroll = where;
    if (fWindow) {
        fWindow->kit_layout_changed();
        _InvalidateFrame();
    }
}

void BView::ScrollBy(float dx, float dy) {
    ScrollTo(BPoint(fScroll.x + dx, fScroll.y + dy));
}

BPoint BView::ConvertToParent(BPoint point) const {
    return point - fScroll + fFrame.LeftTop();
}

BRect BView::ConvertToParent(BRect rect) const {
    return BRect(ConvertToParent(rect.LeftTop()), ConvertToParent(rect.RightBottom()));
}

BPoint BView::ConvertFromParent(BPoint point) const {
    return point - fFrame.LeftTop() + fScroll;
}

BRect BView::ConvertFromParent(BRect rect) const {
    return BRect(ConvertFromParent(rect.LeftTop()), ConvertFromParent(rect.RightBottom()));
}

BPoint BView::kit_window_offset() const {
    // Where this view's (0, 0) lies in window coordinates.
    BPoint offset;
    for (const BView* v = this; v; v = v->fParent)
        offset = v->ConvertToParent(offset);
    return offset;
}

BPoint BView::ConvertToScreen(BPoint point) const {
    BPoint p = point + kit_window_offset();
    return fWindow ? fWindow->ConvertToScreen(p) : p;
}

BRect BView::ConvertToScreen(BRect rect) const {
    return BRect(ConvertToScreen(rect.LeftTop()), ConvertToScreen(rect.RightBottom()));
}

BPoint BView::ConvertFromScreen(BPoint point) const {
    BPoint p = fWindow ? fWindow->ConvertFromScreen(point) : point;
    return p - kit_window_offset();
}

BRect BView::ConvertFromScreen(BRect rect) const {
    return BRect(ConvertFromScreen(rect.LeftTop()), ConvertFromScreen(rect.RightBottom()));
}

kit::pixel_rect BView::kit_device_frame() const {
    // The frame in window pixels, cut by every ancestor's frame.
    BPoint offset = fParent ? fParent->kit_window_offset() : BPoint();
    BRect r = fFrame.OffsetByCopy(offset.x, offset.y);
    kit::pixel_rect rect{(int32)std::lround(r.left), (int32)std::lround(r.top),
                         (int32)std::lround(r.right), (int32)std::lround(r.bottom)};
    if (fParent)
        rect = rect.intersect(fParent->kit_device_frame());
    return rect;
}

BView* BView::kit_view_at(BPoint windowPoint) {
    if (fShowLevel > 0)
        return nullptr;
    kit::pixel_rect frame = kit_device_frame();
    int32 x = (int32)windowPoint.x, y = (int32)windowPoint.y;
    if (x < frame.left || x > frame.right || y < frame.top || y > frame.bottom)
        return nullptr;
    // Later children lie on top of earlier ones.
    for (auto it = fChildren.rbegin(); it != fChildren.rend(); ++it) {
        if (BView* hit = (*it)->kit_view_at(windowPoint))
            return hit;
    }
    return this;
}

void BView::kit_pulse_tree() {
    if (fShowLevel > 0)
        return;
    if (fFlags & B_PULSE_NEEDED)
        Pulse();
    for (size_t i = 0; i < fChildren.size(); i++)
        fChildren[i]->kit_pulse_tree();
}

void BView::MakeFocus(bool focus) {
    if (!fWindow)
        return;
    if (focus) {
        if (fWindow->CurrentFocus() == this)
            return;
        BView* old = fWindow->CurrentFocus();
        fWindow->kit_set_focus(this);
        if (old)
            old->MakeFocus(false);
    } else if (fWindow->CurrentFocus() == this) {
        fWindow->kit_set_focus(nullptr);
    }
}

bool BView::IsFocus() const {
    return fWindow && fWindow->CurrentFocus() == this;
}

void BView::GetMouse(BPoint* location, uint32* buttons, bool) {
    BPoint where;
    uint32 held = 0;
    if (fWindow)
        fWindow->kit_pointer(&where, &held);
    if (location)
        *location = where - kit_window_offset();
    if (buttons)
        *buttons = held;
}

status_t BView::SetMouseEventMask(uint32 mask, uint32) {
    if (!fWindow)
        return B_ERROR;
    // Only meaningful while a button is down; the hold ends when every
    // button is up.
    if ((mask & B_POINTER_EVENTS) && fWindow->kit_buttons_down())
        fWindow->kit_set_capture(this);
    return B_OK;
}
