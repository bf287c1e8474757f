// The glyph overview on the headless display, in the running program, on
// the two largest fonts: the first screen after Alt+G, a drag of the scroll
// bar's thumb from the first row to the last in 60 steps (each step's frame:
// the pointer moved until every looper is idle, every newly shown cell
// decoded and drawn), a glyph stored until its cell is drawn anew, the
// overview's check of every visible cell after a change, the glyphs
// decoded, and the most the cell cache held. Prints one line per font;
// repeats each font `--runs` times (default 5) and gives medians.
#include "app/window_link.h"
#include "app/tavrel.h"
#include "app/tavrelwindow.h"
#include "editor/glyfeditview.h"
#include "editor/globals.h"
#include "font/glyf.h"
#include "font/ttf.h"
#include "kit/display/headless/headless_display.h"
#include "overview/overview_grid.h"
#include "overview/overview_messages.h"
#include "overview/overview_window.h"

#include <Application.h>
#include <Messenger.h>
#include <ScrollBar.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

// The CPU time of every thread of the program: on a busy machine the wall
// time of a frame also counts the waits for other processes.
double cpu_ms() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double now_ms() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Waits for every looper; the short settle keeps the pause out of the figure.
void idle() {
    screen().wait_idle(30000000, 100);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

struct figures {
    double open_ms = 0;
    std::vector<double> frames, frames_cpu;
    double set_ms = 0;    // "set" pressed until both windows are idle
    double redraw_ms = 0; // the overview told of a change that changed nothing, until idle
    uint64_t decodes = 0;
    int shown = 0; // cells drawn on the way
    size_t cache_most = 0;
};

figures run_font(const std::string& path, int cell, int width, int height) {
    figures f;
    std::string config = "/dev/shm/tavrel-overview-bench";
    std::string cmd =
        "mkdir -p " + config + "/tavrel && printf 'overview.cell=" + std::to_string(cell) +
        "\\noverview.width=" + std::to_string(width) +
        "\\noverview.height=" + std::to_string(height) + "\\n' > " + config + "/tavrel/settings";
    if (system(cmd.c_str()) != 0)
        return f;
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    BApplication::kit_set_launch_arguments({path});
    tavrel* app = new tavrel();
    std::atomic<bool> ended{false};
    std::thread loop([&] {
        app->Run();
        ended = true;
    });
    BMessage reply;
    be_app_messenger.SendMessage('ping', &reply);
    idle();

    // Alt+G until the first screen is drawn.
    double t0 = now_ms();
    screen().key_down(app->window, "g", 0, B_COMMAND_KEY);
    idle();
    f.open_ms = now_ms() - t0;
    screen().key_up(app->window, "g", 0, B_COMMAND_KEY);
    idle();
    overview_window* w = nullptr;
    for (int32 i = 0; i < be_app->CountWindows() && !w; i++)
        w = dynamic_cast<overview_window*>(be_app->WindowAt(i));
    if (!w) {
        fprintf(stderr, "no overview window\n");
        exit(1);
    }
    auto in = [&](auto step) {
        w->Lock();
        auto r = step();
        w->Unlock();
        return r;
    };

    // The thumb dragged from the top of its track to the bottom.
    BScrollBar* bar = dynamic_cast<BScrollBar*>(w->FindView("scroll"));
    BRect frame = in([&] { return bar->Frame(); });
    float x = (frame.left + frame.right) / 2;
    float top = frame.top + 15 + 2, bottom = frame.bottom - 15;
    screen().mouse_move(w, BPoint(x, top));
    screen().mouse_down(w, BPoint(x, top));
    idle();
    for (int step = 1; step <= 60; step++) {
        float y = top + (bottom - top) * step / 60;
        double s = now_ms(), c = cpu_ms();
        screen().mouse_move(w, BPoint(x, y), 1);
        idle();
        f.frames.push_back(now_ms() - s);
        f.frames_cpu.push_back(cpu_ms() - c);
        if (getenv("OVERVIEW_BENCH_FRAMES"))
            fprintf(stderr, "frame %d: %.2f ms, CPU %.2f ms\n", step, f.frames.back(),
                    f.frames_cpu.back());
        f.cache_most = std::max(f.cache_most, in([&] { return w->grid()->cache().bytes(); }));
    }
    screen().mouse_up(w, BPoint(x, bottom));
    idle();
    int first, last;
    in([&] {
        w->grid()->visible_range(&first, &last);
        return 0;
    });
    if (last != in([&] { return w->grid()->model().count(); }) - 1)
        fprintf(stderr, "the drag did not reach the last row\n");
    f.decodes = in([&] { return w->grid()->decodes(); });
    f.shown = (int)in([&] { return w->grid()->painted().size(); });

    // A glyph of the last row stored from the outline editor ("set" after
    // a zoom step, so that the store is a real one: the glyph cleared).
    unsigned gno = (unsigned)in([&] { return (int)w->grid()->model().glyph_at(last); });
    app->window->Lock();
    BHandler* editor = curfont && curfont->glyf ? curfont->glyf->editview : nullptr;
    app->window->Unlock();
    BMessage show(GLYF_CHANGE);
    show.AddInt16("gno", (int16)gno);
    BMessenger(editor).SendMessage(&show);
    BMessenger(editor).SendMessage(GLYF_CLEAR);
    idle();
    in([&] {
        w->grid()->painted().clear();
        return 0;
    });
    double s = now_ms();
    BMessenger(editor).SendMessage(GLYF_STORE);
    idle();
    f.set_ms = now_ms() - s;
    if (in([&] { return w->grid()->painted(); }) != std::vector<unsigned>{gno})
        fprintf(stderr, "the store redrew other cells than glyph %u's\n", gno);
    // The overview's check alone: told of a change again, every visible
    // cell is compared with the font and none is drawn anew.
    double r = now_ms();
    w->PostMessage(OVERVIEW_CHANGED);
    idle();
    f.redraw_ms = now_ms() - r;

    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    for (int i = 0; i < 5000 && !ended; i++) {
        for (int32 k = 0; k < be_app->CountWindows(); k++) {
            BWindow* q = be_app->WindowAt(k);
            if (q && q != app->window && !dynamic_cast<overview_window*>(q))
                screen().key_down(q, "d");
        }
        snooze(1000);
    }
    loop.join();
    delete app;
    return f;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 5;
    std::vector<std::string> fonts = {"/usr/share/fonts/truetype/hanazono/HanaMinB.ttf",
                                      "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"};
    int cell = 64, width = 1024, height = 768;
    for (int i = 1; i < argc; i++) {
        if (!strncmp(argv[i], "--runs=", 7))
            runs = atoi(argv[i] + 7);
        else if (!strncmp(argv[i], "--cell=", 7))
            cell = atoi(argv[i] + 7);
        else if (!strncmp(argv[i], "--size=", 7))
            sscanf(argv[i] + 7, "%dx%d", &width, &height);
        else
            fonts = {argv[i]};
    }
    kit::install_display(std::make_unique<kit::headless_display>(BRect(0, 0, 3839, 2159)));
    printf("cell %d px, window %d x %d, %d runs, medians\n", cell, width, height, runs);
    printf("%-26s %8s %8s %8s %8s %8s %7s %7s %8s %8s\n", "font", "open ms", "frame ms", "max ms",
           "cpu ms", "max cpu", "set ms", "check", "decodes", "cache MiB");
    for (const std::string& font : fonts) {
        std::vector<double> open, med, worst, cpu_med, cpu_worst, set, redraw;
        uint64_t decodes = 0;
        size_t cache = 0;
        for (int r = 0; r < runs; r++) {
            figures f = run_font(font, cell, width, height);
            open.push_back(f.open_ms);
            med.push_back(median(f.frames));
            worst.push_back(*std::max_element(f.frames.begin(), f.frames.end()));
            cpu_med.push_back(median(f.frames_cpu));
            cpu_worst.push_back(*std::max_element(f.frames_cpu.begin(), f.frames_cpu.end()));
            set.push_back(f.set_ms);
            redraw.push_back(f.redraw_ms);
            decodes = f.decodes;
            cache = std::max(cache, f.cache_most);
        }
        std::string name = font.substr(font.rfind('/') + 1);
        printf("%-26s %8.1f %8.2f %8.2f %8.2f %8.2f %7.2f %7.2f %8llu %8.1f\n", name.c_str(),
               median(open), median(med), median(worst), median(cpu_med), median(cpu_worst),
               median(set), median(redraw), (unsigned long long)decodes, cache / 1048576.0);
    }
    return 0;
}
