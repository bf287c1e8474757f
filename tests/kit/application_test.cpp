#include "kit_test_support.h"

#include <Application.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace kit_testing;

namespace {

class test_app : public BApplication {
  public:
    test_app() : BApplication("application/x-vnd.tavrel-test") {}
    void ReadyToRun() override {
        order.push_back('_RTR');
        ready = true;
    }
    void RefsReceived(BMessage* message) override {
        order.push_back(B_REFS_RECEIVED);
        type_code type;
        message->GetInfo("refs", &type, &refs);
        entry_ref ref;
        if (message->FindRef("refs", 1, &ref) == B_OK)
            second = ref.Path();
    }
    void AboutRequested() override { order.push_back(B_ABOUT_REQUESTED); }
    void MessageReceived(BMessage* message) override {
        if (message->what == 'done') {
            // A reply from the window thread.
            replies++;
            return;
        }
        BApplication::MessageReceived(message);
    }
    std::vector<uint32> order;
    int32 refs = 0;
    std::string second;
    std::atomic<int> replies{0};
    std::atomic<bool> ready{false};
};

// Takes 'init' in the window's thread, as the glyph editor does, and
// raises a flag the application thread polls without the lock.
class handover_view : public BView {
  public:
    explicit handover_view(std::atomic<bool>* flag)
        : BView(BRect(0, 0, 9, 9), "handover", B_FOLLOW_NONE, 0), fFlag(flag) {}
    void MessageReceived(BMessage* message) override {
        if (message->what == 'init') {
            EXPECT_TRUE(Window()->IsLocked());
            thread = std::this_thread::get_id();
            BRect bounds;
            message->FindRect("bounds", &bounds);
            width = bounds.Width();
            *fFlag = true;
            be_app_messenger.SendMessage('done');
            return;
        }
        BView::MessageReceived(message);
    }
    std::thread::id thread;
    float width = 0;

  private:
    std::atomic<bool>* fFlag;
};

} // namespace

TEST(Application, RunServesTheCallingThreadAndLaunchFilesArriveAsOneRefsMessage) {
    BApplication::kit_set_launch_arguments({"/tmp/a.ttf", "-x", "relative.ttf"});
    test_app app;
    std::thread quitter([&] {
        while (!app.ready)
            snooze(1000);
        be_app_messenger.SendMessage(B_ABOUT_REQUESTED);
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    });
    app.Run();
    quitter.join();
    ASSERT_EQ(app.order.size(), 3u);
    EXPECT_EQ(app.order[0], (uint32)B_REFS_RECEIVED);
    EXPECT_EQ(app.order[1], (uint32)'_RTR');
    EXPECT_EQ(app.order[2], (uint32)B_ABOUT_REQUESTED);
    // Options are not files; relative names are made absolute.
    EXPECT_EQ(app.refs, 2);
    ASSERT_FALSE(app.second.empty());
    EXPECT_EQ(app.second[0], '/');
    EXPECT_NE(app.second.find("relative.ttf"), std::string::npos);
}

TEST(Application, WindowThreadTakesTheHandOverWhileTheApplicationPolls) {
    BApplication::kit_set_launch_arguments({});
    test_app app;
    std::atomic<bool> canvasok{false};
    BWindow* window = open_window();
    handover_view* view = new handover_view(&canvasok);
    locked(window, [&] { window->AddChild(view); });

    std::thread appThread([&] { app.Run(); });
    // Until its loop runs the application counts as idle, and the reply
    // below would not be waited for.
    while (!app.ready)
        snooze(1000);
    // What the application thread does after announcing a font.
    BMessage init('init');
    init.AddRect("bounds", BRect(0, 0, 1000, 800));
    ASSERT_EQ(BMessenger(view).SendMessage(&init), B_OK);
    bigtime_t start = system_time();
    while (!canvasok && system_time() - start < 5000000)
        snooze(1);
    EXPECT_TRUE(canvasok);
    screen().wait_idle();
    EXPECT_EQ(app.replies, 1);
    locked(window, [&] {
        EXPECT_NE(view->thread, std::this_thread::get_id());
        EXPECT_NE(view->thread, std::thread::id());
        EXPECT_EQ(view->width, 1000);
    });
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    appThread.join();
    // Quitting the application quit the window with it.
    EXPECT_EQ(app.CountWindows(), 0);
}

TEST(Application, QuitIsRefusedWhileAWindowRefuses) {
    BApplication::kit_set_launch_arguments({});
    struct stubborn_window : BWindow {
        stubborn_window() : BWindow(BRect(0, 0, 50, 50), "stubborn", B_TITLED_WINDOW, 0) {}
        bool QuitRequested() override { return allow.load(); }
        std::atomic<bool> allow{false};
    };
    test_app app;
    stubborn_window* window = new stubborn_window;
    window->Show();
    std::atomic<bool> ran{false};
    std::thread appThread([&] {
        app.Run();
        ran = true;
    });
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    screen().wait_idle();
    EXPECT_FALSE(ran);
    EXPECT_EQ(app.CountWindows(), 1);
    window->allow = true;
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    appThread.join();
    EXPECT_TRUE(ran);
    EXPECT_EQ(app.CountWindows(), 0);
}

TEST(Application, WithNoDisplayLinkedOrInstalledTheProgramExitsSayingSo) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            kit::set_display_chooser(nullptr);
            kit::install_display(nullptr);
            BApplication app("application/x-vnd.tavrel-no-display-test");
        },
        ::testing::ExitedWithCode(1), "no display is linked into this program");
}
