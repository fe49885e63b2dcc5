#include "base/owned_list.h"

bool cListItem::Matches(const void*) const
{
    return false;
}

cOwnedList::~cOwnedList()
{
    objlist_clear(*this);
}

void objlist_init(cOwnedList& list)
{
    list.first = list.last = nullptr;
}

void objlist_append(cOwnedList& list, cListItem* object)
{
    if (!object)
        return;
    object->next = nullptr;
    if (list.last)
        list.last->next = object;
    else
        list.first = object;
    list.last = object;
}

cListItem* objlist_find_first(const cOwnedList& list, const void* argument)
{
    for (cListItem* object = list.first; object; object = object->next)
        if (object->Matches(argument))
            return object;
    return nullptr;
}

bool objlist_unlink(cOwnedList& list, cListItem* object)
{
    cListItem* previous = nullptr;
    for (cListItem* at = list.first; at; previous = at, at = at->next) {
        if (at != object)
            continue;
        if (previous)
            previous->next = at->next;
        else
            list.first = at->next;
        if (list.last == at)
            list.last = previous;
        at->next = nullptr;
        return true;
    }
    return false;
}

cListItem* objlist_take_first(cOwnedList& list)
{
    cListItem* first = list.first;
    if (first)
        objlist_unlink(list, first);
    return first;
}

void objlist_remove(cOwnedList& list, cListItem* object)
{
    if (objlist_unlink(list, object))
        delete object;
}

void objlist_delete_chain(cListItem* object)
{
    while (object) {
        cListItem* next = object->next;
        delete object;
        object = next;
    }
}

void objlist_clear(cOwnedList& list)
{
    objlist_delete_chain(list.first);
    list.first = list.last = nullptr;
}

void objlist_take(cOwnedList& list, cOwnedList& target)
{
    objlist_clear(target);
    target.first = list.first;
    target.last = list.last;
    list.first = list.last = nullptr;
}
