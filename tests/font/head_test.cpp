#include "font/head.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "font/font_builder.h"

using namespace font_builder;

TEST(Head, LocaFormatIsLongOnlyForOne) {
    ttf_head head(nullptr, nullptr, 0);
    for (int v : {0, 2, -1, 0x100}) {
        head.writer().put16(50, (uint16_t)v);
        EXPECT_FALSE(head.is32loca()) << v;
    }
    head.set_is32loca(true);
    EXPECT_EQ(head.bytes().u16(50), 1);
}

TEST(Head, BoundsAreSigned) {
    ttf_head head(nullptr, nullptr, 0);
    byte_writer w = head.writer();
    w.put16(36, (uint16_t)-100);
    w.put16(38, (uint16_t)-200);
    w.put16(40, 900);
    w.put16(42, 800);
    EXPECT_EQ(head.bounds(), BRect(-100, 800, 900, -200));
}

TEST(Head, UpdateStampsCreatedOnceAndModifiedAlways) {
    ttf_head head(nullptr, nullptr, 0);
    time_t before = time(nullptr);
    head.update();
    uint64_t created = head.bytes().u64(20);
    EXPECT_EQ(created, head.bytes().u64(28));
    // Seconds since 1904: well past 2020 (3,786,825,600) for any clock
    // this runs on.
    EXPECT_GT(created, 3786825600ull);
    EXPECT_LE(created, (uint64_t)(before - head.epoch1904) + 2);

    head.writer().put64(20, 12345);
    head.writer().put64(28, 0);
    head.update();
    EXPECT_EQ(head.bytes().u64(20), 12345u);
    EXPECT_GE(head.bytes().u64(28), created);
}

TEST(Head, EpochIsLocalMidnightOfJanuaryFirst1904) {
    ttf_head head(nullptr, nullptr, 0);
    struct tm t;
    time_t epoch = head.epoch1904;
    ASSERT_NE(localtime_r(&epoch, &t), nullptr);
    EXPECT_EQ(t.tm_year, 4);
    EXPECT_EQ(t.tm_mon, 0);
    EXPECT_EQ(t.tm_mday, 1);
    EXPECT_EQ(t.tm_hour, 0);
    EXPECT_EQ(t.tm_min, 0);
}

TEST(Head, DatesPast2040KeepTheirHighWord) {
    // Pretend 1904 lies 2^32 + 100 seconds back, as it will in 2040.
    ttf_head head(nullptr, nullptr, 0);
    head.epoch1904 = time(nullptr) - (time_t)0x100000000LL - 100;
    head.update();
    uint64_t modified = head.bytes().u64(28);
    EXPECT_EQ(modified >> 32, 1u);
    EXPECT_GE(modified & 0xFFFFFFFFu, 100u);
    EXPECT_LT(modified & 0xFFFFFFFFu, 200u);
}
