// BSlider: a value chosen by dragging a thumb along a bar, or with the
// arrow keys when focused. While the thumb moves the slider sends its
// modification message, or its own message when it has none, so that
// its target can follow; releasing the thumb sends its message.
#ifndef _SLIDER_H
#define _SLIDER_H

#include <Control.h>

enum thumb_style {
    B_BLOCK_THUMB,
    B_TRIANGLE_THUMB,
};

class BSlider : public BControl {
  public:
    BSlider(BRect frame, const char* name, const char* label, BMessage* message, int32 minValue,
            int32 maxValue, thumb_style thumbType = B_BLOCK_THUMB,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_NAVIGABLE | B_WILL_DRAW | B_FRAME_EVENTS);
    ~BSlider() override;

    // Values outside the limits are clamped to them.
    void SetValue(int32 value) override;
    void SetLimits(int32 minimum, int32 maximum);
    void GetLimits(int32* minimum, int32* maximum) const;
    void SetBarColor(rgb_color color);
    rgb_color BarColor() const { return fBarColor; }
    void UseFillColor(bool useFill, const rgb_color* color = nullptr);
    bool FillColor(rgb_color* color) const;
    thumb_style Style() const { return fStyle; }
    void SetModificationMessage(BMessage* message);
    BMessage* ModificationMessage() const { return fModificationMessage; }
    void SetKeyIncrementValue(int32 value) { fKeyIncrement = value > 0 ? value : 1; }
    int32 KeyIncrementValue() const { return fKeyIncrement; }

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

  private:
    BRect _Bar() const;
    BRect _Thumb() const;
    int32 _ValueAt(float x) const;
    void _Moved(int32 value);

    int32 fMin;
    int32 fMax;
    thumb_style fStyle;
    rgb_color fBarColor = {160, 160, 160, 255};
    rgb_color fFillColor = {0, 0, 229, 255};
    bool fUseFill = false;
    bool fDragging = false;
    int32 fKeyIncrement = 1;
    BMessage* fModificationMessage = nullptr;
};

#endif
