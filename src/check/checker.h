// font_checker: says what is wrong with a TrueType font, from its bytes
// alone. It checks the table directory and every table it knows, decodes
// every glyph once, and keeps what it decoded so that after an edit only
// the changed glyph or table, and the checks across tables that read it,
// are checked again.
#ifndef TAVREL_CHECK_CHECKER_H
#define TAVREL_CHECK_CHECKER_H

#include "check/finding.h"
#include "check/table_set.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct check_options {
    // The bytes are the open font's, which a save will write: the save
    // lays the tables out afresh, computes every checksum and head's
    // checkSumAdjustment, and recomputes maxp's outline maxima, so none of
    // these is checked.
    bool as_saved = false;
    // The save works out head's box and hhea's advanceWidthMax,
    // minLeftSideBearing, minRightSideBearing and xMaxExtent afresh (the
    // outlines or metrics were edited), so they are not checked either.
    bool metrics_derived_at_save = false;
    bool operator==(const check_options& o) const {
        return as_saved == o.as_saved && metrics_derived_at_save == o.metrics_derived_at_save;
    }
};

struct glyph_summary;
struct composite_summary;

class font_checker {
  public:
    explicit font_checker(check_options options = {});
    ~font_checker();
    font_checker(const font_checker&) = delete;
    font_checker& operator=(const font_checker&) = delete;

    // Checks a whole font file.
    void check_file(byte_vector file);
    // Checks tables as a save will write them: the 12-byte directory
    // header, then the tables in directory order.
    void check_tables(byte_vector header, std::vector<table_copy> tables);

    // A table changed: checks it again, with every check that reads it.
    // A tag the font does not have is ignored.
    void replace_table(uint32_t tag, byte_vector bytes);
    // Several tables changed at once: each check runs once.
    void replace_tables(std::vector<table_copy> tables);
    // Glyph gno was stored with this record (and the rest of glyf and loca
    // moved accordingly): checks the glyph again, the composites made of
    // it, and the checks across tables that read the glyphs.
    void replace_glyph(unsigned gno, byte_vector record);

    // Checks again what the options change.
    void set_options(check_options options);

    // Every finding, in listing order.
    std::vector<finding> findings() const;
    // Counts by severity (error, warning, note).
    std::array<int, 3> counts() const;
    unsigned numglyphs() const { return fNumGlyphs; }

  private:
    void decode_glyphs();
    void run_unit(size_t index);
    void run_units_reading(const std::vector<uint32_t>& tags, bool glyphs_changed);
    unsigned read_numglyphs() const;

    check_options fOptions;
    table_set fTables;
    unsigned fNumGlyphs = 0;
    std::vector<glyph_summary> fGlyphs;
    std::vector<composite_summary> fComposites;
    // Findings of each check, by its index in the list of checks.
    std::vector<std::vector<finding>> fUnitFindings;
};

#endif
