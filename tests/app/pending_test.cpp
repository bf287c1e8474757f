// Edits not yet in the font: pixels toggled on the bitmap canvas, outline
// edits on the glyph canvas and text typed into a table editor's field
// without Enter. The title marks them; choosing another glyph or strike
// asks "Cancel" / "Discard" / "Store"; Quit, New, a drop and the close box
// ask, and "Save" stores them before saving; pixel toggles are steps of
// the canvas undone and redone with Alt+Z and Shift+Alt+Z; other windows
// show a glyph through one message to the main window.
#include "canvas_support.h"

#include "app/messages.h"
#include "editor/glyftoolview.h"
#include "font/cmap.h"
#include "font/maxp.h"

#include <Alert.h>
#include <Button.h>
#include <ListView.h>
#include <TextControl.h>

#include <functional>

using namespace app_testing;
using namespace kit_testing;
using namespace testing_support;

namespace {

const char* const ASKS = "not stored with \"set\"";

std::string flip(std::string bits, size_t at) {
    bits[at] = bits[at] == '1' ? '0' : '1';
    return bits;
}

std::string hex4(unsigned v) {
    char text[8];
    snprintf(text, sizeof text, "%04x", v);
    return text;
}

std::vector<std::string> buttons(BWindow* question) {
    std::vector<std::string> labels;
    locked(question, [&] {
        BAlert* alert = dynamic_cast<BAlert*>(question);
        for (int32 i = 0; alert && i < alert->CountButtons(); i++)
            labels.push_back(alert->ButtonAt(i)->Label());
    });
    return labels;
}

std::string text_of(BWindow* question) {
    std::string text;
    locked(question, [&] { text = dynamic_cast<BAlert*>(question)->Text(); });
    return text;
}

// One editor's way of changing what its canvas shows, checked against each
// answer: with an edit on the canvas, `choose` asks first. "Cancel" keeps
// the edit; "Discard" goes on and the font keeps what it had; "Store" (after
// the same edit again) goes on and the font holds the edit. `back` shows
// the edited glyph again; `canvas` is what the canvas shows and `stored`
// what the font holds of the edited glyph.
struct choice {
    running_app& run;
    std::function<void()> edit, choose, back;
    std::function<std::string()> canvas, stored;
    std::function<uint16()> shown;
    uint16 edited, other;

    void check() {
        ASSERT_EQ(shown(), edited);
        const std::string original = canvas(), kept = stored();
        edit();
        const std::string changed = canvas();
        ASSERT_NE(changed, original);
        EXPECT_TRUE(title_marked(run)) << "an edit on the canvas marks the title";

        choose();
        BWindow* q = run.wait_question(ASKS);
        ASSERT_NE(q, nullptr) << "choosing another glyph asks";
        EXPECT_EQ(buttons(q), (std::vector<std::string>{"Cancel", "Discard", "Store"}));
        run.answer(q, "\x1b", B_ESCAPE);
        EXPECT_EQ(shown(), edited);
        EXPECT_EQ(canvas(), changed) << "Cancel keeps the edit";
        EXPECT_EQ(stored(), kept);

        choose();
        q = run.wait_question(ASKS);
        ASSERT_NE(q, nullptr);
        run.answer(q, "d");
        EXPECT_EQ(shown(), other);
        EXPECT_EQ(stored(), kept) << "Discard stores nothing";
        back();
        EXPECT_EQ(canvas(), original) << "the edit is gone";
        EXPECT_EQ(run.question(ASKS), nullptr) << "nothing left to ask about";

        edit();
        choose();
        q = run.wait_question(ASKS);
        ASSERT_NE(q, nullptr);
        run.answer(q, "\n", B_ENTER);
        EXPECT_EQ(shown(), other);
        EXPECT_NE(stored(), kept) << "Store stores the edit";
        back();
        EXPECT_EQ(canvas(), changed) << "as the font now holds it";
        EXPECT_EQ(run.question(ASKS), nullptr);
    }
};

std::string outline_text(canvas_app& app) {
    std::string text;
    for (const canvas_contour& c : app.outline())
        for (size_t i = 0; i < c.points.size(); i++)
            text += std::to_string(c.points[i].x) + "," + std::to_string(c.points[i].y) + ";";
    return text;
}

std::string record_text(canvas_app& app, int gno) {
    std::vector<unsigned char> r = app.record(gno);
    return std::string(r.begin(), r.end());
}

} // namespace

TEST(Pending, PixelTogglesMarkTheTitleAndAreCanvasStepsOfAltZAndShiftAltZ) {
    bitmap_app b(copy_of(MISAKI, temp_dir()));
    ASSERT_NE(b.canvas, nullptr);
    const std::string read = b.bits();
    ASSERT_GE(read.size(), 2u);
    EXPECT_FALSE(title_marked(b.run));
    b.toggle(0, 0);
    b.toggle(1, 0);
    EXPECT_EQ(b.bits(), flip(flip(read, 0), 1));
    EXPECT_TRUE(title_marked(b.run)) << "pixels toggled and not stored";
    EXPECT_EQ(edit_label(b.run), "Undo pixel toggle");
    EXPECT_EQ(b.stored_bits(), read) << "toggles change the canvas only";

    command_key(b.run, "z");
    EXPECT_EQ(b.bits(), flip(read, 0));
    command_key(b.run, "z");
    EXPECT_EQ(b.bits(), read);
    EXPECT_FALSE(title_marked(b.run)) << "undone back to what the font holds";
    EXPECT_EQ(edit_label(b.run, true), "Redo pixel toggle");
    command_key(b.run, "Z", B_SHIFT_KEY);
    EXPECT_EQ(b.bits(), flip(read, 0));
    EXPECT_TRUE(title_marked(b.run));

    // "set" makes it a step of the font; undoing that step brings the
    // canvas, which has no edits of its own left, along.
    b.set();
    EXPECT_EQ(b.stored_bits(), flip(read, 0));
    EXPECT_EQ(edit_label(b.run), "Undo bitmap of glyph " + hex4(b.gno()) + " at 8 x 8");
    command_key(b.run, "z");
    EXPECT_EQ(b.stored_bits(), read);
    EXPECT_EQ(b.bits(), read);
    EXPECT_FALSE(title_marked(b.run));
}

TEST(Pending, ChoosingAnotherBitmapGlyphOrStrikeAsksFirst) {
    bitmap_app b(copy_of(MISAKI, temp_dir()));
    ASSERT_NE(b.canvas, nullptr);
    const uint16 edited = b.gno();
    uint16 c = 0;
    locked(b.run.window(), [&] { c = curfont->cmap->get_gno('C'); });
    // What the font holds of the edited glyph, whatever is shown.
    auto stored = [&] {
        std::string bits;
        locked(b.run.window(), [&] {
            bitmap m(edited, 8, 8, 1);
            if (curfont->get_bitmap(&m) == 0)
                for (int i = 0; i < m.width * m.height; i++)
                    bits += m.pixels[i] ? '1' : '0';
        });
        return bits;
    };
    // The character "C" typed into the palette.
    choice palette{b.run,
                   [&] { b.toggle(0, 0); },
                   [&] { b.type(BPoint(35, 21), "43"); },
                   [&] { b.type(BPoint(35, 21), "42"); },
                   [&] { return b.bits(); },
                   stored,
                   [&] { return b.gno(); },
                   edited,
                   c};
    palette.check();
    // The strike menu: the same strike chosen again reads it afresh.
    choice strike = palette;
    strike.choose = [&] { b.size("8"); };
    strike.back = [] {};
    strike.other = edited;
    strike.check();
}

TEST(Pending, ChoosingAnotherOutlineGlyphAsksFirstFromTheEntryAndTheComponentList) {
    canvas_app app(squares_font(temp_dir()));
    ASSERT_NE(app.editor, nullptr);
    choice entry{app.run,
                 [&] {
                     app.click(150, 250);
                     app.drag(150, 250, 170, 240);
                 },
                 [&] { app.type_glyph("3"); },
                 [&] { app.type_glyph("1"); },
                 [&] { return outline_text(app); },
                 [&] { return record_text(app, 1); },
                 [&] { return app.gno(); },
                 1,
                 3};
    entry.check();

    // Glyph 2 is made of glyph 1: a double click on that component in the
    // palette's list shows glyph 1.
    app.type_glyph("2");
    BPoint item;
    locked(app.run.window(), [&] {
        glyftoolview* palette = dynamic_cast<glyftoolview*>(curfont->glyf->toolview);
        ASSERT_EQ(palette->compolist->CountItems(), 1);
        BRect f = palette->compolist->ItemFrame(0);
        item = palette->compolist->ConvertToParent(BPoint(f.left + 10, (f.top + f.bottom) / 2)) +
               palette->kit_window_offset();
    });
    choice list{app.run,
                [&] {
                    app.click(150, 250);
                    app.drag(150, 250, 150, 330);
                },
                [&] {
                    screen().mouse_down(app.run.window(), item, 1, 0, 1);
                    screen().mouse_up(app.run.window(), item);
                    screen().mouse_down(app.run.window(), item, 1, 0, 2);
                    screen().mouse_up(app.run.window(), item);
                    app.run.idle();
                },
                [&] { app.type_glyph("2"); },
                [&] { return outline_text(app); },
                [&] { return record_text(app, 2); },
                [&] { return app.gno(); },
                2,
                1};
    list.check();
}

TEST(Pending, QuitNewADropAndTheCloseBoxAskAndSaveStoresWhatIsPendingFirst) {
    std::string dir = temp_dir();
    std::string path = copy_of(MISAKI, dir);
    std::string other = copy_of(DEJAVU, dir, "other.ttf");
    const unsigned stack = stack_elements(path);
    std::string read, edited;
    uint16 gno = 0;
    {
        bitmap_app b(path);
        ASSERT_NE(b.canvas, nullptr);
        gno = b.gno();
        read = b.bits();
        b.toggle(0, 0);
        edited = b.bits();
        // Text typed into maxp's field and not entered.
        b.run.choose(b.run.index_of("maxp"));
        BPoint field;
        locked(b.run.window(), [&] {
            BRect f = curfont->maxp->control->Frame();
            field = curfont->maxp->kit_window_offset() + BPoint(f.right - 5, f.top + 10);
        });
        b.run.click(field);
        for (const char* key : {"1", "2", "3", "4"})
            screen().key_down(b.run.window(), key);
        b.run.idle();
        // The application's thread waits in the question: the keys that
        // bring it up are not followed by a wait for idle.
        auto press = [&](const char* key) {
            screen().key_down(b.run.window(), key, 0, B_COMMAND_KEY);
            screen().key_up(b.run.window(), key, 0, B_COMMAND_KEY);
        };
        EXPECT_TRUE(title_marked(b.run));
        // Save writes what the font holds; the edits stay where they are,
        // still pending, and the title keeps its mark.
        command_key(b.run, "s");
        EXPECT_TRUE(title_marked(b.run));
        EXPECT_EQ(b.bits(), edited);
        EXPECT_EQ(b.stored_bits(), read);
        EXPECT_EQ(stack_elements(path), stack);

        struct asking {
            const char* how;
            std::function<void()> ask;
        };
        const asking ways[] = {
            {"Alt+Q", [&] { press("q"); }},
            {"Alt+N", [&] { press("n"); }},
            {"a drop", [&] { screen().drop_files(b.run.window(), BPoint(300, 300), {other}); }},
            {"the close box", [&] { screen().close_window(b.run.window()); }},
        };
        for (const asking& way : ways) {
            SCOPED_TRACE(way.how);
            way.ask();
            BWindow* q = b.run.wait_question("Save the changes");
            ASSERT_NE(q, nullptr);
            std::string text = text_of(q);
            EXPECT_NE(text.find("the 8 x 8 bitmap of glyph " + hex4(gno)), std::string::npos)
                << text;
            EXPECT_NE(text.find("\"1234\" typed into maxStackElements"), std::string::npos) << text;
            b.run.answer(q, "\x1b", B_ESCAPE);
            EXPECT_EQ(b.run.app->filepath(), path) << "Cancel keeps the font";
            EXPECT_EQ(b.bits(), edited) << "and the canvas";
        }
        EXPECT_EQ(b.stored_bits(), read);
        EXPECT_EQ(stack_elements(b.run), stack);

        // "Save": the pixel stored, the text entered, the font saved, the
        // program ended.
        press("q");
        BWindow* q = b.run.wait_question("Save the changes");
        ASSERT_NE(q, nullptr);
        b.run.answer(q, "\n", B_ENTER);
        EXPECT_TRUE(b.run.join());
    }
    ASSERT_NE(stack, 0x1234u);
    EXPECT_EQ(stack_elements(path), 0x1234u);
    // fontTools reads the saved bitmaps: the toggled pixel, all else as
    // the original holds it.
    std::string before, after;
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py " + MISAKI,
                          &before),
              0);
    ASSERT_EQ(run_command(python() + " " + source_dir() + "/tests/tools/bitmap_pixels.py " + path,
                          &after),
              0);
    ASSERT_EQ(before.size(), after.size());
    size_t differ = 0;
    for (size_t i = 0; i < before.size(); i++)
        differ += before[i] != after[i];
    EXPECT_EQ(differ, 1u) << "one pixel of one glyph";
}

TEST(Pending, TheShowGlyphMessageShowsTheGlyfTableAndTheGlyphAsTypingItsNumberDoes) {
    canvas_app app(squares_font(temp_dir()));
    ASSERT_NE(app.editor, nullptr);
    app.run.choose(app.run.index_of("maxp"));
    auto show = [&](int32 gno) {
        BMessage m(MSG_SHOW_GLYPH);
        m.AddInt32("gno", gno);
        BMessenger(app.run.window()).SendMessage(&m);
        app.run.idle();
    };
    show(3);
    std::vector<ttf_table*> shown = app.run.shown_tables();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (ttf_table*)curfont->glyf);
    EXPECT_EQ(app.gno(), 3);
    locked(app.run.window(), [&] {
        glyftoolview* palette = dynamic_cast<glyftoolview*>(curfont->glyf->toolview);
        EXPECT_STREQ(palette->gnoctl->Text(), "0003");
    });
    show(0x99); // past the last glyph: glyph 0, as typed
    EXPECT_EQ(app.gno(), 0);
    show(70000); // not a glyph number: nothing happens
    EXPECT_EQ(app.gno(), 0);

    // With an edit on the canvas the editor asks; Cancel keeps it.
    show(1);
    app.click(150, 250);
    app.drag(150, 250, 170, 240);
    show(2);
    BWindow* q = app.run.wait_question(ASKS);
    ASSERT_NE(q, nullptr);
    app.run.answer(q, "\x1b", B_ESCAPE);
    EXPECT_EQ(app.gno(), 1);
    EXPECT_TRUE(title_marked(app.run));
}
