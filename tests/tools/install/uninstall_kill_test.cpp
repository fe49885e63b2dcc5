// The uninstall after a kill at any step: the killed run leaves each file
// of the product under its name or under its ".bkp" with its content (or
// gone once the deletions began), and a rerun of pelmarodesk.exe uninstall,
// answered through its form, ends with the product gone and the other
// product as it was. The kills come at the kill points of the program's
// test build.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/tools/install/uninstall_fixture.h"
#include "tools/shell/app_language.h"

using namespace road;

namespace {

const char* const kill_variable = "PELMARO_TEST_KILL_POINT";

// Each of v1's files holds its content under its name or its ".bkp", or,
// once the deletions may have begun, is gone.
void expect_consistent(const World& world, bool deleting)
{
    for (const auto& file : product_files("v1")) {
        std::string content = file_bytes(road_folder() + L"/" + file.second);
        std::string target = file_bytes(world.App(file.first));
        std::string backup = file_bytes(world.App(file.first + L".bkp"));
        bool at_target = target == content, in_backup = backup == content;
        EXPECT_TRUE(at_target || target == "<missing>") << utf8_of(file.first);
        EXPECT_TRUE(in_backup || backup == "<missing>") << utf8_of(file.first);
        EXPECT_TRUE(at_target || in_backup || deleting) << utf8_of(file.first) << ": lost before the deletions";
    }
}

// What runs after the kill: the uninstall again, or, where the product was
// the manager's last, the manager's remover, with administrator rights or
// as a run without them (the test build's stand-in).
enum Rerun { uninstall_again, remover, remover_without_rights };

struct KillCase {
    const char* point;
    bool deleting;                        // the kill may fall after deletions began
    std::vector<const wchar_t*> rerun;    // the rerun's forms, each answered with Enter
    DWORD rerun_exit_code;
    Rerun then = uninstall_again;
};

// Record order of v1: 0 bin/app.exe, 1 bin/core.dll, 2 docs/read me.txt, 3
// the non-ASCII name, 4 old/only/gone.txt (alone in its folders), 5 the
// nested blob, 6 keep/spelled.dll.
const KillCase kill_cases[] = {
    {"uninstall confirmed", false, {confirm_title, information_title}, 0},
    {"uninstall backup:0", false, {confirm_title, information_title}, 0},
    {"uninstall backup:4", false, {confirm_title, information_title}, 0},
    {"uninstall after backup", false, {confirm_title, information_title}, 0},
    {"uninstall delete:0", true, {confirm_title, information_title}, 0},
    {"uninstall delete:4", true, {confirm_title, information_title}, 0},
    {"uninstall shortcuts", true, {confirm_title, information_title}, 0},
    {"uninstall record save", true, {confirm_title, information_title}, 0},
    // The record is gone, the entry of this program's own is left: it is
    // taken off by itself.
    {"uninstall record saved", true, {language_title, information_title}, 1},
    // Nothing is left to find: the product is not installed any more.
    {"uninstall entry", true, {language_title, error_title}, 1},
    // Its entry, which starts the manager, goes with the manager; a run
    // without administrator rights may not take an entry for all users off,
    // and keeps the manager for it, naming it.
    {"uninstall record saved", true, {confirm_title, information_title}, 0, remover},
    {"uninstall record saved", true, {error_title}, 1, remover_without_rights},
};

class UninstallKill : public ::testing::TestWithParam<KillCase> {};

std::string case_name(const ::testing::TestParamInfo<KillCase>& info)
{
    const char* const reruns[] = {"", " then remove", " then remove without rights"};
    std::string name = std::string(info.param.point) + reruns[info.param.then];
    for (char& c : name)
        if (!isalnum(uint8_t(c)))
            c = '_';
    return name;
}

AnsweredRun killed_uninstall(const World& world, const char* point)
{
    return uninstall_in(world, installers().code_name, {yes_to(confirm_title)}, {{wide_of(kill_variable), wide_of(point)}},
                        killable_program());
}

}  // namespace

TEST_P(UninstallKill, TheRerunFinishesTheUninstall)
{
    const KillCase& c = GetParam();
    World world(L"unkill");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    if (c.then == uninstall_again)
        install_other(world);
    ProductSnapshot other = other_snapshot(world);

    AnsweredRun killed = killed_uninstall(world, c.point);
    ASSERT_EQ(killed.run.exit_code, 86u) << "the kill point was reached";
    expect_consistent(world, c.deleting);

    std::vector<FormAnswer> answers;
    for (const wchar_t* title : c.rerun)
        answers.push_back(yes_to(title));
    AnsweredRun rerun;
    if (c.then == uninstall_again) {
        rerun = uninstall_in(world, installers().code_name, answers);
    } else if (c.then == remover) {
        rerun = run_answering(world, L"\"" + pelmarodesk_exe() + L"\" remove", answers);
    } else {
        // The message's size is judged by its English text.
        application_language_provider();
        apply_language(0);
        answers = {naming(error_title, L"pkgm::rem", 12, installers().code_name)};
        rerun = run_answering(world, L"\"" + killable_program() + L"\" remove", answers, standard_user);
    }
    EXPECT_EQ(rerun.met, std::vector<std::wstring>(c.rerun.begin(), c.rerun.end()));
    EXPECT_EQ(rerun.run.exit_code, c.rerun_exit_code);
    if (c.then == remover_without_rights) {
        EXPECT_TRUE(entry_exists(installers().code_name)) << "the entry for all users stays";
        EXPECT_TRUE(world.Record().empty());
    } else {
        expect_v1_uninstalled(world);
    }
    EXPECT_EQ(exists(world.Manager()), c.then != remover) << "the manager goes once no entry starts it";
    EXPECT_EQ(exists(world.ManagerShortcut()), c.then != remover);
    EXPECT_TRUE(other_snapshot(world) == other) << "the other product is untouched";
    delete_entries(other_code());
}

INSTANTIATE_TEST_SUITE_P(Table, UninstallKill, ::testing::ValuesIn(kill_cases), case_name);

// A run cut off after moving the last file of the list aside, then a rerun
// that gives up at an early file held all along: every file is back, also
// the one that only the cut-off run moved, the product exactly as
// installed.
TEST(UninstallKillThenGiveUp, EveryMovedFileComesBack)
{
    World world(L"unkillno");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ProductSnapshot installed = v1_snapshot(world);
    // v1's list: 1 bin/core.dll, 6 keep/spelled.dll (the last).
    std::wstring held_path = world.App(L"bin/core.dll");
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_EQ(killed_uninstall(world, "uninstall backup:6").run.exit_code, 86u);

    AnsweredRun refused = uninstall_in(world, installers().code_name,
                                       {yes_to(confirm_title), no_to(confirm_title), yes_to(information_title)});
    CloseHandle(held);
    EXPECT_EQ(refused.met, titles({confirm_title, confirm_title, information_title}));
    EXPECT_EQ(refused.run.exit_code, 1u);
    EXPECT_TRUE(v1_snapshot(world) == installed) << "the product is exactly as installed";
}

// An installation cut off before its record, then the uninstall with no
// rerun between: it undoes the cut-off run first, so that nothing of it is
// left when it says the product is gone (a group made just before the
// kill neither), and the manager's shortcut stays with the manager. After
// an update, the recorded v1 goes too; after a first installation, which
// left no record, the undo is all there is, and the message says an
// interrupted installation was taken off.
TEST(UninstallAfterAKilledInstallation, NothingOfItIsLeft)
{
    // v2's list: 5 bin/plugins/new.dll and 6 data/big.bin are its own, in
    // folders of their own; its shortcut "Road Docs" is its own too.
    for (const char* first : {"v1", static_cast<const char*>(nullptr)})
        for (const char* point :
             {"unpack:6", "apply:6", "shortcut group:0", "shortcut:1", "manager shortcut placed", "record save"}) {
            SCOPED_TRACE(std::string(first ? "update, " : "first installation, ") + point);
            World world(L"unkilledupdate");
            if (first) {
                ASSERT_EQ(world.Install(first).exit_code, 0u);
            }
            const char* killed = first ? "v2" : "v1";
            ASSERT_EQ(world.Install(killed, {{wide_of(kill_variable), wide_of(point)}}).exit_code, 86u);
            // Without a record to take, the language is asked first.
            std::vector<FormAnswer> answers = {yes_to(confirm_title), yes_to(information_title)};
            if (!first)
                answers.insert(answers.begin(), yes_to(language_title));
            AnsweredRun run = uninstall_in(world, installers().code_name, answers);
            EXPECT_EQ(run.met.size(), answers.size());
            EXPECT_EQ(run.met.back(), information_title);
            EXPECT_EQ(run.run.exit_code, 0u);
            expect_v1_uninstalled(world);
            EXPECT_EQ(exists(world.ManagerShortcut()), exists(world.Manager()));
        }
}

// A file of the user's where a first installation writes one of the same
// content (which the installation takes in as the product's): the cut-off
// run put it aside or not yet, and the uninstall that undoes the run puts
// it back, never deletes it. An empty Start-menu group of the product's
// name that stood there stays too.
TEST(UninstallAfterAKilledInstallation, AFileThatStoodThereStays)
{
    std::wstring core = L"bin/core.dll";
    std::string content = file_bytes(road_folder() + L"/" + product_files("v1")[core]);
    for (const char* point : {"unpack:6", "after backup", "apply:6", "shortcut group:0"}) {
        SCOPED_TRACE(point);
        World world(L"unkilledstood");
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.Group()).c_str(), nullptr));
        CreateDirectoryW(windows_path(world.App()).c_str(), nullptr);
        CreateDirectoryW(windows_path(world.App(L"bin")).c_str(), nullptr);
        ASSERT_TRUE(put_file(world.App(core), content));
        ASSERT_EQ(world.Install("v1", {{wide_of(kill_variable), wide_of(point)}}).exit_code, 86u);
        AnsweredRun run = uninstall_in(world, installers().code_name,
                                       {yes_to(language_title), yes_to(confirm_title), yes_to(information_title)});
        EXPECT_EQ(run.met, titles({language_title, confirm_title, information_title}));
        EXPECT_EQ(run.run.exit_code, 0u);
        std::set<std::wstring> left;
        list_files(world.App(), L"", left);
        EXPECT_EQ(left, std::set<std::wstring>{core}) << "only the user's file";
        EXPECT_TRUE(file_bytes(world.App(core)) == content);
        EXPECT_TRUE(exists(world.Group())) << "the group that stood there";
        for (bool common : {true, false})
            EXPECT_TRUE(world.Journal(common).empty());
    }
}

// A file the cut-off run added, or a temporary file it left beside a
// target, held open by another program: the undo cannot take it back, and
// once the user gives up neither the installer nor the uninstall goes on,
// nor drops the journal; with the file let go, the rerun completes. Of a
// first installation, the uninstall does not say it was taken off.
TEST(UninstallAfterAKilledInstallation, AFileTheUndoCannotTakeBackStopsTheRun)
{
    struct HeldCase {
        const char* first;     // installed before; null: the killed run is a first installation
        const char* killed;    // cut off at point, then installed again
        const char* point;
        const wchar_t* added;  // a file it added, held
        const char* version;
    } cases[] = {
        {"v1", "v2", "apply:6", L"bin/plugins/new.dll", "1.1"},
        {nullptr, "v1", "apply:6", L"bin/core.dll", "1.0.0.1"},
        {nullptr, "v1", "unpack:6", L"bin/core.dll.tmp", "1.0.0.1"},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(utf8_of(c.added));
        World world(L"unkilledheld");
        if (c.first) {
            ASSERT_EQ(world.Install(c.first).exit_code, 0u);
        }
        ASSERT_EQ(world.Install(c.killed, {{wide_of(kill_variable), wide_of(c.point)}}).exit_code, 86u);
        std::map<std::string, std::string> journal = world.Journal(true), record = world.Record();
        ASSERT_FALSE(journal.empty());
        HANDLE held = CreateFileW(windows_path(world.App(c.added)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        RunResult installed = world.Install(c.killed);
        // Without a record to take, the language is asked first.
        std::vector<FormAnswer> answers = {yes_to(confirm_title), no_to(confirm_title), yes_to(information_title)};
        if (!c.first)
            answers.insert(answers.begin(), yes_to(language_title));
        AnsweredRun uninstalled = uninstall_in(world, installers().code_name, answers);
        CloseHandle(held);
        EXPECT_EQ(installed.exit_code, 50u + 15) << installed.output;
        std::vector<std::wstring> asked;
        for (const FormAnswer& answer : answers)
            asked.push_back(answer.title);
        EXPECT_EQ(uninstalled.met, asked);
        EXPECT_EQ(uninstalled.run.exit_code, 1u);
        EXPECT_EQ(world.Journal(true), journal) << "the journal stays for the next run";
        EXPECT_EQ(world.Record(), record) << "the recorded installation, or none, stays";
        RunResult rerun = world.Install(c.killed);
        EXPECT_EQ(rerun.exit_code, 0u) << rerun.output;
        expect_installed(world, c.killed, c.version);
    }
}
