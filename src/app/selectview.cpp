#include "app/selectview.h"

#include "app/messages.h"
#include "app/tavrelview.h"
#include "app/tavrelwindow.h"

#include <Bitmap.h>
#include <Message.h>
#include <Messenger.h>

#include <cstdio>

namespace {

const float COLUMN = 30;
const float FIRST_X = 10;
const float BASELINE = 30;
const float CLICK_TOP = 20;
// Tags are drawn in the condensed face of the view's font, and a tag that
// is still too wide (MATH, GPOS, maxp at 10 points nearly fill a column)
// in a smaller size, so that each keeps this much space before the next.
const char* const TAG_FAMILY = "DejaVu Sans Condensed";
const float TAG_GAP = 3;

} // namespace

selectview::selectview(BRect frame) : BView(frame, "selector", B_FOLLOW_LEFT_RIGHT, B_WILL_DRAW) {}

selectview::~selectview() {
    delete bitmap;
}

void selectview::AttachedToWindow() {
    SetViewColor(255, 204, 68);
    BFont font(be_plain_font);
    font.SetSize(10);
    SetFont(&font);
    if (!bitmap)
        bitmap = new BBitmap(BRect(0, 0, 561, 32), B_RGB32, true);
    redraw();
}

void selectview::Draw(BRect) {
    if (bitmap)
        DrawBitmap(bitmap, BPoint(0, 0));
}

void selectview::MouseDown(BPoint where) {
    if (where.y < CLICK_TOP)
        return;
    int32 index = (int32)((where.x - FIRST_X) / COLUMN);
    if (index < 0 || index >= count)
        return;
    tavrelwindow* window = dynamic_cast<tavrelwindow*>(Window());
    if (!window)
        return;
    BMessage choose(MSG_TABLE_SELECT);
    choose.AddInt32("table", (int32)tags[index]);
    BMessenger(window->workview).SendMessage(&choose);
}

void selectview::MessageReceived(BMessage* message) {
    switch (message->what) {
    case MSG_TABLE_SELECT: {
        int32 tag;
        if (message->FindInt32("table", &tag) != B_OK)
            return;
        for (int32 i = 0; i < count; i++) {
            if (tags[i] == (uint32)tag) {
                selected = i;
                redraw();
                return;
            }
        }
        return;
    }
    case MSG_TABLE_LIST: {
        selected = -1;
        count = 0;
        int32 tag;
        while (count < SELECT_MAX_TAGS && message->FindInt32("table", count, &tag) == B_OK)
            tags[count++] = (uint32)tag;
        redraw();
        return;
    }
    default:
        BView::MessageReceived(message);
    }
}

void selectview::redraw() {
    if (!bitmap || !bitmap->Bits())
        return;
    uint32* pixels = (uint32*)bitmap->Bits();
    int32 words = bitmap->BitsLength() / 4;
    for (int32 i = 0; i < words; i++)
        pixels[i] = 0x00FFCC44;

    BView* strip = new BView(bitmap->Bounds(), "workview", B_FOLLOW_NONE, B_WILL_DRAW);
    bitmap->Lock();
    bitmap->AddChild(strip);
    BFont font;
    GetFont(&font);
    font.SetFamilyAndStyle(TAG_FAMILY, nullptr);
    for (int32 i = 0; i < count; i++) {
        char text[8];
        snprintf(text, sizeof text, "%c%c%c%c", (char)(tags[i] >> 24), (char)(tags[i] >> 16),
                 (char)(tags[i] >> 8), (char)tags[i]);
        BFont fitted = font;
        float width = fitted.StringWidth(text);
        if (width > COLUMN - TAG_GAP)
            fitted.SetSize(font.Size() * (COLUMN - TAG_GAP) / width);
        strip->SetFont(&fitted);
        if (i == selected)
            strip->SetHighColor(255, 0, 0);
        else
            strip->SetHighColor(0, 0, 0);
        strip->DrawString(text, BPoint(FIRST_X + COLUMN * i, BASELINE));
    }
    strip->Sync();
    bitmap->RemoveChild(strip);
    delete strip;
    bitmap->Unlock();
    if (Window())
        Draw(Bounds());
}
