// A message a view does not handle goes on to its parent, as on the
// platform the kit copies: a file dropped on a child view reaches the
// view that takes files, and a removed view no longer passes anything on.
#include "kit_test_support.h"

#include <Message.h>

#include <gtest/gtest.h>

using namespace kit_testing;

namespace {

class taker : public BView {
  public:
    explicit taker(BRect frame) : BView(frame, "taker", B_FOLLOW_NONE, B_WILL_DRAW) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == B_SIMPLE_DATA) {
            drops++;
            return;
        }
        BView::MessageReceived(message);
    }
    int drops = 0;
};

} // namespace

TEST(ViewChain, DropOnAChildReachesTheParentThatTakesFiles) {
    BWindow* window = open_window(199, 199);
    taker* parent = new taker(BRect(0, 0, 199, 199));
    BView* child = new BView(BRect(10, 10, 99, 99), "child", B_FOLLOW_NONE, B_WILL_DRAW);
    BView* grandchild = new BView(BRect(5, 5, 49, 49), "grandchild", B_FOLLOW_NONE, B_WILL_DRAW);
    locked(window, [&] {
        window->AddChild(parent);
        parent->AddChild(child);
        child->AddChild(grandchild);
    });
    EXPECT_EQ(child->NextHandler(), parent);

    screen().drop_files(window, BPoint(20, 20), {"/tmp/a.ttf"});
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(parent->drops, 1);

    locked(window, [&] {
        child->RemoveChild(grandchild);
        EXPECT_EQ(grandchild->NextHandler(), nullptr);
        delete grandchild;
    });
    screen().drop_files(window, BPoint(20, 20), {"/tmp/a.ttf"});
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(parent->drops, 2);
    close(window);
}
