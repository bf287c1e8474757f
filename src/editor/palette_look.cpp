#include "editor/palette_look.h"

#include <Font.h>
#include <Message.h>
#include <TextControl.h>
#include <View.h>

namespace palette_look {

void apply(BView* palette) {
    palette->SetLowColor(200, 200, 0);
    palette->SetViewColor(255, 204, 68);
    set_face(palette, 10);
}

void set_face(BView* palette, float size) {
    BFont font(be_plain_font);
    font.SetSize(size);
    palette->SetFont(&font);
}

BTextControl* entry(const char* name, float top, uint32 what) {
    return new BTextControl(BRect(2, top, 47, top + 18), name, "", "0000", new BMessage(what),
                            B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
}

} // namespace palette_look
