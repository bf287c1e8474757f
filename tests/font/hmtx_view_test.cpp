// The metrics editor driven as a user drives it: "st" typed and committed
// loads a glyph's metrics into the texts, the sliders and the preview; the
// sliders fill in the texts; "set" stores width and lsb over a range of
// glyphs. Asserted on the table's bytes, the texts and the preview pixels.
#include "font/head.h"
#include "font/hhea.h"
#include "font/hmtx.h"
#include "font/maxp.h"

#include <gtest/gtest.h>

#include <sstream>

#include "font/font_builder.h"
#include "font/editor_drive.h"

using namespace font_builder;
using namespace editor_drive;
using kit_testing::rgb;
using kit_testing::screenshot;

namespace {

const uint32 GREEN = 0x00FF00, CYAN = 0x00FFFF;

// One contour: the rectangle x0..x1, y0..y1 in font units, clockwise.
bytes box_glyph(int x0, int y0, int x1, int y1) {
    bytes b;
    add16(b, 1);
    for (int v : {x0, y0, x1, y1})
        add16(b, (uint16_t)v);
    add16(b, 3); // last point of the contour
    add16(b, 0); // no instructions
    for (int i = 0; i < 4; i++)
        b.push_back(0x01); // on the curve, 16-bit deltas
    for (int dx : {x0, 0, x1 - x0, 0})
        add16(b, (uint16_t)dx);
    for (int dy : {y0, y1 - y0, 0, y0 - y1})
        add16(b, (uint16_t)dy);
    return b;
}

// Ten glyphs, eight full metric entries, unitsPerEm `upem`. Glyph 3 is a
// box from (200, 0) to (500, 700) with advance 600 and lsb 0x64; glyph 5
// has lsb -100; glyphs 8 and 9 share entry 7's advance width 500.
struct metrics_font {
    ttf font;
    explicit metrics_font(unsigned upem = 1000, unsigned full = 8) {
        std::vector<bytes> records(10);
        records[3] = box_glyph(200, 0, 500, 700);
        std::vector<table> tables = font_tables(records);
        bytes hmtx;
        for (unsigned g = 0; g < full; g++) {
            add16(hmtx, g == 3 ? 600 : 500);
            add16(hmtx, g == 3 ? 0x64 : g == 5 ? (uint16_t)-100 : 0);
        }
        for (unsigned g = full; g < 10; g++)
            add16(hmtx, g);
        *find_table(tables, "hmtx") = hmtx;
        put16(*find_table(tables, "hhea"), 34, full);
        put16(*find_table(tables, "head"), 18, upem);
        EXPECT_EQ(load_bytes(font, sfnt(tables)), 0);
    }
};

struct editor {
    metrics_font f;
    ttf_hmtx* hmtx;
    BWindow* window;
    explicit editor(unsigned upem = 1000, unsigned full = 8)
        : f(upem, full), hmtx(f.font.hmtx), window(show_table(hmtx)) {}
    ~editor() { close_table(window, hmtx); }

    std::string text(BTextControl* c) { return text_of(window, c); }
    int32 value(BSlider* s) {
        int32 v = 0;
        locked(window, [&] { v = s->Value(); });
        return v;
    }
    // The notice line under the preview, as the user reads it.
    std::string notice() {
        std::string n;
        locked(window, [&] { n = hmtx->notice; });
        return n;
    }
    int lit(int32 left, int32 top, int32 right, int32 bottom, uint32 color) {
        int count = 0;
        for (int32 y = top; y <= bottom; y++)
            for (int32 x = left; x <= right; x++)
                count += rgb(window, x, y) == color;
        return count;
    }
    // Sets the four texts (committing each) and presses "set".
    void set(const char* st, const char* ed, const char* width, const char* lsb) {
        type(window, hmtx->stctl, st);
        type(window, hmtx->edctl, ed);
        type(window, hmtx->widthctl, width);
        type(window, hmtx->lsbctl, lsb);
        press(window, hmtx->setbtn);
    }
};

int column(float x) {
    return (int)std::lround(x);
}

} // namespace

TEST(MetricsEditor, ControlsStandWhereTheyBelongAndStartEmpty) {
    editor e;
    struct {
        BView* control;
        const char* name;
        BRect frame;
    } const expected[] = {
        {e.hmtx->setbtn, "set", BRect(500, 448, 540, 470)},
        {e.hmtx->stctl, "st", BRect(20, 450, 120, 470)},
        {e.hmtx->edctl, "ed", BRect(140, 450, 240, 470)},
        {e.hmtx->widthctl, "width", BRect(260, 450, 360, 470)},
        {e.hmtx->lsbctl, "lsb", BRect(380, 450, 480, 470)},
        {e.hmtx->left, "left", BRect(20, 480, 240, 500)},
        {e.hmtx->right, "right", BRect(260, 480, 480, 500)},
    };
    for (const auto& c : expected) {
        ASSERT_NE(c.control, nullptr) << c.name;
        EXPECT_STREQ(c.control->Name(), c.name);
        EXPECT_EQ(c.control->Frame(), c.frame) << c.name;
    }
    EXPECT_STREQ(e.hmtx->stctl->Label(), "st_glyph");
    EXPECT_STREQ(e.hmtx->edctl->Label(), "ed_glyph");
    EXPECT_EQ(e.text(e.hmtx->widthctl), "");
    int32 lo, hi;
    e.hmtx->left->GetLimits(&lo, &hi);
    EXPECT_EQ(lo, -1000);
    EXPECT_EQ(hi, 1000);
    e.hmtx->right->GetLimits(&lo, &hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 2000);
    // No glyph chosen: the box alone on black.
    EXPECT_EQ(rgb(e.window, 100, 250), 0x323232u);
    EXPECT_EQ(rgb(e.window, 250, 100), 0x323232u);
    EXPECT_EQ(e.lit(101, 101, 398, 398, 0), 298 * 298);
}

TEST(MetricsEditor, CommittingStLoadsTheGlyphsMetricsAndDrawsItsLines) {
    editor e;
    type(e.window, e.hmtx->stctl, "3");
    EXPECT_EQ(e.text(e.hmtx->stctl), "0003");
    EXPECT_EQ(e.text(e.hmtx->edctl), "0003");
    EXPECT_EQ(e.text(e.hmtx->widthctl), "0258");
    EXPECT_EQ(e.text(e.hmtx->lsbctl), "0064");
    EXPECT_EQ(e.value(e.hmtx->left), 0x64);
    EXPECT_EQ(e.value(e.hmtx->right), 600);
    // lsb 100 of 1000 units: green at 100 + 30; advance 600: cyan at 280.
    EXPECT_EQ(rgb(e.window, 130, 120), GREEN);
    EXPECT_EQ(rgb(e.window, 130, 390), GREEN);
    EXPECT_EQ(rgb(e.window, 280, 120), CYAN);
    EXPECT_EQ(e.lit(131, 101, 279, 398, GREEN) + e.lit(131, 101, 279, 398, CYAN), 0);
    // The box glyph: x 200 ... 500 and y 0 ... 700 become columns 160 ...
    // 250 and rows 190 ... 399.
    int outline = 0;
    for (int32 y = 200; y <= 390; y++)
        outline += rgb(e.window, 160, y) != 0 && rgb(e.window, 250, y) != 0;
    EXPECT_GT(outline, 180);
    EXPECT_EQ(e.lit(170, 200, 240, 380, 0), 71 * 181) << "the inside is not filled";
    EXPECT_EQ(e.lit(101, 101, 129, 398, 0), 29 * 298) << "nothing left of the glyph";
    screenshot(e.window, "metrics_editor");

    // A negative side bearing from the table shows with eight digits.
    type(e.window, e.hmtx->stctl, "5");
    EXPECT_EQ(e.text(e.hmtx->lsbctl), "ffffff9c");
    EXPECT_EQ(e.text(e.hmtx->widthctl), "01f4");
    EXPECT_EQ(e.value(e.hmtx->left), -100);
    EXPECT_EQ(rgb(e.window, 70, 200), GREEN);
    EXPECT_EQ(rgb(e.window, 250, 200), CYAN);
    EXPECT_EQ(rgb(e.window, 160, 300), 0u) << "glyph 5 is empty";

    // Glyph numbers not below numGlyphs are ignored: nothing changes.
    type(e.window, e.hmtx->stctl, "a");
    EXPECT_EQ(e.text(e.hmtx->stctl), "a");
    EXPECT_EQ(e.text(e.hmtx->edctl), "0005");
    EXPECT_EQ(rgb(e.window, 70, 200), GREEN);
}

TEST(MetricsEditor, SlidersFillInTheTextsAndMoveTheLinesButNotTheTable) {
    editor e;
    type(e.window, e.hmtx->stctl, "3");
    bytes before(e.hmtx->data, e.hmtx->data + e.hmtx->length);

    // Dragged near 600, then stepped there with the arrow keys.
    drag(e.window, e.hmtx->right, slider_x(e.hmtx->right, 600));
    int32 v = e.value(e.hmtx->right);
    EXPECT_NEAR(v, 600, 12);
    char hex[16];
    snprintf(hex, sizeof hex, "%04x", (unsigned)v);
    EXPECT_EQ(e.text(e.hmtx->widthctl), hex);
    for (int32 k = v; k != 600; k += k < 600 ? 1 : -1) {
        char arrow[2] = {(char)(k < 600 ? B_RIGHT_ARROW : B_LEFT_ARROW), 0};
        screen().key_down(e.window, arrow);
        screen().key_up(e.window, arrow);
    }
    screen().wait_idle();
    EXPECT_EQ(e.value(e.hmtx->right), 600);
    EXPECT_EQ(e.text(e.hmtx->widthctl), "0258");
    EXPECT_EQ(rgb(e.window, 280, 150), CYAN);

    // The left slider to about -300: the green line leaves the box.
    drag(e.window, e.hmtx->left, slider_x(e.hmtx->left, -300));
    int32 l = e.value(e.hmtx->left);
    EXPECT_NEAR(l, -300, 12);
    snprintf(hex, sizeof hex, "%04x", (unsigned)(uint16_t)l);
    EXPECT_EQ(e.text(e.hmtx->lsbctl), hex);
    EXPECT_EQ(rgb(e.window, column(100 + 300.0f * l / 1000), 150), GREEN);
    EXPECT_EQ(rgb(e.window, 130, 150), 0u) << "the old green line is gone";

    EXPECT_EQ(bytes(e.hmtx->data, e.hmtx->data + e.hmtx->length), before);
}

TEST(MetricsEditor, SetStoresWidthAndLsbOverTheRangeUpToTheLastGlyph) {
    editor e;
    // An end far past the last glyph (a 32-bit number) stops at glyph 9.
    e.set("2", "ffffffff", "0200", "0010");
    byte_span b = e.hmtx->bytes();
    EXPECT_EQ(b.u16(0), 500);
    EXPECT_EQ(b.u16(4), 500);
    for (unsigned g = 2; g < 8; g++) {
        EXPECT_EQ(b.u16(4 * g), 0x200) << g;
        EXPECT_EQ(b.s16(4 * g + 2), 0x10) << g;
    }
    EXPECT_EQ(b.s16(32), 0x10);
    EXPECT_EQ(b.s16(34), 0x10);
    EXPECT_EQ(e.hmtx->length, 36u);
    // Glyphs 8 and 9 share entry 7's width, which is now 0x200 as asked.
    EXPECT_EQ(e.notice(), "");

    // A 16-bit end of ffff, and st > ed, which does nothing.
    e.set("0", "ffff", "0100", "0001");
    EXPECT_EQ(e.hmtx->bytes().u16(0), 0x100);
    EXPECT_EQ(e.hmtx->bytes().s16(34), 1);
    bytes before(e.hmtx->data, e.hmtx->data + e.hmtx->length);
    e.set("5", "4", "0300", "0003");
    EXPECT_EQ(bytes(e.hmtx->data, e.hmtx->data + e.hmtx->length), before);
}

TEST(MetricsEditor, AWidthThatGlyphsPastTheFullEntriesCannotHaveIsReported) {
    editor e;
    e.set("8", "9", "0300", "0005");
    byte_span b = e.hmtx->bytes();
    EXPECT_EQ(b.s16(32), 5);
    EXPECT_EQ(b.s16(34), 5);
    EXPECT_EQ(b.u16(28), 500) << "entry 7's width is not changed behind the user's back";
    EXPECT_EQ(e.notice(), "2 glyphs from 0008 share the advance width of glyph 0007: only lsb "
                          "was set");
    EXPECT_GT(amber_pixels(e.window, 0, 410, 560, 445), 50) << "the notice is shown";
    screenshot(e.window, "metrics_editor_notice");

    // Setting the last full entry too gives every glyph the width.
    e.set("7", "9", "0300", "0005");
    EXPECT_EQ(e.hmtx->bytes().u16(28), 0x300);
    EXPECT_EQ(e.notice(), "");
    EXPECT_EQ(amber_pixels(e.window, 0, 410, 560, 445), 0);
}

TEST(MetricsEditor, ValuesBeyondSixteenBitsAreRefusedNotCut) {
    struct {
        const char* width;
        const char* lsb;
        bool stored;
        int16_t lsbstored;
    } const cases[] = {
        {"12345", "0010", false, 0},  {"0200", "ffff0000", false, 0},
        {"0200", "10000", false, 0},  {"ffffff9c", "0010", false, 0},
        {"0200", "ff9c", true, -100}, {"0200", "ffffff9c", true, -100},
        {"0200", "-64", true, -100},  {"ffff", "7fff", true, 0x7fff},
    };
    for (const auto& c : cases) {
        editor e;
        bytes before(e.hmtx->data, e.hmtx->data + e.hmtx->length);
        e.set("1", "1", c.width, c.lsb);
        if (c.stored) {
            EXPECT_EQ(e.hmtx->bytes().s16(6), c.lsbstored) << c.width << " " << c.lsb;
            EXPECT_EQ(e.notice(), "");
        } else {
            EXPECT_EQ(bytes(e.hmtx->data, e.hmtx->data + e.hmtx->length), before)
                << c.width << " " << c.lsb;
            EXPECT_NE(e.notice().find("does not fit in 16 bits"), std::string::npos) << e.notice();
        }
    }
}

TEST(MetricsEditor, UnitsPerEmZeroGivesNoPreviewAndNoDivision) {
    editor e(0);
    type(e.window, e.hmtx->stctl, "3");
    EXPECT_EQ(e.text(e.hmtx->widthctl), "0258");
    EXPECT_EQ(e.lit(0, 0, 560, 440, GREEN) + e.lit(0, 0, 560, 440, CYAN), 0);
    EXPECT_GT(amber_pixels(e.window, 101, 101, 398, 140), 20) << "the box says why it is empty";
    // "set" still works: it needs no scale.
    e.set("3", "3", "0100", "0002");
    EXPECT_EQ(e.hmtx->bytes().u16(12), 0x100);
}

TEST(MetricsEditor, GlyphsWithoutMetricsKeepTheTypedValuesAndSayWhy) {
    // numberOfHMetrics 0: no glyph has an advance width.
    editor e(1000, 0);
    type(e.window, e.hmtx->widthctl, "0123");
    type(e.window, e.hmtx->lsbctl, "0007");
    type(e.window, e.hmtx->stctl, "3");
    EXPECT_EQ(e.text(e.hmtx->widthctl), "0123");
    EXPECT_EQ(e.text(e.hmtx->lsbctl), "0007");
    EXPECT_EQ(e.text(e.hmtx->edctl), "0003");
    EXPECT_EQ(e.notice(), "glyph 0003 has no metrics in this table");
    bytes before(e.hmtx->data, e.hmtx->data + e.hmtx->length);
    press(e.window, e.hmtx->setbtn);
    EXPECT_EQ(bytes(e.hmtx->data, e.hmtx->data + e.hmtx->length), before);
    EXPECT_EQ(e.notice(), "1 glyphs have no metrics in this table: not set");
}

// Metrics set through the editor in a real font survive saving and
// reloading, and fontTools reads the same numbers.
TEST(MetricsEditor, RealFontEditsSurviveSaveAndFontToolsAgrees) {
    using namespace testing_support;
    ttf font;
    ASSERT_EQ(load_bytes(font, read_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")), 0);
    const unsigned full = font.hhea->numhmtx(), last = font.maxp->numglyphs() - 1;
    ASSERT_LT(full, last);
    BWindow* window = show_table(font.hmtx);
    auto set = [&](const char* st, const char* ed, const char* width, const char* lsb) {
        type(window, font.hmtx->stctl, st);
        type(window, font.hmtx->edctl, ed);
        type(window, font.hmtx->widthctl, width);
        type(window, font.hmtx->lsbctl, lsb);
        press(window, font.hmtx->setbtn);
    };
    set("24", "26", "0400", "ffffffce"); // $ % & get 1024 and -50
    type(window, font.hmtx->stctl, "24");
    screenshot(window, "metrics_editor_dejavu");
    char st[8];
    snprintf(st, sizeof st, "%x", full);
    set(st, "ffff", "0123", "0009"); // past the full entries: lsb only
    std::string notice;
    locked(window, [&] { notice = font.hmtx->notice; });
    EXPECT_NE(notice.find("share the advance width"), std::string::npos) << notice;
    close_table(window, font.hmtx);

    std::string path = save_font(font);
    ASSERT_FALSE(path.empty());
    ttf again;
    ASSERT_EQ(load_bytes(again, read_file(path)), 0);
    std::string out;
    ASSERT_EQ(run_command(python() +
                              " -c \"import sys; from fontTools.ttLib import TTFont; "
                              "f = TTFont(sys.argv[1]); o = f.getGlyphOrder(); "
                              "[print(g, *f['hmtx'][o[g]]) for g in range(len(o))]\" '" +
                              path + "'",
                          &out),
              0)
        << out;
    std::istringstream lines(out);
    unsigned g, aw;
    int lsb, checked = 0;
    while (lines >> g >> aw >> lsb) {
        unsigned short ours;
        short ourlsb;
        ASSERT_EQ(again.hmtx->get_mtx((unsigned short)g, &ours, &ourlsb), 0);
        EXPECT_EQ(ours, aw) << g;
        EXPECT_EQ(ourlsb, lsb) << g;
        if (g >= 0x24 && g <= 0x26) {
            EXPECT_EQ(aw, 0x400u);
            EXPECT_EQ(lsb, -50);
        }
        if (g >= full) {
            EXPECT_EQ(lsb, 9) << g;
        }
        checked++;
    }
    EXPECT_EQ(checked, (int)last + 1);
}
