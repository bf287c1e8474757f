// Memory running out in the middle of a user's action: the allocation
// that fails is swept over every allocation the action makes (the n-th
// for n = 1, 2, ... until the action needs fewer), on the thread that
// does the action. Whichever one fails, the font is either as it was
// before the action or as the whole action leaves it, never in between;
// an action cut short is reported; the program goes on and works.
#include "failing_new.h"

#include "app/canvas_support.h"

#include "app/messages.h"
#include "font/cmap.h"
#include "font/history.h"

#include <Alert.h>
#include <Button.h>
#include <TextControl.h>

using namespace app_testing;
using namespace testing_support;

namespace {

// The texts of the alerts that came up, each then dismissed as a user
// does (Enter). An alert is made within the action, so it is listed by
// the time the loopers are idle.
std::vector<std::string> answer_alerts(running_app& run) {
    std::vector<std::string> texts;
    for (BWindow* w : run.other_windows()) {
        for (int i = 0; i < 500 && w->Thread() < 0; i++)
            snooze(2000);
        BAlert* alert = dynamic_cast<BAlert*>(w);
        if (!alert)
            continue;
        alert->Lock();
        texts.push_back(alert->Text());
        alert->Unlock();
        screen().key_down(alert, "\n", B_ENTER);
        for (int i = 0; i < 500 && run.listed(alert); i++)
            snooze(2000);
    }
    run.idle();
    return texts;
}

bool cut_short_report(const std::string& text) {
    const std::string head = "Not enough memory: ", tail = " was not done";
    return text.size() > head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

TEST(OutOfMemory, AGlyphStoreCutShortAnywhereLeavesTheFontWholeAndTheProgramRunning) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    canvas_app c(path, 1);
    ASSERT_NE(c.editor, nullptr);
    running_app& run = c.run;
    auto glyphs = [&] {
        run.window()->Lock();
        std::vector<unsigned char> b(curfont->glyf->data,
                                     curfont->glyf->data + curfont->glyf->length);
        b.insert(b.end(), curfont->loca->data, curfont->loca->data + curfont->loca->length);
        run.window()->Unlock();
        return b;
    };
    auto changed = [&] {
        run.window()->Lock();
        bool changed = curfont->history()->changed();
        run.window()->Unlock();
        return changed;
    };
    // The palette's "set" button, clicked where a user clicks it.
    run.window()->Lock();
    BView* button = curfont->glyf->toolview->FindView("set");
    ASSERT_NE(button, nullptr);
    BRect frame = button->Bounds();
    BPoint set = button->kit_window_offset() + BPoint(frame.Width() / 2, frame.Height() / 2);
    run.window()->Unlock();

    const std::vector<unsigned char> original = glyphs();
    c.palette(GLYF_CLEAR);
    run.click(set);
    const std::vector<unsigned char> stored = glyphs();
    ASSERT_FALSE(stored == original) << "the store did nothing";
    c.undo();
    ASSERT_TRUE(glyphs() == original);

    int cut = 0, reported = 0;
    long n = 1;
    for (;; n++) {
        ASSERT_LT(n, 20000) << "the store never ran out of allocations to fail";
        c.show(1);
        c.palette(GLYF_CLEAR);
        failing_new::fail_at(run.window()->Thread(), n);
        screen().mouse_down(run.window(), set);
        screen().mouse_up(run.window(), set);
        run.idle();
        bool fired = failing_new::disarm();
        std::vector<std::string> alerts = answer_alerts(run);
        std::vector<unsigned char> now = glyphs();
        if (!fired) {
            // The whole store took fewer than n allocations.
            EXPECT_TRUE(now == stored);
            EXPECT_TRUE(alerts.empty());
            break;
        }
        bool whole = now == stored;
        ASSERT_TRUE(whole || now == original) << "allocation " << n << " left a part of the store";
        EXPECT_EQ(changed(), whole) << "allocation " << n;
        for (const std::string& text : alerts)
            reported += cut_short_report(text);
        if (whole)
            c.undo();
        else
            cut++;
    }
    std::printf("a store makes %ld allocations; %d failures stopped it, %d reported as cut short\n",
                n - 1, cut, reported);
    EXPECT_GT(reported, 0);

    // The program goes on: a store, and a save that holds it.
    c.show(1);
    c.palette(GLYF_CLEAR);
    run.click(set);
    EXPECT_TRUE(glyphs() == stored);
    be_app_messenger.SendMessage(MSG_SAVE);
    run.idle();
    EXPECT_FALSE(changed());
    EXPECT_TRUE(run.other_windows().empty());
}

TEST(OutOfMemory, ASaveCutShortAnywhereLeavesTheFileAsItWasAndNothingBeside) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    canvas_app c(path, 1);
    ASSERT_NE(c.editor, nullptr);
    running_app& run = c.run;
    c.palette(GLYF_CLEAR);
    c.palette(GLYF_STORE);
    const std::vector<unsigned char> before = read_file(path);

    bool saved = false;
    int reported = 0;
    for (long n = 1; !saved; n++) {
        ASSERT_LT(n, 20000);
        failing_new::fail_at(be_app->Thread(), n);
        // Alt+S, not waited for: the application's thread may be waiting
        // in an alert.
        screen().key_down(run.window(), "s", 0, B_COMMAND_KEY);
        screen().key_up(run.window(), "s", 0, B_COMMAND_KEY);
        std::vector<std::string> alerts;
        // The application's thread waits in its alert: it is answered
        // before the loopers can be idle.
        for (int i = 0; i < 200 && run.other_windows().empty() && read_file(path) == before; i++)
            snooze(5000);
        bool fired = failing_new::disarm();
        alerts = answer_alerts(run);
        std::vector<unsigned char> now = read_file(path);
        saved = !(now == before);
        if (!fired) {
            ASSERT_TRUE(saved) << "a save that ran whole wrote nothing";
        }
        for (const std::string& text : alerts) {
            EXPECT_TRUE(cut_short_report(text) || text.find("Could not save") == 0) << text;
            reported += text == "Not enough memory: \"Save\" was not done";
        }
        EXPECT_EQ(folder_entries(dir), std::vector<std::string>{"squares.ttf"})
            << "allocation " << n;
        run.window()->Lock();
        EXPECT_EQ(curfont->history()->changed(), !saved) << "allocation " << n;
        run.window()->Unlock();
    }
    EXPECT_GT(reported, 0);
    // The file written once a save ran whole holds the stored glyph.
    BFile file(path.c_str(), B_READ_ONLY);
    ttf written;
    ASSERT_EQ(written.load(file), 0);
    glyph g(1);
    ASSERT_EQ(written.get_glyph(1, &g), 0);
    EXPECT_EQ(g.count, 0);
}

// A character-map edit ("set" in the cmap view) cut short anywhere: the
// table is as it was or as the whole edit leaves it, and the editor's map
// says what the table holds.
TEST(OutOfMemory, ACharacterMapEditCutShortAnywhereLeavesTheMapWhole) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    running_app run({path});
    run.choose(run.index_of("cmap"));
    run.window()->Lock();
    ttf_cmap* cmap = curfont->cmap;
    BTextControl* fields[] = {cmap->stctl, cmap->edctl, cmap->gnoctl};
    BRect frame = cmap->setbtn->Frame();
    BPoint set = cmap->kit_window_offset() +
                 BPoint((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
    run.window()->Unlock();
    const char* typed[] = {"41", "5a", "100"};
    for (int k = 0; k < 3; k++)
        type_into(run, fields[k], typed[k]);
    auto state = [&] {
        run.window()->Lock();
        std::vector<unsigned char> b(cmap->data, cmap->data + cmap->length);
        b.push_back((unsigned char)cmap->get_gno('Z'));
        b.push_back((unsigned char)(cmap->get_gno('Z') >> 8));
        run.window()->Unlock();
        return b;
    };
    const std::vector<unsigned char> original = state();
    run.click(set);
    const std::vector<unsigned char> edited = state();
    ASSERT_FALSE(edited == original) << "the edit did nothing";
    command_key(run, "z");
    ASSERT_TRUE(state() == original);

    long n = 1;
    int reported = 0;
    for (;; n++) {
        ASSERT_LT(n, 20000) << "the edit never ran out of allocations to fail";
        failing_new::fail_at(run.window()->Thread(), n);
        screen().mouse_down(run.window(), set);
        screen().mouse_up(run.window(), set);
        run.idle();
        bool fired = failing_new::disarm();
        for (const std::string& text : answer_alerts(run))
            reported += cut_short_report(text);
        std::vector<unsigned char> now = state();
        if (!fired) {
            EXPECT_TRUE(now == edited);
            break;
        }
        ASSERT_TRUE(now == edited || now == original) << "allocation " << n;
        if (now == edited)
            command_key(run, "z");
    }
    std::printf("a cmap edit makes %ld allocations; %d reported as cut short\n", n - 1, reported);
    EXPECT_GT(reported, 0);
}
