#include "control_test_support.h"

#include "kit/display/clipboard.h"

#include <TextControl.h>

#include <gtest/gtest.h>

using namespace kit_testing;

namespace {

BTextControl* text_control(control_window& w, BRect frame, const char* name, const char* label,
                           const char* text = "") {
    return w.add(new BTextControl(frame, name, label, text, new BMessage('Vchg')));
}

std::string text_of(control_window& w, BTextControl* control) {
    std::string text;
    locked(w.window, [&] { text = control->Text(); });
    return text;
}

} // namespace

TEST(TextControl, TypingAndEnterCommitTheTextWithSourceAndWhen) {
    control_window w;
    BTextControl* field = text_control(w, BRect(20, 30, 120, 50), "st", "st_glyph");
    locked(w.window, [&] { field->SetDivider(50); });
    w.click(BPoint(80, 40));
    w.type("12ab");
    ASSERT_TRUE(w.idle());
    EXPECT_TRUE(w.messages('Vchg').empty()) << "typing alone commits nothing";
    w.key(B_ENTER);
    ASSERT_TRUE(w.idle());

    std::vector<BMessage> sent = w.messages('Vchg');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(source_of(sent[0]), field);
    EXPECT_TRUE(sent[0].HasInt64("when"));
    EXPECT_EQ(text_of(w, field), "12ab");
}

TEST(TextControl, EditingKeysMoveByWholeUtf8Characters) {
    control_window w;
    BTextControl* field = text_control(w, BRect(10, 10, 300, 30), "data", "DATA");
    w.click(BPoint(200, 20));
    w.type("abcd");
    w.key(B_LEFT_ARROW);
    w.key(B_LEFT_ARROW);
    w.key(B_BACKSPACE); // removes b
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "acd");

    w.key(B_HOME);
    w.key(B_DELETE); // removes a
    w.key(B_END);
    w.type("\xC3\xA9\xE2\x82\xAC"); // é€
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "cd\xC3\xA9\xE2\x82\xAC");

    w.key(B_BACKSPACE); // the whole three-byte euro sign
    w.key(B_LEFT_ARROW);
    w.type("x"); // lands before é, not inside it
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "cdx\xC3\xA9");

    // Shift extends the selection; typing replaces it.
    w.key(B_HOME, B_SHIFT_KEY);
    w.type("z");
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "z\xC3\xA9");

    // Control characters and broken UTF-8 are not inserted.
    screen().key_down(w.window, "\xA9", 0, 0);
    screen().key_down(w.window, "\x07", 0, 0);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "z\xC3\xA9");
}

TEST(TextControl, CopyAndPasteGoThroughTheClipboard) {
    control_window w;
    BTextControl* from = text_control(w, BRect(10, 10, 200, 30), "from", "from", "0041");
    BTextControl* to = text_control(w, BRect(10, 50, 200, 70), "to", "to", "x");
    w.click(BPoint(150, 20));
    w.key('a', B_CONTROL_KEY);
    w.key('c', B_CONTROL_KEY);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(kit::clipboard_text(), "0041");

    w.click(BPoint(150, 60)); // caret after "x"
    w.key('v', B_COMMAND_KEY);
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, to), "x0041");

    // Cut takes the selection out of the field.
    w.key(B_HOME, B_SHIFT_KEY);
    w.key(0x18, B_CONTROL_KEY); // ^X as a terminal sends it
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, to), "");
    EXPECT_EQ(kit::clipboard_text(), "x0041");
    EXPECT_EQ(text_of(w, from), "0041");
}

TEST(TextControl, LeavingAChangedFieldCommitsItAndAnUnchangedOneDoesNot) {
    control_window w;
    BTextControl* first = text_control(w, BRect(10, 10, 200, 30), "first", "first");
    BTextControl* second = text_control(w, BRect(10, 50, 200, 70), "second", "second");
    w.click(BPoint(150, 20));
    w.type("7");
    w.key(B_TAB);
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> sent = w.messages('Vchg');
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(source_of(sent[0]), first);
    bool secondFocused = false;
    locked(w.window, [&] { secondFocused = second->IsFocus(); });
    EXPECT_TRUE(secondFocused);

    w.key(B_TAB, B_SHIFT_KEY); // back, with nothing typed in the second
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(w.messages('Vchg').size(), 1u);
}

TEST(TextControl, SetTextReplacesTheTextWithoutSendingAnything) {
    control_window w;
    BTextControl* field = text_control(w, BRect(10, 10, 200, 30), "width", "width", "old");
    locked(w.window, [&] { field->SetText("0258"); });
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(text_of(w, field), "0258");
    EXPECT_TRUE(w.messages('Vchg').empty());
}

TEST(TextControl, ModificationMessageFollowsEveryEdit) {
    control_window w;
    BTextControl* field = text_control(w, BRect(10, 10, 200, 30), "pt", "max-pt");
    locked(w.window, [&] { field->SetModificationMessage(new BMessage('Tmod')); });
    w.click(BPoint(150, 20));
    w.type("ab");
    w.key(B_BACKSPACE);
    w.key(B_LEFT_ARROW); // moves only
    ASSERT_TRUE(w.idle());
    std::vector<BMessage> mods = w.messages('Tmod');
    ASSERT_EQ(mods.size(), 3u);
    EXPECT_EQ(source_of(mods[2]), field);
}

TEST(TextControl, DrawsLabelWhiteFieldFocusMarkAndCaretInsideItsFrame) {
    control_window w(199, 59);
    // Controls take their parent's colour when they are attached.
    locked(w.window, [&] {
        w.log->SetViewColor(200, 200, 220);
        w.log->Invalidate();
    });
    BTextControl* field = text_control(w, BRect(10, 10, 150, 30), "gno", "gno.");
    locked(w.window, [&] { field->SetDivider(40); });
    ASSERT_TRUE(w.idle());
    // Unfocused: white field, no blue mark, label ink left of the divider.
    EXPECT_EQ(rgb(w.window, 100, 20), 0xFFFFFFu);
    EXPECT_NE(rgb(w.window, 51, 12), 0x0000E5u);
    bool ink = false;
    for (int x = 10; x < 50; x++)
        for (int y = 12; y < 29; y++)
            ink = ink || rgb(w.window, x, y) == 0x000000u ||
                  (rgb(w.window, x, y) != 0xC8C8DCu && rgb(w.window, x, y) != 0xFFFFFFu);
    EXPECT_TRUE(ink) << "the label is drawn";
    EXPECT_EQ(rgb(w.window, 5, 20), 0xC8C8DCu) << "outside the control the parent shows";

    // A long text keeps the caret in view and never paints over the border.
    w.click(BPoint(100, 20));
    w.type("0123456789abcdef0123456789abcdef");
    ASSERT_TRUE(w.idle());
    EXPECT_EQ(rgb(w.window, 51, 12), 0x0000E5u) << "focus frame";
    EXPECT_EQ(rgb(w.window, 149, 20), 0x0000E5u) << "right focus frame is intact";
    int caretColumn = -1;
    for (int x = 148; x >= 52; x--) {
        if (rgb(w.window, x, 14) == 0x000000u && rgb(w.window, x, 26) == 0x000000u) {
            caretColumn = x;
            break;
        }
    }
    EXPECT_GT(caretColumn, 120) << "the caret is at the visible end of the text";
    screenshot(w.window, "text_control");
}
