// BCheckBox: a box that a click or Space turns on and off; each change
// sends its message.
#ifndef _CHECK_BOX_H
#define _CHECK_BOX_H

#include <Control.h>

class BCheckBox : public BControl {
  public:
    BCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BCheckBox() override;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

  private:
    BRect _Box() const;

    bool fTracking = false;
    bool fPressed = false;
};

#endif
