// The main window resized as a desktop resizes it: at every size each
// table view fills the work view, its controls stay inside it without
// overlapping, the rows at the bottom keep their distance to the bottom
// edge and their order, lists take the room gained, and both editors'
// canvases use the space. Then the frames kept between runs.
#include "app_test_support.h"
#include "canvas_support.h"

#include "app/messages.h"
#include "checkwindow/checkwindow.h"
#include "font/ttf_table.h"
#include "kit/display/display.h"
#include "kit/interface/kit_window_place.h"

#include <ListView.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>

using namespace app_testing;

namespace {

const BRect DEFAULT_FRAME(100, 100, 100 + tavrelwindow::MIN_WIDTH, 100 + tavrelwindow::MIN_HEIGHT);

// The controls of the rows at the bottom of the table editors (a field
// list's editable rows are not among them: they stay with their rows).
const std::set<std::string> BOTTOM_ROWS = {
    "add", "del", "set",  "st",  "ed",   "gno",  "width",   "lsb",       "left",
    "right", "pid", "eid", "lid", "nid", "data", "pt", "gridfit", "grayscale"};

// Settings in a folder of the test's own.
std::string fresh_config() {
    std::string dir = testing_support::temp_dir() + "/config";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    return dir;
}

// What the desktop sends when the user drags the window's edge.
void resize(running_app& run, float width, float height) {
    BMessage resized(B_WINDOW_RESIZED);
    resized.AddFloat("width", width);
    resized.AddFloat("height", height);
    kit::post_input(run.window()->kit_token(), resized);
    run.idle();
}

BRect frame_of(BWindow* window) {
    window->Lock();
    BRect f = window->Frame();
    window->Unlock();
    return f;
}

// A child's place as a layout rule sees it.
struct placed {
    BRect frame;
    bool list;
};

// The visible children of the shown table view, by name, checked to lie
// inside it and not to overlap one another.
std::map<std::string, placed> check_children(BView* table, const std::string& where) {
    std::map<std::string, placed> found;
    const BRect b = table->Bounds();
    std::vector<BView*> shown;
    for (int32 i = 0; i < table->CountChildren(); i++)
        if (!table->ChildAt(i)->IsHidden())
            shown.push_back(table->ChildAt(i));
    for (BView* c : shown) {
        const BRect f = c->Frame();
        EXPECT_TRUE(b.Contains(f)) << where << ": " << c->Name() << " is outside its view";
        for (BView* other : shown) {
            if (other == c)
                continue;
            EXPECT_FALSE(f.Intersects(other->Frame()))
                << where << ": " << c->Name() << " overlaps " << other->Name();
        }
        found[c->Name()] =
            placed{f, dynamic_cast<BListView*>(c) != nullptr || std::string(c->Name()) == "runs"};
    }
    return found;
}

} // namespace

TEST(WindowLayout, TableViewsAndEditorsFollowTheWindowAtEverySize) {
    fresh_config();
    const struct {
        float width, height;
    } sizes[] = {{tavrelwindow::MIN_WIDTH, tavrelwindow::MIN_HEIGHT}, {900, 700}, {1599, 999}};
    for (const char* path : {DEJAVU, MISAKI}) {
        running_app run({path});
        const int tags = run.selector()->count;
        ASSERT_GT(tags, 8) << path;
        // Each table's bounds and children at the smallest size.
        std::map<uint32, std::pair<BRect, std::map<std::string, placed>>> smallest;
        float smallzoom = 0;
        for (const auto& size : sizes) {
            resize(run, size.width, size.height);
            const BRect frame = frame_of(run.window());
            ASSERT_EQ(frame.Width(), size.width);
            ASSERT_EQ(frame.Height(), size.height);
            for (int k = 0; k < tags; k++) {
                BMessage select(MSG_TABLE_SELECT);
                select.AddInt32("table", (int32)run.selector()->tags[k]);
                BMessenger(run.workview()).SendMessage(&select);
                run.idle();
                std::vector<ttf_table*> shown = run.shown_tables();
                if (shown.empty())
                    continue; // a tag without a view of its own (loca)
                ASSERT_EQ(shown.size(), 1u);
                ttf_table* table = shown[0];
                const std::string where = std::string(path) + " at " +
                                          std::to_string((int)size.width) + "x" +
                                          std::to_string((int)size.height) + ", tag " +
                                          std::to_string(k);
                run.window()->Lock();
                const BRect b = table->Bounds();
                EXPECT_EQ(table->Frame(), run.workview()->Bounds()) << where;
                std::map<std::string, placed> now = check_children(table, where);
                auto first = smallest.emplace(table->tag, std::make_pair(b, now));
                const BRect small = first.first->second.first;
                const float dw = b.Width() - small.Width(), dh = b.Height() - small.Height();
                // The bottom rows' controls from left to right, then and now.
                std::vector<std::pair<float, std::string>> order_then, order_now;
                for (const auto& [name, was] : first.first->second.second) {
                    auto at = now.find(name);
                    if (at == now.end())
                        continue;
                    const BRect f = at->second.frame;
                    if (was.list) {
                        EXPECT_EQ(f.Width(), was.frame.Width() + dw) << where << ": " << name;
                        EXPECT_EQ(f.Height(), was.frame.Height() + dh) << where << ": " << name;
                    } else if (BOTTOM_ROWS.count(name)) {
                        EXPECT_EQ(f.bottom, was.frame.bottom + dh) << where << ": " << name;
                        order_then.push_back({was.frame.top * 10000 + was.frame.left, name});
                        order_now.push_back({f.top * 10000 + f.left, name});
                    }
                }
                std::sort(order_then.begin(), order_then.end());
                std::sort(order_now.begin(), order_now.end());
                for (size_t i = 0; i < order_then.size(); i++)
                    EXPECT_EQ(order_now[i].second, order_then[i].second) << where;
                // The canvases fill what is right of their palettes and
                // use the room: the glyph editor's fitting zoom fits the
                // view's smaller side, the bitmap editor's square grows.
                BView* canvas = table->FindView("canvas");
                if (glyfeditview* editor = dynamic_cast<glyfeditview*>(canvas)) {
                    const BRect f = editor->Frame();
                    EXPECT_EQ(f, BRect(50, 0, b.right, b.bottom)) << where;
                    const float room = std::min(f.Width(), f.Height()) + 1;
                    EXPECT_EQ(editor->fitroom(), room) << where;
                    BRect box = curfont->bounds();
                    const float side = std::max(box.right - box.left, box.bottom - box.top);
                    EXPECT_EQ(editor->getscale(), glyfeditview::fitscale(side, room)) << where;
                    if (smallzoom == 0)
                        smallzoom = editor->getscale();
                    else
                        EXPECT_GT(editor->getscale(), smallzoom) << where;
                }
                if (ebdteditview* bitmaps = dynamic_cast<ebdteditview*>(canvas)) {
                    const BRect f = bitmaps->Frame();
                    EXPECT_EQ(f, BRect(50, 0, b.right, b.bottom)) << where;
                    EXPECT_EQ(bitmaps->square().Width(),
                              std::min(f.Width(), f.Height()) - (511 - EBDT_SQUARE.Width()))
                        << where;
                    EXPECT_TRUE(BRect(0, 0, f.Width(), f.Height()).Contains(bitmaps->square()));
                }
                const uint32 tag = table->tag;
                run.window()->Unlock();
                // Look at them: $TAVREL_SCREENSHOT_DIR keeps these.
                for (const char* look : {"glyf", "cmap", "name", "EBDT"})
                    if (tag == ((uint32)look[0] << 24 | (uint32)look[1] << 16 |
                                (uint32)look[2] << 8 | (uint32)look[3]))
                        kit_testing::screenshot(run.window(), std::string("layout-") + look +
                                                                  "-" +
                                                                  std::to_string((int)size.width));
            }
        }
        EXPECT_GE(smallest.size(), 6u) << path;
    }
}

TEST(WindowLayout, SizeAndPlaceAreKeptBetweenRunsAndBroughtBackOnScreen) {
    const std::string config = fresh_config();
    {
        running_app run;
        EXPECT_EQ(frame_of(run.window()), DEFAULT_FRAME) << "no settings: the standard frame";
        // Never smaller than the smallest size.
        resize(run, 300, 200);
        EXPECT_EQ(frame_of(run.window()), DEFAULT_FRAME);
        resize(run, 900, 700);
        BMessage moved(B_WINDOW_MOVED);
        moved.AddPoint("where", BPoint(40, 30));
        kit::post_input(run.window()->kit_token(), moved);
        run.idle();
    }
    {
        running_app run;
        EXPECT_EQ(frame_of(run.window()), BRect(40, 30, 940, 730)) << "as the last run left it";
    }
    const struct {
        const char* what;
        const char* line;
        BRect frame;
    } kept[] = {
        {"damaged", "main.frame=40 30 huge\n", DEFAULT_FRAME},
        {"off the screen", "main.frame=5000 -3000 5899 -2300\n", BRect(1020, 0, 1919, 700)},
        {"too small", "main.frame=10 10 20 20\n",
         BRect(10, 10, 10 + tavrelwindow::MIN_WIDTH, 10 + tavrelwindow::MIN_HEIGHT)},
    };
    for (const auto& k : kept) {
        std::ofstream(config + "/tavrel/settings") << "junk without an equals sign\n" << k.line;
        running_app run;
        EXPECT_EQ(frame_of(run.window()), k.frame) << k.what;
    }
    // The check window opens beside the main window, on the screen even
    // when the main window is at the screen's right edge; where it was
    // closed is where it opens next.
    std::ofstream(config + "/tavrel/settings") << "main.frame=1300 100 1875 678\n";
    for (int round = 0; round < 2; round++) {
        running_app run;
        run.window()->PostMessage(MSG_CHECK_OPEN);
        run.idle();
        checkwindow* check = nullptr;
        for (BWindow* w : run.other_windows())
            if ((check = dynamic_cast<checkwindow*>(w)))
                break;
        ASSERT_NE(check, nullptr);
        const BRect f = frame_of(check);
        EXPECT_TRUE(screen().screen_frame().Contains(f)) << "round " << round;
        if (round == 0) {
            BMessage moved(B_WINDOW_MOVED);
            moved.AddPoint("where", BPoint(200, 300));
            kit::post_input(check->kit_token(), moved);
            run.idle();
            ASSERT_TRUE(screen().close_window(check));
            run.idle();
        } else {
            EXPECT_EQ(f.LeftTop(), BPoint(200, 300));
        }
    }
}
