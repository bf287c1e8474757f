#include "font/glyf.h"

#include "font/table_views.h"

// A new font starts with an empty glyf table: every glyph is empty.
ttf_glyf::ttf_glyf(ttf* owner, unsigned char* data, unsigned long length)
    : ttf_table(owner, tag_of("glyf"), data, length) {
    // The palette's entries choose what the canvas shows; the canvas
    // itself holds this editor's pending edits.
    typed_text_edits = false;
    if (registered_table_views().glyf_created)
        registered_table_views().glyf_created(this);
}

void ttf_glyf::refresh() {
    // The view itself shows only its editor's two views, which redraw
    // what changed for themselves: a repaint of the whole would cost a
    // second full drawing of the canvas.
    if (registered_table_views().glyf_refreshed)
        registered_table_views().glyf_refreshed(this);
}
