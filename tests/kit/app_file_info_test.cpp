#include "support/test_support.h"

#include <AppFileInfo.h>
#include <File.h>

#include <gtest/gtest.h>

#include <sys/xattr.h>

using testing_support::temp_dir;

TEST(AppFileInfo, SetTypeStoresTheMimeTypeInUserMimeType) {
    std::string path = temp_dir() + "/font.ttf";
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
    ASSERT_EQ(file.InitCheck(), B_OK);
    BAppFileInfo info(&file);
    ASSERT_EQ(info.SetType("application/x-truetype"), B_OK);

    char stored[64] = {};
    ssize_t length = getxattr(path.c_str(), "user.mime_type", stored, sizeof(stored) - 1);
    ASSERT_EQ(length, 22);
    EXPECT_STREQ(stored, "application/x-truetype");

    char back[B_MIME_TYPE_LENGTH + 1];
    ASSERT_EQ(info.GetType(back), B_OK);
    EXPECT_STREQ(back, "application/x-truetype");

    // A second type replaces the first.
    ASSERT_EQ(info.SetType("font/ttf"), B_OK);
    length = getxattr(path.c_str(), "user.mime_type", stored, sizeof(stored) - 1);
    EXPECT_EQ(std::string(stored, length), "font/ttf");
}

TEST(AppFileInfo, SetTypeFailsHonestlyWhereAttributesAreRefusedOrTheTypeIsBad) {
    // procfs keeps no user attributes; a device node may not carry them.
    BFile proc("/proc/self/comm", B_READ_WRITE);
    ASSERT_EQ(proc.InitCheck(), B_OK);
    EXPECT_EQ(BAppFileInfo(&proc).SetType("application/x-truetype"), B_UNSUPPORTED);
    BFile device("/dev/null", B_READ_WRITE);
    ASSERT_EQ(device.InitCheck(), B_OK);
    EXPECT_NE(BAppFileInfo(&device).SetType("application/x-truetype"), B_OK);

    BFile unopened;
    EXPECT_NE(BAppFileInfo(&unopened).SetType("application/x-truetype"), B_OK);
    EXPECT_NE(BAppFileInfo(nullptr).SetType("application/x-truetype"), B_OK);

    std::string path = temp_dir() + "/font.ttf";
    BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
    BAppFileInfo info(&file);
    EXPECT_EQ(info.SetType("no slash"), B_BAD_VALUE);
    EXPECT_EQ(info.SetType(""), B_BAD_VALUE);
    EXPECT_EQ(info.SetType(std::string(300, 'a').append("/b").c_str()), B_BAD_VALUE);
    char back[B_MIME_TYPE_LENGTH + 1];
    EXPECT_EQ(info.GetType(back), B_ENTRY_NOT_FOUND) << "nothing was stored";
}
