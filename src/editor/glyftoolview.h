// glyftoolview: the outline editor's palette, the narrow amber column at
// the left of the glyf table view. It shows what the edit view reports
// (glyph, character, components, zoom, tool) and sends it requests.
#ifndef TAVREL_EDITOR_GLYFTOOLVIEW_H
#define TAVREL_EDITOR_GLYFTOOLVIEW_H

#include <View.h>

class ttf_glyf;

class glyftoolview : public BView {
  public:
    glyftoolview(BRect frame, ttf_glyf* owner);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;

    ttf_glyf* glyf;
    int8 tool = 0;
    uint8 psize = 0;
    float scale = 1.0f;
    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    uint8 ncompo = 0;
    uint16 compos[16] = {};
    bool empty = true;
    bool composite = false;
};

#endif
