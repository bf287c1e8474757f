// The text preview on the headless display: how long after a glyph is
// stored the preview shows the new font (the copy of the font's bytes,
// FreeType and HarfBuzz loading them and the waterfall set again), and how
// long a character typed into its entry takes to redraw the waterfall.
// Each iteration runs from the store (or the key) until every looper is
// idle again, so it covers the handling and the drawing; lock_ms is the
// part of it the preview held the font's lock (the main window waits that
// long).
#include "font/ttf.h"
#include "kit/display/headless/headless_display.h"
#include "outline/glyph.h"
#include "preview/preview_host.h"
#include "preview/preview_messages.h"
#include "preview/preview_sheet.h"
#include "preview/preview_window.h"

#include <File.h>
#include <InterfaceDefs.h>
#include <Messenger.h>
#include <TextControl.h>

#include <benchmark/benchmark.h>

#include <chrono>

#include <memory>
#include <mutex>
#include <string>

namespace {

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

const char* const FONTS[] = {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                             "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf"};

// The font held as the main window holds it: behind a lock the preview
// takes to copy it.
class bench_host : public preview_host {
  public:
    bool read_font(const std::function<void(ttf*, const std::string&)>& read) override {
        std::lock_guard<std::mutex> hold(lock);
        auto start = std::chrono::steady_clock::now();
        read(font.get(), file);
        held += std::chrono::steady_clock::now() - start;
        return true;
    }
    void show_glyph(unsigned) override {}

    std::mutex lock;
    std::unique_ptr<ttf> font;
    std::string file;
    std::chrono::steady_clock::duration held{};
};

struct open_preview {
    bench_host host;
    preview_window* window = nullptr;
    bool ok = false;

    explicit open_preview(const char* path) {
        host.font.reset(new ttf());
        host.file = path;
        BFile in(path, B_READ_ONLY);
        if (host.font->load(in) != 0)
            return;
        host.font->start_history();
        window = new preview_window(&host);
        ok = screen().wait_idle();
    }
    ~open_preview() {
        if (window && window->Lock())
            window->Quit();
        screen().wait_idle();
    }
    void idle() { screen().wait_idle(5000000, 100); }
};

// Stores glyph `b`'s outline as glyph `a`, then a's own again, one store per
// iteration; the time runs until the preview shows the font stored.
void store_glyph(benchmark::State& state) {
    const char* path = FONTS[state.range(0)];
    open_preview p(path);
    if (!p.ok) {
        state.SkipWithError("the font does not load");
        return;
    }
    // Two glyphs of the sample line the preview chose.
    unsigned a = 0, b = 0;
    p.window->Lock();
    const std::vector<set_line>& lines = p.window->sheet()->lines();
    if (!lines.empty() && lines[0].glyphs.size() > 2) {
        a = lines[0].glyphs[1].gid;
        b = lines[0].glyphs[2].gid;
    }
    p.window->Unlock();
    glyph original(0), other(0);
    if (a == b || p.host.font->get_glyph((int)a, &original) != 0 ||
        p.host.font->get_glyph((int)b, &other) != 0) {
        state.SkipWithError("no two glyphs in the sample line");
        return;
    }
    BMessenger link(p.window);
    bool swap = true;
    p.host.held = {};
    for (auto _ : state) {
        {
            std::lock_guard<std::mutex> hold(p.host.lock);
            if (p.host.font->set_glyph((int)a, swap ? &other : &original) != 0) {
                state.SkipWithError("the glyph was not stored");
                break;
            }
        }
        link.SendMessage(PREVIEW_CHANGED);
        p.idle();
        swap = !swap;
    }
    state.counters["lock_ms"] =
        benchmark::Counter(std::chrono::duration<double, std::milli>(p.host.held).count() /
                           (double)state.iterations());
    state.SetLabel(path + std::string(path).rfind('/') + 1);
}

// A character typed at the end of a 40-character Latin line, then taken
// back with Backspace: one key per iteration.
void type_character(benchmark::State& state) {
    open_preview p(FONTS[0]);
    if (!p.ok) {
        state.SkipWithError("the font does not load");
        return;
    }
    p.window->Lock();
    p.window->textfield()->SetText("Sphinx of black quartz, judge my vow 123");
    p.window->textfield()->MakeFocus(true);
    p.window->Unlock();
    const char end[2] = {B_END, 0};
    screen().key_down(p.window, end);
    screen().key_down(p.window, "x");
    p.idle();
    bool add = false;
    for (auto _ : state) {
        screen().key_down(p.window, add ? "x" : "\b");
        p.idle();
        add = !add;
    }
}

BENCHMARK(store_glyph)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(type_character)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    kit::headless_display::current();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
