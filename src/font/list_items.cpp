#include "font/list_items.h"

#include <ListView.h>

#include <vector>

void delete_list_items(BListView* list) {
    std::vector<BListItem*> items;
    for (int32 i = 0; i < list->CountItems(); i++)
        items.push_back(list->ItemAt(i));
    list->MakeEmpty();
    for (BListItem* item : items)
        delete item;
}
