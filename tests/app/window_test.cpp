// The main window: scroll bars that follow the shown view, the pointer
// record kept for the glyph editor, the two ways to quit, and the title.
#include "app_test_support.h"

#include "app/window_title.h"
#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "font/head.h"

#include <ScrollBar.h>

using namespace app_testing;
using namespace testing_support;

namespace {

struct bar {
    float min, max, proportion;
};

bar read_bar(running_app& run, BScrollBar* b) {
    bar r;
    run.window()->Lock();
    b->GetRange(&r.min, &r.max);
    r.proportion = b->Proportion();
    run.window()->Unlock();
    return r;
}

} // namespace

TEST(Window, ScrollBarsFollowTheShownView) {
    std::string dir = temp_dir();
    running_app run;
    // Before any font the bars do nothing, whatever the window's size.
    bar v = read_bar(run, run.window()->scrollv);
    EXPECT_EQ(v.min, 0);
    EXPECT_EQ(v.max, 0);
    run.window()->Lock();
    run.window()->ResizeTo(560, 560);
    run.window()->Unlock();
    run.idle();
    EXPECT_EQ(read_bar(run, run.window()->scrollv).max, 0);
    EXPECT_EQ(run.window()->target, nullptr);

    BMessage open(B_REFS_RECEIVED);
    entry_ref ref(small_font(dir).c_str());
    open.AddRef("refs", &ref);
    be_app_messenger.SendMessage(&open);
    run.idle();
    run.choose(run.index_of("head"));
    ASSERT_EQ(run.window()->target, (BView*)curfont->head);

    // At the standard size the table view shows all of its 562 x 512.
    BRect shown = curfont->head->Bounds();
    EXPECT_EQ(run.window()->datawidth, shown.Width() + 1);
    EXPECT_EQ(run.window()->dataheight, shown.Height() + 1);
    EXPECT_EQ(read_bar(run, run.window()->scrollv).max, 0);
    EXPECT_EQ(read_bar(run, run.window()->scrollh).max, 0);

    // The window does not get smaller than a whole table view; larger,
    // the table view grows with it and still shows whole.
    for (float side : {300.0f, 900.0f}) {
        run.window()->Lock();
        run.window()->ResizeTo(side, side);
        run.window()->Unlock();
        run.idle();
        EXPECT_EQ(read_bar(run, run.window()->scrollv).max, 0) << side;
        EXPECT_EQ(read_bar(run, run.window()->scrollh).max, 0) << side;
    }
    EXPECT_EQ(curfont->head->Bounds(), run.workview()->Bounds());
    run.window()->Lock();
    run.window()->ResizeTo(tavrelwindow::MIN_WIDTH, tavrelwindow::MIN_HEIGHT);
    run.window()->Unlock();
    run.idle();

    // The glyph editor's data is its canvas at its zoom.
    run.choose(run.index_of("glyf"));
    kit_testing::screenshot(run.window(), "app-glyf-small-window");
    glyfeditview* editor = dynamic_cast<glyfeditview*>(curfont->glyf->editview);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(run.window()->target, (BView*)editor);
    EXPECT_EQ(run.window()->inputtarget, (BView*)editor);
    EXPECT_FLOAT_EQ(run.window()->datawidth, (canvas.Width() + 1) * editor->getscale());
    EXPECT_FLOAT_EQ(run.window()->dataheight, (canvas.Height() + 1) * editor->getscale());

    // Zoomed in, the canvas shows part of its data: the range is the
    // hidden part less one, the proportion the visible share.
    BMessage zoom(GLYF_CHANGE);
    zoom.AddFloat("scale", 2.0f);
    BMessenger(editor).SendMessage(&zoom);
    run.idle();
    run.window()->Lock();
    shown = editor->Bounds();
    const float vh = shown.Height() + 1, vw = shown.Width() + 1;
    run.window()->Unlock();
    ASSERT_LT(vh, run.window()->dataheight);
    v = read_bar(run, run.window()->scrollv);
    bar h = read_bar(run, run.window()->scrollh);
    EXPECT_EQ(v.max, run.window()->dataheight - vh - 1);
    EXPECT_FLOAT_EQ(v.proportion, vh / run.window()->dataheight);
    EXPECT_EQ(h.max, run.window()->datawidth - vw - 1);
    EXPECT_FLOAT_EQ(h.proportion, vw / run.window()->datawidth);
}

TEST(Window, PointerRecordKeepsWhatEachMessageCarries) {
    input record;
    BMessage first(B_MOUSE_DOWN);
    first.AddFloat("be:tablet_x", 0.25f);
    first.AddFloat("be:tablet_y", 0.75f);
    first.AddFloat("be:tablet_pressure", 0.5f);
    first.AddInt32("buttons", 1);
    first.AddInt32("modifiers", 4);
    first.AddInt64("when", 1234);
    first.AddPoint("be:view_where", BPoint(3, 4));
    record_input(first, &record);
    EXPECT_EQ(record.valid, INPUT_TABLET | INPUT_PRESSURE | INPUT_BUTTONS | INPUT_MODIFIERS |
                                INPUT_WHEN | INPUT_WHERE);
    EXPECT_EQ(record.tablet_y, 0.75f);
    EXPECT_EQ(record.where, BPoint(3, 4));

    // Without tablet fields (and with only one tilt) the bits go, the
    // values stay.
    BMessage second(B_MOUSE_MOVED);
    second.AddFloat("be:tablet_tilt_x", 0.1f);
    second.AddInt32("be:transit", 2);
    record_input(second, &record);
    EXPECT_EQ(record.valid, INPUT_TRANSIT);
    EXPECT_EQ(record.tablet_x, 0.25f);
    EXPECT_EQ(record.pressure, 0.5f);
    EXPECT_EQ(record.buttons, 1);
    EXPECT_EQ(record.transit, 2);
}

TEST(Window, PointerEventsOfTheGlyphEditorAreRecorded) {
    running_app run({small_font(temp_dir())});
    run.choose(run.index_of("glyf"));
    ASSERT_NE(run.window()->inputtarget, nullptr);
    // A press on the edit view (right of the 50-pixel palette).
    screen().mouse_down(run.window(), BPoint(200, WORKVIEW_TOP + 100), 1, 0);
    run.idle();
    const input& last = run.window()->lastinput;
    EXPECT_TRUE(last.valid & INPUT_BUTTONS);
    EXPECT_TRUE(last.valid & INPUT_WHEN);
    EXPECT_EQ(last.buttons, 1);
    EXPECT_FALSE(last.valid & INPUT_TABLET);
    screen().mouse_up(run.window(), BPoint(200, WORKVIEW_TOP + 100));
    run.idle();
}

TEST(Window, CloseBoxEndsRunAndKeepsTheFontViewsAlive) {
    running_app run({small_font(temp_dir())});
    ttf_head* head = curfont->head;
    BView* work = run.workview();
    screen().close_window(run.window());
    ASSERT_TRUE(run.join());
    // The window is gone; the font and its views are still whole and
    // still children of the work view until the application is deleted.
    ASSERT_NE(curfont, nullptr);
    EXPECT_EQ(curfont->head, head);
    EXPECT_EQ(head->Parent(), work);
    EXPECT_EQ(work->Window(), nullptr);
}

TEST(Window, AFontReplacedTakesItsGlyphEditorOutOfThePointerRecord) {
    std::string dir = temp_dir();
    running_app run({small_font(dir)});
    run.choose(run.index_of("glyf"));
    ASSERT_NE(run.window()->inputtarget, nullptr);
    ttf* before = curfont;
    screen().drop_files(run.window(), BPoint(200, 150),
                        {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"});
    run.idle();
    ASSERT_NE(curfont, before);
    // The old edit view is gone; nothing may point at it.
    EXPECT_EQ(run.window()->inputtarget, nullptr);
    // Pointer input on the new font's views still works.
    screen().mouse_down(run.window(), BPoint(200, WORKVIEW_TOP + 100), 1, 0);
    screen().mouse_up(run.window(), BPoint(200, WORKVIEW_TOP + 100));
    run.idle();
    run.choose(run.index_of("glyf"));
    EXPECT_NE(run.window()->inputtarget, nullptr);
}

TEST(Window, TitlePartsComposeInOneOrder) {
    struct {
        title_parts parts;
        const char* title;
    } cases[] = {
        {{false, "/f/a.ttf", 2, true, true}, "tavrel"},
        {{true, "", -1, false, false}, "Untitled \u2014 tavrel"},
        {{true, "", -1, false, true}, "Untitled \u2014 tavrel *"},
        {{true, "/f/a.ttf", -1, false, false}, "a.ttf \u2014 tavrel"},
        {{true, "a.ttf", -1, true, false}, "a.ttf (variable) \u2014 tavrel"},
        {{true, "/f/b.ttc", 0, false, true}, "b.ttc #0 \u2014 tavrel *"},
        {{true, "/f/b.ttc", 3, true, true}, "b.ttc #3 (variable) \u2014 tavrel *"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(window_title(c.parts), c.title);
}
