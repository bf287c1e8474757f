// Damaged and hostile files: each case is built in code, then loaded; a
// refused file leaves the container empty with a reason, an accepted one
// must survive a walk over every glyph and a save.
#include "font/ttf.h"

#include "font/cmap.h"
#include "font/glyf.h"
#include "font/hmtx.h"
#include "font/maxp.h"

#include <gtest/gtest.h>

#include <functional>

#include "font/hostile_fonts.h"
#include "support/test_support.h"

using namespace font_builder;

using namespace hostile_fonts;

TEST(TtfHostileLoad, RefusesOrSurvivesEveryCase) {
    for (const hostile_case& c : CASES) {
        SCOPED_TRACE(c.label);
        ttf font;
        ASSERT_EQ(load_bytes(font, c.build()), c.expected);
        if (c.expected != 0) {
            EXPECT_NE(font.load_error(), nullptr);
            EXPECT_EQ(font.dir, nullptr);
            EXPECT_EQ(font.head, nullptr);
            EXPECT_EQ(font.cmap, nullptr);
            EXPECT_TRUE(font.others.empty());
            EXPECT_EQ(save_font(font), ""); // nothing to save
            continue;
        }
        EXPECT_EQ(font.load_error(), nullptr);
        for (unsigned g = 0; g < font.maxp->numglyphs(); g++) {
            unsigned short d, n, nc, np, aw;
            short x0, y0, x1, y1, lsb;
            font.glyf->get_info((unsigned short)g, &d, &n, &nc, &np);
            font.glyf->get_rect((unsigned short)g, &x0, &y0, &x1, &y1);
            font.hmtx->get_mtx((unsigned short)g, &aw, &lsb);
        }
        EXPECT_EQ(font.cmap->set_chr(0x41, 0x43, 1), 0);
        EXPECT_NE(save_font(font), "");
    }
}

TEST(TtfHostileLoad, ReasonGoesToStandardErrorAndCaller) {
    ttf font;
    testing::internal::CaptureStderr();
    EXPECT_EQ(load_bytes(font, without("loca")), 1);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "ttf:load: a table the editor needs is missing (name=[loca])\n");
    EXPECT_STREQ(font.load_error(), "a table the editor needs is missing (name=[loca])");
}
