// glyftoolview: the outline editor's palette, the narrow amber column at
// the left of the glyf table view. It shows what the edit view reports
// (glyph, character, components, zoom, tool, a notice) and sends it the
// user's requests: choose a glyph, pick a tool and pen size, zoom, clear or
// store the glyph, build a composite from components.
#ifndef TAVREL_EDITOR_GLYFTOOLVIEW_H
#define TAVREL_EDITOR_GLYFTOOLVIEW_H

#include <View.h>

#include <string>
#include <vector>

class BBitmap;
class BButton;
class BListView;
class BTextControl;
class ttf_glyf;

// Messages of the palette's own controls.
const uint32 GLYF_TOOL_TEXT = 'Tchg';      // a text control was committed
const uint32 GLYF_TOOL_BUTTON = 'Bhit';    // a button was pressed
const uint32 GLYF_TOOL_COMPONENT = 'Csho'; // a component was double-clicked: show it

class glyftoolview : public BView {
  public:
    glyftoolview(BRect frame, ttf_glyf* owner);
    ~glyftoolview() override;

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;

    // Rebuilds the background image, the controls and their texts from the
    // fields below, then draws.
    void redraw();

    BTextControl* gnoctl = nullptr;
    BTextControl* chrctl = nullptr;
    BButton* modebtn = nullptr;
    BButton* setbtn = nullptr;
    BListView* compolist = nullptr;
    BTextControl* subctl = nullptr;
    BButton* addbtn = nullptr;
    BButton* delbtn = nullptr;
    ttf_glyf* glyf;
    BBitmap* icons = nullptr;
    int8 tool = 0;
    uint8 psize = 0;
    float scale = 1.0f;
    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    // The glyph numbers of the shown glyph's components, in order; as many
    // as the glyph holds.
    std::vector<uint16> compos;
    bool empty = true;
    bool composite = false;
    // The edit view's short remark about the shown glyph, or empty.
    std::string notice;

  private:
    void send(BMessage* message);
    void send(uint32 what);
    // The hexadecimal number in a text control, or `fallback` when there
    // is none; false (and an alert) when it does not fit 16 bits.
    bool read_number(BTextControl* control, uint16 fallback, uint16* value);
    void show_components(bool show);
    void draw_notice();
};

#endif
