// Faces of a collection through the application: the command line's
// "#N", the question that lists the faces, a collection of one, the
// title (and that of the windows showing the face another way), "Save"
// writing the whole collection back (byte for byte while the face is as
// opened, its changed tables copied for it alone once edited) and "Save as"
// of the face alone.
#include "app_test_support.h"
#include "edit_support.h"

#include "app/face_chooser.h"
#include "font/collection.h"

#include <InterfaceDefs.h>

using namespace app_testing;
using namespace testing_support;

namespace {

long face_shown(running_app& run) {
    run.window()->Lock();
    long face = run.app->fontshown() ? run.window()->face : -2;
    run.window()->Unlock();
    return face;
}

BWindow* wait_window(running_app& run, const char* name) {
    for (int i = 0; i < 500; i++) {
        for (BWindow* w : run.other_windows())
            if (w->Thread() >= 0 && strcmp(w->Title(), name) == 0)
                return w;
        snooze(10000);
    }
    return nullptr;
}

// Whether every window that shows the font another way (the glyph
// overview, the text preview, the check window) comes to name it `label`
// within thirty seconds (a loaded machine checks slowly), as the main window
// does.
bool windows_name_the_font(running_app& run, const std::string& label) {
    for (const char* kind : {"Glyphs", "Preview", "Check"}) {
        const std::string title = std::string(kind) + " \u2014 " + label;
        bool found = false;
        for (int i = 0; i < 3000 && !found; i++) {
            for (BWindow* w : run.other_windows()) {
                if (w->Lock()) {
                    found = found || title == w->Title();
                    w->Unlock();
                }
            }
            if (!found)
                snooze(10000);
        }
        if (!found) {
            ADD_FAILURE() << "no window titled \"" << title << "\"";
            return false;
        }
    }
    return true;
}

void ots_and_freetype_read_every_face(const std::string& path, int faces) {
    for (int f = 0; f < faces; f++) {
        std::string out;
        EXPECT_EQ(run_command(
                      "ots-sanitize '" + path + "' /dev/null " + std::to_string(f) + " 2>&1", &out),
                  0)
            << f << ": " << out;
        EXPECT_EQ(
            run_command(std::string(TAVREL_FT_CHECK) + " '" + path + "#" + std::to_string(f) + "'",
                        &out),
            0)
            << f << ": " << out;
    }
}

} // namespace

TEST(CollectionApp, OpensTheNamedFaceTheOnlyFaceOrRefuses) {
    std::string three = build_three_faces();
    std::string one = build_collection(
        "one.ttc", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf");
    ASSERT_FALSE(three.empty());
    ASSERT_FALSE(one.empty());
    {
        running_app run({three + "#2"});
        EXPECT_EQ(face_shown(run), 2);
        EXPECT_EQ(run.title(), "three.ttc #2 \u2014 tavrel");
        EXPECT_EQ(run.app->filepath(), three);
    }
    {
        running_app run({one});
        EXPECT_EQ(face_shown(run), 0);
        EXPECT_EQ(run.title(), "one.ttc #0 \u2014 tavrel");
    }
    {
        // Past the last face: refused with a message, nothing opened.
        running_app run({three + "#3"}, false);
        EXPECT_EQ(run.dismiss_alerts(), 1);
        EXPECT_EQ(face_shown(run), -2);
    }
}

TEST(CollectionApp, AsksWhichFaceListingTheirNames) {
    std::string three = build_three_faces();
    for (bool cancel : {false, true}) {
        running_app run({three}, false);
        BWindow* question = wait_window(run, FACE_CHOOSER_TITLE);
        ASSERT_NE(question, nullptr);
        if (cancel) {
            screen().key_down(question, "\x1b", B_ESCAPE);
        } else {
            screen().key_down(question, "\x1f", B_DOWN_ARROW);
            screen().key_down(question, "\n", B_ENTER);
        }
        for (int i = 0; i < 500 && run.listed(question); i++)
            snooze(10000);
        run.idle();
        EXPECT_EQ(face_shown(run), cancel ? -2 : 1);
        if (!cancel) {
            EXPECT_EQ(run.title(), "three.ttc #1 \u2014 tavrel");
        }
    }
}

TEST(CollectionApp, SaveWritesTheWholeCollectionAndSaveAsTheFaceAlone) {
    std::string original = build_three_faces("original.ttc");
    // A copy: fontTools stamps head's dates when it builds a collection.
    std::string path = temp_dir() + "/edited.ttc";
    ASSERT_TRUE(write_file(path, read_file(original)));
    running_app run({path + "#2"});
    ASSERT_EQ(face_shown(run), 2);
    for (const char* key : {"g", "p", "k"})
        command_key(run, key);
    EXPECT_TRUE(windows_name_the_font(run, "edited.ttc #2"));
    // As opened: the file is written again byte for byte.
    command_key(run, "s");
    EXPECT_EQ(read_file(path), read_file(original));

    run.choose(run.index_of("maxp"));
    type_stack_elements(run, "77");
    command_key(run, "s");
    EXPECT_EQ(collection_differences(original, path), "faces 3\n2 maxp changed\n");
    {
        BFile file(path.c_str(), B_READ_ONLY);
        font_collection c;
        ASSERT_EQ(c.read(file), 0) << c.error();
        EXPECT_NE(c.faces()[0].find(tag_of("maxp"))->offset,
                  c.faces()[2].find(tag_of("maxp"))->offset);
        EXPECT_EQ(c.faces()[0].find(tag_of("glyf"))->offset,
                  c.faces()[2].find(tag_of("glyf"))->offset);
    }
    EXPECT_EQ(stack_elements(run), 0x77u);
    ots_and_freetype_read_every_face(path, 3);

    // "Save as", the face alone: a font of its own, which the window then edits.
    const std::string dir = temp_dir();
    BMessage save(B_SAVE_REQUESTED);
    entry_ref folder(dir.c_str());
    save.AddRef("directory", &folder);
    save.AddString("name", "alone.ttf");
    be_app_messenger.SendMessage(&save);
    BWindow* ask = run.wait_question("Save the whole collection");
    ASSERT_NE(ask, nullptr);
    run.answer(ask, "f");
    std::string alone = dir + "/alone.ttf";
    EXPECT_EQ(stack_elements(alone), 0x77u);
    EXPECT_EQ(collection_differences(path + "#2", alone), "faces 1\n");
    EXPECT_EQ(face_shown(run), -1);
    EXPECT_EQ(run.title(), "alone.ttf \u2014 tavrel");
    EXPECT_TRUE(windows_name_the_font(run, "alone.ttf"));
}
