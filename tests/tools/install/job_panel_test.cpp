// The job page on the virtual screen: a job that moves its caption and bar
// thousands of times from its own thread while the UI thread repaints
// without pause, the start and end actions its owner hears, and a page
// held while a question about the job is open.
#include "tools/install/job_panel.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "tests/gui/controls/form_window.h"

namespace {

const int step_count = 2000;

// The page's job: every step selected, progress reported through it, the
// last step at the end; while it runs the test may hold it.
class cBusyPanel : public cJobPanel {
public:
    cBusyPanel()
    {
        captions.Resize(step_count);
        for (int i = 0; i < step_count; ++i)
            captions[i].Assign((L"step " + std::to_wstring(i)).c_str());
    }
    ~cBusyPanel() override { Stop(4000); }

    uint32_t Run() override
    {
        for (int i = 0; i < step_count; ++i) {
            if (i == commit_at && !Commit())
                return 3;
            SelectStep(i);
            for (int p = 1; p <= 4; ++p)
                if (!Notify(p * 25.0))
                    return Undo();
            reports = i + 1;
            if (pause_ms)
                Sleep(pause_ms);
        }
        SelectLastStep();
        return 5;
    }

    // After a stop: a while spent putting back what the steps did, then
    // the last step, as the install job does.
    uint32_t Undo()
    {
        undoing = true;
        Sleep(undo_ms);
        SelectLastStep();
        return 2;
    }

    void SetStoppingCaption(const wchar_t* text) { stopping_caption.Assign(text); }

    std::atomic<int> reports{0};
    std::atomic<bool> undoing{false};
    DWORD pause_ms = 0;   // after each step
    DWORD undo_ms = 0;
    int commit_at = -1;  // the step before which the job commits
};

class cPanelForm : public cCustomForm {
public:
    explicit cPanelForm(cFormWindow& host) : window(host) {}
    void OnCreate() override
    {
        cCustomForm::OnCreate();
        GetClientPanel()->AddChild(&panel, 0, 0, 410, 290);
    }
    bool OnStarted() override
    {
        window.Start();
        return true;
    }
    bool HandleAction(cChildElement* sender, cChildAction* action) override
    {
        if (sender == &panel && (action->code == 6 || action->code == 7)) {
            heard.push_back(action->code == 7 ? 700 + int(static_cast<cJobPanel::cJobEndAction*>(action)->exit_code)
                                              : 6);
            return true;
        }
        return cCustomForm::HandleAction(sender, action);
    }

    cFormWindow& window;
    cBusyPanel panel;
    std::vector<int> heard;
};

}  // namespace

TEST(JobPanel, TheJobMovesCaptionAndBarWhileTheUIRepaintsWithoutPause)
{
    cFormWindow window;
    window.step_gap_ms = 100;
    cPanelForm* form = new cPanelForm(window);
    std::atomic<bool> done(false);
    std::atomic<int> repaints(0);
    std::function<void()> repaint_until_done = [&]() {
        if (done)
            return;
        form->Redraw(nullptr);
        UpdateWindow(host_of(form));
        ++repaints;
        run_later(1, [&]() { repaint_until_done(); });
    };
    std::wstring caption;
    std::vector<int> heard;
    intptr_t result = window.Run(form, 420, 320,
                                 {
                                     [&]() {
                                         ASSERT_TRUE(form->panel.Start());
                                         repaint_until_done();
                                     },
                                     window.WaitUntil([&]() { return !form->panel.IsRunning(); }),
                                     [&]() { done = true; },
                                     // The end's action and the last caption arrive with a drain.
                                     [&]() {
                                         caption = form->panel.GetCaption() ? form->panel.GetCaption() : L"";
                                         heard = form->heard;
                                     },
                                 });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, L"step " + std::to_wstring(step_count - 1));
    EXPECT_EQ(heard, (std::vector<int>{6, 705}));
    EXPECT_GT(repaints.load(), 10);
}

TEST(JobPanel, AHeldPageKeepsItsJobWaitingUntilReleasedOrStopped)
{
    cFormWindow window;
    cPanelForm* form = new cPanelForm(window);
    form->panel.pause_ms = 2;
    int held_at = -1, still_held_at = -1;
    bool stopped_while_held = false;
    intptr_t result = window.Run(form, 420, 320,
                                 {
                                     [&]() {
                                         ASSERT_TRUE(form->panel.HoldProgress());
                                         ASSERT_TRUE(form->panel.Start());
                                     },
                                     [&]() { held_at = form->panel.reports; },
                                     [&]() { still_held_at = form->panel.reports; },
                                     [&]() { form->panel.ReleaseProgress(); },
                                     window.WaitUntil([&]() { return form->panel.reports > 0; }),
                                     [&]() {
                                         ASSERT_TRUE(form->panel.HoldProgress());
                                         form->panel.RequestStop();
                                     },
                                     window.WaitUntil([&]() { return !form->panel.IsRunning(); }),
                                     [&]() { stopped_while_held = form->heard.size() == 2 && form->heard[1] == 702; },
                                 });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(held_at, 0);
    EXPECT_EQ(still_held_at, 0) << "the job waits while the page is held";
    EXPECT_TRUE(stopped_while_held) << "a stop ends the wait, and the job sees it";
}

TEST(JobPanel, AStopIsAskedForOnlyUntilTheJobCommits)
{
    struct CommitCase {
        const char* what;
        bool held_before;  // a question opens before the job reaches its commit
        int heard_end;
    } cases[] = {
        {"held before the commit, then stopped", true, 703},
        {"past the commit", false, 705},
    };
    for (const CommitCase& c : cases) {
        cFormWindow window;
        cPanelForm* form = new cPanelForm(window);
        form->panel.commit_at = 0;
        bool held_later = true;
        int reports_while_held = -1;
        std::vector<int> heard;
        window.Run(form, 420, 320,
                   {
                       [&]() {
                           if (c.held_before) {
                               ASSERT_TRUE(form->panel.HoldProgress());
                           }
                           ASSERT_TRUE(form->panel.Start());
                       },
                       window.WaitUntil([&]() { return c.held_before || form->panel.reports > 0; }),
                       [&]() {
                           if (c.held_before) {
                               reports_while_held = form->panel.reports;
                               form->panel.RequestStop();
                               form->panel.ReleaseProgress();
                           } else {
                               held_later = form->panel.HoldProgress();
                           }
                       },
                       window.WaitUntil([&]() { return !form->panel.IsRunning(); }),
                       // The end's action arrives with a drain.
                       [&]() { heard = form->heard; },
                   });
        ASSERT_EQ(heard.size(), 2u) << c.what;
        EXPECT_EQ(heard[1], c.heard_end) << c.what;
        if (c.held_before)
            EXPECT_EQ(reports_while_held, 0) << "the job waits at its commit";
        else
            EXPECT_FALSE(held_later) << "a committed job is not held";
    }
}

// Once a stop was asked for, the page says that the job undoes its work,
// with the bar empty, until the job's end: the job's later steps take
// neither the caption nor the bar back.
TEST(JobPanel, AStoppedJobShowsItsStoppingCaptionToItsEnd)
{
    cFormWindow window;
    cPanelForm* form = new cPanelForm(window);
    form->panel.pause_ms = 2;
    form->panel.undo_ms = 600;
    form->panel.SetStoppingCaption(L"putting it all back");
    std::wstring while_undoing, at_the_end;
    std::vector<uint32_t> bar_at_the_end;
    auto bar_row = [&]() { return cFormWindow::Pixels(&form->panel, 22, 90, 360, 1); };
    window.Run(form, 420, 320,
               {
                   [&]() { ASSERT_TRUE(form->panel.Start()); },
                   window.WaitUntil([&]() { return form->panel.reports > 100; }),
                   [&]() { form->panel.RequestStop(); },
                   window.WaitUntil([&]() { return form->panel.undoing.load(); }),
                   [&]() { while_undoing = form->panel.GetCaption() ? form->panel.GetCaption() : L""; },
                   window.WaitUntil([&]() { return !form->panel.IsRunning(); }),
                   [&]() {},
                   [&]() {
                       at_the_end = form->panel.GetCaption() ? form->panel.GetCaption() : L"";
                       bar_at_the_end = bar_row();
                   },
               });
    EXPECT_EQ(while_undoing, L"putting it all back");
    EXPECT_EQ(at_the_end, L"putting it all back") << "the last step took the caption back";
    // The bar's fill, 0x84DD69 as the screen gives it (0x00BBGGRR).
    const uint32_t fill = 0x69DD84;
    EXPECT_EQ(std::count(bar_at_the_end.begin(), bar_at_the_end.end(), fill), 0) << "the bar is not empty";
}
