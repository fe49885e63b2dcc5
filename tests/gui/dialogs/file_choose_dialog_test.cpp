// The file chooser over a folder tree the test builds, driven by real keys
// and clicks: what the list shows, what typed names give, new folders, a
// slow lister meanwhile clicked at, the locations with Wine's stand-ins for
// drives, and the run through show_file_choose_dialog. The first test
// keeps a screenshot as artifacts/file_choose_dialog.png.

#include "gui/dialogs/file_choose_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/gui/dialogs/chooser_probe.h"
#include "tests/gui/dialogs/dialog_runs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

namespace {

using cSteps = std::vector<cFormWindow::cStep>;

// Files of the tree: name, size in bytes.
const std::pair<const wchar_t*, size_t> tree_files[] = {
    {L"image.png", 100},        {L"photo.jpg", 5000},    {L"readme.txt", 3000},
    {L"docs/report.txt", 1500}, {L"docs/chart.png", 10}, {L".secret", 10}};

// A file's last write time as Windows shows it in local time.
std::wstring local_date(const std::wstring& native)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME time;
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &time))
        return L"?";
    wchar_t text[40];
    swprintf(text, 40, L"%02d.%02d.%04d %02d:%02d:%02d", time.wDay, time.wMonth, time.wYear, time.wHour,
             time.wMinute, time.wSecond);
    return text;
}

// Holds each navigation while its gate is closed (at most 10 s).
class cSlowLister : public cFileChooseListFolder {
public:
    cSlowLister() : gate(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    ~cSlowLister() override
    {
        SetEvent(gate);
        Stop(4000);
        CloseHandle(gate);
    }
    uint32_t Navigate(const wchar_t* path) override
    {
        WaitForSingleObject(gate, 10000);
        return cFileChooseListFolder::Navigate(path);
    }

    HANDLE gate;
};

class FileChooserTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        CreateDirectoryW(root.Native(L"docs").c_str(), nullptr);
        for (const auto& file : tree_files)
            ASSERT_TRUE(root.WriteFile(file.first, std::string(file.second, 'x')));
        // An old date, set apart from the others.
        HANDLE file = CreateFileW(root.Native(L"readme.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SYSTEMTIME old_time = {2019, 3, 0, 4, 5, 6, 7, 0};
        FILETIME old_file_time;
        SystemTimeToFileTime(&old_time, &old_file_time);
        SetFileTime(file, nullptr, nullptr, &old_file_time);
        CloseHandle(file);
        // Wine marks names with a leading dot hidden.
        ASSERT_TRUE(root.Attributes(L".secret") & FILE_ATTRIBUTE_HIDDEN);
        options.initial_folder.Assign(root.Path().c_str());
        SetFilters({{L"PNG images", L"*.png", L"png"}, {L"Everything", L"*", L""}}, 0);
    }

    void SetFilters(const std::vector<std::vector<const wchar_t*>>& filters, int32_t index)
    {
        options.filters.Resize(int32_t(filters.size()));
        options.filter_count = int32_t(filters.size());
        for (size_t i = 0; i < filters.size(); ++i) {
            options.filters[int32_t(i)].name.Assign(filters[i][0]);
            options.filters[int32_t(i)].pattern.Assign(filters[i][1]);
            options.filters[int32_t(i)].extension.Assign(filters[i][2]);
        }
        options.filter_index = index;
    }

    // Runs a chooser whose script is made for it; the run's result.
    intptr_t Run(const std::function<cSteps(cFileChooserProbe*, cFormWindow&)>& script,
                 cFileChooseListFolder* lister = nullptr)
    {
        cFormWindow runner;
        runner.maker.SetCatalog(get_global_catalog());
        cFileChooserProbe* probe = new cFileChooserProbe(runner, &options, lister);
        return runner.Run(probe, 500, 350, script(probe, runner), true);
    }

    static cFormWindow::cStep Idle(cFormWindow& runner, cFileChooserProbe* probe)
    {
        return runner.WaitUntil([probe]() { return probe->Idle() && !probe->Rows().empty(); });
    }

    TempFolder root{L"chooser"};
    cFileChooseOptions options;
};

TEST_F(FileChooserTest, ListsSizesAndDatesWithoutHiddenFiles)
{
    std::map<std::wstring, cFileChooserProbe::cRow> rows;
    std::wstring path;
    options.filter_index = 1;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  return cSteps{Idle(runner, probe), [&, probe]() {
                                    rows = probe->Rows();
                                    path = probe->BarPath();
                                    keep_screenshot(probe, "file_choose_dialog.png");
                                }};
              }),
              1);
    EXPECT_EQ(path, root.Path());
    std::map<std::wstring, cFileChooserProbe::cRow> expected = {{L"docs", {local_date(root.Native(L"docs")), L"File folder", L""}}};
    for (const auto& file : tree_files) {
        std::wstring name = file.first;
        if (name[0] != L'.' && name.find(L'/') == std::wstring::npos)
            expected[name] = {local_date(root.Native(name)), L"File", std::to_wstring(file.second / 1024) + L" KB"};
    }
    ASSERT_EQ(rows.size(), expected.size());
    for (const auto& row : expected) {
        SCOPED_TRACE(std::string(row.first.begin(), row.first.end()));
        ASSERT_EQ(rows.count(row.first), 1u);
        EXPECT_EQ(rows[row.first].date, row.second.date);
        EXPECT_EQ(rows[row.first].type, row.second.type);
        EXPECT_EQ(rows[row.first].size, row.second.size);
    }
    EXPECT_EQ(rows[L"readme.txt"].date.substr(0, 10), L"04.03.2019");
}

TEST_F(FileChooserTest, TypedTextsChooseNavigateOrFilter)
{
    // A file in the process's current folder that the listed folder lacks.
    TempFolder elsewhere(L"current");
    ASSERT_TRUE(elsewhere.WriteFile(L"probe.txt", "x"));
    wchar_t saved_current[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved_current);
    SetCurrentDirectoryW(elsewhere.Native().c_str());

    struct cCase {
        const wchar_t* typed;
        int32_t filter_index;
        uint8_t name_filters;
        std::wstring chosen;  // empty: the dialog stays
        std::wstring bar_path = {};  // with the dialog staying
        std::wstring filter_text = {};
        std::vector<std::wstring> rows = {};
    };
    const std::wstring r = root.Path();
    const cCase cases[] = {
        {L"pic", 0, 0, r + L"/pic.png"},
        {L"pic.PNG", 0, 0, r + L"/pic.PNG"},
        {L"pic.jpg", 0, 0, r + L"/pic.jpg.png"},
        // An existing file is chosen without a question: the caller asks.
        {L"image.png", 1, 0, r + L"/image.png"},
        {L"probe.txt", 1, 0, r + L"/probe.txt"},
        {L"docs", 1, 0, L"", r + L"/docs", L"Everything", {L"chart.png", L"report.txt"}},
        {L"*.png", 1, 0, L"", r, L"Custom (*.png)", {L"docs", L"image.png"}},
        {L"*.jpg", 0, 1, L"", r, L"PNG images (filter: *.jpg)", {L"docs", L"photo.jpg"}},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(c.typed, c.typed + wcslen(c.typed)));
        options.file_name.Assign(nullptr);
        options.filter_index = c.filter_index;
        options.name_filters = c.name_filters;
        std::wstring bar_path, last_segment, field, filter_text;
        std::vector<std::wstring> rows;
        EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                      return cSteps{Idle(runner, probe),
                                    [&, probe]() {
                                        probe->ClickField();
                                        cFormWindow::TypeText(c.typed);
                                        cFormWindow::Press(VK_RETURN);
                                    },
                                    Idle(runner, probe), [&, probe]() {
                                        bar_path = probe->BarPath();
                                        last_segment = probe->LastSegment();
                                        field = probe->FieldText();
                                        filter_text = probe->FilterText();
                                        for (const auto& row : probe->Rows())
                                            rows.push_back(row.first);
                                    }};
                  }),
                  1);
        EXPECT_EQ(std::wstring(options.file_name.Text() ? options.file_name.Text() : L""), c.chosen);
        if (!c.chosen.empty())
            continue;
        EXPECT_EQ(bar_path, c.bar_path);
        EXPECT_EQ(last_segment, c.bar_path.substr(c.bar_path.rfind(L'/') + 1));
        EXPECT_EQ(field, c.typed[0] == L'*' ? c.typed : L"");
        EXPECT_EQ(filter_text, c.filter_text);
        EXPECT_EQ(rows, c.rows);
    }
    SetCurrentDirectoryW(saved_current);
}

TEST_F(FileChooserTest, NewFolderCreatesAsksOrReportsTheError)
{
    struct cCase {
        const wchar_t* name;
        std::wstring message;  // the nested message's title; empty for none
        std::wstring bar_path;
        bool listed;  // the name is a row afterwards
    };
    const cCase cases[] = {
        {L"fresh", L"", root.Path(), true},
        // "Yes" to "navigate this folder?"
        {L"docs", L"Confirm", root.Path(L"docs"), false},
        {L"bad|name", L"Error", root.Path(), false},
    };
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        std::wstring asked_by, message, bar_path;
        bool listed = false;
        EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                      auto nested = [probe]() { return !nested_dialog_title(probe).empty(); };
                      cSteps steps{Idle(runner, probe), [probe]() { probe->ClickTopButton(3); },
                                   runner.WaitUntil(nested), [&, probe]() {
                                       asked_by = nested_dialog_title(probe);
                                       cFormWindow::TypeText(c.name);
                                       cFormWindow::Press(VK_RETURN);
                                   }};
                      if (!c.message.empty())
                          steps.insert(steps.end(), {runner.WaitUntil([probe]() { return nested_message_up(probe); }),
                                                     [&, probe]() {
                                                         message = nested_dialog_title(probe);
                                                         cFormWindow::Press(VK_RETURN);
                                                     }});
                      steps.insert(steps.end(), {runner.WaitUntil([probe]() { return nested_dialog_title(probe).empty(); }),
                                                 Idle(runner, probe), [&, probe]() {
                                                     bar_path = probe->BarPath();
                                                     listed = probe->Rows().count(c.name) == 1;
                                                 }});
                      return steps;
                  }),
                  1);
        EXPECT_EQ(asked_by, L"Enter new folder name");
        EXPECT_EQ(message, c.message);
        EXPECT_EQ(bar_path, c.bar_path);
        EXPECT_EQ(listed, c.listed);
    }
    EXPECT_NE(root.Attributes(L"fresh") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileChooserTest, InputDuringASlowNavigationIsIgnored)
{
    cSlowLister* lister = new cSlowLister;
    std::vector<std::wstring> nested, rows_after;
    std::wstring bar_path;
    options.filter_index = 1;
    EXPECT_EQ(Run(
                  [&](cFileChooserProbe* probe, cFormWindow& runner) {
                      auto note_nested = [&, probe]() { nested.push_back(nested_dialog_title(probe)); };
                      return cSteps{
                          Idle(runner, probe),
                          [probe, lister]() {
                              ResetEvent(lister->gate);
                              probe->ClickField();
                              cFormWindow::TypeText(L"docs");
                              cFormWindow::Press(VK_RETURN);
                          },
                          runner.WaitUntil([probe]() { return !probe->Idle(); }),
                          // A click on a row, a file chosen by typing and Enter.
                          [probe]() { probe->ClickList(40, 30); },
                          []() {
                              cFormWindow::TypeText(L"ima");
                              cFormWindow::Press(VK_RETURN);
                          },
                          []() { cFormWindow::Press(VK_F5); },
                          [probe]() { probe->ClickTopButton(2); },
                          [probe]() { probe->ClickTopButton(3); },
                          note_nested,
                          // The filter list takes the focus from the field and
                          // chooses the first filter.
                          [probe]() {
                              probe->ClickField();
                              cFormWindow::Press(VK_TAB);
                              cFormWindow::Press(VK_UP);
                          },
                          note_nested,
                          [lister]() { SetEvent(lister->gate); },
                          Idle(runner, probe),
                          [&, probe]() {
                              bar_path = probe->BarPath();
                              for (const auto& row : probe->Rows())
                                  rows_after.push_back(row.first);
                          }};
                  },
                  lister),
              1);
    EXPECT_EQ(options.file_name.Text(), nullptr);
    EXPECT_EQ(nested, (std::vector<std::wstring>{L"", L""}));
    EXPECT_EQ(bar_path, root.Path(L"docs"));
    // The navigation's end listed docs with the pattern chosen meanwhile.
    EXPECT_EQ(options.filter_index, 0);
    EXPECT_EQ(rows_after, std::vector<std::wstring>{L"chart.png"});
}

TEST_F(FileChooserTest, PlacesListsWineDrivesAndAnOfflineDriveFailsCleanly)
{
    TempFolder drive_folder(L"drive");
    ASSERT_TRUE(drive_folder.WriteFile(L"on_drive.txt", "x"));
    wchar_t letter = unused_drive_letter(L'P');
    WineDrive drive(letter, drive_folder.Path());
    ASSERT_TRUE(drive.Valid());
    wchar_t offline = unused_drive_letter(wchar_t(letter + 1));
    RememberedDrives remembered;
    ASSERT_TRUE(remembered.Add(std::wstring(1, offline), L"\\\\nohost\\share"));
    const std::wstring drive_text = std::wstring(1, letter) + L":";
    const std::wstring offline_text = std::wstring(1, offline) + L":";
    options.filter_index = 1;

    std::map<std::wstring, cFileChooserProbe::cRow> places;
    std::vector<std::wstring> on_drive, nested;
    std::wstring failed_path, home_path;
    size_t failed_rows = 99;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  auto nothing_nested = [&, probe]() { nested.push_back(nested_dialog_title(probe)); };
                  return cSteps{
                      Idle(runner, probe), [probe]() { probe->ClickTopButton(2); },
                      runner.WaitUntil([probe]() { return probe->BarPath().empty() && probe->Idle(); }),
                      [&, probe]() {
                          places = probe->Rows();
                          // New folder is off among the locations.
                          probe->ClickTopButton(3);
                      },
                      nothing_nested,
                      // A typed drive opens it.
                      [&, probe]() {
                          probe->ClickField();
                          cFormWindow::TypeText(drive_text.c_str());
                          cFormWindow::Press(VK_RETURN);
                      },
                      Idle(runner, probe),
                      [&, probe]() {
                          for (const auto& row : probe->Rows())
                              on_drive.push_back(row.first);
                          probe->ClickTopButton(2);
                      },
                      runner.WaitUntil([probe]() { return probe->BarPath().empty() && probe->Idle(); }),
                      // The offline drive's row, found by typing, opened
                      // from its menu (whose entry opens where the menu does).
                      [&]() {
                          cFormWindow::TypeText(offline_text.c_str());
                          cFormWindow::Press(VK_APPS);
                      },
                      runner.WaitUntil([probe]() { return !nested_dialog_title(probe).empty(); }),
                      [probe]() { probe->ClickList(8, 8); },
                      runner.WaitUntil([probe]() { return !probe->BarPath().empty() && probe->Idle(); }),
                      [&, probe]() {
                          failed_path = probe->BarPath();
                          failed_rows = probe->Rows().size();
                          probe->ClickTopButton(3);
                      },
                      nothing_nested, [probe]() { probe->ClickTopButton(1); }, Idle(runner, probe),
                      [&, probe]() { home_path = probe->BarPath(); }};
              }),
              1);
    std::wstring drive_row, offline_row;
    for (const auto& row : places) {
        if (row.first.find(drive_text) != std::wstring::npos)
            drive_row = row.first;
        if (row.first.compare(0, 2, offline_text) == 0)
            offline_row = row.first;
    }
    ASSERT_FALSE(drive_row.empty());
    EXPECT_EQ(places[drive_row].type, L"File system");
    EXPECT_EQ(places[drive_row].size + places[drive_row].date, L"");
    EXPECT_EQ(offline_row, offline_text + L" (\\\\nohost\\share - Offline)");
    EXPECT_EQ(places[offline_row].type, L"File system");
    EXPECT_EQ(on_drive, std::vector<std::wstring>{L"on_drive.txt"});
    EXPECT_EQ(failed_path, offline_text);
    EXPECT_EQ(failed_rows, 0u);
    EXPECT_EQ(nested, (std::vector<std::wstring>{L"", L""}));
    EXPECT_FALSE(home_path.empty());
}

// Presses the key every 300 ms until the dialog's window is gone: Enter
// is passed on while the listing is not in yet.
void press_until_closed(HWND dialog, WORD key)
{
    if (!IsWindow(dialog))
        return;
    cFormWindow::Press(key);
    run_later(300, [dialog, key]() { press_until_closed(dialog, key); });
}

TEST_F(FileChooserTest, OnlyAnAcceptedRunAnswersTrue)
{
    options.filter_index = 1;
    std::vector<std::wstring> names;
    std::vector<cOutcome> outcomes = RunDialogs(
        2,
        [&](cChildElement* owner, size_t) {
            options.file_name.Assign(L"result.bin");
            int result = int(show_file_choose_dialog(owner, L"Save as", &options));
            names.push_back(options.file_name.Text());
            return result;
        },
        [](HWND dialog, size_t i) { press_until_closed(dialog, i == 0 ? VK_RETURN : VK_ESCAPE); });
    EXPECT_EQ(outcomes[0].result, 1);
    EXPECT_EQ(outcomes[0].shown.title, L"Save as");
    EXPECT_EQ(outcomes[1].result, 0);
    EXPECT_EQ(names, (std::vector<std::wstring>{root.Path(L"result.bin"), L"result.bin"}));
    cStaticElement orphan;
    EXPECT_FALSE(show_file_choose_dialog(&orphan, L"Save as", &options));
    EXPECT_FALSE(show_file_choose_dialog(nullptr, L"Save as", &options));
}

}  // namespace
