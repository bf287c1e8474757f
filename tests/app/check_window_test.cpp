// The check window in the running program: Alt+K opens it on the open
// font's findings, the severity filter hides and shows them, a double click
// shows a finding's place, and stored glyphs, table edits and undo are
// followed, each time agreeing with a whole check of the font's bytes.
#include "canvas_support.h"

#include "check/checker.h"
#include "checkwindow/checkwindow.h"
#include "checkwindow/findings_view.h"
#include "font/derived_metrics.h"
#include "font/font_image.h"

#include <CheckBox.h>

#include "check/check_fonts.h"

using namespace app_testing;

namespace {

// The clean test font with glyph 1 crossing itself and head's box too
// narrow for it.
std::string faulty_font(const std::string& dir) {
    check_fonts::parts p = check_fonts::clean_parts();
    p.glyphs[1] = font_builder::outline_glyph({{{50, 0}, {650, 400}, {650, 0}, {50, 400}}});
    const std::string path = dir + "/faulty.ttf";
    return write_file(path, check_fonts::assemble(p)) ? path : "";
}

checkwindow* find_check_window(running_app& run) {
    for (int i = 0; i < 500; i++) {
        for (BWindow* w : run.other_windows())
            if (checkwindow* c = dynamic_cast<checkwindow*>(w)) {
                for (int k = 0; k < 500 && c->Thread() < 0; k++)
                    snooze(2000);
                return c;
            }
        snooze(2000);
    }
    return nullptr;
}

std::string text_of(const std::vector<finding>& list) {
    std::string s;
    for (const finding& f : list)
        s += std::string(severity_name(f.level)) + " " + tag_text(f.table) + " " +
             std::to_string(f.glyph) + " " + std::to_string(f.point) + ": " + f.message + "\n";
    return s;
}

// What a whole check of the open font's bytes finds now.
std::string whole_check(running_app& run) {
    font_image image;
    check_options options;
    options.as_saved = true;
    run.window()->Lock();
    const int copied = curfont ? curfont->copy_image(&image) : 1;
    options.metrics_derived_at_save = curfont && derived_metrics_stale(*curfont);
    run.window()->Unlock();
    if (copied != 0)
        return "no font";
    font_checker checker(options);
    checker.check_file(byte_vector(image.bytes.get(), image.bytes.get() + image.size));
    return text_of(checker.findings());
}

std::string listed(checkwindow* w) {
    w->Lock();
    std::string s = text_of(w->shown());
    w->Unlock();
    return s;
}

// Where row k of the list lies in the check window.
BPoint row_point(checkwindow* w, int k) {
    w->Lock();
    findings_view* list = w->list();
    BPoint p = list->Frame().LeftTop() + BPoint(200, (k + 0.5f) * list->row_height());
    w->Unlock();
    return p;
}

int row_of(checkwindow* w, const char* words) {
    w->Lock();
    const std::vector<finding>& rows = w->shown();
    int found = -1;
    for (size_t i = 0; i < rows.size() && found < 0; i++)
        if (rows[i].message.find(words) != std::string::npos)
            found = (int)i;
    w->Unlock();
    return found;
}

void double_click(running_app& run, checkwindow* w, BPoint where) {
    screen().mouse_down(w, where, B_PRIMARY_MOUSE_BUTTON, 0, 1);
    screen().mouse_up(w, where);
    screen().mouse_down(w, where, B_PRIMARY_MOUSE_BUTTON, 0, 2);
    screen().mouse_up(w, where);
    run.idle();
}

} // namespace

TEST(CheckWindow, ShowsFollowsAndJumpsToFindings) {
    const std::string path = faulty_font(testing_support::temp_dir());
    canvas_app app(path, 0);
    running_app& run = app.run;
    command_key(run, "k");
    checkwindow* w = find_check_window(run);
    ASSERT_NE(w, nullptr);
    run.idle();
    w->Lock();
    EXPECT_STREQ(w->Title(), "Check — faulty.ttf");
    w->Unlock();
    const std::string first = listed(w);
    EXPECT_EQ(first, whole_check(run));
    EXPECT_NE(first.find("warning glyf 1 0: contour 0 crosses itself near point 0"),
              std::string::npos)
        << first;
    EXPECT_NE(first.find("warning head -1 -1: head.xMax is 550, the glyphs reach 750"),
              std::string::npos)
        << first;
    kit_testing::screenshot(w, "check_window");

    // The filter: warnings hidden, then shown again; the counts stay.
    w->Lock();
    BPoint box = w->FindView("Warnings")->Frame().LeftTop() + BPoint(6, 8);
    w->Unlock();
    screen().mouse_down(w, box);
    screen().mouse_up(w, box);
    run.idle();
    EXPECT_EQ(listed(w).find("warning"), std::string::npos) << listed(w);
    int warnings = 0;
    for (size_t at = first.find("warning"); at != std::string::npos;
         at = first.find("\nwarning", at + 1))
        warnings++;
    w->Lock();
    EXPECT_EQ(w->counts()[1], warnings);
    w->Unlock();
    screen().mouse_down(w, box);
    screen().mouse_up(w, box);
    run.idle();
    EXPECT_EQ(listed(w), first);

    // A double click on the crossing shows glyph 1 with point 0 selected.
    double_click(run, w, row_point(w, row_of(w, "crosses itself")));
    run.window()->Lock();
    EXPECT_EQ(app.editor->gno, 1);
    ASSERT_GT(curglyph->count, 0);
    EXPECT_EQ(curglyph->contours[0]->selected, 1);
    run.window()->Unlock();
    ASSERT_EQ(run.shown_tables().size(), 1u);
    EXPECT_EQ(run.shown_tables()[0]->tag, tag_of("glyf"));

    // Glyph 1 cleared and stored: the crossing goes, head's box follows.
    app.palette(GLYF_CLEAR);
    app.palette(GLYF_STORE);
    run.idle();
    const std::string stored = listed(w);
    EXPECT_EQ(stored.find("crosses itself"), std::string::npos) << stored;
    EXPECT_EQ(stored, whole_check(run));

    // Undone: the crossing is back.
    command_key(run, "z");
    run.idle();
    EXPECT_EQ(listed(w), first);

    // A double click on head's box shows the head table.
    double_click(run, w, row_point(w, row_of(w, "head.xMax")));
    ASSERT_EQ(run.shown_tables().size(), 1u);
    EXPECT_EQ(run.shown_tables()[0]->tag, tag_of("head"));
}
