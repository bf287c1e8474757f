// What the glyph editor needs of the main window, which lives in the
// application layer above it: the scroll bars' data size and the record of
// the last pointer event's extra data.
#ifndef TAVREL_EDITOR_EDITOR_WINDOW_H
#define TAVREL_EDITOR_EDITOR_WINDOW_H

#include <Point.h>
#include <SupportDefs.h>

class BMessage;
class BView;

// The extra data of one pointer message. A member means something only
// when its bit is set in `valid`.
struct input {
    uint16 valid = 0;
    float tablet_x = 0, tablet_y = 0; // 0x0001
    float tilt_x = 0, tilt_y = 0;     // 0x0002
    float pressure = 0;               // 0x0004
    int32 eraser = 0;                 // 0x0008
    int32 buttons = 0;                // 0x0010
    int32 modifiers = 0;              // 0x0020
    int32 transit = 0;                // 0x0400
    int64 when = 0;                   // 0x0100
    BPoint where;                     // 0x0200
};

const uint16 INPUT_TABLET = 0x0001, INPUT_TILT = 0x0002, INPUT_PRESSURE = 0x0004,
             INPUT_ERASER = 0x0008, INPUT_BUTTONS = 0x0010, INPUT_MODIFIERS = 0x0020,
             INPUT_WHEN = 0x0100, INPUT_WHERE = 0x0200, INPUT_TRANSIT = 0x0400;

// Copies the extra data of a pointer message into `record`: `valid` is
// cleared and the bit of each field present is set; members whose field
// is absent keep their values.
void record_input(const BMessage& message, input* record);

// The scroll state the main window shares with the views it scrolls.
class editor_window {
  public:
    virtual ~editor_window() = default;

    // Recomputes both scroll bars from `target`, `datawidth` and
    // `dataheight`; nothing happens while `target` is null.
    virtual void updatescrollbar() = 0;

    // The size of the scroll target's data in pixels.
    float datawidth = 512;
    float dataheight = 512;
    // The view the scroll bars scroll (null until a font is shown).
    BView* target = nullptr;
    // The view whose pointer events are recorded in `lastinput`.
    BView* inputtarget = nullptr;
    input lastinput;
};

#endif
