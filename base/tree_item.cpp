#include "base/tree_item.h"

void treeitem_add_child(cItemTree& tree, cTreeItem* parent, cTreeItem* node)
{
    node->next = node->prev = node->first_child = nullptr;
    node->owner = &tree;
    node->parent = parent;
    cTreeItem** link = parent ? &parent->first_child : &tree.first_root;
    cTreeItem* previous = nullptr;
    while (*link) {
        previous = *link;
        link = &previous->next;
    }
    *link = node;
    node->prev = previous;
}

cTreeItem* treeitem_last_child(const cTreeItem* node)
{
    if (!node)
        return nullptr;
    cTreeItem* child = node->first_child;
    while (child && child->next)
        child = child->next;
    return child;
}

void treeitem_set_owner(cTreeItem* node, cItemTree* owner)
{
    for (cTreeItem* child = node->first_child; child; child = child->next) {
        child->owner = owner;
        treeitem_set_owner(child, owner);
    }
}

void treeitem_unlink(cItemTree& tree, cTreeItem* node)
{
    if (tree.first_root == node)
        tree.first_root = node->next;
    if (node->parent && node->parent->first_child == node)
        node->parent->first_child = node->next;
    if (node->prev)
        node->prev->next = node->next;
    if (node->next)
        node->next->prev = node->prev;
    node->parent = nullptr;
    node->owner = nullptr;
    treeitem_set_owner(node, nullptr);
}

void treeitem_delete_siblings(cTreeItem* node)
{
    while (node) {
        cTreeItem* next = node->next;
        treeitem_delete_children(node);
        delete node;
        node = next;
    }
}

void treeitem_delete_children(cTreeItem* node)
{
    treeitem_delete_siblings(node->first_child);
    node->first_child = nullptr;
}

void treeitem_clear(cItemTree& tree)
{
    treeitem_delete_siblings(tree.first_root);
    tree.first_root = nullptr;
}

void treeitem_delete(cItemTree& tree, cTreeItem* node)
{
    treeitem_unlink(tree, node);
    treeitem_delete_children(node);
    delete node;
}
