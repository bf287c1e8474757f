#include "MenuBar.h"

#include "kit_look.h"
#include "kit_menu_layer.h"

#include <MenuItem.h>
#include <Window.h>

#include <cmath>

namespace look = kit::look;

namespace {
const float kTitlePadding = 8;

// The menu bar's side of the menu layer.
class bar_root : public kit::menu_root {
  public:
    explicit bar_root(BMenuBar* bar) : fBar(bar) {}
    BView* menu_root_view() override { return fBar; }
    bool menu_root_pointer(BPoint windowWhere, bool click) override {
        BPoint local = windowWhere - fBar->kit_window_offset();
        if (!fBar->Bounds().Contains(local))
            return false;
        BMenuItem* item = fBar->kit_item_at(local);
        int32 index = fBar->IndexOf(item);
        if (!item) {
            return !click; // a click on the bar's empty part closes the menu
        }
        if (index == fBar->kit_highlighted()) {
            if (click)
                fBar->kit_layer()->close_all();
            return true;
        }
        if (item->Submenu())
            fBar->kit_open(index);
        else if (click)
            fBar->kit_layer()->choose(item);
        return true;
    }
    void menu_root_step(int32 direction) override {
        int32 count = fBar->CountItems();
        int32 index = fBar->kit_highlighted();
        for (int32 n = 0; n < count; n++) {
            index = (index + direction + count) % count;
            if (fBar->SubmenuAt(index) && fBar->ItemAt(index)->IsEnabled()) {
                fBar->kit_open(index);
                return;
            }
        }
    }
    void menu_root_closed() override { fBar->kit_highlight(-1); }
    void menu_root_layer_gone() override { fBar->kit_set_layer(nullptr); }

  private:
    BMenuBar* fBar;
};
} // namespace

BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode, menu_layout layout,
                   bool resizeToFit)
    : BMenu(name, layout), fResizeToFit(resizeToFit) {
    MoveTo(frame.LeftTop());
    ResizeTo(frame.Width(), frame.Height());
    SetResizingMode(resizingMode);
    SetViewColor(look::panel);
}

BMenuBar::~BMenuBar() {
    if (fLayer) {
        fLayer->forget_root();
        // A layer still in the window goes with the window's views.
        if (!fLayer->Parent())
            delete fLayer;
    }
    delete fRoot;
}

void BMenuBar::AttachedToWindow() {
    if (fResizeToFit) {
        font_height fh;
        GetFontHeight(&fh);
        float height = std::ceil(fh.ascent) + std::ceil(fh.descent) + 5;
        float width = Frame().Width();
        if ((ResizingMode() & 0x0f0f) == (B_FOLLOW_LEFT_RIGHT & 0x0f0f) && Parent())
            width = Parent()->Bounds().Width() - Frame().left;
        ResizeTo(width, height);
    }
    kit_layout_items();
}

void BMenuBar::DetachedFromWindow() {
    kit_highlight(-1);
}

void BMenuBar::kit_layout_items() {
    BRect b = Bounds();
    float x = b.left + 2;
    for (BMenuItem* item : fItems) {
        float w = std::ceil(StringWidth(item->Label())) + 2 * kTitlePadding;
        item->kit_set_frame(BRect(x, b.top + 1, x + w - 1, b.bottom - 1));
        x += w;
    }
}

void BMenuBar::Draw(BRect) {
    kit_layout_items();
    BRect b = Bounds();
    SetHighColor(look::panel);
    FillRect(b);
    SetHighColor(look::light);
    StrokeLine(b.LeftTop(), b.RightTop());
    SetHighColor(look::shadow);
    StrokeLine(b.LeftBottom(), b.RightBottom());
    for (int32 i = 0; i < CountItems(); i++) {
        BMenuItem* item = fItems[i];
        BRect f = item->Frame();
        if (i == fHighlighted) {
            SetHighColor(look::menu_selected);
            FillRect(f);
        }
        look::label(this, item->Label(), f, B_ALIGN_CENTER, item->IsEnabled());
    }
}

void BMenuBar::kit_open(int32 index) {
    BMenuItem* item = ItemAt(index);
    if (!item || !item->Submenu() || !item->IsEnabled() || !Window())
        return;
    if (!fLayer || !fLayer->Parent())
        Window()->MenusBeginning();
    // The window may have changed the bar's items.
    item = ItemAt(index);
    if (!item || !item->Submenu() || !item->IsEnabled())
        return;
    if (!fRoot)
        fRoot = new bar_root(this);
    if (!fLayer)
        fLayer = new kit::menu_layer(fRoot);
    kit_highlight(index);
    BPoint where = kit_window_offset() + BPoint(item->Frame().left, Bounds().bottom + 1);
    fLayer->open(item->Submenu(), where, 0, 0);
}

void BMenuBar::MouseDown(BPoint where) {
    BMenuItem* item = kit_item_at(where);
    if (!item || !item->IsEnabled())
        return;
    if (item->Submenu()) {
        kit_open(IndexOf(item));
    } else {
        kit_item_chosen(item);
        item->Invoke();
    }
}
