// initview: the set-up view of a new font. One check box per Unicode
// block; every click rebuilds the font's set-up record and shows how many
// characters are chosen. "set" asks the application to build the font.
#ifndef TAVREL_APP_INITVIEW_H
#define TAVREL_APP_INITVIEW_H

#include "app/unicode_blocks.h"

#include <View.h>

class BButton;
class BCheckBox;

const uint32 SETUP_CHECK = 'Bchk';  // a check box changed
const uint32 SETUP_BUTTON = 'Bhit'; // "set"

class initview : public BView {
  public:
    // The frame is always (0, 0, 561, 511). Gives the current (empty) font
    // a fresh set-up record.
    explicit initview(BRect frame);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;

    // Shows the number of chosen characters.
    void redraw();
    // Rebuilds the set-up record from the check boxes.
    void setchrs();

    BButton* setbtn = nullptr;
    BCheckBox* boxes[BLOCK_COUNT] = {};
};

#endif
