// Composite glyphs in the edit view: what cannot be stored or changed is
// refused with the reason in an alert and the font is left alone (glyphs
// read only in part, components that would make a glyph contain itself, a
// full glyph); glyphs with many components are removed from by wide
// numbers; a composite stored without changes keeps its record.
#include "edit_fixture.h"

#include "font/maxp.h"

using namespace edit_testing;
using font_builder::add16;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A composite record of these components, each with its own flags and byte
// offsets (dx, 0), followed by instructions when given.
bytes composite(const std::vector<unsigned>& parts, uint16_t extra = 0, const bytes& ins = {}) {
    bytes b;
    add16(b, 0xFFFF);
    for (int i = 0; i < 4; i++)
        add16(b, 0);
    for (size_t i = 0; i < parts.size(); i++) {
        const bool last = i + 1 == parts.size();
        add16(b, 0x0002 | extra | (last ? (ins.empty() ? 0 : 0x0100) : 0x0020));
        add16(b, parts[i]);
        b.push_back((unsigned char)(i % 100));
        b.push_back(0);
    }
    if (!ins.empty()) {
        add16(b, (uint32_t)ins.size());
        b.insert(b.end(), ins.begin(), ins.end());
    }
    if (b.size() % 2)
        b.push_back(0);
    return b;
}

enum : unsigned {
    EMPTY,
    ONE,     // a square
    TWO,     // a square
    PAIR,    // ONE and TWO
    OUTER,   // PAIR
    FULL,    // as many components as a glyph holds
    MISSING, // ONE and glyph 999
    KEPT,    // ONE and TWO with rounding and metrics flags and instructions
    glyph_count,
};

bytes test_font() {
    std::vector<bytes> r(glyph_count);
    r[ONE] = simple_record({square(100, 100, 100)});
    r[TWO] = simple_record({square(50, 50, 60)});
    r[PAIR] = composite({ONE, TWO});
    r[OUTER] = composite({PAIR});
    r[FULL] = composite(std::vector<unsigned>(glyph::max_components, ONE));
    r[MISSING] = composite({ONE, 999});
    r[KEPT] = composite({ONE, TWO}, 0x0004 | 0x0200, {0xB0, 0x01, 0x2C});
    // Its box: ONE at (100, 100)-(200, 200), TWO moved by 1 to (51, 50)-(111, 110).
    const int box[4] = {51, 50, 200, 200};
    for (int i = 0; i < 4; i++)
        font_builder::put16(r[KEPT], 2 + 2 * (size_t)i, (uint32_t)box[i]);
    return small_font(r);
}

int components(editor_fixture& ed) {
    int n = 0;
    locked(ed.window, [&] { n = curglyph->ncompo; });
    return n;
}

} // namespace

TEST(GlyfEditComponents, AGlyphReadInPartIsNotStoredOrChangedAndSaysWhy) {
    editor_fixture ed(editor_fixture::written(test_font()));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(MISSING);
    ASSERT_EQ(components(ed), 1);
    const bytes before = ed.record(MISSING);

    ed.send(GLYF_STORE);
    std::string text = ed.alert_text();
    EXPECT_NE(text.find("could not be read whole"), std::string::npos) << text;
    EXPECT_NE(text.find("does not have"), std::string::npos) << text;
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    EXPECT_EQ(ed.record(MISSING), before);

    // Adding or removing a component is refused for the same reason.
    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", TWO);
    ed.send(add);
    EXPECT_NE(ed.alert_text().find("does not have"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    BMessage del(GLYF_DEL_COMPONENT);
    del.AddInt8("no", 0);
    ed.send(del);
    EXPECT_NE(ed.alert_text().find("does not have"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    EXPECT_EQ(components(ed), 1);

    // "clr" starts afresh: the empty glyph stores.
    ed.send(GLYF_CLEAR);
    ed.send(GLYF_STORE);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
    EXPECT_TRUE(ed.record(MISSING).empty());
}

TEST(GlyfEditComponents, AddingAComponentThatContainsTheGlyphIsRefused) {
    editor_fixture ed(editor_fixture::written(test_font()));
    ASSERT_TRUE(ed.ready);
    // TWO would contain OUTER, which contains PAIR, which contains TWO; PAIR
    // would contain itself.
    struct {
        unsigned gno, sub;
    } cases[] = {{TWO, OUTER}, {PAIR, OUTER}, {PAIR, PAIR}};
    for (const auto& c : cases) {
        ed.show_glyph((int)c.gno);
        const int before = components(ed);
        const bytes record = ed.record((int)c.gno);
        BMessage add(GLYF_ADD_COMPONENT);
        add.AddInt16("sub", (int16)c.sub);
        ed.send(add);
        EXPECT_EQ(components(ed), before) << c.gno;
        std::string text = ed.alert_text();
        EXPECT_NE(text.find("contain itself"), std::string::npos) << text;
        EXPECT_EQ(ed.dismiss_alerts(), 1);
        EXPECT_EQ(ed.record((int)c.gno), record);
        // The glyph as it was still stores.
        ed.send(GLYF_STORE);
        EXPECT_EQ(ed.dismiss_alerts(), 0);
    }
    // A component that does not lead back is added.
    ed.show_glyph(EMPTY);
    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", OUTER);
    ed.send(add);
    EXPECT_EQ(components(ed), 1);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
}

TEST(GlyfEditComponents, AFullGlyphRefusesAComponentAndRemovesByWideNumbers) {
    editor_fixture ed(editor_fixture::written(test_font()));
    ASSERT_TRUE(ed.ready);
    ed.show_glyph(FULL);
    ASSERT_EQ(components(ed), glyph::max_components);
    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", TWO);
    ed.send(add);
    EXPECT_EQ(components(ed), glyph::max_components);
    EXPECT_NE(ed.alert_text().find("at most 1024 components"), std::string::npos);
    EXPECT_EQ(ed.dismiss_alerts(), 1);
    // A component number the font does not have adds nothing, silently.
    BMessage none(GLYF_ADD_COMPONENT);
    none.AddInt16("sub", (int16)0xFFFF);
    ed.send(none);
    EXPECT_EQ(ed.dismiss_alerts(), 0);

    // Component 1000 (offset 0) by a 32-bit number, component 200 (offset
    // 0 as well: offsets repeat every 100) by an 8-bit one read as 0-255.
    BMessage wide(GLYF_DEL_COMPONENT);
    wide.AddInt32("no", 1000);
    ed.send(wide);
    EXPECT_EQ(components(ed), glyph::max_components - 1);
    locked(ed.window, [&] { EXPECT_EQ(curglyph->compo_dx[1000], 1); });
    BMessage narrow(GLYF_DEL_COMPONENT);
    narrow.AddInt8("no", (int8)201);
    ed.send(narrow);
    EXPECT_EQ(components(ed), glyph::max_components - 2);
    locked(ed.window, [&] { EXPECT_EQ(curglyph->compo_dx[201], 2); });
    BMessage past(GLYF_DEL_COMPONENT);
    past.AddInt32("no", 5000);
    ed.send(past);
    EXPECT_EQ(components(ed), glyph::max_components - 2);

    ed.send(GLYF_STORE);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
    ed.show_glyph(FULL);
    EXPECT_EQ(components(ed), glyph::max_components - 2);
}

TEST(GlyfEditComponents, CompositesStoredWithoutChangesKeepTheirRecords) {
    {
        editor_fixture ed(editor_fixture::written(test_font()));
        ASSERT_TRUE(ed.ready);
        ed.zoom(1.0f);
        const bytes kept = ed.record(KEPT);
        ed.show_glyph(KEPT);
        ed.send(GLYF_STORE);
        EXPECT_EQ(ed.record(KEPT), kept);

        // Moved: flags and instructions stay, the offset and the box change.
        ed.click(150, 250);
        ed.drag(150, 250, 160, 250);
        ed.send(GLYF_STORE);
        EXPECT_EQ(ed.dismiss_alerts(), 0);
        bytes now = ed.record(KEPT);
        ASSERT_EQ(now.size(), kept.size());
        bytes expect = kept;
        expect[14] = 10;                     // dx of the first component
        font_builder::put16(expect, 6, 210); // xMax
        EXPECT_EQ(now, expect);
    }
    // DejaVu Sans' glyph 4443 has eight components.
    std::string copy = testing_support::temp_dir() + "/dejavu.ttf";
    testing_support::write_file(copy, testing_support::read_file(DEJAVU));
    editor_fixture ed(copy);
    ASSERT_TRUE(ed.ready);
    const bytes before = ed.record(4443);
    ed.show_glyph(4443);
    EXPECT_EQ(components(ed), 8);
    ed.send(GLYF_STORE);
    EXPECT_EQ(ed.dismiss_alerts(), 0);
    EXPECT_EQ(ed.record(4443), before);
}
