#include "font/cmap.h"

#include "font/cmap_subtables.h"
#include "font/ttf.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <sstream>

#include "font/font_builder.h"
#include "support/test_support.h"

using namespace font_builder;
using namespace testing_support;

namespace {

unsigned char* copy(const bytes& b) {
    unsigned char* p = malloc32((long)b.size());
    std::memcpy(p, b.data(), b.size());
    return p;
}

struct seg {
    uint32_t start, end, delta, rangeoffset;
};

// A cmap with one (3, 1) format 4 subtable of these segments (the final
// 0xFFFF segment is not added) followed by `glyphids`.
bytes format4(const std::vector<seg>& segs, const std::vector<uint16_t>& glyphids = {},
              uint32_t platform = 3, uint32_t encoding = 1) {
    bytes b;
    add16(b, 0);
    add16(b, 1);
    add16(b, platform);
    add16(b, encoding);
    add32(b, 12);
    size_t n = segs.size();
    add16(b, 4);
    add16(b, (uint32_t)(16 + 8 * n + 2 * glyphids.size()));
    add16(b, 0);
    add16(b, (uint32_t)(2 * n));
    add16(b, 0);
    add16(b, 0);
    add16(b, 0);
    for (const seg& s : segs)
        add16(b, s.end);
    add16(b, 0);
    for (const seg& s : segs)
        add16(b, s.start);
    for (const seg& s : segs)
        add16(b, s.delta);
    for (const seg& s : segs)
        add16(b, s.rangeoffset);
    for (uint16_t g : glyphids)
        add16(b, g);
    return b;
}

struct cmap_font {
    ttf font;
    explicit cmap_font(const bytes& cmap) {
        font.cmap = new ttf_cmap(&font, copy(cmap), cmap.size());
    }
    ttf_cmap& operator*() { return *font.cmap; }
    ttf_cmap* operator->() { return font.cmap; }
};

} // namespace

TEST(Cmap, DecodesDeltasAndGlyphIdArray) {
    // Segment 2 looks its glyphs up in the glyphIdArray right after the
    // idRangeOffset array: its offset word is 2 entries from the array end.
    cmap_font c(
        format4({{0x20, 0x22, 10, 0}, {0x41, 0x43, 5, 4}, {0xFFFF, 0xFFFF, 1, 0}}, {7, 0, 0xFFFF}));
    ASSERT_EQ(c->get_tbl(), 0);
    EXPECT_EQ(c->get_gno(0x20), 0x2A);
    EXPECT_EQ(c->get_gno(0x22), 0x2C);
    EXPECT_EQ(c->get_gno(0x41), 12);
    EXPECT_EQ(c->get_gno(0x42), 0); // 0 in the array stays unmapped
    EXPECT_EQ(c->get_gno(0x43), 4); // (0xFFFF + 5) mod 65536
    EXPECT_EQ(c->get_gno(0x44), 0);
    EXPECT_EQ(c->get_chr(12), 0x41);
    EXPECT_EQ(c->get_chr(999), 0xFFFF);
}

TEST(Cmap, MapComesFromTheBestUnicodeSubtableThatReads) {
    // Subtable k maps A to glyph 10 + k; 5 is a format 13 one, not read.
    std::vector<bytes> subs;
    for (uint32_t k = 0; k < 5; k++)
        subs.push_back(k % 2 ? format12_subtable({{0x41, 0x41, 10 + k}})
                             : format4_subtable({{0x41, 0x41, (uint16_t)(10 + k - 0x41)}}));
    bytes thirteen = format12_subtable({{0x41, 0x41, 99}});
    put16(thirteen, 0, 13);
    subs.push_back(thirteen);
    struct {
        const char* label;
        std::vector<std::array<uint32_t, 3>> records;
        int result;
        uint16_t glyph; // of A
    } const cases[] = {
        {"(3, 10) first", {{0, 3, 0}, {3, 1, 2}, {3, 10, 1}}, 0, 11},
        {"(0, 4) before (3, 1)", {{0, 4, 3}, {3, 1, 0}}, 0, 13},
        {"(0, 3) alone", {{0, 3, 4}, {1, 0, 2}}, 0, 14},
        {"(0, 6) unread, then (3, 1)", {{0, 6, 5}, {3, 1, 2}}, 0, 12},
        {"(3, 1) before (0, 3)", {{0, 3, 0}, {3, 1, 2}}, 0, 12},
        {"another platform-0 one", {{0, 1, 2}, {3, 0, 0}}, 0, 12},
        {"variation sequences are no map", {{0, 5, 0}, {1, 0, 4}}, -1, 0},
        {"Macintosh only", {{1, 0, 0}}, -1, 0},
        {"symbol only", {{3, 0, 0}}, -1, 0},
        {"an unread format only", {{3, 10, 5}}, 1, 0},
    };
    for (const auto& c : cases) {
        cmap_font f(cmap_table(c.records, subs));
        EXPECT_EQ(f->get_tbl(), c.result) << c.label;
        EXPECT_EQ(f->get_gno(0x41), c.glyph) << c.label;
    }

    // Arrays that do not fit in the table, and a subtable offset outside it.
    bytes cut = format4({{0x41, 0x41, 1, 0}, {0xFFFF, 0xFFFF, 1, 0}});
    put16(cut, 18, 0xFFFE);
    cmap_font c(cut);
    EXPECT_EQ(c->get_tbl(), 1);
    bytes far = format4({{0x41, 0x41, 1, 0}});
    put32(far, 8, 0xFFFFFFF0);
    cmap_font f(far);
    EXPECT_EQ(f->get_tbl(), 1);
}

TEST(Cmap, SegmentEndingAtFFFFDecodesThroughFFFF) {
    cmap_font c(format4({{0xFFF0, 0xFFFF, 1, 0}, {0xFFFF, 0xFFFF, 1, 0}}));
    ASSERT_EQ(c->get_tbl(), 0);
    EXPECT_EQ(c->get_gno(0xFFFE), 0xFFFF);
    EXPECT_EQ(c->get_gno(0xFFFF), 0); // (0xFFFF + 1) mod 65536
    EXPECT_EQ(c->get_gno(0xFFF0), 0xFFF1);
}

TEST(Cmap, OverlappingAndBackwardSegmentsDecodeInBoundedTime) {
    // Later segments win where they overlap, as when applied in order.
    cmap_font c(format4({{0x10, 0x30, 100, 0}, {0x20, 0x25, 200, 0}, {0x50, 0x40, 1, 0}}));
    ASSERT_EQ(c->get_tbl(), 0);
    EXPECT_EQ(c->get_gno(0x1F), 0x1F + 100);
    EXPECT_EQ(c->get_gno(0x20), 0x20 + 200);
    EXPECT_EQ(c->get_gno(0x26), 0x26 + 100);
    EXPECT_EQ(c->get_gno(0x45), 0);

    // 8,000 segments each covering every code: segCount x 65,536 steps
    // would take minutes, far past the suite's time-out (no clock here:
    // a slow machine must not fail a decode that is merely slow).
    std::vector<seg> all(8000, seg{0, 0xFFFE, 1, 0});
    all[7999].delta = 3;
    cmap_font big(format4(all));
    ASSERT_EQ(big->get_tbl(), 0);
    EXPECT_EQ(big->get_gno(0x41), 0x44);
    EXPECT_EQ(big->get_gno(0xFFFE), (0xFFFE + 3) & 0xFFFF);
}

TEST(Cmap, Format4EncodingTakesTheFewestBytes) {
    struct piece {
        uint32_t start, end;
        bool array; // through the glyphIdArray, else idDelta
    };
    struct {
        const char* label;
        std::vector<std::array<uint32_t, 2>> mapped; // code, glyph
        std::vector<piece> expect;                   // before the final segment
    } const cases[] = {
        {"empty map", {}, {}},
        {"one run", {{0x41, 5}, {0x42, 6}, {0x43, 7}}, {{0x41, 0x43, false}}},
        {"a broken step costs less as one array",
         {{0x20, 3}, {0x21, 4}, {0x22, 9}},
         {{0x20, 0x22, true}}},
        {"a hole in a short run is bridged", {{0x41, 5}, {0x43, 7}}, {{0x41, 0x43, true}}},
        {"far apart codes are two segments",
         {{0x41, 5}, {0x141, 9}},
         {{0x41, 0x41, false}, {0x141, 0x141, false}}},
        {"a long run broken once stays deltas",
         {{0x100, 1},
          {0x101, 2},
          {0x102, 3},
          {0x103, 4},
          {0x104, 5},
          {0x105, 99},
          {0x106, 7},
          {0x107, 8},
          {0x108, 9},
          {0x109, 10},
          {0x10A, 11}},
         {{0x100, 0x104, false}, {0x105, 0x105, false}, {0x106, 0x10A, false}}},
        {"U+0000 and U+FFFF mapped; no segment but the last starts at ffff",
         {{0, 1}, {0xFFFF, 3}},
         {{0, 0, false}, {0xFFFE, 0xFFFF, true}}},
    };
    for (const auto& c : cases) {
        std::vector<uint16_t> map(65536), again(65536);
        for (const auto& m : c.mapped)
            map[m[0]] = (uint16_t)m[1];
        std::vector<unsigned char> out;
        ASSERT_TRUE(cmap_subtables::encode_format4(map.data(), 7, &out)) << c.label;
        byte_span b(out.data(), out.size());
        size_t n = b.u16(6) / 2, array = 0;
        ASSERT_EQ(n, c.expect.size() + 1) << c.label;
        for (size_t i = 0; i + 1 < n; i++) {
            EXPECT_EQ(b.u16(16 + 2 * n + 2 * i), c.expect[i].start) << c.label << " " << i;
            EXPECT_EQ(b.u16(14 + 2 * i), c.expect[i].end) << c.label << " " << i;
            EXPECT_EQ(b.u16(16 + 6 * n + 2 * i) != 0, c.expect[i].array) << c.label << " " << i;
            if (c.expect[i].array)
                array += c.expect[i].end - c.expect[i].start + 1;
        }
        EXPECT_EQ(b.u16(14 + 2 * (n - 1)), 0xFFFF) << c.label;
        EXPECT_EQ(b.u16(16 + 2 * n + 2 * (n - 1)), 0xFFFF) << c.label;
        EXPECT_EQ(b.u16(16 + 4 * n + 2 * (n - 1)), 1) << c.label;
        EXPECT_EQ(out.size(), 16 + 8 * n + 2 * array) << c.label;
        EXPECT_EQ(b.u16(2), out.size()) << c.label;
        EXPECT_EQ(b.u16(4), 7) << c.label; // language
        unsigned p = 0;
        while ((2u << p) <= n)
            p++;
        EXPECT_EQ(b.u16(8), 2u << p) << c.label;
        EXPECT_EQ(b.u16(10), p) << c.label;
        EXPECT_EQ(b.u16(12), 2 * n - (2u << p)) << c.label;
        ASSERT_EQ(cmap_subtables::decode_format4(b, 0, again.data()), 0);
        // U+FFFF reads back only where a segment before the last holds it.
        EXPECT_TRUE(map == again) << c.label;
    }
}

TEST(Cmap, FontWithoutAWindowsSubtableGetsOneAndKeepsItsOwn) {
    bytes mac = format4({{0x41, 0x41, 1, 0}}, {}, 1, 0);
    cmap_font c(mac);
    EXPECT_EQ(c->get_tbl(), -1);
    ASSERT_EQ(c->set_chr(0x42, 0x42, 3), 0);
    byte_span b = c->bytes();
    ASSERT_EQ(b.u16(2), 2);
    EXPECT_EQ(b.u16(4), 1); // (1, 0) first, as records are sorted
    EXPECT_EQ(b.u16(12), 3);
    EXPECT_EQ(b.u16(14), 1);
    size_t macat = b.u32(8), winat = b.u32(16);
    bytes macsub(mac.begin() + 12, mac.end());
    EXPECT_EQ(bytes(b.data() + macat, b.data() + macat + macsub.size()), macsub);
    EXPECT_EQ(b.u16(winat), 4);
    EXPECT_EQ(c->get_tbl(), 0);
    EXPECT_EQ(c->get_gno(0x42), 3);
    EXPECT_EQ(c->get_gno(0x41), 0);
}

// Fonts whose Unicode map lies in one kind of subtable only: the map is
// read from it, an edit goes into it and adds no (3, 1) subtable, and
// fontTools' best map of the saved font is the old map with the run
// replaced. U+0000 and U+FFFF, mapped here, stay mapped.
TEST(Cmap, EditOfAFontWithoutA31SubtableStaysInItsOwn) {
    bytes mac;
    for (uint32_t v : {6u, 14u, 0u, 0x41u, 2u, 9u, 8u})
        add16(mac, v);
    bytes bmp = format4_subtable(
        {{0, 0, 1}, {0x41, 0x43, (uint16_t)(5 - 0x41)}, {0xFFFE, 0xFFFF, 0, {0, 3}}});
    bytes full =
        format12_subtable({{0, 0, 1}, {0x41, 0x43, 5}, {0xFFFF, 0xFFFF, 3}, {0x1F600, 0x1F601, 8}});
    struct {
        const char* label;
        std::vector<std::array<uint32_t, 3>> records;
        uint32_t start, end;
        uint16_t gno;
        std::map<uint32_t, unsigned> expect; // the best map after the edit
    } const cases[] = {
        {"(0, 3) format 4",
         {{0, 3, 0}, {1, 0, 2}},
         0x42,
         0x45,
         2,
         {{0, 1}, {0x41, 5}, {0x42, 2}, {0x43, 3}, {0x44, 4}, {0x45, 5}, {0xFFFF, 3}}},
        {"(0, 4) format 12",
         {{0, 4, 1}},
         0x1F601,
         0x1F602,
         4,
         {{0, 1},
          {0x41, 5},
          {0x42, 6},
          {0x43, 7},
          {0xFFFF, 3},
          {0x1F600, 8},
          {0x1F601, 4},
          {0x1F602, 5}}},
        {"(3, 10) format 12, a run over U+0000",
         {{1, 0, 2}, {3, 10, 1}},
         0,
         0x42,
         0xFFFF,
         {{0, 1}, {0x43, 7}, {0xFFFF, 3}, {0x1F600, 8}, {0x1F601, 9}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<table> tables = font_tables(std::vector<bytes>(12));
        *find_table(tables, "cmap") = cmap_table(c.records, {bmp, full, mac});
        ttf font;
        ASSERT_EQ(load_bytes(font, sfnt(tables)), 0);
        EXPECT_EQ(font.cmap->get_gno(0x41), 5);
        EXPECT_EQ(font.cmap->get_gno(0xFFFF), 3);
        ASSERT_EQ(font.cmap->set_chr(c.start, c.end, c.gno), 0) << font.cmap->edit_error();
        byte_span b = font.cmap->bytes();
        ASSERT_EQ(b.u16(2), c.records.size());
        for (size_t i = 0; i < c.records.size(); i++) {
            EXPECT_EQ(b.u16(4 + 8 * i), c.records[i][0]);
            EXPECT_EQ(b.u16(6 + 8 * i), c.records[i][1]);
        }
        std::string path = save_font(font);
        ASSERT_FALSE(path.empty());
        std::string out;
        ASSERT_EQ(run_command(python() + " '" + source_dir() + "/tests/tools/dump_cmap.py' '" +
                                  path + "' best",
                              &out),
                  0)
            << out;
        std::map<uint32_t, unsigned> got;
        std::istringstream lines(out);
        uint32_t code;
        unsigned gid;
        while (lines >> code >> gid)
            got[code] = gid;
        EXPECT_EQ(got, c.expect);
    }
}

namespace {

struct group {
    uint32_t start, end, glyph;
};

// A cmap whose (3, 1) and (0, 3) records share a format 4 subtable (A..C
// to 5..7), with a (3, 10) format 12 subtable of `groups` and a (3, 0)
// symbol subtable in format 6.
bytes unicode_font_cmap(const std::vector<group>& groups) {
    std::vector<std::array<uint32_t, 3>> twelve;
    for (const group& g : groups)
        twelve.push_back({g.start, g.end, g.glyph});
    bytes sub6;
    for (uint32_t v : {6u, 14u, 0u, 0xF020u, 2u, 9u, 8u})
        add16(sub6, v);
    return cmap_table(
        {{0, 3, 0}, {3, 0, 2}, {3, 1, 0}, {3, 10, 1}},
        {format4_subtable({{0x41, 0x43, (uint16_t)(5 - 0x41)}}), format12_subtable(twelve), sub6});
}

// The (3, 10) subtable's groups.
std::vector<group> groups_of(const ttf_cmap& c) {
    byte_span b = c.bytes();
    std::vector<group> out;
    for (unsigned i = 0; i < b.u16(2); i++) {
        if (b.u16(4 + 8 * i) != 3 || b.u16(6 + 8 * i) != 10)
            continue;
        size_t at = b.u32(8 + 8 * i);
        for (uint32_t k = 0; k < b.u32(at + 12); k++)
            out.push_back(
                {b.u32(at + 16 + 12 * k), b.u32(at + 20 + 12 * k), b.u32(at + 24 + 12 * k)});
    }
    return out;
}

bool operator==(const group& a, const group& b) {
    return a.start == b.start && a.end == b.end && a.glyph == b.glyph;
}

std::ostream& operator<<(std::ostream& o, const group& g) {
    return o << std::hex << "{" << g.start << ", " << g.end << ", " << g.glyph << "}";
}

} // namespace

TEST(Cmap, EditsReachFormat12AndLeaveOtherSubtablesAlone) {
    const std::vector<group> groups = {{0x20, 0x7E, 1}, {0x1F600, 0x1F64F, 500}};
    struct {
        const char* label;
        uint16_t start, end, gno;
        std::vector<group> expect;
    } const cases[] = {
        {"a run inside a group splits it",
         0x41,
         0x43,
         900,
         {{0x20, 0x40, 1}, {0x41, 0x43, 900}, {0x44, 0x7E, 0x25}, {0x1F600, 0x1F64F, 500}}},
        {"unmapping cuts a hole",
         0x41,
         0x43,
         0xFFFF,
         {{0x20, 0x40, 1}, {0x44, 0x7E, 0x25}, {0x1F600, 0x1F64F, 500}}},
        {"a run that continues its neighbours merges with them",
         0x41,
         0x43,
         0x22,
         {{0x20, 0x7E, 1}, {0x1F600, 0x1F64F, 500}}},
        {"a run across the group's end and beyond",
         0x7D,
         0x90,
         7,
         {{0x20, 0x7C, 1}, {0x7D, 0x90, 7}, {0x1F600, 0x1F64F, 500}}},
        {"a run before every group",
         0x10,
         0x11,
         3,
         {{0x10, 0x11, 3}, {0x20, 0x7E, 1}, {0x1F600, 0x1F64F, 500}}},
        {"codes 0 and ffff stay unmapped",
         0xFFFE,
         0xFFFF,
         3,
         {{0x20, 0x7E, 1}, {0xFFFE, 0xFFFE, 3}, {0x1F600, 0x1F64F, 500}}},
    };
    for (const auto& c : cases) {
        bytes table = unicode_font_cmap(groups);
        cmap_font f(table);
        ASSERT_EQ(f->get_tbl(), 0);
        ASSERT_EQ(f->set_chr(c.start, c.end, c.gno), 0) << c.label;
        EXPECT_EQ(groups_of(*f), c.expect) << c.label;
        // The symbol subtable is the same bytes; (0, 3) and (3, 1) still
        // share theirs, which took the edit.
        byte_span b = f->bytes();
        ASSERT_EQ(b.u16(2), 4) << c.label;
        size_t at6 = b.u32(16);
        EXPECT_EQ(bytes(b.data() + at6, b.data() + at6 + 14), bytes(table.end() - 14, table.end()))
            << c.label;
        EXPECT_EQ(b.u32(8), b.u32(24)) << c.label;
        EXPECT_EQ(f->get_tbl(), 0);
        uint16_t want = c.gno == 0xFFFF ? 0 : c.gno;
        EXPECT_EQ(f->get_gno(c.start), want) << c.label;
    }
}

TEST(Cmap, RunsPastTheLastGlyphNumberOrDamagedSubtablesChangeNothing) {
    // Glyph numbers fff0 ... 10000 would wrap to 0.
    cmap_font c(unicode_font_cmap({{0x20, 0x7E, 1}}));
    c->get_tbl();
    bytes before(c->data, c->data + c->length);
    EXPECT_EQ(c->set_chr(0x10, 0x20, 0xFFF0), -2);
    EXPECT_EQ(bytes(c->data, c->data + c->length), before);
    EXPECT_EQ(c->get_gno(0x10), 0);
    EXPECT_STREQ(c->edit_error(), "the run of glyph numbers would pass fffe");
    EXPECT_EQ(c->set_chr(0x10, 0x1E, 0xFFF0), 0);
    EXPECT_EQ(c->get_gno(0x1E), 0xFFFE);

    // A format 12 subtable claiming more groups than the table holds.
    bytes damaged = unicode_font_cmap({{0x20, 0x7E, 1}});
    size_t at12 = get32(damaged, 4 + 8 * 3 + 4);
    put32(damaged, at12 + 12, 0x10000000);
    cmap_font d(damaged);
    d->get_tbl();
    EXPECT_EQ(d->set_chr(0x41, 0x41, 2), -3);
    EXPECT_EQ(bytes(d->data, d->data + d->length), damaged);
    EXPECT_EQ(d->get_gno(0x41), 5);
    EXPECT_STREQ(d->edit_error(), "the (3, 10) subtable is damaged");

    // A hundred records whose subtables each claim 256 bytes of the same
    // 400: copied one by one they would be far larger than the table.
    bytes overlapping;
    add16(overlapping, 0);
    add16(overlapping, 101);
    size_t region = 4 + 8 * 101;
    for (uint32_t k = 0; k < 100; k++) {
        add16(overlapping, 1);
        add16(overlapping, k);
        add32(overlapping, (uint32_t)(region + 4 * k));
    }
    bytes windows = format4({{0xFFFF, 0xFFFF, 1, 0}});
    add16(overlapping, 3);
    add16(overlapping, 1);
    add32(overlapping, (uint32_t)(region + 400));
    for (int k = 0; k < 100; k++)
        add32(overlapping, 0x00000100); // format 0, length 256
    overlapping.insert(overlapping.end(), windows.begin() + 12, windows.end());
    cmap_font o(overlapping);
    ASSERT_EQ(o->get_tbl(), 0);
    EXPECT_EQ(o->set_chr(0x41, 0x41, 2), -3);
    EXPECT_EQ(bytes(o->data, o->data + o->length), overlapping);
    EXPECT_STREQ(o->edit_error(), "the table's subtables overlap");

    // A Unicode subtable in a format the editor does not write.
    bytes thirteen = cmap_table({{3, 1, 0}}, {format12_subtable({{0x41, 0x41, 1}})});
    put16(thirteen, 12, 13);
    cmap_font s(thirteen);
    EXPECT_EQ(s->get_tbl(), 1);
    EXPECT_EQ(s->set_chr(0x41, 0x41, 2), -3);
    EXPECT_EQ(bytes(s->data, s->data + s->length), thirteen);
    EXPECT_STREQ(s->edit_error(),
                 "the (3, 1) subtable is format 13, which this editor does not write");
}

TEST(Cmap, MapNoFormat4CanHoldIsRefused) {
    // 32,745 codes whose glyphs never go up by one fill one glyphIdArray
    // segment: 65,522 bytes. One more segment fits; a second does not.
    // With a format 12 subtable beside it the message says that it keeps
    // what format 4 cannot.
    for (bool twelve : {false, true}) {
        std::vector<uint16_t> glyphs;
        for (uint32_t k = 0; k < 32745; k++)
            glyphs.push_back((uint16_t)(1 + 2 * (k % 2)));
        std::vector<bytes> subs = {format4_subtable({{0x100, 0x100 + 32744, 0, glyphs}})};
        std::vector<std::array<uint32_t, 3>> records = {{3, 1, 0}};
        if (twelve) {
            subs.push_back(format12_subtable({{0x100, 0x100 + 32744, 1}}));
            records.push_back({3, 10, 1});
        }
        cmap_font c(cmap_table(records, subs));
        ASSERT_EQ(c->get_tbl(), 0);
        ASSERT_EQ(c->set_chr(0xA000, 0xA003, 5), 0) << c->edit_error();
        bytes before(c->data, c->data + c->length);
        EXPECT_EQ(c->set_chr(0xB000, 0xB003, 5), -1);
        EXPECT_EQ(bytes(c->data, c->data + c->length), before);
        EXPECT_EQ(c->get_gno(0xB000), 0);
        EXPECT_EQ(
            std::string(c->edit_error()),
            std::string("no format 4 subtable can hold this map: the (3, 1) one would pass "
                        "65,535 bytes") +
                (twelve ? "; the characters past what format 4 holds stay in format 12" : ""));
        // A run that continues one needs no new segment.
        EXPECT_EQ(c->set_chr(0xA004, 0xA005, 9), 0) << c->edit_error();
        EXPECT_EQ(c->get_gno(0xA005), 10);
    }
}

TEST(Cmap, EditedRealFontIsValid) {
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")), 0);
    unsigned short a = font.cmap->get_gno('A');
    EXPECT_NE(a, 0);
    ASSERT_EQ(font.cmap->set_chr(0xE000, 0xE002, a), 0);
    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    std::string out;
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    out.clear();
    EXPECT_EQ(
        run_command(python() + " '" + source_dir() + "/tests/tools/check_font.py' '" + path + "'",
                    &out),
        0)
        << out;
    ttf again;
    ASSERT_EQ(load_bytes(again, read_file(path)), 0);
    EXPECT_EQ(again.cmap->get_gno(0xE001), a + 1);
    EXPECT_EQ(again.cmap->get_gno('A'), a);
}

// Every code of real fonts' character maps, against fontTools' reading.
TEST(Cmap, RealFontsDecodeLikeFontTools) {
    for (const char* path : {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                             "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                             "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf"}) {
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(path)), 0) << path;
        std::string out;
        ASSERT_EQ(run_command(python() + " '" + source_dir() + "/tests/tools/dump_cmap.py' '" +
                                  path + "'",
                              &out),
                  0)
            << out;
        std::vector<unsigned short> expect(65536, 0);
        std::istringstream lines(out);
        unsigned code, gid;
        size_t mapped = 0;
        while (lines >> code >> gid) {
            ASSERT_LT(code, 65536u);
            expect[code] = (unsigned short)gid;
            mapped++;
        }
        EXPECT_GT(mapped, 1000u) << path;
        int wrong = 0;
        for (unsigned c = 0; c < 65536 && wrong < 5; c++) {
            if (font.cmap->get_gno(c) != expect[c]) {
                ADD_FAILURE() << path << " U+" << std::hex << c << ": " << font.cmap->get_gno(c)
                              << " instead of " << expect[c];
                wrong++;
            }
        }
    }
}
