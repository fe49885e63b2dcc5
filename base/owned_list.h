#ifndef BASE_OWNED_LIST_H
#define BASE_OWNED_LIST_H

// The base of objects kept in an intrusive, owning list. The list deletes
// its objects through the virtual destructor.
class cListItem {
public:
    cListItem() : next(nullptr) {}
    virtual ~cListItem() {}
    cListItem(const cListItem&) = delete;
    cListItem& operator=(const cListItem&) = delete;

    // The test of objlist_find_first; the base matches nothing.
    virtual bool Matches(const void* argument) const;

    cListItem* next;
};

// An intrusive singly linked list that owns its objects. No lock: action
// queues guard theirs with the global action lock.
class cOwnedList {
public:
    cOwnedList() : first(nullptr), last(nullptr) {}
    ~cOwnedList();
    cOwnedList(const cOwnedList&) = delete;
    cOwnedList& operator=(const cOwnedList&) = delete;

    cListItem* first;
    cListItem* last;
};

void objlist_init(cOwnedList& list);
// Takes ownership; null is ignored.
void objlist_append(cOwnedList& list, cListItem* object);
// The first object, in list order, that matches; null when none does.
cListItem* objlist_find_first(const cOwnedList& list, const void* argument);
// Unlinks the object without deleting it (the caller owns it then); false
// when it is not in the list.
bool objlist_unlink(cOwnedList& list, cListItem* object);
// Unlinks and answers the first object (the caller owns it); null when empty.
cListItem* objlist_take_first(cOwnedList& list);
// Unlinks and deletes the object; nothing when it is not in the list.
void objlist_remove(cOwnedList& list, cListItem* object);
void objlist_clear(cOwnedList& list);
// Deletes the target's objects, then hands it all of this list's objects.
void objlist_take(cOwnedList& list, cOwnedList& target);
// Deletes the object and every object after it.
void objlist_delete_chain(cListItem* object);

#endif
