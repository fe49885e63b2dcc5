#include "tools/shell/older_products.h"

bool uninstall_list_remove(cOlderProductList& list, cOlderProduct* entry)
{
    cOlderProduct* previous = nullptr;
    cOlderProduct* walk = list.first;
    while (walk && walk != entry) {
        previous = walk;
        walk = walk->next;
    }
    if (!walk || !entry)
        return false;
    if (previous)
        previous->next = entry->next;
    else
        list.first = entry->next;
    if (list.last == entry)
        list.last = previous;
    delete entry;
    return true;
}
