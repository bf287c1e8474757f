// findings_view: the check window's list of findings, one row each:
// severity, table, glyph and message. Only the rows in sight are drawn, so
// that a font with tens of thousands of findings lists them at once. A
// click selects a row, the arrow, Home, End and Page keys move the
// selection, and a double click or Enter sends CHECK_INVOKE with "index"
// to the window.
#ifndef TAVREL_CHECKWINDOW_FINDINGS_VIEW_H
#define TAVREL_CHECKWINDOW_FINDINGS_VIEW_H

#include "check/finding.h"

#include <View.h>

#include <string>
#include <vector>

class BScrollBar;

class findings_view : public BView {
  public:
    explicit findings_view(BRect frame);

    // The rows to show; the selection stays on the same finding when it
    // is still there. `empty` is shown when there are none.
    void set_findings(std::vector<finding> rows, const std::string& empty);
    const std::vector<finding>& findings() const { return fRows; }
    int32 selection() const { return fSelected; }
    void select(int32 index);
    // The scroll bar that follows the list.
    void set_scroll_bar(BScrollBar* bar);
    float row_height() const { return fRowHeight; }

    void AttachedToWindow() override;
    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void FrameResized(float width, float height) override;
    void MakeFocus(bool focus = true) override;
    void MessageReceived(BMessage* message) override;

  private:
    void update_scroll_bar();
    void scroll_to_selection();
    void invoke();

    std::vector<finding> fRows;
    std::string fEmpty;
    int32 fSelected = -1;
    float fRowHeight = 16;
    float fBaseline = 12;
    BScrollBar* fScrollBar = nullptr;
};

#endif
