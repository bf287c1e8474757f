// Benchmarks of the outline editor in the real application on the headless
// display: the glyph with the most points of a large font, shown at the
// fitting zoom and at zoom 2.0. Each iteration runs from injected input (or
// the message a control sends) until every looper is idle again, so it
// covers the handling and the drawing:
//   show   - its number typed into the palette, Enter;
//   repaint - a full repaint of the edit view;
//   drag   - one pointer step of a drag on the canvas with its overlay;
//   set    - a click on "set": re-encoding, the splice and the repaint;
//   canvas undo - Alt+Z taking back a contour drag not yet stored: the
//            glyph put back from the canvas history, the full repaint and
//            the Edit menu's labels (the redo between iterations is not
//            timed);
//   resize - one step of a resize of the main window (the desktop's
//            B_WINDOW_RESIZED, 8 pixels each way, between 1000 x 800 and
//            1200 x 1000): the views follow, the canvas refits at the
//            fitting zoom, and the whole window is drawn again;
//   copy and paste - Alt+C with nothing selected (the whole glyph onto the
//            clipboard) then Alt+V (its contours added to the glyph as one
//            canvas step, selected, and drawn); the paste is taken back
//            (Alt+Z) between iterations, not timed;
//   svg cubic - reading a pasted SVG path of 1,000 cubic segments (20
//            contours of 50, as one contour may hold at most 1,024 points)
//            into quadratic contours within a unit of the curves;
//   pending check - the look for edits not stored that a glyph switch
//            makes (the canvas against the glyph as it was read) and the
//            window then makes for its title (every view of the font),
//            with the window locked, on the glyph shown and not edited.
#include "app/selectview.h"
#include "app/tavrel.h"
#include "app/tavrelwindow.h"
#include "editor/globals.h"
#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "font/maxp.h"
#include "font/svg_path.h"
#include "font/ttf.h"
#include "kit/display/display.h"
#include "kit/display/headless/headless_display.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

kit::headless_display& screen() {
    return *kit::headless_display::current();
}

const float SELECTOR_TOP = 20, WORKVIEW_TOP = 53;
const char* const FONTS[] = {"/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
                             "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf"};

struct shown_font {
    std::string path;
    int gno = -1;
    int points = 0;
};

class running_app {
  public:
    running_app() {
        app = new tavrel();
        loop = std::thread([this] { app->Run(); });
        BMessage reply;
        be_app_messenger.SendMessage('ping', &reply);
        screen().wait_idle();
    }
    BWindow* window() const { return app->window; }
    // Idle with two looks 20 microseconds apart, so that the time measured
    // is the editor's and not the pause between the looks.
    void idle() { screen().wait_idle(5000000, 20); }
    void click(BPoint where) {
        screen().mouse_down(window(), where);
        screen().mouse_up(window(), where);
        idle();
    }
    glyfeditview* editor() const {
        return curfont && curfont->glyf ? dynamic_cast<glyfeditview*>(curfont->glyf->editview)
                                        : nullptr;
    }

    // Opens the font, finds its glyph with the most points and shows the
    // glyf table.
    bool open(const std::string& path) {
        if (shown.path == path)
            return editor() != nullptr;
        shown = shown_font{path};
        entry_ref ref(path.c_str());
        BMessage refs(B_REFS_RECEIVED);
        refs.AddRef("refs", &ref);
        be_app_messenger.SendMessage(&refs);
        // Edits left in the last font make the application ask before it
        // gives that font up; the answer is "Don't save". Its thread waits
        // in the question, so there is no waiting for idle until it is gone.
        for (int i = 0; i < 5000 && app->filepath() != path; i++) {
            for (int32 k = 0; k < be_app->CountWindows(); k++) {
                BWindow* w = be_app->WindowAt(k);
                if (w && w != window()) {
                    screen().key_down(w, "d");
                    snooze(20000);
                }
            }
            snooze(1000);
        }
        idle();
        window()->Lock();
        if (curfont && curfont->maxp) {
            int count = curfont->maxp->numglyphs();
            for (int g = 0; g < count; g++) {
                glyph probe((unsigned)g);
                if (curfont->get_glyph(g, &probe) != 0 || probe.ncompo > 0)
                    continue;
                int points = 0;
                for (int c = 0; c < probe.count; c++)
                    points += probe.contours[c] ? probe.contours[c]->count : 0;
                if (points > shown.points) {
                    shown.points = points;
                    shown.gno = g;
                }
            }
        }
        int column = -1;
        selectview* strip = app->window->selector;
        for (int i = 0; i < strip->count; i++)
            if (strip->tags[i] == 'glyf')
                column = i;
        window()->Unlock();
        if (column < 0 || shown.gno < 0)
            return false;
        click(BPoint(10 + 30 * column + 5, SELECTOR_TOP + 25));
        return editor() != nullptr;
    }
    // Types the glyph number into the palette; Enter only when `commit`.
    void type_glyph(int gno, bool commit) {
        click(BPoint(35, WORKVIEW_TOP + 53));
        screen().key_down(window(), "a", 0, B_COMMAND_KEY);
        char digits[8];
        snprintf(digits, sizeof digits, "%x", gno);
        for (const char* c = digits; *c; c++)
            screen().key_down(window(), std::string(1, *c).c_str());
        idle();
        if (commit)
            enter();
    }
    void enter() {
        screen().key_down(window(), "\n", B_ENTER);
        idle();
    }
    void zoom(float scale) {
        BMessage change(GLYF_CHANGE);
        change.AddFloat("scale", scale);
        BMessenger(editor()).SendMessage(&change);
        idle();
    }

    tavrel* app;
    std::thread loop;
    shown_font shown;
};

running_app& application() {
    static running_app* running = new running_app();
    return *running;
}

// Opens font `state.range(0)` at zoom `state.range(1)` / 100 (0: fitting)
// with its most complex glyph shown; false (and the benchmark skipped)
// when that fails.
bool prepare(benchmark::State& state) {
    running_app& run = application();
    if (!run.open(FONTS[state.range(0)])) {
        state.SkipWithError("the font or its glyf table could not be shown");
        return false;
    }
    run.type_glyph(run.shown.gno, true);
    run.zoom(state.range(1) / 100.0f);
    char label[64];
    snprintf(label, sizeof label, "glyph %d, %d points, zoom %.4f", run.shown.gno, run.shown.points,
             run.editor()->getscale());
    state.SetLabel(label);
    return true;
}

void show_glyph(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    for (auto _ : state) {
        state.PauseTiming();
        run.type_glyph(run.shown.gno, false);
        state.ResumeTiming();
        run.enter();
    }
}

void repaint(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    for (auto _ : state) {
        BMessenger(run.editor()).SendMessage(GLYF_REDRAW);
        run.idle();
    }
}

// A drag on a visible point of the glyph moves its contour; where no point
// is in view, the drag draws a rubber band. Steps alternate by one pixel.
void drag_step(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    BPoint start(300, WORKVIEW_TOP + 300);
    const char* what = "rubber band";
    int moved = 0, at_point = 0;
    run.window()->Lock();
    float s = run.editor()->getscale();
    for (int c = 0; c < curglyph->count && what[0] == 'r'; c++) {
        const shape* contour = curglyph->contours[c];
        for (int j = 0; contour && j < contour->count; j++) {
            BPoint p(50 + contour->points[j].x * s, WORKVIEW_TOP + contour->points[j].y * s);
            if (p.x > 60 && p.x < 540 && p.y > WORKVIEW_TOP + 10 && p.y < WORKVIEW_TOP + 480) {
                start = p;
                what = "contour";
                moved = c;
                at_point = j;
                break;
            }
        }
    }
    BPoint before = curglyph->count > 0 ? curglyph->contours[moved]->points[at_point] : BPoint();
    run.window()->Unlock();
    // A click selects the contour; the press that follows drags it.
    screen().mouse_move(run.window(), start, 0);
    run.click(start);
    screen().mouse_down(run.window(), start, 1);
    run.idle();
    int step = 0;
    for (auto _ : state) {
        BPoint at = start + BPoint(10 + (step++ & 1), 10);
        screen().mouse_move(run.window(), at, 1);
        run.idle();
    }
    screen().mouse_up(run.window(), start + BPoint(10, 10));
    run.idle();
    // A contour drag must have moved the glyph's points.
    run.window()->Lock();
    BPoint after = curglyph->count > 0 ? curglyph->contours[moved]->points[at_point] : BPoint();
    run.window()->Unlock();
    if (what[0] == 'c' && before == after)
        state.SkipWithError("the drag moved nothing");
    // The drag is taken back (Alt+Z), so that the next case shows its glyph
    // without a question about edits not stored.
    screen().key_down(run.window(), "z", 0, B_COMMAND_KEY);
    screen().key_up(run.window(), "z", 0, B_COMMAND_KEY);
    run.idle();
    state.SetLabel(std::string(what) + ", zoom " + std::to_string(s));
}

// Where on the window a point of the glyph lies in view (the first one
// found), with its contour and index; false when none is in view.
bool visible_point(running_app& run, BPoint* where, int* contour, int* index) {
    bool found = false;
    run.window()->Lock();
    float s = run.editor()->getscale();
    for (int c = 0; c < curglyph->count && !found; c++) {
        const shape* k = curglyph->contours[c];
        for (int j = 0; k && j < k->count; j++) {
            BPoint p(50 + k->points[j].x * s, WORKVIEW_TOP + k->points[j].y * s);
            if (p.x > 60 && p.x < 540 && p.y > WORKVIEW_TOP + 10 && p.y < WORKVIEW_TOP + 480) {
                *where = p;
                *contour = c;
                *index = j;
                found = true;
                break;
            }
        }
    }
    run.window()->Unlock();
    return found;
}

void command_key(running_app& run, const char* key, uint32 more = 0) {
    screen().key_down(run.window(), key, 0, B_COMMAND_KEY | more);
    screen().key_up(run.window(), key, 0, B_COMMAND_KEY | more);
    run.idle();
}

void canvas_undo(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    BPoint start;
    int contour = 0, index = 0;
    if (!visible_point(run, &start, &contour, &index)) {
        state.SkipWithError("no point of the glyph in view");
        return;
    }
    auto point = [&] {
        run.window()->Lock();
        BPoint p = curglyph->contours[contour]->points[index];
        run.window()->Unlock();
        return p;
    };
    BPoint stored = point();
    // A click selects the contour; a drag of it is the step undone.
    screen().mouse_move(run.window(), start, 0);
    run.click(start);
    screen().mouse_down(run.window(), start, 1);
    run.idle();
    screen().mouse_move(run.window(), start + BPoint(10, 10), 1);
    run.idle();
    screen().mouse_up(run.window(), start + BPoint(10, 10));
    run.idle();
    BPoint dragged = point();
    bool right = dragged != stored;
    for (auto _ : state) {
        command_key(run, "z");
        state.PauseTiming();
        right = right && point() == stored;
        command_key(run, "Z", B_SHIFT_KEY);
        right = right && point() == dragged;
        state.ResumeTiming();
    }
    if (!right)
        state.SkipWithError("the undo did not give back the glyph as stored");
    // Leaves the glyph as the font holds it for the next case.
    command_key(run, "z");
}

int contour_count(running_app& run) {
    run.window()->Lock();
    int count = curglyph ? curglyph->count : 0;
    run.window()->Unlock();
    return count;
}

void copy_paste(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    const int stored = contour_count(run);
    // A click on the canvas gives it the keys; the spot must hold no point or
    // contour, or the copy would be of that contour alone. The first corner
    // of the canvas where a copy and paste doubles the contours is used.
    const BPoint corners[] = {BPoint(530, WORKVIEW_TOP + 470), BPoint(60, WORKVIEW_TOP + 470),
                              BPoint(530, WORKVIEW_TOP + 15), BPoint(60, WORKVIEW_TOP + 15)};
    BPoint empty(-1, -1);
    for (BPoint corner : corners) {
        run.click(corner);
        command_key(run, "c");
        command_key(run, "v");
        const bool doubled = contour_count(run) == 2 * stored;
        command_key(run, "z");
        if (doubled) {
            empty = corner;
            break;
        }
    }
    if (empty.x < 0 || contour_count(run) != stored) {
        state.SkipWithError("no copy and paste of the whole glyph came out doubled");
        return;
    }
    bool right = true;
    for (auto _ : state) {
        command_key(run, "c");
        command_key(run, "v");
        state.PauseTiming();
        right = right && contour_count(run) == 2 * stored;
        command_key(run, "z");
        run.click(empty);
        state.ResumeTiming();
    }
    if (!right)
        state.SkipWithError("a paste did not add the glyph's contours");
}

void svg_cubic(benchmark::State& state) {
    std::string path;
    char part[128];
    for (int c = 0; c < 20; c++) {
        const int y = 100 + 40 * c;
        snprintf(part, sizeof part, "M 100 %d ", y);
        path += part;
        for (int k = 0; k < 50; k++) {
            const int x = 100 + 16 * k;
            snprintf(part, sizeof part, "C %d %d %d %d %d %d ", x + 4, y + (k % 2 ? 30 : -30),
                     x + 12, y + (k % 2 ? -25 : 25), x + 16, y + (k % 3) * 3);
            path += part;
        }
        path += "Z ";
    }
    size_t points = 0;
    for (auto _ : state) {
        glyph_clip clip;
        std::string why;
        if (!parse_svg_path(path, 1000, &clip, &why)) {
            state.SkipWithError(("the path was refused: " + why).c_str());
            return;
        }
        points = 0;
        for (const auto& contour : clip.contours)
            points += contour.size();
        benchmark::DoNotOptimize(points);
    }
    state.SetLabel("1000 cubic segments, " + std::to_string(points) + " quadratic points");
}

void pending_check(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    tavrelwindow* window = run.app->window;
    glyfeditview* editor = run.editor();
    bool pending = false;
    for (auto _ : state) {
        window->Lock();
        pending = editor->has_pending() || window->unsaved();
        window->Unlock();
        benchmark::DoNotOptimize(pending);
    }
    if (pending)
        state.SkipWithError("the glyph shown counts as edited");
}

void store(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    for (auto _ : state)
        run.click(BPoint(25, WORKVIEW_TOP + 440));
}

void resize_step(benchmark::State& state) {
    if (!prepare(state))
        return;
    running_app& run = application();
    const int32 window = run.window()->kit_token();
    int step = 0;
    for (auto _ : state) {
        // Up 25 steps, down 25 steps.
        const int at = step % 50 < 25 ? step % 50 : 50 - step % 50;
        step++;
        BMessage resized(B_WINDOW_RESIZED);
        resized.AddFloat("width", 1000.0f + 8 * at);
        resized.AddFloat("height", 800.0f + 8 * at);
        kit::post_input(window, resized);
        run.idle();
    }
    BMessage back(B_WINDOW_RESIZED);
    back.AddFloat("width", tavrelwindow::MIN_WIDTH);
    back.AddFloat("height", tavrelwindow::MIN_HEIGHT);
    kit::post_input(window, back);
    run.idle();
}

void cases(benchmark::internal::Benchmark* b) {
    for (int font = 0; font < 2; font++)
        for (int zoom : {0, 200})
            b->Args({font, zoom});
}

} // namespace

BENCHMARK(show_glyph)
    ->Apply(cases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(repaint)
    ->Apply(cases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(drag_step)
    ->Apply(cases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(canvas_undo)
    ->Apply(cases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(resize_step)
    ->Args({1, 0})
    ->Args({1, 200})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(copy_paste)
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(svg_cubic)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(pending_check)
    ->Apply(cases)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(store)
    ->Apply(cases)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char** argv) {
    screen();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // The stored glyphs leave the font changed; the benchmark ends here
    // rather than answer the application's question about saving it.
    std::_Exit(0);
}
