#include "control_test_support.h"

#include <Alert.h>
#include <Button.h>
#include <Invoker.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace kit_testing;

namespace {

// Waits until the alert's window shows, then returns its id.
int32 wait_shown(BAlert* alert) {
    int32 id = alert->kit_token();
    for (int i = 0; i < 500 && !screen().is_shown(id); i++)
        snooze(2000);
    return id;
}

BPoint button_centre(BAlert* alert, int32 index) {
    BPoint p;
    alert->Lock();
    BButton* button = alert->ButtonAt(index);
    BRect f = button->Frame();
    p = button->Parent()->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
    alert->Unlock();
    return p;
}

} // namespace

TEST(Alert, GoWaitsForAButtonAndReturnsItsIndex) {
    BAlert* alert = new BAlert("", "Replace the file?\nIt will be lost.", "Cancel", "Replace",
                               nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
    std::atomic<int32> result{-2};
    std::thread caller([&] { result = alert->Go(); });
    int32 id = wait_shown(alert);
    ASSERT_TRUE(screen().is_shown(id));
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(result.load(), -2) << "Go() is still waiting";
    screenshot(alert, "alert");
    BPoint cancel = button_centre(alert, 0);
    screen().mouse_down(alert, cancel);
    screen().mouse_up(alert, cancel);
    caller.join();
    EXPECT_EQ(result.load(), 0);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_FALSE(screen().has_window(id)) << "the alert deleted itself";
}

TEST(Alert, EnterPressesTheRightmostButtonAndAShortcutItsOwn) {
    BAlert* about = new BAlert("", "tavrel", "Thank you");
    std::atomic<int32> result{-2};
    std::thread caller([&] { result = about->Go(); });
    int32 id = wait_shown(about);
    ASSERT_TRUE(screen().wait_idle());
    BWindow* window = about;
    screen().key_down(window, "\n");
    caller.join();
    EXPECT_EQ(result.load(), 0);
    (void)id;

    BAlert* ask = new BAlert("", "Save changes?", "Cancel", "Don't save", "Save");
    ask->SetShortcut(0, B_ESCAPE);
    result = -2;
    std::thread second([&] { result = ask->Go(); });
    wait_shown(ask);
    ASSERT_TRUE(screen().wait_idle());
    screen().key_down(ask, "\x1b");
    second.join();
    EXPECT_EQ(result.load(), 0);
}

TEST(Alert, GoWithAnInvokerReturnsAtOnceAndSendsWhich) {
    control_window w;
    BAlert* alert = new BAlert("", "Delete the range?", "Keep", "Delete");
    EXPECT_EQ(alert->Go(new BInvoker(new BMessage('ansr'), w.log)), B_OK);
    int32 id = wait_shown(alert);
    ASSERT_TRUE(screen().wait_idle());
    BPoint del = button_centre(alert, 1);
    screen().mouse_down(alert, del);
    screen().mouse_up(alert, del);
    ASSERT_TRUE(screen().wait_idle());
    std::vector<BMessage> answers = w.messages('ansr');
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].GetInt32("which", -1), 1);
    EXPECT_FALSE(screen().has_window(id));
}
