#include "View.h"

#include <algorithm>

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : fName(name ? name : ""), fFrame(frame), fResizingMode(resizingMode), fFlags(flags)
{
}

BView::~BView()
{
    if (fParent)
        fParent->RemoveChild(this);
    // Detach first so a child's destructor does not touch our list.
    std::vector<BView*> children;
    children.swap(fChildren);
    for (BView* child : children) {
        child->fParent = nullptr;
        delete child;
    }
}

void BView::AddChild(BView* child, BView* before)
{
    if (!child || child->fParent || child == this)
        return;
    auto it = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(it, child);
    child->fParent = this;
}

bool BView::RemoveChild(BView* child)
{
    auto it = std::find(fChildren.begin(), fChildren.end(), child);
    if (it == fChildren.end())
        return false;
    fChildren.erase(it);
    child->fParent = nullptr;
    return true;
}

BView* BView::ChildAt(int32 index) const
{
    if (index < 0 || index >= (int32)fChildren.size())
        return nullptr;
    return fChildren[index];
}

void BView::Show()
{
    fShowLevel--;
}

void BView::Hide()
{
    fShowLevel++;
}

bool BView::IsHidden() const
{
    return fShowLevel > 0;
}

BRect BView::Bounds() const
{
    return BRect(0, 0, fFrame.Width(), fFrame.Height());
}
