#include "editor/glyfeditview.h"

#include "editor/canvas_steps.h"
#include "editor/editor_views.h"

#include "editor/editor_window.h"
#include "editor/globals.h"
#include "editor/glyftoolview.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/table_views.h"
#include "font/ttf.h"
#include "outline/glyph.h"

#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

glyfeditview::glyfeditview(BRect frame, ttf_glyf* owner)
    : BView(frame, "canvas", B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS), glyf(owner) {
    // Nothing shared is touched here: a new font's tables, this view with
    // them, are built on the application's thread while the window's
    // thread edits the glyph of the font on screen. The glyph and the
    // canvas belong to the window's thread, which replaces both on the
    // new font's GLYF_INIT.
}

void glyfeditview::AttachedToWindow() {
    // Attached in the window's thread (or with the window locked): the
    // first editor makes the empty glyph the others then replace.
    if (!curglyph)
        curglyph = new glyph(0xFFFF);
    init();
    SetHighColor(255, 255, 255);
    SetViewColor(50, 50, 50);
    SetLowColor(0, 0, 0);
    SetFont(be_bold_font, B_FONT_ALL);
    SetPenSize(0);
    MakeFocus(true);
}

void glyfeditview::init() {
    rubber = false;
    selstate = 0;
    tool = 0;
    chgscale(0);
    send2toolv(REPORT_ALL);
}

float glyfeditview::fitscale(float width, float room) {
    float s = 4.0f;
    while (width * s > room) {
        float next = (float)((double)s - 0.05);
        // Boxes wider than 10,240 units would step past zero.
        if (next <= 0)
            break;
        s = next;
    }
    return s;
}

float glyfeditview::fitroom() const {
    BRect f = Frame();
    return std::max(512.0f, std::min(f.Width(), f.Height()) + 1);
}

float glyfeditview::boxside() const {
    BRect box = glyf && glyf->owner ? glyf->owner->bounds() : BRect(0, 0, 0, 0);
    float across = box.right - box.left;
    float down = box.bottom - box.top;
    return across > down ? across : down;
}

void glyfeditview::FrameResized(float, float) {
    const float room = fitroom();
    if (room == fittedroom)
        return;
    // Only a canvas at the zoom that fitted the old size follows.
    const bool fitted = scale == fitscale(boxside(), fittedroom);
    fittedroom = room;
    if (fitted)
        chgscale(0);
}

void glyfeditview::chgscale(float s) {
    // Nothing can be drawn at a zoom that is not a positive number.
    if (!std::isfinite(s) || s < 0)
        return;
    if (s == 0) {
        fittedroom = fitroom();
        s = fitscale(boxside(), fittedroom);
    }
    scale = s;
    SetScale(s);
    MoveTo(50, 0);
    editor_window* host = Window() ? dynamic_cast<editor_window*>(Window()) : nullptr;
    if (host && shown_in_window(this)) {
        float w = (canvas.right - canvas.left + 1) * s;
        float h = (canvas.bottom - canvas.top + 1) * s;
        if ((w == 0 || h == 0) && host->target) {
            BRect b = host->target->Bounds();
            w = b.Width() + 1;
            h = b.Height() + 1;
        }
        host->datawidth = w;
        host->dataheight = h;
        host->updatescrollbar();
    }
    send2toolv(REPORT_SCALE);
    Invalidate();
}

void glyfeditview::send2toolv(unsigned char bits) {
    if (!glyf || !glyf->toolview)
        return;
    BMessage report(GLYF_REPORT);
    if (bits & REPORT_GNO)
        report.AddInt16("gno", (int16)gno);
    if (bits & REPORT_CHR)
        report.AddInt16("chr", (int16)chr);
    if ((bits & REPORT_COMPO) && curglyph)
        for (int32 k = 0; k < curglyph->ncompo; k++)
            report.AddInt16("compo", (int16)(curglyph->compo[k] ? curglyph->compo[k]->index : 0));
    if (bits & REPORT_EMPTY)
        report.AddBool("empty", !curglyph || (curglyph->count == 0 && curglyph->ncompo == 0));
    if (bits & REPORT_SCALE)
        report.AddFloat("scale", scale);
    if (bits & REPORT_NOTICE)
        report.AddString("notice", notice.c_str());
    if (bits & REPORT_MODE)
        report.AddInt8("mode", tool);
    // The palette lives in the same window: the report is queued behind
    // the message being handled rather than sent and waited for.
    BMessenger(glyf->toolview).SendMessage(&report);
}

namespace {

void fit_glyf_view(ttf_glyf* table) {
    if (glyfeditview* edit = dynamic_cast<glyfeditview*>(table->editview))
        edit->chgscale(0);
}

void follow_glyf(ttf_glyf* table) {
    if (glyfeditview* edit = dynamic_cast<glyfeditview*>(table->editview))
        edit->follow_font();
}

} // namespace

void register_glyf_views() {
    table_view_hooks hooks = registered_table_views();
    hooks.glyf_created = make_editor_views<glyftoolview, glyfeditview, ttf_glyf>;
    hooks.glyf_attached = fit_glyf_view;
    hooks.glyf_refreshed = follow_glyf;
    set_table_view_hooks(hooks);
}
