// glyfeditview: the outline editor's drawing surface. It maps the font's
// bounding box onto a zoomable canvas (font units shifted to (0, 0) and
// flipped so y grows downwards) and shows the glyph being edited on it.
#ifndef TAVREL_EDITOR_GLYFEDITVIEW_H
#define TAVREL_EDITOR_GLYFEDITVIEW_H

#include <View.h>

#include <cstdint>

class ttf_glyf;

// Messages of the edit view and its palette.
const uint32 GLYF_INIT = 'init';   // "bounds" (BRect): the canvas of a new font
const uint32 GLYF_REPORT = 'Vchg'; // editor -> palette: what changed

// Report bits of send2toolv.
const unsigned char REPORT_GNO = 0x01, REPORT_CHR = 0x02, REPORT_COMPO = 0x04, REPORT_EMPTY = 0x08,
                    REPORT_SCALE = 0x10, REPORT_MODE = 0x80, REPORT_ALL = 0xFF;

class glyfeditview : public BView {
  public:
    glyfeditview(BRect frame, ttf_glyf* owner);

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MessageReceived(BMessage* message) override;

    // Back to the pick tool with nothing selected, the fitting zoom and a
    // full report to the palette.
    void init();
    float getscale() const { return scale; }
    // Sets the zoom (view pixels per canvas unit); 0 chooses the zoom at
    // which the font's box fits 512 pixels across.
    void chgscale(float s);
    // Tells the palette the fields selected by `bits`.
    void send2toolv(unsigned char bits);

    // The zoom at which a box `width` font units wide fits 512 pixels,
    // stepping down from 4.0 by 0.05 in single precision as the palette's
    // zoom buttons do, so both land on the same values.
    static float fitscale(float width);

    bool rubber = false;
    BRect rubberrect{0, 0, -1, -1};
    int8 tool = 0;
    bool btnheld = false;
    BPoint dragstart;
    BPoint lastpos;
    uint8 keyflag = 0;
    bool firstmove = true;
    int32 selstate = 0;
    float scale = 1.0f;
    ttf_glyf* glyf;
    uint16 gno = 0xFFFF;
    uint16 chr = 0xFFFF;
    uint8 psize = 0;

  private:
    bool shown_in_window() const;
};

// Lets the glyf table make its palette and edit view (font/table_views.h).
void register_glyf_views();

#endif
