// The edit view's requests as the palette sends them: choosing glyphs by
// number and by character, clearing and storing through the font's glyph
// store, components, tools and zoom, and what the palette is told.
#include "edit_fixture.h"

#include "font/cmap.h"
#include "font/maxp.h"

#include <cmath>
#include <limits>
#include <map>

using namespace edit_testing;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// Glyph 0 empty, 1 two squares, 2 one square with instructions, 3 a
// composite of 1 and 2.
bytes four_glyphs() {
    bytes composite = font_builder::composite_glyph({1, 2});
    return small_font({{},
                       simple_record({square(100, 100, 100), square(250, 250, 50)}),
                       simple_record({square(50, 50, 60)}, {0xB0, 0x01, 0x00}),
                       composite});
}

} // namespace

TEST(GlyfEditCommands, GlyphNumberShowsTheGlyphOnTheCanvasAndTellsThePalette) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    EXPECT_EQ(ed.editor->gno, 1);
    EXPECT_EQ(ed.editor->chr, 0xFFFF); // the font maps no character
    ASSERT_EQ(ed.contours(), 2);
    // Font units flipped onto the 400 x 400 canvas: (100, 100)-(200, 200)
    // lies at canvas (100, 200)-(200, 300).
    std::vector<BPoint> p = ed.points(0);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0], BPoint(100, 200));
    EXPECT_EQ(p[2], BPoint(200, 300));
    EXPECT_EQ(ed.palette->gno, 1);
    EXPECT_FALSE(ed.palette->empty);
    // The outline is drawn white (clockwise) on the black canvas.
    EXPECT_EQ(rgb(ed.window, 50 + 150, 200), 0xFFFFFFu);
    EXPECT_EQ(rgb(ed.window, 50 + 150, 250), 0x000000u);
    screenshot(ed.window, "edit_simple_glyph");

    // Past the last glyph: glyph 0, empty.
    ed.show_glyph(4);
    EXPECT_EQ(ed.editor->gno, 0);
    EXPECT_TRUE(ed.palette->empty);
    EXPECT_EQ(rgb(ed.window, 50 + 150, 200), 0x000000u);
}

TEST(GlyfEditCommands, CharacterCodeChoosesTheGlyphTheFontMapsItTo) {
    editor_fixture ed(DEJAVU);
    ASSERT_TRUE(ed.ready);
    unsigned short a = ed.font->cmap->chrmap['A'];
    ASSERT_NE(a, 0);
    BMessage m(GLYF_CHANGE);
    m.AddInt16("chr", 'A');
    m.AddInt16("gno", 5); // "chr" decides
    ed.send(m);
    EXPECT_EQ(ed.editor->gno, a);
    EXPECT_EQ(ed.editor->chr, 'A');
    EXPECT_EQ(ed.palette->chr, 'A');
    EXPECT_GT(ed.contours(), 0);

    // By number, the smallest character that maps to the glyph.
    ed.show_glyph(a);
    EXPECT_EQ(ed.editor->chr, 'A');
    // A glyph that no character maps to.
    int unmapped = 0;
    locked(ed.window, [&] {
        for (int g = (int)ed.font->maxp->numglyphs() - 1; g > 0 && !unmapped; g--)
            if (ed.font->cmap->get_chr((unsigned short)g) == 0xFFFF)
                unmapped = g;
    });
    ASSERT_NE(unmapped, 0);
    ed.show_glyph(unmapped);
    EXPECT_EQ(ed.editor->gno, unmapped);
    EXPECT_EQ(ed.editor->chr, 0xFFFF);
    EXPECT_EQ(ed.palette->chr, 0xFFFF);
}

TEST(GlyfEditCommands, ZoomFromThePaletteIsAppliedOnlyWhenItCanBeDrawnAt) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    // A 400-unit box fits 512 pixels at the first step below 1.28.
    float fit = glyfeditview::fitscale(400);
    EXPECT_FLOAT_EQ(ed.editor->scale, fit);
    struct {
        float sent;
        float expected;
    } cases[] = {
        {0.3f, 0.3f},
        {std::numeric_limits<float>::quiet_NaN(), 0.3f},
        {std::numeric_limits<float>::infinity(), 0.3f},
        {-1.0f, 0.3f},
        {2.05f, 2.05f},
        {0.0f, fit},
    };
    for (const auto& c : cases) {
        ed.zoom(c.sent);
        EXPECT_FLOAT_EQ(ed.editor->scale, c.expected) << "sent " << c.sent;
        EXPECT_FLOAT_EQ(ed.palette->scale, c.expected) << "sent " << c.sent;
    }
    // The canvas is drawn at the zoom: 400 units at 0.5 are 201 pixels.
    ed.zoom(0.5f);
    EXPECT_EQ(rgb(ed.window, 50 + 199, 199), 0x000000u);
    EXPECT_EQ(rgb(ed.window, 50 + 203, 100), 0x323232u);
}

TEST(GlyfEditCommands, StoringGoesThroughTheGlyphStoreAndChangesOnlyThatGlyph) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(1);
    bytes before1 = ed.record(1), before2 = ed.record(2);

    // Select the first square with a click inside it and drag it 30 right
    // and 20 down on the canvas: 30 right and 20 down in font units.
    ed.click(150, 250);
    EXPECT_EQ(ed.selected(0), -1);
    ed.drag(150, 250, 180, 270);
    EXPECT_EQ(ed.points(0)[0], BPoint(130, 220));
    // Nothing is stored yet.
    EXPECT_EQ(ed.record(1), before1);

    ed.send(GLYF_STORE);
    bytes after = ed.record(1);
    EXPECT_NE(after, before1);
    EXPECT_EQ(ed.record(2), before2);
    // What is shown is what the font holds, reloaded.
    ASSERT_EQ(ed.contours(), 2);
    EXPECT_EQ(ed.points(0)[0], BPoint(130, 220));
    glyph stored(1);
    locked(ed.window, [&] { ASSERT_EQ(ed.font->get_glyph(1, &stored), 0); });
    ASSERT_EQ(stored.count, 2);
    EXPECT_EQ(stored.contours[0]->points[0], BPoint(130, 180));
    EXPECT_EQ(stored.contours[0]->points[2], BPoint(230, 80));

    // Cleared and stored: the glyph is empty in the font.
    ed.send(GLYF_CLEAR);
    EXPECT_TRUE(ed.palette->empty);
    EXPECT_EQ(ed.record(1), after); // the font changes only on "set"
    ed.send(GLYF_STORE);
    EXPECT_TRUE(ed.record(1).empty());
    EXPECT_EQ(ed.record(2), before2);
}

TEST(GlyfEditCommands, RequestsThatNeedAGlyphWaitForOne) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    bytes before = ed.record(0);
    for (uint32 what : {GLYF_CLEAR, GLYF_STORE}) {
        ed.send(what);
        EXPECT_EQ(ed.editor->gno, 0xFFFF);
    }
    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", 1);
    ed.send(add);
    locked(ed.window, [&] { EXPECT_EQ(curglyph->ncompo, 0); });
    EXPECT_EQ(ed.record(0), before);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
}

TEST(GlyfEditCommands, ComponentsAreAddedListedMovedAndRemoved) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(3);
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 2);
        EXPECT_EQ(curglyph->count, 3); // the two squares of 1 and the one of 2
    });
    ASSERT_GE(ed.palette->compos.size(), 2u);
    EXPECT_EQ(ed.palette->compos[0], 1);
    EXPECT_EQ(ed.palette->compos[1], 2);
    screenshot(ed.window, "edit_composite");

    // Drawing tools are refused on a composite glyph.
    ed.tool(2);
    EXPECT_EQ(ed.editor->tool, 0);

    // Select component 1 (its rectangle spans its outline) and drag it.
    ed.click(150, 250);
    ed.drag(150, 250, 160, 240);
    locked(ed.window, [&] {
        EXPECT_EQ(curglyph->compo_dx[0], 10);
        EXPECT_EQ(curglyph->compo_dy[0], 10);
        EXPECT_EQ(curglyph->compo_dx[1], 0);
        // The outline was rebuilt from the components.
        EXPECT_EQ(curglyph->contours[0]->points[0], BPoint(110, 190));
    });
    ed.send(GLYF_STORE);
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 2);
        EXPECT_EQ(curglyph->compo_dx[0], 10);
        EXPECT_EQ(curglyph->compo_dy[0], 10);
    });

    BMessage del(GLYF_DEL_COMPONENT);
    del.AddInt8("no", 0);
    ed.send(del);
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 1);
        EXPECT_EQ(curglyph->compo[0]->index, 2);
        EXPECT_EQ(curglyph->count, 1);
    });
    EXPECT_EQ(ed.palette->compos.size(), 1u);

    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", 1);
    ed.send(add);
    locked(ed.window, [&] {
        ASSERT_EQ(curglyph->ncompo, 2);
        EXPECT_EQ(curglyph->compo[1]->index, 1);
        EXPECT_EQ(curglyph->count, 3);
    });
    EXPECT_EQ(ed.dismiss_alerts(), 0);
}

TEST(GlyfEditCommands, AComponentThatWouldMakeTheGlyphContainItselfIsRefused) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    // Glyph 1 gets glyph 3 as a component: 3 is made of 1.
    struct {
        int gno, sub;
    } cases[] = {{1, 3}, {3, 3}};
    for (const auto& c : cases) {
        ed.show_glyph(c.gno);
        int before = 0;
        locked(ed.window, [&] { before = curglyph->ncompo; });
        BMessage add(GLYF_ADD_COMPONENT);
        add.AddInt16("sub", (int16)c.sub);
        ed.send(add);
        locked(ed.window, [&] { EXPECT_EQ(curglyph->ncompo, before) << c.gno; });
        EXPECT_NE(ed.alert_text().find("contain itself"), std::string::npos);
        EXPECT_EQ(ed.dismiss_alerts(), 1);
    }
}

TEST(GlyfEditCommands, ToolsAreReportedAndLoadingACompositeGoesBackToPicking) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(1);
    for (int t = 5; t >= 0; t--) {
        ed.tool(t);
        EXPECT_EQ(ed.editor->tool, t);
        EXPECT_EQ(ed.palette->tool, t);
    }
    ed.tool(2);
    ed.show_glyph(3);
    EXPECT_EQ(ed.editor->tool, 0);
    EXPECT_EQ(ed.palette->tool, 0);
}

TEST(GlyfEditCommands, EditedInstructionsAreKeptAndThePaletteIsToldTheyMayNotFit) {
    editor_fixture ed(editor_fixture::written(four_glyphs()));
    ASSERT_TRUE(ed.ready);
    ed.zoom(1.0f);
    ed.show_glyph(2);
    EXPECT_TRUE(ed.editor->notice.empty());
    // Stored with the same points: nothing to say.
    ed.send(GLYF_STORE);
    EXPECT_TRUE(ed.editor->notice.empty());

    ed.click(80, 310);
    ed.drag(80, 310, 90, 300);
    ed.send(GLYF_STORE);
    bytes after = ed.record(2);
    ASSERT_GE(after.size(), 15u);
    // One contour; its end point; then the three instruction bytes.
    EXPECT_EQ(font_builder::get16(after, 12), 3);
    EXPECT_EQ(after[14], 0xB0);
    EXPECT_FALSE(ed.editor->notice.empty());
    // A glyph shown afresh has nothing to say.
    ed.show_glyph(1);
    EXPECT_TRUE(ed.editor->notice.empty());
}

TEST(GlyfEditCommands, AGlyphThatCouldNotBeReadWholeIsNotStored) {
    // Glyph 1 claims 5 points but its record ends early.
    bytes damaged = simple_record({square(100, 100, 100)});
    font_builder::put16(damaged, 10, 40);
    editor_fixture ed(editor_fixture::written(small_font({{}, damaged})));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(1);
    bytes before = ed.record(1);
    ed.send(GLYF_STORE);
    EXPECT_EQ(ed.record(1), before);
    EXPECT_NE(ed.alert_text().find("could not be read whole"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    // Cleared, it may be stored afresh.
    ed.send(GLYF_CLEAR);
    ed.send(GLYF_STORE);
    EXPECT_TRUE(ed.record(1).empty());
    EXPECT_EQ(ed.dismiss_alerts(), 0);
}

namespace {

// The tables of an sfnt file by tag.
bytes slice(const bytes& b, size_t from, size_t to) {
    return bytes(b.begin() + std::min(from, b.size()), b.begin() + std::min(to, b.size()));
}

} // namespace

TEST(GlyfEditCommands, AStoredGlyphSavesAsAValidFontThatDiffersOnlyWhereItMust) {
    editor_fixture ed(DEJAVU);
    ASSERT_TRUE(ed.ready);
    bytes original = testing_support::read_file(DEJAVU);
    BMessage m(GLYF_CHANGE);
    m.AddInt16("chr", 'o');
    ed.send(m);
    int gno = ed.editor->gno;
    ASSERT_EQ(ed.contours(), 2);
    // Select both contours with a band over the whole canvas and move them
    // by the middle of their box.
    ed.drag(1, 1, canvas.right - 1, canvas.bottom - 1);
    ASSERT_EQ(ed.selected(0), -1);
    ASSERT_EQ(ed.selected(1), -1);
    BRect box;
    locked(ed.window, [&] { box = curglyph->bounds(); });
    float x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
    ed.drag(x, y, x + 60, y - 40);
    ed.send(GLYF_STORE);
    // DejaVu is hinted: the instructions stay and the palette hears so.
    EXPECT_FALSE(ed.editor->notice.empty());

    std::string saved = testing_support::temp_dir() + "/stored.ttf";
    locked(ed.window, [&] {
        BFile out(saved.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        ASSERT_EQ(ed.font->save(out), 0);
    });
    std::string out;
    EXPECT_EQ(testing_support::run_command("ots-sanitize '" + saved + "'", &out), 0) << out;
    EXPECT_EQ(testing_support::run_command(testing_support::python() + " '" +
                                               testing_support::source_dir() +
                                               "/tests/tools/check_font.py' '" + saved + "'",
                                           &out),
              0)
        << out;

    std::map<std::string, bytes> before = font_builder::tables_by_tag(original);
    std::map<std::string, bytes> after =
        font_builder::tables_by_tag(testing_support::read_file(saved));
    ASSERT_EQ(before.size(), after.size());
    for (const auto& t : before) {
        if (t.first == "glyf" || t.first == "loca" || t.first == "head" || t.first == "maxp" ||
            t.first == "hmtx" || t.first == "hhea")
            continue;
        EXPECT_EQ(after[t.first], t.second) << t.first;
    }
    // loca (long in DejaVu? read the format from head).
    bool is32 = font_builder::get16(before["head"], 50) == 1;
    auto loc = [&](const bytes& loca, int g) -> size_t {
        return is32 ? font_builder::get32(loca, 4 * g) : 2u * font_builder::get16(loca, 2 * g);
    };
    size_t start = loc(before["loca"], gno), oldend = loc(before["loca"], gno + 1),
           newend = loc(after["loca"], gno + 1);
    long delta = (long)newend - (long)oldend;
    int count = (int)font_builder::get16(before["maxp"], 4);
    for (int g = 0; g <= count; g++) {
        size_t expected = loc(before["loca"], g) + (g > gno ? delta : 0);
        ASSERT_EQ(loc(after["loca"], g), expected) << g;
    }
    EXPECT_EQ(slice(after["glyf"], 0, start), slice(before["glyf"], 0, start));
    EXPECT_NE(slice(after["glyf"], start, newend), slice(before["glyf"], start, oldend));
    EXPECT_EQ(slice(after["glyf"], newend, after["glyf"].size()),
              slice(before["glyf"], oldend, before["glyf"].size()));
    // maxp: the version and glyph count stay; head: all but the checksum
    // adjustment, the dates and the font box; hhea: all but the values
    // that follow from the outlines and metrics; hmtx: all but the glyph's
    // side bearing, now its xMin.
    EXPECT_EQ(slice(after["maxp"], 0, 6), slice(before["maxp"], 0, 6));
    bytes h0 = before["head"], h1 = after["head"];
    for (size_t i : {8,  9,  10, 11, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29,
                     30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43})
        h0[i] = h1[i] = 0;
    EXPECT_EQ(h1, h0);
    bytes hh0 = before["hhea"], hh1 = after["hhea"];
    std::fill(hh0.begin() + 10, hh0.begin() + 18, 0);
    std::fill(hh1.begin() + 10, hh1.begin() + 18, 0);
    EXPECT_EQ(hh1, hh0);
    const unsigned metrics = font_builder::get16(before["hhea"], 34);
    ASSERT_LT((unsigned)gno, metrics);
    bytes m0 = before["hmtx"], m1 = after["hmtx"];
    EXPECT_EQ(font_builder::get16(m1, 4 * gno + 2), font_builder::get16(after["glyf"], start + 2));
    EXPECT_NE(font_builder::get16(m1, 4 * gno + 2), font_builder::get16(m0, 4 * gno + 2));
    m0[4 * gno + 2] = m1[4 * gno + 2] = m0[4 * gno + 3] = m1[4 * gno + 3] = 0;
    EXPECT_EQ(m1, m0);
}

TEST(GlyfEditCommands, ASaveThatMovesTheFontBoxLeavesTheCanvasMappingAsItWas) {
    // Glyph 0 spans the whole box; once it is cleared, a save makes head's
    // box glyph 1's alone. Editing goes on in the canvas laid out for the
    // box the font was opened with, and what is stored is what was drawn.
    editor_fixture ed(editor_fixture::written(
        small_font({simple_record({square(0, 0, 400)}), simple_record({square(100, 100, 50)})})));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(0);
    ed.send(GLYF_CLEAR);
    ed.send(GLYF_STORE);
    std::string saved = testing_support::temp_dir() + "/cleared.ttf";
    locked(ed.window, [&] {
        BFile out(saved.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        ASSERT_EQ(ed.font->save(out), 0);
        EXPECT_EQ(ed.font->head->bounds(), BRect(100, 150, 150, 100));
    });

    ed.show_glyph(1);
    ed.drag(1, 1, canvas.right - 1, canvas.bottom - 1);
    ASSERT_EQ(ed.selected(0), -1);
    ed.drag(125, 275, 145, 275);
    ed.send(GLYF_STORE);
    // Moved right by the drag (give or take the pixel the zoom rounds
    // to), neither scaled nor shifted by the change of head's box.
    bytes r = ed.record(1);
    ASSERT_GE(r.size(), 10u);
    const int xmin = (int16_t)font_builder::get16(r, 2);
    EXPECT_NEAR(xmin, 120, 2);
    EXPECT_EQ((int16_t)font_builder::get16(r, 4), 100);
    EXPECT_EQ((int16_t)font_builder::get16(r, 6), xmin + 50);
    EXPECT_EQ((int16_t)font_builder::get16(r, 8), 150);
}
