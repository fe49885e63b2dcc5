// The file chooser over a folder tree the test builds, driven by real keys
// and clicks: what the list shows, what typed texts give, new folders,
// input while a slow lister runs, the locations with Wine's stand-ins for
// drives, and the run through show_file_choose_dialog. The first test
// keeps a screenshot as artifacts/file_choose_dialog.png.

#include "gui/dialogs/file_choose_dialog.h"

#include <gtest/gtest.h>
#include <wctype.h>
#include <windows.h>

#include <algorithm>
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
using cNames = std::vector<std::wstring>;

// The tree's files and their sizes; a leading dot makes a file hidden in
// Wine.
const std::pair<const wchar_t*, size_t> tree_files[] = {{L"image.png", 100},      {L"photo.jpg", 5000},
                                                        {L"readme.txt", 3000},    {L"docs/report.txt", 1500},
                                                        {L"docs/chart.png", 10}, {L".secret", 10}};

// A file's last write time as Windows shows it in local time.
std::wstring local_date(const std::wstring& native)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME t;
    if (!GetFileAttributesExW(native.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
        return L"?";
    wchar_t text[40];
    swprintf(text, 40, L"%02d.%02d.%04d %02d:%02d:%02d", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute, t.wSecond);
    return text;
}

// The lister as a slow disk makes it: each navigation waits for the gate
// (at most 10 s).
class cSlowLister : public cFileChooseListFolder {
public:
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

    HANDLE gate = CreateEventW(nullptr, TRUE, TRUE, nullptr);
};

class FileChooserTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        CreateDirectoryW(root.Native(L"docs").c_str(), nullptr);
        for (const auto& file : tree_files)
            ASSERT_TRUE(root.WriteFile(file.first, std::string(file.second, 'x')));
        ASSERT_TRUE(root.Attributes(L".secret") & FILE_ATTRIBUTE_HIDDEN);
        HANDLE file = CreateFileW(root.Native(L"readme.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        SYSTEMTIME old_time = {2019, 3, 0, 4, 5, 6, 7, 0};
        FILETIME old_file_time;
        SystemTimeToFileTime(&old_time, &old_file_time);
        SetFileTime(file, nullptr, nullptr, &old_file_time);
        CloseHandle(file);
        options.initial_folder.Assign(root.Path().c_str());
        const wchar_t* filters[2][3] = {{L"PNG images", L"*.png", L"png"}, {L"Everything", L"*", L""}};
        options.filters.Resize(2);
        options.filter_count = 2;
        for (int32_t i = 0; i < 2; ++i) {
            options.filters[i].name.Assign(filters[i][0]);
            options.filters[i].pattern.Assign(filters[i][1]);
            options.filters[i].extension.Assign(filters[i][2]);
        }
        options.filter_index = 1;
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
    // Waits for a listing: idle, with rows.
    static cFormWindow::cStep Listed(cFormWindow& runner, cFileChooserProbe* probe)
    {
        return runner.WaitUntil([probe]() { return probe->Idle() && !probe->Rows().empty(); });
    }
    static cFormWindow::cStep Typed(cFileChooserProbe* probe, std::wstring text)
    {
        return [probe, text]() {
            probe->ClickField();
            cFormWindow::TypeText(text.c_str());
            cFormWindow::Press(VK_RETURN);
        };
    }

    TempFolder root{L"chooser"};
    cFileChooseOptions options;
};

TEST_F(FileChooserTest, ListsSizesAndDatesWithoutHiddenFiles)
{
    std::map<std::wstring, cFileChooserProbe::cRow> rows;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  return cSteps{Listed(runner, probe), [&, probe]() {
                                    rows = probe->Rows();
                                    keep_screenshot(probe, "file_choose_dialog.png");
                                }};
              }),
              1);
    std::map<std::wstring, cFileChooserProbe::cRow> expected = {
        {L"docs", {local_date(root.Native(L"docs")), L"File folder", L""}}};
    for (const auto& file : tree_files)
        if (file.first[0] != L'.' && !wcschr(file.first, L'/'))
            expected[file.first] = {local_date(root.Native(file.first)), L"File",
                                    std::to_wstring(file.second / 1024) + L" KB"};
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(rows[L"readme.txt"].date.substr(0, 10), L"04.03.2019");
}

TEST_F(FileChooserTest, FoldersComeFirstAndNamesAToZAfterEveryRefill)
{
    const cNames folders = {L"beta", L"Alpha", L"zed", L"Omega"}, files = {L"b.txt", L"Zulu.txt", L"A.txt", L"c.png"};
    ASSERT_TRUE(CreateDirectoryW(root.Native(L"mixed").c_str(), nullptr));
    for (const std::wstring& folder : folders)
        ASSERT_TRUE(CreateDirectoryW(root.Native(L"mixed/" + folder).c_str(), nullptr));
    for (const std::wstring& file : files)
        ASSERT_TRUE(root.WriteFile(L"mixed/" + file, "x"));
    options.initial_folder.Assign(root.Path(L"mixed").c_str());
    // Folders, then files, each A to Z without regard to case.
    auto a_to_z = [](cNames names) {
        std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                [](wchar_t x, wchar_t y) { return towlower(x) < towlower(y); });
        });
        return names;
    };
    cNames expected = a_to_z(folders), expected_texts = expected;
    for (const std::wstring& file : a_to_z(files)) {
        expected.push_back(file);
        if (file.size() > 4 && file.substr(file.size() - 4) == L".txt")
            expected_texts.push_back(file);
    }
    cNames listed, turned, filtered;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  cSteps steps{Listed(runner, probe)};
                  for (const auto& step : probe->ReadOrder(&listed, expected.size()))
                      steps.push_back(step);
                  // The type column's header turns the list, files first;
                  // a refill puts the folders first again.
                  steps.push_back([probe]() { probe->ClickColumn(3); });
                  for (const auto& step : probe->ReadOrder(&turned, expected.size()))
                      steps.push_back(step);
                  steps.insert(steps.end(), {Typed(probe, L"*.txt"), Listed(runner, probe)});
                  for (const auto& step : probe->ReadOrder(&filtered, expected_texts.size()))
                      steps.push_back(step);
                  return steps;
              }),
              1);
    EXPECT_EQ(listed, expected);
    // Descending, equal ranks in reverse order.
    EXPECT_EQ(turned, cNames(expected.rbegin(), expected.rend()));
    EXPECT_EQ(filtered, expected_texts);
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
        std::wstring chosen;  // or else, the dialog staying:
        std::wstring bar_path = {}, filter_text = {};
        cNames rows = {};
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
        cNames rows;
        EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                      return cSteps{Listed(runner, probe), Typed(probe, c.typed), Listed(runner, probe), [&, probe]() {
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
        std::wstring message;  // the title of the message that follows
        std::wstring bar_path;
        bool listed;  // the name is a row afterwards
    };
    const cCase cases[] = {{L"fresh", L"", root.Path(), true},
                           // Answered "Yes": the folder is opened.
                           {L"docs", L"Confirm", root.Path(L"docs"), false},
                           {L"bad|name", L"Error", root.Path(), false}};
    for (const cCase& c : cases) {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        cNames titles;
        std::wstring bar_path;
        bool listed = false;
        EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                      cSteps steps = new_folder_steps(
                          runner, probe, [probe]() { probe->ClickTopButton(3); }, c.name, !c.message.empty(), &titles);
                      steps.insert(steps.begin(), Listed(runner, probe));
                      steps.insert(steps.end(), {Listed(runner, probe), [&, probe]() {
                                                     bar_path = probe->BarPath();
                                                     listed = probe->Rows().count(c.name) == 1;
                                                 }});
                      return steps;
                  }),
                  1);
        cNames expected{L"Enter new folder name"};
        if (!c.message.empty())
            expected.push_back(c.message);
        EXPECT_EQ(titles, expected);
        EXPECT_EQ(bar_path, c.bar_path);
        EXPECT_EQ(listed, c.listed);
    }
    EXPECT_NE(root.Attributes(L"fresh") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FileChooserTest, NewFolderWithAnEmptyNameKeepsTheFormOpenAndCreatesNothing)
{
    // What the folder holds, as Windows lists it.
    auto entries = [this]() {
        cNames names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(root.Native(L"*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    };
    const cNames before = entries();
    std::wstring after_enter;
    size_t rows_before = 0, rows_after = 0;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  return cSteps{Listed(runner, probe),
                                [&, probe]() {
                                    rows_before = probe->Rows().size();
                                    probe->ClickTopButton(3);
                                },
                                runner.WaitUntil([probe]() { return !nested_dialog_title(probe).empty(); }),
                                []() { cFormWindow::Press(VK_RETURN); },
                                [&, probe]() {
                                    after_enter = nested_dialog_title(probe);
                                    cFormWindow::Press(VK_ESCAPE);
                                },
                                runner.WaitUntil([probe]() { return nested_dialog_title(probe).empty(); }),
                                Listed(runner, probe), [&, probe]() { rows_after = probe->Rows().size(); }};
              }),
              1);
    EXPECT_EQ(after_enter, L"Enter new folder name") << "Enter on an empty name keeps the form open";
    EXPECT_EQ(rows_after, rows_before);
    EXPECT_EQ(entries(), before);
}

TEST_F(FileChooserTest, InputDuringASlowNavigationIsIgnored)
{
    cSlowLister* lister = new cSlowLister;
    cNames nested, rows_after;
    std::wstring bar_path;
    EXPECT_EQ(Run(
                  [&](cFileChooserProbe* probe, cFormWindow& runner) {
                      auto note_nested = [&, probe]() { nested.push_back(nested_dialog_title(probe)); };
                      return cSteps{
                          Listed(runner, probe), [lister]() { ResetEvent(lister->gate); }, Typed(probe, L"docs"),
                          runner.WaitUntil([probe]() { return !probe->Idle(); }),
                          // A row clicked, a file found by typing and Enter on it,
                          // F5, Places, New folder.
                          [probe]() { probe->ClickList(40, 30); },
                          []() {
                              cFormWindow::TypeText(L"ima");
                              cFormWindow::Press(VK_RETURN);
                              cFormWindow::Press(VK_F5);
                          },
                          [probe]() { probe->ClickTopButton(2); }, [probe]() { probe->ClickTopButton(3); }, note_nested,
                          // The filter list, reached with Tab, chooses the first filter.
                          [probe]() {
                              probe->ClickField();
                              cFormWindow::Press(VK_TAB);
                              cFormWindow::Press(VK_UP);
                          },
                          note_nested, [lister]() { SetEvent(lister->gate); }, Listed(runner, probe), [&, probe]() {
                              bar_path = probe->BarPath();
                              for (const auto& row : probe->Rows())
                                  rows_after.push_back(row.first);
                          }};
                  },
                  lister),
              1);
    EXPECT_EQ(options.file_name.Text(), nullptr);
    EXPECT_EQ(nested, (cNames{L"", L""}));
    EXPECT_EQ(bar_path, root.Path(L"docs"));
    // The navigation's end listed docs with the pattern chosen meanwhile.
    EXPECT_EQ(options.filter_index, 0);
    EXPECT_EQ(rows_after, cNames{L"chart.png"});
}

TEST_F(FileChooserTest, PlacesListsWineDrivesAndAnOfflineDriveFailsCleanly)
{
    TempFolder drive_folder(L"drive");
    ASSERT_TRUE(drive_folder.WriteFile(L"on_drive.txt", "x"));
    wchar_t letter = unused_drive_letter(L'P');
    WineDrive drive(letter, drive_folder.Path());
    ASSERT_TRUE(drive.Valid());
    const std::wstring drive_text = std::wstring(1, letter) + L":";
    const std::wstring offline = std::wstring(1, unused_drive_letter(wchar_t(letter + 1))) + L":";
    RememberedDrives remembered;
    ASSERT_TRUE(remembered.Add(offline.substr(0, 1), L"\\\\nohost\\share"));

    std::map<std::wstring, cFileChooserProbe::cRow> places;
    cNames on_drive, nested;
    std::wstring failed_path, home_path;
    size_t failed_rows = 99;
    EXPECT_EQ(Run([&](cFileChooserProbe* probe, cFormWindow& runner) {
                  auto places_shown = runner.WaitUntil([probe]() { return probe->BarPath().empty() && probe->Idle(); });
                  return cSteps{
                      Listed(runner, probe), [probe]() { probe->ClickTopButton(2); }, places_shown,
                      [&, probe]() {
                          places = probe->Rows();
                          probe->ClickTopButton(3);  // off among the locations
                      },
                      [&, probe]() { nested.push_back(nested_dialog_title(probe)); }, Typed(probe, drive_text),
                      Listed(runner, probe),
                      [&, probe]() {
                          for (const auto& row : probe->Rows())
                              on_drive.push_back(row.first);
                          probe->ClickTopButton(2);
                      },
                      places_shown,
                      // The offline drive's row, found by typing, opened from its
                      // menu, whose entry is where the menu opens.
                      [&]() {
                          cFormWindow::TypeText(offline.c_str());
                          cFormWindow::Press(VK_APPS);
                      },
                      runner.WaitUntil([probe]() { return !nested_dialog_title(probe).empty(); }),
                      [probe]() { probe->ClickList(8, 8); },
                      runner.WaitUntil([probe]() { return !probe->BarPath().empty() && probe->Idle(); }),
                      [&, probe]() {
                          failed_path = probe->BarPath();
                          failed_rows = probe->Rows().size();
                          probe->ClickTopButton(1);
                      },
                      Listed(runner, probe), [&, probe]() { home_path = probe->BarPath(); }};
              }),
              1);
    std::wstring drive_row, offline_row;
    for (const auto& row : places) {
        if (row.first.find(drive_text) != std::wstring::npos)
            drive_row = row.first;
        if (row.first.compare(0, 2, offline) == 0)
            offline_row = row.first;
    }
    // Drives show no size and no date.
    EXPECT_EQ(places[drive_row].type + places[drive_row].size + places[drive_row].date, L"File system");
    EXPECT_EQ(offline_row, offline + L" (\\\\nohost\\share - Offline)");
    EXPECT_EQ(places[offline_row].type, L"File system");
    EXPECT_EQ(nested, cNames{L""});
    EXPECT_EQ(on_drive, cNames{L"on_drive.txt"});
    EXPECT_EQ(failed_path, offline);
    EXPECT_EQ(failed_rows, 0u);
    EXPECT_FALSE(home_path.empty());
}

// Presses the key every 300 ms until the dialog's window is gone: Enter is
// passed on while the listing is not in yet.
void press_until_closed(HWND dialog, WORD key)
{
    if (!IsWindow(dialog))
        return;
    cFormWindow::Press(key);
    run_later(300, [dialog, key]() { press_until_closed(dialog, key); });
}

TEST_F(FileChooserTest, OnlyAnAcceptedRunAnswersTrue)
{
    cNames names;
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
    EXPECT_EQ(names, (cNames{root.Path(L"result.bin"), L"result.bin"}));
    cStaticElement orphan;
    EXPECT_FALSE(show_file_choose_dialog(&orphan, L"Save as", &options));
    EXPECT_FALSE(show_file_choose_dialog(nullptr, L"Save as", &options));
}

}  // namespace
