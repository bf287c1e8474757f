// Copies of unsaved changes kept for a program that does not end normally:
// when they are written and removed, that a running program's copy is
// never offered to another, that damaged or foreign files in the folder
// are never offered (nor touched), and the offer at start: "Recover" opens
// the copy as unsaved changes of its file, which "Save" then writes;
// "Discard" removes it.
#include "edit_support.h"

#include "app/messages.h"
#include "app/recovery.h"
#include "font/history.h"

#include <sys/stat.h>

#include <algorithm>
#include <memory>

using namespace app_testing;
using namespace testing_support;

namespace {

// The one file with `suffix` in `dir`, "" when there is none. A file
// being written (a hidden temporary one) does not count.
std::string file_with(const std::string& dir, const std::string& suffix) {
    for (const std::string& name : folder_entries(dir))
        if (name[0] != '.' && name.size() > suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return dir + "/" + name;
    return "";
}

// Waits up to five seconds for `done`.
template <typename Test> bool eventually(Test done) {
    for (int i = 0; i < 500 && !done(); i++)
        snooze(10000);
    return done();
}

// A font as the program holds one: loaded, with a history.
struct held_font {
    std::string path;
    ttf font;
    explicit held_font(const std::string& file) : path(file) {
        BFile f(path.c_str(), B_READ_ONLY);
        font.load(f);
        font.start_history()->mark_saved();
    }
    void set_stack(unsigned value) {
        font.maxp->checkpoint("maxStackElements");
        font.maxp->writer().put16(MAX_STACK_ELEMENTS, (uint16)value);
    }
};

// maxStackElements in a recovery copy; 0xFFFFFFFF when it does not load.
unsigned copy_stack(const std::string& path) {
    BFile f(path.c_str(), B_READ_ONLY);
    ttf copy;
    if (f.InitCheck() != B_OK || copy.load(f) != 0)
        return 0xFFFFFFFF;
    return copy.maxp->bytes().u16(MAX_STACK_ELEMENTS);
}

// A copy left as a killed program leaves it: kept, then the program gone
// without ending.
void leave_copy(const std::string& folder, const std::string& font, unsigned stack) {
    held_font held(font);
    held.set_stack(stack);
    auto keeper = std::make_unique<recovery>(folder);
    keeper->pulse(&held.font, font);
    ASSERT_TRUE(eventually([&] { return copy_stack(file_with(folder, ".ttf")) == stack; }));
}

// The question at start, once it is up; null when none comes.
BAlert* offer(running_app& run) {
    BAlert* found = nullptr;
    eventually([&] {
        for (BWindow* w : run.other_windows()) {
            BAlert* alert = dynamic_cast<BAlert*>(w);
            if (!alert || alert->Thread() < 0)
                continue;
            alert->Lock();
            if (strstr(alert->Text(), "did not end normally"))
                found = alert;
            alert->Unlock();
        }
        return found != nullptr;
    });
    return found;
}

} // namespace

TEST(Recovery, CopyFollowsTheUnsavedChangesAndIsOfferedOnlyOnceItsProgramIsGone) {
    std::string dir = temp_dir();
    std::string folder = dir + "/state/tavrel";
    std::string path = copy_of(DEJAVU, dir);
    held_font held(path);
    auto keeper = std::make_unique<recovery>(folder);
    recovery other(folder);

    // No changes: nothing is written, not even the folder.
    keeper->pulse(&held.font, path);
    snooze(200000);
    EXPECT_FALSE(file_exists(folder));

    // A change: the copy holds it and makes a whole font file.
    held.set_stack(0x1111);
    keeper->pulse(&held.font, path);
    ASSERT_TRUE(eventually([&] { return copy_stack(file_with(folder, ".ttf")) == 0x1111; }));
    std::vector<unsigned char> copy = read_file(file_with(folder, ".ttf"));
    EXPECT_EQ(byte_span(copy.data(), copy.size()).sum32(), 0xB1B0AFBAu);
    std::string output;
    EXPECT_EQ(run_command("ots-sanitize " + file_with(folder, ".ttf"), &output), 0) << output;
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Its program runs: another one is not offered the copy.
    EXPECT_TRUE(other.left_copies().empty());

    // Within the interval a new change waits; after it, it is copied.
    held.set_stack(0x2222);
    keeper->pulse(&held.font, path);
    snooze(300000);
    EXPECT_EQ(copy_stack(file_with(folder, ".ttf")), 0x1111u);
    keeper->interval = 0;
    keeper->pulse(&held.font, path);
    EXPECT_TRUE(eventually([&] { return copy_stack(file_with(folder, ".ttf")) == 0x2222; }));

    // Saved: the copy goes, the session's lock stays; changed again, it
    // comes back.
    held.font.history()->mark_saved();
    keeper->pulse(&held.font, path);
    EXPECT_TRUE(eventually([&] { return folder_entries(folder).size() == 1; }));
    EXPECT_NE(file_with(folder, ".lock"), "");
    held.set_stack(0x3333);
    keeper->pulse(&held.font, path);
    EXPECT_TRUE(eventually([&] { return copy_stack(file_with(folder, ".ttf")) == 0x3333; }));

    // The program is killed: its copy is offered, with the file it
    // belongs to; discarded, nothing is left.
    keeper.reset();
    std::vector<recovery::left> left = other.left_copies();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].original, path);
    EXPECT_EQ(copy_stack(left[0].fontpath), 0x3333u);
    // Held by the program that offers it, it is not offered to a third.
    EXPECT_TRUE(recovery(folder).left_copies().empty());
    other.discard(left[0]);
    EXPECT_TRUE(folder_entries(folder).empty());

    // A program that ends normally leaves nothing either.
    keeper = std::make_unique<recovery>(folder);
    keeper->pulse(&held.font, path);
    ASSERT_TRUE(eventually([&] { return file_with(folder, ".ttf") != ""; }));
    keeper->end();
    EXPECT_TRUE(folder_entries(folder).empty());
}

TEST(Recovery, DamagedOrForeignFilesAreNeitherOfferedNorTouched) {
    std::string dir = temp_dir();
    std::string font = copy_of(LIBERATION, dir);
    std::string text =
        "tavrel recovery 1\noriginal " + std::to_string(font.size()) + "\n" + font + "\n";
    auto bytes = [](const std::string& s) {
        return std::vector<unsigned char>(s.begin(), s.end());
    };
    struct damage {
        const char* label;
        std::function<void(const std::string& info, const std::string& copy)> apply;
        size_t offered;
    } const cases[] = {
        {"a whole copy", [](const std::string&, const std::string&) {}, 1},
        {"another version",
         [&](const std::string& info, const std::string&) {
             std::string t = text;
             t[16] = '2';
             write_file(info, bytes(t));
         },
         0},
        {"a length past the end",
         [&](const std::string& info, const std::string&) {
             write_file(info, bytes("tavrel recovery 1\noriginal 999\n/x\n"));
         },
         0},
        {"a length short of the end",
         [&](const std::string& info, const std::string&) {
             write_file(info, bytes(text + "x\n"));
         },
         0},
        {"a length that is no number",
         [&](const std::string& info, const std::string&) {
             write_file(info, bytes("tavrel recovery 1\noriginal 1x\n/\n"));
         },
         0},
        {"a huge length",
         [&](const std::string& info, const std::string&) {
             write_file(info, bytes("tavrel recovery 1\noriginal 99999999999999999999\n/\n"));
         },
         0},
        {"an empty info",
         [&](const std::string& info, const std::string&) { write_file(info, {}); }, 0},
        {"an info too large",
         [&](const std::string& info, const std::string&) {
             write_file(info, std::vector<unsigned char>(70000, 'x'));
         },
         0},
        {"an info that is a folder",
         [&](const std::string& info, const std::string&) {
             unlink(info.c_str());
             mkdir(info.c_str(), 0700);
         },
         0},
        {"no font copy", [&](const std::string&, const std::string& copy) { unlink(copy.c_str()); },
         0},
        {"a font copy cut short",
         [&](const std::string&, const std::string& copy) {
             std::vector<unsigned char> b = read_file(copy);
             b.resize(b.size() - 4);
             write_file(copy, b);
         },
         0},
        {"a byte of the font copy changed",
         [&](const std::string&, const std::string& copy) {
             std::vector<unsigned char> b = read_file(copy);
             b[b.size() / 2] ^= 1;
             write_file(copy, b);
         },
         0},
        {"a font copy that is no font",
         [&](const std::string&, const std::string& copy) { write_file(copy, bytes("hello")); }, 0},
        {"a name that is not an id",
         [&](const std::string& info, const std::string& copy) {
             std::string folder = info.substr(0, info.rfind('/'));
             rename(info.c_str(), (folder + "/Notes.info").c_str());
             rename(copy.c_str(), (folder + "/Notes.ttf").c_str());
         },
         0},
    };
    for (const damage& d : cases) {
        SCOPED_TRACE(d.label);
        std::string folder = temp_dir();
        leave_copy(folder, font, 0x4444);
        d.apply(file_with(folder, ".info"), file_with(folder, ".ttf"));
        std::vector<std::string> before = folder_entries(folder);
        recovery offerer(folder);
        EXPECT_EQ(offerer.left_copies().size(), d.offered);
        EXPECT_EQ(folder_entries(folder), before);
    }
}

TEST(Recovery, RecoverOpensTheCopyAsChangesOfItsFileAndSaveWritesThem) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    std::string folder = recovery::default_folder();
    ASSERT_EQ(folder, std::string(getenv("XDG_STATE_HOME")) + "/tavrel");
    leave_copy(folder, path, 0x5555);

    auto started = std::make_unique<running_app>(std::vector<std::string>{}, false);
    running_app& run = *started;
    BAlert* ask = offer(run);
    ASSERT_NE(ask, nullptr);
    ask->Lock();
    EXPECT_NE(std::string(ask->Text()).find(path), std::string::npos) << ask->Text();
    ask->Unlock();
    screen().key_down(ask, "\n", B_ENTER);
    run.idle();
    EXPECT_EQ(run.app->filepath(), path);
    EXPECT_EQ(stack_elements(run), 0x5555u);
    run.window()->Lock();
    EXPECT_TRUE(run.window()->unsaved());
    EXPECT_EQ(std::string(run.window()->Title()),
              path.substr(path.rfind('/') + 1) + " \u2014 tavrel *");
    run.window()->Unlock();
    EXPECT_NE(stack_elements(path), 0x5555u);

    command_key(run, "s");
    EXPECT_EQ(stack_elements(path), 0x5555u);
    // Saved: the copy it was recovered from goes too.
    EXPECT_TRUE(eventually([&] { return file_with(folder, ".ttf").empty(); }));
    started.reset();
    EXPECT_TRUE(folder_entries(folder).empty());
}

TEST(Recovery, DiscardRemovesTheCopyAndOpensNothing) {
    std::string dir = temp_dir();
    std::string path = copy_of(DEJAVU, dir);
    std::string folder = recovery::default_folder();
    leave_copy(folder, path, 0x6666);
    std::vector<unsigned char> before = read_file(path);

    running_app run({}, false);
    BAlert* ask = offer(run);
    ASSERT_NE(ask, nullptr);
    screen().key_down(ask, "d");
    run.idle();
    EXPECT_EQ(curfont, nullptr);
    EXPECT_TRUE(folder_entries(folder).empty());
    EXPECT_TRUE(read_file(path) == before);
}
