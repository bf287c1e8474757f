// The overview's model on its own: the order by character, what searches
// find, and the glyph names of post tables, checked against fontTools.
#include "font/cmap.h"
#include "font/post.h"
#include "font/ttf.h"
#include "overview/overview_model.h"
#include "overview/post_names.h"

#include "font/font_builder.h"
#include "support/test_support.h"

#include <File.h>

#include <gtest/gtest.h>

#include <set>
#include <sstream>

using namespace font_builder;
using testing_support::python;
using testing_support::run_command;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool load(ttf& font, const char* path) {
    BFile file(path, B_READ_ONLY);
    return font.load(file) == 0;
}

} // namespace

TEST(OverviewModel, CharacterOrderListsEachMappedGlyphAtItsLowestCodeThenTheRest) {
    // Codes past U+FFFF come through a format 12 subtable; glyph 2 is mapped
    // twice, glyph 5 past the font's last glyph, glyphs 0 and 4 not at all.
    std::vector<table> t = font_tables({{}, {}, {}, {}, {}});
    *find_table(t, "cmap") = cmap_table({{3, 10, 0}}, {format12_subtable({{0x42, 0x42, 3},
                                                                          {0x43, 0x43, 2},
                                                                          {0x1F600, 0x1F601, 1},
                                                                          {0x1F602, 0x1F602, 2},
                                                                          {0x20000, 0x20000, 5}})});
    ttf font;
    ASSERT_EQ(0, load_bytes(font, sfnt(t)));
    font_facts facts;
    char_map map;
    facts.take(&font);
    map.take(&font);
    overview_model m;
    m.reset(facts, map);
    m.set_order(overview_model::by_code);
    std::vector<unsigned> order;
    for (int i = 0; i < m.count(); i++) {
        order.push_back(m.glyph_at(i));
        EXPECT_EQ(i, m.index_of(m.glyph_at(i)));
    }
    EXPECT_EQ((std::vector<unsigned>{3, 2, 1, 0, 4}), order);
    EXPECT_EQ(0x43u, m.first_code(2));
    EXPECT_EQ(0x1F600u, m.first_code(1));
    EXPECT_EQ(char_map::no_char, m.first_code(4));
    // The cursor and the anchor stay on their glyphs when the order changes.
    m.select_only(m.index_of(1));
    m.set_order(overview_model::by_glyph);
    EXPECT_EQ(1, m.cursor());
    m.select_range(3);
    EXPECT_EQ((std::vector<unsigned>{1, 2, 3}), m.selection());
}

TEST(OverviewModel, SearchesFindCharactersCodesNumbersAndNames) {
    ttf font;
    ASSERT_TRUE(load(font, DEJAVU));
    font_facts facts;
    char_map map;
    facts.take(&font);
    map.take(&font);
    overview_model m;
    m.reset(facts, map);
    byte_span post = font.post->bytes();
    const int a = font.cmap->get_gno('a');
    struct search {
        const char* text;
        int glyph;
    } const searches[] = {
        {"a", a},
        {"U+0061", a},
        {"u+61", a},
        {"#0", 0},
        {"#1A", 0x1a},
        {"a.sc", -1},                   // no such name
        {"#", font.cmap->get_gno('#')}, // the character itself
        {"#zz", -1},
        {"#10000", -1}, // past 16 bits
        {"U+", -1},
        {"U+110000", -1}, // past Unicode
        {"U+E000", -1},   // not mapped
        {"", -1},
        {"\xC3\xA9", font.cmap->get_gno(0xE9)},
        {"\xE2\x82\xAC", font.cmap->get_gno(0x20AC)},
        {"\xC3", -1}, // cut UTF-8
        {"Aring", font.cmap->get_gno(0xC5)},
        {"uni0041", -1},
    };
    for (const search& s : searches)
        EXPECT_EQ(s.glyph, m.find(s.text, post)) << s.text;
    // A glyph number past the font's glyphs is none.
    char past[16];
    snprintf(past, sizeof past, "#%x", facts.glyphs);
    EXPECT_EQ(-1, m.find(past, post));
}

TEST(OverviewModel, PostNamesAgreeWithFontTools) {
    // DejaVu Sans has format 2 names, the test font format 3 (none);
    // Liberation's are format 2 with many standard names.
    for (const char* path :
         {DEJAVU, "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"}) {
        ttf font;
        ASSERT_TRUE(load(font, path));
        std::string out;
        ASSERT_EQ(0, run_command(python() +
                                     " -c \"import sys; from fontTools.ttLib import TTFont; "
                                     "print('\\n'.join(TTFont(sys.argv[1]).getGlyphOrder()))\" " +
                                     path,
                                 &out));
        std::istringstream names(out);
        std::string name;
        unsigned g = 0, named = 0;
        byte_span post = font.post->bytes();
        while (std::getline(names, name)) {
            // fontTools makes up names ("glyph123", "#1" suffixes) where the
            // table has none or repeats one; those are not the font's.
            std::string ours = post_glyph_name(post, g);
            if (!ours.empty() && ours == name) {
                named++;
                EXPECT_EQ((int)g, post_glyph_named(post, name, 0xFFFF)) << name;
            }
            g++;
        }
        EXPECT_GT(named, g * 9 / 10) << path;
    }
}

TEST(OverviewModel, DamagedPostTablesGiveNoNameAndReadNothingOutside) {
    auto post = [](uint32_t format, const std::vector<uint16_t>& indices, const bytes& strings,
                   int declared) {
        bytes b(32, 0);
        put32(b, 0, format);
        add16(b, declared < 0 ? (uint32_t)indices.size() : (uint32_t)declared);
        for (uint16_t i : indices)
            add16(b, i);
        b.insert(b.end(), strings.begin(), strings.end());
        return b;
    };
    const bytes two = {3, 'o', 'n', 'e', 3, 't', 'w', 'o'};
    struct sample {
        const char* what;
        bytes table;
        const char* name;
        int glyph;
    } const samples[] = {
        {"format 2", post(0x20000, {0, 258, 259}, two, -1), "two", 2},
        {"a standard name", post(0x20000, {0, 36}, {}, -1), "A", 1},
        {"index past the strings", post(0x20000, {0, 300}, two, -1), "two", -1},
        {"a string cut short", post(0x20000, {0, 258, 259}, {3, 'o', 'n', 'e', 9, 't'}, -1), "one",
         1},
        {"count past the table", post(0x20000, {0, 258}, two, 40000), "one", -1},
        {"format 1", post(0x10000, {}, {}, 0), "A", 36},
        {"format 3", post(0x30000, {}, {}, -1), "A", -1},
        {"header cut short", bytes(20, 0), "A", -1},
    };
    for (const sample& s : samples) {
        EXPECT_EQ(s.glyph,
                  post_glyph_named(byte_span(s.table.data(), s.table.size()), s.name, 1000))
            << s.what;
    }
}
