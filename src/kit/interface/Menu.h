// BMenu: a list of items that opens over the window when its menu bar
// title or menu field is clicked. A click on an item chooses it; a click
// outside, or Escape, closes the menu. In radio mode choosing an item
// marks it alone; with label-from-marked the menu's title shows the
// marked item's label.
#ifndef _MENU_H
#define _MENU_H

#include <View.h>

#include <vector>

class BMenuItem;
class BMenuBar;
class BMessenger;

enum menu_layout {
    B_ITEMS_IN_ROW = 0,
    B_ITEMS_IN_COLUMN,
    B_ITEMS_IN_MATRIX,
};

namespace kit {
class menu_layer;
}

class BMenu : public BView {
  public:
    explicit BMenu(const char* name, menu_layout layout = B_ITEMS_IN_COLUMN);
    // Items and their submenus are deleted with the menu.
    ~BMenu() override;

    bool AddItem(BMenuItem* item);
    bool AddItem(BMenuItem* item, int32 index);
    // Adds an item that opens `submenu`.
    bool AddItem(BMenu* submenu);
    bool AddSeparatorItem();
    // Removing gives the item back to the caller.
    BMenuItem* RemoveItem(int32 index);
    bool RemoveItem(BMenuItem* item);
    BMenuItem* ItemAt(int32 index) const;
    BMenu* SubmenuAt(int32 index) const;
    int32 CountItems() const { return (int32)fItems.size(); }
    int32 IndexOf(const BMenuItem* item) const;
    BMenuItem* FindItem(const char* label) const;
    BMenuItem* FindMarked() const;

    virtual void SetRadioMode(bool on);
    bool IsRadioMode() const { return fRadioMode; }
    virtual void SetLabelFromMarked(bool on);
    bool IsLabelFromMarked() const { return fLabelFromMarked; }
    virtual status_t SetTargetForItems(BHandler* target);
    virtual status_t SetTargetForItems(BMessenger messenger);
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    // The item that opens this menu, and the menu holding that item.
    BMenuItem* Superitem() const { return fSuperitem; }
    BMenu* Supermenu() const;
    menu_layout Layout() const { return fLayout; }

    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void MouseUp(BPoint where) override;

    // Kit internals for the menu bar, menu field and menu layer.
    void kit_set_superitem(BMenuItem* item) { fSuperitem = item; }
    // The size the items need laid out (column menus).
    BRect kit_preferred_bounds();
    virtual void kit_layout_items();
    BMenuItem* kit_item_at(BPoint where) const;
    int32 kit_highlighted() const { return fHighlighted; }
    void kit_highlight(int32 index);
    void kit_set_layer(kit::menu_layer* layer) { fLayer = layer; }
    kit::menu_layer* kit_layer() const { return fLayer; }
    // The view (menu bar or menu field) from which this menu opens.
    BView* kit_root_view() const;
    // Marks an item chosen in radio mode and updates the title.
    void kit_item_chosen(BMenuItem* item);
    void kit_item_marked(BMenuItem* item);
    float kit_item_height();
    // A menu field records itself as the place its menu opens from.
    void kit_set_root_view(BView* view) { fRootView = view; }

  protected:
    std::vector<BMenuItem*> fItems;
    int32 fHighlighted = -1;
    kit::menu_layer* fLayer = nullptr;

  private:
    menu_layout fLayout;
    BMenuItem* fSuperitem = nullptr;
    BView* fRootView = nullptr;
    bool fRadioMode = false;
    bool fLabelFromMarked = false;
    bool fEnabled = true;
    bool fPressed = false;
};

#endif
