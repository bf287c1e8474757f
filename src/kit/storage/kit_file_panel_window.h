// The window of a file panel: a path entry with "Parent", the places on
// the left, the folder's entries (folders first, natural order) with
// their size and date, in save mode a name field, a filter menu, "Hidden
// files", and the "Cancel" and "Open"/"Save" buttons.
#ifndef KIT_STORAGE_KIT_FILE_PANEL_WINDOW_H
#define KIT_STORAGE_KIT_FILE_PANEL_WINDOW_H

#include <FilePanel.h>
#include <Window.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

class BButton;
class BCheckBox;
class BListView;
class BMenuField;
class BScrollBar;
class BTextControl;

namespace kit {

class file_panel_window : public BWindow {
  public:
    file_panel_window(file_panel_mode mode, const BMessenger* target, const entry_ref* directory,
                      uint32 flavors, BMessage* message, BRefFilter* filter, bool hideWhenDone);
    ~file_panel_window() override;

    void MessageReceived(BMessage* message) override;
    void DispatchMessage(BMessage* message, BHandler* handler) override;
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
    void set_filters(const std::vector<file_panel_filter>& filters);
    void set_places(const std::vector<file_panel_place>& places);
    void refresh();
    // Hides the window, telling the target B_CANCEL.
    void close_panel();
    // Lets a panel that is being destroyed quit the window.
    void allow_quit() { fQuitting = true; }

    struct entry {
        std::string name;
        bool directory;
        off_t size;
        time_t modified;
    };

  private:
    void _Confirm();
    void _Open(int32 index);
    void _OpenPath();
    // Shows the folder a typed path names, or the folder of the entry it
    // names, giving that entry's name; false when it names a folder or
    // none that exists.
    bool _GoTo(const std::string& typed, std::string* name);
    void _Save(const std::string& name, bool replace);
    void _Send(BMessage* message);
    void _Done();
    void _SelectionChanged();
    void _ClearList(BListView* list);

    file_panel_mode fMode;
    BMessenger fTarget;
    uint32 fFlavors;
    std::unique_ptr<BMessage> fMessage;
    BRefFilter* fFilter;
    bool fHideWhenDone;
    bool fQuitting = false;
    std::string fDirectory;
    std::vector<entry> fEntries;
    std::vector<file_panel_filter> fFilters;
    int32 fFilterIndex = 0;
    std::vector<file_panel_place> fPlaces;
    bool fShowHidden = false;
    // The name the replace question is about.
    std::string fAsked;

    BView* fBackground;
    BTextControl* fPathField;
    BButton* fParentButton;
    BListView* fPlacesList;
    BView* fHeader;
    BListView* fList;
    BScrollBar* fScrollBar;
    BTextControl* fNameField = nullptr;
    BMenuField* fFilterField;
    BCheckBox* fHiddenBox;
    BButton* fCancelButton;
    BButton* fDefaultButton;
};

} // namespace kit

#endif
