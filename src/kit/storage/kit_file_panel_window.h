// The window of a file panel: the folder's path, a "Parent" button, the
// list of entries (folders first), in save mode a name field, and the
// "Cancel" and "Open"/"Save" buttons.
#ifndef KIT_STORAGE_KIT_FILE_PANEL_WINDOW_H
#define KIT_STORAGE_KIT_FILE_PANEL_WINDOW_H

#include <FilePanel.h>
#include <Window.h>

#include <memory>
#include <string>
#include <vector>

class BButton;
class BListView;
class BScrollBar;
class BTextControl;

namespace kit {

class file_panel_window : public BWindow {
  public:
    file_panel_window(file_panel_mode mode, const BMessenger* target, const entry_ref* directory,
                      uint32 flavors, BMessage* message, BRefFilter* filter, bool hideWhenDone);
    ~file_panel_window() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

    // Called with the window locked.
    void set_directory(const std::string& path);
    const std::string& directory() const { return fDirectory; }
    void set_save_text(const char* text);
    void set_target(BMessenger target) { fTarget = target; }
    BMessenger target() const { return fTarget; }
    void set_message(BMessage* message);
    void set_filter(BRefFilter* filter) { fFilter = filter; }
    void set_hide_when_done(bool hide) { fHideWhenDone = hide; }
    bool hide_when_done() const { return fHideWhenDone; }
    void refresh();
    // Hides the window, telling the target B_CANCEL.
    void close_panel();
    // Lets a panel that is being destroyed quit the window.
    void allow_quit() { fQuitting = true; }

  private:
    struct entry {
        std::string name;
        bool directory;
    };
    void _Confirm();
    void _Open(int32 index);
    void _Send(BMessage* message);
    void _Done();
    void _SelectionChanged();

    file_panel_mode fMode;
    BMessenger fTarget;
    uint32 fFlavors;
    std::unique_ptr<BMessage> fMessage;
    BRefFilter* fFilter;
    bool fHideWhenDone;
    bool fQuitting = false;
    std::string fDirectory;
    std::vector<entry> fEntries;

    BView* fBackground;
    BView* fPathView;
    BButton* fParentButton;
    BListView* fList;
    BScrollBar* fScrollBar;
    BTextControl* fNameField = nullptr;
    BButton* fCancelButton;
    BButton* fDefaultButton;
};

} // namespace kit

#endif
