// The list editors (name, gasp) own the items of their list views, which
// the list does not delete.
#ifndef TAVREL_FONT_LIST_ITEMS_H
#define TAVREL_FONT_LIST_ITEMS_H

class BListView;

// Empties the list and deletes its items. An item that was selected sends
// the list's selection message with "index" -1, as any deselection does.
void delete_list_items(BListView* list);

#endif
