// The layer on which open menus float. While a menu is open the layer
// covers its window, so that a click outside every menu closes them
// instead of reaching the views below, and it holds the keyboard focus
// for Escape, the arrows and Enter. Menus are its children while open.
#ifndef KIT_INTERFACE_KIT_MENU_LAYER_H
#define KIT_INTERFACE_KIT_MENU_LAYER_H

#include <View.h>

class BMenu;
class BMenuItem;

namespace kit {

// What a menu bar or menu field offers the layer.
class menu_root {
  public:
    virtual ~menu_root() = default;
    virtual BView* menu_root_view() = 0;
    // A click or move outside the open menus, in window coordinates;
    // true when the root took it (a menu bar switching titles).
    virtual bool menu_root_pointer(BPoint windowWhere, bool click) = 0;
    // Left or right arrow: a menu bar opens the neighbouring title.
    virtual void menu_root_step(int32 direction) = 0;
    virtual void menu_root_closed() = 0;
    virtual void menu_root_layer_gone() = 0;
};

class menu_layer : public BView {
  public:
    explicit menu_layer(menu_root* root);
    ~menu_layer() override;

    // Opens `menu` with its top-left corner at `windowWhere`, at least
    // `minWidth` wide, above the menus up to `depth` (0 closes all others).
    void open(BMenu* menu, BPoint windowWhere, float minWidth, int32 depth);
    // Opens an item's submenu next to the item.
    void open_submenu(BMenuItem* item);
    // The item was chosen: closes every menu, then invokes it.
    void choose(BMenuItem* item);
    void close_all();
    int32 depth_of(const BMenu* menu) const;
    BMenu* menu_at(int32 depth) const;
    int32 open_count() const { return CountChildren(); }
    void forget_root() { fRoot = nullptr; }

    void DetachedFromWindow() override;
    void MouseDown(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;

  private:
    void _CloseAbove(int32 depth);
    void _RestoreFocus();

    menu_root* fRoot;
    BView* fPreviousFocus = nullptr;
};

} // namespace kit

#endif
