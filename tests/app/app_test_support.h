// Runs the real application on the headless display: its loop on a thread
// of its own, the main window on its own thread, input injected as a
// desktop would deliver it.
#ifndef TAVREL_TESTS_APP_SUPPORT_H
#define TAVREL_TESTS_APP_SUPPORT_H

#include "app/selectview.h"
#include "app/tavrel.h"
#include "app/tavrelview.h"
#include "app/tavrelwindow.h"
#include "editor/globals.h"
#include "font/ttf.h"
#include "font/ttf_table.h"

#include "kit/app/kit_registry.h"
#include "kit/kit_test_support.h"
#include "support/test_support.h"

#include <Alert.h>
#include <File.h>
#include <Messenger.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace app_testing {

using kit_testing::screen;

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const LIBERATION = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// Window coordinates of the selector strip and the work view.
const float SELECTOR_TOP = 20;
const float WORKVIEW_TOP = 53;

// A new ten-table font (the printable ASCII characters) written to `dir`;
// returns its path.
inline std::string small_font(const std::string& dir, const char* name = "small.ttf") {
    ttf font;
    font.setup = new setupinfo();
    font.setup->blocks[0] = 1;
    for (int c = 0x20; c < 0x7F; c++)
        font.setup->chars[c] = 1;
    std::string path = dir + "/" + name;
    if (font.init() != 0)
        return "";
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    if (font.save(file) != 0)
        return "";
    return path;
}

class running_app {
  public:
    // With `settle` false the constructor does not wait for the start to
    // be done (the application may be waiting in a question).
    explicit running_app(const std::vector<std::string>& arguments = {}, bool settle = true) {
        BApplication::kit_set_launch_arguments(arguments);
        app = new tavrel();
        loop = std::thread([this] {
            app->Run();
            ended = true;
        });
        if (!settle)
            return;
        // A round trip through the application's loop: once it is answered
        // Run() has queued the launch files, and waiting for idle covers them.
        BMessage reply;
        be_app_messenger.SendMessage('ping', &reply);
        idle();
    }
    ~running_app() {
        if (!ended)
            quit();
        if (loop.joinable())
            loop.join();
        delete app;
    }
    running_app(const running_app&) = delete;
    running_app& operator=(const running_app&) = delete;

    void idle() { ASSERT_TRUE(screen().wait_idle()); }
    void quit() {
        if (ended)
            return;
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        // A font with changes asks first; a test that quits lets them go.
        for (int i = 0; i < 5000 && !ended; i++) {
            if (BWindow* question = save_question()) {
                screen().key_down(question, "d");
                // The answered question deletes itself: it is not looked at
                // again, only waited for to leave the list of windows.
                for (int j = 0; j < 500 && listed(question); j++)
                    snooze(2000);
            }
            snooze(1000);
        }
        join();
    }
    // A window's title (the main window's by default), read under its lock:
    // a panel's title may still be being set by the thread that made it.
    std::string title(BWindow* of = nullptr) {
        BWindow* w = of ? of : window();
        w->Lock();
        std::string t = w->Title();
        w->Unlock();
        return t;
    }
    // The question whether to save changes, when it is up.
    BWindow* save_question() const { return question("Save the changes"); }
    // A question (an alert with more than one button) whose text holds `words`,
    // when one is up.
    BWindow* question(const char* words) const {
        // The windows are reached through messengers: one may be closing
        // (a panel the application deletes as it quits), and locking a
        // messenger's target fails cleanly where its pointer would not.
        std::vector<BMessenger> windows;
        {
            std::lock_guard<std::mutex> hold(kit::registry_mutex());
            std::vector<int32> tokens = kit::window_tokens();
            for (BLooper* looper : kit::loopers()) {
                bool listed =
                    std::find(tokens.begin(), tokens.end(), looper->kit_token()) != tokens.end();
                if (listed && looper != (BLooper*)window())
                    windows.emplace_back(nullptr, looper);
            }
        }
        for (const BMessenger& messenger : windows) {
            if (!messenger.LockTarget())
                continue;
            BLooper* looper = nullptr;
            messenger.Target(&looper);
            // A window is listed from within its constructor, on the
            // application's thread, and its own thread starts only after
            // (Show); until that thread runs, an alert's text may still be
            // being written. Its text is then read under its lock.
            BAlert* alert = looper->Thread() < 0 ? nullptr : dynamic_cast<BAlert*>(looper);
            bool asks =
                alert && alert->CountButtons() >= 2 && strstr(alert->Text(), words) != nullptr;
            looper->Unlock();
            if (asks)
                return alert;
        }
        return nullptr;
    }
    // Waits up to five seconds for a question holding `words` (the
    // application's thread may wait in it: no waiting for idle meanwhile).
    BWindow* wait_question(const char* words) const {
        for (int i = 0; i < 500; i++) {
            if (BWindow* q = question(words))
                return q;
            snooze(10000);
        }
        return nullptr;
    }
    // Answers a question with a key and waits until it is gone.
    void answer(BWindow* q, const char* key, int32 code = 0) {
        screen().key_down(q, key, code);
        for (int i = 0; i < 500 && listed(q); i++)
            snooze(10000);
        idle();
    }
    // Whether `window` is still among the application's windows.
    bool listed(const BWindow* window) const {
        for (BWindow* w : other_windows())
            if (w == window)
                return true;
        return false;
    }
    // Waits up to five seconds for Run() to return.
    bool join() {
        for (int i = 0; i < 5000 && !ended; i++)
            snooze(1000);
        if (ended && loop.joinable())
            loop.join();
        return ended;
    }

    tavrelwindow* window() const { return app->window; }
    selectview* selector() const { return app->window->selector; }
    tavrelview* workview() const { return app->window->workview; }

    // Clicks the point of the window (press and release).
    void click(BPoint where) {
        screen().mouse_down(window(), where);
        screen().mouse_up(window(), where);
        idle();
    }
    // Clicks the k-th tag of the selector.
    void choose(int k) { click(BPoint(10 + 30 * k + 5, SELECTOR_TOP + 25)); }
    // Index of a tag in the selector, -1 when not listed.
    int index_of(const char* tag) const {
        uint32 t = (uint32)(unsigned char)tag[0] << 24 | (uint32)(unsigned char)tag[1] << 16 |
                   (uint32)(unsigned char)tag[2] << 8 | (unsigned char)tag[3];
        for (int i = 0; i < selector()->count; i++)
            if (selector()->tags[i] == t)
                return i;
        return -1;
    }
    // The table views attached to the work view that are not hidden.
    std::vector<ttf_table*> shown_tables() {
        std::vector<ttf_table*> shown;
        window()->Lock();
        for (int32 i = 0; i < workview()->CountChildren(); i++) {
            ttf_table* t = dynamic_cast<ttf_table*>(workview()->ChildAt(i));
            if (t && !t->IsHidden())
                shown.push_back(t);
        }
        window()->Unlock();
        return shown;
    }
    // Waits for alerts to come up and dismisses each with Enter (its
    // default button); returns how many there were. While an alert is up
    // the application's thread may be waiting in it, so this does not wait
    // for idle until they are gone.
    int dismiss_alerts() {
        int dismissed = 0;
        for (;;) {
            std::vector<BWindow*> up;
            for (int i = 0; i < (dismissed ? 50 : 500) && up.empty(); i++) {
                up = other_windows();
                if (up.empty())
                    snooze(10000);
            }
            if (up.empty())
                break;
            // Listed from within its constructor, an alert takes input only
            // once its own thread runs (after it is built and shown).
            for (int i = 0; i < 500 && up[0]->Thread() < 0; i++)
                snooze(2000);
            // The alert deletes itself on this key: its window pointer is not
            // used again afterwards.
            screen().key_down(up[0], "\n", B_ENTER);
            for (int i = 0; i < 500 && !other_windows().empty(); i++)
                snooze(10000);
            dismissed++;
        }
        idle();
        return dismissed;
    }
    // Windows other than the main window (alerts, panels).
    std::vector<BWindow*> other_windows() const {
        std::vector<BWindow*> found;
        for (int32 i = 0; i < be_app->CountWindows(); i++) {
            BWindow* w = be_app->WindowAt(i);
            if (w && w != (BWindow*)window())
                found.push_back(w);
        }
        return found;
    }

    tavrel* app = nullptr;

  private:
    std::thread loop;
    std::atomic<bool> ended{false};
};

} // namespace app_testing

#endif
