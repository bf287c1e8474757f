// The character-map editor driven as a user drives it: a start code typed
// and committed shows the glyph it maps to; "set" maps start..end to a run
// of glyphs in every Unicode subtable, refuses runs that pass the last
// glyph and says why an edit could not be made. Real fonts edited through
// it are compared with fontTools' reading.
#include "font/cmap.h"
#include "font/cmap_run_list.h"
#include "font/maxp.h"

#include <gtest/gtest.h>

#include <array>

#include "font/font_builder.h"
#include "font/editor_drive.h"

using namespace font_builder;
using namespace editor_drive;
using namespace testing_support;
using kit_testing::rgb;
using kit_testing::screenshot;

namespace {

// Ten glyphs; A, B and C map to glyphs 5, 6 and 7.
struct editor {
    ttf font;
    ttf_cmap* cmap = nullptr;
    BWindow* window = nullptr;
    explicit editor(const bytes& cmapbytes = cmap_table(
                        {{3, 1, 0}}, {format4_subtable({{0x41, 0x43, (uint16_t)(5 - 0x41)}})})) {
        std::vector<table> tables = font_tables(std::vector<bytes>(10));
        *find_table(tables, "cmap") = cmapbytes;
        EXPECT_EQ(load_bytes(font, sfnt(tables)), 0);
        cmap = font.cmap;
        window = show_table(cmap);
    }
    ~editor() { close_table(window, cmap); }

    std::string text(BTextControl* c) { return text_of(window, c); }
    std::string notice() {
        std::string n;
        locked(window, [&] { n = cmap->notice; });
        return n;
    }
    bytes held() { return bytes(cmap->data, cmap->data + cmap->length); }
    void set(const char* st, const char* ed, const char* gno) {
        type(window, cmap->stctl, st);
        type(window, cmap->edctl, ed);
        type(window, cmap->gnoctl, gno);
        press(window, cmap->setbtn);
    }
    int amber() { return amber_pixels(window, 0, 410, 560, 445); }
};

} // namespace

TEST(CmapEditor, ControlsStandWhereTheyBelongOnBlack) {
    editor e;
    struct {
        BView* control;
        const char* name;
        const char* label;
        BRect frame;
    } const expected[] = {
        {e.cmap->setbtn, "set", "set", BRect(500, 448, 540, 470)},
        {e.cmap->stctl, "st", "start_chr.", BRect(20, 450, 120, 470)},
        {e.cmap->edctl, "ed", "end_chr.", BRect(140, 450, 240, 470)},
        {e.cmap->gnoctl, "gno", "glyph_no.", BRect(260, 450, 360, 470)},
    };
    for (const auto& c : expected) {
        ASSERT_NE(c.control, nullptr) << c.name;
        EXPECT_STREQ(c.control->Name(), c.name);
        EXPECT_STREQ(dynamic_cast<BControl*>(c.control)->Label(), c.label);
        EXPECT_EQ(c.control->Frame(), c.frame) << c.name;
    }
    EXPECT_EQ(e.text(e.cmap->stctl), "");
    EXPECT_EQ(rgb(e.window, 5, 5), 0u);
    EXPECT_EQ(e.amber(), 0);
    // The subtable's line in white above the list; the list's one run in
    // black on its light ground, the rest of the list empty.
    auto count = [&](int32 top, int32 bottom, bool light) {
        int n = 0;
        for (int32 y = top; y <= bottom; y++) {
            for (int32 x = 20; x < 300; x++) {
                uint32 c = rgb(e.window, x, y);
                n += light ? (c & 0xFF) > 200 && (c >> 16) > 200 : c == 0;
            }
        }
        return n;
    };
    EXPECT_GT(count(8, 22, true), 50);
    EXPECT_EQ(count(25, 100, true), 0) << "one subtable, one line";
    BRect list = e.cmap->runlist->Frame();
    EXPECT_GT(count((int32)list.top + 1, (int32)list.top + 14, false), 30);
    EXPECT_EQ(rgb(e.window, 300, 300), 0xDEDEDEu);
    ASSERT_EQ(e.cmap->runs.size(), 1u);
    EXPECT_EQ(cmap_run_list::line(e.cmap->runs[0]), "0041\u20130043 \u2192 0005\u20130007");
    EXPECT_EQ(e.cmap->subtables.size(), 1u);
}

TEST(CmapEditor, CommittingTheStartShowsItsGlyph) {
    editor e;
    type(e.window, e.cmap->stctl, "42");
    EXPECT_EQ(e.text(e.cmap->stctl), "0042");
    EXPECT_EQ(e.text(e.cmap->edctl), "0000");
    EXPECT_EQ(e.text(e.cmap->gnoctl), "0006");
    type(e.window, e.cmap->stctl, "44");
    EXPECT_EQ(e.text(e.cmap->gnoctl), "0000");
    // Another field reformats the three texts without looking anything up.
    type(e.window, e.cmap->gnoctl, "9");
    type(e.window, e.cmap->edctl, "7a");
    EXPECT_EQ(e.text(e.cmap->edctl), "007a");
    EXPECT_EQ(e.text(e.cmap->gnoctl), "0009");
    // A code past 10ffff has no entry to show.
    type(e.window, e.cmap->stctl, "110000");
    EXPECT_EQ(e.text(e.cmap->stctl), "110000");
    EXPECT_EQ(e.text(e.cmap->gnoctl), "0009");
    EXPECT_EQ(e.notice(), "character codes end at 10ffff");
    EXPECT_GT(e.amber(), 50);
}

TEST(CmapEditor, SetMapsTheRunAndRebuildsTheTable) {
    editor e;
    e.set("20", "22", "3");
    EXPECT_EQ(e.cmap->get_gno(0x20), 3);
    EXPECT_EQ(e.cmap->get_gno(0x22), 5);
    EXPECT_EQ(e.cmap->get_gno(0x41), 5);
    // Two runs, then the final segment: 0x20..0x22 and 0x41..0x43.
    byte_span b = e.cmap->bytes();
    EXPECT_EQ(b.u16(18), 6);
    EXPECT_EQ(b.u16(26), 0x22);   // endCode[0]
    EXPECT_EQ(b.u16(34), 0x20);   // startCode[0]
    EXPECT_EQ(b.u16(40), 0xFFE3); // idDelta[0] = 3 - 0x20
    EXPECT_EQ(e.text(e.cmap->gnoctl), "0003") << "texts stay as typed";
    EXPECT_EQ(e.notice(), "");

    // ffff unmaps.
    e.set("41", "42", "ffff");
    EXPECT_EQ(e.cmap->get_gno(0x41), 0);
    EXPECT_EQ(e.cmap->get_gno(0x42), 0);
    EXPECT_EQ(e.cmap->get_gno(0x43), 7);
    screenshot(e.window, "cmap_editor");
}

TEST(CmapEditor, RunsThatCannotBeStoredAreRefusedWithAMessage) {
    struct {
        const char* st;
        const char* ed;
        const char* gno;
        const char* notice; // "" = refused silently
    } const cases[] = {
        {"41", "45", "7", "glyphs 0007-000b pass the last glyph, 0009"},
        {"41", "41", "a", "glyphs 000a-000a pass the last glyph, 0009"},
        {"0", "ffff", "1", "glyphs 0001-10000 pass the last glyph, 0009"},
        {"fff0", "110000", "1", "character codes end at 10ffff"},
        {"10", "ffffffff", "ffff", "character codes end at 10ffff"},
        {"1f600", "1f601", "1",
         "not set: codes past ffff need a format 12 subtable, which this font does not have"},
        {"45", "41", "1", ""},
    };
    for (const auto& c : cases) {
        editor e;
        bytes before = e.held();
        e.set(c.st, c.ed, c.gno);
        EXPECT_EQ(e.held(), before) << c.st << " " << c.ed << " " << c.gno;
        EXPECT_EQ(e.notice(), c.notice);
        EXPECT_EQ(e.cmap->get_gno(0x41), 5);
        if (*c.notice) {
            EXPECT_GT(e.amber(), 50);
        }
    }
}

TEST(CmapEditor, AMapFormat4CannotHoldIsReported) {
    // 32,745 codes whose glyphs never go up by one: one glyphIdArray
    // segment of 65,522 bytes; one more segment fits, a second does not.
    std::vector<uint16_t> glyphs;
    for (uint32_t k = 0; k < 32745; k++)
        glyphs.push_back((uint16_t)(1 + 2 * (k % 2)));
    editor e(cmap_table({{3, 1, 0}}, {format4_subtable({{0x100, 0x100 + 32744, 0, glyphs}})}));
    e.set("a000", "a001", "5");
    EXPECT_EQ(e.notice(), "");
    bytes before = e.held();
    e.set("b000", "b001", "5");
    EXPECT_EQ(e.held(), before);
    EXPECT_EQ(e.cmap->get_gno(0xB000), 0);
    EXPECT_EQ(e.notice(), "not set: no format 4 subtable can hold this map: the (3, 1) one "
                          "would pass 65,535 bytes");
    screenshot(e.window, "cmap_editor_notice");
    // An edit that continues a run needs no new segment and is made.
    e.set("a002", "a002", "7");
    EXPECT_EQ(e.cmap->get_gno(0xA002), 7);
    EXPECT_EQ(e.notice(), "");
}

// One edit through the editor in real fonts: every Unicode subtable takes
// it, every other code and subtable stays as it was, as fontTools reads the
// saved file; OTS accepts it and our own reader agrees after reloading.
TEST(CmapEditor, RealFontsTakeTheEditInEveryUnicodeSubtable) {
    struct {
        const char* path;
        const char* st;
        const char* ed;
        const char* gno;
    } const cases[] = {
        // 60,418 characters in format 12, 101 in format 4, a Macintosh
        // format 0 subtable.
        {"/usr/share/fonts/truetype/hanazono/HanaMinB.ttf", "4e00", "4e05", "3e8"},
        // Formats 4 (shared by (0, 3) and (3, 1)), 12 and a format 6.
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "41", "43", "ffff"},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "e000", "e002", "24"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " " + c.st);
        ttf font;
        ASSERT_EQ(load_bytes(font, read_file(c.path)), 0);
        BWindow* window = show_table(font.cmap);
        type(window, font.cmap->stctl, c.st);
        type(window, font.cmap->edctl, c.ed);
        type(window, font.cmap->gnoctl, c.gno);
        press(window, font.cmap->setbtn);
        std::string notice;
        locked(window, [&] { notice = font.cmap->notice; });
        EXPECT_EQ(notice, "");
        close_table(window, font.cmap);

        std::string path = save_font(font);
        ASSERT_FALSE(path.empty());
        std::string out;
        EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
        out.clear();
        EXPECT_EQ(run_command(python() + " '" + source_dir() +
                                  "/tests/tools/cmap_edit_check.py' '" + c.path + "' '" + path +
                                  "' " + c.st + " " + c.ed + " " + c.gno,
                              &out),
                  0)
            << out;
        ttf again;
        ASSERT_EQ(load_bytes(again, read_file(path)), 0);
        uint32_t st = std::stoul(c.st, nullptr, 16), gno = std::stoul(c.gno, nullptr, 16);
        EXPECT_EQ(again.cmap->get_gno((unsigned short)st), gno == 0xFFFF ? 0 : gno);
        for (uint32_t code : {0x20u, 0x61u, 0x3042u})
            EXPECT_EQ(again.cmap->get_gno((unsigned short)code), font.cmap->get_gno(code));
    }
}
