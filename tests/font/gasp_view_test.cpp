// The gasp table's editor driven through its controls: rows clicked, a
// size typed, the behaviour boxes ticked, "add", "set" and "del" pressed;
// the table's bytes, the list's lines and the controls checked, and the
// edited font saved, loaded again and read by fontTools and OTS.
#include "font/gasp.h"

#include "font/font_builder.h"
#include "font/table_editor_support.h"
#include "font/ttf.h"
#include "support/test_support.h"

#include <CheckBox.h>
#include <Messenger.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace table_editor_testing;
using namespace testing_support;

namespace {

typedef std::vector<std::pair<unsigned short, unsigned short>> ranges;

ttf_gasp* make(const ranges& rs, unsigned short version = 0) {
    size_t size = 4 + 4 * rs.size();
    unsigned char* p = malloc32((long)size);
    byte_writer w(p, size);
    w.put16(0, version);
    w.put16(2, (uint16_t)rs.size());
    for (size_t i = 0; i < rs.size(); i++) {
        w.put16(4 + 4 * i, rs[i].first);
        w.put16(6 + 4 * i, rs[i].second);
    }
    return new ttf_gasp(nullptr, p, size);
}

struct gasp_editor {
    ttf_gasp* table;
    BWindow* window;
    bool owned_by_font;

    explicit gasp_editor(ttf_gasp* t, bool font_owns = false)
        : table(t), window(show_editor(t)), owned_by_font(font_owns) {}
    ~gasp_editor() { close_editor(window, owned_by_font ? table : nullptr); }

    ranges stored() {
        ranges out;
        kit_testing::locked(window, [&] {
            for (int i = 0; i < table->count(); i++) {
                unsigned short m, b;
                table->get_field(i, &m, &b);
                out.push_back({m, b});
            }
        });
        return out;
    }
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        kit_testing::locked(window, [&] {
            for (int32 i = 0; i < table->list->CountItems(); i++)
                out.push_back(((BStringItem*)table->list->ItemAt(i))->Text());
        });
        return out;
    }
    // "max-pt" and the two boxes as "text grid gray".
    std::string controls() {
        std::string out;
        kit_testing::locked(window, [&] {
            out = std::string(table->pt->Text()) + " " + std::to_string(table->gridfit->Value()) +
                  " " + std::to_string(table->grayscale->Value());
        });
        return out;
    }
    // Types the size, sets the boxes as asked by clicking them, presses "set".
    void set(const char* size, bool grid, bool gray) {
        type_into(table->pt, size);
        bool on[2];
        kit_testing::locked(window, [&] {
            on[0] = table->gridfit->Value() != 0;
            on[1] = table->grayscale->Value() != 0;
        });
        if (on[0] != grid)
            click(table->gridfit);
        if (on[1] != gray)
            click(table->grayscale);
        click(table->set);
    }
    size_t length() {
        size_t n;
        kit_testing::locked(window, [&] { n = table->length; });
        return n;
    }
};

} // namespace

TEST(GaspEditor, SetAddsASizeOrChangesItsBehaviourInPlace) {
    gasp_editor ed(make({{8, 2}, {0xFFFF, 3}}));
    EXPECT_EQ(ed.lines(),
              (std::vector<std::string>{"- 0008 : Use grayscale rendering",
                                        "- ffff : Use gridfitting & grayscale rendering"}));
    EXPECT_EQ(ed.controls(), " 0 0");

    // "10" is hexadecimal: size 16.
    ed.set("10", true, false);
    EXPECT_EQ(ed.stored(), (ranges{{8, 2}, {16, 1}, {0xFFFF, 3}}));
    EXPECT_EQ(ed.length(), 16u);
    EXPECT_EQ(ed.lines()[1], "- 0010 : Use gridfitting");
    EXPECT_EQ(ed.controls(), "0010 1 0"); // the new range, selected

    // An existing size is rewritten where it stands.
    unsigned char* before = ed.table->data;
    click(ed.table->add);
    EXPECT_EQ(ed.controls(), " 0 0");
    ed.set("8", true, true);
    EXPECT_EQ(ed.stored(), (ranges{{8, 3}, {16, 1}, {0xFFFF, 3}}));
    EXPECT_EQ(ed.table->data, before);

    // Selecting fills the controls; "add" empties them.
    click_row(ed.table->list, 2);
    EXPECT_EQ(ed.controls(), "ffff 1 1");
    click_row(ed.table->list, 1);
    EXPECT_EQ(ed.controls(), "0010 1 0");
    click(ed.table->add);
    EXPECT_EQ(ed.controls(), " 0 0");
    kit_testing::screenshot(ed.window, "gasp_editor");

    // Size 0 adds nothing; a size past 16 bits is refused and said so.
    ed.set("", true, false);
    ed.set("0", false, true);
    EXPECT_EQ(ed.stored(), (ranges{{8, 3}, {16, 1}, {0xFFFF, 3}}));
    for (const char* size : {"10000", "100000010"}) {
        ed.set(size, true, false);
        std::string said = answer_alert();
        EXPECT_NE(said.find("max-pt " + std::string(size) + " does not fit in 16 bits"),
                  std::string::npos)
            << said;
    }
    EXPECT_EQ(ed.stored(), (ranges{{8, 3}, {16, 1}, {0xFFFF, 3}}));
}

TEST(GaspEditor, BehaviourBitsTheBoxesDoNotShowAreKeptAndLabelled) {
    gasp_editor ed(make({{8, 0x000F}, {12, 0x0008}, {0xFFFF, 0x000A}}, 1));
    EXPECT_EQ(ed.lines(),
              (std::vector<std::string>{
                  "- 0008 : Use gridfitting & grayscale rendering + flags 000c",
                  "- 000c : none + flags 0008", "- ffff : Use grayscale rendering + flags 0008"}));
    click_row(ed.table->list, 0);
    EXPECT_EQ(ed.controls(), "0008 1 1");
    // Turning grid-fitting off changes bit 0 alone.
    click(ed.table->gridfit);
    click(ed.table->set);
    EXPECT_EQ(ed.stored(), (ranges{{8, 0x000E}, {12, 0x0008}, {0xFFFF, 0x000A}}));
    EXPECT_EQ(ed.table->bytes().u16(0), 1);
    // A new size gets only what the boxes say.
    click(ed.table->add);
    ed.set("20", true, false);
    EXPECT_EQ(ed.stored()[2], (std::pair<unsigned short, unsigned short>{0x20, 1}));
}

TEST(GaspEditor, DeletingTheLastRangeAsksFirst) {
    gasp_editor ed(make({{8, 2}, {16, 1}, {0xFFFF, 3}}));
    // A range before the last goes at once.
    click_row(ed.table->list, 0);
    click(ed.table->del);
    EXPECT_EQ(ed.stored(), (ranges{{16, 1}, {0xFFFF, 3}}));
    EXPECT_EQ(ed.lines().size(), 2u);
    EXPECT_EQ(ed.controls(), " 0 0");
    EXPECT_TRUE(alerts().empty());

    // The ffff range: "Keep" (Enter's button) leaves it.
    click_row(ed.table->list, 1);
    click(ed.table->del);
    std::string said = answer_alert(1);
    EXPECT_NE(said.find("Readers need a last range of size ffff"), std::string::npos) << said;
    EXPECT_EQ(ed.stored(), (ranges{{16, 1}, {0xFFFF, 3}}));
    // "Delete" removes it.
    click(ed.table->del);
    answer_alert(0);
    EXPECT_EQ(ed.stored(), (ranges{{16, 1}}));
    EXPECT_EQ(ed.length(), 8u);
    // Without a selection "del" does nothing.
    click(ed.table->del);
    EXPECT_EQ(ed.stored(), (ranges{{16, 1}}));
    // The only range left is not ffff: no question.
    click_row(ed.table->list, 0);
    click(ed.table->del);
    EXPECT_EQ(ed.length(), 4u);
    EXPECT_TRUE(alerts().empty());
}

TEST(GaspEditor, StaleSelectionsAreIgnored) {
    gasp_editor ed(make({{8, 2}, {16, 1}, {0xFFFF, 3}}));
    click_row(ed.table->list, 2);
    ASSERT_EQ(ed.controls(), "ffff 1 1");
    // Something else shrinks the table under the list.
    kit_testing::locked(ed.window, [&] { ed.table->set_field(0, 0, 0); });
    click(ed.table->del);
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(ed.stored(), (ranges{{16, 1}, {0xFFFF, 3}}));
    BMessage late('Fsel');
    late.AddInt32("index", 2);
    BMessenger(ed.table).SendMessage(&late);
    ASSERT_TRUE(screen().wait_idle());
    EXPECT_EQ(ed.controls(), "ffff 1 1");
}

TEST(GaspEditor, EditedRangesOfARealFontSurviveSaveAndReload) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(font, read_file("/usr/share/fonts/truetype/dejavu/"
                                                       "DejaVuSans.ttf")),
              0);
    ASSERT_NE(font.gasp, nullptr);
    {
        gasp_editor ed(font.gasp, true);
        ed.set("10", true, false);
        click_row(ed.table->list, 0);
        click(ed.table->gridfit);
        click(ed.table->set);
        EXPECT_EQ(ed.stored(), (ranges{{8, 3}, {16, 1}, {0xFFFF, 3}}));
    }
    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());
    ttf again;
    ASSERT_EQ(font_builder::load_bytes(again, read_file(path)), 0);
    gasp_editor ed(again.gasp, true);
    EXPECT_EQ(ed.lines(),
              (std::vector<std::string>{"- 0008 : Use gridfitting & grayscale rendering",
                                        "- 0010 : Use gridfitting",
                                        "- ffff : Use gridfitting & grayscale rendering"}));
    std::string out;
    EXPECT_EQ(run_command("ots-sanitize '" + path + "'", &out), 0) << out;
    out.clear();
    EXPECT_EQ(run_command(python() +
                              " -c \"import sys; from fontTools.ttLib import TTFont; "
                              "g = TTFont(sys.argv[1])['gasp']; "
                              "print(g.version, sorted(g.gaspRange.items()))\" " +
                              path,
                          &out),
              0);
    EXPECT_EQ(out, "0 [(8, 3), (16, 1), (65535, 3)]\n");
}
