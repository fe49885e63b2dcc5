#include "base/linked_list.h"

#include <gtest/gtest.h>

#include "base/buffers/guardchar.h"
#include "tests/support/heap_probe.h"

namespace {

int live_objects = 0;
struct Owned {
    Owned() { ++live_objects; }
    virtual ~Owned() { --live_objects; }
};
struct OwnedPointer {
    Owned* object;  // value-initialised to null on append
    ~OwnedPointer() { delete object; }
};

struct Record {
    _guardchar<wchar_t> name;
    int32_t size;
    double ratio;
};

}  // namespace

TEST(LinkedList, AppendLinksAtTheTail)
{
    cLinkedList<int32_t> list;
    int32_t* first = list_append(list);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(*first, 0);
    EXPECT_EQ(list.first, list.last);
    *first = 1;
    *list_append(list) = 2;
    *list_append(list) = 3;
    std::vector<int32_t> seen;
    for (auto* node = list.first; node; node = node->next)
        seen.push_back(node->element);
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(list.last->element, 3);
    EXPECT_EQ(list.last->next, nullptr);

    list_clear(list);
    EXPECT_EQ(list.first, nullptr);
    EXPECT_EQ(list.last, nullptr);
    list_clear(list);
}

TEST(LinkedList, ElementsStartEmptyAndAreReleasedOnClear)
{
    cHeapBalance balance;
    cLinkedList<Record> list;
    Record* record = list_append(list);
    EXPECT_EQ(record->name.Text(), nullptr);
    EXPECT_EQ(record->size, 0);
    record->name.Assign(L"file.txt");
    list_append(list)->name.Assign(L"other");
}

TEST(LinkedList, OwnedPointersAreDeletedOnceAndNullsSkipped)
{
    live_objects = 0;
    cLinkedList<OwnedPointer> list;
    list_append(list)->object = new Owned;
    list_append(list);
    list_append(list)->object = new Owned;
    EXPECT_EQ(live_objects, 2);
    list_clear(list);
    EXPECT_EQ(live_objects, 0);
}
