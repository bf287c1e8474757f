#include "Bitmap.h"

#include <View.h>
#include <Window.h>

#include <cmath>

namespace {
// Far larger than any bitmap the program makes; refuses absurd sizes.
const int64 kMaxPixels = 64ll * 1024 * 1024;
} // namespace

BBitmap::BBitmap(BRect bounds, color_space space, bool acceptsViews, bool) {
    _Init(bounds, space, acceptsViews, false);
}

BBitmap::BBitmap(BRect bounds, uint32 flags, color_space space) {
    _Init(bounds, space, flags & B_BITMAP_ACCEPTS_VIEWS, flags & B_BITMAP_CLEAR_TO_WHITE);
}

void BBitmap::_Init(BRect bounds, color_space space, bool acceptsViews, bool clearToWhite) {
    fSpace = space;
    fBounds = bounds;
    if (space != B_RGB32) {
        fStatus = B_BAD_VALUE;
        return;
    }
    if (!std::isfinite(bounds.left) || !std::isfinite(bounds.top) || !std::isfinite(bounds.right) ||
        !std::isfinite(bounds.bottom) || !bounds.IsValid()) {
        fStatus = B_BAD_VALUE;
        return;
    }
    double w = std::floor(bounds.right) - std::floor(bounds.left) + 1;
    double h = std::floor(bounds.bottom) - std::floor(bounds.top) + 1;
    if (w < 1 || h < 1 || w * h > (double)kMaxPixels) {
        fStatus = B_NO_MEMORY;
        return;
    }
    fWidth = (int32)w;
    fHeight = (int32)h;
    fBounds = BRect(0, 0, w - 1, h - 1);
    fBits.assign((size_t)fWidth * fHeight, clearToWhite ? 0xffffffffu : 0);
    if (acceptsViews)
        fWindow = BWindow::kit_offscreen(fBits.data(), fWidth, fHeight, fWidth);
    fStatus = B_OK;
}

BBitmap::~BBitmap() {
    if (fWindow) {
        fWindow->Lock();
        fWindow->Quit();
    }
}

void BBitmap::AddChild(BView* view) {
    if (fWindow)
        fWindow->AddChild(view);
}

bool BBitmap::RemoveChild(BView* view) {
    return fWindow ? fWindow->RemoveChild(view) : false;
}

int32 BBitmap::CountChildren() const {
    return fWindow ? fWindow->CountChildren() : 0;
}

BView* BBitmap::ChildAt(int32 index) const {
    return fWindow ? fWindow->ChildAt(index) : nullptr;
}

BView* BBitmap::FindView(const char* name) const {
    return fWindow ? fWindow->FindView(name) : nullptr;
}

bool BBitmap::Lock() {
    return fWindow ? fWindow->Lock() : false;
}

void BBitmap::Unlock() {
    if (fWindow)
        fWindow->Unlock();
}

bool BBitmap::IsLocked() const {
    return fWindow ? fWindow->IsLocked() : false;
}
