// The glyph canvas's own undo and redo, driven as a user does in the
// running application: gestures on the canvas, Alt+Z and Shift+Alt+Z, the
// Edit menu's names for the steps, the title's changed mark, "set" and the
// saved font's bytes, and what the screen shows after each step.
#include "canvas_support.h"

#include <Menu.h>
#include <MenuBar.h>

#include <random>

using namespace app_testing;
using namespace testing_support;

namespace {

// The screen after a step equals a fresh full repaint of it.
void expect_repaint_equal(canvas_app& app, const std::string& what) {
    std::vector<uint32> shown = app.pixels();
    app.palette(GLYF_REDRAW);
    EXPECT_EQ(app.pixels() == shown, true) << what << ": the screen differs from a full repaint";
}

// Glyph `gno` of the font file at `path`, as a canvas laid out for the
// font box `box` shows it (a save may have changed the file's own box).
canvas_outline saved_outline(const std::string& path, int gno, BRect b) {
    canvas_outline out;
    ttf font;
    BFile file(path.c_str(), B_READ_ONLY);
    if (font.load(file) != 0)
        return out;
    glyph g((unsigned short)gno);
    if (font.get_glyph(gno, &g) != 0)
        return out;
    g.trans(b, BRect(0, 0, b.right - b.left, b.top - b.bottom));
    for (int i = 0; i < g.count; i++) {
        canvas_contour c;
        for (int j = 0; j < g.contours[i]->count; j++) {
            c.points.push_back(g.contours[i]->points[j]);
            c.flags.push_back(g.contours[i]->flags[j] & 1);
        }
        out.push_back(c);
    }
    return out;
}

// Whole units and on/off-curve flags only: what a glyph record keeps.
canvas_outline as_stored(canvas_outline o) {
    for (canvas_contour& c : o) {
        for (BPoint& p : c.points)
            p = BPoint(std::trunc(p.x), std::trunc(p.y));
        for (int& f : c.flags)
            f &= 1;
    }
    return o;
}

} // namespace

TEST(CanvasUndo, AltZTakesBackEachGestureShiftAltZDoesItAgainAndSetStoresWhatIsShown) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    ASSERT_FALSE(path.empty());
    BRect opened;
    {
        ttf font;
        BFile file(path.c_str(), B_READ_ONLY);
        ASSERT_EQ(font.load(file), 0);
        opened = font.bounds();
    }
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_FALSE(app.marked());
    EXPECT_FALSE(app.enabled()) << "nothing to undo in a font just opened";

    // Each gesture, the name its step gets, and the outline after it.
    std::vector<canvas_outline> after;
    std::vector<std::string> names;
    auto gesture = [&](const char* name, const std::function<void()>& act) {
        act();
        after.push_back(app.outline());
        names.push_back(name);
        EXPECT_EQ(app.label(), std::string("Undo ") + name);
        EXPECT_TRUE(app.marked()) << name;
    };
    // A click selects what it is on; a press on the selection then edits.
    gesture("drag", [&] { // contour A
        app.click(150, 250);
        app.drag(150, 250, 170, 240);
    });
    gesture("drag", [&] { // B's corner
        app.click(275, 125);
        app.drag(300, 150, 320, 170);
    });
    gesture("deletion", [&] { app.click(250, 100, 2); }); // B's first point
    gesture("toggle", [&] {                               // A's first point
        app.click(150, 250);
        app.click(120, 190, 1, B_COMMAND_KEY);
    });
    gesture("reversal", [&] { app.key("@"); });                     // A, still selected
    gesture("order", [&] { app.key("\x1e"); });                     // A goes behind B
    gesture("insertion", [&] { app.drag(220, 190, 230, 180, 4); }); // beside A's corner
    gesture("duplication", [&] { app.drag(160, 240, 160, 340, 1, B_CONTROL_KEY); });
    gesture("drawing", [&] {
        app.tool(2);
        app.drag(20, 20, 80, 60);
        app.tool(0);
    });
    gesture("deletion", [&] {
        app.click(50, 40);
        app.key("\x7f");
    });
    gesture("clear", [&] { app.palette(GLYF_CLEAR); });
    for (size_t i = 1; i < after.size(); i++)
        EXPECT_NE(after[i], after[i - 1]) << names[i] << " changed nothing";
    EXPECT_EQ(app.contours(), 0);

    // Back through every step, with the name of the next one shown.
    for (size_t i = after.size(); i-- > 0;) {
        EXPECT_EQ(app.label(), "Undo " + names[i]);
        app.undo();
        EXPECT_EQ(app.outline(), i ? after[i - 1] : stored) << "undo of " << names[i];
        EXPECT_EQ(app.label(true), "Redo " + names[i]);
        if (i == 6)
            expect_repaint_equal(app, "undo of " + names[i]);
    }
    EXPECT_FALSE(app.marked()) << "the glyph is as stored again";
    EXPECT_FALSE(app.enabled());
    expect_repaint_equal(app, "undo of the first drag");

    // And forward again; the menu's items do the same as the keys.
    for (size_t i = 0; i < after.size(); i++) {
        if (i % 2)
            choose_edit_item(app.run, 1);
        else
            app.redo();
        EXPECT_EQ(app.outline(), after[i]) << "redo of " << names[i];
        EXPECT_TRUE(app.marked());
    }
    EXPECT_FALSE(app.enabled(true));
    choose_edit_item(app.run, 0);
    choose_edit_item(app.run, 0);
    EXPECT_EQ(app.outline(), after[after.size() - 3]);
    expect_repaint_equal(app, "undo from the menu");

    // A new gesture drops the steps undone; "set" stores the glyph shown
    // as one step of the font's history and ends the canvas's.
    app.click(50, 40);
    app.drag(50, 40, 60, 50);
    EXPECT_EQ(app.label(), "Undo drag");
    EXPECT_FALSE(app.enabled(true));
    canvas_outline shown = app.outline();
    app.palette(GLYF_STORE);
    EXPECT_EQ(app.label(), "Undo glyph 0001");
    command_key(app.run, "s");
    EXPECT_FALSE(app.marked());
    EXPECT_EQ(saved_outline(path, 1, opened), as_stored(shown));
    EXPECT_TRUE(app.run.other_windows().empty()) << "a step was refused";

    // Undo now takes back the store: the canvas shows the glyph as it was
    // read, and the canvas has no steps of its own to redo.
    app.undo();
    EXPECT_EQ(app.outline(), stored);
    EXPECT_EQ(app.label(true), "Redo glyph 0001");
}

TEST(CanvasUndo, EveryDrawingToolAndEveryComponentEditIsOneStep) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    ASSERT_FALSE(path.empty());
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();

    struct {
        const char* name;
        int tool;
        std::function<void()> draw;
    } tools[] = {
        {"free hand", 1, [&] { app.drag(20, 20, 90, 70, 1, 0, 8); }},
        {"rectangle", 2, [&] { app.drag(20, 20, 90, 70); }},
        {"ellipse", 3, [&] { app.drag(20, 20, 90, 70); }},
        {"polygon", 4,
         [&] {
             app.click(20, 20);
             app.click(90, 20);
             app.click(50, 80);
             app.click(50, 80);
         }},
        {"rounded polygon", 5,
         [&] {
             app.click(20, 20);
             app.click(90, 20);
             app.click(50, 80);
             app.click(50, 80);
         }},
    };
    for (const auto& t : tools) {
        SCOPED_TRACE(t.name);
        app.tool(t.tool);
        t.draw();
        EXPECT_GT(app.contours(), 2);
        EXPECT_EQ(app.label(), "Undo drawing");
        canvas_outline drawn = app.outline();
        app.undo();
        EXPECT_EQ(app.outline(), stored);
        EXPECT_FALSE(app.marked());
        expect_repaint_equal(app, t.name);
        app.redo();
        EXPECT_EQ(app.outline(), drawn);
        app.undo();
    }

    // A polygon begun and not finished is given up by Alt+Z.
    app.tool(4);
    app.click(20, 20);
    app.click(90, 20);
    EXPECT_EQ(app.label(), "Undo drawing");
    app.undo();
    app.run.window()->Lock();
    bool idle = app.editor->selstate == 0 && curobject == nullptr;
    app.run.window()->Unlock();
    EXPECT_TRUE(idle);
    EXPECT_EQ(app.outline(), stored);
    expect_repaint_equal(app, "a polygon given up");
    app.tool(0);

    // Components: glyph 3 is empty; glyph 1 is added twice, one copy is
    // moved, the other deleted.
    app.show(3);
    EXPECT_FALSE(app.enabled()) << "showing another glyph ends the canvas history";
    std::vector<canvas_outline> states{app.outline()};
    for (int i = 0; i < 2; i++) {
        BMessage add(GLYF_ADD_COMPONENT);
        add.AddInt16("sub", 1);
        app.palette(add);
        EXPECT_EQ(app.label(), "Undo component add");
        states.push_back(app.outline());
    }
    ASSERT_EQ(app.components(), 2);
    // Both rectangles cover square A's (100, 200)-(200, 300) and B; the
    // press inside A takes the top one.
    app.click(150, 250);
    app.drag(150, 250, 150, 330);
    EXPECT_EQ(app.label(), "Undo component move");
    states.push_back(app.outline());
    EXPECT_NE(states[3], states[2]);
    BMessage del(GLYF_DEL_COMPONENT);
    del.AddInt8("no", 0);
    app.palette(del);
    EXPECT_EQ(app.label(), "Undo component deletion");
    EXPECT_EQ(app.components(), 1);
    states.push_back(app.outline());
    for (size_t i = states.size() - 1; i > 0; i--) {
        app.undo();
        EXPECT_EQ(app.outline(), states[i - 1]) << "undo to state " << i - 1;
    }
    EXPECT_EQ(app.components(), 0);
    EXPECT_FALSE(app.marked());
    for (size_t i = 1; i < states.size(); i++) {
        app.redo();
        EXPECT_EQ(app.outline(), states[i]) << "redo to state " << i;
    }
    expect_repaint_equal(app, "components");

    // The glyph made of components stores as a composite.
    app.palette(GLYF_STORE);
    glyph stored3(3);
    app.run.window()->Lock();
    ASSERT_EQ(curfont->get_glyph(3, &stored3), 0);
    app.run.window()->Unlock();
    EXPECT_EQ(stored3.ncompo, 1);
    EXPECT_TRUE(app.run.other_windows().empty());
}

TEST(CanvasUndo, TheCanvasStepsBelongToTheGlyphShownAndComeBeforeTheFontsWhileItShows) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    ASSERT_FALSE(path.empty());
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();

    // A stored clear of glyph 1, then a drag on the canvas of the glyph
    // as read again: the drag is undone first, then the store.
    app.palette(GLYF_CLEAR);
    app.palette(GLYF_STORE);
    app.undo();
    ASSERT_EQ(app.outline(), stored);
    app.click(150, 250);
    app.drag(150, 250, 160, 260);
    EXPECT_EQ(app.label(), "Undo drag");
    EXPECT_EQ(app.label(true), "Redo glyph 0001") << "the font's redo while the canvas has none";
    app.undo();
    EXPECT_EQ(app.outline(), stored);
    EXPECT_EQ(app.label(true), "Redo drag");

    // With another table shown, the Edit menu is the font's: an edit of
    // maxp is undone while the glyph keeps its canvas edit.
    app.redo();
    canvas_outline dragged = app.outline();
    app.run.choose(app.run.index_of("maxp"));
    EXPECT_EQ(app.label(true), "Redo glyph 0001");
    const unsigned original = stack_elements(app.run);
    type_stack_elements(app.run, "77");
    EXPECT_EQ(app.label(), "Undo maxStackElements");
    app.undo();
    EXPECT_EQ(stack_elements(app.run), original);
    EXPECT_EQ(app.outline(), dragged);
    app.run.choose(app.run.index_of("glyf"));
    EXPECT_EQ(app.label(), "Undo drag");

    // A drag given up half way by Alt+Z takes back what it moved; the
    // button's release afterwards does nothing.
    app.click(160, 260);
    app.press(160, 260);
    app.move(180, 280);
    app.move(200, 290);
    EXPECT_NE(app.outline(), dragged);
    app.undo();
    EXPECT_EQ(app.outline(), dragged);
    app.move(220, 300);
    app.release(220, 300);
    EXPECT_EQ(app.outline(), dragged);
    EXPECT_EQ(app.label(), "Undo drag");
    app.undo();
    EXPECT_EQ(app.outline(), stored);

    // Showing another glyph asks about the canvas's edit; given up, the
    // canvas history ends with it. Showing the same glyph again reads it
    // from the font.
    app.redo();
    app.show(2);
    BWindow* question = app.run.wait_question("not stored with");
    ASSERT_NE(question, nullptr);
    app.run.answer(question, "d");
    app.show(1);
    EXPECT_EQ(app.outline(), stored);
    EXPECT_EQ(app.label(true), "Redo maxStackElements");
    EXPECT_FALSE(app.marked());

    // Nothing is left to save: quitting asks nothing.
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    EXPECT_TRUE(app.run.join()) << "the program asked about changes";
}

TEST(CanvasUndo, UndoingTheClearOfADamagedGlyphBringsBackItsRefusalToBeStored) {
    // Glyph 1 claims more points than its record holds: it shows empty
    // and "set" refuses it, so that the rest of the record is not lost.
    std::string dir = temp_dir();
    edit_testing::bytes damaged =
        edit_testing::simple_record({edit_testing::square(100, 100, 100)});
    font_builder::put16(damaged, 10, 40);
    std::string path = dir + "/damaged.ttf";
    ASSERT_TRUE(write_file(path, edit_testing::small_font({{}, damaged})));
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const std::vector<unsigned char> before = app.record(1);
    ASSERT_FALSE(before.empty());

    // "clr" makes it storable; a rectangle is drawn on it.
    app.palette(GLYF_CLEAR);
    app.tool(2);
    app.drag(20, 20, 80, 60);
    EXPECT_TRUE(app.marked());
    app.undo();
    app.undo();
    EXPECT_FALSE(app.marked());
    app.palette(GLYF_STORE);
    EXPECT_EQ(app.record(1), before) << "the damaged glyph was stored over";
    EXPECT_EQ(app.run.dismiss_alerts(), 1);

    // Done again, the cleared glyph with its rectangle stores.
    app.redo();
    app.redo();
    EXPECT_EQ(app.contours(), 1);
    app.palette(GLYF_STORE);
    EXPECT_TRUE(app.run.other_windows().empty());
    EXPECT_NE(app.record(1), before);
    glyph stored(1);
    app.run.window()->Lock();
    EXPECT_EQ(curfont->get_glyph(1, &stored), 0);
    app.run.window()->Unlock();
    EXPECT_EQ(stored.count, 1);
}

namespace {

// One random gesture: the tool it uses and its events at canvas positions,
// recorded so that it can be replayed exactly.
struct event {
    enum kind { press, move, release, key, clear } what;
    float x = 0, y = 0;
    uint32 buttons = 0, mods = 0;
};
struct recorded {
    int tool;
    std::vector<event> events;
};

void play(canvas_app& app, const recorded& g) {
    // Choosing the tool also drops any selection: every gesture starts
    // from the outline alone.
    app.tool(g.tool);
    for (const event& e : g.events) {
        switch (e.what) {
        case event::press:
            app.press(e.x, e.y, e.buttons, e.mods);
            break;
        case event::move:
            app.move(e.x, e.y, e.buttons, e.mods);
            break;
        case event::release:
            app.release(e.x, e.y, e.mods);
            break;
        case event::key:
            app.key("\x7f");
            break;
        case event::clear:
            app.palette(GLYF_CLEAR);
            break;
        }
    }
}

// A random gesture over the glyph as it is: mostly at its points, so that
// something is taken, with drags kept inside the canvas.
recorded random_gesture(std::mt19937& rng, const canvas_outline& now) {
    auto pick = [&](int n) { return (int)(rng() % (unsigned)n); };
    auto coord = [&] { return (float)(40 + pick(320)); };
    std::vector<BPoint> points;
    for (const canvas_contour& c : now)
        points.insert(points.end(), c.points.begin(), c.points.end());
    auto target = [&] {
        if (!points.empty() && pick(4) != 0) {
            BPoint p = points[(size_t)pick((int)points.size())];
            return BPoint(std::trunc(p.x), std::trunc(p.y));
        }
        return BPoint(coord(), coord());
    };
    auto inside = [](float v) { return std::min(380.0f, std::max(20.0f, v)); };
    recorded g{0, {}};
    auto drag = [&](BPoint from, BPoint to, uint32 buttons, uint32 mods) {
        g.events.push_back({event::press, from.x, from.y, buttons, mods});
        for (int i = 1; i <= 3; i++)
            g.events.push_back({event::move, from.x + (to.x - from.x) * i / 3,
                                from.y + (to.y - from.y) * i / 3, buttons, mods});
        g.events.push_back({event::release, to.x, to.y, 0, mods});
    };
    BPoint from = target();
    BPoint to(inside(from.x + (float)(pick(81) - 40)), inside(from.y + (float)(pick(81) - 40)));
    int kind = pick(9);
    // The pick tool's edits act on the selection: a click selects what
    // lies under the position first.
    if (kind <= 5) {
        g.events.push_back({event::press, from.x, from.y, 1, 0});
        g.events.push_back({event::release, from.x, from.y, 0, 0});
    }
    switch (kind) {
    case 0: // a contour or point drag
    case 1:
        drag(from, to, 1, 0);
        break;
    case 2: // deletion of a point
        drag(from, from, 2, 0);
        break;
    case 3: // toggle
        drag(from, from, 1, B_COMMAND_KEY);
        break;
    case 4: // insertion or duplication
        drag(from, to, 4, 0);
        break;
    case 5: // a click, then the Delete key
        drag(from, from, 1, 0);
        g.events.push_back({event::key});
        break;
    case 6: // rectangle or ellipse
        g.tool = 2 + pick(2);
        drag(BPoint(coord(), coord()), BPoint(coord(), coord()), 1, 0);
        break;
    case 7: // free hand
        g.tool = 1;
        drag(BPoint(coord(), coord()), BPoint(coord(), coord()), 1, 0);
        break;
    default:
        if (pick(4) == 0)
            g.events.push_back({event::clear});
        else
            drag(BPoint(coord(), coord()), BPoint(coord(), coord()), 1, 0); // rubber band
        break;
    }
    return g;
}

} // namespace

TEST(CanvasUndo, RandomGesturesUndosAndRedosLeaveWhatReplayingTheRemainingGesturesGives) {
    std::string dir = temp_dir();
    std::string path = squares_font(dir);
    ASSERT_FALSE(path.empty());
    canvas_app app(path);
    ASSERT_NE(app.editor, nullptr);
    const canvas_outline stored = app.outline();

    for (unsigned seed : {11u, 29u, 47u}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        // The gestures in effect and those undone, as the canvas keeps them;
        // a gesture that changed nothing is no step.
        std::vector<recorded> done, undone;
        int nundo = 0, nredo = 0;
        size_t nsteps = 0;
        for (int i = 0; i < 50; i++) {
            unsigned r = rng() % 10;
            if (r < 2 && !done.empty()) {
                app.undo();
                nundo++;
                undone.push_back(done.back());
                done.pop_back();
            } else if (r < 3 && !undone.empty()) {
                app.redo();
                nredo++;
                done.push_back(undone.back());
                undone.pop_back();
            } else {
                recorded g = random_gesture(rng, app.outline());
                canvas_outline before = app.outline();
                play(app, g);
                if (app.outline() != before) {
                    done.push_back(g);
                    nsteps++;
                    undone.clear();
                }
            }
            if (!app.run.other_windows().empty())
                app.run.dismiss_alerts();
        }
        // The sequence took and undid steps enough to mean something.
        EXPECT_GT(nsteps, 10u);
        EXPECT_GT(nundo, 3);
        EXPECT_GT(nredo, 0);
        canvas_outline result = app.outline();
        expect_repaint_equal(app, "after the random sequence");
        EXPECT_EQ(app.marked(), result != stored);

        // "set", then the glyph's record from the font.
        app.tool(0);
        app.palette(GLYF_STORE);
        std::vector<unsigned char> record = app.record(1);

        // Undo of the store shows the glyph as read; the gestures still
        // in effect, replayed on it, give the same outline and record.
        app.undo();
        ASSERT_EQ(app.outline(), stored);
        for (const recorded& g : done) {
            play(app, g);
            if (!app.run.other_windows().empty())
                app.run.dismiss_alerts();
        }
        EXPECT_EQ(app.outline(), result) << done.size() << " gestures replayed";
        app.tool(0);
        app.palette(GLYF_STORE);
        EXPECT_EQ(app.record(1), record);
        // The next round starts from the glyph as read.
        app.undo();
        ASSERT_EQ(app.outline(), stored);
    }
}
