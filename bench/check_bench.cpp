// Benchmarks of the font checker on real fonts: a complete check of each
// font from its bytes, and the check window's follow-up of one stored glyph
// (copying what changed out of the font, checking it, listing the
// findings). check_compare.py times the whole `tavrel --check` command
// against ots-sanitize.
//
// The model prints diagnostic lines on standard output while it loads; they
// go to /dev/null here, and the report goes to the real stdout.
#include <File.h>

#include "bench_fonts.h"
#include "check/checker.h"
#include "checkwindow/font_follower.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

byte_vector read_file(const char* path) {
    BFile file(path, B_READ_ONLY);
    off_t size = 0;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK || size <= 0)
        return {};
    byte_vector bytes((size_t)size);
    if (file.ReadAt(0, bytes.data(), bytes.size()) != (ssize_t)size)
        return {};
    return bytes;
}

// A complete check: the directory, every table, every glyph decoded once,
// the findings listed.
void bm_check_whole(benchmark::State& state, const font_file& f) {
    const byte_vector bytes = read_file(f.path);
    if (bytes.empty()) {
        state.SkipWithError("cannot read the font");
        return;
    }
    size_t listed = 0;
    for (auto _ : state) {
        font_checker checker;
        checker.check_file(bytes);
        listed = checker.findings().size();
    }
    state.counters["findings"] = (double)listed;
}

// The check window after a glyph store: the store (untimed) alternates a
// glyph from the middle of the font with a version of it that has its first
// contour twice; the timed part is what the window does, the copy of what
// changed with the font locked and the re-check and listing outside it.
void bm_recheck_stored_glyph(benchmark::State& state, const font_file& f) {
    BFile file(f.path, B_READ_ONLY);
    auto font = std::make_unique<ttf>();
    if (file.InitCheck() != B_OK || font->load(file) != 0) {
        state.SkipWithError("load failed");
        return;
    }
    int gno = -1;
    std::unique_ptr<glyph> as_is, edited;
    const int n = font->maxp->numglyphs();
    for (int g = n / 2; g < n && gno < 0; g++) {
        auto a = std::make_unique<glyph>((unsigned short)g);
        if (font->get_glyph(g, a.get()) != 0 || a->count == 0 || a->ncompo != 0)
            continue;
        auto e = std::make_unique<glyph>((unsigned short)g);
        font->get_glyph(g, e.get());
        e->add_shape(e->contours[0]->copy());
        gno = g;
        as_is = std::move(a);
        edited = std::move(e);
    }
    if (gno < 0) {
        state.SkipWithError("no simple glyph with an outline in the second half of the font");
        return;
    }
    font_follower follower;
    font_checker checker;
    font_update whole = follower.take(font.get());
    font_follower::apply(whole, &checker);
    bool flip = false;
    size_t listed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        flip = !flip;
        const int stored = font->set_glyph(gno, flip ? edited.get() : as_is.get());
        state.ResumeTiming();
        if (stored != 0) {
            state.SkipWithError("set_glyph failed");
            return;
        }
        font_update u = follower.take(font.get());
        if (u.kind != font_update::GLYPHS || u.glyphs.size() != 1) {
            state.SkipWithError("the store was not taken as one glyph");
            return;
        }
        font_follower::apply(u, &checker);
        listed = checker.findings().size();
    }
    state.counters["glyph"] = gno;
    state.counters["findings"] = (double)listed;
}

// The console report, noting whether a benchmark stopped with an error so
// that the run fails.
class checking_reporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            failed = failed || run.error_occurred;
        ConsoleReporter::ReportRuns(runs);
    }
    bool failed = false;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The report goes to the real stdout (appended, through a descriptor
    // of its own), the model's diagnostics to /dev/null.
    fflush(stdout);
    const int report_fd = dup(STDOUT_FILENO);
    const int null_fd = open("/dev/null", O_WRONLY);
    if (report_fd < 0 || null_fd < 0 || dup2(null_fd, STDOUT_FILENO) < 0) {
        perror("tavrel_check_bench: redirecting stdout");
        return 1;
    }
    close(null_fd);
    std::ofstream report("/proc/self/fd/" + std::to_string(report_fd), std::ios::app);
    close(report_fd);
    if (!report) {
        perror("tavrel_check_bench: reopening stdout");
        return 1;
    }
    for (const font_file& f : bench_fonts) {
        benchmark::RegisterBenchmark((std::string("check_whole/") + f.label).c_str(),
                                     bm_check_whole, f)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("recheck_stored_glyph/") + f.label).c_str(),
                                     bm_recheck_stored_glyph, f)
            ->Unit(benchmark::kMillisecond);
    }
    checking_reporter reporter;
    reporter.SetOutputStream(&report);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.failed ? 1 : 0;
}
