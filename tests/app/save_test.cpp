// Saving through the application: what the file holds, an edit in the
// maxp view reaching it, and a save that fails leaving the old file as it
// was with an alert naming it.
#include "app_test_support.h"

#include "app/messages.h"
#include "font/bytes.h"
#include "font/maxp.h"

#include <TextControl.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/xattr.h>

using namespace app_testing;
using namespace testing_support;

namespace {

// As the save panel asks; `settle` waits for the save to be done, which
// must not be waited for when an alert is expected.
void request_save(running_app& run, const std::string& dir, const char* name, bool settle = true) {
    BMessage save(B_SAVE_REQUESTED);
    entry_ref folder(dir.c_str());
    save.AddRef("directory", &folder);
    save.AddString("name", name);
    be_app_messenger.SendMessage(&save);
    if (settle)
        run.idle();
}

void request_open(running_app& run, const std::string& path) {
    BMessage open(B_REFS_RECEIVED);
    entry_ref ref(path.c_str());
    open.AddRef("refs", &ref);
    be_app_messenger.SendMessage(&open);
    run.idle();
}

// Where a table lies in a font file, by the directory; -1 when absent.
long table_offset(const std::vector<unsigned char>& f, const char* tag) {
    int n = f[4] << 8 | f[5];
    for (int i = 0; i < n; i++) {
        const unsigned char* e = &f[12 + 16 * i];
        if (memcmp(e, tag, 4) == 0)
            return (long)e[8] << 24 | (long)e[9] << 16 | (long)e[10] << 8 | e[11];
    }
    return -1;
}

void type(running_app& run, const char* text) {
    for (const char* p = text; *p; p++) {
        char key[2] = {*p, 0};
        screen().key_down(run.window(), key, 0);
        screen().key_up(run.window(), key, 0);
    }
    run.idle();
}

} // namespace

TEST(Save, SavedFontReloadsAndSavesToTheSameBytes) {
    std::string dir = temp_dir();
    running_app run({DEJAVU});
    testing::internal::CaptureStdout();
    request_save(run, dir, "a.ttf");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("tavrel:save\n"), std::string::npos);
    EXPECT_NE(out.find("ttf:save\n"), std::string::npos);
    ASSERT_TRUE(file_exists(dir + "/a.ttf"));

    request_open(run, dir + "/a.ttf");
    request_save(run, dir, "b.ttf");
    std::vector<unsigned char> a = read_file(dir + "/a.ttf");
    std::vector<unsigned char> b = read_file(dir + "/b.ttf");
    ASSERT_EQ(a.size(), b.size());
    // Only the modified date and the checksum adjustment may differ (a
    // second may have passed between the saves).
    long head = table_offset(a, "head");
    ASSERT_GT(head, 0);
    for (long i : {head + 8, head + 9, head + 10, head + 11})
        a[i] = b[i] = 0;
    for (long i = head + 28; i < head + 36; i++)
        a[i] = b[i] = 0;
    // So may head's checksum in the directory, which covers the date.
    int tables = a[4] << 8 | a[5];
    for (int k = 0; k < tables; k++) {
        size_t e = 12 + 16 * k;
        if (memcmp(&a[e], "head", 4) == 0) {
            for (size_t i = e + 4; i < e + 8; i++)
                a[i] = b[i] = 0;
        }
    }
    EXPECT_TRUE(a == b);
    // Nothing but the two fonts is left in the folder.
    EXPECT_EQ(folder_entries(dir).size(), 2u);

    std::string output;
    EXPECT_EQ(run_command("ots-sanitize " + dir + "/b.ttf", &output), 0) << output;
    EXPECT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/check_font.py " + dir + "/b.ttf",
                    &output),
        0)
        << output;

    char type[64] = {};
    ssize_t n = getxattr((dir + "/b.ttf").c_str(), "user.mime_type", type, sizeof type - 1);
    if (n >= 0)
        EXPECT_STREQ(type, "application/x-truetype");
    else
        EXPECT_EQ(errno, ENOTSUP) << "the type was not set";
}

TEST(Save, CommittedMaxStackElementsReachesTheSavedFile) {
    std::string dir = temp_dir();
    running_app run({small_font(dir)});
    run.choose(run.index_of("maxp"));
    BTextControl* control = curfont->maxp->control;
    ASSERT_NE(control, nullptr);

    // Click into the text field (right of the divider) and commit.
    BRect field = control->Frame();
    run.click(BPoint(field.left + 140, WORKVIEW_TOP + field.top + 10));
    type(run, "12345\n");
    kit_testing::screenshot(run.window(), "app-maxp-committed");
    EXPECT_EQ(byte_span(curfont->maxp->data, curfont->maxp->length).u16(24), 0x2345);
    EXPECT_STREQ(control->Text(), "2345");

    // Text that holds no number changes nothing.
    run.window()->Lock();
    control->SetText("xyz");
    run.window()->Unlock();
    run.click(BPoint(field.left + 140, WORKVIEW_TOP + field.top + 10));
    type(run, "\n");
    EXPECT_EQ(byte_span(curfont->maxp->data, curfont->maxp->length).u16(24), 0x2345);

    request_save(run, dir, "edited.ttf");
    std::vector<unsigned char> f = read_file(dir + "/edited.ttf");
    long maxp = table_offset(f, "maxp");
    ASSERT_GT(maxp, 0);
    EXPECT_EQ(f[maxp + 24] << 8 | f[maxp + 25], 0x2345);
}

TEST(Save, FailedSaveLeavesTheOldFileAndShowsAnAlert) {
    std::string dir = temp_dir();
    running_app run({DEJAVU});
    request_save(run, dir, "kept.ttf");
    std::vector<unsigned char> before = read_file(dir + "/kept.ttf");
    ASSERT_GT(before.size(), 100000u);

    // A file-size limit makes the disk "full" after 64 KiB.
    signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 65536;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    testing::internal::CaptureStderr();
    request_save(run, dir, "kept.ttf", false);
    int alerts = run.dismiss_alerts();
    setrlimit(RLIMIT_FSIZE, &old);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(alerts, 1);
    EXPECT_NE(err.find("kept.ttf"), std::string::npos) << err;
    EXPECT_TRUE(read_file(dir + "/kept.ttf") == before);
    EXPECT_EQ(folder_entries(dir), std::vector<std::string>{"kept.ttf"});

    // A folder that vanished, and a name that is not a file name.
    request_save(run, dir + "/gone", "x.ttf", false);
    EXPECT_EQ(run.dismiss_alerts(), 1);
    request_save(run, dir, "../x.ttf", false);
    EXPECT_EQ(run.dismiss_alerts(), 1);
    EXPECT_EQ(folder_entries(dir), std::vector<std::string>{"kept.ttf"});
    // The font is still open and saves.
    request_save(run, dir, "again.ttf");
    EXPECT_TRUE(run.other_windows().empty());
    EXPECT_TRUE(file_exists(dir + "/again.ttf"));
}

TEST(Save, FontWithAnEmptyBoundingBoxCanStillBeSaved) {
    std::string dir = temp_dir();
    std::string path = small_font(dir);
    // Make the head box empty: xMin = xMax = yMin = yMax = 0.
    std::vector<unsigned char> f = read_file(path);
    long head = table_offset(f, "head");
    for (long i = head + 36; i < head + 44; i++)
        f[i] = 0;
    write_file(path, f);

    running_app run({path});
    EXPECT_EQ(canvas, BRect(0, 0, 0, 0));
    request_save(run, dir, "empty-box.ttf");
    EXPECT_TRUE(file_exists(dir + "/empty-box.ttf"));
}

// Saving over a path that is a symbolic link writes the file the links
// lead to, in its own folder, and keeps every link; the file keeps its
// permission bits, and its owner and group where the process may set them.
TEST(Save, ThroughSymbolicLinksWritesTheTargetAndKeepsLinksAndPermissions) {
    struct layout {
        const char* label;
        // Links to make, in order: name in `dir`, what it points to.
        std::vector<std::pair<std::string, std::string>> links;
        const char* opened; // the name the font is opened and saved as
        const char* target; // where the font really lies, below `dir`
    } const layouts[] = {
        {"a plain file", {}, "real/font.ttf", "real/font.ttf"},
        {"one relative link", {{"link.ttf", "real/font.ttf"}}, "link.ttf", "real/font.ttf"},
        {"a chain through another folder",
         {{"a.ttf", "b.ttf"}, {"b.ttf", "real/c.ttf"}, {"real/c.ttf", "../deep/font.ttf"}},
         "a.ttf",
         "deep/font.ttf"},
        {"an absolute link", {{"abs.ttf", "@/real/font.ttf"}}, "abs.ttf", "real/font.ttf"},
    };
    for (const layout& l : layouts) {
        SCOPED_TRACE(l.label);
        std::string dir = temp_dir() + "/" + std::to_string(&l - layouts);
        ASSERT_EQ(run_command("mkdir -p " + dir + "/real " + dir + "/deep"), 0);
        std::string target = dir + "/" + l.target;
        ASSERT_TRUE(write_file(target, read_file(small_font(dir + "/real", "source.ttf"))));
        unlink((dir + "/real/source.ttf").c_str());
        for (const auto& link : l.links) {
            std::string to = link.second[0] == '@' ? dir + link.second.substr(1) : link.second;
            ASSERT_EQ(symlink(to.c_str(), (dir + "/" + link.first).c_str()), 0);
        }
        ASSERT_EQ(chmod(target.c_str(), 0604), 0);
        bool root = geteuid() == 0;
        if (root) {
            ASSERT_EQ(chown(target.c_str(), 1234, 2345), 0);
        }
        std::vector<unsigned char> before = read_file(target);

        running_app run({dir + "/" + l.opened});
        ASSERT_TRUE(run.app->fontshown());
        // An edit, so that the written file differs from the old one.
        run.window()->Lock();
        curfont->maxp->checkpoint("maxStackElements");
        curfont->maxp->writer().put16(24, 0x4321);
        EXPECT_TRUE(run.window()->unsaved());
        run.window()->Unlock();
        be_app_messenger.SendMessage(MSG_SAVE);
        run.idle();
        EXPECT_TRUE(run.other_windows().empty()) << "the save failed";

        for (const auto& link : l.links) {
            struct stat st;
            ASSERT_EQ(lstat((dir + "/" + link.first).c_str(), &st), 0);
            EXPECT_TRUE(S_ISLNK(st.st_mode)) << link.first << " is no longer a link";
        }
        std::vector<unsigned char> after = read_file(target);
        ASSERT_GT(after.size(), 0u);
        EXPECT_FALSE(after == before) << "the target was not written";
        long maxp = table_offset(after, "maxp");
        ASSERT_GT(maxp, 0);
        EXPECT_EQ(after[maxp + 24] << 8 | after[maxp + 25], 0x4321);
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        if (root) {
            EXPECT_EQ(st.st_uid, 1234u);
            EXPECT_EQ(st.st_gid, 2345u);
        }
        // No temporary file is left anywhere.
        for (const char* sub : {"", "/real", "/deep"})
            for (const std::string& name : folder_entries(dir + sub))
                EXPECT_NE(name[0], '.') << sub << "/" << name;
        run.window()->Lock();
        EXPECT_FALSE(run.window()->unsaved());
        run.window()->Unlock();
    }
}

// A link that leads nowhere, or in a circle, is refused with words that
// say so, and nothing is written.
TEST(Save, OverADanglingOrLoopingLinkIsRefusedAndWritesNothing) {
    std::string dir = temp_dir();
    running_app run({small_font(dir)});
    ASSERT_EQ(symlink("missing/font.ttf", (dir + "/dangling.ttf").c_str()), 0);
    ASSERT_EQ(symlink("loop2.ttf", (dir + "/loop1.ttf").c_str()), 0);
    ASSERT_EQ(symlink("loop1.ttf", (dir + "/loop2.ttf").c_str()), 0);
    struct {
        const char* name;
        const char* words;
    } const cases[] = {{"dangling.ttf", "symbolic link to a file that does not exist"},
                       {"loop1.ttf", "symbolic links form a loop"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::internal::CaptureStderr();
        request_save(run, dir, c.name, false);
        EXPECT_EQ(run.dismiss_alerts(), 1) << c.name;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(c.words), std::string::npos) << err;
        EXPECT_NE(err.find(c.name), std::string::npos) << err;
    }
    std::vector<std::string> names = folder_entries(dir);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names,
              (std::vector<std::string>{"dangling.ttf", "loop1.ttf", "loop2.ttf", "small.ttf"}));
    EXPECT_FALSE(file_exists(dir + "/missing"));
}
