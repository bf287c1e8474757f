// The File menu driven by clicks: the open panel opens the chosen font, a
// second panel is not made while one shows, About shows its box and Quit
// ends Run().
#include "app_test_support.h"

#include "app/globals.h"

#include <Alert.h>
#include <Button.h>

#include <cstdlib>

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
    EXPECT_STREQ(panel->Title(), "Open");
    EXPECT_NE(filepanel.load(), nullptr);

    // The folder holds one file: choose it and press Enter.
    screen().mouse_down(panel, BPoint(60, 46));
    screen().mouse_up(panel, BPoint(60, 46));
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
    EXPECT_STREQ(panel->Title(), "Save");
    menu(run, OPEN_ROW);
    run.idle();
    ASSERT_EQ(run.other_windows().size(), 1u);
    EXPECT_STREQ(run.other_windows()[0]->Title(), "Save");

    // Closing the panel forgets it; then "Open" makes a new one.
    screen().close_window(panel);
    run.idle();
    EXPECT_EQ(filepanel.load(), nullptr);
    menu(run, OPEN_ROW);
    BWindow* open = wait_for_window(run);
    ASSERT_NE(open, nullptr);
    EXPECT_STREQ(open->Title(), "Open");
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
