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

// Two paths of one spelling, whichever separators they use.
bool same_path(const wchar_t* a, const std::wstring& b)
{
    std::wstring left(a ? a : L""), right(b);
    for (std::wstring* text : {&left, &right})
        for (wchar_t& c : *text)
            if (c == L'\\')
                c = L'/';
    return _wcsicmp(left.c_str(), right.c_str()) == 0;
}

// The per-user and the common application data point into the test's own
// folder; the stores are their "Vantrel/qrv" folders there, the common
// one the administrators' own. A run without administrator rights is the
// test build's stand-in (PELMARO_TEST_STANDARD_USER).
class CIAppFullConfig : public ::testing::Test {
protected:
    CIAppFullConfig() : temp(L"ci_app_full_config") { World(L"w"); }

    // A world of its own in the test's folder, named world, that the
    // variables point into from now on.
    void World(const std::wstring& world)
    {
        root = world + L"/";
        Folder(L"");
        env.SetPath(L"APPDATA", Folder(L"appdata"));
        env.SetPath(L"USERPROFILE", Folder(L"profile"));
        env.SetPath(L"ProgramData", Folder(L"programdata"));
        env.SetPath(L"ALLUSERSPROFILE", Folder(L"allusers"));
        user_store = Folder(L"appdata/Vantrel") + L"/qrv";
        Folder(L"appdata/Vantrel/qrv");
        for (const wchar_t* level : {L"programdata/Vantrel", L"programdata/Vantrel/qrv"})
            EXPECT_TRUE(path_set_admin_access(Folder(level).c_str()));
        common_store = Path(L"programdata/Vantrel/qrv");
    }

    std::wstring Path(const std::wstring& inside) { return temp.Path(root + inside); }

    std::wstring Folder(const std::wstring& name)
    {
        CreateDirectoryW(temp.Native(root + name).c_str(), nullptr);
        return Path(name);
    }
    bool Put(const std::wstring& name, const std::string& bytes) { return temp.WriteFile(root + name, bytes); }
    std::string Bytes(const std::wstring& name) { return temp.ReadFile(root + name); }
    bool Exists(const std::wstring& name) { return temp.Attributes(root + name) != INVALID_FILE_ATTRIBUTES; }

    void StandardUser() { env.Set(L"PELMARO_TEST_STANDARD_USER", L"1"); }

    // Opens config as a run with administrator rights, or without them
    // while run lives.
    void Open(cCIAppFullConfig& config, RedirectedEnv& run, bool standard_user)
    {
        if (standard_user)
            run.Set(L"PELMARO_TEST_STANDARD_USER", L"1");
        ASSERT_TRUE(config.OpenStore(L"qrv"));
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
    std::wstring root;  // of the world, in temp
    std::wstring user_store, common_store;
};

// Each run reads, writes, deletes and saves in the store its rights make
// its own, and reads the other only as far as that cannot steer it.
TEST_F(CIAppFullConfig, EachRunKeepsItsValuesInTheStoreOfItsRights)
{
    struct RunCase {
        const char* what;
        bool standard_user;
        // What "k/both", "k/user", "k/common", "c/only", "u/only" read (0:
        // nothing).
        std::vector<int32_t> reads;
        const wchar_t* written;    // the store its writes reach
        const wchar_t* untouched;  // the store whose files stay as they were
    };
    const RunCase cases[] = {
        {"a run with administrator rights", false, {10, 0, 20, 30, 0}, L"programdata/Vantrel/qrv",
         L"appdata/Vantrel/qrv"},
        {"a run without them", true, {1, 2, 20, 30, 3}, L"appdata/Vantrel/qrv", L"programdata/Vantrel/qrv"},
    };
    const char* keys[] = {"k/both", "k/user", "k/common", "c/only", "u/only"};
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.what);
        World(c.standard_user ? L"user" : L"admin");
        FillBoth();
        std::wstring untouched(c.untouched);
        std::string untouched_k = Bytes(untouched + L"/k");
        std::vector<std::wstring> untouched_sides = temp.Names(root + untouched + L"/~save");
        RedirectedEnv run;
        cCIAppFullConfig config;
        Open(config, run, c.standard_user);
        EXPECT_EQ(config.ForAllUsers(), !c.standard_user);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(config.GetInt32(keys[i]), c.reads[i]) << keys[i];
            EXPECT_EQ(config.HasKey(keys[i]), c.reads[i] != 0) << keys[i];
        }
        ASSERT_TRUE(config.WriteInt32("k/common", 5));
        ASSERT_TRUE(config.WriteString("k/text", L"t \u00e9", -1));
        ASSERT_TRUE(config.WriteBytes("k/bytes", "y", 1));
        EXPECT_TRUE(config.DeleteKey("k/both"));
        EXPECT_FALSE(config.DeleteKey("nofile/x"));
        EXPECT_EQ(config.GetInt32("k/common"), 5);
        EXPECT_TRUE(config.Save());
        std::wstring written = Path(c.written);
        EXPECT_EQ(StoredValue(written, "k/common"), 5);
        EXPECT_EQ(StoredValue(written, "k/both"), -1);
        EXPECT_EQ(Bytes(untouched + L"/k"), untouched_k);
        EXPECT_EQ(temp.Names(root + untouched + L"/~save"), untouched_sides) << "nothing made in it";
        EXPECT_FALSE(Exists(untouched + L"/nofile"));
        EXPECT_FALSE(config.GetCommonStore().WriteInt32("c/other", 1) && c.standard_user)
            << "the common store is read only for a run without administrator rights";
        // Both stores' names are listed, the common store's first.
        bool result = false;
        std::vector<std::string> names = children_of(config, "k", &result);
        EXPECT_TRUE(result);
        std::vector<std::string> common_first = {"bytes", "common", "text", "both", "user"};
        std::vector<std::string> user_last = {"both", "common", "bytes", "common", "text", "user"};
        EXPECT_EQ(names, c.standard_user ? user_last : common_first);
    }
}

// The common store counts only while nobody but the administrators may
// change the key's file, the store's folder, its side folder and the folder
// above them, each judged as itself: each level opened to everyone's writes
// takes what it holds out of the reads and the writes of either run.
TEST_F(CIAppFullConfig, TheCommonStoreCountsWhileOnlyAdministratorsMayChangeIt)
{
    FillBoth();
    Folder(L"programdata/Vantrel/qrv/~save");
    for (bool standard_user : {false, true}) {
        RedirectedEnv run;
        cCIAppFullConfig config;
        Open(config, run, standard_user);
        EXPECT_TRUE(config.CommonKeyGuarded("nofile/x")) << "a file nobody else may make";
        // Each level, and what "c/only", in another file of the store, reads then.
        const std::pair<const wchar_t*, int32_t> levels[] = {{L"programdata/Vantrel/qrv/k", 30},
                                                             {L"programdata/Vantrel/qrv/~save", 0},
                                                             {L"programdata/Vantrel/qrv", 0},
                                                             {L"programdata/Vantrel", 0}};
        for (const auto& level : levels) {
            SCOPED_TRACE(testing::Message() << level.first << (standard_user ? ", a run without rights" : ""));
            std::wstring path = Path(level.first);
            let_everyone_write(path);
            EXPECT_EQ(config.GetInt32("k/common"), 0);
            EXPECT_EQ(config.GetInt32("c/only"), level.second);
            _guardchar<wchar_t> named;
            EXPECT_FALSE(config.CommonKeyGuarded("k/common", &named));
            EXPECT_EQ(same_path(named.Text(), path), true);
            // The run without rights keeps its own values in its own store.
            EXPECT_NE(config.WriteInt32("k/common", 7), !standard_user) << "nothing written into it";
            config.Revert();
            ASSERT_TRUE(path_set_admin_access(path.c_str()));
            EXPECT_EQ(config.GetInt32("k/common"), 20) << "given back to the administrators";
            EXPECT_EQ(config.GetInt32("c/only"), 30);
        }
    }
}

// A run without administrator rights keeps nothing without its per-user
// store, and never in the home folder; it still reads the common store.
TEST_F(CIAppFullConfig, ARunWithoutItsPerUserStoreKeepsNothing)
{
    Fill(common_store, {{"k/common", 20}});
    StandardUser();
    env.SetPath(L"APPDATA", Folder(L"appdata2"));
    ASSERT_TRUE(Put(L"appdata2/Vantrel", "x"));
    cCIAppFullConfig config;
    EXPECT_FALSE(config.OpenStore(L"qrv"));
    EXPECT_TRUE(same_path(config.UserStoreMissing().Text(), Path(L"appdata2/Vantrel/qrv")));
    EXPECT_EQ(config.GetInt32("k/common"), 20);
    EXPECT_FALSE(config.WriteInt32("k/x", 1));
    EXPECT_FALSE(config.Save());
    EXPECT_FALSE(config.CreateStore(L"qrv"));
    EXPECT_TRUE(temp.Names(root + L"profile").empty()) << "nothing made in the profile folder";
}

TEST_F(CIAppFullConfig, WithoutCommonApplicationDataOnlyARunWithoutRightsKeepsValues)
{
    Fill(user_store, {{"k/user", 2}});
    env.Set(L"ProgramData", nullptr);
    env.Set(L"ALLUSERSPROFILE", nullptr);
    env.Set(L"HOMEDRIVE", nullptr);
    for (bool standard_user : {false, true}) {
        RedirectedEnv run;
        cCIAppFullConfig config;
        Open(config, run, standard_user);
        EXPECT_TRUE(config.CommonPlaceRefused().IsEmpty());
        EXPECT_EQ(config.GetInt32("k/user"), standard_user ? 2 : 0);
        EXPECT_FALSE(config.GetCommonStore().WriteInt32("k/common", 1));
        EXPECT_EQ(config.WriteInt32("k/more", 3), standard_user);
        EXPECT_EQ(config.Save(), standard_user);
        EXPECT_EQ(StoredValue(user_store, "k/more"), standard_user ? 3 : -1);
    }
}

TEST_F(CIAppFullConfig, RevertAndDeleteCommonKeyActOnTheirStores)
{
    FillBoth();
    cCIAppFullConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    ASSERT_TRUE(config.WriteInt32("k/both", 11));
    EXPECT_TRUE(config.Revert());
    EXPECT_EQ(config.GetInt32("k/both"), 10);
    EXPECT_TRUE(config.DeleteCommonKey("c/only"));
    EXPECT_FALSE(config.DeleteCommonKey("u/only"));
    EXPECT_FALSE(config.HasKey("c/only"));
    int calls = 0;
    EXPECT_FALSE(config.EnumChildren(
        "k", [](const char*, void* context) { return ++*static_cast<int*>(context) < 3; }, &calls));
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(children_of(config, "none").empty());
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
    // Creating a store is the per-user store's business, of a run without
    // administrator rights.
    EXPECT_FALSE(config.CreateStore(user_store.c_str()));
}

}  // namespace
