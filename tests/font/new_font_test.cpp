#include "font/ttf.h"

#include "font/cmap.h"
#include "font/glyf.h"
#include "font/head.h"
#include "font/hhea.h"
#include "font/hmtx.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/os2.h"
#include "font/post.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "font/font_builder.h"
#include "support/test_support.h"

using namespace font_builder;
using namespace testing_support;

namespace {

// A set-up record with these blocks chosen, as the set-up view fills it.
setupinfo* setup_for(std::initializer_list<int> blocks,
                     std::initializer_list<std::pair<unsigned, unsigned>> ranges) {
    setupinfo* s = new setupinfo();
    for (int b : blocks)
        s->blocks[b] = 1;
    int count = 0;
    for (auto r : ranges)
        for (unsigned c = r.first; c <= r.second; c++) {
            s->chars[c] = 1;
            count++;
        }
    s->chrcount = s->glyphcount = count;
    return s;
}

} // namespace

TEST(TtfInit, NewFontHasTenDefaultTablesInTagOrder) {
    ttf font;
    font.setup = setup_for({0}, {{0x0000, 0x007F}});
    testing::internal::CaptureStdout();
    ASSERT_EQ(font.init(), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "name=[OS/2]\nname=[cmap]\nname=[glyf]\nname=[head]\nname=[hhea]\n"
                   "name=[hmtx]\nname=[loca]\nname=[maxp]\nname=[name]\nname=[post]\n");
    EXPECT_EQ(font.setup, nullptr);

    byte_span dir(font.dir, 12 + 160);
    EXPECT_EQ(dir.u32(0), 0x00010000u);
    EXPECT_EQ(dir.u16(4), 10);
    EXPECT_EQ(dir.u16(6), 128);
    EXPECT_EQ(dir.u16(8), 3);
    EXPECT_EQ(dir.u16(10), 32);
    const char* tags[] = {"OS/2", "cmap", "glyf", "head", "hhea",
                          "hmtx", "loca", "maxp", "name", "post"};
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(dir.u32(12 + 16 * i), tag(tags[i]));
    EXPECT_EQ(font.gasp, nullptr);
    EXPECT_EQ(font.ebdt, nullptr);

    // 128 characters, U+0000 among them: glyphs 0-127, codes 1-127 mapped.
    EXPECT_EQ(font.maxp->numglyphs(), 128u);
    EXPECT_EQ(font.hhea->numhmtx(), 128u);
    EXPECT_EQ(font.loca->length, 4u * 128 + 4);
    EXPECT_EQ(font.hmtx->length, 4u * 128);
    EXPECT_EQ(font.cmap->get_gno(0x41), 0x41);
    EXPECT_EQ(font.cmap->get_gno(0x7F), 0x7F);
    EXPECT_EQ(font.cmap->get_gno(0), 0);
    EXPECT_EQ(font.bounds(), BRect(0, 511, 511, 0));
    unsigned short aw = 0;
    short lsb = 1;
    EXPECT_EQ(font.hmtx->get_mtx(127, &aw, &lsb), 0);
    EXPECT_EQ(aw, 512);
    EXPECT_EQ(lsb, 0);

    byte_span os2 = font.os2->bytes();
    EXPECT_EQ(font.os2->length, 86u);
    EXPECT_EQ(os2.u32(42), 1u);
    EXPECT_EQ(os2.u32(46), 0u);
    EXPECT_EQ(os2.u32(58), tag("Mosk"));
    EXPECT_EQ(font.post->bytes().u32(0), 0x00030000u);
    EXPECT_EQ(font.post->bytes().u32(4), 0x00140000u);
    EXPECT_EQ(font.post->bytes().u16(10), 20);
}

TEST(TtfInit, SavedNewFontIsValidTrueType) {
    ttf font;
    font.setup = setup_for({0, 1, 70}, {{0x0000, 0x00FF}, {0xFFF0, 0xFFFF}});
    ASSERT_EQ(font.init(), 0);
    byte_span os2 = font.os2->bytes();
    EXPECT_EQ(os2.u32(42), 3u);
    EXPECT_EQ(os2.u32(50), 0x40u); // block 70 is bit 6 of ulUnicodeRange3
    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    bytes saved = read_file(path);
    EXPECT_EQ(checksum(saved, 0, saved.size()), 0xB1B0AFBAu);

    std::string out;
    // Glyph 0 holds a record without contours: the glyph table is valid
    // though every glyph is blank.
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    out.clear();
    EXPECT_EQ(
        run_command(python() + " '" + source_dir() + "/tests/tools/check_font.py' '" + path + "'",
                    &out),
        0)
        << out;
    out.clear();
    EXPECT_EQ(run_command(std::string(TAVREL_FT_CHECK) + " '" + path + "' 41 16", &out), 0) << out;
    EXPECT_EQ(out.substr(0, out.find('\n')), "glyphs 271");
    EXPECT_NE(out.find("index 65\n"), std::string::npos) << out;

    // 0xFFFF was chosen but is not a character: never mapped, no glyph.
    ttf again;
    ASSERT_EQ(load_bytes(again, saved), 0);
    EXPECT_EQ(again.cmap->get_gno(0xFFFF), 0);
    EXPECT_EQ(again.cmap->get_gno(0xFFFE), 0xFF + 15);
    EXPECT_EQ(again.maxp->numglyphs(), 0xFFu + 15 + 1);
    byte_span loca = again.loca->bytes();
    EXPECT_EQ(loca.u32(0), 0u);
    EXPECT_EQ(loca.u32(4), 10u);
    EXPECT_EQ(loca.u32(4 * 271), 10u);
    EXPECT_EQ(again.glyf->length, 10u);
    // The first save stamps both dates with the same value.
    byte_span head = again.head->bytes();
    EXPECT_NE(head.u64(20), 0u);
    EXPECT_EQ(head.u64(20), head.u64(28));
}

TEST(TtfInit, GlyphCountCoversEveryMappedGlyph) {
    // Without U+0000 the characters take glyphs 1..128, so the font needs
    // 129 glyphs or the last character would map past the end.
    ttf font;
    font.setup = setup_for({1}, {{0x0080, 0x00FF}});
    ASSERT_EQ(font.init(), 0);
    EXPECT_EQ(font.cmap->get_gno(0xFF), 128);
    EXPECT_EQ(font.maxp->numglyphs(), 129u);
    EXPECT_EQ(font.hhea->numhmtx(), 129u);

    ttf none;
    none.setup = setup_for({}, {});
    ASSERT_EQ(none.init(), 0);
    EXPECT_EQ(none.maxp->numglyphs(), 1u); // the missing-character glyph
}

TEST(TtfInit, RefusedWithoutSetupOrTwice) {
    ttf font;
    EXPECT_NE(font.init(), 0);
    EXPECT_EQ(font.dir, nullptr);
    font.setup = setup_for({0}, {{0x20, 0x7E}});
    ASSERT_EQ(font.init(), 0);
    font.setup = setup_for({0}, {{0x20, 0x7E}});
    EXPECT_NE(font.init(), 0);
}

TEST(TtfInit, OnlyCharactersAreMappedAndOs2NamesTheFirstAndLast) {
    struct chosen_case {
        const char* label;
        std::vector<std::pair<unsigned, unsigned>> ranges;
        unsigned glyphs, first, last;
        std::vector<std::pair<unsigned, unsigned>> mapped; // code -> glyph
    };
    const chosen_case cases[] = {
        {"U+0000 alone", {{0, 0}}, 1, 0, 0, {{0, 0}, {0x41, 0}}},
        {"Basic Latin", {{0, 0x7F}}, 128, 1, 0x7F, {{1, 1}, {0x7F, 0x7F}}},
        {"surrogates only", {{0, 0}, {0xD800, 0xDFFF}}, 1, 0, 0, {{0xD800, 0}, {0xDFFF, 0}}},
        {"around the surrogates",
         {{0, 0}, {0xD7FF, 0xE000}},
         3,
         0xD7FF,
         0xE000,
         {{0xD7FF, 1}, {0xD800, 0}, {0xDBFF, 0}, {0xDC00, 0}, {0xDFFF, 0}, {0xE000, 2}}},
        {"specials",
         {{0, 0}, {0xFEFF, 0xFEFF}, {0xFFF0, 0xFFFF}},
         17,
         0xFEFF,
         0xFFFE,
         {{0xFEFF, 1}, {0xFFF0, 2}, {0xFFFE, 16}, {0xFFFF, 0}}},
        {"U+FFFF alone", {{0xFFFF, 0xFFFF}}, 1, 0, 0, {{0xFFFF, 0}}},
    };
    for (const chosen_case& c : cases) {
        SCOPED_TRACE(c.label);
        ttf font;
        font.setup = new setupinfo();
        for (auto r : c.ranges)
            for (unsigned code = r.first; code <= r.second; code++)
                font.setup->chars[code] = 1;
        ASSERT_EQ(font.init(), 0);
        EXPECT_EQ(font.maxp->numglyphs(), c.glyphs);
        EXPECT_EQ(font.hhea->numhmtx(), c.glyphs);
        EXPECT_EQ(font.loca->length, 4 * c.glyphs + 4);
        EXPECT_EQ(font.os2->bytes().u16(64), c.first);
        EXPECT_EQ(font.os2->bytes().u16(66), c.last);
        for (auto m : c.mapped)
            EXPECT_EQ(font.cmap->get_gno((unsigned short)m.first), m.second) << m.first;
        // Saved at once, the font is valid for OTS and FreeType.
        std::string path = save_font(font);
        ASSERT_FALSE(path.empty());
        std::string out;
        EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
        out.clear();
        EXPECT_EQ(run_command(std::string(TAVREL_FT_CHECK) + " '" + path + "'", &out), 0) << out;
    }
}
