// The desktop display on a real X server (Xvfb, started by each test):
// windows appear with their title, place, size and pixels; xdotool's
// pointer and keys reach the right view with BeOS's fields; the user's
// resizing, the close box and dropped files reach the window.
#include "kit/x_desktop.h"

#include "kit/display/clipboard.h"
#include "kit/display/display.h"
#include "kit/display/desktop.h"
#include "kit/display/headless/headless_display.h"
#include "support/test_support.h"

#include <Alert.h>
#include <Application.h>
#include <Button.h>
#include <InterfaceDefs.h>
#include <OS.h>
#include <View.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>

using x_desktop::geometry;

namespace {

const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};
const rgb_color kGreen = {0, 255, 0, 255};
const uint32 kHeldKeys = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY;

// What a view or window heard, in the order it heard it.
struct note {
    std::string who;
    uint32 what = 0;
    BMessage message;
    BPoint where;                // the hook's own point argument
    uint32 transit = 0;          // MouseMoved's
    float width = 0, height = 0; // FrameResized's
};

class journal {
  public:
    void add(note entry) {
        std::lock_guard<std::mutex> guard(fLock);
        fEntries.push_back(std::move(entry));
        fChanged.notify_all();
    }
    // Waits until `done` holds of what was heard; false after 5 s.
    bool wait(const std::function<bool(const std::vector<note>&)>& done) {
        std::unique_lock<std::mutex> guard(fLock);
        return fChanged.wait_for(guard, std::chrono::seconds(5), [&] { return done(fEntries); });
    }
    // Waits for the `count`th entry of `who` with code `what`; a copy.
    bool wait_for(const std::string& who, uint32 what, note* out, size_t count = 1) {
        bool found = wait([&](const std::vector<note>& entries) {
            size_t seen = 0;
            for (const note& entry : entries) {
                if (entry.who == who && entry.what == what && ++seen == count) {
                    *out = entry;
                    return true;
                }
            }
            return false;
        });
        return found;
    }
    std::vector<note> of(const std::string& who, uint32 what) const {
        std::lock_guard<std::mutex> guard(fLock);
        std::vector<note> found;
        for (const note& entry : fEntries) {
            if (entry.who == who && entry.what == what)
                found.push_back(entry);
        }
        return found;
    }
    void clear() {
        std::lock_guard<std::mutex> guard(fLock);
        fEntries.clear();
    }

  private:
    mutable std::mutex fLock;
    std::condition_variable fChanged;
    std::vector<note> fEntries;
};

// A view that fills itself with a colour (and a spot in another) and
// notes every pointer, key and drop message it is given.
class probe_view : public BView {
  public:
    probe_view(BRect frame, const char* name, rgb_color colour, journal* heard)
        : BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW), fColour(colour), fJournal(heard) {}
    void Draw(BRect) override {
        SetHighColor(fColour);
        FillRect(Bounds());
        if (fSpot.IsValid()) {
            SetHighColor(fSpotColour);
            FillRect(fSpot);
        }
    }
    void set_spot(BRect spot, rgb_color colour) {
        fSpot = spot;
        fSpotColour = colour;
        Invalidate(spot);
    }
    void MouseDown(BPoint where) override {
        MakeFocus(true);
        SetMouseEventMask(B_POINTER_EVENTS);
        _Note(where);
    }
    void MouseUp(BPoint where) override { _Note(where); }
    void MouseMoved(BPoint where, uint32 transit, const BMessage*) override {
        _Note(where, transit);
    }
    void KeyDown(const char*, int32) override { _Note(BPoint()); }
    void KeyUp(const char*, int32) override { _Note(BPoint()); }
    void MessageReceived(BMessage* message) override {
        if (message->what == B_SIMPLE_DATA) {
            fJournal->add({Name(), message->what, *message, message->DropPoint()});
            return;
        }
        BView::MessageReceived(message);
    }

  private:
    void _Note(BPoint where, uint32 transit = 0) {
        note entry{Name(), 0, *Window()->CurrentMessage(), where, transit};
        entry.what = entry.message.what;
        fJournal->add(entry);
    }

    rgb_color fColour;
    rgb_color fSpotColour = kGreen;
    BRect fSpot = BRect(0, 0, -1, -1);
    journal* fJournal;
};

// A 200 x 150 window at (40, 50) with a red view on the left half and a
// blue one on the right.
class probe_window : public BWindow {
  public:
    probe_window(const char* title, journal* heard, uint32 flags = 0)
        : BWindow(BRect(40, 50, 239, 199), title, B_TITLED_WINDOW, flags), fJournal(heard) {
        left = new probe_view(BRect(0, 0, 99, 149), "left", kRed, heard);
        right = new probe_view(BRect(100, 0, 199, 149), "right", kBlue, heard);
        AddChild(left);
        AddChild(right);
    }
    void FrameResized(float width, float height) override {
        note entry;
        entry.who = "window";
        entry.what = B_WINDOW_RESIZED;
        entry.width = width;
        entry.height = height;
        fJournal->add(entry);
    }
    bool QuitRequested() override {
        note entry;
        entry.who = "window";
        entry.what = B_QUIT_REQUESTED;
        fJournal->add(entry);
        return allow_quit.load();
    }

    probe_view* left;
    probe_view* right;
    std::atomic<bool> allow_quit{true};

  private:
    journal* fJournal;
};

std::string dump(journal& heard) {
    std::string out;
    for (const char* who : {"left", "right"}) {
        for (uint32 what : {(uint32)B_MOUSE_MOVED, (uint32)B_MOUSE_DOWN, (uint32)B_MOUSE_UP}) {
            for (const note& e : heard.of(who, what)) {
                char line[200];
                snprintf(line, sizeof line, "%s %.4s (%g,%g) buttons %d\n", who, (const char*)&what,
                         e.where.x, e.where.y, (int)e.message.GetInt32("buttons", -1));
                out += line;
            }
        }
    }
    return out;
}

void locked(BWindow* window, const std::function<void()>& step) {
    window->Lock();
    step();
    window->Unlock();
}

// True once `holds` does, polling for up to 5 s.
bool eventually(const std::function<bool()>& holds) {
    bigtime_t deadline = system_time() + 5000000;
    while (system_time() < deadline) {
        if (holds())
            return true;
        snooze(20000);
    }
    return holds();
}

uint32 pixel(unsigned long window, int x, int y) {
    uint32_t rgb = 0xdeadbeef;
    x_desktop::window_pixel(window, x, y, &rgb);
    return rgb;
}

bool has_geometry(unsigned long window, int x, int y, int width, int height) {
    return eventually([&] {
        geometry g;
        return x_desktop::window_geometry(window, &g) && g.x == x && g.y == y && g.width == width &&
               g.height == height;
    });
}

int32 int32_field(const BMessage& message, const char* name) {
    int32 value = -12345;
    message.FindInt32(name, &value);
    return value;
}

BPoint point_field(const BMessage& message, const char* name) {
    BPoint value(-999, -999);
    message.FindPoint(name, &value);
    return value;
}

std::string bytes_field(const BMessage& message) {
    const char* bytes = nullptr;
    return message.FindString("bytes", &bytes) == B_OK ? bytes : "(none)";
}

class DesktopDisplay : public ::testing::Test {
  protected:
    // One X server and one desktop display serve every test of the suite,
    // as one display serves a program's whole life.
    static void SetUpTestSuite() {
        server = new x_desktop::virtual_server;
        if (!server->start(&why_no_server))
            return;
        setenv("DISPLAY", server->name().c_str(), 1);
        unsetenv("WAYLAND_DISPLAY");
        // As at the program's start: no backend yet, so the application
        // opens the desktop.
        kit::use_desktop_display();
        kit::install_display(nullptr);
        kit::choose_display();
    }

    static void TearDownTestSuite() {
        kit::install_display(std::make_unique<kit::headless_display>());
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        if (!why_no_server.empty()) {
            std::fprintf(stderr,
                         "\n*** SKIPPED: no X server could start (%s).\n"
                         "*** The desktop display is NOT tested on this machine.\n\n",
                         why_no_server.c_str());
            GTEST_SKIP() << "no X server could start: " << why_no_server;
        }
        ASSERT_TRUE(kit::display().drives_application_thread());
        BApplication::kit_set_launch_arguments({});
        fApp = new BApplication("application/x-vnd.tavrel-desktop-test");
    }

    void TearDown() override {
        delete fApp;
        fApp = nullptr;
    }

    // Serves the application on this thread, as a program does, while
    // `steps` act on the desktop from another; then the application quits.
    void run(const std::function<void()>& steps) {
        std::thread driver([&] {
            steps();
            be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        });
        fApp->Run();
        driver.join();
    }

    static x_desktop::virtual_server* server;
    static std::string why_no_server;
    BApplication* fApp = nullptr;
};

x_desktop::virtual_server* DesktopDisplay::server = nullptr;
std::string DesktopDisplay::why_no_server;

} // namespace

TEST_F(DesktopDisplay, WindowShowsTitlePlaceSizeAndPixelsAndFollowsTheKit) {
    journal heard;
    probe_window* window = new probe_window("desktop probe", &heard);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("desktop probe");
        ASSERT_NE(id, 0u) << "no X window named after the BWindow";
        EXPECT_TRUE(has_geometry(id, 40, 50, 200, 150));
        EXPECT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        EXPECT_EQ(pixel(id, 150, 140), 0x0000ffu);

        // A changed part reaches the screen; the rest stays.
        locked(window, [&] { window->left->set_spot(BRect(20, 20, 29, 29), kGreen); });
        EXPECT_TRUE(eventually([&] { return pixel(id, 25, 25) == 0x00ff00; }));
        EXPECT_EQ(pixel(id, 35, 35), 0xff0000u);
        EXPECT_EQ(pixel(id, 150, 10), 0x0000ffu);

        locked(window, [&] { window->SetTitle("renamed probe"); });
        EXPECT_NE(x_desktop::find_window("renamed probe"), 0u);

        // Hiding takes the window off the screen; showing brings it back.
        auto visible = [&] {
            std::string output;
            return x_desktop::xdotool("search --onlyvisible --name '^renamed probe$'", &output) ==
                   0;
        };
        locked(window, [&] { window->Hide(); });
        EXPECT_TRUE(eventually([&] { return !visible(); }));
        locked(window, [&] { window->Show(); });
        EXPECT_TRUE(eventually(visible));
        EXPECT_TRUE(eventually([&] { return pixel(id, 25, 25) == 0x00ff00; }));

        locked(window, [&] {
            window->MoveTo(70, 80);
            window->ResizeTo(299, 199);
        });
        EXPECT_TRUE(has_geometry(id, 70, 80, 300, 200));
        // The grown part is drawn: the window's own grey.
        EXPECT_TRUE(eventually([&] { return pixel(id, 290, 190) == 0xd8d8d8; }));

        // Limits bring the size within them; zooming goes to the zoom size.
        locked(window, [&] { window->SetSizeLimits(100, 250, 80, 180); });
        EXPECT_TRUE(has_geometry(id, 70, 80, 251, 181));
        locked(window, [&] {
            window->SetZoomLimits(220, 160);
            window->Zoom();
        });
        EXPECT_TRUE(has_geometry(id, 70, 80, 221, 161));
    });
}

TEST_F(DesktopDisplay, PointerReachesTheViewUnderItWithButtonsModifiersAndCapture) {
    journal heard;
    probe_window* window = new probe_window("pointer probe", &heard);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("pointer probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        std::string window = std::to_string(id);

        bigtime_t before = system_time();
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + window + " 150 40"), 0);
        note entry;
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_MOVED, &entry));
        EXPECT_EQ(entry.where, BPoint(50, 40));
        EXPECT_EQ(point_field(entry.message, "be:view_where"), BPoint(50, 40));
        EXPECT_EQ(entry.transit, (uint32)B_ENTERED_VIEW);
        EXPECT_EQ(int32_field(entry.message, "buttons"), 0);

        ASSERT_EQ(x_desktop::xdotool("click 1"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_DOWN, &entry));
        EXPECT_EQ(entry.where, BPoint(50, 40));
        EXPECT_EQ(int32_field(entry.message, "buttons"), B_PRIMARY_MOUSE_BUTTON);
        EXPECT_EQ(int32_field(entry.message, "modifiers") & kHeldKeys, 0);
        EXPECT_EQ(int32_field(entry.message, "clicks"), 1);
        int64 when = 0;
        ASSERT_EQ(entry.message.FindInt64("when", &when), B_OK);
        EXPECT_GE(when, before);
        EXPECT_LE(when, system_time());
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry));
        EXPECT_EQ(int32_field(entry.message, "buttons"), 0);

        // Secondary with Shift, tertiary with Control, primary with Alt
        // (BeOS's Command key).
        ASSERT_EQ(x_desktop::xdotool("keydown shift click 3 keyup shift keydown ctrl click 2 "
                                     "keyup ctrl keydown alt click 1 keyup alt"),
                  0);
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_DOWN, &entry, 4));
        std::vector<note> downs = heard.of("right", B_MOUSE_DOWN);
        ASSERT_EQ(downs.size(), 4u);
        EXPECT_EQ(int32_field(downs[1].message, "buttons"), B_SECONDARY_MOUSE_BUTTON);
        EXPECT_EQ(int32_field(downs[1].message, "modifiers") & kHeldKeys, B_SHIFT_KEY);
        EXPECT_EQ(int32_field(downs[2].message, "buttons"), B_TERTIARY_MOUSE_BUTTON);
        EXPECT_EQ(int32_field(downs[2].message, "modifiers") & kHeldKeys, B_CONTROL_KEY);
        EXPECT_EQ(int32_field(downs[3].message, "buttons"), B_PRIMARY_MOUSE_BUTTON);
        EXPECT_EQ(int32_field(downs[3].message, "modifiers") & kHeldKeys, B_COMMAND_KEY);

        // A press in the left view keeps the pointer there while the
        // button is held, outside the window too.
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + window + " 50 40 mousedown 1"), 0);
        ASSERT_TRUE(heard.wait_for("left", B_MOUSE_DOWN, &entry));
        heard.clear();
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + window + " 260 60"), 0);
        ASSERT_TRUE(heard.wait([](const std::vector<note>& entries) {
            for (const note& e : entries) {
                if (e.who == "left" && e.what == B_MOUSE_MOVED && e.where == BPoint(260, 60))
                    return true;
            }
            return false;
        })) << "the held pointer's moves outside the window did not reach the pressed view"
            << dump(heard);
        EXPECT_TRUE(heard.of("right", B_MOUSE_MOVED).empty());
        ASSERT_EQ(x_desktop::xdotool("mouseup 1"), 0);
        ASSERT_TRUE(heard.wait_for("left", B_MOUSE_UP, &entry));
        EXPECT_EQ(entry.where, BPoint(260, 60));
    });
}

TEST_F(DesktopDisplay, KeysReachTheFocusWithBeOSBytesCodesModifiersAndRepeats) {
    journal heard;
    probe_window* window = new probe_window("key probe", &heard);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("key probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        std::string window = std::to_string(id);
        // A click gives the right view the focus.
        ASSERT_EQ(x_desktop::xdotool("windowfocus --sync " + window + " mousemove --window " +
                                     window + " 150 40 click 1"),
                  0);
        note entry;
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry));

        ASSERT_EQ(x_desktop::xdotool("key a Up Down Left Right Delete BackSpace Return Tab "
                                     "Escape Home End Prior Next"),
                  0);
        const std::vector<std::string> expected = {"a",    "\x1e", "\x1f", "\x1c", "\x1d",
                                                   "\x7f", "\x08", "\n",   "\t",   "\x1b",
                                                   "\x01", "\x04", "\x0b", "\x0c"};
        ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry, expected.size()));
        std::vector<note> downs = heard.of("right", B_KEY_DOWN);
        std::vector<note> ups = heard.of("right", B_KEY_UP);
        ASSERT_EQ(downs.size(), expected.size());
        ASSERT_EQ(ups.size(), expected.size());
        for (size_t i = 0; i < expected.size(); i++) {
            EXPECT_EQ(bytes_field(downs[i].message), expected[i]) << "key " << i;
            EXPECT_EQ(bytes_field(ups[i].message), expected[i]) << "key " << i;
        }
        // The keyboard's own key codes and the unmodified character.
        EXPECT_EQ(int32_field(downs[0].message, "key"), 0x3c);
        EXPECT_EQ(int32_field(downs[0].message, "raw_char"), 'a');
        EXPECT_EQ(int32_field(downs[1].message, "key"), 0x57);
        EXPECT_EQ(int32_field(downs[0].message, "modifiers") & kHeldKeys, 0);

        heard.clear();
        ASSERT_EQ(x_desktop::xdotool("key shift+b ctrl+c alt+d"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry, 3));
        downs = heard.of("right", B_KEY_DOWN);
        ASSERT_EQ(downs.size(), 3u);
        EXPECT_EQ(bytes_field(downs[0].message), "B");
        EXPECT_EQ(int32_field(downs[0].message, "modifiers") & kHeldKeys, B_SHIFT_KEY);
        EXPECT_EQ(bytes_field(downs[1].message), "\x03");
        EXPECT_EQ(int32_field(downs[1].message, "raw_char"), 'c');
        EXPECT_EQ(int32_field(downs[1].message, "modifiers") & kHeldKeys, B_CONTROL_KEY);
        EXPECT_EQ(bytes_field(downs[2].message), "d");
        EXPECT_EQ(int32_field(downs[2].message, "modifiers") & kHeldKeys, B_COMMAND_KEY);

        // Text comes through the desktop's text input as UTF-8. The two
        // keys are bound first, and a key pressed after the binding shows
        // that the program has read the new keymap.
        ASSERT_TRUE(x_desktop::bind_keysyms({0x00e9 /* eacute */, 0x20ac /* EuroSign */}));
        heard.clear();
        ASSERT_EQ(x_desktop::xdotool("key a"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry));
        heard.clear();
        ASSERT_EQ(x_desktop::xdotool("key eacute EuroSign"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_KEY_DOWN, &entry, 2));
        downs = heard.of("right", B_KEY_DOWN);
        EXPECT_EQ(bytes_field(downs[0].message), "\xc3\xa9");
        EXPECT_EQ(bytes_field(downs[1].message), "\xe2\x82\xac");

        // A held key repeats as further key-downs that count the repeats,
        // and is released once.
        heard.clear();
        ASSERT_EQ(x_desktop::xdotool("keydown x"), 0);
        bool repeated = heard.wait([](const std::vector<note>& entries) {
            int32 repeats = 0;
            for (const note& e : entries) {
                if (e.what == B_KEY_DOWN &&
                    e.message.FindInt32("be:key_repeat", &repeats) == B_OK && repeats >= 2)
                    return true;
            }
            return false;
        });
        ASSERT_EQ(x_desktop::xdotool("keyup x"), 0);
        ASSERT_TRUE(repeated) << "holding a key did not repeat";
        ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry));
        downs = heard.of("right", B_KEY_DOWN);
        EXPECT_FALSE(downs[0].message.HasInt32("be:key_repeat"));
        EXPECT_EQ(int32_field(downs[1].message, "be:key_repeat"), 1);
        EXPECT_EQ(int32_field(downs[2].message, "be:key_repeat"), 2);
        for (const note& down : downs)
            EXPECT_EQ(bytes_field(down.message), "x");
        // Another key after the release: once its key-up has arrived, any
        // second release of the held key would have arrived before it.
        ASSERT_EQ(x_desktop::xdotool("key y"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry, 2));
        ups = heard.of("right", B_KEY_UP);
        ASSERT_EQ(ups.size(), 2u);
        EXPECT_EQ(bytes_field(ups[0].message), "x");
        EXPECT_EQ(bytes_field(ups[1].message), "y");
    });
}

TEST_F(DesktopDisplay, ResizingClosingAndDroppingReachTheWindow) {
    journal heard;
    probe_window* window = new probe_window("frame probe", &heard);
    window->Show();
    std::string folder = testing_support::temp_dir();
    std::string first = folder + "/first font.ttf";
    std::string second = folder + "/second.ttf";
    ASSERT_TRUE(testing_support::write_file(first, {1}));
    ASSERT_TRUE(testing_support::write_file(second, {2}));
    run([&] {
        unsigned long id = x_desktop::find_window("frame probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        std::string windowId = std::to_string(id);

        // The user's resizing reaches FrameResized.
        ASSERT_EQ(x_desktop::xdotool("windowsize " + windowId + " 320 240"), 0);
        note entry;
        ASSERT_TRUE(heard.wait_for("window", B_WINDOW_RESIZED, &entry));
        EXPECT_EQ(entry.width, 319);
        EXPECT_EQ(entry.height, 239);
        EXPECT_TRUE(eventually([&] { return pixel(id, 310, 230) == 0xd8d8d8; }));

        // The limits reach the desktop, whose window manager keeps to them;
        // beyond them (there is no window manager here) the window is
        // brought back within them.
        locked(window, [&] { window->SetSizeLimits(100, 399, 80, 299); });
        EXPECT_TRUE(eventually([&] {
            std::string hints;
            testing_support::run_command("xprop -id " + windowId + " WM_NORMAL_HINTS", &hints);
            return hints.find("minimum size: 101 by 81") != std::string::npos &&
                   hints.find("maximum size: 400 by 300") != std::string::npos;
        }));
        ASSERT_EQ(x_desktop::xdotool("windowsize " + windowId + " 600 500"), 0);
        ASSERT_TRUE(heard.wait_for("window", B_WINDOW_RESIZED, &entry, 2));
        EXPECT_EQ(entry.width, 399);
        EXPECT_EQ(entry.height, 299);
        geometry g;
        EXPECT_TRUE(eventually([&] {
            return x_desktop::window_geometry(id, &g) && g.width == 400 && g.height == 300;
        })) << g.width
            << " x " << g.height;

        // Files dropped on the right view reach it with their refs.
        std::string why;
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + windowId + " 150 40"), 0);
        ASSERT_TRUE(x_desktop::drop_files(id, 150, 40, {first, second}, &why)) << why;
        ASSERT_TRUE(heard.wait_for("right", B_SIMPLE_DATA, &entry));
        entry_ref ref;
        ASSERT_EQ(entry.message.FindRef("refs", 0, &ref), B_OK);
        EXPECT_STREQ(ref.Path(), first.c_str());
        ASSERT_EQ(entry.message.FindRef("refs", 1, &ref), B_OK);
        EXPECT_STREQ(ref.Path(), second.c_str());
        EXPECT_FALSE(entry.message.HasRef("refs", 2));
        EXPECT_TRUE(entry.message.WasDropped());
        EXPECT_EQ(entry.where, BPoint(50, 40));

        // The close box asks the window; a refusal keeps it.
        window->allow_quit = false;
        ASSERT_TRUE(x_desktop::press_close_box(id));
        ASSERT_TRUE(heard.wait_for("window", B_QUIT_REQUESTED, &entry));
        // A click after the request: the window handles it only after the
        // request, so its arrival shows the refused window went on running.
        size_t clicks = heard.of("right", B_MOUSE_UP).size();
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + windowId + " 150 40 click 1"), 0);
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry, clicks + 1));
        EXPECT_NE(x_desktop::find_window("frame probe", 100), 0u);
        window->allow_quit = true;
        ASSERT_TRUE(x_desktop::press_close_box(id));
        ASSERT_TRUE(heard.wait_for("window", B_QUIT_REQUESTED, &entry, 2));
        EXPECT_TRUE(eventually([&] {
            std::string output;
            return x_desktop::xdotool("search --name '^frame probe$'", &output) != 0;
        })) << "the window stayed on the desktop after agreeing to close";
    });
}

TEST_F(DesktopDisplay, WindowWithoutACloseBoxIsNotAskedToClose) {
    journal heard;
    probe_window* window = new probe_window("fixed probe", &heard, B_NOT_CLOSABLE);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("fixed probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        ASSERT_TRUE(x_desktop::press_close_box(id));
        // A click after the request shows the request was handled first.
        ASSERT_EQ(
            x_desktop::xdotool("mousemove --window " + std::to_string(id) + " 150 40 click 1"), 0);
        note entry;
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry));
        EXPECT_TRUE(heard.of("window", B_QUIT_REQUESTED).empty());
        EXPECT_NE(x_desktop::find_window("fixed probe", 100), 0u);
    });
}

TEST_F(DesktopDisplay, ARequestAboutAVanishedWindowDoesNotEndTheProgram) {
    journal heard;
    probe_window* window = new probe_window("survivor probe", &heard);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("survivor probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        // A window id that names nothing, as a window does just after it
        // closed: the server answers BadWindow, which Xlib's default
        // handler would turn into the end of the process.
        x_desktop::press_close_box(0x7ffffe);
        ASSERT_EQ(
            x_desktop::xdotool("mousemove --window " + std::to_string(id) + " 150 40 click 1"), 0);
        note entry;
        EXPECT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry));
    });
}

TEST_F(DesktopDisplay, ClipboardTextIsSharedWithOtherPrograms) {
    run([&] {
        // Copied here, pasted elsewhere.
        kit::set_clipboard_text("copied in the kit \xe2\x9c\x93");
        std::string text, why;
        EXPECT_TRUE(eventually([&] {
            return x_desktop::read_clipboard(&text, &why) &&
                   text == "copied in the kit \xe2\x9c\x93";
        })) << why
            << " [" << text << "]";

        // Copied elsewhere, pasted here.
        x_desktop::clipboard_owner other("from another program");
        ASSERT_TRUE(other.owns());
        EXPECT_EQ(kit::clipboard_text(), "from another program");
    });
}

TEST_F(DesktopDisplay, ClipboardDataOfEveryTypeGoesBothWaysAndHostileOwnersAreBounded) {
    run([&] {
        // Offered here: each type byte for byte, the text under the names
        // other programs ask for, the list of types.
        const std::string binary("\0glyph\xff\x01", 8);
        kit::set_clipboard_data({{"application/x-vnd.test", binary}, {kit::CLIPBOARD_TEXT, "ok"}});
        std::string got, why;
        ASSERT_TRUE(x_desktop::read_clipboard(&got, &why, "application/x-vnd.test")) << why;
        EXPECT_EQ(got, binary);
        for (const char* text : {"UTF8_STRING", "STRING", "text/plain"}) {
            ASSERT_TRUE(x_desktop::read_clipboard(&got, &why, text)) << why;
            EXPECT_EQ(got, "ok") << text;
        }
        ASSERT_TRUE(x_desktop::read_clipboard(&got, &why, "TARGETS")) << why;
        EXPECT_NE(got.find("application/x-vnd.test\n"), std::string::npos) << got;
        EXPECT_NE(got.find("UTF8_STRING\n"), std::string::npos) << got;
        EXPECT_FALSE(x_desktop::read_clipboard(&got, &why, "image/png"));

        // Offered elsewhere.
        {
            x_desktop::clipboard_owner other(
                {{"application/x-vnd.test", binary}, {"UTF8_STRING", "theirs"}}, "");
            ASSERT_TRUE(other.owns());
            EXPECT_TRUE(kit::clipboard_data("application/x-vnd.test", &got));
            EXPECT_EQ(got, binary);
            EXPECT_EQ(kit::clipboard_text(), "theirs");
            EXPECT_FALSE(kit::clipboard_data("image/svg+xml", &got));
        }

        // An owner that never answers, one whose incremental transfer never
        // ends, one that offers more than a paste may bring: each read is
        // given up in bounded time, and nothing is taken.
        for (const char* hostile : {"silent", "drip", "huge"}) {
            SCOPED_TRACE(hostile);
            x_desktop::clipboard_owner other({}, hostile);
            ASSERT_TRUE(other.owns());
            got = "before";
            bigtime_t start = system_time();
            EXPECT_FALSE(kit::clipboard_data("application/x-vnd.test", &got));
            EXPECT_LT(system_time() - start, 8000000);
            EXPECT_EQ(got, "before");
        }

        // Copying again takes the selection back.
        kit::set_clipboard_data({{"application/x-vnd.test", "mine"}});
        EXPECT_TRUE(kit::clipboard_data("application/x-vnd.test", &got));
        EXPECT_EQ(got, "mine");
        ASSERT_TRUE(x_desktop::read_clipboard(&got, &why, "application/x-vnd.test")) << why;
        EXPECT_EQ(got, "mine");
    });
}

TEST_F(DesktopDisplay, WindowsTakeInputWhileTheApplicationThreadWaits) {
    // The application thread waits, as a synchronous alert makes it wait,
    // until a window has been clicked.
    struct waiter : BHandler {
        waiter() : BHandler("waiter") {}
        void MessageReceived(BMessage* message) override {
            if (message->what != 'wait') {
                BHandler::MessageReceived(message);
                return;
            }
            waiting = true;
            kit::wait_serving_display([&] { return clicked.load(); });
            waited = true;
        }
        std::atomic<bool> waiting{false};
        std::atomic<bool> clicked{false};
        std::atomic<bool> waited{false};
    };
    journal heard;
    probe_window* window = new probe_window("waiting probe", &heard);
    window->Show();
    waiter* wait = new waiter;
    fApp->Lock();
    fApp->AddHandler(wait);
    fApp->Unlock();
    run([&] {
        ASSERT_EQ(BMessenger(wait).SendMessage('wait'), B_OK);
        ASSERT_TRUE(eventually([&] { return wait->waiting.load(); }));
        unsigned long id = x_desktop::find_window("waiting probe");
        ASSERT_NE(id, 0u) << "the window did not appear while the application waited";
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        ASSERT_EQ(
            x_desktop::xdotool("mousemove --window " + std::to_string(id) + " 150 40 click 1"), 0);
        note entry;
        EXPECT_TRUE(heard.wait_for("right", B_MOUSE_DOWN, &entry));
        EXPECT_FALSE(wait->waited);
        wait->clicked = true;
        EXPECT_TRUE(eventually([&] { return wait->waited.load(); }));
    });
    fApp->Lock();
    fApp->RemoveHandler(wait);
    fApp->Unlock();
    delete wait;
}

TEST_F(DesktopDisplay, SynchronousAlertOnTheApplicationThreadTakesAClick) {
    // As the About box does: Go() in a handler of the application.
    struct asker : BHandler {
        asker() : BHandler("asker") {}
        void MessageReceived(BMessage* message) override {
            if (message->what != 'ask?') {
                BHandler::MessageReceived(message);
                return;
            }
            BAlert* alert = new BAlert("alert probe", "Keep the changes?", "No", "Yes");
            shown = alert;
            answer = alert->Go();
            answered = true;
        }
        std::atomic<BAlert*> shown{nullptr};
        std::atomic<int32> answer{-2};
        std::atomic<bool> answered{false};
    };
    asker* ask = new asker;
    fApp->Lock();
    fApp->AddHandler(ask);
    fApp->Unlock();
    run([&] {
        ASSERT_EQ(BMessenger(ask).SendMessage('ask?'), B_OK);
        unsigned long id = x_desktop::find_window("alert probe");
        ASSERT_NE(id, 0u) << "the alert did not appear";
        BAlert* alert = nullptr;
        ASSERT_TRUE(eventually([&] { return (alert = ask->shown.load()) != nullptr; }));
        BPoint centre;
        locked(alert, [&] {
            BView* yes = alert->ButtonAt(1);
            BRect bounds = yes->Bounds();
            centre = yes->ConvertToScreen(BPoint((bounds.left + bounds.right) / 2,
                                                 (bounds.top + bounds.bottom) / 2)) -
                     alert->Frame().LeftTop();
        });
        ASSERT_TRUE(eventually([&] { return pixel(id, 1, 1) != 0xdeadbeef; }));
        ASSERT_EQ(x_desktop::xdotool("mousemove --window " + std::to_string(id) + " " +
                                     std::to_string((int)centre.x) + " " +
                                     std::to_string((int)centre.y) + " click 1"),
                  0);
        EXPECT_TRUE(eventually([&] { return ask->answered.load(); }))
            << "Go() did not return after its button was clicked";
        EXPECT_EQ(ask->answer, 1);
    });
    fApp->Lock();
    fApp->RemoveHandler(ask);
    fApp->Unlock();
    delete ask;
}

// Without a window manager a window shown takes the keyboard and nobody
// gives it back when that window goes; the display returns it to the window
// that had it before, whether the second window is hidden or closed.
TEST_F(DesktopDisplay, KeysReturnToTheWindowBeforeAWindowThatGoesAway) {
    journal heard;
    probe_window* window = new probe_window("main probe", &heard);
    window->Show();
    run([&] {
        unsigned long id = x_desktop::find_window("main probe");
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(eventually([&] { return pixel(id, 10, 10) == 0xff0000; }));
        std::string main = std::to_string(id);
        ASSERT_EQ(x_desktop::xdotool("windowfocus --sync " + main + " mousemove --window " + main +
                                     " 150 40 click 1"),
                  0);
        note entry;
        ASSERT_TRUE(heard.wait_for("right", B_MOUSE_UP, &entry));

        for (bool close : {false, true}) {
            journal panelHeard;
            probe_window* panel =
                new probe_window(close ? "closed probe" : "hidden probe", &panelHeard);
            panel->Show();
            unsigned long panelId = x_desktop::find_window(panel->Title());
            ASSERT_NE(panelId, 0u);
            ASSERT_TRUE(eventually([&] { return pixel(panelId, 10, 10) == 0xff0000; }));
            // The new window has the keyboard.
            ASSERT_EQ(x_desktop::xdotool("mousemove --window " + std::to_string(panelId) +
                                         " 150 40 click 1 key b"),
                      0);
            ASSERT_TRUE(panelHeard.wait_for("right", B_KEY_UP, &entry));
            if (close) {
                panel->Lock();
                panel->Quit();
            } else {
                locked(panel, [&] { panel->Hide(); });
            }
            ASSERT_TRUE(eventually([&] {
                std::string output;
                return x_desktop::xdotool("search --onlyvisible --name '^" +
                                              std::string(close ? "closed" : "hidden") + " probe$'",
                                          &output) != 0;
            }));
            heard.clear();
            ASSERT_EQ(x_desktop::xdotool("key a"), 0);
            ASSERT_TRUE(heard.wait_for("right", B_KEY_UP, &entry))
                << "the key after the " << (close ? "closed" : "hidden") << " window was lost";
            EXPECT_EQ(bytes_field(entry.message), "a");
            if (!close) {
                panel->Lock();
                panel->Quit();
            }
        }
    });
}

TEST(DesktopChoice, WithoutADesktopTheProgramExitsNamingDisplayAndWaylandDisplay) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    kit::use_desktop_display();
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            kit::install_display(nullptr);
            BApplication app("application/x-vnd.tavrel-desktop-test");
        },
        ::testing::ExitedWithCode(1), "neither DISPLAY \\(X11\\) nor WAYLAND_DISPLAY");
    // A display that cannot be reached is named in the message.
    EXPECT_EXIT(
        {
            setenv("DISPLAY", ":31999", 1);
            unsetenv("WAYLAND_DISPLAY");
            kit::install_display(nullptr);
            BApplication app("application/x-vnd.tavrel-desktop-test");
        },
        ::testing::ExitedWithCode(1), "cannot open the desktop \\(DISPLAY=:31999");
}
