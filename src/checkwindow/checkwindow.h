// checkwindow: "Check — <file name>", the findings about the open font.
// A count per severity and a filter by severity at the top, the findings
// below, sorted by severity then table. It runs on its own thread: it
// copies what it needs with the font's window locked and checks outside
// the lock; the font's window tells it of every change (CHECK_FONT_CHANGED)
// and it checks again only what changed. A double click on a finding asks
// the font's window to show its place (CHECK_SHOW_PLACE).
#ifndef TAVREL_CHECKWINDOW_CHECKWINDOW_H
#define TAVREL_CHECKWINDOW_CHECKWINDOW_H

#include "check/checker.h"
#include "checkwindow/font_follower.h"

#include <Messenger.h>
#include <Window.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

class BCheckBox;
class BScrollBar;
class findings_view;
class ttf;

class checkwindow : public BWindow {
  public:
    // `fontwindow` owns the font, found at *font while it is locked;
    // `name` is the font's file name.
    checkwindow(BRect frame, BMessenger fontwindow, ttf* const* font, const std::string& name);

    void MessageReceived(BMessage* message) override;
    // Hands the window's frame to the function set with keep_frame.
    bool QuitRequested() override;
    // Called with the window's frame when it closes (in its thread), to
    // keep it for the next run.
    void keep_frame(std::function<void(BRect)> keep) { fKeepFrame = std::move(keep); }

    // What the list shows, and the counts by severity (call with the
    // window locked).
    const std::vector<finding>& shown() const;
    // Every finding, filtered or not.
    const std::vector<finding>& all() const { return fAll; }
    std::array<int, 3> counts() const { return fCounts; }
    findings_view* list() const { return fList; }

  private:
    // Takes what changed from the font and checks it.
    void follow();
    // Shows the findings that pass the filter.
    void refresh();
    void show_place(int32 row);

    BMessenger fFontWindow;
    ttf* const* fFont;
    font_follower fFollower;
    font_checker fChecker;
    bool fHasFont = false;
    std::vector<finding> fAll;
    std::array<int, 3> fCounts{0, 0, 0};
    BView* fHeader;
    findings_view* fList;
    BScrollBar* fScroll;
    BCheckBox* fShow[3];
    std::function<void(BRect)> fKeepFrame;
};

#endif
