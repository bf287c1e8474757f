#include "font/gasp.h"

#include "font/font_builder.h"
#include "font/ttf.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

typedef std::vector<std::pair<unsigned short, unsigned short>> ranges;

std::unique_ptr<ttf_gasp> make(const ranges& rs, unsigned short version = 0, long count = -1,
                               size_t extra = 0) {
    size_t size = 4 + 4 * rs.size() + extra;
    unsigned char* p = malloc32((long)size);
    byte_writer w(p, size);
    w.put16(0, version);
    w.put16(2, (uint16_t)(count >= 0 ? (size_t)count : rs.size()));
    for (size_t i = 0; i < rs.size(); i++) {
        w.put16(4 + 4 * i, rs[i].first);
        w.put16(6 + 4 * i, rs[i].second);
    }
    return std::make_unique<ttf_gasp>(nullptr, p, size);
}

ranges read(ttf_gasp& g) {
    ranges out;
    for (int i = 0; i < g.count(); i++) {
        unsigned short m = 0, b = 0;
        EXPECT_EQ(g.get_field(i, &m, &b), 0);
        out.push_back({m, b});
    }
    return out;
}

} // namespace

TEST(Gasp, SettingANewSizeInsertsItInAscendingOrder) {
    auto g = make({{8, 2}, {0xFFFF, 3}}, 1);
    EXPECT_EQ(g->set_field(-1, 16, 1), 0);
    EXPECT_EQ(read(*g), (ranges{{8, 2}, {16, 1}, {0xFFFF, 3}}));
    EXPECT_EQ(g->length, 16u);
    EXPECT_EQ(g->bytes().u16(0), 0); // rebuilt as version 0
    EXPECT_EQ(g->set_field(-1, 4, 0), 0);
    EXPECT_EQ(read(*g).front(), (std::pair<unsigned short, unsigned short>{4, 0}));
}

TEST(Gasp, SettingAnExistingSizeRewritesItInPlace) {
    auto g = make({{8, 2}, {0xFFFF, 3}}, 1);
    unsigned char* before = g->data;
    EXPECT_EQ(g->set_field(-1, 8, 3), 0);
    EXPECT_EQ(g->data, before);
    EXPECT_EQ(read(*g), (ranges{{8, 3}, {0xFFFF, 3}}));
    EXPECT_EQ(g->bytes().u16(0), 1); // version left as it was
}

TEST(Gasp, DeletingAndNothingToDo) {
    auto g = make({{8, 2}, {0xFFFF, 3}});
    EXPECT_EQ(g->set_field(-1, 0, 3), 2); // no size, no range of size 0
    EXPECT_EQ(g->set_field(2, 0, 0), 1);
    EXPECT_EQ(g->set_field(0, 0, 0), 0);
    EXPECT_EQ(read(*g), (ranges{{0xFFFF, 3}}));
    EXPECT_EQ(g->set_field(0, 0, 0), 0);
    EXPECT_EQ(g->count(), 0);
    EXPECT_EQ(g->length, 4u);
    // A range of size 0 is removed by "set" with size 0.
    auto z = make({{0, 1}, {9, 1}});
    EXPECT_EQ(z->set_field(-1, 0, 0), 0);
    EXPECT_EQ(read(*z), (ranges{{9, 1}}));
}

TEST(Gasp, GivingARangeAnotherSizeKeepsTheSizesAscending) {
    auto g = make({{8, 2}, {16, 1}, {0xFFFF, 3}});
    EXPECT_EQ(g->set_field(0, 20, 3), 0);
    EXPECT_EQ(read(*g), (ranges{{16, 1}, {20, 3}, {0xFFFF, 3}}));
    EXPECT_EQ(g->set_field(0, 0xFFFF, 2), 0); // onto an existing size: merged
    EXPECT_EQ(read(*g), (ranges{{20, 3}, {0xFFFF, 2}}));
}

TEST(Gasp, UnknownBehaviourBitsAreCarriedThroughAndLabelled) {
    auto g = make({{8, 0x000F}, {0xFFFF, 0x000A}}, 1);
    EXPECT_EQ(g->set_field(-1, 12, 1), 0);
    EXPECT_EQ(read(*g), (ranges{{8, 0x000F}, {12, 1}, {0xFFFF, 0x000A}}));
    // Those bits need version 1, which the rebuild keeps.
    EXPECT_EQ(g->bytes().u16(0), 1);
    EXPECT_EQ(g->set_field(-1, 8, 3), 0);
    EXPECT_EQ(g->set_field(-1, 0xFFFF, 2), 0);
    EXPECT_EQ(g->set_field(-1, 12, 0), 0);
    EXPECT_EQ(g->set_field(2, 0, 0), 0);
    EXPECT_EQ(g->bytes().u16(0), 0);

    char label[GASP_LABEL_SIZE];
    gasp_label(3, label);
    EXPECT_STREQ(label, "Use gridfitting & grayscale rendering");
    gasp_label(0, label);
    EXPECT_STREQ(label, "none");
    gasp_label(0x000F, label);
    EXPECT_STREQ(label, "Use gridfitting & grayscale rendering + flags 000c");
    gasp_label(0x8008, label);
    EXPECT_STREQ(label, "none + flags 8008");
}

TEST(Gasp, TablesCutShortNeverReadPastTheirEnd) {
    for (unsigned long size = 0; size < 4; size++) {
        ttf_gasp g(nullptr, malloc32((long)size), size);
        EXPECT_EQ(g.count(), 0);
        EXPECT_EQ(g.set_field(-1, 9, 1), 0);
        EXPECT_EQ(read(g), (ranges{{9, 1}}));
    }
    auto g = make({{8, 2}}, 0, 0xFFFF, 2); // claims 65535 ranges, has 1.5
    EXPECT_EQ(g->count(), 1);
    unsigned short m = 7, b = 7;
    EXPECT_EQ(g->get_field(1, &m, &b), 1);
    EXPECT_EQ(m, 7);
    EXPECT_EQ(g->set_field(-1, 10, 1), 0);
    EXPECT_EQ(read(*g), (ranges{{8, 2}, {10, 1}}));
    EXPECT_EQ(g->length, 12u);
}

TEST(GaspInFont, EditedRangesOfARealFontSaveAsTheReadersExpect) {
    ttf font;
    ASSERT_EQ(font_builder::load_bytes(
                  font, read_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")),
              0);
    ASSERT_NE(font.gasp, nullptr);
    ASSERT_EQ(read(*font.gasp), (ranges{{8, 2}, {0xFFFF, 3}}));
    EXPECT_EQ(font.gasp->set_field(-1, 16, 1), 0);
    std::string path = font_builder::save_font(font);
    ASSERT_FALSE(path.empty());
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
    EXPECT_EQ(out, "0 [(8, 2), (16, 1), (65535, 3)]\n");
}
