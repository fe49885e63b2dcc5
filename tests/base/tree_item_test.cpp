#include "base/tree_item.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> deleted;

struct Node : cTreeItem {
    explicit Node(std::string n) : name(std::move(n)) {}
    ~Node() override { deleted.push_back(name); }
    std::string name;
};

std::string names(const cTreeItem* first)
{
    std::string out;
    for (const cTreeItem* at = first; at; at = at->next) {
        out += static_cast<const Node*>(at)->name;
        if (at->first_child)
            out += "(" + names(at->first_child) + ")";
        if (at->next)
            out += " ";
    }
    return out;
}

// a(a1 a2(a21)) b
struct Sample {
    cItemTree tree;
    Node* a = new Node("a");
    Node* a1 = new Node("a1");
    Node* a2 = new Node("a2");
    Node* a21 = new Node("a21");
    Node* b = new Node("b");
    Sample()
    {
        treeitem_add_child(tree, nullptr, a);
        treeitem_add_child(tree, nullptr, b);
        treeitem_add_child(tree, a, a1);
        treeitem_add_child(tree, a, a2);
        treeitem_add_child(tree, a2, a21);
    }
    ~Sample() { treeitem_clear(tree); }
};

}  // namespace

TEST(TreeItem, AddLinksChildrenAndRootsInOrder)
{
    Sample s;
    EXPECT_EQ(names(s.tree.first_root), "a(a1 a2(a21)) b");
    EXPECT_EQ(s.a2->prev, s.a1);
    EXPECT_EQ(s.a21->parent, s.a2);
    EXPECT_EQ(s.b->parent, nullptr);
    EXPECT_EQ(s.a21->owner, &s.tree);
    EXPECT_EQ(treeitem_last_child(s.a), s.a2);
    EXPECT_EQ(treeitem_last_child(s.b), nullptr);
    EXPECT_EQ(treeitem_last_child(nullptr), nullptr);
}

TEST(TreeItem, UnlinkingTheFirstRootDetachesItsSubtree)
{
    Sample s;
    treeitem_unlink(s.tree, s.a);
    EXPECT_EQ(s.tree.first_root, s.b);
    EXPECT_EQ(s.b->prev, nullptr);
    EXPECT_EQ(s.a->owner, nullptr);
    EXPECT_EQ(s.a->first_child, s.a1);
    EXPECT_EQ(s.a1->owner, nullptr);
    EXPECT_EQ(s.a21->owner, nullptr);
    EXPECT_EQ(names(s.a), "a(a1 a2(a21)) b");  // its own next is left as it was

    treeitem_add_child(s.tree, s.b, s.a);
    EXPECT_EQ(names(s.tree.first_root), "b(a)");
    treeitem_set_owner(s.a1, &s.tree);  // a1 has no children: nothing changes
    EXPECT_EQ(s.a1->owner, nullptr);
    // a was re-added without children: free its old subtree by hand.
    s.a1->first_child = nullptr;
    treeitem_delete_siblings(s.a1);
}

TEST(TreeItem, UnlinkingAMiddleChildJoinsItsSiblings)
{
    Sample s;
    Node* a3 = new Node("a3");
    treeitem_add_child(s.tree, s.a, a3);
    treeitem_unlink(s.tree, s.a2);
    EXPECT_EQ(names(s.tree.first_root), "a(a1 a3) b");
    EXPECT_EQ(a3->prev, s.a1);
    deleted.clear();
    treeitem_delete_children(s.a2);
    EXPECT_EQ(deleted, std::vector<std::string>{"a21"});
    delete s.a2;
}

TEST(TreeItem, DeletionIsDepthFirstChildrenBeforeTheirNode)
{
    deleted.clear();
    {
        Sample s;
        treeitem_delete(s.tree, s.a2);
        EXPECT_EQ(deleted, (std::vector<std::string>{"a21", "a2"}));
        EXPECT_EQ(names(s.tree.first_root), "a(a1) b");
    }
    EXPECT_EQ(deleted, (std::vector<std::string>{"a21", "a2", "a1", "a", "b"}));
}
