#include "font/glyf.h"

#include "font/glyf_info.h"
#include "font/maxp.h"
#include "font/ttf.h"

#include <gtest/gtest.h>

#include "font/font_builder.h"

using namespace font_builder;

namespace {

struct info {
    int result;
    unsigned short depth, components, contours, points;
};

info info_of(ttf& font, unsigned g) {
    info i = {};
    i.result =
        font.glyf->get_info((unsigned short)g, &i.depth, &i.components, &i.contours, &i.points);
    return i;
}

void load_glyphs(ttf& font, const std::vector<bytes>& records) {
    ASSERT_EQ(load_bytes(font, sfnt(font_tables(records))), 0);
}

// A composite entry with word arguments and a 2x2 transform, to check that
// entry sizes are stepped over right.
bytes wide_composite(unsigned first, unsigned second) {
    bytes b;
    add16(b, 0xFFFF);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    add16(b, 0x0001 | 0x0002 | 0x0080 | 0x0020);
    add16(b, first);
    add32(b, 0x00010002);
    for (int i = 0; i < 4; i++)
        add16(b, 0x4000);
    add16(b, 0x0002 | 0x0040 | 0x0100);
    add16(b, second);
    add16(b, 0x0102);
    add32(b, 0x40004000);
    add16(b, 1); // instructions
    b.push_back(0);
    b.push_back(0);
    return b;
}

} // namespace

TEST(GlyfInfo, SimpleEmptyAndCompositeCounts) {
    ttf font;
    load_glyphs(font, {bytes(), simple_glyph(3), simple_glyph(5), composite_glyph({1, 2}),
                       wide_composite(3, 2), composite_glyph({0, 1})});
    info empty = info_of(font, 0);
    EXPECT_EQ(empty.result, 0);
    EXPECT_EQ(empty.points + empty.contours + empty.depth, 0);
    info simple = info_of(font, 2);
    EXPECT_EQ(simple.depth, 0);
    EXPECT_EQ(simple.contours, 1);
    EXPECT_EQ(simple.points, 5);
    info comp = info_of(font, 3);
    EXPECT_EQ(comp.depth, 1);
    EXPECT_EQ(comp.components, 2);
    EXPECT_EQ(comp.contours, 2);
    EXPECT_EQ(comp.points, 8);
    // A composite of a composite: depth 2, counts summed recursively.
    info nested = info_of(font, 4);
    EXPECT_EQ(nested.result, 0);
    EXPECT_EQ(nested.depth, 2);
    EXPECT_EQ(nested.components, 2);
    EXPECT_EQ(nested.contours, 3);
    EXPECT_EQ(nested.points, 13);
    // An empty component still counts as a component.
    EXPECT_EQ(info_of(font, 5).components, 2);
    EXPECT_EQ(info_of(font, 5).points, 3);

    font.maxp->update();
    byte_span m = font.maxp->bytes();
    EXPECT_EQ(m.u16(6), 5);   // maxPoints
    EXPECT_EQ(m.u16(8), 1);   // maxContours
    EXPECT_EQ(m.u16(10), 13); // maxCompositePoints
    EXPECT_EQ(m.u16(12), 3);  // maxCompositeContours
    EXPECT_EQ(m.u16(28), 2);  // maxComponentElements
    EXPECT_EQ(m.u16(30), 2);  // maxComponentDepth
}

TEST(GlyfInfo, MaximaWithoutCompositesAreZero) {
    ttf font;
    load_glyphs(font, {simple_glyph(2)});
    font.maxp->writer().put16(30, 1);
    font.maxp->writer().put16(10, 99);
    font.maxp->update();
    EXPECT_EQ(font.maxp->bytes().u16(10), 0);
    EXPECT_EQ(font.maxp->bytes().u16(30), 0);
    EXPECT_EQ(font.maxp->bytes().u16(6), 2);
}

TEST(GlyfInfo, CyclesAndDamagedComponentsFail) {
    ttf font;
    // 1 refers to itself; 2 and 3 to each other; 4 uses the cycle; 5 has a
    // component past numGlyphs (dropped, as decoding drops it); 6 is cut
    // short in the middle of its entry.
    bytes cut = composite_glyph({0});
    cut.resize(14);
    load_glyphs(font,
                {simple_glyph(4), composite_glyph({1}), composite_glyph({3}),
                 composite_glyph({0, 2}), composite_glyph({0, 3}), composite_glyph({0, 900}), cut});
    for (unsigned g : {1, 2, 3, 4, 6}) {
        info i = info_of(font, g);
        EXPECT_EQ(i.result, -1) << g;
        EXPECT_EQ(i.points + i.contours + i.depth + i.components, 0) << g;
    }
    info dropped = info_of(font, 5);
    EXPECT_EQ(dropped.result, 0);
    EXPECT_EQ(dropped.components, 1);
    EXPECT_EQ(dropped.points, 4);
    EXPECT_EQ(info_of(font, 7).result, -1); // not below numGlyphs

    // Damaged glyphs count as empty for the maxima.
    font.maxp->update();
    EXPECT_EQ(font.maxp->bytes().u16(10), 4);
    EXPECT_EQ(font.maxp->bytes().u16(30), 1);
}

TEST(GlyfInfo, NestingDepthIsLimited) {
    // Glyph g + 1 uses glyph g: a chain of composites one deeper each.
    std::vector<bytes> records = {simple_glyph(2)};
    for (unsigned g = 0; g < GLYF_MAX_COMPONENT_DEPTH + 5; g++)
        records.push_back(composite_glyph({g}));
    ttf font;
    load_glyphs(font, records);
    EXPECT_EQ(info_of(font, GLYF_MAX_COMPONENT_DEPTH).depth, GLYF_MAX_COMPONENT_DEPTH);
    EXPECT_EQ(info_of(font, GLYF_MAX_COMPONENT_DEPTH + 1).result, -1);
    // The cache gives the same answers whichever glyph is asked first.
    glyf_info_cache cache;
    unsigned short d, c, nc, np;
    EXPECT_EQ(font.glyf->get_info(GLYF_MAX_COMPONENT_DEPTH + 3, &d, &c, &nc, &np, &cache), -1);
    EXPECT_EQ(font.glyf->get_info(3, &d, &c, &nc, &np, &cache), 0);
    EXPECT_EQ(d, 3);
    EXPECT_EQ(np, 2);
}

TEST(GlyfInfo, WideFanOutStaysFast) {
    // Each glyph uses the one before it a hundred times, as deep as glyphs
    // may nest: without sharing results this would be 100^16 visits.
    std::vector<bytes> records = {simple_glyph(1)};
    for (unsigned g = 0; g < GLYF_MAX_COMPONENT_DEPTH; g++)
        records.push_back(composite_glyph(std::vector<unsigned>(100, g)));
    ttf font;
    load_glyphs(font, records);
    info top = info_of(font, GLYF_MAX_COMPONENT_DEPTH);
    EXPECT_EQ(top.result, 0);
    EXPECT_EQ(top.depth, GLYF_MAX_COMPONENT_DEPTH);
    EXPECT_EQ(top.points, 0xFFFF); // saturated, not wrapped
    font.maxp->update();
    EXPECT_EQ(font.maxp->bytes().u16(30), GLYF_MAX_COMPONENT_DEPTH);
}

TEST(GlyfRect, StoredBoxOrEmptyBox) {
    bytes g = simple_glyph(3);
    put16(g, 2, (uint16_t)-10);
    put16(g, 4, (uint16_t)-20);
    put16(g, 6, 30);
    put16(g, 8, 40);
    ttf font;
    load_glyphs(font, {bytes(), g, bytes(4, 0)});
    short x0, y0, x1, y1;
    ASSERT_EQ(font.glyf->get_rect(0, &x0, &y0, &x1, &y1), 0);
    EXPECT_EQ(x0, 32767);
    EXPECT_EQ(y0, 32767);
    EXPECT_EQ(x1, -32768);
    EXPECT_EQ(y1, -32768);
    ASSERT_EQ(font.glyf->get_rect(1, &x0, &y0, &x1, &y1), 0);
    EXPECT_EQ(x0, -10);
    EXPECT_EQ(y0, -20);
    EXPECT_EQ(x1, 30);
    EXPECT_EQ(y1, 40);
    EXPECT_EQ(font.glyf->get_rect(2, &x0, &y0, &x1, &y1), -1); // shorter than a header
    EXPECT_EQ(font.glyf->get_rect(3, &x0, &y0, &x1, &y1), -1);
}
