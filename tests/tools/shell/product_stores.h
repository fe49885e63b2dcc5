#ifndef TESTS_TOOLS_SHELL_PRODUCT_STORES_H
#define TESTS_TOOLS_SHELL_PRODUCT_STORES_H

// Installation records written into the two stores of a world of folders
// of its own, as the install job leaves them, for the manager to read; the
// icons of the test products' programs as product_icons.py drew them.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/ci_app_config.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_data.h"

struct ProductRecord {
    ProductRecord(std::string code_name = "", int64_t packed = -1) : code(std::move(code_name)), version(packed) {}

    std::string code;
    int64_t version;  // -1: no "ver"
    std::wstring name;
    std::wstring icon;  // empty: no "icon"
    int64_t utime = -1; // -1: no "utime"
    std::vector<std::pair<std::wstring, std::wstring>> launch;  // display name, command
    std::wstring publisher, support, updates;
    std::vector<std::pair<std::string, std::wstring>> more_texts;  // further text keys of the record
};

inline int64_t packed_version(int a, int b, int c = 0, int d = 0)
{
    return int64_t(uint64_t(a) << 48 | uint64_t(b) << 32 | uint64_t(c) << 16 | uint64_t(d));
}

// The application data folders of the process point into the world while
// it lives; its stores are empty until records are written.
class ProductWorld {
public:
    ProductWorld() : root(L"manager")
    {
        for (const wchar_t* folder : {L"appdata", L"programdata", L"profile", L"appdata/Vantrel",
                                      L"programdata/Vantrel", L"appdata/Vantrel/qrv", L"programdata/Vantrel/qrv"})
            CreateDirectoryW(root.Native(folder).c_str(), nullptr);
        env.SetPath(L"APPDATA", root.Path(L"appdata"));
        env.SetPath(L"ProgramData", root.Path(L"programdata"));
        env.SetPath(L"ALLUSERSPROFILE", root.Path(L"programdata"));
        env.SetPath(L"USERPROFILE", root.Path(L"profile"));
    }

    std::wstring Store(bool common) const { return root.Path(common ? L"programdata/Vantrel/qrv" : L"appdata/Vantrel/qrv"); }

    // Writes the record into the common or the per-user store.
    void Write(const ProductRecord& record, bool common = true) const
    {
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(Store(common).c_str()));
        std::string p = "install/" + record.code + "/";
        auto text = [&](const std::string& key, const std::wstring& value) {
            ASSERT_TRUE(store.WriteString((p + key).c_str(), value.c_str(), -1)) << key;
        };
        if (record.version >= 0) {
            ASSERT_TRUE(store.WriteInt64((p + "ver").c_str(), record.version));
        }
        text("name", record.name);
        if (!record.icon.empty())
            text("icon", record.icon);
        if (record.utime >= 0) {
            ASSERT_TRUE(store.WriteInt32((p + "utime").c_str(), int32_t(record.utime)));
        }
        if (!record.publisher.empty())
            text("publisher", record.publisher);
        if (!record.support.empty())
            text("support", record.support);
        if (!record.updates.empty())
            text("updates", record.updates);
        for (size_t k = 0; k < record.launch.size(); ++k) {
            text("cplns" + std::to_string(k), record.launch[k].first);
            text("cplcs" + std::to_string(k), record.launch[k].second);
        }
        for (const auto& more : record.more_texts)
            text(more.first, more.second);
        ASSERT_TRUE(store.Save());
    }

    // A shared key outside the records ("installer/update_server" and
    // such), in the common store: a run that could use it (every run here)
    // reads such keys from there alone.
    void WriteSetting(const char* key, const std::wstring& value) const
    {
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(Store(true).c_str()));
        ASSERT_TRUE(store.WriteString(key, value.c_str(), -1));
        ASSERT_TRUE(store.Save());
    }

    TempFolder root;

private:
    RedirectedEnv env;
};

// The icon's pixels at that size (0xAARRGGBB, rows bottom-up), from
// product_icons.txt.
inline std::vector<uint32_t> drawn_icon(const std::string& icon, int size)
{
    for (const auto& record : read_test_records("product_icons.txt"))
        if (record[0] == icon && std::stoi(record[1]) == size) {
            std::vector<uint32_t> pixels;
            for (size_t at = 0; at + 8 <= record[2].size(); at += 8)
                pixels.push_back(uint32_t(std::stoul(record[2].substr(at, 8), nullptr, 16)));
            return pixels;
        }
    ADD_FAILURE() << "no icon " << icon << " " << size;
    return {};
}

// A program built beside the test executable (the test products' ones).
inline std::wstring test_program(const char* name)
{
    std::string path = test_data_path(name);
    return std::wstring(path.begin(), path.end());
}

#endif
