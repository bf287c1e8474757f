// The glyph editor: on its canvas strokes and clicks with every button and
// the modifiers it reads (Control duplicates, Shift deletes a point,
// Command toggles on/off the curve) and the keys it listens to; on its
// palette the entries and buttons, and clicks on its surface (tool icons,
// pen and zoom arrows, the next glyph).
#include "soak/soak.h"

#include "font/glyf.h"

#include <Window.h>

namespace {

void glyf_gesture(soak::driver& d, BView* view) {
    BView* canvas = nullptr;
    BView* palette = nullptr;
    if (d.run.window()->Lock()) {
        if (curfont && curfont->glyf && curfont->glyf->editview &&
            curfont->glyf->editview->Window() == d.run.window()) {
            canvas = curfont->glyf->editview;
            palette = curfont->glyf->toolview;
        }
        d.run.window()->Unlock();
    }
    if (!canvas || d.chance(20)) {
        soak::control_gesture(d, view);
        return;
    }
    if (palette && d.chance(15)) {
        d.click(d.point_in(palette));
        return;
    }
    static const uint32 buttons[] = {B_PRIMARY_MOUSE_BUTTON, B_SECONDARY_MOUSE_BUTTON,
                                     B_TERTIARY_MOUSE_BUTTON};
    static const uint32 modifiers[] = {0, 0, 0, B_CONTROL_KEY, B_SHIFT_KEY, B_COMMAND_KEY};
    uint32 button = buttons[d.chance(80) ? 0 : 1 + d.below(2)];
    uint32 modifier = modifiers[d.below(6)];
    switch (d.below(4)) {
    case 0:
        d.click(d.point_in(canvas), button, modifier);
        break;
    case 1:
    case 2:
        d.drag(d.point_in(canvas), d.point_in(canvas), 2 + d.below(20), button, modifier);
        break;
    default:
        for (int i = 1 + d.below(5); i > 0; i--)
            d.random_key();
        break;
    }
}

} // namespace

SOAK_VIEW("glyf", glyf_gesture);
