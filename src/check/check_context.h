// What every check reads: the tables, the options, the glyphs as decoded
// once, and where findings go. Each check is a function of this context;
// the checker runs them again when what they read changes.
#ifndef TAVREL_CHECK_CHECK_CONTEXT_H
#define TAVREL_CHECK_CHECK_CONTEXT_H

#include "check/checker.h"
#include "check/finding.h"
#include "check/table_set.h"

#include <cstdarg>
#include <cstdint>
#include <string>
#include <vector>

// One component entry of a composite glyph, as far as the checks need it.
struct component_ref {
    uint16_t glyph = 0;
    uint16_t flags = 0;
    int32_t arg1 = 0, arg2 = 0;
    // The 2x2 transform as numbers (F2Dot14 converted).
    float xx = 1, xy = 0, yx = 0, yy = 1;
};

// One glyph's record, decoded once: what the cross-table checks need, and
// the findings about the record itself.
struct glyph_summary {
    enum kind_t : uint8_t { EMPTY, SIMPLE, COMPOSITE, DAMAGED };
    kind_t kind = EMPTY;
    // The box the record states (records of 10 bytes or more).
    bool has_box = false;
    int16_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    // The box of the points (simple glyphs with points).
    bool has_points = false;
    int32_t pxmin = 0, pymin = 0, pxmax = 0, pymax = 0;
    uint16_t points = 0, contours = 0;
    uint16_t instructions = 0;
    // Outermost contours by direction, and the first point of the first
    // one of each, for the font-wide direction check.
    uint16_t outer_cw = 0, outer_ccw = 0;
    int32_t first_cw_point = -1, first_ccw_point = -1;
    std::vector<component_ref> components;
    std::vector<finding> findings;
};

// What a composite glyph amounts to once its components are resolved.
struct composite_summary {
    enum state_t : uint8_t { NOT_COMPOSITE, OK, CYCLE, BROKEN };
    state_t state = NOT_COMPOSITE;
    uint16_t depth = 0;
    uint32_t points = 0, contours = 0;
    bool has_box = false;
    int32_t xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    // The box has been worked out (has_box says whether there is one).
    bool box_done = false;
};

struct check_context {
    const table_set& tables;
    const check_options& options;
    // numGlyphs of maxp, 0 without a readable maxp.
    unsigned numglyphs = 0;
    const std::vector<glyph_summary>& glyphs;
    const std::vector<composite_summary>& composites;
    std::vector<finding>* out = nullptr;

    void error(uint32_t table, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void warning(uint32_t table, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void note(uint32_t table, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void add(severity level, uint32_t table, int32_t glyph, int32_t point, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
};

std::string vformat(const char* format, va_list args);
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));
finding make_finding(severity level, uint32_t table, int32_t glyph, int32_t point,
                     std::string message);

// The checks, one per table or group of tables (check_*.cpp).
void check_directory(check_context& c);
void check_head(check_context& c);
void check_maxp(check_context& c);
void check_hhea_hmtx(check_context& c);
void check_cvt(check_context& c);
void check_loca(check_context& c);
void check_glyph_metrics(check_context& c);
void check_composites(check_context& c);
void check_directions(check_context& c);
void check_cmap(check_context& c);
void check_name(check_context& c);
void check_os2(check_context& c);
void check_os2_cmap(check_context& c);
void check_post(check_context& c);
void check_gasp(check_context& c);
void check_bitmaps(check_context& c);

// Where the glyph records lie: loca's format and entries, and glyf.
struct glyph_locations {
    bool usable = false;
    bool long_format = false;
    byte_span loca, glyf;
    // The record of glyph g (empty for an empty glyph); false when loca
    // gives no range inside glyf for it. A record stored after an edit
    // stands in for the bytes.
    bool record(const table_set& t, unsigned g, byte_span* out) const;
};
glyph_locations locate_glyphs(const table_set& t);

#endif
