// The hmtx table's editor: glyph "st" is shown in a 300-pixel box scaled
// so that one em fills it, with a green line at its left side bearing and
// a cyan line at its advance width. The sliders move the lines and fill in
// "lsb" and "width"; "set" stores those two values for every glyph from
// "st" to "ed". Numbers are typed and shown in hexadecimal.
#include "font/hmtx.h"

#include "font/head.h"
#include "font/hhea.h"
#include "font/maxp.h"
#include "font/table_editor.h"
#include "font/ttf.h"
#include "font/view_layout.h"
#include "outline/glyph.h"

#include <Button.h>
#include <Message.h>
#include <Slider.h>
#include <TextControl.h>

#include <algorithm>
#include <cstdio>

namespace {

const BRect BOX(100, 100, 399, 399);

unsigned units_per_em(ttf* font) {
    return font && font->head ? font->head->unitsperem() : 0;
}

unsigned glyph_count(ttf* font) {
    return font && font->maxp ? font->maxp->numglyphs() : 0;
}

std::string hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "%04x", (unsigned)v);
    return text;
}

BSlider* add_slider(BView* view, BRect frame, const char* name, int32 min, int32 max,
                    rgb_color bar) {
    BSlider* slider =
        new BSlider(frame, name, nullptr, new BMessage(EDITOR_SLIDER), min, max, B_BLOCK_THUMB,
                    B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS);
    slider->SetBarColor(bar);
    slider->SetTarget(view);
    view->AddChild(slider);
    return slider;
}

} // namespace

void ttf_hmtx::AttachedToWindow() {
    set_editor_look(this);
    if (!setbtn) {
        int32 upem = (int32)units_per_em(owner);
        setbtn = add_editor_button(this, BRect(500, 448, 540, 470), "set", "set");
        stctl = add_editor_text(this, BRect(20, 450, 120, 470), "st", "st_glyph");
        edctl = add_editor_text(this, BRect(140, 450, 240, 470), "ed", "ed_glyph");
        widthctl = add_editor_text(this, BRect(260, 450, 360, 470), "width", "width");
        lsbctl = add_editor_text(this, BRect(380, 450, 480, 470), "lsb", "lsb");
        left = add_slider(this, BRect(20, 480, 240, 500), "left", -upem, upem,
                          rgb_color{0, 255, 0, 255});
        right = add_slider(this, BRect(260, 480, 480, 500), "right", 0, 2 * upem,
                           rgb_color{0, 255, 255, 255});
        layout_children(this, {{stctl, layout_place::bottom},
                               {edctl, layout_place::bottom},
                               {widthctl, layout_place::bottom},
                               {lsbctl, layout_place::bottom},
                               {setbtn, layout_place::bottom_right},
                               {left, layout_place::bottom},
                               {right, layout_place::bottom}});
    }
    MakeFocus(true);
}

void ttf_hmtx::build_preview(unsigned upem) {
    preview = new glyph(previewgno);
    // A glyph that cannot be read is shown empty, with its lines.
    if (owner && owner->get_glyph(previewgno, preview) != 0)
        notice = "glyph " + hex(previewgno) + " cannot be read";
    if (upem > 0)
        preview->trans(BRect(0, upem - 1, upem - 1, 0), BOX);
}

void ttf_hmtx::Draw(BRect update) {
    SetHighColor(255, 255, 255);
    SetLowColor(0, 0, 0);
    SetViewColor(0, 0, 0);
    FillRect(update, B_SOLID_LOW);
    SetHighColor(50, 50, 50);
    StrokeRect(BOX);

    const unsigned upem = units_per_em(owner);
    if (!preview && previewgno != 0xFFFF)
        build_preview(upem);
    if (preview && upem == 0) {
        // Nothing to scale the glyph and its lines by.
        SetHighColor(255, 204, 68);
        DrawString("unitsPerEm is 0: no preview", BPoint(BOX.left + 10, BOX.top + 20));
    } else if (preview) {
        SetHighColor(255, 255, 255);
        preview->draw(this, 0);
        float xl = BOX.left + 300.0f * (float)left->Value() / (float)upem;
        float xr = BOX.left + 300.0f * (float)right->Value() / (float)upem;
        SetHighColor(0, 255, 0);
        StrokeLine(BPoint(xl, BOX.top), BPoint(xl, BOX.bottom));
        SetHighColor(0, 255, 255);
        StrokeLine(BPoint(xr, BOX.top), BPoint(xr, BOX.bottom));
    }
    draw_notice(this, notice);
}

void ttf_hmtx::MessageReceived(BMessage* message) {
    if (!setbtn) {
        ttf_table::MessageReceived(message);
        return;
    }
    switch (message->what) {
    case EDITOR_SLIDER: {
        // The sliders only fill in the texts; "set" stores them.
        uint16_t a = (uint16_t)left->Value(), w = (uint16_t)right->Value();
        if (a != (uint16_t)editor_hex(lsbctl))
            set_editor_hex(lsbctl, a);
        if (w != (uint16_t)editor_hex(widthctl))
            set_editor_hex(widthctl, w);
        Invalidate();
        return;
    }
    case EDITOR_TEXT: {
        void* source = nullptr;
        if (message->FindPointer("source", &source) != B_OK)
            return;
        uint32_t st = editor_hex(stctl), ed = editor_hex(edctl);
        uint32_t width = editor_hex(widthctl), lsb = editor_hex(lsbctl);
        if (sent_by(message, stctl)) {
            if (st >= glyph_count(owner))
                return;
            previewgno = (unsigned short)st;
            unsigned short aw;
            short l;
            if (get_mtx(previewgno, &aw, &l) == 0) {
                width = aw;
                lsb = (uint32_t)(int32_t)l;
                notice.clear();
            } else {
                notice = "glyph " + hex(st) + " has no metrics in this table";
            }
            delete preview;
            preview = nullptr;
            ed = st;
        }
        set_editor_hex(stctl, st);
        set_editor_hex(edctl, ed);
        set_editor_hex(widthctl, width);
        set_editor_hex(lsbctl, lsb);
        left->SetValue((int32)lsb);
        right->SetValue((int32)width);
        Invalidate();
        return;
    }
    case EDITOR_BUTTON:
        if (sent_by(message, setbtn))
            apply_range();
        return;
    default:
        ttf_table::MessageReceived(message);
    }
}

void ttf_hmtx::apply_range() {
    const uint32_t st = editor_hex(stctl), ed = editor_hex(edctl);
    const uint32_t width = editor_hex(widthctl), lsb = editor_hex(lsbctl);
    const unsigned glyphs = glyph_count(owner);
    if (st > ed || st >= glyphs)
        return;
    // A side bearing may be typed signed (ffffff9c) or as its 16 bits
    // (ff9c); anything wider would be cut, so nothing is stored.
    const int32_t signedlsb = (int32_t)lsb;
    if (width > 0xFFFF || signedlsb < -32768 || signedlsb > 0xFFFF) {
        notice = std::string(width > 0xFFFF ? "width " + hex(width) : "lsb " + hex(lsb)) +
                 " does not fit in 16 bits: nothing was set";
        Invalidate();
        return;
    }
    // The range stops at the last glyph, however far "ed" reaches.
    const uint32_t last = std::min<uint32_t>(ed, glyphs - 1);
    unsigned missing = 0;
    checkpoint(st == last ? "metrics of glyph " + hex(st)
                          : "metrics of glyphs " + hex(st) + "-" + hex(last));
    for (uint32_t g = st; g <= last; g++)
        if (set_mtx((unsigned short)g, (unsigned short)width, (short)(uint16_t)lsb) != 0)
            missing++;

    // Glyphs past the full entries share one advance width; tell the user
    // which of them did not get the width asked for.
    unsigned shared = 0, first = 0;
    const unsigned full = owner && owner->hhea ? owner->hhea->numhmtx() : 0;
    for (uint32_t g = std::max<uint32_t>(st, full); g <= last; g++) {
        unsigned short aw;
        short l;
        if (get_mtx((unsigned short)g, &aw, &l) == 0 && aw != width && shared++ == 0)
            first = g;
    }
    if (missing)
        notice = std::to_string(missing) + " glyphs have no metrics in this table: not set";
    else if (shared)
        notice = std::to_string(shared) + " glyphs from " + hex(first) +
                 " share the advance width of glyph " + hex(full - 1) + ": only lsb was set";
    else
        notice.clear();
    delete preview;
    preview = nullptr;
    Invalidate();
}
