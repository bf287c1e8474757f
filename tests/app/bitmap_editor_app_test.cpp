// The bitmap editor inside the application: a font with embedded bitmaps
// opened at launch, its EBDT tag chosen in the selector, the strike chosen
// from the size menu, a glyph picked by character and a pixel stored.
#include "canvas_support.h"

using namespace app_testing;
using namespace kit_testing;

TEST(BitmapEditorApp, EbdtTagShowsThePaletteAndCanvasThatEditTheFont) {
    bitmap_app b(MISAKI);
    ASSERT_TRUE(b.run.app->fontshown()) << "scripts/setup.sh installs fonts-misaki";
    ASSERT_NE(b.canvas, nullptr);
    std::vector<ttf_table*> shown = b.run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0], (ttf_table*)curfont->ebdt);
    // Misaki has one strike, 8 pixels per em.
    locked(b.run.window(), [&] {
        ASSERT_EQ(b.palette->sizefield->Menu()->CountItems(), 1);
        EXPECT_STREQ(b.palette->sizefield->Menu()->ItemAt(0)->Label(), "8");
        EXPECT_EQ(b.canvas->pt, 0x0808);
        EXPECT_EQ(b.canvas->chr, 'B');
    });
    std::string before = b.bits();
    ASSERT_FALSE(before.empty());
    b.toggle(0, 0);
    b.set();
    screenshot(b.run.window(), "bitmap_editor_app");
    // The stored pixel reads back from the font itself.
    before[0] = before[0] == '1' ? '0' : '1';
    EXPECT_EQ(b.stored_bits(), before);
}
