// What a cell shows, pixel by pixel: a glyph's outline filled as FreeType
// fills it (unhinted, anti-aliased) at the cell's size, a strike's image
// magnified as fontTools reads it, and the marks of damaged glyphs.
#include "overview_fixture.h"

#include "font/cmap.h"
#include "overview/cell_painter.h"
#include "overview/label_atlas.h"

#include <Bitmap.h>
#include <View.h>

#include "font/font_builder.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <fstream>
#include <sstream>

using namespace overview_testing;
using testing_support::temp_dir;

namespace {

const char* const LIBERATION = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// The glyph square of the cell at `index`, as grey levels (0 ink, 255 paper)
// read from the screen.
std::vector<int> shown_square(open_overview& o, int index, int size) {
    BRect r = o.locked([&] { return o.grid()->cell_rect(index); });
    BPoint at = o.locked([&] { return o.grid()->ConvertToParent(r.LeftTop()); });
    int left = (int)at.x + ((int)r.Width() + 1 - size) / 2;
    std::vector<int> grey;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
            grey.push_back(screen().pixel(o.window, left + x, (int32)at.y + y).green);
    return grey;
}

// FreeType's rendering of glyph gno into a square placed as the overview
// places it.
std::vector<int> freetype_square(const char* path, unsigned gno, int size,
                                 const raster_placement& at, int em) {
    std::vector<int> grey((size_t)size * size, 255);
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib) || FT_New_Face(lib, path, 0, &face))
        return {};
    // The overview's scale, as FreeType's size: pixels per em in 26.6.
    FT_Set_Char_Size(face, 0, (FT_F26Dot6)std::lround(at.scale * em * 64), 72, 72);
    if (FT_Load_Glyph(face, gno, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) ||
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL))
        return {};
    FT_Bitmap& b = face->glyph->bitmap;
    for (unsigned y = 0; y < b.rows; y++) {
        for (unsigned x = 0; x < b.width; x++) {
            int px = (int)at.x0 + face->glyph->bitmap_left + (int)x;
            int py = (int)at.y0 - face->glyph->bitmap_top + (int)y;
            if (px >= 0 && px < size && py >= 0 && py < size)
                grey[(size_t)py * size + px] = 255 - b.buffer[y * b.pitch + x];
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return grey;
}

} // namespace

TEST(OverviewCells, OutlinesMatchFreeTypeAtEveryCellSize) {
    struct sample {
        const char* font;
        uint32_t code;
    } const samples[] = {
        {DEJAVU, 'a'},   {DEJAVU, '&'},     {DEJAVU, 0xC5}, // a composite in DejaVu Sans
        {DEJAVU, 0x416}, {LIBERATION, 'g'}, {LIBERATION, '@'},
    };
    for (int size : {32, 64, 128}) {
        for (const sample& s : samples) {
            test_host host;
            ASSERT_TRUE(host.load(s.font));
            open_overview o(&host, size);
            unsigned gno;
            font_facts facts;
            int advance;
            {
                std::lock_guard<std::recursive_mutex> hold(host.lock);
                gno = host.font->cmap->get_gno((unsigned short)s.code);
                facts.take(host.font.get());
                advance = glyph_advance(host.font.get(), gno);
            }
            int index = o.locked([&] { return o.grid()->model().index_of(gno); });
            o.locked([&] {
                o.grid()->show_index(index);
                return 0;
            });
            o.idle();
            FT_Library lib;
            FT_Face face;
            ASSERT_EQ(0, FT_Init_FreeType(&lib));
            ASSERT_EQ(0, FT_New_Face(lib, s.font, 0, &face));
            int em = face->units_per_EM;
            FT_Done_Face(face);
            FT_Done_FreeType(lib);
            // An advance centred in the square (every sample has one that fits).
            raster_placement at = outline_placement(facts, size, advance, 1, 0);
            std::vector<int> want = freetype_square(s.font, gno, size, at, em);
            std::vector<int> got = shown_square(o, index, size);
            ASSERT_EQ(want.size(), got.size());
            long total = 0, ink = 0;
            int worst = 0, off = 0;
            for (size_t i = 0; i < got.size(); i++) {
                int d = std::abs(want[i] - got[i]);
                total += d;
                worst = std::max(worst, d);
                off += d > 48;
                ink += want[i] < 128;
            }
            std::string what = std::string(s.font).substr(std::string(s.font).rfind('/') + 1) +
                               " U+" + std::to_string(s.code) + " at " + std::to_string(size);
            EXPECT_GT(ink, size / 2) << what;
            // Edges may differ by a step of anti-aliasing (curves are cut into
            // lines differently); no pixel of ink or paper may be wrong.
            EXPECT_LT((double)total / got.size(), 2.0) << what;
            EXPECT_LE(off, (int)got.size() / 200 + 2) << what;
            EXPECT_LT(worst, 128) << what;
        }
    }
}

// Labels set from the atlas on the painting threads are the kit's own text,
// pixel for pixel (characters whose edges share pixels included).
TEST(OverviewCells, LabelsFromTheAtlasMatchTheKitsText) {
    const rgb_color strip = {234, 234, 240, 255}, ink = {50, 50, 64, 255};
    const int w = 90, h = 32;
    const uint32_t strip_px = 0xFF000000u | strip.red << 16 | strip.green << 8 | strip.blue;
    for (float size : {9.0f, 10.0f}) {
        label_atlas atlas;
        atlas.make(size);
        ASSERT_TRUE(atlas.made_for(size));
        for (const char* text : {"0000", "04e2", "ffff", "1a2b", "U+4E2D", "U+1F600", "U+00A9"}) {
            ASSERT_TRUE(atlas.has(text)) << text;
            BBitmap canvas(BRect(0, 0, w - 1, h - 1), B_BITMAP_ACCEPTS_VIEWS, B_RGB32);
            BView* v = new BView(canvas.Bounds(), "kit", B_FOLLOW_NONE, B_WILL_DRAW);
            canvas.AddChild(v);
            canvas.Lock();
            v->SetHighColor(strip);
            v->FillRect(v->Bounds());
            v->SetHighColor(ink);
            v->SetFontSize(size);
            v->DrawString(text, BPoint(3, 20));
            canvas.Unlock();
            std::vector<uint32_t> set((size_t)w * h, strip_px);
            atlas.set(set.data(), w, h, 3, 20, text, ink);
            const uint32_t* kit = (const uint32_t*)canvas.Bits();
            int inked = 0, off = 0;
            for (size_t i = 0; i < set.size(); i++) {
                inked += kit[i] != strip_px;
                for (int shift = 0; shift <= 16; shift += 8)
                    off += std::abs((int)((kit[i] >> shift) & 0xFF) -
                                    (int)((set[i] >> shift) & 0xFF)) != 0;
            }
            std::string what = std::string(text) + " at " + std::to_string(size);
            EXPECT_GT(inked, 10 * (int)strlen(text)) << what;
            EXPECT_EQ(0, off) << what;
        }
    }
}
