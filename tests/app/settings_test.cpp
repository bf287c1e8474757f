// The settings store: what a missing, damaged or foreign file gives, and
// that a change replaces the file whole, keeping what another running
// program wrote meanwhile.
#include "app/settings.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using testing_support::file_exists;
using testing_support::folder_entries;
using testing_support::read_file;
using testing_support::temp_dir;
using testing_support::write_file;

namespace {

std::vector<unsigned char> bytes_of(const std::string& s) {
    return std::vector<unsigned char>(s.begin(), s.end());
}

std::string text_of(const std::string& path) {
    std::vector<unsigned char> b = read_file(path);
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(Settings, MissingDamagedOrForeignFilesGiveTheDefaults) {
    struct sample {
        const char* what;
        std::string contents; // empty: no file
        const char* cell;     // overview.cell as read, or the fallback "64"
    } const samples[] = {
        {"no file", "", "64"},
        {"a good file", "overview.cell=96\noverview.width=700\n", "96"},
        {"no final line break", "overview.width=700\noverview.cell=80", "80"},
        {"lines that are not pairs", "garbage\n=5\noverview.cell=88\n\x01\x02\n", "88"},
        {"a key with a space", "overview cell=40\n", "64"},
        {"a control character in the value", "overview.cell=4\t0\n", "64"},
        {"binary garbage", std::string("\0\xff\xfe=\x80\n", 6), "64"},
        {"the last of two wins", "overview.cell=40\noverview.cell=48\n", "48"},
        {"a file far too large", "overview.cell=40\n" + std::string(70000, '#'), "64"},
    };
    for (const sample& s : samples) {
        std::string path = temp_dir() + "/settings";
        if (!s.contents.empty()) {
            ASSERT_TRUE(write_file(path, bytes_of(s.contents)));
        }
        settings store(path);
        EXPECT_EQ(s.cell, store.get("overview.cell", "64")) << s.what;
    }
}

TEST(Settings, AChangeIsWrittenWholeAndKeepsWhatOthersWrote) {
    std::string dir = temp_dir() + "/made/on/demand";
    std::string path = dir + "/settings";
    settings store(path);
    EXPECT_EQ(B_OK, store.set("overview.cell", "72"));
    EXPECT_EQ("overview.cell=72\n", text_of(path));
    // Another program adds a key; ours is set again: both stay.
    ASSERT_TRUE(write_file(path, bytes_of("overview.cell=72\nwindow.width=900\n")));
    EXPECT_EQ(B_OK, store.set("overview.cell", "80"));
    EXPECT_EQ("overview.cell=80\nwindow.width=900\n", text_of(path));
    EXPECT_EQ("80", settings(path).get("overview.cell", ""));
    // No temporary file is left beside it.
    EXPECT_EQ(std::vector<std::string>{"settings"}, folder_entries(dir));
    // Keys and values the file cannot hold are refused, nothing changes.
    EXPECT_EQ(B_BAD_VALUE, store.set("a key", "1"));
    EXPECT_EQ(B_BAD_VALUE, store.set("key", "two\nlines"));
    EXPECT_EQ(B_BAD_VALUE, store.set("", "1"));
    EXPECT_EQ("overview.cell=80\nwindow.width=900\n", text_of(path));
}

TEST(Settings, AFolderThatCannotBeMadeKeepsTheValueForThisRun) {
    // A file where the folder should be: no one can make the folder.
    std::string blocker = temp_dir() + "/config";
    ASSERT_TRUE(write_file(blocker, bytes_of("not a folder")));
    settings store(blocker + "/tavrel/settings");
    std::string why;
    EXPECT_NE(B_OK, store.set("overview.cell", "96", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ("96", store.get("overview.cell", "64"));
}

TEST(Settings, TheFileLivesUnderXdgConfigHomeOrTheHomeFolder) {
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string saved = config ? config : "";
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ("/somewhere/config/tavrel/settings", settings::default_path());
    // A relative folder is ignored, as XDG asks.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    EXPECT_EQ(std::string(getenv("HOME")) + "/.config/tavrel/settings", settings::default_path());
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(std::string(getenv("HOME")) + "/.config/tavrel/settings", settings::default_path());
    if (config)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
}
