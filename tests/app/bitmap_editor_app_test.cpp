// The bitmap editor inside the application: a font with embedded bitmaps
// opened at launch, its EBDT tag chosen in the selector, a glyph picked by
// character and a pixel stored, then saved and read back by fontTools.
#include "app_test_support.h"

#include "editor/ebdteditview.h"
#include "editor/ebdttoolview.h"
#include "font/bitmap.h"
#include "font/ebdt.h"

#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>

using namespace app_testing;
using namespace kit_testing;
using namespace testing_support;

namespace {

const char* const MISAKI = "/usr/share/fonts/truetype/misaki/misaki_gothic.ttf";

} // namespace

TEST(BitmapEditorApp, EbdtTagShowsThePaletteAndCanvasThatEditTheFont) {
    running_app run({MISAKI});
    ASSERT_TRUE(run.app->fontshown()) << "scripts/setup.sh installs fonts-misaki";
    int k = run.index_of("EBDT");
    ASSERT_GE(k, 0);
    run.choose(k);
    std::vector<ttf_table*> shown = run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(shown[0], (ttf_table*)curfont->ebdt);

    ebdttoolview* palette = nullptr;
    ebdteditview* canvas = nullptr;
    BPoint origin;
    locked(run.window(), [&] {
        palette = dynamic_cast<ebdttoolview*>(curfont->ebdt->toolview);
        canvas = dynamic_cast<ebdteditview*>(curfont->ebdt->editview);
        origin = curfont->ebdt->ConvertToParent(BPoint(0, 0)) + BPoint(0, WORKVIEW_TOP);
    });
    ASSERT_NE(palette, nullptr);
    ASSERT_NE(canvas, nullptr);
    // Misaki has one strike, 8 pixels per em.
    locked(run.window(), [&] {
        ASSERT_NE(palette->sizefield, nullptr);
        ASSERT_EQ(palette->sizefield->Menu()->CountItems(), 1);
        EXPECT_STREQ(palette->sizefield->Menu()->ItemAt(0)->Label(), "8");
    });

    // The size from its menu, then "B" typed as a character code.
    run.click(origin + BPoint(25, 95));
    BPoint item;
    locked(run.window(), [&] {
        BMenu* menu = palette->sizefield->Menu();
        ASSERT_NE(menu->Parent(), nullptr);
        BRect f = menu->ItemAt(0)->Frame();
        item = menu->ConvertToParent(BPoint((f.left + f.right) / 2, f.top + 3)) +
               menu->Parent()->kit_window_offset();
    });
    run.click(item);
    run.click(origin + BPoint(35, 21));
    screen().key_down(run.window(), "a", 0, B_COMMAND_KEY);
    screen().key_down(run.window(), "4");
    screen().key_down(run.window(), "2");
    screen().key_down(run.window(), "\n", B_ENTER);
    run.idle();

    BPoint cell;
    std::string before;
    locked(run.window(), [&] {
        EXPECT_EQ(canvas->pt, 0x0808);
        EXPECT_EQ(canvas->chr, 'B');
        ASSERT_NE(canvas->bmp, nullptr);
        ASSERT_NE(canvas->bmp->pixels, nullptr);
        BRect r = canvas->bmp->cell_rect(0, 0);
        cell = canvas->ConvertToParent(BPoint(r.left + 10, r.top + 10));
        cell = curfont->ebdt->ConvertToParent(cell) + BPoint(0, WORKVIEW_TOP);
        before.assign(canvas->bmp->pixels, canvas->bmp->pixels + 1);
    });
    run.click(cell);
    run.click(origin + BPoint(25, 440));
    screenshot(run.window(), "bitmap_editor_app");

    // The stored pixel reads back from the font itself.
    locked(run.window(), [&] {
        bitmap b(canvas->gno, 8, 8, 1);
        ASSERT_EQ(curfont->get_bitmap(&b), 0);
        EXPECT_EQ(b.pixels[0], before[0] ^ 1);
    });
}
