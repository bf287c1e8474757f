// The Edit menu and the File menu's shortcuts, driven as a user does:
// an edit in a table view, Alt+Z and Shift+Alt+Z from the keyboard, the
// Edit menu's items clicked, Alt+S saving over the file that was opened.
#include "edit_support.h"

#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "font/history.h"
#include "font/maxp.h"
#include "outline/glyph.h"

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <TextControl.h>

using namespace app_testing;
using namespace testing_support;

namespace {

struct item_state {
    std::string label;
    bool enabled;
};

item_state state_of(running_app& run, BMenuItem* item) {
    item_state s;
    run.window()->Lock();
    s.label = item->Label();
    s.enabled = item->IsEnabled();
    run.window()->Unlock();
    return s;
}

} // namespace

TEST(EditMenu, AltZUndoesAFieldEditShiftAltZRedoesItAndAltSSavesOverTheFile) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    ASSERT_FALSE(path.empty());
    running_app run({path});
    BMenuItem* undo = run.window()->undoitem;
    BMenuItem* redo = run.window()->redoitem;
    EXPECT_FALSE(state_of(run, undo).enabled) << "nothing to undo in a font just opened";
    EXPECT_FALSE(state_of(run, redo).enabled);

    run.choose(run.index_of("maxp"));
    const unsigned original = stack_elements(run);
    type_stack_elements(run, "1234");
    ASSERT_EQ(stack_elements(run), 0x1234u);
    EXPECT_EQ(state_of(run, undo).label, "Undo maxStackElements");
    EXPECT_TRUE(state_of(run, undo).enabled);

    // The text field has the focus; Alt+Z is still the menu's.
    command_key(run, "z");
    EXPECT_EQ(stack_elements(run), original);
    EXPECT_EQ(state_of(run, redo).label, "Redo maxStackElements");
    EXPECT_TRUE(state_of(run, redo).enabled);
    EXPECT_FALSE(state_of(run, undo).enabled);
    EXPECT_EQ(state_of(run, undo).label, "Undo");

    command_key(run, "Z", B_SHIFT_KEY);
    EXPECT_EQ(stack_elements(run), 0x1234u);
    EXPECT_FALSE(state_of(run, redo).enabled);

    // The menu's items do the same when clicked.
    choose_edit_item(run, 0);
    EXPECT_EQ(stack_elements(run), original);
    choose_edit_item(run, 1);
    EXPECT_EQ(stack_elements(run), 0x1234u);

    // Alt+S writes the font over the file it came from.
    EXPECT_EQ(stack_elements(path), original);
    command_key(run, "s");
    EXPECT_EQ(stack_elements(path), 0x1234u);
    run.window()->Lock();
    bool changed = curfont->history()->changed();
    run.window()->Unlock();
    EXPECT_FALSE(changed);
    EXPECT_TRUE(run.other_windows().empty()) << "saving reported a failure";
}

TEST(EditMenu, TheFileMenuShowsItsShortcuts) {
    running_app run;
    BMenu* file = run.window()->menubar->SubmenuAt(0);
    std::vector<std::string> keys;
    run.window()->Lock();
    for (int32 i = 0; i < file->CountItems(); i++)
        keys.push_back(std::string(file->ItemAt(i)->Label()) + "=" +
                       file->ItemAt(i)->kit_shortcut_text());
    run.window()->Unlock();
    EXPECT_EQ(keys, (std::vector<std::string>{"New=Alt+N", "Open=Alt+O", "Open recent=",
                                              "Save=Alt+S", "Save as=", "About=",
                                              "Quit=Alt+Q"}));
    BMenu* edit = run.window()->menubar->SubmenuAt(1);
    run.window()->Lock();
    EXPECT_STREQ(edit->Name(), "Edit");
    EXPECT_EQ(edit->ItemAt(1)->kit_shortcut_text(), "Shift+Alt+Z");
    run.window()->Unlock();
}

TEST(EditMenu, SaveOfANewFontAsksForAName) {
    running_app run;
    // File > New, the set-up view's "set": a new font with no file.
    run.app->PostMessage('fine');
    run.idle();
    run.app->PostMessage('cfge');
    run.idle();
    for (int i = 0; i < 500 && !run.app->fontshown(); i++)
        snooze(10000);
    ASSERT_TRUE(run.app->fontshown());
    command_key(run, "s");
    BWindow* panel = nullptr;
    for (int i = 0; i < 500 && !panel; i++) {
        std::vector<BWindow*> up = run.other_windows();
        if (!up.empty())
            panel = up[0];
        else
            snooze(10000);
    }
    ASSERT_NE(panel, nullptr);
    run.idle();
    EXPECT_EQ(run.title(panel), "Save font as");
}

namespace {

// Sends the palette's request to the glyph editor of the font shown.
void palette(running_app& run, BMessage message) {
    BView* editor = nullptr;
    run.window()->Lock();
    editor = curfont->glyf->editview;
    run.window()->Unlock();
    BMessenger(editor).SendMessage(&message);
    run.idle();
}

struct canvas_glyph {
    int contours, components;
};

canvas_glyph on_canvas(running_app& run) {
    run.window()->Lock();
    canvas_glyph c{curglyph->count, curglyph->ncompo};
    run.window()->Unlock();
    return c;
}

} // namespace

TEST(EditMenu, UndoOfAGlyphStoreShowsTheGlyphAgainAfterTheCanvasStepsAreUndone) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    ASSERT_FALSE(path.empty());
    running_app run({path});
    run.choose(run.index_of("glyf"));
    BMessage choose(GLYF_CHANGE);
    choose.AddInt16("gno", 36);
    palette(run, choose);
    const int contours = on_canvas(run).contours;
    ASSERT_GT(contours, 0);

    palette(run, BMessage(GLYF_CLEAR));
    palette(run, BMessage(GLYF_STORE));
    EXPECT_EQ(state_of(run, run.window()->undoitem).label, "Undo glyph 0024");
    EXPECT_EQ(on_canvas(run).contours, 0);

    command_key(run, "z");
    EXPECT_EQ(on_canvas(run).contours, contours) << "the glyph as the font holds it again";
    command_key(run, "Z", B_SHIFT_KEY);
    EXPECT_EQ(on_canvas(run).contours, 0);

    // A component added on the canvas and not stored is the canvas's own
    // step: Alt+Z takes it back first, the next Alt+Z the glyph's store.
    BMessage add(GLYF_ADD_COMPONENT);
    add.AddInt16("sub", 5);
    palette(run, add);
    ASSERT_EQ(on_canvas(run).components, 1);
    EXPECT_EQ(state_of(run, run.window()->undoitem).label, "Undo component add");
    command_key(run, "z");
    EXPECT_EQ(on_canvas(run).components, 0);
    EXPECT_EQ(on_canvas(run).contours, 0);
    EXPECT_EQ(state_of(run, run.window()->undoitem).label, "Undo glyph 0024");
    command_key(run, "z");
    EXPECT_EQ(on_canvas(run).contours, contours);

    glyph stored(36);
    run.window()->Lock();
    ASSERT_EQ(curfont->get_glyph(36, &stored), 0);
    run.window()->Unlock();
    EXPECT_EQ(stored.count, contours) << "the font's glyph is back";
}
