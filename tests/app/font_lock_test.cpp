// The font is shared by the application's thread (saving, opening) and
// the main window's thread (the glyph editor storing and showing glyphs).
// Here both work at once: glyphs are cleared and stored from the window's
// thread while the application saves again and again. Every file written
// must load, pass the sanitiser, and hold the font as it was between two
// stores: the glyphs stored so far empty, the others as they were. And
// fonts are opened while the editor shows glyph after glyph: building the
// new font's views must leave the editor's glyph to the window's thread
// (the ThreadSanitizer build runs these).
#include "app_test_support.h"

#include "editor/glyfeditview.h"
#include "font/glyf.h"
#include "app/messages.h"
#include "outline/glyph.h"

#include <File.h>
#include <Messenger.h>

#include <thread>

using namespace app_testing;
using namespace testing_support;

namespace {

const int FIRST = 36; // DejaVuSans: "A" onwards, simple glyphs with outlines
const int STORES = 40;
const int SAVES = 24;

// Contour counts of glyphs FIRST .. FIRST + STORES - 1 in a font file;
// empty when the file does not load.
std::vector<int> contours_in(const std::string& path) {
    BFile file(path.c_str(), B_READ_ONLY);
    ttf font;
    if (file.InitCheck() != B_OK || font.load(file) != 0)
        return {};
    std::vector<int> counts;
    for (int g = FIRST; g < FIRST + STORES; g++) {
        glyph read(g);
        if (font.get_glyph(g, &read) != 0)
            return {};
        counts.push_back(read.count);
    }
    return counts;
}

} // namespace

TEST(FontLock, GlyphStoresInTheWindowWhileTheApplicationSavesGiveOnlyWholeFonts) {
    std::string dir = temp_dir();
    std::string path = dir + "/font.ttf";
    ASSERT_TRUE(write_file(path, read_file(DEJAVU)));
    std::vector<int> original = contours_in(path);
    ASSERT_EQ((int)original.size(), STORES);
    for (int c : original)
        ASSERT_GT(c, 0);

    running_app run({path});
    run.choose(run.index_of("glyf"));
    run.window()->Lock();
    BView* editor = curfont->glyf->editview;
    run.window()->Unlock();
    ASSERT_NE(editor, nullptr);

    // The palette's requests, as it sends them: pick a glyph, clear it,
    // store it. Each store splices a shorter record into glyf.
    std::thread palette([editor] {
        BMessenger to(editor);
        for (int i = 0; i < STORES; i++) {
            BMessage choose(GLYF_CHANGE);
            choose.AddInt16("gno", FIRST + i);
            to.SendMessage(&choose);
            to.SendMessage(GLYF_CLEAR);
            to.SendMessage(GLYF_STORE);
        }
    });
    // Meanwhile the save panel's requests reach the application.
    entry_ref folder(dir.c_str());
    for (int i = 0; i < SAVES; i++) {
        BMessage save(B_SAVE_REQUESTED);
        save.AddRef("directory", &folder);
        save.AddString("name", ("saved-" + std::to_string(i) + ".ttf").c_str());
        be_app_messenger.SendMessage(&save);
    }
    palette.join();
    // Two dozen saves of a large font take a while under a sanitiser: the
    // wait for idle is long, it ends as soon as the work is done.
    const bigtime_t WORK = 120000000;
    ASSERT_TRUE(screen().wait_idle(WORK));
    // One more once every store is in.
    BMessage last(B_SAVE_REQUESTED);
    last.AddRef("directory", &folder);
    last.AddString("name", "saved-last.ttf");
    be_app_messenger.SendMessage(&last);
    ASSERT_TRUE(screen().wait_idle(WORK));
    EXPECT_EQ(run.other_windows().size(), 0u) << "no save failed";

    std::vector<std::string> names;
    for (int i = 0; i < SAVES; i++)
        names.push_back("saved-" + std::to_string(i) + ".ttf");
    names.push_back("saved-last.ttf");
    for (const std::string& name : names) {
        std::string saved = dir + "/" + name;
        std::vector<int> counts = contours_in(saved);
        ASSERT_EQ((int)counts.size(), STORES) << name << " does not load";
        // The glyphs are stored in order: a prefix is empty, the rest whole.
        int stored = 0;
        while (stored < STORES && counts[stored] == 0)
            stored++;
        for (int k = stored; k < STORES; k++)
            EXPECT_EQ(counts[k], original[k]) << name << ": glyph " << FIRST + k;
        if (name == "saved-last.ttf") {
            EXPECT_EQ(stored, STORES);
        }
        std::string output;
        EXPECT_EQ(run_command("ots-sanitize " + saved, &output), 0) << name << ": " << output;
    }
}

TEST(FontLock, OpeningAFontWhileTheEditorShowsGlyphsLeavesItsGlyphToTheWindow) {
    std::string dir = temp_dir();
    const std::string fonts[2] = {dir + "/a.ttf", dir + "/b.ttf"};
    // Each font's glyph with the most points (852 and 338): the longer a
    // glyph takes to read, the likelier a sanitizer sees the two threads
    // meet.
    const int16 largest[2] = {3803, 2193};
    ASSERT_TRUE(write_file(fonts[0], read_file(DEJAVU)));
    ASSERT_TRUE(write_file(fonts[1], read_file(LIBERATION)));
    running_app run({fonts[0]});
    for (int round = 0; round < 24; round++) {
        // The messenger is made while the editor surely exists: the
        // thread may start only after the other font replaced it.
        BMessenger to;
        kit_testing::locked(run.window(), [&] { to = BMessenger(curfont->glyf->editview); });
        // The palette's requests for glyph after glyph, each read into a
        // new glyph in the window's thread, while the application builds
        // the other font's tables and views. Requests that reach the
        // editor once its font is gone fail at the messenger.
        std::thread palette([to, gno = largest[round % 2]] {
            for (int i = 0; i < 2000; i++) {
                BMessage choose(GLYF_CHANGE);
                choose.AddInt16("gno", gno);
                if (to.SendMessage(&choose) != B_OK)
                    break;
            }
        });
        snooze(2000);
        const std::string& next = fonts[(round + 1) % 2];
        entry_ref ref(next.c_str());
        BMessage open(B_REFS_RECEIVED);
        open.AddRef("refs", &ref);
        be_app_messenger.SendMessage(&open);
        palette.join();
        ASSERT_TRUE(screen().wait_idle(60000000));
        ASSERT_EQ(run.app->filepath(), next);
        EXPECT_EQ(run.other_windows().size(), 0u) << "nothing was refused or asked";
    }
}

// Glyphs stored while "Save" writes the file they came from: after each
// save, the title's mark is shown exactly when the font differs from the
// file. A store that lands after the bytes were read is not in the file
// and must leave the mark; one before it is, and must not. The delay
// between the two requests moves the stores across the whole save.
TEST(FontLock, AfterEachSaveWithStoresRacingItTheMarkSaysWhetherTheFileDiffers) {
    std::string dir = temp_dir();
    std::string path = dir + "/font.ttf";
    ASSERT_TRUE(write_file(path, read_file(DEJAVU)));
    running_app run({path});
    run.choose(run.index_of("glyf"));
    run.window()->Lock();
    BView* editor = curfont->glyf->editview;
    run.window()->Unlock();
    BMessenger to(editor);

    int differed = 0, matched = 0;
    for (int round = 0; round < STORES; round++) {
        be_app_messenger.SendMessage(MSG_SAVE);
        snooze((round % 8) * 250);
        BMessage choose(GLYF_CHANGE);
        choose.AddInt16("gno", FIRST + round);
        to.SendMessage(&choose);
        to.SendMessage(GLYF_CLEAR);
        to.SendMessage(GLYF_STORE);
        run.idle();

        std::vector<int> file = contours_in(path);
        ASSERT_EQ((int)file.size(), STORES) << "round " << round << ": the file does not load";
        // The font holds glyphs FIRST .. FIRST + round empty.
        bool differs = file[round] != 0;
        for (int k = 0; k < round; k++)
            ASSERT_EQ(file[k], 0) << "round " << round << ": an earlier store is missing";
        run.window()->Lock();
        std::string title = run.window()->Title();
        run.window()->Unlock();
        bool marked = title.size() > 2 && title.compare(title.size() - 2, 2, " *") == 0;
        EXPECT_EQ(marked, differs) << "round " << round << ": \"" << title << "\"";
        (differs ? differed : matched)++;
        // The next round starts from a saved font.
        be_app_messenger.SendMessage(MSG_SAVE);
        run.idle();
    }
    std::printf("stores after the bytes were read: %d, before: %d\n", differed, matched);
}
