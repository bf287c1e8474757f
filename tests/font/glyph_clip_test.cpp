// The clipboard's glyph type: what is written reads back the same, every
// damaged or oversized form is refused without reading past the data, and
// scaling between unitsPerEm rounds and refuses what would not fit.
#include "font/glyf_components.h"
#include "font/glyph_clip.h"

#include <gtest/gtest.h>

namespace {

glyph_clips sample() {
    glyph_clips c;
    c.units_per_em = 1000;
    glyph_clip outline;
    outline.contours = {{{0, 0, true}, {-5, 700, false}, {32767, -32768, true}},
                        {{1, 2, true}, {3, 4, true}, {5, 6, false}}};
    outline.instructions = {0xB0, 0x01, 0x2E};
    glyph_clip composite;
    composite.components = {{7, 10, -20, 0x4000, 0, 0, 0x4000, glyf_flag::args_are_xy},
                            {8, 3, 1, 0x2000, 0x100, 0, 0x4000, glyf_flag::use_my_metrics}};
    c.glyphs = {outline, composite, glyph_clip()};
    return c;
}

} // namespace

TEST(GlyphClip, EncodedGlyphsReadBackAndEveryShortenedOrDamagedFormIsRefused) {
    const glyph_clips in = sample();
    const std::string data = encode_glyph_clips(in);
    glyph_clips out;
    std::string why;
    ASSERT_TRUE(parse_glyph_clips(data, &out, &why)) << why;
    EXPECT_EQ(out.units_per_em, 1000);
    EXPECT_EQ(out.glyphs, in.glyphs);

    for (size_t n = 0; n < data.size(); n++)
        EXPECT_FALSE(parse_glyph_clips(data.substr(0, n), &out, &why)) << n;
    EXPECT_FALSE(parse_glyph_clips(data + '\0', &out, &why));

    // One byte changed at a time: the counts, the flags, the version.
    const struct {
        size_t at;
        uint8_t value;
        const char* why;
    } damaged[] = {
        {0, 'X', "does not hold glyphs"},   {5, 2, "another version"},
        {6, 0x80, "impossible unitsPerEm"}, {8, 0xFF, "cut short"}, // 65,280 glyphs claimed
        {10, 0x02, "more than 512"},                                // 512 + 2 contours
        {12, 0x01, "both contours"},                                // and 256 components
        {14, 0x04, "more than 1024"},                               // 1,026 points
        {20, 2, "unknown flags"},                                   // the first point's flags
    };
    for (const auto& d : damaged) {
        std::string bad = data;
        bad[d.at] = (char)d.value;
        EXPECT_FALSE(parse_glyph_clips(bad, &out, &why)) << d.at;
        EXPECT_NE(why.find(d.why), std::string::npos) << d.at << ": " << why;
    }
}

TEST(GlyphClip, ScalingBetweenUnitsPerEmRoundsOffsetsButNotMatchedPoints) {
    glyph_clips c = sample();
    glyph_clip g = c.glyphs[1];
    ASSERT_TRUE(scale_glyph_clip(&g, 1000, 2048));
    EXPECT_EQ(g.components[0].arg1, 20); // 10 * 2.048 = 20.48
    EXPECT_EQ(g.components[0].arg2, -41);
    EXPECT_EQ(g.components[1].arg1, 3) << "point numbers stay";
    glyph_clip small;
    small.contours = {{{1000, -999, true}, {1, 3, false}}};
    ASSERT_TRUE(scale_glyph_clip(&small, 2048, 1000));
    EXPECT_EQ(small.contours[0][0].x, 488);
    EXPECT_EQ(small.contours[0][0].y, -488);
    EXPECT_EQ(small.contours[0][1].y, 1);
    glyph_clip huge = c.glyphs[0];
    EXPECT_FALSE(scale_glyph_clip(&huge, 1000, 2048));
    EXPECT_EQ(huge, c.glyphs[0]) << "unchanged when it does not fit";
}
