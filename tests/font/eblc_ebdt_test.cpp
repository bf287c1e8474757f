// The embedded bitmap tables together: lookups in EBLC, images in EBDT,
// checked against fontTools on a font it compiled, and hostile variants.
#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"

#include "font/font_builder.h"
#include "font/history.h"
#include "font/ttf.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

template <class T> std::unique_ptr<T> table(const std::vector<unsigned char>& bytes) {
    unsigned char* p = malloc32((long)bytes.size());
    if (!bytes.empty())
        std::memcpy(p, bytes.data(), bytes.size());
    return std::make_unique<T>(nullptr, p, bytes.size());
}

std::vector<unsigned char> contents(const ttf_table& t) {
    return std::vector<unsigned char>(t.data, t.data + t.length);
}

// EBLC with one strike of one index subtable: header at 0, the strike
// record at 8, the subtable array at 56 and the subtable at 64.
std::vector<unsigned char> one_strike(unsigned char ppem, unsigned short first, unsigned short last,
                                      unsigned short indexFormat, unsigned short imageFormat,
                                      uint32_t imageDataOffset,
                                      const std::vector<unsigned char>& body) {
    std::vector<unsigned char> t(64 + 8 + body.size());
    byte_writer w(t.data(), t.size());
    w.put32(0, 0x00020000);
    w.put32(4, 1);
    w.put32(8, 56);
    w.put32(12, (uint32_t)(t.size() - 56));
    w.put32(16, 1);
    w.put16(8 + 40, first);
    w.put16(8 + 42, last);
    w.put8(8 + 44, ppem);
    w.put8(8 + 45, ppem);
    w.put8(8 + 46, 1);
    w.put16(56, first);
    w.put16(58, last);
    w.put32(60, 8);
    w.put16(64, indexFormat);
    w.put16(66, imageFormat);
    w.put32(68, imageDataOffset);
    std::copy(body.begin(), body.end(), t.begin() + 72);
    return t;
}

std::vector<unsigned char> u32s(std::initializer_list<uint32_t> values) {
    std::vector<unsigned char> out;
    for (uint32_t v : values) {
        for (int s = 24; s >= 0; s -= 8)
            out.push_back((unsigned char)(v >> s));
    }
    return out;
}

std::string pixels_of(const bitmap& b) {
    std::string s;
    for (size_t i = 0; b.pixels && i < (size_t)b.width * b.height; i++)
        s += b.pixels[i] ? '1' : '0';
    return s.empty() ? "-" : s;
}

} // namespace

TEST(EblcEbdt, DecodesWhatFontToolsCompiledAndEncodesItBackUnchanged) {
    std::string dir = temp_dir();
    std::string out;
    ASSERT_EQ(run_command(
                  python() + " " + source_dir() + "/tests/tools/build_bitmap_font.py " + dir, &out),
              0)
        << out;
    auto eblc = table<ttf_eblc>(read_file(dir + "/eblc.bin"));
    auto ebdt = table<ttf_ebdt>(read_file(dir + "/ebdt.bin"));
    const std::vector<unsigned char> original = contents(*ebdt);

    std::ifstream expected(dir + "/expected.txt");
    std::string line;
    std::set<std::pair<int, int>> first_strikes; // (ppem pair, strike)
    std::set<int> index_formats, image_formats;
    int checked = 0;
    while (std::getline(expected, line)) {
        std::istringstream in(line);
        int strike, px, py, gid, w, h, bx, by, adv;
        std::string bits;
        in >> strike >> px >> py >> gid >> w >> h >> bx >> by >> adv >> bits;
        // Only the first strike of a ppem pair is ever looked up.
        int pair = px * 256 + py;
        bool first = true;
        for (auto& fs : first_strikes)
            first = first && !(fs.first == pair && fs.second != strike);
        if (!first)
            continue;
        first_strikes.insert({pair, strike});

        SCOPED_TRACE(line);
        bitmap b((unsigned short)gid, (unsigned char)px, (unsigned char)py, 1);
        bitmap_location where;
        ASSERT_EQ(eblc->get_location(&b, &where), 0);
        unsigned long offset = 0;
        unsigned short format = 0;
        ASSERT_EQ(eblc->get_offset(&b, &offset, &format), 0);
        EXPECT_EQ(offset, where.offset);
        index_formats.insert(where.indexFormat);
        image_formats.insert(where.imageFormat);
        ASSERT_EQ(ebdt->decode(where.offset, where.imageFormat, &b, where.size), 0);
        EXPECT_EQ(b.width, w);
        EXPECT_EQ(b.height, h);
        EXPECT_EQ(b.bearingx, bx);
        EXPECT_EQ(b.bearingy, by);
        EXPECT_EQ(b.advance, adv);
        EXPECT_EQ(pixels_of(b), bits);
        ASSERT_EQ(ebdt->encode(&b, where.offset, where.imageFormat, where.size), 0);
        checked++;
    }
    EXPECT_EQ(contents(*ebdt), original);
    EXPECT_GE(checked, 20);
    EXPECT_EQ(index_formats, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(image_formats, (std::set<int>{1, 2, 5, 6, 7}));

    // A glyph no strike range holds, and a strike that does not exist.
    bitmap missing(9, 12, 12, 1);
    unsigned long offset;
    unsigned short format;
    EXPECT_EQ(eblc->get_offset(&missing, &offset, &format), 1);
    bitmap nostrike(1, 13, 13, 1);
    EXPECT_EQ(eblc->get_offset(&nostrike, &offset, &format), 1);

    int count = 0;
    unsigned char pairs[8];
    EXPECT_EQ(eblc->get_sizes(&count, pairs, 4), 0);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::vector<unsigned char>(pairs, pairs + 6),
              (std::vector<unsigned char>{12, 12, 16, 16, 20, 10}));
}

TEST(Ebdt, ByteAlignedAndBitAlignedRowsPackAsTheFormatSays) {
    // 5 x 2 pixels: rows 10110 and 01101.
    const unsigned char rows[10] = {1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
    struct format_case {
        unsigned short format;
        std::vector<unsigned char> image;
    };
    const format_case cases[] = {
        {1, {2, 5, 0, 2, 6, 0xB0, 0x68}},          // a byte per row
        {2, {2, 5, 0, 2, 6, 0xB3, 0x40}},          // rows back to back
        {6, {2, 5, 0, 2, 6, 0, 0, 2, 0xB0, 0x68}}, // big metrics
        {7, {2, 5, 0, 2, 6, 0, 0, 2, 0xB3, 0x40}},
    };
    for (const format_case& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<unsigned char> bytes = {0, 2, 0, 0};
        bytes.insert(bytes.end(), c.image.begin(), c.image.end());
        bytes.push_back(0xEE); // the next image, never touched
        auto ebdt = table<ttf_ebdt>(bytes);
        bitmap b(1, 8, 8, 1);
        ASSERT_EQ(ebdt->decode(4, c.format, &b), 0);
        ASSERT_EQ(b.width, 5);
        ASSERT_EQ(b.height, 2);
        EXPECT_EQ(std::memcmp(b.pixels, rows, 10), 0);
        EXPECT_EQ(b.advance, 6);

        // Flip everything, write it, read it back, flip back: identical.
        for (int i = 0; i < 10; i++)
            b.pixels[i] ^= 1;
        ASSERT_EQ(ebdt->encode(&b, 4, c.format), 0);
        EXPECT_EQ(ebdt->data[bytes.size() - 1], 0xEE);
        bitmap again(1, 8, 8, 1);
        ASSERT_EQ(ebdt->decode(4, c.format, &again), 0);
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(again.pixels[i], rows[i] ^ 1) << i;
        for (int i = 0; i < 10; i++)
            b.pixels[i] ^= 1;
        ASSERT_EQ(ebdt->encode(&b, 4, c.format), 0);
        EXPECT_EQ(contents(*ebdt), bytes);
    }

    // Format 5 takes its metrics from the bitmap (set from EBLC).
    auto ebdt = table<ttf_ebdt>({0, 2, 0, 0, 0xB3, 0x40});
    bitmap b(1, 8, 8, 1);
    b.width = 5;
    b.height = 2;
    ASSERT_EQ(ebdt->decode(4, 5, &b, 2), 0);
    EXPECT_EQ(std::memcmp(b.pixels, rows, 10), 0);
}

TEST(Ebdt, EncodeClearsStrayBitsAfterTheImage) {
    auto ebdt = table<ttf_ebdt>({0, 2, 0, 0, 2, 5, 0, 2, 6, 0xB3, 0x7F});
    bitmap b(1, 8, 8, 1);
    ASSERT_EQ(ebdt->decode(4, 2, &b), 0);
    ASSERT_EQ(ebdt->encode(&b, 4, 2), 0);
    EXPECT_EQ(ebdt->data[10], 0x40);
}

TEST(Ebdt, RefusesWhatItCannotReadOrWriteSafely) {
    const std::vector<unsigned char> small = {0, 2, 0, 0, 2, 5, 0, 2, 6, 0xB3, 0x40};
    // Metrics of an 8 x 8 image with one byte of it present.
    const std::vector<unsigned char> cut = {0, 2, 0, 0, 8, 8, 0, 8, 8, 0xFF};
    struct refusal {
        const char* label;
        const std::vector<unsigned char>& bytes;
        unsigned long offset;
        unsigned short format;
        unsigned long size;
        int decoded;
    };
    const refusal cases[] = {
        {"composite format 8", small, 4, 8, ~0UL, 1},
        {"composite format 9", small, 4, 9, ~0UL, 1},
        {"format 0", small, 4, 0, ~0UL, 1},
        {"metrics past the end", small, 7, 2, ~0UL, 3},
        {"offset far past the end", small, 0xFFFFFFFFUL, 2, ~0UL, 3},
        {"offset at the largest value", small, ~0UL, 6, ~0UL, 3},
        {"image past the end", cut, 4, 2, ~0UL, 3},
        {"byte-aligned image past the end", cut, 4, 1, ~0UL, 3},
        {"image longer than its slot", small, 4, 2, 6, 3},
        {"format 5 image past the end", small, 10, 5, ~0UL, 3},
    };
    for (const refusal& c : cases) {
        SCOPED_TRACE(c.label);
        auto ebdt = table<ttf_ebdt>(c.bytes);
        bitmap b(1, 8, 8, 1);
        b.width = 3;
        b.height = 3;
        b.pixels = new unsigned char[9]();
        unsigned char* before = b.pixels;
        EXPECT_EQ(ebdt->decode(c.offset, c.format, &b, c.size), c.decoded);
        EXPECT_EQ(b.pixels, before);
        EXPECT_EQ(b.width, 3);
        EXPECT_NE(ebdt->encode(&b, c.offset, c.format, c.size), 0);
        EXPECT_EQ(contents(*ebdt), c.bytes);
    }

    // The bitmap's size differs from the metrics stored with the image.
    auto ebdt = table<ttf_ebdt>(small);
    bitmap b(1, 8, 8, 1);
    ASSERT_EQ(ebdt->decode(4, 2, &b), 0);
    b.width = 3;
    EXPECT_EQ(ebdt->encode(&b, 4, 2), 3);
    EXPECT_EQ(contents(*ebdt), small);

    // An empty image: metrics taken, no pixels.
    auto empty = table<ttf_ebdt>({0, 2, 0, 0, 0, 4, 0, 0, 4});
    EXPECT_EQ(empty->decode(4, 1, &b), 2);
    EXPECT_EQ(b.pixels, nullptr);
    EXPECT_EQ(b.width, 4);
    EXPECT_EQ(empty->encode(&b, 4, 1), 2);
}

TEST(Eblc, SizesAreTheDistinctPairsInOrderOfFirstAppearance) {
    auto strikes = [](std::initializer_list<std::pair<int, int>> ppems) {
        std::vector<unsigned char> t(8 + 48 * ppems.size());
        byte_writer w(t.data(), t.size());
        w.put32(4, (uint32_t)ppems.size());
        size_t s = 0;
        for (auto p : ppems) {
            w.put8(8 + 48 * s + 44, (uint8_t)p.first);
            w.put8(8 + 48 * s + 45, (uint8_t)p.second);
            s++;
        }
        return t;
    };
    struct sizes_case {
        const char* label;
        std::vector<unsigned char> table;
        int capacity;
        int result;
        std::vector<unsigned char> pairs;
    };
    const sizes_case cases[] = {
        {"a pair twice", strikes({{12, 12}, {16, 16}, {12, 12}}), 3, 0, {12, 12, 16, 16}},
        {"twelve strikes, ten sizes",
         strikes({{8, 8},
                  {9, 9},
                  {10, 10},
                  {11, 11},
                  {12, 12},
                  {13, 13},
                  {14, 14},
                  {15, 15},
                  {16, 16},
                  {12, 12},
                  {12, 16},
                  {16, 12}}),
         12,
         0,
         {8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 12, 16, 16, 12}},
        {"room for exactly the distinct pairs",
         strikes({{12, 12}, {16, 16}, {12, 12}}),
         2,
         0,
         {12, 12, 16, 16}},
        {"room for fewer", strikes({{12, 12}, {16, 16}, {20, 20}}), 2, -1, {12, 12, 16, 16}},
        {"no room", strikes({{12, 12}}), 0, -1, {}},
        {"no strikes", strikes({}), 0, 0, {}},
    };
    for (const sizes_case& c : cases) {
        SCOPED_TRACE(c.label);
        auto eblc = table<ttf_eblc>(c.table);
        // A guard byte after the room: nothing is written past it.
        std::vector<unsigned char> pairs(2 * (size_t)c.capacity + 1, 0xEE);
        int count = -1;
        EXPECT_EQ(eblc->get_sizes(&count, pairs.data(), c.capacity), c.result);
        ASSERT_EQ(count, (int)c.pairs.size() / 2);
        EXPECT_EQ(std::vector<unsigned char>(pairs.begin(), pairs.begin() + 2 * count), c.pairs);
        EXPECT_EQ(pairs.back(), 0xEE);
    }

    // numSizes beyond the table counts only the strikes inside it.
    std::vector<unsigned char> t = strikes({{12, 12}, {16, 16}, {12, 12}});
    byte_writer(t.data(), t.size()).put32(4, 0xFFFFFFFF);
    auto eblc = table<ttf_eblc>(t);
    EXPECT_EQ(eblc->strike_count(), 3);
    int count = 0;
    unsigned char pairs[6];
    EXPECT_EQ(eblc->get_sizes(&count, pairs, 3), 0);
    EXPECT_EQ(count, 2);
}

TEST(Eblc, IndexFormatsFindTheirImagesAndMissingGlyphs) {
    unsigned long offset = 0;
    unsigned short format = 0;
    // Format 1, glyphs 3-5; glyph 4 has no image (equal offsets).
    auto f1 = table<ttf_eblc>(one_strike(12, 3, 5, 1, 2, 100, u32s({0, 7, 7, 12})));
    bitmap g3(3, 12, 12, 1), g4(4, 12, 12, 1), g5(5, 12, 12, 1);
    EXPECT_EQ(f1->get_offset(&g3, &offset, &format), 0);
    EXPECT_EQ(offset, 100u);
    EXPECT_EQ(format, 2);
    EXPECT_EQ(f1->get_offset(&g4, &offset, &format), 1);
    EXPECT_EQ(f1->get_offset(&g5, &offset, &format), 0);
    EXPECT_EQ(offset, 107u);
    bitmap_location where;
    EXPECT_EQ(f1->get_location(&g5, &where), 0);
    EXPECT_EQ(where.size, 5u);

    // Format 2 copies its metrics into the bitmap.
    std::vector<unsigned char> body = u32s({3});
    body.insert(body.end(), {4, 5, 1, 4, 6, 0, 0, 0});
    auto f2 = table<ttf_eblc>(one_strike(12, 3, 5, 2, 5, 40, body));
    EXPECT_EQ(f2->get_offset(&g5, &offset, &format), 0);
    EXPECT_EQ(offset, 46u);
    EXPECT_EQ(g5.height, 4);
    EXPECT_EQ(g5.width, 5);
    EXPECT_EQ(g5.advance, 6);

    // An image offset of 0 is "not there".
    auto zero = table<ttf_eblc>(one_strike(12, 3, 5, 1, 2, 0, u32s({0, 7, 7, 12})));
    EXPECT_EQ(zero->get_offset(&g3, &offset, &format), 1);

    // Formats 4 and 5 list their glyphs; others are unsupported.
    std::vector<unsigned char> f4body = u32s({2});
    f4body.insert(f4body.end(), {0, 3, 0, 0, 0, 5, 0, 9, 0, 0, 0, 14});
    auto f4 = table<ttf_eblc>(one_strike(12, 3, 5, 4, 1, 50, f4body));
    EXPECT_EQ(f4->get_location(&g5, &where), 0);
    EXPECT_EQ(where.offset, 59u);
    EXPECT_EQ(where.size, 5u);
    EXPECT_EQ(f4->get_offset(&g4, &offset, &format), 1);
    auto f6 = table<ttf_eblc>(one_strike(12, 3, 5, 6, 1, 50, u32s({0, 1})));
    EXPECT_EQ(f6->get_offset(&g3, &offset, &format), 2);

    // Deeper strikes are not read as one bit per pixel.
    std::vector<unsigned char> deep = one_strike(12, 3, 5, 1, 2, 100, u32s({0, 7, 7, 12}));
    deep[8 + 46] = 8;
    EXPECT_EQ(table<ttf_eblc>(deep)->get_offset(&g3, &offset, &format), 2);
}

TEST(Eblc, HostileCountsAndOffsetsAreNotFound) {
    const std::vector<unsigned char> good = one_strike(12, 3, 5, 1, 2, 100, u32s({0, 7, 7, 12}));
    struct hostile {
        const char* label;
        std::function<void(std::vector<unsigned char>&)> damage;
        int want;
    };
    auto put32 = [](std::vector<unsigned char>& t, size_t at, uint32_t v) {
        byte_writer(t.data(), t.size()).put32(at, v);
    };
    const hostile cases[] = {
        {"intact", [](std::vector<unsigned char>&) {}, 0},
        {"numSizes 0", [&](auto& t) { put32(t, 4, 0); }, 1},
        {"table cut inside the strike", [](auto& t) { t.resize(40); }, 1},
        {"array offset past the end", [&](auto& t) { put32(t, 8, 0xFFFFFFF0); }, 1},
        {"array offset at the end", [&](auto& t) { put32(t, 8, (uint32_t)t.size()); }, 1},
        {"subtable count 0", [&](auto& t) { put32(t, 16, 0); }, 1},
        {"subtable count huge", [&](auto& t) { put32(t, 16, 0xFFFFFFFF); }, 0},
        {"subtable offset past the end", [&](auto& t) { put32(t, 60, 0xFFFFFFFF); }, 1},
        {"offsets cut short", [](auto& t) { t.resize(t.size() - 10); }, 1},
        {"offsets running backwards",
         [&](auto& t) {
             put32(t, 76, 0);
             put32(t, 72, 9);
         },
         1},
        {"image data offset huge", [&](auto& t) { put32(t, 68, 0xFFFFFFFF); }, 0},
        {"first after last", [](auto& t) { t[57] = 9; }, 1},
    };
    for (const hostile& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<unsigned char> t = good;
        c.damage(t);
        auto eblc = table<ttf_eblc>(t);
        bitmap b(4, 12, 12, 1);
        b.gno = 3;
        bitmap_location where;
        EXPECT_EQ(eblc->get_location(&b, &where), c.want);
        // A huge image offset is found but lies outside EBDT: the image is
        // refused there.
        if (c.want == 0) {
            auto ebdt = table<ttf_ebdt>(std::vector<unsigned char>(120, 0));
            int got = ebdt->decode(where.offset, where.imageFormat, &b, where.size);
            EXPECT_EQ(got, where.offset < 110 ? 2 : 3);
        }
    }
    // Every strike, subtable and glyph of tables of every short length.
    for (size_t n = 0; n <= good.size(); n++) {
        std::vector<unsigned char> t(good.begin(), good.begin() + (long)n);
        auto eblc = table<ttf_eblc>(t);
        for (unsigned short g = 0; g < 8; g++) {
            bitmap b(g, 12, 12, 1);
            unsigned long offset;
            unsigned short format;
            eblc->get_offset(&b, &offset, &format);
        }
    }
}

namespace {

struct expected_bitmap {
    int strike, px, py, gid, w, h, bx, by, adv;
    std::string bits;
};

std::vector<expected_bitmap> parse_bitmaps(const std::string& text) {
    std::vector<expected_bitmap> out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        expected_bitmap e;
        if (in >> e.strike >> e.px >> e.py >> e.gid >> e.w >> e.h >> e.bx >> e.by >> e.adv >>
            e.bits)
            out.push_back(e);
    }
    return out;
}

} // namespace

TEST(BitmapInFont, EditedPixelsSaveInPlaceAndReadBackWithFontTools) {
    std::string dir = temp_dir();
    std::string out;
    ASSERT_EQ(run_command(
                  python() + " " + source_dir() + "/tests/tools/build_bitmap_font.py " + dir, &out),
              0)
        << out;
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(font, read_file(dir + "/bitmaps.ttf")), 0);
    ASSERT_NE(font.eblc, nullptr);
    ASSERT_NE(font.ebdt, nullptr);
    unsigned long eblc_length = font.eblc->length, ebdt_length = font.ebdt->length;

    std::vector<unsigned char> listing = read_file(dir + "/expected.txt");
    std::vector<expected_bitmap> want = parse_bitmaps(std::string(listing.begin(), listing.end()));
    // Invert every pixel of the first strike of each ppem pair; the second
    // (12, 12) strike is never reached and stays as it was.
    int first_strike_of[256 * 256];
    std::fill(std::begin(first_strike_of), std::end(first_strike_of), -1);
    for (expected_bitmap& e : want) {
        int& first = first_strike_of[e.px * 256 + e.py];
        if (first < 0)
            first = e.strike;
        if (first != e.strike)
            continue;
        SCOPED_TRACE(e.gid);
        bitmap b((unsigned short)e.gid, (unsigned char)e.px, (unsigned char)e.py, 1);
        ASSERT_EQ(font.get_bitmap(&b), 0);
        ASSERT_EQ(pixels_of(b), e.bits);
        for (size_t i = 0; i < e.bits.size(); i++) {
            b.pixels[i] ^= 1;
            e.bits[i] = e.bits[i] == '1' ? '0' : '1';
        }
        ASSERT_EQ(font.set_bitmap(&b), 0);
    }
    bitmap absent(9, 12, 12, 1);
    EXPECT_EQ(font.get_bitmap(&absent), -1);
    EXPECT_EQ(font.set_bitmap(&absent), -1);
    EXPECT_EQ(font.eblc->length, eblc_length);
    EXPECT_EQ(font.ebdt->length, ebdt_length);

    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    std::string read_back;
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py " + path,
                          &read_back),
              0)
        << read_back;
    std::vector<expected_bitmap> got = parse_bitmaps(read_back);
    ASSERT_EQ(got.size(), want.size());
    std::multiset<std::string> a, b;
    for (size_t i = 0; i < want.size(); i++) {
        a.insert(std::to_string(want[i].strike) + " " + std::to_string(want[i].gid) + " " +
                 want[i].bits);
        b.insert(std::to_string(got[i].strike) + " " + std::to_string(got[i].gid) + " " +
                 got[i].bits);
    }
    EXPECT_EQ(a, b);
}

TEST(BitmapInFont, AnEditOfAnImageOtherEntriesShareChangesThatEntryAlone) {
    // Both strikes name the same images in every index format, and glyphs
    // 21 and 22 of each share one image. In the second variant the 16-pixel
    // strike reads the 12-pixel strike's very index subtables, so the
    // index itself must be taken apart.
    std::string dir = temp_dir(), out;
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/build_bitmap_font.py " +
                              dir + " shared",
                          &out),
              0)
        << out;
    const std::vector<unsigned char> original = read_file(dir + "/shared.ttf");
    const std::vector<unsigned char> listing = read_file(dir + "/shared.txt");
    const std::vector<expected_bitmap> want =
        parse_bitmaps(std::string(listing.begin(), listing.end()));
    ASSERT_EQ(want.size(), 30u);
    struct edit {
        bool same_index;
        int ppem, gid;
    };
    const edit edits[] = {{false, 12, 1},  {false, 16, 2},  {false, 12, 6},  {false, 16, 7},
                          {false, 12, 12}, {false, 16, 15}, {false, 12, 17}, {false, 16, 16},
                          {false, 12, 20}, {false, 16, 19}, {false, 12, 21}, {false, 16, 22},
                          {true, 16, 3},   {true, 12, 5},   {true, 16, 17},  {true, 16, 22}};
    std::vector<std::string> paths;
    for (const edit& e : edits) {
        SCOPED_TRACE(std::to_string(e.ppem) + " " + std::to_string(e.gid));
        ttf font;
        ASSERT_EQ(font_builder::load_bytes(font, original), 0);
        if (e.same_index)
            font.eblc->writer().put32(8 + 48, font.eblc->bytes().u32(8));
        bitmap b((unsigned short)e.gid, (unsigned char)e.ppem, (unsigned char)e.ppem, 1);
        ASSERT_EQ(font.get_bitmap(&b), 0);
        bitmap_location where;
        ASSERT_EQ(font.eblc->get_location(&b, &where), 0);
        EXPECT_TRUE(font.eblc->image_shared(where, b.gno));
        for (size_t i = 0; i < (size_t)b.width * b.height; i++)
            b.pixels[i] ^= 1;
        const unsigned long index_before = font.eblc->length;
        ASSERT_EQ(font.set_bitmap(&b), 0);
        // The index grows only when its subtables themselves are shared.
        EXPECT_EQ(font.eblc->length > index_before, e.same_index);
        // Its own now: a second edit goes in place.
        ASSERT_EQ(font.eblc->get_location(&b, &where), 0);
        EXPECT_FALSE(font.eblc->image_shared(where, b.gno));
        const unsigned long eblc_length = font.eblc->length, ebdt_length = font.ebdt->length;
        ASSERT_EQ(font.set_bitmap(&b), 0);
        EXPECT_EQ(font.eblc->length, eblc_length);
        EXPECT_EQ(font.ebdt->length, ebdt_length);
        paths.push_back(font_builder::save_font(
            font, ("edit" + std::to_string(paths.size()) + ".ttf").c_str()));
        ASSERT_FALSE(paths.back().empty());
    }
    EXPECT_EQ(run_command("ots-sanitize '" + paths.back() + "'", &out), 0) << out;

    // One undo step takes back the copies with the edit.
    {
        ttf font;
        ASSERT_EQ(font_builder::load_bytes(font, original), 0);
        font.eblc->writer().put32(8 + 48, font.eblc->bytes().u32(8));
        const std::vector<unsigned char> eblc = contents(*font.eblc), ebdt = contents(*font.ebdt);
        font_history* h = font.start_history();
        bitmap b(17, 16, 16, 1);
        ASSERT_EQ(font.get_bitmap(&b), 0);
        b.pixels[0] ^= 1;
        h->checkpoint("bitmap");
        ASSERT_EQ(font.set_bitmap(&b), 0);
        ASSERT_NE(contents(*font.eblc), eblc);
        ASSERT_TRUE(h->undo());
        EXPECT_EQ(contents(*font.eblc), eblc);
        EXPECT_EQ(contents(*font.ebdt), ebdt);
    }

    std::string command = python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py";
    for (const std::string& p : paths)
        command += " '" + p + "'";
    std::string read_back;
    ASSERT_EQ(run_command(command, &read_back), 0) << read_back;

    // fontTools reads every strike and glyph as built, but the one edited.
    std::vector<std::string> sections;
    std::istringstream lines(read_back);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0)
            sections.emplace_back();
        else if (!sections.empty())
            sections.back() += line + "\n";
    }
    ASSERT_EQ(sections.size(), std::size(edits));
    for (size_t k = 0; k < sections.size(); k++) {
        SCOPED_TRACE(std::to_string(edits[k].ppem) + " " + std::to_string(edits[k].gid));
        std::vector<expected_bitmap> got = parse_bitmaps(sections[k]);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); i++) {
            std::string bits = want[i].bits;
            if (want[i].px == edits[k].ppem && want[i].gid == edits[k].gid)
                for (char& c : bits)
                    c = c == '1' ? '0' : '1';
            EXPECT_EQ(got[i].strike, want[i].strike);
            EXPECT_EQ(got[i].gid, want[i].gid);
            EXPECT_EQ(got[i].bits, bits) << "strike " << want[i].strike << " glyph " << want[i].gid;
        }
    }
}

TEST(BitmapInFont, FontsWithoutBitmapsHaveNone) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(
                  font, read_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")),
              0);
    bitmap b(36, 12, 12, 1);
    EXPECT_EQ(font.get_bitmap(&b), -1);
    EXPECT_EQ(font.set_bitmap(&b), -1);
    EXPECT_EQ(font.get_bitmap(nullptr), -1);
}
