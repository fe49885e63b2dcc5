#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "base/ci_app_config.h"
#include "base/sha256.h"
#include "tests/tools/install/road_fixture.h"

// The install road after a kill at any moment: before the rerun every
// target holds its old or its new content, or its old content sits in its
// ".bkp"; the rerun then ends with the new product complete (files, record,
// entry, shortcuts, manager) and no ".tmp" or ".bkp" left. Kills come at
// the named kill points of the test build, and at random moments of a
// larger update, from outside.

using namespace road;

namespace {

struct KillCase {
    const char* point;                      // PELMARO_TEST_KILL_POINT
    const char* old_product;                // installed first; null: a first installation
    const char* new_product;                // the one killed and run again
    const char* version;                    // its version as the Windows entry shows it
    const char* earlier;                    // a kill point of an earlier run that leaves work for the repair; or null
    bool silent_manager;                    // the installed manager answers no version (so it is replaced)
    const char* earlier_product = nullptr;  // the earlier run's product; null: new_product
    // The folder of the world the killed runs of a first installation chose;
    // null: the one the rerun installs into.
    const wchar_t* killed_folder = nullptr;
    const wchar_t* old_language = nullptr;  // old_product's installing language (its id); null: proposed
    // A file the killed run adds, held open (no delete sharing) while another
    // run of new_product, started before and held at its job's start (where
    // its wizard waits), goes on; null: no such run.
    const wchar_t* held = nullptr;
};

// List order of v2: 0 bin/app.exe (changed, more than 64 KiB), 1 bin/core.dll
// (same), 2 docs/read me.txt (same), 3 the non-ASCII name (changed), 4
// keep/spelled.dll (same), 5 bin/plugins/new.dll (added), 6 data/big.bin
// (added), 7 the nested folder's file (same).
const KillCase kill_cases[] = {
    {"start-up", "v1", "v2", "1.1", nullptr, false},
    {"unpack:0", "v1", "v2", "1.1", nullptr, false},
    {"unpack:6", "v1", "v2", "1.1", nullptr, false},
    {"backup:0", "v1", "v2", "1.1", nullptr, false},
    {"backup:3", "v1", "v2", "1.1", nullptr, false},
    {"after backup", "v1", "v2", "1.1", nullptr, false},
    {"apply:0", "v1", "v2", "1.1", nullptr, false},
    {"apply:3", "v1", "v2", "1.1", nullptr, false},
    {"apply:6", "v1", "v2", "1.1", nullptr, false},
    {"after apply", "v1", "v2", "1.1", nullptr, false},
    {"shortcut:0", "v1", "v2", "1.1", nullptr, false},
    {"shortcut:1", "v1", "v2", "1.1", nullptr, false},
    {"manager copied", "v1", "v2", "1.1", nullptr, true},
    {"manager shortcut placed", "v1", "v2", "1.1", nullptr, false},
    // The manager's shortcut made in German before, now in English: the
    // German one goes once the English one stands.
    {"manager shortcut written", "two", "v1", "1.0.0.1", nullptr, false, nullptr, nullptr, L"2"},
    {"manager shortcut placed", "two", "v1", "1.0.0.1", nullptr, false, nullptr, nullptr, L"2"},
    {"record save", "v1", "v2", "1.1", nullptr, false},
    {"record saved", "v1", "v2", "1.1", nullptr, false},
    {"entry", "v1", "v2", "1.1", nullptr, false},
    {"cleanup:0", "v1", "v2", "1.1", nullptr, false},
    {"cleanup:7", "v1", "v2", "1.1", nullptr, false},
    {"repair:0", "v1", "v2", "1.1", "after backup", false},
    {"repair:3", "v1", "v2", "1.1", "apply:3", false},
    // A run of v2 cut in its apply pass, then a third version: the repair
    // takes v2's new files away and puts v1's back before big goes on
    // (big's list begins with v2's files, in v2's order).
    {"repair:6", "v1", "big", "1.2", "apply:3", false, "v2"},
    // The second of two cut-off runs backs up none of the files the first
    // added: the first is undone before it looks.
    {"after backup", "v1", "v2", "1.1", "apply:6", false},
    {"unpack:0", nullptr, "v1", "1.0.0.1", nullptr, false},
    // Rerun into another folder: the one the killed run made goes.
    {"unpack:6", nullptr, "v1", "1.0.0.1", nullptr, false, nullptr, L"first"},
    {"shortcut:1", nullptr, "v1", "1.0.0.1", "unpack:6", false, nullptr, L"first"},
    {"after apply", nullptr, "v1", "1.0.0.1", nullptr, false},
    {"record saved", nullptr, "v1", "1.0.0.1", nullptr, false},
    {"entry", nullptr, "v1", "1.0.0.1", nullptr, false},
    // Every file left alone: only the record and the entry change.
    {"record saved", "v1", "same", "1.0.5", nullptr, false},
    // The waiting run's undo of the killed one fails: it stops, leaving the
    // killed run's journal whole, and installs nothing over it.
    {"apply:6", nullptr, "v1", "1.0.0.1", nullptr, false, nullptr, nullptr, nullptr, L"bin/core.dll"},
};

class KillPoint : public ::testing::TestWithParam<KillCase> {};

std::string case_name(const ::testing::TestParamInfo<KillCase>& info)
{
    std::string name = std::string(info.param.old_product ? "update_" : "first_") + info.param.new_product + "_" +
                       info.param.point;
    if (info.param.earlier)
        name += std::string("_after_") +
                (info.param.earlier_product ? std::string(info.param.earlier_product) + "_" : std::string()) +
                info.param.earlier;
    if (info.param.killed_folder)
        name += "_elsewhere";
    if (info.param.old_language)
        name += std::string("_over_") + info.param.old_product;
    if (info.param.held)
        name += "_while_another_waits";
    for (char& c : name)
        if (!isalnum(uint8_t(c)))
            c = '_';
    return name;
}

}  // namespace

TEST_P(KillPoint, TheRerunCompletesWhatTheKillInterrupted)
{
    const KillCase& c = GetParam();
    World world(L"kill");
    const char* old_product = c.old_product;
    const char* new_product = c.new_product;
    if (old_product) {
        std::map<std::wstring, std::wstring> language;
        if (c.old_language)
            language[L"PELMARO_TEST_LANGUAGE"] = c.old_language;
        ASSERT_EQ(world.Install(old_product, language).exit_code, 0u);
        if (c.silent_manager) {
            ASSERT_TRUE(put_file(world.Manager(), "no program"));
        }
    }
    std::map<std::wstring, std::wstring> killed_in;
    if (c.killed_folder)
        killed_in[L"PELMARO_TEST_FOLDER"] = windows_path(world.Path(c.killed_folder));
    if (c.earlier) {
        const char* earlier_product = c.earlier_product ? c.earlier_product : new_product;
        killed_in[L"PELMARO_TEST_KILL_POINT"] = wide_of(c.earlier);
        RunResult earlier = world.Install(earlier_product, killed_in);
        ASSERT_EQ(earlier.exit_code, 86u) << earlier.output;
    }
    killed_in[L"PELMARO_TEST_KILL_POINT"] = wide_of(c.point);
    RunResult killed;
    if (c.held) {
        TempFolder pause(L"killpause");
        std::wstring pause_file = pause.Path(L"held");
        std::map<std::string, std::string> journal, record = world.Record();
        HANDLE held = INVALID_HANDLE_VALUE;
        RunResult waited = world.Install(
            new_product, {{L"PELMARO_TEST_PAUSE_POINT", L"job"}, {L"PELMARO_TEST_PAUSE_FILE", windows_path(pause_file)}},
            -1, [&](HANDLE) {
                for (int waited_ms = 0; waited_ms < 30000 && !exists(pause_file); waited_ms += 50)
                    Sleep(50);
                killed = world.Install(new_product, killed_in);
                journal = world.Journal(true);
                held = CreateFileW(windows_path(world.App(c.held)).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
                DeleteFileW(windows_path(pause_file).c_str());
            });
        EXPECT_NE(held, INVALID_HANDLE_VALUE);
        CloseHandle(held);
        EXPECT_EQ(waited.exit_code, 100u + 2) << "a leftover that cannot be put right: " << waited.output;
        EXPECT_FALSE(journal.empty());
        EXPECT_EQ(world.Journal(true), journal) << "the killed run's journal stays for the next run";
        EXPECT_EQ(world.Record(), record);
    } else {
        killed = world.Install(new_product, killed_in);
    }
    ASSERT_EQ(killed.exit_code, 86u) << "the kill point was reached: " << killed.output;
    expect_consistent(world, old_product, new_product);
    RunResult rerun = world.Install(new_product);
    // A kill after the last step leaves nothing to do.
    EXPECT_TRUE(rerun.exit_code == 0 || rerun.exit_code == 50 + 12) << rerun.output;
    expect_installed(world, new_product, c.version);
    if (c.killed_folder) {
        EXPECT_FALSE(exists(world.Path(c.killed_folder))) << "the folder of the killed runs stays";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, KillPoint, ::testing::ValuesIn(kill_cases), case_name);

namespace {

// The journal of the run that saved the record, back beside it as a kill
// between the writes of the two store files leaves it: the record's own
// stamp, and every file of the product as one the run added, with the
// digest of its content.
void leave_journal(const World& world, const char* product)
{
    cCIAppConfig store;
    ASSERT_TRUE(store.OpenStore(world.CommonStore().c_str()));
    std::string key = "journal/" + utf8_of(road_code_name()) + "/";
    std::string since = world.Record()["since"];
    ASSERT_EQ(since.size(), 8u);
    store.WriteBytes((key + "since").c_str(), since.data(), 8);
    store.WriteString((key + "path").c_str(), world.App().c_str(), -1);
    int32_t count = 0;
    for (const auto& file : product_files(product)) {
        std::string bytes = file_bytes(road_folder() + L"/" + file.second);
        uint8_t digest[32];
        sha256_digest(digest, bytes.data(), int32_t(bytes.size()));
        std::string index = std::to_string(count++);
        store.WriteString((key + "file" + index).c_str(), world.App(file.first).c_str(), -1);
        store.WriteBytes((key + "hash" + index).c_str(), digest, 32);
    }
    store.WriteInt32((key + "files").c_str(), count);
    ASSERT_TRUE(store.Save());
}

}  // namespace

// A run cut off, then another that gives up (stopped while unpacking):
// it undid the cut-off run before it looked, so the installation the record
// holds stays whole. Cut off before its record, v2 leaves v1 recorded,
// whose files it replaced the rerun must not take for unchanged; cut off
// after its record, its backups hold the version before, which must not
// come back over v2, and its journal, where the kill left it beside the
// record, is dropped with nothing undone. Of a first installation cut off,
// the Start-menu group it made goes.
TEST(KillThenStop, TheRecordedInstallationStaysWhole)
{
    struct StopCase {
        const char* point;     // of v2 over v1, or of v1's first installation
        const char* next;      // run next, and stopped
        const char* recorded;  // the product the record holds after the kill; null: none, v1 was first
        const char* version;
        bool journal_left = false;  // the killed run's journal beside its saved record
    } cases[] = {
        {"apply:3", "v2", "v1", "1.0.0.1"},
        {"entry", "big", "v2", "1.1"},
        {"entry", "big", "v2", "1.1", true},
        {"shortcut group:0", "v1", nullptr, nullptr},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(std::string(c.point) + (c.journal_left ? ", its journal left" : ""));
        World world(L"killstop");
        if (c.recorded) {
            ASSERT_EQ(world.Install("v1").exit_code, 0u);
        }
        ASSERT_EQ(world.Install(c.recorded ? "v2" : "v1", {{L"PELMARO_TEST_KILL_POINT", wide_of(c.point)}}).exit_code,
                  86u);
        if (c.journal_left)
            leave_journal(world, c.recorded);
        RunResult stopped = world.Install(c.next, {{L"PELMARO_TEST_STOP_AT_STEP", L"2"}});
        EXPECT_EQ(stopped.exit_code, 100u + 10) << stopped.output;
        if (c.recorded) {
            expect_installed(world, c.recorded, c.version);
        } else {
            EXPECT_FALSE(exists(world.Group())) << "the group is left behind";
            EXPECT_TRUE(world.Record().empty());
        }
    }
}

// What the user put where the cut-off run had added a file is the user's:
// the undo leaves it (the rerun then meets it as another's), and gives the
// rest of the recorded installation back.
TEST(KillThenStop, AFileChangedWhereTheCutOffRunAddedOneStays)
{
    World world(L"killchanged");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    ASSERT_EQ(world.Install("v2", {{L"PELMARO_TEST_KILL_POINT", L"apply:6"}}).exit_code, 86u);
    ASSERT_TRUE(put_file(world.App(L"bin/plugins/new.dll"), "the user's"));
    RunResult rerun = world.Install("v2");
    EXPECT_EQ(rerun.exit_code, 50u + 10) << rerun.output;
    EXPECT_EQ(file_bytes(world.App(L"bin/plugins/new.dll")), "the user's");
    for (const auto& file : product_files("v1"))
        EXPECT_TRUE(file_bytes(world.App(file.first)) == file_bytes(road_folder() + L"/" + file.second))
            << utf8_of(file.first);
}

// Kills from outside at random moments of the update from v1 to "big", a
// product of 120 files: the moments spread over the time a whole update
// takes, measured first.
class KillAtRandom : public ::testing::TestWithParam<int> {
protected:
    static int UpdateMilliseconds()
    {
        static int measured = [] {
            World world(L"measure");
            if (world.Install("v1").exit_code != 0)
                return 0;
            DWORD start = GetTickCount();
            world.Install("big");
            return int(GetTickCount() - start);
        }();
        return measured;
    }
};

TEST_P(KillAtRandom, TheRerunCompletesWhatTheKillInterrupted)
{
    int duration = UpdateMilliseconds();
    ASSERT_GT(duration, 0);
    std::mt19937 random(uint32_t(GetParam()) * 7919u + 17u);
    int moment = int(random() % uint32_t(duration + 1));
    World world(L"random");
    ASSERT_EQ(world.Install("v1").exit_code, 0u);
    RunResult killed = world.Install("big", {}, moment);
    expect_consistent(world, "v1", "big");
    RunResult rerun = world.Install("big");
    EXPECT_TRUE(rerun.exit_code == 0 || rerun.exit_code == 50 + 12)
        << "killed at " << moment << " of " << duration << " ms: " << rerun.output;
    expect_installed(world, "big", "1.2");
}

INSTANTIATE_TEST_SUITE_P(Moments, KillAtRandom, ::testing::Range(0, 30));
