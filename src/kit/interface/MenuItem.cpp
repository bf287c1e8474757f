#include "MenuItem.h"

#include <Menu.h>
#include <Message.h>
#include <OS.h>
#include <InterfaceDefs.h>
#include <Window.h>

#include <cctype>

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr), fLabel(label ? label : ""), fShortcut(shortcut),
      fModifiers(modifiers) {}

BMenuItem::BMenuItem(BMenu* submenu, BMessage* message)
    : BInvoker(message, nullptr), fLabel(submenu ? submenu->Name() : ""), fSubmenu(submenu) {
    if (fSubmenu)
        fSubmenu->kit_set_superitem(this);
}

BMenuItem::~BMenuItem() {
    delete fSubmenu;
}

void BMenuItem::SetLabel(const char* label) {
    fLabel = label ? label : "";
    if (fMenu) {
        fMenu->Invalidate();
        if (BView* root = fMenu->kit_root_view())
            root->Invalidate();
    }
}

void BMenuItem::SetMarked(bool marked) {
    fMarked = marked;
    if (fMenu) {
        if (marked)
            fMenu->kit_item_marked(this);
        fMenu->Invalidate();
        if (BView* root = fMenu->kit_root_view())
            root->Invalidate();
    }
}

void BMenuItem::SetEnabled(bool enabled) {
    fEnabled = enabled;
    if (fMenu)
        fMenu->Invalidate();
}

bool BMenuItem::IsEnabled() const {
    return fEnabled && (!fMenu || fMenu->IsEnabled());
}

char BMenuItem::Shortcut(uint32* modifiers) const {
    if (modifiers)
        *modifiers = fModifiers;
    return fShortcut;
}

std::string BMenuItem::kit_shortcut_text() const {
    if (!fShortcut)
        return std::string();
    std::string text;
    if (fModifiers & B_SHIFT_KEY)
        text += "Shift+";
    if (fModifiers & B_CONTROL_KEY)
        text += "Ctrl+";
    text += "Alt+";
    text += (char)toupper((unsigned char)fShortcut);
    return text;
}

bool BMenuItem::kit_matches(char key, uint32 modifiers) const {
    if (!fShortcut || !(modifiers & B_COMMAND_KEY))
        return false;
    if (((modifiers ^ fModifiers) & (B_SHIFT_KEY | B_CONTROL_KEY)) != 0)
        return false;
    return tolower((unsigned char)fShortcut) == tolower((unsigned char)key);
}

status_t BMenuItem::Invoke(BMessage* message) {
    if (!message)
        message = Message();
    if (!message)
        return B_BAD_VALUE;
    BMessage copy(*message);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    copy.AddInt32("index", fMenu ? fMenu->IndexOf(this) : -1);
    if (kit_has_target())
        return BInvoker::Invoke(&copy);
    // Without a target the item speaks to the window its menu opens in.
    BView* root = fMenu ? fMenu->kit_root_view() : nullptr;
    BWindow* window = root ? root->Window() : nullptr;
    if (!window)
        return B_BAD_HANDLER;
    return BMessenger(nullptr, window).SendMessage(&copy);
}

BSeparatorItem::BSeparatorItem() : BMenuItem("", nullptr) {
    BMenuItem::SetEnabled(false);
}

BSeparatorItem::~BSeparatorItem() = default;
