// The installed fonts the benchmarks measure, from the smallest to the
// largest, under the labels RESULTS.md uses.
#ifndef TAVREL_BENCH_FONTS_H
#define TAVREL_BENCH_FONTS_H

struct font_file {
    const char* label;
    const char* path;
};

inline constexpr font_file bench_fonts[] = {
    {"LiberationSans", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"},
    {"DejaVuSans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    {"DroidSansFallbackFull", "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"},
    {"HanaMinA", "/usr/share/fonts/truetype/hanazono/HanaMinA.ttf"},
    {"HanaMinB", "/usr/share/fonts/truetype/hanazono/HanaMinB.ttf"},
};

#endif
