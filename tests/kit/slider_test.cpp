#include "control_test_support.h"

#include <Slider.h>

#include <gtest/gtest.h>

using namespace kit_testing;

namespace {
BSlider* metric_slider(control_window& w, int32 min, int32 max, rgb_color bar) {
    BSlider* slider = new BSlider(BRect(20, 80, 240, 100), "right", nullptr, new BMessage('Smov'),
                                  min, max, B_BLOCK_THUMB, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                                  B_WILL_DRAW | B_NAVIGABLE | B_FRAME_EVENTS);
    slider->SetBarColor(bar);
    return w.add(slider);
}
} // namespace

TEST(Slider, DraggingTheThumbReportsValuesAsItMovesAndOnRelease) {
    control_window w;
    BSlider* slider = metric_slider(w, 0, 2000, rgb_color{0, 255, 255, 255});
    ASSERT_TRUE(w.idle());
    // The bar shows its colour.
    EXPECT_EQ(rgb(w.window, 150, 90), 0x00FFFFu);

    // The thumb starts at the left end; drag it right in steps.
    screen().mouse_down(w.window, BPoint(27, 90));
    screen().mouse_move(w.window, BPoint(80, 90), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_move(w.window, BPoint(130, 90), B_PRIMARY_MOUSE_BUTTON);
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> during = w.messages('Smov');
    ASSERT_EQ(during.size(), 2u) << "a message for each move, before the release";
    int32 first = during[0].GetInt32("be:value", -1);
    int32 second = during[1].GetInt32("be:value", -1);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(source_of(during[1]), slider);

    // Past the right end the value stops at the maximum.
    screen().mouse_move(w.window, BPoint(390, 90), B_PRIMARY_MOUSE_BUTTON);
    screen().mouse_up(w.window, BPoint(390, 90));
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> all = w.messages('Smov');
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3].GetInt32("be:value", -1), 2000);
    int32 value = 0;
    locked(w.window, [&] { value = slider->Value(); });
    EXPECT_EQ(value, 2000);
    screenshot(w.window, "slider");
}

TEST(Slider, ValuesAreKeptInsideTheLimitsAndArrowKeysStep) {
    control_window w;
    BSlider* slider = metric_slider(w, -1000, 1000, rgb_color{0, 255, 0, 255});
    locked(w.window, [&] {
        EXPECT_EQ(slider->Value(), -1000);
        slider->SetValue(65436); // a side bearing typed as ff9c
        EXPECT_EQ(slider->Value(), 1000);
        slider->SetValue(-100);
        slider->MakeFocus(true);
    });
    w.key(B_RIGHT_ARROW);
    w.key(B_RIGHT_ARROW);
    w.key(B_LEFT_ARROW);
    ASSERT_TRUE(w.idle());
    int32 value = 0;
    locked(w.window, [&] { value = slider->Value(); });
    EXPECT_EQ(value, -99);
    EXPECT_EQ(w.messages('Smov').size(), 3u);
    // A click on the bar moves the thumb there at once: the middle is 0.
    w.click(BPoint(130, 90));
    ASSERT_TRUE(w.idle());
    locked(w.window, [&] { value = slider->Value(); });
    EXPECT_NEAR(value, 0, 10);
}
