#ifndef TESTS_SUPPORT_CONFIG_TREE_H
#define TESTS_SUPPORT_CONFIG_TREE_H

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/app_config.h"
#include "base/config_node.h"
#include "tests/support/test_data.h"

// Configuration trees as flat maps, in the text form of the cases that
// tests/base/config_store_files.py writes: every node's path ("." for the
// root, else "x" + hex of each name joined by '/') to its value bytes.
typedef std::map<std::string, std::string> FlatTree;

inline void flatten_into(const cConfigNode& node, const std::string& path, FlatTree& out)
{
    out[path] = std::string(reinterpret_cast<const char*>(node.value.Data()), size_t(node.value.Count()));
    for (auto* child = tree_first_node(node.children); child; child = tree_next_node(child)) {
        std::string name;
        for (int32_t i = 0; i < child->key.Count(); ++i)
            for (int shift = 24; shift >= 0; shift -= 8)
                name.push_back(char(child->key[i] >> shift));
        name = name.substr(0, name.find('\0'));
        std::string inner = "x" + hex_of(name);
        flatten_into(child->value, path == "." ? inner : path + "/" + inner, out);
    }
}

inline FlatTree flatten(const cConfigNode& root)
{
    FlatTree out;
    flatten_into(root, ".", out);
    return out;
}

// Builds the tree of a flat map into root (which is emptied first).
inline void build_tree(cConfigNode& root, const FlatTree& tree)
{
    cfg_node_clear(root);
    for (const auto& entry : tree) {
        cConfigNode* node = &root;
        if (entry.first != ".") {
            size_t start = 0;
            while (node && start <= entry.first.size()) {
                size_t end = entry.first.find('/', start);
                if (end == std::string::npos)
                    end = entry.first.size();
                std::string name = bytes_from_hex(entry.first.substr(start + 1, end - start - 1));
                node = cfg_node_get_child(*node, name.c_str(), true);
                start = end + 1;
            }
        }
        if (!node)
            continue;
        node->value.Resize(int32_t(entry.second.size()));
        if (!entry.second.empty())
            memcpy(node->value.Data(), entry.second.data(), entry.second.size());
    }
}

struct StoreCase {
    std::string name;
    bool ok;          // reading the file succeeds
    bool roundtrip;   // `in` written gives the file
    FlatTree in;      // the tree to write
    FlatTree out;     // the tree reading the file gives, as far as it gets
    std::string file; // the file's bytes
};

// The cases that config_store_files.py wrote at build time, read once.
inline const std::vector<StoreCase>& store_cases()
{
    static const std::vector<StoreCase> cases = [] {
        std::vector<StoreCase> read;
        for (const auto& record : read_test_records("config_files/cases.txt")) {
            if (record[0] == "case") {
                read.push_back({record[1], record[2] == "ok", record[3] == "roundtrip", {}, {}, {}});
                read.back().file = read_test_data(("config_files/" + record[1] + ".qrvc").c_str());
            } else {
                FlatTree& tree = record[0] == "in" ? read.back().in : read.back().out;
                tree[record[1]] = record[2] == "-" ? std::string() : bytes_from_hex(record[2]);
            }
        }
        return read;
    }();
    return cases;
}

inline const StoreCase& store_case(const std::string& name)
{
    for (const StoreCase& c : store_cases())
        if (c.name == name)
            return c;
    static const StoreCase missing{};
    return missing;
}

// The names EnumChildren gives for key, in order; *result gets its answer.
inline std::vector<std::string> children_of(cApplicationConfig& config, const char* key, bool* result = nullptr)
{
    std::vector<std::string> names;
    bool done = config.EnumChildren(
        key,
        [](const char* name, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(name);
            return true;
        },
        &names);
    if (result)
        *result = done;
    return names;
}

#endif
