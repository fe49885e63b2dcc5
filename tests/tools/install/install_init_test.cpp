#include "tools/install/install_init.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>

#include "base/ci_app_config.h"
#include "tests/support/redirected_env.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/install/road_fixture.h"
#include "tools/install/install_context.h"
#include "tools/install/uninstall_command.h"

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

namespace {

class cProposedLanguage : public cInstallInitQuestions {
public:
    uint32_t ChooseLanguage(uint32_t proposed) override { return proposed; }
};

}  // namespace

TEST(RunInstallInit, ReadsTheRightPackageAndRefusesDamagedOnes)
{
    TempFolder folder(L"initpackage");
    std::string installer = road::file_bytes(road::installers().Get("v1"));
    uint32_t offset = uint32_t(road::file_bytes(road::runner_path()).size());
    ASSERT_GT(installer.size(), offset + 200u);
    std::string flipped = installer, truncated = installer.substr(0, installer.size() - 100);
    flipped[offset + 120] ^= 0x10;
    struct PackageCase {
        const char* name;
        std::string bytes;  // the package file; empty: none
        const wchar_t* path;  // as the context names it
        uint32_t offset;
        uint32_t result;
    };
    const PackageCase cases[] = {
        {"beside the program", installer, L"./setup.exe", offset, INSTALL_INIT_READY},
        {"no such file", "", L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE_PATH},
        {"a bit flipped", flipped, L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE},
        {"cut short", truncated, L"./setup.exe", offset, INSTALL_INIT_BAD_PACKAGE},
        {"a wrong offset", installer, L"./setup.exe", offset - 1, INSTALL_INIT_BAD_PACKAGE},
    };
    for (const PackageCase& c : cases) {
        DeleteFileW(folder.Native(L"setup.exe").c_str());
        if (!c.bytes.empty()) {
            ASSERT_TRUE(folder.WriteFile(L"setup.exe", c.bytes));
        }
        cInstallContext context(folder.Path(L"runner.exe").c_str(), c.path, c.offset);
        cProposedLanguage questions;
        EXPECT_EQ(run_install_init(context, nullptr, questions), c.result) << c.name;
        if (c.result == INSTALL_INIT_READY) {
            EXPECT_EQ(std::wstring(context.package_path.Text()), folder.Path(L"setup.exe"));
            EXPECT_EQ(std::string(context.code_name_utf8.Text()), utf8_of(road::installers().code_name));
            EXPECT_GT(context.space_needed, 0u);
        }
    }
}

TEST(RunInstallInit, RefusesPackagesThatALaterRunWouldMisread)
{
    // Each installs whole, but a later run would misread it: its repair
    // pass takes a file for a leftover of its own, its temporary file has no
    // name, its record cannot bound it, Windows' entry belongs to another
    // name, or one of its files is another's short name. A folder of the
    // machine's own is no damage: the package is intact, and the message
    // names that folder.
    const uint32_t damaged = INSTALL_INIT_BAD_PACKAGE;
    struct RefusedCase {
        const char* package;
        uint32_t result;
        const wchar_t* named = L"";  // the error path
    } cases[] = {
        {"pkg_startup_backup_name.bin", damaged}, {"pkg_startup_temporary_name.bin", damaged},
        {"pkg_startup_temporary_name_elsewhere.bin", damaged}, {"pkg_path_leaf_252.bin", damaged},
        {"pkg_folder_root.bin", damaged}, {"pkg_folder_drive.bin", damaged}, {"pkg_folder_share_root.bin", damaged},
        {"pkg_codename_leading_blank.bin", damaged}, {"pkg_codename_trailing_tab.bin", damaged},
        {"pkg_path_short_name.bin", damaged}, {"pkg_path_short_folder.bin", damaged},
        {"pkg_startup_folder_dot_end.bin", damaged}, {"pkg_startup_folder_blank_end.bin", damaged},
        {"pkg_startup_folder_program_files.bin", INSTALL_INIT_SYSTEM_FOLDER, L"C:/Program Files"},
        {"pkg_startup_folder_users.bin", INSTALL_INIT_SYSTEM_FOLDER, L"c:/USERS/"},
    };
    for (const RefusedCase& c : cases) {
        std::wstring package = road::crafted_package(c.package);
        ASSERT_TRUE(road::exists(package)) << c.package;
        cInstallContext context(road::runner_path().c_str(), package.c_str(), 0);
        cProposedLanguage questions;
        EXPECT_EQ(run_install_init(context, nullptr, questions), c.result) << c.package;
        EXPECT_EQ(std::wstring(context.error_path.Text() ? context.error_path.Text() : L""), c.named) << c.package;
    }
}

TEST(RunInstallInit, AnotherProgramsWindowsEntryUnderTheNameIsRefused)
{
    std::wstring code = road::installers().code_name;
    std::wstring installer = road::installers().Get("v1");
    uint32_t offset = uint32_t(road::file_bytes(road::runner_path()).size());
    std::wstring upper = code;
    std::transform(upper.begin(), upper.end(), upper.begin(), towupper);
    TempFolder programs(L"initentry");
    RedirectedEnv env;
    env.SetPath(L"ProgramW6432", programs.Path());
    std::wstring manager = L"\"" + windows_path(programs.Path(L"Common Files/Vantrel/pelmarodesk.exe")) + L"\"";
    std::wstring manager_upper = manager;
    std::transform(manager_upper.begin(), manager_upper.end(), manager_upper.begin(), towupper);
    const std::wstring uninstall_key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    struct EntryCase {
        const char* what;
        bool per_user;
        std::wstring key;  // the entry's name
        std::map<std::wstring, std::wstring> texts;
        uint32_t result;
        std::wstring named;  // the error path: the other program
        REGSAM view = KEY_WOW64_64KEY;
    } cases[] = {
        {"another program's", true, code,
         {{L"UninstallString", L"C:\\Other\\uninstall.exe /x"}, {L"DisplayName", L"Other Program"}},
         INSTALL_INIT_NAME_TAKEN, L"Other Program"},
        // Windows takes the two names for one: the entry is the other
        // product's, installed by this program.
        {"this program's uninstall of the name in capitals", false, upper,
         {{L"UninstallString", manager + L" uninstall \"" + upper + L"\""}, {L"DisplayName", L"Demo Notes"}},
         INSTALL_INIT_NAME_TAKEN, L"Demo Notes"},
        {"one without command or name", false, code, {{L"Publisher", L"Someone"}}, INSTALL_INIT_NAME_TAKEN,
         L"HKEY_LOCAL_MACHINE\\" + uninstall_key + code},
        {"a key without values", false, code, {}, INSTALL_INIT_READY, L""},
        // The machine's list is two lists: one for 64-bit programs and one
        // for 32-bit programs; the name is taken in either.
        {"another program's, in the 32-bit view", false, code,
         {{L"UninstallString", L"C:\\Other\\uninstall.exe /x"}, {L"DisplayName", L"Other Program"}},
         INSTALL_INIT_NAME_TAKEN, L"Other Program", KEY_WOW64_32KEY},
        // Commands that only look like this program's uninstall of the name.
        {"a program of the manager's name in another folder", true, code,
         {{L"UninstallString", L"\"D:\\Tools\\pelmarodesk.exe\" uninstall \"" + code + L"\""},
          {L"DisplayName", L"Foreign"}},
         INSTALL_INIT_NAME_TAKEN, L"Foreign"},
        {"another program with the same arguments, 32-bit view", false, code,
         {{L"UninstallString", L"\"C:\\Foreign\\other.exe\" uninstall \"" + code + L"\""},
          {L"DisplayName", L"Foreign"}},
         INSTALL_INIT_NAME_TAKEN, L"Foreign", KEY_WOW64_32KEY},
        {"the manager's command with more after it, 32-bit view", false, code,
         {{L"UninstallString", manager + L" uninstall \"" + code + L"\" /purge-all-user-data"},
          {L"DisplayName", L"Foreign"}},
         INSTALL_INIT_NAME_TAKEN, L"Foreign", KEY_WOW64_32KEY},
        // Paths compare as Windows compares them.
        {"this program's, the manager's path in capitals, 32-bit view", false, code,
         {{L"UninstallString", manager_upper + L" uninstall \"" + code + L"\""}}, INSTALL_INIT_READY, L"",
         KEY_WOW64_32KEY},
    };
    for (const EntryCase& c : cases) {
        road::delete_entries(c.key);
        road::add_entry(c.key, c.per_user, c.view, {}, c.texts);
        cInstallContext context(road::runner_path().c_str(), installer.c_str(), offset);
        cProposedLanguage questions;
        EXPECT_EQ(run_install_init(context, nullptr, questions), c.result) << c.what;
        EXPECT_EQ(std::wstring(context.error_path.Text() ? context.error_path.Text() : L""), c.named) << c.what;
        road::delete_entries(c.key);
    }
}

// An older product of this program that v2 replaces, recorded in the store
// beside an "installer/app" that names another program: the removal the
// page runs (each ticked command to its end) starts the manager at its own
// place or nothing, never that program. Both programs are the stand-in,
// which logs each command line it is started with.
TEST(RunInstallInit, AnOlderProductOfThisProgramIsRemovedOnlyByTheManagerAtItsPlace)
{
    std::wstring installer = road::installers().Get("v2");
    uint32_t offset = uint32_t(road::file_bytes(road::runner_path()).size());
    std::wstring older = road::installers().code_name + L"-classic";
    std::wstring stand_in = slash_path(wide_of(test_data_path("timeout_stand_in.exe")));
    struct OlderCase {
        const char* what;
        bool manager_there;
        std::string ran;  // the command lines logged
    } cases[] = {
        {"the manager installed", true, "<manager> uninstall \"" + utf8_of(older) + "\"\n"},
        {"no manager installed", false, "<missing>"},
    };
    for (const OlderCase& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder(L"initolder");
        RedirectedEnv env;
        env.SetPath(L"ProgramW6432", folder.Path(L"pf"));
        env.SetPath(L"PELMARO_TEST_STAND_IN_LOG", folder.Path(L"ran.log"));
        std::wstring manager = folder.Path(L"pf/Common Files/Vantrel/pelmarodesk.exe");
        ASSERT_TRUE(CreateDirectoryW(folder.Native(L"pf").c_str(), nullptr));
        if (c.manager_there) {
            ASSERT_TRUE(CreateDirectoryW(folder.Native(L"pf/Common Files").c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryW(folder.Native(L"pf/Common Files/Vantrel").c_str(), nullptr));
            ASSERT_TRUE(CopyFileW(windows_path(stand_in).c_str(), windows_path(manager).c_str(), FALSE));
        }
        ASSERT_TRUE(CopyFileW(windows_path(stand_in).c_str(), folder.Native(L"victim.exe").c_str(), FALSE));
        ASSERT_TRUE(CreateDirectoryW(folder.Native(L"store").c_str(), nullptr));
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(folder.Path(L"store").c_str()));
        store.WriteInt64(("install/" + utf8_of(older) + "/ver").c_str(), int64_t(1ull << 48));
        store.WriteString(("install/" + utf8_of(older) + "/name").c_str(), L"Road Test classic", -1);
        store.WriteString("installer/app", folder.Path(L"victim.exe").c_str(), -1);

        cInstallContext context(road::runner_path().c_str(), installer.c_str(), offset);
        cProposedLanguage questions;
        ASSERT_EQ(run_install_init(context, &store, questions), INSTALL_INIT_READY);
        for (cOlderProduct* product = context.products_to_uninstall.first; product; product = product->next)
            if (product->run) {
                EXPECT_EQ(run_uninstall_command(product->command.Text(), nullptr), 0);
            }
        std::string ran = road::file_bytes(folder.Path(L"ran.log"));
        for (size_t at; (at = ran.find(utf8_of(L"\"" + windows_path(manager) + L"\""))) != std::string::npos;)
            ran.replace(at, manager.size() + 2, "<manager>");
        EXPECT_EQ(ran, c.ran);
    }
}
