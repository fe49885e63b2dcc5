// The navigation bar in a real dialog with a provider whose navigations the
// test holds open: segments of paths and clicks on them, the history walked
// with real keys, a second navigation refused while one runs, and the busy
// animation read back from the screen, which values arriving after the end
// must not start again.

#include "gui/controls/navigation_bar.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "gui/theme.h"
#include "tests/gui/controls/form_window.h"

namespace {

const int32_t bar_width = 400;
const int32_t bar_height = 22;
using cSteps = std::vector<cFormWindow::cStep>;
using cTexts = std::vector<std::wstring>;

// Navigates anywhere but to paths holding '?', recording each path; while
// the gate is closed a navigation waits for it (at most 10 s).
class cGateProvider : public cNavigationProvider {
public:
    ~cGateProvider() override
    {
        SetEvent(gate);
        Stop(4000);
        CloseHandle(gate);
    }
    bool CanNavigate(const wchar_t* path) override { return path && !wcschr(path, L'?'); }
    uint32_t Navigate(const wchar_t* path) override
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            paths.push_back(path);
        }
        WaitForSingleObject(gate, 10000);
        return 0;
    }
    cTexts Paths()
    {
        std::lock_guard<std::mutex> hold(lock);
        return paths;
    }

    HANDLE gate = CreateEventW(nullptr, TRUE, TRUE, nullptr);

private:
    std::mutex lock;
    cTexts paths;
};

// A bar over the client panel; like the file chooser, the form ends each
// navigation it is told of with a code-9 action to the bar, and counts them.
class cBarForm : public cScriptForm {
public:
    using cScriptForm::cScriptForm;

    void OnCreate() override
    {
        cScriptForm::OnCreate();
        GetClientPanel()->AddChild(&bar, 10, 10, bar_width, bar_height);
        bar.SetProvider(&provider);
    }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender != &bar || action->code != 6)
            return cScriptForm::HandleAction(sender, action);
        if (!static_cast<cNavigationChild::cNaviSetPathAction*>(action)->path.Text()) {
            ++finished;
            bar.SendAction(new cChildAction(9));
        }
        return true;
    }
    // A click on a button, placed by the widths the buttons measure.
    void ClickButton(int32_t id)
    {
        int32_t x = id ? cButtonChild::MeasureWidth(&bar, L"", theme_image(48), 0, nullptr) : 0;
        for (int32_t segment = 1; segment < id; ++segment)
            x += cButtonChild::MeasureWidth(&bar, bar.GetSegment(segment)->text.Text(), theme_image(145), 0, nullptr);
        cFormWindow::ClickAt(&bar, x + 8, bar_height / 2);
    }
    std::wstring LastPath()
    {
        cTexts paths = provider.Paths();
        return paths.empty() ? L"" : paths.back();
    }

    cGateProvider provider;  // outlives the bar, which it reports to
    cNavigationChild bar;
    int finished = 0;

protected:
    bool Logs(cChildElement*) override { return false; }
};

TEST(NavigationBarTest, SegmentsOfPathsAndClicksOnThem)
{
    const std::pair<const wchar_t*, std::vector<cTexts>> cases[] = {
        {L"/usr/local", {{L"/", L"/"}, {L"usr", L"/usr"}, {L"local", L"/usr/local"}}},
        {L"C:/Users//me/", {{L"C:", L"C:"}, {L"Users", L"C:/Users"}, {L"me", L"C:/Users//me"}}},
        {L"//server/share", {{L"/", L"/"}, {L"server", L"//server"}, {L"share", L"//server/share"}}},
        {L"", {}},
        {L"C:/a/b/c/d/e/f",
         {{L"C:", L"C:"}, {L"a", L"C:/a"}, {L"b", L"C:/a/b"}, {L"c", L"C:/a/b/c"}, {L"d", L"C:/a/b/c/d"},
          {L"e", L"C:/a/b/c/d/e"}, {L"f", L"C:/a/b/c/d/e/f"}}},
    };
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    std::vector<std::vector<cTexts>> shown;
    std::wstring navigated, path_after_click;
    cSteps steps;
    for (const auto& c : cases)
        steps.push_back([&, form]() {
            form->bar.ShowPath(c.first);
            shown.emplace_back();
            for (int32_t id = 1; form->bar.GetSegment(id); ++id)
                shown.back().push_back({form->bar.GetSegment(id)->text.Text(), form->bar.GetSegment(id)->path.Text()});
        });
    // A click on "c" of the deep path, shown last, navigates to the path up
    // to it.
    steps.push_back([form]() { form->ClickButton(4); });
    steps.push_back(window.WaitUntil([form]() { return form->finished == 1; }));
    steps.push_back([&, form]() {
        navigated = form->LastPath();
        path_after_click = form->bar.GetPath();
    });
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);
    for (size_t i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], cases[i].second) << i;
    EXPECT_EQ(navigated, L"C:/a/b/c");
    EXPECT_EQ(path_after_click, L"C:/a/b/c");
}

TEST(NavigationBarTest, HistoryListsTheNewestFirstAndTypedPathsNavigate)
{
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    cTexts walked;
    uint32_t state_after = 99;
    int count = 0;
    auto finished = [&, form]() {
        int expected = ++count;
        return window.WaitUntil([form, expected]() { return form->finished == expected; });
    };
    auto editing = window.WaitUntil([form]() { return form->bar.GetState() == cNavigationChild::state_editing; });
    cSteps steps;
    // A, B, C, then A again: A moves to the newest place.
    for (const wchar_t* path : {L"C:/alpha", L"C:/bravo", L"C:/charlie", L"C:/alpha"})
        steps.insert(steps.end(), {[form, path]() { form->bar.Navigate(path); }, finished()});
    // The list opens on the newest path; Down chooses the next one, which
    // is navigated to and becomes the newest: twice.
    for (int round = 0; round < 2; ++round)
        steps.insert(steps.end(), {[form]() { form->ClickButton(0); }, editing,
                                   [&, form]() {
                                       walked.push_back(cFormWindow::Text(form->bar.GetFocusedChild()));
                                       cFormWindow::Press(VK_DOWN);
                                   },
                                   finished(), [&, form]() { walked.push_back(form->LastPath()); }});
    steps.insert(steps.end(), {[form]() { form->ClickButton(0); }, editing,
                               []() {
                                   cFormWindow::Press('A', VK_CONTROL);
                                   cFormWindow::TypeText(L"\"z:\\typed\"");
                                   cFormWindow::Press(VK_RETURN);
                               },
                               finished(), [&, form]() {
                                   walked.push_back(form->LastPath());
                                   state_after = form->bar.GetState();
                               }});
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);
    // The typed path last, normalised: quotes dropped, backslashes turned.
    EXPECT_EQ(walked, (cTexts{L"C:/alpha", L"C:/charlie", L"C:/charlie", L"C:/alpha", L"z:/typed"}));
    EXPECT_EQ(state_after, uint32_t(cNavigationChild::state_idle));
}

// The colours of a row across the bar, right of the history button.
std::vector<uint32_t> bar_row(cNavigationChild& bar)
{
    return cFormWindow::Pixels(&bar, 40, bar_height / 2, bar_width - 60, 1);
}

TEST(NavigationBarTest, ARunningNavigationRefusesASecondAndEndsItsAnimationForGood)
{
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    std::vector<uint32_t> idle, busy, after_late_values;
    bool refused_path = true, second = true;
    std::wstring kept;
    uint32_t busy_state = 99;
    cTexts paths;
    cSteps steps{[&, form]() {
                     form->bar.ShowPath(L"");
                     idle = bar_row(form->bar);
                     refused_path = form->bar.Navigate(L"C:/what?");
                     ResetEvent(form->provider.gate);
                     form->bar.Navigate(L"");
                 },
                 [&, form]() {
                     second = form->bar.Navigate(L"C:/other");
                     kept = form->bar.GetPath();
                     // The buttons take no clicks meanwhile.
                     form->ClickButton(0);
                 }};
    // The simulator shows from 1.2 s on, rising ever slower: at about 3 s it
    // fills roughly a quarter of the bar.
    steps.insert(steps.end(), 19, [] {});
    steps.insert(steps.end(),
                 {[&, form]() {
                      busy = bar_row(form->bar);
                      busy_state = form->bar.GetState();
                      SetEvent(form->provider.gate);
                  },
                  // The end fills the bar, holds it and fades it out.
                  window.WaitUntil([&, form]() { return form->finished == 1 && bar_row(form->bar) == idle; }),
                  [form]() {
                      // What the simulator may still have computed before the end.
                      form->bar.SendAction(new cNavigationChild::cNaviFakeProgressRecvAction(0.0));
                      form->bar.SendAction(new cNavigationChild::cNaviFakeProgressRecvAction(0.5));
                  }});
    steps.insert(steps.end(), 6, [] {});
    steps.push_back([&, form]() {
        after_late_values = bar_row(form->bar);
        paths = form->provider.Paths();
    });
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);

    EXPECT_FALSE(refused_path);
    EXPECT_FALSE(second);
    EXPECT_EQ(kept, L"");
    EXPECT_EQ(busy_state, uint32_t(cNavigationChild::state_navigating));
    EXPECT_EQ(paths, cTexts{L""});
    // Busy: one colour from the left up to the rising value, the track beyond.
    ASSERT_EQ(busy.size(), idle.size());
    size_t filled = 0;
    while (filled < busy.size() && busy[filled] == busy.front())
        ++filled;
    EXPECT_NE(busy.front(), idle.front());
    EXPECT_NE(busy.front(), busy.back());
    EXPECT_GT(double(40 + filled) / bar_width, 0.1);
    EXPECT_LT(double(40 + filled) / bar_width, 0.7);
    EXPECT_EQ(after_late_values, idle);
}

}  // namespace
