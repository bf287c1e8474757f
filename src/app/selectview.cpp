#include "app/selectview.h"

#include "app/messages.h"
#include "app/tavrelview.h"
#include "app/tavrelwindow.h"

#include <Bitmap.h>
#include <Message.h>
#include <Messenger.h>

#include <algorithm>
#include <cmath>
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
const rgb_color STRIP = {255, 204, 68, 255};
// The off-screen strip holds the columns shown, as many as the widest
// window shows; a font may list thousands of tags.
const int32 STRIP_COLUMNS = 128;
const float STRIP_RIGHT = FIRST_X + COLUMN * STRIP_COLUMNS + FIRST_X - 1;
const float STRIP_BOTTOM = 32;
// The scroll arrows sit at the right end of the top band, which takes no
// clicks on tags.
const float ARROW_WIDTH = 14;
const float ARROW_GAP = 6;
const float ARROW_MARGIN = 4;

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
        bitmap = new BBitmap(BRect(0, 0, STRIP_RIGHT, STRIP_BOTTOM), B_RGB32, true);
    redraw();
}

int32 selectview::shown_columns() const {
    return std::max<int32>(1, (int32)((Bounds().Width() + 1 - FIRST_X) / COLUMN));
}

BRect selectview::forward_arrow() const {
    if (count <= shown_columns())
        return BRect();
    float right = Bounds().right - ARROW_MARGIN;
    return BRect(right - ARROW_WIDTH + 1, ARROW_MARGIN, right, CLICK_TOP - ARROW_MARGIN - 1);
}

BRect selectview::back_arrow() const {
    BRect arrow = forward_arrow();
    if (arrow.IsValid())
        arrow.OffsetBy(-(ARROW_WIDTH + ARROW_GAP), 0);
    return arrow;
}

void selectview::_Clamp() {
    first = std::max<int32>(0, std::min(first, count - shown_columns()));
}

void selectview::_ScrollTo(int32 column) {
    int32 was = first;
    first = column;
    _Clamp();
    if (first != was)
        redraw();
}

void selectview::_DrawArrow(BRect frame, bool back, bool usable) {
    if (usable)
        SetHighColor(0, 0, 0);
    else
        SetHighColor(190, 150, 50);
    float middle = std::floor((frame.top + frame.bottom) / 2);
    if (back)
        FillTriangle(BPoint(frame.left, middle), BPoint(frame.right, frame.top),
                     BPoint(frame.right, frame.bottom));
    else
        FillTriangle(BPoint(frame.right, middle), BPoint(frame.left, frame.top),
                     BPoint(frame.left, frame.bottom));
}

void selectview::Draw(BRect) {
    if (!bitmap)
        return;
    // A resize may have made room for columns before the first shown.
    int32 was = first;
    _Clamp();
    if (first != was)
        _Paint();
    // The strip from the first column shown; past its end the view's own
    // colour.
    const float to = STRIP_RIGHT;
    DrawBitmap(bitmap, BPoint(0, 0));
    BRect bounds = Bounds();
    if (bounds.right > to) {
        SetHighColor(STRIP);
        FillRect(BRect(to + 1, 0, bounds.right, bounds.bottom));
    }
    if (bounds.bottom > STRIP_BOTTOM) {
        SetHighColor(STRIP);
        FillRect(BRect(0, STRIP_BOTTOM + 1, bounds.right, bounds.bottom));
    }
    if (count > shown_columns()) {
        _DrawArrow(back_arrow(), true, first > 0);
        _DrawArrow(forward_arrow(), false, first + shown_columns() < count);
    }
}

void selectview::MouseDown(BPoint where) {
    _Clamp();
    if (where.y < CLICK_TOP) {
        if (back_arrow().Contains(where))
            _ScrollTo(first - 1);
        else if (forward_arrow().Contains(where))
            _ScrollTo(first + 1);
        return;
    }
    int32 index = first + (int32)((where.x - FIRST_X) / COLUMN);
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
                // The chosen tag is scrolled into sight.
                if (i < first)
                    first = i;
                else if (i >= first + shown_columns())
                    first = i - shown_columns() + 1;
                redraw();
                return;
            }
        }
        return;
    }
    case B_MOUSE_WHEEL_CHANGED: {
        float dx = 0, dy = 0;
        message->FindFloat("be:wheel_delta_x", &dx);
        message->FindFloat("be:wheel_delta_y", &dy);
        float step = dx != 0 ? dx : dy;
        if (step != 0)
            _ScrollTo(first + (step > 0 ? 1 : -1));
        return;
    }
    case MSG_TABLE_LIST: {
        selected = -1;
        first = 0;
        tags.clear();
        int32 tag;
        while (message->FindInt32("table", (int32)tags.size(), &tag) == B_OK)
            tags.push_back((uint32)tag);
        count = (int32)tags.size();
        redraw();
        return;
    }
    default:
        BView::MessageReceived(message);
    }
}

void selectview::redraw() {
    _Paint();
    if (Window())
        Draw(Bounds());
}

void selectview::_Paint() {
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
    for (int32 i = first; i < count && i < first + STRIP_COLUMNS; i++) {
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
        strip->DrawString(text, BPoint(FIRST_X + COLUMN * (i - first), BASELINE));
    }
    strip->Sync();
    bitmap->RemoveChild(strip);
    delete strip;
    bitmap->Unlock();
}
