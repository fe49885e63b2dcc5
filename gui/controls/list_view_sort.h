#ifndef GUI_CONTROLS_LIST_VIEW_SORT_H
#define GUI_CONTROLS_LIST_VIEW_SORT_H

#include <stdint.h>

#include "base/packed_key.h"
#include "base/tree_map.h"
#include "gui/controls/list_view.h"

// A sort key with the order in which it was added among equal keys.
template <class K>
struct cSortSlot {
    K key;
    int32_t sequence;
};

template <class K>
int tree_key_compare(const cSortSlot<K>& a, const cSortSlot<K>& b)
{
    int order = tree_key_compare(a.key, b.key);
    if (order != 0)
        return order;
    return a.sequence < b.sequence ? -1 : a.sequence > b.sequence ? 1 : 0;
}

// The cells a provider indexed since its last Clear, ordered by key and,
// among equal keys, by the order of adding.
template <class K>
class cListViewSortIndex {
public:
    typedef cTreeNode<cSortSlot<K>, const cListViewChild::cCell*> Node;

    cListViewSortIndex() : entries(512) {}

    void Clear() { tree_clear(entries); }

    // The key is moved in. False when the key's sequence would overflow or
    // memory runs out.
    bool Add(K& key, const cListViewChild::cCell* cell)
    {
        cSortSlot<K> slot{static_cast<K&&>(key), INT32_MAX};
        Node* last_equal = tree_find_not_greater(entries, slot);
        slot.sequence = 0;
        if (last_equal && tree_key_compare(last_equal->key.key, slot.key) == 0) {
            if (last_equal->key.sequence == INT32_MAX)
                return false;
            slot.sequence = last_equal->key.sequence + 1;
        }
        const cListViewChild::cCell** value = tree_get_or_add(entries, static_cast<cSortSlot<K>&&>(slot));
        if (!value)
            return false;
        *value = cell;
        return true;
    }

    // Null position: the first entry in the direction; else the one after
    // it. Writes the entry's cell; answers its position, null at the end.
    void* Next(void* position, bool ascending, const cListViewChild::cCell** cell)
    {
        Node* node = static_cast<Node*>(position);
        if (ascending)
            node = node ? tree_next_node(node) : tree_first_node(entries);
        else
            node = node ? tree_prev_node(node) : tree_last_node(entries);
        *cell = node ? node->value : nullptr;
        return node;
    }

private:
    cTreeMap<cSortSlot<K>, const cListViewChild::cCell*> entries;
};

// What sorts a column: the cells of the column are added one by one in
// display order, then read back in key order. UI thread.
class cListViewChild::cListViewSortProvider {
public:
    cListViewSortProvider() = default;
    virtual ~cListViewSortProvider();
    cListViewSortProvider(const cListViewSortProvider&) = delete;
    cListViewSortProvider& operator=(const cListViewSortProvider&) = delete;

    // Empties the index; false when the provider cannot sort.
    virtual bool Clear() = 0;
    // False when the cell has no key.
    virtual bool Add(const cCell* cell) = 0;
    // Position null: the smallest (largest) entry; else the next larger
    // (smaller) one. Writes its cell and answers its position, null at the
    // end.
    virtual void* NextAscending(void* position, const cCell** cell) = 0;
    virtual void* NextDescending(void* position, const cCell** cell) = 0;
};

// Sorts by the cell text, bytewise in UTF-8: upper case before lower case,
// a prefix before its extensions; ignoring case, by the lower-case text,
// texts that differ only in case keeping their order. A cell without text
// has no key.
class cListViewChild::cListViewNameSortProvider : public cListViewChild::cListViewSortProvider {
public:
    explicit cListViewNameSortProvider(bool ignoring_case = false) : ignore_case(ignoring_case) {}

    bool Clear() override;
    bool Add(const cCell* cell) override;
    void* NextAscending(void* position, const cCell** cell) override;
    void* NextDescending(void* position, const cCell** cell) override;

private:
    cListViewSortIndex<cPackedKey> index;
    bool ignore_case;
};

// Sorts by a 64-bit key that a function computes from the cell. The cell's
// row id lets the function find the owner's own entry for the row (through
// the context), so keys wider than the data word (sizes, packed dates) sort
// whole.
class cListViewChild::cListViewU64PramSortProvider : public cListViewChild::cListViewSortProvider {
public:
    typedef uint64_t (*cKeyFunction)(const cCell* cell, void* context);

    cListViewU64PramSortProvider() : key_function(nullptr), key_context(nullptr) {}

    // False without a key function.
    bool Clear() override;
    bool Add(const cCell* cell) override;
    void* NextAscending(void* position, const cCell** cell) override;
    void* NextDescending(void* position, const cCell** cell) override;

    void SetKeyFunction(cKeyFunction function, void* context = nullptr);

private:
    cListViewSortIndex<uint64_t> index;
    cKeyFunction key_function;
    void* key_context;
};

#endif
