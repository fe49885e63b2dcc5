#include "base/tree_map.h"

#include <gtest/gtest.h>

#include "tests/support/heap_probe.h"

#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

typedef cTreeMap<int32_t, int32_t> IntMap;
typedef cTreeNode<int32_t, int32_t> IntNode;

// The tree's shape as text: (lesser key[*] greater), '*' for a marked node.
template <class Node>
std::string shape(const Node* node)
{
    if (!node)
        return ".";
    std::string text = "(" + shape(node->lesser) + " " + std::to_string(node->key) + (node->mark ? "*" : "");
    return text + " " + shape(node->greater) + ")";
}

template <class Node>
int height(const Node* node)
{
    if (!node)
        return 0;
    return 1 + std::max(height(node->lesser), height(node->greater));
}

// Parent links, strict key order and the ascending walk all agree.
template <class K, class V>
void expect_sound(const cTreeMap<K, V>& map)
{
    if (map.root) {
        ASSERT_EQ(map.root->parent, nullptr);
    }
    std::vector<const cTreeNode<K, V>*> stack;
    if (map.root)
        stack.push_back(map.root);
    size_t nodes = 0;
    while (!stack.empty()) {
        const cTreeNode<K, V>* node = stack.back();
        stack.pop_back();
        ++nodes;
        if (node->lesser) {
            ASSERT_EQ(node->lesser->parent, node);
            ASSERT_LT(node->lesser->key, node->key);
            stack.push_back(node->lesser);
        }
        if (node->greater) {
            ASSERT_EQ(node->greater->parent, node);
            ASSERT_GT(node->greater->key, node->key);
            stack.push_back(node->greater);
        }
    }
    size_t walked = 0;
    const cTreeNode<K, V>* previous = nullptr;
    for (auto* node = tree_first_node(map); node; node = tree_next_node(node), ++walked) {
        if (previous) {
            ASSERT_LT(previous->key, node->key);
        }
        previous = node;
    }
    ASSERT_EQ(walked, nodes);
}

void insert_all(IntMap& map, const std::vector<int32_t>& keys)
{
    for (int32_t key : keys)
        *tree_get_or_add(map, key) = key * 10;
}

std::vector<int32_t> range(int32_t from, int32_t to)
{
    std::vector<int32_t> keys;
    for (int32_t k = from; k <= to; ++k)
        keys.push_back(k);
    return keys;
}

int live_objects = 0;
int objects_made = 0;
struct Owned {
    Owned()
    {
        ++live_objects;
        ++objects_made;
    }
    virtual ~Owned() { --live_objects; }
};
struct OwnedPointer {
    Owned* object = nullptr;
    ~OwnedPointer() { delete object; }
};

}  // namespace

TEST(TreeMap, FirstInsertionBecomesTheUnmarkedRoot)
{
    IntMap map;
    *tree_get_or_add(map, 5) = 50;
    EXPECT_EQ(map.depth, 0u);
    ASSERT_NE(map.root, nullptr);
    EXPECT_EQ(map.root->key, 5);
    EXPECT_EQ(map.root->mark, 0);
}

TEST(TreeMap, LocalRuleShapesSmallTrees)
{
    IntMap map;
    insert_all(map, {1, 2});
    EXPECT_EQ(shape(map.root), "(. 1* (. 2 .))");
    insert_all(map, {3});
    EXPECT_EQ(shape(map.root), "((. 1 .) 2 (. 3 .))");

    IntMap ascending, descending;
    insert_all(ascending, range(1, 7));
    insert_all(descending, {7, 6, 5, 4, 3, 2, 1});
    EXPECT_EQ(shape(ascending.root), "(((. 1 .) 2 (. 3 .)) 4 ((. 5 .) 6 (. 7 .)))");
    EXPECT_EQ(shape(descending.root), shape(ascending.root));
}

TEST(TreeMap, AscendingThousandStaysShallow)
{
    IntMap map;
    insert_all(map, range(1, 1000));
    EXPECT_EQ(height(map.root), 15);
    expect_sound(map);
}

TEST(TreeMap, PresentKeyReturnsTheSameValueAndMakesNoNode)
{
    cTreeMap<int32_t, Owned> map;
    Owned* first = tree_get_or_add(map, 3);
    tree_get_or_add(map, 4);
    int busy = heap_busy_blocks();
    int made = objects_made;
    EXPECT_EQ(tree_get_or_add(map, 3), first);
    EXPECT_EQ(heap_busy_blocks(), busy);
    EXPECT_EQ(objects_made, made);  // no value constructed for a node in vain
}

TEST(TreeMap, RebuildGivesTheAscendingShapeAndKeepsValueAddresses)
{
    std::mt19937 random(99);
    std::vector<int32_t> keys = range(-200, 300);
    std::shuffle(keys.begin(), keys.end(), random);
    IntMap map(100000);
    insert_all(map, keys);
    std::map<int32_t, int32_t*> addresses;
    for (int32_t key : keys)
        addresses[key] = tree_find_value(map, key);

    tree_rebalance(map);
    IntMap reference(100000);
    insert_all(reference, range(-200, 300));
    EXPECT_EQ(shape(map.root), shape(reference.root));
    expect_sound(map);
    for (auto& [key, address] : addresses) {
        ASSERT_EQ(tree_find_value(map, key), address);
        ASSERT_EQ(*address, key * 10);
    }
}

// Each insertion is made again on a replay of the map without the limit: the
// map is rebuilt after it exactly when it compared more nodes than the limit.
TEST(TreeMap, InsertionDeeperThanTheLimitRebuildsAndNoOtherDoes)
{
    const uint32_t limit = 8;
    std::vector<int32_t> keys;  // zig-zag keys defeat the local rule
    for (int32_t i = 0; i < 200; ++i)
        keys.push_back(i % 2 ? 1000 - i : i);
    IntMap map(limit);
    int at_limit = 0, rebuilt_below_twice = 0;
    for (size_t n = 0; n < keys.size(); ++n) {
        IntMap replay(limit);
        insert_all(replay, std::vector<int32_t>(keys.begin(), keys.begin() + n));
        replay.depth_limit = UINT32_MAX;
        insert_all(replay, {keys[n]});
        insert_all(map, {keys[n]});
        uint32_t compared = replay.depth;
        if (compared > limit)
            tree_rebalance(replay);
        ASSERT_EQ(shape(map.root), shape(replay.root)) << "insertion " << n << " compared " << compared;
        at_limit += compared == limit;
        rebuilt_below_twice += compared > limit && compared <= 2 * limit;
    }
    EXPECT_GT(at_limit, 0);
    EXPECT_GT(rebuilt_below_twice, 0);
    expect_sound(map);
}

TEST(TreeMap, IterationOrderFollowsTheKeyType)
{
    IntMap signed_map;
    cTreeMap<uint32_t, int32_t> unsigned_map;
    for (int32_t key : {5, -1, 0, -7, 3}) {
        *tree_get_or_add(signed_map, key) = 0;
        *tree_get_or_add(unsigned_map, uint32_t(key)) = 0;
    }
    std::vector<int32_t> signed_keys, unsigned_keys;
    for (auto* n = tree_first_node(signed_map); n; n = tree_next_node(n))
        signed_keys.push_back(n->key);
    for (auto* n = tree_first_node(unsigned_map); n; n = tree_next_node(n))
        unsigned_keys.push_back(int32_t(n->key));
    EXPECT_EQ(signed_keys, (std::vector<int32_t>{-7, -1, 0, 3, 5}));
    EXPECT_EQ(unsigned_keys, (std::vector<int32_t>{0, 3, 5, -7, -1}));

    cTreeMap<uint64_t, int32_t> wide;
    *tree_get_or_add(wide, 0x100000000ull) = 1;
    *tree_get_or_add(wide, 0xFFFFFFFFull) = 2;
    EXPECT_EQ(tree_first_node(wide)->key, 0xFFFFFFFFull);
}

TEST(TreeMap, EmptyAndBoundaryLookups)
{
    IntMap map;
    EXPECT_EQ(tree_first_node(map), nullptr);
    EXPECT_EQ(tree_find_value(map, 1), nullptr);
    EXPECT_EQ(tree_next_free_int(map), 0);
    EXPECT_EQ(tree_next_node(static_cast<IntNode*>(nullptr)), nullptr);
    EXPECT_EQ(tree_find_greater(map, 0), nullptr);
    tree_clear(map);
    insert_all(map, {4, 9, 1});
    IntNode* largest = tree_find_node(map, 9);
    ASSERT_NE(largest, nullptr);
    EXPECT_EQ(tree_next_node(largest), nullptr);
    EXPECT_EQ(tree_find_node(map, 5), nullptr);
    EXPECT_EQ(tree_next_free_int(map), 10);
}

TEST(TreeMap, ClearingDeletesEveryOwnedObjectOnce)
{
    live_objects = 0;
    {
        cTreeMap<int32_t, OwnedPointer> map;
        for (int32_t i = 0; i < 50; ++i)
            tree_get_or_add(map, i)->object = new Owned;
        tree_get_or_add(map, 50);  // a null pointer is skipped
        EXPECT_EQ(live_objects, 50);
        tree_clear(map);
        EXPECT_EQ(live_objects, 0);
        tree_get_or_add(map, 1)->object = new Owned;
    }
    EXPECT_EQ(live_objects, 0);
}

TEST(TreeMap, InnerMapsAreFreedWithTheirEntry)
{
    cHeapBalance balance;
    cTreeMap<int32_t, cTreeMap<uint16_t, uint8_t>> outer;
    for (int32_t page = 0; page < 5; ++page) {
        cTreeMap<uint16_t, uint8_t>* inner = tree_get_or_add(outer, page);
        EXPECT_EQ(inner->depth_limit, 512u);
        inner->depth_limit = 256;
        for (uint16_t unit = 0; unit < 300; ++unit)
            *tree_get_or_add(*inner, unit) = uint8_t(unit);
    }
}

TEST(TreeMap, PackedKeysOrderByBytesAndFreeTheirStorage)
{
    cHeapBalance balance;
    cTreeMap<cPackedKey, int32_t> map(1024);
    const char* names[] = {"pkgm::instw", "ciom::messages", "lang", "install", "installer", "\xC3\xA9"};
    for (const char* name : names) {
        cPackedKey key;
        packedkey_from_str(key, name, -1);
        *tree_get_or_add(map, static_cast<cPackedKey&&>(key)) = int32_t(strlen(name));
    }
    std::vector<std::string> order;
    for (auto* n = tree_first_node(map); n; n = tree_next_node(n)) {
        _typebuf<uint8_t> bytes;
        packedkey_to_bytes(n->key, bytes);
        std::string text(reinterpret_cast<char*>(bytes.Data()), size_t(bytes.Count()));
        order.push_back(text.substr(0, text.find('\0')));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"ciom::messages", "install", "installer", "lang",
                                               "pkgm::instw", "\xC3\xA9"}));
    cPackedKey probe;
    packedkey_from_wstr(probe, L"install", -1);
    int32_t* value = tree_find_value(map, static_cast<cPackedKey&&>(probe));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(*value, 7);
    auto* node = tree_find_node(map, cPackedKey(tree_first_node(map)->key));
    EXPECT_EQ(node, tree_first_node(map));
    EXPECT_TRUE(tree_erase_node(map, node));
}

TEST(TreeMap, ErasingALeafClearsOnlyItsParentsLink)
{
    IntMap map;
    insert_all(map, range(1, 7));
    std::string before = shape(map.root);
    EXPECT_TRUE(tree_erase_node(map, tree_find_node(map, 7)));
    EXPECT_EQ(shape(map.root), "(((. 1 .) 2 (. 3 .)) 4 ((. 5 .) 6 .))");
    EXPECT_FALSE(tree_erase_node(map, static_cast<IntNode*>(nullptr)));

    IntMap single;
    insert_all(single, {42});
    EXPECT_TRUE(tree_erase_node(single, single.root));
    EXPECT_EQ(single.root, nullptr);
}

// Erasing touches only the path to the successor: no subtree is rebuilt.
TEST(TreeMap, ErasingANodeWithTwoChildrenPutsItsSuccessorInItsPlace)
{
    IntMap map;
    insert_all(map, range(1, 7));
    int32_t* five = tree_find_value(map, 5);
    EXPECT_TRUE(tree_erase_node(map, map.root));
    EXPECT_EQ(shape(map.root), "(((. 1 .) 2 (. 3 .)) 5 (. 6 (. 7 .)))");
    EXPECT_EQ(tree_find_value(map, 5), five);
    EXPECT_TRUE(tree_erase_node(map, tree_find_node(map, 2)));
    EXPECT_EQ(shape(map.root), "(((. 1 .) 3 .) 5 (. 6 (. 7 .)))");
    expect_sound(map);
}

TEST(TreeMap, RandomInsertAndEraseAgreeWithAReferenceMap)
{
    std::mt19937 random(2024);
    for (uint32_t limit : {4u, 16u, 512u}) {
        IntMap map(limit);
        std::map<int32_t, int32_t*> reference;
        for (int step = 0; step < 6000; ++step) {
            int32_t key = int32_t(random() % 700) - 350;
            if (random() % 3 == 0) {
                IntNode* node = tree_find_node(map, key);
                ASSERT_EQ(node != nullptr, reference.count(key) == 1);
                if (node) {
                    ASSERT_TRUE(tree_erase_node(map, node));
                    reference.erase(key);
                }
            } else {
                int32_t* value = tree_get_or_add(map, key);
                auto found = reference.find(key);
                if (found != reference.end()) {
                    ASSERT_EQ(value, found->second);
                } else {
                    *value = key * 3;
                    reference[key] = value;
                }
            }
            if (step % 500 == 0)
                expect_sound(map);
        }
        expect_sound(map);
        auto expected = reference.begin();
        for (auto* node = tree_first_node(map); node; node = tree_next_node(node), ++expected) {
            ASSERT_NE(expected, reference.end());
            ASSERT_EQ(node->key, expected->first);
            ASSERT_EQ(&node->value, expected->second);
            ASSERT_EQ(node->value, node->key * 3);
        }
        ASSERT_EQ(expected, reference.end());
        auto backwards = reference.rbegin();
        for (auto* node = tree_last_node(map); node; node = tree_prev_node(node), ++backwards) {
            ASSERT_NE(backwards, reference.rend());
            ASSERT_EQ(&node->value, backwards->second);
        }
        ASSERT_EQ(backwards, reference.rend());
        for (int32_t key = -360; key <= 360; ++key) {
            IntNode* greater = tree_find_greater(map, key);
            auto upper = reference.upper_bound(key);
            ASSERT_EQ(greater ? &greater->value : nullptr, upper == reference.end() ? nullptr : upper->second);
            IntNode* not_greater = tree_find_not_greater(map, key);
            ASSERT_EQ(not_greater ? &not_greater->value : nullptr,
                      upper == reference.begin() ? nullptr : std::prev(upper)->second);
        }
    }
}

TEST(TreeMap, MoveHandsOverTheTreeAndResetsTheSource)
{
    IntMap source(1024), target;
    insert_all(source, {1, 2, 3});
    insert_all(target, {9});
    int32_t* two = tree_find_value(source, 2);
    tree_move(target, source);
    EXPECT_EQ(source.root, nullptr);
    EXPECT_EQ(source.depth_limit, 512u);
    EXPECT_EQ(target.depth_limit, 1024u);
    EXPECT_EQ(tree_find_value(target, 2), two);
    EXPECT_EQ(tree_find_value(target, 9), nullptr);
}
