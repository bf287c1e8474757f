#include "font/head.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "font/field_list.h"
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

// Sets TZ for the life of the object and puts the old value back after.
class time_zone {
  public:
    explicit time_zone(const char* zone) {
        const char* old = getenv("TZ");
        fHad = old != nullptr;
        if (fHad)
            fOld = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~time_zone() {
        if (fHad)
            setenv("TZ", fOld.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    bool fHad = false;
    std::string fOld;
};

TEST(Head, DatesCountSecondsSince1904InUtcWhateverTheZone) {
    // 1904-01-01 to 1970-01-01 is 66 years with 17 leap days.
    const int64_t unix_from_1904 = (66 * 365 + 17) * 86400LL;
    for (const char* zone : {"JST-9", "EST+5", "UTC0"}) {
        SCOPED_TRACE(zone);
        time_zone tz(zone);
        ttf_head head(nullptr, nullptr, 0);
        time_t before = time(nullptr);
        head.update();
        time_t after = time(nullptr);
        int64_t modified = (int64_t)head.bytes().u64(28);
        EXPECT_GE(modified, before + unix_from_1904);
        EXPECT_LE(modified, after + unix_from_1904);

        // The view shows the stored moment as the same calendar date in
        // every zone: 0 is the epoch itself, 3,786,912,000 is 2024-01-01.
        char zero[64] = "";
        append_date(0, head.epoch1904, zero, sizeof zero);
        EXPECT_STREQ(zero, " (1904/01/01 00:00:00)");
        char later[64] = "";
        append_date(3786912000ull + 3661, head.epoch1904, later, sizeof later);
        EXPECT_STREQ(later, " (2024/01/01 01:01:01)");
    }
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
