#include "MenuField.h"

#include "kit_look.h"
#include "kit_menu_layer.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace look = kit::look;

namespace {
// The menu field's side of the menu layer.
class field_root : public kit::menu_root {
  public:
    explicit field_root(BMenuField* field) : fField(field) {}
    BView* menu_root_view() override { return fField; }
    bool menu_root_pointer(BPoint, bool) override { return false; }
    void menu_root_step(int32) override {}
    void menu_root_closed() override { fField->Invalidate(); }
    void menu_root_layer_gone() override { fField->kit_layer_gone(); }

  private:
    BMenuField* fField;
};
} // namespace

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BMenuField(frame, name, label, menu, false, resizingMode, flags) {}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), fLabel(label ? label : ""), fMenu(menu) {
    SetFont(look::control_font());
    fItem = new BMenuItem(fMenu);
    if (fMenu)
        fMenu->kit_set_root_view(this);
    fDivider = fLabel.empty() ? 0 : std::ceil(StringWidth(fLabel.c_str())) + 5;
    fRoot = new field_root(this);
}

BMenuField::~BMenuField() {
    if (fLayer) {
        fLayer->forget_root();
        if (!fLayer->Parent())
            delete fLayer;
    }
    delete fRoot;
    delete fItem; // and the menu with it
}

void BMenuField::kit_layer_gone() {
    fLayer = nullptr;
}

void BMenuField::SetLabel(const char* label) {
    fLabel = label ? label : "";
    Invalidate();
}

void BMenuField::SetDivider(float position) {
    fDivider = std::clamp(std::floor(position), 0.0f, Bounds().Width());
    Invalidate();
}

void BMenuField::SetEnabled(bool enabled) {
    fEnabled = enabled;
    Invalidate();
}

void BMenuField::AttachedToWindow() {
    if (Parent()) {
        SetViewColor(Parent()->ViewColor());
        SetLowColor(Parent()->ViewColor());
    }
}

const char* BMenuField::kit_title() const {
    if (!fMenu)
        return "";
    if (fMenu->IsLabelFromMarked()) {
        if (BMenuItem* marked = fMenu->FindMarked())
            return marked->Label();
    }
    return fMenu->Name();
}

BRect BMenuField::_Button() const {
    BRect b = Bounds();
    b.left += fDivider;
    return b;
}

void BMenuField::Draw(BRect) {
    BRect b = Bounds();
    bool enabled = fEnabled && fMenu && fMenu->IsEnabled();
    if (fDivider > 0)
        look::label(this, fLabel.c_str(), BRect(b.left, b.top, fDivider - 1, b.bottom),
                    B_ALIGN_LEFT, enabled);
    BRect button = _Button();
    bool open = fLayer && fLayer->Parent();
    look::bevel(this, button, open ? look::menu_selected : look::panel, open);
    BRect arrow(button.right - 10, button.top + 4, button.right - 3, button.bottom - 4);
    look::arrow(this, arrow, look::down, enabled ? look::black : look::disabled_text);
    BRect text = button;
    text.left += 5;
    text.right = arrow.left - 2;
    look::label(this, kit_title(), text, B_ALIGN_LEFT, enabled);
    if (IsFocus()) {
        float baseline = look::centred_baseline(this, text);
        look::focus_underline(this, text.left,
                              std::min(text.right, text.left + StringWidth(kit_title())),
                              std::min(baseline, button.bottom - 4));
    }
}

void BMenuField::_Open() {
    if (!fMenu || !fEnabled || !fMenu->IsEnabled() || !Window())
        return;
    if (!fLayer)
        fLayer = new kit::menu_layer(fRoot);
    BRect button = _Button();
    BPoint where = kit_window_offset() + BPoint(button.left, button.bottom + 1);
    fLayer->open(fMenu, where, button.Width() + 1, 0);
    // Start on the marked item so that the keyboard works from there.
    if (BMenuItem* marked = fMenu->FindMarked())
        fMenu->kit_highlight(fMenu->IndexOf(marked));
    Invalidate();
}

void BMenuField::MouseDown(BPoint where) {
    if (_Button().Contains(where))
        _Open();
}

void BMenuField::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER || bytes[0] == B_DOWN_ARROW)) {
        _Open();
        return;
    }
    BView::KeyDown(bytes, numBytes);
}

void BMenuField::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
    Invalidate();
}
