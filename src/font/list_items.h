// The list editors (name, gasp): their look, their record list, and the
// items of that list, which they own (the list does not delete them).
#ifndef TAVREL_FONT_LIST_ITEMS_H
#define TAVREL_FONT_LIST_ITEMS_H

#include <Rect.h>
#include <SupportDefs.h>

class BListView;
class BView;

// The editor's colours and face.
void set_list_editor_look(BView* editor);
// A single-selection list of records in `editor`, which hears its
// selection message `selected`.
BListView* add_record_list(BView* editor, BRect frame, const char* name, uint32 selected);
// Before the editor goes: the list stops sending selections and its items
// are deleted.
void release_record_list(BListView* list);

// Empties the list and deletes its items. An item that was selected sends
// the list's selection message with "index" -1, as any deselection does.
void delete_list_items(BListView* list);

#endif
