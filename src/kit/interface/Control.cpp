#include "Control.h"

#include "kit_look.h"

#include <Message.h>
#include <OS.h>
#include <Window.h>

BControl::BControl(BRect frame, const char* name, const char* label, BMessage* message,
                   uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), BInvoker(message, nullptr),
      fLabel(label ? label : "") {
    SetFont(kit::look::control_font());
    SetViewColor(kit::look::panel);
    SetLowColor(kit::look::panel);
}

BControl::~BControl() = default;

void BControl::AttachedToWindow() {
    if (Parent()) {
        SetViewColor(Parent()->ViewColor());
        SetLowColor(Parent()->ViewColor());
    }
    if (!kit_has_target())
        SetTarget(Window());
}

void BControl::MakeFocus(bool focus) {
    // The window may already have moved the focus on when it tells the
    // old focus view; redraw either way.
    BView::MakeFocus(focus);
    Invalidate();
}

void BControl::KeyDown(const char* bytes, int32 numBytes) {
    BView::KeyDown(bytes, numBytes);
}

void BControl::MessageReceived(BMessage* message) {
    BView::MessageReceived(message);
}

void BControl::SetLabel(const char* label) {
    std::string text = label ? label : "";
    if (text == fLabel)
        return;
    fLabel = text;
    Invalidate();
}

void BControl::SetValue(int32 value) {
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
}

void BControl::SetEnabled(bool enabled) {
    if (enabled == fEnabled)
        return;
    fEnabled = enabled;
    if (!enabled && IsFocus())
        MakeFocus(false);
    Invalidate();
}

status_t BControl::Invoke(BMessage* message) {
    if (!message)
        message = Message();
    if (!message)
        return B_BAD_VALUE;
    BMessage copy(*message);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    copy.AddInt32("be:value", fValue);
    return BInvoker::Invoke(&copy);
}

bool BControl::kit_show_focus() const {
    return IsFocus() && Window() && !Window()->IsHidden();
}
