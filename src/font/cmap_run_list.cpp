#include "font/cmap_run_list.h"

#include <Message.h>
#include <Messenger.h>
#include <ScrollBar.h>
#include <Window.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using cmap_subtables::group;

const float cmap_run_list::ROW = 15;

namespace {

const rgb_color GROUND = {222, 222, 222, 255};
const rgb_color CHOSEN = {160, 170, 210, 255};
const rgb_color TEXT = {0, 0, 0, 255};
const rgb_color FOCUS = {0, 0, 229, 255};

} // namespace

cmap_run_list::cmap_run_list(BRect frame, const std::vector<group>* runs, BView* target,
                             uint32 message)
    : BView(frame, "runs", B_FOLLOW_LEFT | B_FOLLOW_TOP,
            B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE),
      fRuns(runs), fTarget(target), fMessage(message) {
    SetViewColor(GROUND);
    SetLowColor(GROUND);
}

std::string cmap_run_list::line(const group& run) {
    const uint32_t last = run.glyph + (run.end - run.start);
    char text[64];
    if (run.start == run.end)
        snprintf(text, sizeof text, "%04X \xe2\x86\x92 %04X", (unsigned)run.start,
                 (unsigned)run.glyph);
    else
        snprintf(text, sizeof text, "%04X\xe2\x80\x93%04X \xe2\x86\x92 %04X\xe2\x80\x93%04X",
                 (unsigned)run.start, (unsigned)run.end, (unsigned)run.glyph, (unsigned)last);
    return text;
}

void cmap_run_list::set_scroll_bar(BScrollBar* bar) {
    fBar = bar;
    set_runs();
}

void cmap_run_list::set_runs() {
    if (fSelected >= count())
        fSelected = -1;
    const float visible = Bounds().Height() + 1, content = count() * ROW;
    const float top = std::min(Bounds().top, std::max(0.0f, content - visible));
    if (fBar) {
        fBar->SetRange(0, std::max(0.0f, content - visible));
        fBar->SetProportion(content > 0 ? std::min(1.0f, visible / content) : 1);
        fBar->SetSteps(ROW, visible - ROW);
    }
    scroll_to(top);
    Invalidate();
}

void cmap_run_list::set_runs(uint32_t code) {
    auto at = std::upper_bound(fRuns->begin(), fRuns->end(), code,
                               [](uint32_t c, const group& g) { return c < g.start; });
    fSelected = -1;
    if (at != fRuns->begin() && (at - 1)->end >= code)
        fSelected = (int32)(at - 1 - fRuns->begin());
    set_runs();
    show_row(fSelected);
}

void cmap_run_list::scroll_to(float y) {
    y = std::round(y);
    if (fBar)
        fBar->SetValue(y);
    else
        ScrollTo(0, y);
}

void cmap_run_list::show_row(int32 index) {
    if (index < 0)
        return;
    BRect b = Bounds();
    const float top = index * ROW, bottom = top + ROW - 1;
    if (top < b.top)
        scroll_to(top);
    else if (bottom > b.bottom)
        scroll_to(bottom - b.Height());
}

void cmap_run_list::select(int32 index) {
    if (count() == 0)
        return;
    index = std::clamp<int32>(index, 0, count() - 1);
    fSelected = index;
    Invalidate();
    show_row(index);
    BMessage chosen(fMessage);
    chosen.AddInt32("index", index);
    chosen.AddPointer("source", this);
    BMessenger(fTarget).SendMessage(&chosen);
}

void cmap_run_list::Draw(BRect update) {
    SetHighColor(GROUND);
    FillRect(update);
    const int32 first = std::max<int32>(0, (int32)std::floor(update.top / ROW));
    const int32 last = std::min<int32>(count() - 1, (int32)std::floor(update.bottom / ROW));
    const float width = Bounds().right;
    for (int32 i = first; i <= last; i++) {
        const float top = i * ROW;
        if (i == fSelected) {
            SetHighColor(CHOSEN);
            FillRect(BRect(Bounds().left, top, width, top + ROW - 1));
        }
        SetHighColor(TEXT);
        DrawString(line((*fRuns)[i]).c_str(), BPoint(6, top + ROW - 4));
    }
    if (IsFocus()) {
        SetHighColor(FOCUS);
        StrokeRect(Bounds());
    }
}

void cmap_run_list::MouseDown(BPoint where) {
    if (!IsFocus())
        MakeFocus(true);
    const int32 row = (int32)std::floor(where.y / ROW);
    if (row >= 0 && row < count())
        select(row);
}

void cmap_run_list::KeyDown(const char* bytes, int32 numBytes) {
    const int32 page = std::max<int32>(1, (int32)((Bounds().Height() + 1) / ROW) - 1);
    if (numBytes == 1) {
        switch (bytes[0]) {
        case B_UP_ARROW:
            select(fSelected < 0 ? count() - 1 : fSelected - 1);
            return;
        case B_DOWN_ARROW:
            select(fSelected < 0 ? 0 : fSelected + 1);
            return;
        case B_PAGE_UP:
            select(fSelected < 0 ? 0 : fSelected - page);
            return;
        case B_PAGE_DOWN:
            select(fSelected < 0 ? 0 : fSelected + page);
            return;
        case B_HOME:
            select(0);
            return;
        case B_END:
            select(count() - 1);
            return;
        default:
            break;
        }
    }
    BView::KeyDown(bytes, numBytes);
}

void cmap_run_list::MessageReceived(BMessage* message) {
    float dy;
    if (message->what == B_MOUSE_WHEEL_CHANGED &&
        message->FindFloat("be:wheel_delta_y", &dy) == B_OK) {
        const float most = std::max(0.0f, count() * ROW - Bounds().Height() - 1);
        scroll_to(std::clamp(Bounds().top + dy * 3 * ROW, 0.0f, most));
        return;
    }
    BView::MessageReceived(message);
}

void cmap_run_list::FrameResized(float, float) {
    set_runs();
}

void cmap_run_list::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
    Invalidate();
}
