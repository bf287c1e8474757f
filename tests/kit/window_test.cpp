#include "kit_test_support.h"

#include <Message.h>
#include <Window.h>

#include "kit/interface/kit_window_place.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace kit_testing;

namespace {

struct event {
    uint32 what;
    BPoint where;
    uint32 transit = 0;
    std::string bytes;
};

// Records the input hooks it receives, and the message fields of the
// pointer messages.
class input_view : public BView {
  public:
    input_view(BRect frame, const char* name, bool capture = false,
               std::atomic<int>* deleted = nullptr)
        : BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW), fCapture(capture), fDeleted(deleted) {}
    ~input_view() override {
        if (fDeleted)
            (*fDeleted)++;
    }
    void MouseDown(BPoint where) override {
        events.push_back({B_MOUSE_DOWN, where, 0, ""});
        BMessage* m = Window()->CurrentMessage();
        buttons = m->GetInt32("buttons", -1);
        modifiers = m->GetInt32("modifiers", -1);
        when = m->GetInt64("when", -1);
        viewWhere = m->GetPoint("be:view_where", BPoint(-1, -1));
        if (fCapture)
            SetMouseEventMask(B_POINTER_EVENTS);
    }
    void MouseUp(BPoint where) override { events.push_back({B_MOUSE_UP, where, 0, ""}); }
    void MouseMoved(BPoint where, uint32 transit, const BMessage*) override {
        events.push_back({B_MOUSE_MOVED, where, transit, ""});
    }
    void KeyDown(const char* bytes, int32) override {
        events.push_back({B_KEY_DOWN, BPoint(), 0, bytes});
    }
    void DetachedFromWindow() override { detached++; }
    void MessageReceived(BMessage* message) override {
        if (message->what == B_SIMPLE_DATA) {
            dropped = message->WasDropped();
            dropPoint = message->DropPoint();
            type_code type;
            message->GetInfo("refs", &type, &refs);
            return;
        }
        BView::MessageReceived(message);
    }

    std::vector<event> events;
    int32 buttons = -1, modifiers = -1;
    int64 when = -1;
    BPoint viewWhere;
    int detached = 0;
    bool dropped = false;
    BPoint dropPoint;
    int32 refs = 0;

  private:
    bool fCapture;
    std::atomic<int>* fDeleted;
};

} // namespace

TEST(Window, PointerMessagesReachTheViewUnderThePointerInItsOwnCoordinates) {
    BWindow* window = open_window(199, 199);
    input_view* outer = new input_view(BRect(10, 10, 109, 109), "outer");
    input_view* inner = new input_view(BRect(20, 20, 59, 59), "inner");
    locked(window, [&] {
        window->AddChild(outer);
        outer->AddChild(inner);
        outer->ScrollTo(5, 0); // content moved left by five pixels
    });
    bigtime_t before = system_time();
    screen().mouse_down(window, BPoint(40, 40), B_SECONDARY_MOUSE_BUTTON, B_SHIFT_KEY);
    screen().mouse_up(window, BPoint(40, 40));
    screen().mouse_down(window, BPoint(100, 100));
    screen().mouse_up(window, BPoint(100, 100));
    ASSERT_TRUE(screen().wait_idle());

    locked(window, [&] {
        // (40, 40) in the window is (35, 30) in outer's scrolled
        // coordinates, inside inner, whose frame starts at (20, 20).
        ASSERT_EQ(inner->events.size(), 2u);
        EXPECT_EQ(inner->events[0].what, (uint32)B_MOUSE_DOWN);
        EXPECT_EQ(inner->events[0].where, BPoint(15, 10));
        EXPECT_EQ(inner->viewWhere, BPoint(15, 10));
        EXPECT_EQ(inner->buttons, B_SECONDARY_MOUSE_BUTTON);
        EXPECT_EQ(inner->modifiers, B_SHIFT_KEY);
        EXPECT_GE(inner->when, before);
        ASSERT_EQ(outer->events.size(), 2u);
        EXPECT_EQ(outer->events[0].where, BPoint(95, 90));
    });
    close(window);
}

TEST(Window, AViewHoldingThePointerGetsMovesOutsideItUntilTheButtonIsReleased) {
    BWindow* window = open_window(199, 99);
    input_view* left = new input_view(BRect(0, 0, 49, 49), "left", true);
    input_view* right = new input_view(BRect(100, 0, 149, 49), "right");
    locked(window, [&] {
        window->AddChild(left);
        window->AddChild(right);
    });
    screen().mouse_move(window, BPoint(10, 10));
    screen().mouse_down(window, BPoint(10, 10));
    screen().mouse_move(window, BPoint(120, 10), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_move(window, BPoint(130, 10), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_up(window, BPoint(130, 10));
    screen().mouse_move(window, BPoint(131, 10));
    ASSERT_TRUE(screen().wait_idle());

    locked(window, [&] {
        std::vector<uint32> whats;
        for (const event& e : left->events)
            whats.push_back(e.what);
        ASSERT_EQ(whats, (std::vector<uint32>{B_MOUSE_MOVED, B_MOUSE_DOWN, B_MOUSE_MOVED,
                                              B_MOUSE_MOVED, B_MOUSE_UP}));
        EXPECT_EQ(left->events[0].transit, (uint32)B_ENTERED_VIEW);
        EXPECT_EQ(left->events[2].transit, (uint32)B_EXITED_VIEW);
        EXPECT_EQ(left->events[3].transit, (uint32)B_OUTSIDE_VIEW);
        EXPECT_EQ(left->events[3].where, BPoint(130, 10));
        EXPECT_EQ(left->events[4].where, BPoint(130, 10));
        // Released: the next move goes to the view under the pointer.
        ASSERT_EQ(right->events.size(), 1u);
        EXPECT_EQ(right->events[0].what, (uint32)B_MOUSE_MOVED);
        EXPECT_EQ(right->events[0].where, BPoint(31, 10));
    });
    close(window);
}

TEST(Window, GetMouseReportsThePointerWhileTheWindowIsBusy) {
    BWindow* window = open_window();
    input_view* view = new input_view(BRect(10, 10, 59, 59), "v");
    locked(window, [&] { window->AddChild(view); });
    screen().mouse_move(window, BPoint(30, 40), B_PRIMARY_MOUSE_BUTTON);
    screen().wait_idle();
    locked(window, [&] {
        BPoint where;
        uint32 buttons;
        view->GetMouse(&where, &buttons);
        EXPECT_EQ(where, BPoint(20, 30));
        EXPECT_EQ(buttons, (uint32)B_PRIMARY_MOUSE_BUTTON);
        // A release arriving while the window is locked is seen at once.
        screen().mouse_up(window, BPoint(31, 41));
        view->GetMouse(&where, &buttons);
        EXPECT_EQ(buttons, 0u);
    });
    close(window);
}

TEST(Window, WheelGoesToTheViewUnderThePointerAndHidingKeepsTheFocus) {
    struct wheel_view : input_view {
        using input_view::input_view;
        void MessageReceived(BMessage* message) override {
            if (message->what == B_MOUSE_WHEEL_CHANGED)
                wheel += message->GetFloat("be:wheel_delta_y", 0);
            else
                input_view::MessageReceived(message);
        }
        float wheel = 0;
    };
    BWindow* window = open_window();
    wheel_view* a = new wheel_view(BRect(0, 0, 49, 49), "a");
    wheel_view* b = new wheel_view(BRect(50, 0, 99, 49), "b");
    locked(window, [&] {
        window->AddChild(a);
        window->AddChild(b);
        a->MakeFocus();
        a->Hide(); // hidden table views keep the focus they took
    });
    screen().mouse_move(window, BPoint(70, 10));
    BMessage wheel(B_MOUSE_WHEEL_CHANGED);
    wheel.AddFloat("be:wheel_delta_y", 2);
    kit::post_input(window->kit_token(), wheel);
    screen().key_down(window, "k");
    ASSERT_TRUE(screen().wait_idle());
    locked(window, [&] {
        EXPECT_EQ(b->wheel, 2);
        EXPECT_EQ(a->wheel, 0);
        EXPECT_TRUE(a->IsFocus());
        ASSERT_EQ(a->events.size(), 1u);
        EXPECT_EQ(a->events[0].bytes, "k");
    });
    close(window);
}

TEST(Window, KeysGoToTheFocusView) {
    BWindow* window = open_window();
    input_view* a = new input_view(BRect(0, 0, 9, 9), "a");
    input_view* b = new input_view(BRect(20, 0, 29, 9), "b");
    locked(window, [&] {
        window->AddChild(a);
        window->AddChild(b);
    });
    // No focus: the key reaches no view and nothing breaks.
    // Keys are routed when the window takes them, so each is waited for.
    screen().key_down(window, "x");
    screen().wait_idle();
    locked(window, [&] { a->MakeFocus(); });
    screen().key_down(window, "\x1c", 0x61);
    screen().wait_idle();
    locked(window, [&] { b->MakeFocus(true); });
    screen().key_down(window, "é");
    ASSERT_TRUE(screen().wait_idle());
    locked(window, [&] {
        ASSERT_EQ(a->events.size(), 1u);
        EXPECT_EQ(a->events[0].bytes, "\x1c");
        ASSERT_EQ(b->events.size(), 1u);
        EXPECT_EQ(b->events[0].bytes, "é");
        EXPECT_FALSE(a->IsFocus());
        EXPECT_TRUE(b->IsFocus());
    });
    close(window);
}

TEST(Window, RemovedViewsSurviveTheWindowAndAttachedOnesDieWithIt) {
    std::atomic<int> deleted{0};
    BWindow* window = open_window();
    input_view* kept = new input_view(BRect(0, 0, 9, 9), "kept", false, &deleted);
    input_view* child = new input_view(BRect(0, 0, 4, 4), "child", false, &deleted);
    input_view* owned = new input_view(BRect(20, 0, 29, 9), "owned", false, &deleted);
    locked(window, [&] {
        window->AddChild(kept);
        kept->AddChild(child);
        window->AddChild(owned);
        child->MakeFocus();
        EXPECT_EQ(window->FindView("child"), child);
        EXPECT_TRUE(window->RemoveChild(kept));
        // The subtree left with its focus; nothing points into it now.
        EXPECT_EQ(window->CurrentFocus(), nullptr);
        EXPECT_EQ(kept->Window(), nullptr);
        EXPECT_EQ(child->Window(), nullptr);
        EXPECT_EQ(kept->detached, 1);
        EXPECT_EQ(child->detached, 1);
        EXPECT_EQ(kept->CountChildren(), 1);
        EXPECT_FALSE(window->RemoveChild(kept));
    });
    // Input at the removed view's place must not reach it.
    screen().mouse_down(window, BPoint(2, 2));
    screen().wait_idle();
    close(window);
    EXPECT_EQ(deleted, 1); // only the view still attached
    EXPECT_TRUE(kept->events.empty());
    EXPECT_EQ(kept->ChildAt(0), child);
    delete kept;
    EXPECT_EQ(deleted, 3);
}

TEST(Window, ChildrenFollowTheirResizingModesAndSizeLimitsHold) {
    struct frame_view : BView {
        frame_view(BRect frame, uint32 mode) : BView(frame, "f", mode, B_FRAME_EVENTS) {}
        void FrameResized(float w, float h) override {
            width = w;
            height = h;
        }
        float width = -1, height = -1;
    };
    BWindow* window = open_window(199, 99);
    frame_view* all = new frame_view(BRect(10, 10, 189, 89), B_FOLLOW_ALL);
    frame_view* right = new frame_view(BRect(150, 10, 189, 29), B_FOLLOW_RIGHT | B_FOLLOW_TOP);
    frame_view* strip = new frame_view(BRect(0, 0, 199, 9), B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
    frame_view* fixed = new frame_view(BRect(0, 50, 9, 59), B_FOLLOW_LEFT | B_FOLLOW_TOP);
    locked(window, [&] {
        window->AddChild(all);
        window->AddChild(right);
        window->AddChild(strip);
        window->AddChild(fixed);
        window->ResizeTo(299, 149);
        EXPECT_EQ(all->Frame(), BRect(10, 10, 289, 139));
        EXPECT_EQ(all->width, 279);
        EXPECT_EQ(all->height, 129);
        EXPECT_EQ(right->Frame(), BRect(250, 10, 289, 29));
        EXPECT_EQ(strip->Frame(), BRect(0, 0, 299, 9));
        EXPECT_EQ(fixed->Frame(), BRect(0, 50, 9, 59));

        window->SetSizeLimits(100, 400, 80, 300);
        window->ResizeTo(1000, 10);
        EXPECT_EQ(window->Bounds(), BRect(0, 0, 400, 80));
        window->SetZoomLimits(250, 200);
        window->Zoom();
        EXPECT_EQ(window->Bounds(), BRect(0, 0, 250, 200));
        window->Zoom(); // the standard size stays
        EXPECT_EQ(window->Bounds(), BRect(0, 0, 250, 200));
    });
    close(window);
}

TEST(Window, CloseBoxAsksTheWindowAndDropsReachTheViewUnderThem) {
    struct guarded_window : BWindow {
        guarded_window() : BWindow(BRect(0, 0, 99, 99), "guarded", B_DOCUMENT_WINDOW, 0) {}
        bool QuitRequested() override { return ++asked > 1; }
        std::atomic<int> asked{0};
    };
    guarded_window* window = new guarded_window;
    window->Show();
    int32 id = window->kit_token();
    input_view* target = new input_view(BRect(50, 50, 99, 99), "target");
    locked(window, [&] { window->AddChild(target); });
    screen().drop_files(window, BPoint(60, 70), {"/tmp/one.ttf", "/tmp/two.ttf"});
    screen().close_window(window);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_TRUE(screen().is_shown(id));
    locked(window, [&] {
        EXPECT_EQ(window->asked, 1);
        EXPECT_TRUE(target->dropped);
        EXPECT_EQ(target->refs, 2);
        EXPECT_EQ(target->dropPoint, BPoint(10, 20));
    });
    screen().close_window(window);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_FALSE(screen().has_window(id));
    EXPECT_FALSE(screen().close_window(nullptr));
}

TEST(Window, PulseReachesViewsThatAskForIt) {
    struct pulse_view : BView {
        pulse_view(uint32 flags) : BView(BRect(0, 0, 9, 9), "p", B_FOLLOW_NONE, flags) {}
        void Pulse() override { pulses++; }
        std::atomic<int> pulses{0};
    };
    BWindow* window = open_window();
    pulse_view* wants = new pulse_view(B_PULSE_NEEDED);
    pulse_view* not_wanted = new pulse_view(0);
    locked(window, [&] {
        window->AddChild(wants);
        window->AddChild(not_wanted);
        window->SetPulseRate(10000);
    });
    for (int i = 0; i < 500 && wants->pulses < 3; i++)
        snooze(1000);
    EXPECT_GE(wants->pulses, 3);
    EXPECT_EQ(not_wanted->pulses, 0);
    close(window);
}

TEST(Window, LockingAWindowThatQuitsByItselfFailsCleanly) {
    // As when the application asks its windows to quit just as the main
    // window closes itself.
    for (int round = 0; round < 30; round++) {
        BWindow* window = open_window();
        int32 id = window->kit_token();
        BMessenger messenger(nullptr, window);
        std::atomic<int> locks{0};
        std::thread locker([&] {
            while (messenger.LockTarget()) {
                BLooper* looper = nullptr;
                messenger.Target(&looper);
                ASSERT_NE(looper, nullptr);
                locks++;
                looper->Unlock();
            }
        });
        snooze(round * 50);
        screen().close_window(window);
        locker.join();
        // The locker was refused as soon as the window began its teardown;
        // the window leaves the registry a moment later.
        for (int i = 0; i < 10000 && messenger.IsValid(); i++)
            snooze(1000);
        EXPECT_FALSE(messenger.IsValid());
        // The window's thread is finishing its teardown.
        for (int i = 0; i < 1000 && screen().has_window(id); i++)
            snooze(1000);
        EXPECT_FALSE(screen().has_window(id));
    }
}

TEST(Window, InputToAWindowThatHasClosedIsRefusedWithoutTouchingIt) {
    // A test keeps its pointer to a panel that a key just closed and sends
    // the key's release: the display must not read the freed window.
    BWindow* window = open_window();
    BMessenger messenger(nullptr, window);
    ASSERT_TRUE(screen().close_window(window));
    // Unlisted last, just before its memory goes.
    for (int i = 0; i < 5000 && messenger.IsValid(); i++)
        snooze(1000);
    ASSERT_FALSE(messenger.IsValid());
    snooze(10000);
    EXPECT_FALSE(screen().key_up(window, "\n", B_ENTER));
    EXPECT_FALSE(screen().mouse_down(window, BPoint(5, 5)));
    EXPECT_FALSE(screen().close_window(window));
    EXPECT_FALSE(screen().save_png(window, "/dev/null"));
}

TEST(Window, OpensWhollyOnTheScreenAndFramesReadBackFromTheirText) {
    const BRect screen = kit_testing::screen().screen_frame();
    const struct {
        const char* what;
        BRect asked;
        BRect opened;
    } cases[] = {
        {"on the screen: left alone", BRect(100, 100, 299, 199), BRect(100, 100, 299, 199)},
        {"past the right edge", BRect(1800, 100, 2199, 299), BRect(1520, 100, 1919, 299)},
        {"above and left of it", BRect(-500, -40, -301, 59), BRect(0, 0, 199, 99)},
        {"larger than the screen", BRect(10, 10, 2999, 1999), screen},
    };
    for (const auto& c : cases) {
        BWindow* window = new BWindow(c.asked, "t", B_TITLED_WINDOW, 0);
        window->Show();
        locked(window, [&] { EXPECT_EQ(window->Frame(), c.opened) << c.what; });
        close(window);
    }
    // Never below the window's smallest size, even where that cannot fit.
    EXPECT_EQ(kit::fit_on_screen(BRect(50, 50, 849, 649), BRect(0, 0, 639, 479), 700, 500),
              BRect(0, 0, 700, 500));

    BRect frame(1, 2, 3, 4);
    ASSERT_TRUE(kit::parse_frame_text(kit::frame_text(BRect(-20, 30, 1579, 1029)), &frame));
    EXPECT_EQ(frame, BRect(-20, 30, 1579, 1029));
    for (const char* damaged : {"", "1 2 3", "1 2 3 4 5", "a b c d", "10 10 5 20", "0 0 20000 10",
                                "1.5 2 3 4", "0 0 99999999999999999999 1", "1 2 3 4 "}) {
        frame = BRect(1, 2, 3, 4);
        EXPECT_FALSE(kit::parse_frame_text(damaged, &frame)) << "\"" << damaged << "\"";
        EXPECT_EQ(frame, BRect(1, 2, 3, 4));
    }
}
