#include "base/file_ops.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/temp_folder.h"

namespace {

bool exists(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(PathGetKind, TellsFilesFoldersAndMissingPaths)
{
    TempFolder temp(L"kind");
    ASSERT_TRUE(temp.WriteFile(L"file.txt", "x"));
    EXPECT_EQ(path_get_kind(temp.Path(L"file.txt").c_str()), PATH_KIND_FILE);
    EXPECT_EQ(path_get_kind(temp.Path().c_str()), PATH_KIND_FOLDER);
    EXPECT_EQ(path_get_kind((temp.Path() + L"/").c_str()), PATH_KIND_FOLDER);
    EXPECT_EQ(path_get_kind(temp.Path(L"missing").c_str()), PATH_KIND_MISSING);
    // Backslashes and doubled separators are accepted as well.
    std::wstring mixed = temp.Path(L"file.txt");
    mixed.replace(mixed.rfind(L'/'), 1, L"\\\\");
    EXPECT_EQ(path_get_kind(mixed.c_str()), PATH_KIND_FILE);
    EXPECT_EQ(path_get_kind(nullptr), PATH_KIND_MISSING);
    EXPECT_EQ(path_get_kind(L""), PATH_KIND_MISSING);
}

TEST(PathCreateFolder, CreatesOneLevelAndAcceptsAnExistingFolder)
{
    TempFolder temp(L"mkdir");
    EXPECT_TRUE(path_create_folder(temp.Path(L"new").c_str()));
    EXPECT_TRUE(temp.Attributes(L"new") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(exists(temp.Attributes(L"new")));
    EXPECT_TRUE(path_create_folder(temp.Path(L"new").c_str()));

    ASSERT_TRUE(temp.WriteFile(L"file", "x"));
    EXPECT_FALSE(path_create_folder(temp.Path(L"file").c_str()));
    EXPECT_EQ(temp.ReadFile(L"file"), "x");

    // Parents are not created.
    EXPECT_FALSE(path_create_folder(temp.Path(L"a/b").c_str()));
    EXPECT_FALSE(exists(temp.Attributes(L"a")));
    EXPECT_FALSE(path_create_folder(L""));
}

TEST(PathRemoveFolder, RemovesEmptyFoldersAndAcceptsMissingOnes)
{
    TempFolder temp(L"rmdir");
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"empty").c_str(), nullptr));
    EXPECT_TRUE(path_remove_folder(temp.Path(L"empty").c_str()));
    EXPECT_FALSE(exists(temp.Attributes(L"empty")));
    EXPECT_TRUE(path_remove_folder(temp.Path(L"empty").c_str()));

    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"full").c_str(), nullptr));
    ASSERT_TRUE(temp.WriteFile(L"full/inner", "x"));
    EXPECT_FALSE(path_remove_folder(temp.Path(L"full").c_str()));
    EXPECT_EQ(temp.ReadFile(L"full/inner"), "x");
    EXPECT_FALSE(path_remove_folder(nullptr));
}

TEST(FileRename, MovesAFileButNeverReplacesOne)
{
    TempFolder temp(L"rename");
    ASSERT_TRUE(temp.WriteFile(L"old", "old content"));
    EXPECT_TRUE(file_rename(temp.Path(L"old").c_str(), temp.Path(L"new").c_str()));
    EXPECT_EQ(temp.ReadFile(L"new"), "old content");
    EXPECT_FALSE(exists(temp.Attributes(L"old")));

    ASSERT_TRUE(temp.WriteFile(L"other", "other content"));
    EXPECT_FALSE(file_rename(temp.Path(L"other").c_str(), temp.Path(L"new").c_str()));
    EXPECT_EQ(temp.ReadFile(L"new"), "old content");
    EXPECT_EQ(temp.ReadFile(L"other"), "other content");

    // Folders move too; a missing source fails.
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"dir").c_str(), nullptr));
    EXPECT_TRUE(file_rename(temp.Path(L"dir").c_str(), temp.Path(L"dir2").c_str()));
    EXPECT_TRUE(temp.Attributes(L"dir2") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(file_rename(temp.Path(L"gone").c_str(), temp.Path(L"gone2").c_str()));
    EXPECT_FALSE(file_rename(L"", temp.Path(L"x").c_str()));
}

TEST(FileReplace, MovesAFileOverAnother)
{
    TempFolder temp(L"replace");
    ASSERT_TRUE(temp.WriteFile(L"new", "new content"));
    ASSERT_TRUE(temp.WriteFile(L"target", "old content"));
    EXPECT_TRUE(file_replace(temp.Path(L"new").c_str(), temp.Path(L"target").c_str()));
    EXPECT_EQ(temp.ReadFile(L"target"), "new content");
    EXPECT_FALSE(exists(temp.Attributes(L"new")));
    EXPECT_TRUE(file_replace(temp.Path(L"target").c_str(), temp.Path(L"fresh").c_str()));
    EXPECT_EQ(temp.ReadFile(L"fresh"), "new content");
    EXPECT_FALSE(file_replace(temp.Path(L"gone").c_str(), temp.Path(L"fresh").c_str()));
    EXPECT_EQ(temp.ReadFile(L"fresh"), "new content");
}

TEST(FileDelete, DeletesFilesOnly)
{
    TempFolder temp(L"delete");
    ASSERT_TRUE(temp.WriteFile(L"file", "x"));
    EXPECT_TRUE(file_delete(temp.Path(L"file").c_str()));
    EXPECT_FALSE(exists(temp.Attributes(L"file")));
    EXPECT_FALSE(file_delete(temp.Path(L"file").c_str()));
    EXPECT_FALSE(file_delete(temp.Path().c_str()));
    EXPECT_TRUE(exists(temp.Attributes(L"")));
    EXPECT_FALSE(file_delete(nullptr));
}

TEST(PathGetFreeSpace, ReportsTheVolumeOfARealFolder)
{
    TempFolder temp(L"space");
    uint64_t available = 0, total = 0;
    ASSERT_TRUE(path_get_free_space(temp.Path().c_str(), &available, &total));
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);

    // Sanity bound against the system's own answer for the folder's volume:
    // the total stays put, the free bytes move by what others write.
    ULARGE_INTEGER direct_available, direct_total;
    ASSERT_TRUE(GetDiskFreeSpaceExW(temp.Native().c_str(), &direct_available, &direct_total, nullptr));
    EXPECT_EQ(total, direct_total.QuadPart);
    uint64_t drift = available > direct_available.QuadPart ? available - direct_available.QuadPart
                                                           : direct_available.QuadPart - available;
    EXPECT_LT(drift, 1ull << 30);
}

TEST(PathGetFreeSpace, FailureLeavesTheOutputs)
{
    uint64_t available = 7, total = 9;
    EXPECT_FALSE(path_get_free_space(L"Q:/surely/not/here", &available, &total));
    EXPECT_FALSE(path_get_free_space(nullptr, &available, &total));
    EXPECT_FALSE(path_get_free_space(L"", &available, &total));
    EXPECT_EQ(available, 7u);
    EXPECT_EQ(total, 9u);
}

TEST(LongPaths, WorkBeyondTheOldLimit)
{
    TempFolder temp(L"deep");
    std::wstring relative;
    std::wstring segment(40, L's');
    while (temp.Path(relative).size() < 600) {
        relative += (relative.empty() ? L"" : L"/") + segment;
        ASSERT_TRUE(path_create_folder(temp.Path(relative).c_str())) << relative.size();
    }
    ASSERT_GT(temp.Path(relative).size(), 600u);
    EXPECT_EQ(path_get_kind(temp.Path(relative).c_str()), PATH_KIND_FOLDER);

    ASSERT_TRUE(temp.WriteFile(relative + L"/a.txt", "deep"));
    EXPECT_EQ(path_get_kind(temp.Path(relative + L"/a.txt").c_str()), PATH_KIND_FILE);
    EXPECT_TRUE(file_rename(temp.Path(relative + L"/a.txt").c_str(), temp.Path(relative + L"/b.txt").c_str()));
    EXPECT_EQ(temp.ReadFile(relative + L"/b.txt"), "deep");
    EXPECT_TRUE(file_delete(temp.Path(relative + L"/b.txt").c_str()));

    while (!relative.empty()) {
        EXPECT_TRUE(path_remove_folder(temp.Path(relative).c_str()));
        size_t cut = relative.rfind(L'/');
        relative.erase(cut == std::wstring::npos ? 0 : cut);
    }
    EXPECT_FALSE(exists(temp.Attributes(segment)));
}
