// The glyph overview on the headless display, with a host of the test's
// own: the font lives in the test, guarded by a lock the overview takes as
// it would take the main window's, so a test can change the font between
// the overview's reads exactly as the main window does.
#ifndef TAVREL_TESTS_OVERVIEW_FIXTURE_H
#define TAVREL_TESTS_OVERVIEW_FIXTURE_H

#include "font/ttf.h"
#include "overview/overview_grid.h"
#include "overview/overview_host.h"
#include "overview/overview_messages.h"
#include "overview/overview_window.h"

#include "kit/kit_test_support.h"
#include "support/test_support.h"

#include <File.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace overview_testing {

using kit_testing::screen;

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class test_host : public overview_host {
  public:
    bool read_font(const std::function<void(ttf*, const std::string&)>& read) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        reads++;
        read(font.get(), file);
        return true;
    }
    void show_glyph(unsigned gno) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        shown.push_back(gno);
    }
    std::string setting(const std::string& key, const std::string& fallback) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        auto at = values.find(key);
        return at == values.end() ? fallback : at->second;
    }
    void remember(const std::string& key, const std::string& value) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        values[key] = value;
    }

    // Loads a font file; false when it does not load.
    bool load(const std::string& path) {
        std::unique_ptr<ttf> f(new ttf());
        BFile in(path.c_str(), B_READ_ONLY);
        if (f->load(in) != 0)
            return false;
        f->start_history();
        std::lock_guard<std::recursive_mutex> hold(lock);
        font = std::move(f);
        file = path;
        return true;
    }

    std::recursive_mutex lock;
    std::unique_ptr<ttf> font;
    std::string file;
    std::vector<unsigned> shown;
    std::map<std::string, std::string> values;
    long reads = 0;
};

// An overview window showing `host`'s font, `width` x `height` with cells
// of `cell` pixels.
class open_overview {
  public:
    explicit open_overview(test_host* h, int cell = 64, int width = 640, int height = 480)
        : host(h) {
        host->remember("overview.cell", std::to_string(cell));
        host->remember("overview.width", std::to_string(width));
        host->remember("overview.height", std::to_string(height));
        window = new overview_window(host);
        link = BMessenger(window);
        idle();
    }
    ~open_overview() {
        if (link.LockTarget())
            window->Quit();
    }

    // Sanitizer builds draw a screenful of large cells slowly: a minute.
    void idle() { ASSERT_TRUE(screen().wait_idle(60000000)); }
    overview_grid* grid() const { return window->grid(); }
    // Posts a message to the window and waits until it is handled.
    void post(BMessage message) {
        link.SendMessage(&message);
        idle();
    }
    void post(uint32 what) { post(BMessage(what)); }
    void key(const char* bytes, uint32 modifiers = 0, int32 code = 0) {
        screen().key_down(window, bytes, code, modifiers);
        screen().key_up(window, bytes, code, modifiers);
        idle();
    }
    // The window point of a cell's centre (in the grid's view).
    BPoint cell_point(int index) {
        window->Lock();
        BRect r = grid()->cell_rect(index);
        BPoint p = grid()->ConvertToParent(BPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        window->Unlock();
        return p;
    }
    void click(int index, uint32 modifiers = 0, int32 clicks = 1) {
        BPoint p = cell_point(index);
        screen().mouse_down(window, p, 1, modifiers, clicks);
        screen().mouse_up(window, p, modifiers);
        idle();
    }
    // Runs `step` with the window locked and returns what it returns.
    template <typename F> auto locked(F step) {
        window->Lock();
        auto result = step();
        window->Unlock();
        return result;
    }
    // Changes the font under the host's lock, then tells the overview.
    template <typename F> void change(F step) {
        {
            std::lock_guard<std::recursive_mutex> hold(host->lock);
            step(host->font.get());
        }
        post(OVERVIEW_CHANGED);
    }

    test_host* host;
    overview_window* window;
    BMessenger link;
};

} // namespace overview_testing

#endif
