// The folder chooser over a folder tree the test builds, driven by real
// keys and clicks: the folder of a proposed file, typed paths and the
// chain of rows they add (on a drive that Wine gains while the dialog is
// open), rows listed once, new folders (each the chosen one, which Select
// takes) and a folder that vanished before it was listed; the run through
// show_folder_choose_dialog; and the splitting of paths into segments,
// network names included, which Wine cannot show as folders. The first
// test keeps a screenshot as artifacts/folder_choose_dialog.png.

#include "gui/dialogs/folder_choose_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/gui/dialogs/chooser_probe.h"
#include "tests/gui/dialogs/dialog_runs.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_drives.h"

namespace {

using cSteps = std::vector<cFormWindow::cStep>;
using cNames = std::vector<std::wstring>;

TEST(FolderPathSegment, SplitsDrivesFoldersAndNetworkNames)
{
    struct cCase {
        const wchar_t* path;
        cNames segments;
    };
    const cCase cases[] = {
        {L"C:/Users/me", {L"C:", L"Users", L"me"}},
        {L"C:/Users//me/", {L"C:", L"Users", L"me"}},
        {L"//server/share/docs", {L"//", L"server", L"share", L"docs"}},
        {L"///server//share", {L"//", L"server", L"share"}},
        {L"/usr/local", {L"/", L"usr", L"local"}},
        {L"C:", {L"C:"}},
        {L"//", {L"//"}},
    };
    for (const cCase& c : cases) {
        cNames segments;
        for (const wchar_t* rest = c.path; rest && segments.size() < 10;) {
            const wchar_t* next;
            int32_t length = folder_path_segment(rest, &next);
            segments.push_back(std::wstring(rest, size_t(length)));
            rest = next;
        }
        EXPECT_EQ(segments, c.segments) << std::string(c.path, c.path + wcslen(c.path));
    }
}

class FolderChooserTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        ASSERT_TRUE(CreateDirectoryW(root.Native(L"docs").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(root.Native(L"docs/sub").c_str(), nullptr));
        ASSERT_TRUE(root.WriteFile(L"docs/report.txt", "x"));
    }

    intptr_t Run(const std::function<cSteps(cFolderChooserProbe*, cFormWindow&)>& script)
    {
        cFormWindow runner;
        runner.maker.SetCatalog(get_global_catalog());
        cFolderChooserProbe* probe = new cFolderChooserProbe(runner, &result);
        return runner.Run(probe, 350, 450, script(probe, runner), true);
    }

    TempFolder root{L"folders"};
    _guardchar<wchar_t> result;
};

TEST_F(FolderChooserTest, AProposedFileOpensItsFolder)
{
    result.Assign(root.Path(L"docs/report.txt").c_str());
    std::wstring field, current;
    cNames children;
    EXPECT_EQ(Run([&](cFolderChooserProbe* probe, cFormWindow&) {
                  return cSteps{[&, probe]() {
                      field = probe->FieldText();
                      current = probe->CurrentPath();
                      children = probe->Children(root.Path(L"docs"));
                      keep_screenshot(probe, "folder_choose_dialog.png");
                  }};
              }),
              1);
    EXPECT_EQ(field, root.Path(L"docs"));
    EXPECT_EQ(current, root.Path(L"docs"));
    EXPECT_EQ(children, cNames{L"sub"});
}

TEST_F(FolderChooserTest, TheChosenFolderShowsInTheViewWhenOpenedAndAfterATypedWalk)
{
    // A listing several views long, the folders chosen far down in it.
    ASSERT_TRUE(CreateDirectoryW(root.Native(L"long").c_str(), nullptr));
    for (int i = 0; i < 60; ++i) {
        std::wstring name = L"long/d" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i);
        ASSERT_TRUE(CreateDirectoryW(root.Native(name).c_str(), nullptr));
    }
    ASSERT_TRUE(CreateDirectoryW(root.Native(L"long/d52/inner").c_str(), nullptr));
    const std::wstring opened = root.Path(L"long/d45"), walked = root.Path(L"long/d52/inner");
    result.Assign(opened.c_str());
    bool opened_shown = false, walked_shown = false;
    std::wstring walked_current;
    // Opened, the row is marked (the path field has the focus); walked to,
    // its label has the focus and shows selected.
    EXPECT_EQ(Run([&](cFolderChooserProbe* probe, cFormWindow&) {
                  return cSteps{[&, probe]() {
                                    opened_shown = probe->RowShownIn(opened, theme_colour(18));
                                    keep_screenshot(probe, "folder_choose_deep.png");
                                    cFormWindow::Press('A', VK_CONTROL);
                                    cFormWindow::TypeText(walked.c_str());
                                    cFormWindow::Press(VK_RETURN);
                                },
                                [&, probe]() {
                                    walked_shown = probe->RowShownIn(walked, theme_colour(16));
                                    walked_current = probe->CurrentPath();
                                    keep_screenshot(probe, "folder_choose_walked.png");
                                }};
              }),
              1);
    EXPECT_TRUE(opened_shown);
    EXPECT_EQ(walked_current, walked);
    EXPECT_TRUE(walked_shown);
}

TEST_F(FolderChooserTest, APathOnADriveAddedMeanwhileAddsTheChainOfRows)
{
    // A hidden folder is not listed: the walk adds its row, named by the
    // whole path up to it.
    ASSERT_TRUE(CreateDirectoryW(root.Native(L".hidden").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(root.Native(L".hidden/inner").c_str(), nullptr));
    wchar_t letter = unused_drive_letter(L'P');
    std::wstring drive = std::wstring(1, letter) + L":";
    std::unique_ptr<WineDrive> added;
    cNames under_root_before, under_root, under_drive, under_hidden;
    std::wstring field, chosen;
    EXPECT_EQ(Run([&](cFolderChooserProbe* probe, cFormWindow&) {
                  return cSteps{[&, probe]() {
                                    under_root_before = probe->Children(L"");
                                    added.reset(new WineDrive(letter, root.Path()));
                                    ASSERT_TRUE(added->Valid());
                                    cFormWindow::TypeText((drive + L"\\.hidden\\inner").c_str());
                                    cFormWindow::Press(VK_RETURN);
                                },
                                [&, probe]() {
                                    under_root = probe->Children(L"");
                                    under_drive = probe->Children(drive);
                                    under_hidden = probe->Children(drive + L"/.hidden");
                                    field = probe->FieldText();
                                    cFormWindow::Press(VK_RETURN);
                                },
                                [] {}};
              }),
              1);
    added.reset();
    EXPECT_EQ(std::count(under_root_before.begin(), under_root_before.end(), drive), 0);
    EXPECT_EQ(std::count(under_root.begin(), under_root.end(), drive), 1);
    EXPECT_EQ(under_drive, (cNames{drive + L"/.hidden", L"docs"}));
    EXPECT_EQ(under_hidden, cNames{L"inner"});
    // The second Enter accepted the opened path.
    EXPECT_EQ(field, drive + L"/.hidden/inner");
    EXPECT_STREQ(result.Text(), field.c_str());
}

TEST_F(FolderChooserTest, RowsListOnceNewFoldersAreChosenAndAVanishedFolder)
{
    result.Assign(root.Path().c_str());
    const std::wstring docs = root.Path(L"docs"), sub = root.Path(L"docs/sub");
    cNames first, again, after_fresh, titles, vanished_children;
    std::wstring vanished_current, fresh_current;
    bool open_after_select = false;
    EXPECT_EQ(Run([&](cFolderChooserProbe* probe, cFormWindow& runner) {
                  auto new_folder = [&, probe](const wchar_t* name, bool message) {
                      return new_folder_steps(
                          runner, probe, [probe]() { probe->ClickNewFolder(); }, name, message, &titles);
                  };
                  // From the path field back into the tree, then down to docs.
                  cSteps steps{[]() {
                                   cFormWindow::Press(VK_TAB, VK_SHIFT);
                                   cFormWindow::Press(VK_DOWN);
                               },
                               [&, probe]() {
                                   first = probe->Children(docs);
                                   CreateDirectoryW(root.Native(L"docs/late").c_str(), nullptr);
                                   probe->ClickRow(root.Path());
                               },
                               [&, probe]() { probe->ClickRow(docs); },
                               [&, probe]() { again = probe->Children(docs); }};
                  for (const cFormWindow::cStep& step : new_folder(L"late", true))
                      steps.push_back(step);
                  steps.insert(steps.end(), {[&, probe]() {
                                                 RemoveDirectoryW(root.Native(L"docs/sub").c_str());
                                                 probe->ClickRow(sub);
                                             },
                                             [&, probe]() {
                                                 vanished_current = probe->CurrentPath();
                                                 vanished_children = probe->Children(sub);
                                             }});
                  for (const cFormWindow::cStep& step : new_folder(L"x", true))
                      steps.push_back(step);
                  steps.push_back([&, probe]() { probe->ClickRow(docs); });
                  for (const cFormWindow::cStep& step : new_folder(L"fresh", false))
                      steps.push_back(step);
                  // The new folder is the chosen one: Tab to the path
                  // field and Enter (Select) take it and end the run.
                  steps.push_back([&, probe]() {
                      after_fresh = probe->Children(docs);
                      fresh_current = probe->CurrentPath();
                      cFormWindow::Press(VK_TAB);
                      cFormWindow::Press(VK_RETURN);
                  });
                  steps.push_back([&]() { open_after_select = true; });
                  return steps;
              }),
              1);
    EXPECT_EQ(first, cNames{L"sub"});
    // Listed once: the folder made meanwhile shows only after a new folder.
    EXPECT_EQ(again, cNames{L"sub"});
    const std::wstring ask = L"Enter new folder name";
    EXPECT_EQ(titles, (cNames{ask, L"Warning", ask, L"Error", ask}));
    // The folder that vanished is current with no rows; creating in it fails.
    EXPECT_EQ(vanished_current, sub);
    EXPECT_TRUE(vanished_children.empty());
    EXPECT_EQ(after_fresh, (cNames{L"fresh", L"late"}));
    EXPECT_EQ(fresh_current, root.Path(L"docs/fresh"));
    EXPECT_FALSE(open_after_select);
    EXPECT_STREQ(result.Text(), root.Path(L"docs/fresh").c_str());
    EXPECT_NE(root.Attributes(L"docs/fresh") & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FolderChooserTest, OnlyAnAcceptedRunAnswersTrue)
{
    std::vector<std::wstring> results;
    std::vector<cOutcome> outcomes = RunDialogs(
        2,
        [&](cChildElement* owner, size_t) {
            result.Assign(L"");
            int answer = int(show_folder_choose_dialog(owner, L"Select a folder", &result));
            results.push_back(result.Text() ? result.Text() : L"");
            return answer;
        },
        [&](HWND, size_t i) {
            // A typed path, Enter opens it, a second Enter accepts it.
            cFormWindow::TypeText(root.Path(L"docs").c_str());
            cFormWindow::Press(VK_RETURN);
            cFormWindow::Press(i == 0 ? VK_RETURN : VK_ESCAPE);
        });
    EXPECT_EQ(outcomes[0].result, 1);
    EXPECT_EQ(outcomes[0].shown.title, L"Select a folder");
    EXPECT_EQ(results[0], root.Path(L"docs"));
    EXPECT_EQ(outcomes[1].result, 0);
    cStaticElement orphan;
    EXPECT_FALSE(show_folder_choose_dialog(&orphan, L"Select a folder", &result));
    EXPECT_FALSE(show_folder_choose_dialog(nullptr, L"Select a folder", &result));
}

}  // namespace
