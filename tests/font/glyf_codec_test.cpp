// The glyph codec on records built by hand: flag and delta forms, the exact
// bytes encode writes, and damaged records that decode must refuse without
// reading past them or changing the glyph.
#include "font/glyf.h"
#include "font/loca.h"
#include "font/head.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "font/font_builder.h"
#include "outline/outline_builders.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>

using namespace font_builder;

namespace {

// A tiny record builder: header, then whatever the case needs.
struct rec {
    bytes b;
    rec& u8(int v) {
        b.push_back((unsigned char)v);
        return *this;
    }
    rec& u16(int v) {
        add16(b, (uint32_t)(uint16_t)v);
        return *this;
    }
    rec& repeat(int v, int n) {
        for (int i = 0; i < n; i++)
            u8(v);
        return *this;
    }
    // numberOfContours and a zero bounding box.
    static rec header(int contours) { return rec().u16(contours).u16(0).u16(0).u16(0).u16(0); }
    // A simple glyph's header, end points and an empty instruction block.
    static rec simple(std::initializer_list<int> ends) {
        rec r = header((int)ends.size());
        for (int e : ends)
            r.u16(e);
        return r.u16(0);
    }
};

// A glyf table holding just this record.
std::unique_ptr<ttf_glyf> table_of(const bytes& record) {
    unsigned char* data = malloc32((long)record.size());
    std::copy(record.begin(), record.end(), data);
    return std::unique_ptr<ttf_glyf>(new ttf_glyf(nullptr, data, record.size()));
}

std::vector<pt> all_points(const glyph& g) {
    std::vector<pt> out;
    for (int i = 0; i < g.count; i++)
        for (const pt& p : points_of(g.contours[i]))
            out.push_back(p);
    return out;
}

bytes table_bytes(const ttf_glyf& t) {
    return bytes(t.data, t.data + t.length);
}

} // namespace

TEST(GlyfDecode, FlagAndDeltaForms) {
    struct Case {
        const char* label;
        bytes record;
        std::vector<pt> expect;
    };
    // Four points: +1/+5, +2/+6, +3/+7, +4/+8, on-curve, all byte deltas.
    const std::vector<pt> stair = {{1, 5, 0}, {3, 11, 0}, {6, 18, 0}, {10, 26, 0}};
    const Case cases[] = {
        {"one flag per point",
         rec::simple({3}).repeat(0x37, 4).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).b, stair},
        {"repeated flag",
         rec::simple({3}).u8(0x3F).u8(3).u8(1).u8(2).u8(3).u8(4).u8(5).u8(6).u8(7).u8(8).b, stair},
        // Word deltas, negative bytes, unchanged axes; off-curve points.
        {"words, negatives, same",
         rec::simple({2})
             .u8(0x00)
             .u8(0x02 | 0x20)
             .u8(0x10 | 0x04 | 0x01)
             .u16(-300)
             .u8(44) // x: word, byte -44, same
             .u16(1000)
             .u8(255) // y: word, same, byte -255
             .b,
         {{-300, 1000, 1}, {-344, 1000, 1}, {-344, 745, 0}}},
        // Coordinates run on across contours; instructions are stepped over.
        {"two contours, instructions",
         rec::header(2)
             .u16(0)
             .u16(2)
             .u16(3)
             .u8(0xB0)
             .u8(1)
             .u8(2)
             .repeat(0x37, 2)
             .u8(0x31)
             .u8(9)
             .u8(1)
             .u8(4)
             .u8(2)
             .b,
         {{9, 4, 0}, {10, 6, 0}, {10, 6, 0}}},
        {"no contours, bytes behind", rec::header(0).u16(7).u16(7).b, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ttf_glyf> t = table_of(c.record);
        glyph g(3);
        EXPECT_EQ(t->decode(0, c.record.size(), &g), 0) << c.label;
        EXPECT_EQ(all_points(g), c.expect) << c.label;
    }
}

TEST(GlyfDecode, ContourEndsSplitThePoints) {
    bytes r = rec::header(2).u16(1).u16(4).u16(0).repeat(0x31, 5).b;
    std::unique_ptr<ttf_glyf> t = table_of(r);
    glyph g(0);
    ASSERT_EQ(t->decode(0, r.size(), &g), 0);
    ASSERT_EQ(g.count, 2);
    EXPECT_EQ(g.contours[0]->count, 2);
    EXPECT_EQ(g.contours[1]->count, 3);
    EXPECT_EQ(g.contours[1]->bounds, BRect(0, 0, 0, 0));
    EXPECT_EQ(g.contours[1]->selected, 0);
}

TEST(GlyfDecode, LargestContoursAndGlyphsFit) {
    // 1024 points in one contour: four flags repeated 255 more times each.
    rec one = rec::simple({1023});
    for (int i = 0; i < 4; i++)
        one.u8(0x39).u8(255);
    std::unique_ptr<ttf_glyf> t = table_of(one.b);
    glyph g(0);
    ASSERT_EQ(t->decode(0, one.b.size(), &g), 0);
    EXPECT_EQ(g.contours[0]->count, 1024);

    // 512 contours of one point each.
    rec many = rec::header(512);
    for (int i = 0; i < 512; i++)
        many.u16(i);
    many.u16(0);
    for (int i = 0; i < 2; i++)
        many.u8(0x39).u8(255);
    t = table_of(many.b);
    glyph h(0);
    ASSERT_EQ(t->decode(0, many.b.size(), &h), 0);
    EXPECT_EQ(h.count, 512);
}

// Damaged records are refused: result 1 and the glyph left as it was.
TEST(GlyfDecode, DamagedRecordsAreRefused) {
    rec over_contour = rec::simple({1024});
    for (int i = 0; i < 5; i++)
        over_contour.u8(0x39).u8(255);
    rec over_glyph = rec::header(513);
    for (int i = 0; i < 513; i++)
        over_glyph.u16(i);
    over_glyph.u16(0).u8(0x39).u8(255).u8(0x39).u8(255).u8(0x31);

    struct Case {
        const char* label;
        bytes record;
    };
    const Case cases[] = {
        {"shorter than a header", rec().u16(1).u16(0).u16(0).b},
        {"end points cut off", rec::header(2).u16(3).b},
        {"instruction length cut off", rec::header(1).u16(0).b},
        {"end points decrease", rec::simple({2, 1}).repeat(0x31, 3).b},
        {"empty contour", rec::simple({2, 2}).repeat(0x31, 3).b},
        {"contour over 1024 points", over_contour.b},
        {"more than 512 contours", over_glyph.b},
        {"instructions past the end", rec::header(1).u16(0).u16(40).u8(0).u8(0x31).b},
        {"flags cut off", rec::simple({2}).u8(0x31).u8(0x31).b},
        {"repeat count cut off", rec::simple({2}).u8(0x31).u8(0x39).b},
        {"repeat past the last point", rec::simple({2}).u8(0x39).u8(3).b},
        {"repeat far past the last point", rec::simple({0}).u8(0x39).u8(255).b},
        {"x word cut off", rec::simple({0}).u8(0x21).u8(1).b},
        {"x bytes missing", rec::simple({1}).repeat(0x33, 2).u8(1).b},
        {"y bytes missing", rec::simple({1}).repeat(0x17, 2).u8(1).u8(1).u8(1).b},
        {"composite entry cut off", rec::header(-1).u16(0).b},
        {"composite arguments cut off", rec::header(-1).u16(0x0001).u16(0).u16(5).b},
        {"composite transform cut off", rec::header(-1).u16(0x0080).u16(0).u8(0).u8(0).u16(1).b},
        {"composite next entry missing", rec::header(-1).u16(0x0020).u16(0).u8(0).u8(0).b},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ttf_glyf> t = table_of(c.record);
        glyph g(0);
        g.add_shape(make_square(0, 0, 1));
        EXPECT_EQ(t->decode(0, c.record.size(), &g), 1) << c.label;
        EXPECT_EQ(g.count, 1) << c.label;
        EXPECT_EQ(g.ncompo, 0) << c.label;
    }

    // A record that lies (partly) outside the table.
    bytes good = rec::simple({0}).u8(0x31).b;
    std::unique_ptr<ttf_glyf> t = table_of(good);
    glyph g(0);
    EXPECT_EQ(t->decode(1, good.size(), &g), 1);
    EXPECT_EQ(t->decode(good.size() + 10, 12, &g), 1);
    EXPECT_EQ(t->decode(std::numeric_limits<unsigned long>::max(), 12, &g), 1);
    EXPECT_EQ(t->decode(0, std::numeric_limits<unsigned long>::max(), &g), 1);
    EXPECT_EQ(t->decode(0, 0, &g), 0);
    EXPECT_EQ(g.count, 0);
}

TEST(GlyfEncode, WritesTheExactRecord) {
    std::unique_ptr<ttf_glyf> t = table_of(bytes());
    glyph g(0);
    g.add_shape(make_shape({{0, 0, 0}, {100, 0, 0}, {50, 100, 1}}));
    unsigned long off = 0, len = 0;
    ASSERT_EQ(t->encode(&g, &off, &len), 0);
    EXPECT_EQ(len, 20u);
    EXPECT_EQ(table_bytes(*t), (bytes{0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x64,
                                      0x00, 0x02, 0x00, 0x00, 0x31, 0x33, 0x26, 0x64, 0x32, 0x64}));
}

TEST(GlyfEncode, DeltaFormsAndTruncation) {
    struct Case {
        const char* label;
        std::vector<float> xs; // y = 0 for all points, after the first at (0, 0)
        bytes flags_and_x;     // the flag bytes then the x bytes
    };
    const Case cases[] = {
        {"+255 and -255 are bytes", {255, 0}, {0x31, 0x33, 0x23, 0xFF, 0xFF}},
        {"+256 and -256 are words", {256, 0}, {0x31, 0x21, 0x21, 0x01, 0x00, 0xFF, 0x00}},
        {"equal coordinates write nothing", {0, 0}, {0x31, 0x31, 0x31}},
        {"truncated toward zero", {100.9f, 200.9f}, {0x31, 0x33, 0x33, 100, 100}},
        {"negative truncated toward zero", {-100.9f, -0.5f}, {0x31, 0x23, 0x33, 100, 100}},
    };
    for (const Case& c : cases) {
        shape* s = new shape(3);
        s->set(0, BPoint(0, 0), 0);
        s->set(1, BPoint(c.xs[0], 0), 0);
        s->set(2, BPoint(c.xs[1], 0), 0);
        glyph g(0);
        g.add_shape(s);
        std::unique_ptr<ttf_glyf> t = table_of(bytes());
        unsigned long off = 0, len = 0;
        ASSERT_EQ(t->encode(&g, &off, &len), 0) << c.label;
        bytes out = table_bytes(*t);
        EXPECT_EQ(len % 2, 0u) << c.label;
        bytes body(out.begin() + 14, out.begin() + 14 + c.flags_and_x.size());
        EXPECT_EQ(body, c.flags_and_x) << c.label;

        glyph back(0);
        ASSERT_EQ(t->decode(0, len, &back), 0) << c.label;
        std::vector<pt> p = all_points(back);
        EXPECT_EQ(p[1].x, std::trunc(c.xs[0])) << c.label;
        EXPECT_EQ(p[2].x, std::trunc(c.xs[1])) << c.label;
    }
}

TEST(GlyfEncode, ReplacesTheRecordInPlaceAndKeepsInstructions) {
    // Table: 4 bytes before, an old simple record with 3 instruction bytes,
    // 6 bytes after.
    bytes old = rec::header(1).u16(0).u16(3).u8(0xB0).u8(0x01).u8(0x2C).u8(0x31).b;
    bytes table = {1, 2, 3, 4};
    table.insert(table.end(), old.begin(), old.end());
    for (int i = 0; i < 6; i++)
        table.push_back((unsigned char)(0xA0 + i));
    std::unique_ptr<ttf_glyf> t = table_of(table);

    glyph g(0);
    g.add_shape(make_shape({{1, 1, 0}}));
    unsigned long off = 4, len = old.size();
    ASSERT_EQ(t->encode(&g, &off, &len), 0);
    EXPECT_EQ(off, 4u);
    // 10 + 2 + 2 + 3 instructions + flag + x + y = 20.
    EXPECT_EQ(len, 20u);
    EXPECT_EQ(t->length, table.size() - old.size() + len);
    bytes out = table_bytes(*t);
    EXPECT_EQ(bytes(out.begin(), out.begin() + 4), (bytes{1, 2, 3, 4}));
    EXPECT_EQ(bytes(out.begin() + 4 + 12, out.begin() + 4 + 17),
              (bytes{0x00, 0x03, 0xB0, 0x01, 0x2C}));
    EXPECT_EQ(bytes(out.end() - 6, out.end()), (bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));

    // Odd records are padded: one point at (1, 1) without instructions is 17 bytes.
    glyph h(0);
    h.add_shape(make_shape({{1, 1, 0}}));
    bytes no_instructions = rec::simple({0}).u8(0x31).b;
    std::unique_ptr<ttf_glyf> u = table_of(no_instructions);
    unsigned long off2 = 0, len2 = no_instructions.size();
    ASSERT_EQ(u->encode(&h, &off2, &len2), 0);
    EXPECT_EQ(len2, 18u);
    bytes padded = table_bytes(*u);
    ASSERT_EQ(padded.size(), 18u);
    EXPECT_EQ(padded[17], 0);

    // A composite record's instructions are not carried over.
    bytes comp = rec::header(-1).u16(0x0100).u16(0).u8(0).u8(0).u16(2).u8(0xB0).u8(0).b;
    std::unique_ptr<ttf_glyf> v = table_of(comp);
    unsigned long off3 = 0, len3 = comp.size();
    ASSERT_EQ(v->encode(&h, &off3, &len3), 0);
    EXPECT_EQ(table_bytes(*v)[12], 0);
    EXPECT_EQ(table_bytes(*v)[13], 0);
}

TEST(GlyfEncode, EmptyGlyphsAndEmptyContours) {
    // No points at all: an empty record, which readers take as an empty glyph.
    bytes old = rec::simple({0}).u8(0x31).b;
    std::unique_ptr<ttf_glyf> t = table_of(old);
    glyph empty(0);
    empty.add_shape(new shape(0));
    unsigned long off = 0, len = old.size();
    ASSERT_EQ(t->encode(&empty, &off, &len), 0);
    EXPECT_EQ(len, 0u);
    EXPECT_EQ(t->length, 0u);

    // A contour without points between two others is left out.
    glyph g(0);
    g.add_shape(make_shape({{1, 1, 0}}));
    g.add_shape(new shape(0));
    g.add_shape(make_shape({{2, 2, 0}}));
    len = 0;
    ASSERT_EQ(t->encode(&g, &off, &len), 0);
    glyph back(0);
    ASSERT_EQ(t->decode(0, len, &back), 0);
    EXPECT_EQ(back.count, 2);
    EXPECT_EQ(all_points(back), (std::vector<pt>{{1, 1, 0}, {2, 2, 0}}));
}

TEST(GlyfEncode, RefusesWhatTheFileCannotHoldAndKeepsTheTable) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* label;
        std::vector<pt> points;
    };
    const Case cases[] = {
        {"not a number", {{0, 0, 0}, {nan, 0, 0}}},
        {"beyond 16 bits", {{40000, 0, 0}}},
        {"below 16 bits", {{0, -32769, 0}}},
        {"delta beyond 16 bits", {{-30000, 0, 0}, {30000, 0, 0}}},
        {"infinite", {{0, std::numeric_limits<float>::infinity(), 0}}},
    };
    bytes old = rec::simple({0}).u8(0x31).b;
    for (const Case& c : cases) {
        std::unique_ptr<ttf_glyf> t = table_of(old);
        glyph g(0);
        shape* s = new shape((int)c.points.size());
        for (size_t i = 0; i < c.points.size(); i++)
            s->set((int)i, BPoint(c.points[i].x, c.points[i].y), 0);
        g.add_shape(s);
        unsigned long off = 0, len = old.size();
        EXPECT_EQ(t->encode(&g, &off, &len), 1) << c.label;
        EXPECT_EQ(len, old.size()) << c.label;
        EXPECT_EQ(table_bytes(*t), old) << c.label;
    }

    // The old record must lie inside the table.
    std::unique_ptr<ttf_glyf> t = table_of(old);
    glyph g(0);
    g.add_shape(make_shape({{1, 1, 0}}));
    unsigned long off = 4, len = old.size();
    EXPECT_EQ(t->encode(&g, &off, &len), 1);
    off = std::numeric_limits<unsigned long>::max();
    len = 2;
    EXPECT_EQ(t->encode(&g, &off, &len), 1);
    EXPECT_EQ(table_bytes(*t), old);

    // More points than 16-bit end points can count.
    glyph big(0);
    for (int i = 0; i < 64; i++)
        big.add_shape(new shape(1024));
    off = 0;
    len = old.size();
    EXPECT_EQ(t->encode(&big, &off, &len), 1);
    EXPECT_EQ(table_bytes(*t), old);
}

TEST(GlyfEncode, LargestRecordFitsAndReadsBack) {
    // 65,535 points, every delta a word: the largest simple record.
    glyph g(0);
    for (int c = 0; c < 64; c++) {
        int n = c < 63 ? 1024 : 1023;
        shape* s = new shape(n);
        for (int i = 0; i < n; i++)
            s->set(i, BPoint((i % 2) ? 1000.f : -1000.f, (i % 2) ? -2000.f : 2000.f),
                   (char)(i & 1));
        g.add_shape(s);
    }
    std::unique_ptr<ttf_glyf> t = table_of(bytes());
    unsigned long off = 0, len = 0;
    ASSERT_EQ(t->encode(&g, &off, &len), 0);
    EXPECT_EQ(len, 10u + 128 + 2 + 65535u * 5 + 1);
    // The decoder refuses more than 4096 decoded contours, not points.
    glyph back(0);
    ASSERT_EQ(t->decode(0, len, &back), 0);
    EXPECT_EQ(all_points(back), all_points(g));
}

TEST(GlyfEncode, CompositeEntries) {
    struct Case {
        const char* label;
        short dx, dy;
        unsigned short xs, s01, s10, ys;
        bytes entry; // flags, index 7, arguments, transform
    };
    const Case cases[] = {
        {"byte offsets", 127, -128, 0x4000, 0, 0, 0x4000, {0x00, 0x02, 0x00, 0x07, 0x7F, 0x80}},
        {"word offsets",
         128,
         0,
         0x4000,
         0,
         0,
         0x4000,
         {0x00, 0x03, 0x00, 0x07, 0x00, 0x80, 0x00, 0x00}},
        {"word for negative",
         0,
         -129,
         0x4000,
         0,
         0,
         0x4000,
         {0x00, 0x03, 0x00, 0x07, 0x00, 0x00, 0xFF, 0x7F}},
        {"one scale", 0, 0, 0x2000, 0, 0, 0x2000, {0x00, 0x0A, 0x00, 0x07, 0, 0, 0x20, 0x00}},
        {"x and y scales",
         0,
         0,
         0x4000,
         0,
         0,
         0xC000,
         {0x00, 0x42, 0x00, 0x07, 0, 0, 0x40, 0x00, 0xC0, 0x00}},
        {"2x2",
         0,
         0,
         0x4000,
         0x0100,
         0,
         0x4000,
         {0x00, 0x82, 0x00, 0x07, 0, 0, 0x40, 0x00, 0x01, 0x00, 0x00, 0x00, 0x40, 0x00}},
    };
    for (const Case& c : cases) {
        glyph g(0);
        g.add_compo(new glyph(7), c.dx, c.dy, c.xs, c.s01, c.s10, c.ys);
        g.create_composhape();
        std::unique_ptr<ttf_glyf> t = table_of(bytes());
        unsigned long off = 0, len = 0;
        ASSERT_EQ(t->encode(&g, &off, &len), 0) << c.label;
        bytes out = table_bytes(*t);
        EXPECT_EQ(out[0], 0xFF) << c.label;
        EXPECT_EQ(out[1], 0xFF) << c.label;
        EXPECT_EQ(bytes(out.begin() + 10, out.begin() + 10 + c.entry.size()), c.entry) << c.label;
        EXPECT_EQ(len, (10 + c.entry.size() + 1) & ~1u) << c.label;
    }

    // Several components: 0x0020 on all but the last; the box is the
    // outline's, rounded to the nearest unit and clamped.
    glyph g(0);
    glyph* a = new glyph(1);
    a->add_shape(make_shape({{-10.5f, -20.7f, 0}, {30.9f, 40000, 0}}));
    g.add_compo(a, 0, 0, 0x4000, 0, 0, 0x4000);
    g.add_compo(new glyph(2), 0, 0, 0x4000, 0, 0, 0x4000);
    g.create_composhape();
    std::unique_ptr<ttf_glyf> t = table_of(bytes());
    unsigned long off = 0, len = 0;
    ASSERT_EQ(t->encode(&g, &off, &len), 0);
    bytes out = table_bytes(*t);
    EXPECT_EQ(bytes(out.begin(), out.begin() + 10),
              (bytes{0xFF, 0xFF, 0xFF, 0xF6, 0xFF, 0xEB, 0x00, 0x1F, 0x7F, 0xFF}));
    EXPECT_EQ(out[11], 0x22);
    EXPECT_EQ(out[17], 0x02);
    EXPECT_EQ(len, 22u);

    // A component that stands for no glyph cannot be written.
    glyph bad(0);
    bad.add_compo(new glyph(0xFFFF), 0, 0, 0x4000, 0, 0, 0x4000);
    EXPECT_EQ(t->encode(&bad, &off, &len), 1);
    EXPECT_EQ(table_bytes(*t), out);
}
