#include <Message.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(Message, EveryFieldTypeComesBackAsStored) {
    BMessage m('test');
    int marker = 0;
    entry_ref ref("/tmp/some font.ttf");
    ASSERT_EQ(m.AddInt8("i8", -5), B_OK);
    ASSERT_EQ(m.AddInt16("i16", -300), B_OK);
    ASSERT_EQ(m.AddInt32("i32", 0x7fffffff), B_OK);
    ASSERT_EQ(m.AddInt64("i64", -(1ll << 40)), B_OK);
    ASSERT_EQ(m.AddBool("b", true), B_OK);
    ASSERT_EQ(m.AddFloat("f", 2.5f), B_OK);
    ASSERT_EQ(m.AddPoint("p", BPoint(3, -4)), B_OK);
    ASSERT_EQ(m.AddRect("r", BRect(0, 0, 511, -20)), B_OK);
    ASSERT_EQ(m.AddPointer("source", &marker), B_OK);
    ASSERT_EQ(m.AddString("s", "héllo"), B_OK);
    ASSERT_EQ(m.AddRef("refs", &ref), B_OK);

    int8 i8;
    int16 i16;
    int32 i32;
    int64 i64;
    bool b;
    float f;
    BPoint p;
    BRect r;
    void* ptr;
    const char* s;
    entry_ref back;
    EXPECT_EQ(m.FindInt8("i8", &i8), B_OK);
    EXPECT_EQ(i8, -5);
    EXPECT_EQ(m.FindInt16("i16", &i16), B_OK);
    EXPECT_EQ(i16, -300);
    EXPECT_EQ(m.FindInt32("i32", &i32), B_OK);
    EXPECT_EQ(i32, 0x7fffffff);
    EXPECT_EQ(m.FindInt64("i64", &i64), B_OK);
    EXPECT_EQ(i64, -(1ll << 40));
    EXPECT_EQ(m.FindBool("b", &b), B_OK);
    EXPECT_TRUE(b);
    EXPECT_EQ(m.FindFloat("f", &f), B_OK);
    EXPECT_EQ(f, 2.5f);
    EXPECT_EQ(m.FindPoint("p", &p), B_OK);
    EXPECT_EQ(p, BPoint(3, -4));
    EXPECT_EQ(m.FindRect("r", &r), B_OK);
    EXPECT_EQ(r, BRect(0, 0, 511, -20));
    EXPECT_EQ(m.FindPointer("source", &ptr), B_OK);
    EXPECT_EQ(ptr, &marker);
    EXPECT_EQ(m.FindString("s", &s), B_OK);
    EXPECT_STREQ(s, "héllo");
    EXPECT_EQ(m.FindRef("refs", &back), B_OK);
    EXPECT_STREQ(back.Path(), "/tmp/some font.ttf");

    type_code type;
    EXPECT_EQ(m.GetInfo("i32", &type), B_OK);
    EXPECT_EQ(type, (type_code)B_INT32_TYPE);
    EXPECT_EQ(m.GetInfo("refs", &type), B_OK);
    EXPECT_EQ(type, (type_code)B_REF_TYPE);
    EXPECT_EQ(m.what, (uint32)'test');
}

TEST(Message, WrongTypeOrMissingNameIsReportedAndLeavesOutputAlone) {
    BMessage m;
    m.AddInt32("table", 7);
    float f = 1.5f;
    EXPECT_EQ(m.FindFloat("table", &f), B_BAD_TYPE);
    EXPECT_EQ(f, 1.5f);
    int32 v = 99;
    EXPECT_EQ(m.FindInt32("tables", &v), B_NAME_NOT_FOUND);
    EXPECT_EQ(v, 99);
    // A name keeps one type.
    EXPECT_EQ(m.AddFloat("table", 2.0f), B_BAD_TYPE);
    EXPECT_FALSE(m.HasInt16("table"));
    EXPECT_TRUE(m.HasInt32("table"));
    EXPECT_EQ(m.GetInt32("missing", -1), -1);
    EXPECT_EQ(m.AddInt32(nullptr, 1), B_BAD_VALUE);
    EXPECT_EQ(m.AddString("s", (const char*)nullptr), B_BAD_VALUE);
}

TEST(Message, RepeatedValuesAreIndexedInOrder) {
    BMessage m('tset');
    for (int32 tag : {'cmap', 'glyf', 'head'})
        m.AddInt32("table", tag);
    type_code type;
    int32 count = 0;
    ASSERT_EQ(m.GetInfo("table", &type, &count), B_OK);
    EXPECT_EQ(count, 3);
    int32 tag;
    EXPECT_EQ(m.FindInt32("table", 1, &tag), B_OK);
    EXPECT_EQ(tag, (int32)'glyf');
    EXPECT_EQ(m.FindInt32("table", 3, &tag), B_BAD_INDEX);
    EXPECT_EQ(m.FindInt32("table", -1, &tag), B_BAD_INDEX);
    EXPECT_FALSE(m.HasInt32("table", 3));

    EXPECT_EQ(m.ReplaceInt32("table", 1, 'loca'), B_OK);
    EXPECT_EQ(m.ReplaceInt32("table", 5, 'loca'), B_BAD_INDEX);
    EXPECT_EQ(m.RemoveData("table", 0), B_OK);
    EXPECT_EQ(m.FindInt32("table", 0, &tag), B_OK);
    EXPECT_EQ(tag, (int32)'loca');
    m.GetInfo("table", &type, &count);
    EXPECT_EQ(count, 2);

    // Removing the last value removes the name.
    m.RemoveData("table", 0);
    m.RemoveData("table", 0);
    EXPECT_EQ(m.GetInfo("table", &type, &count), B_NAME_NOT_FOUND);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(m.IsEmpty());
}

TEST(Message, NamesAreListedByTypeAndCopiesAreIndependent) {
    BMessage m('init');
    m.AddRect("bounds", BRect(0, 0, 10, 10));
    m.AddInt32("a", 1);
    m.AddString("name", "x");
    m.AddInt32("b", 2);

    const char* name;
    int32 count;
    EXPECT_EQ(m.CountNames(B_INT32_TYPE), 2);
    EXPECT_EQ(m.CountNames(B_ANY_TYPE), 4);
    ASSERT_EQ(m.GetInfo(B_INT32_TYPE, 1, &name, nullptr, &count), B_OK);
    EXPECT_STREQ(name, "b");
    EXPECT_EQ(m.GetInfo(B_INT32_TYPE, 2, &name, nullptr), B_BAD_INDEX);
    EXPECT_EQ(m.GetInfo(B_FLOAT_TYPE, 0, &name, nullptr), B_BAD_TYPE);

    BMessage copy(m);
    copy.ReplaceString("name", "changed");
    copy.what = 'othr';
    const char* original;
    m.FindString("name", &original);
    EXPECT_STREQ(original, "x");
    EXPECT_EQ(m.what, (uint32)'init');
}

TEST(Message, StringWithoutTerminatorIsNotAString) {
    // Raw bytes stored under the string type must not be read past their end.
    BMessage m;
    const char raw[3] = {'a', 'b', 'c'};
    ASSERT_EQ(m.AddData("s", B_STRING_TYPE, raw, 3), B_OK);
    const char* s = nullptr;
    EXPECT_EQ(m.FindString("s", &s), B_BAD_TYPE);
    EXPECT_EQ(s, nullptr);
}
