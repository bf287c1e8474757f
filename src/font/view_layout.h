// How a table view's controls follow the view when it is shown larger than
// its standard frame (562 x 512, where every table view places its
// controls): the rows of controls at the bottom keep their distance to the
// bottom edge and their order (the last control of a row, such as "set",
// to the right edge), and the lists above them take the room gained.
#ifndef TAVREL_FONT_VIEW_LAYOUT_H
#define TAVREL_FONT_VIEW_LAYOUT_H

#include <Rect.h>

#include <initializer_list>

class BView;

// The frame every table view is made with and laid out for.
const BRect TABLE_FRAME(0, 0, 561, 511);

enum class layout_place {
    // In a row at the bottom: keeps its distance to the left and bottom.
    bottom,
    // The row's last control: keeps its distance to the right and bottom.
    bottom_right,
    // A row that spans the view: keeps its distance to both sides and the
    // bottom, growing across.
    bottom_wide,
    // A list: keeps its distance to every edge, growing both ways.
    fill,
    // A list's scroll bar: keeps its distance to the right, top and bottom.
    right_column,
};

struct layout_item {
    BView* view;
    layout_place place;
};

// Gives each child of `parent` (placed for the standard frame `standard`)
// the resizing mode of its place, and moves and resizes it to that place
// in `parent` as `parent` is now.
void layout_children(BView* parent, std::initializer_list<layout_item> items,
                     BRect standard = TABLE_FRAME);

// `standard_y`, a line of the standard frame counted from its bottom,
// in `view` as it is now.
float from_bottom(const BView* view, float standard_y, BRect standard = TABLE_FRAME);

#endif
