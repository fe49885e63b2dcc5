#include "base/file_io.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/byte_stream.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

namespace {

const uint32_t read_write = FILE_MODE_READ | FILE_MODE_WRITE;

// A second handle on a file that the stream under test may hold open.
HANDLE open_beside(const TempFolder& folder, const std::wstring& name)
{
    return CreateFileW(folder.Native(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// The file's bytes as another reader sees them.
std::vector<uint8_t> on_disk(const TempFolder& folder, const std::wstring& name)
{
    std::string bytes = folder.ReadFile(name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

uint64_t ticks(const FILETIME& time)
{
    return uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

uint64_t ticks_of_unix(uint64_t seconds)
{
    return (seconds + 11644473600ull) * 10000000ull;
}

struct FileTimes {
    uint64_t created, accessed, written;
};

FileTimes times_of(const TempFolder& folder, const std::wstring& name)
{
    FileTimes result = {};
    HANDLE file = open_beside(folder, name);
    FILETIME c, a, w;
    if (file != INVALID_HANDLE_VALUE && GetFileTime(file, &c, &a, &w))
        result = {ticks(c), ticks(a), ticks(w)};
    CloseHandle(file);
    return result;
}

class FileIO : public ::testing::Test {
protected:
    FileIO() : folder(L"file_io_test") {}
    TempFolder folder;
};

TEST_F(FileIO, WrittenBytesAreOnDiskAndReadBack)
{
    std::wstring path = folder.Path(L"data.bin");
    std::vector<uint8_t> data = numbered_bytes(100000);
    cFileIO file;
    ASSERT_TRUE(file.Create(path.c_str(), read_write));
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(std::wstring(file.Path()), path);
    EXPECT_EQ(static_cast<cFileIOTarget&>(file).GetKind(), 1u);
    ASSERT_TRUE(file.WriteExact(data.data(), uint32_t(data.size())));
    EXPECT_EQ(file.GetSize(), data.size());
    EXPECT_EQ(on_disk(folder, L"data.bin"), data);

    ASSERT_TRUE(file.Seek(70000));
    std::vector<uint8_t> back(40000);
    EXPECT_EQ(file.Read(back.data(), 40000), 30000);
    EXPECT_TRUE(std::equal(back.begin(), back.begin() + 30000, data.begin() + 70000));
    EXPECT_EQ(file.Read(back.data(), 1), 0);
}

TEST_F(FileIO, CreateEmptiesAndOpenNeedsAnExistingFile)
{
    std::wstring path = folder.Path(L"modes.bin");
    cFileIO file;
    EXPECT_FALSE(file.Open(path.c_str(), FILE_MODE_READ));
    EXPECT_FALSE(file.IsOpen());
    ASSERT_TRUE(file.Create(path.c_str(), FILE_MODE_WRITE));
    std::vector<uint8_t> data = numbered_bytes(10);
    ASSERT_TRUE(file.WriteExact(data.data(), 10));
    uint8_t byte;
    EXPECT_EQ(file.Read(&byte, 1), 0);  // not opened for reading

    ASSERT_TRUE(file.Open(path.c_str(), FILE_MODE_READ));
    EXPECT_EQ(file.GetSize(), 10u);
    EXPECT_EQ(file.Write(&byte, 1), 0);  // not opened for writing
    EXPECT_EQ(file.Read(&byte, 1), 1);

    ASSERT_TRUE(file.Create(path.c_str(), read_write));
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_FALSE(file.Open(nullptr, FILE_MODE_READ));
    EXPECT_FALSE(file.Open(L"", FILE_MODE_READ));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileIO, CreateNewLeavesAnExistingFileAlone)
{
    std::wstring path = folder.Path(L"new.bin");
    std::vector<uint8_t> data = numbered_bytes(10);
    cFileIO first, second;
    ASSERT_TRUE(first.CreateNew(path.c_str(), read_write));
    EXPECT_EQ(std::wstring(first.Path()), path);
    ASSERT_TRUE(first.WriteExact(data.data(), 10));

    EXPECT_FALSE(second.CreateNew(path.c_str(), read_write));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_FALSE(second.IsOpen());
    first.Close();
    EXPECT_FALSE(second.CreateNew(path.c_str(), read_write));
    EXPECT_EQ(on_disk(folder, L"new.bin"), data);
    EXPECT_FALSE(second.CreateNew(folder.Path().c_str(), read_write));  // a folder is there
    EXPECT_FALSE(second.CreateNew(L"", read_write));
}

TEST_F(FileIO, ExclusiveModeRefusesASecondOpen)
{
    std::wstring path = folder.Path(L"exclusive.bin");
    cFileIO first, second;
    ASSERT_TRUE(first.Create(path.c_str(), read_write | FILE_MODE_EXCLUSIVE));
    EXPECT_FALSE(second.Open(path.c_str(), FILE_MODE_READ));
    EXPECT_FALSE(second.Create(path.c_str(), read_write));
    first.Close();
    ASSERT_TRUE(first.Open(path.c_str(), read_write));
    EXPECT_TRUE(second.Open(path.c_str(), FILE_MODE_READ));
    cFileIO third;
    EXPECT_FALSE(third.Open(path.c_str(), FILE_MODE_READ | FILE_MODE_EXCLUSIVE));
}

TEST_F(FileIO, SeeksAndSizeChanges)
{
    std::wstring path = folder.Path(L"size.bin");
    std::vector<uint8_t> data = numbered_bytes(1000);
    cFileIO file;
    ASSERT_TRUE(file.Create(path.c_str(), read_write));
    ASSERT_TRUE(file.WriteExact(data.data(), 1000));
    uint8_t byte = 0;

    EXPECT_TRUE(file.SeekFromEnd(1));
    ASSERT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, data[999]);
    ASSERT_TRUE(file.Seek(500));
    EXPECT_FALSE(file.SeekFromEnd(1001));  // the position stays at 500
    ASSERT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, data[500]);
    EXPECT_FALSE(file.SeekFromEnd(uint64_t(1) << 40));
    EXPECT_FALSE(file.Seek(uint64_t(1) << 63));
    EXPECT_TRUE(file.SeekFromEnd(1000));
    ASSERT_EQ(file.Read(&byte, 1), 1);
    EXPECT_EQ(byte, data[0]);

    ASSERT_TRUE(file.SetSize(3000));
    EXPECT_EQ(file.GetSize(), 3000u);
    std::vector<uint8_t> expected = data;
    expected.resize(3000, 0);
    EXPECT_EQ(on_disk(folder, L"size.bin"), expected);
    ASSERT_TRUE(file.SetSize(10));
    expected.resize(10);
    EXPECT_EQ(on_disk(folder, L"size.bin"), expected);
    EXPECT_EQ(file.GetSize(), 10u);
}

TEST_F(FileIO, ClosedFileFailsEverything)
{
    cFileIO file;
    expect_nothing_behind(file);
    EXPECT_FALSE(file.SetTime(2020, 1, 1, 0, 0, 0));
    EXPECT_FALSE(file.SetTimesUnix(1, 1, 1));
    EXPECT_FALSE(file.LockRegion(0, 1, 100));
    EXPECT_FALSE(file.TryLockRegion(0, 1));
}

TEST_F(FileIO, SetTimeSetsCreationAndLastWriteInUtc)
{
    std::wstring path = folder.Path(L"time.bin");
    cFileIO file;
    ASSERT_TRUE(file.Create(path.c_str(), read_write));
    FileTimes before = times_of(folder, L"time.bin");
    ASSERT_TRUE(file.SetTime(2021, 3, 4, 5, 6, 7));
    file.Close();
    FileTimes after = times_of(folder, L"time.bin");
    // calendar.timegm((2021, 3, 4, 5, 6, 7)) = 1614834367
    EXPECT_EQ(after.written, ticks_of_unix(1614834367));
    EXPECT_EQ(after.created, ticks_of_unix(1614834367));
    EXPECT_EQ(after.accessed, before.accessed);
    ASSERT_TRUE(file.Open(path.c_str(), read_write));
    EXPECT_FALSE(file.SetTime(2021, 13, 40, 0, 0, 0));
}

TEST_F(FileIO, SetTimesUnixConvertsLocalTimesAndKeepsTheUnchangedOnes)
{
    // Wall-clock times in Berlin and the Unix seconds of the same instants
    // (Python: calendar.timegm of the fields, and zoneinfo's timestamp()).
    const uint64_t summer_local = 1625140800, summer_utc = 1625133600;  // 2021-07-01 12:00, CEST
    const uint64_t winter_local = 1610699400, winter_utc = 1610695800;  // 2021-01-15 08:30, CET
    const uint64_t keep = 0xFFFFFFFF;
    std::wstring path = folder.Path(L"unix.bin");
    cFileIO file;
    ASSERT_TRUE(file.Create(path.c_str(), read_write));

    FileTimes before = times_of(folder, L"unix.bin");
    ASSERT_TRUE(file.SetTimesUnix(summer_local, keep, keep));
    FileTimes after = times_of(folder, L"unix.bin");
    EXPECT_EQ(after.written, ticks_of_unix(summer_utc));
    EXPECT_EQ(after.accessed, before.accessed);

    ASSERT_TRUE(file.SetTimesUnix(keep, keep, winter_local));
    after = times_of(folder, L"unix.bin");
    EXPECT_EQ(after.accessed, ticks_of_unix(winter_utc));
    EXPECT_EQ(after.written, ticks_of_unix(summer_utc));

    ASSERT_TRUE(file.SetTimesUnix(keep, summer_local, keep));
    after = times_of(folder, L"unix.bin");
    EXPECT_EQ(after.created, ticks_of_unix(summer_utc));
    EXPECT_EQ(after.accessed, ticks_of_unix(winter_utc));

    before = times_of(folder, L"unix.bin");
    EXPECT_FALSE(file.SetTimesUnix(keep, keep, keep));
    after = times_of(folder, L"unix.bin");
    EXPECT_EQ(after.created, before.created);
    EXPECT_EQ(after.accessed, before.accessed);
    EXPECT_EQ(after.written, before.written);
    EXPECT_FALSE(file.SetTimesUnix(uint64_t(1) << 62, keep, keep));
}

TEST_F(FileIO, RegionLocksConflictBetweenHandles)
{
    std::wstring path = folder.Path(L"locks.bin");
    cFileIO a, b;
    ASSERT_TRUE(a.Create(path.c_str(), read_write));
    ASSERT_TRUE(b.Open(path.c_str(), read_write));
    ASSERT_TRUE(a.TryLockRegion(100, 100));
    EXPECT_FALSE(b.TryLockRegion(150, 10));
    EXPECT_FALSE(b.TryLockRegion(0, 101));
    EXPECT_TRUE(b.TryLockRegion(200, 10));  // just after a's region
    EXPECT_FALSE(a.TryLockRegion(205, 1));
    // Regions beyond 4 GiB are told apart by their high halves.
    ASSERT_TRUE(a.TryLockRegion((uint64_t(1) << 32) + 100, 10));
    EXPECT_FALSE(b.TryLockRegion((uint64_t(1) << 32) + 105, 1));
    EXPECT_TRUE(b.TryLockRegion((uint64_t(1) << 33) + 105, 1));
    a.Close();  // locks end with the handle
    EXPECT_TRUE(b.TryLockRegion(150, 10));
}

// A lock that another handle holds is waited for, but only so long: any
// program that may open the file can keep a lock for ever.
TEST_F(FileIO, LockRegionWaitsForTheHolderWithinItsBound)
{
    std::wstring path = folder.Path(L"wait.bin");
    cFileIO holder, waiter;
    ASSERT_TRUE(holder.Create(path.c_str(), read_write));
    ASSERT_TRUE(waiter.Open(path.c_str(), read_write));
    ASSERT_TRUE(holder.LockRegion(0, 10, 0));
    DWORD started = GetTickCount();
    EXPECT_FALSE(waiter.LockRegion(5, 1, 300)) << "the holder keeps it";
    DWORD waited = GetTickCount() - started;
    EXPECT_GE(waited, 250u);
    EXPECT_LT(waited, 5000u) << "the wait ends at its bound";
    std::atomic<int> state(0);  // 0 waiting, 1 granted, 2 refused
    std::thread other([&] { state = waiter.LockRegion(5, 1, 20000) ? 1 : 2; });
    Sleep(200);
    EXPECT_EQ(state.load(), 0);  // still waiting while the holder has it
    holder.Close();
    other.join();
    EXPECT_EQ(state.load(), 1);
}

TEST_F(FileIO, LocksAndExclusiveModeHoldAgainstAnotherProcess)
{
    std::wstring path = folder.Path(L"process.bin");
    cFileIO file;
    ASSERT_TRUE(file.Create(path.c_str(), read_write));
    ASSERT_TRUE(file.TryLockRegion(1000, 24));
    EXPECT_EQ(run_child_and_wait(L"try_lock \"" + path + L"\" 1010"), 1u);  // refused
    EXPECT_EQ(run_child_and_wait(L"try_lock \"" + path + L"\" 1024"), 0u);  // granted
    file.Close();
    EXPECT_EQ(run_child_and_wait(L"try_lock \"" + path + L"\" 1010"), 0u);

    ASSERT_TRUE(file.Open(path.c_str(), read_write | FILE_MODE_EXCLUSIVE));
    EXPECT_EQ(run_child_and_wait(L"open \"" + path + L"\""), 1u);  // refused
    file.Close();
    EXPECT_EQ(run_child_and_wait(L"open \"" + path + L"\""), 0u);
}

}  // namespace

// Child modes. open PATH: exit code 0 when the file opened, 1 when that was
// refused. try-lock PATH OFFSET: 0 when the one-byte lock was had, 1 when it
// was refused, 2 when the file did not even open.
CHILD_MODE(open)
{
    cFileIO file;
    return file.Open(arguments.at(0).c_str(), FILE_MODE_READ | FILE_MODE_WRITE) ? 0 : 1;
}

CHILD_MODE(try_lock)
{
    cFileIO file;
    if (arguments.size() < 2 || !file.Open(arguments[0].c_str(), FILE_MODE_READ | FILE_MODE_WRITE))
        return 2;
    return file.TryLockRegion(_wtoi64(arguments[1].c_str()), 1) ? 0 : 1;
}
