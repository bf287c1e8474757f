#include "font/bitmap.h"

#include <gtest/gtest.h>

TEST(Bitmap, StartsEmptyWithTheStrikeAdvance) {
    bitmap b(7, 12, 14, 1);
    EXPECT_EQ(b.gno, 7);
    EXPECT_EQ(b.advance, 12);
    EXPECT_EQ(b.width, 0);
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(b.vrect, BRect(0, 0, 0, 0));
}

TEST(Bitmap, CellMappingPutsTheBaselineOnTheBottomEdge) {
    bitmap b(1, 12, 12, 1);
    b.setvrect(BRect(100, 100, 399, 399));
    b.bearingx = 1;
    b.bearingy = 10;
    float cw, ch, x0, y0;
    ASSERT_TRUE(b.cell_mapping(&cw, &ch, &x0, &y0));
    EXPECT_EQ(cw, 25);
    EXPECT_EQ(ch, 25);
    EXPECT_EQ(x0, 125);
    EXPECT_EQ(y0, 150);

    bitmap none(1, 0, 12, 1);
    EXPECT_FALSE(none.cell_mapping(&cw, &ch, &x0, &y0));
}

TEST(Bitmap, CreateTogglesThePixelUnderThePointAndNothingOutside) {
    bitmap b(1, 12, 12, 1);
    b.setvrect(BRect(100, 100, 399, 399));
    b.bearingx = 1;
    b.bearingy = 10;
    b.width = 3;
    b.height = 2;
    b.pixels = new unsigned char[6]();
    unsigned char unused = 0;

    EXPECT_EQ(b.create(unused, BPoint(125, 150)), 0); // top-left corner: (0, 0)
    EXPECT_EQ(b.pixels[0], 1);
    EXPECT_EQ(b.create(unused, BPoint(149.9f, 174.9f)), 0); // still cell (0, 0)
    EXPECT_EQ(b.pixels[0], 0);
    EXPECT_EQ(b.create(unused, BPoint(175, 199)), 0); // (2, 1)
    EXPECT_EQ(b.pixels[5], 1);

    const BPoint outside[] = {BPoint(124.5f, 160), BPoint(130, 149.5f), BPoint(200, 160),
                              BPoint(130, 200), BPoint(-1e9f, -1e9f)};
    for (const BPoint& p : outside)
        EXPECT_EQ(b.create(unused, p), 1) << p.x << "," << p.y;
    EXPECT_EQ(b.pixels[0] + b.pixels[1] + b.pixels[2] + b.pixels[3] + b.pixels[4], 0);

    bitmap empty(1, 12, 12, 1);
    empty.setvrect(BRect(0, 0, 99, 99));
    EXPECT_EQ(empty.create(unused, BPoint(0, 0)), 1);
}
