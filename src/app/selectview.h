// selectview: the strip across the top of the window that lists the tags
// of the font's tables. A click on a tag asks the work view for that
// table; the work view's answer highlights it.
#ifndef TAVREL_APP_SELECTVIEW_H
#define TAVREL_APP_SELECTVIEW_H

#include <View.h>

class BBitmap;

const int32 SELECT_MAX_TAGS = 32;

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

    BBitmap* bitmap = nullptr;
    int32 count = 0;
    uint32 tags[SELECT_MAX_TAGS] = {};
    int32 selected = -1;
};

#endif
