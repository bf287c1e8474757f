// Unsaved changes: the title marks them, undoing back to the saved state
// clears the mark, and New, Open by a drop, Quit and the close box ask
// first: Cancel keeps everything, Don't save goes on, Save saves.
#include "edit_support.h"

#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "font/history.h"
#include "font/maxp.h"

#include <Alert.h>
#include <Button.h>
#include <Messenger.h>
#include <TextControl.h>

#include <cstring>

using namespace app_testing;
using namespace testing_support;

namespace {

bool marked(running_app& run) {
    std::string t = run.title();
    return t.size() >= 2 && t.compare(t.size() - 2, 2, " *") == 0;
}

// An edit through the maxp view: a value typed into its field and Enter.
void edit_font(running_app& run, const char* text) {
    run.choose(run.index_of("maxp"));
    type_stack_elements(run, text);
}

std::vector<std::string> button_labels(BWindow* question) {
    std::vector<std::string> labels;
    BAlert* alert = dynamic_cast<BAlert*>(question);
    for (int32 i = 0; alert && i < alert->CountButtons(); i++)
        labels.push_back(alert->ButtonAt(i)->Label());
    return labels;
}

} // namespace

TEST(Unsaved, TheTitleNamesTheFileAndMarksChangesUntilSavedOrUndoneBackToTheSavedState) {
    std::string path = copy_of(DEJAVU, temp_dir());
    const std::string name = path.substr(path.rfind('/') + 1);
    running_app run({path});
    EXPECT_EQ(run.title(), name + " \u2014 tavrel");
    edit_font(run, "1234");
    EXPECT_EQ(run.title(), name + " \u2014 tavrel *");
    command_key(run, "z");
    EXPECT_FALSE(marked(run)) << "undone back to the file's state";
    command_key(run, "Z", B_SHIFT_KEY);
    EXPECT_TRUE(marked(run));
    command_key(run, "s");
    EXPECT_FALSE(marked(run)) << "saved";
    command_key(run, "z");
    EXPECT_TRUE(marked(run)) << "undone past the saved state";
    command_key(run, "Z", B_SHIFT_KEY);
    EXPECT_FALSE(marked(run));
}

TEST(Unsaved, AGlyphWithCanvasEditsNotStoredCountsAsAChange) {
    std::string path = copy_of(DEJAVU, temp_dir());
    running_app run({path});
    run.choose(run.index_of("glyf"));
    BView* editor = nullptr;
    run.window()->Lock();
    editor = curfont->glyf->editview;
    run.window()->Unlock();
    BMessage choose(GLYF_CHANGE);
    choose.AddInt16("gno", 36);
    BMessenger(editor).SendMessage(&choose);
    run.idle();
    EXPECT_FALSE(marked(run));
    // The palette's "clr": the canvas is empty, the font unchanged.
    BMessenger(editor).SendMessage(GLYF_CLEAR);
    run.idle();
    EXPECT_TRUE(marked(run));
    // Choosing the glyph again would read it afresh: the editor asks
    // first, and "Discard" lets the edit go.
    BMessenger(editor).SendMessage(&choose);
    BWindow* discard = run.wait_question("not stored with");
    ASSERT_NE(discard, nullptr);
    run.answer(discard, "d");
    EXPECT_FALSE(marked(run)) << "the glyph read again from the font";

    // Quitting with the cleared canvas asks too.
    BMessenger(editor).SendMessage(GLYF_CLEAR);
    run.idle();
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    BWindow* question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    EXPECT_NE(std::string(dynamic_cast<BAlert*>(question)->Text()).find("not stored"),
              std::string::npos);
    run.answer(question, "d");
    EXPECT_TRUE(run.join());
}

TEST(Unsaved, QuitAsksCancelKeepsTheFontAndSaveWritesItBeforeQuitting) {
    std::string path = copy_of(DEJAVU, temp_dir());
    const unsigned original = stack_elements(path);
    running_app run({path});
    edit_font(run, "1234");

    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    BWindow* question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(button_labels(question), (std::vector<std::string>{"Cancel", "Don't save", "Save"}));
    run.answer(question, "\x1b", B_ESCAPE);
    BMessage reply;
    EXPECT_EQ(be_app_messenger.SendMessage('ping', &reply), B_OK)
        << "Cancel keeps the program running";
    EXPECT_TRUE(run.window()->Lock()) << "and its window";
    run.window()->Unlock();
    EXPECT_EQ(stack_elements(run), 0x1234u);
    EXPECT_TRUE(marked(run));
    EXPECT_EQ(stack_elements(path), original);

    // The close box asks the same; Enter is "Save".
    screen().close_window(run.window());
    question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    run.answer(question, "\n", B_ENTER);
    EXPECT_TRUE(run.join());
    EXPECT_EQ(stack_elements(path), 0x1234u);
}

TEST(Unsaved, NewAndADropAskBeforeGivingUpAChangedFont) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    std::string other = copy_of(LIBERATION, dir, "other.ttf");
    running_app run({path});
    edit_font(run, "1234");
    ttf* font = curfont;

    run.app->PostMessage('fine');
    BWindow* question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    run.answer(question, "\x1b", B_ESCAPE);
    EXPECT_EQ(curfont, font) << "Cancel keeps the font";
    EXPECT_TRUE(run.app->fontshown());
    EXPECT_EQ(stack_elements(run), 0x1234u);

    screen().drop_files(run.window(), BPoint(200, 300), {other});
    question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    run.answer(question, "\x1b", B_ESCAPE);
    EXPECT_EQ(curfont, font);
    EXPECT_EQ(run.app->filepath(), path);

    screen().drop_files(run.window(), BPoint(200, 300), {other});
    question = run.wait_question("Save the changes");
    ASSERT_NE(question, nullptr);
    run.answer(question, "d");
    for (int i = 0; i < 500 && run.app->filepath() != other; i++)
        snooze(10000);
    EXPECT_EQ(run.app->filepath(), other);
    EXPECT_FALSE(marked(run));
    EXPECT_EQ(stack_elements(path), stack_elements(std::string(DEJAVU))) << "nothing was saved";

    // Nothing changed in this one: New goes ahead without asking.
    run.app->PostMessage('fine');
    run.idle();
    EXPECT_EQ(run.save_question(), nullptr);
    EXPECT_FALSE(run.app->fontshown());
}
