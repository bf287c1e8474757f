// The name table's editor driven through its controls: rows clicked,
// IDs and text typed, "add", "set" and "del" pressed; the table's bytes,
// the list's lines and the fields checked, and the edited font saved,
// loaded again and read by fontTools.
#include "font/name.h"

#include "font/font_builder.h"
#include "font/table_editor_support.h"
#include "font/ttf.h"
#include "support/test_support.h"

#include <Messenger.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace table_editor_testing;
using namespace testing_support;

namespace {

const char* const DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct name_editor {
    ttf_name* table;
    BWindow* window;
    bool owned_by_font;

    explicit name_editor(ttf_name* t, bool font_owns = false)
        : table(t), window(show_editor(t)), owned_by_font(font_owns) {}
    ~name_editor() { close_editor(window, owned_by_font ? table : nullptr); }

    std::vector<std::string> lines() {
        std::vector<std::string> out;
        kit_testing::locked(window, [&] {
            for (int32 i = 0; i < table->list->CountItems(); i++)
                out.push_back(((BStringItem*)table->list->ItemAt(i))->Text());
        });
        return out;
    }
    std::vector<std::string> fields() {
        return {text_of(table->pid), text_of(table->eid), text_of(table->lid), text_of(table->nid),
                text_of(table->datatext)};
    }
    std::vector<unsigned char> bytes() {
        std::vector<unsigned char> out;
        kit_testing::locked(window, [&] { out.assign(table->data, table->data + table->length); });
        return out;
    }
    int32 selection() {
        int32 s;
        kit_testing::locked(window, [&] { s = table->list->CurrentSelection(); });
        return s;
    }
    // Types the four IDs and the text, then presses "set".
    void set(const char* p, const char* e, const char* l, const char* n, const std::string& text) {
        type_into(table->pid, p);
        type_into(table->eid, e);
        type_into(table->lid, l);
        type_into(table->nid, n);
        type_into(table->datatext, text);
        click(button("set"));
    }
    BView* button(const char* name) { return table->FindView(name); }
};

// The stored bytes of the record with these IDs; "-" when there is none.
std::string stored(ttf_name& t, unsigned short p, unsigned short e, unsigned short l,
                   unsigned short n) {
    byte_span b = t.bytes();
    for (int i = 0; i < t.count(); i++) {
        size_t at = 6 + 12 * (size_t)i;
        if (b.u16(at) == p && b.u16(at + 2) == e && b.u16(at + 4) == l && b.u16(at + 6) == n) {
            byte_span s = b.slice(b.u16(4) + (size_t)b.u16(at + 10), b.u16(at + 8));
            return std::string((const char*)s.data(), s.size());
        }
    }
    return "-";
}

std::string utf16be(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) {
        out += (char)(c >> 8);
        out += (char)(c & 0xFF);
    }
    return out;
}

} // namespace

TEST(NameEditor, NewFontListsItsFourteenRecordsAndARowFillsTheFields) {
    name_editor ed(new ttf_name(nullptr, nullptr, 0));
    std::vector<std::string> lines = ed.lines();
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[0], "0001-0000-0000-0000 (c)unknown");
    EXPECT_EQ(lines[9], "0003-0001-0409-0002 Regular");
    EXPECT_EQ(lines[13], "0003-0001-0409-0006 noname-regular");
    EXPECT_EQ(ed.fields(), (std::vector<std::string>{"", "", "", "", ""}));

    click_row(ed.table->list, 9);
    EXPECT_EQ(ed.fields(), (std::vector<std::string>{"0003", "0001", "0409", "0002", "Regular"}));
    kit_testing::screenshot(ed.window, "name_editor");

    // "add" empties the fields for a new record, selected row or not.
    click(ed.button("add"));
    EXPECT_EQ(ed.selection(), -1);
    EXPECT_EQ(ed.fields(), (std::vector<std::string>{"", "", "", "", ""}));
    type_into(ed.table->nid, "7");
    click(ed.button("add"));
    EXPECT_EQ(ed.fields(), (std::vector<std::string>{"", "", "", "", ""}));
}

TEST(NameEditor, SetReplacesAndAddsRecordsInTheirOwnEncodings) {
    name_editor ed(new ttf_name(nullptr, nullptr, 0));
    const std::string german = "Gr\xC3\xBC\xC3\x9F"
                               "e";                                 // Grüße
    const std::string han = "\xE6\xBC\xA2\xE5\xAD\x97 caf\xC3\xA9"; // 漢字 café
    const std::string smile = "\xF0\x9F\x98\x80";                   // 😀

    // Replace the Windows subfamily: selected, retyped, set.
    click_row(ed.table->list, 9);
    type_into(ed.table->datatext, german);
    click(ed.button("set"));
    EXPECT_EQ(ed.table->count(), 14);
    EXPECT_EQ(stored(*ed.table, 3, 1, 0x409, 2), utf16be(u"Gr\u00FC\u00DFe"));
    EXPECT_EQ(ed.lines()[9], "0003-0001-0409-0002 " + german);
    // The stored record stays selected, read back from the table.
    EXPECT_EQ(ed.selection(), 9);
    EXPECT_EQ(ed.fields()[4], german);

    // Each record is stored in its own encoding; a character the encoding
    // has no form for is refused with an alert naming it.
    struct {
        const char *p, *e, *l, *n;
        std::string text;
        unsigned short ids[4];
        std::string stored; // "" when refused
        std::string alert;
    } const cases[] = {
        {"3", "1", "411", "1", han, {3, 1, 0x411, 1}, utf16be(u"\u6F22\u5B57 caf\u00E9"), ""},
        {"1", "0", "0", "d", "caf\xC3\xA9 \xE2\x84\xA2", {1, 0, 0, 13}, "caf\x8E \xAA", ""},
        {"3", "a", "409", "1", smile, {3, 10, 0x409, 1}, utf16be(u"\U0001F600"), ""},
        {"1",
         "0",
         "0",
         "e",
         han,
         {1, 0, 0, 14},
         "",
         "Macintosh Roman text cannot hold \xE2\x80\x9C\xE6\xBC\xA2\xE2\x80\x9D (U+6F22)"},
        {"3",
         "1",
         "409",
         "e",
         "a" + smile,
         {3, 1, 0x409, 14},
         "",
         "Basic Multilingual Plane text cannot hold \xE2\x80\x9C" + smile +
             "\xE2\x80\x9D (U+1F600)"},
        {"3", "4", "404", "1", "caf\xC3\xA9", {3, 4, 0x404, 1}, "", "as hexadecimal pairs"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        click(ed.button("add"));
        std::vector<unsigned char> before = ed.bytes();
        ed.set(c.p, c.e, c.l, c.n, c.text);
        if (c.stored.empty()) {
            std::string said = answer_alert();
            EXPECT_NE(said.find(c.alert), std::string::npos) << said;
            EXPECT_EQ(ed.bytes(), before);
            continue;
        }
        EXPECT_TRUE(alerts().empty());
        EXPECT_EQ(stored(*ed.table, c.ids[0], c.ids[1], c.ids[2], c.ids[3]), c.stored);
        char head[32];
        snprintf(head, sizeof head, "%04x-%04x-%04x-%04x ", c.ids[0], c.ids[1], c.ids[2], c.ids[3]);
        EXPECT_EQ(ed.lines()[(size_t)ed.selection()], head + c.text);
    }
    EXPECT_EQ(ed.table->count(), 17);

    // "del" removes the selected record and nothing else.
    int row = -1;
    std::vector<std::string> lines = ed.lines();
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i].rfind("0003-0001-0411-0001 ", 0) == 0)
            row = (int)i;
    ASSERT_GE(row, 0);
    click_row(ed.table->list, row);
    click(ed.button("del"));
    EXPECT_EQ(ed.table->count(), 16);
    EXPECT_EQ(stored(*ed.table, 3, 1, 0x411, 1), "-");
    EXPECT_EQ(ed.selection(), -1);
    EXPECT_EQ(ed.fields(), (std::vector<std::string>{"", "", "", "", ""}));
    // Without a selection "del" does nothing.
    std::vector<unsigned char> before = ed.bytes();
    click(ed.button("del"));
    EXPECT_EQ(ed.bytes(), before);
}

TEST(NameEditor, BadIdsAreRefusedAndOnlyIdsBeyondSixteenBitsSaySo) {
    name_editor ed(new ttf_name(nullptr, nullptr, 0));
    std::vector<unsigned char> before = ed.bytes();
    struct {
        const char* label;
        const char *p, *n;
        bool alert;
    } const cases[] = {
        {"empty ID", "3", "", false},
        {"not hexadecimal", "3", "xyz", false},
        {"17 bits", "3", "10000", true},
        {"negative", "-1", "2", true},
        {"wraps 32 bits to 5", "3", "100000005", true},
        {"past 64 bits", "3", "1000000000000000005", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        ed.set(c.p, "1", "409", c.n, "refused");
        if (c.alert) {
            std::string said = answer_alert();
            EXPECT_NE(said.find("does not fit in 16 bits"), std::string::npos) << said;
        }
        EXPECT_TRUE(alerts().empty());
        EXPECT_EQ(ed.bytes(), before);
    }
    // The largest ID is taken (a record of an encoding kept as bytes).
    ed.set("ffff", "ffff", "ffff", "ffff", "6c 61 73 74");
    EXPECT_EQ(stored(*ed.table, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF), "last");
    EXPECT_EQ(ed.lines().back(), "ffff-ffff-ffff-ffff 6c 61 73 74");
}

TEST(NameEditor, ATableThatWouldOutgrowItsOffsetsSaysSoAndKeepsItsBytes) {
    // One Macintosh record of 65,400 bytes; a second string after it still
    // starts below 64 KB, a third would not.
    ttf_name* t = new ttf_name(nullptr, nullptr, 0);
    for (unsigned short id = 0; id < 7; id++) {
        t->set_field(1, 0, 0, id, nullptr);
        t->set_field(3, 1, 0x409, id, nullptr);
    }
    t->set_field(1, 0, 0, 1, std::string(65400, 'a').c_str());
    name_editor ed(t);
    ed.set("1", "0", "0", "2", std::string(200, 'b'));
    EXPECT_EQ(stored(*t, 1, 0, 0, 2), std::string(200, 'b'));
    std::vector<unsigned char> before = ed.bytes();
    ed.set("1", "0", "0", "3", "c");
    std::string said = answer_alert();
    EXPECT_NE(said.find("was not stored"), std::string::npos) << said;
    EXPECT_EQ(ed.bytes(), before);
    EXPECT_EQ(ed.lines().size(), 2u);
}

TEST(NameEditor, RecordsShowInTheirEncodingOrAsBytesAndAreKeptUnlessEdited) {
    ttf_name* t = new ttf_name(nullptr, nullptr, 0);
    t->set_field(1, 0, 0, 0, "Copyright \xC2\xA9 2003");
    t->set_field(3, 3, 0x804, 1, "d6 d0"); // GB 2312, kept as bytes
    name_editor ed(t);
    // The Macintosh record's stored byte 0xA9 is the copyright sign.
    EXPECT_EQ(stored(*t, 1, 0, 0, 0), "Copyright \xA9 2003");
    EXPECT_EQ(ed.lines()[0], "0001-0000-0000-0000 Copyright \xC2\xA9 2003");
    EXPECT_EQ(ed.lines()[14], "0003-0003-0804-0001 d6 d0");
    click_row(ed.table->list, 0);
    click(ed.button("set"));
    EXPECT_EQ(stored(*t, 1, 0, 0, 0), "Copyright \xA9 2003");
    click_row(ed.table->list, 14);
    EXPECT_EQ(ed.fields()[4], "d6 d0");
    click(ed.button("set"));
    EXPECT_EQ(stored(*t, 3, 3, 0x804, 1), "\xD6\xD0");
    type_into(ed.table->datatext, "D6D0 41", false);
    click(ed.button("set"));
    EXPECT_EQ(stored(*t, 3, 3, 0x804, 1), "\xD6\xD0\x41");
    EXPECT_EQ(ed.fields()[4], "d6 d0 41");
}

TEST(NameEditor, StaleSelectionsNeitherFillFieldsNorDeleteARecord) {
    name_editor ed(new ttf_name(nullptr, nullptr, 0));
    click_row(ed.table->list, 13);
    ASSERT_EQ(ed.fields()[4], "noname-regular");
    // Something else shrinks the table under the list, which still shows
    // fourteen rows with the last one selected.
    kit_testing::locked(ed.window, [&] {
        ed.table->set_field(1, 0, 0, 0, nullptr);
        ed.table->set_field(1, 0, 0, 1, nullptr);
    });
    std::vector<unsigned char> before = ed.bytes();
    click(ed.button("del"));
    EXPECT_EQ(ed.bytes(), before);

    // A selection message for a row past the records leaves the fields.
    BMessage late('Nsel');
    late.AddInt32("index", 13);
    BMessenger(ed.table).SendMessage(&late);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(ed.fields(),
              (std::vector<std::string>{"0003", "0001", "0409", "0006", "noname-regular"}));
}

TEST(NameEditor, TypedNamesInEveryScriptSurviveSaveAndReload) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(font, read_file(DEJAVU)), 0);
    ASSERT_NE(font.name, nullptr);
    const int records = font.name->count();
    const std::string family = "Tavrel \xC3\xA9\xC3\xB1 \xE6\xBC\xA2\xE5\xAD\x97";
    const std::string sjis = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"; // 日本語
    {
        name_editor ed(font.name, true);
        click(ed.button("add"));
        ed.set("3", "1", "409", "1", family);
        ed.set("1", "1", "b", "4", sjis);
        ed.set("0", "0", "0", "10", family);
    }
    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());

    ttf again;
    ASSERT_EQ(font_builder::load_bytes(again, read_file(path)), 0);
    ASSERT_EQ(again.name->count(), records + 2);
    name_editor ed(again.name, true);
    std::vector<std::string> lines = ed.lines();
    auto has = [&](const std::string& line) {
        for (const std::string& l : lines)
            if (l == line)
                return true;
        return false;
    };
    EXPECT_TRUE(has("0003-0001-0409-0001 " + family));
    EXPECT_TRUE(has("0001-0001-000b-0004 " + sjis));
    EXPECT_TRUE(has("0000-0000-0000-0010 " + family));
    click_row(ed.table->list, 0);
    kit_testing::screenshot(ed.window, "name_editor_scripts");

    std::string out;
    ASSERT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    out.clear();
    ASSERT_EQ(
        run_command(python() + " " + source_dir() + "/tests/tools/name_records.py " + path, &out),
        0)
        << out;
    EXPECT_NE(
        out.find("3 1 1033 1 00540061007600720065006c002000e900f100206f225b57 " + family + "\n"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("1 1 11 4 93fa967b8cea " + sjis + "\n"), std::string::npos) << out;
    EXPECT_NE(
        out.find("0 0 0 16 00540061007600720065006c002000e900f100206f225b57 " + family + "\n"),
        std::string::npos)
        << out;
}

TEST(NameEditor, LongRecordsAreShownWholeAndStoredUncut) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(font, read_file(DEJAVU)), 0);
    ttf_name& t = *font.name;
    const std::string licence = stored(t, 3, 1, 0x409, 13);
    ASSERT_GT(licence.size(), 4000u);
    const int records = t.count();
    name_editor ed(&t, true);
    int row = -1;
    std::vector<std::string> lines = ed.lines();
    for (size_t i = 0; i < lines.size(); i++)
        if (lines[i].rfind("0003-0001-0409-000d ", 0) == 0)
            row = (int)i;
    ASSERT_GE(row, 0);
    // The list line and the field hold all of it, the line breaks shown
    // as a sign.
    long length = t.text_capacity(row);
    std::vector<char> buffer((size_t)length);
    unsigned short ids[4];
    ASSERT_EQ(t.get_field(row, &ids[0], &ids[1], &ids[2], &ids[3], &length, buffer.data()), 0);
    const std::string whole(buffer.data(), (size_t)length);
    ASSERT_EQ(whole.size(), licence.size() / 2);
    std::string shown;
    for (char c : whole)
        shown += c == '\n' ? std::string("\xE2\x86\xB5") : std::string(1, c);
    EXPECT_EQ(lines[(size_t)row], "0003-0001-0409-000d " + shown);
    click_row(ed.table->list, row);
    EXPECT_EQ(ed.fields()[4], shown);
    kit_testing::screenshot(ed.window, "name_editor_licence");

    // "set" on it unchanged keeps the record as it was, line breaks too.
    click(ed.button("set"));
    EXPECT_EQ(stored(t, 3, 1, 0x409, 13), licence);
    EXPECT_EQ(t.count(), records);

    // Edited, it keeps its line breaks; a tab the field cannot hold goes.
    kit_testing::locked(ed.window, [&] { t.set_field(1, 0, 0, 0x13, "one\ttwo\nthree"); });
    kit_testing::locked(ed.window, [&] { t.redraw(); });
    click_row(ed.table->list, 13);
    ASSERT_EQ(ed.fields()[3], "0013");
    EXPECT_EQ(ed.fields()[4], "onetwo\xE2\x86\xB5three");
    click(ed.button("set"));
    EXPECT_EQ(stored(t, 1, 0, 0, 0x13), "one\ttwo\nthree"); // unchanged: as it was
    type_into(ed.table->datatext, "one\xE2\x86\xB5two\xE2\x86\xB5", false);
    click(ed.button("set"));
    EXPECT_EQ(stored(t, 1, 0, 0, 0x13), "one\ntwo\n");

    // A long text typed in is stored whole, in Macintosh Roman.
    const std::string typed = std::string(150, 'x') + std::string(150, 'y') + "\xC3\xA9";
    click(ed.button("add"));
    ed.set("1", "0", "0", "12", typed);
    EXPECT_EQ(stored(t, 1, 0, 0, 18), typed.substr(0, 300) + "\x8E");
    EXPECT_EQ(ed.fields()[4], typed);
}
