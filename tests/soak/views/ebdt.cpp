// The bitmap editor: a glyph chosen by number in its palette, clicks on the
// magnified cells that toggle pixels (several in a row, as a user draws),
// Alt+X, Alt+C and Alt+V on the image, and "set" to store them. The strike menu and the other
// entries are left to the generic gesture.
#include "soak/soak.h"

#include "editor/ebdteditview.h"
#include "font/ebdt.h"
#include "font/ttf.h"

#include <Window.h>

namespace {

// The canvas's origin in the window, or (-1, -1) when it is not shown.
BPoint canvas_origin(soak::driver& d, BView** palette) {
    BPoint origin(-1, -1);
    BWindow* window = d.run.window();
    if (!window->Lock())
        return origin;
    if (curfont && curfont->ebdt && curfont->ebdt->editview &&
        curfont->ebdt->editview->Window() == window) {
        origin = curfont->ebdt->editview->ConvertToScreen(BPoint(0, 0)) - window->Frame().LeftTop();
        *palette = curfont->ebdt->toolview;
    }
    window->Unlock();
    return origin;
}

void ebdt_gesture(soak::driver& d, BView* view) {
    BView* palette = nullptr;
    BPoint origin = canvas_origin(d, &palette);
    if (origin.x < 0 || !palette || d.chance(30)) {
        soak::control_gesture(d, view);
        return;
    }
    if (d.chance(40))
        soak::fill_and_press(d, palette, {{"gno", soak::hex(soak::some_glyph(d))}}, nullptr);
    // Cells of the editing square, now and then a point just outside it.
    for (int i = 1 + d.below(6); i > 0; i--) {
        BRect square = EBDT_SQUARE.InsetByCopy(-8, -8);
        BPoint cell(d.between(square.left, square.right + 1),
                    d.between(square.top, square.bottom + 1));
        d.click(origin + cell);
    }
    // Cut, copy or paste of the image (the clicks gave the canvas the keys).
    if (d.chance(30)) {
        static const char* const keys[] = {"x", "c", "v", "v"};
        d.key(keys[d.below(4)], 0, B_COMMAND_KEY);
    }
    if (d.chance(50))
        soak::click_named(d, palette, "set");
}

} // namespace

SOAK_VIEW("EBDT", ebdt_gesture);
