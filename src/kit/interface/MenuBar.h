// BMenuBar: the row of menu titles at the top of a window.
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include <Menu.h>

namespace kit {
class menu_root;
}

class BMenuBar : public BMenu {
  public:
    // With resizeToFit the bar takes the height its font needs and, when
    // it follows left and right, its parent's width.
    BMenuBar(BRect frame, const char* name,
             uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
             menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
    ~BMenuBar() override;

    void AttachedToWindow() override;
    void DetachedFromWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;

    // Kit internals: opens the submenu of title `index` (closing any other).
    void kit_open(int32 index);
    void kit_layout_items() override;

  private:
    bool fResizeToFit;
    kit::menu_root* fRoot = nullptr;
};

#endif
