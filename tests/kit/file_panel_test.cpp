#include "control_test_support.h"
#include "kit/app/kit_registry.h"
#include "support/test_support.h"

#include <Alert.h>
#include <CheckBox.h>
#include <FilePanel.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

using namespace kit_testing;
using testing_support::temp_dir;
using testing_support::write_file;

namespace {

// A panel aimed at the log of `w`, showing `folder`.
struct panel_fixture {
    panel_fixture(control_window& w, file_panel_mode mode, const std::string& folder) {
        BMessenger target(w.log);
        panel = new BFilePanel(mode, &target, nullptr, B_FILE_NODE, false);
        panel->SetPanelDirectory(folder.c_str());
        panel->Show();
        window = panel->Window();
        EXPECT_TRUE(screen().wait_idle());
    }
    ~panel_fixture() { delete panel; }

    // The centre of a named view of the panel, in window coordinates.
    BPoint centre(const char* name) {
        BPoint p;
        locked(window, [&] {
            BView* v = window->FindView(name);
            BRect b = v->Bounds();
            p = v->kit_window_offset() + BPoint(b.Width() / 2, b.Height() / 2);
        });
        return p;
    }
    // The centre of row `index` of the entry list.
    BPoint row(int32 index) {
        BPoint p;
        locked(window, [&] {
            BListView* list = static_cast<BListView*>(window->FindView("entries"));
            BRect f = list->ItemFrame(index);
            p = list->kit_window_offset() + BPoint(40, (f.top + f.bottom) / 2 - list->Bounds().top);
        });
        return p;
    }
    std::vector<std::string> rows() {
        std::vector<std::string> texts;
        locked(window, [&] {
            BListView* list = static_cast<BListView*>(window->FindView("entries"));
            for (int32 i = 0; i < list->CountItems(); i++)
                texts.push_back(static_cast<BStringItem*>(list->ItemAt(i))->Text());
        });
        return texts;
    }
    std::string path_text() {
        std::string text;
        locked(window,
               [&] { text = static_cast<BTextControl*>(window->FindView("path"))->Text(); });
        return text;
    }
    int32 selected() {
        int32 index = -1;
        locked(window, [&] {
            index = static_cast<BListView*>(window->FindView("entries"))->CurrentSelection();
        });
        return index;
    }
    // Chooses item `index` of the filter menu with two clicks.
    void choose_filter(int32 index) {
        click(centre("filter"));
        BPoint p;
        locked(window, [&] {
            BMenu* menu = static_cast<BMenuField*>(window->FindView("filter"))->Menu();
            if (!menu->Parent())
                return;
            BRect f = menu->ItemAt(index)->Frame();
            p = menu->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2)) +
                menu->Parent()->kit_window_offset();
        });
        click(p);
    }
    void key(const char* bytes) {
        screen().key_down(window, bytes);
        screen().key_up(window, bytes);
        EXPECT_TRUE(screen().wait_idle());
    }
    void click(BPoint where, int32 clicks = 1) {
        screen().mouse_down(window, where, B_PRIMARY_MOUSE_BUTTON, 0, clicks);
        screen().mouse_up(window, where);
        EXPECT_TRUE(screen().wait_idle());
    }
    void type(const std::string& text) {
        for (char c : text) {
            char bytes[2] = {c, 0};
            screen().key_down(window, bytes);
        }
        EXPECT_TRUE(screen().wait_idle());
    }

    BFilePanel* panel;
    BWindow* window;
};

// Waits for an alert to come up.
BAlert* wait_alert() {
    for (int i = 0; i < 500; i++) {
        {
            std::lock_guard<std::mutex> guard(kit::registry_mutex());
            for (BLooper* looper : kit::loopers())
                if (BAlert* alert = dynamic_cast<BAlert*>(looper))
                    return alert;
        }
        snooze(2000);
    }
    return nullptr;
}

std::string folder_with_fonts() {
    std::string dir = temp_dir();
    mkdir((dir + "/sub").c_str(), 0755);
    write_file(dir + "/sub/a.ttf", {0, 1, 0, 0});
    write_file(dir + "/b.ttf", {0, 1, 0, 0});
    write_file(dir + "/.hidden", {0});
    return dir;
}

// Folders and files whose names sort differently by bytes, by case and
// by number, a file no filter for fonts lists, and a hidden one.
std::string mixed_folder() {
    std::string dir = temp_dir();
    for (const char* folder : {"b10", "b9", "A"})
        mkdir((dir + "/" + folder).c_str(), 0755);
    for (const char* file : {"file10.ttf", "file2.TTF", "File1.otf", "file02.ttf", "notes.txt",
                             "x.ttc", ".hidden.ttf"})
        write_file(dir + "/" + file, {0, 1, 0, 0});
    write_file(dir + "/b9/inner.ttf", {0, 1, 0, 0});
    return dir;
}

} // namespace

TEST(FilePanel, ListsFoldersFirstInNaturalOrderThroughTheChosenFilterAndHiddenOnlyOnRequest) {
    control_window w;
    std::string dir = mixed_folder();
    panel_fixture p(w, B_OPEN_PANEL, dir);
    p.panel->kit_set_filters({{"Fonts", {"*.ttf", "*.ttc", "*.otf"}}, {"All files", {}}});
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(p.rows(), (std::vector<std::string>{"A/", "b9/", "b10/", "File1.otf", "file2.TTF",
                                                  "file02.ttf", "file10.ttf", "x.ttc"}));
    screenshot(p.window, "open_panel_columns");

    p.choose_filter(1);
    EXPECT_EQ(p.rows(),
              (std::vector<std::string>{"A/", "b9/", "b10/", "File1.otf", "file2.TTF", "file02.ttf",
                                        "file10.ttf", "notes.txt", "x.ttc"}));
    p.click(p.centre("hidden"));
    std::vector<std::string> rows = p.rows();
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[3], ".hidden.ttf");
    p.click(p.centre("hidden"));
    EXPECT_EQ(p.rows().size(), 9u);
}

TEST(FilePanel, ATypedPathExpandsTildeCompletesWithTabAndOpensTheFile) {
    control_window w;
    std::string dir = mixed_folder();
    const char* home = getenv("HOME");
    std::string saved = home ? home : "";
    setenv("HOME", dir.c_str(), 1);
    panel_fixture p(w, B_OPEN_PANEL, "/");
    EXPECT_EQ(p.path_text(), "/");
    p.click(p.centre("path"), 2);
    p.type("~/b");
    p.key("\t");
    EXPECT_EQ(p.path_text(), "~/b") << "two folders start so: nothing more in common";
    p.type("9");
    p.key("\t");
    EXPECT_EQ(p.path_text(), "~/b9/") << "one folder: completed with its slash";
    p.type("in");
    p.key("\t");
    EXPECT_EQ(p.path_text(), "~/b9/inner.ttf");
    p.key("\n");
    setenv("HOME", saved.c_str(), 1);
    std::vector<BMessage> opens = w.messages(B_REFS_RECEIVED);
    ASSERT_EQ(opens.size(), 1u);
    entry_ref ref;
    ASSERT_EQ(opens[0].FindRef("refs", &ref), B_OK);
    EXPECT_EQ(std::string(ref.Path()), dir + "/b9/inner.ttf");

    // A typed folder (relative to the one shown, with "..") is gone to.
    p.panel->Show();
    ASSERT_TRUE(screen().wait_idle());
    p.click(p.centre("path"), 2);
    p.type("../A\n");
    entry_ref shown;
    p.panel->GetPanelDirectory(&shown);
    EXPECT_EQ(std::string(shown.Path()), dir + "/A");
    EXPECT_EQ(p.path_text(), dir + "/A");
}

TEST(FilePanel, TypingSelectsReturnOpensBackspaceGoesUpAndEscapeCancels) {
    control_window w;
    std::string dir = mixed_folder();
    panel_fixture p(w, B_OPEN_PANEL, dir);
    // The list has the focus.
    p.type("B1");
    EXPECT_EQ(p.selected(), 2) << "b10/, found without regard to case";
    p.key("\n");
    entry_ref shown;
    p.panel->GetPanelDirectory(&shown);
    EXPECT_EQ(std::string(shown.Path()), dir + "/b10");
    p.key("\b");
    p.panel->GetPanelDirectory(&shown);
    EXPECT_EQ(std::string(shown.Path()), dir);
    p.type("fILE1");
    EXPECT_EQ(p.selected(), 3) << "a new folder starts a new search";
    p.key("\n");
    std::vector<BMessage> opens = w.messages(B_REFS_RECEIVED);
    ASSERT_EQ(opens.size(), 1u);
    entry_ref ref;
    ASSERT_EQ(opens[0].FindRef("refs", &ref), B_OK);
    EXPECT_EQ(std::string(ref.Path()), dir + "/File1.otf");

    p.panel->Show();
    ASSERT_TRUE(screen().wait_idle());
    p.key("\x1b");
    EXPECT_FALSE(p.panel->IsShowing());
    EXPECT_EQ(w.messages(B_CANCEL).size(), 2u);
    EXPECT_EQ(w.messages(B_REFS_RECEIVED).size(), 1u);
}

TEST(FilePanel, SavePanelAnswersWithTheFolderAndTheTypedNameThenCancelsAndHides) {
    control_window w;
    std::string dir = folder_with_fonts();
    panel_fixture p(w, B_SAVE_PANEL, dir);
    EXPECT_TRUE(p.panel->IsShowing());
    screenshot(p.window, "save_panel");
    // The name field has the focus from the start.
    p.type("new font.ttf\n");

    std::vector<BMessage> saves = w.messages(B_SAVE_REQUESTED);
    ASSERT_EQ(saves.size(), 1u);
    entry_ref directory;
    ASSERT_EQ(saves[0].FindRef("directory", &directory), B_OK);
    EXPECT_STREQ(directory.Path(), dir.c_str());
    EXPECT_STREQ(saves[0].GetString("name", ""), "new font.ttf");
    EXPECT_EQ(w.messages(B_CANCEL).size(), 1u) << "the panel says it closed";
    EXPECT_FALSE(p.panel->IsShowing());
    locked(w.window, [&] {
        EXPECT_EQ(w.log->received.front().what, (uint32)B_SAVE_REQUESTED) << "answer first";
    });
}

TEST(FilePanel, ANameTypedAsAPathSavesInItsFolderAndAFolderNameEntersTheFolder) {
    control_window w;
    std::string dir = folder_with_fonts();
    // Typed in the name field of a panel showing sub/: the folder and the
    // name saved in, none for a folder that does not exist.
    const struct {
        std::string typed, folder, name;
    } cases[] = {{"missing/x.ttf", "", ""},
                 {"../up.ttf", dir, "up.ttf"},
                 {dir + "/sub/new.ttf", dir + "/sub", "new.ttf"},
                 {"~/home.ttf", getenv("HOME"), "home.ttf"}};
    for (const auto& c : cases) {
        panel_fixture path(w, B_SAVE_PANEL, dir + "/sub");
        path.type(c.typed + "\n");
        std::vector<BMessage> saves = w.messages(B_SAVE_REQUESTED);
        EXPECT_EQ(path.panel->IsShowing(), c.name.empty()) << c.typed;
        if (c.name.empty()) {
            EXPECT_TRUE(saves.empty()) << c.typed;
            continue;
        }
        ASSERT_EQ(saves.size(), 1u) << c.typed;
        entry_ref folder;
        ASSERT_EQ(saves[0].FindRef("directory", &folder), B_OK);
        EXPECT_EQ(std::string(folder.Path()), c.folder) << c.typed;
        EXPECT_EQ(saves[0].GetString("name", ""), c.name) << c.typed;
        locked(w.window, [&] { w.log->received.clear(); });
    }

    // The name of a folder: the panel goes in.
    panel_fixture p(w, B_SAVE_PANEL, dir);
    p.type("sub\n");
    EXPECT_TRUE(w.messages(B_SAVE_REQUESTED).empty());
    entry_ref shown;
    p.panel->GetPanelDirectory(&shown);
    EXPECT_EQ(std::string(shown.Path()), dir + "/sub");
    EXPECT_EQ(p.rows(), std::vector<std::string>{"a.ttf"});

    // Clicking a file proposes its name; Save asks before replacing the
    // file, and "Replace" (its key is r) confirms.
    p.click(p.row(0));
    p.click(p.centre("confirm"));
    EXPECT_TRUE(w.messages(B_SAVE_REQUESTED).empty());
    BAlert* ask = wait_alert();
    ASSERT_NE(ask, nullptr);
    locked(ask, [&] {
        EXPECT_STREQ(ask->Text(), "\"a.ttf\" already exists. Do you want to replace it?");
    });
    screen().key_down(ask, "r");
    for (int i = 0; i < 500 && w.messages(B_SAVE_REQUESTED).empty(); i++)
        snooze(2000);
    std::vector<BMessage> saves = w.messages(B_SAVE_REQUESTED);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_STREQ(saves[0].GetString("name", ""), "a.ttf");
}

TEST(FilePanel, OpenPanelBrowsesFoldersAndSendsTheChosenFileAsRefs) {
    control_window w;
    std::string dir = folder_with_fonts();
    panel_fixture p(w, B_OPEN_PANEL, dir);
    EXPECT_EQ(p.rows(), (std::vector<std::string>{"sub/", "b.ttf"}))
        << "folders first, hidden entries left out";
    screenshot(p.window, "open_panel");

    p.click(p.row(0), 2); // double-click the folder
    EXPECT_EQ(p.rows(), std::vector<std::string>{"a.ttf"});
    p.click(p.centre("parent"));
    EXPECT_EQ(p.rows(), (std::vector<std::string>{"sub/", "b.ttf"}));
    EXPECT_TRUE(w.messages(B_REFS_RECEIVED).empty());

    p.click(p.row(1));
    p.click(p.centre("confirm"));
    std::vector<BMessage> opens = w.messages(B_REFS_RECEIVED);
    ASSERT_EQ(opens.size(), 1u);
    entry_ref ref;
    ASSERT_EQ(opens[0].FindRef("refs", &ref), B_OK);
    EXPECT_EQ(std::string(ref.Path()), dir + "/b.ttf");
    EXPECT_EQ(w.messages(B_CANCEL).size(), 1u);
    EXPECT_FALSE(p.panel->IsShowing());

    // Shown again, a double-click on a file opens it at once.
    p.panel->Show();
    ASSERT_TRUE(screen().wait_idle());
    p.click(p.row(1), 2);
    EXPECT_EQ(w.messages(B_REFS_RECEIVED).size(), 2u);
}

TEST(FilePanel, CancelAndTheCloseBoxHideThePanelAndSendOnlyCancel) {
    control_window w;
    std::string dir = folder_with_fonts();
    panel_fixture p(w, B_OPEN_PANEL, dir);
    p.click(p.centre("cancel"));
    EXPECT_FALSE(p.panel->IsShowing());
    EXPECT_EQ(w.messages(B_CANCEL).size(), 1u);

    p.panel->Show();
    ASSERT_TRUE(screen().wait_idle());
    screen().close_window(p.window);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_FALSE(p.panel->IsShowing());
    EXPECT_TRUE(screen().has_window(p.window->kit_token())) << "the window lives on";
    EXPECT_EQ(w.messages(B_CANCEL).size(), 2u);
    EXPECT_TRUE(w.messages(B_REFS_RECEIVED).empty());
}
