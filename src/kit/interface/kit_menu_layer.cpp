#include "kit_menu_layer.h"

#include "kit/interface/kit_window_access.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Window.h>

#include <algorithm>

namespace kit {

menu_layer::menu_layer(menu_root* root)
    : BView(BRect(0, 0, 0, 0), "_menu_layer_", B_FOLLOW_ALL, 0), fRoot(root) {
    SetViewColor(B_TRANSPARENT_COLOR);
}

menu_layer::~menu_layer() {
    // Open menus belong to their items, not to the layer.
    while (CountChildren() > 0)
        RemoveChild(ChildAt(CountChildren() - 1));
    if (fRoot)
        fRoot->menu_root_layer_gone();
}

int32 menu_layer::depth_of(const BMenu* menu) const {
    for (int32 i = 0; i < CountChildren(); i++) {
        if (ChildAt(i) == menu)
            return i;
    }
    return -1;
}

BMenu* menu_layer::menu_at(int32 depth) const {
    return dynamic_cast<BMenu*>(ChildAt(depth));
}

void menu_layer::_CloseAbove(int32 depth) {
    while (CountChildren() > depth) {
        BMenu* menu = menu_at(CountChildren() - 1);
        RemoveChild(ChildAt(CountChildren() - 1));
        if (menu) {
            menu->kit_highlight(-1);
            menu->kit_set_layer(nullptr);
        }
    }
}

void menu_layer::open(BMenu* menu, BPoint where, float minWidth, int32 depth) {
    BView* rootView = fRoot ? fRoot->menu_root_view() : nullptr;
    BWindow* window = rootView ? rootView->Window() : nullptr;
    if (!window || !menu || menu->Parent())
        return;
    _CloseAbove(depth);
    if (!Parent()) {
        BRect bounds = window->Bounds();
        MoveTo(0, 0);
        ResizeTo(bounds.Width(), bounds.Height());
        fPreviousFocus = window->CurrentFocus();
        window->AddChild(this);
        MakeFocus(true);
    }
    BRect size = menu->kit_preferred_bounds();
    float width = std::max(size.Width(), minWidth);
    float height = size.Height();
    // Keep the menu inside the window; move it rather than cut it.
    BRect bounds = Bounds();
    where.x = std::max(0.0f, std::min(where.x, bounds.right - width));
    where.y = std::max(0.0f, std::min(where.y, bounds.bottom - height));
    menu->MoveTo(where);
    menu->ResizeTo(width, height);
    menu->kit_layout_items();
    menu->kit_set_layer(this);
    menu->kit_highlight(-1);
    AddChild(menu);
}

void menu_layer::open_submenu(BMenuItem* item) {
    BMenu* parent = item ? item->Menu() : nullptr;
    int32 depth = depth_of(parent);
    if (!item->Submenu() || depth < 0)
        return;
    if (menu_at(depth + 1) == item->Submenu())
        return;
    BRect frame = item->Frame();
    BPoint where = parent->ConvertToParent(BPoint(frame.right + 1, frame.top - 2));
    open(item->Submenu(), where, 0, depth + 1);
}

void menu_layer::_RestoreFocus() {
    BWindow* window = Window();
    BView* previous = fPreviousFocus;
    fPreviousFocus = nullptr;
    // The view that had the focus may have left the window meanwhile.
    if (window && previous && window_access::top_view(window)->kit_contains(previous) &&
        previous != this)
        previous->MakeFocus(true);
    else if (IsFocus())
        MakeFocus(false);
}

void menu_layer::close_all() {
    _CloseAbove(0);
    if (Parent()) {
        _RestoreFocus();
        RemoveSelf();
    }
    if (fRoot)
        fRoot->menu_root_closed();
}

void menu_layer::choose(BMenuItem* item) {
    if (!item || !item->IsEnabled() || item->kit_is_separator())
        return;
    if (item->Submenu()) {
        open_submenu(item);
        return;
    }
    BMenu* menu = item->Menu();
    close_all();
    if (menu)
        menu->kit_item_chosen(item);
    item->Invoke();
}

void menu_layer::DetachedFromWindow() {
    // The window is going (or the layer was taken out): the menus go back
    // to their items.
    while (CountChildren() > 0)
        RemoveChild(ChildAt(CountChildren() - 1));
}

void menu_layer::MouseDown(BPoint where) {
    // Outside every open menu (they are children, on top of the layer).
    if (fRoot && fRoot->menu_root_pointer(where, true))
        return;
    close_all();
}

void menu_layer::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (fRoot && CountChildren() > 0)
        fRoot->menu_root_pointer(where, false);
}

void menu_layer::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes < 1)
        return;
    BMenu* menu = menu_at(CountChildren() - 1);
    switch (bytes[0]) {
    case B_ESCAPE:
        close_all();
        return;
    case B_UP_ARROW:
    case B_DOWN_ARROW: {
        if (!menu || menu->CountItems() == 0)
            return;
        int32 step = bytes[0] == B_UP_ARROW ? -1 : 1;
        int32 count = menu->CountItems();
        int32 index = menu->kit_highlighted();
        for (int32 n = 0; n < count; n++) {
            index = index < 0 ? (step > 0 ? 0 : count - 1) : (index + step + count) % count;
            BMenuItem* item = menu->ItemAt(index);
            if (item->IsEnabled() && !item->kit_is_separator()) {
                menu->kit_highlight(index);
                return;
            }
        }
        return;
    }
    case B_LEFT_ARROW:
        if (CountChildren() > 1)
            _CloseAbove(CountChildren() - 1);
        else if (fRoot)
            fRoot->menu_root_step(-1);
        return;
    case B_RIGHT_ARROW: {
        BMenuItem* item = menu ? menu->ItemAt(menu->kit_highlighted()) : nullptr;
        if (item && item->Submenu())
            open_submenu(item);
        else if (fRoot)
            fRoot->menu_root_step(1);
        return;
    }
    case B_ENTER:
    case B_SPACE:
        if (menu)
            choose(menu->ItemAt(menu->kit_highlighted()));
        return;
    default:
        return;
    }
}

} // namespace kit
