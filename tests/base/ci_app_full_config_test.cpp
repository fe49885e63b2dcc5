#include "base/ci_app_full_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/admin_access.h"
#include "tests/support/config_tree.h"
#include "tests/support/file_access.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"

namespace {

// The per-user and the common application data point into the test's own
// folder; the stores are their "Vantrel/qrv" folders there.
class CIAppFullConfig : public ::testing::Test {
protected:
    CIAppFullConfig() : temp(L"ci_app_full_config")
    {
        env.SetPath(L"APPDATA", Folder(L"appdata"));
        env.SetPath(L"USERPROFILE", Folder(L"profile"));
        env.SetPath(L"ProgramData", Folder(L"programdata"));
        env.SetPath(L"ALLUSERSPROFILE", Folder(L"allusers"));
        user_store = Folder(L"appdata/Vantrel") + L"/qrv";
        common_store = Folder(L"programdata/Vantrel") + L"/qrv";
        Folder(L"appdata/Vantrel/qrv");
        Folder(L"programdata/Vantrel/qrv");
    }

    std::wstring Folder(const wchar_t* name)
    {
        CreateDirectoryW(temp.Native(name).c_str(), nullptr);
        return temp.Path(name);
    }

    // Writes 32-bit values straight into one store and saves it.
    void Fill(const std::wstring& folder, const std::vector<std::pair<const char*, int32_t>>& values)
    {
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(folder.c_str()));
        for (const auto& value : values)
            ASSERT_TRUE(store.WriteInt32(value.first, value.second));
        ASSERT_TRUE(store.Save());
    }

    // A value as a fresh load of one store sees it; -1 when absent.
    int32_t StoredValue(const std::wstring& folder, const char* key)
    {
        cCIAppConfig store;
        int64_t value = -1;
        if (!store.OpenStore(folder.c_str()) || !store.ReadInt64(key, value))
            return -1;
        return int32_t(value);
    }

    void FillBoth()
    {
        Fill(user_store, {{"k/both", 1}, {"k/user", 2}, {"u/only", 3}});
        Fill(common_store, {{"k/both", 10}, {"k/common", 20}, {"c/only", 30}});
    }

    TempFolder temp;
    RedirectedEnv env;
    std::wstring user_store, common_store;
};

TEST_F(CIAppFullConfig, ReadsPreferThePerUserStoreAndFallBackToTheCommonOne)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_EQ(config.GetInt32("k/both"), 1);
    EXPECT_EQ(config.GetInt32("k/user"), 2);
    EXPECT_EQ(config.GetInt32("k/common"), 20);
    EXPECT_EQ(config.GetInt16("c/only"), 30);
    EXPECT_EQ(config.GetInt64("u/only"), 3);
    EXPECT_EQ(config.GetInt32("k/none"), 0);

    ASSERT_TRUE(config.GetCommonStore().WriteString("c/text", L"common \u00e9", -1));
    ASSERT_TRUE(config.GetCommonStore().WriteBytes("c/bytes", "\x01\x02", 2));
    _guardchar<wchar_t> text;
    ASSERT_TRUE(config.ReadString("c/text", text));
    EXPECT_STREQ(text.Text(), L"common \u00e9");
    _typebuf<uint8_t> bytes;
    ASSERT_TRUE(config.ReadBytes("c/bytes", bytes));
    EXPECT_EQ(bytes.Count(), 2);
    EXPECT_FALSE(config.ReadString("c/none", text));
}

// The common store counts only while nobody but the administrators may
// change the key's file, the store's folder and the folder above it: each
// level opened to everyone's writes takes what it holds out of the reads.
TEST_F(CIAppFullConfig, TheCommonStoreCountsWhileOnlyAdministratorsMayChangeIt)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_TRUE(config.CommonKeyGuarded("nofile/x")) << "a file nobody else may make";

    // Each level, and what "c/only", in another file of the store, reads then.
    const std::pair<const wchar_t*, int32_t> levels[] = {
        {L"programdata/Vantrel/qrv/k", 30}, {L"programdata/Vantrel/qrv", 0}, {L"programdata/Vantrel", 0}};
    for (const auto& level : levels) {
        SCOPED_TRACE(testing::Message() << level.first);
        std::wstring path = temp.Path(level.first);
        let_everyone_write(path);
        EXPECT_EQ(config.GetInt32("k/common"), 0);
        EXPECT_EQ(config.GetInt32("c/only"), level.second);
        ASSERT_TRUE(path_set_admin_access(path.c_str()));
        EXPECT_EQ(config.GetInt32("k/common"), 20) << "given back to the administrators";
    }
}

TEST_F(CIAppFullConfig, HasKeyFindsKeysOfEitherStore)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    for (const char* key : {"k/both", "k/user", "k/common", "c/only", "u/only", "c"})
        EXPECT_TRUE(config.HasKey(key)) << key;
    EXPECT_FALSE(config.HasKey("k/none"));
    EXPECT_FALSE(config.HasKey("none"));
}

TEST_F(CIAppFullConfig, WritesGoToThePerUserStoreOnly)
{
    FillBoth();
    std::string common_before = temp.ReadFile(L"programdata/Vantrel/qrv/k");
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    ASSERT_TRUE(config.WriteInt32("k/common", 5));
    ASSERT_TRUE(config.WriteInt16("c/only", 6));
    ASSERT_TRUE(config.WriteInt64("k/wide", 7));
    ASSERT_TRUE(config.WriteString("k/text", L"x", -1));
    ASSERT_TRUE(config.WriteBytes("k/bytes", "y", 1));
    EXPECT_EQ(config.GetInt32("k/common"), 5);
    ASSERT_TRUE(config.Save());

    EXPECT_EQ(temp.ReadFile(L"programdata/Vantrel/qrv/k"), common_before);
    EXPECT_EQ(StoredValue(common_store, "k/common"), 20);
    EXPECT_EQ(StoredValue(common_store, "c/only"), 30);
    EXPECT_EQ(StoredValue(user_store, "k/common"), 5);
    EXPECT_EQ(StoredValue(user_store, "c/only"), 6);
    EXPECT_EQ(StoredValue(user_store, "k/wide"), 7);
}

TEST_F(CIAppFullConfig, EnumChildrenVisitsTheCommonStoreThenThePerUserStore)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    bool result = false;
    EXPECT_EQ(children_of(config, "k", &result), (std::vector<std::string>{"both", "common", "both", "user"}));
    EXPECT_TRUE(result);
    // A key that one store lacks has no children there.
    EXPECT_EQ(children_of(config, "c", &result), (std::vector<std::string>{"only"}));
    EXPECT_TRUE(result);
    EXPECT_EQ(children_of(config, "u", &result), (std::vector<std::string>{"only"}));
    EXPECT_TRUE(result);
    EXPECT_TRUE(children_of(config, "k/both", &result).empty());
    EXPECT_TRUE(result);
    EXPECT_TRUE(children_of(config, "none", &result).empty());
    EXPECT_FALSE(result);
    EXPECT_TRUE(children_of(config, "", &result).empty());
    EXPECT_FALSE(result);

    int calls = 0;
    EXPECT_FALSE(config.EnumChildren(
        "k", [](const char*, void* context) { return ++*static_cast<int*>(context) < 3; }, &calls));
    EXPECT_EQ(calls, 3);
}

TEST_F(CIAppFullConfig, SaveRevertAndDeleteActOnBothStores)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    ASSERT_TRUE(config.GetCommonStore().WriteInt32("k/both", 11));
    ASSERT_TRUE(config.WriteInt32("k/both", 12));
    EXPECT_TRUE(config.Revert());
    EXPECT_EQ(config.GetCommonStore().GetInt32("k/both"), 10);
    EXPECT_EQ(config.GetInt32("k/both"), 1);

    ASSERT_TRUE(config.GetCommonStore().WriteInt32("k/new", 13));
    ASSERT_TRUE(config.WriteInt32("k/new", 14));
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(StoredValue(common_store, "k/new"), 13);
    EXPECT_EQ(StoredValue(user_store, "k/new"), 14);

    EXPECT_TRUE(config.DeleteKey("k/both"));
    EXPECT_FALSE(config.HasKey("k/both"));
    // The answer is the per-user store's, which had no such key; the common
    // store's is gone all the same.
    EXPECT_FALSE(config.DeleteKey("k/common"));
    EXPECT_FALSE(config.HasKey("k/common"));
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(StoredValue(common_store, "k/both"), -1);
    EXPECT_EQ(StoredValue(user_store, "k/both"), -1);
    EXPECT_EQ(StoredValue(common_store, "k/common"), -1);

    EXPECT_TRUE(config.DeleteCommonKey("c/only"));
    EXPECT_FALSE(config.DeleteCommonKey("u/only"));
    EXPECT_TRUE(config.HasKey("u/only"));
    EXPECT_FALSE(config.HasKey("c/only"));
    // Deleting what is not there creates no file in either store.
    EXPECT_FALSE(config.DeleteKey("nofile/x"));
    EXPECT_EQ(temp.Attributes(L"programdata/Vantrel/qrv/nofile"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(temp.Attributes(L"appdata/Vantrel/qrv/nofile"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(CIAppFullConfig, TheCommonStoreIsOptional)
{
    Fill(user_store, {{"k/user", 2}});
    env.Set(L"ProgramData", nullptr);
    env.Set(L"ALLUSERSPROFILE", nullptr);
    env.Set(L"HOMEDRIVE", nullptr);
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_EQ(config.GetInt32("k/user"), 2);
    EXPECT_FALSE(config.HasKey("k/common"));
    EXPECT_FALSE(config.GetCommonStore().WriteInt32("k/common", 1));
    ASSERT_TRUE(config.WriteInt32("k/more", 3));
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(StoredValue(user_store, "k/more"), 3);
}

TEST_F(CIAppFullConfig, OpeningFailsWithoutThePerUserStore)
{
    env.Set(L"APPDATA", nullptr);
    env.Set(L"USERPROFILE", nullptr);
    env.Set(L"HOMEDRIVE", nullptr);
    cCIAppFullConfig config;
    EXPECT_FALSE(config.OpenStore(L"qrv"));
    EXPECT_FALSE(config.GetCommonStore().WriteInt32("k/x", 1));  // not opened either
}

TEST_F(CIAppFullConfig, ItHasNoNodesOfItsOwn)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_EQ(config.GetRoot(), nullptr);
    EXPECT_EQ(config.FindNode("k/both", true), nullptr);
    EXPECT_EQ(config.FindNode(nullptr, false), nullptr);
    EXPECT_EQ(config.GetChild("k", nullptr, true), nullptr);
    uint32_t size = 0;
    EXPECT_FALSE(config.GetValueSize(nullptr, size));
    EXPECT_FALSE(config.KeepsText());

    // Creating a store is the per-user store's business.
    std::wstring folder = temp.Path(L"appdata/Vantrel/qrv");
    EXPECT_FALSE(config.CreateStore(folder.c_str()));
}

}  // namespace
