#include "Button.h"

#include "kit_look.h"

#include <Window.h>

#include <cmath>

BButton::BButton(BRect frame, const char* name, const char* label, BMessage* message,
                 uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

BButton::~BButton() = default;

void BButton::Draw(BRect) {
    namespace look = kit::look;
    BRect r = Bounds();
    bool pressed = Value() == B_CONTROL_ON;
    if (fDefault) {
        SetHighColor(look::dark);
        StrokeRect(r);
        r.InsetBy(1, 1);
    }
    look::bevel(this, r, pressed ? look::menu_selected : look::panel, pressed);
    look::label(this, Label(), r, B_ALIGN_CENTER, IsEnabled());
    if (kit_show_focus()) {
        float width = StringWidth(Label());
        float left = std::floor(r.left + (r.Width() + 1 - width) / 2);
        float baseline = look::centred_baseline(this, r);
        if (baseline + 2 >= r.bottom - 1)
            baseline = r.bottom - 4;
        look::focus_underline(this, left, left + width, baseline);
    }
}

void BButton::MouseDown(BPoint) {
    if (!IsEnabled())
        return;
    fTracking = true;
    SetValue(B_CONTROL_ON);
    SetMouseEventMask(B_POINTER_EVENTS);
}

void BButton::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (fTracking)
        SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
}

void BButton::MouseUp(BPoint where) {
    if (!fTracking)
        return;
    fTracking = false;
    SetValue(B_CONTROL_OFF);
    if (Bounds().Contains(where))
        Invoke();
}

void BButton::KeyDown(const char* bytes, int32 numBytes) {
    if (IsEnabled() && numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
        Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}

void BButton::MakeDefault(bool isDefault) {
    if (isDefault == fDefault)
        return;
    fDefault = isDefault;
    Invalidate();
}
