#include "tools/install/file_replace.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "base/path.h"
#include "tests/support/temp_folder.h"

namespace {

// A tree is a list of entries under the test folder: "name/" a folder,
// anything else a file.
void make_tree(const TempFolder& folder, const std::vector<std::wstring>& entries)
{
    for (const std::wstring& entry : entries)
        if (entry.back() == L'/') {
            ASSERT_TRUE(CreateDirectoryW(folder.Native(entry.substr(0, entry.size() - 1)).c_str(), nullptr));
        }
        else {
            ASSERT_TRUE(folder.WriteFile(entry, "x"));
        }
}

bool exists(const TempFolder& folder, const std::wstring& inside)
{
    return folder.Attributes(inside) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

// The file and its own folder when left empty; never a folder above it,
// which may be anyone's.
TEST(DeleteFileAndItsFolder, RemovesTheFileAndItsFolderLeftEmptyOnly)
{
    struct PruneCase {
        const wchar_t* name;
        std::vector<std::wstring> tree;
        const wchar_t* path;  // inside the folder; "//" kept as written
        bool result;
        std::vector<std::wstring> gone;
        std::vector<std::wstring> left;
    };
    const PruneCase cases[] = {
        {L"missing path", {L"a/"}, L"a/none", true, {}, {L"a"}},
        {L"folder path", {L"a/", L"a/b/"}, L"a/b", false, {}, {L"a/b"}},
        {L"its folder goes, the emptied one above stays",
         {L"a/", L"a/b/", L"a/b/c/", L"a/b/c/f"},
         L"a/b/c/f",
         true,
         {L"a/b/c/f", L"a/b/c"},
         {L"a", L"a/b"}},
        {L"a sibling keeps the folder", {L"a/", L"a/f", L"a/g"}, L"a/f", true, {L"a/f"}, {L"a", L"a/g"}},
        {L"a double separator before the name", {L"a/", L"a/x", L"a/b/", L"a/b/f"}, L"a/b//f", true,
         {L"a/b/f", L"a/b"}, {L"a/x"}},
    };
    for (const PruneCase& c : cases) {
        TempFolder folder(L"prune");
        make_tree(folder, c.tree);
        std::wstring path = folder.Path() + L"/" + c.path;
        EXPECT_EQ(delete_file_and_its_folder(path.c_str()), c.result) << c.name;
        for (const std::wstring& inside : c.gone)
            EXPECT_FALSE(exists(folder, inside)) << c.name << L": " << inside;
        for (const std::wstring& inside : c.left)
            EXPECT_TRUE(exists(folder, inside)) << c.name << L": " << inside;
    }
}

TEST(RenameIfUnused, MovesOnlyAFileNobodyHoldsOpen)
{
    enum Hold { nobody, shared_reader, all_sharing_writer };
    struct RenameCase {
        const wchar_t* name;
        bool source_exists;
        bool target_exists;
        Hold hold;
        bool moved;
    };
    const RenameCase cases[] = {
        {L"free file", true, false, nobody, true},
        {L"held by a reader that shares everything", true, false, shared_reader, false},
        {L"held by a writer that shares everything", true, false, all_sharing_writer, false},
        {L"a file at the new path is not replaced", true, true, nobody, false},
        {L"missing file", false, false, nobody, false},
    };
    for (const RenameCase& c : cases) {
        TempFolder folder(L"rename");
        if (c.source_exists) {
            ASSERT_TRUE(folder.WriteFile(L"f", "source"));
        }
        if (c.target_exists) {
            ASSERT_TRUE(folder.WriteFile(L"f.bkp", "other"));
        }
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.hold != nobody)
            held = CreateFileW(folder.Native(L"f").c_str(),
                               c.hold == shared_reader ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        EXPECT_EQ(rename_if_unused(folder.Path(L"f").c_str(), folder.Path(L"f.bkp").c_str()), c.moved) << c.name;
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (c.moved) {
            EXPECT_FALSE(exists(folder, L"f")) << c.name;
            EXPECT_EQ(folder.ReadFile(L"f.bkp"), "source") << c.name;
        } else if (c.source_exists) {
            EXPECT_EQ(folder.ReadFile(L"f"), "source") << c.name;
        }
        if (c.target_exists) {
            EXPECT_EQ(folder.ReadFile(L"f.bkp"), c.moved ? "source" : "other") << c.name;
        }
    }
}

TEST(MakeFolderPath, CreatesMissingLevelsAndRefusesFilesOnTheWay)
{
    TempFolder folder(L"mkpath");
    ASSERT_TRUE(folder.WriteFile(L"file", "x"));
    struct FolderCase {
        const wchar_t* path;
        bool result;
        const wchar_t* folder;  // that must exist afterwards
    };
    const FolderCase cases[] = {
        {L"a/b/c", true, L"a/b/c"},
        {L"a//b/d/", true, L"a/b/d"},
        {L"a/b", true, L"a/b"},
        {L"file", false, nullptr},
        {L"file/sub", false, nullptr},
    };
    for (const FolderCase& c : cases) {
        std::wstring path = folder.Path() + L"/" + c.path;
        EXPECT_EQ(make_folder_path(path.c_str()), c.result) << c.path;
        if (c.folder) {
            EXPECT_TRUE(folder.Attributes(c.folder) & FILE_ATTRIBUTE_DIRECTORY) << c.path;
        }
    }
    EXPECT_FALSE(exists(folder, L"file/sub"));
}

TEST(ParentFolderOf, CutsAtTheLastSeparator)
{
    _guardchar<wchar_t> out;
    ASSERT_TRUE(parent_folder_of(L"C:/a/b.txt", out));
    EXPECT_STREQ(out.Text(), L"C:/a");
    EXPECT_FALSE(parent_folder_of(L"b.txt", out));
    EXPECT_FALSE(parent_folder_of(nullptr, out));
}
