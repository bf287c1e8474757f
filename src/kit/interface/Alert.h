// BAlert: a small modal window with a message and up to three buttons.
// Go() shows it and waits for a button, returning its index (0 for the
// first); Go(invoker) returns at once and later sends the invoker's
// message with "which". Either way the alert deletes itself when done.
#ifndef _ALERT_H
#define _ALERT_H

#include <Window.h>

#include <memory>
#include <string>

class BButton;
class BInvoker;

enum alert_type {
    B_EMPTY_ALERT = 0,
    B_INFO_ALERT,
    B_IDEA_ALERT,
    B_WARNING_ALERT,
    B_STOP_ALERT,
};

enum button_width {
    B_WIDTH_AS_USUAL,
    B_WIDTH_FIXED,
    B_WIDTH_FROM_WIDEST,
    B_WIDTH_FROM_LABEL,
};

namespace kit {
struct alert_answer;
}

class BAlert : public BWindow {
  public:
    BAlert(const char* title, const char* text, const char* button0Label,
           const char* button1Label = nullptr, const char* button2Label = nullptr,
           button_width widthStyle = B_WIDTH_AS_USUAL, alert_type type = B_INFO_ALERT);
    ~BAlert() override;

    // Shows the alert and blocks until a button is chosen; -1 when the
    // alert was closed without one.
    int32 Go();
    // Shows the alert and returns; the choice reaches `invoker` (owned)
    // as its message with "which" added.
    status_t Go(BInvoker* invoker);

    // A key that presses button `index`, e.g. B_ESCAPE for "Cancel".
    void SetShortcut(int32 index, char key);
    char Shortcut(int32 index) const;
    BButton* ButtonAt(int32 index) const;
    int32 CountButtons() const { return fButtonCount; }
    const char* Text() const { return fText.c_str(); }
    alert_type Type() const { return fType; }

    void MessageReceived(BMessage* message) override;
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    bool QuitRequested() override;

  private:
    void _Answer(int32 which);

    std::string fText;
    alert_type fType;
    BButton* fButtons[3] = {nullptr, nullptr, nullptr};
    char fShortcuts[3] = {0, 0, 0};
    int32 fButtonCount = 0;
    BInvoker* fInvoker = nullptr;
    std::shared_ptr<kit::alert_answer> fAnswer;
    bool fAnswered = false;
};

#endif
