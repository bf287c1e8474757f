#include "control_test_support.h"

#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TextControl.h>

#include <gtest/gtest.h>

using namespace kit_testing;

namespace {

// The File menu of the main window, its items aimed at the log.
BMenuBar* file_menu_bar(control_window& w) {
    BMenuBar* bar = new BMenuBar(BRect(0, 0, 20, 20), "menubar");
    BMenu* file = new BMenu("File");
    file->AddItem(new BMenuItem("New", new BMessage('fine')));
    file->AddItem(new BMenuItem("Open", new BMessage('fiop')));
    file->AddItem(new BMenuItem("Save as", new BMessage('finw')));
    file->AddItem(new BMenuItem("About", new BMessage(B_ABOUT_REQUESTED)));
    file->AddItem(new BMenuItem("Quit", new BMessage(B_QUIT_REQUESTED)));
    bar->AddItem(file);
    file->SetTargetForItems(w.log);
    locked(w.window, [&] { w.log->AddChild(bar); });
    return bar;
}

BPoint item_centre(control_window& w, BMenu* menu, int32 index) {
    BPoint p;
    locked(w.window, [&] {
        if (!menu->Parent())
            return;
        BRect f = menu->ItemAt(index)->Frame();
        p = menu->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
        p = p + menu->Parent()->kit_window_offset();
    });
    return p;
}

bool is_open(control_window& w, BMenu* menu) {
    bool open = false;
    locked(w.window, [&] { open = menu->Window() != nullptr; });
    return open;
}

} // namespace

TEST(Menu, ClickingATitleOpensTheMenuAndAnItemReachesItsTarget) {
    control_window w(399, 299);
    BMenuBar* bar = file_menu_bar(w);
    BMenu* file = bar->SubmenuAt(0);
    ASSERT_TRUE(w.idle());
    BRect barFrame;
    locked(w.window, [&] { barFrame = bar->Frame(); });
    EXPECT_EQ(barFrame.Width(), 399) << "the bar spans the window";
    EXPECT_GE(barFrame.Height(), 15);

    w.click(BPoint(15, 10));
    ASSERT_TRUE(w.idle());
    ASSERT_TRUE(is_open(w, file)) << "the menu stays open after the click";
    screenshot(w.window, "menu_open");

    w.click(item_centre(w, file, 2)); // "Save as"
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('finw');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(source_of(sent[0]), file->ItemAt(2));
    EXPECT_EQ(sent[0].GetInt32("index", -1), 2);
    EXPECT_TRUE(sent[0].HasInt64("when"));
    EXPECT_FALSE(is_open(w, file));
    EXPECT_TRUE(w.messages('fine').empty());
}

TEST(Menu, AClickOutsideOrEscapeClosesWithoutChoosingAndDoesNotReachTheViewBelow) {
    control_window w(399, 299);
    BMenuBar* bar = file_menu_bar(w);
    BMenu* file = bar->SubmenuAt(0);
    w.click(BPoint(15, 10));
    ASSERT_TRUE(w.idle());
    ASSERT_TRUE(is_open(w, file));
    w.click(BPoint(300, 250));
    ASSERT_TRUE(w.idle());
    EXPECT_FALSE(is_open(w, file));

    w.click(BPoint(15, 10));
    w.key(B_ESCAPE);
    ASSERT_TRUE(w.idle());
    EXPECT_FALSE(is_open(w, file));
    locked(w.window, [&] { EXPECT_TRUE(w.log->received.empty()); });

    // Once closed, clicks reach the views again.
    w.click(BPoint(15, 10));
    ASSERT_TRUE(w.idle());
    EXPECT_TRUE(is_open(w, file));
}

TEST(Menu, KeyboardMovesThroughTheItemsAndEnterChooses) {
    control_window w(399, 299);
    BMenuBar* bar = file_menu_bar(w);
    BMenu* file = bar->SubmenuAt(0);
    locked(w.window, [&] { file->ItemAt(1)->SetEnabled(false); });
    w.click(BPoint(15, 10));
    w.key(B_DOWN_ARROW); // New
    w.key(B_DOWN_ARROW); // skips the disabled Open
    w.key(B_ENTER);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('finw').size(), 1u);
    EXPECT_TRUE(w.messages('fiop').empty());
    // A disabled item does nothing when clicked.
    w.click(BPoint(15, 10));
    ASSERT_TRUE(w.idle());
    w.click(item_centre(w, file, 1));
    ASSERT_TRUE(w.idle());
    EXPECT_TRUE(w.messages('fiop').empty());
}

TEST(PopUpMenu, RadioModeMarksTheChosenItemAloneAndTheFieldShowsIt) {
    control_window w(99, 299);
    BPopUpMenu* menu = new BPopUpMenu("pt");
    for (int size : {12, 16}) {
        BMessage* m = new BMessage('Msel');
        m->AddInt16("pt", (int16)((size << 8) | size));
        menu->AddItem(new BMenuItem(std::to_string(size).c_str(), m));
    }
    menu->SetTargetForItems(w.log);
    BMenuField* field =
        w.add(new BMenuField(BRect(5, 85, 45, 105), "point", nullptr, menu, true, 0, B_WILL_DRAW));
    ASSERT_TRUE(w.idle());
    std::string title;
    locked(w.window, [&] { title = field->kit_title(); });
    EXPECT_EQ(title, "pt") << "nothing marked yet: the menu's name";

    w.click(BPoint(25, 95));
    ASSERT_TRUE(w.idle());
    ASSERT_TRUE(is_open(w, menu));
    screenshot(w.window, "popup_open");
    w.click(item_centre(w, menu, 1));
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Msel');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].GetInt16("pt", 0), 0x1010);
    locked(w.window, [&] {
        EXPECT_TRUE(menu->ItemAt(1)->IsMarked());
        EXPECT_FALSE(menu->ItemAt(0)->IsMarked());
        title = field->kit_title();
    });
    EXPECT_EQ(title, "16");

    w.click(BPoint(25, 95));
    ASSERT_TRUE(w.idle());
    w.click(item_centre(w, menu, 0));
    ASSERT_TRUE(w.idle());
    locked(w.window, [&] {
        EXPECT_TRUE(menu->ItemAt(0)->IsMarked());
        EXPECT_FALSE(menu->ItemAt(1)->IsMarked());
        EXPECT_EQ(menu->FindMarked(), menu->ItemAt(0));
    });
    screenshot(w.window, "menu_field");
}

TEST(Menu, ItemsCanBeCountedFoundRemovedAndMarked) {
    BMenu menu("File");
    menu.AddItem(new BMenuItem("New", nullptr));
    menu.AddItem(new BMenuItem("Open", nullptr));
    menu.AddSeparatorItem();
    menu.AddItem(new BMenuItem("Quit", nullptr), 0);
    EXPECT_EQ(menu.CountItems(), 4);
    EXPECT_STREQ(menu.ItemAt(0)->Label(), "Quit");
    EXPECT_EQ(menu.IndexOf(menu.FindItem("Open")), 2);
    BMenuItem* removed = menu.RemoveItem(0);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->Menu(), nullptr);
    delete removed;
    EXPECT_EQ(menu.CountItems(), 3);
    EXPECT_EQ(menu.ItemAt(5), nullptr);
    menu.ItemAt(0)->SetMarked(true);
    menu.ItemAt(1)->SetMarked(true); // not radio: both stay
    EXPECT_TRUE(menu.ItemAt(0)->IsMarked());
    menu.SetRadioMode(true);
    menu.ItemAt(0)->SetMarked(true);
    EXPECT_FALSE(menu.ItemAt(1)->IsMarked());
}

TEST(Menu, CommandWithAShortcutKeyChoosesTheItemEvenFromATextField) {
    control_window w(399, 299);
    BMenuBar* bar = new BMenuBar(BRect(0, 0, 20, 20), "menubar");
    BMenu* file = new BMenu("File");
    file->AddItem(new BMenuItem("Quit", new BMessage('quit'), 'Q'));
    bar->AddItem(file);
    file->SetTargetForItems(w.log);
    BTextControl* field =
        new BTextControl(BRect(10, 100, 200, 120), "f", "f", "", new BMessage('Vchg'));
    locked(w.window, [&] {
        w.log->AddChild(bar);
        w.log->AddChild(field);
        field->MakeFocus(true);
    });
    w.key('q', B_COMMAND_KEY);
    w.key('z', B_COMMAND_KEY); // no item has it: nothing
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('quit').size(), 1u);
    std::string text = "x";
    locked(w.window, [&] { text = field->Text(); });
    EXPECT_EQ(text, "");
}

TEST(Menu, TheWindowOffersCommandKeysToTheMenusFirstAndMatchesShift) {
    control_window w(399, 299);
    BMenuBar* bar = new BMenuBar(BRect(0, 0, 20, 20), "menubar");
    BMenu* edit = new BMenu("Edit");
    edit->AddItem(new BMenuItem("Undo", new BMessage('undo'), 'Z'));
    edit->AddItem(new BMenuItem("Redo", new BMessage('redo'), 'Z', B_SHIFT_KEY));
    BMenuItem* off = new BMenuItem("Off", new BMessage('off '), 'K');
    off->SetEnabled(false);
    edit->AddItem(off);
    bar->AddItem(edit);
    edit->SetTargetForItems(w.log);
    BTextControl* field =
        new BTextControl(BRect(10, 100, 200, 120), "f", "f", "", new BMessage('Vchg'));
    locked(w.window, [&] {
        w.log->AddChild(bar);
        w.log->AddChild(field);
        field->MakeFocus(true);
    });
    w.key('z', B_COMMAND_KEY);
    w.key('Z', B_COMMAND_KEY | B_SHIFT_KEY);
    w.key('z', B_COMMAND_KEY | B_SHIFT_KEY);
    w.key('k', B_COMMAND_KEY); // a disabled item's key does nothing
    w.key('z', 0);             // without Command it is typing
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('undo').size(), 1u);
    EXPECT_EQ(w.messages('redo').size(), 2u);
    EXPECT_TRUE(w.messages('off ').empty());
    std::string text;
    locked(w.window, [&] { text = field->Text(); });
    EXPECT_EQ(text, "z");
}

TEST(Menu, AnItemShowsItsShortcutRightOfTheLabel) {
    control_window w(399, 299);
    BMenuBar* bar = new BMenuBar(BRect(0, 0, 20, 20), "menubar");
    BMenu* edit = new BMenu("Edit");
    edit->AddItem(new BMenuItem("Undo", new BMessage('undo'), 'Z'));
    edit->AddItem(new BMenuItem("Redo", new BMessage('redo'), 'Z', B_SHIFT_KEY));
    edit->AddItem(new BMenuItem("Plain", new BMessage('plai')));
    bar->AddItem(edit);
    locked(w.window, [&] { w.log->AddChild(bar); });
    EXPECT_EQ(edit->ItemAt(0)->kit_shortcut_text(), "Alt+Z");
    EXPECT_EQ(edit->ItemAt(1)->kit_shortcut_text(), "Shift+Alt+Z");
    EXPECT_EQ(edit->ItemAt(2)->kit_shortcut_text(), "");
    w.click(BPoint(15, 10));
    ASSERT_TRUE(w.idle());
    ASSERT_TRUE(is_open(w, edit));
    // Dark text pixels in the right half of each row: the shortcuts of the
    // first two rows, none in the third.
    BRect rows[3];
    BPoint origin;
    locked(w.window, [&] {
        for (int i = 0; i < 3; i++)
            rows[i] = edit->ItemAt(i)->Frame();
        origin = edit->Parent()->kit_window_offset() + edit->Frame().LeftTop();
    });
    auto dark_right = [&](BRect f) {
        int dark = 0;
        float mid = (f.left + f.right) / 2 + 10;
        for (float y = f.top; y <= f.bottom; y++)
            for (float x = mid; x <= f.right; x++)
                if ((rgb(w.window, (int32)(origin.x + x), (int32)(origin.y + y)) & 0xFF) < 0x60)
                    dark++;
        return dark;
    };
    EXPECT_GT(dark_right(rows[0]), 10);
    EXPECT_GT(dark_right(rows[1]), dark_right(rows[0])) << "Shift+Alt+Z is longer than Alt+Z";
    EXPECT_EQ(dark_right(rows[2]), 0);
    screenshot(w.window, "menu_shortcuts");
}
