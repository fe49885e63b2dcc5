#include "base/ci_app_full_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/admin_access.h"
#include "tests/support/config_tree.h"
#include "tests/support/file_access.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

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
// takes what it holds out of the reads and the writes of either run. A run
// with administrator rights judges its store whole as it opens, and takes
// nothing of it then; any other run judges each read.
TEST_F(CIAppFullConfig, TheCommonStoreCountsWhileOnlyAdministratorsMayChangeIt)
{
    FillBoth();
    Folder(L"programdata/Vantrel/qrv/~save");
    for (bool standard_user : {false, true}) {
        RedirectedEnv run;
        cCIAppFullConfig reading;
        Open(reading, run, standard_user);
        EXPECT_TRUE(reading.CommonKeyGuarded("nofile/x")) << "a file nobody else may make";
        // Each level, and what "c/only", in another file of the store, reads
        // then for a run without rights.
        const std::pair<const wchar_t*, int32_t> levels[] = {{L"programdata/Vantrel/qrv/k", 30},
                                                             {L"programdata/Vantrel/qrv/~save", 0},
                                                             {L"programdata/Vantrel/qrv", 0},
                                                             {L"programdata/Vantrel", 0}};
        for (const auto& level : levels) {
            SCOPED_TRACE(testing::Message() << level.first << (standard_user ? ", a run without rights" : ""));
            std::wstring path = Path(level.first);
            let_everyone_write(path);
            cCIAppFullConfig opened;
            Open(opened, run, standard_user);
            cCIAppFullConfig& config = standard_user ? reading : opened;
            EXPECT_EQ(config.GetInt32("k/common"), 0);
            EXPECT_EQ(config.GetInt32("c/only"), standard_user ? level.second : 0);
            _guardchar<wchar_t> named;
            if (standard_user)
                EXPECT_FALSE(config.CommonKeyGuarded("k/common", &named));
            else
                named.Assign(opened.Refusal().place.Text());
            EXPECT_EQ(same_path(named.Text(), path), true);
            // The run without rights keeps its own values in its own store.
            EXPECT_NE(config.WriteInt32("k/common", 7), !standard_user) << "nothing written into it";
            config.Revert();
            ASSERT_TRUE(path_set_admin_access(path.c_str()));
            cCIAppFullConfig mended;
            Open(mended, run, standard_user);
            cCIAppFullConfig& given_back = standard_user ? reading : mended;
            EXPECT_EQ(given_back.GetInt32("k/common"), 20) << "given back to the administrators";
            EXPECT_EQ(given_back.GetInt32("c/only"), 30);
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
    EXPECT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_FALSE(config.StoreUsable());
    EXPECT_TRUE(same_path(config.Refusal().place.Text(), Path(L"appdata2/Vantrel")));
    EXPECT_EQ(config.GetInt32("k/common"), 20);
    EXPECT_FALSE(config.WriteInt32("k/x", 1));
    EXPECT_FALSE(config.Save());
    EXPECT_FALSE(config.CreateStore(L"qrv"));
    EXPECT_TRUE(temp.Names(root + L"profile").empty()) << "nothing made in the profile folder";
}

// The run's own store is judged once as it opens, before anything of it is
// made or locked: where it cannot serve, the place is named, nothing is
// made in it or where a link in its place leads, and none of its values
// counts (the other store's still do, as far as the run may take them).
// For a run with administrator rights (the common store) and one without
// (the per-user store). The look at the other store makes nothing there,
// no side folder, and reads it while others hold its files open to read.
TEST_F(CIAppFullConfig, TheRunsOwnStoreIsJudgedOnceBeforeAnythingOfItIsMade)
{
    enum Blocker { side_file, side_link, store_link, folder_as_file, held_file, damaged_file, nothing_made };
    struct GateCase {
        const char* what;
        Blocker blocker;
        const wchar_t* named;  // in the store folder; empty: the folder itself
        uint32_t kind = CFG_FAULT_PLACE;  // of the refusal
    } cases[] = {
        {"a plain file as the side folder", side_file, L"~save"},
        {"a link to a folder of the run's as the side folder", side_link, L"~save"},
        {"a link to a folder of the run's as the store folder", store_link, L""},
        {"a folder among the store files", folder_as_file, L"f"},
        {"a store file another program holds", held_file, L"k", CFG_FAULT_HELD},
        {"a damaged store file", damaged_file, L"k", CFG_FAULT_UNREADABLE},
        {"a side folder in which nothing can be made", nothing_made, L"~save"},
    };
    // Empties the folder (in the world) of its files and removes it.
    auto remove_folder = [&](const std::wstring& folder) {
        for (const std::wstring& name : temp.Names(root + folder))
            DeleteFileW(temp.Native(root + folder + L"/" + name).c_str());
        RemoveDirectoryW(temp.Native(root + folder).c_str());
    };
    for (bool standard_user : {false, true})
        for (const GateCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.what << (standard_user ? ", a run without rights" : ""));
            World(std::wstring(standard_user ? L"u" : L"a") + std::to_wstring(int(c.blocker)));
            FillBoth();
            Folder(L"elsewhere");
            std::wstring own = standard_user ? L"appdata/Vantrel/qrv" : L"programdata/Vantrel/qrv";
            std::wstring other = standard_user ? L"programdata/Vantrel/qrv" : L"appdata/Vantrel/qrv";
            std::wstring named = c.named[0] ? own + L"/" + c.named : own;
            HANDLE held = INVALID_HANDLE_VALUE;
            switch (c.blocker) {
            case side_file:
                remove_folder(named);
                ASSERT_TRUE(Put(named, "x"));
                break;
            case side_link:
            case store_link:
                remove_folder(own + L"/~save");
                if (c.blocker == store_link)
                    remove_folder(own);
                ASSERT_TRUE(make_host_link(Path(named), Path(L"elsewhere")));
                break;
            case folder_as_file:
                ASSERT_TRUE(CreateDirectoryW(temp.Native(root + named).c_str(), nullptr));
                break;
            case held_file:
                held = CreateFileW(temp.Native(root + named).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
                break;
            case damaged_file:
                ASSERT_TRUE(Put(named, std::string("QRVX\0\0\0", 7)));
                break;
            case nothing_made:
                // Where the run makes its file afresh, one it cannot delete.
                held = CreateFileW(
                    temp.Native(root + named + L"/~probe" + std::to_wstring(GetCurrentProcessId()) + L".new").c_str(),
                    GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
                break;
            }
            ASSERT_TRUE((c.blocker != held_file && c.blocker != nothing_made) || held != INVALID_HANDLE_VALUE);
            remove_folder(other + L"/~save");
            // Held as any reader may: a look that opened them to write
            // would find nothing there.
            HANDLE others[2];
            for (int i = 0; i < 2; ++i)
                others[i] = CreateFileW(temp.Native(root + other + (i ? L"/u" : L"/k")).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            RedirectedEnv run;
            cCIAppFullConfig config;
            Open(config, run, standard_user);
            for (HANDLE other_file : others)
                if (other_file != INVALID_HANDLE_VALUE)
                    CloseHandle(other_file);
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            EXPECT_FALSE(config.StoreUsable());
            EXPECT_TRUE(same_path(config.Refusal().place.Text(), Path(named)));
            EXPECT_EQ(config.Refusal().kind, c.kind);
            EXPECT_EQ(config.GetInt32("k/user"), 0);
            EXPECT_EQ(config.GetInt32("k/both"), standard_user ? 10 : 0) << "the common store, read only";
            EXPECT_EQ(children_of(config, "u").empty(), standard_user) << "the per-user names, listed only";
            EXPECT_FALSE(config.WriteInt32("k/new", 1));
            EXPECT_FALSE(config.Save());
            EXPECT_TRUE(temp.Names(root + L"elsewhere").empty()) << "nothing made where a link leads";
            EXPECT_FALSE(Exists(other + L"/~save")) << "nothing made in the other store";
        }
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
        EXPECT_TRUE(config.Refusal().place.IsEmpty());
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
    // Opening makes what the run's store lacks: creating one makes nothing.
    EXPECT_FALSE(config.CreateStore(user_store.c_str()));
}

}  // namespace
