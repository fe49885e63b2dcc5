#ifndef BASE_TREE_ITEM_H
#define BASE_TREE_ITEM_H

class cTreeItem;

// A tree of cTreeItem nodes: the chain of its root nodes (siblings with null
// parents). Tree views and folder choosers hold one.
class cItemTree {
public:
    cItemTree() : first_root(nullptr) {}
    cTreeItem* first_root;
};

// A node of an intrusive child/sibling tree. Detached (no owner, no parent)
// after construction and after treeitem_unlink. Destroying a node touches no
// link: the tree operations unlink and delete children first.
class cTreeItem {
public:
    cTreeItem() : next(nullptr), prev(nullptr), first_child(nullptr), parent(nullptr), owner(nullptr) {}
    virtual ~cTreeItem() { owner = nullptr; }
    cTreeItem(const cTreeItem&) = delete;
    cTreeItem& operator=(const cTreeItem&) = delete;

    cTreeItem* next;
    cTreeItem* prev;
    cTreeItem* first_child;
    cTreeItem* parent;
    cItemTree* owner;
};

// Adds node, without children, as the last child of parent, or as the last
// root node when parent is null.
void treeitem_add_child(cItemTree& tree, cTreeItem* parent, cTreeItem* node);
// Null for a null node or a node without children.
cTreeItem* treeitem_last_child(const cTreeItem* node);
// Sets the owner of every descendant; the node itself is not changed.
void treeitem_set_owner(cTreeItem* node, cItemTree* owner);
// Detaches node with its subtree, whose nodes all get a null owner.
void treeitem_unlink(cItemTree& tree, cTreeItem* node);
// Deletes node and each sibling after it, each with its subtree.
void treeitem_delete_siblings(cTreeItem* node);
void treeitem_delete_children(cTreeItem* node);
void treeitem_clear(cItemTree& tree);
// Unlinks node, then deletes it with its subtree.
void treeitem_delete(cItemTree& tree, cTreeItem* node);

#endif
