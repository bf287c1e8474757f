// The bitmap editor inside the application: a font with embedded bitmaps
// opened at launch, its EBDT tag chosen in the selector, the strike chosen
// from the size menu, a glyph picked by character and a pixel stored; cut,
// copy and paste of images between glyphs, saved and read by fontTools.
#include "canvas_support.h"

#include <map>
#include <sstream>
#include <tuple>

using namespace app_testing;
using namespace kit_testing;
using namespace testing_support;

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

namespace {

// A font's bitmaps as fontTools reads them, by glyph: "width height
// bearingX bearingY advance" and the pixels ('0'/'1', rows from the top).
struct read_image {
    int w = 0, h = 0, bx = 0, by = 0, advance = 0;
    std::string pixels;
};
std::map<int, read_image> fonttools_bitmaps(const std::string& path) {
    std::string out;
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py '" + path + "'",
                    &out),
        0);
    std::map<int, read_image> images;
    std::istringstream lines(out);
    int strike, ppemx, ppemy, gid;
    read_image r;
    while (lines >> strike >> ppemx >> ppemy >> gid >> r.w >> r.h >> r.bx >> r.by >> r.advance >>
           r.pixels)
        images[gid] = r;
    return images;
}

// `from` placed onto `onto`'s box on the same glyph origin.
std::string placed(const read_image& from, const read_image& onto) {
    std::string out((size_t)onto.w * onto.h, '0');
    for (int row = 0; row < from.h; row++)
        for (int col = 0; col < from.w; col++) {
            int c = col + from.bx - onto.bx, r = row + onto.by - from.by;
            if (c >= 0 && r >= 0 && c < onto.w && r < onto.h)
                out[(size_t)r * onto.w + c] = from.pixels[(size_t)row * from.w + col];
        }
    return out;
}

bool edit_item_enabled(running_app& run, int index) {
    run.window()->Lock();
    bool e = run.window()->menubar->SubmenuAt(1)->ItemAt(index)->IsEnabled();
    run.window()->Unlock();
    return e;
}

} // namespace

// Misaki's full-width glyphs are 8 x 8 images, its Latin ones 3 x 7 on the
// same origin: a paste from one onto the other is cut off one way and
// padded the other.
TEST(BitmapEditorApp, CutCopyAndPasteMoveImagesBetweenGlyphsOfOtherBoxesAsCanvasSteps) {
    std::string path = copy_of(MISAKI, temp_dir());
    ASSERT_FALSE(path.empty());
    const std::map<int, read_image> before = fonttools_bitmaps(path);
    const int KANA = 442, B = 37, C = 38; // U+3042, 'B', 'C'
    ASSERT_EQ(before.at(KANA).w, 8) << "a full-width image";
    ASSERT_EQ(before.at(B).w, 3) << "a narrower one";
    bitmap_app b(path, "8", "3042");
    ASSERT_NE(b.canvas, nullptr);
    ASSERT_EQ(b.gno(), KANA);
    // A click on the canvas beside the image takes the keys from the
    // palette's fields.
    auto focus = [&] { b.run.click(b.origin + BPoint(70, 20)); };
    focus();
    // Cut, Copy and Paste apply to the image shown; there is no selection.
    for (auto [index, enabled] : {std::pair{3, true}, {4, true}, {5, true}, {6, false}})
        EXPECT_EQ(edit_item_enabled(b.run, index), enabled) << index;

    // Copied from the kana, pasted onto 'B': cut off at B's box.
    command_key(b.run, "c");
    b.type(BPoint(35, 21), "42");
    ASSERT_EQ(b.gno(), B);
    focus();
    command_key(b.run, "v");
    const std::string b_pasted = placed(before.at(KANA), before.at(B));
    EXPECT_EQ(b.bits(), b_pasted);
    EXPECT_EQ(edit_label(b.run), "Undo paste");
    command_key(b.run, "z");
    EXPECT_EQ(b.bits(), before.at(B).pixels) << "the paste is one step";
    command_key(b.run, "Z", B_SHIFT_KEY);
    EXPECT_EQ(b.bits(), b_pasted);
    b.set();

    // Cut from 'C' (which goes blank) and pasted onto the kana: padded.
    b.type(BPoint(35, 21), "43");
    ASSERT_EQ(b.gno(), C);
    focus();
    command_key(b.run, "x");
    EXPECT_EQ(b.bits(), std::string(before.at(C).pixels.size(), '0'));
    b.set();
    b.type(BPoint(35, 21), "3042");
    focus();
    command_key(b.run, "v");
    const std::string kana_pasted = placed(before.at(C), before.at(KANA));
    EXPECT_EQ(b.bits(), kana_pasted);
    b.set();
    command_key(b.run, "s");

    // The saved EBDT holds the three new images, metrics unchanged, and
    // every other image and table as before.
    std::map<int, read_image> after = fonttools_bitmaps(path);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [gid, image] : before) {
        SCOPED_TRACE(gid);
        const read_image& now = after[gid];
        EXPECT_EQ(std::tie(now.w, now.h, now.bx, now.by, now.advance),
                  std::tie(image.w, image.h, image.bx, image.by, image.advance));
        std::string expected = gid == B      ? b_pasted
                               : gid == KANA ? kana_pasted
                               : gid == C    ? std::string(image.pixels.size(), '0')
                                             : image.pixels;
        EXPECT_EQ(now.pixels, expected);
    }
    EXPECT_EQ(collection_differences(MISAKI, path), "faces 1\n0 EBDT changed\n");
}
