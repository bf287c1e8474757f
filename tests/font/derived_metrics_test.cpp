#include "font/derived_metrics.h"

#include "font/glyf.h"
#include "font/head.h"
#include "font/history.h"
#include "font/hmtx.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "outline/shape.h"

#include <gtest/gtest.h>

#include <sstream>

#include "font/font_builder.h"

using namespace font_builder;
using namespace testing_support;

namespace {

// The eight values in the order the tool prints them: head xMin, yMin,
// xMax, yMax, hhea advanceWidthMax, minLeftSideBearing,
// minRightSideBearing, xMaxExtent.
using values = std::vector<long>;

// Per font: what fontTools works out, then what the font stores.
std::vector<std::pair<values, values>> fonttools_values(const std::vector<std::string>& paths) {
    std::string command = python() + " " + source_dir() + "/tests/tools/derived_metrics.py show";
    for (const std::string& p : paths)
        command += " '" + p + "'";
    std::string out;
    EXPECT_EQ(run_command(command + " 2>&1", &out), 0) << out;
    std::vector<std::pair<values, values>> result;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        values all;
        long v;
        while (in >> v)
            all.push_back(v);
        if (all.size() == 16)
            result.push_back(
                {values(all.begin(), all.begin() + 8), values(all.begin() + 8, all.end())});
    }
    EXPECT_EQ(result.size(), paths.size()) << out;
    return result;
}

values of(const derived_metrics& m) {
    return {m.box.xMin,
            m.box.yMin,
            m.box.xMax,
            m.box.yMax,
            m.advanceWidthMax,
            m.minLeftSideBearing,
            m.minRightSideBearing,
            m.xMaxExtent};
}

short lsb_of(ttf& font, int g) {
    unsigned short aw = 0;
    short lsb = -32768;
    EXPECT_EQ(font.hmtx->get_mtx((unsigned short)g, &aw, &lsb), 0) << g;
    return lsb;
}

// Moves every point of simple glyph gno by (dx, dy) and stores it.
void move_glyph(ttf& font, int gno, float dx, float dy) {
    glyph g((unsigned short)gno);
    ASSERT_EQ(font.get_glyph(gno, &g), 0);
    ASSERT_EQ(g.ncompo, 0);
    for (int i = 0; i < g.count; i++)
        for (int k = 0; k < g.contours[i]->count; k++)
            g.contours[i]->points[k] += BPoint(dx, dy);
    ASSERT_EQ(font.set_glyph(gno, &g), 0);
}

std::vector<std::string> installed_fonts() {
    std::string out;
    run_command("fc-list --format '%{file}\\n'", &out);
    std::vector<std::string> fonts;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line))
        if (line.size() > 4 && line.compare(line.size() - 4, 4, ".ttf") == 0)
            fonts.push_back(line);
    return fonts;
}

} // namespace

TEST(DerivedMetrics, EditsBringHeadAndHheaUpToDateAsFontToolsWorksThemOut) {
    // Glyphs: 0 .notdef, 1 A, 2 acute, 3 space (empty), 4-9 composites of
    // A (moved, scaled, turned, scaled offset, point-matched, nested), 10 B;
    // 9 and 10 have no advance of their own.
    std::string dir = temp_dir(), out;
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/derived_metrics.py build " +
                              dir + "/derived.ttf",
                          &out),
              0)
        << out;
    bytes original = read_file(dir + "/derived.ttf");
    ttf font;
    ASSERT_EQ(load_bytes(font, original), 0);
    font_history* h = font.start_history();

    // A's apex goes to (-250, 950): a new xMin for A and a new box for
    // every composite made of it. The side bearing follows in the same
    // step.
    glyph a(1);
    ASSERT_EQ(font.get_glyph(1, &a), 0);
    ASSERT_EQ(a.count, 1);
    a.contours[0]->points[1] = BPoint(-250, 950);
    h->checkpoint("Store glyph 0001");
    ASSERT_EQ(font.set_glyph(1, &a), 0);
    EXPECT_EQ(lsb_of(font, 1), -250);
    ASSERT_TRUE(h->undo());
    EXPECT_EQ(lsb_of(font, 1), 100);
    EXPECT_EQ(bytes(font.glyf->data, font.glyf->data + font.glyf->length),
              tables_by_tag(original)["glyf"]);
    ASSERT_TRUE(h->redo());
    EXPECT_EQ(lsb_of(font, 1), -250);

    // B lies past the full metric entries: its side bearing is in the
    // trailing array. The empty glyph gets the widest advance.
    h->checkpoint("Store glyph 000a");
    move_glyph(font, 10, -90, 0);
    EXPECT_EQ(lsb_of(font, 10), -30);
    h->checkpoint("Metrics");
    ASSERT_EQ(font.hmtx->set_mtx(3, 2000, 0), 0);

    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    std::vector<std::pair<values, values>> v = fonttools_values({path});
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(v[0].second, v[0].first) << "stored, then as fontTools works them out";
    // The accent matched onto the moved apex reaches furthest left.
    EXPECT_EQ(v[0].first[0], -300);
    EXPECT_EQ(v[0].first[4], 2000);

    // Outside the edited glyphs' records, their side bearings, the
    // advance and the derived fields, the font is as it was.
    std::map<std::string, bytes> before = tables_by_tag(original),
                                 after = tables_by_tag(read_file(path));
    for (const auto& t : before) {
        bytes a0 = t.second, a1 = after[t.first];
        if (t.first == "glyf" || t.first == "loca")
            continue;
        if (t.first == "head")
            for (size_t i : {8, 28, 36, 38, 40, 42})
                for (size_t k = i; k < i + (i == 28 ? 8 : i == 8 ? 4 : 2) && k < a1.size(); k++)
                    a0[k] = a1[k];
        if (t.first == "hhea")
            std::copy(a1.begin() + 10, a1.begin() + 18, a0.begin() + 10);
        if (t.first == "maxp")
            std::copy(a1.begin() + 6, a1.begin() + 32, a0.begin() + 6);
        if (t.first == "hmtx") {
            // Glyph 1's side bearing, glyph 3's entry, glyph 10's trailing
            // side bearing (9 full entries, then glyph 9 and 10).
            for (size_t k : {6, 7, 12, 13, 14, 15, 36 + 2, 36 + 3})
                a0[k] = a1[k];
        }
        EXPECT_EQ(a1, a0) << t.first;
    }
}

TEST(DerivedMetrics, RealFontsWorkOutWhatFontToolsWorksOut) {
    // DejaVu Serif Italic stores an xMax one unit off what its outlines
    // give; the rest store what they give. Composites with scales and
    // offsets abound in DejaVu.
    const std::vector<std::string> fonts = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuMathTeXGyre.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/misaki/misaki_gothic.ttf",
    };
    std::vector<std::pair<values, values>> expected = fonttools_values(fonts);
    ASSERT_EQ(expected.size(), fonts.size());
    for (size_t i = 0; i < fonts.size(); i++) {
        SCOPED_TRACE(fonts[i]);
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(fonts[i])), 0);
        derived_metrics m;
        ASSERT_TRUE(compute_derived_metrics(font, &m));
        EXPECT_TRUE(m.has_box && m.has_metrics);
        EXPECT_EQ(of(m), expected[i].first);
    }

    // Unedited, the stored values stay; a font that may hold edits already
    // (a recovered copy) gets the values its outlines give.
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file(fonts[1])), 0);
    std::string kept = save_font(font, "kept.ttf");
    font.assume_edited();
    std::string worked_out = save_font(font, "worked_out.ttf");
    std::vector<std::pair<values, values>> v = fonttools_values({kept, worked_out});
    ASSERT_EQ(v.size(), 2u);
    EXPECT_EQ(v[0].second, expected[1].second);
    EXPECT_NE(v[0].second, v[0].first);
    EXPECT_EQ(v[1].second, expected[1].first);
}

TEST(DerivedMetrics, InstalledFontsSavedUneditedOrWithEditsUndoneKeepTheirOwnValues) {
    std::vector<std::string> fonts = installed_fonts();
    ASSERT_GE(fonts.size(), 3u) << "run scripts/setup.sh";
    for (const std::string& path : fonts) {
        SCOPED_TRACE(path);
        bytes original = read_file(path);
        ttf font;
        ASSERT_EQ(load_bytes(font, original), 0);
        font_history* h = font.start_history();
        std::map<std::string, bytes> unedited = tables_by_tag(read_file(save_font(font, "a.ttf")));

        // The first simple glyph moves; a save works out new values; undo
        // brings the font, and so its own values, back.
        int gno = 0;
        for (; gno < 200; gno++) {
            glyph probe((unsigned short)gno);
            if (font.get_glyph(gno, &probe) == 0 && probe.ncompo == 0 && probe.count > 0 &&
                !probe.lossy)
                break;
        }
        ASSERT_LT(gno, 200);
        h->checkpoint("Move");
        move_glyph(font, gno, -7, 3);
        ASSERT_FALSE(save_font(font, "b.ttf").empty());
        ASSERT_TRUE(h->undo());
        std::map<std::string, bytes> undone = tables_by_tag(read_file(save_font(font, "c.ttf")));

        std::map<std::string, bytes> loaded = tables_by_tag(original);
        for (auto* saved : {&unedited, &undone}) {
            ASSERT_EQ(saved->size(), loaded.size());
            for (const auto& t : loaded) {
                bytes a = t.second, b = (*saved)[t.first];
                ASSERT_EQ(a.size(), b.size()) << t.first;
                // The checksum adjustment and the dates change on every
                // save; maxp's maxima are worked out afresh.
                auto same_from = [&](size_t from, size_t to) {
                    for (size_t k = from; k < to && k < a.size(); k++)
                        b[k] = a[k];
                };
                if (t.first == "head") {
                    same_from(8, 12);
                    same_from(20, 36);
                }
                if (t.first == "maxp") {
                    same_from(6, 14);
                    same_from(28, 32);
                }
                EXPECT_TRUE(a == b) << t.first << (saved == &unedited ? " unedited" : " undone");
            }
        }
    }
}
