// pelmarodesk.exe uninstall <code name> end to end: products installed by
// the real installers, or entries another program wrote, taken off by the
// program with its questions answered by real key presses.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwctype>
#include <functional>
#include <string>

#include "base/ci_app_config.h"
#include "tests/support/child_process.h"
#include "tests/tools/install/uninstall_fixture.h"
#include "tools/shell/app_language.h"

using namespace road;

// Answers whether the child has a console window of its own: 5 when it has.
CHILD_MODE(console_window)
{
    return GetConsoleWindow() ? 5 : 0;
}

// An uninstaller that tells how it ended: "PATH MODE ARGS..." runs the
// child mode on this process's standard handles and console, waits for its
// end and, as its last act, writes the file PATH holding "ended <its exit
// code>"; exits with that code. One cut off or ended from outside writes
// nothing.
CHILD_MODE(telling_end)
{
    std::wstring what;
    for (size_t i = 1; i < arguments.size(); ++i)
        what += (i > 1 ? L" " : L"") + arguments[i];
    std::wstring command = child_command(what);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (arguments.empty() ||
        !CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return 98;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 98;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    write_child_file(arguments[0], "ended " + std::to_string(code));
    return code;
}

TEST(UninstallRoad, ARecordedProductGoesAndAnotherStays)
{
    World world(L"unroad");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    install_other(world);
    ProductSnapshot other = other_snapshot(world);
    ASSERT_FALSE(other.files.empty());
    std::string manager = file_bytes(world.Manager());

    FormAnswer confirmed = {confirm_title, VK_RETURN, [](HWND form) { keep_form_picture(form, "uninstall_confirm"); }};
    AnsweredRun run = uninstall_in(world, installers().code_name, {confirmed, yes_to(information_title)});
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
    EXPECT_TRUE(other_snapshot(world) == other) << "the other product is untouched";
    EXPECT_TRUE(file_bytes(world.Manager()) == manager) << "the manager stays";
    delete_entries(other_code());
}

// The product is named as Windows names its entry: in any letter case,
// and never with a blank at either end, which Windows' entry would drop,
// nor by a longer name that begins alike.
TEST(UninstallRoad, TheCodeNameIsTakenAsWindowsTakesItsEntrys)
{
    World world(L"unspell");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    std::wstring code = installers().code_name, capitals = code;
    for (wchar_t& c : capitals)
        c = wchar_t(towupper(c));
    struct NameCase {
        std::wstring name;
        std::vector<const wchar_t*> forms;  // met in this order, each answered with Enter
    } cases[] = {
        // Refused as no product, which stays as it is.
        {L" " + code, {error_title}},
        {code + L" ", {error_title}},
        {L"\t" + code, {error_title}},
        // A product of no record: its language is asked for first.
        {code + L"x", {language_title, error_title}},
        // The last one goes.
        {capitals, {confirm_title, information_title}},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(utf8_of(c.name));
        bool goes = c.name == capitals;
        std::vector<FormAnswer> answers;
        for (const wchar_t* title : c.forms)
            answers.push_back(yes_to(title));
        AnsweredRun run = uninstall_in(world, c.name, answers);
        EXPECT_EQ(run.met, std::vector<std::wstring>(c.forms.begin(), c.forms.end()));
        EXPECT_EQ(run.run.exit_code, goes ? 0u : 1u);
        if (!goes) {
            EXPECT_TRUE(v1_snapshot(world) == installed) << "the product stays as installed";
        }
    }
    expect_v1_uninstalled(world);
}

TEST(UninstallRoad, AHeldFileIsAskedForNoPutsAllBackYesAfterItsReleaseFinishes)
{
    World world(L"unheld");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    // The fourth file in record order: every other file is moved aside
    // before the question, and No must bring back those after it too.
    std::wstring held_path = world.App(L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt");
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    AnsweredRun refused = uninstall_in(
        world, installers().code_name, {yes_to(confirm_title), no_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(refused.met, titles({confirm_title, confirm_title, information_title}));
    EXPECT_EQ(refused.run.exit_code, 1u);
    EXPECT_TRUE(v1_snapshot(world) == installed) << "No leaves the product exactly as installed";

    FormAnswer release_then_yes = {confirm_title, VK_RETURN, [&](HWND) { CloseHandle(held); }};
    AnsweredRun retried = uninstall_in(world, installers().code_name,
                                       {yes_to(confirm_title), release_then_yes, yes_to(information_title)});
    EXPECT_EQ(retried.met, titles({confirm_title, confirm_title, information_title}));
    EXPECT_EQ(retried.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}

namespace {

// An entry of another program in the 64-bit view for all users, with only
// a major version, and its uninstall command when given.
void add_foreign_entry(const std::wstring& code, const std::wstring& command, DWORD major = 2)
{
    std::map<std::wstring, std::wstring> texts;
    if (!command.empty())
        texts[L"UninstallString"] = command;
    add_entry(code, false, KEY_WOW64_64KEY, {{L"MajorVersion", major}}, texts);
}

}  // namespace

TEST(UninstallRoad, AnotherProductRunsItsOwnUninstallerToItsEnd)
{
    // The product has no record: the language question comes first. Each
    // uninstaller that starts tells how it ended (telling_end): by the time
    // the message is up it ran to its end and ended by itself, neither stuck
    // on its output or input nor ended from outside.
    World world(L"unforeign");
    std::wstring told = world.Path(L"uninstaller-end");
    auto telling = [&](const std::wstring& what) {
        return child_command(L"telling_end \"" + windows_path(told) + L"\" " + what);
    };
    struct ForeignCase {
        const char* what;
        std::wstring command;
        const wchar_t* message;
        DWORD exit_code;
        const char* end;  // what the uninstaller told of its end
    } cases[] = {
        {"exit 0", telling(L"silent 0"), information_title, 0, "ended 0"},
        {"exit 3", telling(L"silent 3"), error_title, 1, "ended 3"},
        {"cannot start", L"\"C:\\no such folder\\uninstall.exe\" /x", error_title, 1, "<missing>"},
        {"100 KB of output", telling(L"chatty 102400 0"), information_title, 0, "ended 0"},
        {"reads its input", telling(L"echo"), information_title, 0, "ended 0"},
        // No console window comes up that would show nothing and take the focus.
        {"a console program", telling(L"console_window"), information_title, 0, "ended 0"},
    };
    std::wstring code = installers().code_name + L"-foreign";
    for (const ForeignCase& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileW(windows_path(told).c_str());
        add_foreign_entry(code, c.command);
        FormAnswer language = {language_title, VK_RETURN,
                               [](HWND form) { keep_form_picture(form, "uninstall_language"); }};
        // The message comes up in front, where the user's keys go, once
        // the uninstaller has ended.
        bool in_front = false;
        std::string end;
        FormAnswer message = {c.message, VK_RETURN, [&](HWND form) {
                                  end = file_bytes(told);
                                  in_front = comes_to_front(form);
                              }};
        AnsweredRun run = uninstall_in(world, code, {language, message});
        EXPECT_EQ(run.met, titles({language_title, c.message}));
        EXPECT_TRUE(in_front);
        EXPECT_EQ(run.run.exit_code, c.exit_code);
        EXPECT_EQ(end, c.end);
        delete_entries(code);
    }
}

TEST(UninstallRoad, AnEntryWithoutCommandIsDeletedWhenTheUserSaysSo)
{
    World world(L"unentry");
    std::wstring code = installers().code_name + L"-bare";
    add_foreign_entry(code, L"");
    AnsweredRun kept = uninstall_in(world, code, {yes_to(language_title), no_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(kept.met, titles({language_title, confirm_title, information_title}));
    EXPECT_EQ(kept.run.exit_code, 1u);
    EXPECT_TRUE(entry_exists(code));
    AnsweredRun deleted =
        uninstall_in(world, code, {yes_to(language_title), yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(deleted.met, titles({language_title, confirm_title, information_title}));
    EXPECT_EQ(deleted.run.exit_code, 0u);
    EXPECT_FALSE(entry_exists(code));

    // Version 0.0 and no command: not installed.
    add_foreign_entry(code, L"", 0);
    AnsweredRun none = uninstall_in(world, code, {yes_to(language_title), yes_to(error_title)});
    EXPECT_EQ(none.met, titles({language_title, error_title}));
    EXPECT_EQ(none.run.exit_code, 1u);
    delete_entries(code);
}

TEST(UninstallRoad, ThisProgramsOwnCommandOnlyDeletesTheEntry)
{
    World world(L"unown");
    std::wstring code = installers().code_name + L"-own";
    // The manager at its place in the world, which is not installed: were
    // it run, nothing would start, and the message would be an error.
    std::wstring manager = L"\"" + windows_path(world.Manager()) + L"\" uninstall ";
    add_foreign_entry(code, manager + L"\"" + code + L"\"");
    AnsweredRun own = uninstall_in(world, code, {yes_to(language_title), yes_to(information_title)});
    EXPECT_EQ(own.met, titles({language_title, information_title}));
    EXPECT_EQ(own.run.exit_code, 1u) << "de-registered only";
    EXPECT_FALSE(entry_exists(code));

    // The same command for another product is that product's uninstaller.
    add_foreign_entry(code, manager + L"\"" + code + L"-else\"");
    AnsweredRun other = uninstall_in(world, code, {yes_to(language_title), yes_to(error_title)});
    EXPECT_EQ(other.met, titles({language_title, error_title}));
    EXPECT_TRUE(entry_exists(code));
    delete_entries(code);
}

TEST(UninstallRoad, AnotherProgramsEntryUnderTheNameOutlivesTheUninstall)
{
    std::wstring code = installers().code_name;
    // Another program has since put its own entry under the product's name,
    // in the place of the product's or beside it in the 32-bit view: the
    // product goes, that entry is not the uninstall's to delete.
    struct ForeignCase {
        const char* what;
        REGSAM view;
        std::wstring command;
    } cases[] = {
        {"another program's", KEY_WOW64_64KEY, L"\"C:\\Other\\uninstall.exe\" /x"},
        {"a program of the manager's name in another folder", KEY_WOW64_32KEY,
         L"\"C:\\Foreign\\pelmarodesk.exe\" uninstall \"" + code + L"\""},
    };
    for (const ForeignCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"untaken");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        if (c.view == KEY_WOW64_64KEY)
            delete_entries(code);
        std::map<std::string, std::string> own = v1_snapshot(world).entries;
        add_entry(code, false, c.view, {{L"MajorVersion", 4}},
                  {{L"UninstallString", c.command}, {L"DisplayName", L"Other Program"}});
        std::map<std::string, std::string> foreign;
        for (const auto& value : v1_snapshot(world).entries)
            if (!own.count(value.first))
                foreign.insert(value);
        ASSERT_FALSE(foreign.empty());

        AnsweredRun run = uninstall_in(world, code, {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(run.met, titles({confirm_title, information_title}));
        EXPECT_EQ(run.run.exit_code, 0u);
        EXPECT_FALSE(exists(world.App())) << "the product's files are gone";
        EXPECT_TRUE(world.Record().empty()) << "and its record";
        EXPECT_TRUE(v1_snapshot(world).entries == foreign) << "only the other program's entry is left, as it was";
        delete_entries(code);
    }
}

// A run without administrator rights records the product for this user
// only, and the uninstall of such a run takes it. A run with those rights
// says so and leaves the product, as does a run without them while its
// per-user store cannot serve (a file where its side folder belongs), which
// names the place before its first question.
TEST(UninstallRoad, APerUserProductGoesFromTheUserStoreAndHive)
{
    application_language_provider();
    apply_language(0);
    World world(L"unuser");
    ASSERT_EQ(world.Install("v1", standard_user).exit_code, 0u);
    ASSERT_FALSE(world.Record(false).empty());
    bool found = false;
    world.Entry(true, &found);
    ASSERT_TRUE(found);

    ProductSnapshot installed = v1_snapshot(world);
    AnsweredRun refused = uninstall_in(world, installers().code_name,
                                       {naming(error_title, L"pkgm::unin", 16, world.UserStore() + L"/install")},
                                       no_variables, killable_program());
    EXPECT_EQ(refused.met, titles({error_title})) << "refused before its first question";
    EXPECT_EQ(refused.run.exit_code, 1u);
    EXPECT_TRUE(v1_snapshot(world) == installed) << "the product as it was";

    std::wstring side = world.UserStore() + L"/~save";
    ASSERT_TRUE(remove_folder_of_files(side));
    ASSERT_TRUE(put_file(side, "x"));
    AnsweredRun stopped = uninstall_in(world, installers().code_name,
                                       {naming_fault(error_title, L"pkgm::unin", 15, user_place, side)}, standard_user,
                                       killable_program());
    EXPECT_EQ(stopped.met, titles({error_title}));
    EXPECT_EQ(stopped.run.exit_code, 1u);
    EXPECT_TRUE(v1_snapshot(world) == installed) << "the product as it was";
    ASSERT_TRUE(DeleteFileW(windows_path(side).c_str()));

    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)},
                                   standard_user, killable_program());
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}

// A product installed for all users is left to an administrator by a run
// without administrator rights, which reads that store but may not change
// it: its uninstall and the installer of a newer version stop before their
// first question, naming the common store's file, and the product, its
// record and its entry stay as they were; an administrator's uninstall then
// takes it.
TEST(UninstallRoad, AnAllUsersProductIsLeftToAnAdministrator)
{
    application_language_provider();
    apply_language(0);
    World world(L"unall");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    std::wstring records = world.CommonStore() + L"/install";
    AnsweredRun refused = uninstall_in(world, installers().code_name, {naming(error_title, L"pkgm::unin", 20, records)},
                                       standard_user, killable_program());
    EXPECT_EQ(refused.met, titles({error_title})) << "refused before its first question";
    EXPECT_EQ(refused.run.exit_code, 1u);
    RunResult update = world.Install("v2", standard_user);
    EXPECT_EQ(update.exit_code, 50 + 22u) << update.output;
    EXPECT_EQ(_wcsicmp(init_error_path(update.output, 22).c_str(), records.c_str()), 0) << update.output;
    EXPECT_TRUE(v1_snapshot(world) == installed) << "the product as it was";
    EXPECT_TRUE(world.Record(false).empty()) << "nothing recorded for the user";

    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}

TEST(UninstallRoad, ARecordThatCannotBeSavedIsReportedAndTheNextRunFinishes)
{
    World world(L"unsaveui");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    // Open without leave to delete: the store cannot replace the file.
    HANDLE held = CreateFileW(windows_path(world.CommonStore() + L"/install").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    FormAnswer reported = {error_title, VK_RETURN, [](HWND form) { keep_form_picture(form, "uninstall_incomplete"); }};
    AnsweredRun first = uninstall_in(world, installers().code_name, {yes_to(confirm_title), reported});
    CloseHandle(held);
    EXPECT_EQ(first.met, titles({confirm_title, error_title}));
    EXPECT_EQ(first.run.exit_code, 1u);
    EXPECT_FALSE(world.Record().empty());
    AnsweredRun second = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(second.met, titles({confirm_title, information_title}));
    EXPECT_EQ(second.run.exit_code, 0u);
    expect_v1_uninstalled(world);
}

// A damaged record that names a document of the user's: the document and
// its folder stay, the rest of the product goes, and the message tells of
// the damage.
TEST(UninstallRoad, ARecordNamingAFileOutsideTheProductLeavesItAndSaysSo)
{
    World world(L"unoutside");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    for (const wchar_t* folder : {L"Public", L"Public/Documents"})
        CreateDirectoryW(windows_path(world.Path(folder)).c_str(), nullptr);
    std::wstring document = world.Path(L"Public/Documents/important.doc");
    ASSERT_TRUE(put_file(document, "the user's"));
    {
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
        std::string prefix = "install/" + utf8_of(installers().code_name) + "/";
        int64_t count = 0;
        ASSERT_TRUE(store.ReadInt64((prefix + "files").c_str(), count));
        store.WriteString((prefix + "file" + std::to_string(count)).c_str(), document.c_str(), -1);
        store.WriteInt32((prefix + "files").c_str(), int32_t(count + 1));
        ASSERT_TRUE(store.Save());
    }
    FormAnswer reported = {error_title, VK_RETURN, [](HWND form) { keep_form_picture(form, "uninstall_outside"); }};
    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), reported});
    EXPECT_EQ(run.met, titles({confirm_title, error_title}));
    EXPECT_EQ(run.run.exit_code, 1u);
    EXPECT_EQ(file_bytes(document), "the user's");
    expect_v1_uninstalled(world);
}

// A product with a file in a folder its package names beside the install
// folder: its update and its uninstall take that file as the product's.
TEST(UninstallRoad, AFileInAnotherFolderOfThePackageIsTheProducts)
{
    World world(L"unbeside");
    std::wstring shared = L"C:/users/Public/" + installers().code_name + L"-shared";
    std::wstring notes = shared + L"/notes/beside.txt";
    std::string source = file_bytes(road_folder() + L"/src/beside/elsewhere/notes/beside.txt");
    ASSERT_EQ(world.Install("beside").exit_code, 0u);
    ASSERT_EQ(file_bytes(notes), source);
    put_file(notes, "changed");
    EXPECT_EQ(world.Install("beside").exit_code, 0u) << "the update takes the record as sound";
    EXPECT_EQ(file_bytes(notes), source);

    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    EXPECT_FALSE(exists(notes));
    expect_v1_uninstalled(world);
    RemoveDirectoryW(windows_path(shared + L"/notes").c_str());
    RemoveDirectoryW(windows_path(shared).c_str());
}

// A file of the package's other folder whose content is no longer what
// the installation put there (the record keeps its digest) is not taken as
// the product's: it stays, the rest goes, and the message tells of it.
TEST(UninstallRoad, AChangedFileInAnotherFolderOfThePackageStays)
{
    World world(L"unchanged");
    std::wstring shared = L"C:/users/Public/" + installers().code_name + L"-shared";
    std::wstring notes = shared + L"/notes/beside.txt";
    ASSERT_EQ(world.Install("beside").exit_code, 0u);
    ASSERT_TRUE(put_file(notes, "the user's"));
    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(error_title)});
    EXPECT_EQ(run.met, titles({confirm_title, error_title}));
    EXPECT_EQ(run.run.exit_code, 1u);
    EXPECT_EQ(file_bytes(notes), "the user's");
    EXPECT_FALSE(exists(notes + L".bkp"));
    expect_v1_uninstalled(world);
    DeleteFileW(windows_path(notes).c_str());
    RemoveDirectoryW(windows_path(shared + L"/notes").c_str());
    RemoveDirectoryW(windows_path(shared).c_str());
}

// The uninstall removes the folders the installations made within the
// install folder, the install folder itself included, and no other: the
// folder a default "Vendor/Product" install folder makes above it stays, as
// does the empty folder the user made to install into. A record from
// before the made folders were listed loses the same. The Start-menu group
// goes also when its shortcuts went before.
TEST(UninstallRoad, TheFoldersTheInstallationsMadeGoAndTheUsersStay)
{
    struct PruneCase {
        const char* what;
        std::function<void(World&)> after_install;
    } cases[] = {
        {"a first installation", [](World&) {}},
        {"updated, which makes a folder more", [](World& world) { ASSERT_EQ(world.Install("v2").exit_code, 0u); }},
        {"the shortcuts deleted by the user",
         [](World& world) {
             std::set<std::wstring> shortcuts;
             list_files(world.Group(), L"", shortcuts);
             ASSERT_FALSE(shortcuts.empty());
             for (const std::wstring& name : shortcuts)
                 ASSERT_TRUE(DeleteFileW(windows_path(world.Group() + L"/" + name).c_str()));
         }},
        {"a record without the list",
         [](World& world) {
             cCIAppConfig store;
             ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
             store.DeleteKey(("install/" + utf8_of(installers().code_name) + "/folders").c_str());
             ASSERT_TRUE(store.Save());
         }},
    };
    for (const PruneCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unprune");
        std::wstring mine = world.Path(L"mine"), vendor = mine + L"/Vendor", product = vendor + L"/Product";
        ASSERT_TRUE(CreateDirectoryW(windows_path(mine).c_str(), nullptr));
        RunResult installed = world.Install("v1", {{L"PELMARO_TEST_FOLDER", windows_path(product)}});
        ASSERT_EQ(installed.exit_code, 0u) << installed.output;
        c.after_install(world);
        AnsweredRun run =
            uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(run.met, titles({confirm_title, information_title}));
        EXPECT_EQ(run.run.exit_code, 0u);
        expect_uninstalled(world, installers().code_name, product, world.Group());
        EXPECT_TRUE(exists(mine)) << "the user's folder stays";
        EXPECT_TRUE(exists(vendor)) << "the folder above the install folder stays";
    }
}

// An empty folder the user chose to install into was not made by the
// installation: its uninstall leaves it, empty.
TEST(UninstallRoad, TheEmptyFolderTheUserChoseStays)
{
    World world(L"unchosen");
    std::wstring chosen = world.Path(L"chosen");
    ASSERT_TRUE(CreateDirectoryW(windows_path(chosen).c_str(), nullptr));
    RunResult installed = world.Install("v1", {{L"PELMARO_TEST_FOLDER", windows_path(chosen)}});
    ASSERT_EQ(installed.exit_code, 0u) << installed.output;
    AnsweredRun run = uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
    EXPECT_EQ(run.met, titles({confirm_title, information_title}));
    EXPECT_EQ(run.run.exit_code, 0u);
    EXPECT_TRUE(exists(chosen)) << "the chosen folder stays";
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((windows_path(chosen) + L"\\*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        std::wstring name = entry.cFileName;
        EXPECT_TRUE(name == L"." || name == L"..") << "left in it: " << utf8_of(name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_FALSE(exists(world.Group()));
}

// An installation cut off after making its folders, before its record, and
// run again to its end: its uninstall takes those folders too, and leaves
// the ones that were there before (the install folder and one inside it,
// which the user made).
TEST(UninstallRoad, TheFoldersAKilledRunMadeGoWithTheProduct)
{
    struct KilledCase {
        const char* what;
        const char* installed;  // before the killed run; null: none
        const char* killed;
        const wchar_t* point;
    } cases[] = {
        {"a first installation", nullptr, "v1", L"after backup"},
        {"an update", "v1", "v2", L"backup:0"},
    };
    for (const KilledCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unkilled");
        std::wstring users = world.App(L"docs");
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.App()).c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(windows_path(users).c_str(), nullptr));
        if (c.installed) {
            ASSERT_EQ(world.Install(c.installed).exit_code, 0u);
        }
        ASSERT_EQ(world.Install(c.killed, {{L"PELMARO_TEST_KILL_POINT", c.point}}).exit_code, 86u);
        RunResult rerun = world.Install(c.killed);
        ASSERT_EQ(rerun.exit_code, 0u) << rerun.output;
        AnsweredRun run =
            uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(run.run.exit_code, 0u);
        std::set<std::wstring> files, folders;
        list_files(world.App(), L"", files, &folders);
        EXPECT_TRUE(files.empty());
        EXPECT_EQ(folders, std::set<std::wstring>{users}) << "only the user's folders stay";
    }
}

// A backup, a shortcut or the Windows entry that cannot be deleted, a
// folder where a file's backup goes, or a record whose deletion cannot be
// saved (another program takes its file, or a folder comes where its new
// content goes, while the question is asked) ends the uninstall unfinished:
// the Windows entry stays, so that Windows lists what the manager does, and
// the record stays with it, but after the entry was the one thing left; the
// next run, once the hold is gone, finishes.
TEST(UninstallRoad, WhatCannotBeDeletedKeepsTheRecordForTheNextRun)
{
    // Each takes its hold and gives back what lets it go.
    struct HoldCase {
        const char* what;
        std::function<std::function<void()>(World&)> hold;
        bool at_question = false;  // taken while the question is asked, after the store was found sound
        // The message that ends the run, checked; else any error message.
        std::function<FormAnswer(const World&)> told = nullptr;
        bool record_kept = true;
    } cases[] = {
        {"the record's file held by another program",
         [](World& world) -> std::function<void()> {
             HANDLE held = CreateFileW(windows_path(world.CommonStore() + L"/install").c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(held, INVALID_HANDLE_VALUE);
             return [held] { CloseHandle(held); };
         },
         true,
         [](const World& world) {
             return naming_fault(error_title, L"pkgm::unin", 19, held_store_file, world.CommonStore() + L"/install");
         }},
        {"a folder where the record's new content goes",
         [](World& world) -> std::function<void()> {
             std::wstring folder = windows_path(world.CommonStore() + L"/~save/install.new");
             EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
             return [folder] { RemoveDirectoryW(folder.c_str()); };
         },
         true,
         [](const World& world) {
             return naming_fault(error_title, L"pkgm::unin", 19, common_place,
                                 world.CommonStore() + L"/~save/install.new");
         }},
        {"a backup an earlier run left, held open",
         [](World& world) -> std::function<void()> {
             // An uninstall cut off after moving the file aside leaves it so.
             std::wstring backup = windows_path(world.App(L"bin/core.dll.bkp"));
             EXPECT_TRUE(MoveFileW(windows_path(world.App(L"bin/core.dll")).c_str(), backup.c_str()));
             HANDLE held = CreateFileW(backup.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                       nullptr);
             EXPECT_NE(held, INVALID_HANDLE_VALUE);
             return [held] { CloseHandle(held); };
         }},
        {"a shortcut held open",
         [](World& world) -> std::function<void()> {
             std::set<std::wstring> shortcuts;
             list_files(world.Group(), L"", shortcuts);
             EXPECT_FALSE(shortcuts.empty());
             HANDLE held = CreateFileW(windows_path(world.Group() + L"/" + *shortcuts.begin()).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
             EXPECT_NE(held, INVALID_HANDLE_VALUE);
             return [held] { CloseHandle(held); };
         }},
        // Windows refuses to delete a key that has keys inside; an open
        // handle alone does not stop a deletion, and Wine keeps no access
        // lists on keys, so a key another program put into the entry holds it.
        {"the entry holding another program's key",
         [](World&) -> std::function<void()> {
             std::wstring inside = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                   installers().code_name + L"\\Another";
             HKEY key = nullptr;
             EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, inside.c_str(), 0, nullptr, 0,
                                       KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
                       ERROR_SUCCESS);
             RegCloseKey(key);
             return [inside] { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, inside.c_str(), KEY_WOW64_64KEY, 0); };
         },
         false, nullptr, false},
        // No retry could move the file aside: nothing is asked.
        {"a folder where a file's backup goes",
         [](World& world) -> std::function<void()> {
             std::wstring folder = windows_path(world.App(L"docs/read me.txt.bkp"));
             EXPECT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
             return [folder] { RemoveDirectoryW(folder.c_str()); };
         }},
    };
    for (const HoldCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unhold");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        std::function<void()> release = [] {};
        FormAnswer question = yes_to(confirm_title);
        if (c.at_question)
            question.first = [&](HWND) { release = c.hold(world); };
        else
            release = c.hold(world);
        AnsweredRun held = uninstall_in(world, installers().code_name,
                                        {question, c.told ? c.told(world) : yes_to(error_title)}, no_variables,
                                        killable_program());
        bool entry_kept = entry_exists(installers().code_name);
        release();
        EXPECT_EQ(held.met, titles({confirm_title, error_title}));
        EXPECT_EQ(held.run.exit_code, 1u);
        EXPECT_TRUE(entry_kept) << "the entry stays";
        EXPECT_EQ(!world.Record().empty(), c.record_kept) << "the record stays with it";
        // Without its record, an entry of this program's own is taken off
        // by itself (its language asked, as no record names one).
        const wchar_t* first = c.record_kept ? confirm_title : language_title;
        AnsweredRun finished = uninstall_in(world, installers().code_name, {yes_to(first), yes_to(information_title)});
        EXPECT_EQ(finished.met, titles({first, information_title}));
        EXPECT_EQ(finished.run.exit_code, c.record_kept ? 0u : 1u);
        expect_v1_uninstalled(world);
    }
}

// Product files and backups with the read-only attribute (the user's, a
// copy's off a CD, or an earlier run's) go in one run, by the uninstall and
// by the update to v2 (which changes bin/app.exe, keeps the other two files
// as they are and drops old/only/gone.txt: install_payloads.py).
TEST(UninstallRoad, ReadOnlyFilesGoInOneRun)
{
    struct ReadOnlyCase {
        const char* what;
        std::function<void(World&)> road;
    } cases[] = {
        {"the uninstall",
         [](World& world) {
             AnsweredRun run =
                 uninstall_in(world, installers().code_name, {yes_to(confirm_title), yes_to(information_title)});
             EXPECT_EQ(run.met, titles({confirm_title, information_title}));
             EXPECT_EQ(run.run.exit_code, 0u);
             expect_v1_uninstalled(world);
         }},
        {"the update",
         [](World& world) {
             EXPECT_EQ(world.Install("v2").exit_code, 0u);
             expect_installed(world, "v2", "1.1");
         }},
    };
    for (const ReadOnlyCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"unreadonly");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        auto native = [&](const wchar_t* file) { return windows_path(world.App(file)); };
        // A run cut off after moving one file aside, and a stale backup
        // beside another file.
        ASSERT_TRUE(MoveFileW(native(L"bin/app.exe").c_str(), native(L"bin/app.exe.bkp").c_str()));
        ASSERT_TRUE(CopyFileW(native(L"bin/core.dll").c_str(), native(L"bin/core.dll.bkp").c_str(), TRUE));
        for (const wchar_t* file : {L"bin/app.exe.bkp", L"bin/core.dll.bkp", L"docs/read me.txt", L"old/only/gone.txt"})
            ASSERT_TRUE(SetFileAttributesW(native(file).c_str(), FILE_ATTRIBUTE_READONLY));
        c.road(world);
    }
}
