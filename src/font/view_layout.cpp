#include "font/view_layout.h"

#include <View.h>

namespace {

uint32 resizing_mode(layout_place place) {
    switch (place) {
    case layout_place::bottom:
        return B_FOLLOW_LEFT | B_FOLLOW_BOTTOM;
    case layout_place::bottom_right:
        return B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM;
    case layout_place::bottom_wide:
        return B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM;
    case layout_place::fill:
        return B_FOLLOW_ALL;
    case layout_place::right_column:
        return B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM;
    }
    return B_FOLLOW_LEFT | B_FOLLOW_TOP;
}

} // namespace

void layout_children(BView* parent, std::initializer_list<layout_item> items, BRect standard) {
    const BRect b = parent->Bounds();
    const float dw = b.Width() - standard.Width();
    const float dh = b.Height() - standard.Height();
    for (const layout_item& item : items) {
        if (!item.view)
            continue;
        BRect f = item.view->Frame();
        switch (item.place) {
        case layout_place::bottom:
            f.OffsetBy(0, dh);
            break;
        case layout_place::bottom_right:
            f.OffsetBy(dw, dh);
            break;
        case layout_place::bottom_wide:
            f.OffsetBy(0, dh);
            f.right += dw;
            break;
        case layout_place::fill:
            f.right += dw;
            f.bottom += dh;
            break;
        case layout_place::right_column:
            f.OffsetBy(dw, 0);
            f.bottom += dh;
            break;
        }
        item.view->SetResizingMode(resizing_mode(item.place));
        item.view->MoveTo(f.LeftTop());
        item.view->ResizeTo(f.Width(), f.Height());
    }
}

float from_bottom(const BView* view, float standard_y, BRect standard) {
    return view->Bounds().bottom - (standard.bottom - standard_y);
}
