// BWindow: routing input to views and dispatching it to their hooks.
#include "Window.h"

#include "kit/app/kit_looper_access.h"
#include "kit/display/display.h"
#include "kit/interface/kit_window_access.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<uint32> current_modifiers{0};

bool is_mouse(uint32 what) {
    return what == B_MOUSE_DOWN || what == B_MOUSE_UP || what == B_MOUSE_MOVED;
}
} // namespace

uint32 modifiers() {
    return current_modifiers;
}

namespace kit {

bool post_input(int32 window, const BMessage& message) {
    BLooper* looper = looper_access::lock_registry_find(window);
    if (!looper)
        return false;
    BWindow* target = static_cast<BWindow*>(looper);
    int32 mods;
    if (message.FindInt32("modifiers", &mods) == B_OK)
        current_modifiers = (uint32)mods;
    // The display reports pointer positions in device pixels; views take
    // them in logical ones.
    const float scale = window_access::scale(target);
    BMessage scaled;
    const BMessage* deliver = &message;
    BPoint where;
    if (scale != 1.0f && is_mouse(message.what) && message.FindPoint("where", &where) == B_OK) {
        scaled = message;
        scaled.ReplacePoint("where", BPoint(where.x / scale, where.y / scale));
        deliver = &scaled;
    } else if (scale != 1.0f && message.WasDropped()) {
        scaled = message;
        BPoint at = message.DropPoint();
        scaled.kit_set_dropped(BPoint(at.x / scale, at.y / scale));
        deliver = &scaled;
    }
    window_access::record_input(target, *deliver);
    status_t status = target->PostMessage(const_cast<BMessage*>(deliver), nullptr);
    looper_access::unlock_registry();
    return status == B_OK;
}

} // namespace kit

void BWindow::kit_record_input(const BMessage& message) {
    if (!is_mouse(message.what))
        return;
    std::lock_guard<std::mutex> guard(fPointerLock);
    BPoint where;
    if (message.FindPoint("where", &where) == B_OK)
        fPointerWhere = where;
    int32 buttons;
    if (message.FindInt32("buttons", &buttons) == B_OK)
        fPointerButtons = (uint32)buttons;
    else if (message.what == B_MOUSE_UP)
        fPointerButtons = 0;
}

void BWindow::kit_pointer(BPoint* where, uint32* buttons) const {
    std::lock_guard<std::mutex> guard(fPointerLock);
    if (where)
        *where = fPointerWhere;
    if (buttons)
        *buttons = fPointerButtons;
}

bool BWindow::kit_buttons_down() const {
    // While a pointer message is handled its own buttons count, not those
    // of input that arrived since.
    if (const BMessage* current = CurrentMessage()) {
        if (current->what == B_MOUSE_UP)
            return false;
        int32 buttons;
        if (is_mouse(current->what) && current->FindInt32("buttons", &buttons) == B_OK)
            return buttons != 0;
    }
    std::lock_guard<std::mutex> guard(fPointerLock);
    return fPointerButtons != 0;
}

BHandler* BWindow::kit_resolve_target(BMessage* message) {
    // Only messages addressed to the window as a whole are routed; a
    // message sent to a particular handler goes there.
    if (message->fTargetToken >= 0)
        return BLooper::kit_resolve_target(message);
    if (is_mouse(message->what) && message->HasPoint("where")) {
        BView* view = _RouteMouse(message);
        return view ? static_cast<BHandler*>(view) : this;
    }
    switch (message->what) {
    case B_KEY_DOWN:
    case B_KEY_UP:
        return fFocus ? static_cast<BHandler*>(fFocus) : this;
    case B_MOUSE_WHEEL_CHANGED: {
        // The wheel scrolls what is under the pointer.
        BPoint where;
        kit_pointer(&where, nullptr);
        BView* view = fTopView ? fTopView->kit_view_at(where) : nullptr;
        return view && view != fTopView ? static_cast<BHandler*>(view) : this;
    }
    default:
        break;
    }
    if (message->fWasDropped && fTopView) {
        // A drop goes to the view under the drop point.
        BView* view = fTopView->kit_view_at(message->fDropPoint);
        if (view && view != fTopView) {
            message->fDropPoint = message->fDropPoint - view->kit_window_offset();
            return view;
        }
        return this;
    }
    return BLooper::kit_resolve_target(message);
}

void BWindow::_SendTransit(BView* view, BMessage* source, uint32 transit) {
    BPoint windowWhere;
    source->FindPoint("where", &windowWhere);
    BMessage exited(*source);
    BPoint local = windowWhere - view->kit_window_offset();
    exited.ReplacePoint("where", local);
    exited.RemoveName("be:view_where");
    exited.AddPoint("be:view_where", local);
    exited.RemoveName("be:transit");
    exited.AddInt32("be:transit", (int32)transit);
    DispatchMessage(&exited, view);
}

BView* BWindow::_RouteMouse(BMessage* message) {
    BPoint where;
    message->FindPoint("where", &where);
    int32 buttons = 0;
    message->FindInt32("buttons", &buttons);
    if (message->what == B_MOUSE_UP)
        buttons = 0;

    BView* under = fTopView ? fTopView->kit_view_at(where) : nullptr;
    if (under == fTopView)
        under = nullptr;
    BView* target = fCapture ? fCapture : under;

    if (message->what == B_MOUSE_MOVED) {
        // A view the pointer left hears so once, unless it holds the pointer.
        if (fMouseView && fMouseView != under && fMouseView != fCapture)
            _SendTransit(fMouseView, message, B_EXITED_VIEW);
    }
    uint32 transit = B_INSIDE_VIEW;
    if (target) {
        bool inside = target == under;
        bool wasInside = fMouseView == target;
        if (inside)
            transit = wasInside ? B_INSIDE_VIEW : B_ENTERED_VIEW;
        else
            transit = wasInside ? B_EXITED_VIEW : B_OUTSIDE_VIEW;
    }
    fMouseView = under;

    // Release the pointer after this message once every button is up.
    if (fCapture && buttons == 0)
        fCapture = nullptr;
    if (!target)
        return nullptr;

    BPoint local = where - target->kit_window_offset();
    message->ReplacePoint("where", local);
    message->RemoveName("be:view_where");
    message->AddPoint("be:view_where", local);
    if (message->what == B_MOUSE_MOVED) {
        message->RemoveName("be:transit");
        message->AddInt32("be:transit", (int32)transit);
    }
    return target;
}

void BWindow::DispatchMessage(BMessage* message, BHandler* handler) {
    if (!message || !handler)
        return;
    BView* view = handler != this ? dynamic_cast<BView*>(handler) : nullptr;
    if (view) {
        switch (message->what) {
        case B_MOUSE_DOWN: {
            BPoint where;
            message->FindPoint("where", &where);
            view->MouseDown(where);
            return;
        }
        case B_MOUSE_UP: {
            BPoint where;
            message->FindPoint("where", &where);
            view->MouseUp(where);
            return;
        }
        case B_MOUSE_MOVED: {
            BPoint where;
            message->FindPoint("where", &where);
            int32 transit = B_INSIDE_VIEW;
            message->FindInt32("be:transit", &transit);
            view->MouseMoved(where, (uint32)transit, nullptr);
            return;
        }
        case B_KEY_DOWN:
        case B_KEY_UP: {
            const char* bytes = nullptr;
            if (message->FindString("bytes", &bytes) != B_OK) {
                int8 byte;
                static thread_local char single[2];
                single[0] = message->FindInt8("byte", &byte) == B_OK ? (char)byte : 0;
                single[1] = 0;
                bytes = single;
            }
            int32 length = (int32)std::strlen(bytes);
            // Command keys are the menus' before the focus view's: a text
            // field must not swallow Alt+S.
            // A text field's own editing keys (cut, copy, paste, select
            // all) act at once, in order with the typing around them.
            int32 mods = 0;
            if (message->what == B_KEY_DOWN && message->FindInt32("modifiers", &mods) == B_OK &&
                (view->kit_edit_key(bytes, mods) || kit_menu_shortcut(bytes, (uint32)mods)))
                return;
            if (message->what == B_KEY_DOWN)
                view->KeyDown(bytes, length);
            else
                view->KeyUp(bytes, length);
            return;
        }
        default:
            view->MessageReceived(message);
            return;
        }
    }
    if (handler != this) {
        BLooper::DispatchMessage(message, handler);
        return;
    }
    switch (message->what) {
    case B_QUIT_REQUESTED:
        if (QuitRequested())
            Quit();
        break;
    case B_ZOOM:
        Zoom();
        break;
    case B_WINDOW_RESIZED: {
        // The user resized the window on the display.
        float width, height;
        if (message->FindFloat("width", &width) == B_OK &&
            message->FindFloat("height", &height) == B_OK)
            ResizeTo(width, height);
        break;
    }
    case B_WINDOW_MOVED: {
        BPoint where;
        if (message->FindPoint("where", &where) == B_OK)
            MoveTo(where);
        break;
    }
    case B_WINDOW_ACTIVATED: {
        bool active = true;
        message->FindBool("active", &active);
        Activate(active);
        break;
    }
    case B_KEY_DOWN: {
        // A key with no focus view may still be a menu's.
        const char* bytes = nullptr;
        int32 mods = 0;
        if (message->FindString("bytes", &bytes) == B_OK &&
            message->FindInt32("modifiers", &mods) == B_OK)
            kit_menu_shortcut(bytes, (uint32)mods);
        break;
    }
    case B_MOUSE_DOWN:
    case B_MOUSE_UP:
    case B_MOUSE_MOVED:
    case B_KEY_UP:
        // Input that reached no view.
        break;
    default:
        MessageReceived(message);
        break;
    }
}

void BWindow::MessageReceived(BMessage* message) {
    BLooper::MessageReceived(message);
}
