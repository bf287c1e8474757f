// BScrollBar: a bar that scrolls its target view. Arrows step by the
// small step, clicks on the track page by the large step, and the thumb
// can be dragged; every change of value scrolls the target's origin.
#ifndef _SCROLL_BAR_H
#define _SCROLL_BAR_H

#include <View.h>

const float B_V_SCROLL_BAR_WIDTH = 14;
const float B_H_SCROLL_BAR_HEIGHT = 14;

class BScrollBar : public BView {
  public:
    BScrollBar(BRect frame, const char* name, BView* target, float min, float max,
               orientation direction);
    ~BScrollBar() override;

    // Called when the value changes; scrolls the target along this bar's
    // axis (its other coordinate kept).
    virtual void ValueChanged(float newValue);

    void SetValue(float value);
    float Value() const { return fValue; }
    // The value is kept inside the range.
    void SetRange(float min, float max);
    void GetRange(float* min, float* max) const;
    // The visible share of the data, 0 to 1; it sets the thumb's length.
    void SetProportion(float proportion);
    float Proportion() const { return fProportion; }
    void SetSteps(float smallStep, float largeStep);
    void GetSteps(float* smallStep, float* largeStep) const;
    void SetTarget(BView* target);
    BView* Target() const { return fTarget; }
    orientation Orientation() const { return fOrientation; }

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;

  private:
    float _Along(BPoint p) const;
    BRect _Track() const;
    BRect _Thumb() const;
    BRect _Arrow(bool decrease) const;
    bool _Enabled() const { return fMax > fMin; }

    BView* fTarget;
    orientation fOrientation;
    float fMin;
    float fMax;
    float fValue = 0;
    float fProportion = 0;
    float fSmallStep = 1;
    float fLargeStep = 10;
    bool fDragging = false;
    float fGrab = 0;
    int32 fPressed = 0; // -1 decrease arrow, 1 increase arrow
};

#endif
