// The cmap view's list of runs in the running program, driven as a user
// does: the list shows the font's best map (as fontTools reads it), a
// click on a run fills the three fields, the list follows an edit, Alt+Z
// and Shift+Alt+Z, and it scrolls with the wheel and the keyboard.
#include "edit_support.h"

#include "font/cmap.h"
#include "font/cmap_run_list.h"

#include <Button.h>
#include <ScrollBar.h>
#include <TextControl.h>

#include <sstream>

using namespace app_testing;
using namespace testing_support;

namespace {

// The list's runs, its frame in window coordinates and its scroll position.
struct list_state {
    std::vector<cmap_subtables::group> runs;
    BRect frame;
    float top = 0;
    int32 chosen = -1;
};

list_state list_of(running_app& run) {
    list_state s;
    run.window()->Lock();
    ttf_cmap* cmap = curfont->cmap;
    s.runs = cmap->runs;
    s.frame = cmap->runlist->Frame();
    s.frame.OffsetBy(cmap->kit_window_offset());
    s.top = cmap->runlist->Bounds().top;
    s.chosen = cmap->runlist->selection();
    run.window()->Unlock();
    return s;
}

std::string texts(running_app& run) {
    run.window()->Lock();
    ttf_cmap* cmap = curfont->cmap;
    std::string t =
        std::string(cmap->stctl->Text()) + " " + cmap->edctl->Text() + " " + cmap->gnoctl->Text();
    run.window()->Unlock();
    return t;
}

BPoint row_point(const list_state& s, int32 row) {
    return BPoint(s.frame.left + 40, s.frame.top + (row - s.top / cmap_run_list::ROW) * 15 + 7);
}

void key(running_app& run, const char* bytes) {
    screen().key_down(run.window(), bytes);
    screen().key_up(run.window(), bytes);
    run.idle();
}

} // namespace

TEST(CmapList, ShowsTheMapAsRunsAndFollowsClicksEditsUndoAndRedo) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    running_app run({path});
    run.choose(run.index_of("cmap"));
    list_state s = list_of(run);

    // The runs are exactly fontTools' best map of the font.
    std::string out;
    ASSERT_EQ(run_command(python() + " '" + source_dir() + "/tests/tools/dump_cmap.py' '" + path +
                              "' best",
                          &out),
              0);
    std::map<uint32_t, uint32_t> best, listed;
    std::istringstream lines(out);
    for (uint32_t code, gid; lines >> code >> gid;)
        best[code] = gid;
    for (const auto& r : s.runs)
        for (uint32_t c = r.start; c <= r.end; c++)
            listed[c] = r.glyph + (c - r.start);
    EXPECT_EQ(listed, best);
    EXPECT_EQ(cmap_run_list::line({0x41, 0x5A, 0x24}),
              "0041\u2013005A \u2192 0024\u2013003D");
    EXPECT_EQ(cmap_run_list::line({0x1F600, 0x1F600, 0x3}), "1F600 \u2192 0003");

    // A click on the third run fills the fields with it.
    run.click(row_point(s, 2));
    const cmap_subtables::group third = s.runs[2];
    char want[64];
    snprintf(want, sizeof want, "%04x %04x %04x", third.start, third.end, third.glyph);
    EXPECT_EQ(texts(run), want);
    EXPECT_EQ(list_of(run).chosen, 2);
    kit_testing::screenshot(run.window(), "cmap_runs");

    // An edit: e000-e002 to glyphs 24-26, a run of its own, chosen.
    run.window()->Lock();
    ttf_cmap* cmap = curfont->cmap;
    BTextControl* fields[] = {cmap->stctl, cmap->edctl, cmap->gnoctl};
    BRect set = cmap->setbtn->Frame();
    set.OffsetBy(cmap->kit_window_offset());
    run.window()->Unlock();
    const char* typed[] = {"e000", "e002", "24"};
    for (int k = 0; k < 3; k++)
        type_into(run, fields[k], typed[k]);
    run.click(BPoint((set.left + set.right) / 2, (set.top + set.bottom) / 2));
    list_state after = list_of(run);
    ASSERT_GE(after.chosen, 0);
    EXPECT_EQ(cmap_run_list::line(after.runs[after.chosen]),
              "E000\u2013E002 \u2192 0024\u20130026");
    EXPECT_GE(after.chosen * cmap_run_list::ROW, after.top) << "the chosen run is in view";

    command_key(run, "z");
    EXPECT_TRUE(list_of(run).runs == s.runs) << "undone";
    command_key(run, "Z", B_SHIFT_KEY);
    EXPECT_TRUE(list_of(run).runs == after.runs) << "redone";

    // End goes to the last run and scrolls it into view; the wheel and
    // Home go back up.
    list_state now = list_of(run);
    run.click(BPoint(now.frame.left + 40, (now.frame.top + now.frame.bottom) / 2));
    key(run, "\x04"); // B_END
    list_state end = list_of(run);
    EXPECT_EQ(end.chosen, (int32)end.runs.size() - 1);
    EXPECT_GT(end.top, 0);
    EXPECT_LE(end.chosen * cmap_run_list::ROW + cmap_run_list::ROW - 1,
              end.top + end.frame.Height());
    screen().mouse_move(run.window(), row_point(end, end.chosen));
    screen().mouse_wheel(run.window(), 0, -5);
    run.idle();
    EXPECT_LT(list_of(run).top, end.top);
    key(run, "\x01"); // B_HOME
    EXPECT_EQ(list_of(run).top, 0);
    EXPECT_EQ(list_of(run).chosen, 0);
}
