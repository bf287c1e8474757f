// BButton: a push button. A click released over it, or Space or Enter
// while it has the focus, sends its message.
#ifndef _BUTTON_H
#define _BUTTON_H

#include <Control.h>

class BButton : public BControl {
  public:
    BButton(BRect frame, const char* name, const char* label, BMessage* message,
            uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
            uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BButton() override;

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

    // The default button answers Enter pressed anywhere in its window
    // that no other view takes, and has a heavier frame.
    virtual void MakeDefault(bool isDefault);
    bool IsDefault() const { return fDefault; }

  private:
    bool fTracking = false;
    bool fDefault = false;
};

#endif
