#ifndef BASE_TREE_MAP_H
#define BASE_TREE_MAP_H

#include <stdint.h>

#include "base/packed_key.h"

// The program's ordered map: a binary search tree on the shared heap that
// keeps itself shallow by a local marking and rotation rule on every
// insertion, and is rebuilt in key order whenever an insertion had to compare
// more nodes than the map's depth limit. Values live in their nodes, and a
// node never moves while it is in the map: a value's address stays valid
// until its own entry is erased or the map is cleared. No lock: the owner
// serialises access.

template <class K, class V>
struct cTreeNode {
    typedef K Key;

    cTreeNode* greater;
    cTreeNode* lesser;
    cTreeNode* parent;
    K key;
    V value;  // default-initialised: class values constructed, plain values unset
    uint8_t mark;

    explicit cTreeNode(K&& node_key)
        : greater(nullptr), lesser(nullptr), parent(nullptr), key(static_cast<K&&>(node_key)), mark(0)
    {
    }
};

template <class K, class V>
class cTreeMap {
public:
    typedef cTreeNode<K, V> Node;
    typedef K Key;  // key parameters name it so that only the map decides K

    explicit cTreeMap(uint32_t limit = 512) : depth_limit(limit), depth(0), root(nullptr) {}
    ~cTreeMap();
    cTreeMap(const cTreeMap&) = delete;
    cTreeMap& operator=(const cTreeMap&) = delete;

    uint32_t depth_limit;  // chosen by the owner: 256, 512 or 1024
    uint32_t depth;        // nodes compared by the last insertion
    Node* root;
};

namespace tree_detail {

template <class K, class V>
cTreeNode<K, V>* leftmost(cTreeNode<K, V>* node)
{
    while (node && node->lesser)
        node = node->lesser;
    return node;
}

}  // namespace tree_detail

// Key order: numbers by value (signed or unsigned as their type), packed
// keys by their bytes.
template <class K>
inline int tree_key_compare(const K& a, const K& b)
{
    return a < b ? -1 : b < a ? 1 : 0;
}

inline int tree_key_compare(const cPackedKey& a, const cPackedKey& b)
{
    return packedkey_compare(a, b);
}

template <class K, class V>
cTreeNode<K, V>* tree_insert_node(cTreeMap<K, V>& map, cTreeNode<K, V>* node);
template <class K, class V>
void tree_rebalance(cTreeMap<K, V>& map);

namespace tree_detail {

template <class K, class V, class Make>
cTreeNode<K, V>* insert(cTreeMap<K, V>& map, const K& key, Make& make);

// Makes the node of a key that the descent found absent: the key moves into
// a new node; nothing is allocated for a key that is present.
template <class K, class V>
struct node_from_key {
    K* key;
    cTreeNode<K, V>* Create() { return new cTreeNode<K, V>(static_cast<K&&>(*key)); }
    void Discard() {}
};

}  // namespace tree_detail

// The value of key, added (default-initialised) when absent; null when the
// heap refuses the node. A key passed by value is owned, and freed, here.
template <class K, class V>
V* tree_get_or_add(cTreeMap<K, V>& map, typename cTreeMap<K, V>::Key key)
{
    map.depth = 0;
    tree_detail::node_from_key<K, V> make{&key};
    cTreeNode<K, V>* found = tree_detail::insert(map, key, make);
    if (!found)
        return nullptr;
    if (map.depth > map.depth_limit)
        tree_rebalance(map);
    return &found->value;
}

// Iterative search from start (normally the root); null when absent.
template <class K, class V>
cTreeNode<K, V>* tree_find_node(cTreeNode<K, V>* start, const typename cTreeNode<K, V>::Key& key)
{
    for (cTreeNode<K, V>* node = start; node;) {
        int order = tree_key_compare(node->key, key);
        if (order == 0)
            return node;
        node = order > 0 ? node->lesser : node->greater;
    }
    return nullptr;
}

// The entry of key, searched from the root; null when absent.
template <class K, class V>
cTreeNode<K, V>* tree_find_node(const cTreeMap<K, V>& map, typename cTreeMap<K, V>::Key key)
{
    return tree_find_node(map.root, key);
}

template <class K, class V>
V* tree_find_value(const cTreeMap<K, V>& map, typename cTreeMap<K, V>::Key key)
{
    cTreeNode<K, V>* node = tree_find_node(map.root, key);
    return node ? &node->value : nullptr;
}

// The largest key plus one, 0 for an empty map: owners that number their
// entries 0, 1, 2... use it as the next free key and as the count.
template <class V>
int32_t tree_next_free_int(const cTreeMap<int32_t, V>& map)
{
    cTreeNode<int32_t, V>* node = map.root;
    if (!node)
        return 0;
    while (node->greater)
        node = node->greater;
    return node->key + 1;
}

// The entry with the smallest key greater than key, which need not be in
// the map; null when there is none. Lets a walk go on after an entry that
// was erased meanwhile.
template <class K, class V>
cTreeNode<K, V>* tree_find_greater(const cTreeMap<K, V>& map, const typename cTreeMap<K, V>::Key& key)
{
    cTreeNode<K, V>* found = nullptr;
    for (cTreeNode<K, V>* node = map.root; node;) {
        if (tree_key_compare(node->key, key) > 0) {
            found = node;
            node = node->lesser;
        } else {
            node = node->greater;
        }
    }
    return found;
}

template <class K, class V>
cTreeNode<K, V>* tree_first_node(const cTreeMap<K, V>& map)
{
    return tree_detail::leftmost(map.root);
}

// The entry with the greatest key not greater than key, which need not be
// in the map; null when there is none.
template <class K, class V>
cTreeNode<K, V>* tree_find_not_greater(const cTreeMap<K, V>& map, const typename cTreeMap<K, V>::Key& key)
{
    cTreeNode<K, V>* found = nullptr;
    for (cTreeNode<K, V>* node = map.root; node;) {
        if (tree_key_compare(node->key, key) <= 0) {
            found = node;
            node = node->greater;
        } else {
            node = node->lesser;
        }
    }
    return found;
}

template <class K, class V>
cTreeNode<K, V>* tree_last_node(const cTreeMap<K, V>& map)
{
    cTreeNode<K, V>* node = map.root;
    while (node && node->greater)
        node = node->greater;
    return node;
}

// The entry with the next larger key; null past the largest and for null.
template <class K, class V>
cTreeNode<K, V>* tree_next_node(cTreeNode<K, V>* node)
{
    if (!node)
        return nullptr;
    if (node->greater)
        return tree_detail::leftmost(node->greater);
    while (node->parent && tree_key_compare(node->parent->key, node->key) < 0)
        node = node->parent;
    return node->parent;
}

// The entry with the next smaller key; null before the smallest and for null.
template <class K, class V>
cTreeNode<K, V>* tree_prev_node(cTreeNode<K, V>* node)
{
    if (!node)
        return nullptr;
    if (node->lesser) {
        node = node->lesser;
        while (node->greater)
            node = node->greater;
        return node;
    }
    while (node->parent && tree_key_compare(node->parent->key, node->key) > 0)
        node = node->parent;
    return node->parent;
}

// Frees the node with its whole subtree, lesser side first: values and keys
// are destroyed (owned objects deleted, strings and inner maps released).
// The caller unlinks the node from its parent.
template <class K, class V>
void tree_free_subtree(cTreeNode<K, V>* top)
{
    // Iterative, so that an unbalanced subtree cannot exhaust the stack.
    for (cTreeNode<K, V>* node = top; node;) {
        if (node->lesser) {
            node = node->lesser;
        } else if (node->greater) {
            node = node->greater;
        } else {
            cTreeNode<K, V>* parent = node == top ? nullptr : node->parent;
            if (parent) {
                if (parent->lesser == node)
                    parent->lesser = nullptr;
                else
                    parent->greater = nullptr;
            }
            delete node;
            node = parent;
        }
    }
}

template <class K, class V>
void tree_clear(cTreeMap<K, V>& map)
{
    if (map.root)
        tree_free_subtree(map.root);
    map.root = nullptr;
}

template <class K, class V>
cTreeMap<K, V>::~cTreeMap()
{
    tree_clear(*this);
}

// Frees the target's tree, hands the source's header to the target and
// leaves the source empty with limit 512.
template <class K, class V>
void tree_move(cTreeMap<K, V>& target, cTreeMap<K, V>& source)
{
    tree_clear(target);
    target.depth_limit = source.depth_limit;
    target.depth = source.depth;
    target.root = source.root;
    source.depth_limit = 512;
    source.depth = 0;
    source.root = nullptr;
}

namespace tree_detail {

// Puts child where X's child on the given side was (K rises above X).
template <class K, class V>
void rotate_up(cTreeNode<K, V>* x, cTreeNode<K, V>* k, bool k_is_lesser)
{
    if (k_is_lesser) {
        x->lesser = k->greater;
        if (k->greater)
            k->greater->parent = x;
        k->greater = x;
    } else {
        x->greater = k->lesser;
        if (k->lesser)
            k->lesser->parent = x;
        k->lesser = x;
    }
    x->parent = k;
    x->mark = 0;
    k->mark = 0;
}

// Hands a prepared node to the descent, which destroys it when its key is
// present.
template <class K, class V>
struct prepared_node {
    cTreeNode<K, V>* node;
    cTreeNode<K, V>* Create() { return node; }
    void Discard() { delete node; }
};

// One level of the insertion descent at x for key, whose node make creates
// where the key is absent. Returns the node that holds the key, or null when
// make could not create it, and sets *signal: 0 nothing to do above, 1 the
// caller rotates its child on the path above itself, 2 and more pass up.
template <class K, class V, class Make>
cTreeNode<K, V>* descend(cTreeMap<K, V>& map, cTreeNode<K, V>* x, const K& key, Make& make, uint8_t* signal)
{
    ++map.depth;
    *signal = 0;
    int order = tree_key_compare(x->key, key);
    if (order == 0) {
        make.Discard();
        return x;
    }
    bool lesser_side = order > 0;
    cTreeNode<K, V>* k = lesser_side ? x->lesser : x->greater;
    if (!k) {
        cTreeNode<K, V>* n = make.Create();
        if (!n)
            return nullptr;
        (lesser_side ? x->lesser : x->greater) = n;
        n->parent = x;
        if (x->parent && x->parent->mark)
            *signal = 1;
        else
            x->mark = 1;
        return n;
    }
    uint8_t below;
    cTreeNode<K, V>* result = descend(map, k, key, make, &below);
    if (below == 0)
        return result;
    if (below >= 2) {
        *signal = uint8_t(below - 1);
        return result;
    }
    cTreeNode<K, V>* g = x->parent;
    if (!g) {
        *signal = 1;
        return result;
    }
    rotate_up(x, k, lesser_side);
    k->parent = g;
    if (tree_key_compare(g->key, x->key) > 0)
        g->lesser = k;
    else
        g->greater = k;
    if (g->parent && g->parent->mark)
        *signal = 2;
    else
        g->mark = 1;
    return result;
}

// The insertion of key, its node made by make where it is absent: the node
// that holds the key, null when make could not create it.
template <class K, class V, class Make>
cTreeNode<K, V>* insert(cTreeMap<K, V>& map, const K& key, Make& make)
{
    if (!map.root)
        return map.root = make.Create();
    uint8_t signal;
    cTreeNode<K, V>* result = descend(map, map.root, key, make, &signal);
    if (signal) {
        cTreeNode<K, V>* old_root = map.root;
        bool toward_greater = tree_key_compare(result->key, old_root->key) > 0;
        cTreeNode<K, V>* k = toward_greater ? old_root->greater : old_root->lesser;
        rotate_up(old_root, k, !toward_greater);
        k->parent = nullptr;
        map.root = k;
    }
    return result;
}

// Links the nodes of the subtree under top into one ascending chain through
// their lesser links, in the order the successor rule visits them; returns
// its first node. The links of nodes not yet visited stay intact, so the
// walk can follow them.
template <class K, class V>
cTreeNode<K, V>* chain_in_order(cTreeNode<K, V>* top)
{
    cTreeNode<K, V>* last = top;
    while (last->greater)
        last = last->greater;
    cTreeNode<K, V>* first = nullptr;
    cTreeNode<K, V>* tail = nullptr;
    for (cTreeNode<K, V>* node = leftmost(top); node;) {
        cTreeNode<K, V>* next = node == last ? nullptr : tree_next_node(node);
        if (tail)
            tail->lesser = node;
        else
            first = node;
        tail = node;
        node = next;
    }
    if (tail)
        tail->lesser = nullptr;
    return first;
}

// Inserts a chain (from chain_in_order) into the empty map in ascending
// order: the shape an ascending insertion of the keys gives. Links and marks
// start fresh, so the shape does not depend on the tree the nodes came from.
template <class K, class V>
void insert_chain(cTreeMap<K, V>& map, cTreeNode<K, V>* chain)
{
    while (chain) {
        cTreeNode<K, V>* next = chain->lesser;
        chain->greater = chain->lesser = chain->parent = nullptr;
        chain->mark = 0;
        tree_insert_node(map, chain);
        chain = next;
    }
}

}  // namespace tree_detail

// Links a prepared node (null links, mark 0). Returns it, or the existing
// node of an equal key, in which case the prepared node has been destroyed.
// Neither resets depth nor rebuilds; tree_get_or_add does both around it.
template <class K, class V>
cTreeNode<K, V>* tree_insert_node(cTreeMap<K, V>& map, cTreeNode<K, V>* node)
{
    tree_detail::prepared_node<K, V> make{node};
    return tree_detail::insert(map, node->key, make);
}

// Relinks every node in key order; no node is allocated, freed or moved.
template <class K, class V>
void tree_rebalance(cTreeMap<K, V>& map)
{
    if (!map.root)
        return;
    cTreeNode<K, V>* chain = tree_detail::chain_in_order(map.root);
    map.root = nullptr;
    tree_detail::insert_chain(map, chain);
}

// Removes node, which belongs to the map, and frees it with its value and
// key; a node with two children gives its place to its successor. Every
// other entry keeps its node, key and value. False for a null node.
template <class K, class V>
bool tree_erase_node(cTreeMap<K, V>& map, cTreeNode<K, V>* node)
{
    if (!node)
        return false;
    cTreeNode<K, V>* heir = node->lesser ? node->lesser : node->greater;
    if (node->lesser && node->greater) {
        heir = tree_detail::leftmost(node->greater);
        if (heir != node->greater) {
            heir->parent->lesser = heir->greater;
            if (heir->greater)
                heir->greater->parent = heir->parent;
            heir->greater = node->greater;
            node->greater->parent = heir;
        }
        heir->lesser = node->lesser;
        node->lesser->parent = heir;
        heir->mark = node->mark;
    }
    cTreeNode<K, V>* parent = node->parent;
    if (heir)
        heir->parent = parent;
    if (!parent)
        map.root = heir;
    else if (parent->lesser == node)
        parent->lesser = heir;
    else
        parent->greater = heir;
    delete node;
    return true;
}

#endif
