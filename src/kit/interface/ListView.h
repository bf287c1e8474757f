// BListView: a column of items with a single selection. A click selects
// the item under the pointer (a click below the items clears the
// selection), the up and down arrows move it, and every change sends the
// selection message with "index" (-1 when nothing is selected). When the
// items do not fit, the view scrolls to keep the selection in sight and a
// scroll bar given as target follows.
#ifndef _LIST_VIEW_H
#define _LIST_VIEW_H

#include <Invoker.h>
#include <ListItem.h>
#include <View.h>

#include <vector>

class BScrollBar;

enum list_view_type {
    B_SINGLE_SELECTION_LIST,
    B_MULTIPLE_SELECTION_LIST,
};

class BListView : public BView, public BInvoker {
  public:
    BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    // Items still in the list are not deleted, as on the platform: their
    // owner deletes them.
    ~BListView() override;

    bool AddItem(BListItem* item);
    bool AddItem(BListItem* item, int32 index);
    BListItem* RemoveItem(int32 index);
    bool RemoveItem(BListItem* item);
    BListItem* ItemAt(int32 index) const;
    BListItem* FirstItem() const { return ItemAt(0); }
    BListItem* LastItem() const { return ItemAt(CountItems() - 1); }
    int32 CountItems() const { return (int32)fItems.size(); }
    int32 IndexOf(const BListItem* item) const;
    bool IsEmpty() const { return fItems.empty(); }
    // Removes every item without deleting them.
    void MakeEmpty();

    int32 CurrentSelection(int32 index = 0) const;
    void Select(int32 index, bool extend = false);
    void DeselectAll();
    bool IsItemSelected(int32 index) const;
    void ScrollToSelection();
    BRect ItemFrame(int32 index) const;

    // Sent (with "index", "when" and "source") when the selection changes.
    void SetSelectionMessage(BMessage* message);
    BMessage* SelectionMessage() const { return fSelectionMessage; }
    // The invocation message (the invoker's own) is sent on a double
    // click or Enter.
    void SetInvocationMessage(BMessage* message) { SetMessage(message); }
    BMessage* InvocationMessage() const { return Message(); }
    status_t Invoke(BMessage* message = nullptr) override;
    // Called when the selection changed; sends the selection message.
    virtual void SelectionChanged();

    // Appends the items (none may be in the list yet) with one layout
    // pass, for lists of thousands of rows.
    void kit_add_items(const std::vector<BListItem*>& items);
    // A scroll bar to keep in step with the list's scrolling.
    void kit_set_scroll_bar(BScrollBar* bar) { fScrollBar = bar; }

    void AttachedToWindow() override;
    void Draw(BRect updateRect) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MakeFocus(bool focus = true) override;
    void FrameResized(float width, float height) override;
    void MessageReceived(BMessage* message) override;

  private:
    // Lays the items out one below the other; measures item `measure`
    // only, or every item when it is negative.
    void _Relayout(int32 measure = -1);
    void _SetSelection(int32 index);

    std::vector<BListItem*> fItems;
    std::vector<float> fTops;
    int32 fSelected = -1;
    BMessage* fSelectionMessage = nullptr;
    BScrollBar* fScrollBar = nullptr;
};

#endif
