#include <Rect.h>

#include <gtest/gtest.h>

TEST(BRect, InclusiveWidthAndContainment) {
    BRect r(10, 20, 30, 60);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 40);
    EXPECT_TRUE(r.Contains(BPoint(30, 60))); // edges are inside
    EXPECT_FALSE(r.Contains(BPoint(30.5f, 60)));
    EXPECT_TRUE(r.Intersects(BRect(30, 60, 40, 70)));
    EXPECT_FALSE(r.Intersects(BRect(31, 60, 40, 70)));
    EXPECT_FALSE(BRect().IsValid());
    EXPECT_EQ(r.OffsetToCopy(0, 0), BRect(0, 0, 20, 40));
    EXPECT_EQ((r | BRect(0, 0, 1, 1)), BRect(0, 0, 30, 60));
}
