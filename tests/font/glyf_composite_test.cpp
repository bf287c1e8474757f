// Composite glyphs and the container's glyph access, on small fonts built by
// the tests: component placement and limits, components the font does not
// have, glyphs that refer to themselves, deep and exponentially shared
// nesting, and storing glyphs with loca kept in step.
#include "font/glyf.h"
#include "font/glyf_components.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "font/font_builder.h"
#include "outline/outline_builders.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

using namespace font_builder;

namespace {

bytes header(int contours) {
    bytes b;
    add16(b, (uint32_t)(uint16_t)contours);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    return b;
}

// The square (0, 0), (100, 0), (100, 100), (0, 100), all on-curve.
bytes square() {
    bytes b = header(1);
    add16(b, 3);
    add16(b, 0);
    for (int v : {0x31, 0x33, 0x35, 0x23, 100, 100, 100})
        b.push_back((unsigned char)v);
    b.push_back(0);
    return b;
}

struct entry {
    unsigned index;
    int dx = 0, dy = 0;
    uint16_t extra_flags = 0;
    std::vector<uint16_t> transform = {};
};

// A composite record of word-argument entries.
bytes composite(const std::vector<entry>& entries, const bytes& instructions = {}) {
    bytes b = header(-1);
    for (size_t i = 0; i < entries.size(); i++) {
        const entry& e = entries[i];
        uint16_t flags = 0x0003 | e.extra_flags;
        if (i + 1 < entries.size())
            flags |= 0x0020;
        else if (!instructions.empty())
            flags |= 0x0100;
        if (e.transform.size() == 1)
            flags |= 0x0008;
        else if (e.transform.size() == 2)
            flags |= 0x0040;
        else if (e.transform.size() == 4)
            flags |= 0x0080;
        add16(b, flags);
        add16(b, e.index);
        add16(b, (uint32_t)(uint16_t)e.dx);
        add16(b, (uint32_t)(uint16_t)e.dy);
        for (uint16_t t : e.transform)
            add16(b, t);
    }
    if (!instructions.empty()) {
        add16(b, (uint32_t)instructions.size());
        b.insert(b.end(), instructions.begin(), instructions.end());
        if (b.size() % 2)
            b.push_back(0);
    }
    return b;
}

std::vector<entry> copies(unsigned index, int n) {
    std::vector<entry> v;
    for (int i = 0; i < n; i++)
        v.push_back({index, 10 * i, 0});
    return v;
}

enum : unsigned {
    EMPTY,
    SQUARE,
    PLACED,  // SQUARE at (10, -20)
    SELF,    // refers to itself
    CYCLE_A, // -> CYCLE_B -> CYCLE_A
    CYCLE_B,
    MISSING,  // glyph 999, then SQUARE
    EIGHT,    // eight copies of SQUARE
    MATRIX,   // SQUARE under a 2x2 matrix, with instructions
    NESTED,   // PLACED at (1000, 0)
    TO_CYCLE, // SQUARE, then CYCLE_A
    CHAIN,    // CHAIN -> CHAIN+1 -> ... -> SQUARE, chain_length links
    chain_length = 20,
    SHORT_CHAIN = CHAIN + chain_length, // -> CHAIN + 10, 10 links
    FAN,                                // FAN -> 7 x (FAN+1) -> ... 8 levels
    fan_levels = 8,
    OUTSIDE = FAN + fan_levels + 1, // record runs past the glyf table
    TO_OUTSIDE,
    glyph_count,
};

std::vector<bytes> records() {
    std::vector<bytes> r(glyph_count);
    r[SQUARE] = square();
    r[PLACED] = composite({{SQUARE, 10, -20}});
    r[SELF] = composite({{SELF}});
    r[CYCLE_A] = composite({{CYCLE_B}});
    r[CYCLE_B] = composite({{CYCLE_A}});
    r[MISSING] = composite({{999, 1, 1}, {SQUARE, 5, 6}});
    r[EIGHT] = composite(copies(SQUARE, 8));
    r[MATRIX] =
        composite({{SQUARE, 0, 0, 0, {0x4000, 0x2000, 0xC000, 0x4000}}}, {0xB0, 0x01, 0x2C});
    r[NESTED] = composite({{PLACED, 1000, 0}});
    r[TO_CYCLE] = composite({{SQUARE}, {CYCLE_A}});
    for (unsigned i = 0; i < chain_length - 1; i++)
        r[CHAIN + i] = composite({{CHAIN + i + 1}});
    r[CHAIN + chain_length - 1] = composite({{SQUARE}});
    r[SHORT_CHAIN] = composite({{CHAIN + 10}});
    for (unsigned i = 0; i < fan_levels; i++)
        r[FAN + i] = composite(copies(FAN + i + 1, 7));
    r[FAN + fan_levels] = square();
    r[OUTSIDE] = square();
    r[TO_OUTSIDE] = composite({{OUTSIDE}});
    return r;
}

// Loads the test font; OUTSIDE's record is made to run 1000 bytes past the
// end of glyf.
void load_test_font(ttf& font) {
    std::vector<table> tables = font_tables(records());
    bytes* loca = find_table(tables, "loca");
    put32(*loca, 4 * (OUTSIDE + 1), get32(*loca, 4 * (OUTSIDE + 1)) + 1000);
    ASSERT_EQ(load_bytes(font, sfnt(tables)), 0);
}

std::vector<pt> outline(const glyph& g) {
    std::vector<pt> out;
    for (int i = 0; i < g.count; i++)
        for (const pt& p : points_of(g.contours[i]))
            out.push_back(p);
    return out;
}

std::vector<pt> square_at(float x, float y) {
    return {{x, y, 0}, {x + 100, y, 0}, {x + 100, y + 100, 0}, {x, y + 100, 0}};
}

} // namespace

TEST(GlyfComposite, ComponentsArePlacedAndFlattened) {
    ttf font;
    load_test_font(font);

    glyph placed(PLACED);
    ASSERT_EQ(font.get_glyph(PLACED, &placed), 0);
    ASSERT_EQ(placed.ncompo, 1);
    EXPECT_EQ(placed.compo[0]->index, SQUARE);
    EXPECT_EQ(placed.compo[0]->depth, 1);
    EXPECT_EQ(placed.compo_dx[0], 10);
    EXPECT_EQ(placed.compo_dy[0], -20);
    EXPECT_EQ(outline(placed), square_at(10, -20));
    // The component's rectangle follows the outline.
    EXPECT_EQ(points_of(placed.contours[1]),
              (std::vector<pt>{{10, -20, 0}, {110, -20, 0}, {110, 80, 0}, {10, 80, 0}}));

    glyph nested(NESTED);
    ASSERT_EQ(font.get_glyph(NESTED, &nested), 0);
    EXPECT_EQ(nested.compo[0]->compo[0]->depth, 2);
    EXPECT_EQ(nested.count, 1);
    EXPECT_EQ(outline(nested), square_at(1010, -20));

    // The matrix is applied with its values in their roles; instructions
    // after the last entry are read past.
    glyph matrix(MATRIX);
    ASSERT_EQ(font.get_glyph(MATRIX, &matrix), 0);
    EXPECT_EQ(matrix.compo_scale01[0], 0x2000);
    EXPECT_EQ(matrix.compo_scale10[0], 0xC000);
    // x' = x + y * -1, y' = x * 0.5 + y.
    EXPECT_EQ(outline(matrix),
              (std::vector<pt>{{0, 0, 0}, {100, 50, 0}, {0, 150, 0}, {-100, 100, 0}}));

    // Components the font does not have are dropped, the others keep
    // order, and the glyph says it lost something; eight components (as
    // real fonts have) are all kept.
    glyph missing(MISSING);
    ASSERT_EQ(font.get_glyph(MISSING, &missing), 0);
    ASSERT_EQ(missing.ncompo, 1);
    EXPECT_EQ(missing.compo_dx[0], 5);
    EXPECT_EQ(missing.lossy, glyph::lost_component);
    glyph eight(EIGHT);
    ASSERT_EQ(font.get_glyph(EIGHT, &eight), 0);
    EXPECT_EQ(eight.ncompo, 8);
    EXPECT_EQ(eight.compo_dx[7], 70);
    EXPECT_EQ(eight.count, 8);
    EXPECT_EQ(eight.lossy, 0);
    EXPECT_EQ(placed.lossy, 0);

    // Ten levels of nesting are fine.
    glyph chain(SHORT_CHAIN);
    ASSERT_EQ(font.get_glyph(SHORT_CHAIN, &chain), 0);
    EXPECT_EQ(outline(chain), square_at(0, 0));
}

// Components under a matrix land where fontTools (and FreeType) put them:
// scale01 takes x into y and scale10 takes y into x.
TEST(GlyfComposite, MatrixComponentsLandWhereFontToolsPutsThem) {
    const std::vector<std::vector<uint16_t>> matrices = {
        {0x0000, 0x4000, 0xC000, 0x0000}, // a quarter turn
        {0x4000, 0x2000, 0x0000, 0x4000}, // x slants into y
        {0x4000, 0x0000, 0x1000, 0x4000}, // y slants into x
        {0x2000, 0xE000, 0x3000, 0xC000}, // all four, a mirror among them
    };
    std::vector<bytes> records = {bytes(), square()};
    for (const std::vector<uint16_t>& m : matrices)
        records.push_back(composite({{1, 7, -3, 0, m}}));
    ttf font;
    ASSERT_EQ(load_bytes(font, sfnt(font_tables(records))), 0);
    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    std::string printed;
    ASSERT_EQ(
        testing_support::run_command(testing_support::python() +
                                         " -c 'import sys\n"
                                         "from fontTools.ttLib import TTFont\n"
                                         "f = TTFont(sys.argv[1]); g = f[\"glyf\"]\n"
                                         "for n in f.getGlyphOrder()[2:]:\n"
                                         "    c, e, fl = g[n].getCoordinates(g)\n"
                                         "    print(\" \".join(\"%g %g\" % p for p in c))' '" +
                                         path + "'",
                                     &printed),
        0)
        << printed;
    std::istringstream lines(printed);
    for (size_t i = 0; i < matrices.size(); i++) {
        SCOPED_TRACE(i);
        glyph g((unsigned short)(2 + i));
        ASSERT_EQ(font.get_glyph(2 + (int)i, &g), 0);
        std::ostringstream mine;
        for (const pt& p : outline(g))
            mine << (mine.tellp() ? " " : "") << p.x << " " << p.y;
        std::string theirs;
        std::getline(lines, theirs);
        EXPECT_EQ(mine.str(), theirs);
    }
}

TEST(GlyfComposite, DamagedCompositesFailCleanly) {
    ttf font;
    load_test_font(font);
    const unsigned refused[] = {SELF, CYCLE_A, CYCLE_B, TO_CYCLE, CHAIN, FAN, OUTSIDE, TO_OUTSIDE};
    for (unsigned gno : refused) {
        glyph g((unsigned short)gno);
        g.add_shape(make_square(0, 0, 1));
        EXPECT_EQ(font.get_glyph((int)gno, &g), -1) << gno;
        EXPECT_EQ(g.count, 1) << gno;
        EXPECT_EQ(g.ncompo, 0) << gno;
        // What the caller holds is not that glyph: it cannot be stored as it.
        EXPECT_EQ(g.lossy, glyph::lost_damaged) << gno;
        EXPECT_EQ(font.set_glyph((int)gno, &g), TTF_GLYPH_LOSSY) << gno;
    }
    // A self-reference is caught even when the glyph object does not know
    // its own index.
    glyph anonymous(0xFFFF);
    EXPECT_EQ(font.get_glyph(SELF, &anonymous), -1);
}

TEST(GlyfComposite, GlyphAccessChecksItsArguments) {
    ttf font;
    load_test_font(font);
    glyph g(0);
    g.add_shape(make_square(0, 0, 1));
    EXPECT_EQ(font.get_glyph(glyph_count, &g), -1);
    EXPECT_EQ(font.get_glyph(-1, &g), -1);
    EXPECT_EQ(font.get_glyph(EMPTY, &g), 0);
    EXPECT_EQ(g.count, 1); // an empty glyph leaves g as it was
    EXPECT_EQ(font.get_glyph(SQUARE, nullptr), -1);
    EXPECT_EQ(font.set_glyph(glyph_count, &g), -1);
    EXPECT_EQ(font.set_glyph(-5, &g), -1);
    EXPECT_EQ(font.set_glyph(SQUARE, nullptr), -1);

    ttf none;
    EXPECT_EQ(none.get_glyph(0, &g), -1);
    EXPECT_EQ(none.set_glyph(0, &g), -1);
}

TEST(GlyfComposite, StoringAGlyphShiftsTheLaterRecords) {
    ttf font;
    load_test_font(font);
    const bool is32 = font.head->is32loca();
    unsigned long off_before, len_before, off_next, len_next;
    ASSERT_EQ(font.loca->get_offset(is32, SQUARE, &off_before, &len_before), 0);
    ASSERT_EQ(font.loca->get_offset(is32, PLACED, &off_next, &len_next), 0);
    const unsigned long glyf_before = font.glyf->length;

    glyph g(SQUARE);
    g.add_shape(make_shape({{0, 0, 0}, {500, 0, 1}, {500, 500, 0}}));
    g.add_shape(make_shape({{10, 10, 0}, {20, 10, 0}, {20, 20, 0}}));
    ASSERT_EQ(font.set_glyph(SQUARE, &g), 0);

    unsigned long off, len;
    ASSERT_EQ(font.loca->get_offset(is32, SQUARE, &off, &len), 0);
    EXPECT_EQ(off, off_before);
    EXPECT_EQ(len % 2, 0u);
    EXPECT_EQ(font.glyf->length, glyf_before - len_before + len);
    ASSERT_EQ(font.loca->get_offset(is32, PLACED, &off, &len), 0);
    EXPECT_EQ(off, off_next - len_before + (font.glyf->length - glyf_before + len_before));
    EXPECT_EQ(len, len_next);

    // Both the stored glyph and the composite after it read back.
    glyph back(SQUARE);
    ASSERT_EQ(font.get_glyph(SQUARE, &back), 0);
    EXPECT_EQ(outline(back), outline(g));
    glyph placed(PLACED);
    ASSERT_EQ(font.get_glyph(PLACED, &placed), 0);
    EXPECT_EQ(placed.count, 2);
    EXPECT_EQ(placed.contours[0]->points[1], BPoint(510, -20));

    // A composite stored in place of an empty glyph, then emptied again.
    glyph c(EMPTY);
    c.add_compo(new glyph(PLACED), 3, 4, 0x4000, 0, 0, 0x4000);
    ASSERT_EQ(font.set_glyph(EMPTY, &c), 0);
    glyph cback(EMPTY);
    ASSERT_EQ(font.get_glyph(EMPTY, &cback), 0);
    ASSERT_EQ(cback.ncompo, 1);
    EXPECT_EQ(cback.compo[0]->index, PLACED);
    glyph nothing(EMPTY);
    ASSERT_EQ(font.set_glyph(EMPTY, &nothing), 0);
    ASSERT_EQ(font.loca->get_offset(is32, EMPTY, &off, &len), 0);
    EXPECT_EQ(len, 0u);
}

TEST(GlyfComposite, StoringRefusesWhatWouldDamageTheFont) {
    ttf font;
    load_test_font(font);
    bytes glyf_before(font.glyf->data, font.glyf->data + font.glyf->length);
    bytes loca_before(font.loca->data, font.loca->data + font.loca->length);

    // A composite naming itself, directly or through the glyphs it is made
    // of, or a glyph the font does not have.
    glyph self(PLACED);
    self.add_compo(new glyph(PLACED), 0, 0, 0x4000, 0, 0, 0x4000);
    EXPECT_EQ(font.set_glyph(PLACED, &self), TTF_GLYPH_CYCLE);
    glyph through(SQUARE);
    through.add_compo(new glyph(EMPTY), 0, 0, 0x4000, 0, 0, 0x4000);
    through.add_compo(new glyph(NESTED), 0, 0, 0x4000, 0, 0, 0x4000); // NESTED -> PLACED -> SQUARE
    EXPECT_EQ(font.set_glyph(SQUARE, &through), TTF_GLYPH_CYCLE);
    EXPECT_TRUE(font.makes_cycle(SQUARE, NESTED));
    EXPECT_TRUE(font.makes_cycle(SQUARE, SQUARE));
    EXPECT_TRUE(font.makes_cycle(CHAIN + 19, CHAIN));
    EXPECT_FALSE(font.makes_cycle(CHAIN, CHAIN + 19));
    EXPECT_FALSE(font.makes_cycle(PLACED, SQUARE));
    EXPECT_FALSE(font.makes_cycle(PLACED, TO_CYCLE)); // a cycle elsewhere ends
    EXPECT_FALSE(font.makes_cycle(SQUARE, glyph_count + 5));
    // A glyph read without all its parts.
    glyph partial(MISSING);
    ASSERT_EQ(font.get_glyph(MISSING, &partial), 0);
    EXPECT_EQ(font.set_glyph(MISSING, &partial), TTF_GLYPH_LOSSY);
    glyph beyond(PLACED);
    beyond.add_compo(new glyph(glyph_count), 0, 0, 0x4000, 0, 0, 0x4000);
    EXPECT_EQ(font.set_glyph(PLACED, &beyond), -1);
    // A glyph whose current record lies outside glyf.
    glyph g(OUTSIDE);
    g.add_shape(make_square(0, 0, 1));
    EXPECT_EQ(font.set_glyph(OUTSIDE, &g), -1);

    EXPECT_EQ(bytes(font.glyf->data, font.glyf->data + font.glyf->length), glyf_before);
    EXPECT_EQ(bytes(font.loca->data, font.loca->data + font.loca->length), loca_before);
}

TEST(GlyfComposite, ShortLocaFontStaysReadableAfterEdits) {
    std::vector<table> tables = font_tables({bytes(), square(), composite({{1, 7, 7}})});
    // Rewrite loca in the short format.
    bytes* loca = find_table(tables, "loca");
    bytes short_loca;
    for (size_t i = 0; i + 4 <= loca->size(); i += 4)
        add16(short_loca, get32(*loca, i) / 2);
    *loca = short_loca;
    put16(*find_table(tables, "head"), 50, 0);
    ttf font;
    ASSERT_EQ(load_bytes(font, sfnt(tables)), 0);

    glyph g(1);
    g.add_shape(make_shape({{1, 1, 0}})); // an odd 17-byte record, padded
    ASSERT_EQ(font.set_glyph(1, &g), 0);
    glyph c(2);
    ASSERT_EQ(font.get_glyph(2, &c), 0);
    ASSERT_EQ(c.ncompo, 1);
    EXPECT_EQ(outline(c), (std::vector<pt>{{8, 8, 0}}));

    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    std::string log;
    // Too small a font for OTS (no OS/2, name or post); fontTools reads
    // every glyph of it.
    EXPECT_EQ(testing_support::run_command(testing_support::python() + " '" +
                                               testing_support::source_dir() +
                                               "/tests/tools/check_font.py' '" + path + "'",
                                           &log),
              0)
        << log;
}

TEST(GlyfComposite, ComponentsPastTheCapacityMakeTheGlyphLossy) {
    std::vector<bytes> r = {bytes(), square(), composite(copies(1, glyph::max_components)),
                            composite(copies(1, glyph::max_components + 1))};
    // Their boxes: squares 10 units apart.
    put16(r[2], 6, 10 * (glyph::max_components - 1) + 100);
    put16(r[2], 8, 100);
    put16(r[3], 6, 10 * glyph::max_components + 100);
    put16(r[3], 8, 100);
    ttf font;
    ASSERT_EQ(load_bytes(font, sfnt(font_tables(r))), 0);
    glyph full(2), over(3);
    ASSERT_EQ(font.get_glyph(2, &full), 0);
    ASSERT_EQ(font.get_glyph(3, &over), 0);
    EXPECT_EQ(full.ncompo, glyph::max_components);
    EXPECT_EQ(full.lossy, 0);
    int misplaced = 0;
    for (int k = 0; k < full.ncompo; k++)
        misplaced += full.compo_dx[k] != 10 * k || full.compo[k]->index != 1;
    EXPECT_EQ(misplaced, 0);
    EXPECT_EQ(over.ncompo, glyph::max_components);
    EXPECT_EQ(over.lossy, glyph::lost_capacity);
    bytes before(font.glyf->data, font.glyf->data + font.glyf->length);
    EXPECT_EQ(font.set_glyph(3, &over), TTF_GLYPH_LOSSY);
    EXPECT_EQ(font.set_glyph(2, &full), 0);
    EXPECT_EQ(bytes(font.glyf->data, font.glyf->data + font.glyf->length), before);
}

TEST(GlyfComposite, DecodingAndCountingShareOneNestingLimit) {
    // CHAIN + i nests chain_length - i composites deep: the codec reads
    // exactly the glyphs whose depth the maxp walk counts.
    ttf font;
    load_test_font(font);
    int readable = 0;
    for (unsigned i = 0; i < chain_length; i++) {
        const unsigned gno = CHAIN + i, depth = chain_length - i;
        glyph g((unsigned short)gno);
        unsigned short d = 0, c, nc, np;
        const int decoded = font.get_glyph((int)gno, &g);
        const int counted = font.glyf->get_info((unsigned short)gno, &d, &c, &nc, &np);
        EXPECT_EQ(decoded, depth <= GLYF_MAX_COMPONENT_DEPTH ? 0 : -1) << depth;
        EXPECT_EQ(counted, decoded) << depth;
        if (counted == 0) {
            EXPECT_EQ(d, depth);
            readable++;
        }
    }
    EXPECT_EQ(readable, (int)GLYF_MAX_COMPONENT_DEPTH);
}
