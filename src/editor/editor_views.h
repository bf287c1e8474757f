// The two views of the drawing editors (outline and bitmap): the 50-pixel
// palette on the left and the 512-pixel canvas beside it, both children of
// the table's view, which keeps them as `toolview` and `editview`.
#ifndef TAVREL_EDITOR_EDITOR_VIEWS_H
#define TAVREL_EDITOR_EDITOR_VIEWS_H

#include <Rect.h>

template <class Palette, class Canvas, class Table> void make_editor_views(Table* table) {
    Palette* tools = new Palette(BRect(0, 0, 49, 511), table);
    Canvas* edit = new Canvas(BRect(50, 0, 561, 511), table);
    table->toolview = tools;
    table->editview = edit;
    table->AddChild(tools);
    table->AddChild(edit);
}

#endif
