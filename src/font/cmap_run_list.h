// The character map as a list of runs, one line each ("0041–005A →
// 0024–003D": characters to glyphs, hexadecimal). Only the lines in view
// are drawn, so a map of any size shows at once. A click, the arrow keys,
// Page Up/Down, Home and End choose a run and send `message` with its
// "index" to the target; the wheel and the scroll bar move the list.
#ifndef TAVREL_FONT_CMAP_RUN_LIST_H
#define TAVREL_FONT_CMAP_RUN_LIST_H

#include <View.h>

#include "font/cmap_subtables.h"

#include <string>
#include <vector>

class BScrollBar;

class cmap_run_list : public BView {
  public:
    // Reads `runs`, which outlive the list and are only changed on the
    // window's thread, followed by set_runs().
    cmap_run_list(BRect frame, const std::vector<cmap_subtables::group>* runs, BView* target,
                  uint32 message);

    // The runs changed: the scroll range follows, and the selection moves
    // to the run holding `code` (none when no run does).
    void set_runs(uint32_t code);
    void set_runs();
    void set_scroll_bar(BScrollBar* bar);
    // The chosen run, -1 when none.
    int32 selection() const { return fSelected; }
    void select(int32 index);
    // The line of run `index`.
    static std::string line(const cmap_subtables::group& run);
    static const float ROW;

    void Draw(BRect update) override;
    void MouseDown(BPoint where) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MessageReceived(BMessage* message) override;
    void FrameResized(float width, float height) override;
    void MakeFocus(bool focus = true) override;

  private:
    void scroll_to(float y);
    void show_row(int32 index);
    int32 count() const { return (int32)fRuns->size(); }

    const std::vector<cmap_subtables::group>* fRuns;
    BView* fTarget;
    uint32 fMessage;
    BScrollBar* fBar = nullptr;
    int32 fSelected = -1;
};

#endif
