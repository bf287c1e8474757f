// BControl: a view that the user operates to send a message. It has a
// label, a value and an enabled state; Invoke() sends its message with
// "when", "source" (this control) and "be:value" added.
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <View.h>

#include <string>

enum {
    B_CONTROL_OFF = 0,
    B_CONTROL_ON = 1,
};

class BControl : public BView, public BInvoker {
  public:
    BControl(BRect frame, const char* name, const char* label, BMessage* message,
             uint32 resizingMode, uint32 flags);
    ~BControl() override;

    // Takes the parent's colours and, when no target was set, makes the
    // window the target, as controls do on this platform.
    void AttachedToWindow() override;
    void MakeFocus(bool focus = true) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MessageReceived(BMessage* message) override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    virtual void SetValue(int32 value);
    int32 Value() const { return fValue; }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    status_t Invoke(BMessage* message = nullptr) override;

  protected:
    // Sets the value without redrawing or notifying.
    void SetValueNoUpdate(int32 value) { fValue = value; }
    // True while the keyboard focus is here and the window is shown.
    bool kit_show_focus() const;

  private:
    std::string fLabel;
    int32 fValue = 0;
    bool fEnabled = true;
};

#endif
