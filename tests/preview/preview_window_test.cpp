// The text preview on the headless display, driven through its entry and
// controls, its pixels compared with FreeType and HarfBuzz setting the
// same text from the font file on disk.
#include "font/glyf.h"
#include "font/ttf_table.h"
#include "font/head.h"
#include "font/ttf.h"
#include "outline/glyph.h"
#include "preview/preview_host.h"
#include "preview/preview_messages.h"
#include "preview/preview_sheet.h"
#include "preview/preview_window.h"
#include "preview/sample_text.h"

#include "kit/kit_test_support.h"
#include "support/test_support.h"

#include <CheckBox.h>
#include <File.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <TextControl.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

using kit_testing::screen;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The font lives in the test, guarded by a lock the preview takes as it
// takes the main window's.
class test_host : public preview_host {
  public:
    bool read_font(const std::function<void(ttf*, const std::string&)>& read) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        read(font.get(), file);
        return true;
    }
    void show_glyph(unsigned gno) override {
        std::lock_guard<std::recursive_mutex> hold(lock);
        shown.push_back(gno);
    }
    bool load(const std::string& path) {
        std::unique_ptr<ttf> f(new ttf());
        BFile in(path.c_str(), B_READ_ONLY);
        if (f->load(in) != 0)
            return false;
        std::lock_guard<std::recursive_mutex> hold(lock);
        font = std::move(f);
        file = path;
        return true;
    }

    std::recursive_mutex lock;
    std::unique_ptr<ttf> font;
    std::string file;
    std::vector<unsigned> shown;
};

// The expected coverage of one line: FreeType and HarfBuzz on the file,
// each glyph at its rounded pen position, overlaps keeping the darker.
struct reference_line {
    int width = 0, height = 0;
    std::vector<uint8_t> coverage;
};

reference_line reference(const std::string& path, const std::string& text, int ppem,
                         const preview_options& o) {
    reference_line out;
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, path.c_str(), 0, &face))
        return out;
    FT_Set_Pixel_Sizes(face, 0, ppem);
    FT_Int32 flags = o.hinting == preview_hinting::none    ? FT_LOAD_NO_HINTING
                     : o.hinting == preview_hinting::light ? FT_LOAD_TARGET_LIGHT
                     : o.antialias ? FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_NORMAL
                                   : FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO;
    hb_font_t* font = hb_ft_font_create(face, nullptr);
    hb_ft_font_set_load_flags(font, flags);
    hb_buffer_t* buf = hb_buffer_create();
    hb_buffer_add_utf8(buf, text.c_str(), -1, 0, -1);
    hb_buffer_guess_segment_properties(buf);
    hb_feature_t features[] = {{HB_TAG('k', 'e', 'r', 'n'), o.kern, 0, ~0u},
                               {HB_TAG('l', 'i', 'g', 'a'), o.liga, 0, ~0u}};
    hb_shape(font, buf, features, 2);
    unsigned n;
    hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buf, &n);
    hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buf, &n);
    long total = 0;
    for (unsigned i = 0; i < n; i++)
        total += pos[i].x_advance;
    int ascent = (int)((face->size->metrics.ascender + 63) >> 6);
    int descent = (int)((-face->size->metrics.descender + 63) >> 6);
    out.width = std::max(1, (int)((total + 63) >> 6));
    out.height = ascent + descent + 1;
    out.coverage.assign((size_t)out.width * out.height, 0);
    long pen = 0;
    for (unsigned i = 0; i < n; i++) {
        FT_Load_Glyph(face, info[i].codepoint, flags);
        FT_Render_Glyph(face->glyph, o.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO);
        const FT_Bitmap& b = face->glyph->bitmap;
        int ox = (int)((pen + pos[i].x_offset + 32) >> 6) + face->glyph->bitmap_left;
        int oy = ascent - (int)((pos[i].y_offset + 32) >> 6) - face->glyph->bitmap_top;
        for (int r = 0; r < (int)b.rows; r++)
            for (int c = 0; c < (int)b.width; c++) {
                int x = ox + c, y = oy + r;
                if (x < 0 || y < 0 || x >= out.width || y >= out.height)
                    continue;
                const unsigned char* row = b.buffer + r * b.pitch;
                uint8_t v = b.pixel_mode == FT_PIXEL_MODE_MONO
                                ? ((row[c >> 3] >> (7 - (c & 7))) & 1 ? 255 : 0)
                                : row[c];
                uint8_t& to = out.coverage[(size_t)y * out.width + x];
                to = std::max(to, v);
            }
        pen += pos[i].x_advance;
    }
    hb_buffer_destroy(buf);
    hb_font_destroy(font);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return out;
}

class open_preview {
  public:
    explicit open_preview(test_host* h) : host(h) {
        window = new preview_window(host);
        link = BMessenger(window);
        idle();
    }
    ~open_preview() {
        if (link.LockTarget())
            window->Quit();
    }
    void idle() { ASSERT_TRUE(screen().wait_idle()); }
    template <typename F> auto locked(F step) {
        window->Lock();
        auto result = step();
        window->Unlock();
        return result;
    }
    // Where a view's point is in the window.
    BPoint in_window(BView* view, BPoint p) {
        return locked(
            [&] { return view->ConvertToParent(p) + view->Parent()->kit_window_offset(); });
    }
    BPoint centre_of(BView* view) {
        BRect b = locked([&] { return view->Bounds(); });
        return in_window(view, BPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2));
    }
    void click(BPoint p) {
        screen().mouse_down(window, p, 1, 0, 1);
        screen().mouse_up(window, p, 0);
        idle();
    }
    void key(const char* bytes, uint32 modifiers = 0) {
        screen().key_down(window, bytes, 0, modifiers);
        screen().key_up(window, bytes, 0, modifiers);
    }
    // Replaces the entry's text as a user does: select all, then type.
    void type(const std::string& text) {
        click(centre_of(window->textfield()));
        key("a", B_COMMAND_KEY);
        key("\b");
        for (size_t i = 0; i < text.size();) {
            size_t len = 1;
            while (i + len < text.size() && ((unsigned char)text[i + len] & 0xC0) == 0x80)
                len++;
            key(text.substr(i, len).c_str());
            i += len;
        }
        idle();
    }
    // Picks item `index` of the hinting menu.
    void hinting(int index) {
        click(centre_of(window->hintingfield()));
        BMenu* menu = window->hintingfield()->Menu();
        BPoint p = locked([&] {
            BRect f = menu->ItemAt(index)->Frame();
            return menu->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2)) +
                   menu->Parent()->kit_window_offset();
        });
        click(p);
    }
    // Changes the font under the host's lock, then tells the preview.
    template <typename F> void change(F step) {
        {
            std::lock_guard<std::recursive_mutex> hold(host->lock);
            step(host->font.get());
        }
        link.SendMessage(PREVIEW_CHANGED);
        idle();
    }
    // The grey levels shown for line i, the line's width x height; the
    // columns past the window's edge are left 0 in `shown` and `expected`.
    void shown_line(size_t i, int* width, int* height, std::vector<uint8_t>* expected,
                    std::vector<uint8_t>* shown) {
        BPoint origin;
        int visible = locked([&] {
            const set_line& line = window->sheet()->lines()[i];
            *width = line.width;
            *height = line.height;
            origin = window->sheet()->ConvertToParent(
                BPoint(preview_sheet::label_width, window->sheet()->line_top(i)));
            return (int)(window->Bounds().right - origin.x + 1);
        });
        shown->assign((size_t)*width * *height, 0);
        for (int y = 0; y < *height; y++)
            for (int x = 0; x < *width; x++) {
                size_t at = (size_t)y * *width + x;
                if (x >= visible) {
                    if (at < expected->size())
                        (*expected)[at] = 0;
                    continue;
                }
                (*shown)[at] =
                    255 - screen().pixel(window, (int32)origin.x + x, (int32)origin.y + y).red;
            }
    }

    test_host* host;
    preview_window* window;
    BMessenger link;
};

TEST(PreviewWindow, WaterfallEqualsFreeTypeAndHarfBuzzSettingTheFileOnDisk) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_preview p(&host);
    EXPECT_EQ(p.locked([&] { return std::string(p.window->Title()); }),
              "Preview \xE2\x80\x94 DejaVuSans.ttf");
    EXPECT_EQ(p.locked([&] { return std::string(p.window->textfield()->Text()); }),
              "The quick brown fox jumps over the lazy dog 0123456789");
    const std::string text = "AVATAR office fjord Wolf \xCE\xA9\xD0\x96";
    p.type(text);
    ASSERT_EQ(p.locked([&] { return std::string(p.window->textfield()->Text()); }), text);

    struct setting {
        int hinting; // menu item
        bool antialias, kern, liga;
    };
    // Each row is reached from the one before by the user's clicks.
    const setting rows[] = {{0, true, true, true},
                            {1, true, true, true},
                            {2, true, false, true},
                            {2, false, false, false},
                            {0, false, true, true}};
    for (const setting& row : rows) {
        p.hinting(row.hinting);
        preview_options o = p.locked([&] { return p.window->options(); });
        if (o.antialias != row.antialias)
            p.click(p.centre_of(p.window->antialiasbox()));
        if (o.kern != row.kern)
            p.click(p.centre_of(p.window->kernbox()));
        if (o.liga != row.liga)
            p.click(p.centre_of(p.window->ligabox()));
        o = p.locked([&] { return p.window->options(); });
        ASSERT_EQ((int)o.hinting, row.hinting);
        ASSERT_EQ(o.antialias, row.antialias);
        ASSERT_EQ(o.kern, row.kern);
        ASSERT_EQ(o.liga, row.liga);
        size_t count = p.locked([&] { return p.window->sheet()->lines().size(); });
        ASSERT_EQ(count, 12u);
        for (size_t i = 0; i < count; i++) {
            int ppem = preview_window::sizes[i];
            reference_line want = reference(DEJAVU, text, ppem, o);
            int w = 0, h = 0;
            std::vector<uint8_t> got;
            p.shown_line(i, &w, &h, &want.coverage, &got);
            ASSERT_EQ(w, want.width) << ppem << " px, hinting " << row.hinting;
            ASSERT_EQ(h, want.height) << ppem << " px";
            EXPECT_TRUE(got == want.coverage)
                << ppem << " px, hinting " << row.hinting << " antialias " << row.antialias;
        }
    }
    kit_testing::screenshot(p.window, "preview_waterfall");
}

} // namespace

namespace {

TEST(PreviewWindow, CharactersMissingAreListedAndAFontFreeTypeRefusesShowsItsErrorInstead) {
    test_host host;
    ASSERT_TRUE(host.load(DEJAVU));
    open_preview p(&host);
    p.type("a\xE3\x81\x82\xE3\x81\x84\xE3\x81\x82!");
    auto missing = [&] { return p.locked([&] { return p.window->sheet()->missing_text(); }); };
    auto error = [&] { return p.locked([&] { return p.window->sheet()->error(); }); };
    auto lines = [&] { return p.locked([&] { return p.window->sheet()->lines(); }); };
    EXPECT_EQ(missing(), "not in the font: U+3042 U+3044");
    ASSERT_EQ(lines().size(), 12u);
    EXPECT_EQ(lines()[0].glyphs.size(), 5u);
    EXPECT_EQ(lines()[0].glyphs[1].gid, 0u) << "drawn as glyph 0";

    // Every glyph's record damaged: each line says why FreeType refused it.
    std::vector<unsigned char> glyf;
    p.change([&](ttf* font) {
        ttf_table* t = (ttf_table*)font->glyf;
        glyf.assign(t->data, t->data + t->length);
        for (size_t i = 0; i + 1 < t->length; i += 2)
            t->writer().put16(i, 0x7F7F);
    });
    std::vector<set_line> damaged = lines();
    ASSERT_EQ(damaged.size(), 12u);
    for (const set_line& l : damaged)
        EXPECT_NE(l.error.find("glyph"), std::string::npos) << l.ppem;

    // A head table cut short: FreeType refuses the font, and says so.
    std::vector<unsigned char> head;
    p.change([&](ttf* font) {
        unsigned char* whole = malloc32((long)glyf.size());
        std::copy(glyf.begin(), glyf.end(), whole);
        ((ttf_table*)font->glyf)->replace_data(whole, glyf.size());
        ttf_table* h = (ttf_table*)font->head;
        head.assign(h->data, h->data + h->length);
        unsigned char* cut = malloc32(8);
        std::copy(head.begin(), head.begin() + 8, cut);
        h->replace_data(cut, 8);
    });
    EXPECT_FALSE(error().empty());
    EXPECT_TRUE(lines().empty());
    bool red = false;
    for (int x = 0; x < 300 && !red; x++)
        for (int y = 64; y < 90 && !red; y++) {
            rgb_color c = screen().pixel(p.window, x, y);
            red = c.red > 120 && c.green < 60;
        }
    EXPECT_TRUE(red) << "the error is shown";

    // Put back, the text is set again.
    p.change([&](ttf* font) {
        unsigned char* whole = malloc32((long)head.size());
        std::copy(head.begin(), head.end(), whole);
        ((ttf_table*)font->head)->replace_data(whole, head.size());
    });
    EXPECT_TRUE(error().empty());
    ASSERT_EQ(lines().size(), 12u);
    EXPECT_TRUE(lines()[0].error.empty());

    // An em of 16 units makes every glyph 128 times its size: past what a
    // line shows, each line says so instead of drawing bitmaps of
    // thousands of pixels a side.
    p.change([&](ttf* font) { ((ttf_table*)font->head)->writer().put16(18, 16); });
    damaged = lines();
    ASSERT_EQ(damaged.size(), 12u);
    for (const set_line& l : damaged)
        EXPECT_NE(l.error.find("far larger than the line"), std::string::npos) << l.ppem;
    p.change([&](ttf* font) { ((ttf_table*)font->head)->writer().put16(18, 2048); });
    EXPECT_TRUE(lines()[11].error.empty());
}

TEST(PreviewSample, ALatinPangramElseCommonCharactersOfTheBlockCoveredMost) {
    auto from = [](std::vector<std::pair<uint32_t, uint32_t>> ranges) {
        return [ranges](uint32_t c) {
            for (auto r : ranges)
                if (c >= r.first && c <= r.second)
                    return true;
            return false;
        };
    };
    struct row {
        std::vector<std::pair<uint32_t, uint32_t>> covered;
        std::string expected;
    } rows[] = {
        {{{0x20, 0x7E}, {0x400, 0x4FF}}, "The quick brown fox jumps over the lazy dog 0123456789"},
        {{{0x30, 0x39}, {0x400, 0x4FF}},
         "\xD0\xA1\xD1\x8A\xD0\xB5\xD1\x88\xD1\x8C \xD0\xB6\xD0\xB5 \xD0\xB5\xD1\x89\xD1\x91 "
         "\xD1\x8D\xD1\x82\xD0\xB8\xD1\x85 \xD0\xBC\xD1\x8F\xD0\xB3\xD0\xBA\xD0\xB8\xD1\x85 "
         "\xD1\x84\xD1\x80\xD0\xB0\xD0\xBD\xD1\x86\xD1\x83\xD0\xB7\xD1\x81\xD0\xBA\xD0\xB8\xD1\x85 "
         "\xD0\xB1\xD1\x83\xD0\xBB\xD0\xBE\xD0\xBA \xD0\xB4\xD0\xB0 "
         "\xD0\xB2\xD1\x8B\xD0\xBF\xD0\xB5"
         "\xD0\xB9 \xD1\x87\xD0\xB0\xD1\x8E"},
        // Most of the hiragana line: the characters missing are left out.
        {{{0x3041, 0x308C}, {0x308E, 0x3096}}, "いはにほへと ちりぬるを わかよたれそ つねならむ"},
        // Too few of it: the block's first characters instead.
        {{{0x3042, 0x3044}}, "\xE3\x81\x82\xE3\x81\x83\xE3\x81\x84"},
        // Beyond the blocks with a line of their own: the first covered.
        {{{0x20000, 0x20003}}, "\xF0\xA0\x80\x80\xF0\xA0\x80\x81\xF0\xA0\x80\x82\xF0\xA0\x80\x83"},
        {{}, ""},
    };
    for (const row& r : rows)
        EXPECT_EQ(sample_text(from(r.covered)), r.expected);
}

} // namespace
