#include "base/file_handle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

struct ModeCase {
    uint32_t mode;
    bool reads, writes;
};

TEST(FileHandle, ModesGiveTheAccessTheyName)
{
    TempFolder folder(L"file_handle_modes");
    std::wstring path = folder.Path(L"a.bin");
    const ModeCase cases[] = {
        {FILE_MODE_READ, true, false},
        {FILE_MODE_WRITE, false, true},
        {FILE_MODE_READ | FILE_MODE_WRITE, true, true},
        {FILE_MODE_READ | FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE, true, true},
    };
    for (const ModeCase& c : cases) {
        cSafeFD created(file_handle_create(path.c_str(), FILE_MODE_WRITE));
        ASSERT_NE(created.handle, INVALID_HANDLE_VALUE);
        DWORD moved = 0;
        ASSERT_TRUE(WriteFile(created.handle, "abc", 3, &moved, nullptr));
        file_handle_close_and_clear(created.handle);

        cSafeFD opened(file_handle_open(path.c_str(), c.mode));
        ASSERT_NE(opened.handle, INVALID_HANDLE_VALUE) << c.mode;
        char byte = 0;
        EXPECT_EQ(ReadFile(opened.handle, &byte, 1, &moved, nullptr) && moved == 1, c.reads) << c.mode;
        EXPECT_EQ(WriteFile(opened.handle, "x", 1, &moved, nullptr) && moved == 1, c.writes) << c.mode;
    }
}

TEST(FileHandle, OpenNeedsAnExistingFileAndCreateEmptiesOne)
{
    TempFolder folder(L"file_handle_exist");
    std::wstring path = folder.Path(L"b.bin");
    EXPECT_EQ(file_handle_open(path.c_str(), FILE_MODE_READ), INVALID_HANDLE_VALUE);
    {
        cSafeFD file(file_handle_create(path.c_str(), FILE_MODE_WRITE));
        DWORD moved = 0;
        ASSERT_TRUE(WriteFile(file.handle, "12345", 5, &moved, nullptr));
    }
    cSafeFD again(file_handle_create(path.c_str(), FILE_MODE_READ | FILE_MODE_WRITE));
    ASSERT_NE(again.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileSize(again.handle, nullptr), 0u);
}

TEST(FileHandle, PathsThatCannotBeConvertedGiveNoHandle)
{
    EXPECT_EQ(file_handle_open(nullptr, FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_open(L"", FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(nullptr, FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(L"", FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
}

TEST(FileHandle, ExclusiveHandleKeepsOthersOutUntilItsOwnerCloses)
{
    TempFolder folder(L"file_handle_share");
    std::wstring path = folder.Path(L"c.bin");
    {
        cSafeFD exclusive(file_handle_create(path.c_str(), FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE));
        ASSERT_NE(exclusive.handle, INVALID_HANDLE_VALUE);
        EXPECT_EQ(file_handle_open(path.c_str(), FILE_MODE_READ), INVALID_HANDLE_VALUE);
    }
    // The owner's destructor closed it.
    cSafeFD shared(file_handle_open(path.c_str(), FILE_MODE_READ));
    ASSERT_NE(shared.handle, INVALID_HANDLE_VALUE);
    cSafeFD second(file_handle_open(path.c_str(), FILE_MODE_READ | FILE_MODE_WRITE));
    EXPECT_NE(second.handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_open(path.c_str(), FILE_MODE_READ | FILE_MODE_EXCLUSIVE), INVALID_HANDLE_VALUE);
}

TEST(FileHandle, OwnerClosesItsHandle)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, HANDLE(0));
    DWORD flags = 0;
    {
        cSafeFD owner(event);
        EXPECT_TRUE(GetHandleInformation(event, &flags));
    }
    EXPECT_FALSE(GetHandleInformation(event, &flags));
    for (HANDLE none : {HANDLE(0), file_handle_invalid()}) {
        file_handle_close_and_clear(none);
        EXPECT_EQ(none, HANDLE(0));
    }
}

// What the operations did, as Windows' own calls report it.
std::string contents(HANDLE file)
{
    LARGE_INTEGER size, start = {};
    EXPECT_TRUE(GetFileSizeEx(file, &size));
    EXPECT_TRUE(SetFilePointerEx(file, start, nullptr, FILE_BEGIN));
    std::string bytes(size_t(size.QuadPart), '\0');
    DWORD moved = 0;
    EXPECT_TRUE(ReadFile(file, &bytes[0], DWORD(bytes.size()), &moved, nullptr));
    return bytes;
}

TEST(FileHandle, RawOperationsAgreeWithWindows)
{
    TempFolder folder(L"file_handle_raw");
    cSafeFD file(file_handle_create(folder.Path(L"d.bin").c_str(), FILE_MODE_READ | FILE_MODE_WRITE));
    ASSERT_TRUE(file_handle_is_valid(file.handle));
    EXPECT_EQ(file_handle_write(file.handle, "0123456789", 10), 10);
    EXPECT_EQ(contents(file.handle), "0123456789");
    EXPECT_EQ(file_handle_size(file.handle), 10u);

    char got[8] = {};
    EXPECT_TRUE(file_handle_seek(file.handle, 4));
    EXPECT_EQ(file_handle_read(file.handle, got, 3), 3);
    EXPECT_EQ(std::string(got, 3), "456");
    EXPECT_TRUE(file_handle_seek_from_end(file.handle, 2));
    EXPECT_EQ(file_handle_read(file.handle, got, 8), 2);
    EXPECT_EQ(std::string(got, 2), "89");
    EXPECT_TRUE(file_handle_seek(file.handle, 3));
    EXPECT_FALSE(file_handle_seek_from_end(file.handle, 11));
    EXPECT_EQ(file_handle_read(file.handle, got, 1), 1);  // from where it stood
    EXPECT_EQ(got[0], '3');
    EXPECT_FALSE(file_handle_seek(file.handle, UINT64_MAX));

    EXPECT_TRUE(file_handle_set_size(file.handle, 4));
    EXPECT_EQ(contents(file.handle), "0123");
    EXPECT_TRUE(file_handle_set_size(file.handle, 6));
    EXPECT_EQ(contents(file.handle), std::string("0123\0\0", 6));

    ASSERT_TRUE(file_handle_set_time(file.handle, 2021, 2, 28, 23, 59, 58));
    FILETIME created, written;
    ASSERT_TRUE(GetFileTime(file.handle, &created, nullptr, &written));
    for (const FILETIME& time : {created, written}) {
        SYSTEMTIME utc;
        ASSERT_TRUE(FileTimeToSystemTime(&time, &utc));
        EXPECT_EQ(std::vector<int>({utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond}),
                  std::vector<int>({2021, 2, 28, 23, 59, 58}));
    }
    EXPECT_FALSE(file_handle_set_time(file.handle, 2021, 2, 30, 0, 0, 0));

    EXPECT_TRUE(file_handle_close(file.handle));
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(file.handle, &flags));
    file.handle = 0;
}

TEST(FileHandle, InvalidHandleFailsEveryOperation)
{
    HANDLE none = file_handle_invalid();
    EXPECT_FALSE(file_handle_is_valid(none));
    char byte = 0;
    EXPECT_EQ(file_handle_read(none, &byte, 1), 0);
    EXPECT_EQ(file_handle_write(none, "x", 1), 0);
    EXPECT_EQ(file_handle_size(none), 0u);
    EXPECT_FALSE(file_handle_seek(none, 0));
    EXPECT_FALSE(file_handle_seek_from_end(none, 0));
    EXPECT_FALSE(file_handle_set_size(none, 0));
    EXPECT_FALSE(file_handle_set_time(none, 2021, 1, 1, 0, 0, 0));
    EXPECT_FALSE(file_handle_close(none));
}

}  // namespace
