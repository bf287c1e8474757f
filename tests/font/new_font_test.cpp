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
    // Every glyph of a new font is blank until drawn, so its glyph table is
    // empty; OTS refuses exactly that and nothing else.
    out.clear();
    EXPECT_NE(run_command("ots-sanitize '" + path + "'", &out), 0);
    EXPECT_EQ(out, "ERROR: glyf: zero-length table\nFailed to sanitize file!\n");
    out.clear();
    EXPECT_EQ(
        run_command(python() + " '" + source_dir() + "/tests/tools/check_font.py' '" + path + "'",
                    &out),
        0)
        << out;

    // With one record in the glyph table the rest of the new font passes.
    ttf drawn;
    drawn.setup = setup_for({0, 1, 70}, {{0x0000, 0x00FF}, {0xFFF0, 0xFFFF}});
    ASSERT_EQ(drawn.init(), 0);
    // One contour of one on-curve point at (0, 0).
    const unsigned char dot[16] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x31, 0};
    unsigned char* record = malloc32(16);
    std::memcpy(record, dot, 16);
    drawn.glyf->replace_data(record, 16);
    ASSERT_EQ(drawn.loca->chg_length(true, 0, 16), 0);
    std::string drawnpath = save_font(drawn);
    out.clear();
    EXPECT_EQ(run_command("ots-sanitize '" + drawnpath + "'", &out), 0) << out;

    // 0xFFFF was chosen but is never mapped; its glyph number is still used.
    ttf again;
    ASSERT_EQ(load_bytes(again, saved), 0);
    EXPECT_EQ(again.cmap->get_gno(0xFFFF), 0);
    EXPECT_EQ(again.cmap->get_gno(0xFFFE), 0xFF + 15);
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
