// The glyph editor's start: the fitting zoom, the GLYF_INIT hand-over that
// gives the window thread's editor the new canvas and releases the
// application thread, and the scroll data size it sets for its zoom.
#include "editor/editor_window.h"
#include "editor/glyfeditview.h"
#include "editor/glyftoolview.h"
#include "editor/globals.h"
#include "font/glyf.h"
#include "font/table_views.h"
#include "font/ttf.h"
#include "outline/glyph.h"

#include "kit/kit_test_support.h"

#include <File.h>
#include <Messenger.h>
#include <OS.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace kit_testing;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A window that keeps the scroll data size the editor hands it.
class scroll_window : public BWindow, public editor_window {
  public:
    scroll_window() : BWindow(BRect(100, 100, 661, 611), "editor", B_TITLED_WINDOW, 0) {}
    void updatescrollbar() override { updates++; }
    int updates = 0;
};

struct shown_font {
    ttf* font = new ttf();
    scroll_window* window = new scroll_window();
    BView* parent = new BView(BRect(0, 0, 561, 511), "work", B_FOLLOW_ALL, B_WILL_DRAW);

    explicit shown_font(const char* path) {
        register_glyf_views();
        BFile file(path, B_READ_ONLY);
        loaded = font->load(file) == 0;
        window->Show();
        locked(window, [&] { window->AddChild(parent); });
    }
    ~shown_font() {
        locked(window, [&] { font->reset_view(parent); });
        close(window);
        delete font;
    }
    glyfeditview* editor() const { return dynamic_cast<glyfeditview*>(font->glyf->editview); }
    bool loaded = false;
};

} // namespace

TEST(GlyfEditView, FittingZoomStepsDownFromFourInSinglePrecision) {
    EXPECT_FLOAT_EQ(glyfeditview::fitscale(0), 4.0f);
    EXPECT_FLOAT_EQ(glyfeditview::fitscale(128), 4.0f);
    // The float steps drift above the decimal values; 2048 lands on 0.2,
    // not 0.25, because 2048 x 0.2500027 is just over 512.
    EXPECT_NEAR(glyfeditview::fitscale(512), 0.9500028f, 1e-6);
    EXPECT_NEAR(glyfeditview::fitscale(1000), 0.5000027f, 1e-6);
    EXPECT_NEAR(glyfeditview::fitscale(1024), 0.4500027f, 1e-6);
    EXPECT_NEAR(glyfeditview::fitscale(2048), 0.2000027f, 1e-6);
    // Boxes far wider than 512 / 0.05 units keep a positive zoom.
    EXPECT_GT(glyfeditview::fitscale(65535), 0.0f);
    EXPECT_LE(glyfeditview::fitscale(65535) * 65535, 512.0f);
}

TEST(GlyfEditView, GlyfTableMakesItsPaletteAndEditViewOnlyWhenRegistered) {
    set_table_view_hooks(table_view_hooks());
    ttf_glyf bare(nullptr, nullptr, 0);
    EXPECT_EQ(bare.CountChildren(), 0);
    EXPECT_EQ(bare.editview, nullptr);

    register_glyf_views();
    // Tables are built on the application's thread: the views they make
    // leave the glyph being edited to the window's thread.
    glyph* editing = curglyph;
    ttf_glyf table(nullptr, nullptr, 0);
    EXPECT_EQ(curglyph, editing);
    ASSERT_EQ(table.CountChildren(), 2);
    EXPECT_EQ(table.ChildAt(0), table.toolview);
    EXPECT_EQ(table.ChildAt(1), table.editview);
    EXPECT_EQ(table.toolview->Frame(), BRect(0, 0, 49, 511));
    EXPECT_EQ(table.editview->Frame(), BRect(50, 0, 561, 511));
    EXPECT_STREQ(table.editview->Name(), "canvas");
}

TEST(GlyfEditView, InitHandsTheCanvasOverToThePollingThread) {
    shown_font shown(DEJAVU);
    ASSERT_TRUE(shown.loaded);
    locked(shown.window, [&] { shown.font->set_view(shown.parent); });
    glyfeditview* editor = shown.editor();
    ASSERT_NE(editor, nullptr);

    BRect b = shown.font->bounds();
    BRect announced(0, 0, b.right - b.left, b.top - b.bottom);
    canvasok = false;
    BMessage init(GLYF_INIT);
    init.AddRect("bounds", announced);
    ASSERT_EQ(BMessenger(editor).SendMessage(&init), B_OK);
    bigtime_t start = system_time();
    while (!canvasok && system_time() - start < 5000000)
        snooze(1);
    ASSERT_TRUE(canvasok);
    screen().wait_idle();

    EXPECT_EQ(canvas, announced);
    EXPECT_EQ(editor->gno, 0xFFFF);
    EXPECT_EQ(editor->tool, 0);
    EXPECT_EQ(curglyph->count, 0);
    EXPECT_EQ(curglyph->index, 0xFFFF);
    // DejaVu's box is wider than 2048 units: the fitting zoom is below
    // 0.25, fitting the view's smaller side (the window was zoomed).
    const BRect f = editor->Frame();
    EXPECT_EQ(editor->fitroom(), std::max(512.0f, std::min(f.Width(), f.Height()) + 1));
    EXPECT_FLOAT_EQ(editor->getscale(),
                    glyfeditview::fitscale(b.right - b.left, editor->fitroom()));
    EXPECT_LT(editor->getscale(), 0.25f);

    // The palette was told everything, the zoom last.
    glyftoolview* palette = dynamic_cast<glyftoolview*>(shown.font->glyf->toolview);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->gno, 0xFFFF);
    EXPECT_TRUE(palette->empty);
    EXPECT_FLOAT_EQ(palette->scale, editor->getscale());
}

TEST(GlyfEditView, ZoomSetsTheWindowsDataSizeOnlyWhileShown) {
    shown_font shown(DEJAVU);
    ASSERT_TRUE(shown.loaded);
    glyfeditview* editor = shown.editor();
    locked(shown.window, [&] {
        shown.font->set_view(shown.parent);
        canvas = BRect(0, 0, 999, 499);
        shown.window->target = shown.parent;
        // Hidden (the glyf table view is hidden): the window is not told.
        shown.window->datawidth = 1;
        editor->chgscale(2.0f);
        EXPECT_EQ(shown.window->datawidth, 1);
        EXPECT_FLOAT_EQ(editor->getscale(), 2.0f);

        shown.font->glyf->show(true);
        int before = shown.window->updates;
        editor->chgscale(0.5f);
        EXPECT_FLOAT_EQ(shown.window->datawidth, 500);
        EXPECT_FLOAT_EQ(shown.window->dataheight, 250);
        EXPECT_EQ(shown.window->updates, before + 1);

        // A canvas one unit narrower than empty has no size: the scroll
        // target's own size stands in.
        canvas = BRect(0, 0, -1, 99);
        editor->chgscale(1.0f);
        EXPECT_FLOAT_EQ(shown.window->datawidth, shown.parent->Bounds().Width() + 1);
        EXPECT_FLOAT_EQ(shown.window->dataheight, shown.parent->Bounds().Height() + 1);
    });
}

TEST(GlyfEditView, EditViewShowsTheCanvasBlackOnGreyAndThePaletteAmber) {
    shown_font shown(DEJAVU);
    ASSERT_TRUE(shown.loaded);
    glyfeditview* editor = shown.editor();
    locked(shown.window, [&] {
        shown.font->set_view(shown.parent);
        shown.font->glyf->show(true);
        canvas = BRect(0, 0, 1000, 1000);
        editor->chgscale(0.2f);
    });
    screen().wait_idle();
    BWindow* w = shown.window;
    EXPECT_EQ(rgb(w, 60, 10), 0x000000u);  // inside the 200 x 200 canvas
    EXPECT_EQ(rgb(w, 260, 10), 0x323232u); // right of it
    EXPECT_EQ(rgb(w, 60, 260), 0x323232u); // below it
    EXPECT_EQ(rgb(w, 10, 10), 0xFFCC44u);  // the palette
}
