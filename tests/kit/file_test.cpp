#include <Directory.h>
#include <File.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace testing_support;

TEST(BFile, PositionedReadsAndWritesAndShortReads) {
    std::string dir = temp_dir();
    BDirectory d(dir.c_str());
    ASSERT_EQ(d.InitCheck(), B_OK);
    BFile f;
    ASSERT_EQ(d.CreateFile("a.bin", &f), B_OK);
    EXPECT_EQ(f.WriteAt(4, "wxyz", 4), 4);
    EXPECT_EQ(f.WriteAt(0, "abcd", 4), 4);
    char buf[16] = {};
    EXPECT_EQ(f.ReadAt(2, buf, 16), 6); // short read at the end
    EXPECT_EQ(std::string(buf, 6), "cdwxyz");
    EXPECT_EQ(f.Seek(1, SEEK_SET), 1);
    EXPECT_EQ(f.Read(buf, 2), 2);
    EXPECT_EQ(std::string(buf, 2), "bc");
    EXPECT_EQ(f.Position(), 3);
    off_t size = 0;
    EXPECT_EQ(f.GetSize(&size), B_OK);
    EXPECT_EQ(size, 8);
}

TEST(BDirectory, CreateFileEmptiesAnExistingFileOrFailsWhenAsked) {
    std::string dir = temp_dir();
    write_file(dir + "/old", {1, 2, 3});
    BDirectory d(dir.c_str());
    BFile f;
    EXPECT_EQ(d.CreateFile("old", &f, true), B_FILE_EXISTS);
    ASSERT_EQ(d.CreateFile("old", &f, false), B_OK);
    off_t size = -1;
    f.GetSize(&size);
    EXPECT_EQ(size, 0);

    BDirectory missing((dir + "/nope").c_str());
    EXPECT_NE(missing.InitCheck(), B_OK);
    EXPECT_NE(missing.CreateFile("x", &f), B_OK);
    BFile ro((dir + "/nope/x").c_str(), B_READ_ONLY);
    EXPECT_NE(ro.InitCheck(), B_OK);
    EXPECT_LT(ro.ReadAt(0, nullptr, 0), 0);
}
