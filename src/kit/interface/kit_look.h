// The controls' shared look: colours, bevels, focus marks, arrows and
// labels, so that every control draws in one consistent style.
#ifndef KIT_INTERFACE_KIT_LOOK_H
#define KIT_INTERFACE_KIT_LOOK_H

#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

class BView;
class BFont;

namespace kit::look {

const rgb_color panel = {216, 216, 216, 255};
const rgb_color light = {255, 255, 255, 255};
const rgb_color shadow = {152, 152, 152, 255};
const rgb_color dark = {96, 96, 96, 255};
const rgb_color black = {0, 0, 0, 255};
const rgb_color text = {0, 0, 0, 255};
const rgb_color disabled_text = {140, 140, 140, 255};
const rgb_color focus = {0, 0, 229, 255};
const rgb_color field = {255, 255, 255, 255};
const rgb_color selection = {168, 192, 240, 255};
const rgb_color menu_selected = {168, 168, 168, 255};

// Controls draw with the plain family at this size.
const float control_font_size = 10;
const BFont* control_font();

// A raised (or, pressed, sunken) bevel filling `frame` with `fill`.
void bevel(BView* view, BRect frame, rgb_color fill, bool pressed);
// A sunken frame around a field, the field filled with `fill`.
void sunken_field(BView* view, BRect frame, rgb_color fill);
// The keyboard-focus mark: a line under a label.
void focus_underline(BView* view, float left, float right, float baseline);
// A solid triangle pointing in a direction, centred in `box`.
enum direction { up, down, left, right };
void arrow(BView* view, BRect box, direction d, rgb_color color);
// The baseline that centres the view's current font vertically in `box`.
float centred_baseline(BView* view, BRect box);
// Draws `label` in `box`, vertically centred, aligned as asked.
void label(BView* view, const char* text, BRect box, alignment align, bool enabled);

} // namespace kit::look

#endif
