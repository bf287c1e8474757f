#include "ScrollBar.h"

#include "kit_look.h"

#include <algorithm>
#include <cmath>

namespace look = kit::look;

namespace {
const float kMinThumb = 12;
const rgb_color kTrack = {184, 184, 184, 255};
} // namespace

BScrollBar::BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
                       orientation direction)
    : BView(frame, name,
            direction == B_VERTICAL ? B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM
                                    : B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM,
            B_WILL_DRAW | B_FRAME_EVENTS),
      fTarget(target), fOrientation(direction), fMin(min), fMax(std::max(min, max)) {
    SetViewColor(B_TRANSPARENT_COLOR);
    fValue = fMin;
}

BScrollBar::~BScrollBar() = default;

void BScrollBar::ValueChanged(float newValue) {
    if (!fTarget)
        return;
    BRect b = fTarget->Bounds();
    if (fOrientation == B_VERTICAL)
        fTarget->ScrollTo(BPoint(b.left, newValue));
    else
        fTarget->ScrollTo(BPoint(newValue, b.top));
}

void BScrollBar::SetValue(float value) {
    if (!std::isfinite(value))
        return;
    value = std::clamp(value, fMin, fMax);
    if (value == fValue)
        return;
    fValue = value;
    Invalidate();
    ValueChanged(fValue);
}

void BScrollBar::SetRange(float min, float max) {
    if (!std::isfinite(min) || !std::isfinite(max))
        return;
    fMin = min;
    fMax = std::max(min, max);
    Invalidate();
    float clamped = std::clamp(fValue, fMin, fMax);
    if (clamped != fValue) {
        fValue = clamped;
        ValueChanged(fValue);
    }
}

void BScrollBar::GetRange(float* min, float* max) const {
    if (min)
        *min = fMin;
    if (max)
        *max = fMax;
}

void BScrollBar::SetProportion(float proportion) {
    if (!std::isfinite(proportion))
        return;
    fProportion = std::clamp(proportion, 0.0f, 1.0f);
    Invalidate();
}

void BScrollBar::SetSteps(float smallStep, float largeStep) {
    if (std::isfinite(smallStep))
        fSmallStep = smallStep;
    if (std::isfinite(largeStep))
        fLargeStep = largeStep;
}

void BScrollBar::GetSteps(float* smallStep, float* largeStep) const {
    if (smallStep)
        *smallStep = fSmallStep;
    if (largeStep)
        *largeStep = fLargeStep;
}

void BScrollBar::SetTarget(BView* target) {
    fTarget = target;
}

float BScrollBar::_Along(BPoint p) const {
    return fOrientation == B_VERTICAL ? p.y : p.x;
}

BRect BScrollBar::_Arrow(bool decrease) const {
    BRect b = Bounds();
    if (fOrientation == B_VERTICAL) {
        float side = std::min(b.Width(), std::floor(b.Height() / 2));
        return decrease ? BRect(b.left, b.top, b.right, b.top + side)
                        : BRect(b.left, b.bottom - side, b.right, b.bottom);
    }
    float side = std::min(b.Height(), std::floor(b.Width() / 2));
    return decrease ? BRect(b.left, b.top, b.left + side, b.bottom)
                    : BRect(b.right - side, b.top, b.right, b.bottom);
}

BRect BScrollBar::_Track() const {
    BRect b = Bounds();
    BRect dec = _Arrow(true), inc = _Arrow(false);
    if (fOrientation == B_VERTICAL)
        return BRect(b.left, dec.bottom + 1, b.right, inc.top - 1);
    return BRect(dec.right + 1, b.top, inc.left - 1, b.bottom);
}

BRect BScrollBar::_Thumb() const {
    BRect track = _Track();
    float length = fOrientation == B_VERTICAL ? track.Height() + 1 : track.Width() + 1;
    float thumb = fProportion > 0 ? std::floor(length * fProportion) : length / 4;
    thumb = std::clamp(thumb, std::min(kMinThumb, length), length);
    float room = length - thumb;
    float offset = fMax > fMin ? std::round(room * (fValue - fMin) / (fMax - fMin)) : 0;
    if (fOrientation == B_VERTICAL)
        return BRect(track.left, track.top + offset, track.right, track.top + offset + thumb - 1);
    return BRect(track.left + offset, track.top, track.left + offset + thumb - 1, track.bottom);
}

void BScrollBar::Draw(BRect) {
    BRect track = _Track();
    SetHighColor(kTrack);
    FillRect(track);
    SetHighColor(look::shadow);
    StrokeRect(track);
    bool vertical = fOrientation == B_VERTICAL;
    rgb_color ink = _Enabled() ? look::black : look::shadow;
    look::bevel(this, _Arrow(true), look::panel, fPressed < 0);
    look::arrow(this, _Arrow(true).InsetByCopy(3, 3), vertical ? look::up : look::left, ink);
    look::bevel(this, _Arrow(false), look::panel, fPressed > 0);
    look::arrow(this, _Arrow(false).InsetByCopy(3, 3), vertical ? look::down : look::right, ink);
    if (!_Enabled() || track.Width() < 2 || track.Height() < 2)
        return;
    BRect thumb = _Thumb();
    look::bevel(this, thumb, look::panel, false);
    // Three grip lines across the middle of the thumb.
    BPoint mid((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2);
    mid.x = std::floor(mid.x);
    mid.y = std::floor(mid.y);
    for (int i = -2; i <= 2; i += 2) {
        SetHighColor(look::shadow);
        if (vertical && thumb.Height() > 10)
            StrokeLine(BPoint(thumb.left + 3, mid.y + i), BPoint(thumb.right - 3, mid.y + i));
        else if (!vertical && thumb.Width() > 10)
            StrokeLine(BPoint(mid.x + i, thumb.top + 3), BPoint(mid.x + i, thumb.bottom - 3));
    }
}

void BScrollBar::MouseDown(BPoint where) {
    if (!_Enabled())
        return;
    if (_Arrow(true).Contains(where)) {
        fPressed = -1;
        SetValue(fValue - fSmallStep);
        Invalidate();
    } else if (_Arrow(false).Contains(where)) {
        fPressed = 1;
        SetValue(fValue + fSmallStep);
        Invalidate();
    } else {
        BRect thumb = _Thumb();
        float at = _Along(where);
        float start = _Along(thumb.LeftTop()), end = _Along(thumb.RightBottom());
        if (at < start) {
            SetValue(fValue - fLargeStep);
        } else if (at > end) {
            SetValue(fValue + fLargeStep);
        } else {
            fDragging = true;
            fGrab = at - start;
        }
    }
    SetMouseEventMask(B_POINTER_EVENTS);
}

void BScrollBar::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fDragging)
        return;
    BRect track = _Track(), thumb = _Thumb();
    float room = (fOrientation == B_VERTICAL ? track.Height() - thumb.Height()
                                             : track.Width() - thumb.Width());
    if (room <= 0)
        return;
    float offset = _Along(where) - fGrab - _Along(track.LeftTop());
    // Dragging lands on whole pixels of the target.
    SetValue(std::round(fMin + (fMax - fMin) * offset / room));
}

void BScrollBar::MouseUp(BPoint) {
    fDragging = false;
    if (fPressed) {
        fPressed = 0;
        Invalidate();
    }
}
