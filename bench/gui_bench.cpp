// Benchmarks of the views, on the headless display with injected input:
// building a new font of every Unicode block from the set-up view's "set"
// until the font is shown, saving it, and toggling one pixel of the
// largest bitmap strike (255 pixels per em) with its redraw. Each
// iteration's time runs from the injected input until every looper is
// idle again, so it covers the handling and the drawing.
#include "app/initview.h"
#include "app/tavrel.h"
#include "app/tavrelwindow.h"
#include "editor/ebdteditview.h"
#include "editor/globals.h"
#include "font/bitmap.h"
#include "font/cmap.h"
#include "font/cmap_run_list.h"
#include "font/ebdt.h"
#include "font/ttf.h"
#include "kit/display/headless/headless_display.h"

#include <Button.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <Message.h>
#include <Messenger.h>
#include <TextControl.h>
#include <Window.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

const float WORKVIEW_TOP = 53;

// The application running its loop on a thread of its own, as in the
// application's tests.
class running_app {
  public:
    running_app() {
        app = new tavrel();
        loop = std::thread([this] {
            app->Run();
            ended = true;
        });
        BMessage reply;
        be_app_messenger.SendMessage('ping', &reply);
        screen().wait_idle();
    }
    ~running_app() {
        be_app_messenger.SendMessage(B_QUIT_REQUESTED);
        // The new font was never saved: quitting asks, and the answer is
        // "Don't save" (its key is d).
        for (int i = 0; i < 5000 && !ended; i++) {
            if (BWindow* question = other_window()) {
                screen().key_down(question, "d");
                break;
            }
            if (ended)
                break;
            snooze(1000);
        }
        loop.join();
        delete app;
    }
    void click(BPoint where) {
        screen().mouse_down(app->window, where);
        screen().mouse_up(app->window, where);
        screen().wait_idle();
    }
    // File > New, then every block ticked.
    void new_with_every_block() {
        click(BPoint(15, 10));
        screen().mouse_down(app->window, BPoint(40, 34));
        screen().mouse_up(app->window, BPoint(40, 34));
        // The font of the last round was never saved: New asks first, and
        // the answer is "Don't save". The application's thread waits in
        // the question, so there is no waiting for idle until it is gone.
        for (int i = 0; i < 2000; i++) {
            if (BWindow* question = other_window()) {
                screen().key_down(question, "d");
                snooze(20000);
                continue;
            }
            app->window->Lock();
            bool shown = app->window->initv != nullptr;
            app->window->Unlock();
            if (shown)
                break;
            snooze(1000);
        }
        screen().wait_idle();
        for (int i = 0; i < BLOCK_COUNT; i++)
            click(BPoint((i / 24) * 185 + 30, WORKVIEW_TOP + 20 * (i % 24) + 17));
    }
    // A window other than the main one (the question whether to save).
    BWindow* other_window() {
        for (int32 k = 0; k < be_app->CountWindows(); k++) {
            BWindow* w = be_app->WindowAt(k);
            if (w && w != app->window)
                return w;
        }
        return nullptr;
    }
    void press_set() { click(BPoint(520, WORKVIEW_TOP + 497)); }

    tavrel* app;
    std::thread loop;
    std::atomic<bool> ended{false};
};

running_app& application() {
    static running_app* running = new running_app();
    return *running;
}

std::string scratch_dir() {
    char folder[] = "/dev/shm/tavrel-gui-bench-XXXXXX";
    const char* made = mkdtemp(folder);
    return made ? made : "/tmp";
}

void new_font_from_set(benchmark::State& state) {
    running_app& run = application();
    for (auto _ : state) {
        state.PauseTiming();
        run.new_with_every_block();
        if (!curfont || !curfont->setup || curfont->setup->chrcount != 49504) {
            state.SkipWithError("the set-up view did not choose every block");
            break;
        }
        state.ResumeTiming();
        run.press_set();
        if (!run.app->fontshown()) {
            state.SkipWithError("the font was not shown");
            break;
        }
    }
}

void save_new_font(benchmark::State& state) {
    running_app& run = application();
    run.new_with_every_block();
    run.press_set();
    std::string dir = scratch_dir();
    entry_ref folder(dir.c_str());
    for (auto _ : state) {
        BMessage save(B_SAVE_REQUESTED);
        save.AddRef("directory", &folder);
        save.AddString("name", "new.ttf");
        be_app_messenger.SendMessage(&save);
        screen().wait_idle();
    }
    BFile saved((dir + "/new.ttf").c_str(), B_READ_ONLY);
    off_t size = 0;
    if (saved.GetSize(&size) != B_OK || size < 300000)
        state.SkipWithError("nothing was saved");
}

// The 255-ppem font of the editor's tests, built with fontTools.
std::string strike_font() {
    std::string path = scratch_dir() + "/strikes.ttf";
    std::string command = std::string("/usr/bin/python3 ") + TAVREL_SOURCE_DIR +
                          "/tests/tools/build_strike_font.py " + path + " 12 255";
    return system(command.c_str()) == 0 ? path : std::string();
}

void toggle_pixel_255(benchmark::State& state) {
    std::string path = strike_font();
    register_ebdt_views();
    ttf* font = new ttf();
    BFile file(path.c_str(), B_READ_ONLY);
    if (path.empty() || font->load(file) != 0 || !font->ebdt) {
        state.SkipWithError("the test font did not load");
        return;
    }
    BWindow* window = new BWindow(BRect(100, 100, 661, 611), "bitmaps", B_TITLED_WINDOW, 0);
    window->Show();
    BView* parent = new BView(BRect(0, 0, 561, 511), "work", B_FOLLOW_ALL, B_WILL_DRAW);
    window->Lock();
    window->AddChild(parent);
    font->set_view(parent);
    font->ebdt->show(true);
    window->Unlock();
    // Strike 255 and glyph 2, as the palette asks for them.
    BMessage choose(EBDT_CHANGE);
    choose.AddInt16("pt", (int16)0xFFFF);
    choose.AddInt16("gno", 2);
    BMessenger(font->ebdt->editview).SendMessage(&choose);
    screen().wait_idle();

    ebdteditview* canvas = dynamic_cast<ebdteditview*>(font->ebdt->editview);
    window->Lock();
    bool ready = canvas && canvas->bmp && canvas->bmp->pixels && canvas->bmp->width == 255;
    BRect cell = ready ? canvas->bmp->cell_rect(128, 100) : BRect();
    window->Unlock();
    if (!ready) {
        state.SkipWithError("the 255-ppem bitmap was not shown");
    } else {
        BPoint where(50 + std::floor((cell.left + cell.right) / 2),
                     std::floor((cell.top + cell.bottom) / 2));
        for (auto _ : state) {
            screen().mouse_down(window, where);
            screen().mouse_up(window, where);
            screen().wait_idle();
        }
    }
    window->Lock();
    font->reset_view(parent);
    window->Quit();
    delete font;
}

// HanaMinB's character map (60,418 characters, most in format 12, in 12
// runs) in its view, alone in a window the size of a table view; or, when
// `scattered`, a (3, 10) format 12 map of 60,000 characters that are each
// a run of their own, in place of the font's.
struct cmap_window {
    ttf* font = new ttf();
    BWindow* window = nullptr;
    bool ready = false;
    explicit cmap_window(bool scattered = false) {
        BFile file("/usr/share/fonts/truetype/hanazono/HanaMinB.ttf", B_READ_ONLY);
        if (font->load(file) != 0 || !font->cmap)
            return;
        if (scattered) {
            const uint32_t groups = 60000, size = 12 + 16 + 12 * groups;
            unsigned char* table = malloc32(size);
            byte_writer w(table, size);
            w.put16(2, 1);
            w.put16(4, 3);
            w.put16(6, 10);
            w.put32(8, 12);
            w.put16(12, 12);
            w.put32(16, 16 + 12 * groups);
            w.put32(24, groups);
            for (uint32_t k = 0; k < groups; k++) {
                w.put32(28 + 12 * k, 0x20000 + 2 * k);
                w.put32(32 + 12 * k, 0x20000 + 2 * k);
                w.put32(36 + 12 * k, 1 + (k * 7) % 50000);
            }
            font->cmap->replace_data(table, size);
            font->cmap->get_tbl();
        }
        window = new BWindow(BRect(100, 100, 661, 611), "cmap", B_TITLED_WINDOW, 0);
        window->Show();
        window->Lock();
        window->AddChild(font->cmap);
        window->Unlock();
        screen().wait_idle();
        ready = font->cmap->runlist && font->cmap->subtables.size() > 0;
    }
    ~cmap_window() {
        if (window) {
            window->Lock();
            window->RemoveChild(font->cmap);
            window->Quit();
        }
        delete font;
    }
    void click(BView* view, BPoint where) {
        window->Lock();
        where = where + view->kit_window_offset();
        window->Unlock();
        screen().mouse_down(window, where);
        screen().mouse_up(window, where);
        screen().wait_idle();
    }
    void type(BTextControl* field, const char* text) {
        click(field, BPoint(field->Bounds().right - 5, 10));
        window->Lock();
        field->SetText(text);
        window->Unlock();
        screen().key_down(window, "\n", 0);
        screen().key_up(window, "\n", 0);
        screen().wait_idle();
    }
};

// The view shown (its subtables, its list of runs drawn), from hidden.
void cmap_show_hanaminb(benchmark::State& state) {
    cmap_window w(state.range(0) != 0);
    if (!w.ready) {
        state.SkipWithError("HanaMinB's cmap view was not shown");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        w.window->Lock();
        w.font->cmap->show(false);
        w.window->Unlock();
        screen().wait_idle();
        state.ResumeTiming();
        w.window->Lock();
        w.font->cmap->show(true);
        w.window->Unlock();
        screen().wait_idle();
    }
    state.counters["runs"] = (double)w.font->cmap->runs.size();
}

// "set" pressed on a run of 26 characters past U+FFFF (alternately two
// glyph numbers, so that each press is an edit): the subtables encoded,
// the map decoded and the list shown again.
void cmap_set_hanaminb(benchmark::State& state) {
    cmap_window w(state.range(0) != 0);
    if (!w.ready) {
        state.SkipWithError("HanaMinB's cmap view was not shown");
        return;
    }
    ttf_cmap* cmap = w.font->cmap;
    w.type(cmap->stctl, "20000");
    w.type(cmap->edctl, "20019");
    bool odd = false;
    for (auto _ : state) {
        state.PauseTiming();
        w.type(cmap->gnoctl, odd ? "100" : "200");
        odd = !odd;
        state.ResumeTiming();
        w.click(cmap->setbtn, BPoint(20, 11));
    }
    if (cmap->glyph_of(0x20000) != (odd ? 0x200 : 0x100))
        state.SkipWithError("the edit was not made");
    state.counters["runs"] = (double)cmap->runs.size();
}

// End and Home on the list, alternately: the whole list scrolled and drawn.
void cmap_scroll_hanaminb(benchmark::State& state) {
    cmap_window w(state.range(0) != 0);
    if (!w.ready) {
        state.SkipWithError("HanaMinB's cmap view was not shown");
        return;
    }
    w.click(w.font->cmap->runlist, BPoint(30, 7));
    bool end = true;
    for (auto _ : state) {
        screen().key_down(w.window, end ? "\x04" : "\x01");
        screen().key_up(w.window, end ? "\x04" : "\x01");
        screen().wait_idle();
        end = !end;
    }
}

// The open panel listing a folder of 10,000 files (fonts and others, as
// in a download folder), from the request to the drawn list: each one is
// read with its size and date, filtered, sorted in natural order and
// listed.
void panel_list_10000(benchmark::State& state) {
    static std::string folder;
    if (folder.empty()) {
        folder = scratch_dir();
        for (int i = 0; i < 10000; i++) {
            std::string name = folder + "/file" + std::to_string(i) + (i % 4 ? ".ttf" : ".txt");
            if (FILE* f = fopen(name.c_str(), "w")) {
                fputs("x", f);
                fclose(f);
            }
        }
    }
    application();
    BMessenger none;
    BFilePanel panel(B_OPEN_PANEL, &none);
    panel.kit_set_filters(
        {{"Fonts (*.ttf, *.ttc, *.otf)", {"*.ttf", "*.ttc", "*.otf"}}, {"All files", {}}});
    panel.Show();
    screen().wait_idle();
    for (auto _ : state) {
        panel.SetPanelDirectory(folder.c_str());
        screen().wait_idle();
        state.PauseTiming();
        panel.SetPanelDirectory("/");
        screen().wait_idle();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(panel_list_10000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(new_font_from_set)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(save_new_font)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(toggle_pixel_255)->Unit(benchmark::kMillisecond)->UseRealTime();
// Argument 1: 60,000 characters that are 60,000 runs.
BENCHMARK(cmap_show_hanaminb)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);
BENCHMARK(cmap_set_hanaminb)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);
BENCHMARK(cmap_scroll_hanaminb)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);

int main(int argc, char** argv) {
    screen();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete &application();
    return 0;
}
