// Fonts of other kinds than plain TrueType, built by fontTools: variable
// TrueType fonts (gvar kept consistent through glyph stores), 'true' fonts,
// fonts with many tables of other tags, and fonts with CFF or CFF2
// outlines. Each is checked by fontTools, FreeType and OTS after saving.
#include "font/ttf.h"

#include "font/fvar.h"
#include "font/gvar.h"
#include "font/history.h"
#include "font/hmtx.h"
#include "font/maxp.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include "font/font_builder.h"
#include "support/test_support.h"

using namespace font_builder;
using namespace testing_support;

namespace {

// Glyph A: contour 0 holds points 0-4 (point 2 is the curve's off-curve
// point, inside the box), contour 1 points 5-7.
const int GLYPH_A = 1;

std::string tag_name(uint32_t t) {
    return {(char)(t >> 24), (char)(t >> 16), (char)(t >> 8), (char)t};
}

// The file's tables by tag.
std::map<uint32_t, bytes> tables_of(const bytes& file) {
    std::map<uint32_t, bytes> out;
    for (unsigned i = 0; i < get16(file, 4); i++) {
        size_t e = 12 + 16 * i;
        uint32_t off = get32(file, e + 8), len = get32(file, e + 12);
        out[get32(file, e)] = bytes(file.begin() + off, file.begin() + off + len);
    }
    return out;
}

// Every table as it was, but for what a save stamps into head (the
// checksum adjustment and the modified date).
void expect_same_tables(const bytes& before, const bytes& after) {
    std::map<uint32_t, bytes> a = tables_of(before), b = tables_of(after);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 4, after.begin())) << "sfnt version";
    for (auto& [t, data] : a) {
        bytes other = b[t];
        if (t == tag("head") && data.size() >= 36 && other.size() == data.size()) {
            for (size_t k : {8, 9, 10, 11, 28, 29, 30, 31, 32, 33, 34, 35})
                data[k] = other[k] = 0;
        }
        EXPECT_EQ(data, other) << "table " << tag_name(t);
    }
}

void expect_ots_accepts(const std::string& path) {
    std::string out;
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
}

// FreeType's outline of character `code` at each named instance ("x,y"
// per point), after loading every glyph at every instance, and in
// *advances its advance there; fails the test when an instance does not
// load or the character renders without ink.
std::vector<std::vector<std::string>> freetype_instances(const std::string& path, const char* code,
                                                         std::vector<long>* advances = nullptr) {
    std::string out;
    EXPECT_EQ(run_command(
                  std::string(TAVREL_FT_CHECK) + " '" + path + "' instances " + code + " 24", &out),
              0)
        << out;
    std::vector<std::vector<std::string>> result;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "instance") {
            result.emplace_back();
            words >> word;
            while (words >> word)
                result.back().push_back(word);
        } else if (word == "ink") {
            long ink = 0;
            words >> ink;
            EXPECT_GT(ink, 0) << "the character rendered without ink at an instance";
        } else if (word == "advance" && advances) {
            long advance = 0;
            words >> advance;
            advances->push_back(advance);
        }
    }
    return result;
}

// The same font with gvar's offsets in the long format.
bytes with_long_gvar_offsets(const bytes& file) {
    std::vector<table> out;
    for (auto& [t, data] : tables_of(file)) {
        table entry{tag_name(t), data};
        if (t == tag("gvar") && !(get16(data, 14) & 1)) {
            const unsigned n = get16(data, 12);
            const uint32_t grow = 2 * (n + 1);
            bytes g(data.begin(), data.begin() + 20);
            put16(g, 14, get16(data, 14) | 1);
            put32(g, 16, get32(data, 16) + grow);
            if (get32(data, 8) >= 20)
                put32(g, 8, get32(data, 8) + grow);
            for (unsigned i = 0; i <= n; i++)
                add32(g, 2 * get16(data, 20 + 2 * i));
            g.insert(g.end(), data.begin() + 20 + 2 * (n + 1), data.end());
            entry.data = g;
        }
        out.push_back(entry);
    }
    return sfnt(out, get32(file, 0));
}

std::string save_to(ttf& font, const std::string& name) {
    std::string path = save_font(font, name.c_str());
    EXPECT_FALSE(path.empty());
    return path;
}

} // namespace

TEST(OtherFontKinds, OpenAndSaveEveryTableAsItWas) {
    struct kind {
        const char* name;
        uint32_t version;
        bool variable, cff;
        size_t others; // tables without a class of their own
    };
    const kind KINDS[] = {
        {"variable", 0x00010000, true, false, 4}, // HVAR, MVAR, STAT, avar
        {"true", tag("true"), false, false, 0},   {"tags", 0x00010000, false, false, 30},
        {"cff", 0x00010000, false, true, 0},      {"cff2", tag("OTTO"), true, true, 0},
    };
    for (const kind& k : KINDS) {
        SCOPED_TRACE(k.name);
        std::string path = build_test_font(k.name);
        ASSERT_FALSE(path.empty()) << "fontTools could not build the font";
        bytes original = read_file(path);
        ttf font;
        ASSERT_EQ(load_bytes(font, original), 0) << font.load_error();
        EXPECT_EQ(byte_span(font.dir, 12).u32(0), k.version);
        EXPECT_EQ(font.is_variable(), k.variable);
        EXPECT_EQ(font.has_cff_outlines(), k.cff);
        EXPECT_EQ(font.others.size(), k.others);
        glyph g(1);
        EXPECT_EQ(font.get_glyph(1, &g) == 0, !k.cff) << "CFF outlines are not read as glyphs";
        std::string saved = save_to(font, "saved.ttf");
        expect_same_tables(original, read_file(saved));
        expect_ots_accepts(saved);
    }
}

TEST(OtherFontKinds, FvarListsAxesAndNamedInstances) {
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file(build_test_font("variable"))), 0);
    ASSERT_NE(font.fvar, nullptr);
    ASSERT_EQ(font.fvar->axis_count(), 1);
    fvar_axis a;
    ASSERT_TRUE(font.fvar->axis(0, &a));
    EXPECT_EQ(a.tag, tag("wght"));
    EXPECT_EQ(a.min, 100);
    EXPECT_EQ(a.def, 100);
    EXPECT_EQ(a.max, 900);
    ASSERT_EQ(font.fvar->instance_count(), 4);
    fvar_instance in;
    ASSERT_TRUE(font.fvar->instance(3, &in));
    ASSERT_EQ(in.coordinates.size(), 1u);
    EXPECT_EQ(in.coordinates[0], 900);
    EXPECT_FALSE(font.fvar->instance(4, &in));
}

// A point moved in the default keeps the glyph's variation data: at every
// instance, for fontTools and FreeType alike, the glyph is the old one with
// that point moved by the same amount.
TEST(VariableFont, MovedPointKeepsTheGlyphsVariations) {
    std::string path = build_test_font("variable");
    bytes original = read_file(path);
    ttf font;
    ASSERT_EQ(load_bytes(font, original), 0);
    bytes gvar(font.gvar->data, font.gvar->data + font.gvar->length);
    glyph g(GLYPH_A);
    ASSERT_EQ(font.get_glyph(GLYPH_A, &g), 0);
    ASSERT_EQ(g.count, 2);
    g.contours[0]->points[2].x += 10;
    g.contours[0]->points[2].y += 20;
    ASSERT_EQ(font.set_glyph(GLYPH_A, &g), 0);
    EXPECT_EQ(bytes(font.gvar->data, font.gvar->data + font.gvar->length), gvar);
    std::string saved = save_to(font, "moved.ttf");
    std::string out;
    EXPECT_EQ(run_command(python() + " '" + source_dir() + "/tests/tools/check_variations.py' '" +
                              path + "' '" + saved + "' A moved 2 10 20",
                          &out),
              0)
        << out;
    std::vector<std::vector<std::string>> before = freetype_instances(path, "41"),
                                          after = freetype_instances(saved, "41");
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(after.size(), before.size());
    for (size_t k = 0; k < before.size(); k++) {
        ASSERT_EQ(after[k].size(), before[k].size());
        for (size_t p = 0; p < before[k].size(); p++) {
            if (p != 2) {
                EXPECT_EQ(after[k][p], before[k][p]) << "instance " << k << " point " << p;
                continue;
            }
            long x0, y0, x1, y1;
            ASSERT_EQ(sscanf(before[k][p].c_str(), "%ld,%ld", &x0, &y0), 2);
            ASSERT_EQ(sscanf(after[k][p].c_str(), "%ld,%ld", &x1, &y1), 2);
            EXPECT_EQ(x1 - x0, 10) << "instance " << k;
            EXPECT_EQ(y1 - y0, 20) << "instance " << k;
        }
    }
    expect_ots_accepts(saved);
}

// A store that changes the points' number or order is refused until the
// caller agrees to drop the glyph's variations; then exactly that glyph's
// data goes, gvar stays consistent in either offset format, every instance
// of the glyph is its default, and undo brings the data back.
TEST(VariableFont, RestructuredGlyphLosesOnlyItsVariations) {
    std::string path = build_test_font("variable");
    struct change {
        const char* label;
        bool model_sees_it; // or only the editor knows (a reversal)
        std::function<void(glyph&)> apply;
    };
    const change CHANGES[] = {
        {"a point deleted", true,
         [](glyph& g) {
             ASSERT_EQ(g.contours[0]->select_chk(g.contours[0]->points[4], 0.5f), 5);
             ASSERT_FALSE(g.contours[0]->delpoint());
         }},
        {"a contour reversed", false,
         [](glyph& g) {
             ASSERT_EQ(g.contours[1]->select_chk(g.contours[1]->bounds), -1);
             g.contours[1]->reverse();
         }},
    };
    for (bool long_offsets : {false, true}) {
        bytes original = read_file(path);
        if (long_offsets)
            original = with_long_gvar_offsets(original);
        for (const change& c : CHANGES) {
            SCOPED_TRACE(std::string(c.label) + (long_offsets ? ", long offsets" : ""));
            ttf font;
            ASSERT_EQ(load_bytes(font, original), 0);
            ASSERT_TRUE(font.variations_intact());
            ASSERT_TRUE(font.glyph_varies(GLYPH_A));
            font.start_history();
            std::map<uint32_t, bytes> loaded = tables_of(read_file(save_to(font, "loaded.ttf")));
            glyph g(GLYPH_A);
            ASSERT_EQ(font.get_glyph(GLYPH_A, &g), 0);
            c.apply(g);
            if (c.model_sees_it) {
                EXPECT_EQ(font.set_glyph(GLYPH_A, &g), TTF_GLYPH_VARIES);
            }
            EXPECT_FALSE(font.history()->can_undo()) << "a refused store changes nothing";
            font.history()->checkpoint("glyph");
            ASSERT_EQ(font.set_glyph(GLYPH_A, &g, true), 0);
            EXPECT_FALSE(font.glyph_varies(GLYPH_A));
            EXPECT_TRUE(font.variations_intact());
            std::string saved = save_to(font, "dropped.ttf");
            std::map<uint32_t, bytes> edited = tables_of(read_file(saved));
            EXPECT_EQ(get16(edited[tag("gvar")], 14) & 1, long_offsets ? 1 : 0);
            std::string out;
            EXPECT_EQ(run_command(python() + " '" + source_dir() +
                                      "/tests/tools/check_variations.py' '" + path + "' '" + saved +
                                      "' A dropped",
                                  &out),
                      0)
                << out;
            std::vector<std::vector<std::string>> ft = freetype_instances(saved, "41");
            ASSERT_EQ(ft.size(), 4u);
            for (const std::vector<std::string>& instance : ft)
                EXPECT_EQ(instance, ft[0]) << "every instance is the default";
            expect_ots_accepts(saved);

            // One undo step takes back glyf, loca and gvar together.
            ASSERT_TRUE(font.history()->undo());
            EXPECT_TRUE(font.glyph_varies(GLYPH_A));
            std::map<uint32_t, bytes> undone = tables_of(read_file(save_to(font, "undone.ttf")));
            for (const char* t : {"glyf", "loca", "gvar"})
                EXPECT_EQ(undone[tag(t)], loaded[tag(t)]) << t;
            ASSERT_TRUE(font.history()->redo());
            EXPECT_EQ(tables_of(read_file(save_to(font, "redone.ttf")))[tag("gvar")],
                      edited[tag("gvar")]);
        }
    }
}

// A wider advance in the default keeps HVAR and gvar as they are: their
// deltas still apply, so every instance widens by the same amount.
TEST(VariableFont, WiderAdvanceWidensEveryInstanceAlike) {
    std::string path = build_test_font("variable");
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file(path)), 0);
    unsigned short aw;
    short lsb;
    ASSERT_EQ(font.hmtx->get_mtx(GLYPH_A, &aw, &lsb), 0);
    ASSERT_EQ(font.hmtx->set_mtx(GLYPH_A, aw + 30, lsb), 0);
    std::string saved = save_to(font, "wider.ttf");
    std::map<uint32_t, bytes> before = tables_of(read_file(path)),
                              after = tables_of(read_file(saved));
    for (const char* t : {"HVAR", "gvar", "glyf"})
        EXPECT_EQ(after[tag(t)], before[tag(t)]) << t;
    std::string out;
    EXPECT_EQ(run_command(python() + " '" + source_dir() + "/tests/tools/check_variations.py' '" +
                              path + "' '" + saved + "' A advance 30",
                          &out),
              0)
        << out;
    std::vector<long> old_advances, new_advances;
    freetype_instances(path, "41", &old_advances);
    freetype_instances(saved, "41", &new_advances);
    ASSERT_EQ(old_advances.size(), 4u);
    ASSERT_EQ(new_advances.size(), old_advances.size());
    for (size_t k = 0; k < old_advances.size(); k++)
        EXPECT_EQ(new_advances[k], old_advances[k] + 30) << "instance " << k;
    EXPECT_NE(old_advances.front(), old_advances.back()) << "the advance varies";
    expect_ots_accepts(saved);
}

TEST(VariableFont, DamagedGvarRefusesRestructuringButNotMoves) {
    bytes file = read_file(build_test_font("variable"));
    std::map<uint32_t, bytes> t = tables_of(file);
    bytes gvar = t[tag("gvar")];
    put16(gvar, 12, get16(gvar, 12) + 1); // a glyph count that is not the font's
    std::vector<table> tables;
    for (auto& [k, data] : t)
        tables.push_back({tag_name(k), k == tag("gvar") ? gvar : data});
    ttf font;
    ASSERT_EQ(load_bytes(font, sfnt(tables)), 0);
    EXPECT_FALSE(font.variations_intact());
    glyph g(GLYPH_A);
    ASSERT_EQ(font.get_glyph(GLYPH_A, &g), 0);
    g.contours[0]->points[2].x += 10;
    EXPECT_EQ(font.set_glyph(GLYPH_A, &g), 0);
    g.contours[1]->select_chk(g.contours[1]->bounds);
    g.contours[1]->reverse();
    EXPECT_EQ(font.set_glyph(GLYPH_A, &g, true), -1);
    EXPECT_EQ(bytes(font.gvar->data, font.gvar->data + font.gvar->length), gvar);
}
