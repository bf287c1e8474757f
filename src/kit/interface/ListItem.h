// BListItem: one row of a list view; BStringItem draws a line of text.
#ifndef _LIST_ITEM_H
#define _LIST_ITEM_H

#include <Rect.h>
#include <SupportDefs.h>

#include <string>

class BView;

class BListItem {
  public:
    explicit BListItem(uint32 outlineLevel = 0, bool expanded = true);
    virtual ~BListItem();

    // Draws the item into `owner` within `frame`; `complete` asks for the
    // background too.
    virtual void DrawItem(BView* owner, BRect frame, bool complete = false) = 0;
    // Sets the item's height (and width) for the owner's font.
    virtual void Update(BView* owner, const class BFont* font);

    float Height() const { return fHeight; }
    float Width() const { return fWidth; }
    void SetHeight(float height) { fHeight = height; }
    void SetWidth(float width) { fWidth = width; }
    bool IsSelected() const { return fSelected; }
    void Select() { fSelected = true; }
    void Deselect() { fSelected = false; }
    bool IsEnabled() const { return fEnabled; }
    void SetEnabled(bool enabled) { fEnabled = enabled; }
    uint32 OutlineLevel() const { return fOutlineLevel; }
    bool IsExpanded() const { return fExpanded; }
    void SetExpanded(bool expanded) { fExpanded = expanded; }

  private:
    float fHeight = 0;
    float fWidth = 0;
    uint32 fOutlineLevel;
    bool fSelected = false;
    bool fEnabled = true;
    bool fExpanded;
};

class BStringItem : public BListItem {
  public:
    explicit BStringItem(const char* text, uint32 outlineLevel = 0, bool expanded = true);
    ~BStringItem() override;

    void DrawItem(BView* owner, BRect frame, bool complete = false) override;
    void Update(BView* owner, const BFont* font) override;
    virtual void SetText(const char* text);
    const char* Text() const { return fText.c_str(); }

  private:
    std::string fText;
    float fBaseline = 0;
};

#endif
