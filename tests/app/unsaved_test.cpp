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

std::string title(running_app& run) {
    run.window()->Lock();
    std::string t = run.window()->Title();
    run.window()->Unlock();
    return t;
}

bool marked(running_app& run) {
    std::string t = title(run);
    return t.size() >= 2 && t.compare(t.size() - 2, 2, " *") == 0;
}

// An edit through the maxp view: a value typed into its field and Enter.
void edit_font(running_app& run, const char* text) {
    run.choose(run.index_of("maxp"));
    type_stack_elements(run, text);
}

// Waits for the save question (the application's thread waits in it, so
// there is no waiting for idle while it may be up).
BWindow* wait_question(running_app& run) {
    for (int i = 0; i < 500; i++) {
        if (BWindow* q = run.save_question())
            return q;
        snooze(10000);
    }
    return nullptr;
}

// Answers the question with a key and waits until it is gone.
void answer(running_app& run, BWindow* question, const char* key, int32 code = 0) {
    screen().key_down(question, key, code);
    for (int i = 0; i < 500 && run.save_question(); i++)
        snooze(10000);
    run.idle();
}

std::vector<std::string> button_labels(BWindow* question) {
    std::vector<std::string> labels;
    BAlert* alert = dynamic_cast<BAlert*>(question);
    for (int32 i = 0; alert && i < alert->CountButtons(); i++)
        labels.push_back(alert->ButtonAt(i)->Label());
    return labels;
}

} // namespace

TEST(Unsaved, TheTitleMarksChangesUntilSavedOrUndoneBackToTheSavedState) {
    std::string path = copy_of(DEJAVU, temp_dir());
    running_app run({path});
    EXPECT_FALSE(marked(run)) << title(run);
    edit_font(run, "1234");
    EXPECT_TRUE(marked(run)) << title(run);
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
    BMessenger(editor).SendMessage(&choose);
    run.idle();
    EXPECT_FALSE(marked(run)) << "the glyph read again from the font";

    // Quitting with the cleared canvas asks too.
    BMessenger(editor).SendMessage(GLYF_CLEAR);
    run.idle();
    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    BWindow* question = wait_question(run);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(std::string(dynamic_cast<BAlert*>(question)->Text()).find("not stored"),
              std::string::npos);
    answer(run, question, "d");
    EXPECT_TRUE(run.join());
}

TEST(Unsaved, QuitAsksCancelKeepsTheFontAndSaveWritesItBeforeQuitting) {
    std::string path = copy_of(DEJAVU, temp_dir());
    const unsigned original = stack_elements(path);
    running_app run({path});
    edit_font(run, "1234");

    be_app_messenger.SendMessage(B_QUIT_REQUESTED);
    BWindow* question = wait_question(run);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(button_labels(question), (std::vector<std::string>{"Cancel", "Don't save", "Save"}));
    answer(run, question, "\x1b", B_ESCAPE);
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
    question = wait_question(run);
    ASSERT_NE(question, nullptr);
    answer(run, question, "\n", B_ENTER);
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
    BWindow* question = wait_question(run);
    ASSERT_NE(question, nullptr);
    answer(run, question, "\x1b", B_ESCAPE);
    EXPECT_EQ(curfont, font) << "Cancel keeps the font";
    EXPECT_TRUE(run.app->fontshown());
    EXPECT_EQ(stack_elements(run), 0x1234u);

    screen().drop_files(run.window(), BPoint(200, 300), {other});
    question = wait_question(run);
    ASSERT_NE(question, nullptr);
    answer(run, question, "\x1b", B_ESCAPE);
    EXPECT_EQ(curfont, font);
    EXPECT_EQ(run.app->filepath(), path);

    screen().drop_files(run.window(), BPoint(200, 300), {other});
    question = wait_question(run);
    ASSERT_NE(question, nullptr);
    answer(run, question, "d");
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
