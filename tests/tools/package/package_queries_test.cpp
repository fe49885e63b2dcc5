#include "tools/package/package_queries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

void set_string(cPackageStrings& table, const wchar_t* key, const wchar_t* value)
{
    cPackedKey packed;
    packedkey_from_wstr(packed, key, -1);
    tree_get_or_add(table, static_cast<cPackedKey&&>(packed))->Assign(value);
}

cPackageStrings& add_language(cPackage& package, int32_t language)
{
    return *tree_get_or_add(package.language_strings, language);
}

void add_member(cPackage& package, uint32_t unpacked_size)
{
    cPackageMember* member = tree_get_or_add(package.members, int32_t(package_member_count(package)));
    member->unpacked_size = unpacked_size;
    for (int i = 0; i < 32; ++i)
        member->digest[i] = uint8_t(unpacked_size + i);
    cLinkedList<_typebuf<uint8_t>> runs;
    list_append(runs)->Resize(1);
    member->Own(runs);
}

cPackageFileEntry& add_file(cPackage& package, uint32_t member, const wchar_t* folder_key, const wchar_t* path)
{
    cPackageFileEntry* entry = list_append(package.files);
    entry->member_index = member;
    entry->folder_key.Assign(folder_key);
    entry->path.Assign(path);
    entry->for_32bit = entry->for_64bit = true;
    return *entry;
}

std::wstring text_of(const _guardchar<wchar_t>& text)
{
    return text.Text() ? text.Text() : L"";
}

TEST(PackageQueries, StringsOfTheCurrentLanguageComeFirstAndEmptyOnesDiffer)
{
    cPackage package;
    set_string(package.strings, L"a", L"default");
    set_string(package.strings, L"blank", L"");
    set_string(add_language(package, 0), L"a", L"english");
    set_string(add_language(package, 0), L"blank_here", L"");
    EXPECT_STREQ(package.GetString(L"a"), L"english");
    EXPECT_STREQ(package.GetString(L"blank"), L"");
    EXPECT_EQ(package.GetString(L"blank_here"), nullptr);
    EXPECT_EQ(package.GetString(L"missing"), nullptr);
}

TEST(PackageQueries, ItemPathsJoinAFolderValueAndAPath)
{
    cPackage package;
    set_string(package.strings, L"slash", L"C:/Apps/");
    set_string(package.strings, L"plain", L"C:/Apps");
    set_string(package.strings, L"empty", L"");
    set_string(add_language(package, 0), L"empty_here", L"");
    set_pgm_folder(package.strings, L"D:/P");
    struct Case {
        const wchar_t* key;
        const wchar_t* path;
        const wchar_t* expected;  // null: fails
    };
    const Case cases[] = {
        {L"slash", L"x.exe", L"C:/Apps/x.exe"}, {L"plain", L"x.exe", L"C:/Apps/x.exe"},
        {L"plain", L"", L"C:/Apps"},             {L"empty", L"x.exe", L"x.exe"},
        {L"", L"x.exe", L"x.exe"},               {L"empty_here", L"x.exe", nullptr},
        {L"missing", L"x.exe", nullptr},         {L"pgm", L"a/b", L"D:/P/a/b"},
    };
    for (const Case& c : cases) {
        _guardchar<wchar_t> out;
        EXPECT_EQ(resolve_item_path(package, c.key, c.path, out), c.expected != nullptr) << c.key;
        if (c.expected) {
            EXPECT_EQ(text_of(out), c.expected) << c.key;
        }
    }
}

TEST(PackageQueries, DisplayVersionDropsTrailingZeroParts)
{
    const std::pair<std::vector<uint32_t>, const wchar_t*> cases[] = {
        {{6, 9, 0, 0}, L"6.9"}, {{6, 9, 2, 0}, L"6.9.2"}, {{6, 9, 0, 3}, L"6.9.0.3"}, {{1, 0, 0, 0}, L"1.0"}};
    for (const auto& [version, expected] : cases) {
        cPackage package;
        std::copy(version.begin(), version.end(), package.version);
        _guardchar<wchar_t> out;
        EXPECT_TRUE(format_display_version(package, out));
        EXPECT_EQ(text_of(out), expected);
    }
}

TEST(PackageQueries, SpaceRoundsEachFileUpTo64KiBOnItsPlatform)
{
    cPackage package;
    for (uint32_t size : {1u, 65536u, 65537u, 100u})
        add_member(package, size);
    for (uint32_t member = 0; member < 3; ++member)
        add_file(package, member, L"pgm", L"f");
    add_file(package, 3, L"pgm", L"only32").for_64bit = false;
    *list_append(package.files.first->element.languages) = 7;  // languages do not count
    EXPECT_EQ(package_space_needed_for(package, false), 65536u + 65536u + 131072u + 65536u);
    EXPECT_EQ(package_space_needed_for(package, true), 65536u + 65536u + 131072u);
}

TEST(PackageQueries, InstallListTakesThisPlatformAndLanguageAndRefusesOneFileTwice)
{
    cPackage package;
    add_language(package, 2);
    add_language(package, 3);
    package.current_language = 3;
    set_pgm_folder(package.strings, L"C:/P/");
    set_string(package.strings, L"other", L"c:/p");
    for (uint32_t size = 1; size <= 4; ++size)
        add_member(package, size);
    add_file(package, 0, L"pgm", L"all.dll");
    *list_append(add_file(package, 1, L"pgm", L"deu.dll").languages) = 2;
    add_file(package, 2, L"pgm", L"x32.dll").for_64bit = false;
    cPackageFileEntry& japanese = add_file(package, 3, L"other", L"jpn.dll");
    *list_append(japanese.languages) = 3;
    japanese.access[0] = 7;
    for (bool windows64 : {false, true}) {
        cLinkedList<cInstallItem> items;
        ASSERT_TRUE(build_install_file_list_for(package, windows64, items));
        std::vector<std::wstring> targets;
        for (auto* node = items.first; node; node = node->next)
            targets.push_back(text_of(node->element.target_path));
        std::vector<std::wstring> expected = {L"C:/P/all.dll", L"C:/P/x32.dll", L"c:/p/jpn.dll"};
        if (windows64)
            expected.erase(expected.begin() + 1);
        EXPECT_EQ(targets, expected);
        EXPECT_EQ(items.last->element.access[0], 7);
        EXPECT_EQ(items.last->element.digest[0], 4);
    }
    add_file(package, 0, L"other", L"ALL.dll");
    cLinkedList<cInstallItem> items;
    EXPECT_FALSE(build_install_file_list_for(package, false, items));
}

TEST(PackageQueries, ManagerPathLiesUnderTheProgramFilesFolderAndNothingIsMade)
{
    TempFolder folder(L"programs");
    ASSERT_TRUE(SetEnvironmentVariableW(L"ProgramW6432", folder.Native().c_str() + 4));
    _guardchar<wchar_t> path;
    ASSERT_TRUE(get_manager_exe_path(path));
    EXPECT_EQ(text_of(path), folder.Path(L"Common Files/Vantrel/pelmarodesk.exe"));
    EXPECT_EQ(folder.Attributes(L"Common Files"), INVALID_FILE_ATTRIBUTES) << "no folder made";
    ASSERT_TRUE(folder.WriteFile(L"Common Files", "a file in a folder's place"));
    EXPECT_FALSE(get_manager_exe_path(path));
    ASSERT_TRUE(DeleteFileW(folder.Native(L"Common Files").c_str()));
    for (const wchar_t* inside : {L"Common Files", L"Common Files/Vantrel", L"Common Files/Vantrel/pelmarodesk.exe"})
        ASSERT_TRUE(CreateDirectoryW(folder.Native(inside).c_str(), nullptr));
    EXPECT_FALSE(get_manager_exe_path(path));
}

}  // namespace
