// The glyf and EBDT tables show editor views of their own as children.
// Those views live in the editor layer above the font model, so that layer
// registers here how to make and prepare them. With nothing registered (the
// model on its own, as in its tests) these tables have no child views.
#ifndef TAVREL_FONT_TABLE_VIEWS_H
#define TAVREL_FONT_TABLE_VIEWS_H

class ttf_glyf;
class ttf_ebdt;

struct table_view_hooks {
    // Called when the table object has been built: adds its child views.
    void (*glyf_created)(ttf_glyf* table) = nullptr;
    void (*ebdt_created)(ttf_ebdt* table) = nullptr;
    // Called by ttf::set_view after every table view is attached.
    void (*glyf_attached)(ttf_glyf* table) = nullptr;
    void (*ebdt_attached)(ttf_ebdt* table) = nullptr;
    // Called when an undo or redo changed the table's bytes.
    void (*glyf_refreshed)(ttf_glyf* table) = nullptr;
    void (*ebdt_refreshed)(ttf_ebdt* table) = nullptr;
};

// Set once at start-up, before any font is built.
void set_table_view_hooks(const table_view_hooks& hooks);
const table_view_hooks& registered_table_views();

#endif
