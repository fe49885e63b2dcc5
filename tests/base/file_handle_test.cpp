#include "base/file_handle.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

// The operations on an open handle are the file stream's: see file_io_test.

TEST(FileHandle, PathsThatCannotBeConvertedGiveNoHandle)
{
    EXPECT_EQ(file_handle_open(nullptr, FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_open(L"", FILE_MODE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(nullptr, FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(file_handle_create(L"", FILE_MODE_WRITE), INVALID_HANDLE_VALUE);
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
    // INVALID_HANDLE_VALUE is also this process's own handle.
    EXPECT_FALSE(file_handle_close(file_handle_invalid()));
    EXPECT_FALSE(file_handle_is_valid(file_handle_invalid()));
}

// The rename through an open handle, checked by what Windows then finds
// under both names.
TEST(FileHandle, RenameThroughTheHandleNeverReplaces)
{
    struct RenameCase {
        const char* what;
        uint32_t mode;           // the handle's
        const wchar_t* target;  // inside the folder
        enum { full, relative, rooted } form;  // the last two from the folder as current folder
        bool target_exists;
        bool renamed;
    } cases[] = {
        {"beside it", FILE_MODE_WRITE | FILE_MODE_EXCLUSIVE | FILE_MODE_DELETE, L"f.bkp", RenameCase::full, false, true},
        {"into a subfolder", FILE_MODE_READ | FILE_MODE_DELETE, L"sub/g", RenameCase::full, false, true},
        {"a target from the drive's root", FILE_MODE_READ | FILE_MODE_DELETE, L"sub/r", RenameCase::rooted, false, true},
        {"a relative target", FILE_MODE_READ | FILE_MODE_DELETE, L"sub/h", RenameCase::relative, false, true},
        {"onto an existing file", FILE_MODE_READ | FILE_MODE_DELETE, L"f.bkp", RenameCase::full, true, false},
    };
    wchar_t saved[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, saved), 0u);
    for (const RenameCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder(L"handle-rename");
        ASSERT_TRUE(folder.WriteFile(L"f", "source"));
        ASSERT_TRUE(CreateDirectoryW(folder.Native(L"sub").c_str(), nullptr));
        if (c.target_exists) {
            ASSERT_TRUE(folder.WriteFile(c.target, "other"));
        }
        std::wstring target = c.form == RenameCase::relative ? std::wstring(L"./") + c.target
                              : c.form == RenameCase::rooted ? folder.Path(c.target).substr(2)
                                                             : folder.Path(c.target);
        if (c.form != RenameCase::full) {
            ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
        }
        bool renamed;
        {
            cSafeFD held(file_handle_open(folder.Path(L"f").c_str(), c.mode));
            ASSERT_TRUE(file_handle_is_valid(held.handle));
            renamed = file_handle_rename(held.handle, target.c_str());
        }
        SetCurrentDirectoryW(saved);
        EXPECT_EQ(renamed, c.renamed);
        EXPECT_EQ(GetFileAttributesW(folder.Native(L"f").c_str()) != INVALID_FILE_ATTRIBUTES, !c.renamed);
        EXPECT_EQ(folder.ReadFile(c.target), c.renamed ? "source" : c.target_exists ? "other" : "<missing>");
    }
}
