#include "Menu.h"

#include "kit_look.h"
#include "kit_menu_layer.h"

#include <MenuBar.h>
#include <MenuItem.h>
#include <Messenger.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace look = kit::look;

namespace {
const float kMarkColumn = 20;
const float kRightMargin = 14;
const float kSubmenuColumn = 12;
// Between an item's label and its shortcut, which is drawn flush right.
const float kShortcutGap = 24;
const float kSeparatorHeight = 8;
const rgb_color kMenuFace = {232, 232, 232, 255};
} // namespace

BMenu::BMenu(const char* name, menu_layout layout)
    : BView(BRect(0, 0, 10, 10), name, B_FOLLOW_NONE, B_WILL_DRAW), fLayout(layout) {
    SetFont(be_plain_font);
    SetViewColor(kMenuFace);
}

BMenu::~BMenu() {
    for (BMenuItem* item : fItems)
        delete item;
}

bool BMenu::AddItem(BMenuItem* item) {
    return AddItem(item, CountItems());
}

bool BMenu::AddItem(BMenuItem* item, int32 index) {
    if (!item || item->Menu() || index < 0 || index > CountItems())
        return false;
    fItems.insert(fItems.begin() + index, item);
    item->kit_set_menu(this);
    if (item->IsMarked())
        kit_item_marked(item);
    Invalidate();
    return true;
}

bool BMenu::AddItem(BMenu* submenu) {
    if (!submenu)
        return false;
    BMenuItem* item = new BMenuItem(submenu);
    if (!AddItem(item)) {
        delete item;
        return false;
    }
    return true;
}

bool BMenu::AddSeparatorItem() {
    return AddItem(new BSeparatorItem());
}

BMenuItem* BMenu::RemoveItem(int32 index) {
    if (index < 0 || index >= CountItems())
        return nullptr;
    BMenuItem* item = fItems[index];
    fItems.erase(fItems.begin() + index);
    item->kit_set_menu(nullptr);
    if (fHighlighted >= CountItems())
        fHighlighted = -1;
    Invalidate();
    return item;
}

bool BMenu::RemoveItem(BMenuItem* item) {
    return RemoveItem(IndexOf(item)) != nullptr;
}

BMenuItem* BMenu::ItemAt(int32 index) const {
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[index];
}

BMenu* BMenu::SubmenuAt(int32 index) const {
    BMenuItem* item = ItemAt(index);
    return item ? item->Submenu() : nullptr;
}

int32 BMenu::IndexOf(const BMenuItem* item) const {
    auto it = std::find(fItems.begin(), fItems.end(), item);
    return it == fItems.end() ? -1 : (int32)(it - fItems.begin());
}

BMenuItem* BMenu::FindItem(const char* label) const {
    if (!label)
        return nullptr;
    for (BMenuItem* item : fItems) {
        if (std::strcmp(item->Label(), label) == 0)
            return item;
        if (item->Submenu()) {
            if (BMenuItem* found = item->Submenu()->FindItem(label))
                return found;
        }
    }
    return nullptr;
}

BMenuItem* BMenu::FindMarked() const {
    for (BMenuItem* item : fItems) {
        if (item->IsMarked())
            return item;
    }
    return nullptr;
}

void BMenu::SetRadioMode(bool on) {
    fRadioMode = on;
}

void BMenu::SetLabelFromMarked(bool on) {
    fLabelFromMarked = on;
    if (on)
        fRadioMode = true;
    if (BMenuItem* marked = FindMarked())
        kit_item_marked(marked);
}

status_t BMenu::SetTargetForItems(BHandler* target) {
    status_t result = B_OK;
    for (BMenuItem* item : fItems) {
        status_t status = item->SetTarget(target);
        if (status != B_OK)
            result = status;
    }
    return result;
}

status_t BMenu::SetTargetForItems(BMessenger messenger) {
    for (BMenuItem* item : fItems)
        item->SetTarget(messenger);
    return B_OK;
}

void BMenu::SetEnabled(bool enabled) {
    fEnabled = enabled;
    Invalidate();
    if (BView* root = kit_root_view())
        root->Invalidate();
}

BMenu* BMenu::Supermenu() const {
    return fSuperitem ? fSuperitem->Menu() : nullptr;
}

BView* BMenu::kit_root_view() const {
    const BMenu* top = this;
    while (top->Supermenu())
        top = top->Supermenu();
    if (dynamic_cast<const BMenuBar*>(top))
        return const_cast<BMenu*>(top);
    return top->fRootView;
}

void BMenu::kit_item_marked(BMenuItem* item) {
    if (fRadioMode) {
        for (BMenuItem* other : fItems) {
            if (other != item && other->IsMarked())
                other->SetMarked(false);
        }
    }
    if (fLabelFromMarked && fSuperitem && item && item->IsMarked())
        fSuperitem->SetLabel(item->Label());
}

void BMenu::kit_item_chosen(BMenuItem* item) {
    if (fRadioMode && item && !item->IsMarked())
        item->SetMarked(true);
}

float BMenu::kit_item_height() {
    font_height fh;
    GetFontHeight(&fh);
    return std::ceil(fh.ascent) + std::ceil(fh.descent) + 6;
}

BRect BMenu::kit_preferred_bounds() {
    float height = 4, width = 0, shortcuts = 0;
    bool submenus = false;
    for (BMenuItem* item : fItems) {
        height += item->kit_is_separator() ? kSeparatorHeight : kit_item_height();
        width = std::max(width, std::ceil(StringWidth(item->Label())));
        std::string keys = item->kit_shortcut_text();
        if (!keys.empty())
            shortcuts = std::max(shortcuts, std::ceil(StringWidth(keys.c_str())) + kShortcutGap);
        submenus = submenus || item->Submenu();
    }
    width += shortcuts + kMarkColumn + kRightMargin + (submenus ? kSubmenuColumn : 0);
    return BRect(0, 0, width + 3, height - 1);
}

void BMenu::kit_layout_items() {
    BRect b = Bounds();
    float y = b.top + 2;
    for (BMenuItem* item : fItems) {
        float h = item->kit_is_separator() ? kSeparatorHeight : kit_item_height();
        item->kit_set_frame(BRect(b.left + 2, y, b.right - 2, y + h - 1));
        y += h;
    }
}

BMenuItem* BMenu::kit_item_at(BPoint where) const {
    for (BMenuItem* item : fItems) {
        if (item->Frame().Contains(where))
            return item;
    }
    return nullptr;
}

void BMenu::kit_highlight(int32 index) {
    if (index == fHighlighted)
        return;
    fHighlighted = index;
    Invalidate();
}

void BMenu::Draw(BRect) {
    BRect b = Bounds();
    SetHighColor(kMenuFace);
    FillRect(b);
    SetHighColor(look::dark);
    StrokeRect(b);
    SetHighColor(look::light);
    StrokeLine(BPoint(b.left + 1, b.bottom - 1), BPoint(b.left + 1, b.top + 1));
    StrokeLine(BPoint(b.left + 1, b.top + 1), BPoint(b.right - 1, b.top + 1));
    SetHighColor(look::shadow);
    StrokeLine(BPoint(b.right - 1, b.top + 2), BPoint(b.right - 1, b.bottom - 1));
    StrokeLine(BPoint(b.right - 1, b.bottom - 1), BPoint(b.left + 2, b.bottom - 1));
    for (int32 i = 0; i < CountItems(); i++) {
        BMenuItem* item = fItems[i];
        BRect f = item->Frame();
        if (item->kit_is_separator()) {
            float y = std::floor((f.top + f.bottom) / 2);
            SetHighColor(look::shadow);
            StrokeLine(BPoint(f.left + 2, y), BPoint(f.right - 2, y));
            SetHighColor(look::light);
            StrokeLine(BPoint(f.left + 2, y + 1), BPoint(f.right - 2, y + 1));
            continue;
        }
        bool enabled = item->IsEnabled();
        if (i == fHighlighted && enabled) {
            SetHighColor(look::menu_selected);
            FillRect(f);
        }
        if (item->IsMarked()) {
            // A check mark in the left column.
            float cy = std::floor((f.top + f.bottom) / 2);
            SetHighColor(enabled ? look::black : look::disabled_text);
            SetPenSize(2);
            StrokeLine(BPoint(f.left + 5, cy), BPoint(f.left + 8, cy + 3));
            StrokeLine(BPoint(f.left + 8, cy + 3), BPoint(f.left + 14, cy - 4));
            SetPenSize(1);
        }
        BRect text = f;
        text.left += kMarkColumn - 2;
        look::label(this, item->Label(), text, B_ALIGN_LEFT, enabled);
        std::string keys = item->kit_shortcut_text();
        if (!keys.empty()) {
            BRect right = f;
            right.right -= kRightMargin / 2;
            look::label(this, keys.c_str(), right, B_ALIGN_RIGHT, enabled);
        }
        if (item->Submenu()) {
            BRect arrow(f.right - 11, f.top + 3, f.right - 3, f.bottom - 3);
            look::arrow(this, arrow, look::right, enabled ? look::black : look::disabled_text);
        }
    }
}

void BMenu::MouseDown(BPoint where) {
    fPressed = true;
    BMenuItem* item = kit_item_at(where);
    kit_highlight(item && item->IsEnabled() && !item->kit_is_separator() ? IndexOf(item) : -1);
    if (item && item->Submenu() && fLayer)
        fLayer->open_submenu(item);
}

void BMenu::MouseMoved(BPoint where, uint32, const BMessage*) {
    if (!fLayer || fLayer->depth_of(this) < 0)
        return;
    BMenuItem* item = kit_item_at(where);
    if (!item || !item->IsEnabled() || item->kit_is_separator()) {
        // Keep the item whose submenu is open lit.
        if (fLayer->depth_of(this) == fLayer->open_count() - 1)
            kit_highlight(-1);
        return;
    }
    kit_highlight(IndexOf(item));
    if (item->Submenu())
        fLayer->open_submenu(item);
}

void BMenu::MouseUp(BPoint where) {
    fPressed = false;
    BMenuItem* item = kit_item_at(where);
    if (fLayer && fLayer->depth_of(this) >= 0 && item && !item->Submenu())
        fLayer->choose(item);
}
