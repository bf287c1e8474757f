// The cmap table's editor: a start code, an end code and a glyph number
// typed in hexadecimal; "set" maps the codes to a run of glyphs (or unmaps
// them for glyph ffff). Committing the start code shows the glyph it maps
// to now.
#include "font/cmap.h"

#include "font/maxp.h"
#include "font/table_editor.h"
#include "font/ttf.h"

#include <Button.h>
#include <Message.h>
#include <TextControl.h>

#include <cstdio>

namespace {

std::string hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "%04x", (unsigned)v);
    return text;
}

} // namespace

void ttf_cmap::AttachedToWindow() {
    set_editor_look(this);
    if (!setbtn) {
        setbtn = add_editor_button(this, BRect(500, 448, 540, 470), "set", "set");
        stctl = add_editor_text(this, BRect(20, 450, 120, 470), "st", "start_chr.");
        edctl = add_editor_text(this, BRect(140, 450, 240, 470), "ed", "end_chr.");
        gnoctl = add_editor_text(this, BRect(260, 450, 360, 470), "gno", "glyph_no.");
    }
    MakeFocus(true);
}

void ttf_cmap::Draw(BRect update) {
    SetLowColor(0, 0, 0);
    SetViewColor(0, 0, 0);
    FillRect(update, B_SOLID_LOW);
    redraw();
}

void ttf_cmap::redraw() {
    draw_notice(this, notice);
}

void ttf_cmap::MessageReceived(BMessage* message) {
    if (message->what == EDITOR_TEXT) {
        void* source = nullptr;
        if (message->FindPointer("source", &source) != B_OK || !stctl)
            return;
        uint32_t start = editor_hex(stctl), end = editor_hex(edctl), gno = editor_hex(gnoctl);
        if (sent_by(message, stctl)) {
            if (start <= 0xFFFF) {
                gno = get_gno((unsigned short)start);
                notice.clear();
            } else {
                notice = "character codes end at ffff";
            }
        }
        set_editor_hex(stctl, start);
        set_editor_hex(edctl, end);
        set_editor_hex(gnoctl, gno);
        Invalidate();
        return;
    }
    if (message->what == EDITOR_BUTTON) {
        if (!sent_by(message, setbtn))
            return;
        uint32_t start = editor_hex(stctl), end = editor_hex(edctl), gno = editor_hex(gnoctl);
        if (end < start)
            return;
        uint32_t glyphs = owner && owner->maxp ? owner->maxp->numglyphs() : 0;
        if (end > 0xFFFF) {
            notice = "character codes end at ffff";
        } else if (gno != 0xFFFF && (uint64_t)gno + (end - start) >= glyphs) {
            // Every glyph of the run must exist, not only the first.
            notice = "glyphs " + hex(gno) + "-" + hex(gno + (end - start)) +
                     " pass the last glyph, " + (glyphs ? hex(glyphs - 1) : "none");
        } else {
            checkpoint(start == end ? "map of " + hex(start)
                                    : "map of " + hex(start) + "-" + hex(end));
            if (set_chr((unsigned short)start, (unsigned short)end, (unsigned short)gno) != 0)
                notice = std::string("not set: ") + edit_error();
            else
                notice.clear();
        }
        Invalidate();
        return;
    }
    ttf_table::MessageReceived(message);
}
