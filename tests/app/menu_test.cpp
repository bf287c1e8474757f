// The File menu driven by clicks: the open panel opens the chosen font, a
// second panel is not made while one shows, the recent fonts reopen,
// About shows its box and Quit ends Run().
#include "app_test_support.h"

#include "app/globals.h"
#include "app/recent_files.h"
#include "app/settings.h"
#include "app/tavrelwindow.h"

#include <Alert.h>
#include <Button.h>
#include <FilePanel.h>
#include <ListItem.h>
#include <ListView.h>
#include <Menu.h>
#include <MenuItem.h>
#include <TextControl.h>

#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

using namespace app_testing;
using namespace testing_support;

namespace {

// Rows of the File menu's items, in window coordinates.
const float NEW_ROW = 34, OPEN_ROW = 55, RECENT_ROW = 76, SAVE_ROW = 117, ABOUT_ROW = 138,
            QUIT_ROW = 159;

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
    EXPECT_EQ(run.title(panel), "Open font");
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
    EXPECT_EQ(run.title(panel), "Save font as");
    // The save panel proposes the font's own name.
    panel->Lock();
    BTextControl* name = dynamic_cast<BTextControl*>(panel->FindView("name"));
    EXPECT_STREQ(name ? name->Text() : "", "small.ttf");
    panel->Unlock();
    menu(run, OPEN_ROW);
    run.idle();
    ASSERT_EQ(run.other_windows().size(), 1u);
    EXPECT_EQ(run.title(run.other_windows()[0]), "Save font as");

    // Closing the panel forgets it; then "Open" makes a new one.
    screen().close_window(panel);
    run.idle();
    EXPECT_EQ(filepanel.load(), nullptr);
    menu(run, OPEN_ROW);
    BWindow* open = wait_for_window(run);
    ASSERT_NE(open, nullptr);
    // Listed from its constructor: its title is set once the window that
    // made it is idle.
    run.idle();
    EXPECT_EQ(run.title(open), "Open font");
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

namespace {

struct recent_row {
    std::string label;
    bool enabled;
    BPoint where;
};

// File > "Open recent" opened by clicks, and its rows.
std::vector<recent_row> open_recent(running_app& run) {
    menu(run, RECENT_ROW);
    run.idle();
    std::vector<recent_row> rows;
    run.window()->Lock();
    BMenu* recent = run.window()->recentmenu;
    for (int32 i = 0; recent->Parent() && i < recent->CountItems(); i++) {
        BMenuItem* item = recent->ItemAt(i);
        BRect f = item->Frame();
        rows.push_back({item->Label(), item->IsEnabled(),
                        recent->kit_window_offset() + BPoint(20, (f.top + f.bottom) / 2)});
    }
    run.window()->Unlock();
    return rows;
}

} // namespace

TEST(Menu, PanelPlacesOfferTheFoldersOfRecentFontsAndAClickOnOneShowsIt) {
    const std::string dir = temp_dir();
    for (const char* sub : {"/one", "/two", "/config", "/config/tavrel"})
        mkdir((dir + sub).c_str(), 0700);
    ASSERT_FALSE(small_font(dir + "/two", "b.ttf").empty());
    // Newest first, a folder once, a folder that is gone left out.
    const std::string text = "recent.0=" + dir + "/one/a.ttf\nrecent.1=" + dir +
                             "/gone/x.ttf\nrecent.2=" + dir + "/two/b.ttf\nrecent.3=" + dir +
                             "/one/c.ttf\n";
    write_file(dir + "/config/tavrel/settings",
               std::vector<unsigned char>(text.begin(), text.end()));
    const char* config = getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    running_app run;
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    menu(run, OPEN_ROW);
    BWindow* panel = wait_for_window(run);
    ASSERT_NE(panel, nullptr);
    run.idle();

    std::vector<std::string> labels;
    BPoint two;
    panel->Lock();
    {
        BListView* places = dynamic_cast<BListView*>(panel->FindView("places"));
        for (int32 i = 0; places && i < places->CountItems(); i++) {
            labels.push_back(static_cast<BStringItem*>(places->ItemAt(i))->Text());
            BRect f = places->ItemFrame(i);
            if (labels.back() == "two")
                two = places->kit_window_offset() + BPoint(20, (f.top + f.bottom) / 2);
        }
    }
    panel->Unlock();
    ASSERT_GE(labels.size(), 3u);
    EXPECT_EQ(labels.front(), "Home");
    EXPECT_EQ(std::vector<std::string>(labels.end() - 2, labels.end()),
              (std::vector<std::string>{"one", "two"}));

    screen().mouse_down(panel, two);
    screen().mouse_up(panel, two);
    run.idle();
    panel->Lock();
    {
        BTextControl* path = dynamic_cast<BTextControl*>(panel->FindView("path"));
        EXPECT_EQ(std::string(path ? path->Text() : ""), dir + "/two");
    }
    panel->Unlock();
    screen().close_window(panel);
    run.idle();
}

TEST(Menu, OpenRecentListsFontsOpenedAndSavedNewestFirstGreysMissingOnesAndOpensTheChosen) {
    const std::string dir = temp_dir();
    const std::string a = small_font(dir, "a.ttf"), b = small_font(dir, "b.ttf");
    // A settings file of this test's own, damaged: a relative path, a
    // repeat and a line that is no setting are passed over.
    const char* config = getenv("XDG_CONFIG_HOME");
    const std::string saved = config ? config : "";
    setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
    mkdir((dir + "/config").c_str(), 0700);
    mkdir((dir + "/config/tavrel").c_str(), 0700);
    const std::string text = "recent.0=fonts/relative.ttf\nrecent.1=" + dir +
                             "/gone.ttf\nno setting\nrecent.2=" + a + "\nrecent.3=" + a +
                             "\nrecent.x=" + b + "\n";
    write_file(dir + "/config/tavrel/settings",
               std::vector<unsigned char>(text.begin(), text.end()));
    {
        running_app run({b});
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
        std::vector<recent_row> rows = open_recent(run);
        ASSERT_EQ(rows.size(), 3u);
        EXPECT_EQ(rows[0].label, b) << "opened last";
        EXPECT_EQ(rows[1].label, dir + "/gone.ttf");
        EXPECT_FALSE(rows[1].enabled) << "a missing file is greyed";
        EXPECT_EQ(rows[2].label, a);
        EXPECT_TRUE(rows[0].enabled && rows[2].enabled);

        // A greyed row does nothing; the last one opens a.ttf.
        run.click(rows[1].where);
        EXPECT_EQ(run.title(), "b.ttf \u2014 tavrel");
        run.click(BPoint(300, 10));
        rows = open_recent(run);
        ASSERT_EQ(rows.size(), 3u);
        run.click(rows[2].where);
        EXPECT_EQ(run.title(), "a.ttf \u2014 tavrel");

        // A font saved under another name comes first too.
        menu(run, SAVE_ROW);
        BWindow* panel = wait_for_window(run);
        ASSERT_NE(panel, nullptr);
        run.idle();
        for (char c : std::string("c.ttf\n")) {
            char bytes[2] = {c, 0};
            screen().key_down(panel, bytes);
        }
        run.idle();
        EXPECT_EQ(run.title(), "c.ttf \u2014 tavrel");
        rows = open_recent(run);
        std::vector<std::string> labels;
        for (const recent_row& row : rows)
            labels.push_back(row.label);
        EXPECT_EQ(labels, (std::vector<std::string>{dir + "/c.ttf", a, b, dir + "/gone.ttf"}));
        run.click(BPoint(300, 10));
    }

    // The list keeps the last ten, a repeat moved to the front.
    settings store(dir + "/config/tavrel/settings");
    for (int i = 0; i < 12; i++)
        recent_files::add(store, "/f" + std::to_string(i));
    recent_files::add(store, "/f5");
    std::vector<std::string> expected = {"/f5"};
    for (int i = 11; i >= 2; i--)
        if (i != 5)
            expected.push_back("/f" + std::to_string(i));
    EXPECT_EQ(recent_files::list(settings(store.path())), expected) << "as written to the file";
}
