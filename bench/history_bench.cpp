// Benchmarks of the undo history in HanaMinB (30 MB, some 65,000 glyphs):
// an undo and a redo of a glyph store driven with Alt+Z and Shift+Alt+Z on
// the headless display, each timed from the injected key until every
// looper is idle again (the undo, the glyph editor's reload and its
// redraw); and the memory that 1,000 glyph stores add, as the history
// counts it and as the heap holds it.
#include "alloc_counter.h"

#include "app/tavrel.h"
#include "app/tavrelview.h"
#include "app/tavrelwindow.h"
#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/glyf.h"
#include "font/history.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "kit/display/headless/headless_display.h"
#include "outline/glyph.h"

#include <Application.h>
#include <File.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Messenger.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

namespace {

const char* const HANAMIN = "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf";

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

// A copy of HanaMinB in memory-backed scratch space: the benchmark saves
// nothing, but the program may only ever write to copies.
std::string scratch_copy() {
    char folder[] = "/dev/shm/tavrel-history-bench-XXXXXX";
    const char* made = mkdtemp(folder);
    std::string path = std::string(made ? made : "/tmp") + "/HanaMinB.ttf";
    std::ifstream in(HANAMIN, std::ios::binary);
    std::ofstream out(path, std::ios::binary);
    out << in.rdbuf();
    return in && out ? path : std::string();
}

void undo_redo_glyph_store(benchmark::State& state) {
    std::string path = scratch_copy();
    if (path.empty()) {
        state.SkipWithError("HanaMinB could not be copied");
        return;
    }
    BApplication::kit_set_launch_arguments({path});
    tavrel* app = new tavrel();
    std::atomic<bool> ended{false};
    std::thread loop([app, &ended] {
        app->Run();
        ended = true;
    });
    BMessage reply;
    be_app_messenger.SendMessage('ping', &reply);
    screen().wait_idle();
    BWindow* window = app->window;

    // The glyph editor shows glyph 0x1000; it is cleared and stored, so the
    // history holds one step that changes its record and shifts every later
    // loca entry.
    window->Lock();
    BView* editor = curfont && curfont->glyf ? curfont->glyf->editview : nullptr;
    window->Unlock();
    if (!editor) {
        state.SkipWithError("the font was not shown");
    } else {
        // The glyph table is the one shown, so that its redraw is timed.
        BMessage select('tsel');
        select.AddInt32("table", (int32)'glyf');
        BMessenger(app->window->workview).SendMessage(&select);
        BMessage choose(GLYF_CHANGE);
        choose.AddInt16("gno", 0x1000);
        BMessenger(editor).SendMessage(&choose);
        BMessenger(editor).SendMessage(GLYF_CLEAR);
        BMessenger(editor).SendMessage(GLYF_STORE);
        screen().wait_idle();
        bool undone = false;
        for (auto _ : state) {
            const char* key = undone ? "Z" : "z";
            uint32 mods = B_COMMAND_KEY | (undone ? B_SHIFT_KEY : 0);
            screen().key_down(window, key, 0, mods);
            screen().wait_idle();
            undone = !undone;
            state.PauseTiming();
            screen().key_up(window, key, 0, mods);
            screen().wait_idle();
            state.ResumeTiming();
        }
        window->Lock();
        int steps = curfont->history()->count_steps();
        window->Unlock();
        if (steps != 1)
            state.SkipWithError("the store was not one undo step");
    }
    // Quitting asks about the change; the answer is "Don't save".
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    for (int i = 0; i < 5000 && !ended; i++) {
        bool asked = false;
        for (int32 k = 0; k < be_app->CountWindows(); k++) {
            BWindow* w = be_app->WindowAt(k);
            if (w && w != window) {
                screen().key_down(w, "d");
                asked = true;
            }
        }
        if (asked)
            break;
        snooze(1000);
    }
    loop.join();
    delete app;
}

// The model's share of the above: the same undo and redo with no window.
void undo_redo_model_only(benchmark::State& state) {
    ttf font;
    BFile file(HANAMIN, B_READ_ONLY);
    if (font.load(file) != 0) {
        state.SkipWithError("HanaMinB did not load");
        return;
    }
    font_history* history = font.start_history();
    glyph empty(0x1000);
    history->checkpoint("store");
    font.set_glyph(0x1000, &empty);
    bool undone = false;
    for (auto _ : state) {
        if (!(undone ? history->redo() : history->undo())) {
            state.SkipWithError("nothing to undo or redo");
            break;
        }
        undone = !undone;
    }
}

void thousand_glyph_stores(benchmark::State& state) {
    for (auto _ : state) {
        ttf font;
        BFile file(HANAMIN, B_READ_ONLY);
        if (font.load(file) != 0) {
            state.SkipWithError("HanaMinB did not load");
            return;
        }
        font_history* history = font.start_history();
        const int glyphs = (int)font.maxp->numglyphs();
        alloc_counter::start();
        // Each store puts another glyph's outline in place of glyph g, so
        // the records change length and the later loca entries move.
        int stored = 0;
        for (int i = 0; i < 1000; i++) {
            int from = (i * 7919) % glyphs, to = (i * 104729 + 17) % glyphs;
            glyph g((unsigned short)from);
            if (font.get_glyph(from, &g) != 0)
                continue;
            history->checkpoint("store");
            if (font.set_glyph(to, &g) == 0)
                stored++;
        }
        size_t peak = alloc_counter::stop();
        state.counters["stores"] = stored;
        state.counters["history_MiB"] = (double)history->memory() / (1 << 20);
        state.counters["peak_heap_MiB"] = (double)peak / (1 << 20);
    }
}

} // namespace

BENCHMARK(undo_redo_glyph_store)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);
BENCHMARK(undo_redo_model_only)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);
BENCHMARK(thousand_glyph_stores)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    screen();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
