// Free-hand tracing: a 600-point stroke at pen size 20 drawn across the
// canvas of a font's bounding box, turned into contours by
// obj_free::to_shape (paint the raster, trace, thin). Reports the time of
// one trace and the peak heap it uses, for the canvases of
// DroidSansFallbackFull and DejaVuSans and for the largest canvas a font can
// have (65,535 units square).
#include <File.h>

#include "alloc_counter.h"
#include "font/head.h"
#include "font/ttf.h"
#include "kit/display/cairo/cairo_rasteriser.h"
#include "outline/free_trace.h"
#include "outline/object.h"
#include "outline/shape.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

struct font_file {
    const char* label;
    const char* path;
};

const font_file fonts[] = {
    {"DroidSansFallbackFull", "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"},
    {"DejaVuSans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
};

// The glyph canvas of a font: (0, 0, width, height) of its bounding box.
bool font_canvas(const char* path, BRect* canvas) {
    BFile file(path, B_READ_ONLY);
    if (file.InitCheck() != B_OK)
        return false;
    // The model's diagnostic lines go nowhere while the font loads.
    fflush(stdout);
    int saved = dup(1), null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, 1);
    ttf font;
    int failed = font.load(file);
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_fd);
    if (failed || !font.head)
        return false;
    BRect box = font.head->bounds();
    *canvas = BRect(0, 0, box.right - box.left, std::fabs(box.bottom - box.top));
    return true;
}

// 600 points zig-zagging over the whole canvas, six sweeps from left to
// right with a wave on each, as a fast scribble would.
std::vector<BPoint> scribble(const BRect& canvas) {
    std::vector<BPoint> path;
    const int n = 600;
    for (int i = 0; i < n; i++) {
        double t = (double)i / (n - 1);
        double sweep = t * 6;
        double along = sweep - std::floor(sweep);
        if ((int)sweep % 2)
            along = 1 - along;
        double x = canvas.left + 0.05 * canvas.Width() + 0.9 * canvas.Width() * along;
        double y = canvas.top + canvas.Height() * (0.05 + 0.9 * t) +
                   0.04 * canvas.Height() * std::sin(t * 60);
        path.push_back(BPoint((float)x, (float)y));
    }
    return path;
}

std::unique_ptr<obj_free> stroke(const std::vector<BPoint>& path) {
    auto f = std::make_unique<obj_free>();
    for (size_t i = 0; i < path.size(); i++)
        f->create(i == 0 ? obj_press : i + 1 < path.size() ? obj_drag : obj_release, path[i], 20);
    return f;
}

size_t free_all(shape** list) {
    size_t n = 0;
    for (shape** s = list; s && *s; s++, n++)
        delete *s;
    delete[] list;
    return n;
}

void bm_trace(benchmark::State& state, BRect canvas) {
    std::unique_ptr<obj_free> f = stroke(scribble(canvas));
    if (f->state != obj_finished || f->count != 600) {
        state.SkipWithError("the stroke did not finish with 600 points");
        return;
    }
    size_t contours = 0;
    for (auto _ : state)
        contours = free_all(f->to_shape());
    if (contours == 0) {
        state.SkipWithError("the stroke gave no contour");
        return;
    }
    // One more trace, untimed, for its peak heap use.
    alloc_counter::start();
    free_all(f->to_shape());
    double peak = (double)alloc_counter::stop();
    state.counters["peak_MiB"] = peak / (1024 * 1024);
    state.counters["contours"] = (double)contours;
    free_trace::raster r = free_trace::stroke_raster(f->points, f->count, f->psize);
    state.counters["raster_w"] = r.width;
    state.counters["raster_h"] = r.height;
    state.counters["unit"] = r.unit;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Painting the stroke needs the rasteriser a display would install.
    kit::install_cairo_rasteriser();

    for (const font_file& f : fonts) {
        BRect canvas;
        if (!font_canvas(f.path, &canvas)) {
            fprintf(stderr, "skipping %s: %s is missing (run scripts/setup.sh)\n", f.label, f.path);
            continue;
        }
        std::string name = std::string("free_trace/") + f.label;
        benchmark::RegisterBenchmark(name.c_str(), bm_trace, canvas)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("free_trace/box_65535", bm_trace, BRect(0, 0, 65535, 65535))
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
