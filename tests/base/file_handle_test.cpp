#include "base/file_handle.h"

#include <gtest/gtest.h>

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
        CloseHandle(created.handle);
        created.handle = 0;

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
}

}  // namespace
