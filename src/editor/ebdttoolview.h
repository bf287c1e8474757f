// ebdttoolview: the bitmap editor's palette, the amber column at the left
// of the EBDT table view: the character and glyph number entries, the
// strike size menu and the "set" button. It shows what the canvas reports
// and sends it requests.
#ifndef TAVREL_EDITOR_EBDTTOOLVIEW_H
#define TAVREL_EDITOR_EBDTTOOLVIEW_H

#include <View.h>

class BBitmap;
class BButton;
class BMenuField;
class BTextControl;
class ttf_ebdt;

class ebdttoolview : public BView {
  public:
    ebdttoolview(BRect frame, ttf_ebdt* owner);
    ~ebdttoolview() override;

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;

    // Builds the strike size menu from the font's EBLC: one item per
    // distinct (ppemX, ppemY) pair, "12" for a square strike and "12x16"
    // for one that is not.
    void init();
    // Repaints the background and shows gno and chr in the entries.
    void redraw();

    BTextControl* gnoctl = nullptr;
    BTextControl* chrctl = nullptr;
    BMenuField* sizefield = nullptr;
    BButton* setbtn = nullptr;
    ttf_ebdt* ebdt;
    BBitmap* icons = nullptr;
    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    uint16 pt = 0;

  private:
    // Sends EBDT_CHANGE with one int16 field to the canvas.
    void tell_canvas(const char* field, uint16 value);
};

#endif
