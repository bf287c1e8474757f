#include "checkwindow/findings_view.h"

#include "checkwindow/check_messages.h"

#include <Font.h>
#include <Message.h>
#include <Messenger.h>
#include <ScrollBar.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace {

// Column positions: severity, table, glyph, message.
const float SEVERITY_X = 6, TABLE_X = 72, GLYPH_X = 122, MESSAGE_X = 176;

rgb_color severity_color(severity s) {
    switch (s) {
    case severity::error:
        return {190, 20, 20, 255};
    case severity::warning:
        return {180, 100, 0, 255};
    case severity::note:
        return {30, 90, 170, 255};
    }
    return {0, 0, 0, 255};
}

} // namespace

findings_view::findings_view(BRect frame)
    : BView(frame, "findings", B_FOLLOW_ALL, B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE) {}

void findings_view::AttachedToWindow() {
    SetViewColor(255, 255, 255);
    SetLowColor(255, 255, 255);
    font_height h;
    GetFontHeight(&h);
    fRowHeight = std::ceil(h.ascent + h.descent + h.leading) + 4;
    fBaseline = 2 + std::ceil(h.ascent);
    update_scroll_bar();
}

void findings_view::set_findings(std::vector<finding> rows, const std::string& empty) {
    finding kept;
    const bool had = fSelected >= 0 && fSelected < (int32)fRows.size();
    if (had)
        kept = fRows[fSelected];
    fRows = std::move(rows);
    fEmpty = empty;
    fSelected = -1;
    if (had)
        for (size_t i = 0; i < fRows.size(); i++)
            if (!finding_before(fRows[i], kept) && !finding_before(kept, fRows[i])) {
                fSelected = (int32)i;
                break;
            }
    update_scroll_bar();
    Invalidate();
}

void findings_view::set_scroll_bar(BScrollBar* bar) {
    fScrollBar = bar;
    update_scroll_bar();
}

void findings_view::update_scroll_bar() {
    if (!fScrollBar)
        return;
    const BRect b = Bounds();
    const float data = fRows.size() * fRowHeight;
    const float visible = b.Height() + 1;
    fScrollBar->SetRange(0, std::max(0.0f, data - visible));
    fScrollBar->SetProportion(data > 0 ? std::min(1.0f, visible / data) : 1);
    fScrollBar->SetSteps(fRowHeight, std::max(fRowHeight, visible - fRowHeight));
}

void findings_view::Draw(BRect update) {
    SetHighColor(255, 255, 255);
    FillRect(update);
    const BRect b = Bounds();
    if (fRows.empty()) {
        SetHighColor(90, 90, 90);
        DrawString(fEmpty.c_str(), BPoint(SEVERITY_X, b.top + fBaseline + 4));
        return;
    }
    const int32 first = std::max<int32>(0, (int32)std::floor(update.top / fRowHeight));
    const int32 last =
        std::min<int32>((int32)fRows.size() - 1, (int32)(update.bottom / fRowHeight));
    for (int32 i = first; i <= last; i++) {
        const finding& f = fRows[i];
        const float top = i * fRowHeight;
        const bool selected = i == fSelected;
        if (selected) {
            SetHighColor(IsFocus() ? rgb_color{60, 100, 170, 255} : rgb_color{170, 180, 200, 255});
            FillRect(BRect(b.left, top, b.right, top + fRowHeight - 1));
        }
        const float y = top + fBaseline;
        const rgb_color text = selected ? rgb_color{255, 255, 255, 255} : rgb_color{0, 0, 0, 255};
        SetHighColor(selected ? text : severity_color(f.level));
        DrawString(severity_name(f.level), BPoint(SEVERITY_X, y));
        SetHighColor(text);
        DrawString(tag_text(f.table).c_str(), BPoint(TABLE_X, y));
        if (f.glyph >= 0)
            DrawString(std::to_string(f.glyph).c_str(), BPoint(GLYPH_X, y));
        DrawString(f.message.c_str(), BPoint(MESSAGE_X, y));
    }
}

void findings_view::select(int32 index) {
    if (fRows.empty())
        index = -1;
    else
        index = std::max<int32>(0, std::min<int32>(index, (int32)fRows.size() - 1));
    if (index == fSelected)
        return;
    fSelected = index;
    Invalidate();
    scroll_to_selection();
}

void findings_view::scroll_to_selection() {
    if (fSelected < 0)
        return;
    const BRect b = Bounds();
    const float top = fSelected * fRowHeight, bottom = top + fRowHeight - 1;
    float y = b.top;
    if (top < b.top)
        y = top;
    else if (bottom > b.bottom)
        y = bottom - b.Height();
    if (y == b.top)
        return;
    if (fScrollBar)
        fScrollBar->SetValue(y);
    else
        ScrollTo(b.left, y);
}

void findings_view::invoke() {
    if (fSelected < 0 || !Window())
        return;
    BMessage m(CHECK_INVOKE);
    m.AddInt32("index", fSelected);
    BMessenger(nullptr, Window()).SendMessage(&m);
}

void findings_view::MouseDown(BPoint where) {
    if (!IsFocus())
        MakeFocus(true);
    const int32 row = where.y >= 0 ? (int32)(where.y / fRowHeight) : -1;
    if (row < 0 || row >= (int32)fRows.size())
        return;
    select(row);
    BMessage* current = Window() ? Window()->CurrentMessage() : nullptr;
    if (current && current->GetInt32("clicks", 1) >= 2)
        invoke();
}

void findings_view::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes != 1) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    const int32 page = std::max<int32>(1, (int32)(Bounds().Height() / fRowHeight) - 1);
    const int32 count = (int32)fRows.size();
    switch (bytes[0]) {
    case B_UP_ARROW:
        select(fSelected < 0 ? count - 1 : fSelected - 1);
        return;
    case B_DOWN_ARROW:
        select(fSelected + 1);
        return;
    case B_PAGE_UP:
        select(fSelected - page);
        return;
    case B_PAGE_DOWN:
        select(fSelected < 0 ? page : fSelected + page);
        return;
    case B_HOME:
        select(0);
        return;
    case B_END:
        select(count - 1);
        return;
    case B_ENTER:
        invoke();
        return;
    default:
        BView::KeyDown(bytes, numBytes);
    }
}

void findings_view::FrameResized(float, float) {
    update_scroll_bar();
}

void findings_view::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
    Invalidate();
}

void findings_view::MessageReceived(BMessage* message) {
    float dy;
    if (message->what == B_MOUSE_WHEEL_CHANGED &&
        message->FindFloat("be:wheel_delta_y", &dy) == B_OK) {
        const float step = 3 * fRowHeight * dy;
        if (fScrollBar)
            fScrollBar->SetValue(fScrollBar->Value() + step);
        else
            ScrollBy(0, step);
        return;
    }
    BView::MessageReceived(message);
}
