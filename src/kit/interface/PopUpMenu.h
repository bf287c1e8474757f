// BPopUpMenu: a menu that pops up from a menu field, by default in radio
// mode with the field showing the marked item's label.
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu {
  public:
    BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
               menu_layout layout = B_ITEMS_IN_COLUMN);
    ~BPopUpMenu() override;
};

#endif
