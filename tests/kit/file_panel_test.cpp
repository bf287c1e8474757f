#include "control_test_support.h"
#include "support/test_support.h"

#include <FilePanel.h>
#include <ListView.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

std::string folder_with_fonts() {
    std::string dir = temp_dir();
    mkdir((dir + "/sub").c_str(), 0755);
    write_file(dir + "/sub/a.ttf", {0, 1, 0, 0});
    write_file(dir + "/b.ttf", {0, 1, 0, 0});
    write_file(dir + "/.hidden", {0});
    return dir;
}

} // namespace

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

TEST(FilePanel, SaveRefusesNamesWithSlashesAndAFolderNameEntersTheFolder) {
    control_window w;
    std::string dir = folder_with_fonts();
    panel_fixture p(w, B_SAVE_PANEL, dir);
    p.type("../escape.ttf\n");
    EXPECT_TRUE(w.messages(B_SAVE_REQUESTED).empty());
    EXPECT_TRUE(p.panel->IsShowing());

    // Replace the text with the name of the folder: the panel goes in.
    p.click(p.centre("name"), 2);
    p.type("sub\n");
    EXPECT_TRUE(w.messages(B_SAVE_REQUESTED).empty());
    entry_ref shown;
    p.panel->GetPanelDirectory(&shown);
    EXPECT_EQ(std::string(shown.Path()), dir + "/sub");
    EXPECT_EQ(p.rows(), std::vector<std::string>{"a.ttf"});

    // Clicking a file proposes its name; the Save button confirms it.
    p.click(p.row(0));
    p.click(p.centre("confirm"));
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
