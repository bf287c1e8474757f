// The checker on a small clean font and on that font with one fault each:
// every fault is found, with its severity, table and glyph, and no fault
// that readers tolerate is called an error.
#include "check/checker.h"

#include <gtest/gtest.h>

#include <functional>

#include "check/check_fonts.h"
#include "font/hostile_fonts.h"

using namespace check_fonts;

namespace {

std::vector<finding> check(const bytes& file) {
    font_checker checker;
    checker.check_file(file);
    return checker.findings();
}

std::string listing(const std::vector<finding>& found) {
    std::string s;
    for (const finding& f : found)
        s += std::string(severity_name(f.level)) + " " + tag_text(f.table) + " " +
             std::to_string(f.glyph) + ": " + f.message + "\n";
    return s;
}

} // namespace

TEST(Checker, CleanFontHasNoFindings) {
    std::vector<finding> found = check(assemble(clean_parts()));
    EXPECT_TRUE(found.empty()) << listing(found);
}

TEST(Checker, FindsEachFaultWithItsSeverityAndPlace) {
    for (const fault_case& c : CASES) {
        SCOPED_TRACE(c.label);
        parts p = clean_parts();
        if (c.change)
            c.change(p);
        bytes file = assemble(p);
        if (c.change_file)
            c.change_file(file);
        const std::vector<finding> found = check(file);
        bool hit = false, errors = false;
        for (const finding& f : found) {
            hit |= f.level == c.level && tag_text(f.table) == c.table && f.glyph == c.glyph &&
                   f.message.find(c.words) != std::string::npos;
            errors |= f.level == severity::error;
        }
        EXPECT_TRUE(hit) << listing(found);
        // What readers tolerate must not turn into an error elsewhere.
        if (c.level != severity::error) {
            EXPECT_FALSE(errors) << listing(found);
        }
    }
}

// The OpenType Sanitizer, an independent reader, refuses exactly the
// fonts with errors: the clean one, each fault, each of the loader's
// hostile files.
TEST(Checker, AgreesWithTheSanitizerOnEachFault) {
    const std::string dir = testing_support::temp_dir();
    std::vector<std::pair<std::string, bytes>> fonts{{"clean", assemble(clean_parts())}};
    for (const fault_case& c : CASES) {
        parts p = clean_parts();
        if (c.change)
            c.change(p);
        bytes file = assemble(p);
        if (c.change_file)
            c.change_file(file);
        fonts.push_back({c.label, file});
    }
    for (const hostile_fonts::hostile_case& c : hostile_fonts::CASES)
        fonts.push_back({std::string("hostile: ") + c.label, c.build()});
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.first);
        const std::string path = dir + "/font.ttf";
        ASSERT_TRUE(testing_support::write_file(path, f.second));
        std::string out;
        const bool rejected = testing_support::run_command(
                                  "ots-sanitize " + path + " " + dir + "/out.ttf", &out) != 0;
        bool errors = false;
        for (const finding& x : check(f.second))
            errors |= x.level == severity::error;
        EXPECT_EQ(errors, rejected) << out;
    }
}

namespace {

// A font's header and tables, as the open font hands them to the check
// window.
std::pair<bytes, std::vector<table_copy>> tables_of(const bytes& file) {
    std::vector<table_copy> tables;
    for (unsigned i = 0; i < get16(file, 4); i++) {
        const size_t e = 12 + 16 * i;
        const size_t off = get32(file, e + 8), len = get32(file, e + 12);
        tables.push_back(
            {get32(file, e), bytes(file.begin() + (long)off, file.begin() + (long)(off + len))});
    }
    return {bytes(file.begin(), file.begin() + 12), tables};
}

std::vector<finding> check_saved(const bytes& file) {
    font_checker checker(check_options{true});
    auto t = tables_of(file);
    checker.check_tables(t.first, t.second);
    return checker.findings();
}

bool same(const std::vector<finding>& a, const std::vector<finding>& b) {
    return listing(a) == listing(b);
}

} // namespace

// After a glyph is stored, checking it alone gives what checking the whole
// changed font gives: its own findings, its composites', and those across
// tables.
TEST(Checker, GlyphStoredAloneMatchesAWholeCheck) {
    const struct {
        const char* label;
        unsigned glyph;
        bytes record;
    } edits[] = {
        {"crossing", 1, outline_glyph({{{50, 0}, {450, 400}, {450, 0}, {50, 400}}})},
        {"past head's box", 1, outline_glyph({rect_cw(50, 0, 900, 400)})},
        {"reversed", 1, outline_glyph({rect_ccw(50, 0, 450, 400)})},
        {"damaged", 1, bytes{0, 1, 0}},
        {"empty", 0, bytes{}},
        {"composite of itself", 2, composite(2, 0, 0, {150, 0, 550, 400})},
        {"composite elsewhere", 2, composite(0, 10, 0, {110, 0, 510, 700})},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.label);
        const parts base = clean_parts();
        parts changed = base;
        changed.glyphs[e.glyph] = e.record;
        font_checker checker(check_options{true});
        auto t = tables_of(assemble(base));
        checker.check_tables(t.first, t.second);
        checker.replace_glyph(e.glyph, e.record);
        const std::vector<finding> whole = check_saved(assemble(changed));
        EXPECT_TRUE(same(checker.findings(), whole)) << "alone:\n"
                                                     << listing(checker.findings()) << "whole:\n"
                                                     << listing(whole);
    }
}

// After a table edit, checking it with what reads it gives what checking
// the whole changed font gives.
TEST(Checker, TableEditMatchesAWholeCheck) {
    const struct {
        const char* label;
        const char* table;
        std::function<void(bytes&)> edit;
    } edits[] = {
        {"side bearing", "hmtx", [](bytes& t) { put16(t, 6, 70); }},
        {"numGlyphs", "maxp", [](bytes& t) { put16(t, 4, 2); }},
        {"loca format", "head", [](bytes& t) { put16(t, 50, 0); }},
        {"box", "head", [](bytes& t) { put16(t, 40, 10); }},
        {"cmap", "cmap",
         [](bytes& t) {
             t = unicode_cmap({{0x20, 1}});
         }},
        {"first character", "OS/2", [](bytes& t) { put16(t, 64, 0x30); }},
        {"name", "name",
         [](bytes& t) {
             t = name_table({{1, "A B"}});
         }},
    };
    for (const auto& e : edits) {
        SCOPED_TRACE(e.label);
        const parts base = clean_parts();
        parts changed = base;
        changed.glyphs = base.glyphs;
        bytes before = assemble(base);
        auto t = tables_of(before);
        bytes edited;
        for (const table_copy& c : t.second)
            if (c.tag == tag(e.table))
                edited = c.bytes;
        e.edit(edited);
        font_checker checker(check_options{true});
        checker.check_tables(t.first, t.second);
        checker.replace_table(tag(e.table), edited);
        for (table_copy& c : t.second)
            if (c.tag == tag(e.table))
                c.bytes = edited;
        font_checker whole(check_options{true});
        whole.check_tables(t.first, t.second);
        EXPECT_TRUE(same(checker.findings(), whole.findings()))
            << "alone:\n"
            << listing(checker.findings()) << "whole:\n"
            << listing(whole.findings());
    }
}

// Real fonts that every reader accepts get no error, whether their glyphs
// are decoded on one thread or shared out among several.
TEST(Checker, InstalledFontsHaveNoErrors) {
    for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                             "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"}) {
        SCOPED_TRACE(path);
        const bytes file = testing_support::read_file(path);
        ASSERT_FALSE(file.empty());
        font_checker checker;
        checker.check_file(file);
        EXPECT_EQ(checker.counts()[0], 0) << listing(checker.findings());
        EXPECT_GT(checker.numglyphs(), 0u);
    }
}
