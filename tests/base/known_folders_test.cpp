#include "base/known_folders.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <set>
#include <string>

namespace {

// A path as one spelling for comparing: '/' separators, lower case, no
// trailing separator.
std::wstring compared(std::wstring path)
{
    for (wchar_t& c : path)
        c = c == L'\\' ? L'/' : wchar_t(towlower(c));
    while (!path.empty() && path.back() == L'/')
        path.pop_back();
    return path;
}

}  // namespace

// Windows' own answer for every folder the shell registers, and the Temp
// folder, is in the list.
TEST(KnownFolders, HoldEveryFolderTheShellRegisters)
{
    cLinkedList<_guardchar<wchar_t>> folders;
    get_known_folders(folders);
    std::set<std::wstring> listed;
    for (auto* node = folders.first; node; node = node->next)
        listed.insert(compared(node->element.Text()));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FolderDescriptions",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    int named = 0;
    wchar_t name[64];
    DWORD length = 64;
    for (DWORD index = 0; RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++index, length = 64) {
        GUID id;
        wchar_t* path = nullptr;
        if (CLSIDFromString(name, &id) == NOERROR && SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path) == S_OK) {
            ++named;
            EXPECT_TRUE(listed.count(compared(path))) << testing::PrintToString(std::wstring(path));
        }
        CoTaskMemFree(path);
    }
    RegCloseKey(key);
    EXPECT_GT(named, 30);
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    EXPECT_TRUE(listed.count(compared(temp)));
}
