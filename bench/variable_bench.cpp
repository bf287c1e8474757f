// Storing a glyph in a variable font of 5,000 glyphs against storing it in
// the same font without any variation table (both built by fontTools at
// start): a moved point (the glyph keeps its variation data) and a point
// deleted (its data is dropped from gvar; the font's history takes the
// store back, untimed, before the next one). The goal: under 2 ms more
// than without gvar.
#include <File.h>

#include "font/history.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

namespace {

const int GLYPHS = 5000;
std::string variable_path, static_path;

std::unique_ptr<ttf> load_font(const std::string& path) {
    BFile file(path.c_str(), B_READ_ONLY);
    auto font = std::make_unique<ttf>();
    if (file.InitCheck() != B_OK || font->load(file) != 0)
        return nullptr;
    font->start_history();
    return font;
}

// A glyph from the middle of the font (one contour of five points), read,
// and the same with a point moved or its last point deleted.
struct glyph_pair {
    int gno = GLYPHS / 2;
    std::unique_ptr<glyph> as_is, changed;
};

glyph_pair pick(ttf& font, bool deleted) {
    glyph_pair p;
    p.as_is = std::make_unique<glyph>(p.gno);
    p.changed = std::make_unique<glyph>(p.gno);
    if (font.get_glyph(p.gno, p.as_is.get()) != 0 || font.get_glyph(p.gno, p.changed.get()) != 0 ||
        p.changed->count != 1)
        return glyph_pair{-1, nullptr, nullptr};
    shape* s = p.changed->contours[0];
    if (deleted) {
        s->select_chk(s->points[s->count - 1], 0.5f);
        s->delpoint();
    } else {
        s->points[1].x += 7;
    }
    return p;
}

void bm_store_moved(benchmark::State& state, const std::string* path) {
    std::unique_ptr<ttf> font = load_font(*path);
    glyph_pair p = font ? pick(*font, false) : glyph_pair{-1, nullptr, nullptr};
    if (p.gno < 0) {
        state.SkipWithError("load failed or no glyph to store");
        return;
    }
    bool edited = false;
    for (auto _ : state) {
        edited = !edited;
        if (font->set_glyph(p.gno, edited ? p.changed.get() : p.as_is.get()) != 0) {
            state.SkipWithError("set_glyph failed");
            return;
        }
    }
    if (font->gvar && !font->glyph_varies(p.gno))
        state.SkipWithError("the glyph lost its variations");
}

void bm_store_deleted(benchmark::State& state, const std::string* path) {
    std::unique_ptr<ttf> font = load_font(*path);
    glyph_pair p = font ? pick(*font, true) : glyph_pair{-1, nullptr, nullptr};
    if (p.gno < 0) {
        state.SkipWithError("load failed or no glyph to store");
        return;
    }
    for (auto _ : state) {
        if (font->set_glyph(p.gno, p.changed.get(), true) != 0) {
            state.SkipWithError("set_glyph failed");
            return;
        }
        state.PauseTiming();
        font->history()->undo();
        state.ResumeTiming();
    }
    if (font->gvar && !font->glyph_varies(p.gno))
        state.SkipWithError("undo did not bring the variations back");
}

bool build(const char* kind, const std::string& path) {
    std::string command = std::string("/usr/bin/python3 '") + TAVREL_SOURCE_DIR +
                          "/tests/tools/build_variable_font.py' " + kind + " '" + path + "' " +
                          std::to_string(GLYPHS) + " >&2";
    return system(command.c_str()) == 0;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    char dir[] = "/tmp/tavrel-variable-bench-XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    variable_path = std::string(dir) + "/variable.ttf";
    static_path = std::string(dir) + "/static.ttf";
    if (!build("variable", variable_path) || !build("static", static_path)) {
        fprintf(stderr, "tavrel_variable_bench: fontTools could not build the fonts\n");
        return 1;
    }
    // The model's diagnostic lines (standard output) go away; the report
    // goes to standard error.
    if (!freopen("/dev/null", "w", stdout))
        return 1;
    benchmark::RegisterBenchmark("store_moved/variable", bm_store_moved, &variable_path);
    benchmark::RegisterBenchmark("store_moved/static", bm_store_moved, &static_path);
    benchmark::RegisterBenchmark("store_deleted/variable", bm_store_deleted, &variable_path);
    benchmark::RegisterBenchmark("store_deleted/static", bm_store_deleted, &static_path);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    unlink(variable_path.c_str());
    unlink(static_path.c_str());
    rmdir(dir);
    return 0;
}
