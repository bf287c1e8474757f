#include "kit_file_panel_window.h"

#include "kit/display/display.h"
#include "kit/interface/kit_look.h"
#include "kit/interface/kit_menu_layer.h"
#include "kit_file_paths.h"

#include <Alert.h>
#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <ListView.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <OS.h>
#include <PopUpMenu.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace kit {

namespace {
const uint32 kParent = '_FPp';
const uint32 kConfirm = '_FPo';
const uint32 kCancel = '_FPc';
const uint32 kSelected = '_FPs';
const uint32 kInvoked = '_FPi';
const uint32 kNameEntered = '_FPn';
const uint32 kPathEntered = '_FPt';
const uint32 kPlace = '_FPl';
const uint32 kFilterChosen = '_FPf';
const uint32 kHidden = '_FPh';
const uint32 kReplace = '_FPr';

const float kWidth = 599;
const float kHeight = 399;
const float kPlacesWidth = 120;
// The size and date columns, from the list's right edge.
const float kSizeRight = 136;
const float kDateLeft = 128;

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

bool is_folder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string start_directory(const entry_ref* directory) {
    if (directory && directory->IsSet())
        return directory->Path();
    const char* home = std::getenv("HOME");
    if (home && is_folder(home))
        return home;
    char cwd[4096];
    return getcwd(cwd, sizeof(cwd)) ? cwd : "/";
}

std::string size_text(off_t size) {
    char text[32];
    if (size < 1024)
        snprintf(text, sizeof(text), "%lld B", (long long)size);
    else if (size < 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f KB", size / 1024.0);
    else if (size < 1024LL * 1024 * 1024)
        snprintf(text, sizeof(text), "%.1f MB", size / (1024.0 * 1024));
    else
        snprintf(text, sizeof(text), "%.1f GB", size / (1024.0 * 1024 * 1024));
    return text;
}

std::string date_text(time_t when) {
    struct tm local;
    char text[32];
    if (!localtime_r(&when, &local) || strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &local) == 0)
        return "";
    return text;
}

// One entry of the folder: its name (a folder's with "/"), and for a
// file its size; the date of either.
class entry_row : public BStringItem {
  public:
    explicit entry_row(const file_panel_window::entry& e)
        : BStringItem((e.directory ? e.name + "/" : e.name).c_str()),
          fSize(e.directory ? "" : size_text(e.size)), fDate(date_text(e.modified)) {}

    void Update(BView* owner, const BFont* font) override {
        BListItem::Update(owner, font);
        font_height fh;
        font->GetHeight(&fh);
        fBaseline = std::ceil(fh.ascent) + 1;
    }

    void DrawItem(BView* owner, BRect frame, bool complete) override {
        if (IsSelected() || complete) {
            owner->SetHighColor(IsSelected() ? look::selection : owner->LowColor());
            owner->FillRect(frame);
        }
        float right = owner->Bounds().right;
        float y = frame.top + fBaseline;
        owner->SetHighColor(look::text);
        owner->SetDrawingMode(B_OP_OVER);
        // The name gives way to the columns: a long one keeps its start.
        float room = right - kSizeRight - 64 - frame.left;
        std::string name = Text();
        while (name.size() > 1 && owner->StringWidth(name.c_str()) > room) {
            size_t cut = name.size() - (name.rfind("\xE2\x80\xA6") == name.size() - 3 ? 4 : 1);
            while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
                cut--;
            name = name.substr(0, cut) + "\xE2\x80\xA6";
        }
        owner->DrawString(name.c_str(), BPoint(frame.left + 4, y));
        if (!fSize.empty())
            owner->DrawString(fSize.c_str(),
                              BPoint(right - kSizeRight - owner->StringWidth(fSize.c_str()), y));
        owner->DrawString(fDate.c_str(), BPoint(right - kDateLeft, y));
        owner->SetDrawingMode(B_OP_COPY);
    }

  private:
    std::string fSize, fDate;
    float fBaseline = 0;
};

// The columns' titles above the list.
class header_view : public BView {
  public:
    explicit header_view(BRect frame)
        : BView(frame, "header", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW) {
        SetFont(look::control_font());
    }
    void AttachedToWindow() override { SetViewColor(Parent()->ViewColor()); }
    void Draw(BRect) override {
        BRect b = Bounds();
        // The list's own width: the scroll bar is beside it.
        float right = b.right - B_V_SCROLL_BAR_WIDTH - 1;
        look::label(this, "Name", BRect(4, 0, right - kSizeRight - 60, b.bottom), B_ALIGN_LEFT,
                    true);
        look::label(this, "Size", BRect(right - kSizeRight - 60, 0, right - kSizeRight, b.bottom),
                    B_ALIGN_RIGHT, true);
        look::label(this, "Modified", BRect(right - kDateLeft, 0, right, b.bottom), B_ALIGN_LEFT,
                    true);
    }
};

// The path entry: Tab completes the typed path, Return goes there.
class path_field : public BTextControl {
  public:
    path_field(BRect frame, const std::string* folder)
        : BTextControl(frame, "path", "Folder:", "", nullptr, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP),
          fFolder(folder) {}

    void KeyDown(const char* bytes, int32 numBytes) override {
        BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
        int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
        if (numBytes == 1 && bytes[0] == B_TAB && !(mods & ~B_NUM_LOCK)) {
            std::string typed = Text();
            int matches = 0;
            std::string completed = complete_path(typed, *fFolder, &matches);
            if (completed != typed)
                SetText(completed.c_str());
            // Several entries still start so: the user types on. With none,
            // Tab moves on to the next control.
            if (matches > 0)
                return;
        }
        if (numBytes == 1 && bytes[0] == B_ENTER) {
            Window()->PostMessage(kPathEntered);
            return;
        }
        BTextControl::KeyDown(bytes, numBytes);
    }

  private:
    const std::string* fFolder;
};

// The entries: typing selects the first entry the typed text starts
// (without regard to case), Backspace goes to the parent folder.
class entry_list : public BListView {
  public:
    entry_list(BRect frame, const std::vector<file_panel_window::entry>* entries)
        : BListView(frame, "entries", B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL), fEntries(entries) {}

    void KeyDown(const char* bytes, int32 numBytes) override {
        BMessage* message = Window() ? Window()->CurrentMessage() : nullptr;
        int32 mods = message ? message->GetInt32("modifiers", 0) : 0;
        unsigned char c = numBytes > 0 ? static_cast<unsigned char>(bytes[0]) : 0;
        if (numBytes == 1 && c == B_BACKSPACE) {
            Window()->PostMessage(kParent);
            return;
        }
        if (numBytes >= 1 && c >= 0x20 && c != 0x7f && !(mods & (B_COMMAND_KEY | B_CONTROL_KEY))) {
            // A pause starts a new search.
            bigtime_t now = system_time();
            if (now - fLastTyped > 1000000)
                fTyped.clear();
            fLastTyped = now;
            fTyped.append(bytes, numBytes);
            _SelectTyped();
            return;
        }
        BListView::KeyDown(bytes, numBytes);
    }
    // Another folder starts a new search.
    void forget_typed() { fTyped.clear(); }

  private:
    void _SelectTyped() {
        for (size_t i = 0; i < fEntries->size(); i++) {
            const std::string& name = (*fEntries)[i].name;
            if (name.size() >= fTyped.size() &&
                strncasecmp(name.c_str(), fTyped.c_str(), fTyped.size()) == 0) {
                Select((int32)i);
                ScrollToSelection();
                return;
            }
        }
    }

    const std::vector<file_panel_window::entry>* fEntries;
    std::string fTyped;
    bigtime_t fLastTyped = 0;
};

} // namespace

file_panel_window::file_panel_window(file_panel_mode mode, const BMessenger* target,
                                     const entry_ref* directory, uint32 flavors, BMessage* message,
                                     BRefFilter* filter, bool hideWhenDone)
    : BWindow(BRect(0, 0, kWidth, kHeight), mode == B_SAVE_PANEL ? "Save" : "Open", B_TITLED_WINDOW,
              0),
      fMode(mode), fTarget(target ? *target : BMessenger()),
      fFlavors(flavors ? flavors : (uint32)B_FILE_NODE), fMessage(message), fFilter(filter),
      fHideWhenDone(hideWhenDone), fFilters{{"All files", {}}} {
    BRect screen = display().screen_frame();
    MoveTo(std::floor(screen.left + (screen.Width() - kWidth) / 2),
           std::floor(screen.top + (screen.Height() - kHeight) / 3));
    SetSizeLimits(460, 32768, 260, 32768);

    BRect b = Bounds();
    fBackground = new BView(b, "panel", B_FOLLOW_ALL, B_WILL_DRAW);
    fBackground->SetViewColor(look::panel);
    AddChild(fBackground);

    fPathField = new path_field(BRect(10, 8, b.right - 90, 30), &fDirectory);
    fPathField->SetDivider(46);
    fParentButton = new BButton(BRect(b.right - 80, 8, b.right - 10, 30), "parent", "Parent",
                                new BMessage(kParent), B_FOLLOW_RIGHT | B_FOLLOW_TOP);
    fBackground->AddChild(fPathField);
    fBackground->AddChild(fParentButton);

    float listTop = 38;
    float listBottom = b.bottom - (mode == B_SAVE_PANEL ? 78 : 46);
    fPlacesList = new BListView(BRect(10, listTop, 10 + kPlacesWidth, listBottom), "places",
                                B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM);
    fPlacesList->SetViewColor(look::field);
    fPlacesList->SetLowColor(look::field);
    fPlacesList->SetSelectionMessage(new BMessage(kPlace));
    fBackground->AddChild(fPlacesList);

    float left = 18 + kPlacesWidth;
    fHeader = new header_view(BRect(left, listTop, b.right - 10, listTop + 15));
    fBackground->AddChild(fHeader);
    fList = new entry_list(
        BRect(left, listTop + 18, b.right - 10 - B_V_SCROLL_BAR_WIDTH - 1, listBottom), &fEntries);
    fList->SetViewColor(look::field);
    fList->SetLowColor(look::field);
    fList->SetSelectionMessage(new BMessage(kSelected));
    fList->SetInvocationMessage(new BMessage(kInvoked));
    fScrollBar = new BScrollBar(
        BRect(b.right - 10 - B_V_SCROLL_BAR_WIDTH, listTop + 18, b.right - 10, listBottom),
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
    fFilterField =
        new BMenuField(BRect(10, b.bottom - 34, 250, b.bottom - 10), "filter",
                       "Show:", new BPopUpMenu("filter"), true, B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fFilterField->SetDivider(36);
    fBackground->AddChild(fFilterField);
    fHiddenBox =
        new BCheckBox(BRect(258, b.bottom - 32, 360, b.bottom - 12), "hidden", "Hidden files",
                      new BMessage(kHidden), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    fBackground->AddChild(fHiddenBox);
    fCancelButton =
        new BButton(BRect(b.right - 180, b.bottom - 34, b.right - 100, b.bottom - 10), "cancel",
                    "Cancel", new BMessage(kCancel), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    fDefaultButton = new BButton(BRect(b.right - 90, b.bottom - 34, b.right - 10, b.bottom - 10),
                                 "confirm", mode == B_SAVE_PANEL ? "Save" : "Open",
                                 new BMessage(kConfirm), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    fBackground->AddChild(fCancelButton);
    fBackground->AddChild(fDefaultButton);
    fDefaultButton->MakeDefault(true);
    for (BInvoker* invoker : std::vector<BInvoker*>{fParentButton, fList, fPlacesList, fHiddenBox,
                                                    fCancelButton, fDefaultButton})
        invoker->SetTarget(this);
    set_filters(fFilters);
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
    _ClearList(fList);
    _ClearList(fPlacesList);
}

void file_panel_window::_ClearList(BListView* list) {
    std::vector<BListItem*> rows;
    for (int32 i = 0; i < list->CountItems(); i++)
        rows.push_back(list->ItemAt(i));
    list->MakeEmpty();
    for (BListItem* row : rows)
        delete row;
}

void file_panel_window::set_message(BMessage* message) {
    fMessage.reset(message);
}

void file_panel_window::set_filters(const std::vector<file_panel_filter>& filters) {
    fFilters = filters.empty() ? std::vector<file_panel_filter>{{"All files", {}}} : filters;
    fFilterIndex = 0;
    BMenu* menu = fFilterField->Menu();
    while (menu->CountItems() > 0)
        delete menu->RemoveItem((int32)0);
    for (size_t i = 0; i < fFilters.size(); i++) {
        BMessage* chosen = new BMessage(kFilterChosen);
        chosen->AddInt32("index", (int32)i);
        BMenuItem* item = new BMenuItem(fFilters[i].label.c_str(), chosen);
        item->SetTarget(this);
        item->SetMarked(i == 0);
        menu->AddItem(item);
    }
    fFilterField->Invalidate();
    if (!fDirectory.empty())
        refresh();
}

void file_panel_window::set_places(const std::vector<file_panel_place>& places) {
    fPlaces.clear();
    for (const file_panel_place& place : places)
        if (is_folder(place.path))
            fPlaces.push_back(place);
    _ClearList(fPlacesList);
    for (const file_panel_place& place : fPlaces)
        fPlacesList->AddItem(new BStringItem(place.label.c_str()));
}

void file_panel_window::set_directory(const std::string& path) {
    // A relative folder is taken from the working one, so that the parent
    // of what is shown stays known.
    std::string full = path;
    char cwd[4096];
    if (!full.empty() && full[0] != '/' && getcwd(cwd, sizeof(cwd)))
        full = expand_path(path, cwd);
    if (!is_folder(full))
        return;
    fDirectory = full.size() > 1 && full.back() == '/' ? full.substr(0, full.size() - 1) : full;
    refresh();
}

void file_panel_window::refresh() {
    fEntries.clear();
    const std::vector<std::string>& patterns = fFilters[fFilterIndex].patterns;
    if (DIR* dir = opendir(fDirectory.c_str())) {
        int fd = dirfd(dir);
        while (dirent* d = readdir(dir)) {
            if (!strcmp(d->d_name, ".") || !strcmp(d->d_name, ".."))
                continue;
            if (d->d_name[0] == '.' && !fShowHidden)
                continue;
            struct stat st;
            if (fstatat(fd, d->d_name, &st, 0) != 0)
                continue; // a dangling link
            bool isDirectory = S_ISDIR(st.st_mode);
            if (!isDirectory && !matches_patterns(d->d_name, patterns))
                continue;
            if (fFilter) {
                entry_ref ref(joined(fDirectory, d->d_name).c_str());
                if (!fFilter->Filter(&ref, &st, nullptr))
                    continue;
            }
            fEntries.push_back({d->d_name, isDirectory, st.st_size, st.st_mtime});
        }
        closedir(dir);
    }
    std::sort(fEntries.begin(), fEntries.end(), [](const entry& a, const entry& b) {
        if (a.directory != b.directory)
            return a.directory;
        return natural_less(a.name, b.name);
    });
    _ClearList(fList);
    static_cast<entry_list*>(fList)->forget_typed();
    std::vector<BListItem*> rows;
    rows.reserve(fEntries.size());
    for (const entry& e : fEntries)
        rows.push_back(new entry_row(e));
    fList->kit_add_items(rows);
    fScrollBar->SetValue(0);
    fList->ScrollTo(0, 0);
    fPathField->SetText(fDirectory.c_str());
    fParentButton->SetEnabled(fDirectory != "/");
    // The place shown is marked, if it is one.
    int32 place = -1;
    for (size_t i = 0; i < fPlaces.size(); i++)
        if (expand_path(fPlaces[i].path, "/") == fDirectory)
            place = (int32)i;
    if (place != fPlacesList->CurrentSelection()) {
        fPlacesList->SetSelectionMessage(nullptr);
        if (place < 0)
            fPlacesList->DeselectAll();
        else
            fPlacesList->Select(place);
        fPlacesList->SetSelectionMessage(new BMessage(kPlace));
    }
}

void file_panel_window::set_save_text(const char* text) {
    if (!fNameField)
        return;
    fNameField->SetText(text);
    // A proposed name is selected while the field has the focus, so that
    // typing replaces it.
    if (fNameField->IsFocus()) {
        fNameField->MakeFocus(false);
        fNameField->MakeFocus(true);
    }
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

void file_panel_window::_OpenPath() {
    std::string typed = fPathField->Text();
    std::string name, path;
    if (typed.empty() || !_GoTo(typed, &name))
        return;
    path = joined(fDirectory, name);
    if (fMode == B_SAVE_PANEL) {
        _Save(name, false);
        return;
    }
    for (size_t i = 0; i < fEntries.size(); i++)
        if (fEntries[i].name == name) {
            fList->Select((int32)i);
            _Open((int32)i);
            return;
        }
    // A file the filter hides is still opened when its path is typed.
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && (fFlavors & B_FILE_NODE)) {
        BMessage message(fMessage ? *fMessage : BMessage(B_REFS_RECEIVED));
        entry_ref ref(path.c_str());
        message.AddRef("refs", &ref);
        _Send(&message);
        _Done();
    }
}

bool file_panel_window::_GoTo(const std::string& typed, std::string* name) {
    std::string path = expand_path(typed, fDirectory);
    if (is_folder(path)) {
        set_directory(path);
        return false;
    }
    std::string folder = parent_of(path);
    if (!is_folder(folder))
        return false;
    set_directory(folder);
    *name = path.substr(path.rfind('/') + 1);
    return true;
}

void file_panel_window::_Confirm() {
    if (fMode == B_OPEN_PANEL) {
        _Open(fList->CurrentSelection());
        return;
    }
    // A path typed as the name saves in its folder.
    std::string name = fNameField->Text();
    if (name.find('/') != std::string::npos || name.rfind('~', 0) == 0) {
        const std::string typed = name, before = fDirectory;
        if (!_GoTo(typed, &name)) {
            // A folder is shown, to name the file in.
            if (fDirectory != before)
                fNameField->SetText("");
            return;
        }
    }
    _Save(name, false);
}

void file_panel_window::_Save(const std::string& name, bool replace) {
    // A name is one entry in the folder shown: no folders in it, and not
    // the folder itself or its parent.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return;
    std::string path = joined(fDirectory, name);
    struct stat st;
    bool exists = stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        fNameField->SetText("");
        set_directory(path);
        return;
    }
    if (exists && !replace) {
        fNameField->SetText(name.c_str());
        fAsked = name;
        std::string text = "\"" + name + "\" already exists. Do you want to replace it?";
        BAlert* ask = new BAlert(Title(), text.c_str(), "Cancel", "Replace", nullptr,
                                 B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        ask->SetShortcut(0, B_ESCAPE);
        ask->SetShortcut(1, 'r');
        ask->Go(new BInvoker(new BMessage(kReplace), this));
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

void file_panel_window::DispatchMessage(BMessage* message, BHandler* handler) {
    // Escape cancels the panel, unless a menu is open to take it.
    const char* bytes = nullptr;
    if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
        bytes[0] == B_ESCAPE && !dynamic_cast<menu_layer*>(CurrentFocus())) {
        close_panel();
        return;
    }
    BWindow::DispatchMessage(message, handler);
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
    case kPathEntered:
        _OpenPath();
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
    case kPlace: {
        int32 index = fPlacesList->CurrentSelection();
        if (index >= 0 && index < (int32)fPlaces.size())
            set_directory(expand_path(fPlaces[index].path, "/"));
        break;
    }
    case kFilterChosen: {
        int32 index = message->GetInt32("index", 0);
        if (index >= 0 && index < (int32)fFilters.size()) {
            fFilterIndex = index;
            refresh();
        }
        break;
    }
    case kHidden:
        fShowHidden = fHiddenBox->Value() == B_CONTROL_ON;
        refresh();
        break;
    case kReplace:
        // The folder may have changed while the question was up: the name
        // asked about is saved in the folder shown now only if it is
        // still the one in the field.
        if (message->GetInt32("which", 0) == 1 && fNameField && fAsked == fNameField->Text())
            _Save(fAsked, true);
        fAsked.clear();
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
