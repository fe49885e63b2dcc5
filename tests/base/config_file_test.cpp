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

namespace {

const std::vector<StoreCase>& cases()
{
    static const std::vector<StoreCase> all = read_store_cases();
    return all;
}

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
    EXPECT_EQ(hex_of(folder.ReadFile(L"new")), hex_of(store_case(cases(), "empty").file));
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

TEST_F(ConfigFile, WrittenFilesHoldTheIndependentWritersBytes)
{
    for (const StoreCase& c : cases()) {
        if (!c.roundtrip)
            continue;
        SCOPED_TRACE(c.name);
        std::wstring name(c.name.begin(), c.name.end());
        std::wstring path = PathOf(name.c_str());
        cConfigNode root;
        build_tree(root, c.in);
        ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
        ASSERT_TRUE(cfg_file_write(path.c_str(), root));
        EXPECT_EQ(hex_of(folder.ReadFile(name)), hex_of(c.file));
        cConfigNode back;
        EXPECT_TRUE(cfg_file_read(nullptr, path.c_str(), back));
        EXPECT_EQ(flatten(back), c.out);
    }
}

TEST_F(ConfigFile, GeneratedFilesReadFromDisk)
{
    int before = heap_busy_blocks();
    for (const StoreCase& c : cases()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(folder.WriteFile(L"case", c.file));
        cConfigNode root;
        EXPECT_EQ(cfg_file_read(nullptr, PathOf(L"case").c_str(), root), c.ok);
        EXPECT_EQ(flatten(root), c.out);
    }
    EXPECT_EQ(heap_busy_blocks(), before);
}

TEST_F(ConfigFile, ASmallerTreeOverALargerFileKeepsTheTailAndReadsSmall)
{
    const StoreCase& large = store_case(cases(), "rich");
    const StoreCase& small = store_case(cases(), "ab");
    ASSERT_TRUE(folder.WriteFile(L"file", large.file));
    cConfigNode root;
    build_tree(root, small.in);
    ASSERT_TRUE(cfg_file_write(PathOf(L"file").c_str(), root));
    EXPECT_EQ(hex_of(folder.ReadFile(L"file")), hex_of(small.file + large.file.substr(small.file.size())));
    cConfigNode back;
    ASSERT_TRUE(cfg_file_read(nullptr, PathOf(L"file").c_str(), back));
    EXPECT_EQ(flatten(back), small.out);
}

// Reading needs write access. A file held by a handle that shares it for
// reading only stands in for a read-only file here: Wine, run as root,
// lets the read-only attribute pass.
TEST_F(ConfigFile, AFileThatCannotBeOpenedForWritingCannotBeRead)
{
    ASSERT_TRUE(folder.WriteFile(L"held", store_case(cases(), "ab").file));
    HANDLE holder = CreateFileW(folder.Native(L"held").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    cConfigNode root;
    EXPECT_FALSE(cfg_file_read(nullptr, PathOf(L"held").c_str(), root));
    EXPECT_FALSE(cfg_file_write(PathOf(L"held").c_str(), root));
    CloseHandle(holder);
    EXPECT_TRUE(cfg_file_read(nullptr, PathOf(L"held").c_str(), root));
}

TEST_F(ConfigFile, ReadingWaitsForTheStoreLock)
{
    ASSERT_TRUE(folder.WriteFile(L"file", store_case(cases(), "ab").file));
    cCriticalSection store;
    store.Enter();
    cConfigNode root;
    std::wstring path = PathOf(L"file");
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_read(&store, path.c_str(), root); },
                                     [&] { store.Leave(); }));
    EXPECT_EQ(flatten(root), store_case(cases(), "ab").out);
}

// Another process takes the file's lock, and on a signal writes a
// generated file's bytes through its locked handle and ends. What this
// process reads or writes meanwhile must come after those bytes.
class LockHolder {
public:
    LockHolder(const std::wstring& path, const char* case_name) : locked(L"locked"), go(L"go")
    {
        std::wstring command = child_command(L"hold_lock \"" + path + L"\" " +
                                             std::wstring(case_name, case_name + strlen(case_name)) + L" " +
                                             locked.name + L" " + go.name);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            process = started.hProcess;
            CloseHandle(started.hThread);
        }
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
    LockHolder holder(path, "rich");
    ASSERT_TRUE(holder.WaitUntilLocked());

    cConfigNode root;
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_read(nullptr, path.c_str(), root); },
                                     [&] { EXPECT_EQ(holder.LetGo(), 0u); }));
    EXPECT_EQ(flatten(root), store_case(cases(), "rich").out);
}

TEST_F(ConfigFile, WritingWaitsWhileAnotherProcessHoldsTheLock)
{
    const StoreCase& large = store_case(cases(), "rich");
    const StoreCase& small = store_case(cases(), "ab");
    std::wstring path = PathOf(L"shared");
    ASSERT_TRUE(cfg_file_create_empty(path.c_str()));
    LockHolder holder(path, "rich");
    ASSERT_TRUE(holder.WaitUntilLocked());

    cConfigNode root;
    build_tree(root, small.in);
    EXPECT_TRUE(waits_until_released([&] { return cfg_file_write(path.c_str(), root); },
                                     [&] { EXPECT_EQ(holder.LetGo(), 0u); }));
    EXPECT_EQ(hex_of(folder.ReadFile(L"shared")), hex_of(small.file + large.file.substr(small.file.size())));
}

}  // namespace

// hold_lock PATH CASE LOCKED GO: locks bytes 0-3 of the file, signals
// LOCKED, waits for GO, writes the generated file CASE over the file and
// ends, which lets the lock go. Exit code 0 when all of it worked.
CHILD_MODE(hold_lock)
{
    if (arguments.size() != 4)
        return 1;
    std::string case_name(arguments[1].begin(), arguments[1].end());
    std::string bytes = read_test_data(("config_files/" + case_name + ".qrvc").c_str());
    HANDLE locked = OpenEventW(EVENT_MODIFY_STATE, FALSE, arguments[2].c_str());
    HANDLE go = OpenEventW(SYNCHRONIZE, FALSE, arguments[3].c_str());
    cFileIO file;
    if (!locked || !go || bytes.empty() || !file.Open(arguments[0].c_str(), FILE_MODE_READ | FILE_MODE_WRITE) ||
        !file.LockRegion(0, 4))
        return 1;
    SetEvent(locked);
    WaitForSingleObject(go, INFINITE);
    bool written = file.Seek(0) && file.WriteExact(bytes.data(), uint32_t(bytes.size()));
    CloseHandle(locked);
    CloseHandle(go);
    return written ? 0 : 2;
}
