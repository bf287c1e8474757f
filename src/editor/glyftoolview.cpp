#include "editor/glyftoolview.h"

#include "editor/glyfeditview.h"

#include <Font.h>
#include <Message.h>

#include <cstdio>

glyftoolview::glyftoolview(BRect frame, ttf_glyf* owner)
    : BView(frame, "tools", B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW), glyf(owner) {}

void glyftoolview::AttachedToWindow() {
    SetLowColor(200, 200, 0);
    SetViewColor(255, 204, 68);
    BFont font(be_plain_font);
    font.SetSize(10);
    SetFont(&font);
}

void glyftoolview::Draw(BRect) {
    SetHighColor(0, 0, 0);
    char text[16];
    snprintf(text, sizeof text, "%3d%%", (int)(scale * 100));
    DrawString(text, BPoint(15, 510));
}

void glyftoolview::MessageReceived(BMessage* message) {
    if (message->what != GLYF_REPORT) {
        BView::MessageReceived(message);
        return;
    }
    int16 value;
    if (message->FindInt16("gno", &value) == B_OK)
        gno = (uint16)value;
    if (message->FindInt16("chr", &value) == B_OK)
        chr = (uint16)value;
    type_code type;
    int32 count = 0;
    if (message->GetInfo("compo", &type, &count) == B_OK || message->HasBool("empty")) {
        ncompo = 0;
        for (int32 k = 0; k < count && k < 16; k++)
            if (message->FindInt16("compo", k, &value) == B_OK)
                compos[ncompo++] = (uint16)value;
    }
    bool flag;
    if (message->FindBool("empty", &flag) == B_OK)
        empty = flag;
    float zoom;
    if (message->FindFloat("scale", &zoom) == B_OK)
        scale = zoom;
    int8 mode;
    if (message->FindInt8("mode", &mode) == B_OK)
        tool = mode;
    Invalidate();
}
