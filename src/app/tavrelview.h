// tavrelview: the work view, parent of every table view of the open font.
// When a font is announced it attaches them all hidden and fills the
// selector; when a table is chosen it shows that one and gives it the
// window's scroll bars. It also opens the file panels and hands dropped
// files to the application.
#ifndef TAVREL_APP_TAVRELVIEW_H
#define TAVREL_APP_TAVRELVIEW_H

#include <View.h>

class tavrelview : public BView {
  public:
    explicit tavrelview(BRect frame);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;
    // Keeps the recovery copy of the font's unsaved changes (recovery.h).
    void Pulse() override;

    // Attaches the current font's views (window thread, on 'init').
    void init();
    // Detaches them; the application calls it with the window locked.
    void clr();

    // Shows the table with this tag (as a click on it in the selector
    // does) and highlights it in the selector.
    void select(uint32 tag);

    // Gives every view it holds its own size (they follow it from then on).
    void fitchildren();

  private:
    void openpanel(bool save);
};

#endif
