// ebdteditview: the bitmap editor's canvas. It shows one glyph's bitmap of
// one strike magnified into a 300 x 300 square, with the glyph's outline
// and both sets of horizontal metrics over it; a click toggles the pixel
// under the pointer and 'Gset' writes the pixels back into EBDT in place.
#ifndef TAVREL_EDITOR_EBDTEDITVIEW_H
#define TAVREL_EDITOR_EBDTEDITVIEW_H

#include <View.h>

class bitmap;
class glyph;
class ttf_ebdt;

// Messages between the bitmap editor's palette and canvas.
const uint32 EBDT_CHANGE = 'Vchg'; // "gno", "chr", "pt" (int16 each), both ways
const uint32 EBDT_SET = 'Gset';    // palette -> canvas: store the bitmap
const uint32 EBDT_SIZE = 'Msel';   // size menu item -> palette: "pt"
const uint32 EBDT_TEXT = 'Tchg';   // text control -> palette
const uint32 EBDT_BUTTON = 'Bhit'; // button -> palette

// Report bits of send2toolv.
const unsigned char EBDT_REPORT_GNO = 0x01, EBDT_REPORT_CHR = 0x02, EBDT_REPORT_PT = 0x04,
                    EBDT_REPORT_ALL = 0x0F;

// The editing square: the strike's em square fills it, its bottom edge is
// the baseline.
const BRect EBDT_SQUARE(100, 100, 399, 399);

class ebdteditview : public BView {
  public:
    ebdteditview(BRect frame, ttf_ebdt* owner);
    ~ebdteditview() override;

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;

    // Bit 4 redraws the whole view at once; other bits do nothing here.
    void redraw(char what);
    // Tells the palette the fields selected by `bits`.
    void send2toolv(unsigned char bits);

    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    // The strike: ppemX in the high byte, ppemY in the low one.
    uint16 pt = 0;
    bitmap* bmp = nullptr;
    ttf_ebdt* ebdt;
    // The glyph's outline on the square, built by the first Draw after a
    // glyph change.
    glyph* refglyph = nullptr;

    // Reads the shown glyph's image from the font again and shows it.
    void reload();

  private:
    // Replaces bmp by glyph gno's bitmap of strike pt, read from the font.
    void load();
    void build_refglyph();
    // Everything drawn over the cells: the outline, its metric lines and
    // the bitmap's metric lines.
    void draw_overlays();
    // The view's pixels that can show the cell under `where`.
    BRect cell_area(BPoint where) const;
};

// Lets the EBDT table make its palette and canvas (font/table_views.h).
void register_ebdt_views();

#endif
