#include "base/config_node.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/buf_wrapper_io.h"
#include "base/mem_io_target.h"
#include "tests/support/config_tree.h"
#include "tests/support/heap_probe.h"

namespace {

std::string written(const cConfigNode& root, bool expect_ok = true)
{
    cMemIOTarget stream;
    EXPECT_EQ(cfg_stream_write(stream, root), expect_ok);
    _typebuf<uint8_t> bytes;
    EXPECT_TRUE(stream.CopyTo(bytes) || stream.GetSize() == 0);
    return std::string(reinterpret_cast<const char*>(bytes.Data()), size_t(bytes.Count()));
}

// Reads bytes (held by the caller) into root; answers the read's result.
bool read_bytes(std::string& bytes, cConfigNode& root)
{
    cBufWrapperIO stream(bytes.empty() ? nullptr : &bytes[0], int32_t(bytes.size()), false);
    return cfg_stream_read(stream, root);
}

cConfigNode* chain(cConfigNode& root, int levels)
{
    cConfigNode* node = &root;
    for (int i = 0; i < levels && node; ++i)
        node = cfg_node_get_child(*node, "d", true);
    return node;
}

// The files of an independent writer of the layout (config_store_files.py).
TEST(ConfigStoreLayout, ReadingEachFileGivesItsTreeAsFarAsItGoes)
{
    ASSERT_GE(store_cases().size(), 20u);
    for (const StoreCase& c : store_cases()) {
        SCOPED_TRACE(c.name);
        cHeapBalance balance;
        std::string bytes = c.file;
        cConfigNode root;
        EXPECT_EQ(read_bytes(bytes, root), c.ok);
        EXPECT_EQ(flatten(root), c.out);
    }
}

TEST(ConfigStoreLayout, WritingATreeGivesTheIndependentWritersBytes)
{
    for (const StoreCase& c : store_cases()) {
        if (!c.roundtrip)
            continue;
        SCOPED_TRACE(c.name);
        cConfigNode root;
        build_tree(root, c.in);
        ASSERT_EQ(flatten(root), c.in);
        EXPECT_EQ(hex_of(written(root)), hex_of(c.file));
    }
}

TEST(ConfigStoreLayout, ValuesAndNamesAreCutToTheirFieldSizes)
{
    const StoreCase& value = store_case("long_value");
    EXPECT_EQ(value.in.at("x76").size(), 70000u);
    EXPECT_EQ(value.out.at("x76"), value.in.at("x76").substr(0, 65535));

    const StoreCase& name = store_case("long_name");
    EXPECT_EQ(name.out.count("x" + hex_of(std::string(255, 'n'))), 1u);
    EXPECT_EQ(name.out.count("x" + hex_of(std::string(253, 'm'))), 1u);
}

TEST(ConfigStoreLayout, EveryCutOfAFileFailsWithoutCrashing)
{
    for (const char* name : {"ab", "long_name", "empty_name", "duplicates", "deep_64", "rich"}) {
        SCOPED_TRACE(name);
        const std::string& file = store_case(name).file;
        cHeapBalance balance;
        for (size_t length = 0; length < file.size(); length += length < 600 ? 1 : 997) {
            std::string cut = file.substr(0, length);
            cConfigNode root;
            ASSERT_FALSE(read_bytes(cut, root)) << length;
        }
    }
}

TEST(ConfigStoreLayout, ASmallerTreeOverALargerOneKeepsTheOldTail)
{
    const StoreCase& large = store_case("rich");
    const StoreCase& small = store_case("ab");
    cConfigNode large_root, small_root;
    build_tree(large_root, large.in);
    build_tree(small_root, small.in);

    cMemIOTarget stream;
    ASSERT_TRUE(cfg_stream_write(stream, large_root));
    ASSERT_TRUE(cfg_stream_write(stream, small_root));
    _typebuf<uint8_t> bytes;
    ASSERT_TRUE(stream.CopyTo(bytes));
    std::string content(reinterpret_cast<const char*>(bytes.Data()), size_t(bytes.Count()));
    EXPECT_EQ(hex_of(content), hex_of(small.file + large.file.substr(small.file.size())));

    cConfigNode again;
    ASSERT_TRUE(cfg_stream_read(stream, again));
    EXPECT_EQ(flatten(again), small.out);
}

TEST(ConfigStoreLayout, ReadingEmptiesTheNodeFirst)
{
    std::string ab = store_case("ab").file;
    std::string wrong = store_case("wrong_magic").file;
    cConfigNode root;
    ASSERT_TRUE(read_bytes(ab, root));
    EXPECT_FALSE(read_bytes(wrong, root));
    EXPECT_EQ(flatten(root), FlatTree({{".", ""}}));
}

TEST(ConfigStoreLayout, TreesDeeperThanTheLimitAreNotWritten)
{
    cConfigNode root;
    ASSERT_NE(chain(root, int(CFG_MAX_DEPTH)), nullptr);
    EXPECT_EQ(hex_of(written(root)), hex_of(store_case("deep_64").file));

    ASSERT_NE(chain(root, int(CFG_MAX_DEPTH) + 1), nullptr);
    EXPECT_EQ(written(root, false), "");
}

TEST(ConfigStoreLayout, AShortWriteFails)
{
    const StoreCase& ab = store_case("ab");
    cConfigNode root;
    build_tree(root, ab.in);
    for (size_t room : {0, 3, 4, 10, 21}) {
        std::string block(room, '\x55');
        cBufWrapperIO stream(room ? &block[0] : nullptr, int32_t(room), true);
        EXPECT_FALSE(cfg_stream_write(stream, root)) << room;
        EXPECT_EQ(block, ab.file.substr(0, room));
    }
}

TEST(ConfigNodeTree, ChildrenAreFoundAddedAndRemovedByName)
{
    cHeapBalance balance;
    cConfigNode root;
    EXPECT_EQ(cfg_node_get_child(root, "a", false), nullptr);
    cConfigNode* a = cfg_node_get_child(root, "a", true);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->value.Count(), 0);
    EXPECT_EQ(cfg_node_get_child(root, "a", true), a);
    EXPECT_EQ(cfg_node_get_child(root, "a", false), a);
    EXPECT_EQ(cfg_node_get_child(root, nullptr, true), nullptr);

    cConfigNode* deep = chain(*a, 5);
    ASSERT_NE(deep, nullptr);
    deep->value.Resize(100);
    cConfigNode* b = cfg_node_get_child(root, "b", true);
    ASSERT_NE(b, nullptr);

    EXPECT_FALSE(cfg_node_remove_child(root, "c"));
    EXPECT_TRUE(cfg_node_remove_child(root, "a"));
    EXPECT_EQ(cfg_node_get_child(root, "a", false), nullptr);
    EXPECT_EQ(cfg_node_get_child(root, "b", false), b);
    EXPECT_FALSE(cfg_node_remove_child(root, "a"));
}

TEST(ConfigNodeTree, KeyTextIsTheNameWithoutPadding)
{
    for (const char* name : {"", "a", "abc", "abcd", "abcdefgh", "\xc3\xa4x"}) {
        cPackedKey key;
        packedkey_from_str(key, name, -1);
        _guardchar<char> text;
        ASSERT_TRUE(cfg_key_text(key, text));
        EXPECT_STREQ(text.Text(), name);
    }
}

}  // namespace
