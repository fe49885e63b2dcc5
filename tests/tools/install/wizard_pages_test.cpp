// The wizard's rules apart from its windows: which step a click on the step
// list goes to and when the wizard may move, the folder page's checks of a
// folder (on a package made by make), its default folder and its space
// line, and the job page's bar position.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/redirected_env.h"
#include "tests/support/short_path.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"
#include "tests/tools/install/road_fixture.h"
#include "tools/install/folder_page.h"
#include "tools/install/install_context.h"
#include "tools/install/install_init.h"
#include "tools/install/job_panel.h"
#include "tools/install/wizard_steps.h"

namespace {

// A page table with the caption of every page ending at x 120.
cWizardSteps steps_of(std::initializer_list<uint32_t> kinds, int32_t current)
{
    cWizardSteps steps;
    for (uint32_t kind : kinds)
        steps.Add(kind, 120);
    steps.SetCurrent(current);
    return steps;
}

int32_t row_y(int32_t index)
{
    return wizard_steps_top + wizard_step_height * index + 5;
}

}  // namespace

TEST(WizardSteps, AClickGoesOnlyBackAndNeverWhileAJobWorks)
{
    const std::initializer_list<uint32_t> all = {WIZARD_PAGE_WELCOME, WIZARD_PAGE_README, WIZARD_PAGE_LICENCE,
                                                 WIZARD_PAGE_OLDER_PRODUCTS, WIZARD_PAGE_FOLDER, WIZARD_PAGE_INSTALL,
                                                 WIZARD_PAGE_FINISH};
    struct ClickCase {
        const char* what;
        int32_t current;
        int32_t x;
        int32_t y;
        bool busy;
        int32_t step;  // -1: nowhere
    };
    const ClickCase cases[] = {
        {"an earlier step", 4, 60, row_y(1), false, 1},
        {"the first step", 4, 25, row_y(0), false, 0},
        {"the current step", 4, 60, row_y(4), false, -1},
        {"a later step", 2, 60, row_y(4), false, -1},
        {"left of the markers", 4, 24, row_y(1), false, -1},
        {"right of the caption", 4, 120, row_y(1), false, -1},
        {"above the list", 4, 60, wizard_steps_top - 1, false, -1},
        {"below the list", 4, 60, wizard_steps_top + 7 * wizard_step_height, false, -1},
        {"the install step from the finish page", 6, 60, row_y(5), false, -1},
        {"any step from the finish page", 6, 60, row_y(0), false, -1},
        {"an earlier step while the older products go", 3, 60, row_y(0), true, -1},
        {"an earlier step while installing", 5, 60, row_y(2), true, -1},
    };
    for (const ClickCase& c : cases) {
        cWizardSteps steps = steps_of(all, c.current);
        EXPECT_EQ(steps.StepAt(c.x, c.y, c.busy), c.step) << c.what;
    }
    // Only the install page's own step is never a way back, also when it
    // is not the last but one.
    cWizardSteps short_table = steps_of({WIZARD_PAGE_INSTALL, WIZARD_PAGE_FINISH}, 1);
    EXPECT_EQ(short_table.StepAt(60, row_y(0), false), -1);
}

TEST(WizardSteps, TheWizardMovesOnlyToAnotherPageAndNotWhileBusy)
{
    cWizardSteps steps = steps_of({WIZARD_PAGE_LICENCE, WIZARD_PAGE_FOLDER, WIZARD_PAGE_INSTALL, WIZARD_PAGE_FINISH}, 2);
    struct MoveCase {
        int32_t index;
        bool busy;
        bool allowed;
    };
    const MoveCase cases[] = {{3, false, true}, {0, false, true}, {2, false, false}, {-1, false, false},
                              {4, false, false}, {3, true, false}, {0, true, false}};
    for (const MoveCase& c : cases)
        EXPECT_EQ(steps.CanSwitchTo(c.index, c.busy), c.allowed) << c.index << " " << c.busy;
    // The install job's end goes to the finish page wherever it stands.
    EXPECT_EQ(steps.IndexOf(WIZARD_PAGE_FINISH), 3);
    EXPECT_EQ(steps.IndexOf(WIZARD_PAGE_WELCOME), -1);
}

TEST(JobPanel, TheBarShowsTheStepsShareOfTheWhole)
{
    struct BarCase {
        double percent;
        int32_t step;
        int32_t steps;
        int32_t position;
    };
    const BarCase cases[] = {
        {50.0, 1, 3, 50},   {0.0, 0, 3, 0},    {100.0, 2, 3, 100}, {99.9, 0, 3, 33},
        {100.0, 0, 3, 33},  {10.0, 3, 4, 77},  {49.4, 0, 0, 49},   {49.5, 0, 0, 50},
        {0.0, 120, 124, 96}, {100.0, 123, 124, 100},
    };
    for (const BarCase& c : cases)
        EXPECT_EQ(job_progress_position(c.percent, c.step, c.steps), c.position)
            << c.percent << " of step " << c.step << " of " << c.steps;
}

TEST(FolderPage, TheSpaceLineRoundsUpToWholeMebibytes)
{
    struct SpaceCase {
        uint64_t bytes;
        const wchar_t* line;
    };
    const SpaceCase cases[] = {
        {0, L"This will take below 1MB of disk space"},
        {1048575, L"This will take below 1MB of disk space"},
        {1048576, L"This will take approximately 1MB of disk space"},
        {1048577, L"This will take approximately 2MB of disk space"},
        {5ull << 40, L"This will take approximately 5242880MB of disk space"},
    };
    for (const SpaceCase& c : cases) {
        _guardchar<wchar_t> line;
        ASSERT_TRUE(format_space_line(L"This will take %s of disk space", L"below 1MB", L"approximately %lldMB",
                                      c.bytes, line));
        EXPECT_EQ(std::wstring(line.Text()), c.line) << c.bytes;
    }
}

TEST(FolderPage, TheDefaultFolderIsUnderTheFirstProgramFilesThatExists)
{
    TempFolder folder(L"programfiles");
    CreateDirectoryW(folder.Native(L"w6432").c_str(), nullptr);
    CreateDirectoryW(folder.Native(L"pf").c_str(), nullptr);
    std::wstring w6432 = windows_path(folder.Path(L"w6432"));
    std::wstring pf = windows_path(folder.Path(L"pf"));
    std::wstring missing = windows_path(folder.Path(L"missing"));
    struct FolderCase {
        std::wstring w6432;
        std::wstring program_files;
        std::wstring expected;
    };
    const FolderCase cases[] = {
        {w6432, pf, folder.Path(L"w6432/Road Test")},
        {L"", pf, folder.Path(L"pf/Road Test")},
        {missing, pf, folder.Path(L"pf/Road Test")},
        {missing, missing, L"C:/Program Files/Road Test"},
        {L"", L"", L"C:/Program Files/Road Test"},
    };
    for (const FolderCase& c : cases) {
        RedirectedEnv variables;
        variables.Set(L"ProgramW6432", c.w6432.empty() ? nullptr : c.w6432.c_str());
        variables.Set(L"ProgramFiles", c.program_files.empty() ? nullptr : c.program_files.c_str());
        _guardchar<wchar_t> chosen;
        ASSERT_TRUE(default_install_folder(L"Road Test", chosen));
        EXPECT_EQ(std::wstring(chosen.Text()), c.expected) << utf8_of(c.w6432) << " " << utf8_of(c.program_files);
    }
}

namespace {

class cTakeProposed : public cInstallInitQuestions {
public:
    uint32_t ChooseLanguage(uint32_t proposed) override { return proposed; }
};

// A product's installer made by the test build, read and planned by the
// start-up as a first installation.
struct cPlannedInstaller {
    explicit cPlannedInstaller(const char* product)
        : context(road::runner_path().c_str(), road::installers().Get(product).c_str(),
                  uint32_t(road::file_bytes(road::runner_path()).size()))
    {
        cTakeProposed questions;
        ready = run_install_init(context, nullptr, questions) == INSTALL_INIT_READY;
    }

    cInstallContext context;
    bool ready;
};

}  // namespace

TEST(FolderPage, AFolderIsCheckedFileByFileAgainstThePackage)
{
    TempFolder folder(L"foldercheck");
    cPlannedInstaller planned("v1");
    ASSERT_TRUE(planned.ready);
    cInstallContext& context = planned.context;
    std::string app = road::file_bytes(road::road_folder() + L"/src/v1/bin/app.exe");
    // Each case a folder of its own, with what stands in it.
    auto folder_with = [](const std::wstring& f) {
        CreateDirectoryW(windows_path(f).c_str(), nullptr);
        return CreateDirectoryW(windows_path(f + L"/bin").c_str(), nullptr) != 0;
    };
    struct CheckCase {
        const char* what;
        std::function<bool(const std::wstring&)> prepare;  // given the folder
        int32_t text;                                     // of "pkgm::fsel"; 0 passes
        const wchar_t* error_path;                        // inside the folder
    };
    const CheckCase cases[] = {
        {"an empty folder", [&](const std::wstring& f) { return folder_with(f); }, 0, nullptr},
        {"a folder still to make", [](const std::wstring&) { return true; }, 0, nullptr},
        {"the same file there",
         [&](const std::wstring& f) { return folder_with(f) && road::put_file(f + L"/bin/app.exe", app); }, 0,
         nullptr},
        {"another file there",
         [&](const std::wstring& f) { return folder_with(f) && road::put_file(f + L"/bin/app.exe", "other"); }, 8,
         L"bin/app.exe"},
        {"a folder in a file's place",
         [&](const std::wstring& f) {
             return folder_with(f) && CreateDirectoryW(windows_path(f + L"/bin/app.exe").c_str(), nullptr);
         },
         9, L"bin/app.exe"},
        {"a file in a folder's place",
         [](const std::wstring& f) {
             return CreateDirectoryW(windows_path(f).c_str(), nullptr) && road::put_file(f + L"/bin", "x");
         },
         9, L"bin"},
        {"a file in the install folder's place", [](const std::wstring& f) { return road::put_file(f, "x"); }, 9,
         L""},
    };
    int index = 0;
    for (const CheckCase& c : cases) {
        std::wstring target = folder.Path(L"case" + std::to_wstring(index++));
        ASSERT_TRUE(c.prepare(target)) << c.what;
        EXPECT_EQ(check_install_location(context, target.c_str()), c.text) << c.what;
        if (c.error_path) {
            std::wstring named = c.error_path[0] ? target + L"/" + c.error_path : target;
            EXPECT_EQ(std::wstring(context.error_path.Text() ? context.error_path.Text() : L""), named)
                << c.what << ": the object in the way";
        }
    }
}

// A file of the install folder and one of another folder of the package
// meet only when the user installs into that other folder (or into the
// other file's place): refused with the text that says two of the
// package's files would be one, naming where they meet.
TEST(FolderPage, TwoFilesOfThePackageMeetingInTheChosenFolderAreToldSo)
{
    cPlannedInstaller planned("meet");
    ASSERT_TRUE(planned.ready);
    cInstallContext& context = planned.context;
    std::wstring shared = L"C:/users/Public/" + road::installers().code_name + L"-meet";
    TempFolder elsewhere(L"meetcheck");
    const int32_t files_meet = 14;
    struct MeetCase {
        const char* what;
        std::wstring folder;
        int32_t text;
        std::wstring error_path;
    } cases[] = {
        {"the other folder itself", shared, files_meet, shared + L"/bin/app.exe"},
        {"the other file's place", shared + L"/bin/app.exe", files_meet, shared + L"/bin/app.exe"},
        {"a folder of its own", elsewhere.Path(L"app"), 0, L""},
    };
    for (const MeetCase& c : cases) {
        EXPECT_EQ(check_install_location(context, c.folder.c_str()), c.text) << c.what;
        if (!c.error_path.empty()) {
            EXPECT_EQ(std::wstring(context.error_path.Text() ? context.error_path.Text() : L""), c.error_path)
                << c.what;
        }
    }
}

// A folder that cannot hold a product of its own, by the rule the
// installation record is read by later: the page refuses it with its text,
// naming the folder, before anything is planned there.
TEST(FolderPage, AFolderThatCannotHoldAProductOfItsOwnIsRefused)
{
    cPlannedInstaller planned("v1");
    ASSERT_TRUE(planned.ready);
    cInstallContext& context = planned.context;
    wchar_t program_files[MAX_PATH] = {}, profile[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"ProgramFiles", program_files, MAX_PATH), 0u);
    ASSERT_GT(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH), 0u);
    std::wstring profile_path = slash_path(profile);
    const std::wstring refused[] = {
        L"C:/", L"C:", L"Z:/", L"Q:/", slash_path(program_files), profile_path,
        // Above the user's profile, a name whose end Windows drops, and the
        // system's namespaces, which reach any file.
        profile_path.substr(0, profile_path.rfind(L'/')), profile_path + L"/Demo.",
        L"//?/" + slash_path(program_files), L"//./C:/Demo",
    };
    // The user's Music as Windows names it, and folders by other spellings:
    // Common Files by its short name, Documents through a link of the
    // user's, a folder of his by its short name or through a link.
    std::vector<std::wstring> known_or_aliased(std::begin(refused), std::end(refused));
    wchar_t *music = nullptr, *documents = nullptr, common_files[MAX_PATH] = {};
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Music, 0, nullptr, &music), S_OK);
    ASSERT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &documents), S_OK);
    ASSERT_GT(GetEnvironmentVariableW(L"CommonProgramFiles", common_files, MAX_PATH), 0u);
    TempFolder own(L"ownfolder");
    ASSERT_TRUE(CreateDirectoryW(own.Native(L"Long Folder Name").c_str(), nullptr));
    HostFolderLink to_documents(own.Path(L"docs"), slash_path(documents));
    HostFolderLink to_own(own.Path(L"linked"), own.Path(L"Long Folder Name"));
    ASSERT_TRUE(to_documents.Valid() && to_own.Valid());
    for (const std::wstring& folder : {slash_path(music), short_path_of(slash_path(common_files)), own.Path(L"docs"),
                                       short_path_of(own.Path(L"Long Folder Name")) + L"/Demo", own.Path(L"linked/Demo")})
        known_or_aliased.push_back(folder);
    CoTaskMemFree(music);
    CoTaskMemFree(documents);
    for (const std::wstring& folder : known_or_aliased) {
        EXPECT_EQ(check_install_location(context, folder.c_str()), 15) << utf8_of(folder);
        EXPECT_EQ(std::wstring(context.error_path.Text() ? context.error_path.Text() : L""), folder)
            << utf8_of(folder);
    }
    EXPECT_EQ(check_install_location(context, own.Path(L"Demo").c_str()), 0);
    EXPECT_EQ(check_install_location(context, own.Path(L"Long Folder Name/Demo").c_str()), 0);
}

// Each planning result the folder page meets, with the text that tells the
// user; a folder the user may not write cannot be made where the tests run
// (Wine keeps no access lists on its files), so its result is taken here.
TEST(FolderPage, EachPlanningResultHasItsText)
{
    const struct {
        uint32_t planned;
        int32_t text;
    } cases[] = {
        {INSTALL_INIT_READY, 0},           {INSTALL_INIT_FOREIGN_FILE, 8},     {INSTALL_INIT_OBJECT_IN_THE_WAY, 9},
        {INSTALL_INIT_NO_WRITE_ACCESS, 10}, {INSTALL_INIT_UNREADABLE_FILE, 11}, {INSTALL_INIT_BAD_TARGET_PATH, 7},
        {INSTALL_INIT_UNSOUND_FOLDER, 15},  {INSTALL_INIT_FILE_IN_USE, 16},     {INSTALL_INIT_BAD_PACKAGE, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folder_refusal_text(c.planned), c.text) << c.planned;
}

// The space line of a product of many small files counts each file in the
// clusters the folder's volume stores it in, as Windows reports them.
TEST(FolderPage, TheSpaceNeedCountsWholeClustersOfTheFoldersVolume)
{
    TempFolder folder(L"spaceneed");
    cPlannedInstaller planned("big");
    ASSERT_TRUE(planned.ready);
    wchar_t root[MAX_PATH];
    DWORD sectors = 0, sector_bytes = 0, free_clusters = 0, clusters = 0;
    ASSERT_TRUE(GetVolumePathNameW(windows_path(folder.Path()).c_str(), root, MAX_PATH));
    ASSERT_TRUE(GetDiskFreeSpaceW(root, &sectors, &sector_bytes, &free_clusters, &clusters));
    uint64_t cluster = uint64_t(sectors) * sector_bytes;
    uint64_t expected = 0, bytes = 0;
    for (const auto& file : road::product_files("big")) {
        uint64_t size = road::file_bytes(road::road_folder() + L"/" + file.second).size();
        bytes += size;
        expected += (size + cluster - 1) / cluster * cluster;
    }
    ASSERT_LT(cluster, 65536u) << "a volume of small clusters tells the rounding apart";
    // A folder that is there and one still to be made, on that volume.
    for (const wchar_t* inside : {L"", L"not/yet/made"}) {
        std::wstring target = folder.Path(inside);
        uint64_t needed = folder_space_needed(planned.context, target.c_str());
        EXPECT_EQ(needed, expected) << utf8_of(target) << ": " << bytes << " bytes in clusters of " << cluster;
    }
}
