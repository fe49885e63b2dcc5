#include "base/path_resolution.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/short_path.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

// Spellings of one folder against what the system says they reach, by the
// system's final path and by the names alone (the road of systems without
// it), which cannot see through a share.
TEST(PathResolution, APathResolvesAsWrittenOnlyWithoutAnAliasOnItsWay)
{
    TempFolder temp(L"resolve");
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"Long Folder Name").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"Long Folder Name/inner").c_str(), nullptr));
    ASSERT_TRUE(temp.WriteFile(L"Long Folder Name/file.txt", "x"));
    std::wstring folder = temp.Path(L"Long Folder Name"), short_folder = short_path_of(folder);
    ASSERT_FALSE(short_folder.empty());
    ASSERT_NE(short_folder, folder);
    HostFolderLink link(temp.Path(L"link"), folder);
    WineShare share("resolvesrv" + std::to_string(GetCurrentProcessId()), "share", temp.Path());
    ASSERT_TRUE(link.Valid() && share.Valid());
    wchar_t unused = unused_drive_letter(L'D');
    const struct {
        std::wstring path;
        bool by_handle, by_names;
    } cases[] = {
        {folder, true, true},
        {folder + L"/missing/deeper", true, true},
        {folder + L"/file.txt", true, true},
        {temp.Path(L"./Long Folder Name//inner"), true, true},
        {temp.Path(L"LONG folder NAME"), true, true},
        {short_folder, false, false},
        {short_folder + L"/missing", false, false},
        {temp.Path(L"link"), false, false},
        {temp.Path(L"link/inner"), false, false},
        {temp.Path(L"link/missing"), false, false},
        {share.Path(L"Long Folder Name"), false, true},
        {std::wstring(1, unused) + L":/Long Folder Name", false, false},
        {L"Long Folder Name", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(path_resolves_as_written(c.path.c_str()), c.by_handle) << testing::PrintToString(c.path);
        EXPECT_EQ(path_resolves_by_names(c.path.c_str()), c.by_names) << testing::PrintToString(c.path);
    }
}
