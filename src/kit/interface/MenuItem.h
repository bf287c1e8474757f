// BMenuItem: one entry of a menu: a label and a message, or a submenu.
// Choosing it sends the message with "when", "source" (the item) and
// "index" (its place in its menu) to its target, or to the window of the
// menu bar or field it belongs to when it has none.
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Invoker.h>
#include <Rect.h>

#include <string>

class BMenu;
class BView;

class BMenuItem : public BInvoker {
  public:
    BMenuItem(const char* label, BMessage* message, char shortcut = 0, uint32 modifiers = 0);
    // An item that opens `submenu` (owned); its label is the menu's name.
    explicit BMenuItem(BMenu* submenu, BMessage* message = nullptr);
    ~BMenuItem() override;

    virtual void SetLabel(const char* label);
    const char* Label() const { return fLabel.c_str(); }
    virtual void SetMarked(bool marked);
    bool IsMarked() const { return fMarked; }
    virtual void SetEnabled(bool enabled);
    bool IsEnabled() const;
    char Shortcut(uint32* modifiers = nullptr) const;
    // The shortcut as the menu shows it, e.g. "Shift+Alt+Z" (Alt is the
    // Command key on this desktop); empty without one.
    std::string kit_shortcut_text() const;
    // Whether a key with these modifiers chooses the item: its key, Command
    // held, and Shift exactly when the item asks for it.
    bool kit_matches(char key, uint32 modifiers) const;

    BMenu* Submenu() const { return fSubmenu; }
    // The menu holding this item.
    BMenu* Menu() const { return fMenu; }
    // Where the item lies in its menu, in the menu's coordinates.
    BRect Frame() const { return fFrame; }

    status_t Invoke(BMessage* message = nullptr) override;

    // Kit internals for the menus.
    void kit_set_menu(BMenu* menu) { fMenu = menu; }
    void kit_set_frame(BRect frame) { fFrame = frame; }
    virtual bool kit_is_separator() const { return false; }

  private:
    std::string fLabel;
    BMenu* fSubmenu = nullptr;
    BMenu* fMenu = nullptr;
    BRect fFrame;
    bool fMarked = false;
    bool fEnabled = true;
    char fShortcut = 0;
    uint32 fModifiers = 0;
};

// A line between groups of items; it cannot be chosen.
class BSeparatorItem : public BMenuItem {
  public:
    BSeparatorItem();
    ~BSeparatorItem() override;
    bool kit_is_separator() const override { return true; }
};

#endif
