// selectview: the strip across the top of the window that lists the tags
// of the font's tables. A click on a tag asks the work view for that
// table; the work view's answer highlights it. When the tags need more
// room than the strip has, two arrows in its top band (and the wheel)
// scroll it a column at a time.
#ifndef TAVREL_APP_SELECTVIEW_H
#define TAVREL_APP_SELECTVIEW_H

#include <View.h>

#include <vector>

class BBitmap;

class selectview : public BView {
  public:
    explicit selectview(BRect frame);
    ~selectview() override;

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;
    // Repaints the off-screen strip and shows it.
    void redraw();

    // The columns wholly inside the strip at its present width.
    int32 shown_columns() const;
    // Where the arrows are drawn and taken; empty while every tag fits.
    BRect back_arrow() const;
    BRect forward_arrow() const;

    // The strip as shown, from the tag in the leftmost column on.
    BBitmap* bitmap = nullptr;
    int32 count = 0;
    std::vector<uint32> tags;
    int32 selected = -1;
    int32 first = 0; // the tag in the leftmost column

  private:
    // Paints the columns from `first` on into the bitmap.
    void _Paint();
    void _Clamp();
    void _ScrollTo(int32 column);
    void _DrawArrow(BRect frame, bool back, bool usable);
};

#endif
