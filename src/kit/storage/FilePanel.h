// BFilePanel: the open and save panels, each a real window in which the
// user browses folders, picks a file or types a name, and confirms or
// cancels. The open panel sends its message (B_REFS_RECEIVED by default)
// with "refs"; the save panel sends B_SAVE_REQUESTED (by default) with
// "directory" (entry_ref) and "name". Whenever the panel hides, it sends
// B_CANCEL. Messages go to the target, or to the application without one.
#ifndef _FILE_PANEL_H
#define _FILE_PANEL_H

#include <Entry.h>
#include <Messenger.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

class BMessage;
class BWindow;
struct stat;

enum file_panel_mode {
    B_OPEN_PANEL,
    B_SAVE_PANEL,
};

// Which kinds of entries the open panel lets the user choose (folders
// can always be browsed).
enum {
    B_FILE_NODE = 0x01,
    B_DIRECTORY_NODE = 0x02,
    B_SYMLINK_NODE = 0x04,
    B_ANY_NODE = 0x07,
};

// Decides which entries the panel lists.
class BRefFilter {
  public:
    virtual ~BRefFilter() = default;
    // True to list the entry. `st` describes it (links followed).
    virtual bool Filter(const entry_ref* ref, const struct stat* st, const char* mimeType) = 0;
};

// A choice of the panel's filter menu: its label and the name patterns
// (shell wildcards, without regard to case) of the files it lists; no
// patterns lists every file. Folders are always listed.
struct file_panel_filter {
    std::string label;
    std::vector<std::string> patterns;
};

// A folder offered at the panel's side.
struct file_panel_place {
    std::string label;
    std::string path;
};

namespace kit {
class file_panel_window;
}

class BFilePanel {
  public:
    // `target` is copied; `message` is owned; a null directory starts in
    // the user's home folder. The panel chooses one entry at a time
    // (allowMultipleSelection is not offered), and a modal panel does not
    // block the program's other windows.
    BFilePanel(file_panel_mode mode = B_OPEN_PANEL, BMessenger* target = nullptr,
               const entry_ref* directory = nullptr, uint32 nodeFlavors = 0,
               bool allowMultipleSelection = true, BMessage* message = nullptr,
               BRefFilter* filter = nullptr, bool modal = false, bool hideWhenDone = true);
    BFilePanel(const BFilePanel&) = delete;
    BFilePanel& operator=(const BFilePanel&) = delete;
    virtual ~BFilePanel();

    void Show();
    void Hide();
    bool IsShowing() const;
    BWindow* Window() const;
    file_panel_mode PanelMode() const { return fMode; }

    void SetTarget(BMessenger target);
    BMessenger Messenger() const;
    void SetMessage(BMessage* message);
    void SetRefFilter(BRefFilter* filter);
    void SetHideWhenDone(bool hide);
    bool HidesWhenDone() const;

    void SetPanelDirectory(const entry_ref* directory);
    void SetPanelDirectory(const char* path);
    void GetPanelDirectory(entry_ref* directory) const;
    // The name proposed in the save panel's text field.
    void SetSaveText(const char* text);
    // Reads the folder again.
    void Refresh();
    // The filter menu's choices, the first chosen ("All files" alone
    // without them).
    void kit_set_filters(const std::vector<file_panel_filter>& filters);
    // The places at the side (none without them); those that are not
    // folders are left out.
    void kit_set_places(const std::vector<file_panel_place>& places);

  private:
    file_panel_mode fMode;
    kit::file_panel_window* fWindow;
};

#endif
