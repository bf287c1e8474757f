// The field-list views of head, hhea, maxp, post, OS/2 and EBLC: values
// formatted from the table's bytes, tables shorter than their layout shown
// without reading past them, and the lists drawn white on black.
#include "font/eblc.h"
#include "font/field_list.h"
#include "font/head.h"
#include "font/os2.h"

#include "kit/kit_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace kit_testing;

namespace {

unsigned char* table_bytes(std::initializer_list<unsigned char> bytes, size_t length) {
    unsigned char* data = malloc32((long)length);
    size_t i = 0;
    for (unsigned char b : bytes)
        if (i < length)
            data[i++] = b;
    return data;
}

std::string formatted(const unsigned char* data, size_t length, unsigned offset, unsigned width) {
    char text[32];
    format_field(byte_span(data, length), field_row{"", offset, width}, text, sizeof text);
    return text;
}

// Pixels that are not black inside a rectangle of the window.
int lit(BWindow* window, int32 left, int32 top, int32 right, int32 bottom) {
    int count = 0;
    for (int32 y = top; y <= bottom; y++)
        for (int32 x = left; x <= right; x++)
            if (rgb(window, x, y) != 0)
                count++;
    return count;
}

// Shows a table view alone in a window the size of a table view.
BWindow* show_table(ttf_table* table) {
    BWindow* window = open_window(561, 511, "table");
    locked(window, [&] { window->AddChild(table); });
    screen().wait_idle();
    return window;
}

} // namespace

TEST(FieldList, ValuesAreHexOfTheirWidthAndFieldsPastTheEndAreMissing) {
    const unsigned char data[] = {0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc, 0xde, 0xf0, 0xff};
    struct {
        unsigned offset, width;
        size_t length;
        const char* shown;
    } const cases[] = {
        {0, 1, 9, "12"},
        {1, 2, 9, "3456"},
        {0, 4, 9, "12345678"},
        {0, 8, 9, "123456789abcdef0"},
        {8, 1, 9, "ff"},          // the last byte
        {8, 2, 9, FIELD_MISSING}, // straddles the end
        {6, 4, 9, FIELD_MISSING},
        {9, 1, 9, FIELD_MISSING}, // one past the end
        {0xFFFFFFFFu, 4, 9, FIELD_MISSING},
        {0, 2, 0, FIELD_MISSING}, // an empty table
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatted(data, c.length, c.offset, c.width), c.shown)
            << "offset " << c.offset << " width " << c.width;
}

TEST(FieldList, DatesShowInFull64Bits) {
    ttf_head head(nullptr, nullptr, 0);
    char text[96] = "0000000000000000";
    append_date(0, head.epoch1904, text, sizeof text);
    EXPECT_STREQ(text, "0000000000000000 (1904/01/01 00:00:00)");

    // 2^32 seconds after 1904 falls in February 2040; a 32-bit sum would
    // wrap back to 1904.
    char later[96] = "";
    append_date(0x100000000ULL + 86400ULL * 30, head.epoch1904, later, sizeof later);
    EXPECT_EQ(std::string(later).substr(0, 6), " (2040") << later;

    // Too small a buffer is left terminated and unchanged.
    char tiny[4] = "abc";
    append_date(0, head.epoch1904, tiny, sizeof tiny);
    EXPECT_STREQ(tiny, "abc");
}

TEST(FieldList, HeadListIsWhiteOnBlackWithOneRowPerField) {
    ttf_head* head = new ttf_head(nullptr, nullptr, 0);
    BWindow* window = show_table(head);
    // Black between and beside the rows, text in the label and value
    // columns of the first and the last (17th) row.
    EXPECT_EQ(rgb(window, 5, 5), 0u);
    EXPECT_EQ(rgb(window, 300, 400), 0u);
    EXPECT_GT(lit(window, 20, 10, 160, 22), 20);
    EXPECT_GT(lit(window, 170, 10, 260, 22), 20);
    EXPECT_GT(lit(window, 20, 250, 160, 262), 20);
    EXPECT_GT(lit(window, 170, 250, 260, 262), 5);
    EXPECT_EQ(lit(window, 20, 270, 560, 511), 0);
    close(window);
}

TEST(FieldList, ShortHeadShowsMissingFieldsWithoutReadingPastIt) {
    // Rows 10 and 11 (xMax, yMax) lie at 40..43: a 40-byte table lacks them.
    ttf_head* full = new ttf_head(nullptr, nullptr, 0);
    BWindow* window = show_table(full);
    int row10 = lit(window, 170, 160, 300, 172);
    close(window);

    ttf_head* shortened = new ttf_head(nullptr, table_bytes({0, 1, 0, 0}, 40), 40);
    window = show_table(shortened);
    int missing = lit(window, 170, 160, 300, 172);
    int label = lit(window, 20, 160, 160, 172);
    close(window);
    EXPECT_GT(label, 0);
    EXPECT_GT(missing, 0);
    EXPECT_LT(missing * 3, row10) << "a missing field shows a dash, not digits";
}

TEST(FieldList, Os2VersionZeroShowsItsFieldsAndMarksTheCodePagesMissing) {
    // Version 0 ends after usWinDescent (78 bytes): the two code-page rows
    // (rows 13 and 14 of the third column, baselines 215 and 230) are
    // missing; usWinDescent (row 12) is there.
    unsigned char* data = table_bytes({0, 0}, 78);
    data[76] = 0x12;
    data[77] = 0x34;
    ttf_os2* os2 = new ttf_os2(nullptr, data, 78);
    BWindow* window = show_table(os2);
    int windescent = lit(window, 450, 190, 560, 202);
    int codepages = lit(window, 450, 205, 560, 232);
    close(window);
    EXPECT_GT(windescent, 0);
    EXPECT_GT(codepages, 0);
    EXPECT_LT(codepages, windescent);
}

TEST(FieldList, EblcShowsOnlyStrikesThatLieInsideTheTable) {
    // numSizes claims 1000 strikes but the table holds exactly one.
    const size_t length = 8 + 48;
    unsigned char* data = table_bytes({0, 2, 0, 0, 0, 0, 0x03, 0xE8}, length);
    data[8 + 44] = 12; // ppemX of the one strike
    ttf_eblc* eblc = new ttf_eblc(nullptr, data, length);
    BWindow* window = show_table(eblc);
    int first = lit(window, 170, 40, 235, 511);
    int second = lit(window, 240, 40, 305, 511);
    close(window);
    EXPECT_GT(first, 100);
    EXPECT_EQ(second, 0);
}
