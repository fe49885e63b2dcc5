#include <algorithm>
#include <map>
#include <random>

#include "base/tree_map.h"
#include "bench/base/base_bench.h"

namespace {

typedef cTreeMap<int32_t, int32_t> IntMap;

// Distinct keys spread over the whole range in random order, each twice:
// the second insertion finds the key present.
const std::vector<int32_t>& keys_twice()
{
    static const std::vector<int32_t> keys = [] {
        std::mt19937 random(5);
        std::vector<int32_t> k(200000);
        for (size_t i = 0; i < k.size(); ++i)
            k[i] = int32_t(uint32_t(i) * 2654435761u);
        std::shuffle(k.begin(), k.end(), random);
        std::vector<int32_t> twice = k;
        std::shuffle(k.begin(), k.end(), random);
        twice.insert(twice.end(), k.begin(), k.end());
        return twice;
    }();
    return keys;
}

// The keys in another random order, for erasing.
const std::vector<int32_t>& erase_order()
{
    static const std::vector<int32_t> keys = [] {
        std::vector<int32_t> k(keys_twice().begin(), keys_twice().begin() + keys_twice().size() / 2);
        std::shuffle(k.begin(), k.end(), std::mt19937(6));
        return k;
    }();
    return keys;
}

void fill(IntMap& map)
{
    for (int32_t key : keys_twice())
        *tree_get_or_add(map, key) = key;
}

void fill(std::map<int32_t, int32_t>& map)
{
    for (int32_t key : keys_twice())
        map[key] = key;
}

template <class Map>
double insert_run()
{
    Map map;
    return time_us([&] { fill(map); });
}

double erase_ours()
{
    IntMap map;
    fill(map);
    return time_us([&] {
        for (int32_t key : erase_order())
            tree_erase_node(map, tree_find_node(map, key));
    });
}

double erase_std()
{
    std::map<int32_t, int32_t> map;
    fill(map);
    return time_us([&] {
        for (int32_t key : erase_order())
            map.erase(key);
    });
}

void require_same_contents()
{
    IntMap ours;
    std::map<int32_t, int32_t> theirs;
    fill(ours);
    fill(theirs);
    auto expected = theirs.begin();
    bool same = true;
    for (auto* node = tree_first_node(ours); node && same; node = tree_next_node(node), ++expected)
        same = expected != theirs.end() && node->key == expected->first;
    bench_require(same && expected == theirs.end(), "map contents");
    for (size_t i = 0; i < erase_order().size() / 2; ++i)
        tree_erase_node(ours, tree_find_node(ours, erase_order()[i]));
    for (size_t i = erase_order().size() / 2; i < erase_order().size(); ++i)
        same = same && tree_find_value(ours, erase_order()[i]) != nullptr;
    for (size_t i = 0; i < erase_order().size() / 2; ++i)
        same = same && tree_find_value(ours, erase_order()[i]) == nullptr;
    bench_require(same, "map contents after erasing");
}

}  // namespace

std::vector<BenchCase> tree_map_bench_cases()
{
    require_same_contents();
    return {
        {"cTreeMap insert, 200k keys twice", "std::map", 2.0, insert_run<IntMap>,
         insert_run<std::map<int32_t, int32_t>>},
        {"cTreeMap erase, 200k keys", "std::map", 2.0, erase_ours, erase_std},
    };
}
