#include "CheckBox.h"

#include "kit_look.h"

#include <cmath>

BCheckBox::BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
                     uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags) {}

BCheckBox::~BCheckBox() = default;

BRect BCheckBox::_Box() const {
    BRect b = Bounds();
    float side = std::min(12.0f, b.Height());
    float top = std::floor(b.top + (b.Height() - side) / 2);
    return BRect(b.left + 1, top, b.left + 1 + side, top + side);
}

void BCheckBox::Draw(BRect) {
    namespace look = kit::look;
    BRect box = _Box();
    look::sunken_field(this, box, fPressed ? look::menu_selected : look::field);
    if (Value() != B_CONTROL_OFF) {
        BRect mark = box.InsetByCopy(3, 3);
        SetHighColor(IsEnabled() ? look::black : look::disabled_text);
        SetPenSize(2);
        StrokeLine(mark.LeftTop(), mark.RightBottom());
        StrokeLine(mark.LeftBottom(), mark.RightTop());
        SetPenSize(1);
    }
    BRect text = Bounds();
    text.left = box.right + 5;
    look::label(this, Label(), text, B_ALIGN_LEFT, IsEnabled());
    if (kit_show_focus()) {
        float baseline = look::centred_baseline(this, text);
        if (baseline + 2 > Bounds().bottom)
            baseline = Bounds().bottom - 2;
        look::focus_underline(this, text.left, text.left + StringWidth(Label()), baseline);
    }
}

void BCheckBox::MouseDown(BPoint) {
    if (!IsEnabled())
        return;
    fTracking = true;
    fPressed = true;
    Invalidate();
    SetMouseEventMask(B_POINTER_EVENTS);
}

void BCheckBox::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fTracking)
        return;
    bool inside = Bounds().Contains(where);
    if (inside != fPressed) {
        fPressed = inside;
        Invalidate();
    }
}

void BCheckBox::MouseUp(BPoint where) {
    if (!fTracking)
        return;
    fTracking = false;
    fPressed = false;
    Invalidate();
    if (Bounds().Contains(where)) {
        SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
        Invoke();
    }
}

void BCheckBox::KeyDown(const char* bytes, int32 numBytes) {
    if (IsEnabled() && numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
        SetValue(Value() == B_CONTROL_OFF ? B_CONTROL_ON : B_CONTROL_OFF);
        Invoke();
        return;
    }
    BControl::KeyDown(bytes, numBytes);
}
