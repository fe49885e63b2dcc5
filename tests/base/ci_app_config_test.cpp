#include "base/ci_app_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/config_file.h"
#include "tests/support/config_tree.h"
#include "tests/support/heap_probe.h"
#include "tests/support/redirected_env.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

// Every store lives in the test's own folder; resolving a store name goes
// to application-data folders there too, never to the prefix's profile.
class CIAppConfig : public ::testing::Test {
protected:
    CIAppConfig() : temp(L"ci_app_config")
    {
        store = Folder(L"store");
        env.SetPath(L"APPDATA", Folder(L"appdata"));
        env.SetPath(L"USERPROFILE", Folder(L"profile"));
        env.SetPath(L"ProgramData", Folder(L"programdata"));
        env.SetPath(L"ALLUSERSPROFILE", Folder(L"allusers"));
    }

    std::wstring Folder(const wchar_t* name)
    {
        CreateDirectoryW(temp.Native(name).c_str(), nullptr);
        return temp.Path(name);
    }
    std::string StoreFile(const std::wstring& name) { return temp.ReadFile(L"store/" + name); }
    bool PutStoreFile(const std::wstring& name, const std::string& bytes)
    {
        return temp.WriteFile(L"store/" + name, bytes);
    }
    bool HasStoreFile(const std::wstring& name) { return temp.Attributes(L"store/" + name) != INVALID_FILE_ATTRIBUTES; }

    // Moves a store file's last-write time to now plus offset seconds.
    bool SetLastWrite(const std::wstring& name, int64_t offset)
    {
        HANDLE file = CreateFileW(temp.Native(L"store/" + name).c_str(), FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        uint64_t ticks = (uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) + uint64_t(offset * 10000000);
        FILETIME moved = {DWORD(ticks), DWORD(ticks >> 32)};
        bool ok = SetFileTime(file, nullptr, nullptr, &moved);
        CloseHandle(file);
        return ok;
    }

    TempFolder temp;
    RedirectedEnv env;
    std::wstring store;
};

TEST_F(CIAppConfig, AWriteCreatesTheFileEmptyAndSaveWritesTheTree)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.WriteInt32("a/b", 5));
    EXPECT_EQ(hex_of(StoreFile(L"a")), hex_of(store_case("empty").file));
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(hex_of(StoreFile(L"a")), hex_of(store_case("int_b").file));
    EXPECT_TRUE(config.Save());
}

TEST_F(CIAppConfig, TypedValuesRoundTripThroughAFreshLoad)
{
    const wchar_t* text = L"Gr\u00fc\u00dfe, \u65e5\u672c \xd83d\xde00";
    const std::string bytes("\x00\x01\xfe\xff\x00", 5);
    {
        cCIAppConfig config;
        ASSERT_TRUE(config.OpenStore(store.c_str()));
        ASSERT_TRUE(config.WriteInt16("v/i16", -12345));
        ASSERT_TRUE(config.WriteInt32("v/i32", -123456789));
        ASSERT_TRUE(config.WriteInt64("v/i64", -0x123456789abcdefll));
        ASSERT_TRUE(config.WriteString("v/text", text, -1));
        ASSERT_TRUE(config.WriteString("v/empty", L"", -1));
        ASSERT_TRUE(config.WriteBytes("v/bytes", bytes.data(), uint32_t(bytes.size())));
        ASSERT_TRUE(config.WriteBytes("w/ffff", "\xff\xff", 2));
        ASSERT_TRUE(config.WriteBytes("w/nine", "123456789", 9));
        ASSERT_TRUE(config.Save());
    }
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt16("v/i16"), -12345);
    EXPECT_EQ(config.GetInt32("v/i32"), -123456789);
    EXPECT_EQ(config.GetInt64("v/i64"), -0x123456789abcdefll);

    _guardchar<wchar_t> read;
    ASSERT_TRUE(config.ReadString("v/text", read));
    EXPECT_STREQ(read.Text(), text);
    read.Assign(L"not empty");
    ASSERT_TRUE(config.ReadString("v/empty", read));
    EXPECT_TRUE(read.IsEmpty());

    _typebuf<uint8_t> out;
    ASSERT_TRUE(config.ReadBytes("v/bytes", out));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out.Data()), size_t(out.Count())), bytes);

    EXPECT_EQ(config.GetInt16("w/ffff"), -1);
    int64_t wide = 0;
    ASSERT_TRUE(config.ReadInt64("w/ffff", wide));
    EXPECT_EQ(wide, 65535);
    EXPECT_FALSE(config.ReadInt64("w/nine", wide));
    EXPECT_EQ(config.GetInt32("w/nine"), 0);
    EXPECT_EQ(config.GetInt32("w/missing"), 0);
    EXPECT_EQ(config.GetInt32("nofile/x"), 0);
    EXPECT_FALSE(HasStoreFile(L"nofile"));
}

TEST_F(CIAppConfig, DeleteKeyRemovesANodeWithEverythingBelowIt)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.WriteInt32("a/b/c", 1));
    ASSERT_TRUE(config.WriteInt32("a/b/d", 2));
    ASSERT_TRUE(config.WriteInt32("a/e", 3));

    for (const char* refused : {"a", "", "/b", "a/x", "a/x/y", "zz/x"})
        EXPECT_FALSE(config.DeleteKey(refused)) << refused;
    EXPECT_FALSE(config.DeleteKey(nullptr));
    EXPECT_FALSE(config.HasKey("a/x"));  // not created by the attempt
    EXPECT_FALSE(HasStoreFile(L"zz"));

    EXPECT_TRUE(config.DeleteKey("a/b"));
    EXPECT_FALSE(config.HasKey("a/b"));
    EXPECT_FALSE(config.HasKey("a/b/c"));
    EXPECT_EQ(config.GetInt32("a/e"), 3);
    ASSERT_TRUE(config.Save());

    cCIAppConfig fresh;
    ASSERT_TRUE(fresh.OpenStore(store.c_str()));
    EXPECT_FALSE(fresh.HasKey("a/b"));
    EXPECT_TRUE(fresh.HasKey("a"));
    EXPECT_EQ(fresh.GetInt32("a/e"), 3);
}

TEST_F(CIAppConfig, EnumChildrenWalksInByteOrderAndStopsWhenTold)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    for (const char* key : {"k/b", "k/gr\xc3\xb6\xc3\x9f" "e", "k/B", "k/ab", "k/a", "k/a/inner"})
        ASSERT_TRUE(config.WriteInt16(key, 1));
    bool result = false;
    EXPECT_EQ(children_of(config, "k", &result),
              (std::vector<std::string>{"B", "a", "ab", "b", "gr\xc3\xb6\xc3\x9f" "e"}));
    EXPECT_TRUE(result);
    EXPECT_EQ(children_of(config, "k/a", &result), (std::vector<std::string>{"inner"}));
    EXPECT_TRUE(children_of(config, "k/b", &result).empty());
    EXPECT_TRUE(result);

    for (const char* refused : {"k/none", "none", ""}) {
        EXPECT_TRUE(children_of(config, refused, &result).empty());
        EXPECT_FALSE(result) << refused;
    }
    EXPECT_FALSE(config.EnumChildren("k", nullptr, nullptr));

    int calls = 0;
    EXPECT_FALSE(config.EnumChildren(
        "k", [](const char*, void* context) { return ++*static_cast<int*>(context) < 2; }, &calls));
    EXPECT_EQ(calls, 2);
}

struct Deleter {
    cCIAppConfig* config;
    std::vector<std::string> seen;
};

TEST_F(CIAppConfig, EnumChildrenGoesOnAfterTheCallbackDeletesItsChild)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    for (const char* key : {"k/one/x", "k/two", "k/three", "k/four"})
        ASSERT_TRUE(config.WriteInt16(key, 1));
    Deleter deleter{&config, {}};
    EXPECT_TRUE(config.EnumChildren(
        "k",
        [](const char* name, void* context) {
            Deleter* d = static_cast<Deleter*>(context);
            d->seen.push_back(name);
            return d->config->DeleteKey(("k/" + std::string(name)).c_str());
        },
        &deleter));
    EXPECT_EQ(deleter.seen, (std::vector<std::string>{"four", "one", "three", "two"}));
    EXPECT_TRUE(children_of(config, "k").empty());
    EXPECT_TRUE(config.HasKey("k"));
}

struct Reader {
    cCIAppConfig* config;
    std::vector<int> values;
};

// Lookups read a file again while its last-write time is past its stamp,
// which frees the tree being walked: the walk must find its place again.
TEST_F(CIAppConfig, EnumChildrenSurvivesTheFileBeingReadAgainByItsCallback)
{
    {
        cCIAppConfig writer;
        ASSERT_TRUE(writer.OpenStore(store.c_str()));
        for (int i = 0; i < 20; ++i)
            ASSERT_TRUE(writer.WriteInt32(("k/n" + std::to_string(100 + i)).c_str(), i));
        ASSERT_TRUE(writer.Save());
    }
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(SetLastWrite(L"k", 3600));
    Reader reader{&config, {}};
    reader.values.reserve(20);  // its memory comes from the shared heap too
    int before = heap_busy_blocks();
    EXPECT_TRUE(config.EnumChildren(
        "k",
        [](const char* name, void* context) {
            Reader* r = static_cast<Reader*>(context);
            r->values.push_back(r->config->GetInt32(("k/" + std::string(name)).c_str()));
            return true;
        },
        &reader));
    EXPECT_EQ(heap_busy_blocks(), before);
    std::vector<int> expected;
    for (int i = 0; i < 20; ++i)
        expected.push_back(i);
    EXPECT_EQ(reader.values, expected);
}

TEST_F(CIAppConfig, ASaveByAnotherProcessIsSeenOnTheNextLookup)
{
    {
        cCIAppConfig writer;
        ASSERT_TRUE(writer.OpenStore(store.c_str()));
        ASSERT_TRUE(writer.WriteInt32("p/value", 1));
        ASSERT_TRUE(writer.WriteInt32("q/value", 1));
        ASSERT_TRUE(writer.Save());
    }
    // Stamps from an hour ago, so that the other process's save is newer
    // whatever the clock's resolution.
    ASSERT_TRUE(SetLastWrite(L"p", -3600));
    ASSERT_TRUE(SetLastWrite(L"q", -3600));
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt32("p/value"), 1);
    ASSERT_TRUE(config.WriteInt32("q/mine", 5));  // unsaved changes in q

    EXPECT_EQ(run_child_and_wait(L"save \"" + store + L"\" p/value 2"), 0u);
    EXPECT_EQ(run_child_and_wait(L"save \"" + store + L"\" q/value 2"), 0u);
    EXPECT_EQ(config.GetInt32("p/value"), 2);
    // A file with unsaved changes is not read again: they would be lost.
    EXPECT_EQ(config.GetInt32("q/value"), 1);
    EXPECT_EQ(config.GetInt32("q/mine"), 5);
    // One that another program holds past the wait is not known: neither
    // what was read last nor an empty file, nor saved over, and not waited
    // for again, until the store opens again.
    EXPECT_EQ(run_child_and_wait(L"save \"" + store + L"\" p/value 3"), 0u);
    std::string saved = StoreFile(L"p");
    HANDLE holder =
        CreateFileW(temp.Native(L"store/p").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(config.GetInt32("p/value"), 0);
    EXPECT_EQ(config.FileFault("p/value").kind, uint32_t(CFG_FAULT_HELD));
    EXPECT_EQ(std::wstring(config.FileFault("p").place.Text()), store + L"/p");
    CloseHandle(holder);
    DWORD start = GetTickCount();
    EXPECT_FALSE(config.HasKey("p/value"));
    EXPECT_FALSE(config.WriteInt32("p/other", 4));
    EXPECT_LT(GetTickCount() - start, CFG_HOLD_WAIT_MS / 2) << "waited for once";
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(StoreFile(L"p"), saved) << "never saved over";
    EXPECT_EQ(config.FirstFault().kind, uint32_t(CFG_FAULT_HELD));
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt32("p/value"), 3);
    EXPECT_EQ(config.FirstFault().kind, uint32_t(CFG_FAULT_NONE));
}

// A save that another program keeps out, then the revert of its changes
// while the file is still held: the file is not known afterwards, and the
// next save of the store (of another file) leaves it byte for byte as it
// was, never the emptiness a failed read leaves. Its records come back once
// the store opens again.
TEST_F(CIAppConfig, AFailedRevertLeavesTheFileOutOfEverySave)
{
    {
        cCIAppConfig writer;
        ASSERT_TRUE(writer.OpenStore(store.c_str()));
        ASSERT_TRUE(writer.WriteInt32("install/a/ver", 1));
        ASSERT_TRUE(writer.WriteInt32("install/b/ver", 2));
        ASSERT_TRUE(writer.WriteInt32("lang/current", 0));
        ASSERT_TRUE(writer.Save());
    }
    std::string records = StoreFile(L"install");
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.DeleteKey("install/a"));
    HANDLE holder = CreateFileW(temp.Native(L"store/install").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(config.Save());
    EXPECT_EQ(config.SaveFault().kind, uint32_t(CFG_FAULT_HELD));
    EXPECT_FALSE(config.Revert());
    EXPECT_FALSE(config.HasKey("install/b"));
    EXPECT_EQ(config.FileFault("install/b").kind, uint32_t(CFG_FAULT_HELD));
    CloseHandle(holder);
    ASSERT_TRUE(config.WriteInt32("lang/current", 3));
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(StoreFile(L"install"), records) << "the records as they were";
    EXPECT_EQ(config.GetInt32("lang/current"), 3);
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt32("install/a/ver"), 1);
    EXPECT_EQ(config.GetInt32("install/b/ver"), 2);
    EXPECT_EQ(config.GetInt32("lang/current"), 3);
}

// A corrupt file gives nothing and takes no write: what it held cannot be
// told, and saved over, the rest of it would be lost. Its fault names it.
TEST_F(CIAppConfig, OpenStoreLoadsEveryFileAndKeepsACorruptOneAsItIs)
{
    ASSERT_TRUE(PutStoreFile(L"good", store_case("ab").file));
    ASSERT_TRUE(PutStoreFile(L"odd name.txt", store_case("int_b").file));
    ASSERT_TRUE(PutStoreFile(L"bad", store_case("truncated_value").file));
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt32("good/ab"), 42);
    EXPECT_EQ(config.GetInt32("odd name.txt/b"), 5);
    EXPECT_EQ(config.FirstFault().kind, uint32_t(CFG_FAULT_UNREADABLE));
    EXPECT_EQ(std::wstring(config.FirstFault().place.Text()), store + L"/bad");
    EXPECT_FALSE(config.HasKey("bad/a"));
    EXPECT_FALSE(config.WriteInt32("bad/c", 7));
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(temp.ReadFile(L"store/bad"), store_case("truncated_value").file) << "kept as it was";

    // A corrupt file met first through a lookup: that lookup fails.
    ASSERT_TRUE(PutStoreFile(L"late", store_case("wrong_magic").file));
    EXPECT_EQ(config.FindNode("late", false), nullptr);
    Folder(L"store/folder");
    EXPECT_EQ(config.FindNode("folder", true), nullptr);
}

TEST_F(CIAppConfig, ANameResolvesToThePerUserFolder)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(L"qrv"));
    EXPECT_NE(temp.Attributes(L"appdata/Vantrel/qrv"), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(config.WriteInt32("a/b", 5));
    ASSERT_TRUE(config.Save());
    EXPECT_EQ(temp.ReadFile(L"appdata/Vantrel/qrv/a"), store_case("int_b").file);

    // Creating a store needs a folder that is not there yet: resolving the
    // name made it already, and an existing folder path is taken as it is.
    EXPECT_FALSE(config.CreateStore(L"qrv"));
    EXPECT_FALSE(config.CreateStore(store.c_str()));

    // Never the home folder instead.
    env.Set(L"APPDATA", nullptr);
    CreateDirectoryW(temp.Native(L"newhome").c_str(), nullptr);
    env.SetPath(L"USERPROFILE", temp.Path(L"newhome"));
    EXPECT_FALSE(config.CreateStore(L"qrv"));
    EXPECT_FALSE(config.OpenStore(L"qrv"));
    EXPECT_FALSE(config.IsOpen());
    EXPECT_TRUE(temp.Names(L"newhome").empty()) << "nothing made in the home folder";

    env.Set(L"USERPROFILE", nullptr);
    env.Set(L"HOMEDRIVE", nullptr);
    EXPECT_FALSE(config.OpenStore(L"qrv"));
    EXPECT_FALSE(config.CreateStore(L"qrv"));
}

TEST_F(CIAppConfig, RevertReadsModifiedFilesAgain)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.WriteInt32("a/b", 1));
    ASSERT_TRUE(config.Save());
    ASSERT_TRUE(config.WriteInt32("a/b", 2));
    ASSERT_TRUE(config.WriteInt32("a/c", 2));
    EXPECT_TRUE(config.Revert());
    EXPECT_EQ(config.GetInt32("a/b"), 1);
    EXPECT_FALSE(config.HasKey("a/c"));

    ASSERT_TRUE(config.WriteInt32("a/b", 3));
    ASSERT_TRUE(DeleteFileW(temp.Native(L"store/a").c_str()));
    EXPECT_FALSE(config.Revert());
}

TEST_F(CIAppConfig, AFileThatCannotBeWrittenStaysMarkedForTheNextSave)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.WriteInt32("a/b", 5));
    ASSERT_TRUE(DeleteFileW(temp.Native(L"store/a").c_str()));
    EXPECT_FALSE(config.Save());
    EXPECT_FALSE(HasStoreFile(L"a"));
    ASSERT_TRUE(cfg_file_create_empty((store + L"/a").c_str()));
    EXPECT_TRUE(config.Save());
    EXPECT_EQ(StoreFile(L"a"), store_case("int_b").file);
}

// A store file holds 64 levels below its root. A write deeper than that is
// refused by itself and adds nothing, and the file's other changes save.
TEST_F(CIAppConfig, AWriteDeeperThanAStoreFileHoldsIsRefusedAndTheRestSaves)
{
    struct Row {
        int levels;
        bool taken;
    };
    const Row table[] = {{64, true}, {65, false}, {200, false}};
    auto key_of = [](const Row& row) {
        std::string key = "d/" + std::to_string(row.levels);
        for (int level = 1; level < row.levels; ++level)
            key += "/n";
        return key;
    };
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    ASSERT_TRUE(config.WriteInt32("d/other", 7));
    for (const Row& row : table) {
        EXPECT_EQ(config.WriteInt32(key_of(row).c_str(), row.levels), row.taken) << row.levels;
        EXPECT_EQ(config.HasKey(("d/" + std::to_string(row.levels)).c_str()), row.taken) << row.levels;
    }
    ASSERT_TRUE(config.Save());

    cCIAppConfig fresh;
    ASSERT_TRUE(fresh.OpenStore(store.c_str()));
    EXPECT_EQ(fresh.GetInt32("d/other"), 7);
    for (const Row& row : table)
        EXPECT_EQ(fresh.GetInt32(key_of(row).c_str()), row.taken ? row.levels : 0) << row.levels;
}

TEST_F(CIAppConfig, AStoreWithoutAFolderHasNoFiles)
{
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(temp.Native(L"store").c_str()));
    cCIAppConfig config;
    EXPECT_FALSE(config.WriteInt32("a/b", 5));
    EXPECT_FALSE(config.HasKey("a"));
    EXPECT_TRUE(config.Save());
    SetCurrentDirectoryW(saved);
    EXPECT_FALSE(HasStoreFile(L"a"));
}

TEST_F(CIAppConfig, NodeOperationsRefuseTheRootAndNull)
{
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    void* root = config.GetRoot();
    EXPECT_EQ(config.FindNode(nullptr, false), root);
    EXPECT_FALSE(config.KeepsText());
    uint32_t size = 0;
    char byte;
    for (void* node : {root, static_cast<void*>(nullptr)}) {
        EXPECT_FALSE(config.GetValueSize(node, size));
        EXPECT_FALSE(config.GetValue(&byte, 1, node));
        EXPECT_FALSE(config.SetValue("x", 1, node));
    }
    void* node = config.FindNode("a/b", true);
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(config.GetValue(&byte, 1, node));  // empty value
    ASSERT_TRUE(config.SetValue("xyz", 3, node));
    ASSERT_TRUE(config.GetValueSize(node, size));
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(config.GetValue(nullptr, 1, node));
    EXPECT_FALSE(config.GetValue(&byte, 0, node));
    ASSERT_TRUE(config.GetValue(&byte, 1, node));
    EXPECT_EQ(byte, 'x');
    EXPECT_EQ(config.GetChild("b", config.FindNode("a", false), false), node);
}

TEST_F(CIAppConfig, ClosingAStoreGivesBackItsMemory)
{
    cHeapBalance balance;
    cCIAppConfig config;
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(config.WriteInt32(("f" + std::to_string(i % 5) + "/n/" + std::to_string(i)).c_str(), i));
    ASSERT_TRUE(config.Save());
    ASSERT_TRUE(config.DeleteKey("f1/n"));
    ASSERT_TRUE(config.OpenStore(store.c_str()));
    EXPECT_EQ(config.GetInt32("f1/n/11"), 11);
}

}  // namespace

// save FOLDER KEY VALUE: writes the 32-bit value under key in the store of
// that folder and saves; exit code 0 when all of it worked.
CHILD_MODE(save)
{
    cCIAppConfig config;
    bool ok = arguments.size() == 3 && config.OpenStore(arguments[0].c_str()) &&
              config.WriteInt32(narrow(arguments[1]).c_str(), int32_t(_wtoi(arguments[2].c_str()))) &&
              config.Save();
    return ok ? 0 : 1;
}
