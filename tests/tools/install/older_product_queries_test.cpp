#include "tools/install/older_product_queries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/ci_app_config.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/install/install_test_support.h"

namespace {

// An entry written by reg.exe: major version and name in the given hive.
void add_entry(const std::wstring& code, const wchar_t* hive, int major, const wchar_t* name)
{
    std::wstring key = std::wstring(hive) + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + code;
    command_output(L"reg add \"" + key + L"\" /v MajorVersion /t REG_DWORD /d " + std::to_wstring(major) +
                   L" /f /reg:64");
    command_output(L"reg add \"" + key + L"\" /v UninstallString /d \"other.exe /remove\" /f /reg:64");
    command_output(L"reg add \"" + key + L"\" /v DisplayName /d \"" + name + L"\" /f /reg:64");
}

void remove_entry(const std::wstring& code, const wchar_t* hive)
{
    command_output(std::wstring(L"reg delete \"") + hive + L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                   code + L"\" /f /reg:64");
}

}  // namespace

TEST(OlderProductQueries, ARecordWithItsManagerAnswersElseTheEntryDoes)
{
    TempFolder folder(L"older");
    ASSERT_TRUE(folder.WriteFile(L"pelmarodesk.exe", "manager"));
    ASSERT_TRUE(CreateDirectoryW(folder.Native(L"store").c_str(), nullptr));
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(folder.Path(L"store").c_str()));
    std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    std::wstring recorded = L"OlderRec" + suffix, gone_manager = L"OlderGone" + suffix,
                 machine = L"OlderMachine" + suffix, user = L"OlderUser" + suffix, none = L"OlderNone" + suffix;
    std::string recorded8(recorded.begin(), recorded.end()), gone8(gone_manager.begin(), gone_manager.end());
    store.WriteInt64(("install/" + recorded8 + "/ver").c_str(), int64_t(7ull << 48 | 1ull << 32));
    store.WriteString(("install/" + recorded8 + "/name").c_str(), L"Recorded Product", -1);
    store.WriteString("installer/app", folder.Path(L"pelmarodesk.exe").c_str(), -1);
    add_entry(recorded, L"HKLM", 3, L"Entry Name");  // not asked while the record answers
    // A second store whose manager file is gone.
    cCIAppConfig lost;
    ASSERT_TRUE(CreateDirectoryW(folder.Native(L"lost").c_str(), nullptr));
    ASSERT_TRUE(lost.OpenStore(folder.Path(L"lost").c_str()));
    lost.WriteInt64(("install/" + gone8 + "/ver").c_str(), int64_t(7ull << 48));
    lost.WriteString("installer/app", folder.Path(L"gone.exe").c_str(), -1);
    add_entry(gone_manager, L"HKLM", 4, L"Gone Entry");
    add_entry(machine, L"HKLM", 5, L"Machine Entry");
    add_entry(user, L"HKCU", 6, L"User Entry");

    std::wstring manager_native = folder.Path(L"pelmarodesk.exe");
    for (wchar_t& c : manager_native)
        if (c == L'/')
            c = L'\\';
    struct QueryCase {
        cApplicationConfig* store;
        std::wstring code;
        bool found;
        uint32_t major;
        std::wstring command;
        bool named;
        std::wstring name;
    };
    const QueryCase cases[] = {
        {&store, recorded, true, 7, L"\"" + manager_native + L"\" uninstall \"" + recorded + L"\"", true,
         L"Recorded Product"},
        {&lost, gone_manager, true, 4, L"other.exe /remove", true, L"Gone Entry"},
        {&store, machine, true, 5, L"other.exe /remove", true, L"Machine Entry"},
        {nullptr, user, true, 6, L"other.exe /remove", true, L"User Entry"},
        {&store, none, false, 0, L"", false, L""},
        {&store, L"", false, 0, L"", false, L""},
    };
    for (const QueryCase& c : cases) {
        uint32_t major = 0;
        _guardchar<wchar_t> command, name;
        EXPECT_EQ(get_installed_major_version_in(c.store, c.code.c_str(), major, command), c.found) << c.code;
        EXPECT_EQ(get_installed_product_name_in(c.store, c.code.c_str(), name), c.named) << c.code;
        if (c.found) {
            EXPECT_EQ(major, c.major) << c.code;
            EXPECT_EQ(std::wstring(command.Text() ? command.Text() : L""), c.command) << c.code;
        }
        if (c.named) {
            EXPECT_EQ(std::wstring(name.Text() ? name.Text() : L""), c.name) << c.code;
        }
    }
    remove_entry(recorded, L"HKLM");
    remove_entry(gone_manager, L"HKLM");
    remove_entry(machine, L"HKLM");
    remove_entry(user, L"HKCU");
}
