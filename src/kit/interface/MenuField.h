// BMenuField: a label and a button showing a menu's title; a click pops
// the menu up under it.
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <View.h>

#include <string>

class BMenu;
class BMenuItem;
namespace kit {
class menu_layer;
class menu_root;
} // namespace kit

class BMenuField : public BView {
  public:
    // Takes ownership of `menu`.
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    // With fixedSize the field keeps its frame whatever its title.
    BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool fixedSize,
               uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
               uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
    ~BMenuField() override;

    BMenu* Menu() const { return fMenu; }
    const char* Label() const { return fLabel.c_str(); }
    void SetLabel(const char* label);
    void SetDivider(float position);
    float Divider() const { return fDivider; }
    void SetEnabled(bool enabled);
    bool IsEnabled() const { return fEnabled; }

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focus = true) override;

    // The title shown: the marked item's label or the menu's name.
    const char* kit_title() const;
    void kit_layer_gone();

  private:
    BRect _Button() const;
    void _Open();

    std::string fLabel;
    BMenu* fMenu;
    BMenuItem* fItem; // holds the menu, so that it knows where it opens from
    kit::menu_layer* fLayer = nullptr;
    kit::menu_root* fRoot;
    float fDivider;
    bool fEnabled = true;
};

#endif
