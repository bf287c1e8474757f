#include "kit_file_panel_window.h"

#include "kit/display/display.h"
#include "kit/interface/kit_look.h"

#include <Application.h>
#include <Button.h>
#include <ListView.h>
#include <Message.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace kit {

namespace {
const uint32 kParent = '_FPp';
const uint32 kConfirm = '_FPo';
const uint32 kCancel = '_FPc';
const uint32 kSelected = '_FPs';
const uint32 kInvoked = '_FPi';
const uint32 kNameEntered = '_FPn';

const float kWidth = 439;
const float kHeight = 319;

std::string parent_of(const std::string& path) {
    if (path == "/" || path.empty())
        return "/";
    size_t slash = path.find_last_of('/');
    if (slash == 0 || slash == std::string::npos)
        return "/";
    return path.substr(0, slash);
}

std::string joined(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

std::string start_directory(const entry_ref* directory) {
    if (directory && directory->IsSet())
        return directory->Path();
    const char* home = std::getenv("HOME");
    struct stat st;
    if (home && stat(home, &st) == 0 && S_ISDIR(st.st_mode))
        return home;
    char cwd[4096];
    return getcwd(cwd, sizeof(cwd)) ? cwd : "/";
}

// Draws the folder being shown.
class path_view : public BView {
  public:
    explicit path_view(BRect frame)
        : BView(frame, "path", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW) {
        SetFont(look::control_font());
    }
    void set_path(const std::string& path) {
        fPath = path;
        Invalidate();
    }
    void AttachedToWindow() override { SetViewColor(Parent()->ViewColor()); }
    void Draw(BRect) override {
        std::string text = "Folder: " + fPath;
        // Long paths keep their end, which names the folder.
        while (text.size() > 12 && StringWidth(text.c_str()) > Bounds().Width()) {
            size_t cut = 9;
            while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                cut++;
            text = "Folder: \xE2\x80\xA6" + text.substr(cut + 3);
        }
        look::label(this, text.c_str(), Bounds(), B_ALIGN_LEFT, true);
    }

  private:
    std::string fPath;
};
} // namespace

file_panel_window::file_panel_window(file_panel_mode mode, const BMessenger* target,
                                     const entry_ref* directory, uint32 flavors, BMessage* message,
                                     BRefFilter* filter, bool hideWhenDone)
    : BWindow(BRect(0, 0, kWidth, kHeight), mode == B_SAVE_PANEL ? "Save" : "Open", B_TITLED_WINDOW,
              0),
      fMode(mode), fTarget(target ? *target : BMessenger()),
      fFlavors(flavors ? flavors : (uint32)B_FILE_NODE), fMessage(message), fFilter(filter),
      fHideWhenDone(hideWhenDone) {
    BRect screen = display().screen_frame();
    MoveTo(std::floor(screen.left + (screen.Width() - kWidth) / 2),
           std::floor(screen.top + (screen.Height() - kHeight) / 3));
    SetSizeLimits(300, 32768, 200, 32768);

    BRect b = Bounds();
    fBackground = new BView(b, "panel", B_FOLLOW_ALL, B_WILL_DRAW);
    fBackground->SetViewColor(look::panel);
    AddChild(fBackground);

    fParentButton = new BButton(BRect(b.right - 80, 8, b.right - 10, 30), "parent", "Parent",
                                new BMessage(kParent), B_FOLLOW_RIGHT | B_FOLLOW_TOP);
    fPathView = new path_view(BRect(10, 8, b.right - 90, 30));
    fBackground->AddChild(fPathView);
    fBackground->AddChild(fParentButton);

    float listBottom = b.bottom - (mode == B_SAVE_PANEL ? 78 : 46);
    fList = new BListView(BRect(10, 38, b.right - 10 - B_V_SCROLL_BAR_WIDTH - 1, listBottom),
                          "entries", B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL);
    fList->SetViewColor(look::field);
    fList->SetLowColor(look::field);
    fList->SetSelectionMessage(new BMessage(kSelected));
    fList->SetInvocationMessage(new BMessage(kInvoked));
    fScrollBar =
        new BScrollBar(BRect(b.right - 10 - B_V_SCROLL_BAR_WIDTH, 38, b.right - 10, listBottom),
                       "entries_scroll", fList, 0, 0, B_VERTICAL);
    fList->kit_set_scroll_bar(fScrollBar);
    fBackground->AddChild(fList);
    fBackground->AddChild(fScrollBar);

    if (mode == B_SAVE_PANEL) {
        fNameField = new BTextControl(BRect(10, b.bottom - 68, b.right - 10, b.bottom - 46), "name",
                                      "File name:", "", new BMessage(kNameEntered),
                                      B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
        fBackground->AddChild(fNameField);
    }
    fCancelButton =
        new BButton(BRect(b.right - 180, b.bottom - 34, b.right - 100, b.bottom - 10), "cancel",
                    "Cancel", new BMessage(kCancel), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    fDefaultButton = new BButton(BRect(b.right - 90, b.bottom - 34, b.right - 10, b.bottom - 10),
                                 "confirm", mode == B_SAVE_PANEL ? "Save" : "Open",
                                 new BMessage(kConfirm), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    fBackground->AddChild(fCancelButton);
    fBackground->AddChild(fDefaultButton);
    fDefaultButton->MakeDefault(true);
    for (BInvoker* invoker :
         std::vector<BInvoker*>{fParentButton, fList, fCancelButton, fDefaultButton})
        invoker->SetTarget(this);
    if (fNameField) {
        fNameField->SetTarget(this);
        fNameField->MakeFocus(true);
    } else {
        fList->MakeFocus(true);
    }
    set_directory(start_directory(directory));
}

file_panel_window::~file_panel_window() {
    // A list view does not own its items: the rows go with the panel.
    std::vector<BListItem*> rows;
    for (int32 i = 0; i < fList->CountItems(); i++)
        rows.push_back(fList->ItemAt(i));
    fList->MakeEmpty();
    for (BListItem* row : rows)
        delete row;
}

void file_panel_window::set_message(BMessage* message) {
    fMessage.reset(message);
}

void file_panel_window::set_directory(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    fDirectory = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    refresh();
}

void file_panel_window::refresh() {
    fEntries.clear();
    if (DIR* dir = opendir(fDirectory.c_str())) {
        while (dirent* d = readdir(dir)) {
            if (d->d_name[0] == '.')
                continue; // ".", ".." and hidden entries
            std::string path = joined(fDirectory, d->d_name);
            struct stat st;
            if (stat(path.c_str(), &st) != 0)
                continue; // a dangling link
            bool isDirectory = S_ISDIR(st.st_mode);
            if (fFilter) {
                entry_ref ref(path.c_str());
                if (!fFilter->Filter(&ref, &st, nullptr))
                    continue;
            }
            fEntries.push_back({d->d_name, isDirectory});
        }
        closedir(dir);
    }
    std::sort(fEntries.begin(), fEntries.end(), [](const entry& a, const entry& b) {
        if (a.directory != b.directory)
            return a.directory;
        int order = strcasecmp(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : a.name < b.name;
    });
    std::vector<BListItem*> old;
    for (int32 i = 0; i < fList->CountItems(); i++)
        old.push_back(fList->ItemAt(i));
    fList->MakeEmpty();
    for (BListItem* item : old)
        delete item;
    for (const entry& e : fEntries)
        fList->AddItem(new BStringItem((e.directory ? e.name + "/" : e.name).c_str()));
    fScrollBar->SetValue(0);
    fList->ScrollTo(0, 0);
    static_cast<path_view*>(fPathView)->set_path(fDirectory);
    fParentButton->SetEnabled(fDirectory != "/");
}

void file_panel_window::set_save_text(const char* text) {
    if (fNameField)
        fNameField->SetText(text);
}

void file_panel_window::_Send(BMessage* message) {
    BMessenger target = fTarget.IsValid() ? fTarget : be_app_messenger;
    target.SendMessage(message);
}

void file_panel_window::close_panel() {
    if (IsHidden())
        return;
    Hide();
    BMessage cancel(B_CANCEL);
    if (fMessage)
        cancel.AddInt32("old_what", (int32)fMessage->what);
    _Send(&cancel);
}

void file_panel_window::_Done() {
    if (fHideWhenDone)
        close_panel();
}

void file_panel_window::_Open(int32 index) {
    if (index < 0 || index >= (int32)fEntries.size())
        return;
    const entry& e = fEntries[index];
    std::string path = joined(fDirectory, e.name);
    bool choosable = e.directory ? (fFlavors & B_DIRECTORY_NODE) : (fFlavors & B_FILE_NODE);
    if (e.directory && (fMode == B_SAVE_PANEL || !choosable)) {
        set_directory(path);
        return;
    }
    if (fMode == B_SAVE_PANEL) {
        fNameField->SetText(e.name.c_str());
        _Confirm();
        return;
    }
    if (!choosable)
        return;
    BMessage message(fMessage ? *fMessage : BMessage(B_REFS_RECEIVED));
    entry_ref ref(path.c_str());
    message.AddRef("refs", &ref);
    _Send(&message);
    _Done();
}

void file_panel_window::_Confirm() {
    if (fMode == B_OPEN_PANEL) {
        _Open(fList->CurrentSelection());
        return;
    }
    std::string name = fNameField->Text();
    // A name is one entry in the folder shown: no folders in it, and not
    // the folder itself or its parent.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return;
    std::string path = joined(fDirectory, name);
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        fNameField->SetText("");
        set_directory(path);
        return;
    }
    BMessage message(fMessage ? *fMessage : BMessage(B_SAVE_REQUESTED));
    entry_ref directory(fDirectory.c_str());
    message.AddRef("directory", &directory);
    message.AddString("name", name.c_str());
    _Send(&message);
    _Done();
}

void file_panel_window::_SelectionChanged() {
    int32 index = fList->CurrentSelection();
    if (fMode == B_SAVE_PANEL && index >= 0 && index < (int32)fEntries.size() &&
        !fEntries[index].directory)
        fNameField->SetText(fEntries[index].name.c_str());
}

void file_panel_window::MessageReceived(BMessage* message) {
    switch (message->what) {
    case kParent:
        set_directory(parent_of(fDirectory));
        break;
    case kConfirm:
    case kNameEntered:
        _Confirm();
        break;
    case kCancel:
        close_panel();
        break;
    case kSelected:
        _SelectionChanged();
        break;
    case kInvoked:
        _Open(fList->CurrentSelection());
        break;
    default:
        BWindow::MessageReceived(message);
        break;
    }
}

bool file_panel_window::QuitRequested() {
    // The close box hides the panel; the panel object owns the window.
    if (fQuitting)
        return true;
    close_panel();
    return false;
}

} // namespace kit
