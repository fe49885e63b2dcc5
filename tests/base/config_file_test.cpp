#include "base/config_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "base/file_handle.h"
#include "base/file_io.h"
#include "tests/support/config_tree.h"
#include "tests/support/heap_probe.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

namespace {

// A manual-reset event named for this process and tag, for a child to open.
class NamedEvent {
public:
    explicit NamedEvent(const wchar_t* tag)
        : name(L"pelmaro-config-file-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + tag)
    {
        event = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    }
    ~NamedEvent() { CloseHandle(event); }
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    std::wstring name;
    HANDLE event;
};

// Runs operation on a thread, checks that it is still waiting a while
// later, calls release and answers the operation's result.
bool waits_until_released(const std::function<bool()>& operation, const std::function<void()>& release)
{
    std::atomic<int> state(0);  // 0 waiting, 1 true, 2 false
    std::thread worker([&] { state = operation() ? 1 : 2; });
    Sleep(200);
    EXPECT_EQ(state.load(), 0) << "did not wait";
    release();
    worker.join();
    return state.load() == 1;
}

class ConfigFile : public ::testing::Test {
protected:
    ConfigFile() : folder(L"config_file") {}

    std::wstring PathOf(const wchar_t* name) { return folder.Path(name); }

    TempFolder folder;
};

TEST_F(ConfigFile, CreatedEmptyFileIsTheSevenByteFileAndReadsAsAnEmptyRoot)
{
    std::wstring path = PathOf(L"new");
    ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
    EXPECT_EQ(hex_of(folder.ReadFile(L"new")), hex_of(store_case("empty").file));
    cConfigNode root;
    root.value.Resize(3);
    ASSERT_TRUE(cfg_file_read(nullptr, path.c_str(), root));
    EXPECT_EQ(flatten(root), FlatTree({{".", ""}}));
}

TEST_F(ConfigFile, CreatingWhereSomethingIsLeavesItAlone)
{
    ASSERT_TRUE(folder.WriteFile(L"taken", "other content"));
    EXPECT_FALSE(cfg_file_create_empty(PathOf(L"taken").c_str()));
    EXPECT_EQ(folder.ReadFile(L"taken"), "other content");
    ASSERT_TRUE(CreateDirectoryW(folder.Native(L"sub").c_str(), nullptr));
    EXPECT_FALSE(cfg_file_create_empty(PathOf(L"sub").c_str()));
    EXPECT_FALSE(cfg_file_create_empty(PathOf(L"no/such/folder").c_str()));
    EXPECT_FALSE(cfg_file_create_empty(L""));
}

TEST_F(ConfigFile, MissingFilesAreNeitherReadNorWritten)
{
    std::wstring path = PathOf(L"missing");
    cConfigNode root;
    cfg_node_get_child(root, "x", true);
    EXPECT_FALSE(cfg_file_read(nullptr, path.c_str(), root));
    EXPECT_EQ(flatten(root), FlatTree({{".", ""}}));
    EXPECT_FALSE(cfg_file_write(path.c_str(), root));
    EXPECT_EQ(folder.Attributes(L"missing"), INVALID_FILE_ATTRIBUTES);
}

// The layout is the node tests' matter; here files on disk: large ones read
// through the read-ahead window, a damaged one as far as it goes, and a
// smaller tree written over a larger file replaces it whole.
TEST_F(ConfigFile, FilesOnDiskReadAndAreReplacedWhole)
{
    cHeapBalance balance;
    std::wstring path = PathOf(L"file");
    for (const char* name : {"truncated_value", "deep_200000", "rich"}) {
        const StoreCase& c = store_case(name);
        ASSERT_TRUE(folder.WriteFile(L"file", c.file));
        cConfigNode root;
        EXPECT_EQ(cfg_file_read(nullptr, path.c_str(), root), c.ok) << name;
        EXPECT_EQ(flatten(root), c.out) << name;
    }
    const StoreCase& small = store_case("ab");
    cConfigNode root;
    build_tree(root, small.in);
    ASSERT_TRUE(cfg_file_write(path.c_str(), root));
    EXPECT_EQ(hex_of(folder.ReadFile(L"file")), hex_of(small.file));
}

// Reading needs write access; a peek does not, and makes nothing beside
// the file. A file held by a handle that shares it for reading only stands
// in for a read-only file here: Wine, run as root, lets the read-only
// attribute pass. A read or a replacement waits for such a holder a while:
// one let go meanwhile is waited out.
TEST_F(ConfigFile, AFileThatCannotBeOpenedForWritingCanOnlyBePeekedAt)
{
    ASSERT_TRUE(folder.WriteFile(L"held", store_case("ab").file));
    HANDLE holder = CreateFileW(folder.Native(L"held").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    cConfigNode root, peeked;
    EXPECT_TRUE(cfg_file_peek(nullptr, PathOf(L"held").c_str(), peeked));
    EXPECT_EQ(folder.Attributes(L"~save"), INVALID_FILE_ATTRIBUTES) << "no side folder";
    EXPECT_FALSE(cfg_file_read(nullptr, PathOf(L"held").c_str(), root));
    EXPECT_FALSE(cfg_file_write(PathOf(L"held").c_str(), root));
    CloseHandle(holder);
    EXPECT_EQ(flatten(peeked), store_case("ab").out);
    EXPECT_TRUE(cfg_file_read(nullptr, PathOf(L"held").c_str(), root));
    EXPECT_FALSE(cfg_file_peek(nullptr, PathOf(L"missing").c_str(), root));
    for (bool write : {false, true}) {
        holder = CreateFileW(folder.Native(L"held").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        std::thread letting_go([holder] {
            Sleep(CFG_HOLD_WAIT_MS / 4);
            CloseHandle(holder);
        });
        EXPECT_TRUE(write ? cfg_file_write(PathOf(L"held").c_str(), root)
                          : cfg_file_read(nullptr, PathOf(L"held").c_str(), root))
            << (write ? "the replacement" : "the read");
        letting_go.join();
    }
}

// The new content's file is made afresh: a file a kill left at its name is
// removed first, anything else there (a link to another file, a folder)
// refuses the save, and nothing is written through it.
TEST_F(ConfigFile, ASaveNeverWritesThroughWhatStandsAtItsSideFilesName)
{
    struct SideCase {
        const char* what;
        std::function<void(TempFolder&)> plant;
        bool saved;
    };
    const SideCase cases[] = {
        {"a file a kill left", [](TempFolder& f) { ASSERT_TRUE(f.WriteFile(L"~save/file.new", "half a save")); }, true},
        {"a link to another file",
         [](TempFolder& f) {
             ASSERT_TRUE(f.WriteFile(L"victim", "the user's"));
             ASSERT_TRUE(make_host_link(f.Path(L"~save/file.new"), f.Path(L"victim")));
         },
         false},
        {"a folder", [](TempFolder& f) { CreateDirectoryW(f.Native(L"~save/file.new").c_str(), nullptr); }, false},
    };
    for (const SideCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder store(L"config_side");
        ASSERT_TRUE(store.WriteFile(L"file", store_case("empty").file));
        CreateDirectoryW(store.Native(L"~save").c_str(), nullptr);
        c.plant(store);
        cConfigNode tree;
        build_tree(tree, store_case("ab").in);
        EXPECT_EQ(cfg_file_write(store.Path(L"file").c_str(), tree), c.saved);
        EXPECT_EQ(hex_of(store.ReadFile(L"file")), hex_of(store_case(c.saved ? "ab" : "empty").file));
        if (store.Attributes(L"victim") != INVALID_FILE_ATTRIBUTES) {
            EXPECT_EQ(store.ReadFile(L"victim"), "the user's");
        }
        if (c.saved) {
            EXPECT_EQ(store.Attributes(L"~save/file.new"), INVALID_FILE_ATTRIBUTES) << "nothing left beside it";
        }
    }
}

TEST_F(ConfigFile, ReadingWaitsForTheStoreLock)
{
    ASSERT_TRUE(folder.WriteFile(L"file", store_case("ab").file));
    cCriticalSection store;
    store.Enter();
    cConfigNode root;
    std::wstring path = PathOf(L"file");
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_read(&store, path.c_str(), root); },
                                     [&] { store.Leave(); }));
    EXPECT_EQ(flatten(root), store_case("ab").out);
}

// Another process takes the file's lock, and on a signal writes a
// generated file's bytes over the file (in place, as a writer that holds
// the lock may) and ends. What this process reads or writes meanwhile must
// come after those bytes.
class LockHolder {
public:
    LockHolder(const std::wstring& folder, const std::wstring& name, const char* case_name)
        : locked(L"locked"), go(L"go")
    {
        process = start_child(L"hold_lock \"" + folder + L"/" + name + L"\" \"" + folder + L"/~save/" + name +
                              L".lock\" " + std::wstring(case_name, case_name + strlen(case_name)) + L" " +
                              locked.name + L" " + go.name);
    }
    // A test that stops early must not leave the child waiting.
    ~LockHolder()
    {
        SetEvent(go.event);
        if (process) {
            WaitForSingleObject(process, INFINITE);
            CloseHandle(process);
        }
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool WaitUntilLocked() { return process && WaitForSingleObject(locked.event, 30000) == WAIT_OBJECT_0; }
    // Lets the child go on and answers its exit code.
    DWORD LetGo()
    {
        SetEvent(go.event);
        DWORD code = 99;
        if (process && WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0)
            GetExitCodeProcess(process, &code);
        return code;
    }

private:
    NamedEvent locked, go;
    HANDLE process = nullptr;
};

TEST_F(ConfigFile, ReadingWaitsWhileAnotherProcessHoldsTheLock)
{
    std::wstring path = PathOf(L"shared");
    ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
    LockHolder holder(folder.Path(), L"shared", "rich");
    ASSERT_TRUE(holder.WaitUntilLocked());

    cConfigNode root;
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_read(nullptr, path.c_str(), root); },
                                     [&] { EXPECT_EQ(holder.LetGo(), 0u); }));
    EXPECT_EQ(flatten(root), store_case("rich").out);
}

TEST_F(ConfigFile, WritingWaitsWhileAnotherProcessHoldsTheLock)
{
    const StoreCase& small = store_case("ab");
    std::wstring path = PathOf(L"shared");
    ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
    LockHolder holder(folder.Path(), L"shared", "rich");
    ASSERT_TRUE(holder.WaitUntilLocked());

    cConfigNode root;
    build_tree(root, small.in);
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_write(path.c_str(), root); },
                                     [&] { EXPECT_EQ(holder.LetGo(), 0u); }));
    EXPECT_EQ(hex_of(folder.ReadFile(L"shared")), hex_of(small.file));
}

// A store of about 400 KB: 64 groups of 256 items with 16-byte values. The
// fill byte gives trees that are laid out alike and differ in every value,
// so that a file made of pieces of two of them equals neither.
void build_large_tree(cConfigNode& root, uint8_t fill)
{
    for (int group = 0; group < 64; ++group) {
        cConfigNode* parent = cfg_node_get_child(root, ("group" + std::to_string(group)).c_str(), true);
        for (int item = 0; item < 256; ++item) {
            cConfigNode* leaf = cfg_node_get_child(*parent, ("item" + std::to_string(item)).c_str(), true);
            leaf->value.Resize(16);
            memset(leaf->value.Data(), fill, 16);
        }
    }
}

TEST_F(ConfigFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    std::wstring path = PathOf(L"large");
    ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
    std::string whole[2];  // the files of the trees with fill 0xA5 and 0x5A
    for (int i = 1; i >= 0; --i) {
        cConfigNode tree;
        build_large_tree(tree, i ? 0x5A : 0xA5);
        ASSERT_TRUE(cfg_file_write(path.c_str(), tree));
        whole[i] = folder.ReadFile(L"large");
    }
    // Kill moments: so many milliseconds into the saves, or (-1) as soon as
    // a save's new content appears beside the file, which is while it is
    // written or just before it replaces the file. The child's first save
    // changes the file, so that a torn one would show.
    std::wstring side = folder.Native(L"~save/large.new");
    NamedEvent saving(L"saving");
    int held = 0;  // the tree the file holds
    // What a kill leaves beside the file goes with the next save.
    for (int moment : {0, 10, 30, 60, 100, 150, 250, -1, -1, -1, -1, -1}) {
        ResetEvent(saving.event);
        HANDLE child = start_child(L"save_forever \"" + path + L"\" " + saving.name + L" " +
                                   std::to_wstring(1 - held));
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(WaitForSingleObject(saving.event, 30000), WAIT_OBJECT_0);
        if (moment >= 0)
            Sleep(DWORD(moment));
        // No sleep here: the new content is written within milliseconds.
        DWORD start = GetTickCount();
        while (moment < 0 && GetFileAttributesW(side.c_str()) == INVALID_FILE_ATTRIBUTES &&
               GetTickCount() - start < 5000) {
        }
        TerminateProcess(child, 9);
        WaitForSingleObject(child, 30000);
        CloseHandle(child);
        std::string file = folder.ReadFile(L"large");
        EXPECT_TRUE(file == whole[0] || file == whole[1]) << "killed at moment " << moment;
        held = file == whole[1] ? 1 : 0;
    }
    cConfigNode back;
    EXPECT_TRUE(cfg_file_read(nullptr, path.c_str(), back));
    ASSERT_TRUE(cfg_file_write(path.c_str(), back));
    EXPECT_EQ(GetFileAttributesW(side.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

// hold_lock PATH LOCK CASE LOCKED GO: locks bytes 0-3 of the lock file
// LOCK, signals LOCKED, waits for GO, writes the generated file CASE over
// the file PATH and ends, which lets the lock go. Exit code 0 when all of it
// worked.
CHILD_MODE(hold_lock)
{
    if (arguments.size() != 5)
        return 1;
    std::string case_name(arguments[2].begin(), arguments[2].end());
    std::string bytes = read_test_data(("config_files/" + case_name + ".qrvc").c_str());
    HANDLE locked = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[3].c_str());
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, arguments[4].c_str());
    cFileIO lock, file;
    if (!locked || !go || bytes.empty() || !lock.Open(arguments[1].c_str(), FILE_MODE_READ | FILE_MODE_WRITE) ||
        !lock.TryLockRegion(0, 4))
        return 1;
    SetEvent(locked);
    WaitForSingleObject(go, INFINITE);
    bool written = file.Create(arguments[0].c_str(), FILE_MODE_WRITE) &&
                   file.WriteExact(bytes.data(), uint32_t(bytes.size()));
    CloseHandle(locked);
    CloseHandle(go);
    return written ? 0 : 2;
}

// save_forever PATH SAVING FIRST: signals SAVING, then saves the two large
// trees (0 with fill 0xA5, 1 with 0x5A) over the file in turn, tree FIRST
// first, until it is killed.
CHILD_MODE(save_forever)
{
    cConfigNode trees[2];
    build_large_tree(trees[0], 0xA5);
    build_large_tree(trees[1], 0x5A);
    if (arguments.size() != 3)
        return 1;
    HANDLE saving = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[1].c_str());
    if (!saving)
        return 1;
    SetEvent(saving);
    for (int turn = arguments[2] == L"1";; turn ^= 1)
        cfg_file_write(arguments[0].c_str(), trees[turn]);
}
