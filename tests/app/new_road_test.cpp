// "New" end to end, driven by clicks: the File menu's "New", the set-up
// view's check boxes and character count, its "set" button, the font built
// from the ticked blocks and shown, then saved and read back by OTS,
// fontTools and FreeType.
#include "app_test_support.h"

#include "app/initview.h"
#include "font/cmap.h"
#include "font/maxp.h"
#include "font/os2.h"

#include <CheckBox.h>

#include <cstdio>

using namespace app_testing;
using namespace kit_testing;
using namespace testing_support;

namespace {

const float NEW_ROW = 34;

// Block rows by name.
const int BASIC_LATIN = 0, HIGH_SURROGATES = 57, LOW_SURROGATES = 58,
          ARABIC_PRESENTATION_FORMS_B = 67, SPECIALS = 69;

void choose_new(running_app& run) {
    run.click(BPoint(15, 10));
    run.click(BPoint(40, NEW_ROW));
}

// A click on block i's check box (window coordinates).
void tick(running_app& run, int i) {
    run.click(BPoint((i / 24) * 185 + 30, WORKVIEW_TOP + 20 * (i % 24) + 17));
}

void press_set(running_app& run) {
    run.click(BPoint(520, WORKVIEW_TOP + 497));
    run.idle();
}

initview* setup_view(running_app& run) {
    return dynamic_cast<initview*>(run.window()->initv);
}

long shown_count() {
    return curfont && curfont->setup ? curfont->setup->chrcount : -1;
}

// The count as the set-up view draws it, rendered on its own in a window
// of the same look, next to what the set-up view shows.
bool count_reads(running_app& run, const char* text) {
    BWindow* reference = open_window(561, 511, "reference");
    paint_view* view = new paint_view(BRect(0, 0, 561, 511), [&](BView* v) {
        v->SetFont(be_plain_font, B_FONT_ALL);
        v->SetHighColor(255, 255, 255);
        v->SetLowColor(0, 0, 0);
        v->FillRect(v->Bounds(), B_SOLID_LOW);
        v->DrawString(text, BPoint(400, 508));
    });
    locked(reference, [&] { reference->AddChild(view); });
    run.idle();
    bool same = true;
    int ink = 0;
    for (int y = 480; y <= 510; y++)
        for (int x = 400; x <= 490; x++) {
            uint32 want = rgb(reference, x, y);
            same = same && want == rgb(run.window(), x, y + (int)WORKVIEW_TOP);
            ink += want != 0;
        }
    close(reference);
    return same && ink > 20;
}

std::string saved_font(running_app& run, const std::string& dir) {
    BMessage save(B_SAVE_REQUESTED);
    entry_ref folder(dir.c_str());
    save.AddRef("directory", &folder);
    save.AddString("name", "new.ttf");
    be_app_messenger.SendMessage(&save);
    run.idle();
    return dir + "/new.ttf";
}

void check_with_other_readers(const std::string& path, const char* freetype_args = "") {
    std::string out;
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    out.clear();
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/check_font.py '" + path + "'",
                    &out),
        0)
        << out;
    out.clear();
    EXPECT_EQ(run_command(std::string(TAVREL_FT_CHECK) + " '" + path + "' " + freetype_args, &out),
              0)
        << out;
}

} // namespace

TEST(NewRoad, SetUpViewCountsTheCharactersOfTheTickedBlocks) {
    running_app run;
    choose_new(run);
    initview* view = setup_view(run);
    ASSERT_NE(view, nullptr);
    ASSERT_NE(curfont, nullptr);
    ASSERT_NE(curfont->setup, nullptr);
    locked(run.window(), [&] {
        EXPECT_EQ(view->CountChildren(), 72);
        EXPECT_STREQ(view->boxes[0]->Label(), "BASIC_LATIN");
        EXPECT_STREQ(view->boxes[70]->Label(), "TIBETAN");
        EXPECT_EQ(view->boxes[70]->Frame(), BRect(370, 450, 557, 465));
    });
    // Only U+0000 is chosen before anything is ticked.
    EXPECT_EQ(shown_count(), 1);
    EXPECT_TRUE(count_reads(run, "0001chrs."));

    tick(run, BASIC_LATIN);
    EXPECT_EQ(shown_count(), 0x80);
    EXPECT_TRUE(count_reads(run, "0080chrs."));
    screenshot(run.window(), "setup_view");

    struct step {
        int block;
        long count;
    };
    // Each click and the count after it, starting from Basic Latin alone.
    const step steps[] = {
        {BASIC_LATIN, 1},
        {SPECIALS, 0x12}, // U+FFF0-FFFF, U+FEFF and U+0000
        {ARABIC_PRESENTATION_FORMS_B, 0x12 + 0x8F},
        {SPECIALS, 1 + 0x8F}, // U+FEFF goes with SPECIALS
        {ARABIC_PRESENTATION_FORMS_B, 1},
        {HIGH_SURROGATES, 1 + 0x400},
        {LOW_SURROGATES, 1 + 0x800},
        {HIGH_SURROGATES, 1 + 0x400},
        {LOW_SURROGATES, 1},
    };
    for (const step& s : steps) {
        SCOPED_TRACE(s.block);
        tick(run, s.block);
        EXPECT_EQ(shown_count(), s.count);
    }
    EXPECT_TRUE(count_reads(run, "0001chrs."));
    // Block flags follow the boxes.
    tick(run, SPECIALS);
    EXPECT_EQ(curfont->setup->blocks[SPECIALS], 1);
    EXPECT_EQ(curfont->setup->blocks[BASIC_LATIN], 0);

    // Every block: 49,504 code points.
    for (int i = 0; i < BLOCK_COUNT; i++)
        if (i != SPECIALS)
            tick(run, i);
    EXPECT_EQ(shown_count(), 49504);
    EXPECT_TRUE(count_reads(run, "c160chrs."));
    screenshot(run.window(), "setup_view_all");
}

TEST(NewRoad, SetBuildsAndShowsTheFontOfTheTickedBlocksWhichSavesValid) {
    std::string dir = temp_dir();
    running_app run;
    choose_new(run);
    for (int block : {BASIC_LATIN, HIGH_SURROGATES, LOW_SURROGATES, SPECIALS})
        tick(run, block);
    EXPECT_EQ(shown_count(), 0x80 + 0x800 + 0x11);
    press_set(run);

    ASSERT_TRUE(run.app->fontshown());
    EXPECT_EQ(run.window()->initv, nullptr);
    EXPECT_EQ(run.selector()->count, 10);
    ASSERT_NE(curfont, nullptr);
    EXPECT_EQ(curfont->setup, nullptr);
    // Characters, not surrogates or U+FFFF: 127 + U+FEFF + 15 specials.
    EXPECT_EQ(curfont->maxp->numglyphs(), 1u + 127 + 1 + 15);
    EXPECT_EQ(curfont->cmap->get_gno('A'), 'A');
    EXPECT_EQ(curfont->cmap->get_gno(0xD800), 0);
    EXPECT_EQ(curfont->cmap->get_gno(0xDFFF), 0);
    EXPECT_EQ(curfont->cmap->get_gno(0xFEFF), 128);
    EXPECT_EQ(curfont->cmap->get_gno(0xFFFE), 143);
    EXPECT_EQ(curfont->cmap->get_gno(0xFFFF), 0);
    byte_span os2 = curfont->os2->bytes();
    EXPECT_EQ(os2.u16(64), 1);
    EXPECT_EQ(os2.u16(66), 0xFFFE);
    // Blocks 0, 57, 58 and 69 are Unicode range bits.
    EXPECT_EQ(os2.u32(42), 1u);
    EXPECT_EQ(os2.u32(46), (1u << 25) | (1u << 26));
    EXPECT_EQ(os2.u32(50), 1u << 5);

    // The glyf table is listed and can be shown.
    int k = run.index_of("glyf");
    ASSERT_GE(k, 0);
    run.choose(k);
    ASSERT_EQ(run.shown_tables().size(), 1u);
    EXPECT_EQ(run.shown_tables()[0]->tag, 0x676C7966u);

    std::string path = saved_font(run, dir);
    ASSERT_TRUE(file_exists(path));
    check_with_other_readers(path, "41 16");
}

TEST(NewRoad, NothingTickedGivesAOneGlyphFontThatSavesValid) {
    std::string dir = temp_dir();
    running_app run;
    EXPECT_EQ(run.title(), "tavrel");
    choose_new(run);
    // "New" again while the set-up view shows replaces it.
    choose_new(run);
    EXPECT_NE(setup_view(run), nullptr);
    EXPECT_EQ(run.title(), "Untitled \u2014 tavrel");
    press_set(run);
    ASSERT_TRUE(run.app->fontshown());
    EXPECT_EQ(run.title(), "Untitled \u2014 tavrel *") << "a new font is unsaved";
    EXPECT_EQ(curfont->maxp->numglyphs(), 1u);
    std::string path = saved_font(run, dir);
    EXPECT_EQ(run.title(), "new.ttf \u2014 tavrel");
    check_with_other_readers(path);
}
