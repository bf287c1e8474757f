// Micro-benchmarks of the font model on real fonts: load, save (with the
// maxp recomputation), the round trip against a plain read and write-back
// of the same file, decoding every glyph against FreeType loading every
// glyph, storing one glyph, and the cmap decode and rebuild. The load
// benchmark also reports the peak heap use of one load.
//
// The model prints diagnostic lines on standard output while it loads and
// saves; they go to /dev/null here, and the report goes to the real stdout.
#include <File.h>
#include <OS.h>

#include "alloc_counter.h"
#include "bench_fonts.h"
#include "font/cmap.h"
#include "font/font_image.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string outdir;

std::string out_path(const std::string& label) {
    return outdir + "/" + label + ".ttf";
}

off_t file_size(const char* path) {
    BFile file(path, B_READ_ONLY);
    off_t size = -1;
    if (file.InitCheck() != B_OK || file.GetSize(&size) != B_OK)
        return -1;
    return size;
}

std::unique_ptr<ttf> load_font(const char* path) {
    BFile file(path, B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return nullptr;
    auto font = std::make_unique<ttf>();
    if (font->load(file) != 0)
        return nullptr;
    return font;
}

// Fonts loaded once for the benchmarks that only read them.
ttf* shared_font(const char* path) {
    static std::map<std::string, std::unique_ptr<ttf>> cache;
    auto& slot = cache[path];
    if (!slot)
        slot = load_font(path);
    return slot.get();
}

bool save_font(ttf& font, const std::string& path) {
    BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
    return file.InitCheck() == B_OK && font.save(file) == 0;
}

// The in-process I/O floor: the whole file into a new buffer and back out
// to a new file, as a plain program would do it.
void bm_io_floor(benchmark::State& state, const font_file& f) {
    std::string out = out_path(f.label);
    off_t size = file_size(f.path);
    for (auto _ : state) {
        BFile in(f.path, B_READ_ONLY);
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[(size_t)size]);
        BFile file(out.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
        if (in.ReadAt(0, bytes.get(), (size_t)size) != (ssize_t)size ||
            file.WriteAt(0, bytes.get(), (size_t)size) != (ssize_t)size) {
            state.SkipWithError("read or write failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)size);
}

void bm_load(benchmark::State& state, const font_file& f) {
    for (auto _ : state) {
        if (!load_font(f.path)) {
            state.SkipWithError("load failed");
            return;
        }
    }
    off_t size = file_size(f.path);
    state.SetBytesProcessed(state.iterations() * (int64_t)size);

    // One more load, untimed, for its peak heap use.
    alloc_counter::start();
    load_font(f.path);
    double peak = (double)alloc_counter::stop();
    state.counters["peak_MB"] = peak / (1024 * 1024);
    state.counters["peak/file"] = peak / (double)size;
}

void bm_save(benchmark::State& state, const font_file& f) {
    std::unique_ptr<ttf> font = load_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    std::string out = out_path(f.label);
    for (auto _ : state) {
        if (!save_font(*font, out)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)file_size(out.c_str()));
}

void bm_round_trip(benchmark::State& state, const font_file& f) {
    std::string out = out_path(f.label);
    for (auto _ : state) {
        std::unique_ptr<ttf> font = load_font(f.path);
        if (!font || !save_font(*font, out)) {
            state.SkipWithError("load or save failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)file_size(f.path));
}

void bm_get_glyph_all(benchmark::State& state, const font_file& f) {
    ttf* font = shared_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    int n = font->maxp->numglyphs();
    long points = 0;
    for (auto _ : state) {
        for (int gno = 0; gno < n; gno++) {
            glyph g((unsigned short)gno);
            if (font->get_glyph(gno, &g) != 0) {
                state.SkipWithError("get_glyph failed");
                return;
            }
            for (int i = 0; i < g.count; i++)
                points += g.contours[i]->count;
        }
    }
    benchmark::DoNotOptimize(points);
    state.SetItemsProcessed(state.iterations() * n);
}

// FreeType's counterpart of bm_get_glyph_all: every glyph in font units,
// without hinting, from a face opened beforehand.
void bm_freetype_all(benchmark::State& state, const font_file& f) {
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) != 0) {
        state.SkipWithError("FreeType failed to start");
        return;
    }
    if (FT_New_Face(lib, f.path, 0, &face) != 0) {
        FT_Done_FreeType(lib);
        state.SkipWithError("FreeType cannot open the font");
        return;
    }
    long points = 0;
    for (auto _ : state) {
        for (FT_Long gno = 0; gno < face->num_glyphs; gno++) {
            if (FT_Load_Glyph(face, (FT_UInt)gno, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
                points += face->glyph->outline.n_points;
        }
    }
    benchmark::DoNotOptimize(points);
    state.SetItemsProcessed(state.iterations() * face->num_glyphs);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

// A glyph from the middle of the font with an outline, decoded twice: as
// it is, and with its first contour copied once more, so that storing the
// two in turn changes the record's length each time, as an edit does.
struct stored_glyph {
    int gno = -1;
    std::unique_ptr<glyph> as_is, edited;
};

stored_glyph pick_glyph(ttf& font) {
    stored_glyph s;
    int n = font.maxp->numglyphs();
    for (int gno = n / 2; gno < n; gno++) {
        auto g = std::make_unique<glyph>((unsigned short)gno);
        if (font.get_glyph(gno, g.get()) != 0 || g->count == 0 || g->ncompo != 0)
            continue;
        auto e = std::make_unique<glyph>((unsigned short)gno);
        font.get_glyph(gno, e.get());
        e->add_shape(e->contours[0]->copy());
        s.gno = gno;
        s.as_is = std::move(g);
        s.edited = std::move(e);
        break;
    }
    return s;
}

// What was stored last must read back with the same contours.
bool reads_back(ttf& font, int gno, const glyph& stored) {
    glyph back((unsigned short)gno);
    if (font.get_glyph(gno, &back) != 0 || back.count != stored.count)
        return false;
    for (int i = 0; i < back.count; i++) {
        if (back.contours[i]->count != stored.contours[i]->count)
            return false;
    }
    return true;
}

// Storing one glyph: the whole glyf table is rebuilt and every later loca
// offset shifted. Glyphs are stored over and over, alternating the two
// versions of the glyph.
void bm_set_glyph(benchmark::State& state, const font_file& f) {
    std::unique_ptr<ttf> font = load_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    stored_glyph s = pick_glyph(*font);
    if (s.gno < 0) {
        state.SkipWithError("no simple glyph with an outline in the second half of the font");
        return;
    }
    bool edited = false;
    for (auto _ : state) {
        edited = !edited;
        if (font->set_glyph(s.gno, edited ? s.edited.get() : s.as_is.get()) != 0) {
            state.SkipWithError("set_glyph failed");
            return;
        }
    }
    if (!reads_back(*font, s.gno, edited ? *s.edited : *s.as_is))
        state.SkipWithError("stored glyph does not read back");
    state.counters["glyph"] = s.gno;
}

// The first glyph stored after opening the font: the font is loaded afresh
// (untimed) before each store, so no memory is left over from earlier stores.
void bm_set_glyph_first(benchmark::State& state, const font_file& f) {
    std::unique_ptr<ttf> font = load_font(f.path);
    stored_glyph s = font ? pick_glyph(*font) : stored_glyph();
    if (s.gno < 0) {
        state.SkipWithError("load failed or no simple glyph with an outline");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        font.reset();
        font = load_font(f.path);
        state.ResumeTiming();
        if (!font || font->set_glyph(s.gno, s.edited.get()) != 0) {
            state.SkipWithError("load or set_glyph failed");
            return;
        }
    }
    if (!reads_back(*font, s.gno, *s.edited))
        state.SkipWithError("stored glyph does not read back");
    state.counters["glyph"] = s.gno;
}

// A save after a glyph store: head's font box and hhea's extremes are
// worked out on the way. Before each save (untimed) the glyph is stored
// again, alternating its two versions, so that every save follows an edit:
// the boxes kept from the save before are measured again for that glyph
// alone.
void bm_save_edited(benchmark::State& state, const font_file& f) {
    std::unique_ptr<ttf> font = load_font(f.path);
    stored_glyph s = font ? pick_glyph(*font) : stored_glyph();
    if (s.gno < 0) {
        state.SkipWithError("no glyph could be stored");
        return;
    }
    std::string out = out_path(f.label);
    bool edited = false;
    for (auto _ : state) {
        state.PauseTiming();
        edited = !edited;
        const int stored = font->set_glyph(s.gno, edited ? s.edited.get() : s.as_is.get());
        state.ResumeTiming();
        if (stored != 0) {
            state.SkipWithError("no glyph could be stored");
            return;
        }
        if (!save_font(*font, out)) {
            state.SkipWithError("save failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * (int64_t)file_size(out.c_str()));
}

// The first save after a glyph store in a font just opened (loaded and
// stored untimed): every outline is measured, nothing is kept yet.
void bm_save_edited_first(benchmark::State& state, const font_file& f) {
    std::string out = out_path(f.label);
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<ttf> font = load_font(f.path);
        stored_glyph s = font ? pick_glyph(*font) : stored_glyph();
        const bool stored = s.gno >= 0 && font->set_glyph(s.gno, s.edited.get()) == 0;
        state.ResumeTiming();
        if (!stored) {
            state.SkipWithError("no glyph could be stored");
            return;
        }
        if (!save_font(*font, out)) {
            state.SkipWithError("save failed");
            return;
        }
        state.PauseTiming();
        font.reset();
        state.ResumeTiming();
    }
}

void bm_cmap_get(benchmark::State& state, const font_file& f) {
    ttf* font = shared_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        if (font->cmap->get_tbl() != 0) {
            state.SkipWithError("no Unicode format 4 subtable");
            return;
        }
    }
}

void bm_cmap_set(benchmark::State& state, const font_file& f) {
    std::unique_ptr<ttf> font = load_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state)
        font->cmap->set_tbl();
    state.counters["table_bytes"] = (double)font->cmap->length;
}

// An output stream buffer over a file descriptor, for the report on the
// saved stdout. (Reopening /proc/self/fd/N instead would start a new file
// offset at 0 and overwrite what a redirected stdout already holds.)
class fd_output : public std::streambuf {
  public:
    explicit fd_output(int fd) : fd(fd) {}

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize done = 0;
        while (done < n) {
            ssize_t w = write(fd, s + done, (size_t)(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += w;
        }
        return done;
    }

  private:
    int fd;
};

// The console report, noting whether any benchmark stopped with an error so
// that the run can fail.
class checking_reporter : public benchmark::ConsoleReporter {
  public:
    explicit checking_reporter(bool colour)
        : ConsoleReporter(colour ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            failed = failed || run.error_occurred;
        ConsoleReporter::ReportRuns(runs);
    }
    bool failed = false;
};

// A recovery copy of unsaved changes: the part done on the window's
// thread (ttf::copy_image, one copy of every table into a new buffer),
// timed; the part done on the writer's thread (font_image::finish, the
// checksums) is reported as a counter.
void bm_recovery_copy(benchmark::State& state, const font_file& f) {
    ttf* font = shared_font(f.path);
    if (!font) {
        state.SkipWithError("load failed");
        return;
    }
    font_image image;
    for (auto _ : state) {
        font_image copy;
        if (font->copy_image(&copy) != 0) {
            state.SkipWithError("copy failed");
            return;
        }
        benchmark::DoNotOptimize(copy.bytes.get());
        // The writer's thread lets the copy go, not the window's.
        state.PauseTiming();
        image = std::move(copy);
        state.ResumeTiming();
    }
    bigtime_t start = system_time();
    image.finish();
    state.counters["finish_ms"] = (double)(system_time() - start) / 1000;
    state.SetBytesProcessed(state.iterations() * (int64_t)image.size);
}

void register_all() {
    using bench_fn = void (*)(benchmark::State&, const font_file&);
    const struct {
        const char* name;
        bench_fn fn;
    } benches[] = {
        {"io_floor", bm_io_floor},
        {"load", bm_load},
        {"save", bm_save},
        {"save_edited", bm_save_edited},
        {"save_edited_first", bm_save_edited_first},
        {"round_trip", bm_round_trip},
        {"get_glyph_all", bm_get_glyph_all},
        {"freetype_all", bm_freetype_all},
        {"set_glyph", bm_set_glyph},
        {"set_glyph_first", bm_set_glyph_first},
        {"cmap_get_tbl", bm_cmap_get},
        {"cmap_set_tbl", bm_cmap_set},
        {"recovery_copy", bm_recovery_copy},
    };
    for (const auto& b : benches) {
        for (const auto& f : bench_fonts) {
            if (file_size(f.path) < 0) {
                fprintf(stderr, "skipping %s: %s is missing (run scripts/setup.sh)\n", f.label,
                        f.path);
                continue;
            }
            std::string name = std::string(b.name) + "/" + f.label;
            benchmark::RegisterBenchmark(name.c_str(), b.fn, f)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // Written fonts go to memory (tmpfs) where there is one, so that the
    // disk's write-back does not disturb the timings; both the floor and the
    // model write there.
    char shm_dir[] = "/dev/shm/tavrel-bench-XXXXXX";
    char tmp_dir[] = "/tmp/tavrel-bench-XXXXXX";
    char* dir = access("/dev/shm", W_OK) == 0 ? shm_dir : tmp_dir;
    if (!mkdtemp(dir)) {
        perror("tavrel_bench: mkdtemp");
        return 1;
    }
    outdir = dir;

    // Keep the report on the real stdout and send the model's lines away.
    fflush(stdout);
    int report_fd = dup(1);
    int null_fd = open("/dev/null", O_WRONLY);
    if (report_fd < 0 || null_fd < 0 || dup2(null_fd, 1) < 0) {
        perror("tavrel_bench: redirecting stdout");
        return 1;
    }
    close(null_fd);
    fd_output report_buf(report_fd);
    std::ostream report(&report_buf);

    register_all();
    checking_reporter reporter(isatty(report_fd) != 0);
    reporter.SetOutputStream(&report);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    for (const auto& f : bench_fonts)
        unlink(out_path(f.label).c_str());
    rmdir(dir);
    return reporter.failed ? 1 : 0;
}
