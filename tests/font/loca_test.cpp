#include "font/loca.h"

#include "font/glyf.h"
#include "font/head.h"
#include "font/ttf.h"

#include <gtest/gtest.h>

#include <cstring>

#include "font/font_builder.h"

using namespace font_builder;

namespace {

unsigned char* copy(const bytes& b) {
    unsigned char* p = malloc32((long)b.size());
    std::memcpy(p, b.data(), b.size());
    return p;
}

bytes short_loca(std::initializer_list<uint32_t> halves) {
    bytes b;
    for (uint32_t v : halves)
        add16(b, v);
    return b;
}

bytes long_loca(std::initializer_list<uint32_t> offsets) {
    bytes b;
    for (uint32_t v : offsets)
        add32(b, v);
    return b;
}

struct loca_font {
    ttf font;
    loca_font(const bytes& loca, int format, unsigned long glyflength) {
        bytes h = head_table(format);
        font.head = new ttf_head(&font, copy(h), h.size());
        font.loca = new ttf_loca(&font, copy(loca), loca.size());
        font.glyf = new ttf_glyf(&font, malloc32((long)glyflength), glyflength);
    }
};

} // namespace

TEST(Loca, NewFontHasEveryGlyphEmpty) {
    ttf font;
    font.setup = new setupinfo();
    font.setup->glyphcount = 0x10005; // only the low 16 bits count
    ttf_loca loca(&font, nullptr, 0);
    EXPECT_EQ(loca.length, 4u * 5 + 4);
    for (int g = 0; g < 5; g++) {
        unsigned long off = 1, len = 1;
        ASSERT_EQ(loca.get_offset(true, g, &off, &len), 0);
        EXPECT_EQ(off, 0u);
        EXPECT_EQ(len, 0u);
    }
    ASSERT_EQ(loca.chg_length(true, 0, 20), 0);
    unsigned long off, len;
    loca.get_offset(true, 0, &off, &len);
    EXPECT_EQ(off, 0u);
    EXPECT_EQ(len, 20u);
    loca.get_offset(true, 1, &off, &len);
    EXPECT_EQ(off, 20u);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(loca.bytes().u32(20), 20u); // the final entry moves too
}

TEST(Loca, GetOffsetChecksTheEntryExists) {
    loca_font f(long_loca({0, 12, 40}), 1, 40);
    unsigned long off = 7, len = 7;
    EXPECT_EQ(f.font.loca->get_offset(true, 1, &off, &len), 0);
    EXPECT_EQ(off, 12u);
    EXPECT_EQ(len, 28u);
    EXPECT_EQ(f.font.loca->get_offset(true, 3, &off, &len), -1);
    EXPECT_EQ(f.font.loca->get_offset(true, -1, &off, &len), -1);
    EXPECT_EQ(f.font.loca->get_offset(true, 0x7FFFFFFF, &off, &len), -1);
    EXPECT_EQ(off, 12u);

    loca_font s(short_loca({0, 6, 20}), 0, 40);
    EXPECT_EQ(s.font.loca->get_offset(false, 1, &off, &len), 0);
    EXPECT_EQ(off, 12u);
    EXPECT_EQ(len, 28u);
    EXPECT_EQ(s.font.loca->get_offset(false, 3, &off, &len), -1);
}

TEST(Loca, MissingFinalEntryEndsAtTheGlyphTable) {
    // Real fonts ship loca with numGlyphs entries: the last glyph then runs
    // to the end of glyf, not to a length measured against loca itself.
    loca_font f(long_loca({0, 12}), 1, 30);
    unsigned long off, len;
    ASSERT_EQ(f.font.loca->get_offset(true, 1, &off, &len), 0);
    EXPECT_EQ(off, 12u);
    EXPECT_EQ(len, 18u);
    // An entry that is not whole does not exist.
    loca_font g(long_loca({0, 12}), 1, 30);
    g.font.loca->length = 6;
    EXPECT_EQ(g.font.loca->get_offset(true, 1, &off, &len), -1);
}

TEST(Loca, EntriesRunningBackwardsAreDamaged) {
    loca_font f(long_loca({0, 40, 12}), 1, 40);
    unsigned long off, len;
    EXPECT_EQ(f.font.loca->get_offset(true, 1, &off, &len), -1);
    EXPECT_EQ(f.font.loca->chg_length(true, 1, 4), -1);
    EXPECT_EQ(f.font.loca->bytes().u32(8), 12u);
}

TEST(Loca, ChangedLengthShiftsEveryLaterEntry) {
    // 0xFFFF is a real offset in the short format, not a stop marker.
    loca_font f(long_loca({0, 40, 0xFFFFFFFF, 60, 80}), 1, 80);
    ASSERT_EQ(f.font.loca->chg_length(true, 0, 12), 0); // 40 -> 12: down by 28
    byte_span b = f.font.loca->bytes();
    EXPECT_EQ(b.u32(0), 0u);
    EXPECT_EQ(b.u32(4), 12u);
    EXPECT_EQ(b.u32(8), 0xFFFFFFFFu - 28);
    EXPECT_EQ(b.u32(12), 32u);
    EXPECT_EQ(b.u32(16), 52u);

    loca_font s(short_loca({0, 20, 0xFFFF, 30}), 0, 60);
    s.font.loca->writer().put16(4, 0x7000);
    ASSERT_EQ(s.font.loca->chg_length(false, 0, 12), 0); // 40 -> 12 bytes
    b = s.font.loca->bytes();
    EXPECT_EQ(b.u16(2), 6);
    EXPECT_EQ(b.u16(4), 0x7000 - 14);
    EXPECT_EQ(b.u16(6), 16);
    EXPECT_FALSE(s.font.head->is32loca());
}

TEST(Loca, ShortFormatThatWouldOverflowBecomesLong) {
    loca_font s(short_loca({0, 10, 0xFFF0, 0xFFFE}), 0, 0x1FFFC);
    ASSERT_EQ(s.font.loca->chg_length(false, 0, 100), 0); // +80 bytes
    EXPECT_TRUE(s.font.head->is32loca());
    EXPECT_EQ(s.font.loca->length, 16u);
    byte_span b = s.font.loca->bytes();
    EXPECT_EQ(b.u32(0), 0u);
    EXPECT_EQ(b.u32(4), 100u);
    EXPECT_EQ(b.u32(8), 0x1FFE0u + 80);
    EXPECT_EQ(b.u32(12), 0x1FFFCu + 80);

    // An odd record length cannot be expressed in halves either.
    loca_font odd(short_loca({0, 10, 20}), 0, 40);
    ASSERT_EQ(odd.font.loca->chg_length(false, 0, 21), 0);
    EXPECT_TRUE(odd.font.head->is32loca());
    EXPECT_EQ(odd.font.loca->bytes().u32(4), 21u);
    EXPECT_EQ(odd.font.loca->bytes().u32(8), 41u);
}

TEST(Loca, ShortFormatWithoutHeadCannotWiden) {
    bytes b = short_loca({0, 10, 0xFFF0});
    ttf_loca loca(nullptr, copy(b), b.size());
    EXPECT_EQ(loca.chg_length(false, 0, 100), -1);
    EXPECT_EQ(loca.bytes().u16(4), 0xFFF0); // unchanged
}
