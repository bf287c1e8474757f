#include "ListItem.h"

#include "kit_look.h"

#include <Font.h>
#include <View.h>

#include <cmath>

BListItem::BListItem(uint32 outlineLevel, bool expanded)
    : fOutlineLevel(outlineLevel), fExpanded(expanded) {}

BListItem::~BListItem() = default;

void BListItem::Update(BView* owner, const BFont* font) {
    font_height fh;
    font->GetHeight(&fh);
    fHeight = std::ceil(fh.ascent) + std::ceil(fh.descent) + 3;
    fWidth = owner ? owner->Bounds().Width() : 0;
}

BStringItem::BStringItem(const char* text, uint32 outlineLevel, bool expanded)
    : BListItem(outlineLevel, expanded), fText(text ? text : "") {}

BStringItem::~BStringItem() = default;

void BStringItem::SetText(const char* text) {
    fText = text ? text : "";
}

void BStringItem::Update(BView* owner, const BFont* font) {
    BListItem::Update(owner, font);
    font_height fh;
    font->GetHeight(&fh);
    fBaseline = std::ceil(fh.ascent) + 1;
    SetWidth(font->StringWidth(fText.c_str()));
}

void BStringItem::DrawItem(BView* owner, BRect frame, bool complete) {
    rgb_color low = owner->LowColor();
    if (IsSelected() || complete) {
        owner->SetHighColor(IsSelected() ? kit::look::selection : low);
        owner->FillRect(frame);
    }
    owner->SetHighColor(IsEnabled() ? kit::look::text : kit::look::disabled_text);
    owner->SetDrawingMode(B_OP_OVER);
    owner->DrawString(fText.c_str(),
                      BPoint(frame.left + 4 + 10 * OutlineLevel(), frame.top + fBaseline));
    owner->SetDrawingMode(B_OP_COPY);
}
