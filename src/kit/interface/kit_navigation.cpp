// Keyboard navigation: what a key that no view used does. Tab moves the
// focus through the window's B_NAVIGABLE views in tree order; Enter
// presses the default button; Command with a key chooses a menu item.
#include <Button.h>
#include <Control.h>
#include <InterfaceDefs.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include <cctype>
#include <vector>

namespace {

bool takes_focus(BView* view) {
    if (!(view->Flags() & B_NAVIGABLE) || !view->kit_is_visible())
        return false;
    BControl* control = dynamic_cast<BControl*>(view);
    return !control || control->IsEnabled();
}

void collect(BView* view, std::vector<BView*>* order) {
    order->push_back(view);
    for (int32 i = 0; i < view->CountChildren(); i++)
        collect(view->ChildAt(i), order);
}

BButton* find_default(BView* view) {
    BButton* button = dynamic_cast<BButton*>(view);
    if (button && button->IsDefault() && button->IsEnabled() && button->kit_is_visible())
        return button;
    for (int32 i = 0; i < view->CountChildren(); i++) {
        if (BButton* found = find_default(view->ChildAt(i)))
            return found;
    }
    return nullptr;
}

BMenuItem* find_shortcut(BMenu* menu, char key, uint32 mods) {
    for (int32 i = 0; i < menu->CountItems(); i++) {
        BMenuItem* item = menu->ItemAt(i);
        if (item->Submenu()) {
            if (BMenuItem* found = find_shortcut(item->Submenu(), key, mods))
                return found;
        } else if (item->kit_matches(key, mods)) {
            return item;
        }
    }
    return nullptr;
}

// The item of a menu bar of the window whose shortcut is `key` with
// `mods`, enabled or not.
BMenuItem* find_shortcut(BView* view, char key, uint32 mods) {
    if (BMenuBar* bar = dynamic_cast<BMenuBar*>(view)) {
        if (BMenuItem* found = find_shortcut(static_cast<BMenu*>(bar), key, mods))
            return found;
    }
    for (int32 i = 0; i < view->CountChildren(); i++) {
        if (BMenuItem* found = find_shortcut(view->ChildAt(i), key, mods))
            return found;
    }
    return nullptr;
}

int32 current_modifiers(BWindow* window) {
    BMessage* message = window->CurrentMessage();
    int32 mods = 0;
    if (message && message->FindInt32("modifiers", &mods) == B_OK)
        return mods;
    return (int32)modifiers();
}

} // namespace

void BView::KeyDown(const char* bytes, int32 numBytes) {
    BWindow* window = Window();
    if (!window || !bytes || numBytes < 1)
        return;
    int32 mods = current_modifiers(window);
    // Command with a key chooses the menu item that has it as shortcut
    // (the window offers it to the menus first; this is for a key sent to
    // a view directly).
    if ((mods & B_COMMAND_KEY) && numBytes == 1 && bytes[0] > ' ') {
        window->kit_menu_shortcut(bytes, (uint32)mods);
        return;
    }
    if (bytes[0] == B_ENTER) {
        if (BButton* button = find_default(window->kit_top_view()))
            button->Invoke();
        return;
    }
    if (bytes[0] != B_TAB)
        return;
    if (mods & (B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY))
        return;
    std::vector<BView*> order;
    collect(window->kit_top_view(), &order);
    int32 count = (int32)order.size();
    int32 here = 0;
    for (int32 i = 0; i < count; i++) {
        if (order[i] == this)
            here = i;
    }
    int32 step = (mods & B_SHIFT_KEY) ? -1 : 1;
    for (int32 n = 1; n < count; n++) {
        BView* candidate = order[((here + step * n) % count + count) % count];
        if (takes_focus(candidate)) {
            candidate->MakeFocus(true);
            return;
        }
    }
}

bool BWindow::kit_menu_shortcut(const char* bytes, uint32 mods) {
    if (!(mods & B_COMMAND_KEY) || !bytes || !bytes[0] || bytes[1] || bytes[0] <= ' ' || !fTopView)
        return false;
    BMenuItem* item = find_shortcut(fTopView, bytes[0], mods);
    if (!item)
        return false;
    // A disabled item's key is still the menu's: it does nothing, rather
    // than reach the focus view as a plain key.
    if (item->IsEnabled()) {
        item->Menu()->kit_item_chosen(item);
        item->Invoke();
    }
    return true;
}
