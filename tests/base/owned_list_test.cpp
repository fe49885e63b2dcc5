#include "base/owned_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> deleted;

struct Item : cListItem {
    explicit Item(int v) : value(v) {}
    ~Item() override { deleted.push_back(value); }
    bool Matches(const void* argument) const override { return value % 10 == *static_cast<const int*>(argument); }
    int value;
};

std::vector<int> values(const cOwnedList& list)
{
    std::vector<int> out;
    for (cListItem* at = list.first; at; at = at->next)
        out.push_back(static_cast<Item*>(at)->value);
    return out;
}

}  // namespace

TEST(OwnedList, AppendIgnoresNullAndKeepsOrder)
{
    cOwnedList list;
    objlist_append(list, new Item(1));
    objlist_append(list, nullptr);
    objlist_append(list, new Item(2));
    EXPECT_EQ(values(list), (std::vector<int>{1, 2}));
    EXPECT_EQ(static_cast<Item*>(list.last)->value, 2);
}

TEST(OwnedList, FindFirstReturnsTheEarliestMatch)
{
    cOwnedList list;
    int three = 3;
    EXPECT_EQ(objlist_find_first(list, &three), nullptr);
    for (int v : {11, 23, 33, 43})
        objlist_append(list, new Item(v));
    cListItem* found = objlist_find_first(list, &three);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(static_cast<Item*>(found)->value, 23);

    cListItem plain;
    EXPECT_FALSE(plain.Matches(&three));
}

TEST(OwnedList, RemoveUnlinksAndDeletesOnlyListedObjects)
{
    deleted.clear();
    cOwnedList list;
    Item* a = new Item(1);
    Item* b = new Item(2);
    Item* c = new Item(3);
    objlist_append(list, a);
    objlist_append(list, b);
    objlist_append(list, c);

    Item outsider(9);
    objlist_remove(list, &outsider);
    EXPECT_EQ(values(list), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(deleted.empty());

    objlist_remove(list, c);
    EXPECT_EQ(list.last, b);
    objlist_remove(list, a);
    EXPECT_EQ(list.first, b);
    objlist_remove(list, b);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(deleted, (std::vector<int>{3, 1, 2}));
}

TEST(OwnedList, UnlinkAndTakeFirstHandObjectsBackWithoutDeleting)
{
    deleted.clear();
    cOwnedList list;
    Item* a = new Item(1);
    Item* b = new Item(2);
    objlist_append(list, a);
    objlist_append(list, b);

    Item outsider(9);
    EXPECT_FALSE(objlist_unlink(list, &outsider));
    EXPECT_TRUE(objlist_unlink(list, b));
    EXPECT_EQ(list.last, a);
    EXPECT_EQ(b->next, nullptr);
    EXPECT_EQ(objlist_take_first(list), a);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    EXPECT_EQ(objlist_take_first(list), nullptr);
    EXPECT_TRUE(deleted.empty());
    delete a;
    delete b;
}

TEST(OwnedList, TakeReplacesTheTargetsObjects)
{
    deleted.clear();
    cOwnedList source, target;
    objlist_append(target, new Item(7));
    objlist_append(source, new Item(1));
    objlist_append(source, new Item(2));
    objlist_take(source, target);
    EXPECT_EQ(deleted, std::vector<int>{7});
    EXPECT_EQ(values(target), (std::vector<int>{1, 2}));
    EXPECT_EQ(source.first, nullptr);
    EXPECT_EQ(source.last, nullptr);
}

TEST(OwnedList, ClearAndChainDeletionDeleteInOrder)
{
    deleted.clear();
    {
        cOwnedList list;
        for (int v : {1, 2, 3})
            objlist_append(list, new Item(v));
        objlist_clear(list);
        EXPECT_EQ(list.first, nullptr);
        objlist_append(list, new Item(4));
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3, 4}));

    deleted.clear();
    Item* head = new Item(5);
    head->next = new Item(6);
    objlist_delete_chain(head);
    objlist_delete_chain(nullptr);
    EXPECT_EQ(deleted, (std::vector<int>{5, 6}));
}
