#include "control_test_support.h"

#include <Button.h>
#include <CheckBox.h>
#include <TextControl.h>

#include <gtest/gtest.h>

using namespace kit_testing;

TEST(Button, AClickReleasedOverItSendsItsMessageWithSource) {
    control_window w;
    BButton* set =
        w.add(new BButton(BRect(300, 248, 340, 270), "set", "set", new BMessage('Bhit')));
    BButton* del =
        w.add(new BButton(BRect(100, 210, 150, 230), "del", "del", new BMessage('Bhit')));
    w.click(BPoint(320, 260));
    w.click(BPoint(120, 220));
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> hits = w.messages('Bhit');
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(source_of(hits[0]), set);
    EXPECT_EQ(source_of(hits[1]), del);

    // Pressed, then released elsewhere: no message, and the button is up.
    screen().mouse_down(w.window, BPoint(320, 260));
    screen().mouse_move(w.window, BPoint(200, 100), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_up(w.window, BPoint(200, 100));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('Bhit').size(), 2u);
    int32 value = -1;
    locked(w.window, [&] { value = set->Value(); });
    EXPECT_EQ(value, B_CONTROL_OFF);

    // A disabled button ignores clicks.
    locked(w.window, [&] { del->SetEnabled(false); });
    w.click(BPoint(120, 220));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('Bhit').size(), 2u);
}

TEST(Button, SpaceAndEnterPressTheFocusedButton) {
    control_window w;
    BButton* add = w.add(new BButton(BRect(20, 210, 70, 230), "add", "add", new BMessage('Nadd')));
    locked(w.window, [&] { add->MakeFocus(true); });
    w.key(B_SPACE);
    w.key(B_ENTER);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('Nadd').size(), 2u);
}

TEST(Button, DrawsARaisedBevelThatSinksWhilePressed) {
    control_window w(99, 49);
    w.add(new BButton(BRect(10, 10, 60, 32), "set", "set", new BMessage('Bhit')));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(rgb(w.window, 10, 20), 0x000000u) << "outline";
    EXPECT_EQ(rgb(w.window, 11, 20), 0xFFFFFFu) << "lit left edge";
    EXPECT_EQ(rgb(w.window, 59, 20), 0x989898u) << "shaded right edge";
    EXPECT_EQ(rgb(w.window, 14, 14), 0xD8D8D8u) << "grey face";
    screenshot(w.window, "button");

    screen().mouse_down(w.window, BPoint(30, 20));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(rgb(w.window, 11, 20), 0x606060u) << "pressed: the lit edge turns dark";
    screen().mouse_up(w.window, BPoint(30, 20));
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(rgb(w.window, 11, 20), 0xFFFFFFu);
}

TEST(CheckBox, EachClickTogglesTheValueAndSendsTheMessage) {
    control_window w;
    BCheckBox* grid = w.add(
        new BCheckBox(BRect(140, 250, 260, 270), "gridfit", "grid-fitting", new BMessage('Vchg')));
    w.click(BPoint(150, 260));
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Vchg');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(source_of(sent[0]), grid);
    EXPECT_EQ(sent[0].GetInt32("be:value", -1), B_CONTROL_ON);
    // The mark is drawn in the box.
    EXPECT_EQ(rgb(w.window, 147, 260), 0x000000u);

    w.click(BPoint(200, 260)); // on the label
    ASSERT_TRUE(w.idle());
    sent = w.messages('Vchg');
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].GetInt32("be:value", -1), B_CONTROL_OFF);
    EXPECT_EQ(rgb(w.window, 147, 260), 0xFFFFFFu);
    screenshot(w.window, "check_box");

    // SetValue from the program redraws but sends nothing.
    locked(w.window, [&] { grid->SetValue(B_CONTROL_ON); });
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('Vchg').size(), 2u);
    EXPECT_EQ(rgb(w.window, 147, 260), 0x000000u);

    // Space toggles the focused box.
    locked(w.window, [&] { grid->MakeFocus(true); });
    w.key(B_SPACE);
    ASSERT_TRUE(w.idle());
    int32 value = -1;
    locked(w.window, [&] { value = grid->Value(); });
    EXPECT_EQ(value, B_CONTROL_OFF);
    EXPECT_EQ(w.messages('Vchg').size(), 3u);
}

TEST(Navigation, TabVisitsNavigableViewsInTreeOrderSkippingDisabledAndHiddenOnes) {
    control_window w;
    BTextControl* st =
        w.add(new BTextControl(BRect(20, 250, 120, 270), "st", "st", "", new BMessage('Vchg')));
    BCheckBox* box =
        w.add(new BCheckBox(BRect(140, 250, 260, 270), "box", "box", new BMessage('Vchg')));
    BButton* off = w.add(new BButton(BRect(20, 210, 70, 230), "off", "off", new BMessage('Bhit')));
    BButton* hidden =
        w.add(new BButton(BRect(80, 210, 130, 230), "hidden", "hidden", new BMessage('Bhit')));
    BButton* set =
        w.add(new BButton(BRect(300, 248, 340, 270), "set", "set", new BMessage('Bhit')));
    BView* plain = nullptr;
    locked(w.window, [&] {
        off->SetEnabled(false);
        hidden->Hide();
        plain = new BView(BRect(0, 0, 5, 5), "plain", B_FOLLOW_NONE, B_WILL_DRAW);
        w.log->AddChild(plain);
        // The table views take the focus themselves; Tab then enters
        // their controls.
        w.log->MakeFocus(true);
    });
    auto focus = [&] {
        BView* f = nullptr;
        locked(w.window, [&] { f = w.window->CurrentFocus(); });
        return f;
    };
    w.key(B_TAB);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(focus(), st);
    w.key(B_TAB);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(focus(), box);
    w.key(B_TAB);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(focus(), set);
    w.key(B_TAB); // wraps round
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(focus(), st);
    w.key(B_TAB, B_SHIFT_KEY);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(focus(), set);
}

TEST(Navigation, EnterThatNoViewTakesPressesTheDefaultButton) {
    control_window w;
    BButton* ok = w.add(new BButton(BRect(300, 248, 340, 270), "ok", "OK", new BMessage('okay')));
    BCheckBox* box =
        w.add(new BCheckBox(BRect(20, 250, 120, 270), "box", "box", new BMessage('Vchg')));
    locked(w.window, [&] {
        ok->MakeDefault(true);
        w.log->MakeFocus(true);
    });
    w.key(B_ENTER);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('okay').size(), 1u);
    // A focused check box takes Enter itself.
    locked(w.window, [&] { box->MakeFocus(true); });
    w.key(B_ENTER);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('okay').size(), 1u);
    EXPECT_EQ(w.messages('Vchg').size(), 1u);
}

namespace {
// A window that keeps the messages that reach the window itself.
class recording_window : public BWindow {
  public:
    recording_window() : BWindow(BRect(100, 100, 299, 199), "recording", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'Bhit')
            hits++;
        else
            BWindow::MessageReceived(message);
    }
    int hits = 0;
};
} // namespace

TEST(Button, WithoutATargetTheWindowHearsItAndATargetSetBeforeAttachingIsKept) {
    recording_window* window = new recording_window();
    window->Show();
    message_log* later = new message_log(BRect(100, 0, 199, 99));
    BButton* plain = new BButton(BRect(10, 10, 60, 30), "plain", "plain", new BMessage('Bhit'));
    BButton* aimed = new BButton(BRect(10, 50, 60, 70), "aimed", "aimed", new BMessage('Bhit'));
    // The target is not in any window yet, as when a view sets up its
    // controls before it is attached itself.
    aimed->SetTarget(later);
    locked(window, [&] {
        window->AddChild(plain);
        window->AddChild(aimed);
        window->AddChild(later);
    });
    screen().mouse_down(window, BPoint(30, 20));
    screen().mouse_up(window, BPoint(30, 20));
    screen().mouse_down(window, BPoint(30, 60));
    screen().mouse_up(window, BPoint(30, 60));
    ASSERT_TRUE(screen().wait_idle());
    locked(window, [&] {
        EXPECT_EQ(window->hits, 1);
        ASSERT_EQ(later->received.size(), 1u);
        EXPECT_EQ(source_of(later->received[0]), aimed);
    });
    close(window);
}
