// The navigation bar in a real dialog with a provider whose navigations the
// test holds open: the segments of paths, clicks on them, the history list
// walked with real keys, a second navigation refused while one runs, and
// the busy animation read back from the screen, which values that arrive
// after the end must not start again.

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

// Navigates anywhere but to paths holding '?', recording each path; while
// the gate is closed a navigation waits for it (at most 10 s).
class cGateProvider : public cNavigationProvider {
public:
    cGateProvider() : gate(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
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

    void Hold() { ResetEvent(gate); }
    void Release() { SetEvent(gate); }
    std::vector<std::wstring> Paths()
    {
        std::lock_guard<std::mutex> hold(lock);
        return paths;
    }

private:
    HANDLE gate;
    std::mutex lock;
    std::vector<std::wstring> paths;
};

// A bar over the client panel; like the file chooser, the form ends each
// navigation it is told of with a code-9 action to the bar and records it.
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
        if (sender == &bar && action->code == 6) {
            const wchar_t* path = static_cast<cNavigationChild::cNaviSetPathAction*>(action)->path.Text();
            finished += path ? 0 : 1;
            if (!path)
                bar.SendAction(new cChildAction(9));
            return true;
        }
        return cScriptForm::HandleAction(sender, action);
    }

    // Where a button of the bar starts, from the widths the buttons measure.
    int32_t ButtonStart(int32_t id)
    {
        if (id == 0)
            return 0;
        int32_t x = cButtonChild::MeasureWidth(&bar, L"", theme_image(48), 0, nullptr);
        for (int32_t segment = 1; segment < id; ++segment)
            x += cButtonChild::MeasureWidth(&bar, bar.GetSegment(segment)->text.Text(), theme_image(145), 0, nullptr);
        return x;
    }
    void ClickButton(int32_t id) { cFormWindow::ClickAt(&bar, ButtonStart(id) + 8, bar_height / 2); }

    cGateProvider provider;  // outlives the bar, which it reports to
    cNavigationChild bar;
    int finished = 0;

protected:
    bool Logs(cChildElement*) override { return false; }
};

struct cExpectedSegment {
    std::wstring text;
    std::wstring path;
};

std::vector<cExpectedSegment> segments_of(cNavigationChild& bar)
{
    std::vector<cExpectedSegment> shown;
    for (int32_t id = 1; bar.GetSegment(id); ++id)
        shown.push_back({bar.GetSegment(id)->text.Text(), bar.GetSegment(id)->path.Text()});
    return shown;
}

TEST(NavigationBarTest, SegmentsOfPathsAndClicksOnThem)
{
    struct cCase {
        const wchar_t* path;
        std::vector<cExpectedSegment> segments;
    };
    const cCase cases[] = {
        {L"/usr/local", {{L"/", L"/"}, {L"usr", L"/usr"}, {L"local", L"/usr/local"}}},
        {L"C:/Users//me/", {{L"C:", L"C:"}, {L"Users", L"C:/Users"}, {L"me", L"C:/Users//me"}}},
        {L"//server/share/docs", {{L"/", L"/"}, {L"server", L"//server"}, {L"share", L"//server/share"},
                                  {L"docs", L"//server/share/docs"}}},
        {L"C:/a/b/c/d/e/f",
         {{L"C:", L"C:"}, {L"a", L"C:/a"}, {L"b", L"C:/a/b"}, {L"c", L"C:/a/b/c"}, {L"d", L"C:/a/b/c/d"},
          {L"e", L"C:/a/b/c/d/e"}, {L"f", L"C:/a/b/c/d/e/f"}}},
        {L"", {}},
    };
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    std::vector<std::vector<cExpectedSegment>> shown;
    std::vector<std::wstring> navigated;
    std::wstring path_after_click;
    std::vector<cFormWindow::cStep> steps;
    for (const cCase& c : cases)
        steps.push_back([&, form]() {
            form->bar.ShowPath(c.path);
            shown.push_back(segments_of(form->bar));
        });
    // A click on "c" of the deep path navigates to the path up to it.
    steps.push_back([form]() { form->bar.ShowPath(L"C:/a/b/c/d/e/f"); });
    steps.push_back([form]() { form->ClickButton(4); });
    steps.push_back([&, form]() {
        navigated = form->provider.Paths();
        path_after_click = form->bar.GetPath();
    });
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);

    ASSERT_EQ(shown.size(), sizeof(cases) / sizeof(cases[0]));
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "path " << std::string(cases[i].path, cases[i].path + wcslen(cases[i].path)));
        ASSERT_EQ(shown[i].size(), cases[i].segments.size());
        for (size_t s = 0; s < shown[i].size(); ++s) {
            EXPECT_EQ(shown[i][s].text, cases[i].segments[s].text) << s;
            EXPECT_EQ(shown[i][s].path, cases[i].segments[s].path) << s;
        }
    }
    EXPECT_EQ(navigated, std::vector<std::wstring>{L"C:/a/b/c"});
    EXPECT_EQ(path_after_click, L"C:/a/b/c");
}

TEST(NavigationBarTest, HistoryListsTheNewestFirstAndTypedPathsNavigate)
{
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    std::vector<std::wstring> first_items, second_items;
    auto last_path = [form]() {
        std::vector<std::wstring> paths = form->provider.Paths();
        return paths.empty() ? std::wstring() : paths.back();
    };
    auto finished = [form](int count) { return [form, count]() { return form->finished == count; }; };
    auto editing = [form]() { return form->bar.GetState() == cNavigationChild::state_editing; };
    std::vector<cFormWindow::cStep> steps;
    // A, B, C, then A again: A moves to the newest place.
    int count = 0;
    for (const wchar_t* path : {L"C:/alpha", L"C:/bravo", L"C:/charlie", L"C:/alpha"}) {
        steps.push_back([form, path]() { form->bar.Navigate(path); });
        steps.push_back(window.WaitUntil(finished(++count)));
    }
    // The list opens on the newest path; Down chooses the next one, which
    // is navigated to and becomes the newest.
    for (auto* items : {&first_items, &second_items}) {
        steps.push_back([form]() { form->ClickButton(0); });
        steps.push_back(window.WaitUntil(editing));
        steps.push_back([&, form, items]() {
            items->push_back(cFormWindow::Text(form->bar.GetFocusedChild()));
            cFormWindow::Press(VK_DOWN);
        });
        steps.push_back(window.WaitUntil(finished(++count)));
        steps.push_back([&, items]() { items->push_back(last_path()); });
    }
    steps.push_back([form]() { form->ClickButton(0); });
    steps.push_back(window.WaitUntil(editing));
    steps.push_back([]() {
        cFormWindow::Press('A', VK_CONTROL);
        cFormWindow::TypeText(L"\"z:\\typed\"");
        cFormWindow::Press(VK_RETURN);
    });
    steps.push_back(window.WaitUntil(finished(++count)));
    std::wstring typed;
    uint32_t state_after = 99;
    steps.push_back([&, form]() {
        state_after = form->bar.GetState();
        typed = last_path();
    });
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);

    EXPECT_EQ(first_items, (std::vector<std::wstring>{L"C:/alpha", L"C:/charlie"}));
    EXPECT_EQ(second_items, (std::vector<std::wstring>{L"C:/charlie", L"C:/alpha"}));
    // The typed path, normalised: quotes dropped, backslashes turned.
    EXPECT_EQ(typed, L"z:/typed");
    EXPECT_EQ(state_after, uint32_t(cNavigationChild::state_idle));
}

TEST(NavigationBarTest, ASecondNavigationWhileOneRunsIsRefused)
{
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    bool refused_path = true, second = true;
    std::wstring kept;
    uint32_t busy = 0;
    int finished_while_held = -1, finished = 0;
    std::vector<std::wstring> paths;
    EXPECT_EQ(window.Run(form, 440, 100,
                         {[&, form]() {
                              refused_path = form->bar.Navigate(L"C:/what?");
                              form->provider.Hold();
                              form->bar.Navigate(L"C:/slow/one");
                          },
                          [&, form]() {
                              busy = form->bar.GetState();
                              second = form->bar.Navigate(L"C:/other");
                              kept = form->bar.GetPath();
                              // The buttons take no clicks meanwhile.
                              form->ClickButton(2);
                          },
                          [&, form]() {
                              finished_while_held = form->finished;
                              form->provider.Release();
                          },
                          window.WaitUntil([form]() { return form->finished == 1; }),
                          [&, form]() {
                              paths = form->provider.Paths();
                              finished = form->finished;
                          }}),
              1);
    EXPECT_FALSE(refused_path);
    EXPECT_EQ(busy, uint32_t(cNavigationChild::state_navigating));
    EXPECT_FALSE(second);
    EXPECT_EQ(kept, L"C:/slow/one");
    EXPECT_EQ(finished_while_held, 0);
    EXPECT_EQ(paths, std::vector<std::wstring>{L"C:/slow/one"});
    EXPECT_EQ(finished, 1);
}

// Pixels of a row across the bar, right of the history button.
std::vector<uint32_t> bar_row(cNavigationChild& bar)
{
    return cFormWindow::Pixels(&bar, 40, bar_height / 2, bar_width - 60, 1);
}

size_t differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i];
    return count;
}

TEST(NavigationBarTest, BusyAnimationRisesAndLateValuesDoNotRestartIt)
{
    cFormWindow window;
    std::vector<uint32_t> log;
    cBarForm* form = new cBarForm(window, log);
    std::vector<uint32_t> idle, busy, after_late_values;
    std::vector<cFormWindow::cStep> steps;
    steps.push_back([&, form]() {
        form->bar.ShowPath(L"");
        idle = bar_row(form->bar);
        form->provider.Hold();
        form->bar.Navigate(L"");
    });
    // The simulator starts showing after 1.2 s and then rises slowly: at
    // about 3 s it fills roughly a quarter of the bar.
    for (int wait = 0; wait < 20; ++wait)
        steps.push_back([] {});
    steps.push_back([&, form]() {
        busy = bar_row(form->bar);
        form->provider.Release();
    });
    steps.push_back(window.WaitUntil([form]() { return form->finished == 1; }));
    // The end fills the bar, holds it and fades it out.
    steps.push_back(window.WaitUntil([&, form]() { return bar_row(form->bar) == idle; }));
    steps.push_back([&, form]() {
        // What the simulator may still have computed before the end.
        form->bar.SendAction(new cNavigationChild::cNaviFakeProgressRecvAction(0.0));
        form->bar.SendAction(new cNavigationChild::cNaviFakeProgressRecvAction(0.5));
    });
    for (int wait = 0; wait < 6; ++wait)
        steps.push_back([] {});
    steps.push_back([&, form]() { after_late_values = bar_row(form->bar); });
    EXPECT_EQ(window.Run(form, 440, 100, steps), 1);

    ASSERT_EQ(idle.size(), size_t(bar_width - 60));
    // Busy: filled from the left, in one colour along the row up to the
    // rising value, the track beyond it.
    size_t filled = 0;
    while (filled < busy.size() && busy[filled] == busy.front())
        ++filled;
    EXPECT_NE(busy.front(), idle.front());
    EXPECT_NE(busy.front(), busy.back());
    double fraction = double(40 + filled) / bar_width;
    EXPECT_GT(fraction, 0.1);
    EXPECT_LT(fraction, 0.7);
    EXPECT_EQ(differing(after_late_values, idle), 0u);
}

}  // namespace
