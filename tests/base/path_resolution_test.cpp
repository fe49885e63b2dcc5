#include "base/path_resolution.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

namespace {

// The system's short (8.3) spelling of an existing path, in internal form.
std::wstring short_path(const std::wstring& path)
{
    std::wstring native = path;
    for (wchar_t& c : native)
        if (c == L'/')
            c = L'\\';
    wchar_t short_name[MAX_PATH];
    DWORD length = GetShortPathNameW(native.c_str(), short_name, MAX_PATH);
    std::wstring result(short_name, length < MAX_PATH ? length : 0);
    for (wchar_t& c : result)
        if (c == L'\\')
            c = L'/';
    return result;
}

}  // namespace

// Each spelling of a folder against what the system says it reaches, by
// the system's final path and by the names alone (the road of systems
// without it), which cannot see through a share.
TEST(PathResolution, APathResolvesAsWrittenOnlyWithoutAnAliasOnItsWay)
{
    TempFolder temp(L"resolve");
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"Long Folder Name").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(temp.Native(L"Long Folder Name/inner").c_str(), nullptr));
    ASSERT_TRUE(temp.WriteFile(L"Long Folder Name/file.txt", "x"));
    std::wstring folder = temp.Path(L"Long Folder Name");
    std::wstring short_folder = short_path(folder);
    ASSERT_NE(short_folder, folder);
    ASSERT_FALSE(short_folder.empty());
    HostFolderLink link(temp.Path(L"link"), folder);
    ASSERT_TRUE(link.Valid());
    WineShare share("resolvesrv" + std::to_string(GetCurrentProcessId()), "share", temp.Path());
    ASSERT_TRUE(share.Valid());
    wchar_t unused = unused_drive_letter(L'D');
    ASSERT_NE(unused, 0);

    struct Case {
        const char* what;
        std::wstring path;
        bool by_handle;
        bool by_names;
    };
    const Case cases[] = {
        {"a folder", folder, true, true},
        {"a missing path below it", folder + L"/missing/deeper", true, true},
        {"a file in it", folder + L"/file.txt", true, true},
        {"dot segments and doubled separators", temp.Path(L"./Long Folder Name//inner"), true, true},
        {"a case of its own", temp.Path(L"LONG folder NAME"), true, true},
        {"its short name", short_folder, false, false},
        {"a missing path below its short name", short_folder + L"/missing", false, false},
        {"a link to it", temp.Path(L"link"), false, false},
        {"a folder through the link", temp.Path(L"link/inner"), false, false},
        {"a missing path through the link", temp.Path(L"link/missing"), false, false},
        {"a share of the folder above it", share.Path(L"Long Folder Name"), false, true},
        {"a drive that does not exist", std::wstring(1, unused) + L":/Long Folder Name", false, false},
        {"a relative path", L"Long Folder Name", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(path_resolves_as_written(c.path.c_str()), c.by_handle) << c.what;
        EXPECT_EQ(path_resolves_by_names(c.path.c_str()), c.by_names) << c.what;
    }
}
