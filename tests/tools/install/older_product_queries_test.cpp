#include "tools/install/older_product_queries.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/ci_app_config.h"
#include "tests/support/redirected_env.h"
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

// A record's product is uninstalled by the manager at its own place while
// it is there, whatever program the store names.
TEST(OlderProductQueries, ARecordWithItsManagerAnswersElseTheEntryDoes)
{
    TempFolder folder(L"older");
    RedirectedEnv env;
    env.SetPath(L"ProgramW6432", folder.Path(L"pf"));
    std::wstring manager = folder.Path(L"pf/Common Files/Vantrel/pelmarodesk.exe");
    for (const wchar_t* inside : {L"pf", L"pf/Common Files", L"pf/Common Files/Vantrel", L"store"})
        ASSERT_TRUE(CreateDirectoryW(folder.Native(inside).c_str(), nullptr));
    ASSERT_TRUE(folder.WriteFile(L"victim.exe", "another program"));
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(folder.Path(L"store").c_str()));
    std::wstring suffix = std::to_wstring(GetCurrentProcessId());
    std::wstring recorded = L"OlderRec" + suffix, machine = L"OlderMachine" + suffix, user = L"OlderUser" + suffix,
                 none = L"OlderNone" + suffix;
    std::string recorded8(recorded.begin(), recorded.end());
    store.WriteInt64(("install/" + recorded8 + "/ver").c_str(), int64_t(7ull << 48 | 1ull << 32));
    store.WriteString(("install/" + recorded8 + "/name").c_str(), L"Recorded Product", -1);
    store.WriteString("installer/app", folder.Path(L"victim.exe").c_str(), -1);
    add_entry(recorded, L"HKLM", 3, L"Entry Name");  // not asked while the record answers
    add_entry(machine, L"HKLM", 5, L"Machine Entry");
    add_entry(user, L"HKCU", 6, L"User Entry");

    struct QueryCase {
        cApplicationConfig* store;
        std::wstring code;
        bool manager_there;
        bool found;
        uint32_t major;
        std::wstring command;
        bool named;
        std::wstring name;
    };
    const QueryCase cases[] = {
        {&store, recorded, true, true, 7, L"\"" + windows_path(manager) + L"\" uninstall \"" + recorded + L"\"", true,
         L"Recorded Product"},
        {&store, recorded, false, true, 3, L"other.exe /remove", true, L"Recorded Product"},
        {&store, machine, true, true, 5, L"other.exe /remove", true, L"Machine Entry"},
        {nullptr, user, true, true, 6, L"other.exe /remove", true, L"User Entry"},
        {&store, none, true, false, 0, L"", false, L""},
        {&store, L"", true, false, 0, L"", false, L""},
    };
    for (const QueryCase& c : cases) {
        SCOPED_TRACE(utf8_of(c.code) + (c.manager_there ? "" : ", no manager"));
        if (c.manager_there) {
            ASSERT_TRUE(folder.WriteFile(L"pf/Common Files/Vantrel/pelmarodesk.exe", "manager"));
        } else {
            ASSERT_TRUE(DeleteFileW(windows_path(manager).c_str()));
        }
        uint32_t major = 0;
        _guardchar<wchar_t> command, name;
        EXPECT_EQ(get_installed_major_version_in(c.store, c.code.c_str(), major, command), c.found);
        EXPECT_EQ(get_installed_product_name_in(c.store, c.code.c_str(), name), c.named);
        if (c.found) {
            EXPECT_EQ(major, c.major);
            EXPECT_EQ(std::wstring(command.Text() ? command.Text() : L""), c.command);
        }
        if (c.named) {
            EXPECT_EQ(std::wstring(name.Text() ? name.Text() : L""), c.name);
        }
    }
    remove_entry(recorded, L"HKLM");
    remove_entry(machine, L"HKLM");
    remove_entry(user, L"HKCU");
}
