#include "tools/install/uninstall_entry.h"

#include <gtest/gtest.h>
#include <aclapi.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>

#include "tests/tools/install/road_fixture.h"
#include "tools/package/package_queries.h"

// reg.exe, a program of its own, is the oracle of what the registry holds
// in each view.

using road::add_entry;
using road::delete_entries;

namespace {

const wchar_t uninstall_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::wstring entry_key(bool per_user, const std::wstring& code_name)
{
    return std::wstring(per_user ? L"HKCU\\" : L"HKLM\\") + uninstall_key + code_name;
}

// A code name of this run, so that runs do not meet.
std::wstring unique_name(const wchar_t* stem)
{
    return stem + std::to_wstring(GetCurrentProcessId());
}

// The installed manager's place, which this program's entries name.
std::wstring manager_path()
{
    _guardchar<wchar_t> path;
    get_manager_exe_path(path);
    return path.Text() ? path.Text() : L"";
}

std::string today()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[16];
    snprintf(text, sizeof(text), "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

}  // namespace

TEST(UninstallEntry, WritesTheValuesInTheWideViewOnly)
{
    for (bool per_user : {false, true}) {
        std::wstring code = unique_name(per_user ? L"EntryUser" : L"EntryAll");
        cPackage package;
        fill_sample_package(package, (L"  \t" + code).c_str(), L"C:/Program Files/Sample");
        ASSERT_TRUE(write_uninstall_entry(package, manager_path().c_str(), per_user));

        bool found = false;
        auto values = reg_query(entry_key(per_user, code), L"/reg:64", &found);
        ASSERT_TRUE(found) << "the key is named without the leading blanks";
        std::string code8(code.begin(), code.end());
        std::string manager = "\"" + utf8_of(windows_path(manager_path())) + "\"";
        const struct {
            const char* name;
            const char* type;
            std::string data;
        } expected[] = {
            {"MajorVersion", "REG_DWORD", "0x2"},
            {"MinorVersion", "REG_DWORD", "0x5"},
            {"SubVersion", "REG_DWORD", "0x0"},
            {"BuildNumber", "REG_DWORD", "0x7"},
            {"NoRepair", "REG_DWORD", "0x1"},
            {"NoModify", "REG_DWORD", "0x0"},
            {"UninstallString", "REG_SZ", manager + " uninstall \"" + code8 + "\""},
            {"ModifyPath", "REG_SZ", manager + " update \"" + code8 + "\""},
            {"DisplayIcon", "REG_SZ", "C:\\Program Files\\Sample\\bin\\app.ico"},
            {"DisplayName", "REG_SZ", "Sample App"},
            {"DisplayVersion", "REG_SZ", "2.5.0.7"},
            {"HelpLink", "REG_SZ", "http://example.org/support"},
            {"Publisher", "REG_SZ", "Sample Maker"},
            {"ProductId", "REG_SZ", code8},
            {"URLInfoAbout", "REG_SZ", "http://example.org/"},
            {"URLUpdateInfo", "REG_SZ", "http://example.org/updates"},
            {"InstallLocation", "REG_SZ", ""},
            {"InstallDate", "REG_SZ", today()},
        };
        EXPECT_EQ(values.size(), sizeof(expected) / sizeof(expected[0]));
        for (const auto& value : expected) {
            EXPECT_EQ(values[value.name].type, value.type) << value.name;
            EXPECT_EQ(values[value.name].data, value.data) << value.name;
        }
        // HKEY_CURRENT_USER\Software is one key for both views; the machine's
        // is split, and the entry is not in the 32-bit one.
        reg_query(entry_key(per_user, code), L"/reg:32", &found);
        EXPECT_EQ(found, per_user);

        uint32_t version[4];
        _guardchar<wchar_t> command, name;
        ASSERT_TRUE(read_uninstall_entry(code.c_str(), version, &command, &name, per_user));
        EXPECT_EQ(version[0] * 1000 + version[1] * 100 + version[2] * 10 + version[3], 2507u);
        EXPECT_EQ(std::string(command.Text(), command.Text() + command.Length()), values["UninstallString"].data);
        EXPECT_STREQ(name.Text(), L"Sample App");

        EXPECT_TRUE(delete_uninstall_entry((L" " + code).c_str(), per_user));
        reg_query(entry_key(per_user, code), L"/reg:64", &found);
        EXPECT_FALSE(found);
        EXPECT_TRUE(delete_uninstall_entry(code.c_str(), per_user)) << "nothing left to delete";
        EXPECT_FALSE(read_uninstall_entry(code.c_str(), version, nullptr, nullptr, per_user));
    }
}

TEST(UninstallEntry, NamesAndVersionsFollowWhatIsThere)
{
    std::wstring code = unique_name(L"EntryName");
    struct NameCase {
        const wchar_t* name;  // null: no "name" string
        bool written;
    };
    const NameCase cases[] = {{L"", true}, {nullptr, false}};
    for (const NameCase& c : cases) {
        cPackage package;
        fill_sample_package(package, code.c_str(), L"C:/P");
        if (c.name) {
            set_package_string(package.strings, L"name", c.name);
        } else {
            tree_clear(package.strings);
            set_package_string(package.strings, L"codename", code.c_str());
        }
        ASSERT_TRUE(write_uninstall_entry(package, manager_path().c_str(), false));
        bool found = false;
        auto values = reg_query(entry_key(false, code), L"/reg:64", &found);
        EXPECT_EQ(values.count("DisplayName"), c.written ? 1u : 0u);
        EXPECT_EQ(values.count("DisplayIcon"), c.name ? 1u : 0u) << "no icon without its folder";
        EXPECT_TRUE(delete_uninstall_entry(code.c_str(), false));
    }

    // An entry written by another program with only its major version.
    std::wstring key = entry_key(false, code);
    command_output(L"reg add \"" + key + L"\" /v MajorVersion /t REG_DWORD /d 9 /f /reg:64");
    uint32_t version[4] = {1, 1, 1, 1};
    _guardchar<wchar_t> name;
    name.Assign(L"old");
    EXPECT_TRUE(read_uninstall_entry(code.c_str(), version, nullptr, &name, false));
    EXPECT_EQ(version[0], 9u);
    EXPECT_EQ(version[1] + version[2] + version[3], 0u);
    EXPECT_TRUE(name.IsEmpty());
    command_output(L"reg delete \"" + key + L"\" /v MajorVersion /f /reg:64");
    EXPECT_FALSE(read_uninstall_entry(code.c_str(), version, nullptr, nullptr, false)) << "no major version";
    EXPECT_TRUE(delete_uninstall_entry(code.c_str(), false));
    command_output(L"reg delete \"" + key + L"\" /f /reg:64");

    cPackage blank;
    set_package_string(blank.strings, L"codename", L" \r\n");
    EXPECT_FALSE(write_uninstall_entry(blank, L"C:/m.exe", false));
    EXPECT_FALSE(write_uninstall_entry(blank, nullptr, false));
    EXPECT_FALSE(read_uninstall_entry(L"\t", version, nullptr, nullptr, false));
    EXPECT_FALSE(delete_uninstall_entry(L"", false));
}

TEST(UninstallEntry, AKeyThatCannotBeOpenedIsNoSuccess)
{
    std::wstring code = unique_name(L"EntryLocked");
    cPackage package;
    fill_sample_package(package, code.c_str(), L"C:/P");
    ASSERT_TRUE(write_uninstall_entry(package, manager_path().c_str(), true));
    // Deny everyone every access to the product key.
    HKEY product = nullptr;
    std::wstring path = std::wstring(uninstall_key) + code;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &product), ERROR_SUCCESS);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
    EXPLICIT_ACCESSW deny = {};
    deny.grfAccessPermissions = KEY_ALL_ACCESS;
    deny.grfAccessMode = DENY_ACCESS;
    deny.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    deny.Trustee.ptstrName = static_cast<LPWSTR>(everyone);
    PACL acl = nullptr;
    SetEntriesInAclW(1, &deny, nullptr, &acl);
    DWORD set = SetSecurityInfo(product, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, acl, nullptr);
    RegCloseKey(product);
    LocalFree(acl);
    FreeSid(everyone);
    ASSERT_EQ(set, DWORD(ERROR_SUCCESS));
    HKEY probe = nullptr;
    bool checked = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &probe) != ERROR_SUCCESS;
    if (checked)
        EXPECT_FALSE(delete_uninstall_entry(code.c_str(), true)) << "access denied is no deletion";
    else
        RegCloseKey(probe);
    // The owner may always give the access back.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &product), ERROR_SUCCESS);
    SetSecurityInfo(product, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(product);
    EXPECT_TRUE(delete_uninstall_entry(code.c_str(), true));
    if (!checked)
        GTEST_SKIP() << "this system does not check registry key access";
}

namespace {

// The values reg.exe lists, as "type data" by name, for comparing.
std::map<std::string, std::string> listed_values(const std::wstring& key, bool* found)
{
    std::map<std::string, std::string> listed;
    for (const auto& value : reg_query(key, L"/reg:64", found))
        listed[value.first] = value.second.type + " " + value.second.data;
    return listed;
}

}  // namespace

TEST(UninstallEntry, AnotherProgramsEntryIsNeitherWrittenOverNorDeleted)
{
    for (bool per_user : {false, true}) {
        std::wstring code = unique_name(per_user ? L"ForeignUser" : L"ForeignAll");
        std::wstring upper = code;
        std::transform(upper.begin(), upper.end(), upper.begin(), towupper);
        const std::wstring own = L"\"" + windows_path(manager_path()) + L"\" uninstall \"" + code + L"\"";
        struct ForeignCase {
            const char* what;
            std::wstring key;  // where the other program's entry is
            std::map<std::wstring, std::wstring> texts;
        } cases[] = {
            {"another program's", code,
             {{L"UninstallString", L"C:\\Other\\uninstall.exe /x"}, {L"DisplayName", L"Other Program"}}},
            // Registry names compare without case: the entry of "CODE" is
            // the one of "code", but its command is the other product's.
            {"this program's uninstall of the name in capitals", upper,
             {{L"UninstallString", L"\"" + windows_path(manager_path()) + L"\" uninstall \"" + upper + L"\""},
              {L"DisplayName", L"Other Program"}}},
            {"one without command", code, {{L"DisplayName", L"Other Program"}}},
            // Commands that only look like this program's uninstall of it.
            {"a program of the manager's name in another folder", code,
             {{L"UninstallString", L"\"C:\\Foreign\\pelmarodesk.exe\" uninstall \"" + code + L"\""},
              {L"DisplayName", L"Other Program"}}},
            {"the manager's command with more after it", code,
             {{L"UninstallString", own + L" /purge-all-user-data"}, {L"DisplayName", L"Other Program"}}},
            {"the manager's command in '/' separators", code,
             {{L"UninstallString", L"\"" + manager_path() + L"\" uninstall \"" + code + L"\""},
              {L"DisplayName", L"Other Program"}}},
        };
        for (const ForeignCase& c : cases) {
            SCOPED_TRACE(c.what);
            delete_entries(c.key);
            add_entry(c.key, per_user, KEY_WOW64_64KEY, {{L"MajorVersion", 3}}, c.texts);
            bool found = false;
            auto before = listed_values(entry_key(per_user, c.key), &found);
            ASSERT_TRUE(found);

            cPackage package;
            fill_sample_package(package, code.c_str(), L"C:/P");
            EXPECT_FALSE(write_uninstall_entry(package, manager_path().c_str(), per_user));
            _guardchar<wchar_t> other;
            EXPECT_EQ(uninstall_entry_owner(code.c_str(), per_user, &other), UNINSTALL_ENTRY_FOREIGN);
            EXPECT_STREQ(other.Text(), L"Other Program");
            EXPECT_TRUE(delete_uninstall_entry(code.c_str(), per_user)) << "none of this program's is there";
            EXPECT_EQ(listed_values(entry_key(per_user, c.key), &found), before);
            EXPECT_TRUE(found);
            delete_entries(c.key);
        }

        // Once it is gone the name is free, and the entry written is ours.
        cPackage package;
        fill_sample_package(package, code.c_str(), L"C:/P");
        EXPECT_EQ(uninstall_entry_owner(code.c_str(), per_user, nullptr), UNINSTALL_ENTRY_NONE);
        ASSERT_TRUE(write_uninstall_entry(package, manager_path().c_str(), per_user));
        EXPECT_EQ(uninstall_entry_owner(code.c_str(), per_user, nullptr), UNINSTALL_ENTRY_OURS);
        EXPECT_TRUE(delete_uninstall_entry(code.c_str(), per_user));
        bool found = true;
        reg_query(entry_key(per_user, code), L"/reg:64", &found);
        EXPECT_FALSE(found);
    }
}
