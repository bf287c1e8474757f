// The bitmap editor driven as a user drives it: a glyph typed into the
// palette, a strike chosen from the size menu, pixels toggled with clicks
// and stored with "set". Checked on the EBDT bytes (the glyph's image
// changes in place and nothing else does), on the pixels shown and, after
// a save, with fontTools.
#include "editor/ebdteditview.h"
#include "editor/ebdttoolview.h"
#include "font/bitmap.h"
#include "font/ebdt.h"
#include "font/eblc.h"
#include "font/head.h"
#include "font/hmtx.h"
#include "font/table_views.h"
#include "font/ttf.h"

#include "kit/app/kit_registry.h"
#include "kit/kit_test_support.h"

#include <Alert.h>
#include <File.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TextControl.h>

#include <gtest/gtest.h>

#include <malloc.h>

#include <cmath>

#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

using namespace kit_testing;
using namespace testing_support;

namespace {

const char* const MISAKI = "/usr/share/fonts/truetype/misaki/misaki_gothic.ttf";
const uint32 WHITE = 0xFFFFFF, BLACK = 0x000000;

// The fonts the tests build with fontTools, once per run.
struct built_fonts {
    std::string dir;
    // Strikes 12, 16, 12 again and 20x10; index formats 1-5, image formats
    // 1, 2, 5, 6 and 7 (tests/tools/build_bitmap_font.py).
    std::string formats;
    // Thirteen strikes of twelve sizes, two of them not square, and one of
    // 255 pixels per em (tests/tools/build_strike_font.py).
    std::string strikes;
    std::string error;
};

const built_fonts& fonts() {
    static built_fonts built = [] {
        built_fonts b;
        b.dir = temp_dir();
        std::string out;
        if (run_command(python() + " " + source_dir() + "/tests/tools/build_bitmap_font.py " +
                            b.dir,
                        &out) != 0)
            b.error += out;
        b.formats = b.dir + "/bitmaps.ttf";
        b.strikes = b.dir + "/strikes.ttf";
        if (run_command(python() + " " + source_dir() + "/tests/tools/build_strike_font.py " +
                            b.strikes + " 8 9 10 11 12 13 14 15 16 12 12x16 16x12 255",
                        &out) != 0)
            b.error += out;
        return b;
    }();
    return built;
}

// One line of tests/tools/bitmap_pixels.py or expected.txt.
struct pixels_line {
    int strike, px, py, gid, w, h, bx, by, adv;
    std::string bits;
};

std::vector<pixels_line> read_lines(const std::string& text) {
    std::vector<pixels_line> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        pixels_line l;
        std::istringstream fields(line);
        if (fields >> l.strike >> l.px >> l.py >> l.gid >> l.w >> l.h >> l.bx >> l.by >> l.adv >>
            l.bits)
            lines.push_back(l);
    }
    return lines;
}

std::vector<pixels_line> fonttools_bitmaps(const std::string& path) {
    std::string out;
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py '" + path + "'",
                    &out),
        0)
        << out;
    return read_lines(out);
}

// A font loaded and its EBDT table shown in a window, the way the work
// view shows it: the palette at window x 0-49, the canvas from x 50.
class bitmap_editor {
  public:
    explicit bitmap_editor(const std::string& path,
                           const std::function<void(ttf&)>& damage = nullptr) {
        register_ebdt_views();
        BFile file(path.c_str(), B_READ_ONLY);
        loaded = font->load(file) == 0 && font->ebdt;
        if (loaded && damage)
            damage(*font);
        window = new BWindow(BRect(100, 100, 661, 611), "bitmaps", B_TITLED_WINDOW, 0);
        window->Show();
        parent = new BView(BRect(0, 0, 561, 511), "work", B_FOLLOW_ALL, B_WILL_DRAW);
        locked(window, [&] {
            window->AddChild(parent);
            if (loaded) {
                font->set_view(parent);
                font->ebdt->show(true);
            }
        });
        idle();
    }
    ~bitmap_editor() {
        locked(window, [&] { font->reset_view(parent); });
        close(window);
        delete font;
    }

    void idle() { ASSERT_TRUE(screen().wait_idle()); }
    ebdteditview* canvas() const { return dynamic_cast<ebdteditview*>(font->ebdt->editview); }
    ebdttoolview* palette() const { return dynamic_cast<ebdttoolview*>(font->ebdt->toolview); }

    void click(BPoint where) {
        screen().mouse_down(window, where);
        screen().mouse_up(window, where);
        idle();
    }
    // A click on the canvas, in its own coordinates.
    void click_canvas(BPoint where) { click(where + BPoint(50, 0)); }
    // Replaces the text of the entry at `where` and presses Enter.
    void type(BPoint where, const std::string& text) {
        click(where);
        screen().key_down(window, "a", 0, B_COMMAND_KEY);
        for (char c : text)
            screen().key_down(window, std::string(1, c).c_str());
        screen().key_down(window, "\n", B_ENTER);
        idle();
    }
    void glyph(unsigned gno) { type(BPoint(35, 53), hex(gno)); }
    void character(unsigned code) { type(BPoint(35, 21), hex(code)); }
    // Opens the size menu and clicks the item with this label.
    void size(const std::string& label) {
        click(BPoint(25, 95));
        BPoint where(-1, -1);
        locked(window, [&] {
            BMenu* menu = palette()->sizefield->Menu();
            for (int32 i = 0; i < menu->CountItems() && menu->Parent(); i++) {
                if (label != menu->ItemAt(i)->Label())
                    continue;
                BRect f = menu->ItemAt(i)->Frame();
                where = menu->ConvertToParent(BPoint((f.left + f.right) / 2, f.top + 3));
                where = where + menu->Parent()->kit_window_offset();
            }
        });
        ASSERT_GE(where.x, 0) << "no open menu item " << label;
        click(where);
    }
    void set() { click(BPoint(25, 440)); }

    std::vector<unsigned char> ebdt_bytes() {
        std::vector<unsigned char> b;
        locked(window, [&] { b.assign(font->ebdt->data, font->ebdt->data + font->ebdt->length); });
        return b;
    }
    // The shown colour of a canvas point.
    uint32 colour(BPoint p) { return rgb(window, (int32)p.x + 50, (int32)p.y); }
    // The centre of pixel (col, row) of the bitmap on the canvas.
    BPoint centre(int col, int row) {
        BRect r;
        locked(window, [&] { r = canvas()->bmp->cell_rect(col, row); });
        return BPoint(std::floor((r.left + r.right) / 2), std::floor((r.top + r.bottom) / 2));
    }
    int count_colour(uint32 colour, BRect area) {
        int n = 0;
        for (int y = (int)area.top; y <= (int)area.bottom; y++)
            for (int x = (int)area.left; x <= (int)area.right; x++)
                n += rgb(window, x + 50, y) == colour;
        return n;
    }

    static std::string hex(unsigned v) {
        char text[8];
        snprintf(text, sizeof text, "%x", v);
        return text;
    }

    ttf* font = new ttf();
    BWindow* window;
    BView* parent;
    bool loaded = false;
};

// Where glyph gid's image of strike (px, py) lies in EBDT.
bitmap_location locate(ttf& font, int gid, int px, int py) {
    bitmap b((unsigned short)gid, (unsigned char)px, (unsigned char)py, 1);
    bitmap_location where{};
    EXPECT_EQ(font.eblc->get_location(&b, &where), 0);
    return where;
}

std::string flipped(std::string bits, const std::vector<size_t>& at) {
    for (size_t i : at)
        bits[i] = bits[i] == '1' ? '0' : '1';
    return bits;
}

} // namespace

TEST(EbdtEditor, SizeMenuOffersEveryStrikeAndNamesNonSquareOnesByBothSizes) {
    ASSERT_EQ(fonts().error, "");
    bitmap_editor e(fonts().strikes);
    ASSERT_TRUE(e.loaded);
    std::vector<std::string> labels;
    std::vector<int> pts;
    locked(e.window, [&] {
        BMenu* menu = e.palette()->sizefield->Menu();
        for (int32 i = 0; i < menu->CountItems(); i++) {
            labels.push_back(menu->ItemAt(i)->Label());
            int16 pt = 0;
            menu->ItemAt(i)->Message()->FindInt16("pt", &pt);
            pts.push_back((uint16)pt);
        }
    });
    // Thirteen strikes, twelve distinct sizes: more than a list of eight holds.
    EXPECT_EQ(labels, (std::vector<std::string>{"8", "9", "10", "11", "12", "13", "14", "15", "16",
                                                "12x16", "16x12", "255"}));
    ASSERT_EQ(pts.size(), 12u);
    EXPECT_EQ(pts[4], 0x0C0C);
    EXPECT_EQ(pts[9], 0x0C10);
    EXPECT_EQ(pts[10], 0x100C);
    EXPECT_EQ(pts[11], 0xFFFF);

    // Choosing "12x16" loads the strike 12 wide and 16 high: cells 25 x
    // 18.75 pixels.
    e.glyph(1);
    e.size("12x16");
    locked(e.window, [&] {
        EXPECT_EQ(e.canvas()->pt, 0x0C10);
        EXPECT_EQ(e.palette()->pt, 0x0C10);
        ASSERT_NE(e.canvas()->bmp, nullptr);
        ASSERT_NE(e.canvas()->bmp->pixels, nullptr);
        EXPECT_EQ(e.canvas()->bmp->width, 8);
        EXPECT_EQ(e.canvas()->bmp->height, 12);
        BRect cell = e.canvas()->bmp->cell_rect(0, 0);
        EXPECT_FLOAT_EQ(cell.Width() + 1, 25);
        EXPECT_FLOAT_EQ(cell.Height() + 1, 18.75f);
        EXPECT_STREQ(e.palette()->sizefield->kit_title(), "12x16");
    });
    screenshot(e.window, "ebdt_editor_12x16");
}

namespace {

// The share of a cell's pixels (inside its edges) shown white.
double white_share(bitmap_editor& e, int col, int row) {
    BRect r;
    locked(e.window, [&] { r = e.canvas()->bmp->cell_rect(col, row); });
    BRect inner(std::ceil(r.left) + 1, std::ceil(r.top) + 1, std::floor(r.right) - 1,
                std::floor(r.bottom) - 1);
    int all = (int)((inner.Width() + 1) * (inner.Height() + 1));
    return all > 0 ? (double)e.count_colour(WHITE, inner) / all : 0;
}

std::string shown_bits(bitmap_editor& e) {
    std::string bits;
    locked(e.window, [&] {
        const bitmap* b = e.canvas()->bmp;
        for (size_t i = 0; b && b->pixels && i < (size_t)b->width * b->height; i++)
            bits += b->pixels[i] ? '1' : '0';
    });
    return bits;
}

} // namespace

TEST(EbdtEditor, ClicksAndSetChangeOnlyTheGlyphsImageInEveryFormat) {
    ASSERT_EQ(fonts().error, "");
    std::ifstream in(fonts().dir + "/expected.txt");
    std::stringstream text;
    text << in.rdbuf();
    std::vector<pixels_line> expected = read_lines(text.str());
    bitmap_editor e(fonts().formats);
    ASSERT_TRUE(e.loaded);

    struct format_case {
        const char* size;
        int strike, gid;
        int indexFormat, imageFormat;
    };
    const format_case cases[] = {
        {"12", 0, 2, 1, 1},  {"12", 0, 6, 3, 2},  {"12", 0, 12, 4, 6},    {"16", 1, 3, 2, 5},
        {"16", 1, 11, 5, 5}, {"16", 1, 17, 1, 7}, {"20x10", 3, 20, 3, 1}, {"20x10", 3, 23, 1, 2},
    };
    std::map<std::pair<int, int>, std::string> stored; // (strike, gid) -> bits
    for (const format_case& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " glyph " + std::to_string(c.gid));
        const pixels_line* line = nullptr;
        for (const pixels_line& l : expected)
            if (l.strike == c.strike && l.gid == c.gid)
                line = &l;
        ASSERT_NE(line, nullptr);

        e.size(c.size);
        e.glyph((unsigned)c.gid);
        EXPECT_EQ(shown_bits(e), line->bits);
        bitmap_location where{};
        locked(e.window, [&] {
            EXPECT_EQ(e.palette()->gno, c.gid);
            EXPECT_EQ(e.palette()->chr, 0x40 + c.gid);
            where = locate(*e.font, c.gid, line->px, line->py);
        });
        EXPECT_EQ(where.indexFormat, c.indexFormat);
        EXPECT_EQ(where.imageFormat, c.imageFormat);

        const std::vector<unsigned char> before = e.ebdt_bytes();
        std::vector<std::pair<int, int>> toggles = {{0, 0}, {line->w - 1, line->h - 1}};
        if (line->w * line->h == 1)
            toggles.pop_back();
        std::vector<size_t> at;
        for (auto [col, row] : toggles) {
            bool ink = line->bits[(size_t)row * line->w + col] == '1';
            EXPECT_EQ(white_share(e, col, row) > 0.5, ink);
            e.click_canvas(e.centre(col, row));
            EXPECT_EQ(white_share(e, col, row) > 0.5, !ink) << col << "," << row;
            at.push_back((size_t)row * line->w + col);
        }
        // Toggles change the bitmap being edited, not the table.
        EXPECT_EQ(e.ebdt_bytes(), before);
        e.set();
        const std::vector<unsigned char> after = e.ebdt_bytes();
        ASSERT_EQ(after.size(), before.size());
        int changed = 0;
        for (size_t i = 0; i < after.size(); i++) {
            if (after[i] == before[i])
                continue;
            changed++;
            EXPECT_TRUE(i >= where.offset && i < where.offset + where.size)
                << "byte " << i << " outside the image at " << where.offset;
        }
        EXPECT_GE(changed, 1);
        // What is shown now is what the table holds.
        EXPECT_EQ(shown_bits(e), flipped(line->bits, at));
        stored[{c.strike, c.gid}] = flipped(line->bits, at);
    }

    // fontTools reads the saved font: the edited glyphs with their pixels
    // flipped, every other bitmap as it was.
    std::string path = temp_dir() + "/edited.ttf";
    locked(e.window, [&] {
        BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        ASSERT_EQ(e.font->save(file), 0);
    });
    std::vector<pixels_line> reread = fonttools_bitmaps(path);
    ASSERT_EQ(reread.size(), expected.size());
    for (const pixels_line& l : reread) {
        auto edited = stored.find({l.strike, l.gid});
        std::string want;
        for (const pixels_line& x : expected)
            if (x.strike == l.strike && x.gid == l.gid)
                want = x.bits;
        if (edited != stored.end())
            want = edited->second;
        EXPECT_EQ(l.bits, want) << "strike " << l.strike << " glyph " << l.gid;
    }
}

TEST(EbdtEditor, ShowsTheOutlineAndBothSetsOfMetricLines) {
    ASSERT_EQ(fonts().error, "");
    bitmap_editor e(fonts().strikes);
    ASSERT_TRUE(e.loaded);
    e.size("12");
    e.character('A');
    BRect cells;
    int bx = 0, adv = 0;
    locked(e.window, [&] {
        EXPECT_EQ(e.canvas()->gno, 1);
        EXPECT_EQ(e.palette()->gno, 1);
        ASSERT_NE(e.canvas()->refglyph, nullptr);
        bx = e.canvas()->bmp->bearingx;
        adv = e.canvas()->bmp->advance;
    });
    // The bitmap's bearing and advance lines, solid, the whole square high.
    int bearing = 100 + 300 * bx / 12, advance = 100 + 300 * adv / 12;
    EXPECT_EQ(e.count_colour(0x00FF00, BRect(bearing, 100, bearing, 399)), 300);
    EXPECT_EQ(e.count_colour(0x00FFFF, BRect(advance, 100, advance, 399)), 300);
    // The outline's side bearing (100 of 1000 units) and advance (600), in
    // the mixed pattern: every other pixel.
    EXPECT_EQ(e.count_colour(0x00BF00, BRect(130, 100, 130, 399)), 150);
    EXPECT_EQ(e.count_colour(0x00BFBF, BRect(280, 100, 280, 399)), 150);
    // The outline: a triangle from (100, 0) to (100, 700) and (500, 0) in
    // font units, its hypotenuse red across the square.
    EXPECT_GT(e.count_colour(0xFF0000, BRect(131, 180, 279, 399)), 150);
    // The square's frame where nothing covers it.
    EXPECT_EQ(e.colour(BPoint(399, 100)), 0x323232u);
    screenshot(e.window, "ebdt_editor");
}

TEST(EbdtEditor, ATogglesRedrawEqualsAFullRedrawInTheLargestStrike) {
    ASSERT_EQ(fonts().error, "");
    bitmap_editor e(fonts().strikes);
    ASSERT_TRUE(e.loaded);
    e.size("255");
    e.glyph(2);
    locked(e.window, [&] {
        ASSERT_NE(e.canvas()->bmp->pixels, nullptr);
        EXPECT_EQ(e.canvas()->bmp->width, 255);
    });
    // A cell next to the bearing line, one on the outline and one at the
    // image's far corner: each toggled, then the whole view redrawn; the
    // pixels must not change.
    for (BPoint cell : {BPoint(0, 0), BPoint(25, 150), BPoint(254, 199), BPoint(200, 5)}) {
        SCOPED_TRACE(cell.x);
        e.click_canvas(e.centre((int)cell.x, (int)cell.y));
        std::vector<uint32> partial;
        for (int y = 0; y < 512; y++)
            for (int x = 50; x < 562; x++)
                partial.push_back(rgb(e.window, x, y));
        locked(e.window, [&] { e.canvas()->redraw(4); });
        e.window->Lock();
        e.window->Sync();
        e.window->Unlock();
        e.idle();
        size_t i = 0, differ = 0;
        for (int y = 0; y < 512; y++)
            for (int x = 50; x < 562; x++) {
                uint32 now = rgb(e.window, x, y);
                if (partial[i] != now && differ++ < 10)
                    ADD_FAILURE() << "at " << x - 50 << "," << y << ": " << std::hex << partial[i]
                                  << " then " << now;
                i++;
            }
        EXPECT_EQ(differ, 0u);
    }
    screenshot(e.window, "ebdt_editor_255");
}

TEST(EbdtEditor, DegenerateSizesDrawWithoutDividingAndLeaveTheirLinesOut) {
    ASSERT_EQ(fonts().error, "");
    struct degenerate {
        const char* label;
        std::function<void(ttf&)> damage;
        const char* size;
        bool outline, outline_lines, cells;
    };
    const degenerate cases[] = {
        {"unitsPerEm 0", [](ttf& f) { f.head->writer().put16(18, 0); }, "12", false, false, true},
        // The first strike's sizes become 0 x 0.
        {"ppem 0",
         [](ttf& f) {
             f.eblc->writer().put8(8 + 44, 0);
             f.eblc->writer().put8(8 + 45, 0);
         },
         "0", true, true, false},
        {"no horizontal metrics", [](ttf& f) { f.hmtx->length = 0; }, "12", true, false, true},
    };
    for (const degenerate& c : cases) {
        SCOPED_TRACE(c.label);
        bitmap_editor e(fonts().strikes, c.damage);
        ASSERT_TRUE(e.loaded);
        e.size(c.size);
        e.glyph(1);
        BRect square(100, 100, 399, 399);
        EXPECT_EQ(e.count_colour(0xFF0000, square) > 0, c.outline);
        EXPECT_EQ(e.count_colour(0x00BF00, square) > 0, c.outline_lines);
        EXPECT_EQ(e.count_colour(0x00FF00, square) > 0, c.cells);
        EXPECT_EQ(e.count_colour(WHITE, square) > 1000, c.cells);
        // Clicks on the square change nothing where nothing can be edited.
        std::vector<unsigned char> before = e.ebdt_bytes();
        e.click_canvas(BPoint(150, 250));
        e.set();
        if (!c.cells) {
            EXPECT_EQ(e.ebdt_bytes(), before);
        }
    }
}

TEST(EbdtEditor, AnImageLongerThanItsSlotIsNeitherShownNorWritten) {
    ASSERT_EQ(fonts().error, "");
    // Glyph 1 of the first strike (index format 1) keeps only 3 bytes of
    // its image: its slot ends where the image has barely begun.
    auto shorten = [](ttf& f) {
        byte_span t = f.eblc->bytes();
        size_t array = t.u32(8);
        size_t sub = array + t.u32(array + 4);
        f.eblc->writer().put32(sub + 8 + 4, t.u32(sub + 8) + 3);
    };
    bitmap_editor e(fonts().strikes, shorten);
    ASSERT_TRUE(e.loaded);
    e.size("8");
    e.glyph(1);
    locked(e.window, [&] { EXPECT_EQ(e.canvas()->bmp->pixels, nullptr); });
    std::vector<unsigned char> before = e.ebdt_bytes();
    for (int x = 100; x < 400; x += 20)
        e.click_canvas(BPoint(x, 300));
    e.set();
    EXPECT_EQ(e.ebdt_bytes(), before);
    // Its neighbour is intact and editable.
    e.glyph(2);
    locked(e.window, [&] { EXPECT_NE(e.canvas()->bmp->pixels, nullptr); });
}

TEST(EbdtEditor, PaletteSurfaceStepsAndOutOfRangeNumbersShowGlyphZero) {
    ASSERT_EQ(fonts().error, "");
    bitmap_editor e(fonts().strikes);
    ASSERT_TRUE(e.loaded);
    // Before any glyph is chosen a size alone shows "Undefined".
    e.size("16");
    locked(e.window, [&] {
        EXPECT_EQ(e.canvas()->gno, 0xFFFF);
        EXPECT_EQ(e.canvas()->bmp->pixels, nullptr);
    });
    EXPECT_GT(e.count_colour(WHITE, BRect(200, 200, 300, 240)), 20);
    // The first click on the palette's surface goes from 0xFFFF to 0.
    e.click(BPoint(25, 300));
    locked(e.window, [&] { EXPECT_EQ(e.canvas()->gno, 0); });
    e.click(BPoint(25, 300));
    locked(e.window, [&] {
        EXPECT_EQ(e.canvas()->gno, 1);
        EXPECT_EQ(e.canvas()->chr, 'A');
        EXPECT_STREQ(e.palette()->chrctl->Text(), "0041");
        EXPECT_STREQ(e.palette()->gnoctl->Text(), "0001");
    });
    e.glyph(0x99);
    locked(e.window, [&] { EXPECT_EQ(e.canvas()->gno, 0); });
    // Glyph 3 is the last; the next one wraps to 0.
    e.glyph(3);
    e.click(BPoint(25, 300));
    locked(e.window, [&] { EXPECT_EQ(e.canvas()->gno, 0); });
    screenshot(e.window, "ebdt_editor_palette");
}

TEST(EbdtEditor, CanvasFreesItsBitmapWithTheFont) {
    ASSERT_EQ(fonts().error, "");
    // Each round shows a 255 x 200 image (51,000 bytes of pixels) and then
    // gives the font up; a canvas that kept its bitmap would leak them.
    auto round = [] {
        bitmap_editor e(fonts().strikes);
        ASSERT_TRUE(e.loaded);
        e.size("255");
        e.glyph(1);
        locked(e.window, [&] { ASSERT_NE(e.canvas()->bmp->pixels, nullptr); });
    };
    round();
    round();
    size_t start = mallinfo2().uordblks;
    for (int i = 0; i < 10; i++)
        round();
    long grown = (long)mallinfo2().uordblks - (long)start;
    EXPECT_LT(grown, 250000) << "the heap grew by " << grown << " bytes in 10 rounds";
}

TEST(EbdtEditor, EditsAGlyphOfARealFontInPlace) {
    bitmap_editor e(MISAKI);
    ASSERT_TRUE(e.loaded) << "scripts/setup.sh installs fonts-misaki";
    std::vector<pixels_line> original = fonttools_bitmaps(MISAKI);
    e.size("8");
    e.character('A');
    unsigned gid = 0;
    bitmap_location where{};
    int w = 0, h = 0;
    locked(e.window, [&] {
        gid = e.canvas()->gno;
        ASSERT_NE(e.canvas()->bmp->pixels, nullptr);
        w = e.canvas()->bmp->width;
        h = e.canvas()->bmp->height;
        where = locate(*e.font, (int)gid, 8, 8);
    });
    ASSERT_GT(gid, 0u);
    const pixels_line* line = nullptr;
    for (const pixels_line& l : original)
        if (l.gid == (int)gid)
            line = &l;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(shown_bits(e), line->bits);

    std::vector<unsigned char> before = e.ebdt_bytes();
    e.click_canvas(e.centre(w / 2, h / 2));
    e.set();
    std::vector<unsigned char> after = e.ebdt_bytes();
    for (size_t i = 0; i < after.size(); i++) {
        if (after[i] != before[i]) {
            EXPECT_TRUE(i >= where.offset && i < where.offset + where.size) << i;
        }
    }
    screenshot(e.window, "ebdt_editor_misaki");

    std::string path = temp_dir() + "/misaki.ttf";
    locked(e.window, [&] {
        BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
        ASSERT_EQ(e.font->save(file), 0);
    });
    std::vector<pixels_line> saved = fonttools_bitmaps(path);
    ASSERT_EQ(saved.size(), original.size());
    for (size_t i = 0; i < saved.size(); i++) {
        std::string want = original[i].bits;
        if (original[i].gid == (int)gid)
            want = flipped(want, {(size_t)(h / 2) * w + w / 2});
        EXPECT_EQ(saved[i].bits, want) << "glyph " << saved[i].gid;
    }
}

TEST(EbdtEditor, AFailedSetKeepsThePixelsOnTheCanvasAndSaysWhy) {
    ASSERT_EQ(fonts().error, "");
    bitmap_editor e(fonts().formats);
    ASSERT_TRUE(e.loaded);
    e.size("12");
    e.glyph(2);
    std::string read = shown_bits(e);
    ASSERT_FALSE(read.empty());
    e.click_canvas(e.centre(0, 0));
    std::string edited = flipped(read, {0});
    ASSERT_EQ(shown_bits(e), edited);
    // The image's slot changes under the canvas (its height byte, as
    // another edit of shared bytes could change it): the pixels no longer
    // fit where they came from.
    locked(e.window, [&] {
        bitmap_location where = locate(*e.font, 2, 12, 12);
        e.font->ebdt->writer().put8(where.offset,
                                    (uint8_t)(e.font->ebdt->bytes().u8(where.offset) + 1));
    });
    const std::vector<unsigned char> before = e.ebdt_bytes();
    e.set();
    EXPECT_EQ(e.ebdt_bytes(), before) << "nothing was written";
    EXPECT_EQ(shown_bits(e), edited) << "the canvas keeps the toggled pixel";
    BAlert* alert = nullptr;
    for (int i = 0; i < 200 && !alert; i++) {
        {
            std::lock_guard<std::mutex> hold(kit::registry_mutex());
            for (BLooper* l : kit::loopers())
                if (BAlert* a = dynamic_cast<BAlert*>(l))
                    alert = a;
        }
        if (!alert)
            snooze(5000);
    }
    ASSERT_NE(alert, nullptr) << "the user is told";
    // Listed from within its constructor, it is read once its thread runs.
    for (int i = 0; i < 500 && alert->Thread() < 0; i++)
        snooze(2000);
    std::string said;
    locked(alert, [&] { said = alert->Text(); });
    EXPECT_NE(said.find("was not stored"), std::string::npos) << said;
    screen().key_down(alert, "\n", B_ENTER);
    e.idle();
}
