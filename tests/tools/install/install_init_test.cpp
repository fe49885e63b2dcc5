#include "tools/install/install_init.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_folder.h"

TEST(CheckInstallFolder, TheNearestExistingAncestorDecides)
{
    TempFolder folder(L"checkfolder");
    ASSERT_TRUE(folder.WriteFile(L"file", "x"));
    struct FolderCase {
        std::wstring path;
        uint32_t result;
    };
    const FolderCase cases[] = {
        {folder.Path(L"new/deeper/target.exe"), 0},
        {folder.Path() + L"//new//target.exe", 0},
        {folder.Path(L"file/below/target.exe"), 2},
        {folder.Path(L"file"), 1},  // exists
        {L"", 1},
        {L"target.exe", 1},  // no ancestor at all
        {L"Q:/no drive here/target.exe", 1},
    };
    for (const FolderCase& c : cases)
        EXPECT_EQ(check_install_folder(c.path.c_str()), c.result) << c.path;
    EXPECT_EQ(check_install_folder(nullptr), 1u);
}
