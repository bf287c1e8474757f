#include "check/checker.h"

#include "check/check_context.h"
#include "check/glyph_records.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <system_error>
#include <thread>

namespace {

// Fonts with this many glyphs are decoded by up to MAX_THREADS threads, in
// blocks of GLYPH_BLOCK glyphs.
const unsigned PARALLEL_GLYPHS = 4096, MAX_THREADS = 4, GLYPH_BLOCK = 256;

const uint32_t HEAD = tag_of("head"), MAXP = tag_of("maxp"), HHEA = tag_of("hhea"),
               HMTX = tag_of("hmtx"), LOCA = tag_of("loca"), GLYF = tag_of("glyf"),
               CMAP = tag_of("cmap"), NAME = tag_of("name"), OS2 = tag_of("OS/2"),
               POST = tag_of("post"), GASP = tag_of("gasp"), EBLC = tag_of("EBLC"),
               EBDT = tag_of("EBDT"), CVT = tag_of("cvt ");

} // namespace

std::string vformat(const char* fmt, va_list args) {
    va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if ((size_t)n < sizeof small)
        return std::string(small, (size_t)n);
    std::string big((size_t)n + 1, '\0');
    vsnprintf(&big[0], big.size(), fmt, args);
    big.resize((size_t)n);
    return big;
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = vformat(fmt, args);
    va_end(args);
    return s;
}

finding make_finding(severity level, uint32_t table, int32_t glyph, int32_t point,
                     std::string message) {
    finding f;
    f.level = level;
    f.table = table;
    f.glyph = glyph;
    f.point = point;
    f.message = std::move(message);
    return f;
}

void check_context::add(severity level, uint32_t table, int32_t glyph, int32_t point,
                        const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    out->push_back(make_finding(level, table, glyph, point, vformat(fmt, args)));
    va_end(args);
}

#define CHECK_CONTEXT_SAY(name, level)                                                             \
    void check_context::name(uint32_t table, const char* fmt, ...) {                               \
        va_list args;                                                                              \
        va_start(args, fmt);                                                                       \
        out->push_back(make_finding(level, table, -1, -1, vformat(fmt, args)));                    \
        va_end(args);                                                                              \
    }
CHECK_CONTEXT_SAY(error, severity::error)
CHECK_CONTEXT_SAY(warning, severity::warning)
CHECK_CONTEXT_SAY(note, severity::note)
#undef CHECK_CONTEXT_SAY

namespace {

// One check, with the tables it reads and whether it reads the decoded
// glyphs; it runs again when any of them changes.
struct check_unit {
    void (*run)(check_context&);
    uint32_t reads[4];
    bool glyphs;
    bool every_table;
};

const check_unit UNITS[] = {
    {check_directory, {}, false, true},
    {check_head, {HEAD}, false, false},
    {check_maxp, {MAXP, GLYF}, false, false},
    {check_hhea_hmtx, {HHEA, HMTX, MAXP}, false, false},
    {check_cvt, {CVT}, false, false},
    {check_loca, {LOCA, GLYF, HEAD, MAXP}, false, false},
    {check_glyph_metrics, {HEAD, MAXP, HHEA, HMTX}, true, false},
    {check_composites, {MAXP}, true, false},
    {check_directions, {}, true, false},
    {check_cmap, {CMAP, MAXP}, false, false},
    {check_name, {NAME}, false, false},
    {check_os2, {OS2}, false, false},
    {check_os2_cmap, {OS2, CMAP}, false, false},
    {check_post, {POST, MAXP}, false, false},
    {check_gasp, {GASP}, false, false},
    {check_bitmaps, {EBLC, EBDT, MAXP}, false, false},
};

const size_t UNIT_COUNT = sizeof UNITS / sizeof UNITS[0];

} // namespace

font_checker::font_checker(check_options options) : fOptions(options) {}

font_checker::~font_checker() = default;

unsigned font_checker::read_numglyphs() const {
    const byte_span m = fTables.find(MAXP);
    return m.size() >= 6 ? m.u16(4) : 0;
}

void font_checker::decode_glyphs() {
    fNumGlyphs = read_numglyphs();
    const glyph_locations where = locate_glyphs(fTables);
    const unsigned n = where.usable ? fNumGlyphs : 0;
    fGlyphs.assign(n, glyph_summary());
    // Glyphs are decoded independently, each into its own summary: large
    // fonts are shared out in blocks among a few threads.
    std::atomic<unsigned> next{0};
    auto work = [&] {
        for (;;) {
            const unsigned from = next.fetch_add(GLYPH_BLOCK);
            if (from >= n)
                return;
            const unsigned to = std::min(n, from + GLYPH_BLOCK);
            for (unsigned g = from; g < to; g++)
                summarize_glyph(fTables, where, fNumGlyphs, g, &fGlyphs[g]);
        }
    };
    std::vector<std::thread> helpers;
    if (n >= PARALLEL_GLYPHS) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        for (unsigned t = 1; t < std::min(cores, MAX_THREADS); t++) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                // No more threads to be had: the others do the work.
                break;
            }
        }
    }
    work();
    for (std::thread& t : helpers)
        t.join();
    resolve_composites(fTables, where, fGlyphs, &fComposites);
}

void font_checker::run_unit(size_t index) {
    check_context c{fTables, fOptions, fNumGlyphs, fGlyphs, fComposites, &fUnitFindings[index]};
    fUnitFindings[index].clear();
    UNITS[index].run(c);
}

void font_checker::run_units_reading(const std::vector<uint32_t>& tags, bool glyphs_changed) {
    for (size_t i = 0; i < UNIT_COUNT; i++) {
        const check_unit& u = UNITS[i];
        bool reads = u.every_table || (glyphs_changed && u.glyphs);
        for (uint32_t t : u.reads)
            reads |= t != 0 && std::find(tags.begin(), tags.end(), t) != tags.end();
        if (reads)
            run_unit(i);
    }
}

void font_checker::check_file(byte_vector file) {
    fTables.load_file(std::move(file));
    decode_glyphs();
    fUnitFindings.assign(UNIT_COUNT, {});
    for (size_t i = 0; i < UNIT_COUNT; i++)
        run_unit(i);
}

void font_checker::check_tables(byte_vector header, std::vector<table_copy> tables) {
    fTables.load_tables(std::move(header), std::move(tables));
    decode_glyphs();
    fUnitFindings.assign(UNIT_COUNT, {});
    for (size_t i = 0; i < UNIT_COUNT; i++)
        run_unit(i);
}

void font_checker::replace_table(uint32_t tag, byte_vector bytes) {
    std::vector<table_copy> one;
    one.push_back({tag, std::move(bytes)});
    replace_tables(std::move(one));
}

void font_checker::replace_tables(std::vector<table_copy> tables) {
    const int16_t format = fTables.find(HEAD).s16(50);
    std::vector<uint32_t> tags;
    for (table_copy& t : tables) {
        if (!fTables.has(t.tag))
            continue;
        tags.push_back(t.tag);
        fTables.replace(t.tag, std::move(t.bytes));
    }
    if (tags.empty())
        return;
    auto changed = [&](uint32_t tag) {
        return std::find(tags.begin(), tags.end(), tag) != tags.end();
    };
    const bool glyphs = changed(GLYF) || changed(LOCA) || fTables.find(HEAD).s16(50) != format ||
                        (changed(MAXP) && read_numglyphs() != fNumGlyphs);
    if (glyphs)
        decode_glyphs();
    run_units_reading(tags, glyphs);
}

void font_checker::replace_glyph(unsigned gno, byte_vector record) {
    if (gno >= fGlyphs.size())
        return;
    fTables.set_glyph_record(gno, std::move(record));
    const glyph_locations where = locate_glyphs(fTables);
    summarize_glyph(fTables, where, fNumGlyphs, gno, &fGlyphs[gno]);
    resolve_users_of(gno, fTables, where, fGlyphs, &fComposites);
    for (size_t i = 0; i < UNIT_COUNT; i++)
        if (UNITS[i].glyphs)
            run_unit(i);
}

void font_checker::set_options(check_options options) {
    if (options == fOptions)
        return;
    fOptions = options;
    if (fUnitFindings.size() != UNIT_COUNT)
        return;
    for (size_t i = 0; i < UNIT_COUNT; i++)
        if (UNITS[i].run == check_directory || UNITS[i].run == check_glyph_metrics)
            run_unit(i);
}

std::vector<finding> font_checker::findings() const {
    std::vector<finding> all;
    for (const std::vector<finding>& u : fUnitFindings)
        all.insert(all.end(), u.begin(), u.end());
    for (const glyph_summary& g : fGlyphs)
        all.insert(all.end(), g.findings.begin(), g.findings.end());
    std::sort(all.begin(), all.end(), finding_before);
    return all;
}

std::array<int, 3> font_checker::counts() const {
    std::array<int, 3> n{0, 0, 0};
    for (const std::vector<finding>& u : fUnitFindings)
        for (const finding& f : u)
            n[(int)f.level]++;
    for (const glyph_summary& g : fGlyphs)
        for (const finding& f : g.findings)
            n[(int)f.level]++;
    return n;
}
