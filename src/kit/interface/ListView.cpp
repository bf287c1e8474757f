#include "ListView.h"

#include "kit_look.h"

#include <Message.h>
#include <OS.h>
#include <ScrollBar.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace look = kit::look;

BListView::BListView(BRect frame, const char* name, list_view_type, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags) {
    SetFont(look::control_font());
}

BListView::~BListView() {
    delete fSelectionMessage;
}

void BListView::AttachedToWindow() {
    _Relayout();
}

void BListView::_Relayout(int32 measure) {
    BFont font;
    GetFont(&font);
    fTops.resize(fItems.size());
    float y = 0;
    for (size_t i = 0; i < fItems.size(); i++) {
        // Measuring is what costs: a list filled item by item measures
        // each new item once, not the whole list again.
        if (measure < 0 || (size_t)measure == i)
            fItems[i]->Update(this, &font);
        fTops[i] = y;
        y += fItems[i]->Height() + 1;
    }
    if (fScrollBar) {
        float visible = Bounds().Height() + 1;
        fScrollBar->SetRange(0, std::max(0.0f, y - visible));
        fScrollBar->SetProportion(y > 0 ? std::min(1.0f, visible / y) : 1);
    }
    Invalidate();
}

bool BListView::AddItem(BListItem* item) {
    return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index) {
    if (!item || index < 0 || index > CountItems() || IndexOf(item) >= 0)
        return false;
    fItems.insert(fItems.begin() + index, item);
    item->Deselect();
    if (fSelected >= index)
        fSelected++;
    _Relayout(index);
    return true;
}

void BListView::kit_add_items(const std::vector<BListItem*>& items) {
    size_t first = fItems.size();
    fItems.insert(fItems.end(), items.begin(), items.end());
    BFont font;
    GetFont(&font);
    for (size_t i = first; i < fItems.size(); i++) {
        fItems[i]->Deselect();
        fItems[i]->Update(this, &font);
    }
    _Relayout(INT32_MAX);
}

BListItem* BListView::RemoveItem(int32 index) {
    if (index < 0 || index >= CountItems())
        return nullptr;
    BListItem* item = fItems[index];
    fItems.erase(fItems.begin() + index);
    item->Deselect();
    bool changed = false;
    if (fSelected == index) {
        fSelected = -1;
        changed = true;
    } else if (fSelected > index) {
        fSelected--;
    }
    _Relayout(CountItems());
    if (changed)
        SelectionChanged();
    return item;
}

bool BListView::RemoveItem(BListItem* item) {
    return RemoveItem(IndexOf(item)) != nullptr;
}

BListItem* BListView::ItemAt(int32 index) const {
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[index];
}

int32 BListView::IndexOf(const BListItem* item) const {
    auto it = std::find(fItems.begin(), fItems.end(), item);
    return it == fItems.end() ? -1 : (int32)(it - fItems.begin());
}

void BListView::MakeEmpty() {
    bool changed = fSelected >= 0;
    for (BListItem* item : fItems)
        item->Deselect();
    fItems.clear();
    fSelected = -1;
    ScrollTo(0, 0);
    _Relayout();
    if (changed)
        SelectionChanged();
}

int32 BListView::CurrentSelection(int32 index) const {
    return index == 0 ? fSelected : -1;
}

bool BListView::IsItemSelected(int32 index) const {
    return index >= 0 && index == fSelected;
}

void BListView::_SetSelection(int32 index) {
    if (index == fSelected)
        return;
    if (BListItem* old = ItemAt(fSelected))
        old->Deselect();
    fSelected = index;
    if (BListItem* item = ItemAt(fSelected))
        item->Select();
    Invalidate();
    ScrollToSelection();
    SelectionChanged();
}

void BListView::Select(int32 index, bool) {
    if (index < 0 || index >= CountItems())
        return;
    _SetSelection(index);
}

void BListView::DeselectAll() {
    _SetSelection(-1);
}

BRect BListView::ItemFrame(int32 index) const {
    if (index < 0 || index >= CountItems() || index >= (int32)fTops.size())
        return BRect();
    BRect b = Bounds();
    return BRect(0, fTops[index], b.Width(), fTops[index] + fItems[index]->Height());
}

void BListView::ScrollToSelection() {
    BRect frame = ItemFrame(fSelected);
    if (!frame.IsValid())
        return;
    BRect b = Bounds();
    float y = b.top;
    if (frame.top < b.top)
        y = frame.top;
    else if (frame.bottom > b.bottom)
        y = frame.bottom - b.Height();
    if (y != b.top) {
        if (fScrollBar)
            fScrollBar->SetValue(y);
        else
            ScrollTo(b.left, y);
    }
}

void BListView::SetSelectionMessage(BMessage* message) {
    if (message != fSelectionMessage)
        delete fSelectionMessage;
    fSelectionMessage = message;
}

status_t BListView::Invoke(BMessage* message) {
    if (!message)
        message = Message();
    if (!message)
        return B_BAD_VALUE;
    BMessage copy(*message);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", this);
    copy.AddInt32("index", fSelected);
    // Without a target the list speaks to its window.
    if (!kit_has_target())
        return Window() ? BMessenger(nullptr, Window()).SendMessage(&copy) : B_BAD_HANDLER;
    return BInvoker::Invoke(&copy);
}

void BListView::SelectionChanged() {
    if (fSelectionMessage)
        Invoke(fSelectionMessage);
}

void BListView::Draw(BRect update) {
    BRect b = Bounds();
    SetHighColor(LowColor());
    FillRect(update);
    for (int32 i = 0; i < CountItems(); i++) {
        BRect frame = ItemFrame(i);
        if (frame.bottom < update.top || frame.top > update.bottom)
            continue;
        fItems[i]->DrawItem(this, frame, false);
    }
    if (IsFocus()) {
        SetHighColor(look::focus);
        StrokeRect(b);
    }
}

void BListView::MouseDown(BPoint where) {
    if (!IsFocus())
        MakeFocus(true);
    int32 hit = -1;
    for (int32 i = 0; i < CountItems(); i++) {
        if (ItemFrame(i).Contains(where))
            hit = i;
    }
    if (hit >= 0 && !fItems[hit]->IsEnabled())
        return;
    if (hit < 0) {
        DeselectAll();
        return;
    }
    _SetSelection(hit);
    BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
    if (message && message->GetInt32("clicks", 1) >= 2 && Message())
        Invoke();
}

void BListView::KeyDown(const char* bytes, int32 numBytes) {
    if (numBytes != 1) {
        BView::KeyDown(bytes, numBytes);
        return;
    }
    int32 count = CountItems();
    switch (bytes[0]) {
    case B_UP_ARROW:
        if (count > 0)
            Select(fSelected < 0 ? count - 1 : std::max(0, fSelected - 1));
        return;
    case B_DOWN_ARROW:
        if (count > 0)
            Select(fSelected < 0 ? 0 : std::min(count - 1, fSelected + 1));
        return;
    case B_HOME:
        Select(0);
        return;
    case B_END:
        Select(count - 1);
        return;
    case B_ENTER:
        if (fSelected >= 0 && Message()) {
            Invoke();
            return;
        }
        break;
    default:
        break;
    }
    BView::KeyDown(bytes, numBytes);
}

void BListView::MakeFocus(bool focus) {
    BView::MakeFocus(focus);
    Invalidate();
}

void BListView::FrameResized(float, float) {
    _Relayout();
}

void BListView::MessageReceived(BMessage* message) {
    float dy;
    if (message->what != B_MOUSE_WHEEL_CHANGED ||
        message->FindFloat("be:wheel_delta_y", &dy) != B_OK) {
        BView::MessageReceived(message);
        return;
    }
    float content = fTops.empty() ? 0 : fTops.back() + fItems.back()->Height() + 1;
    BRect b = Bounds();
    float y = std::clamp(b.top + dy * 20, 0.0f, std::max(0.0f, content - b.Height() - 1));
    if (fScrollBar)
        fScrollBar->SetValue(y);
    else
        ScrollTo(b.left, y);
}
