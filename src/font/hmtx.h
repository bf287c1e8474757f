// ttf_hmtx: the horizontal metrics ("hmtx").
//
// With n = hhea numberOfHMetrics and N = maxp numGlyphs:
//   0 .. 4n-1        n entries {u16 advanceWidth, i16 lsb}
//   4n .. 4n+2(N-n)  N-n i16 left side bearings of glyphs n .. N-1, which
//                    share the advance width of entry n-1
#ifndef TAVREL_FONT_HMTX_H
#define TAVREL_FONT_HMTX_H

#include "font/ttf_table.h"

#include <string>

class BButton;
class BSlider;
class BTextControl;
class glyph;

class ttf_hmtx : public ttf_table {
  public:
    ttf_hmtx(ttf* owner, unsigned char* data, unsigned long length);
    ~ttf_hmtx() override;

    void create_default();
    // Both return 0, or 1 when glyph g has no metrics: g not below numGlyphs,
    // no full entry at all (numberOfHMetrics 0) or a table too short to hold
    // the glyph's bytes. Nothing is read or written then.
    int get_mtx(unsigned short g, unsigned short* aw, short* lsb);
    int set_mtx(unsigned short g, unsigned short aw, short lsb);

    // The metrics editor (hmtx_view.cpp): a preview of glyph "st" with the
    // side bearing (green) and advance width (cyan) lines, two sliders that
    // move them, and "set", which applies "width" and "lsb" to the glyphs
    // "st" ... "ed".
    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;

    BTextControl* stctl = nullptr;
    BTextControl* edctl = nullptr;
    BTextControl* widthctl = nullptr;
    BTextControl* lsbctl = nullptr;
    BSlider* left = nullptr;
    BSlider* right = nullptr;
    BButton* setbtn = nullptr;
    // Glyph shown in the preview; 0xFFFF = none.
    unsigned short previewgno = 0xFFFF;
    // The preview glyph, in view coordinates; null until drawn.
    glyph* preview = nullptr;
    // Why the last request did not do all it was asked; shown to the user.
    std::string notice;

  private:
    void build_preview(unsigned upem);
    void apply_range();
};

#endif
