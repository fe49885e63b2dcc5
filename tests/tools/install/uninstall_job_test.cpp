// The uninstall's work in this process, its questions answered by a script:
// what an earlier run, another program or the user may have left around a
// product installed by the real installer, names no product can have, the
// interface language, a record that cannot be saved, and another product's
// command that names a program of Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "base/ci_app_config.h"
#include "base/ci_app_full_config.h"
#include "tests/support/redirected_env.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tools/install/system_program.h"
#include "tools/install/uninstall_job.h"

using namespace road;

namespace {

// The answers a user would give, and what was asked.
class ScriptedQuestions : public cUninstallQuestions {
public:
    bool SwitchLanguage(uint32_t id) override
    {
        switched.push_back(id);
        return true;
    }
    uint32_t ChooseLanguage(uint32_t proposed) override
    {
        proposals.push_back(proposed);
        return language;
    }
    bool Confirm(uint32_t question) override
    {
        questions.push_back(question);
        return yes;
    }
    bool AskRelease(const wchar_t* path) override
    {
        held.push_back(path);
        return release ? release(path) : false;
    }

    uint32_t language = 0;
    bool yes = true;
    std::function<bool(const wchar_t*)> release;  // none: give up
    std::vector<uint32_t> switched, proposals, questions;
    std::vector<std::wstring> held;
};

// The world's folders as this process's system folders, and the program's
// configuration over them.
class InWorld {
public:
    explicit InWorld(const World& world)
    {
        for (const auto& variable : world.Variables())
            env.Set(variable.first.c_str(), variable.second.c_str());
    }

    // error_path, when given, takes the path the outcome names.
    uint32_t Uninstall(const std::wstring& code, ScriptedQuestions& questions, std::wstring* error_path = nullptr)
    {
        cCIAppFullConfig config;
        if (!config.OpenStore(L"qrv"))
            ADD_FAILURE() << "no store";
        cUninstallContext context(code.c_str());
        uint32_t outcome = run_uninstall(context, &config, questions, nullptr);
        if (error_path)
            *error_path = context.error_path.Text() ? context.error_path.Text() : L"";
        return outcome;
    }

private:
    RedirectedEnv env;
};

std::string record_key(const char* name)
{
    return "install/" + utf8_of(installers().code_name) + "/" + name;
}

// Writes raw bytes into the record in the common store.
void write_record_bytes(const World& world, const char* name, const std::string& bytes)
{
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    ASSERT_TRUE(store.WriteBytes(record_key(name).c_str(), bytes.data(), uint32_t(bytes.size())));
    ASSERT_TRUE(store.Save());
}

}  // namespace

TEST(UninstallJob, WhatIsLeftAroundTheProductGoesWithItWithoutAQuestion)
{
    struct LeftCase {
        const char* what;
        std::function<void(World&)> leave;
    } cases[] = {
        {"a stale backup beside a file",
         [](World& world) { ASSERT_TRUE(put_file(world.App(L"bin/core.dll.bkp"), "left by a failed update")); }},
        {"a file the user deleted, alone in its folders",
         [](World& world) { ASSERT_TRUE(DeleteFileW(windows_path(world.App(L"old/only/gone.txt")).c_str())); }},
        // Entries of this product's (their command is this program's
        // uninstall of it) that earlier installations left.
        {"the entry in every hive and view",
         [](World& world) {
             std::wstring command =
                 L"\"" + windows_path(world.Manager()) + L"\" uninstall \"" + installers().code_name + L"\"";
             for (bool per_user : {false, true})
                 for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})
                     add_entry(installers().code_name, per_user, view, {{L"MajorVersion", 1}},
                               {{L"UninstallString", command}});
         }},
    };
    for (const LeftCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unleft");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        c.leave(world);
        ScriptedQuestions questions;
        DWORD started = GetTickCount();
        EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), UNINSTALL_DONE);
        EXPECT_LT(GetTickCount() - started, 20000u);
        EXPECT_EQ(questions.questions, std::vector<uint32_t>{3});
        EXPECT_TRUE(questions.held.empty());
        expect_v1_uninstalled(world);
    }
}

// A damaged record may name any file of the machine: whatever lies outside
// the recorded install folder (files) or Start-menu group (shortcuts) is
// neither moved nor deleted nor pruned, and the outcome says so.
TEST(UninstallJob, ARecordedPathThatIsNotAFullOneIsPassedOver)
{
    World world(L"unrelative");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    uint32_t files = uint32_t(le_value(world.Record()["files"]));
    uint32_t shortcuts = uint32_t(le_value(world.Record()["shortc"]));
    std::wstring app = world.App();
    const std::wstring strays[] = {L"", L"./stray.txt", L"stray.txt", L"C:", L".\\bin/app.exe", L"bin/app.exe",
                                   world.Path(L"Public/Documents/important.doc"), world.Path(L"app2/neighbour.txt"),
                                   app + L"/../Public/Documents/up.doc", app + L"/bin/.. /../Public/blank.doc",
                                   app, app + L"/", world.Group() + L"/Road App.lnk"};
    for (const std::wstring& stray : strays)
        write_record_bytes(world, ("file" + std::to_string(files++)).c_str(), utf8_of(stray));
    write_record_bytes(world, "files", std::string(reinterpret_cast<const char*>(&files), 4));
    // A shortcut outside the group, and a product file as a shortcut.
    for (const std::wstring& stray : {world.Path(L"Public/Desktop/other.lnk"), world.App(L"bin/app.exe")})
        write_record_bytes(world, ("shortc" + std::to_string(shortcuts++)).c_str(), utf8_of(stray));
    write_record_bytes(world, "shortc", std::string(reinterpret_cast<const char*>(&shortcuts), 4));
    // Files those paths would name in the current folder and outside.
    TempFolder current(L"uncurrent");
    const wchar_t* kept[] = {L".bkp", L"stray.txt", L"stray.txt.bkp", L"bin/app.exe"};
    CreateDirectoryW(current.Native(L"bin").c_str(), nullptr);
    for (const wchar_t* name : kept)
        ASSERT_TRUE(current.WriteFile(name, "not the product's"));
    const wchar_t* outside[] = {L"Public/Documents/important.doc", L"Public/Documents/up.doc", L"Public/blank.doc",
                                L"app2/neighbour.txt", L"Public/Desktop/other.lnk"};
    for (const wchar_t* name : {L"Public", L"Public/Documents", L"Public/Desktop", L"app2"})
        CreateDirectoryW(windows_path(world.Path(name)).c_str(), nullptr);
    for (const wchar_t* name : outside)
        ASSERT_TRUE(put_file(world.Path(name), "not the product's"));
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(windows_path(current.Path()).c_str());
    ScriptedQuestions questions;
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), UNINSTALL_DAMAGED_RECORD);
    SetCurrentDirectoryW(before);
    for (const wchar_t* name : kept)
        EXPECT_EQ(current.ReadFile(name), "not the product's") << utf8_of(name);
    for (const wchar_t* name : outside)
        EXPECT_EQ(file_bytes(world.Path(name)), "not the product's") << utf8_of(name);
    EXPECT_TRUE(questions.held.empty());
    expect_v1_uninstalled(world);
}

// A recorded install folder that bounds nothing leaves every recorded file
// alone; a record without a group keeps only shortcuts directly in a
// Programs folder: those in a group of their own stay, and the outcome
// tells of them.
TEST(UninstallJob, TheRecordedFoldersBoundWhatGoes)
{
    struct BoundCase {
        const char* what;
        std::function<std::string(const World&)> folder;  // null: the group key goes instead
        uint32_t outcome;
    } cases[] = {
        {"a relative folder", [](const World&) { return std::string("app"); }, UNINSTALL_DAMAGED_RECORD},
        {"a drive's root", [](const World& world) { return utf8_of(world.App().substr(0, 3)); },
         UNINSTALL_DAMAGED_RECORD},
        {"a step up", [](const World& world) { return utf8_of(world.App(L"bin/..")); }, UNINSTALL_DAMAGED_RECORD},
        {"no group recorded", nullptr, UNINSTALL_DAMAGED_RECORD},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unbound");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        ASSERT_EQ(slash_path(wide_of(world.Record()["group"])), world.Group());
        ProductSnapshot installed = v1_snapshot(world);
        if (c.folder) {
            write_record_bytes(world, "path", c.folder(world));
        } else {
            cCIAppConfig store;
            ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
            store.DeleteKey(record_key("group").c_str());
            ASSERT_TRUE(store.Save());
        }
        ScriptedQuestions questions;
        EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), c.outcome);
        ProductSnapshot left = v1_snapshot(world);
        if (c.folder) {
            EXPECT_TRUE(left.files == installed.files) << "every file stays";
        } else {
            EXPECT_FALSE(exists(world.App())) << "the files go";
            EXPECT_TRUE(left.shortcuts == installed.shortcuts) << "the shortcuts stay";
        }
        EXPECT_TRUE(world.Record().empty()) << "the record goes";
    }
}

// A file of the package's other folder whose content changed since it was
// installed stays, and is told of as such, not as damage to the record.
TEST(UninstallJob, AChangedFileIsToldOfAsChanged)
{
    World world(L"unchange");
    ASSERT_EQ(world.Install("beside").exit_code, 0u);
    std::wstring shared = L"C:/users/Public/" + installers().code_name + L"-shared";
    ASSERT_TRUE(put_file(shared + L"/notes/beside.txt", "the user's"));
    ScriptedQuestions questions;
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), UNINSTALL_CHANGED_FILES);
    EXPECT_EQ(file_bytes(shared + L"/notes/beside.txt"), "the user's");
    expect_v1_uninstalled(world);
    DeleteFileW(windows_path(shared + L"/notes/beside.txt").c_str());
    for (const std::wstring& folder : {shared + L"/notes", shared})
        RemoveDirectoryW(windows_path(folder).c_str());
}

TEST(UninstallJob, AFileThatGoesWhileAskedAboutIsNotAskedAgain)
{
    World world(L"unvanish");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::wstring path = world.App(L"bin/core.dll");
    HANDLE held = CreateFileW(windows_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ScriptedQuestions questions;
    questions.release = [&](const wchar_t*) {
        if (questions.held.size() > 1)
            return false;  // asked again: give up
        CloseHandle(held);
        DeleteFileW(windows_path(path).c_str());
        return true;
    };
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), UNINSTALL_DONE);
    EXPECT_EQ(questions.held, std::vector<std::wstring>{path});
    expect_v1_uninstalled(world);
}

// A folder where a file's backup goes: the outcome names it, nothing is
// asked (no retry could move the file), and every file stays.
TEST(UninstallJob, AFolderWhereABackupGoesIsNamedAndTheFilesStay)
{
    World world(L"unfolder");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::wstring folder = world.App(L"docs/read me.txt.bkp");
    ASSERT_TRUE(CreateDirectoryW(windows_path(folder).c_str(), nullptr));
    ProductSnapshot installed = v1_snapshot(world);
    ScriptedQuestions questions;
    std::wstring named;
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions, &named), UNINSTALL_OBJECT_IN_WAY);
    EXPECT_EQ(named, folder);
    EXPECT_TRUE(questions.held.empty());
    EXPECT_TRUE(v1_snapshot(world) == installed) << "the product as it was";
}

TEST(UninstallJob, NamesWithSeparatorsAreNoProduct)
{
    World world(L"unname");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    for (const std::wstring& name : {installers().code_name + L"/ver", installers().code_name + L"\\x",
                                     L"install/" + installers().code_name, std::wstring()}) {
        ScriptedQuestions questions;
        EXPECT_EQ(InWorld(world).Uninstall(name, questions), UNINSTALL_NOT_INSTALLED) << utf8_of(name);
        EXPECT_TRUE(questions.questions.empty() && questions.switched.empty());
    }
    EXPECT_TRUE(v1_snapshot(world) == installed);
}

TEST(UninstallJob, TheInterfaceSpeaksTheRecordedLanguageElseTheChosenOne)
{
    World world(L"unlang");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    struct LanguageCase {
        int recorded;  // -1: the record names none
        uint32_t answer;
        std::vector<uint32_t> proposals, switched;
        bool confirmed;  // the question came, after the language
    } cases[] = {
        {2, 0, {}, {2}, true},
        // French: the program carries no texts of it.
        {5, 1, {5}, {1}, true},
        {-1, 6, {0}, {0, 6}, true},
        {-1, 10, {0}, {0}, false},
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(c.recorded);
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
        if (c.recorded >= 0)
            store.WriteInt16(record_key("lang").c_str(), int16_t(c.recorded));
        else
            store.DeleteKey(record_key("lang").c_str());
        ASSERT_TRUE(store.Save());
        ScriptedQuestions questions;
        questions.language = c.answer;
        questions.yes = false;
        EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, questions), UNINSTALL_CANCELLED);
        EXPECT_EQ(questions.proposals, c.proposals);
        EXPECT_EQ(questions.switched, c.switched);
        EXPECT_EQ(questions.questions, c.confirmed ? std::vector<uint32_t>{3} : std::vector<uint32_t>{});
    }
    expect_installed(world, "v1", "1.0.0.1");
}

TEST(UninstallJob, ARecordThatCannotBeSavedIsReportedAndTheNextRunFinishes)
{
    World world(L"unsave");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    // Open without leave to delete: the store cannot replace the file.
    std::wstring store_file = windows_path(world.CommonStore() + L"/install");
    HANDLE held = CreateFileW(store_file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ScriptedQuestions first;
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, first), UNINSTALL_RECORD_NOT_SAVED);
    CloseHandle(held);
    EXPECT_FALSE(exists(world.App())) << "the files are gone";
    EXPECT_FALSE(world.Record().empty()) << "the record stays for the next run";
    EXPECT_TRUE(entry_exists(installers().code_name)) << "and so does the entry, while the record does";

    ScriptedQuestions second;
    EXPECT_EQ(InWorld(world).Uninstall(installers().code_name, second), UNINSTALL_DONE);
    expect_v1_uninstalled(world);
}

TEST(UninstallJob, AWindowsProgramNamedBareRunsFromTheSystemFolder)
{
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring cmd = L"\"" + std::wstring(system, length) + L"\\cmd.exe\"";
    struct ResolveCase {
        std::wstring command, resolved;
    } cases[] = {
        {L"cmd.exe /c exit 7", cmd + L" /c exit 7"},
        {L"\"cmd.exe\" /c exit 7", cmd + L" /c exit 7"},
        {L"  cmd /c", cmd + L" /c"},
        {L"C:\\elsewhere\\cmd.exe /c", L"C:\\elsewhere\\cmd.exe /c"},
        {L".\\cmd.exe /c", L".\\cmd.exe /c"},
        {L"no-such-program.exe /x", L"no-such-program.exe /x"},
        {L"\"cmd.exe /c", L"\"cmd.exe /c"},
        {L"", L""},
    };
    for (const ResolveCase& c : cases) {
        _guardchar<wchar_t> resolved;
        ASSERT_TRUE(resolve_system_command(c.command.c_str(), resolved));
        EXPECT_EQ(std::wstring(resolved.Text() ? resolved.Text() : L""), c.resolved) << utf8_of(c.command);
    }

    // A planted "cmd.exe" in the current folder, which would answer 0.
    World world(L"unplant");
    std::wstring code = installers().code_name + L"-planted";
    TempFolder planted(L"planted");
    ASSERT_TRUE(CopyFileW(wide_of(test_data_path("timeout_stand_in.exe")).c_str(),
                          windows_path(planted.Path(L"cmd.exe")).c_str(), FALSE));
    add_entry(code, false, KEY_WOW64_64KEY, {{L"MajorVersion", 1}}, {{L"UninstallString", L"cmd.exe /c exit 7"}});
    RedirectedEnv log;
    log.SetPath(L"PELMARO_TEST_STAND_IN_LOG", planted.Path(L"ran.txt"));
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(windows_path(planted.Path()).c_str());
    ScriptedQuestions questions;
    EXPECT_EQ(InWorld(world).Uninstall(code, questions), UNINSTALL_COMMAND_FAILED);
    SetCurrentDirectoryW(before);
    EXPECT_FALSE(exists(planted.Path(L"ran.txt"))) << "the planted program ran";
    delete_entries(code);
}
