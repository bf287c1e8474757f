#include "Slider.h"

#include "kit_look.h"

#include <Message.h>

#include <algorithm>
#include <cmath>

namespace look = kit::look;

namespace {
const float kThumbWidth = 11;
}

BSlider::BSlider(BRect frame, const char* name, const char* label, BMessage* message,
                 int32 minValue, int32 maxValue, thumb_style thumbType, uint32 resizingMode,
                 uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags),
      fMin(std::min(minValue, maxValue)), fMax(std::max(minValue, maxValue)), fStyle(thumbType) {
    SetValueNoUpdate(fMin);
}

BSlider::~BSlider() {
    delete fModificationMessage;
}

void BSlider::SetValue(int32 value) {
    BControl::SetValue(std::clamp(value, fMin, fMax));
}

void BSlider::SetLimits(int32 minimum, int32 maximum) {
    fMin = std::min(minimum, maximum);
    fMax = std::max(minimum, maximum);
    SetValue(Value());
    Invalidate();
}

void BSlider::GetLimits(int32* minimum, int32* maximum) const {
    if (minimum)
        *minimum = fMin;
    if (maximum)
        *maximum = fMax;
}

void BSlider::SetBarColor(rgb_color color) {
    fBarColor = color;
    Invalidate();
}

void BSlider::UseFillColor(bool useFill, const rgb_color* color) {
    fUseFill = useFill;
    if (color)
        fFillColor = *color;
    Invalidate();
}

bool BSlider::FillColor(rgb_color* color) const {
    if (color && fUseFill)
        *color = fFillColor;
    return fUseFill;
}

void BSlider::SetModificationMessage(BMessage* message) {
    if (message != fModificationMessage)
        delete fModificationMessage;
    fModificationMessage = message;
}

BRect BSlider::_Bar() const {
    BRect b = Bounds();
    float top = b.top;
    if (*Label())
        top += 14; // the label stands above the bar
    float mid = std::floor((top + b.bottom) / 2);
    float half = std::floor(kThumbWidth / 2);
    return BRect(b.left + half + 1, mid - 3, b.right - half - 1, mid + 3);
}

BRect BSlider::_Thumb() const {
    BRect bar = _Bar();
    BRect b = Bounds();
    float span = bar.Width();
    float at =
        fMax > fMin ? span * (float)((double)Value() - fMin) / (float)((double)fMax - fMin) : 0;
    float x = std::round(bar.left + at);
    float half = std::floor(kThumbWidth / 2);
    float top = *Label() ? b.top + 14 : b.top;
    return BRect(x - half, std::max(top, bar.top - 5), x + half,
                 std::min(b.bottom, bar.bottom + 5));
}

int32 BSlider::_ValueAt(float x) const {
    BRect bar = _Bar();
    if (bar.Width() <= 0 || fMax <= fMin)
        return fMin;
    double share = std::clamp((x - bar.left) / bar.Width(), 0.0f, 1.0f);
    return (int32)std::lround(fMin + share * ((double)fMax - fMin));
}

void BSlider::_Moved(int32 value) {
    value = std::clamp(value, fMin, fMax);
    if (value == Value())
        return;
    SetValue(value);
    Invoke(fModificationMessage ? fModificationMessage : Message());
}

void BSlider::Draw(BRect) {
    BRect b = Bounds();
    if (*Label())
        look::label(this, Label(), BRect(b.left, b.top, b.right, b.top + 13), B_ALIGN_LEFT,
                    IsEnabled());
    BRect bar = _Bar();
    look::sunken_field(this, bar, fBarColor);
    BRect thumb = _Thumb();
    if (fUseFill) {
        BRect fill = bar.InsetByCopy(2, 2);
        fill.right = std::min(fill.right, thumb.left);
        if (fill.IsValid()) {
            SetHighColor(fFillColor);
            FillRect(fill);
        }
    }
    if (fStyle == B_BLOCK_THUMB) {
        look::bevel(this, thumb, look::panel, fDragging);
        SetHighColor(look::dark);
        float cx = std::floor((thumb.left + thumb.right) / 2);
        StrokeLine(BPoint(cx, thumb.top + 3), BPoint(cx, thumb.bottom - 3));
    } else {
        BRect box(thumb.left, bar.bottom - 1, thumb.right, thumb.bottom);
        look::arrow(this, box.InsetByCopy(-2, 0), look::up, look::dark);
    }
    if (kit_show_focus()) {
        SetHighColor(look::focus);
        StrokeRect(thumb.InsetByCopy(2, 2));
    }
}

void BSlider::MouseDown(BPoint where) {
    if (!IsEnabled())
        return;
    fDragging = true;
    SetMouseEventMask(B_POINTER_EVENTS);
    // A press off the thumb moves the thumb there at once.
    if (!_Thumb().Contains(where))
        _Moved(_ValueAt(where.x));
    Invalidate();
}

void BSlider::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (fDragging)
        _Moved(_ValueAt(where.x));
}

void BSlider::MouseUp(BPoint) {
    if (!fDragging)
        return;
    fDragging = false;
    Invalidate();
    Invoke();
}

void BSlider::KeyDown(const char* bytes, int32 numBytes) {
    if (!IsEnabled() || numBytes != 1) {
        BControl::KeyDown(bytes, numBytes);
        return;
    }
    int32 value = Value();
    switch (bytes[0]) {
    case B_LEFT_ARROW:
    case B_DOWN_ARROW:
        value = std::max(fMin, value - fKeyIncrement);
        break;
    case B_RIGHT_ARROW:
    case B_UP_ARROW:
        value = std::min(fMax, value + fKeyIncrement);
        break;
    case B_HOME:
        value = fMin;
        break;
    case B_END:
        value = fMax;
        break;
    default:
        BControl::KeyDown(bytes, numBytes);
        return;
    }
    if (value != Value()) {
        SetValue(value);
        Invoke();
    }
}
