// The text preview in the soak: opened with Alt+P, text typed in many
// scripts (emoji, joiners, combining marks, right-to-left marks, control
// characters), its controls used, its lines clicked, and closed now and
// then, while the rest of the soak edits, undoes, opens and saves fonts.
#include "soak.h"

#include "preview/preview_sheet.h"
#include "preview/preview_window.h"

#include <Application.h>
#include <CheckBox.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <TextControl.h>

namespace soak {

namespace {

using app_testing::screen;

// Pieces of text, UTF-8, each one a character or a cluster.
const char* const PIECES[] = {"a",
                              "Q",
                              " ",
                              "fi",
                              "ffl",
                              "AV",
                              "To",
                              "\xC3\xA9",
                              "e\xCC\x81",
                              "\xCE\xA9",
                              "\xD0\x96",
                              "\xD7\xA9",
                              "\xD8\xB9",
                              "\xD9\x84\xD8\xA7",
                              "\xE0\xA4\x95\xE0\xA5\x8D\xE0\xA4\xB7",
                              "\xE0\xB8\x81\xE0\xB8\xB3",
                              "\xE3\x81\x82",
                              "\xE4\xB8\xAD",
                              "\xED\x95\x9C",
                              "\xF0\xA0\x80\x8B",
                              "\xF0\x9F\x98\x80",
                              "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB",
                              "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5",
                              "\xE2\x80\x8F",
                              "\xE2\x80\x8E",
                              "\xEF\xBB\xBF",
                              "\xEF\xBF\xBD",
                              "\t",
                              "\x01",
                              "\x7F",
                              "\xCC\x88\xCC\x88\xCC\x88"};

preview_window* find_preview() {
    for (int32 i = 0; i < be_app->CountWindows(); i++)
        if (preview_window* p = dynamic_cast<preview_window*>(be_app->WindowAt(i)))
            return p;
    return nullptr;
}

// The middle of `view` in its window's coordinates; read locked.
BPoint middle(preview_window* w, BView* view) {
    BPoint p(-1, -1);
    if (!w->Lock())
        return p;
    BRect b = view->Bounds();
    p = view->ConvertToParent(BPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2)) +
        view->Parent()->kit_window_offset();
    w->Unlock();
    return p;
}

void click(preview_window* w, BPoint p) {
    screen().mouse_down(w, p, 1, 0, 1);
    screen().mouse_up(w, p, 0);
}

} // namespace

void preview_gesture(driver& d) {
    preview_window* w = find_preview();
    if (!w || d.chance(5)) {
        d.key("p", 0, B_COMMAND_KEY);
        return;
    }
    int roll = d.below(100);
    if (roll < 45) {
        if (d.chance(50)) {
            click(w, middle(w, w->textfield()));
            screen().key_down(w, "a", 0, B_COMMAND_KEY);
        }
        for (int i = 1 + d.below(12); i > 0; i--) {
            const char* piece = PIECES[d.below((int)(sizeof PIECES / sizeof PIECES[0]))];
            screen().key_down(w, d.chance(8) ? "\b" : piece);
        }
    } else if (roll < 65) {
        BCheckBox* boxes[] = {w->antialiasbox(), w->kernbox(), w->ligabox()};
        click(w, middle(w, boxes[d.below(3)]));
    } else if (roll < 78) {
        click(w, middle(w, w->hintingfield()));
        d.settle();
        BMenu* menu = w->hintingfield()->Menu();
        BPoint p(-1, -1);
        if (w->Lock()) {
            if (menu->Parent()) {
                BRect f = menu->ItemAt(d.below(3))->Frame();
                p = menu->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2)) +
                    menu->Parent()->kit_window_offset();
            }
            w->Unlock();
        }
        click(w, p.x < 0 ? BPoint(5, 5) : p);
    } else if (roll < 96) {
        // A click somewhere on the lines: a glyph there is shown in the
        // outline editor (which may ask about edits not stored first).
        BPoint at = middle(w, w->sheet());
        click(w, BPoint(d.between(0, 2 * at.x), d.between(64, 2 * at.y - 64)));
    } else {
        screen().close_window(w);
    }
}

} // namespace soak
