#include "font/ttf_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

unsigned char* table_bytes(std::initializer_list<unsigned char> bytes) {
    unsigned char* p = malloc32((long)bytes.size());
    std::memcpy(p, bytes.begin(), bytes.size());
    return p;
}

} // namespace

TEST(Malloc32, RoundsUpToFourAndZeroFills) {
    unsigned char* p = malloc32(5);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(p[i], 0) << i;
    delete[] p;
    EXPECT_EQ(malloc32(-1), nullptr);
}

TEST(TtfTable, SumB32_PartialLastWordCountsWithZeroPadding) {
    // 54 bytes: 13 full words plus bytes 52-53 followed by two zero bytes.
    unsigned char* p = malloc32(54);
    uint32_t expect = 0;
    for (int i = 0; i < 54; i++)
        p[i] = (unsigned char)(i * 7 + 1);
    for (int w = 0; w < 14; w++) {
        uint32_t word = 0;
        for (int b = 0; b < 4; b++) {
            int i = w * 4 + b;
            word = (word << 8) | (i < 54 ? p[i] : 0);
        }
        expect += word;
    }
    ttf_table t(nullptr, tag_of("head"), p, 54);
    EXPECT_EQ(t.sumB32(), expect);
}

TEST(TtfTable, SumB32_EmptyTableIsZeroAndSumWraps) {
    ttf_table empty(nullptr, tag_of("abcd"), malloc32(0), 0);
    EXPECT_EQ(empty.sumB32(), 0u);
    ttf_table none(nullptr, tag_of("abcd"), nullptr, 0);
    EXPECT_EQ(none.sumB32(), 0u);

    ttf_table wrap(nullptr, tag_of("abcd"), table_bytes({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 2}), 8);
    EXPECT_EQ(wrap.sumB32(), 1u);
}

// A span whose length is not a multiple of 4 sums as if zero-padded.
TEST(TtfTable, Sum32PadsAPartialLastWord) {
    const unsigned char b[] = {0x00, 0x00, 0x01, 0x00, 0x12, 0x34, 0x56};
    EXPECT_EQ(byte_span(b, 4).sum32(), 0x100u);
    EXPECT_EQ(byte_span(b, 5).sum32(), 0x12000100u);
    EXPECT_EQ(byte_span(b, 7).sum32(), 0x12345700u);
    EXPECT_EQ(byte_span(b, 0).sum32(), 0u);
}

TEST(TtfTable, ShowEndsAtExactlyVisibleOrHidden) {
    ttf_table t(nullptr, tag_of("abcd"), nullptr, 0);
    t.Hide();
    t.Hide();
    t.show(true);
    EXPECT_FALSE(t.IsHidden());
    // One Hide now hides it: the nesting count is at exactly visible.
    t.Hide();
    EXPECT_TRUE(t.IsHidden());
    t.Show();

    t.Show();
    t.Show(); // shown more than needed
    t.show(false);
    EXPECT_TRUE(t.IsHidden());
    t.Show();
    EXPECT_FALSE(t.IsHidden());
}

TEST(TtfTable, CheckedAccessStopsAtLength) {
    ttf_table t(nullptr, tag_of("abcd"), table_bytes({1, 2, 3}), 3);
    EXPECT_EQ(t.bytes().u16(1), 0x0203);
    EXPECT_EQ(t.bytes().u16(2), 0); // would read the padding
    EXPECT_FALSE(t.writer().put16(2, 0xFFFF));
    EXPECT_EQ(t.data[3], 0);
}

// Splicing replaces a range and moves the rest, in place while the buffer
// has room and through a new buffer otherwise; the padding up to a multiple
// of 4 stays zero either way, so the checksum stays right.
TEST(TtfTable, SpliceMovesTheRestAndKeepsThePaddingZero) {
    auto contents = [](const ttf_table& t) {
        return std::vector<unsigned char>(t.data, t.data + t.length);
    };
    auto padding_is_zero = [](const ttf_table& t) {
        for (size_t i = t.length; i < ((t.length + 3) & ~3UL); i++)
            if (t.data[i] != 0)
                return false;
        return true;
    };
    ttf_table t(nullptr, tag_of("glyf"), table_bytes({1, 2, 3, 4, 5, 6, 7, 8}), 8);
    const unsigned char grow[] = {9, 9, 9, 9, 9};
    ASSERT_TRUE(t.splice(2, 1, grow, 5)); // no room known: a new buffer
    EXPECT_EQ(contents(t), (std::vector<unsigned char>{1, 2, 9, 9, 9, 9, 9, 4, 5, 6, 7, 8}));
    const unsigned char* moved_to = t.data;

    const unsigned char shrink[] = {7};
    ASSERT_TRUE(t.splice(1, 6, shrink, 1)); // in place
    EXPECT_EQ(t.data, moved_to);
    EXPECT_EQ(contents(t), (std::vector<unsigned char>{1, 7, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(padding_is_zero(t));
    EXPECT_EQ(t.sumB32(), 0x01070405u + 0x06070800u);

    ASSERT_TRUE(t.splice(7, 0, grow, 3)); // appended, still in place
    EXPECT_EQ(t.data, moved_to);
    EXPECT_EQ(contents(t), (std::vector<unsigned char>{1, 7, 4, 5, 6, 7, 8, 9, 9, 9}));
    EXPECT_TRUE(padding_is_zero(t));

    // A range outside the table changes nothing.
    EXPECT_FALSE(t.splice(9, 2, grow, 1));
    EXPECT_FALSE(t.splice(11, 0, grow, 1));
    EXPECT_EQ(contents(t), (std::vector<unsigned char>{1, 7, 4, 5, 6, 7, 8, 9, 9, 9}));

    // Growing past the room moves the table again and keeps everything.
    std::vector<unsigned char> big(100, 0xAB);
    ASSERT_TRUE(t.splice(0, 0, big.data(), big.size()));
    EXPECT_EQ(t.length, 110u);
    EXPECT_EQ(t.data[99], 0xAB);
    EXPECT_EQ(t.data[100], 1);
    EXPECT_EQ(t.data[109], 9);
    EXPECT_TRUE(padding_is_zero(t));
}
