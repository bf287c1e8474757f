// Edits the undo and unsaved-changes tests make as a user does: a font
// copied to a test folder, maxStackElements typed into the maxp view and
// read back from memory or from a file, and Command-key shortcuts.
#ifndef TAVREL_TESTS_APP_EDIT_SUPPORT_H
#define TAVREL_TESTS_APP_EDIT_SUPPORT_H

#include "app_test_support.h"

#include "font/bytes.h"
#include "font/maxp.h"

#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <TextControl.h>

#include <string>
#include <vector>

namespace app_testing {

using testing_support::read_file;
using testing_support::write_file;

inline const unsigned MAX_STACK_ELEMENTS = 24;

inline std::string copy_of(const char* font, const std::string& dir,
                           const char* name = "font.ttf") {
    std::string path = dir + "/" + name;
    return write_file(path, read_file(font)) ? path : "";
}

// Opens the Edit menu with a click on its title and clicks item `index`.
inline void choose_edit_item(running_app& run, int index) {
    BRect title;
    run.window()->Lock();
    title = run.window()->menubar->ItemAt(1)->Frame();
    run.window()->Unlock();
    run.click(BPoint((title.left + title.right) / 2, (title.top + title.bottom) / 2));
    BMenu* edit = run.window()->menubar->SubmenuAt(1);
    BPoint where;
    run.window()->Lock();
    BRect f = edit->ItemAt(index)->Frame();
    where = edit->ConvertToParent(BPoint((f.left + f.right) / 2, (f.top + f.bottom) / 2));
    if (edit->Parent())
        where = where + edit->Parent()->kit_window_offset();
    run.window()->Unlock();
    run.click(where);
}

// maxStackElements as the font in memory holds it.
inline unsigned stack_elements(running_app& run) {
    unsigned v = 0;
    run.window()->Lock();
    if (curfont && curfont->maxp)
        v = curfont->maxp->bytes().u16(MAX_STACK_ELEMENTS);
    run.window()->Unlock();
    return v;
}

// maxStackElements as the file holds it.
inline unsigned stack_elements(const std::string& path) {
    std::vector<unsigned char> b = read_file(path);
    byte_span s(b.data(), b.size());
    for (unsigned i = 0; i < s.u16(4); i++) {
        if (s.u32(12 + 16 * i) == tag_of("maxp"))
            return s.u16(s.u32(12 + 16 * i + 8) + MAX_STACK_ELEMENTS);
    }
    return 0xFFFFFFFF;
}

// Clicks into the text field, empties it, types `text` and presses Enter.
inline void type_into(running_app& run, BTextControl* control, const char* text) {
    BPoint where;
    run.window()->Lock();
    BRect f = control->Frame();
    where = control->Parent()->kit_window_offset() + BPoint(f.right - 5, f.top + 10);
    run.window()->Unlock();
    run.click(where);
    run.window()->Lock();
    control->SetText("");
    run.window()->Unlock();
    for (const char* p = text; *p; p++) {
        char key[2] = {*p, 0};
        screen().key_down(run.window(), key);
        screen().key_up(run.window(), key);
    }
    screen().key_down(run.window(), "\n", B_ENTER);
    screen().key_up(run.window(), "\n", B_ENTER);
    run.idle();
}

// Types `text` into the maxp view's field and presses Enter.
inline void type_stack_elements(running_app& run, const char* text) {
    run.window()->Lock();
    BTextControl* control = curfont->maxp->control;
    run.window()->Unlock();
    type_into(run, control, text);
}

inline void command_key(running_app& run, const char* key, uint32 more = 0) {
    screen().key_down(run.window(), key, 0, B_COMMAND_KEY | more);
    screen().key_up(run.window(), key, 0, B_COMMAND_KEY | more);
    run.idle();
}

} // namespace app_testing

#endif
