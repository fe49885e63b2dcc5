#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "base/ci_app_config.h"
#include "tests/support/wine_drives.h"
#include "tests/tools/install/road_fixture.h"

using namespace road;

namespace {

FILETIME last_write(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(windows_path(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

bool same_time(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Rewrites the record's spelling of one file in the common store, as an
// older program may have written it.
void respell_recorded_file(const World& world, const std::wstring& from, const std::wstring& to)
{
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    std::string prefix = "install/" + utf8_of(installers().code_name) + "/file";
    for (int i = 0;; ++i) {
        std::string key = prefix + std::to_string(i);
        _guardchar<wchar_t> path;
        ASSERT_TRUE(store.ReadString(key.c_str(), path));
        if (std::wstring(path.Text()) == from) {
            store.WriteString(key.c_str(), to.c_str(), -1);
            break;
        }
    }
    ASSERT_TRUE(store.Save());
}

}  // namespace

TEST(InstallRoad, FirstInstallThenAnUpdate)
{
    World world(L"road");
    RunResult first = world.Install("v1");
    ASSERT_EQ(first.exit_code, 0u) << first.output;
    expect_installed(world, "v1", "1.0.0.1");
    std::map<std::string, std::string> record = world.Record();
    // "Tool" and "TOOL" are one file: recorded once, beside "Road App".
    EXPECT_EQ(le_value(record["shortc"]), 2u);
    EXPECT_EQ(record["lang"], le_bytes(0, 2));
    EXPECT_TRUE(exists(world.Group() + L"/Road App.lnk"));
    EXPECT_TRUE(exists(world.Path(L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk")));

    // Older products that v2 replaces: any version of "-classic", version 2
    // of "-old" (version 3 is installed: not offered).
    std::wstring uninstall = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + installers().code_name;
    for (const wchar_t* older : {L"-classic", L"-old"}) {
        std::wstring key = L"\"" + uninstall + older + L"\" /f /reg:64";
        command_output(L"reg add " + key + L" /v MajorVersion /t REG_DWORD /d 3");
        command_output(L"reg add " + key + L" /v UninstallString /d \"" + older + L".exe /x\"");
        command_output(L"reg add " + key + L" /v DisplayName /d \"Older" + older + L"\"");
    }

    // The store names another product's copy of the manager's shortcut as
    // the manager's: the update keeps the manager's own and leaves the copy.
    std::wstring manager_shortcut = world.Path(L"all/Start Menu/Programs/Vantrel/Software Packages management.lnk");
    std::wstring other_shortcut = world.Path(L"all/Start Menu/Programs/Other/other.lnk");
    ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"all/Start Menu/Programs/Other")).c_str(), nullptr));
    std::string copied = file_bytes(manager_shortcut);
    ASSERT_TRUE(put_file(other_shortcut, copied));
    {
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
        store.WriteString("installer/shortcut", other_shortcut.c_str(), -1);
        ASSERT_TRUE(store.Save());
    }

    FILETIME identical = last_write(world.App(L"bin/core.dll"));
    FILETIME manager = last_write(world.Manager());
    // An older program's spelling of a kept file must not make it "not kept".
    respell_recorded_file(world, world.App(L"keep/spelled.dll"), world.App(L"") + L"/./keep//spelled.dll");
    RunResult update = world.Install("v2");
    for (const wchar_t* older : {L"-classic", L"-old"})
        command_output(L"reg delete \"" + uninstall + older + L"\" /f /reg:64");
    ASSERT_EQ(update.exit_code, 0u) << update.output;
    EXPECT_NE(update.output.find("older 1 0 Older-classic\r\nolder-command 0 0 -classic.exe /x"), std::string::npos)
        << update.output;
    size_t offered = 0;
    for (size_t at = 0; (at = update.output.find("\nolder ", at)) != std::string::npos; ++at)
        ++offered;
    EXPECT_EQ(offered, 1u) << "its own code name in capitals is no older product: " << update.output;
    EXPECT_EQ(update.output.find("Older-old"), std::string::npos) << update.output;
    expect_installed(world, "v2", "1.1");
    EXPECT_TRUE(same_time(identical, last_write(world.App(L"bin/core.dll")))) << "an identical file is untouched";
    EXPECT_TRUE(same_time(manager, last_write(world.Manager()))) << "a manager of the same version stays";
    EXPECT_FALSE(exists(world.App(L"old"))) << "the removed file's empty folders go";
    EXPECT_FALSE(exists(world.Group() + L"/Tool.lnk")) << "a shortcut not made again goes";
    EXPECT_TRUE(exists(world.Group() + L"/Road Docs.lnk"));
    EXPECT_TRUE(exists(manager_shortcut));
    EXPECT_TRUE(file_bytes(other_shortcut) == copied) << "the other product's shortcut stays";

    RunResult again = world.Install("v2");
    EXPECT_EQ(again.exit_code, 50u + 12) << again.output;
    RunResult older = world.Install("v1");
    EXPECT_EQ(older.exit_code, 50u + 4) << older.output;
    expect_installed(world, "v2", "1.1");
}

// A run without administrator rights records the product per user, and
// updates there; without a per-user store of its own (a file where its
// maker's folder belongs, which the message names) it installs nothing,
// and the user's files in the profile folder stay. A run with those rights leaves such an installation alone, and
// where its common store cannot be had (a file in its place) it stops too,
// recording nothing per user instead.
TEST(InstallRoad, ARunWithoutAdministratorRightsRecordsPerUserAndUpdatesStayThere)
{
    World world(L"peruser");
    ASSERT_TRUE(put_file(world.Path(L"appdata/Vantrel"), "x"));
    std::map<std::wstring, std::string> users_files;
    for (const wchar_t* name : {L"install", L"lang", L"journal", L"installer"}) {
        users_files[name] = "the user's own " + utf8_of(name);
        ASSERT_TRUE(put_file(world.Path(L"profile/") + name, users_files[name]));
    }
    RunResult no_store = world.Install("v1", standard_user);
    EXPECT_EQ(no_store.exit_code, 50u + 20) << no_store.output;
    EXPECT_EQ(_wcsicmp(init_error_path(no_store.output, 20).c_str(), world.Path(L"appdata/Vantrel").c_str()), 0)
        << "the message names the file in the way: " << no_store.output;
    EXPECT_EQ(tree_bytes(world.Path(L"profile")), users_files) << "the profile folder as it was";
    EXPECT_FALSE(exists(world.App()));
    DeleteFileW(windows_path(world.Path(L"appdata/Vantrel")).c_str());

    RunResult first = world.Install("v1", standard_user);
    ASSERT_EQ(first.exit_code, 0u) << first.output;
    expect_installed(world, "v1", "1.0.0.1", false);
    EXPECT_EQ(tree_bytes(world.Path(L"profile")), users_files);

    RunResult refused = world.Install("v2");
    EXPECT_EQ(refused.exit_code, 50u + 18) << refused.output;
    EXPECT_EQ(_wcsicmp(init_error_path(refused.output, 18).c_str(), slash_path(world.UserStore() + L"/install").c_str()),
              0)
        << "the message names the user's store file: " << refused.output;
    expect_installed(world, "v1", "1.0.0.1", false);
    EXPECT_TRUE(world.Record(true).empty()) << "no all-users record beside it";

    std::wstring blocked = world.Path(L"programdata/Vantrel");
    RemoveDirectoryW(windows_path(world.CommonStore() + L"/~save").c_str());
    RemoveDirectoryW(windows_path(world.CommonStore()).c_str());
    RemoveDirectoryW(windows_path(blocked).c_str());
    ASSERT_TRUE(put_file(blocked, "x"));
    RunResult stopped = world.Install("v2");
    EXPECT_EQ(stopped.exit_code, 50u + 17) << stopped.output;
    expect_installed(world, "v1", "1.0.0.1", false);

    RunResult update = world.Install("v2", standard_user);
    ASSERT_EQ(update.exit_code, 0u) << update.output;
    expect_installed(world, "v2", "1.1", false);
}

// After an all-users installation, an update whose all-users record cannot
// be saved ends with the record's status: no per-user record or entry of
// the new version stands beside the old ones. Its journal stays, through
// which the uninstall takes the update's files off with the product.
TEST(InstallRoad, AnAllUsersProductWhoseStoreCannotSaveIsNotRecordedTwice)
{
    World world(L"allusers");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::map<std::string, std::string> old_record = world.Record(true);
    // Held open without delete sharing, the store file cannot be replaced.
    HANDLE held = CreateFileW(windows_path(world.CommonStore() + L"/install").c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunResult update = world.Install("v2");
    CloseHandle(held);
    EXPECT_EQ(update.exit_code, 100u + 11) << update.output;
    EXPECT_EQ(world.Record(true), old_record) << "the old record";
    EXPECT_TRUE(world.Record(false).empty()) << "no per-user record";
    bool found = false;
    auto entry = world.Entry(false, &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(entry["DisplayVersion"].data, "1.0.0.1");
    world.Entry(true, &found);
    EXPECT_FALSE(found) << "no per-user entry";
    EXPECT_FALSE(world.Journal(true).empty()) << "the journal kept";
    // The installed manager is the test build that made the installer: its
    // uninstall answers every question Yes.
    RunResult taken = run_process(L"\"" + windows_path(world.Manager()) + L"\" uninstall " + installers().code_name,
                                  world.Variables(), world.Path(L""));
    EXPECT_EQ(taken.exit_code, 0u) << taken.output;
    EXPECT_FALSE(exists(world.App())) << "every file gone, the update's too";
    EXPECT_TRUE(world.Record(true).empty() && world.Journal(true).empty());
    world.Entry(false, &found);
    EXPECT_FALSE(found);
}

TEST(InstallRoad, AFileHeldOpenIsAskedForAndNoPutsEverythingBack)
{
    World world(L"held");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::wstring held_path = world.App(L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt");
    std::string old_app = file_bytes(world.App(L"bin/app.exe"));
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunResult refused = world.Install("v2");
    EXPECT_EQ(refused.exit_code, 100u + 7) << refused.output;
    EXPECT_NE(refused.output.find("asked"), std::string::npos);
    EXPECT_TRUE(file_bytes(world.App(L"bin/app.exe")) == old_app) << "the earlier file is back";
    EXPECT_FALSE(exists(world.App(L"bin/app.exe.bkp")));

    // Yes once the program let go of the file.
    TempFolder answers(L"answers");
    std::thread release([&] {
        while (!exists(answers.Path(L"asked.txt")))
            Sleep(10);
        CloseHandle(held);
        answers.WriteFile(L"answer.txt", "yes");
    });
    RunResult retried = world.Install("v2", {{L"PELMARO_TEST_RELEASE_FOLDER", windows_path(answers.Path())}});
    release.join();
    EXPECT_EQ(retried.exit_code, 0u) << retried.output;
    expect_installed(world, "v2", "1.1");
}

// A file that another program holds with no sharing when the update
// starts, so that the start-up cannot read it: the start-up names it; No
// ends it with its failure and nothing changed, Yes while it is still held
// asks again, Yes once the file is let go runs the update.
TEST(InstallRoad, AFileHeldAtStartUpIsAskedForNoEndsAndYesUpdates)
{
    std::map<std::wstring, std::wstring> v2_files = product_files("v2");
    const struct {
        const wchar_t* file;
        bool recorded;  // v1's; else v2's file, put there by hand first
    } cases[] = {
        {L"bin/core.dll", true},  // the same in both versions
        {L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt", true},
        {L"data/big.bin", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(utf8_of(c.file));
        World world(L"initheld");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        if (!c.recorded) {
            ASSERT_TRUE(put_file(world.App(c.file), file_bytes(road_folder() + L"/" + v2_files[c.file])));
        }
        HANDLE held = CreateFileW(windows_path(world.App(c.file)).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::map<std::wstring, std::string> files = tree_bytes(world.App());
        std::map<std::string, std::string> record = world.Record();

        RunResult refused = world.Install("v2");
        EXPECT_EQ(refused.exit_code, 50u + 15) << refused.output;
        EXPECT_NE(refused.output.find("asked 0 0 " + utf8_of(world.App(c.file))), std::string::npos)
            << refused.output;
        EXPECT_TRUE(tree_bytes(world.App()) == files) << "no file changed";
        EXPECT_EQ(world.Record(), record);

        TempFolder answers(L"answers");
        std::atomic<bool> ended(false);
        std::thread release([&] {
            for (bool let_go : {false, true}) {
                while (!ended && !exists(answers.Path(L"asked.txt")))
                    Sleep(10);
                // The installer may not have closed the file yet: one left
                // would stand for the next question before it is asked.
                while (!DeleteFileW(windows_path(answers.Path(L"asked.txt")).c_str()) &&
                       exists(answers.Path(L"asked.txt")))
                    Sleep(10);
                if (let_go)
                    CloseHandle(held);
                answers.WriteFile(L"answer.txt", "yes");
            }
        });
        RunResult retried = world.Install("v2", {{L"PELMARO_TEST_RELEASE_FOLDER", windows_path(answers.Path())}});
        ended = true;
        release.join();
        EXPECT_EQ(retried.exit_code, 0u) << retried.output;
        std::string asked = "asked 0 0 " + utf8_of(world.App(c.file));
        size_t first = retried.output.find(asked);
        EXPECT_NE(first, std::string::npos) << retried.output;
        EXPECT_NE(retried.output.find(asked, first + 1), std::string::npos) << "asked again while held";
        expect_installed(world, "v2", "1.1");
    }
}

// A later target that has become a folder by the time its backup is due:
// the targets backed up before it go back, no ".bkp" stays, and once the
// folder is gone the update goes through.
TEST(InstallRoad, ALaterTargetThatIsAFolderPutsTheEarlierBackupsBack)
{
    World world(L"folder");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::map<std::wstring, std::wstring> v1_files = product_files("v1");
    // The backup pass stops at the held file (list entry 3) and asks; the
    // answer comes once a folder stands where data/big.bin (entry 6) goes.
    std::wstring held_path = world.App(L"docs/\u00fcn\u00efc\u00f6d\u00e9 \u30d5\u30a1\u30a4\u30eb.txt");
    HANDLE held = CreateFileW(windows_path(held_path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TempFolder answers(L"answers");
    std::thread release([&] {
        for (int i = 0; i < 6000 && !exists(answers.Path(L"asked.txt")); ++i)
            Sleep(10);
        CreateDirectoryW(windows_path(world.App(L"data/big.bin")).c_str(), nullptr);
        CloseHandle(held);
        answers.WriteFile(L"answer.txt", "yes");
    });
    RunResult refused = world.Install("v2", {{L"PELMARO_TEST_RELEASE_FOLDER", windows_path(answers.Path())}});
    release.join();
    EXPECT_EQ(refused.exit_code, 100u + 1) << refused.output;
    EXPECT_NE(refused.output.find("job 1 1 " + utf8_of(world.App(L"data/big.bin"))), std::string::npos)
        << refused.output;
    for (const auto& file : v1_files)
        EXPECT_TRUE(file_bytes(world.App(file.first)) == file_bytes(road_folder() + L"/" + file.second))
            << utf8_of(file.first) << " holds its old content";
    std::set<std::wstring> present;
    list_files(world.App(), L"", present);
    for (const std::wstring& path : present)
        EXPECT_NE(path.substr(path.size() > 4 ? path.size() - 4 : 0), L".bkp") << utf8_of(path);

    ASSERT_TRUE(RemoveDirectoryW(windows_path(world.App(L"data/big.bin")).c_str()));
    RunResult retried = world.Install("v2");
    EXPECT_EQ(retried.exit_code, 0u) << retried.output;
    expect_installed(world, "v2", "1.1");
}

// A stop while unpacking: an update leaves the old product as it was; a
// first installation stopped once every file is unpacked leaves none of
// the folders it made, nested ones included, and no folder journal.
TEST(InstallRoad, AStopWhileUnpackingLeavesTheOldFiles)
{
    struct StopCase {
        const char* installed;  // null: a first installation
        const wchar_t* step;    // v2's steps: 0 preparing, 1 to 8 its files, 9 the backups
    } cases[] = {{"v1", L"2"}, {nullptr, L"9"}};
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.installed ? "an update" : "a first installation");
        World world(L"stop");
        if (c.installed) {
            ASSERT_EQ(world.Install(c.installed).exit_code, 0u);
        }
        RunResult stopped = world.Install("v2", {{L"PELMARO_TEST_STOP_AT_STEP", c.step}});
        EXPECT_EQ(stopped.exit_code, 100u + 10) << stopped.output;
        if (c.installed) {
            expect_installed(world, "v1", "1.0.0.1");
            continue;
        }
        EXPECT_FALSE(exists(world.App())) << "a folder the installation made stays";
        EXPECT_TRUE(world.Journal(false).empty());
    }
}

// The manager and its shortcut are each replaced in one step, and the
// shortcut only where nothing else stands at its name: a file of the
// user's there stays, and the installation says so, naming it; so does the
// manager's shortcut in another language until one in the installing
// language is made.
TEST(InstallRoad, AnOlderOrSilentManagerIsReplacedInOneStep)
{
    World world(L"manager");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    std::wstring german = world.ManagerGroup() + L"/Softwarepaketverwaltung.lnk";
    std::string link = file_bytes(world.ManagerShortcut());
    ASSERT_TRUE(put_file(german, link));
    ASSERT_TRUE(put_file(world.ManagerShortcut(), "the user's"));
    ASSERT_TRUE(put_file(world.Manager(), "not a program"));
    // Held open, the silent manager cannot be replaced: the question comes,
    // No keeps it, and a manager stays where the record says.
    HANDLE held = CreateFileW(windows_path(world.Manager()).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RunResult kept = world.Install("v2");
    CloseHandle(held);
    EXPECT_EQ(kept.exit_code, 100u + 14) << kept.output;
    EXPECT_EQ(_wcsicmp(job_error_path(kept.output, 0, 14).c_str(), world.ManagerShortcut().c_str()), 0)
        << kept.output;
    EXPECT_NE(kept.output.find("asked 0 0 " + utf8_of(world.Manager())), std::string::npos) << kept.output;
    EXPECT_EQ(file_bytes(world.Manager()), "not a program");
    EXPECT_FALSE(exists(world.Manager() + L".tmp"));
    QrvcFile shared = read_qrvc(file_bytes(world.CommonStore() + L"/installer"), "installer");
    EXPECT_EQ(slash_path(wide_of(shared.values["installer/app"])), world.Manager());
    EXPECT_EQ(file_bytes(world.ManagerShortcut()), "the user's");
    EXPECT_TRUE(file_bytes(german) == link) << "the shortcut in German stays while no other is made";
    // Let go of, it is replaced; with the user's file gone, the shortcut
    // in English is made and the German one goes.
    ASSERT_TRUE(DeleteFileW(windows_path(world.ManagerShortcut()).c_str()));
    ASSERT_TRUE(put_file(world.App(L"bin/app.exe"), "changed"));
    ASSERT_EQ(world.Install("v2").exit_code, 0u);
    expect_installed(world, "v2", "1.1");
}

namespace {

// The folder made immutable on the host (chattr +i), as on Windows an
// access list that denies writing leaves it: nothing can be made in it, by
// root neither, until the object goes. made tells whether that took.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::wstring& folder)
        : unix(wine_unix_path(windows_path(folder))), probe(windows_path(folder + L"/probe"))
    {
        run_unix_shell("chattr +i '" + unix + "'");
        for (int wait = 0; wait < 100 && !made; ++wait, Sleep(50))
            made = !Writable();
    }
    ~ImmutableFolder()
    {
        run_unix_shell("chattr -i '" + unix + "'");
        for (int wait = 0; wait < 100 && !Writable(); ++wait)
            Sleep(50);
        // Wine may keep the probe that was to go as it closed.
        DeleteFileW(probe.c_str());
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;

    bool made = false;

private:
    bool Writable() const
    {
        HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr);
        return file != INVALID_HANDLE_VALUE && CloseHandle(file);
    }

    std::string unix;
    std::wstring probe;
};

// A run paused at the kill point moment while act does what another
// program would there (in the folder pause): the variables that pause it,
// and its beside, which lets it go on.
struct PausedRun {
    std::map<std::wstring, std::wstring> variables;
    std::function<void(HANDLE)> beside;
};

PausedRun pause_at(const TempFolder& pause, const wchar_t* moment, const std::function<void()>& act)
{
    std::wstring pause_file = pause.Path(L"held");
    return {{{L"PELMARO_TEST_PAUSE_POINT", moment}, {L"PELMARO_TEST_PAUSE_FILE", windows_path(pause_file)}},
            [pause_file, act](HANDLE) {
                for (int waited_ms = 0; waited_ms < 30000 && !exists(pause_file); waited_ms += 50)
                    Sleep(50);
                act();
                DeleteFileW(windows_path(pause_file).c_str());
            }};
}

}  // namespace

// What stands where the manager's shortcut goes, or beside it where a new
// one is written first, as a kill or a stranger left it: the run's own
// leftover (an empty file, a whole link to the manager) goes and the
// shortcut is made; anything else stays as it is, nothing is made through
// it, and the installation says so, naming it, as it does for a group in
// which nothing can be made; but where the record could not be saved
// either, that is what it says (status 11). Once the way is free, the next
// run of the same version makes the shortcut.
TEST(InstallRoad, TheManagersShortcutComesBackWhereItsPlaceIsFree)
{
    enum Planted {
        empty_file,
        whole_link,
        garbage,
        folder,
        group_link,
        immutable_group,
        immutable_programs,
        side_file_held,
        garbage_and_record_held
    };
    struct ShortcutCase {
        const char* what;
        Planted planted;
        const wchar_t* at;  // after the shortcut's path (something at its name: see above); null: its group
        bool own;           // the program's own leftover: replaced
    } cases[] = {
        {"an empty file beside it", empty_file, L".tmp", true},
        {"a whole link to the manager beside it", whole_link, L".tmp", true},
        {"garbage beside it", garbage, L".tmp", false},
        {"a folder beside it", folder, L".tmp", false},
        {"a link to a folder elsewhere as its group", group_link, nullptr, false},
        {"a group in which nothing can be made", immutable_group, nullptr, false},
        {"no group, where none can be made", immutable_programs, nullptr, false},
        {"the new shortcut held by another program as it is moved to its name", side_file_held, L"", false},
        {"garbage beside it, and the record's file held", garbage_and_record_held, L".tmp", false},
    };
    for (const ShortcutCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"shortcut");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        std::string link = file_bytes(world.ManagerShortcut());
        ASSERT_TRUE(DeleteFileW(windows_path(world.ManagerShortcut()).c_str()));
        std::wstring planted = c.at ? world.ManagerShortcut() + c.at : world.ManagerGroup();
        std::unique_ptr<HostFolderLink> linked;
        std::unique_ptr<ImmutableFolder> immutable;
        std::map<std::wstring, std::wstring> during;
        std::function<void(HANDLE)> beside = nullptr;
        HANDLE held = INVALID_HANDLE_VALUE;
        TempFolder pause(L"shortcutpause");
        if (c.planted == immutable_group || c.planted == immutable_programs) {
            if (c.planted == immutable_programs) {
                ASSERT_TRUE(RemoveDirectoryW(windows_path(planted).c_str()));
            }
            immutable.reset(new ImmutableFolder(c.planted == immutable_group ? planted
                                                                               : world.Path(L"all/Start Menu/Programs")));
            if (!immutable->made) {
                printf("this file system cannot make a folder immutable: the row is left out\n");
                continue;
            }
        } else if (c.planted == garbage_and_record_held) {
            ASSERT_TRUE(put_file(planted, "garbage"));
            // Held once the start-up found the store sound: the record's
            // save fails.
            PausedRun paused = pause_at(pause, L"job", [&]() {
                held = CreateFileW(windows_path(world.CommonStore() + L"/install").c_str(), GENERIC_READ,
                                   FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
            });
            during = paused.variables;
            beside = paused.beside;
        } else if (c.planted == side_file_held) {
            // Opened as a scanner would the moment it is written: the move
            // to its name fails.
            PausedRun paused = pause_at(pause, L"manager shortcut written", [&]() {
                held = CreateFileW(windows_path(planted + L".tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            });
            during = paused.variables;
            beside = paused.beside;
        } else if (c.planted == folder) {
            ASSERT_TRUE(CreateDirectoryW(windows_path(planted).c_str(), nullptr));
        } else if (c.planted == group_link) {
            ASSERT_TRUE(RemoveDirectoryW(windows_path(planted).c_str()));
            ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"elsewhere")).c_str(), nullptr));
            linked.reset(new HostFolderLink(planted, world.Path(L"elsewhere")));
            ASSERT_TRUE(linked->Valid());
        } else {
            ASSERT_TRUE(put_file(planted, c.planted == empty_file ? "" : c.planted == whole_link ? link : "garbage"));
        }
        bool planted_there = exists(planted);
        std::string planted_bytes = file_bytes(planted);
        RunResult run = world.Install("v1", during, -1, beside);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        if (c.planted == garbage_and_record_held) {
            EXPECT_EQ(run.exit_code, 100u + 11) << "not recorded, which tells more: " << run.output;
        } else if (!c.own) {
            EXPECT_EQ(run.exit_code, 100u + 14) << run.output;
            EXPECT_EQ(_wcsicmp(job_error_path(run.output, 0, 14).c_str(), planted.c_str()), 0) << run.output;
        }
        if (!c.own) {
            EXPECT_TRUE(exists(planted) == planted_there && file_bytes(planted) == planted_bytes) << "left as it is";
            EXPECT_TRUE(tree_bytes(world.Path(L"elsewhere")).empty()) << "nothing made through a link";
            if (immutable) {
                EXPECT_TRUE(tree_bytes(planted).empty()) << "nothing made in it";
            }
            immutable.reset();
            linked.reset();
            if (!DeleteFileW(windows_path(planted).c_str()))
                RemoveDirectoryW(windows_path(planted).c_str());
            run = world.Install("v1");
        }
        EXPECT_EQ(run.exit_code, 0u) << run.output;
        expect_installed(world, "v1", "1.0.0.1");
    }
}


// No product is installed without the manager that lists, updates and
// uninstalls it. Where none stands at its place and none can be made there
// (a folder at its name, a file in its folder's place, a folder in which
// nothing can be made, or none where none can be made), the start-up stops
// before its first question, naming what stands in the way, and nothing is
// placed, for a run with administrator rights and one without alike; a
// place taken while the wizard waited stops the job before the product's
// files, which leaves nothing either. Once the way is free the product
// installs.
TEST(InstallRoad, NoProductIsInstalledWithoutItsManager)
{
    enum Planted { folder_at_name, file_as_folder, immutable_folder, immutable_parent, folder_during_job };
    struct PlaceCase {
        const char* what;
        Planted planted;
        const wchar_t* at;     // what stands in the way, in the world
        const wchar_t* named;  // the place the message names
        bool standard_user;
    } cases[] = {
        {"a folder at its name", folder_at_name, L"pf/Common Files/Vantrel/pelmarodesk.exe",
         L"pf/Common Files/Vantrel/pelmarodesk.exe", false},
        {"a file in its folder's place", file_as_folder, L"pf/Common Files/Vantrel", L"pf/Common Files/Vantrel", true},
        {"its folder, in which nothing can be made", immutable_folder, L"pf/Common Files/Vantrel",
         L"pf/Common Files/Vantrel/pelmarodesk.exe", false},
        {"no folder, where none can be made", immutable_parent, L"pf/Common Files",
         L"pf/Common Files/Vantrel/pelmarodesk.exe", true},
        {"a folder at its name, come while the wizard waited", folder_during_job,
         L"pf/Common Files/Vantrel/pelmarodesk.exe", L"pf/Common Files/Vantrel/pelmarodesk.exe", false},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"noplace");
        std::wstring planted = world.Path(c.at);
        ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"pf/Common Files")).c_str(), nullptr));
        std::unique_ptr<ImmutableFolder> immutable;
        std::map<std::wstring, std::wstring> variables = c.standard_user ? standard_user : no_variables;
        std::function<void(HANDLE)> beside = nullptr;
        TempFolder pause(L"noplacepause");
        if (c.planted == folder_at_name) {
            ASSERT_TRUE(CreateDirectoryW(windows_path(world.Path(L"pf/Common Files/Vantrel")).c_str(), nullptr));
            ASSERT_TRUE(CreateDirectoryW(windows_path(planted).c_str(), nullptr));
        } else if (c.planted == file_as_folder) {
            ASSERT_TRUE(put_file(planted, "a stranger's"));
        } else if (c.planted == folder_during_job) {
            PausedRun paused = pause_at(pause, L"job", [&]() {
                CreateDirectoryW(windows_path(world.Path(L"pf/Common Files/Vantrel")).c_str(), nullptr);
                CreateDirectoryW(windows_path(planted).c_str(), nullptr);
            });
            variables.insert(paused.variables.begin(), paused.variables.end());
            beside = paused.beside;
        } else {
            if (c.planted == immutable_folder) {
                ASSERT_TRUE(CreateDirectoryW(windows_path(planted).c_str(), nullptr));
            }
            immutable.reset(new ImmutableFolder(planted));
            if (!immutable->made) {
                printf("this file system cannot make a folder immutable: the row is left out\n");
                continue;
            }
        }
        std::map<std::wstring, std::string> files_before = tree_bytes(world.Path(L"pf"));
        RunResult run = world.Install("v1", variables, -1, beside);
        std::wstring named;
        if (c.planted == folder_during_job) {
            EXPECT_EQ(run.exit_code, 100u + 15) << run.output;
            named = job_error_path(run.output, 1, 15);
        } else {
            EXPECT_EQ(run.exit_code, 50u + 23) << run.output;
            named = init_error_path(run.output, 23);
            EXPECT_EQ(run.output.find("language "), std::string::npos) << "no question asked: " << run.output;
        }
        EXPECT_EQ(_wcsicmp(named.c_str(), world.Path(c.named).c_str()), 0) << run.output;
        EXPECT_FALSE(exists(world.App())) << "nothing of the product placed";
        EXPECT_TRUE(tree_bytes(world.Path(L"pf")) == files_before) << "no manager, nor anything left beside it";
        EXPECT_TRUE(tree_bytes(world.Path(L"all/Start Menu/Programs")).empty()) << "no shortcut";
        for (bool common : {true, false}) {
            EXPECT_TRUE(world.Record(common).empty()) << "nothing recorded";
            EXPECT_TRUE(world.Journal(common).empty()) << "no journal left";
            bool found = true;
            world.Entry(!common, &found);
            EXPECT_FALSE(found) << "no entry";
        }
        immutable.reset();
        if (!DeleteFileW(windows_path(planted).c_str()))
            RemoveDirectoryW(windows_path(planted).c_str());
        RunResult done = world.Install("v1", c.standard_user ? standard_user : no_variables);
        EXPECT_EQ(done.exit_code, 0u) << done.output;
        expect_installed(world, "v1", "1.0.0.1", !c.standard_user);
    }
}

// An installation whose journal cannot be saved (a folder came where its
// new content is written, once the start-up had found the store sound)
// stops before it puts anything in place, naming that folder, for an
// update and a first installation (whose journal file is new) alike: the
// product stays as it was, and once the folder is gone the update goes
// through.
TEST(InstallRoad, NothingIsPutInPlaceWithoutASavedJournal)
{
    for (bool update : {true, false}) {
        SCOPED_TRACE(update ? "an update" : "a first installation");
        World world(L"journal");
        if (update) {
            ASSERT_EQ(world.Install("v1").exit_code, 0u);
        }
        TempFolder pause(L"journalpause");
        std::wstring in_the_way = world.CommonStore() + L"/~save/journal.new";
        PausedRun paused = pause_at(pause, L"job", [&]() {
            CreateDirectoryW(windows_path(world.CommonStore() + L"/~save").c_str(), nullptr);
            CreateDirectoryW(windows_path(in_the_way).c_str(), nullptr);
        });
        RunResult stopped = world.Install("v2", paused.variables, -1, paused.beside);
        EXPECT_EQ(stopped.exit_code, 100u + 13) << stopped.output;
        EXPECT_EQ(_wcsicmp(job_error_path(stopped.output, 1, 13).c_str(), in_the_way.c_str()), 0)
            << "what stood in the way named: " << stopped.output;
        if (update)
            expect_installed(world, "v1", "1.0.0.1");
        else
            EXPECT_FALSE(exists(world.App())) << "nothing placed";
        ASSERT_TRUE(RemoveDirectoryW(windows_path(in_the_way).c_str()));
        RunResult done = world.Install("v2");
        EXPECT_EQ(done.exit_code, 0u) << done.output;
        expect_installed(world, "v2", "1.1");
    }
}

TEST(InstallRoad, TheLanguageQuestionProposesTheInstalledLanguage)
{
    World world(L"language");
    RunResult first = world.Install("two", {{L"PELMARO_TEST_LANGUAGE", L"2"}});
    ASSERT_EQ(first.exit_code, 0u) << first.output;
    EXPECT_NE(first.output.find("language 0 2"), std::string::npos) << first.output;
    EXPECT_EQ(world.Record()["lang"], le_bytes(2, 2));
    RunResult again = world.Install("two");
    EXPECT_NE(again.output.find("language 2 2"), std::string::npos) << again.output;
    EXPECT_EQ(again.exit_code, 50u + 12);
    RunResult none = world.Install("two", {{L"PELMARO_TEST_LANGUAGE", L"10"}});
    EXPECT_EQ(none.exit_code, 50u + 3);
}

TEST(InstallRoad, ARecordNamingOneFileTwiceIsDamaged)
{
    World world(L"damaged");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    respell_recorded_file(world, world.App(L"bin/core.dll"), world.App(L"BIN/CORE.DLL"));
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    std::string prefix = "install/" + utf8_of(installers().code_name) + "/file";
    store.WriteString((prefix + "0").c_str(), world.App(L"bin/core.dll").c_str(), -1);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(world.Install("v2").exit_code, 50u + 6);

    // A path that is not a full one names a file of the installer's current
    // folder, which the update would delete as a file it no longer has.
    HANDLE bystander = CreateFileW(windows_path(world.Path(L"bystander.txt")).c_str(), GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(bystander, "kept", 4, &written, nullptr));
    CloseHandle(bystander);
    store.WriteString((prefix + "0").c_str(), L"bystander.txt", -1);
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(world.Install("v2").exit_code, 50u + 6);
    EXPECT_EQ(file_bytes(world.Path(L"bystander.txt")), "kept");
}

// A damaged record may name any file of the machine; the update deletes
// the files the new version drops, so it must not take such a record: the
// start-up refuses it, and nothing outside the product (nor in it) changes.
TEST(InstallRoad, ARecordNamingWhatLiesOutsideTheProductIsDamaged)
{
    struct OutsideCase {
        const char* what;
        const char* list;  // "files" or "shortc": a path appended to that list; null: "path" replaced
        std::wstring (*path)(const World&);
        DWORD exit_code;
    } cases[] = {
        {"a document of the user's", "files",
         [](const World& world) { return world.Path(L"Public/Documents/important.doc"); }, 50 + 6},
        {"a step up out of the folder", "files",
         [](const World& world) { return world.App() + L"/../Public/Documents/important.doc"; }, 50 + 6},
        {"the folder beside the product's", "files",
         [](const World& world) { return world.Path(L"app2/important.doc"); }, 50 + 6},
        {"a shortcut outside the group", "shortc",
         [](const World& world) { return world.Path(L"Public/Documents/important.doc"); }, 50 + 6},
        {"an install folder with a step up", nullptr,
         [](const World& world) { return world.App(L"bin/.."); }, 50 + 6},
        {"a relative install folder", nullptr, [](const World&) { return std::wstring(L"app"); }, 50 + 6},
        {"an install folder at the drive's root", nullptr,
         [](const World& world) { return world.App().substr(0, 3); }, 50 + 6},
    };
    for (const OutsideCase& c : cases) {
        SCOPED_TRACE(c.what);
        World world(L"outside");
        ASSERT_EQ(world.Install("v1").exit_code, 0u);
        for (const wchar_t* folder : {L"Public", L"Public/Documents", L"app2"})
            CreateDirectoryW(windows_path(world.Path(folder)).c_str(), nullptr);
        for (const wchar_t* file : {L"Public/Documents/important.doc", L"app2/important.doc"})
            ASSERT_TRUE(put_file(world.Path(file), "the user's"));
        cCIAppConfig store;
        ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
        std::string prefix = "install/" + utf8_of(installers().code_name) + "/";
        if (c.list) {
            int64_t count = 0;
            ASSERT_TRUE(store.ReadInt64((prefix + c.list).c_str(), count));
            // "files" counts "file0"...; "shortc" counts "shortc0"...
            std::string item = std::string(c.list) == "files" ? "file" : c.list;
            store.WriteString((prefix + item + std::to_string(count)).c_str(), c.path(world).c_str(), -1);
            store.WriteInt32((prefix + c.list).c_str(), int32_t(count + 1));
        } else {
            store.WriteString((prefix + "path").c_str(), c.path(world).c_str(), -1);
        }
        ASSERT_TRUE(store.Save());
        RunResult update = world.Install("v2");
        EXPECT_EQ(update.exit_code, c.exit_code) << update.output;
        for (const wchar_t* file : {L"Public/Documents/important.doc", L"app2/important.doc"})
            EXPECT_EQ(file_bytes(world.Path(file)), "the user's") << utf8_of(file);
        std::map<std::wstring, std::wstring> v1 = product_files("v1");
        for (const auto& file : v1)
            EXPECT_TRUE(file_bytes(world.App(file.first)) == file_bytes(road_folder() + L"/" + file.second))
                << utf8_of(file.first) << " is as v1 left it";
    }
}

// A package naming for its files a folder that no product owns (here the
// public profile itself) is never written: make refuses the scenario's
// line, as the start-up would refuse the package.
TEST(InstallRoad, APackageNamingAFolderNoProductOwnsIsNotMade)
{
    TempFolder out(L"public");
    EXPECT_NE(installers().Make("public", out.Path(L"public-setup.exe")), 0u);
    EXPECT_NE(installers().log.find("into a folder of the system or of the user: C:/users/Public!"), std::string::npos)
        << installers().log;
    EXPECT_FALSE(exists(out.Path(L"public-setup.exe")));
}

// A record written before the Start-menu group was recorded: its
// shortcuts are bounded by the Start menu's programs folder, and the
// update goes through.
TEST(InstallRoad, ARecordWithoutItsGroupIsUpdated)
{
    World world(L"nogroup");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ASSERT_EQ(slash_path(wide_of(world.Record()["group"])), world.Group());
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    store.DeleteKey(("install/" + utf8_of(installers().code_name) + "/group").c_str());
    ASSERT_TRUE(store.Save());
    RunResult update = world.Install("v2");
    ASSERT_EQ(update.exit_code, 0u) << update.output;
    expect_installed(world, "v2", "1.1");
    EXPECT_FALSE(exists(world.Group() + L"/Tool.lnk")) << "a shortcut not made again goes";
}

TEST(InstallRoad, MakeRefusesAnEmptyFile)
{
    TempFolder out(L"empty");
    EXPECT_NE(installers().Make("empty", out.Path(L"empty-setup.exe")), 0u);
    EXPECT_FALSE(exists(out.Path(L"empty-setup.exe")));
}
