#include "font/hmtx.h"

#include "font/hhea.h"
#include "font/maxp.h"
#include "font/ttf.h"

#include <gtest/gtest.h>

#include <cstring>

#include "font/font_builder.h"

using namespace font_builder;

namespace {

unsigned char* copy(const bytes& b) {
    unsigned char* p = malloc32((long)b.size());
    std::memcpy(p, b.data(), b.size());
    return p;
}

// N glyphs, n full entries {100 + g, -g}, then side bearings -(g) for the rest.
struct metrics_font {
    ttf font;
    metrics_font(unsigned N, unsigned n, size_t cut = 0) {
        bytes m = maxp_table(N), h = hhea_table(n), x;
        for (unsigned g = 0; g < n; g++) {
            add16(x, 100 + g);
            add16(x, (uint16_t) - (int)g);
        }
        for (unsigned g = n; g < N; g++)
            add16(x, (uint16_t) - (int)g);
        if (cut)
            x.resize(x.size() - cut);
        font.maxp = new ttf_maxp(&font, copy(m), m.size());
        font.hhea = new ttf_hhea(&font, copy(h), h.size());
        font.hmtx = new ttf_hmtx(&font, copy(x), x.size());
    }
};

} // namespace

TEST(Hmtx, SharedAdvanceWidthPastTheFullEntries) {
    metrics_font f(10, 8);
    unsigned short aw = 0;
    short lsb = 0;
    ASSERT_EQ(f.font.hmtx->get_mtx(7, &aw, &lsb), 0);
    EXPECT_EQ(aw, 107);
    EXPECT_EQ(lsb, -7);
    ASSERT_EQ(f.font.hmtx->get_mtx(8, &aw, &lsb), 0);
    EXPECT_EQ(aw, 107);
    EXPECT_EQ(lsb, -8); // bytes 32-33
    ASSERT_EQ(f.font.hmtx->get_mtx(9, &aw, &lsb), 0);
    EXPECT_EQ(lsb, -9); // bytes 34-35
    aw = 1;
    EXPECT_EQ(f.font.hmtx->get_mtx(10, &aw, &lsb), 1);
    EXPECT_EQ(aw, 1);

    bytes before(f.font.hmtx->data, f.font.hmtx->data + 36);
    ASSERT_EQ(f.font.hmtx->set_mtx(9, 600, -5), 0);
    for (size_t i = 0; i < 36; i++) {
        if (i != 34 && i != 35) {
            EXPECT_EQ(before[i], f.font.hmtx->data[i]) << i;
        }
    }
    EXPECT_EQ(f.font.hmtx->bytes().s16(34), -5);
    ASSERT_EQ(f.font.hmtx->set_mtx(2, 600, -5), 0);
    EXPECT_EQ(f.font.hmtx->bytes().u16(8), 600);
    EXPECT_EQ(f.font.hmtx->bytes().s16(10), -5);
    EXPECT_EQ(f.font.hmtx->set_mtx(10, 600, -5), 1);
}

TEST(Hmtx, NoFullEntryOrShortTableGivesNoMetrics) {
    metrics_font none(4, 0);
    unsigned short aw;
    short lsb;
    EXPECT_EQ(none.font.hmtx->get_mtx(0, &aw, &lsb), 1);
    EXPECT_EQ(none.font.hmtx->set_mtx(3, 1, 1), 1);

    metrics_font cut(10, 8, 3); // the last side bearing and a half are gone
    EXPECT_EQ(cut.font.hmtx->get_mtx(8, &aw, &lsb), 1);
    EXPECT_EQ(cut.font.hmtx->get_mtx(9, &aw, &lsb), 1);
    EXPECT_EQ(cut.font.hmtx->set_mtx(9, 1, 1), 1);
    EXPECT_EQ(cut.font.hmtx->get_mtx(7, &aw, &lsb), 0);

    // More full entries claimed than the table holds.
    metrics_font over(10, 10, 8);
    EXPECT_EQ(over.font.hmtx->get_mtx(9, &aw, &lsb), 1);
    EXPECT_EQ(over.font.hmtx->get_mtx(7, &aw, &lsb), 0);
}
