// The File menu driven by clicks: the open panel opens the chosen font, a
// second panel is not made while one shows, About shows its box and Quit
// ends Run().
#include "app_test_support.h"

#include "app/globals.h"

#include <Alert.h>
#include <Button.h>
#include <FilePanel.h>
#include <ListView.h>
#include <TextControl.h>

#include <cstdlib>
#include <cstring>

using namespace app_testing;
using namespace testing_support;

namespace {

// Rows of the File menu's items, in window coordinates.
const float NEW_ROW = 34, OPEN_ROW = 55, SAVE_ROW = 96, ABOUT_ROW = 117, QUIT_ROW = 138;

void menu(running_app& run, float row) {
    run.click(BPoint(15, 10));
    screen().mouse_down(run.window(), BPoint(40, row));
    screen().mouse_up(run.window(), BPoint(40, row));
}

BWindow* wait_for_window(running_app& run) {
    for (int i = 0; i < 500; i++) {
        std::vector<BWindow*> up = run.other_windows();
        if (!up.empty())
            return up[0];
        snooze(10000);
    }
    return nullptr;
}

// Waits for the save panel's question about replacing "other.ttf".
BWindow* replace_question(running_app& run) {
    for (int i = 0; i < 500; i++) {
        for (BWindow* w : run.other_windows()) {
            BAlert* alert = dynamic_cast<BAlert*>(w);
            if (!alert || alert->Thread() < 0 || !alert->Lock())
                continue;
            bool asks = strcmp(alert->Text(),
                               "\"other.ttf\" already exists. Do you want to replace it?") == 0;
            alert->Unlock();
            if (asks)
                return alert;
        }
        snooze(10000);
    }
    return nullptr;
}

} // namespace

TEST(Menu, OpenPanelOpensTheChosenFont) {
    std::string dir = temp_dir();
    ASSERT_FALSE(small_font(dir).empty());
    const char* home = getenv("HOME");
    std::string saved = home ? home : "";
    setenv("HOME", dir.c_str(), 1);
    running_app run;
    menu(run, OPEN_ROW);
    BWindow* panel = wait_for_window(run);
    // The panel is listed before it is built, and it reads HOME while it is.
    run.idle();
    setenv("HOME", saved.c_str(), 1);
    ASSERT_NE(panel, nullptr);
    EXPECT_STREQ(panel->Title(), "Open font");
    EXPECT_NE(filepanel.load(), nullptr);

    // The folder holds one file: choose it and press Enter.
    BPoint first(-1, -1);
    panel->Lock();
    if (BListView* list = dynamic_cast<BListView*>(panel->FindView("entries"))) {
        BRect f = list->ItemFrame(0);
        first = list->kit_window_offset() + BPoint(30, (f.top + f.bottom) / 2);
    }
    panel->Unlock();
    ASSERT_GT(first.x, 0);
    screen().mouse_down(panel, first);
    screen().mouse_up(panel, first);
    run.idle();
    screen().key_down(panel, "\n", B_ENTER);
    screen().key_up(panel, "\n", B_ENTER);
    run.idle();
    ASSERT_NE(curfont, nullptr);
    EXPECT_TRUE(run.app->fontshown());
    EXPECT_EQ(run.selector()->count, 10);
    EXPECT_EQ(filepanel.load(), nullptr);
}

TEST(Menu, OnlyOnePanelShowsAtATime) {
    running_app run({small_font(temp_dir())});
    menu(run, SAVE_ROW);
    BWindow* panel = wait_for_window(run);
    ASSERT_NE(panel, nullptr);
    run.idle();
    EXPECT_STREQ(panel->Title(), "Save font as");
    // The save panel proposes the font's own name.
    panel->Lock();
    BTextControl* name = dynamic_cast<BTextControl*>(panel->FindView("name"));
    EXPECT_STREQ(name ? name->Text() : "", "small.ttf");
    panel->Unlock();
    menu(run, OPEN_ROW);
    run.idle();
    ASSERT_EQ(run.other_windows().size(), 1u);
    EXPECT_STREQ(run.other_windows()[0]->Title(), "Save font as");

    // Closing the panel forgets it; then "Open" makes a new one.
    screen().close_window(panel);
    run.idle();
    EXPECT_EQ(filepanel.load(), nullptr);
    menu(run, OPEN_ROW);
    BWindow* open = wait_for_window(run);
    ASSERT_NE(open, nullptr);
    EXPECT_STREQ(open->Title(), "Open font");
}

TEST(Menu, SaveAsOverAnotherFileAsksFirstCancelKeepsItAndReplaceWritesTheFont) {
    std::string dir = temp_dir();
    std::string font = small_font(dir);
    write_file(dir + "/other.ttf", {'o', 'l', 'd'});
    running_app run({font});
    menu(run, SAVE_ROW);
    BWindow* panel = wait_for_window(run);
    ASSERT_NE(panel, nullptr);
    run.idle();
    // The proposed name is selected: typing replaces it.
    for (char c : std::string("other.ttf\n")) {
        char bytes[2] = {c, 0};
        screen().key_down(panel, bytes);
    }
    BWindow* ask = replace_question(run);
    ASSERT_NE(ask, nullptr);
    run.answer(ask, "\x1b", B_ESCAPE);
    EXPECT_EQ(read_file(dir + "/other.ttf"), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_TRUE(run.listed(panel)) << "Cancel goes back to the panel";

    screen().key_down(panel, "\n", B_ENTER);
    ask = replace_question(run);
    ASSERT_NE(ask, nullptr);
    run.answer(ask, "r");
    // The answer reaches the panel, and then the application, after the
    // alert has gone.
    for (int i = 0; i < 500 && read_file(dir + "/other.ttf").size() <= 3; i++)
        snooze(10000);
    run.idle();
    std::vector<unsigned char> saved = read_file(dir + "/other.ttf");
    ASSERT_GT(saved.size(), 12u);
    EXPECT_EQ(std::vector<unsigned char>(saved.begin(), saved.begin() + 4),
              (std::vector<unsigned char>{0, 1, 0, 0}))
        << "the font, saved over the file";
    EXPECT_EQ(run.title(), "other.ttf \u2014 tavrel");
}

TEST(Menu, AboutShowsItsBox) {
    running_app run;
    menu(run, ABOUT_ROW);
    BWindow* up = wait_for_window(run);
    ASSERT_NE(up, nullptr);
    // The alert is listed as soon as it is constructed on the application's
    // thread; it is read once its own thread runs (it is shown and whole
    // by then), under its lock.
    for (int i = 0; i < 500 && up->Thread() < 0; i++)
        snooze(10000);
    ASSERT_TRUE(up->Lock());
    EXPECT_FALSE(up->IsHidden());
    BAlert* about = dynamic_cast<BAlert*>(up);
    ASSERT_NE(about, nullptr);
    std::string text = about->Text();
    int32 buttons = about->CountButtons();
    std::string label = buttons > 0 ? about->ButtonAt(0)->Label() : "";
    up->Unlock();
    EXPECT_EQ(text.rfind("tavrel ver.0.011   2009. 4.22\n", 0), 0u);
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(label, "Thank you");
    EXPECT_EQ(run.dismiss_alerts(), 1);
}

TEST(Menu, NewDiscardsTheOpenFont) {
    running_app run({small_font(temp_dir())});
    ASSERT_TRUE(run.app->fontshown());
    menu(run, NEW_ROW);
    run.idle();
    EXPECT_FALSE(run.app->fontshown());
    EXPECT_EQ(run.selector()->count, 0);
}

TEST(Menu, QuitEndsRun) {
    running_app run({small_font(temp_dir())});
    menu(run, QUIT_ROW);
    EXPECT_TRUE(run.join());
}
