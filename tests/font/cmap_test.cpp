#include "font/cmap.h"

#include "font/ttf.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
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

// The segments of a rebuilt table: (start, end, idDelta) each.
std::vector<seg> segments_of(const ttf_cmap& c) {
    byte_span b = c.bytes();
    size_t n = b.u16(18) / 2;
    std::vector<seg> out;
    for (size_t i = 0; i < n; i++)
        out.push_back({b.u16(28 + 2 * n + 2 * i), b.u16(26 + 2 * i), b.u16(28 + 4 * n + 2 * i),
                       b.u16(28 + 6 * n + 2 * i)});
    return out;
}

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

TEST(Cmap, WhichSubtableIsDecoded) {
    cmap_font mac(format4({{0x41, 0x41, 1, 0}}, {}, 1, 0));
    EXPECT_EQ(mac->get_tbl(), -1);
    EXPECT_EQ(mac->get_gno(0x41), 0);

    bytes f6 = format4({{0x41, 0x41, 1, 0}});
    put16(f6, 12, 6);
    cmap_font six(f6);
    EXPECT_EQ(six->get_tbl(), 1);
    EXPECT_EQ(six->get_gno(0x41), 0);

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

TEST(Cmap, SetChrBuildsTheSegments) {
    cmap_font c(format4({{0xFFFF, 0xFFFF, 1, 0}}));
    ASSERT_EQ(c->get_tbl(), 0);
    ASSERT_EQ(c->set_chr(0x41, 0x43, 5), 0);
    EXPECT_EQ(c->get_gno(0x41), 5);
    EXPECT_EQ(c->get_gno(0x43), 7);
    std::vector<seg> s = segments_of(*c);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].start, 0x41u);
    EXPECT_EQ(s[0].end, 0x43u);
    EXPECT_EQ(s[0].delta, 0xFFC4u);
    EXPECT_EQ(s[1].start, 0xFFFFu);
    EXPECT_EQ(s[1].delta, 1u);
    byte_span b = c->bytes();
    EXPECT_EQ(c->length, 8u * 2 + 28);
    EXPECT_EQ(b.u16(14), 8 * 2 + 16);
    EXPECT_EQ(b.u16(20), 4); // searchRange
    EXPECT_EQ(b.u16(22), 1);
    EXPECT_EQ(b.u16(24), 0);

    // A run that breaks the +1 step splits; unmapping leaves a lone code.
    c->set_chr(0x20, 0x21, 3);
    c->set_chr(0x22, 0x22, 9);
    c->set_chr(0x42, 0x42, 0xFFFF);
    s = segments_of(*c);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].start, 0x20u);
    EXPECT_EQ(s[0].end, 0x21u);
    EXPECT_EQ(s[1].start, 0x22u);
    EXPECT_EQ(s[2].start, 0x41u);
    EXPECT_EQ(s[2].end, 0x41u);
    EXPECT_EQ(s[3].start, 0x43u);

    // end < start changes nothing in the map.
    c->set_chr(0x50, 0x40, 1);
    EXPECT_EQ(c->get_gno(0x45), 0);
    // 0 and 0xFFFF are never mapped in a rebuilt table.
    c->set_chr(0xFFFE, 0xFFFF, 1);
    EXPECT_EQ(c->get_gno(0xFFFF), 0);
    EXPECT_EQ(c->get_gno(0xFFFE), 1);
}

TEST(Cmap, EmptyMapHasOnlyTheFinalSegment) {
    cmap_font c(format4({{0x41, 0x41, 2, 0}}, {}, 3, 1));
    c->set_chr(0x41, 0x41, 0xFFFF);
    byte_span b = c->bytes();
    EXPECT_EQ(c->length, 36u);
    EXPECT_EQ(b.u16(18), 2);
    EXPECT_EQ(b.u16(20), 2);
    EXPECT_EQ(b.u16(22), 0);
    EXPECT_EQ(b.u16(24), 0);
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

namespace {

struct group {
    uint32_t start, end, glyph;
};

// A cmap whose (3, 1) and (0, 3) records share a format 4 subtable (A..C
// to 5..7), with a (3, 10) format 12 subtable of `groups` and a (3, 0)
// symbol subtable in format 6.
bytes unicode_font_cmap(const std::vector<group>& groups) {
    bytes f4 = format4({{0x41, 0x43, (uint16_t)(5 - 0x41), 0}, {0xFFFF, 0xFFFF, 1, 0}});
    bytes sub4(f4.begin() + 12, f4.end());
    bytes sub12;
    add16(sub12, 12);
    add16(sub12, 0);
    add32(sub12, (uint32_t)(16 + 12 * groups.size()));
    add32(sub12, 0);
    add32(sub12, (uint32_t)groups.size());
    for (const group& g : groups) {
        add32(sub12, g.start);
        add32(sub12, g.end);
        add32(sub12, g.glyph);
    }
    bytes sub6;
    for (uint32_t v : {6u, 14u, 0u, 0xF020u, 2u, 9u, 8u})
        add16(sub6, v);
    bytes b;
    add16(b, 0);
    add16(b, 4);
    size_t at4 = 4 + 8 * 4, at12 = at4 + sub4.size(), at6 = at12 + sub12.size();
    for (auto r : {std::array<size_t, 3>{0, 3, at4}, {3, 0, at6}, {3, 1, at4}, {3, 10, at12}}) {
        add16(b, (uint32_t)r[0]);
        add16(b, (uint32_t)r[1]);
        add32(b, (uint32_t)r[2]);
    }
    b.insert(b.end(), sub4.begin(), sub4.end());
    b.insert(b.end(), sub12.begin(), sub12.end());
    b.insert(b.end(), sub6.begin(), sub6.end());
    return b;
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

    // A (3, 1) subtable in a format the editor does not write.
    bytes six = format4({{0x41, 0x41, 1, 0}});
    put16(six, 12, 6);
    cmap_font s(six);
    EXPECT_EQ(s->get_tbl(), 1);
    EXPECT_EQ(s->set_chr(0x41, 0x41, 2), -3);
    EXPECT_EQ(bytes(s->data, s->data + s->length), six);
}

TEST(Cmap, MapTooScatteredForOneSubtableIsRefused) {
    // Every other code mapped to glyph 1: one segment each, until the
    // 16-bit subtable length cannot describe more. Further edits that would
    // add segments are refused and change nothing.
    cmap_font c(format4({{0xFFFF, 0xFFFF, 1, 0}}));
    c->get_tbl();
    unsigned refused = 0, first_refused = 0;
    for (unsigned code = 2; code < 20000; code += 2) {
        if (c->set_chr((unsigned short)code, (unsigned short)code, 1) != 0) {
            refused++;
            if (!first_refused)
                first_refused = code;
        }
    }
    EXPECT_GT(refused, 0u);
    EXPECT_EQ(c->get_gno((unsigned short)first_refused), 0);
    unsigned segments = c->bytes().u16(18) / 2;
    EXPECT_EQ(segments, (0xFFFFu - 16) / 8);
    EXPECT_EQ(c->bytes().u16(14), 8 * segments + 16);
    EXPECT_EQ(c->length, 8 * segments + 28);
    // Extending an existing run adds no segment and is still allowed.
    EXPECT_EQ(c->set_chr(3, 3, 2), 0);
    EXPECT_EQ(c->get_gno(3), 2);
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
