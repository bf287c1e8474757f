// The glyph codec on real fonts, checked against fontTools: every glyph
// decodes to the points, flags, contour ends and components fontTools reads;
// re-encoding a simple glyph and decoding it again changes nothing; a font
// whose glyphs were all stored again is still accepted by OTS and fontTools.
#include "font/glyf.h"
#include "font/head.h"
#include "font/loca.h"
#include "font/maxp.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include "font/font_builder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>
#include <sstream>

using namespace font_builder;
using namespace testing_support;

namespace {

const char* const REAL_FONTS[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
};

struct flat_outline {
    std::vector<int> ends;
    std::vector<double> x, y;
    std::vector<int> on;
};

struct component {
    unsigned index, flags;
    int dx, dy;
    unsigned xscale, scale01, scale10, yscale;
};

struct reference_glyph {
    char kind = 'e'; // e(mpty), s(imple), c(omposite)
    std::vector<component> components;
    bool has_outline = false;
    flat_outline outline;
};

bool read_outline(std::istringstream& in, flat_outline& o) {
    std::string first;
    in >> first;
    if (first == "-")
        return false;
    size_t n = std::stoul(first), p;
    o.ends.resize(n);
    for (int& e : o.ends)
        in >> e;
    in >> p;
    o.x.resize(p);
    o.y.resize(p);
    o.on.resize(p);
    for (size_t i = 0; i < p; i++)
        in >> o.x[i] >> o.y[i] >> o.on[i];
    return true;
}

// Runs tests/tools/dump_glyphs.py and parses its lines.
std::vector<reference_glyph> fonttools_glyphs(const char* path) {
    std::string out;
    int rc = run_command(python() + " '" + source_dir() + "/tests/tools/dump_glyphs.py' '" + path +
                             "' 2>/dev/null",
                         &out);
    EXPECT_EQ(rc, 0);
    std::vector<reference_glyph> glyphs;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        size_t gid;
        std::string kind;
        in >> gid >> kind;
        reference_glyph r;
        r.kind = kind[0];
        if (r.kind == 's') {
            r.has_outline = read_outline(in, r.outline);
        } else if (r.kind == 'c') {
            size_t k;
            in >> k;
            r.components.resize(k);
            for (component& c : r.components)
                in >> c.index >> c.flags >> c.dx >> c.dy >> c.xscale >> c.scale01 >> c.scale10 >>
                    c.yscale;
            std::string f;
            in >> f;
            r.has_outline = read_outline(in, r.outline);
        }
        if (glyphs.size() != gid)
            break;
        glyphs.push_back(r);
    }
    return glyphs;
}

flat_outline outline_of(const glyph& g) {
    flat_outline o;
    int end = -1;
    for (int i = 0; i < g.count; i++) {
        const shape* s = g.contours[i];
        end += s->count;
        o.ends.push_back(end);
        for (int j = 0; j < s->count; j++) {
            o.x.push_back(s->points[j].x);
            o.y.push_back(s->points[j].y);
            o.on.push_back(s->flags[j] == 0 ? 1 : 0);
        }
    }
    return o;
}

std::string compare(const flat_outline& want, const flat_outline& got, double tolerance) {
    if (want.ends != got.ends)
        return "contour ends differ";
    for (size_t i = 0; i < want.x.size(); i++) {
        if (std::fabs(want.x[i] - got.x[i]) > tolerance ||
            std::fabs(want.y[i] - got.y[i]) > tolerance || want.on[i] != got.on[i]) {
            std::ostringstream m;
            m << "point " << i << ": want (" << want.x[i] << ", " << want.y[i] << ", " << want.on[i]
              << ") got (" << got.x[i] << ", " << got.y[i] << ", " << got.on[i] << ")";
            return m.str();
        }
    }
    return "";
}

// True when decoding reproduces fontTools' flattened outline for this
// glyph: every component, at every level, is placed by x/y offsets without
// scaled offsets or a 2x2 matrix, and no composite has more than seven.
bool flattens_alike(const std::vector<reference_glyph>& ref, unsigned gid, int depth = 0) {
    if (gid >= ref.size() || depth > 8)
        return false;
    const reference_glyph& r = ref[gid];
    if (r.kind != 'c')
        return true;
    if (r.components.size() > (size_t)glyph::max_components)
        return false;
    for (const component& c : r.components) {
        if (!(c.flags & 0x0002) || (c.flags & 0x0800) || c.scale01 || c.scale10 ||
            !flattens_alike(ref, c.index, depth + 1))
            return false;
    }
    return true;
}

// The instruction bytes of a simple record.
bytes instructions_of(const byte_span& rec) {
    size_t at = 10 + 2 * (size_t)rec.s16(0);
    byte_span ins = rec.slice(at + 2, rec.u16(at));
    return bytes(ins.data(), ins.data() + ins.size());
}

} // namespace

TEST(GlyfRealFonts, DecodeMatchesFontToolsAndSimpleGlyphsReencodeExactly) {
    for (const char* path : REAL_FONTS) {
        SCOPED_TRACE(path);
        std::vector<reference_glyph> ref = fonttools_glyphs(path);
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(path)), 0);
        const unsigned n = font.maxp->numglyphs();
        ASSERT_EQ(ref.size(), n);

        int mismatches = 0, flattened = 0, simple = 0, composite = 0;
        auto fail = [&](unsigned gid, const std::string& what) {
            if (++mismatches <= 10)
                ADD_FAILURE() << "glyph " << gid << ": " << what;
        };
        for (unsigned gid = 0; gid < n; gid++) {
            const reference_glyph& r = ref[gid];
            glyph g((unsigned short)gid);
            if (font.get_glyph((int)gid, &g) != 0) {
                fail(gid, "get_glyph failed");
                continue;
            }
            if (r.kind == 'e') {
                if (g.count != 0 || g.ncompo != 0)
                    fail(gid, "empty glyph decoded to something");
            } else if (r.kind == 's') {
                simple++;
                if (g.ncompo != 0) {
                    fail(gid, "simple glyph has components");
                    continue;
                }
                std::string d = compare(r.outline, outline_of(g), 0);
                if (!d.empty())
                    fail(gid, d);

                // decode -> encode -> decode, in a table holding just this
                // record so that its instructions are the ones kept.
                unsigned long off, len;
                font.loca->get_offset(font.head->is32loca(), (int)gid, &off, &len);
                byte_span rec = font.glyf->bytes().slice(off, len);
                unsigned char* copy = malloc32((long)len);
                std::copy(rec.data(), rec.data() + len, copy);
                ttf_glyf single(nullptr, copy, len);
                unsigned long at = 0, newlen = len;
                if (single.encode(&g, &at, &newlen) != 0) {
                    fail(gid, "encode failed");
                    continue;
                }
                EXPECT_EQ(single.length, newlen);
                glyph again((unsigned short)gid);
                if (single.decode(0, newlen, &again) != 0) {
                    fail(gid, "decode of the re-encoded record failed");
                    continue;
                }
                d = compare(outline_of(g), outline_of(again), 0);
                if (!d.empty())
                    fail(gid, "after re-encoding: " + d);
                if (instructions_of(single.bytes()) != instructions_of(rec))
                    fail(gid, "instructions changed");
            } else {
                composite++;
                size_t want = std::min(r.components.size(), (size_t)glyph::max_components);
                if ((size_t)g.ncompo != want) {
                    fail(gid, "component count " + std::to_string(g.ncompo));
                    continue;
                }
                for (size_t k = 0; k < want; k++) {
                    const component& c = r.components[k];
                    if (g.compo[k]->index != c.index || g.compo_dx[k] != c.dx ||
                        g.compo_dy[k] != c.dy || g.compo_xscale[k] != c.xscale ||
                        g.compo_scale01[k] != c.scale01 || g.compo_scale10[k] != c.scale10 ||
                        g.compo_yscale[k] != c.yscale)
                        fail(gid, "component " + std::to_string(k) + " differs");
                    if (g.compo[k]->depth != g.depth + 1)
                        fail(gid, "component depth");
                }
                if (r.has_outline && flattens_alike(ref, gid)) {
                    flattened++;
                    std::string d = compare(r.outline, outline_of(g), 0.01);
                    if (!d.empty())
                        fail(gid, "flattened: " + d);
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        // The comparison must actually have covered the font.
        EXPECT_GT(simple, 1000);
        EXPECT_GT(composite, 500);
        EXPECT_GT(flattened, composite * 9 / 10);
    }
}

TEST(GlyfRealFonts, FontWithEveryGlyphStoredAgainPassesReaders) {
    const char* path = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file(path)), 0);
    const unsigned n = font.maxp->numglyphs();
    std::vector<flat_outline> before(n);
    for (unsigned gid = 0; gid < n; gid++) {
        glyph g((unsigned short)gid);
        ASSERT_EQ(font.get_glyph((int)gid, &g), 0);
        before[gid] = outline_of(g);
        ASSERT_EQ(font.set_glyph((int)gid, &g), 0) << gid;
    }
    std::string out = save_font(font);
    ASSERT_FALSE(out.empty());
    std::string log;
    EXPECT_EQ(run_command("ots-sanitize '" + out + "'", &log), 0) << log;
    EXPECT_EQ(
        run_command(python() + " '" + source_dir() + "/tests/tools/check_font.py' '" + out + "'",
                    &log),
        0)
        << log;

    // What was stored reads back the same, through our reader and fontTools'.
    ttf again;
    ASSERT_EQ(load_bytes(again, read_file(out)), 0);
    std::vector<reference_glyph> ref = fonttools_glyphs(out.c_str());
    ASSERT_EQ(ref.size(), n);
    int mismatches = 0;
    for (unsigned gid = 0; gid < n; gid++) {
        glyph g((unsigned short)gid);
        ASSERT_EQ(again.get_glyph((int)gid, &g), 0);
        std::string d = compare(before[gid], outline_of(g), 0);
        if (d.empty() && ref[gid].kind == 's')
            d = compare(ref[gid].outline, before[gid], 0);
        if (!d.empty() && ++mismatches <= 10)
            ADD_FAILURE() << "glyph " << gid << ": " << d;
    }
}
