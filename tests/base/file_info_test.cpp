#include "base/file_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/file_times.h"
#include "tests/support/temp_folder.h"

TEST(PathGetInfo, ReportsSizeAttributesAndLocalTimes)
{
    TempFolder temp(L"info");
    ASSERT_TRUE(temp.WriteFile(L"file.bin", std::string(70001, 'x')));
    FILETIME created = utc_filetime(2019, 1, 15, 10, 20, 30);
    FILETIME accessed = utc_filetime(2020, 7, 1, 23, 59, 58);
    FILETIME written = utc_filetime(2021, 12, 31, 23, 30, 0);
    ASSERT_TRUE(set_file_times(temp.Native(L"file.bin"), created, accessed, written));
    ASSERT_TRUE(SetFileAttributesW(temp.Native(L"file.bin").c_str(), FILE_ATTRIBUTE_READONLY));

    cFileInfo info;
    ASSERT_TRUE(path_get_info(temp.Path(L"file.bin").c_str(), info));
    EXPECT_EQ(info.size, 70001u);
    EXPECT_TRUE(info.attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(info.attributes & FILE_ATTRIBUTE_DIRECTORY);
    // Not every file system keeps a creation time that can be set: compare
    // with the one the folder search reports.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(temp.Native(L"file.bin").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(text_of(info.created), expected_local(found.ftCreationTime));
    EXPECT_EQ(text_of(info.last_access), expected_local(accessed));
    EXPECT_EQ(text_of(info.last_write), expected_local(written));
    SetFileAttributesW(temp.Native(L"file.bin").c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(path_get_info(temp.Path().c_str(), info));
    EXPECT_TRUE(info.attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(PathGetInfo, FailureLeavesTheRecord)
{
    TempFolder temp(L"info-missing");
    cFileInfo info = {};
    info.size = 1234;
    info.last_write.year = 1999;
    EXPECT_FALSE(path_get_info(temp.Path(L"missing").c_str(), info));
    EXPECT_FALSE(path_get_info(nullptr, info));
    EXPECT_FALSE(path_get_info(L"", info));
    EXPECT_EQ(info.size, 1234u);
    EXPECT_EQ(info.last_write.year, 1999);
}
