// ebdteditview: the bitmap editor's canvas. It shows one glyph's bitmap of
// one strike magnified into a 300 x 300 square, with the glyph's outline
// and both sets of horizontal metrics over it; a click toggles the pixel
// under the pointer (a step of the canvas's own history) and 'Gset' writes
// the pixels back into EBDT in place. Toggled pixels not stored are a
// pending edit: choosing another glyph or strike asks about them first.
#ifndef TAVREL_EDITOR_EBDTEDITVIEW_H
#define TAVREL_EDITOR_EBDTEDITVIEW_H

#include "editor/canvas_history.h"
#include "editor/pending_question.h"
#include "font/pending_edit.h"

#include <View.h>

#include <string>

class bitmap;
class glyph;
class ttf_ebdt;

// Messages between the bitmap editor's palette and canvas.
const uint32 EBDT_CHANGE = 'Echg'; // palette -> canvas: "gno", "chr", "pt" (int16 each)
const uint32 EBDT_REPORT = 'Erep'; // canvas -> palette: the same fields, what it shows
const uint32 EBDT_SET = 'Gset';    // palette -> canvas: store the bitmap
const uint32 EBDT_SIZE = 'Msel';   // size menu item -> palette: "pt"
const uint32 EBDT_TEXT = 'Tchg';   // text control -> palette
const uint32 EBDT_BUTTON = 'Bhit'; // button -> palette

// Report bits of send2toolv.
const unsigned char EBDT_REPORT_GNO = 0x01, EBDT_REPORT_CHR = 0x02, EBDT_REPORT_PT = 0x04,
                    EBDT_REPORT_ALL = 0x0F;

// The editing square at the canvas's smallest size: the strike's em square
// fills it, its bottom edge is the baseline. A larger canvas has a larger
// square with the same top left corner (ebdteditview::square).
const BRect EBDT_SQUARE(100, 100, 399, 399);

class ebdteditview : public BView, public pending_edit, public stepping_canvas {
  public:
    ebdteditview(BRect frame, ttf_ebdt* owner);
    ~ebdteditview() override;

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void MessageReceived(BMessage* message) override;
    // The square grows and shrinks with the canvas.
    void FrameResized(float width, float height) override;

    // The editing square now: EBDT_SQUARE, made larger by as much as the
    // canvas's smaller side is larger than 512 pixels.
    BRect square() const { return fSquare; }

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

    // The font's image may have changed (an undo or redo): a canvas
    // without pixel edits of its own shows it as the font now holds it.
    void follow_font();

    // Pixels toggled and not stored.
    bool has_pending() const override;
    std::string pending_text() const override;
    // Stores the pixels as "set" does.
    bool store_pending(std::string* why) override;
    // Shows the image as the font holds it again.
    void discard_pending() override;

    // The canvas's steps for the Edit menu (canvas_steps.h).
    bool can_step(bool redo) const override;
    std::string step_name(bool redo) const override;
    bool step(bool redo) override;

    // The Edit menu's B_CUT, B_COPY and B_PASTE on the image shown
    // (ebdteditview_clipboard.cpp); they apply while there is one.
    bool clip_applies(uint32 what) const;
    void clip_command(uint32 what);

    // The text of the last refusal shown to the user, for whoever asks.
    std::string refusal;

  private:
    BRect fSquare = EBDT_SQUARE;

    // Replaces bmp by glyph gno's bitmap of strike pt, read from the font;
    // the canvas's steps start afresh.
    void load();
    // Stores the pixels into the font; false when it cannot, with the
    // reason in *why, or shown to the user when why is null. The canvas
    // keeps its pixels either way.
    bool store(std::string* why);
    // Carries out a choice of glyph, character or strike.
    void choose(const BMessage* message);
    // Puts a snapshot's pixels on the canvas.
    void show_state(const bitmap_state& state);
    bitmap_state state() const;
    void build_refglyph();
    // Everything drawn over the cells: the outline, its metric lines and
    // the bitmap's metric lines.
    void draw_overlays();
    // The view's pixels that can show the cell under `where`.
    BRect cell_area(BPoint where) const;
    // Keeps `why` as the refusal and shows it in an alert.
    void refuse(const std::string& why);

    bitmap_history steps;
    // The pixels as read from the font, to tell edits from them.
    bitmap_state stored;
    pending_guard guard;
};

// Lets the EBDT table make its palette and canvas (font/table_views.h).
void register_ebdt_views();

#endif
