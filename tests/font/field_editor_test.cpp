// The single-field editors of the maxp and post views, driven by typing
// into their text controls: a committed hexadecimal value is stored
// big-endian in its field and shown back with the field's width; a table
// too short for the field is left as it was and the user told why.
#include "font/maxp.h"
#include "font/post.h"

#include "font/table_editor_support.h"
#include "kit/kit_test_support.h"

#include <TextControl.h>

#include <gtest/gtest.h>

#include <string>

using namespace kit_testing;

namespace {

// Clicks into the control's text (right of its 120-pixel label) and
// commits `text` with Enter.
void commit(BWindow* window, BTextControl* control, const char* text) {
    BRect field = control->Frame();
    BPoint into(field.left + 140, field.top + 10);
    screen().mouse_down(window, into);
    screen().mouse_up(window, into);
    screen().wait_idle();
    locked(window, [&] { control->SetText(""); });
    for (const char* p = text; *p; p++) {
        char key[2] = {*p, 0};
        screen().key_down(window, key);
        screen().key_up(window, key);
    }
    screen().key_down(window, "\n", 0);
    screen().key_up(window, "\n", 0);
    screen().wait_idle();
}

} // namespace

TEST(FieldEditor, MaxStackElementsKeepsTheLowSixteenBitsOfWhatIsTyped) {
    ttf_maxp* maxp = new ttf_maxp(nullptr, malloc32(32), 32);
    BWindow* window = open_window(561, 511, "maxp");
    locked(window, [&] { window->AddChild(maxp); });
    screen().wait_idle();
    ASSERT_NE(maxp->control, nullptr);
    EXPECT_STREQ(maxp->control->Name(), "maxstackelements");
    EXPECT_STREQ(maxp->control->Label(), "maxStackElements");
    EXPECT_STREQ(maxp->control->Text(), "");

    struct {
        const char* typed;
        unsigned stored;
        const char* shown;
    } const cases[] = {
        {"20", 0x0020, "0020"},   {"12345", 0x2345, "2345"},
        {"-1", 0xFFFF, "ffff"},   {"xyz", 0xFFFF, "xyz"}, // no number: nothing changes
        {"0x7f", 0x007F, "007f"},
    };
    for (const auto& c : cases) {
        commit(window, maxp->control, c.typed);
        EXPECT_EQ(maxp->bytes().u16(24), c.stored) << c.typed;
        EXPECT_STREQ(maxp->control->Text(), c.shown) << c.typed;
    }
    // Only maxStackElements was written.
    for (unsigned off = 0; off < 32; off += 2) {
        if (off != 24) {
            EXPECT_EQ(maxp->bytes().u16(off), 0u) << off;
        }
    }
    close(window);
}

TEST(FieldEditor, IsFixedPitchTakesAllThirtyTwoBits) {
    ttf_post* post = new ttf_post(nullptr, nullptr, 0);
    BWindow* window = open_window(561, 511, "post");
    locked(window, [&] { window->AddChild(post); });
    screen().wait_idle();
    ASSERT_NE(post->control, nullptr);
    EXPECT_STREQ(post->control->Name(), "isFixedPitch");

    commit(window, post->control, "1");
    EXPECT_EQ(post->bytes().u32(12), 1u);
    EXPECT_STREQ(post->control->Text(), "00000001");
    commit(window, post->control, "123456789");
    EXPECT_EQ(post->bytes().u32(12), 0x23456789u);
    EXPECT_STREQ(post->control->Text(), "23456789");
    // The default header around it is untouched.
    EXPECT_EQ(post->bytes().u32(0), 0x00030000u);
    EXPECT_EQ(post->bytes().u16(10), 20u);
    close(window);
}

TEST(FieldEditor, ATableTooShortForTheFieldKeepsItsBytesAndSaysSo) {
    struct {
        ttf_field_list* table;
        const char* said;
    } const cases[] = {
        {new ttf_maxp(nullptr, malloc32(6), 6), "has no maxStackElements: nothing was changed"},
        {new ttf_post(nullptr, malloc32(12), 12), "too short to hold isFixedPitch"},
    };
    for (const auto& c : cases) {
        BWindow* window = open_window(561, 511, "short");
        locked(window, [&] { window->AddChild(c.table); });
        screen().wait_idle();
        commit(window, c.table->control, "1");
        EXPECT_NE(table_editor_testing::answer_alert().find(c.said), std::string::npos) << c.said;
        for (unsigned off = 0; off < c.table->length; off++)
            EXPECT_EQ(c.table->bytes().u8(off), 0u) << c.said << " byte " << off;
        EXPECT_STREQ(c.table->control->Text(), "1") << "the text stays as typed";

        // The control keeps its place above the bottom edge as the view grows.
        locked(window, [&] { window->ResizeTo(800, 700); });
        screen().wait_idle();
        BRect frame, bounds;
        locked(window, [&] {
            frame = c.table->control->Frame();
            bounds = c.table->Bounds();
        });
        EXPECT_EQ(frame.bottom, bounds.bottom - 41) << c.said;
        EXPECT_GT(bounds.bottom, 600) << c.said;
        close(window);
    }
}
