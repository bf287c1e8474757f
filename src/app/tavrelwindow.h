// tavrelwindow: the program's only window. A menu bar, the table selector
// and the work view with two scroll bars; the shown table view decides
// the window's size limits and what the scroll bars scroll.
#ifndef TAVREL_APP_TAVRELWINDOW_H
#define TAVREL_APP_TAVRELWINDOW_H

#include "editor/editor_window.h"
#include "font/history.h"

#include <Messenger.h>
#include <Window.h>

#include <atomic>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

class BMenuBar;
class BMenuItem;
class BScrollBar;
class window_link;
class recovery;
class selectview;
class tavrelview;
class settings;
class BMenu;

class tavrelwindow : public BWindow, public editor_window {
  public:
    // The smallest size, and the one a table view is laid out for: a
    // 562 x 512 table view below the menu bar and the selector, with the
    // scroll bars. Larger, the table views and editors grow with it.
    static constexpr float MIN_WIDTH = 575, MIN_HEIGHT = 578;

    explicit tavrelwindow(BRect frame);

    void setupmenus();
    // Makes `newtarget` the scroll bars' target (unless null) and sets the
    // data size: `width` x `height`, or the target's own size when either
    // is 0. `limits` holds the content's minimum width and height and
    // maximum width and height as left, top, right and bottom.
    void settarget(BRect limits, BView* newtarget, BView* newinputtarget, float width,
                   float height);
    void updatescrollbar() override;
    void markmenu(const char* menu, const char* label);
    // Shows the font's undo and redo steps in the Edit menu and whether it
    // has changes not saved in the title.
    void showhistory();
    // Takes back or does again a step of the font's history, and shows
    // the glyph editor's glyph as the font now holds it.
    void undo(bool redo);
    // Where the Edit menu's clipboard command `what` goes now: the focused
    // text field, else the drawing editor shown when it applies; null when
    // it applies nowhere.
    BHandler* cliptarget(uint32 what);
    void showclipitems();
    // Stores the overview's paste (MSG_PASTE_GLYPHS) and tells the
    // overview what came of it.
    void pasteglyphs(BMessage* message);
    // Whether the font has changes that its file does not hold: steps
    // since the last save, or edits its views hold that are not in it yet
    // (pending_edit.h). Call with the window locked.
    bool unsaved();
    // Those pending edits in a few words ("a; b"), empty when none.
    std::string pending();
    // Stores every pending edit into the font; false, with the reason in
    // *why, at the first that cannot be (the others stay pending).
    bool storepending(std::string* why);
    // Shows glyph "gno" (int32) in the outline editor, as MSG_SHOW_GLYPH
    // asks (messages.h).
    void showglyph(BMessage* message);
    // Set by the application once the user agreed to quit: the window may
    // close now. Until then the close box asks the application to quit,
    // which asks about changes first.
    std::atomic<bool> closing{false};

    // "Check font": shows the check window, making it the first time.
    void opencheck();
    // Tells the check window, if there is one, when the open font or its
    // file changed since it was last told.
    void tellchecker();
    // Shows where a finding of the check window is: its glyph in the
    // outline editor (with its point selected), or its table's view.
    void showplace(BMessage* message);

    void FrameResized(float width, float height) override;
    // Lists the recent files afresh before the File menu opens.
    void MenusBeginning() override;
    // Every zoom keeps the size the user gave the window, bringing it up
    // to the smallest size when it is below it.
    using BWindow::Zoom;
    void Zoom(BPoint origin, float width, float height) override;
    void DispatchMessage(BMessage* message, BHandler* handler) override;
    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    BMenuBar* menubar;
    tavrelview* workview;
    selectview* selector;
    // The set-up view of a new font while it shows, else null.
    BView* initv = nullptr;
    BScrollBar* scrollv;
    BScrollBar* scrollh;
    // Where the font's unsaved changes are kept, and the file the font
    // belongs to (empty for a new font): set by the application, with the
    // window locked.
    recovery* keeper = nullptr;
    std::string filepath;
    // The settings, which list the recent files; set by the application
    // with the window locked.
    settings* store = nullptr;
    // File > "Open recent".
    BMenu* recentmenu = nullptr;
    // The text preview's link, set by the application (with the window
    // locked) before any message can open it.
    window_link* preview = nullptr;
    // The face of a collection shown, or -1 for a font of its own.
    long face = -1;
    BMenuItem* undoitem = nullptr;
    BMenuItem* redoitem = nullptr;
    // The glyph overview's link, set by the application (with the window
    // locked) before any message can open it.
    window_link* overview = nullptr;
    // Cut, Copy, Paste and Select all.
    std::vector<BMenuItem*> clipitems;

    // Names the font's file in the title, with the collection's face or
    // "(variable)", ending it with " *" while the font has unsaved changes.
    void marktitle();

  private:
    void dispatch(BMessage* message, BHandler* handler);
    // Takes the font back to `before` and reports the action cut short.
    void cut_short(uint32 what, const std::exception& e, font_history* h,
                   const font_history::point& before);
    // The check window, and what it was last told.
    BMessenger fChecker;
    uint64_t fCheckedFont = 0, fCheckedChanges = 0;
    std::string fCheckedPath; // the name its title shows
};

#endif
